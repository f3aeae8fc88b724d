#include "controls/shadowlabel.h"

#include <QApplication>
#include <QFontMetrics>
#include <QTest>

namespace {

const QSize Box(281, 65);

QFont arial(int pixel)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixel);
    return f;
}

int breite(int pixel, const QString &text)
{
    return QFontMetrics(arial(pixel))
        .boundingRect(QRect(QPoint(0, 0), Box), Qt::AlignLeft | Qt::TextExpandTabs, text)
        .width();
}

// A line that is too wide for the box at 9 points (12 px) but fits at 8 points (11 px).
QString zeileFuerAchtPunkte()
{
    QString s = QStringLiteral("Screenshot abgelegt");
    while (breite(12, s) <= Box.width())
        s += QLatin1Char('e');
    return s;
}

const QString Woerter = QStringLiteral("Wort ").repeated(40).trimmed();

} // namespace

class TstShadowLabel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void einpassen_data();
    void einpassen();
    void gekuerztBleibtMaximal();
    void senkrecht_data();
    void senkrecht();
    void schatten_data();
    void schatten();
    void voreinstellungen();
};

void TstShadowLabel::initTestCase()
{
    QCOMPARE(QFontInfo(arial(12)).family(), QStringLiteral("Liberation Sans"));
}

void TstShadowLabel::einpassen_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("wordWrap");
    QTest::addColumn<bool>("autoSize");
    QTest::addColumn<int>("punkte");
    QTest::addColumn<QString>("text");
    QTest::newRow("fits unchanged") << "Screenshot abgelegt" << false << false << 9 << "Screenshot abgelegt";
    QTest::newRow("three lines, the middle one empty")
        << "Ausdruck wird vorbereitet.||Bitte warten." << false << false << 9
        << "Ausdruck wird vorbereitet.\n\nBitte warten.";
    const QString acht = zeileFuerAchtPunkte();
    QTest::newRow("one point smaller") << acht << false << false << 8 << acht;
    QTest::newRow("auto size neither shrinks nor cuts") << Woerter << false << true << 9 << Woerter;
    QTest::newRow("first word too long")
        << QStringLiteral("Donaudampfschifffahrtsgesellschaftskapitaen").repeated(2) +
               QStringLiteral(" und mehr")
        << false << false << 7 << "...";
    QTest::newRow("no blank at all") << QStringLiteral("x").repeated(200) << false << false << 7 << "...";
    QTest::newRow("too many lines without blanks") << "a|b|c|d|e|f|g|h|i|j" << false << false << 7 << "...";
    QTest::newRow("wrapped words fit")
        << QStringLiteral("Wort ").repeated(8) << true << false << 9 << QStringLiteral("Wort ").repeated(8);
    QTest::newRow("empty") << "" << false << false << 9 << "";
}

void TstShadowLabel::einpassen()
{
    QFETCH(QString, caption);
    QFETCH(bool, wordWrap);
    QFETCH(bool, autoSize);
    QFETCH(int, punkte);
    QFETCH(QString, text);
    const ShadowLabelSatz z =
        shadowLabelSatz(caption, arial(12), Box, Qt::AlignHCenter | Qt::AlignVCenter, wordWrap, autoSize);
    QCOMPARE(z.Text, text);
    QCOMPARE(z.Punkte, punkte);
    QCOMPARE(z.Font.pixelSize(), qRound(punkte * 96 / 72.0));
}

// Words are dropped only until the rest fits at 7 points: one more word would not.
void TstShadowLabel::gekuerztBleibtMaximal()
{
    const ShadowLabelSatz z = shadowLabelSatz(Woerter, arial(12), Box, Qt::AlignLeft, false, false);
    QCOMPARE(z.Punkte, 7);
    QCOMPARE(z.Font.pixelSize(), 9);
    QVERIFY(z.Text.endsWith(QStringLiteral("Wort ...")));
    const QString rest = z.Text.chopped(4);
    QVERIFY(Woerter.startsWith(rest + QLatin1Char(' ')));
    QVERIFY(breite(9, z.Text) <= Box.width());
    QVERIFY(breite(9, rest + QStringLiteral(" Wort ...")) > Box.width());
}

void TstShadowLabel::senkrecht_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("autoSize");
    QTest::addColumn<int>("top");
    const int zeile = QFontMetrics(arial(12)).height();
    QTest::newRow("top") << "eine Zeile" << int(Qt::AlignTop) << false << 0;
    QTest::newRow("centre, three lines") << "a||b" << int(Qt::AlignVCenter) << false << (65 - 3 * zeile) / 2;
    QTest::newRow("bottom") << "a|b" << int(Qt::AlignBottom) << false << 65 - 2 * zeile;
    QTest::newRow("bottom, taller than the box") << "a|b|c|d|e|f|g|h" << int(Qt::AlignBottom) << true << 0;
    QTest::newRow("centre, taller than the box") << "a|b|c|d|e|f|g|h" << int(Qt::AlignVCenter) << true << 0;
}

void TstShadowLabel::senkrecht()
{
    QFETCH(QString, caption);
    QFETCH(int, layout);
    QFETCH(bool, autoSize);
    QFETCH(int, top);
    const ShadowLabelSatz z =
        shadowLabelSatz(caption, arial(12), Box, Qt::AlignHCenter | Qt::Alignment(layout), false, autoSize);
    QCOMPARE(z.Rect, QRect(QPoint(0, top), Box));
}

void TstShadowLabel::schatten_data()
{
    QTest::addColumn<int>("shadow");
    QTest::newRow("none at 0") << 0;
    QTest::newRow("none below 0") << -3;
    QTest::newRow("1") << 1;
    QTest::newRow("2") << 2;
}

// The shadow is the text's own shape moved right and down, in the shadow colour, behind the
// text; without Transparent the box is filled first.
void TstShadowLabel::schatten()
{
    QFETCH(int, shadow);
    QWidget eltern;
    eltern.resize(200, 60);
    TShadowLabel label(&eltern);
    label.setGeometry(0, 0, 200, 60);
    QFont f = arial(24);
    f.setStyleStrategy(QFont::NoAntialias);
    label.setFont(f);
    QPalette pal;
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    label.setPalette(pal);
    label.setText(QStringLiteral("Skizze"));
    label.setShadow(0);
    const QImage ohne = label.grab().toImage().convertToFormat(QImage::Format_RGB32);
    label.setShadow(shadow);
    label.setShadowColor(0x0000FF); // red
    const QImage mit = label.grab().toImage().convertToFormat(QImage::Format_RGB32);

    const int d = qMax(0, shadow);
    int schwarz = 0, rot = 0;
    for (int y = 0; y < ohne.height(); ++y)
        for (int x = 0; x < ohne.width(); ++x) {
            const bool text = ohne.pixel(x, y) == qRgb(0, 0, 0);
            const bool schattenText = d > 0 && x >= d && y >= d && ohne.pixel(x - d, y - d) == qRgb(0, 0, 0);
            const QRgb erwartet = text ? qRgb(0, 0, 0) : schattenText ? qRgb(255, 0, 0) : qRgb(255, 255, 255);
            QCOMPARE(mit.pixel(x, y), erwartet);
            schwarz += text;
            rot += !text && schattenText;
        }
    QVERIFY(schwarz > 100);
    QCOMPARE(rot > 0, shadow > 0);
}

void TstShadowLabel::voreinstellungen()
{
    TShadowLabel label;
    QCOMPARE(label.Shadow(), 1);
    QCOMPARE(label.ShadowColor(), TColor(0));
    QCOMPARE(label.size(), QSize(120, 30));
    QCOMPARE(label.text(), QStringLiteral("ShadowLabel"));
    label.setFont(arial(12));
    label.setText(QStringLiteral("Dies ist ein langer Text für ein kleines Feld"));
    label.setAutoSize(true);
    QCOMPARE(label.satz().Text, label.text());
    QVERIFY(label.width() > 120);
}

QTEST_MAIN(TstShadowLabel)
#include "tst_shadowlabel.moc"
