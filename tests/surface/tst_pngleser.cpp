// Our reader of the desktop's PNG files against the image library's: files made here with every
// filter, both colour types, split data and odd widths read the same pixel for pixel; damaged
// files and kinds the reader leaves to the library give a null image.
#include "pngbloecke.h"
#include "surface/pngleser.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTest>

#include <zlib.h>

#include <functional>

namespace {

struct Art
{
    int farbart = 2; // 2 RGB, 6 RGBA
    int filter = 0;  // 0–4 for every line, 5 for each line another
    int idatBloecke = 1;
    int tiefe = 8;
    int zeilensprung = 0;
};

int paeth(int a, int b, int c)
{
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// The lines of `bild` as a PNG encoder writes them: filter byte, filtered bytes.
QByteArray zeilen(const QImage &bild, const Art &art)
{
    const int bpp = art.farbart == 6 ? 4 : 3, n = bild.width() * bpp;
    QByteArray roh, oben(n, 0);
    for (int y = 0; y < bild.height(); ++y) {
        QByteArray z;
        for (int x = 0; x < bild.width(); ++x) {
            const QRgb p = bild.pixel(x, y);
            z.append(char(qRed(p))).append(char(qGreen(p))).append(char(qBlue(p)));
            if (bpp == 4)
                z.append(char(qAlpha(p)));
        }
        const int f = art.filter == 5 ? y % 5 : art.filter;
        roh.append(char(f));
        for (int i = 0; i < n; ++i) {
            const int a = i >= bpp ? uchar(z[i - bpp]) : 0, b = uchar(oben[i]),
                      c = i >= bpp ? uchar(oben[i - bpp]) : 0;
            const int vorhersage = f == 1   ? a
                                   : f == 2 ? b
                                   : f == 3 ? (a + b) / 2
                                   : f == 4 ? paeth(a, b, c)
                                            : 0;
            roh.append(char(uchar(z[i]) - vorhersage));
        }
        oben = z;
    }
    return roh;
}

QByteArray kopf(int breite, int hoehe, const Art &art)
{
    QByteArray k;
    be32(k, quint32(breite));
    be32(k, quint32(hoehe));
    k.append(char(art.tiefe))
        .append(char(art.farbart))
        .append('\0')
        .append('\0')
        .append(char(art.zeilensprung));
    return k;
}

QByteArray komprimiert(const QByteArray &roh)
{
    uLongf n = compressBound(uLong(roh.size()));
    QByteArray z(qsizetype(n), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef *>(z.data()), &n, reinterpret_cast<const Bytef *>(roh.constData()),
              uLong(roh.size()), 6);
    z.resize(qsizetype(n));
    return z;
}

QByteArray png(const QImage &bild, const Art &art, const std::function<void(QByteArray &)> &vorDaten = {})
{
    QByteArray p("\x89PNG\r\n\x1a\n", 8);
    block(p, "IHDR", kopf(bild.width(), bild.height(), art));
    if (vorDaten)
        vorDaten(p);
    const QByteArray z = komprimiert(zeilen(bild, art));
    const qsizetype stueck = z.size() / art.idatBloecke + 1;
    for (int i = 0; i < art.idatBloecke; ++i)
        block(p, "IDAT", z.mid(i * stueck, stueck));
    block(p, "IEND", {});
    return p;
}

// Noise with runs and edges, so that every filter has work; `alpha` 0 leaves it opaque.
QImage bild(int breite, int hoehe, int alpha, quint32 saat)
{
    QRandomGenerator zufall(saat);
    QImage b(breite, hoehe, QImage::Format_ARGB32);
    for (int y = 0; y < hoehe; ++y)
        for (int x = 0; x < breite; ++x) {
            const quint32 r = zufall.generate();
            const int a = alpha == 0 ? 0xFF : (x + y) % 7 == 0 ? 0 : int(r >> 24) | alpha;
            b.setPixel(x, y,
                       (x / 5 + y) % 3 ? qRgba(int(r & 0xFF), int(r >> 8 & 0xFF), int(r >> 16 & 0xFF), a)
                                       : qRgba(x & 0xFF, 255 - (y & 0xFF), 128, a));
        }
    return b;
}

// The PNG's chunk of type `typ` (its length field's offset), or -1.
qsizetype blockStelle(const QByteArray &p, const char *typ)
{
    const qsizetype i = p.indexOf(typ);
    return i < 0 ? -1 : i - 4;
}

} // namespace

class TstPngLeser : public QObject
{
    Q_OBJECT

private slots:
    void readsAsTheImageLibrary_data();
    void readsAsTheImageLibrary();
    void refusesDamagedAndOtherFiles_data();
    void refusesDamagedAndOtherFiles();
};

void TstPngLeser::readsAsTheImageLibrary_data()
{
    QTest::addColumn<QImage>("bild");
    QTest::addColumn<int>("farbart");
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("idatBloecke");
    QTest::addColumn<bool>("palette");
    for (int farbart : {2, 6})
        for (int filter = 0; filter <= 5; ++filter)
            QTest::addRow("%s filter %d", farbart == 2 ? "RGB" : "RGBA", filter)
                << bild(61, 23, farbart == 6 ? 0x20 : 0, quint32(filter)) << farbart << filter << 1 << false;
    QTest::newRow("one pixel") << bild(1, 1, 0, 7) << 2 << 4 << 1 << false;
    QTest::newRow("one column, Paeth and average") << bild(1, 40, 0x10, 8) << 6 << 5 << 1 << false;
    QTest::newRow("odd width, many IDAT blocks") << bild(333, 17, 0, 9) << 2 << 5 << 9 << false;
    QTest::newRow("RGBA opaque, split data") << bild(101, 31, 0, 10) << 6 << 5 << 3 << false;
    QTest::newRow("RGB with a suggested palette and text") << bild(40, 12, 0, 11) << 2 << 1 << 2 << true;
}

void TstPngLeser::readsAsTheImageLibrary()
{
    QFETCH(QImage, bild);
    QFETCH(int, farbart);
    QFETCH(int, filter);
    QFETCH(int, idatBloecke);
    QFETCH(bool, palette);
    Art art;
    art.farbart = farbart;
    art.filter = filter;
    art.idatBloecke = idatBloecke;
    const QByteArray datei = png(bild, art, [&](QByteArray &p) {
        if (palette) {
            block(p, "PLTE", QByteArray(6, '\x40'));
            block(p, "tEXt", QByteArray("Software\0Test", 13));
        }
    });
    const QImage bibliothek = QImage::fromData(datei, "PNG");
    QVERIFY(!bibliothek.isNull());
    // In memory of its own, in memory prepared for the picture's size, and in its own again
    // where the prepared memory is too small.
    for (const QSize vorbereitet : {QSize(), bild.size(), QSize(bild.width(), bild.height() - 1)}) {
        PngVorrat vorrat(vorbereitet);
        const QImage unser = pngBildschirmfotoLesen(datei, &vorrat);
        QVERIFY(!unser.isNull());
        QCOMPARE(unser.convertToFormat(QImage::Format_ARGB32),
                 bibliothek.convertToFormat(QImage::Format_ARGB32));
        QCOMPARE(unser.convertToFormat(QImage::Format_ARGB32), bild);
        // An opaque picture comes as RGB32, which the freeze takes without a conversion.
        const bool deckend =
            bild.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_ARGB32) == bild;
        QCOMPARE(unser.format(), deckend ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    }
}

void TstPngLeser::refusesDamagedAndOtherFiles_data()
{
    QTest::addColumn<QByteArray>("datei");
    QTest::addColumn<bool>("bibliothekLiest"); // the image library reads it in our place
    const QImage b = bild(37, 11, 0, 3);
    const Art rgb;
    const QByteArray gut = png(b, rgb);
    QVERIFY(!pngBildschirmfotoLesen(gut).isNull());

    for (qsizetype laenge : {qsizetype(0), qsizetype(7), qsizetype(20), qsizetype(40), gut.size() / 2,
                             gut.size() - 13, gut.size() - 1})
        QTest::addRow("cut to %lld bytes", qlonglong(laenge)) << gut.left(laenge) << false;

    auto veraendert = [&](const char *typ, qsizetype abstand, char xorWert) {
        QByteArray p = gut;
        const qsizetype i = blockStelle(p, typ) + abstand;
        p[i] = char(p[i] ^ xorWert);
        return p;
    };
    // Length field + 4 is the type, + 8 the content; the content's end is followed by the CRC.
    QTest::newRow("wrong CRC of the header") << veraendert("IHDR", 8 + 13, 1) << false;
    const qsizetype idatLaenge = qsizetype(gut.mid(blockStelle(gut, "IDAT"), 4).toHex().toUInt(nullptr, 16));
    QTest::newRow("wrong CRC of the data") << veraendert("IDAT", 8 + idatLaenge + 3, 1) << false;
    QTest::newRow("wrong CRC of the end") << veraendert("IEND", 8, 1) << false;
    QTest::newRow("length beyond the file") << veraendert("IDAT", 0, 0x40) << false;

    // Consistent checksums, wrong content: one line more or fewer than the data holds, a
    // filter that does not exist, a zlib stream with a wrong Adler sum.
    Art andere = rgb;
    auto mitKopf = [&](int breite, int hoehe) {
        QByteArray p = gut;
        QByteArray k("\x89PNG\r\n\x1a\n", 8);
        block(k, "IHDR", kopf(breite, hoehe, rgb));
        return p.replace(0, k.size(), k);
    };
    QTest::newRow("a line more than the data") << mitKopf(37, 12) << false;
    QTest::newRow("a line fewer than the data") << mitKopf(37, 10) << false;
    QTest::newRow("a pixel wider than the data") << mitKopf(38, 11) << false;
    {
        QByteArray roh = zeilen(b, rgb);
        roh[(37 * 3 + 1) * 4] = 5;
        QByteArray p("\x89PNG\r\n\x1a\n", 8);
        block(p, "IHDR", kopf(37, 11, rgb));
        block(p, "IDAT", komprimiert(roh));
        block(p, "IEND", {});
        QTest::newRow("unknown filter type") << p << false;
        QByteArray z = komprimiert(zeilen(b, rgb));
        z[z.size() - 1] = char(z[z.size() - 1] ^ 1);
        QByteArray q("\x89PNG\r\n\x1a\n", 8);
        block(q, "IHDR", kopf(37, 11, rgb));
        block(q, "IDAT", z);
        block(q, "IEND", {});
        QTest::newRow("wrong Adler sum") << q << false;
        QByteArray r("\x89PNG\r\n\x1a\n", 8);
        block(r, "IHDR", kopf(37, 11, rgb));
        block(r, "IEND", {});
        QTest::newRow("no data") << r << false;
        QByteArray s("\x89PNG\r\n\x1a\n", 8);
        block(s, "IHDR", kopf(60000, 60000, rgb));
        block(s, "IDAT", komprimiert(QByteArray(100, 0)));
        block(s, "IEND", {});
        QTest::newRow("huge size, little data") << s << false;
    }
    {
        const QByteArray z = komprimiert(zeilen(b, rgb));
        QByteArray p("\x89PNG\r\n\x1a\n", 8);
        block(p, "IHDR", kopf(37, 11, rgb));
        block(p, "IDAT", z.left(z.size() / 2));
        block(p, "tEXt", QByteArray("a\0b", 3));
        block(p, "IDAT", z.mid(z.size() / 2));
        block(p, "IEND", {});
        QTest::newRow("data split by another block") << p << false;
    }
    andere.zeilensprung = 1;
    QTest::newRow("interlaced") << png(b, andere) << false;
    QTest::newRow("unknown critical block")
        << png(b, rgb, [](QByteArray &p) { block(p, "ZZZZ", "x"); }) << false;
    QTest::newRow("header not first") << png(b, rgb).insert(8, [] {
        QByteArray t;
        block(t, "tEXt", QByteArray("a\0b", 3));
        return t;
    }()) << false;

    // Kinds the desktops' portals do not write: the image library reads them.
    andere = rgb;
    andere.tiefe = 16;
    QByteArray tief("\x89PNG\r\n\x1a\n", 8);
    block(tief, "IHDR", kopf(2, 1, andere));
    block(tief, "IDAT", komprimiert(QByteArray(1 + 2 * 6, '\x7f').replace(0, 1, QByteArray(1, '\0'))));
    block(tief, "IEND", {});
    QTest::newRow("16 bits a channel") << tief << true;
    QImage grau(5, 3, QImage::Format_Grayscale8);
    grau.fill(77);
    QByteArray grauPng;
    {
        QBuffer puffer(&grauPng);
        QVERIFY(grau.save(&puffer, "PNG"));
    }
    QTest::newRow("grey") << grauPng << true;
    QImage palette(5, 3, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 0)});
    palette.fill(1);
    QByteArray palettePng;
    {
        QBuffer puffer(&palettePng);
        QVERIFY(palette.save(&puffer, "PNG"));
    }
    QTest::newRow("palette") << palettePng << true;
    QTest::newRow("not a PNG") << QByteArray("BM\0\0\0\0", 6) << false;
}

void TstPngLeser::refusesDamagedAndOtherFiles()
{
    QFETCH(QByteArray, datei);
    QFETCH(bool, bibliothekLiest);
    QVERIFY(pngBildschirmfotoLesen(datei).isNull());
    if (bibliothekLiest)
        QVERIFY(!QImage::fromData(datei).isNull());
}

QTEST_GUILESS_MAIN(TstPngLeser)
#include "tst_pngleser.moc"
