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
    bildschirmLesenVorwaermen(monitor);
    // The memory the surface is painted into as well, read once by the X server: made at the
    // freeze, its pages would be written during the wait and mapped by the server only at the
    // picture's first showing (at 4K on a virtual machine some 50 ms of the freeze).
    if (flaeche) {
        flaeche->zeigenVorbereiten(monitor->geometry());
        flaeche->malspeicherVorwaermen();
    }
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
