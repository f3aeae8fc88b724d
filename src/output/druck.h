// The print dialog "Bildschirminhalt drucken": margins, width and height of the printed picture
// in cm, the aspect coupling, the current printer and its set-up, and the print itself.
//
// The fields are the only home of the print values during a run; the settings store reads and
// writes them through werte() and setWerte().
//
// The print server is asked off the interface thread, with time limits: a server that takes
// connections and does not answer must not freeze the program over a frozen screen. The printer
// line is filled when the answer comes; printing waits for the server only so long; Qt's
// printer set-up, which asks the server on the interface thread, opens only once it answered.
#pragma once

#include "app/data.h"
#include "app/einstellungen.h"
#include "output/drucker.h"
#include "output/nebenlauf.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <optional>

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

    // Shows the dialog modally and prints the selection area of `zustand` on `bild` (the whole
    // picture without an area) when asked; centred on the monitor of `bezug`. Both are read
    // only while the dialog is open. Returns the dialog's result.
    int Drucken(ToolState &zustand, const QImage &bild, QWidget *bezug);

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
    DruckWerte werte() const;
    void setWerte(const DruckWerte &w);

    void FormActivate();
    void DruckerZeileSetzen();
    void DruckBtnClick();
    void DrEinrBtnClick();
    void SeitRatioClick();
    void BreiteEditChange();
    void HoeheEditChange();

protected:
    void showEvent(QShowEvent *e) override;

private:
    // The captions, the translated ones once the translation file is read.
    void texteSetzen();
    // The queue the next job goes to: empty for the default queue of the moment, until one is
    // chosen in "Einrichten...".
    QString druckerName() const;
    // Whether the print server has a job of ours that it has not taken yet; says so when it has.
    bool auftragHaengt();

    // The printer chosen in "Einrichten..." with its options, for the rest of the run, and its
    // queue's name. A job shares the printer with the thread that prints it; this thread then
    // keeps to the name.
    std::shared_ptr<QPrinter> m_drucker;
    QString m_druckerName;
    std::optional<Nebenlauf<DruckerAuskunft>> m_zeile;
    QTimer m_zeileBlick;
    // The error of the last job, empty when it went through; the job runs until it is done.
    std::optional<Nebenlauf<QString>> m_auftrag;
    // What Drucken was given, while the dialog is open.
    ToolState *m_zustand = nullptr;
    const QImage *m_bild = nullptr;
    QPointer<QWidget> m_bezug;
};

extern TDruckForm *DruckForm;
