// The tool window's sheets: blank and ruled backgrounds in place of the captured screen.
#include "sheets/blatt.h"
#include "toolwindow/toolwin2.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

namespace {

// The sheets cover the primary screen's size, whichever monitor is frozen.
QSize blattGroesse()
{
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->geometry().size() : QSize();
}

} // namespace

void TToolForm::verbindeBlaetter()
{
    connect(Aktionen.value(QStringLiteral("BlattBtn")), &QAction::triggered, this, &TToolForm::BlattBtnClick);

    BlattMenu = new QMenu(this);
    BlattMenu->setObjectName(QStringLiteral("BlattMenu"));
    const struct
    {
        const char *name;
        const char *caption;
        void (TToolForm::*handler)();
    } eintraege[] = {
        {"AktuellesBild", "Aktueller Bildschirm", &TToolForm::AktuellesBildClick},
        {"N8", nullptr, nullptr},
        {"WeiesBlatt1", "Weißes Blatt", &TToolForm::WeiesBlatt1Click},
        {"SchwarzesBlatt1", "Schwarzes Blatt", &TToolForm::SchwarzesBlatt1Click},
        {"KariertesBlatt1", "Kariert", &TToolForm::KariertesBlatt1Click},
        {"KleineKreuze1", "Punktraster", &TToolForm::KleineKreuze1Click},
        {"LiniertesBlatt1", "Linien", &TToolForm::LiniertesBlatt1Click},
    };
    for (const auto &e : eintraege) {
        QAction *a =
            e.caption ? BlattMenu->addAction(QString::fromUtf8(e.caption)) : BlattMenu->addSeparator();
        a->setObjectName(QString::fromLatin1(e.name));
        if (e.handler) {
            connect(a, &QAction::triggered, this, e.handler);
            Aktionen.insert(a->objectName(), a);
        }
    }
}

void TToolForm::BlattBtnClick()
{
    menuUnterButton(BlattMenu, "BlattBtn");
}

void TToolForm::AktuellesBildClick()
{
    // As with a sheet, undo brings back the background that went with the picture.
    BackupOrigScrBmp = OrigScrBmp;
    OrigScrBmp = OrigScrStartBmp;
    ClearBtnClick();
}

void TToolForm::WeiesBlatt1Click()
{
    BlattFuellen(Palette::Weiss);
}

void TToolForm::SchwarzesBlatt1Click()
{
    BlattFuellen(Palette::Schwarz);
    // The transparent marker colours leave black as it is.
    const int farbe = FarbeFuerSchwarzesBlatt(Cfg.FarbMode);
    if (farbe != Cfg.FarbMode)
        FarbWahl(farbe);
}

void TToolForm::KariertesBlatt1Click()
{
    KaroBlatt(KaroAbstand);
}

void TToolForm::KleineKreuze1Click()
{
    PunktBlatt(PunktAbstand);
}

void TToolForm::LiniertesBlatt1Click()
{
    LinienBlatt(LinienAbstand);
}

// Each sheet keeps the old background for undo, draws into the background and clears the
// picture to it. Drawing detaches the background from the copies sharing it.
void TToolForm::BlattFuellen(TColor farbe)
{
    BackupOrigScrBmp = OrigScrBmp;
    ::BlattFuellen(OrigScrBmp, blattGroesse(), farbe);
    ClearBtnClick();
}

void TToolForm::KaroBlatt(int a)
{
    BackupOrigScrBmp = OrigScrBmp;
    ::KaroBlatt(OrigScrBmp, blattGroesse(), a);
    ClearBtnClick();
}

void TToolForm::PunktBlatt(int a)
{
    BackupOrigScrBmp = OrigScrBmp;
    ::PunktBlatt(OrigScrBmp, blattGroesse(), a);
    ClearBtnClick();
}

void TToolForm::LinienBlatt(int a)
{
    BackupOrigScrBmp = OrigScrBmp;
    ::LinienBlatt(OrigScrBmp, blattGroesse(), a);
    ClearBtnClick();
}
