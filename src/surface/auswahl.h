// The selection dialog: the selection area typed in pixels as left, top, width and height.
// Created once, hidden, with the other windows; the tool window opens it modally (F2).
#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class TBitBtn2;
class TNumEditZ;
class TScreenForm;
class TSteuerung;

class TAuswahlForm : public QDialog
{
    Q_OBJECT

public:
    // The area is the controller's, and it lies on the surface's picture; both outlive the
    // dialog.
    TAuswahlForm(TSteuerung &steuerung, TScreenForm &surface, QWidget *parent = nullptr);

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
    QSize flaeche() const;
    // Shows the markers of the changed area, and the info panel only where the tool has it.
    void bereichZeigen();

    TSteuerung &m_steuerung;
    TScreenForm &m_surface;
};

extern TAuswahlForm *AuswahlForm;
