// The program started by a desktop that asks Qt to scale: its windows and the frozen picture
// stay in the monitor's pixels. Runs the real program on a bare X server.
#include "xsupport.h"

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

private:
    QImage m_known;
};

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
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QStringLiteral(SKIZZOMAT_BINARY), {});
    QVERIFY(p.waitForStarted());
    const auto ende = qScopeGuard([&] {
        p.kill();
        p.waitForFinished();
    });

    QList<unsigned long> fenster;
    QTRY_VERIFY_WITH_TIMEOUT((fenster = xs::visibleWindowsOf(p.processId())).size() == 1, 10000);
    const unsigned long tool = fenster.first();
    QTRY_COMPARE(xs::windowInfo(tool)->geometry, QRect(1920 - 52, 0, 52, 27));

    // Start: the surface covers the monitor and shows the screen as it was, pixel for pixel.
    xs::click(xs::windowInfo(tool)->geometry.center());
    QTRY_VERIFY_WITH_TIMEOUT((fenster = xs::visibleWindowsOf(p.processId())).size() == 2, 10000);
    fenster.removeOne(tool);
    QTRY_COMPARE(xs::windowInfo(fenster.first())->geometry, QRect(0, 0, 1920, 1080));
    QTRY_COMPARE(xs::windowInfo(tool)->geometry.size(), QSize(52, 518));
    const QString diff = xs::waitForScreen(m_known, xs::windowInfo(tool)->geometry);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

XS_TEST_MAIN(TstX11Skalierung)
#include "tst_x11_skalierung.moc"
