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
#include "app/sitzungsbus.h"
#include "app/speicherabgabe.h"
#include "controls/meldungen.h"
#include "output/ablagehueter.h"
#include "startup/anwendung.h"
#include "startup/beenden.h"
#include "toolwindow/fernsteuerung.h"
#include "toolwindow/toolwin2.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    BusAutostartAbschalten();
    if (argc > 1 && std::strcmp(argv[1], AblageHueterOption) == 0)
        return AblageHueterAusfuehren(argc, argv);
    const Befehlszeile aufruf = BefehlszeileLesen(argc, argv);
    const bool umschalten = aufruf.aktion == Befehlszeile::Umschalten;
    if (aufruf.aktion != Befehlszeile::Starten && !umschalten)
        return BefehlszeileBeantworten(aufruf);
    // Without a session bus --toggle could start a program that no later --toggle reaches.
    if (umschalten && !sitzungsbusDa()) {
        std::fputs(
            "skizzomat: --toggle braucht den Sitzungsbus (D-Bus), doch DBUS_SESSION_BUS_ADDRESS ist leer "
            "und $XDG_RUNTIME_DIR/bus fehlt.\n",
            stderr);
        return 1;
    }
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
    if (umschalten && guard == NoMultiInst::LaeuftBereits)
        return UmschaltenSenden(argc, argv);
    TAnwendung app(argc, argv);
    QtUebersetzungLaden();
    if (guard == NoMultiInst::LaeuftBereits) {
        zeigeInformation(nullptr, QStringLiteral("Die Anwendung läuft bereits."));
        return 0;
    }
    AnwendungEinrichten();
    EinstellungenDatei = StandardEinstellungenDatei();
    FensterErzeugen();
    FernsteuerungEinrichten(*ToolForm, umschalten);
    BeendenEinrichten(*ToolForm);
    ToolForm->show();
    return app.exec();
}
