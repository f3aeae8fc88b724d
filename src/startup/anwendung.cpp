#include "startup/anwendung.h"

#include "app/data.h"
#include "app/dpiAware.h"
#include "app/programm.h"
#include "controls/meldform.h"
#include "controls/pixelstil.h"
#include "dialogs/einstellungenform.h"
#include "dialogs/infobox.h"
#include "dialogs/modalfenster.h"
#include "output/druck.h"
#include "output/zwischenablage.h"
#include "surface/auswahl.h"
#include "surface/scrwin.h"
#include "toolwindow/toolicons.h"
#include "toolwindow/toolwin2.h"

#include <QApplication>

#include <cstdio>
#include <initializer_list>

void AnwendungEinrichten()
{
    const QString dir = QCoreApplication::applicationDirPath();
    Cfg.ExeDir = dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
    // No display name: Qt would append it to every window title, and each box carries
    // exactly its own title ("Fehler", "Informationen", ...).
    QApplication::setApplicationName(QStringLiteral("Skizzomat"));
    QApplication::setApplicationVersion(ProgrammVersion);
    QApplication::setDesktopFileName(QStringLiteral(SKIZZOMAT_APP_ID));
    QApplication::setWindowIcon(programmIcon());
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt keeps only the last of several pointer moves waiting together. A stroke must pass
    // through every place the hand went, also when the program was held up for a moment (the
    // first press at 8K, a busy machine); otherwise a fast curve turns into a few straight cuts.
    // The zoom view, where a drag pans, wants only the last (zoomanzeige.cpp).
    QApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, &ZwischenablageBeimEnde);
    ModaleFensterEinrichten();
    if (const QStringList skaliert = skalierteMonitore(); !skaliert.isEmpty())
        std::fprintf(stderr,
                     "skizzomat: Qt skaliert die Anzeige von %s; das Bild erscheint nicht pixelgenau.\n",
                     qPrintable(skaliert.join(QStringLiteral(", "))));
}

void FensterErzeugen()
{
    // The tool window touches none of the others while it is created; what needs them waits
    // for its first activation. The dialogs go with it.
    ToolForm = new TToolForm;
    EinstellungenForm = new TEinstellungenForm(ToolForm);
    MeldForm = new TMeldForm;
    ScreenForm = new TScreenForm(*ToolForm);
    ScreenForm->addActions(ToolForm->actions());
    InfoBox = new TInfoBox(ToolForm);
    DruckForm = new TDruckForm(ToolForm);
    AuswahlForm = new TAuswahlForm(*ToolForm, *ScreenForm);
    MeldForm->bezugSetzen(ScreenForm);
    // Settings taken over apply at once: the surface's pointer, then the tool window's size.
    QObject::connect(EinstellungenForm, &TEinstellungenForm::uebernommen, ScreenForm,
                     &TScreenForm::SetMauszeiger);
    QObject::connect(EinstellungenForm, &TEinstellungenForm::uebernommen, ToolForm,
                     &TToolForm::SetToolWindowSize);
    for (QWidget *fenster : std::initializer_list<QWidget *>{ToolForm, EinstellungenForm, MeldForm,
                                                             ScreenForm, InfoBox, DruckForm, AuswahlForm})
        InPixelnAuslegen(fenster);
}

void FensterLoeschen()
{
    // The surface and the selection dialog work through the tool window: they go first. The
    // settings dialog, the info box and the print dialog are the tool window's children.
    delete AuswahlForm;
    AuswahlForm = nullptr;
    delete ScreenForm;
    ScreenForm = nullptr;
    delete ToolForm;
    ToolForm = nullptr;
    EinstellungenForm = nullptr;
    InfoBox = nullptr;
    DruckForm = nullptr;
    delete MeldForm;
    MeldForm = nullptr;
}
