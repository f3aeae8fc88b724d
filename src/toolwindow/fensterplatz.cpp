// The tool window's place: where it starts, how it stays on its monitor while it grows and
// shrinks, and what is stored of it. A place is the frame's top-left corner.
#include "controls/fensterrahmen.h"
#include "toolwindow/toolwin2.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <algorithm>

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
        // A window manager may have moved the window already. Where that place lies whole on
        // a monitor it counts as the window's. Elsewhere it is no place anyone chose: openbox
        // pushes a window off a monitor that went away to that monitor's edge, partly beyond
        // the one left, and taken as the window's place it would decide the monitor once the
        // next step of the change brings the old one back. The place kept then stays.
        const QRect rahmen(rahmenEcke(*this), frameGeometry().size());
        const QList<QRect> monitore = monitorFlaechen();
        if (std::any_of(monitore.begin(), monitore.end(), [&](const QRect &m) { return m.contains(rahmen); }))
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
