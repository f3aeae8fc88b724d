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
    void savedPosition_data();
    void savedPosition();
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

void TstToolBarLayout::savedPosition_data()
{
    QTest::addColumn<QPoint>("stored");
    QTest::addColumn<QPoint>("expected");
    // Primary screen 1920×1080, window 60 wide.
    QTest::newRow("inside") << QPoint(100, 200) << QPoint(100, 200);
    QTest::newRow("right of the edge") << QPoint(5000, 10) << QPoint(1860, 10);
    QTest::newRow("below the bottom") << QPoint(10, 1070) << QPoint(10, 1059);
    QTest::newRow("exactly at the limits") << QPoint(1860, 1059) << QPoint(1860, 1059);
    QTest::newRow("negative stays") << QPoint(-300, -20) << QPoint(-300, -20);
}

void TstToolBarLayout::savedPosition()
{
    QFETCH(QPoint, stored);
    QFETCH(QPoint, expected);
    QCOMPARE(gespeichertePosition(stored, QSize(1920, 1080), 60), expected);
    QCOMPARE(anfangsPosition(1920, 60), QPoint(1860, 0));
}

QTEST_GUILESS_MAIN(TstToolBarLayout)
#include "tst_toolbarlayout.moc"
