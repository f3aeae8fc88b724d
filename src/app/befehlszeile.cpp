#include "app/befehlszeile.h"

#include "app/programm.h"

#include <cstdio>
#include <string_view>

Befehlszeile BefehlszeileLesen(int argc, const char *const argv[])
{
    Befehlszeile b;
    bool optionenZuEnde = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (!optionenZuEnde && (a == "-h" || a == "--help")) {
            b.aktion = Befehlszeile::Hilfe;
            return b;
        }
        if (!optionenZuEnde && (a == "-v" || a == "--version")) {
            b.aktion = Befehlszeile::Version;
            return b;
        }
        if (!optionenZuEnde && a == "--toggle") {
            b.aktion = Befehlszeile::Umschalten;
            continue;
        }
        if (!optionenZuEnde && a == "--") {
            optionenZuEnde = true;
            continue;
        }
        bool intern = false;
        for (const char *name : InterneOptionen)
            intern = intern || (!optionenZuEnde && a.starts_with(name));
        if (intern)
            continue;
        b.aktion = Befehlszeile::Fehler;
        if (!optionenZuEnde && a.size() > 1 && a.front() == '-')
            b.fehler = "unbekannte Option: " + std::string(a);
        else
            b.fehler = "unerwartetes Argument: \"" + std::string(a) + "\"";
        return b;
    }
    return b;
}

std::string Aufruf()
{
    return "Aufruf: skizzomat [OPTION]\n"
           "Zeichnen auf einem eingefrorenen Bild des Bildschirms.\n"
           "\n"
           "  --toggle       im laufenden Skizzomat \"Start\" oder \"Fertig\" wie mit F9;\n"
           "                 läuft keiner, startet Skizzomat und friert den Bildschirm ein\n"
           "  -h, --help     diese Hilfe zeigen und beenden\n"
           "  -v, --version  die Version zeigen und beenden\n"
           "\n"
           "Ohne Option startet Skizzomat in der laufenden grafischen Sitzung (X11, unter\n"
           "Wayland über XWayland) mit seinem Werkzeugfenster. Es läuft nur einmal zugleich.\n"
           "--toggle erreicht das laufende Programm über den Sitzungsbus (D-Bus); eine Taste\n"
           "des Desktops kann diesen Befehl ausführen.\n";
}

int BefehlszeileBeantworten(const Befehlszeile &b)
{
    // An answer that cannot be written (a full disk, a closed pipe) is no success.
    switch (b.aktion) {
    case Befehlszeile::Hilfe:
        std::fputs(Aufruf().c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case Befehlszeile::Version:
        std::fputs("Skizzomat " SKIZZOMAT_VERSION "\n", stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case Befehlszeile::Fehler:
        std::fprintf(stderr, "skizzomat: %s\n%s", b.fehler.c_str(), Aufruf().c_str());
        return 2;
    case Befehlszeile::Starten:
    case Befehlszeile::Umschalten:
        break;
    }
    return 0;
}
