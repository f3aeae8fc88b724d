#include "app/anwendung.h"
#include "app/data.h"
#include "app/dpiAware.h"
#include "app/einstellungen.h"
#include "app/fehleranzeige.h"
#include "app/heimordner.h"
#include "app/noMultiInst.h"
#include "dialogs/meldungen.h"
#include "toolwindow/toolwin2.h"

#include <QApplication>

#include <cstdio>
#include <malloc.h>

int main(int argc, char *argv[])
{
    // Pictures are allocated and freed whole, a frame or more at a time. glibc raises its mmap
    // threshold to the size of each such block freed, after which frames up to 32 MB come from
    // the heap, where a hole between them keeps the memory of a freed picture; a fixed
    // threshold keeps every picture in its own mapping, given back to the system when freed.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
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
