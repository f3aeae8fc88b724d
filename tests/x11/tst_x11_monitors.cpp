// Freezing with two monitors side by side (run with xrun.sh --two-monitors): which monitor
// the monitor mode picks and that the surface covers exactly that one.
#include "xsupport.h"

#include "app/data.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>

class TstX11Monitors : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void monitorMode_data();
    void monitorMode();

private:
    QImage m_known;
    QList<QRect> m_monitors;
};

void TstX11Monitors::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    for (const QScreen *s : QGuiApplication::screens())
        m_monitors.append(s->geometry());
    QCOMPARE(m_monitors, (QList<QRect>{QRect(0, 0, 960, 1080), QRect(960, 0, 960, 1080)}));
    m_known = xs::knownPicture(QSize(1920, 1080));
    QString why;
    QVERIFY2(xs::showOnRoot(m_known, &why), qPrintable(why));
}

void TstX11Monitors::init()
{
    xs::freshWindows();
}

void TstX11Monitors::monitorMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("toolWindowOn");
    QTest::addColumn<int>("frozen");
    QTest::newRow("0: the tool window's, left") << 0 << 0 << 0;
    QTest::newRow("0: the tool window's, right") << 0 << 1 << 1;
    QTest::newRow("1: the first") << 1 << 1 << 0;
    QTest::newRow("2: the second") << 2 << 0 << 1;
}

void TstX11Monitors::monitorMode()
{
    QFETCH(int, mode);
    QFETCH(int, toolWindowOn);
    QFETCH(int, frozen);
    Cfg.MonitorMode = mode;
    TToolForm &t = *ToolForm;
    TScreenForm &s = *ScreenForm;
    QSignalSpy frozenSpy(&t, &TToolForm::eingefroren);
    QSignalSpy released(&t, &TToolForm::freigegeben);
    t.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t));
    // Moved by another client, as a user would drag it: the program learns it from the server.
    const QPoint place = m_monitors[toolWindowOn].topLeft() + QPoint(400, 300);
    xs::moveWindow(t.winId(), place);
    QTRY_COMPARE(t.pos(), place);
    QCOMPARE(QGuiApplication::screenAt(t.frameGeometry().center())->geometry(), m_monitors[toolWindowOn]);

    xs::click(xs::centre(t.StartFertigBtn));
    QTRY_COMPARE(frozenSpy.size(), 1);
    const QRect monitor = m_monitors[frozen];
    QString diff = xs::difference(s.Img1Bmp, m_known.copy(monitor));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QCOMPARE(s.geometry(), monitor);
    QTRY_VERIFY(xs::windowInfo(s.winId()).value_or(xs::WindowInfo{}).viewable);
    QCOMPARE(xs::windowInfo(s.winId())->geometry, monitor);
    // Shown 1:1 at the monitor's place; the other monitor still shows the bare screen.
    diff = xs::waitForScreen(m_known, xs::windowInfo(t.winId())->geometry);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    xs::click(xs::centre(t.StartFertigBtn));
    QTRY_COMPARE(released.size(), 1);
    QTRY_VERIFY(!xs::windowInfo(s.winId())->viewable);
}

XS_TEST_MAIN(TstX11Monitors)
#include "tst_x11_monitors.moc"
