#include "toolwindow/fernsteuerung.h"

#include "app/data.h"
#include "app/programm.h"
#include "app/sitzung.h"
#include "app/sitzungsbus.h"
#include "toolwindow/globaletaste.h"
#include "toolwindow/tastengriff.h"
#include "toolwindow/tastenportal.h"
#include "toolwindow/toolwin2.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {

const QString Schnittstelle = QStringLiteral(SKIZZOMAT_APP_ID);
const QString Objekt = QStringLiteral("/de/quenderwerk/Skizzomat");

// The object on the bus. The reply goes out at once; the command runs afterwards from the
// event loop, since a freeze waits for the screen with the loop running.
class Fernbedienung : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "de.quenderwerk.Skizzomat") // SKIZZOMAT_APP_ID; moc does not expand it

public:
    explicit Fernbedienung(TToolForm &form) : QObject(&form), m_form(form) {}

public slots:
    Q_SCRIPTABLE void Umschalten() { QTimer::singleShot(0, &m_form, &TToolForm::Umschalten); }

private:
    TToolForm &m_form;
};

void meldung(const QString &text)
{
    std::fprintf(stderr, "skizzomat: %s\n", qPrintable(text));
}

void aufDemBusAnbieten(TToolForm &form)
{
    // No bus is started for this: the program would be alone on it.
    if (!sitzungsbusDa())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    if (!bus.registerObject(Objekt, new Fernbedienung(form), QDBusConnection::ExportScriptableSlots))
        return;
    // A program started without the lock (no place could hold it) may find the name taken.
    if (!bus.registerService(Schnittstelle))
        meldung(QStringLiteral("Der Name %1 auf dem Sitzungsbus gehört schon einem anderen Programm; "
                               "skizzomat --toggle erreicht dieses nicht.")
                    .arg(Schnittstelle));
}

void globaleTasteBinden(TToolForm &form)
{
    if (Cfg.GlobaleTaste.trimmed().isEmpty())
        return;
    const std::optional<GlobaleTaste> taste = globaleTasteLesen(Cfg.GlobaleTaste);
    if (!taste) {
        meldung(
            QStringLiteral("Die globale Taste \"%1\" (GlobaleTaste) ist keine einzelne Taste, die Skizzomat "
                           "belegen kann.")
                .arg(Cfg.GlobaleTaste));
        return;
    }
    // A Wayland compositor gives keys to XWayland's programs only while one of them has the
    // keyboard; a global key there is the desktop's to give, through its portal.
    if (waylandSitzung()) {
        if (sitzungsbusDa())
            QObject::connect(new TastenPortal(*taste, &form), &TastenPortal::ausgeloest, &form,
                             &TToolForm::Umschalten, Qt::QueuedConnection);
        return;
    }
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto *griff = new TastenGriff(&form);
    if (const QString warum = griff->greifen(*taste); !warum.isEmpty()) {
        meldung(QStringLiteral("Die globale Taste %1 ist nicht belegt: %2.").arg(Cfg.GlobaleTaste, warum));
        delete griff;
        return;
    }
    QObject::connect(griff, &TastenGriff::gedrueckt, &form, &TToolForm::Umschalten, Qt::QueuedConnection);
}

} // namespace

void FernsteuerungEinrichten(TToolForm &form, bool einfrieren)
{
    if (einfrieren)
        form.Umschalten();
    aufDemBusAnbieten(form);
    QObject::connect(
        &form, &TToolForm::gestartet, &form, [&form] { globaleTasteBinden(form); }, Qt::SingleShotConnection);
}

int UmschaltenSenden(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        meldung(
            QStringLiteral("Keine Verbindung zum Sitzungsbus (D-Bus): %1").arg(bus.lastError().message()));
        return 1;
    }
    // The running program offers its name right after it has made its windows.
    const QDeadlineTimer frist(5000);
    while (!bus.interface()->isServiceRegistered(Schnittstelle)) {
        if (frist.hasExpired()) {
            meldung(QStringLiteral("Skizzomat läuft, ist aber nicht auf dem Sitzungsbus zu erreichen "
                                   "(es läuft auf einem anderen oder ohne)."));
            return 1;
        }
        QThread::msleep(50);
    }
    const QDBusMessage antwort = bus.call(
        QDBusMessage::createMethodCall(Schnittstelle, Objekt, Schnittstelle, QStringLiteral("Umschalten")),
        QDBus::Block, 5000);
    if (antwort.type() == QDBusMessage::ErrorMessage) {
        meldung(QStringLiteral("Skizzomat hat den Befehl nicht angenommen: %1").arg(antwort.errorMessage()));
        return 1;
    }
    return 0;
}

#include "fernsteuerung.moc"
