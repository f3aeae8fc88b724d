#include "output/drucker.h"

#include <QStringList>

#include <cups/cups.h>

#include <cstring>

namespace {

// An answer that does not come within the time limit ends the wait instead of starting another.
int aufgeben(http_t *, void *)
{
    return 0;
}

// The connection; closed when it goes out of scope.
class Verbindung
{
public:
    explicit Verbindung(int fristMs)
        : m_http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, fristMs,
                              nullptr))
    {
        if (m_http)
            httpSetTimeout(m_http, fristMs / 1000.0, aufgeben, nullptr);
    }
    ~Verbindung() { httpClose(m_http); }
    Verbindung(const Verbindung &) = delete;
    Verbindung &operator=(const Verbindung &) = delete;
    http_t *http() const { return m_http; }

private:
    http_t *m_http;
};

// The queues with their options; freed when it goes out of scope.
class Ziele
{
public:
    explicit Ziele(http_t *http) : m_anzahl(cupsGetDests2(http, &m_ziele)) {}
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

QString option(const cups_dest_t *ziel, const char *name)
{
    return QString::fromUtf8(cupsGetOption(name, ziel->num_options, ziel->options));
}

// The states that stop a printer most often, as the user calls them; the rest as the server
// names them. "paused" only says that the queue was stopped, which the line says anyway.
QString zustandsgrund(const QString &schluessel)
{
    static const struct
    {
        const char *schluessel;
        const char *text;
    } bekannt[] = {
        {"media-jam", "Papierstau"},
        {"media-empty", "kein Papier"},
        {"media-needed", "Papier fehlt"},
        {"toner-empty", "Toner leer"},
        {"marker-supply-empty", "Tinte oder Toner leer"},
        {"door-open", "Klappe offen"},
        {"cover-open", "Deckel offen"},
        {"offline", "nicht verbunden"},
        {"connecting-to-device", "Verbindung zum Gerät wird aufgebaut"},
    };
    QString s = schluessel;
    for (const char *endung : {"-error", "-warning", "-report"})
        if (s.endsWith(QLatin1String(endung))) {
            s.chop(qsizetype(std::strlen(endung)));
            break;
        }
    if (s == QLatin1String("none") || s == QLatin1String("paused"))
        return {};
    for (const auto &b : bekannt)
        if (s == QLatin1String(b.schluessel))
            return QString::fromUtf8(b.text);
    return s;
}

// The server's own words on a queue's state; the queue list leaves them out.
QString zustandsmeldung(http_t *http, const QString &uri)
{
    ipp_t *anfrage = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(anfrage, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.toUtf8().constData());
    ippAddString(anfrage, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-state-message");
    ipp_t *antwort = cupsDoRequest(http, anfrage, "/");
    QString text;
    if (ipp_attribute_t *a = ippFindAttribute(antwort, "printer-state-message", IPP_TAG_TEXT))
        text = QString::fromUtf8(ippGetString(a, 0, nullptr)).trimmed();
    ippDelete(antwort);
    return text;
}

QString stoppgrund(http_t *http, const cups_dest_t *ziel)
{
    QStringList teile;
    for (const QString &s : option(ziel, "printer-state-reasons").split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (const QString t = zustandsgrund(s.trimmed()); !t.isEmpty() && !teile.contains(t))
            teile << t;
    if (const QString meldung = zustandsmeldung(http, option(ziel, "printer-uri-supported"));
        !meldung.isEmpty())
        teile << meldung;
    return teile.join(QStringLiteral(", "));
}

} // namespace

QString druckserver()
{
    return QString::fromLocal8Bit(cupsServer());
}

DruckerAuskunft druckerAbfragen(const QString &name, int fristMs)
{
    DruckerAuskunft a;
    a.server = druckserver();
    a.name = name;
    const Verbindung v(fristMs);
    if (!v.http()) {
        a.lage = DruckerAuskunft::NichtErreichbar;
        return a;
    }
    // One short question first: a silent server then costs one time limit, not one per request
    // of the queue list.
    ipp_t *antwort = cupsDoRequest(v.http(), ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
    if (!antwort) {
        a.lage = DruckerAuskunft::AntwortetNicht;
        return a;
    }
    ippDelete(antwort);

    const Ziele ziele(v.http());
    const cups_dest_t *ziel = ziele.finde(name);
    if (!ziel) {
        if (cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)
            a.lage = DruckerAuskunft::AntwortetNicht;
        else
            a.lage = name.isEmpty() ? DruckerAuskunft::KeinDrucker : DruckerAuskunft::GibtEsNicht;
        return a;
    }
    a.lage = DruckerAuskunft::Bereit;
    a.name = QString::fromLocal8Bit(ziel->name);
    if (ziel->instance)
        a.name += QLatin1Char('/') + QString::fromLocal8Bit(ziel->instance);
    a.anschluss = option(ziel, "device-uri");
    a.nimmtAuftraege = option(ziel, "printer-is-accepting-jobs") != QLatin1String("false");
    a.angehalten = option(ziel, "printer-state").toInt() == IPP_PSTATE_STOPPED;
    if (a.angehalten)
        a.grund = stoppgrund(v.http(), ziel);
    return a;
}

DruckerAuskunft keineAntwort()
{
    DruckerAuskunft a;
    a.lage = DruckerAuskunft::AntwortetNicht;
    a.server = druckserver();
    return a;
}

QString druckerZeile(const DruckerAuskunft &a)
{
    switch (a.lage) {
    case DruckerAuskunft::KeinDrucker:
        return QStringLiteral("- Kein Drucker -");
    case DruckerAuskunft::GibtEsNicht:
        return QStringLiteral("%1: Diesen Drucker gibt es nicht mehr").arg(a.name);
    case DruckerAuskunft::NichtErreichbar:
        return QStringLiteral("Der Druckserver ist nicht erreichbar (%1)").arg(a.server);
    case DruckerAuskunft::AntwortetNicht:
        return QStringLiteral("Der Druckserver antwortet nicht (%1)").arg(a.server);
    case DruckerAuskunft::Bereit:
        break;
    }
    QString zeile = a.anschluss.isEmpty() ? a.name : a.name + QStringLiteral(" an ") + a.anschluss;
    if (a.angehalten)
        zeile +=
            a.grund.isEmpty() ? QStringLiteral(" – angehalten") : QStringLiteral(" – angehalten: ") + a.grund;
    if (!a.nimmtAuftraege)
        zeile += QStringLiteral(" – nimmt keine Aufträge an");
    return zeile;
}

QString druckHindernis(const DruckerAuskunft &a)
{
    switch (a.lage) {
    case DruckerAuskunft::Bereit:
        return {};
    case DruckerAuskunft::KeinDrucker:
        return QStringLiteral("Es ist kein Drucker eingerichtet");
    case DruckerAuskunft::GibtEsNicht:
        return QStringLiteral("Es wird nichts gedruckt: Den Drucker „%1“ gibt es nicht mehr. Unter "
                              "„Einrichten...“ lässt sich ein anderer wählen")
            .arg(a.name);
    case DruckerAuskunft::NichtErreichbar:
        return QStringLiteral("Es wird nichts gedruckt: Der Druckserver ist nicht erreichbar (%1)")
            .arg(a.server);
    case DruckerAuskunft::AntwortetNicht:
        return QStringLiteral("Es wird nichts gedruckt: Der Druckserver antwortet nicht (%1)").arg(a.server);
    }
    return {};
}

QString cupsFehler()
{
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return {};
    return QString::fromUtf8(cupsLastErrorString());
}
