#include "app/anwendung.h"
#include "app/data.h"
#include "app/dpiAware.h"
#include "app/einstellungen.h"
#include "app/fehleranzeige.h"
#include "app/noMultiInst.h"
#include "dialogs/meldungen.h"
#include "toolwindow/toolwin2.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    DpiAware();
    NoMultiInst sperre;
    const NoMultiInst::Ergebnis guard = sperre.sperren();
    TAnwendung app(argc, argv);
    if (guard == NoMultiInst::LaeuftBereits) {
        zeigeInformation(nullptr, QStringLiteral("Die Anwendung läuft bereits."));
        return 0;
    }
    // Without the lock for another reason, the program runs unguarded.
    const QString dir = QCoreApplication::applicationDirPath();
    Cfg.ExeDir = dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
    QApplication::setApplicationName(QStringLiteral("Skizzomat"));
    QApplication::setApplicationDisplayName(QStringLiteral("Skizzomat"));
    QApplication::setQuitOnLastWindowClosed(false);
    EinstellungenDatei = StandardEinstellungenDatei();
    FensterErzeugen();
    ToolForm->show();
    return app.exec();
}
