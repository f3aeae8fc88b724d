// The info box "Info": the program's icon, name and version, the legal notice and the licence
// terms, the web address, and the doors to the settings and the online help.
#pragma once

#include "app/programm.h"

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPlainTextEdit;
class TBitBtn2;

// The program's version: three version numbers and the date of the release.
inline const QString ProgrammVersion = QStringLiteral(SKIZZOMAT_VERSION);
// The program's web site and its help page.
inline const QString ProgrammWebseite = QStringLiteral("https://skizzomat.example/");
inline const QString ProgrammHilfeseite = QStringLiteral("https://skizzomat.example/hilfe.php");

class TInfoBox : public QDialog
{
    Q_OBJECT

public:
    explicit TInfoBox(QWidget *parent = nullptr); // FormCreate
    ~TInfoBox() override;

    QFrame *Panel1;
    QLabel *Image1;
    QLabel *TitelLabel;
    QWidget *Panel2;
    QLabel *VersionLabel;
    QLabel *Memo1;
    QLabel *Label2;
    QLabel *Label1; // the web address as a link
    QPlainTextEdit *Memo2;
    TBitBtn2 *EinstellBtn;
    TBitBtn2 *HilfeBtn;
    TBitBtn2 *OkBtn;

    // Opens the settings dialog above the box and, after OK, takes its values over.
    void EinstellBtnClick();
    void HilfeBtnClick();
    void Label1Click();
    // The button captions as the interface texts have them now (translated or designed).
    void TexteSetzen();

protected:
    void showEvent(QShowEvent *e) override;
};

extern TInfoBox *InfoBox;
