#include "app/sitzungsbus.h"
#include "app/umgebung.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class TstSitzungsbus : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void noBusStartsNone();
    void aBusOfTheSessionIsLeftAlone_data();
    void aBusOfTheSessionIsLeftAlone();

private:
    QTemporaryDir m_laufzeit;
};

void TstSitzungsbus::init()
{
    QVERIFY(m_laufzeit.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_laufzeit.path()));
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
}

// The D-Bus library reads the session's address once per process: this must be the first
// connection of the test.
void TstSitzungsbus::noBusStartsNone()
{
    BusAutostartAbschalten();
    const QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("probe"));
    QVERIFY(!bus.isConnected());
    // Autolaunching, the library says it ran (or could not run) its launcher.
    QVERIFY2(!bus.lastError().message().contains(QLatin1String("launch"), Qt::CaseInsensitive),
             qPrintable(bus.lastError().message()));
    QDBusConnection::disconnectFromBus(QStringLiteral("probe"));
    // The programs started for the user get the environment as it was.
    QVERIFY(!KinderUmgebung().contains(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")));
}

void TstSitzungsbus::aBusOfTheSessionIsLeftAlone_data()
{
    QTest::addColumn<QByteArray>("adresse");
    QTest::addColumn<bool>("busImLaufzeitordner");
    QTest::newRow("named address") << QByteArray("unix:path=/somewhere/bus") << false;
    QTest::newRow("the user's bus in the runtime folder") << QByteArray() << true;
}

void TstSitzungsbus::aBusOfTheSessionIsLeftAlone()
{
    QFETCH(QByteArray, adresse);
    QFETCH(bool, busImLaufzeitordner);
    if (!adresse.isEmpty())
        qputenv("DBUS_SESSION_BUS_ADDRESS", adresse);
    const int bus = socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(bus >= 0);
    if (busImLaufzeitordner) {
        sockaddr_un ort{};
        ort.sun_family = AF_UNIX;
        qstrncpy(ort.sun_path, QFile::encodeName(m_laufzeit.filePath(QStringLiteral("bus"))).constData(),
                 sizeof ort.sun_path);
        QCOMPARE(bind(bus, reinterpret_cast<const sockaddr *>(&ort), sizeof ort), 0);
    }
    BusAutostartAbschalten();
    close(bus);
    QCOMPARE(qgetenv("DBUS_SESSION_BUS_ADDRESS"), adresse);
}

QTEST_GUILESS_MAIN(TstSitzungsbus)
#include "tst_sitzungsbus.moc"
