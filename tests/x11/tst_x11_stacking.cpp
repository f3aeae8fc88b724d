// The tool window over the surface under a real window manager (run with xrun.sh --openbox).
#include "xsupport.h"

#include "app/data.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>

class TstX11Stacking : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void firstPlacementCountsTheFrame();
    void autoOpenKeepsToolWindowOnScreen();
    void toolWindowStaysAboveSurface();

private:
    // Where the tool window and the surface are in the window manager's stacking order,
    // with the tool window's properties for the failure message.
    QString stackingReport() const;
    bool toolWindowAbove() const;

    QImage m_known;
    QRect m_monitor;
};

void TstX11Stacking::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QVERIFY(xs::run(QStringLiteral("xprop"),
                    {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                .out.contains("window id"));
    m_monitor = QGuiApplication::primaryScreen()->geometry();
    m_known = xs::knownPicture(m_monitor.size());
    QString why;
    QVERIFY2(xs::showOnRoot(m_known, &why), qPrintable(why));
}

void TstX11Stacking::init()
{
    xs::freshWindows();
}

// The window with its frame sits in the primary screen's top-right corner: the frame's right
// border on the screen's last column, not beyond it.
void TstX11Stacking::firstPlacementCountsTheFrame()
{
    TToolForm &t = *ToolForm;
    t.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t));
    QTRY_VERIFY(xs::frameRect(t.winId()) != xs::windowInfo(t.winId())->geometry);
    QTRY_COMPARE(xs::frameRect(t.winId()).topRight(), QPoint(m_monitor.right(), 0));
    QCOMPARE(xs::windowInfo(t.winId())->geometry.size(), QSize(52, 27));
    // And it stays there once everything has settled.
    QTest::qWait(300);
    QCOMPARE(xs::frameRect(t.winId()).topRight(), QPoint(m_monitor.right(), 0));
}

// Frozen 250 ms after the first showing, while the window manager may still be framing the
// window: hidden and shown again, the tool window stays whole on the screen.
void TstX11Stacking::autoOpenKeepsToolWindowOnScreen()
{
    Cfg.AutoOpen = true;
    TToolForm &t = *ToolForm;
    QSignalSpy frozen(&t, &TToolForm::eingefroren);
    t.show();
    QTRY_COMPARE(frozen.size(), 1);
    QTRY_VERIFY(xs::frameRect(t.winId()) != xs::windowInfo(t.winId())->geometry);
    QTest::qWait(300);
    const QRect rahmen = xs::frameRect(t.winId());
    QVERIFY2(m_monitor.contains(rahmen), qPrintable(QStringLiteral("frame at %1,%2 %3x%4")
                                                        .arg(rahmen.x())
                                                        .arg(rahmen.y())
                                                        .arg(rahmen.width())
                                                        .arg(rahmen.height())));
    QCOMPARE(rahmen.topRight(), QPoint(m_monitor.right(), 0));
}

QString TstX11Stacking::stackingReport() const
{
    QStringList order;
    for (unsigned long id : xs::stackingOrder())
        order.append(id == ToolForm->winId()     ? QStringLiteral("tool")
                     : id == ScreenForm->winId() ? QStringLiteral("surface")
                                                 : QString::number(id, 16));
    return QStringLiteral("stacking (bottom first): %1; surface 0x%2, tool window WM_TRANSIENT_FOR: %3, "
                          "_NET_WM_STATE: %4")
        .arg(order.join(QLatin1Char(' ')), QString::number(ScreenForm->winId(), 16),
             xs::property(ToolForm->winId(), "WM_TRANSIENT_FOR"),
             xs::property(ToolForm->winId(), "_NET_WM_STATE"));
}

bool TstX11Stacking::toolWindowAbove() const
{
    const QList<unsigned long> order = xs::stackingOrder();
    const qsizetype tool = order.indexOf(ToolForm->winId());
    const qsizetype surface = order.indexOf(ScreenForm->winId());
    return tool >= 0 && surface >= 0 && tool > surface;
}

void TstX11Stacking::toolWindowStaysAboveSurface()
{
    TToolForm &t = *ToolForm;
    TScreenForm &s = *ScreenForm;
    QSignalSpy frozen(&t, &TToolForm::eingefroren);
    t.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t));
    // Decorated and placed by the window manager before it is clicked.
    QTRY_VERIFY(xs::stackingOrder().contains(t.winId()));
    QTRY_VERIFY(xs::frameRect(t.winId()) != xs::windowInfo(t.winId())->geometry);
    const QRect placed = xs::frameRect(t.winId());

    xs::click(xs::centre(t.StartFertigBtn));
    QTRY_COMPARE(frozen.size(), 1);
    QTRY_VERIFY(xs::stackingOrder().contains(s.winId()));
    QTRY_COMPARE(xs::windowInfo(s.winId())->geometry, m_monitor);
    QTRY_VERIFY2(toolWindowAbove(), qPrintable(stackingReport()));
    // Hidden for the capture and shown again, the tool window should stay where it was.
    QCOMPARE(xs::frameRect(t.winId()).topLeft(), placed.topLeft());
    // Seen on the screen: the picture everywhere but where the tool window is.
    const QRect toolFrame = xs::frameRect(t.winId());
    QString diff = xs::waitForScreen(m_known, toolFrame);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    const QRect toolClient = xs::windowInfo(t.winId())->geometry;
    QVERIFY2(xs::sameShare(xs::readScreen(), m_known, toolClient) < 0.1, qPrintable(stackingReport()));

    // A click on the picture activates and raises the surface in the window manager's eyes;
    // the tool window still stays above it.
    const QString surfaceId = QStringLiteral("0x%1").arg(s.winId(), 0, 16);
    const QPoint onPicture = m_monitor.center();
    xs::click(onPicture);
    QTRY_VERIFY(xs::property(0, "_NET_ACTIVE_WINDOW").contains(surfaceId));
    // Still so a while later, when the window manager has done all it does on a click.
    for (int i = 0; i < 10; ++i) {
        QVERIFY2(toolWindowAbove(), qPrintable(stackingReport()));
        QTest::qWait(30);
    }
    const QImage screen = xs::readScreen();
    QVERIFY2(xs::sameShare(screen, m_known, toolClient) < 0.1, qPrintable(stackingReport()));
    // The click may have drawn on the picture, with the pen at most 21 pixels wide.
    const QRect drawn(onPicture - QPoint(15, 15), QSize(31, 31));
    diff = xs::difference(screen, m_known, QRegion(xs::frameRect(t.winId())) + drawn);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    xs::click(xs::centre(t.StartFertigBtn));
    QTRY_COMPARE(t.WinZustand, 0);
    QTRY_VERIFY(!xs::windowInfo(s.winId())->viewable);
    diff = xs::waitForScreen(m_known, xs::frameRect(t.winId()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

XS_TEST_MAIN(TstX11Stacking)
#include "tst_x11_stacking.moc"
