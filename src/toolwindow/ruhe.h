// Memory at rest.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QScreen;
class TScreenForm;

// After Fertig the program keeps the drawing picture, which the output commands use, and for
// a while what makes the next freeze fast: the memory the screen is read into and the memory
// the drawing surface is painted into, a frame each. When the rest period is over it gives
// those back, with what the heap has free. A freeze likely soon has them made ready again in
// idle time, and the rest period begins anew.
class TRuhe : public QObject
{
    Q_OBJECT

public:
    static constexpr int StandardRuhezeitMs = 60 * 1000;

    explicit TRuhe(QObject *parent = nullptr);

    void setRuhezeit(int ms) { m_uhr.setInterval(ms); }
    // True while the memory for the next freeze has been given back (or never been taken).
    bool kalt() const { return m_kalt; }

    // At rest from now on: the rest period begins (anew).
    void ausruhen(TScreenForm *flaeche);
    // A freeze begins: nothing is given back while the picture is shown.
    void aufwachen();
    // Has the memory the next freeze of `monitor` reads into and the memory the surface is
    // painted into made ready, the X server's side included, unless they are still there;
    // then rests again.
    void vorwaermen(QScreen *monitor, TScreenForm *flaeche);

signals:
    void zurueckgegeben();

private:
    void zurueckgeben();

    QTimer m_uhr;
    QPointer<TScreenForm> m_flaeche;
    bool m_kalt = true;
};
