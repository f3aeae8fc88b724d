#include "surface/kwinbild.h"

#include "app/vorbelegen.h"
#include "surface/ausschnitt.h"
#include "surface/kwinantwort.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

const QString Dienst = QStringLiteral("org.kde.KWin");
const QString Pfad = QStringLiteral("/org/kde/KWin/ScreenShot2");
const QString Schnittstelle = QStringLiteral("org.kde.KWin.ScreenShot2");
// KWin answers within a frame or two; longer means it is stuck, and the portal may do better.
constexpr int AntwortFrist = 5000;
constexpr std::chrono::milliseconds LeseFrist{5000};

bool kwinAmBus()
{
    static const bool da = [] {
        QDBusConnection bus = QDBusConnection::sessionBus();
        return bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(Dienst).value();
    }();
    return da;
}

bool &skalierungGesagt()
{
    static bool gesagt = false;
    return gesagt;
}

// KWin's outputs are named as KWin names them, XWayland's monitors as XWayland does
// ("XWAYLAND0" and so on): once a name was unknown, the whole workspace is asked for.
bool &nurArbeitsflaeche()
{
    static bool nur = false;
    return nur;
}

struct KwinErgebnis
{
    QImage bild;
    QString fehlername; // the D-Bus error's name, when KWin answered with one
    QString fehler;
};

// The size in bytes of KWin's last picture: the next is most likely as large.
qsizetype &letzteGroesse()
{
    static qsizetype groesse = 0;
    return groesse;
}

KwinErgebnis aufnehmen(const QString &methode, const QVariantList &vorne, qsizetype geschaetzt)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return {{}, {}, QStringLiteral("kein Sitzungsbus")};
    int enden[2];
    if (pipe2(enden, O_CLOEXEC) != 0)
        return {{}, {}, QStringLiteral("keine Pipe")};
    // KWin writes the whole picture at once; a pipe of 1 MB (the most the system gives a user)
    // takes it in 8 steps at 1080p instead of 128, each a switch between KWin's thread and ours.
    fcntl(enden[0], F_SETPIPE_SZ, 1 << 20);
    // The picture's memory, its pages written while KWin paints its next frame, which takes
    // far longer: afterwards the pixels land in mapped memory and become the picture as it is.
    QByteArray puffer(letzteGroesse() > 0 ? letzteGroesse() : geschaetzt, Qt::Uninitialized);
    std::jthread vorbereitung([p = puffer.data(), n = size_t(puffer.size())] { seitenVorbelegen(p, n); });
    QDBusMessage antwort;
    {
        // Every copy of the writing end must be closed before the reading, or it never ends:
        // ours now, the message's with the message.
        QDBusMessage ruf = QDBusMessage::createMethodCall(Dienst, Pfad, Schnittstelle, methode);
        QVariantList argumente = vorne;
        argumente << QVariantMap{{QStringLiteral("include-cursor"), false},
                                 {QStringLiteral("native-resolution"), true}}
                  << QVariant::fromValue(QDBusUnixFileDescriptor(enden[1]));
        close(enden[1]);
        ruf.setArguments(argumente);
        // KWin sends the answer before the pixels; nothing of ours has to run meanwhile.
        antwort = bus.call(ruf, QDBus::Block, AntwortFrist);
    }
    KwinErgebnis e;
    if (antwort.type() != QDBusMessage::ReplyMessage) {
        close(enden[0]);
        e.fehlername = antwort.errorName();
        e.fehler = antwort.errorMessage();
        return e;
    }
    const QVariantMap werte =
        antwort.arguments().isEmpty() ? QVariantMap() : qdbus_cast<QVariantMap>(antwort.arguments().first());
    const qint64 erwartet = werte.value(QStringLiteral("stride")).toLongLong() *
                            werte.value(QStringLiteral("height")).toLongLong();
    // Not more than an 8K picture of 16-bit channels; a larger number is a broken answer.
    constexpr qint64 Hoechstens = qint64(7680) * 4320 * 8;
    bool vollstaendig = false;
    vorbereitung.join();
    QByteArray daten = pipeLesen(enden[0], LeseFrist, qsizetype(std::clamp<qint64>(erwartet, 0, Hoechstens)),
                                 &vollstaendig, std::move(puffer));
    close(enden[0]);
    letzteGroesse() = daten.size();
    e.bild = kwinBild(werte, std::move(daten), &e.fehler);
    if (!vollstaendig && e.bild.isNull() && e.fehler.isEmpty())
        e.fehler = QStringLiteral("die Pixel kamen nicht vollständig an");
    return e;
}

void einmalMelden(const QString &fehler)
{
    static bool gemeldet = false;
    if (gemeldet)
        return;
    gemeldet = true;
    std::fprintf(stderr,
                 "skizzomat: KWin nimmt kein Bild für Skizzomat auf (%s); es kommt vom Desktop-Portal.\n",
                 qPrintable(fehler));
}

// Swallows nothing; ends the wait once the pointer is over the cover.
class ZeigerDa : public QObject
{
public:
    explicit ZeigerDa(QEventLoop *schleife) : m_schleife(schleife) {}

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Enter)
            m_schleife->quit();
        return false;
    }

private:
    QEventLoop *m_schleife;
};

} // namespace

QString kwinSkalierungEinmal(QSize bild, QSize desktop)
{
    if (skalierungGesagt() || !kwinAmBus())
        return {};
    QString hinweis = kwinSkalierungsHinweis(bild, desktop);
    skalierungGesagt() = !hinweis.isEmpty();
    return hinweis;
}

std::optional<Bildaufnahme> kwinBildschirmfoto(QScreen *monitor)
{
    static bool abgelehnt = false;
    if (abgelehnt || !kwinAmBus())
        return std::nullopt;
    const QRect desktop = monitor->virtualGeometry();
    // XWayland's size: KWin's picture is that, or larger where KWin scales XWayland.
    const qsizetype geschaetzt = qsizetype(desktop.width()) * desktop.height() * 4;
    KwinErgebnis e;
    bool ganz = nurArbeitsflaeche();
    if (!ganz) {
        e = aufnehmen(QStringLiteral("CaptureScreen"), {monitor->name()}, geschaetzt);
        ganz = e.bild.isNull() && kwinFolge(e.fehlername) == KwinFolge::Arbeitsflaeche;
        nurArbeitsflaeche() = ganz;
    }
    if (ganz)
        e = aufnehmen(QStringLiteral("CaptureWorkspace"), {}, geschaetzt);
    if (e.bild.isNull()) {
        abgelehnt = kwinFolge(e.fehlername) == KwinFolge::PortalAbJetzt;
        einmalMelden(e.fehlername.isEmpty() ? e.fehler : e.fehlername + QStringLiteral(": ") + e.fehler);
        return std::nullopt;
    }
    const QRect gezeigt = ganz ? desktop : monitor->geometry();
    // A picture of just this monitor at its size is already what it shows.
    Bildaufnahme aufnahme(gezeigt == monitor->geometry() && e.bild.size() == gezeigt.size()
                              ? e.bild
                              : monitorAusschnitt(e.bild, gezeigt, monitor->geometry()));
    if (aufnahme.bild.isNull())
        return std::nullopt;
    aufnahme.hinweis = kwinSkalierungEinmal(e.bild.size(), gezeigt.size());
    return aufnahme;
}

ZeigerVerdeckt::ZeigerVerdeckt(QScreen *monitor)
{
    if (!kwinAmBus())
        return;
    m_decke = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint |
                                                     Qt::X11BypassWindowManagerHint |
                                                     Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    m_decke->setAttribute(Qt::WA_TranslucentBackground);
    m_decke->setAttribute(Qt::WA_ShowWithoutActivating);
    m_decke->setCursor(Qt::BlankCursor);
    // Over every monitor: the pointer need not be on the one to be frozen.
    m_decke->setGeometry(monitor->virtualGeometry());
    QEventLoop schleife;
    ZeigerDa zeigerDa(&schleife);
    m_decke->installEventFilter(&zeigerDa);
    // Without a pointer over the desktop no Enter comes; the picture is taken all the same.
    QTimer::singleShot(300, &schleife, &QEventLoop::quit);
    m_decke->show();
    if (!m_decke->underMouse())
        schleife.exec();
    m_decke->removeEventFilter(&zeigerDa);
}

ZeigerVerdeckt::~ZeigerVerdeckt() = default;
