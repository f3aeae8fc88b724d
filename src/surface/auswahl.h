// The selection dialog: the selection area typed in pixels as left, top, width and height.
// Created once, hidden, with the other windows; the tool window opens it modally (F2).
#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class TBitBtn2;
class TNumEditZ;

class TAuswahlForm : public QDialog
{
    Q_OBJECT

public:
    explicit TAuswahlForm(QWidget *parent = nullptr);

    QGroupBox *PosGroupBox;
    QLabel *LinksLab;
    TNumEditZ *LinksEdit;
    QLabel *ObenLab;
    TNumEditZ *ObenEdit;
    QLabel *BreiteLab;
    TNumEditZ *BreiteEdit;
    QLabel *HoeheLab;
    TNumEditZ *HoeheEdit;
    TBitBtn2 *OkBtn;       // default; takes the typed area over
    TBitBtn2 *LoeschenBtn; // removes the area
    TBitBtn2 *AbbrBtn;     // Escape; changes nothing

    // Fills the fields from the current area (0 in all four without one) and puts the focus
    // on "OK"; runs each time the dialog is shown.
    void FormActivate();
    void OkBtnClick();
    void LoeschenBtnClick();

protected:
    void showEvent(QShowEvent *e) override;

private:
    // Caption and control texts as the translation file may have replaced them.
    void texteSetzen();
    // The picture's size, or the primary screen's before the first freeze.
    static QSize flaeche();
    // Shows the markers of the changed area, and the info panel only where the tool has it.
    static void bereichZeigen();
};

extern TAuswahlForm *AuswahlForm;
