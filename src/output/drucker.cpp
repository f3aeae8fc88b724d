#include "output/drucker.h"

#include <cups/cups.h>

namespace {

// The queues with their options; freed when it goes out of scope.
class Ziele
{
public:
    Ziele() : m_anzahl(cupsGetDests2(CUPS_HTTP_DEFAULT, &m_ziele)) {}
    ~Ziele() { cupsFreeDests(m_anzahl, m_ziele); }
    Ziele(const Ziele &) = delete;
    Ziele &operator=(const Ziele &) = delete;

    // The default queue for an empty name.
    cups_dest_t *finde(const QString &name) const
    {
        if (name.isEmpty())
            return cupsGetDest(nullptr, nullptr, m_anzahl, m_ziele);
        const qsizetype schraeg = name.indexOf(QLatin1Char('/'));
        const QByteArray queue = (schraeg < 0 ? name : name.left(schraeg)).toLocal8Bit();
        const QByteArray instanz = schraeg < 0 ? QByteArray() : name.mid(schraeg + 1).toLocal8Bit();
        return cupsGetDest(queue.constData(), instanz.isEmpty() ? nullptr : instanz.constData(), m_anzahl,
                           m_ziele);
    }

private:
    cups_dest_t *m_ziele = nullptr;
    int m_anzahl = 0;
};

} // namespace

QString standardDrucker()
{
    const Ziele ziele;
    const cups_dest_t *ziel = ziele.finde(QString());
    if (!ziel || !ziel->name)
        return {};
    QString name = QString::fromLocal8Bit(ziel->name);
    if (ziel->instance)
        name += QLatin1Char('/') + QString::fromLocal8Bit(ziel->instance);
    return name;
}

QString druckerAnschluss(const QString &name)
{
    if (name.isEmpty())
        return {};
    const Ziele ziele;
    const cups_dest_t *ziel = ziele.finde(name);
    if (!ziel)
        return {};
    return QString::fromLocal8Bit(cupsGetOption("device-uri", ziel->num_options, ziel->options));
}

QString cupsFehler()
{
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return {};
    return QString::fromUtf8(cupsLastErrorString());
}
