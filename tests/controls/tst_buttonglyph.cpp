#include "controls/buttonglyph.h"
#include "controls/glyphcache.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QTest>

namespace {

const QRgb Hintergrund = qRgb(90, 90, 90);
const QRgb Flaeche = qRgb(240, 240, 240);
const QRgb Magenta = qRgb(255, 0, 255);
const QRgb Rot = qRgb(255, 0, 0);
const QRgb ZellFarben[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};

// Cells of 5 × 3, each of one colour.
QImage zellen(int anzahl = 4)
{
    QImage s(5 * anzahl, 3, QImage::Format_RGB32);
    for (int i = 0; i < anzahl; ++i)
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                s.setPixel(5 * i + x, y, ZellFarben[i]);
    return s;
}

QImage gemalt(TButtonGlyph &g, TButtonState state, int margin, int style3D, bool transparent = false)
{
    QImage bild(40, 20, QImage::Format_RGB32);
    bild.fill(Hintergrund);
    QPainter p(&bild);
    g.Draw(p, bild.rect(), QString(), margin, state, 1, transparent, style3D);
    return bild;
}

QFont arial(int pixel)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixel);
    return f;
}

int breite(int pixel, const QString &text)
{
    return QFontMetrics(arial(pixel)).horizontalAdvance(text);
}

} // namespace

class TstButtonGlyph : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void bildLage_data();
    void bildLage();
    void farben_data();
    void farben();
    void cache();
    void schrumpfen_data();
    void schrumpfen();
};

void TstButtonGlyph::initTestCase()
{
    QPalette pal = QGuiApplication::palette();
    pal.setColor(QPalette::Button, QColor(Flaeche));
    QGuiApplication::setPalette(pal);
}

void TstButtonGlyph::bildLage_data()
{
    QTest::addColumn<int>("numGlyphs");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("style3D");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("zelle"); // -1: no picture
    QTest::addColumn<QRect>("wo");
    QTest::newRow("up") << 4 << int(bsUp) << 2 << 0 << 0 << QRect(2, 2, 36, 16);
    QTest::newRow("up, Style3D 1") << 4 << int(bsUp) << 1 << 0 << 0 << QRect(1, 1, 37, 17);
    QTest::newRow("down: cell 2, moved") << 4 << int(bsDown) << 2 << 0 << 2 << QRect(3, 3, 36, 16);
    QTest::newRow("down, Style3D 1") << 4 << int(bsDown) << 1 << 0 << 2 << QRect(2, 2, 37, 17);
    QTest::newRow("down with three cells") << 3 << int(bsDown) << 2 << 0 << 2 << QRect(3, 3, 36, 16);
    QTest::newRow("down with two cells shows the up cell")
        << 2 << int(bsDown) << 2 << 0 << 0 << QRect(3, 3, 36, 16);
    QTest::newRow("disabled shows none") << 4 << int(bsDisabled) << 2 << 0 << -1 << QRect();
    QTest::newRow("margin 5") << 4 << int(bsUp) << 2 << 5 << 0 << QRect(7, 2, 33, 16);
    QTest::newRow("margin -1") << 4 << int(bsUp) << 1 << -1 << 0 << QRect(0, 1, 37, 17);
}

// The cell of the state, stretched over the face at the placement, and nothing else.
void TstButtonGlyph::bildLage()
{
    QFETCH(int, numGlyphs);
    QFETCH(int, state);
    QFETCH(int, style3D);
    QFETCH(int, margin);
    QFETCH(int, zelle);
    QFETCH(QRect, wo);
    TButtonGlyph g;
    g.setGlyph(zellen(numGlyphs));
    g.setNumGlyphs(numGlyphs);
    const QImage bild = gemalt(g, TButtonState(state), margin, style3D);
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x) {
            const QRgb soll = wo.contains(x, y) ? ZellFarben[zelle] : Hintergrund;
            if (bild.pixel(x, y) != soll)
                QFAIL(qPrintable(
                    QStringLiteral("pixel %1,%2 is %3").arg(x).arg(y).arg(bild.pixel(x, y), 0, 16)));
        }
}

void TstButtonGlyph::farben_data()
{
    QTest::addColumn<bool>("transparent");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<uint>("selColor");
    QTest::addColumn<uint>("links");  // where the strip has its transparent colour
    QTest::addColumn<uint>("rechts"); // red
    QTest::newRow("plain") << false << false << 0xFFFFFFu << uint(Magenta) << uint(Rot);
    QTest::newRow("transparent: the button face") << true << false << 0xFFFFFFu << uint(Flaeche) << uint(Rot);
    QTest::newRow("checked: half white")
        << false << true << 0xFFFFFFu << uint(qRgb(255, 127, 255)) << uint(qRgb(255, 127, 127));
    QTest::newRow("checked and transparent: half black")
        << true << true << 0x000000u << uint(qRgb(120, 120, 120)) << uint(qRgb(127, 0, 0));
    QTest::newRow("checked: SelColor red in the low byte")
        << false << true << 0x0000FFu << uint(qRgb(255, 0, 127)) << uint(qRgb(255, 0, 0));
}

void TstButtonGlyph::farben()
{
    QFETCH(bool, transparent);
    QFETCH(bool, checked);
    QFETCH(uint, selColor);
    QFETCH(uint, links);
    QFETCH(uint, rechts);
    // Left half in the colour of the bottom-left pixel, right half red.
    QImage s(4, 4, QImage::Format_RGB32);
    s.fill(Rot);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x)
            s.setPixel(x, y, Magenta);
    TButtonGlyph g;
    g.setGlyph(s);
    QCOMPARE(g.TransparentColor(), Magenta);
    g.setChecked(checked);
    g.setSelColor(selColor);
    const QImage bild = gemalt(g, bsUp, 0, 2, transparent);
    QCOMPARE(bild.pixel(5, 10), QRgb(links));
    QCOMPARE(bild.pixel(35, 10), QRgb(rechts));
}

// Pictures of one size share a list; freed cells are taken again; empty lists and, with the last
// picture, the cache itself go.
void TstButtonGlyph::cache()
{
    QCOMPARE(GlyphCache, nullptr);
    {
        TButtonGlyph a, b, c;
        for (TButtonGlyph *g : {&a, &b, &c}) {
            g->setGlyph(zellen());
            g->setNumGlyphs(4);
        }
        QVERIFY(GlyphCache);
        a.CreateButtonGlyph(bsUp, QSize(30, 20), false);
        b.CreateButtonGlyph(bsUp, QSize(30, 20), false);
        c.CreateButtonGlyph(bsUp, QSize(31, 20), false);
        TGlyphList *liste = a.List();
        QCOMPARE(b.List(), liste);
        QVERIFY(c.List() != liste);
        QCOMPARE(GlyphCache->ListCount(), 2);
        QCOMPARE(liste->Count(), 2);

        a.Invalidate();
        QCOMPARE(a.List(), nullptr);
        QCOMPARE(a.Cell(bsUp), -1);
        QCOMPARE(liste->Count(), 1);
        a.CreateButtonGlyph(bsDown, QSize(30, 20), false);
        QCOMPARE(a.List(), liste);
        QCOMPARE(a.Cell(bsDown), 0);
        QCOMPARE(liste->Capacity(), 2);

        c.setNumGlyphs(2);
        QCOMPARE(c.List(), nullptr);
        QCOMPARE(GlyphCache->ListCount(), 1);

        // A mask clears the cell where it is white; AddMasked makes it from one colour.
        QImage zwei(2, 1, QImage::Format_RGB32);
        zwei.setPixel(0, 0, Rot);
        zwei.setPixel(1, 0, Magenta);
        const int zelle = liste->AddMasked(zwei, Magenta);
        QImage bild(2, 1, QImage::Format_RGB32);
        bild.fill(Hintergrund);
        QPainter p(&bild);
        liste->Draw(p, zelle, QPoint(0, 0), QSize(30, 20), false, Qt::black);
        p.end();
        QCOMPARE(bild.pixel(0, 0), Rot);
        QCOMPARE(bild.pixel(1, 0), Hintergrund);
        liste->Delete(zelle);
        liste->Delete(zelle);
        QCOMPARE(liste->Count(), 2);
    }
    QCOMPARE(GlyphCache, nullptr);
}

void TstButtonGlyph::schrumpfen_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("pixel");
    const int w = 93; // a button of 97
    QString eins = QStringLiteral("Einstellungen");
    while (breite(12, eins) <= w)
        eins += QLatin1Char('e');
    QVERIFY(breite(11, eins) <= w);
    QString knapp = eins.chopped(1);
    QTest::newRow("fits") << arial(12) << "OK" << 12;
    QTest::newRow("one point smaller") << arial(12) << eins << 11;
    QTest::newRow("just fits") << arial(12) << knapp << 12;
    QTest::newRow("& takes no room") << arial(12) << QStringLiteral("&") + knapp << 12;
    QTest::newRow("never below 1 point") << arial(12) << QStringLiteral("x").repeated(400) << 1;
    QFont punkte(QStringLiteral("Arial"));
    punkte.setPointSize(9);
    QTest::newRow("points at 96 dpi") << punkte << "OK" << 12;
    QTest::newRow("points, one smaller") << punkte << eins << 11;
}

void TstButtonGlyph::schrumpfen()
{
    QFETCH(QFont, font);
    QFETCH(QString, caption);
    QFETCH(int, pixel);
    QCOMPARE(captionFont(font, caption, 93).pixelSize(), pixel);
}

QTEST_MAIN(TstButtonGlyph)
#include "tst_buttonglyph.moc"
