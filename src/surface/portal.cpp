#include "surface/portal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

namespace {

const QString Dienst = QStringLiteral("org.freedesktop.portal.Desktop");
const QString DienstPfad = QStringLiteral("/org/freedesktop/portal/desktop");
const QString Anfrage = QStringLiteral("org.freedesktop.portal.Request");

// Receives the request's answer.
class Antwort : public QObject
{
    Q_OBJECT

public:
    QEventLoop schleife;
    bool da = false;
    uint code = 2;
    QVariantMap ergebnis;

public slots:
    void Response(uint antwortCode, const QVariantMap &werte)
    {
        if (da)
            return;
        da = true;
        code = antwortCode;
        ergebnis = werte;
        schleife.quit();
    }
};

bool verbinden(QDBusConnection &bus, const QString &pfad, Antwort *a)
{
    return bus.connect(Dienst, pfad, Anfrage, QStringLiteral("Response"), a,
                       SLOT(Response(uint, QVariantMap)));
}

void trennen(QDBusConnection &bus, const QString &pfad, Antwort *a)
{
    bus.disconnect(Dienst, pfad, Anfrage, QStringLiteral("Response"), a, SLOT(Response(uint, QVariantMap)));
}

QString dbusFehler(const QDBusError &e)
{
    if (e.type() == QDBusError::ServiceUnknown || e.type() == QDBusError::UnknownObject ||
        e.type() == QDBusError::UnknownInterface || e.type() == QDBusError::UnknownMethod)
        return QStringLiteral("Der Desktop bietet keinen Bildschirmfoto-Dienst an (XDG-Desktop-Portal fehlt).");
    if (e.type() == QDBusError::NoReply || e.type() == QDBusError::Timeout ||
        e.type() == QDBusError::TimedOut)
        return QStringLiteral("Der Bildschirmfoto-Dienst des Desktops antwortet nicht.");
    return QStringLiteral("Der Bildschirmfoto-Dienst des Desktops meldet einen Fehler: %1").arg(e.message());
}

Bildaufnahme bildAusAntwort(const Antwort &a)
{
    if (a.code == 1)
        return {{}, QStringLiteral("Der Desktop hat das Bildschirmfoto abgelehnt.")};
    if (a.code != 0)
        return {{}, QStringLiteral("Der Desktop konnte kein Bildschirmfoto aufnehmen.")};
    const QUrl uri(a.ergebnis.value(QStringLiteral("uri")).toString());
    if (!uri.isLocalFile())
        return {{},
                QStringLiteral("Der Desktop hat das Bildschirmfoto an einem unbekannten Ort abgelegt: \"%1\".")
                    .arg(uri.toString())};
    const QString datei = uri.toLocalFile();
    const QImage bild(datei);
    // The picture of the screen is ours alone; it must not stay behind in a shared folder.
    QFile::remove(datei);
    if (bild.isNull())
        return {{}, QStringLiteral("Das Bildschirmfoto des Desktops (%1) ließ sich nicht lesen.").arg(datei)};
    return {bild, {}};
}

} // namespace

Bildaufnahme portalBildschirmfoto(int wartezeitMs)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return {{}, QStringLiteral("Keine Verbindung zum Sitzungsbus des Desktops (D-Bus).")};

    // The portal answers on a request object whose path follows from our bus name and the
    // token; subscribed before the call, the answer cannot slip past even if it comes at once.
    const QString token =
        QStringLiteral("skizzomat%1").arg(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFFFull);
    QString absender = bus.baseService().mid(1);
    absender.replace(QLatin1Char('.'), QLatin1Char('_'));
    QString pfad = DienstPfad + QStringLiteral("/request/") + absender + QLatin1Char('/') + token;
    Antwort antwort;
    verbinden(bus, pfad, &antwort);

    QDBusMessage ruf = QDBusMessage::createMethodCall(Dienst, DienstPfad, QStringLiteral("org.freedesktop.portal.Screenshot"),
                                                      QStringLiteral("Screenshot"));
    ruf << QString() << QVariantMap{{QStringLiteral("interactive"), false}, {QStringLiteral("handle_token"), token}};
    QString fehler;
    QDBusPendingCallWatcher beobachter(bus.asyncCall(ruf, wartezeitMs));
    QObject::connect(&beobachter, &QDBusPendingCallWatcher::finished, &antwort, [&] {
        const QDBusPendingReply<QDBusObjectPath> reply = beobachter;
        if (reply.isError()) {
            fehler = dbusFehler(reply.error());
            antwort.schleife.quit();
            return;
        }
        // Portals older than the token scheme name another object.
        const QString genannt = reply.value().path();
        if (genannt != pfad && !antwort.da) {
            trennen(bus, pfad, &antwort);
            pfad = genannt;
            verbinden(bus, pfad, &antwort);
        }
    });
    QTimer frist;
    frist.setSingleShot(true);
    QObject::connect(&frist, &QTimer::timeout, &antwort.schleife, &QEventLoop::quit);
    frist.start(wartezeitMs);
    if (!antwort.da)
        antwort.schleife.exec();
    trennen(bus, pfad, &antwort);

    if (antwort.da)
        return bildAusAntwort(antwort);
    if (!fehler.isEmpty())
        return {{}, fehler};
    // No answer in time: the request is withdrawn, so that no picture is taken behind our back.
    bus.send(QDBusMessage::createMethodCall(Dienst, pfad, Anfrage, QStringLiteral("Close")));
    return {{},
            QStringLiteral("Der Bildschirmfoto-Dienst des Desktops hat nicht innerhalb von %1 Sekunden geantwortet.")
                .arg(wartezeitMs / 1000.0, 0, 'g', 3)};
}

#include "portal.moc"
