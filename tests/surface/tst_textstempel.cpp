#include "surface/textstempel.h"

#include <QGuiApplication>
#include <QTest>

namespace {

QImage weiss(int w = 400, int h = 300)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

// Bounding box of the pixels that differ from white.
QRect belegt(const QImage &img)
{
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != qRgb(255, 255, 255))
                r |= QRect(x, y, 1, 1);
    return r;
}

int zaehle(const QImage &img, QRgb farbe)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) == farbe;
    return n;
}

} // namespace

class TstTextStempel : public QObject
{
    Q_OBJECT

private slots:
    void sizes_data();
    void sizes();
    void textShadow_data();
    void textShadow();
    void emptyTextDrawsNothing();
    void stampCentredWithShadow_data();
    void stampCentredWithShadow();
    void stampClippedAtTheEdge();
    void markersInvertTwiceRestore_data();
    void markersInvertTwiceRestore();
    void crossMarkerEnds();
    void stampOncePerPress();
    void textStepPlacesEntry();
};

void TstTextStempel::sizes_data()
{
    QTest::addColumn<int>("sdicke");
    QTest::addColumn<int>("text");
    QTest::addColumn<int>("stempel");
    QTest::newRow("none chosen") << 0 << 3 << 0;
    QTest::newRow("level 1") << 3 << 9 << 17;
    QTest::newRow("level 2") << 7 << 16 << 39;
    QTest::newRow("level 3") << 13 << 24 << 72;
    QTest::newRow("level 4") << 21 << 39 << 116;
}

void TstTextStempel::sizes()
{
    QFETCH(int, sdicke);
    QFETCH(int, text);
    QFETCH(int, stempel);
    QCOMPARE(textPunktgroesse(sdicke), text);
    QCOMPARE(stempelPunktgroesse(sdicke), stempel);
    QCOMPARE(textSchrift(sdicke).pixelSize(), punktZuPixel(text));
    QVERIFY(textSchrift(sdicke).bold());
    QCOMPARE(punktZuPixel(24), 32);
}

void TstTextStempel::textShadow_data()
{
    QTest::addColumn<int>("sdicke");
    QTest::addColumn<uint>("farbe");
    QTest::addColumn<bool>("schatten");
    QTest::newRow("red, level 3") << 13 << uint(Palette::Rot) << true;
    QTest::newRow("yellow, level 4") << 21 << uint(Palette::Gelb) << true;
    QTest::newRow("red, level 2: too small") << 7 << uint(Palette::Rot) << false;
    QTest::newRow("black, level 3") << 13 << uint(Palette::Schwarz) << false;
}

void TstTextStempel::textShadow()
{
    QFETCH(int, sdicke);
    QFETCH(uint, farbe);
    QFETCH(bool, schatten);
    const QFont schrift = textSchrift(sdicke);
    const int pt = textPunktgroesse(sdicke);
    QImage img = weiss();
    const QRect r = textSchreiben(img, {50, 60}, QStringLiteral("Hallo"), schrift, pt, farbe);
    QVERIFY(r.contains(belegt(img)));

    // The same text in black alone marks where the glyphs are.
    QImage ohne = weiss();
    textSchreiben(ohne, {50, 60}, QStringLiteral("Hallo"), schrift, pt, Palette::Schwarz);
    const QRect glyphen = belegt(ohne);
    QVERIFY(glyphen.top() >= 60 && glyphen.left() >= 50);
    if (farbe == Palette::Schwarz) {
        QCOMPARE(img, ohne);
        return;
    }
    QCOMPARE(belegt(img), schatten ? glyphen.adjusted(0, 0, 1, 1) : glyphen);
    QCOMPARE(zaehle(img, qRgb(0, 0, 0)) > 0, schatten);
    QVERIFY(zaehle(img, toQRgb(farbe)) > 0);
}

void TstTextStempel::emptyTextDrawsNothing()
{
    QImage img = weiss();
    QVERIFY(textSchreiben(img, {10, 10}, QString(), textSchrift(13), 24, Palette::Rot).isEmpty());
    QCOMPARE(img, weiss());
}

void TstTextStempel::stampCentredWithShadow_data()
{
    QTest::addColumn<int>("zeichen");
    QTest::addColumn<QRgb>("farbe");
    QTest::newRow("check mark") << int(Stempel::Haekchen) << qRgb(0, 196, 0);
    QTest::newRow("cross") << int(Stempel::Kreuz) << qRgb(220, 0, 0);
}

void TstTextStempel::stampCentredWithShadow()
{
    QFETCH(int, zeichen);
    QFETCH(QRgb, farbe);
    QImage img = weiss();
    const QRect r = SetzeZeichen(img, 200, 150, Stempel(zeichen), 13);
    const QRect b = belegt(img);
    QVERIFY(r.contains(b));
    QVERIFY2(std::abs(b.center().x() - 200) <= 3, qPrintable(QString::number(b.center().x())));
    QVERIFY2(std::abs(b.center().y() - 150) <= 12, qPrintable(QString::number(b.center().y())));
    QVERIFY(b.width() > 40 && b.height() > 40); // 72 points
    QVERIFY(zaehle(img, farbe) > 200);
    QVERIFY(zaehle(img, qRgb(0, 0, 0)) > 0);
    // The stamp's colour does not depend on the drawing colour; each level grows the symbol.
    QImage klein = weiss();
    SetzeZeichen(klein, 200, 150, Stempel(zeichen), 3);
    QVERIFY(belegt(klein).width() < b.width() / 2);
}

void TstTextStempel::stampClippedAtTheEdge()
{
    QImage img = weiss(60, 40);
    const QRect r = SetzeZeichen(img, 0, 0, Stempel::Kreuz, 21);
    QVERIFY(img.rect().contains(r));
    QVERIFY(r.contains(QPoint(0, 0)));
    QVERIFY(zaehle(img, qRgb(220, 0, 0)) > 0);
}

void TstTextStempel::markersInvertTwiceRestore_data()
{
    QTest::addColumn<int>("art");
    QTest::addColumn<QPoint>("pos");
    QTest::newRow("text bar") << 0 << QPoint(100, 100);
    QTest::newRow("text bar at the top edge") << 0 << QPoint(5, 3);
    QTest::newRow("check mark") << 1 << QPoint(100, 100);
    QTest::newRow("check mark at the edge") << 1 << QPoint(20, 2);
    QTest::newRow("cross") << 2 << QPoint(100, 100);
    QTest::newRow("cross at the edge") << 2 << QPoint(0, 199);
}

void TstTextStempel::markersInvertTwiceRestore()
{
    QFETCH(int, art);
    QFETCH(QPoint, pos);
    QImage img(200, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            img.setPixel(x, y, qRgb(x, y, (x * y) & 0xFF));
    const QImage vorher = img;
    const auto zeichne = [&] {
        if (art == 0)
            return textBalken(img, pos.x(), pos.y(), 30);
        return stempelMarker(img, pos.x(), pos.y(), art == 1 ? Stempel::Haekchen : Stempel::Kreuz, 21);
    };
    const QRect r = zeichne();
    QVERIFY(!r.isEmpty());
    QVERIFY(img != vorher);
    zeichne();
    QCOMPARE(img, vorher);
    // No marker without a position.
    QVERIFY(textBalken(img, -1, 50, 30).isEmpty());
    QVERIFY(stempelMarker(img, 50, -1, Stempel::Kreuz, 21).isEmpty());
    QCOMPARE(img, vorher);
}

void TstTextStempel::crossMarkerEnds()
{
    QImage img = weiss(100, 100);
    // Level 3: v = 10.
    stempelMarker(img, 50, 50, Stempel::Kreuz, 13);
    QCOMPARE(img.pixel(40, 40), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(60, 60), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(61, 61), qRgb(255, 255, 255));
    QCOMPARE(img.pixel(40, 60), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(60, 40), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(61, 39), qRgb(255, 255, 255));
    // The text bar: two columns standing on the pointer, as tall as a line.
    QImage bar = weiss(100, 100);
    textBalken(bar, 20, 50, 10);
    QCOMPARE(belegt(bar), QRect(20, 40, 2, 10));
}

void TstTextStempel::stampOncePerPress()
{
    ToolState t;
    SurfaceState s;
    t.Modus = 7;
    t.Sdicke = 13;
    s.Img1Bmp = weiss();
    const QImage leer = s.Img1Bmp;

    // Hovering shows only the marker; leaving (−1, −1) restores the picture.
    stempelSchritt(t, s, 0, 100, 100);
    QVERIFY(s.Img1Bmp != leer);
    stempelSchritt(t, s, 0, -1, -1);
    QCOMPARE(s.Img1Bmp, leer);

    // A press stamps at the press point; dragging with the button held stamps nothing more.
    stempelSchritt(t, s, ssLeft, 100, 100);
    stempelSchritt(t, s, ssLeft, 180, 120);
    stempelSchritt(t, s, ssLeft, 250, 200);
    stempelSchritt(t, s, 0, -1, -1);
    QImage einmal = leer;
    SetzeZeichen(einmal, 100, 100, Stempel::Haekchen, 13);
    QCOMPARE(s.Img1Bmp, einmal);

    // After the release (which resets the latch) the next press stamps again.
    s.Lx = s.Ly = -1;
    stempelSchritt(t, s, ssLeft, 300, 200);
    stempelSchritt(t, s, 0, -1, -1);
    SetzeZeichen(einmal, 300, 200, Stempel::Haekchen, 13);
    QCOMPARE(s.Img1Bmp, einmal);
}

void TstTextStempel::textStepPlacesEntry()
{
    SurfaceState s;
    s.Img1Bmp = weiss();
    s.Eintrag.Hoehe = 30;
    const QImage leer = s.Img1Bmp;
    textSchritt(s, 0, 100, 200);
    QVERIFY(!s.Eintrag.Platzieren);
    QCOMPARE(belegt(s.Img1Bmp), QRect(100, 170, 2, 30));
    textSchritt(s, ssLeft, 100, 200);
    QVERIFY(s.Eintrag.Platzieren && s.Eintrag.Offen);
    QCOMPARE(s.Eintrag.Platz, QPoint(100, 200));
    QCOMPARE(s.Img1Bmp, leer);
    QCOMPARE(s.Sx, -1);
    QCOMPARE(s.Lx, -1);
    // While the entry is open no bar is drawn.
    textSchritt(s, 0, 150, 220);
    QCOMPARE(s.Img1Bmp, leer);
    QCOMPARE(s.Sx, 150);
}

QTEST_MAIN(TstTextStempel)
#include "tst_textstempel.moc"
