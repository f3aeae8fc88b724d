#include "app/anzeige.h"
#include "app/befehlszeile.h"
#include "app/data.h"
#include "app/dpiAware.h"
#include "app/einstellungen.h"
#include "app/fehleranzeige.h"
#include "app/heimordner.h"
#include "app/noMultiInst.h"
#include "app/qtuebersetzung.h"
#include "app/sitzung.h"
#include "app/speicherabgabe.h"
#include "controls/meldungen.h"
#include "output/ablagehueter.h"
#include "startup/anwendung.h"
#include "toolwindow/toolwin2.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], AblageHueterOption) == 0)
        return AblageHueterAusfuehren(argc, argv);
    if (const Befehlszeile aufruf = BefehlszeileLesen(argc, argv); aufruf.aktion != Befehlszeile::Starten)
        return BefehlszeileBeantworten(aufruf);
    SpeicherabgabeEinrichten();
    HeimordnerSetzen();
    DpiAware();
    XWaylandWaehlen();
    if (const std::string fehler = AnzeigeFehler(); !fehler.empty()) {
        std::fprintf(stderr, "skizzomat: %s\n", fehler.c_str());
        return 1;
    }
    NoMultiInst sperre;
    const NoMultiInst::Ergebnis guard = sperre.sperren();
    if (guard == NoMultiInst::Fehlgeschlagen)
        std::fputs("skizzomat: Die Sperre gegen einen zweiten Start ließ sich an keinem Ort anlegen; "
                   "das Programm läuft ohne sie.\n",
                   stderr);
    TAnwendung app(argc, argv);
    QtUebersetzungLaden();
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
