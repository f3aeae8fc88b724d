#include "app/anzeige.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {

QtMessageHandler vorherigeAusgabe = nullptr;
QString pluginGrund; // Qt's first note on a platform plugin that did not load

void plattformMeldung(QtMsgType typ, const QMessageLogContext &kontext, const QString &text)
{
    if (typ == QtFatalMsg) {
        const QByteArray plattform = qgetenv("QT_QPA_PLATFORM");
        QString zeile =
            QStringLiteral("skizzomat: Die Qt-Plattform \"%1\" ließ sich nicht laden")
                .arg(QString::fromLocal8Bit(plattform.isEmpty() ? QByteArrayLiteral("xcb") : plattform));
        if (!pluginGrund.isEmpty())
            zeile += QStringLiteral(" (") + pluginGrund.simplified() + QLatin1Char(')');
        std::fprintf(stderr, "%s.\n", qPrintable(zeile));
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (kontext.category && std::strcmp(kontext.category, "qt.qpa.plugin") == 0 && typ != QtDebugMsg) {
        if (pluginGrund.isEmpty())
            pluginGrund = text;
        return;
    }
    if (vorherigeAusgabe)
        vorherigeAusgabe(typ, kontext, text);
}

} // namespace

std::string AnzeigeFehler()
{
    const QByteArray plattform = qgetenv("QT_QPA_PLATFORM");
    if (!plattform.isEmpty() && !plattform.startsWith("xcb"))
        return {};
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) {
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            return "Keine X-Anzeige: DISPLAY ist nicht gesetzt; unter Wayland braucht Skizzomat XWayland.";
        return "Keine grafische Anzeige: DISPLAY ist nicht gesetzt.";
    }
    xcb_connection_t *verbindung = xcb_connect(display.constData(), nullptr);
    const bool erreichbar = xcb_connection_has_error(verbindung) == 0;
    xcb_disconnect(verbindung);
    if (!erreichbar)
        return "Die Anzeige \"" + display.toStdString() + "\" (DISPLAY) ist nicht erreichbar.";
    return {};
}

void PlattformWacheAufstellen()
{
    pluginGrund.clear();
    vorherigeAusgabe = qInstallMessageHandler(plattformMeldung);
}

void PlattformGeladen()
{
    qInstallMessageHandler(vorherigeAusgabe);
}
