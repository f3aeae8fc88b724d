#include "app/anwendung.h"

#include "app/data.h"
#include "app/dpiAware.h"
#include "dialogs/meldform.h"
#include "output/druck.h"
#include "surface/auswahl.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QApplication>

#include <cstdio>

void AnwendungEinrichten()
{
    const QString dir = QCoreApplication::applicationDirPath();
    Cfg.ExeDir = dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
    // No display name: Qt would append it to every window title, and each box carries
    // exactly its own title ("Fehler", "Informationen", ...).
    QApplication::setApplicationName(QStringLiteral("Skizzomat"));
    QApplication::setQuitOnLastWindowClosed(false);
    if (const QStringList skaliert = skalierteMonitore(); !skaliert.isEmpty())
        std::fprintf(stderr,
                     "skizzomat: Qt skaliert die Anzeige von %s; das Bild erscheint nicht pixelgenau.\n",
                     qPrintable(skaliert.join(QStringLiteral(", "))));
}

void FensterErzeugen()
{
    ToolForm = new TToolForm;
    MeldForm = new TMeldForm;
    ScreenForm = new TScreenForm;
    DruckForm = new TDruckForm(ToolForm);
    ScreenForm->addActions(ToolForm->actions());
    AuswahlForm = new TAuswahlForm;
}
