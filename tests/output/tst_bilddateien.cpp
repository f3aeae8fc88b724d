#include "output/bildcodecs.h"
#include "output/bildspeichern.h"
#include "output/deflateband.h"

#include "dateigrenze.h"
#include "testbilder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <array>
#include <map>
#include <set>

#include <zlib.h>

namespace {

QByteArray lesen(const QString &pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

quint32 be32(const QByteArray &d, qsizetype at)
{
    return qFromBigEndian<quint32>(d.constData() + at);
}

QString signatur(const QByteArray &d)
{
    if (d.startsWith("\x89PNG\r\n\x1a\n"))
        return QStringLiteral("PNG");
    if (d.startsWith("\xFF\xD8\xFF"))
        return QStringLiteral("JPEG");
    if (d.startsWith("BM"))
        return QStringLiteral("BMP");
    return QStringLiteral("?");
}

// The chunk types of a PNG file in order, and the data of the first of each type.
struct PngChunks
{
    QStringList Typen;
    std::map<QString, QByteArray> Erster;
};

PngChunks pngChunks(const QByteArray &d)
{
    PngChunks c;
    for (qsizetype at = 8; at + 12 <= d.size();) {
        const qsizetype laenge = be32(d, at);
        const QString typ = QString::fromLatin1(d.mid(at + 4, 4));
        c.Typen << typ;
        c.Erster.try_emplace(typ, d.mid(at + 8, laenge));
        at += 12 + laenge;
    }
    return c;
}

// JPEG segments up to the start of the scan: marker → payload; quantisation tables by number.
struct JpegSegmente
{
    QList<int> Marker;
    std::map<int, QByteArray> Erster;
    std::map<int, std::array<int, 64>> Tabellen;
};

JpegSegmente jpegSegmente(const QByteArray &d)
{
    JpegSegmente s;
    for (qsizetype at = 2; at + 4 <= d.size();) {
        const int marker = uchar(d[at + 1]);
        const qsizetype laenge = qFromBigEndian<quint16>(d.constData() + at + 2);
        const QByteArray daten = d.mid(at + 4, laenge - 2);
        s.Marker << marker;
        s.Erster.try_emplace(marker, daten);
        if (marker == 0xDB) {
            for (qsizetype i = 0; i + 65 <= daten.size(); i += 65) {
                std::array<int, 64> t{};
                for (int k = 0; k < 64; ++k)
                    t[size_t(k)] = uchar(daten[i + 1 + k]);
                s.Tabellen[uchar(daten[i]) & 0x0F] = t;
            }
        }
        if (marker == 0xDA)
            break;
        at += 2 + laenge;
    }
    return s;
}

// The baseline tables of the JPEG standard scaled to quality 99, in the file's zig-zag order.
std::array<int, 64> qualitaet99(const std::array<int, 64> &basis)
{
    static constexpr std::array<int, 64> zickzack{
        0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
        41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
        30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
    std::array<int, 64> t{};
    for (size_t k = 0; k < 64; ++k)
        t[k] = qMax(1, (basis[size_t(zickzack[k])] * (200 - 2 * 99) + 50) / 100);
    return t;
}

constexpr std::array<int, 64> LuminanzBasis{
    16, 11,  10,  16, 24, 40, 51, 61, 12,  12,  14,  19,  26, 58, 60, 55,  14,  13,  16,  24, 40, 57,
    69, 56,  14,  17, 22, 29, 51, 87, 80,  62,  18,  22,  37, 56, 68, 109, 103, 77,  24,  35, 55, 64,
    81, 104, 113, 92, 49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98,  112, 100, 103, 99};
constexpr std::array<int, 64> ChrominanzBasis{17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                              24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                              99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                              99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

double mittlereAbweichung(const QImage &a, const QImage &b)
{
    qint64 summe = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            summe += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
        }
    return double(summe) / (3.0 * a.width() * a.height());
}

} // namespace

class TstBildDateien : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void roundTrip_data();
    void roundTrip();
    void otherReadersReadOurPng_data();
    void otherReadersReadOurPng();
    void deflateBaenderFuegenSichBeiJedemBit_data();
    void deflateBaenderFuegenSichBeiJedemBit();
    void formatNachEndung_data();
    void formatNachEndung();
    void speichernUnterEndungen_data();
    void speichernUnterEndungen();
    void fehlschlagLaesstBestehendeDatei_data();
    void fehlschlagLaesstBestehendeDatei();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TstBildDateien::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TstBildDateien::roundTrip_data()
{
    QTest::addColumn<QString>("endung");
    QTest::addColumn<QSize>("groesse");
    for (const QString &endung : {QStringLiteral(".png"), QStringLiteral(".bmp"), QStringLiteral(".jpg")})
        for (QSize s : {QSize(1, 1), QSize(3, 2), QSize(1, 5), QSize(333, 7), QSize(3840, 2160)})
            QTest::addRow("%s %dx%d", qPrintable(endung), s.width(), s.height()) << endung << s;
}

// PNG and BMP come back pixel for pixel; JPEG is a baseline file with the quality-99 tables.
void TstBildDateien::roundTrip()
{
    QFETCH(QString, endung);
    QFETCH(QSize, groesse);
    const bool jpeg = endung == QLatin1String(".jpg");
    const QImage bild =
        jpeg ? verlaufBild(groesse.width(), groesse.height()) : musterBild(groesse.width(), groesse.height());
    const QString pfad = m_dir->filePath(QStringLiteral("bild") + endung);
    const Ergebnis e = BildSpeichern(bild, pfad);
    QVERIFY(e.Ok);
    QVERIFY(e.Fehler.isEmpty());

    const QByteArray d = lesen(pfad);
    QImage zurueck;
    QVERIFY(zurueck.loadFromData(d));
    QCOMPARE(zurueck.size(), groesse);
    zurueck = zurueck.convertToFormat(QImage::Format_RGB32);

    if (endung == QLatin1String(".png")) {
        QCOMPARE(signatur(d), QStringLiteral("PNG"));
        const PngChunks c = pngChunks(d);
        QCOMPARE(c.Typen.first(), QStringLiteral("IHDR"));
        QCOMPARE(c.Typen.last(), QStringLiteral("IEND"));
        QCOMPARE(QSet<QString>(c.Typen.begin(), c.Typen.end()),
                 QSet<QString>({QStringLiteral("IHDR"), QStringLiteral("IDAT"), QStringLiteral("IEND")}));
        const QByteArray ihdr = c.Erster.at(QStringLiteral("IHDR"));
        QCOMPARE(be32(ihdr, 0), quint32(groesse.width()));
        QCOMPARE(be32(ihdr, 4), quint32(groesse.height()));
        QCOMPARE(ihdr.mid(8),
                 QByteArray("\x08\x02\x00\x00\x00", 5)); // 8 bits, RGB, deflate, filter 0, progressive off
        // The zlib header names the level class: 1 stands for levels 2 to 5.
        const QByteArray idat = c.Erster.at(QStringLiteral("IDAT"));
        QCOMPARE(uchar(idat[0]) & 0x0F, 8);
        QCOMPARE(uchar(idat[1]) >> 6, 1);
        QCOMPARE(zurueck, bild);
    } else if (endung == QLatin1String(".bmp")) {
        QCOMPARE(signatur(d), QStringLiteral("BMP"));
        QCOMPARE(qFromLittleEndian<quint16>(d.constData() + 28), quint16(24));
        QCOMPARE(qFromLittleEndian<quint32>(d.constData() + 30), 0u); // uncompressed
        const qsizetype zeile = (groesse.width() * 3 + 3) / 4 * 4;
        QCOMPARE(d.size(), 54 + zeile * groesse.height());
        QCOMPARE(qFromLittleEndian<quint32>(d.constData() + 2), quint32(d.size()));
        QCOMPARE(zurueck, bild);
    } else {
        QCOMPARE(signatur(d), QStringLiteral("JPEG"));
        const JpegSegmente s = jpegSegmente(d);
        QVERIFY(s.Marker.contains(0xC0));
        for (int sof : {0xC1, 0xC2, 0xC3, 0xC9, 0xCA})
            QVERIFY2(!s.Marker.contains(sof), "not a baseline file");
        const QByteArray sof0 = s.Erster.at(0xC0);
        QCOMPARE(uchar(sof0[0]), uchar(8));
        QCOMPARE(int(qFromBigEndian<quint16>(sof0.constData() + 1)), groesse.height());
        QCOMPARE(int(qFromBigEndian<quint16>(sof0.constData() + 3)), groesse.width());
        QCOMPARE(uchar(sof0[5]), uchar(3)); // colour
        QCOMPARE(s.Tabellen.size(), size_t(2));
        QCOMPARE(s.Tabellen.at(0), qualitaet99(LuminanzBasis));
        QCOMPARE(s.Tabellen.at(1), qualitaet99(ChrominanzBasis));
        const double abweichung = mittlereAbweichung(zurueck, bild);
        QVERIFY2(abweichung < 1.0, qPrintable(QString::number(abweichung)));
    }
}

void TstBildDateien::otherReadersReadOurPng_data()
{
    QTest::addColumn<QStringList>("leser"); // program and arguments, %1 the file; "Qt" reads in here
    QTest::addColumn<QImage>("bild");
    QTest::addColumn<int>("level");
    const std::pair<const char *, QStringList> leser[] = {
        {"Qt", {QStringLiteral("Qt")}},
        {"pngcheck", {QStringLiteral("pngcheck"), QStringLiteral("-q"), QStringLiteral("%1")}},
        {"ImageMagick",
         {QStringLiteral("convert"), QStringLiteral("PNG:%1"), QStringLiteral("-depth"), QStringLiteral("8"),
          QStringLiteral("RGB:-")}},
        // Debian's python3-pil is there for the system's interpreter, not for one found first on PATH.
        {"PIL",
         {QStringLiteral("/usr/bin/python3"), QStringLiteral("-c"),
          QStringLiteral("import sys; from PIL import Image; "
                         "sys.stdout.buffer.write(Image.open(sys.argv[1]).convert('RGB').tobytes())"),
          QStringLiteral("%1")}}};
    // Large enough to be split into bands: a pattern (Huffman-coded blocks, bands ending at
    // any bit), noise (stored blocks, which end on a byte), one colour (a few short blocks), and
    // an odd height whose bands differ in rows; at the file level and the clipboard's.
    QImage flach(1200, 900, QImage::Format_RGB32);
    flach.fill(QColor(0x2D, 0x5F, 0x8A));
    const std::tuple<const char *, QImage, int> bilder[] = {
        {"pattern", musterBild(1500, 1100), 5},
        {"noise", rauschBild(700, 600), 5},
        {"one colour", flach, 5},
        {"pattern, clipboard level", musterBild(997, 701), 1}};
    for (const auto &[name, l] : leser)
        for (const auto &[bildName, b, level] : bilder)
            QTest::addRow("%s, %s", name, bildName) << l << b << level;
}

// A large picture is written in bands on two threads whose streams are joined; every reader
// must see one valid stream and the exact pixels.
void TstBildDateien::otherReadersReadOurPng()
{
    QFETCH(QStringList, leser);
    QFETCH(QImage, bild);
    QFETCH(int, level);
    const QString pfad = m_dir->filePath(QStringLiteral("bild.png"));
    {
        QFile datei(pfad);
        QVERIFY(datei.open(QIODevice::WriteOnly));
        QVERIFY(schreibePng(bild, datei, level));
    }
    if (leser.first() == QLatin1String("Qt")) {
        const QImage zurueck(pfad);
        QCOMPARE(zurueck.convertToFormat(QImage::Format_RGB32), bild);
        return;
    }
    if (QStandardPaths::findExecutable(leser.first()).isEmpty())
        QSKIP(qPrintable(leser.first() + QStringLiteral(" is not installed")));
    const bool pruefer = leser.first() == QLatin1String("pngcheck");
    if (leser.first() == QLatin1String("/usr/bin/python3") &&
        QProcess::execute(QStringLiteral("/usr/bin/python3"),
                          {QStringLiteral("-c"), QStringLiteral("import PIL")}) != 0)
        QSKIP("PIL (python3-pil) is not installed");
    QStringList argumente = leser.mid(1);
    for (QString &a : argumente)
        a.replace(QLatin1String("%1"), pfad);
    QProcess p;
    p.start(leser.first(), argumente);
    QVERIFY(p.waitForFinished(60000));
    const QByteArray aus = p.readAllStandardOutput();
    QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0,
             p.readAllStandardError().constData());
    if (pruefer)
        return;
    QByteArray rgb;
    rgb.reserve(qsizetype(bild.width()) * bild.height() * 3);
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x) {
            const QRgb px = bild.pixel(x, y);
            rgb.append(char(qRed(px))).append(char(qGreen(px))).append(char(qBlue(px)));
        }
    QCOMPARE(aus.size(), rgb.size());
    QVERIFY(aus == rgb);
}

void TstBildDateien::deflateBaenderFuegenSichBeiJedemBit_data()
{
    QTest::addColumn<QByteArray>("daten");
    QTest::addColumn<int>("level");
    QByteArray text, rauschen, flach(20000, 'a');
    quint32 s = 99;
    while (text.size() < 20000) {
        s = s * 1664525u + 1013904223u;
        text += QByteArray::number(s >> 20) + (s & 1 ? " Bild " : " zeichnen ");
    }
    while (rauschen.size() < 20000) {
        s = s * 1664525u + 1013904223u;
        rauschen.append(char(s >> 24));
    }
    for (int level : {1, 5}) {
        QTest::addRow("text, level %d", level) << text << level;
        QTest::addRow("noise, level %d", level) << rauschen << level;
        QTest::addRow("one byte, level %d", level) << flach << level;
    }
}

// Bands of many lengths, so that they end at every bit of a byte: two that others follow and a
// last one, joined byte for byte, decode to the data as one stream. A band that ends inside a
// byte grows by an empty stored block of four bytes and, where its header does not fit in the
// rest of the byte, one more.
void TstBildDateien::deflateBaenderFuegenSichBeiJedemBit()
{
    QFETCH(QByteArray, daten);
    QFETCH(int, level);
    auto *d = reinterpret_cast<unsigned char *>(daten.data());
    DeflateBand band(level);
    std::set<size_t> zuwachs;
    for (size_t a = 1000; a < 9000; a += 41) {
        const size_t b = 2 * a / 3 + 7, gesamt = size_t(daten.size());
        std::vector<unsigned char> kette, allein;
        QVERIFY(band.komprimieren(d, a, false, kette));
        QVERIFY(band.komprimieren(d, a, true, allein));
        zuwachs.insert(kette.size() - allein.size());
        QVERIFY(band.komprimieren(d + a, b, false, kette));
        QVERIFY(band.komprimieren(d + a + b, gesamt - a - b, true, kette));

        z_stream z{};
        QCOMPARE(inflateInit2(&z, -15), Z_OK);
        QByteArray zurueck(daten.size() + 1, '\0');
        z.next_in = kette.data();
        z.avail_in = uInt(kette.size());
        z.next_out = reinterpret_cast<Bytef *>(zurueck.data());
        z.avail_out = uInt(zurueck.size());
        const int rc = inflate(&z, Z_FINISH);
        inflateEnd(&z);
        QCOMPARE(rc, Z_STREAM_END);
        QCOMPARE(z.avail_in, 0u);
        zurueck.truncate(qsizetype(z.total_out));
        QVERIFY2(zurueck == daten, qPrintable(QStringLiteral("bands of %1 and %2 bytes").arg(a).arg(b)));
    }
    // Noise is stored as it is, in blocks that end on a byte.
    if (QByteArray(QTest::currentDataTag()).startsWith("noise"))
        QCOMPARE(zuwachs, std::set<size_t>{0});
    else
        QCOMPARE(zuwachs, (std::set<size_t>{0, 4, 5}));
}

void TstBildDateien::formatNachEndung_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("format");
    QTest::newRow("png") << "bild.png"
                         << "PNG";
    QTest::newRow("upper-case PNG keeps its name") << "Bild.PNG"
                                                   << "PNG";
    QTest::newRow("jpg") << "bild.jpg"
                         << "JPEG";
    QTest::newRow("mixed-case Jpg") << "bild.Jpg"
                                    << "JPEG";
    QTest::newRow("jpeg is not jpg") << "Bild.jpeg"
                                     << "BMP";
    QTest::newRow("bmp") << "bild.bmp"
                         << "BMP";
    QTest::newRow("other") << "bild.gif"
                           << "BMP";
    QTest::newRow("no extension") << "bild"
                                  << "BMP";
    QTest::newRow("last dot counts") << "bild.png.bmp"
                                     << "BMP";
    QTest::newRow("dot in the folder only") << "ordner.png/bild"
                                            << "BMP";
    QTest::newRow("hidden-style name") << ".png"
                                       << "PNG";
}

void TstBildDateien::formatNachEndung()
{
    QFETCH(QString, name);
    QFETCH(QString, format);
    const QString pfad = m_dir->filePath(name);
    QVERIFY(QDir().mkpath(QFileInfo(pfad).path()));
    QVERIFY(BildSpeichern(musterBild(5, 3), pfad).Ok);
    QCOMPARE(signatur(lesen(pfad)), format);
    QCOMPARE(QDir(QFileInfo(pfad).path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(pfad).fileName()});
}

void TstBildDateien::speichernUnterEndungen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ok");
    QTest::newRow("png") << "/tmp/a/Bild.png" << true;
    QTest::newRow("PNG") << "/tmp/a/Bild.PNG" << true;
    QTest::newRow("jpg") << "/tmp/a/Bild.jpg" << true;
    QTest::newRow("bmp") << "/tmp/a/Bild.Bmp" << true;
    QTest::newRow("jpeg") << "/tmp/a/Bild.jpeg" << false;
    QTest::newRow("gif") << "/tmp/a/Bild.gif" << false;
    QTest::newRow("none") << "/tmp/a/Bild" << false;
    QTest::newRow("dot only in the folder") << "/tmp/a.png/Bild" << false;
}

void TstBildDateien::speichernUnterEndungen()
{
    QFETCH(QString, name);
    QFETCH(bool, ok);
    const Ergebnis e = SpeichernUnterPruefen(name);
    QCOMPARE(e.Ok, ok);
    QCOMPARE(e.Fehler,
             ok ? QString()
                : QStringLiteral("Speichern fehlgeschlagen wegen ungültiger Dateinamenserweiterung."));
}

void TstBildDateien::fehlschlagLaesstBestehendeDatei_data()
{
    QTest::addColumn<QString>("fall");
    QTest::addColumn<QString>("endung");
    const QStringList faelle{QStringLiteral("disk full"), QStringLiteral("disk full, small picture"),
                             QStringLiteral("no picture"), QStringLiteral("folder is a file"),
                             QStringLiteral("name is a folder")};
    for (const QString &endung : {QStringLiteral(".png"), QStringLiteral(".jpg"), QStringLiteral(".bmp")})
        for (const QString &fall : faelle)
            QTest::addRow("%s %s", qPrintable(fall), qPrintable(endung)) << fall << endung;
}

// A write that fails reports the path, leaves no partial file and keeps what was there.
void TstBildDateien::fehlschlagLaesstBestehendeDatei()
{
    QFETCH(QString, fall);
    QFETCH(QString, endung);
    const QByteArray alt("die alte Datei");
    QString pfad = m_dir->filePath(QStringLiteral("Bild") + endung);
    QImage bild = rauschBild(640, 480);
    std::unique_ptr<Dateigrenze> grenze;
    if (fall == QLatin1String("disk full")) {
        grenze = std::make_unique<Dateigrenze>(4096);
    } else if (fall == QLatin1String("disk full, small picture")) {
        // The whole file fits into the write buffer: the disk refuses it only when it is flushed.
        bild = rauschBild(40, 30);
        grenze = std::make_unique<Dateigrenze>(1024);
    } else if (fall == QLatin1String("no picture")) {
        bild = QImage();
    } else if (fall == QLatin1String("folder is a file")) {
        pfad = m_dir->filePath(QStringLiteral("Bild") + endung + QStringLiteral("/Bild") + endung);
    } else {
        QVERIFY(QDir().mkdir(pfad));
    }
    QFile vorher(m_dir->filePath(QStringLiteral("Bild") + endung));
    if (!QFileInfo(vorher).isDir()) {
        QVERIFY(vorher.open(QIODevice::WriteOnly));
        vorher.write(alt);
        vorher.close();
    }
    const QStringList eintraege = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    const Ergebnis e = BildSpeichern(bild, pfad);
    grenze.reset();

    QVERIFY(!e.Ok);
    QCOMPARE(e.Fehler, QStringLiteral("Datei konnte nicht erstellt werden:\n") + pfad);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), eintraege);
    if (!QFileInfo(vorher).isDir())
        QCOMPARE(lesen(vorher.fileName()), alt);
}

QTEST_GUILESS_MAIN(TstBildDateien)
#include "tst_bilddateien.moc"
