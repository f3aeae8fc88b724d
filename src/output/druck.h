// The print dialog "Bildschirminhalt drucken": margins, width and height of the printed picture
// in cm, the aspect coupling, the current printer and its set-up, and the print itself.
//
// The fields are the only home of the print values during a run; the settings store reads and
// writes them through liRand() … seitRatio() and their setters.
#pragma once

#include <QDialog>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPrinter;
class TBitBtn2;
class TNumEditQ;

class TDruckForm : public QDialog
{
    Q_OBJECT

public:
    explicit TDruckForm(QWidget *parent = nullptr);
    ~TDruckForm() override;

    QWidget *Panel1;
    QGroupBox *PosGroupBox;
    QLabel *LiRandLab;
    TNumEditQ *LiRandEdit;
    QLabel *ObRandLab;
    TNumEditQ *ObRandEdit;
    QLabel *BreiteLab;
    TNumEditQ *BreiteEdit;
    QLabel *HoeheLab;
    TNumEditQ *HoeheEdit;
    QLabel *Label4, *Label8, *Label6, *Label10;
    QCheckBox *SeitRatio;
    QGroupBox *DruckerGroupBox;
    QLabel *DruckerInfo;
    TBitBtn2 *DruckBtn;
    TBitBtn2 *AbbrBtn;
    TBitBtn2 *DrEinrBtn;

    // Width / height of what a print takes now; 0 when it has no ratio.
    double fakxy = 0;

    // The print values in cm as the fields hold them (0 for a field that holds no number), and
    // written into the fields with one decimal. Writing does not run the aspect coupling.
    double liRand() const;
    void setLiRand(double cm);
    double obRand() const;
    void setObRand(double cm);
    double breite() const;
    void setBreite(double cm);
    double hoehe() const;
    void setHoehe(double cm);
    bool seitRatio() const;
    void setSeitRatio(bool an);

    void FormActivate();
    void DruckerZeileSetzen();
    void DruckBtnClick();
    void DrEinrBtnClick();
    void SeitRatioClick();
    void BreiteEditChange();
    void HoeheEditChange();

    // The printer the next job goes to: the default queue of the moment until one is chosen in
    // "Einrichten...", then that one with its options for the rest of the run.
    QPrinter &Drucker();

protected:
    void showEvent(QShowEvent *e) override;

private:
    std::unique_ptr<QPrinter> m_drucker;
    bool m_eingerichtet = false;
};

extern TDruckForm *DruckForm;
