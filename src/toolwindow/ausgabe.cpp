// The tool window's output commands: the clipboard, the print dialog, the save menu with its
// dialog, the screenshot folder, and the automatic screenshot on "Fertig".
#include "controls/meldform.h"
#include "controls/meldungen.h"
#include "output/bildspeichern.h"
#include "output/druck.h"
#include "output/oeffnen.h"
#include "output/ordner.h"
#include "output/screenshot.h"
#include "output/speicherdialog.h"
#include "output/zwischenablage.h"
#include "surface/bereichmarker.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScopeGuard>
#include <QToolButton>

namespace {

// A picture exists from the first freeze of the run on.
bool bildDa()
{
    return ScreenForm && !ScreenForm->Img1Bmp.isNull();
}

} // namespace

bool TToolForm::ausgabeBildDa()
{
    if (bildDa())
        return true;
    // Before the first freeze there is no picture to give away; a command that did nothing at
    // all would look broken.
    zeigeInformation(this,
                     QStringLiteral("Es gibt noch kein Bild. „%1“ friert den Bildschirm ein; danach lässt "
                                    "sich das Bild kopieren, speichern, drucken oder versenden.")
                         .arg(QString(StartCaptions.value(0)).remove(QLatin1Char('&'))));
    return false;
}

void TToolForm::verbindeAusgabe()
{
    connect(Aktionen.value(QStringLiteral("ClipBtn")), &QAction::triggered, this, &TToolForm::ClipBtnClick);
    connect(Aktionen.value(QStringLiteral("DruckBtn")), &QAction::triggered, this, &TToolForm::DruckBtnClick);
    connect(Aktionen.value(QStringLiteral("SaveBtn")), &QAction::triggered, this, &TToolForm::SaveBtnClick);

    SpeichernMenu = new QMenu(this);
    SpeichernMenu->setObjectName(QStringLiteral("SpeichernMenu"));
    const struct
    {
        const char *name;
        const char *caption;
        void (TToolForm::*handler)();
    } eintraege[] = {
        {"Speichernunter1", "&Speichern unter...", &TToolForm::Speichernunter1Click},
        {"AlsPNGScreenshotSpeichern", "Als &PNG-Bild in Screenshot-Ordner ablegen",
         &TToolForm::AlsPNGScreenshotSpeichernClick},
        {"AlsJPGScreenshotSpeichern", "Als &JPG-Bild in Screenshot-Ordner ablegen",
         &TToolForm::AlsJPGScreenshotSpeichernClick},
        {"ScreenshotOrdnerOeffnen1", "Screenshot-&Ordner öffnen", &TToolForm::ScreenshotOrdnerOeffnen1Click},
    };
    for (const auto &e : eintraege) {
        QAction *a = SpeichernMenu->addAction(QString::fromUtf8(e.caption));
        a->setObjectName(QString::fromLatin1(e.name));
        connect(a, &QAction::triggered, this, e.handler);
        Aktionen.insert(a->objectName(), a);
    }
}

void TToolForm::menuUnterButton(QMenu *menu, const char *button)
{
    const QToolButton *b = Buttons.value(QString::fromLatin1(button));
    menu->popup(b->mapToGlobal(QPoint(0, b->height())));
}

void TToolForm::ClipBtnClick()
{
    if (!ausgabeBildDa())
        return;
    // A tool marker drawn into the picture, or text still in its entry, must not go along.
    CheckPanels();
    // The whole picture goes shared, not copied: the clipboard reads it while it encodes it,
    // and only a step that draws meanwhile gives the picture pixels of its own.
    if (!AuswahlbereichAktiv(BereichRect)) {
        BildZwischenablegen(ScreenForm->Img1Bmp);
        return;
    }
    SetAuswahlBmp(*this, ScreenForm->Img1Bmp);
    BildZwischenablegen(AuswahlBmp);
    AuswahlBmp = QImage();
}

// The dialog prints by itself; nothing follows here when it closes.
void TToolForm::DruckBtnClick()
{
    if (!DruckForm || !ausgabeBildDa())
        return;
    CheckPanels();
    DruckForm->Drucken(*this, ScreenForm->Img1Bmp,
                       ScreenForm->isVisible() ? static_cast<QWidget *>(ScreenForm) : this);
}

void TToolForm::SaveBtnClick()
{
    CheckPanels();
    menuUnterButton(SpeichernMenu, "SaveBtn");
}

void TToolForm::Speichernunter1Click()
{
    if (!ausgabeBildDa())
        return;
    const QString pfad = SaveBMP.waehlen(this);
    if (pfad.isEmpty())
        return;
    if (const Ergebnis e = SpeichernUnterPruefen(pfad); !e.Ok) {
        zeigeFehler(this, e.Fehler);
        return;
    }
    CheckPanels();
    SetAuswahlBmp(*this, ScreenForm->Img1Bmp);
    const Ergebnis e = BildSpeichern(AuswahlBmp, pfad);
    AuswahlBmp = QImage();
    if (!e.Ok)
        zeigeFehler(this, e.Fehler);
}

void TToolForm::AlsPNGScreenshotSpeichernClick()
{
    screenshotMenuBefehl(FormatPng);
}

void TToolForm::AlsJPGScreenshotSpeichernClick()
{
    screenshotMenuBefehl(FormatJpg);
}

void TToolForm::screenshotMenuBefehl(int format)
{
    if (!ausgabeBildDa())
        return;
    CheckPanels();
    // The notice stays up, and the picture takes no input, until the file is written.
    ScreenForm->setEnabled(false);
    const auto danach = qScopeGuard([] {
        if (MeldForm)
            MeldForm->hide();
        ScreenForm->setEnabled(true);
    });
    if (MeldForm)
        MeldForm->Zeigen(QStringLiteral("Screenshot abgelegt"));
    const Ablage a = ScreenshotAblegen(*this, ScreenForm->Img1Bmp, true, format);
    AuswahlBmp = QImage();
    if (!a.Ok) {
        // "Screenshot abgelegt" beside a box saying it is not would leave the user guessing.
        if (MeldForm)
            MeldForm->hide();
        zeigeFehler(this, a.Fehler);
    }
}

void TToolForm::ScreenshotOrdnerOeffnen1Click()
{
    const OrdnerPruefung p = ScreenshotOrdnerPruefen();
    if (!p.Ok) {
        zeigeFehler(this, p.Fehler);
        return;
    }
    DokumentOeffnen(p.Ordner, this);
}

bool TToolForm::AutoScreenshotAblegen()
{
    // Called on the release, which has settled the picture already.
    if (!bildDa())
        return true;
    const Ablage a = ScreenshotAblegen(*this, ScreenForm->Img1Bmp, false, FormatPng);
    AuswahlBmp = QImage();
    if (!a.Ok)
        zeigeFehler(this, a.Fehler);
    return a.Ok;
}
