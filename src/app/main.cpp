#include "app/anwendung.h"
#include "app/data.h"
#include "app/dpiAware.h"
#include "app/einstellungen.h"
#include "app/fehleranzeige.h"
#include "app/heimordner.h"
#include "app/noMultiInst.h"
#include "app/speicherabgabe.h"
#include "dialogs/meldungen.h"
#include "toolwindow/toolwin2.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    SpeicherabgabeEinrichten();
    HeimordnerSetzen();
    DpiAware();
    NoMultiInst sperre;
    const NoMultiInst::Ergebnis guard = sperre.sperren();
    if (guard == NoMultiInst::Fehlgeschlagen)
        std::fputs("skizzomat: Die Sperre gegen einen zweiten Start ließ sich an keinem Ort anlegen; "
                   "das Programm läuft ohne sie.\n",
                   stderr);
    TAnwendung app(argc, argv);
    if (guard == NoMultiInst::LaeuftBereits) {
        zeigeInformation(nullptr, QStringLiteral("Die Anwendung läuft bereits."));
        return 0;
    }
    AnwendungEinrichten();
    EinstellungenDatei = StandardEinstellungenDatei();
    FensterErzeugen();
    ToolForm->show();
    return app.exec();
}
