// The tool window's place: where it starts, how it stays on its monitor while it grows and
// shrinks, and what is stored of it. A place is the frame's top-left corner.
#include "controls/fensterrahmen.h"
#include "toolwindow/toolwin2.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

QPoint TToolForm::platzFuer(QSize client, const QMargins &rand) const
{
    const QSize rahmen = client.grownBy(rand);
    const QList<QRect> monitore = monitorFlaechen();
    const QPoint ecke = m_ort.value_or(anfangsPosition(monitore.value(0), rahmen.width()));
    // The title bar and the Start button decide the monitor the window belongs to.
    return platzAufMonitor(QRect(ecke, rahmen), rand.top() + m_masse.StartButtonHeight, monitore);
}

void TToolForm::platzAnwenden()
{
    // Unmanaged over a frozen Wayland output the window keeps the output's corner.
    if (windowFlags().testFlag(Qt::X11BypassWindowManagerHint))
        return;
    bool eigene = false;
    const QMargins rand = rahmenraender(*this, &eigene);
    m_angefragt.append(rahmenEckeSetzen(*this, platzFuer(size(), rand), rand));
    if (m_angefragt.size() > 4)
        m_angefragt.removeFirst();
    // Before the window manager has framed the window its borders were guessed.
    if (!eigene)
        beiRahmenMeldung(*this, [this] { platzAnwenden(); });
}

void TToolForm::ortAbgleichen()
{
    // Unmanaged, the window stands where the program put it, not the user.
    if (windowFlags().testFlag(Qt::X11BypassWindowManagerHint))
        return;
    if (isVisible() && !m_angefragt.contains(clientEcke(*this)))
        m_ort = rahmenEcke(*this);
}

QPoint TToolForm::gemerkterPlatz()
{
    ortAbgleichen();
    return platzFuer(QSize(m_masse.ClientWidth, m_masse.CollapsedHeight), rahmenraender(*this));
}

void TToolForm::monitoreBeobachten()
{
    // One change of the layout arrives as several signals (a monitor removed, another grown);
    // the place is worked out once, after the last of them.
    auto *spaeter = new QTimer(this);
    spaeter->setSingleShot(true);
    spaeter->setInterval(0);
    connect(spaeter, &QTimer::timeout, this, [this] {
        if (!isVisible())
            return;
        // A window manager may have moved the window already; its place counts as the
        // window's, and is then pulled onto the monitor holding most of it.
        ortAbgleichen();
        platzAnwenden();
    });
    const auto beobachten = [spaeter](QScreen *s) {
        connect(s, &QScreen::geometryChanged, spaeter, qOverload<>(&QTimer::start));
    };
    for (QScreen *s : QGuiApplication::screens())
        beobachten(s);
    connect(qApp, &QGuiApplication::screenAdded, this, [beobachten, spaeter](QScreen *s) {
        beobachten(s);
        spaeter->start();
    });
    connect(qApp, &QGuiApplication::screenRemoved, spaeter, qOverload<>(&QTimer::start));
}
