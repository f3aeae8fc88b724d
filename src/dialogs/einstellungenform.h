// The settings dialog "Einstellungen": the pointer on the drawing surface, what happens at the
// start and on "Fertig", the mouse wheel in the zoom view, the automatic screenshot, the
// monitor to freeze, the two working folders and the size of the tool buttons.
//
// It edits the settings in memory (Cfg); they reach the settings file when the program ends.
// Each showing fills the controls from the settings; Uebernehmen() takes them back after OK.
#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class TBitBtn2;
class TNumEditZ;

class TEinstellungenForm : public QDialog
{
    Q_OBJECT

public:
    explicit TEinstellungenForm(QWidget *parent = nullptr);
    ~TEinstellungenForm() override;

    TBitBtn2 *OkBtn;
    TBitBtn2 *AbbrBtn;
    QWidget *Panel1;
    QGroupBox *GroupBox1;
    QRadioButton *RadioMauszeiger1;
    QRadioButton *RadioMauszeiger2;
    QGroupBox *GroupBox3;
    QCheckBox *MausradZoomCheck;
    QGroupBox *GroupBox2;
    QCheckBox *AutoOpenCheck;
    QCheckBox *AutoCloseCheck;
    QGroupBox *GroupBox4;
    QCheckBox *AutoScreenshotCheck;
    QGroupBox *GroupBox5;
    QRadioButton *RadioScreen0;
    QRadioButton *RadioScreen1;
    QRadioButton *RadioScreen2;
    QGroupBox *GroupBox7;
    QLabel *ScreenshotOrdnerLab;
    QLineEdit *ScreenshotDirEdit;
    QLabel *EmailOrdnerLab;
    QLineEdit *EmailDirEdit;
    QPlainTextEdit *Memo1;
    QGroupBox *GroupBox6;
    QLabel *ToolSizeXLab;
    TNumEditZ *ToolSizeXEdit;
    QLabel *ToolSizeYLab;
    TNumEditZ *ToolSizeYEdit;

    // Fills the controls from the settings; the sizes are brought into the fields' ranges.
    void FormActivate();
    // Takes the controls' values over into the settings and announces it, so that the pointer
    // and the tool window's size follow at once. Folders are trimmed, an empty one becomes its
    // default; the sizes are brought into their fields' ranges, as typed or not.
    void Uebernehmen();
    // The captions as the interface texts have them now (translated or designed).
    void TexteSetzen();

signals:
    // The settings were taken over.
    void uebernommen();

protected:
    void showEvent(QShowEvent *e) override;
};

extern TEinstellungenForm *EinstellungenForm;
