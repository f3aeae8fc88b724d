#include "toolwindow/tastenportal.h"

#include "surface/portal.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

#include <algorithm>
#include <cstdio>

namespace {

const QString Dienst = QStringLiteral("org.freedesktop.portal.Desktop");
const QString DienstPfad = QStringLiteral("/org/freedesktop/portal/desktop");
const QString Anfrage = QStringLiteral("org.freedesktop.portal.Request");
const QString Kurzbefehle = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString KurzbefehlId = QStringLiteral("einfrieren");

// One shortcut as the portal takes it: its id and its properties.
struct Kurzbefehl
{
    QString id;
    QVariantMap werte;
};

QDBusArgument &operator<<(QDBusArgument &arg, const Kurzbefehl &k)
{
    arg.beginStructure();
    arg << k.id << k.werte;
    arg.endStructure();
    return arg;
}

const QDBusArgument &operator>>(const QDBusArgument &arg, Kurzbefehl &k)
{
    arg.beginStructure();
    arg >> k.id >> k.werte;
    arg.endStructure();
    return arg;
}

} // namespace

Q_DECLARE_METATYPE(Kurzbefehl)

TastenPortal::TastenPortal(const GlobaleTaste &taste, QObject *parent) : QObject(parent), m_taste(taste)
{
    qDBusRegisterMetaType<Kurzbefehl>();
    qDBusRegisterMetaType<QList<Kurzbefehl>>();
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(Dienst, DienstPfad, Kurzbefehle, QStringLiteral("Activated"), this,
                SLOT(Activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    const QString token = portalToken();
    QDBusMessage ruf =
        QDBusMessage::createMethodCall(Dienst, DienstPfad, Kurzbefehle, QStringLiteral("CreateSession"));
    ruf << QVariantMap{{QStringLiteral("handle_token"), token},
                       {QStringLiteral("session_handle_token"), token}};
    anfragen(ruf, token);
}

void TastenPortal::anfragen(QDBusMessage ruf, const QString &token)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    // The answer comes on a request object whose path follows from our bus name and the token;
    // subscribed before the call, it cannot slip past.
    m_anfrage = portalAnfragePfad(bus, token);
    bus.connect(Dienst, m_anfrage, Anfrage, QStringLiteral("Response"), this,
                SLOT(Response(uint, QVariantMap)));
    auto *beobachter = new QDBusPendingCallWatcher(bus.asyncCall(ruf), this);
    connect(beobachter, &QDBusPendingCallWatcher::finished, this, [this, beobachter] {
        beobachter->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> antwort = *beobachter;
        // A desktop without the shortcut portal: the other ways remain, nothing to say.
        if (antwort.isError()) {
            if (antwort.error().type() != QDBusError::UnknownMethod &&
                antwort.error().type() != QDBusError::UnknownInterface &&
                antwort.error().type() != QDBusError::ServiceUnknown)
                scheitern(antwort.error().message());
            return;
        }
        // Portals older than the token scheme name another object.
        if (const QString genannt = antwort.value().path(); genannt != m_anfrage) {
            QDBusConnection b = QDBusConnection::sessionBus();
            b.disconnect(Dienst, m_anfrage, Anfrage, QStringLiteral("Response"), this,
                         SLOT(Response(uint, QVariantMap)));
            m_anfrage = genannt;
            b.connect(Dienst, m_anfrage, Anfrage, QStringLiteral("Response"), this,
                      SLOT(Response(uint, QVariantMap)));
        }
    });
}

void TastenPortal::Response(uint code, const QVariantMap &ergebnis)
{
    QDBusConnection::sessionBus().disconnect(Dienst, m_anfrage, Anfrage, QStringLiteral("Response"), this,
                                             SLOT(Response(uint, QVariantMap)));
    if (code != 0) {
        scheitern(code == 1 ? QStringLiteral("abgelehnt") : QStringLiteral("Antwort %1").arg(code));
        return;
    }
    if (m_schritt == SitzungAnlegen) {
        // Documented as an object path; some portals send it as a string.
        const QVariant sitzung = ergebnis.value(QStringLiteral("session_handle"));
        m_sitzung = sitzung.canConvert<QDBusObjectPath>() ? sitzung.value<QDBusObjectPath>().path()
                                                          : sitzung.toString();
        if (m_sitzung.isEmpty()) {
            scheitern(QStringLiteral("keine Sitzung"));
            return;
        }
        binden();
        return;
    }
    // A desktop may answer without binding (KDE Plasma 5.27 does for a program it knows no
    // application id of); no Activated will come then.
    const QList<Kurzbefehl> gebunden =
        qdbus_cast<QList<Kurzbefehl>>(ergebnis.value(QStringLiteral("shortcuts")).value<QDBusArgument>());
    if (std::none_of(gebunden.begin(), gebunden.end(),
                     [](const Kurzbefehl &k) { return k.id == KurzbefehlId; })) {
        scheitern(QStringLiteral("er hat den Kurzbefehl nicht gebunden"));
        return;
    }
    m_schritt = Gebunden;
}

void TastenPortal::binden()
{
    m_schritt = Binden;
    QVariantMap werte{{QStringLiteral("description"), QStringLiteral("Bildschirm einfrieren")}};
    if (!m_taste.ausloeser.isEmpty())
        werte.insert(QStringLiteral("preferred_trigger"), m_taste.ausloeser);
    const QString token = portalToken();
    QDBusMessage ruf =
        QDBusMessage::createMethodCall(Dienst, DienstPfad, Kurzbefehle, QStringLiteral("BindShortcuts"));
    ruf << QVariant::fromValue(QDBusObjectPath(m_sitzung))
        << QVariant::fromValue(QList<Kurzbefehl>{{KurzbefehlId, werte}}) << QString()
        << QVariantMap{{QStringLiteral("handle_token"), token}};
    anfragen(ruf, token);
}

void TastenPortal::Activated(const QDBusObjectPath &sitzung, const QString &id, qulonglong,
                             const QVariantMap &)
{
    if (m_schritt == Gebunden && sitzung.path() == m_sitzung && id == KurzbefehlId)
        emit ausgeloest();
}

void TastenPortal::scheitern(const QString &warum)
{
    std::fprintf(stderr, "skizzomat: Der Desktop hat die globale Taste nicht eingerichtet (%s).\n",
                 qPrintable(warum));
}
