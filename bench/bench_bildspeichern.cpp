// Writing a screenshot-like 3840×2160 picture as PNG, JPEG and BMP: median times and sizes; and
// the clipboard's PNG of it and of a 7680×4320 picture made of four mirrored copies: from the
// copy command until the PNG is there, and decoding it again for the other image types. Also
// the writer's deflate levels 1 to 6, and, where libdeflate is installed, libdeflate on the same
// filtered rows: whole on one thread, and in 16 bands on two as the writer splits them. Then PNG
// saves at 1080p, 4K and 8K; with "sizes" as third argument only those.
//   bench_bildspeichern [runs] [folder] [sizes]   (default 7 runs; files go to the folder, default /tmp)
#include "output/bildcodecs.h"
#include "output/bildspeichern.h"
#include "output/pngablage.h"

#include "schirmbild.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QtEndian>

#if defined(MIT_LIBDEFLATE)
#include <libdeflate.h>
#endif
#include <png.h>
#include <zlib.h>

#include <thread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Processor time of the whole process, all threads.
double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The reference: libpng with its default filter choice at the given zlib level.
void libpngSchreiben(png_structp png, png_bytep d, size_t n)
{
    static_cast<QByteArray *>(png_get_io_ptr(png))->append(reinterpret_cast<const char *>(d), qsizetype(n));
}

qint64 libpngKodieren(const QImage &bild, int level)
{
    QByteArray daten;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &daten, libpngSchreiben, nullptr);
    png_set_compression_level(png, level);
    png_set_IHDR(png, info, png_uint_32(bild.width()), png_uint_32(bild.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < bild.height(); ++y)
        png_write_row(png, const_cast<png_bytep>(bild.constScanLine(y)));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return daten.size();
}

void messen(const char *name, int laeufe, const std::function<qint64()> &schritt)
{
    std::vector<double> zeiten;
    qint64 groesse = 0;
    for (int i = 0; i < laeufe; ++i) {
        const double t0 = nowMs();
        groesse = schritt();
        zeiten.push_back(nowMs() - t0);
    }
    std::printf("%-34s median %8.1f ms   min %8.1f ms   %10lld bytes\n", name, median(zeiten),
                *std::min_element(zeiten.begin(), zeiten.end()), static_cast<long long>(groesse));
}

// A step that writes `bild` into memory with one of the encoders; it yields the size.
std::function<qint64()> inSpeicher(const QImage &bild, bool (*kodierer)(const QImage &, QIODevice &, int),
                                   int wert)
{
    return [&bild, kodierer, wert] {
        QByteArray daten;
        QBuffer puffer(&daten);
        puffer.open(QIODevice::WriteOnly);
        kodierer(bild, puffer, wert);
        return qint64(daten.size());
    };
}

// A step that saves `bild` as the file `name` in `ordner`, the type by its extension.
std::function<qint64()> inDatei(const QImage &bild, const QString &ordner, const char *name)
{
    const QString pfad = QDir(ordner).filePath(QString::fromLatin1(name));
    return [&bild, pfad] {
        BildSpeichern(bild, pfad);
        return QFileInfo(pfad).size();
    };
}

// Our PNG at level 5 against libpng's; returns libpng's size. Alternating runs, so a busy
// machine slows both alike.
qint64 referenzVergleichen(const QImage &bild, int laeufe)
{
    std::vector<double> ref, eigen, verhaeltnis, refCpu, eigenCpu;
    qint64 refGroesse = 0, eigenGroesse = 0;
    for (int i = 0; i < laeufe; ++i) {
        double t0 = nowMs(), c0 = cpuMs();
        refGroesse = libpngKodieren(bild, 5);
        ref.push_back(nowMs() - t0);
        refCpu.push_back(cpuMs() - c0);
        t0 = nowMs();
        c0 = cpuMs();
        eigenGroesse = inSpeicher(bild, schreibePng, 5)();
        eigen.push_back(nowMs() - t0);
        eigenCpu.push_back(cpuMs() - c0);
        verhaeltnis.push_back(eigen.back() / ref.back());
    }
    std::printf("%-34s median %8.1f ms   min %8.1f ms   %10lld bytes\n", "PNG level 5, libpng reference",
                median(ref), *std::min_element(ref.begin(), ref.end()), static_cast<long long>(refGroesse));
    std::printf("%-34s median %8.1f ms   min %8.1f ms   %10lld bytes   time ratio %.2f\n",
                "PNG level 5, ours, memory", median(eigen), *std::min_element(eigen.begin(), eigen.end()),
                static_cast<long long>(eigenGroesse), median(verhaeltnis));
    std::printf("%-34s libpng %8.1f ms   ours %8.1f ms (both threads)\n", "PNG processor time, median",
                median(refCpu), median(eigenCpu));
    return refGroesse;
}

// The writer's deflate levels against the reference's size: processor time (both threads)
// and size, as a share of the reference's; on the desktop and on the busy one.
void deflateStufenMessen(const QImage &bild, const QImage &busy, int laeufe)
{
    for (const QImage *b : {&bild, &busy}) {
        const qint64 referenz = libpngKodieren(*b, 5);
        std::printf("%s: libpng level 5 %lld bytes\n", b == &bild ? "desktop" : "busy desktop",
                    static_cast<long long>(referenz));
        for (int level = 1; level <= 6; ++level) {
            std::vector<double> zeit, cpu;
            qint64 groesse = 0;
            for (int i = 0; i < laeufe; ++i) {
                const double t0 = nowMs(), c0 = cpuMs();
                QByteArray daten;
                QBuffer puffer(&daten);
                puffer.open(QIODevice::WriteOnly);
                schreibePng(*b, puffer, level);
                groesse = daten.size();
                zeit.push_back(nowMs() - t0);
                cpu.push_back(cpuMs() - c0);
            }
            std::printf(
                "  PNG ours, level %d                median %8.1f ms   cpu %8.1f ms   %10lld bytes = %.3f\n",
                level, median(zeit), median(cpu), static_cast<long long>(groesse),
                double(groesse) / double(referenz));
        }
    }
}

#if defined(MIT_LIBDEFLATE)
// The filtered rows of our PNG of `bild`, taken back out of the file.
std::vector<uchar> gefilterteZeilen(const QImage &bild)
{
    QByteArray png;
    QBuffer puffer(&png);
    puffer.open(QIODevice::WriteOnly);
    schreibePng(bild, puffer, 5);
    QByteArray z;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const quint32 n = qFromBigEndian<quint32>(png.constData() + at);
        if (png.mid(at + 4, 4) == "IDAT")
            z += png.mid(at + 8, n);
        at += 12 + n;
    }
    std::vector<uchar> roh(size_t(bild.height()) * (size_t(bild.width()) * 3 + 1));
    uLongf rohLaenge = uLongf(roh.size());
    uncompress(roh.data(), &rohLaenge, reinterpret_cast<const Bytef *>(z.constData()), uLong(z.size()));
    return roh;
}

// libdeflate on the same filtered rows: the whole stream on one thread, and cut into 16 bands
// on two threads as the writer's split would; sizes as a share of libpng's `refGroesse`.
void libdeflateMessen(const std::vector<uchar> &roh, int laeufe, qint64 refGroesse)
{
    for (int level = 1; level <= 7; ++level) {
        std::vector<double> eins, zwei, cpu2;
        size_t groesseEins = 0, groesseZwei = 0;
        for (int i = 0; i < laeufe; ++i) {
            libdeflate_compressor *k = libdeflate_alloc_compressor(level);
            std::vector<uchar> aus(libdeflate_zlib_compress_bound(k, roh.size()));
            double t0 = nowMs();
            groesseEins = libdeflate_zlib_compress(k, roh.data(), roh.size(), aus.data(), aus.size());
            eins.push_back(nowMs() - t0);
            libdeflate_free_compressor(k);
            t0 = nowMs();
            const double c0 = cpuMs();
            std::atomic<size_t> summe{0};
            auto band = [&](int von) {
                libdeflate_compressor *kk = libdeflate_alloc_compressor(level);
                std::vector<uchar> a(libdeflate_deflate_compress_bound(kk, roh.size() / 16 + 1));
                for (int b = von; b < 16; b += 2) {
                    const size_t s0 = roh.size() * size_t(b) / 16, s1 = roh.size() * size_t(b + 1) / 16;
                    summe += libdeflate_deflate_compress(kk, roh.data() + s0, s1 - s0, a.data(), a.size());
                }
                libdeflate_free_compressor(kk);
            };
            std::thread helfer(band, 1);
            band(0);
            helfer.join();
            zwei.push_back(nowMs() - t0);
            cpu2.push_back(cpuMs() - c0);
            groesseZwei = summe;
        }
        std::printf("libdeflate level %d: one thread %7.1f ms %9zu bytes = %.3f; 16 bands on two %7.1f ms "
                    "(cpu %7.1f) %9zu bytes = %.3f\n",
                    level, median(eins), groesseEins, double(groesseEins) / double(refGroesse), median(zwei),
                    median(cpu2), groesseZwei, double(groesseZwei) / double(refGroesse));
    }
}
#endif

// Saving as PNG through BildSpeichern into `ordner` at 1920×1080 (the middle of the desktop),
// 3840×2160 and 7680×4320, the desktop and the busy one: wall and processor time (all threads),
// and the size as a share of libpng's at level 5.
void groessenMessen(const QImage &bild, const QImage &busy, const QString &ordner, int laeufe)
{
    const QRect mitte(960, 540, 1920, 1080);
    const std::pair<const char *, QImage> bilder[] = {
        {"desktop", bild.copy(mitte)}, {"busy desktop", busy.copy(mitte)}, {"desktop", bild},
        {"busy desktop", busy},        {"desktop", vierfach(bild)},        {"busy desktop", vierfach(busy)}};
    const QString pfad = QDir(ordner).filePath(QStringLiteral("bench_bildspeichern_groesse.png"));
    for (const auto &[name, b] : bilder) {
        const qint64 referenz = libpngKodieren(b, 5);
        std::vector<double> zeit, cpu;
        for (int i = 0; i < laeufe; ++i) {
            const double t0 = nowMs(), c0 = cpuMs();
            BildSpeichern(b, pfad);
            zeit.push_back(nowMs() - t0);
            cpu.push_back(cpuMs() - c0);
        }
        const qint64 groesse = QFileInfo(pfad).size();
        std::printf("PNG save %4dx%-4d %-12s median %7.1f ms  min %7.1f ms  cpu %7.1f ms  %9lld bytes = %.4f "
                    "of libpng 5\n",
                    b.width(), b.height(), name, median(zeit), *std::min_element(zeit.begin(), zeit.end()),
                    median(cpu), static_cast<long long>(groesse), double(groesse) / double(referenz));
    }
    QFile::remove(pfad);
}

// The other encoders in memory, then whole saves through BildSpeichern into `ordner`.
void formateMessen(const QImage &bild, const QImage &busy, const QString &ordner, int laeufe)
{
    messen("JPEG quality 99, memory", laeufe, inSpeicher(bild, schreibeJpeg, 99));
    messen("BMP 24-bit, memory", laeufe, [&bild] {
        QByteArray daten;
        QBuffer puffer(&daten);
        puffer.open(QIODevice::WriteOnly);
        schreibeBmp(bild, puffer);
        return qint64(daten.size());
    });
    messen("Qt's PNG writer, memory", laeufe, [&bild] {
        QByteArray daten;
        QBuffer puffer(&daten);
        puffer.open(QIODevice::WriteOnly);
        QImageWriter(&puffer, "png").write(bild);
        return qint64(daten.size());
    });
    messen("BildSpeichern .png", laeufe, inDatei(bild, ordner, "bench_bildspeichern.png"));
    messen("BildSpeichern .jpg", laeufe, inDatei(bild, ordner, "bench_bildspeichern.jpg"));
    messen("BildSpeichern .bmp", laeufe, inDatei(bild, ordner, "bench_bildspeichern.bmp"));
    messen("BildSpeichern .png, busy desktop", laeufe, inDatei(busy, ordner, "bench_bildspeichern_busy.png"));
}

// The clipboard's PNG of `b`: from the command until it is there, and decoding it again.
void ablageMessen(const QImage &b, int laeufe)
{
    const std::string name = std::to_string(b.width()) + "x" + std::to_string(b.height());
    double befehl = 0;
    messen(("clipboard PNG ready, " + name).c_str(), laeufe, [&b, &befehl] {
        const double t0 = nowMs();
        const PngAblage ablage(b);
        befehl = std::max(befehl, nowMs() - t0);
        return qint64(ablage.png().size());
    });
    std::printf("%-34s worst    %8.1f ms\n", ("  of which the command, " + name).c_str(), befehl);
    const PngAblage ablage(b);
    messen(("clipboard decoded, " + name).c_str(), laeufe,
           [&ablage] { return qint64(qvariant_cast<QImage>(ablage.imageData()).sizeInBytes()); });
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int laeufe = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    const QString ordner = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("/tmp");
    const QImage bild = bildschirm();
    if (argc > 3 && qstrcmp(argv[3], "sizes") == 0) {
        groessenMessen(bild, belebterSchirm(bild), ordner, laeufe);
        return 0;
    }

    [[maybe_unused]] const qint64 refGroesse = referenzVergleichen(bild, laeufe);
    const QImage busy = belebterSchirm(bild);
    deflateStufenMessen(bild, busy, laeufe);
#if defined(MIT_LIBDEFLATE)
    libdeflateMessen(gefilterteZeilen(bild), laeufe, refGroesse);
#endif
    formateMessen(bild, busy, ordner, laeufe);
    groessenMessen(bild, busy, ordner, laeufe);
    ablageMessen(bild, laeufe);
    ablageMessen(vierfach(bild), laeufe);
    return 0;
}
