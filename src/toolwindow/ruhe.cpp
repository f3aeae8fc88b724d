#include "toolwindow/ruhe.h"

#include "app/speicherabgabe.h"
#include "surface/capture.h"
#include "surface/scrwin.h"

#include <QScreen>

TRuhe::TRuhe(QObject *parent) : QObject(parent)
{
    m_uhr.setSingleShot(true);
    m_uhr.setInterval(StandardRuhezeitMs);
    connect(&m_uhr, &QTimer::timeout, this, &TRuhe::zurueckgeben);
}

void TRuhe::ausruhen(TScreenForm *flaeche)
{
    m_flaeche = flaeche;
    m_uhr.start();
}

void TRuhe::aufwachen()
{
    m_uhr.stop();
    // The freeze reads into the memory and paints into the surface's: both are taken now.
    m_kalt = false;
}

void TRuhe::vorwaermen(QScreen *monitor, TScreenForm *flaeche)
{
    if (!m_kalt || !monitor)
        return;
    m_kalt = false;
    // The surface's backing store is not made here: its pages are written on a thread that
    // must be done before the window may go, which the freeze waits for and a quit would not.
    // Made at the freeze, it is ready during the wait before the screen is read.
    bildschirmLesenVorwaermen(monitor);
    ausruhen(flaeche);
}

void TRuhe::zurueckgeben()
{
    bildschirmSpeicherGanzFreigeben();
    if (m_flaeche)
        m_flaeche->malspeicherFreigeben();
    SpeicherZurueckgeben();
    m_kalt = true;
    emit zurueckgegeben();
}
