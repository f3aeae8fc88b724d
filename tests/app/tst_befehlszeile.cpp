// The real program with a command line and an environment: the help and the version answer
// without a display and without loading a Qt platform plugin, a command line it does not know
// gets the usage on standard error and status 2, a start without a display one line and
// status 1 instead of Qt's abort.
#include "app/befehlszeile.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

namespace {

struct Lauf
{
    int status = -1;
    QString aus;
    QString fehler;
};

// Runs the program with `args`; `umgebung` sets "NAME=value" and removes a bare "NAME". No
// display of the test's own reaches it unless a row sets one.
Lauf starten(const QStringList &args, const QStringList &umgebung, const QString &ordner,
             const QString &ausgabeDatei = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"})
        env.insert(QString::fromLatin1(name), ordner);
    for (const QString &eintrag : umgebung) {
        const qsizetype gleich = eintrag.indexOf(QLatin1Char('='));
        if (gleich < 0)
            env.remove(eintrag);
        else
            env.insert(eintrag.left(gleich), eintrag.mid(gleich + 1));
    }
    QProcess p;
    p.setProcessEnvironment(env);
    if (!ausgabeDatei.isEmpty())
        p.setStandardOutputFile(ausgabeDatei);
    p.start(QStringLiteral(SKIZZOMAT_BINARY), args);
    Lauf l;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return l;
    }
    l.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    l.aus = QString::fromUtf8(p.readAllStandardOutput());
    l.fehler = QString::fromUtf8(p.readAllStandardError());
    return l;
}

} // namespace

class TstBefehlszeile : public QObject
{
    Q_OBJECT

private slots:
    void antwort_data();
    void antwort();
    void nichtSchreibbareAntwort();
    void interneOptionenBleibenLiegen();
    void keinePlattformEineZeile();
};

void TstBefehlszeile::antwort_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("umgebung");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("aus");
    QTest::addColumn<QString>("fehler");

    const QString hilfe = QString::fromStdString(Aufruf());
    const QString version = QStringLiteral("Skizzomat 1.7.2.2015.07.28\n");
    // Qt names every plugin it looks at when QT_DEBUG_PLUGINS is set: an empty standard error
    // shows that none was loaded.
    const QStringList ohneAnzeige = {QStringLiteral("QT_QPA_PLATFORM=xcb"),
                                     QStringLiteral("QT_DEBUG_PLUGINS=1")};
    const auto falsch = [&](const QString &zeile) {
        return QStringLiteral("skizzomat: ") + zeile + '\n' + hilfe;
    };

    QTest::newRow("--help") << QStringList{"--help"} << ohneAnzeige << 0 << hilfe << QString();
    QTest::newRow("-h") << QStringList{"-h"} << ohneAnzeige << 0 << hilfe << QString();
    QTest::newRow("--version") << QStringList{"--version"} << ohneAnzeige << 0 << version << QString();
    QTest::newRow("-v") << QStringList{"-v"} << ohneAnzeige << 0 << version << QString();
    QTest::newRow("help before an unknown option")
        << QStringList{"--help", "--bunt"} << ohneAnzeige << 0 << hilfe << QString();
    QTest::newRow("unknown option") << QStringList{"--bunt"} << ohneAnzeige << 2 << QString()
                                    << falsch(QStringLiteral("unbekannte Option: --bunt"));
    QTest::newRow("unknown option before help")
        << QStringList{"-x", "--help"} << ohneAnzeige << 2 << QString()
        << falsch(QStringLiteral("unbekannte Option: -x"));
    QTest::newRow("--version with a value") << QStringList{"--version=2"} << ohneAnzeige << 2 << QString()
                                            << falsch(QStringLiteral("unbekannte Option: --version=2"));
    QTest::newRow("a file name") << QStringList{"bild.png"} << ohneAnzeige << 2 << QString()
                                 << falsch(QStringLiteral("unerwartetes Argument: \"bild.png\""));
    QTest::newRow("an option after --") << QStringList{"--", "--help"} << ohneAnzeige << 2 << QString()
                                        << falsch(QStringLiteral("unerwartetes Argument: \"--help\""));

    QTest::newRow("--toggle with help")
        << QStringList{"--toggle", "--help"} << ohneAnzeige << 0 << hilfe << QString();
    QTest::newRow("--toggle with a file name")
        << QStringList{"--toggle", "bild.png"} << ohneAnzeige << 2 << QString()
        << falsch(QStringLiteral("unerwartetes Argument: \"bild.png\""));
    // Asking libdbus for the session bus where none is named would start an empty one.
    const QString ohneBus =
        QStringLiteral("skizzomat: --toggle braucht den Sitzungsbus (D-Bus), doch "
                       "DBUS_SESSION_BUS_ADDRESS ist leer und $XDG_RUNTIME_DIR/bus fehlt.\n");
    QTest::newRow("--toggle without a session bus")
        << QStringList{"--toggle"} << QStringList{"DBUS_SESSION_BUS_ADDRESS"} << 1 << QString() << ohneBus;
    QTest::newRow("--toggle with an empty bus address")
        << QStringList{"--toggle"} << QStringList{"DBUS_SESSION_BUS_ADDRESS="} << 1 << QString() << ohneBus;

    QTest::newRow("no DISPLAY") << QStringList() << QStringList() << 1 << QString()
                                << QStringLiteral(
                                       "skizzomat: Keine grafische Anzeige: DISPLAY ist nicht gesetzt.\n");
    QTest::newRow("no DISPLAY, xcb chosen")
        << QStringList() << QStringList{"QT_QPA_PLATFORM=xcb"} << 1 << QString()
        << QStringLiteral("skizzomat: Keine grafische Anzeige: DISPLAY ist nicht gesetzt.\n");
    QTest::newRow("Wayland without XWayland")
        << QStringList() << QStringList{"WAYLAND_DISPLAY=wayland-0"} << 1 << QString()
        << QStringLiteral("skizzomat: Keine X-Anzeige: DISPLAY ist nicht gesetzt; unter Wayland braucht "
                          "Skizzomat XWayland.\n");
    // The program's windows need X11: a Wayland platform exported by the session becomes xcb.
    QTest::newRow("Wayland platform chosen, no DISPLAY")
        << QStringList() << QStringList{"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=wayland-0"} << 1
        << QString()
        << QStringLiteral("skizzomat: Keine X-Anzeige: DISPLAY ist nicht gesetzt; unter Wayland braucht "
                          "Skizzomat XWayland.\n");
    QTest::newRow("Wayland first in a list, no DISPLAY")
        << QStringList() << QStringList{"QT_QPA_PLATFORM=wayland-egl;xcb"} << 1 << QString()
        << QStringLiteral("skizzomat: Keine grafische Anzeige: DISPLAY ist nicht gesetzt.\n");
    QTest::newRow("DISPLAY without a server")
        << QStringList() << QStringList{"DISPLAY=:65000"} << 1 << QString()
        << QStringLiteral("skizzomat: Die Anzeige \":65000\" (DISPLAY) ist nicht erreichbar.\n");
}

void TstBefehlszeile::antwort()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, umgebung);
    QFETCH(int, status);
    QFETCH(QString, aus);
    QFETCH(QString, fehler);
    if (umgebung.contains(QStringLiteral("DISPLAY=:65000")) && QFileInfo::exists("/tmp/.X11-unix/X65000"))
        QSKIP("an X server listens on :65000");

    QTemporaryDir ordner;
    QVERIFY(ordner.isValid());
    const Lauf l = starten(args, umgebung, ordner.path());
    QCOMPARE(l.fehler, fehler);
    QCOMPARE(l.aus, aus);
    QCOMPARE(l.status, status);
}

// An answer that does not reach its reader is no success.
void TstBefehlszeile::nichtSchreibbareAntwort()
{
    if (!QFileInfo(QStringLiteral("/dev/full")).isWritable())
        QSKIP("no /dev/full");
    QTemporaryDir ordner;
    QVERIFY(ordner.isValid());
    for (const char *option : {"--help", "--version"}) {
        const Lauf l = starten({QString::fromLatin1(option)}, {}, ordner.path(), QStringLiteral("/dev/full"));
        QCOMPARE(l.status, 1);
    }
}

// The program's own helper processes get their options past the parser, which still answers
// the options around them.
void TstBefehlszeile::interneOptionenBleibenLiegen()
{
    const auto lesen = [](std::initializer_list<const char *> args) {
        std::vector<const char *> argv{"skizzomat"};
        argv.insert(argv.end(), args);
        return BefehlszeileLesen(int(argv.size()), argv.data()).aktion;
    };
    QCOMPARE(lesen({"--clipboard-keeper"}), Befehlszeile::Starten);
    QCOMPARE(lesen({"--clipboard-keeper=7"}), Befehlszeile::Starten);
    QCOMPARE(lesen({"--clipboard-keeper", "--version"}), Befehlszeile::Version);
    QCOMPARE(lesen({"--clipboard-keeper", "--bunt"}), Befehlszeile::Fehler);
    QCOMPARE(lesen({"--", "--clipboard-keeper"}), Befehlszeile::Fehler);
}

// A platform that Qt cannot load: one line and status 1, not Qt's abort (status 134).
void TstBefehlszeile::keinePlattformEineZeile()
{
    QTemporaryDir ordner;
    QVERIFY(ordner.isValid());
    const Lauf l = starten({}, {QStringLiteral("QT_QPA_PLATFORM=gibtsnicht")}, ordner.path());
    QCOMPARE(l.status, 1);
    QVERIFY2(l.fehler.startsWith(
                 QStringLiteral("skizzomat: Die Qt-Plattform \"gibtsnicht\" ließ sich nicht laden")),
             qPrintable(l.fehler));
    QCOMPARE(l.fehler.count(QLatin1Char('\n')), 1);
    QVERIFY(l.fehler.endsWith(QLatin1Char('\n')));
    QCOMPARE(l.aus, QString());
}

QTEST_GUILESS_MAIN(TstBefehlszeile)

#include "tst_befehlszeile.moc"
