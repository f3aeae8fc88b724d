// The program started by a desktop that asks Qt to scale, or that names a Qt platform for all
// programs: its windows and the frozen picture stay in the monitor's pixels on X11, and the
// programs it starts get the environment it was given. Runs the real program on a bare X server.
#include "xsupport.h"

#include "../output/desktopattrappe.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QScreen>

class TstX11Skalierung : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pictureAndWindowsStayInPixels_data();
    void pictureAndWindowsStayInPixels();
    void startedProgramsGetTheUsersEnvironment_data();
    void startedProgramsGetTheUsersEnvironment();

private:
    // Starts the program with `env`; its tool window once it stands folded in the top-right
    // corner, 0 when it does not come.
    static unsigned long werkzeugfenster(QProcess &p, const QProcessEnvironment &env);

    QImage m_known;
};

unsigned long TstX11Skalierung::werkzeugfenster(QProcess &p, const QProcessEnvironment &env)
{
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QStringLiteral(SKIZZOMAT_BINARY), {});
    if (!p.waitForStarted())
        return 0;
    const bool da = QTest::qWaitFor(
        [&] {
            const QList<unsigned long> fenster = xs::visibleWindowsOf(p.processId());
            return fenster.size() == 1 &&
                   xs::windowInfo(fenster.first())->geometry == QRect(1920 - 52, 0, 52, 27);
        },
        10000);
    return da ? xs::visibleWindowsOf(p.processId()).value(0) : 0;
}

void TstX11Skalierung::initTestCase()
{
    m_known = xs::knownPicture(QGuiApplication::primaryScreen()->geometry().size());
    QString why;
    QVERIFY2(xs::showOnRoot(m_known, &why), qPrintable(why));
}

void TstX11Skalierung::pictureAndWindowsStayInPixels_data()
{
    QTest::addColumn<QStringList>("umgebung");
    QTest::newRow("scale factor") << QStringList{QStringLiteral("QT_SCALE_FACTOR=2")};
    QTest::newRow("screen factors by name")
        << QStringList{QStringLiteral("QT_SCREEN_SCALE_FACTORS=screen=2")};
    QTest::newRow("screen factors, scaling asked for") << QStringList{
        QStringLiteral("QT_SCREEN_SCALE_FACTORS=2"), QStringLiteral("QT_ENABLE_HIGHDPI_SCALING=1")};
}

void TstX11Skalierung::pictureAndWindowsStayInPixels()
{
    QFETCH(QStringList, umgebung);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &e : umgebung)
        env.insert(e.section(QLatin1Char('='), 0, 0), e.section(QLatin1Char('='), 1));
    QProcess p;
    const auto ende = qScopeGuard([&] {
        p.kill();
        p.waitForFinished();
    });
    const unsigned long tool = werkzeugfenster(p, env);
    QVERIFY(tool);

    // Start: the surface covers the monitor and shows the screen as it was, pixel for pixel.
    xs::click(xs::windowInfo(tool)->geometry.center());
    QList<unsigned long> fenster;
    QTRY_VERIFY_WITH_TIMEOUT((fenster = xs::visibleWindowsOf(p.processId())).size() == 2, 10000);
    fenster.removeOne(tool);
    QTRY_COMPARE(xs::windowInfo(fenster.first())->geometry, QRect(0, 0, 1920, 1080));
    QTRY_COMPARE(xs::windowInfo(tool)->geometry.size(), QSize(52, 518));
    const QString diff = xs::waitForScreen(m_known, xs::windowInfo(tool)->geometry);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TstX11Skalierung::startedProgramsGetTheUsersEnvironment_data()
{
    QTest::addColumn<QStringList>("umgebung");
    QTest::newRow("scaled Qt session on Wayland")
        << QStringList{QStringLiteral("QT_QPA_PLATFORM=wayland"), QStringLiteral("QT_SCALE_FACTOR=2"),
                       QStringLiteral("QT_SCREEN_SCALE_FACTORS=screen=1.5"),
                       QStringLiteral("QT_AUTO_SCREEN_SCALE_FACTOR=1")};
    QTest::newRow("scaling asked for, platform list") << QStringList{
        QStringLiteral("QT_QPA_PLATFORM=wayland-egl;xcb"), QStringLiteral("QT_ENABLE_HIGHDPI_SCALING=1"),
        QStringLiteral("QT_USE_PHYSICAL_DPI=1")};
}

// The help page opened from the info box reaches a stand-in browser with exactly the
// environment the program was started with (what its shell sets for itself apart).
void TstX11Skalierung::startedProgramsGetTheUsersEnvironment()
{
    QFETCH(QStringList, umgebung);
    DesktopAttrappe desktop;
    QString warum;
    QVERIFY2(desktop.einrichten(DesktopAttrappe::alleTypen(), &warum), qPrintable(warum));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_ENABLE_HIGHDPI_SCALING"));
    for (const QString &e : umgebung)
        env.insert(e.section(QLatin1Char('='), 0, 0), e.section(QLatin1Char('='), 1));
    QProcess p;
    const auto ende = qScopeGuard([&] {
        p.kill();
        p.waitForFinished();
    });
    // It runs on X11 whatever platform the session named, in the monitor's pixels.
    const unsigned long tool = werkzeugfenster(p, env);
    QVERIFY(tool);

    xs::focus(tool);
    xs::key(QStringLiteral("F1"));
    QList<unsigned long> info;
    QTRY_VERIFY_WITH_TIMEOUT((info = xs::visibleWindowsNamed(QStringLiteral("Info"))).size() == 1, 10000);
    // "Online-Hilfe": 509, 486, 105 × 29 in the box.
    xs::click(xs::windowInfo(info.first())->geometry.topLeft() + QPoint(509 + 52, 486 + 14));
    QTRY_COMPARE_WITH_TIMEOUT(desktop.geoeffnet(),
                              QStringList{QStringLiteral("https://skizzomat.example/hilfe.php")}, 20000);

    const QStringList vonDerShell{"PWD", "OLDPWD", "SHLVL", "_"};
    QStringList erwartet;
    for (const QString &name : env.keys())
        if (!vonDerShell.contains(name))
            erwartet << name + QLatin1Char('=') + env.value(name);
    QStringList bekommen;
    for (const QString &zeile : desktop.umgebung())
        if (!vonDerShell.contains(zeile.section(QLatin1Char('='), 0, 0)))
            bekommen << zeile;
    const QSet<QString> e(erwartet.cbegin(), erwartet.cend());
    const QSet<QString> b(bekommen.cbegin(), bekommen.cend());
    QVERIFY2(e == b, qPrintable(QStringLiteral("missing: %1\nnot given: %2")
                                    .arg(QStringList((e - b).values()).join(QLatin1Char(' ')),
                                         QStringList((b - e).values()).join(QLatin1Char(' ')))));
}

XS_TEST_MAIN(TstX11Skalierung)
#include "tst_x11_skalierung.moc"
