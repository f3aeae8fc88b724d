#include "surface/portal.h"

#include "surface/pngleser.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

#include <utility>

namespace {

const QString Dienst = QStringLiteral("org.freedesktop.portal.Desktop");
const QString DienstPfad = QStringLiteral("/org/freedesktop/portal/desktop");
const QString Anfrage = QStringLiteral("org.freedesktop.portal.Request");
const QString Speicher = QStringLiteral("org.freedesktop.impl.portal.PermissionStore");
const QString SpeicherPfad = QStringLiteral("/org/freedesktop/impl/portal/PermissionStore");
// GNOME Shell asks its question itself and holds a request object of its own, at the path of
// ours, for as long as the question is on the screen.
const QString ShellFrage = QStringLiteral("org.gnome.Shell.Portal");

const QString DatenschutzHinweis =
    QStringLiteral("Ändern lässt sich das in den Datenschutz-Einstellungen des Desktops.");

std::function<void(const QString &)> &hinweisFunktion()
{
    static std::function<void(const QString &)> f;
    return f;
}

// What the portal's permission store holds on screenshots for programs outside a sandbox
// (they all share the empty program name).
enum class Erlaubnis { Unbekannt, Offen, Ja, Nein };

Erlaubnis gespeicherteErlaubnis(QDBusConnection &bus)
{
    QDBusMessage ruf =
        QDBusMessage::createMethodCall(Speicher, SpeicherPfad, Speicher, QStringLiteral("Lookup"));
    ruf << QStringLiteral("screenshot") << QStringLiteral("screenshot");
    const QDBusMessage antwort = bus.call(ruf, QDBus::Block, 2000);
    if (antwort.type() == QDBusMessage::ErrorMessage)
        return antwort.errorName() == QLatin1String("org.freedesktop.portal.Error.NotFound")
                   ? Erlaubnis::Offen
                   : Erlaubnis::Unbekannt;
    if (antwort.arguments().isEmpty())
        return Erlaubnis::Unbekannt;
    const auto eintraege = qdbus_cast<QMap<QString, QStringList>>(antwort.arguments().constFirst());
    const QStringList werte = eintraege.value(QString());
    if (werte.isEmpty())
        return Erlaubnis::Offen;
    if (werte.constFirst() == QLatin1String("yes"))
        return Erlaubnis::Ja;
    if (werte.constFirst() == QLatin1String("no"))
        return Erlaubnis::Nein;
    return Erlaubnis::Offen;
}

// Whether GNOME Shell shows its question for the request at `pfad` right now.
bool shellFragt(QDBusConnection &bus, const QString &pfad)
{
    QDBusMessage ruf = QDBusMessage::createMethodCall(ShellFrage, pfad,
                                                      QStringLiteral("org.freedesktop.DBus.Introspectable"),
                                                      QStringLiteral("Introspect"));
    ruf.setAutoStartService(false);
    const QDBusMessage antwort = bus.call(ruf, QDBus::Block, 500);
    return antwort.type() == QDBusMessage::ReplyMessage && !antwort.arguments().isEmpty() &&
           antwort.arguments().constFirst().toString().contains(
               QLatin1String("org.freedesktop.impl.portal.Request"));
}

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
        return QStringLiteral(
            "Der Desktop bietet keinen Bildschirmfoto-Dienst an (XDG-Desktop-Portal fehlt).");
    if (e.type() == QDBusError::NoReply || e.type() == QDBusError::Timeout ||
        e.type() == QDBusError::TimedOut)
        return QStringLiteral("Der Bildschirmfoto-Dienst des Desktops antwortet nicht.");
    return QStringLiteral("Der Bildschirmfoto-Dienst des Desktops meldet einen Fehler: %1").arg(e.message());
}

// One screenshot request and how it ended.
struct Anfrageausgang
{
    bool beantwortet = false;
    uint code = 2;
    QVariantMap ergebnis;
    QString fehler;       // the call itself failed
    bool gefragt = false; // the notice of the desktop's question was shown
};

Anfrageausgang anfragen(QDBusConnection &bus, int wartezeitMs, bool hinweisMoeglich)
{
    // The portal answers on a request object whose path follows from our bus name and the
    // token; subscribed before the call, the answer cannot slip past even if it comes at once.
    const QString token = portalToken();
    QString pfad = portalAnfragePfad(bus, token);
    Antwort antwort;
    verbinden(bus, pfad, &antwort);

    QDBusMessage ruf = QDBusMessage::createMethodCall(Dienst, DienstPfad,
                                                      QStringLiteral("org.freedesktop.portal.Screenshot"),
                                                      QStringLiteral("Screenshot"));
    ruf << QString()
        << QVariantMap{{QStringLiteral("interactive"), false}, {QStringLiteral("handle_token"), token}};
    Anfrageausgang ausgang;
    QDBusPendingCallWatcher beobachter(bus.asyncCall(ruf, wartezeitMs));
    QObject::connect(&beobachter, &QDBusPendingCallWatcher::finished, &antwort, [&] {
        const QDBusPendingReply<QDBusObjectPath> reply = beobachter;
        if (reply.isError()) {
            ausgang.fehler = dbusFehler(reply.error());
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

    // The portal may ask the user first. GNOME Shell shows that it does; elsewhere a long wait
    // with no permission stored hints at a question. The notice says so, in words.
    QTimer nachsehen;
    QDeadlineTimer allgemein(3000);
    QObject::connect(&nachsehen, &QTimer::timeout, &antwort, [&] {
        if (antwort.da || ausgang.gefragt)
            return;
        if (!shellFragt(bus, pfad) &&
            !(allgemein.hasExpired() && gespeicherteErlaubnis(bus) == Erlaubnis::Offen))
            return;
        nachsehen.stop();
        ausgang.gefragt = true;
        hinweisFunktion()(QStringLiteral("Der Desktop fragt, ob Skizzomat|Bildschirmfotos aufnehmen "
                                         "darf.||Bitte in seinem Dialog antworten."));
    });
    if (hinweisMoeglich && hinweisFunktion())
        nachsehen.start(250);

    if (!antwort.da)
        antwort.schleife.exec();
    nachsehen.stop();
    trennen(bus, pfad, &antwort);
    if (ausgang.gefragt)
        hinweisFunktion()(QString());

    ausgang.beantwortet = antwort.da;
    ausgang.code = antwort.code;
    ausgang.ergebnis = antwort.ergebnis;
    if (!antwort.da && ausgang.fehler.isEmpty())
        // No answer in time: the request is withdrawn, so that no picture is taken behind our back.
        bus.send(QDBusMessage::createMethodCall(Dienst, pfad, Anfrage, QStringLiteral("Close")));
    return ausgang;
}

// Why a request the portal answered brought no picture.
QString abgelehnt(QDBusConnection &bus, const Anfrageausgang &a)
{
    const Erlaubnis erlaubnis = gespeicherteErlaubnis(bus);
    if (erlaubnis == Erlaubnis::Nein)
        return (a.gefragt
                    ? QStringLiteral("Sie haben Skizzomat das Aufnehmen von Bildschirmfotos nicht erlaubt. ")
                    : QStringLiteral("Der Desktop erlaubt Skizzomat keine Bildschirmfotos: Die Berechtigung "
                                     "„Bildschirmfotos“ steht auf „Nein“. ")) +
               DatenschutzHinweis;
    // A desktop that gives a reason puts it into the answer; the portal's own ones carry none.
    QStringList gruende;
    for (auto it = a.ergebnis.cbegin(); it != a.ergebnis.cend(); ++it)
        if (it.key() != QLatin1String("uri") && it.value().canConvert<QString>() &&
            !it.value().toString().isEmpty())
            gruende << it.value().toString();
    if (!gruende.isEmpty())
        return QStringLiteral("Der Desktop konnte kein Bildschirmfoto aufnehmen: %1")
            .arg(gruende.join(QStringLiteral("; ")));
    return QStringLiteral(
               "Der Desktop konnte kein Bildschirmfoto aufnehmen (Antwort %1 seines Bildschirmfoto-Dienstes, "
               "ohne Angabe eines Grundes).")
        .arg(a.code);
}

Bildaufnahme bildAusAntwort(const Anfrageausgang &a, PngVorrat &vorrat)
{
    const QUrl uri(a.ergebnis.value(QStringLiteral("uri")).toString());
    if (!uri.isLocalFile())
        return {
            {},
            QStringLiteral("Der Desktop hat das Bildschirmfoto an einem unbekannten Ort abgelegt: \"%1\".")
                .arg(uri.toString())};
    const QString datei = uri.toLocalFile();
    QFile f(datei);
    const QByteArray png = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    f.close();
    // The picture of the screen is ours alone; it must not stay behind in a shared folder.
    QFile::remove(datei);
    // The plain PNG that GNOME's and KDE's portals write goes through our own reader; any
    // other file, or one ours refuses, through the image library's.
    QImage bild = pngBildschirmfotoLesen(png, &vorrat);
    if (bild.isNull())
        bild = QImage::fromData(png);
    if (bild.isNull())
        return {{}, QStringLiteral("Das Bildschirmfoto des Desktops (%1) ließ sich nicht lesen.").arg(datei)};
    return {bild, {}};
}

} // namespace

void portalHinweisSetzen(std::function<void(const QString &)> hinweis)
{
    hinweisFunktion() = std::move(hinweis);
}

Bildaufnahme portalBildschirmfoto(QSize desktop, int wartezeitMs)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return {{}, QStringLiteral("Keine Verbindung zum Sitzungsbus des Desktops (D-Bus).")};

    // The picture's memory made ready while the desktop takes it.
    PngVorrat vorrat(desktop);
    Anfrageausgang a = anfragen(bus, wartezeitMs, true);
    if (a.beantwortet && a.code == 0 && a.gefragt) {
        // The picture was taken as the question closed and may show it or our notice: once
        // more, now that the answer is stored.
        QFile::remove(QUrl(a.ergebnis.value(QStringLiteral("uri")).toString()).toLocalFile());
        a = anfragen(bus, wartezeitMs, false);
    }
    if (a.beantwortet)
        return a.code == 0 ? bildAusAntwort(a, vorrat) : Bildaufnahme({}, abgelehnt(bus, a));
    if (!a.fehler.isEmpty())
        return {{}, a.fehler};
    if (a.gefragt)
        return {{},
                QStringLiteral(
                    "Auf die Frage des Desktops, ob Skizzomat Bildschirmfotos aufnehmen darf, kam keine "
                    "Antwort, solange der Desktop darauf wartete (%1 Sekunden). Eine spätere Antwort zählt "
                    "nicht mehr: Bitte die Frage schließen und noch einmal einfrieren.")
                    .arg(PortalFragefristMs / 1000)};
    return {{},
            QStringLiteral(
                "Der Bildschirmfoto-Dienst des Desktops hat nicht innerhalb von %1 Sekunden geantwortet.")
                .arg(wartezeitMs / 1000.0, 0, 'g', 3)};
}

#include "portal.moc"

QString portalToken()
{
    return QStringLiteral("skizzomat%1").arg(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFFFull);
}

QString portalAnfragePfad(const QDBusConnection &bus, const QString &token)
{
    QString absender = bus.baseService().mid(1);
    absender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return DienstPfad + QStringLiteral("/request/") + absender + QLatin1Char('/') + token;
}
