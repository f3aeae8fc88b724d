#include "toolwindow/toolbarlayout.h"
#include "toolwindow/toolicons.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QTest>

#include <algorithm>
#include <cstdlib>

namespace {

// All tool-bar buttons.
// clang-format off
const char *const ButtonNames[] = {
    "Dicke1Btn", "Dicke2Btn", "Dicke3Btn", "Dicke4Btn",
    "MarkCol1Btn", "MarkCol2Btn", "MarkCol3Btn", "MarkCol4Btn",
    "DeckCol1Btn", "DeckCol2Btn", "DeckCol3Btn", "DeckCol4Btn", "DeckCol5Btn", "DeckCol6Btn",
    "StiftBtn", "SchwammBtn", "LinieBtn", "PfeilBtn", "DoppelpfeilBtn",
    "RechteckBtn", "RechteckGefuelltBtn", "EllipseBtn", "EllipseGefuelltBtn",
    "TextBtn", "HaekchenBtn", "KreuzBtn", "BereichBtn",
    "LupeBtn", "ZoomInBtn", "ZoomOutBtn",
    "RueckgaengigBtn", "ClearBtn", "BlattBtn", "ClipBtn", "DruckBtn", "SaveBtn", "EmailBtn", "InfoBtn",
};
// clang-format on

QImage render(const QIcon &icon, int size, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(QSize(size, size), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Pixels of the image whose colour, ignoring transparency, is within a few steps of rgb.
QList<int> alphasOfColour(const QImage &image, QColor rgb)
{
    QList<int> alphas;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor px = image.pixelColor(x, y);
            if (px.alpha() > 0 && std::abs(px.red() - rgb.red()) <= 8 &&
                std::abs(px.green() - rgb.green()) <= 8 && std::abs(px.blue() - rgb.blue()) <= 8)
                alphas.append(px.alpha());
        }
    return alphas;
}

} // namespace

class TestToolIcons : public QObject
{
    Q_OBJECT

private slots:
    void paintsAtEverySize_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : ButtonNames)
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void paintsAtEverySize()
    {
        QFETCH(QString, name);
        const QIcon icon = toolIcon(name);
        QVERIFY(!icon.isNull());
        for (int size : {16, 24, 96}) {
            const QImage image = render(icon, size);
            QCOMPARE(image.size(), QSize(size, size));
            int visible = 0, clear = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const int alpha = qAlpha(image.pixel(x, y));
                    visible += alpha >= 128;
                    clear += alpha == 0;
                }
            // Something to see, on a background that lets the button face through.
            QVERIFY2(visible >= size / 2,
                     qPrintable(QStringLiteral("%1 px: %2 visible").arg(size).arg(visible)));
            QVERIFY2(clear > 0, qPrintable(QStringLiteral("%1 px: no transparent background").arg(size)));
        }
    }

    void everyImageIsDistinct_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("16 px") << 16;
        QTest::newRow("24 px") << 24;
    }

    void everyImageIsDistinct()
    {
        QFETCH(int, size);
        QList<QImage> images;
        for (const char *name : ButtonNames)
            images.append(render(toolIcon(QString::fromLatin1(name)), size));
        for (qsizetype i = 0; i < images.size(); ++i)
            for (qsizetype j = i + 1; j < images.size(); ++j)
                QVERIFY2(images[i] != images[j],
                         qPrintable(QStringLiteral("%1 looks like %2").arg(ButtonNames[i], ButtonNames[j])));
    }

    void everyToolBarButtonHasAnImage()
    {
        for (const ToolBarButton &button : ToolBarButtons)
            QVERIFY2(!toolIcon(QString::fromLatin1(button.Name)).isNull(), button.Name);
    }

    void unknownNameGivesNoImage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("level 0") << QStringLiteral("Dicke0Btn");
        QTest::newRow("level 5") << QStringLiteral("Dicke5Btn");
        QTest::newRow("marker 5") << QStringLiteral("MarkCol5Btn");
        QTest::newRow("paint 7") << QStringLiteral("DeckCol7Btn");
        QTest::newRow("lower case") << QStringLiteral("stiftbtn");
        QTest::newRow("without suffix") << QStringLiteral("Stift");
        QTest::newRow("trailing space") << QStringLiteral("StiftBtn ");
    }

    void unknownNameGivesNoImage()
    {
        QFETCH(QString, name);
        QVERIFY(toolIcon(name).isNull());
    }

    // Marker colours show through (translucent), paint colours cover (opaque), in the tool bar's
    // colour order.
    void colourButtonsShowTheirColour_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("opaque");
        QTest::newRow("marker red") << "MarkCol1Btn" << QColor(255, 0, 0) << false;
        QTest::newRow("marker yellow") << "MarkCol2Btn" << QColor(255, 255, 0) << false;
        QTest::newRow("marker green") << "MarkCol3Btn" << QColor(0, 255, 0) << false;
        QTest::newRow("marker blue") << "MarkCol4Btn" << QColor(0, 0, 255) << false;
        QTest::newRow("paint red") << "DeckCol1Btn" << QColor(255, 0, 0) << true;
        QTest::newRow("paint yellow") << "DeckCol2Btn" << QColor(255, 255, 0) << true;
        QTest::newRow("paint green") << "DeckCol3Btn" << QColor(0, 255, 0) << true;
        QTest::newRow("paint blue") << "DeckCol4Btn" << QColor(0, 0, 255) << true;
        QTest::newRow("paint white") << "DeckCol5Btn" << QColor(255, 255, 255) << true;
        QTest::newRow("paint black") << "DeckCol6Btn" << QColor(0, 0, 0) << true;
    }

    void colourButtonsShowTheirColour()
    {
        QFETCH(QString, name);
        QFETCH(QColor, colour);
        QFETCH(bool, opaque);
        const QList<int> alphas = alphasOfColour(render(toolIcon(name), 24), colour);
        const auto solid = std::count(alphas.begin(), alphas.end(), 255);
        const auto seeThrough =
            std::count_if(alphas.begin(), alphas.end(), [](int a) { return a >= 60 && a <= 200; });
        if (opaque) {
            QVERIFY2(solid >= 40, qPrintable(QStringLiteral("%1 opaque pixels").arg(solid)));
        } else {
            QCOMPARE(solid, 0);
            QVERIFY2(seeThrough >= 40, qPrintable(QStringLiteral("%1 translucent pixels").arg(seeThrough)));
        }
    }

    void disabledImageIsGrey()
    {
        const QIcon icon = toolIcon(QStringLiteral("DeckCol1Btn"));
        const QImage image = render(icon, 24, QIcon::Disabled);
        int visible = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor px = image.pixelColor(x, y);
                visible += px.alpha() > 0;
                QVERIFY2(px.alpha() == 0 || px.hsvSaturation() < 20, qPrintable(px.name(QColor::HexArgb)));
            }
        QVERIFY(visible > 0);
    }
};

QTEST_MAIN(TestToolIcons)
#include "tst_toolicons.moc"
