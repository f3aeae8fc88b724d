#include "toolwindow/toolbarlayout.h"

#include <QSet>
#include <QTest>

class TstToolBarLayout : public QObject
{
    Q_OBJECT

private slots:
    void buttons();
    void rowOffsets();
    void sizes_data();
    void sizes();
    void initialPlace();
    void platzAufMonitor_data();
    void platzAufMonitor();
};

void TstToolBarLayout::buttons()
{
    QSet<QString> names;
    QSet<QPair<int, int>> cells;
    for (const auto &b : ToolBarButtons) {
        names.insert(QString::fromLatin1(b.Name));
        cells.insert({b.Row, b.Column});
        QVERIFY(b.Row >= 1 && b.Row <= 19);
        QVERIFY(*b.Hint);
    }
    QCOMPARE(names.size(), 38);
    QCOMPARE(cells.size(), 38);
    QCOMPARE(toolBarButton("InfoBtn")->Row, 19);
    QCOMPARE(toolBarButton("InfoBtn")->Column, 1);
    QCOMPARE(toolBarButton("DeckCol5Btn")->Row, 7);
    QCOMPARE(toolBarButton("DeckCol5Btn")->Column, 0);
    QCOMPARE(QString::fromUtf8(toolBarButton("BlattBtn")->Hint), QStringLiteral("Leeres Blatt"));
    QVERIFY(!toolBarButton("NoSuchBtn"));
}

void TstToolBarLayout::rowOffsets()
{
    for (int y : {24, 37, 100}) {
        QCOMPARE(toolBarRowTop(1, y), 0);
        QCOMPARE(toolBarRowTop(2, y), y);
        QCOMPARE(toolBarRowTop(3, y), 2 * y + 9);
        QCOMPARE(toolBarRowTop(7, y), 6 * y + 9);
        QCOMPARE(toolBarRowTop(8, y), 7 * y + 17);
        QCOMPARE(toolBarRowTop(14, y), 13 * y + 17);
        QCOMPARE(toolBarRowTop(15, y), 14 * y + 25);
        QCOMPARE(toolBarRowTop(16, y), 15 * y + 33);
        QCOMPARE(toolBarRowTop(19, y), 18 * y + 33);
    }
}

void TstToolBarLayout::sizes_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("collapsed");
    QTest::addColumn<int>("expanded");
    QTest::newRow("default") << 25 << 24 << 52 << 27 << 518;
    QTest::newRow("100x100") << 100 << 100 << 202 << 103 << 2038;
    QTest::newRow("wide, flat") << 60 << 24 << 122 << 27 << 518;
}

void TstToolBarLayout::sizes()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, width);
    QFETCH(int, collapsed);
    QFETCH(int, expanded);
    const ToolWindowMetrics m = toolWindowMetrics(x, y);
    QCOMPARE(m.ClientWidth, width);
    QCOMPARE(m.CollapsedHeight, collapsed);
    QCOMPARE(m.ExpandedHeight, expanded);
    QCOMPARE(m.ExpandedHeight, 20 * y + 38);
    QCOMPARE(m.StartButtonHeight, y + 3);
    QCOMPARE(m.ToolBarTop, y + 4);
    // The last row ends one pixel above the expanded client's bottom edge.
    QCOMPARE(m.ToolBarTop + m.ToolBarHeight + 1, m.ExpandedHeight);
}

void TstToolBarLayout::initialPlace()
{
    QCOMPARE(anfangsPosition(QRect(0, 0, 1920, 1080), 54), QPoint(1866, 0));
    // A primary monitor right of another one.
    QCOMPARE(anfangsPosition(QRect(1920, 200, 1280, 1024), 54), QPoint(3146, 200));
}

void TstToolBarLayout::platzAufMonitor_data()
{
    QTest::addColumn<QList<QRect>>("monitors");
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QPoint>("expected");
    const QRect fhd(0, 0, 1920, 1080);
    const QList<QRect> eins{fhd};
    // The primary monitor first, a larger one right of it.
    const QList<QRect> rechts{fhd, QRect(1920, 0, 2560, 1440)};
    // The primary monitor right of one that is higher and starts above it.
    const QList<QRect> links{QRect(0, 0, 1920, 1080), QRect(-1280, -200, 1280, 1024)};
    // A 54 × 48 frame with a 20-pixel title bar: the head is 47 pixels high.
    QTest::newRow("inside stays") << eins << QRect(100, 200, 54, 48) << QPoint(100, 200);
    QTest::newRow("in the corner stays") << eins << QRect(1866, 0, 54, 48) << QPoint(1866, 0);
    QTest::newRow("past the right edge") << eins << QRect(1900, 10, 54, 48) << QPoint(1866, 10);
    QTest::newRow("far right and below") << eins << QRect(5000, 5000, 54, 48) << QPoint(1866, 1032);
    QTest::newRow("title bar above the top") << eins << QRect(1863, -43, 54, 48) << QPoint(1863, 0);
    QTest::newRow("left of the only monitor") << eins << QRect(-30, 200, 84, 54) << QPoint(0, 200);
    QTest::newRow("unfolded low: up just enough") << eins << QRect(1866, 900, 54, 540) << QPoint(1866, 540);
    QTest::newRow("taller than the monitor: top on it")
        << eins << QRect(1700, 300, 204, 2060) << QPoint(1700, 0);
    QTest::newRow("wider than the monitor: left on it")
        << eins << QRect(500, 10, 2004, 1025) << QPoint(0, 10);
    QTest::newRow("on the second monitor stays") << rechts << QRect(3000, 300, 54, 48) << QPoint(3000, 300);
    QTest::newRow("second monitor, below the first's bottom")
        << rechts << QRect(3000, 1300, 54, 48) << QPoint(3000, 1300);
    QTest::newRow("second monitor, past its right edge")
        << rechts << QRect(4470, 300, 124, 48) << QPoint(4356, 300);
    QTest::newRow("across the seam: onto the one with more of the head")
        << rechts << QRect(1900, 300, 54, 48) << QPoint(1920, 300);
    QTest::newRow("unfolded low on the first: stays on it")
        << rechts << QRect(1866, 1000, 54, 540) << QPoint(1866, 540);
    QTest::newRow("below the first, nowhere: the nearest")
        << rechts << QRect(1000, 1200, 54, 48) << QPoint(1000, 1032);
    QTest::newRow("negative on a monitor left of the primary stays")
        << links << QRect(-900, -150, 54, 48) << QPoint(-900, -150);
    QTest::newRow("left monitor, above its top") << links << QRect(-900, -400, 54, 48) << QPoint(-900, -200);
    QTest::newRow("left monitor, unfolded low") << links << QRect(-60, 700, 54, 540) << QPoint(-60, 284);
    QTest::newRow("no monitor") << QList<QRect>{} << QRect(-5000, 7, 54, 48) << QPoint(-5000, 7);
}

void TstToolBarLayout::platzAufMonitor()
{
    QFETCH(QList<QRect>, monitors);
    QFETCH(QRect, frame);
    QFETCH(QPoint, expected);
    QCOMPARE(::platzAufMonitor(frame, 47, monitors), expected);
}

QTEST_GUILESS_MAIN(TstToolBarLayout)
#include "tst_toolbarlayout.moc"
