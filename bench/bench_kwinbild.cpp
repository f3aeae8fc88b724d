// The part of a freeze under KWin that is the program's own, after KWin's answer: reading the
// pixels from the pipe, turning them into the picture and cutting out the monitor, at a
// monitor size (default 1920×1080). A thread stands in for KWin and writes a premultiplied
// ARGB32 picture into the pipe as KWin does, after a wait like KWin's for its next frame.
//   bench_kwinbild [RUNS] [WxH]
// Wall time and the processor time of the program's threads (the stand-in's own is left out),
// as medians.
#include "app/vorbelegen.h"
#include "surface/ausschnitt.h"
#include "surface/kwinantwort.h"

#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

double uhr(clockid_t welche)
{
    timespec ts{};
    clock_gettime(welche, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

QByteArray last()
{
    FILE *f = std::fopen("/proc/loadavg", "r");
    char zeile[64] = {};
    if (f) {
        if (!std::fgets(zeile, sizeof zeile, f))
            zeile[0] = 0;
        std::fclose(f);
    }
    return QByteArray(zeile).trimmed();
}

} // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 20;
    int w = 1920, h = 1080;
    if (argc > 2)
        std::sscanf(argv[2], "%dx%d", &w, &h);
    QImage bild(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            reinterpret_cast<QRgb *>(bild.scanLine(y))[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
    const QVariantMap werte{{QStringLiteral("type"), QStringLiteral("raw")},
                            {QStringLiteral("format"), uint(bild.format())},
                            {QStringLiteral("width"), uint(w)},
                            {QStringLiteral("height"), uint(h)},
                            {QStringLiteral("stride"), uint(bild.bytesPerLine())}};
    std::vector<double> wand, rechnen, schreiberRechnen;
    for (int i = 0; i < runs; ++i) {
        int enden[2];
        if (pipe2(enden, O_CLOEXEC) != 0)
            return 1;
        double schreiberZeit = 0;
        // KWin's thread: the whole picture in one write, as QFile::write hands it on.
        std::thread kwin([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const double c0 = uhr(CLOCK_THREAD_CPUTIME_ID);
            const auto *p = reinterpret_cast<const char *>(bild.constBits());
            for (qsizetype ab = 0; ab < bild.sizeInBytes();) {
                const ssize_t n = write(enden[1], p + ab, size_t(bild.sizeInBytes() - ab));
                if (n <= 0)
                    break;
                ab += n;
            }
            close(enden[1]);
            schreiberZeit = uhr(CLOCK_THREAD_CPUTIME_ID) - c0;
        });
        // Meanwhile the picture's memory is made ready, as the program does while it waits for
        // KWin's answer; the answer comes as KWin starts writing.
        if (fcntl(enden[0], F_SETPIPE_SZ, 1 << 20) < 0)
            std::perror("F_SETPIPE_SZ");
        QByteArray puffer(bild.sizeInBytes(), Qt::Uninitialized);
        std::thread vorbereitung([&puffer] { seitenVorbelegen(puffer.data(), size_t(puffer.size())); });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        vorbereitung.join();
        const double t0 = uhr(CLOCK_MONOTONIC), c0 = uhr(CLOCK_PROCESS_CPUTIME_ID);
        bool vollstaendig = false;
        QByteArray daten = pipeLesen(enden[0], std::chrono::milliseconds(5000), bild.sizeInBytes(),
                                     &vollstaendig, std::move(puffer));
        close(enden[0]);
        QString fehler;
        QImage ergebnis = kwinBild(werte, std::move(daten), &fehler);
        ergebnis = monitorAusschnitt(std::move(ergebnis), QRect(0, 0, w, h), QRect(0, 0, w, h));
        const double t1 = uhr(CLOCK_MONOTONIC), c1 = uhr(CLOCK_PROCESS_CPUTIME_ID);
        kwin.join();
        if (ergebnis.isNull() || ergebnis.pixel(w - 1, h - 1) != bild.pixel(w - 1, h - 1)) {
            std::fprintf(stderr, "wrong picture: %s\n", qPrintable(fehler));
            return 1;
        }
        wand.push_back(t1 - t0);
        rechnen.push_back(c1 - c0 - schreiberZeit);
        schreiberRechnen.push_back(schreiberZeit);
    }
    std::printf("%dx%d, %d runs; load %s\n", w, h, runs, last().constData());
    std::printf("  pipe + picture + cut-out, wall           %8.1f ms (min %.1f)\n", median(wand),
                *std::min_element(wand.begin(), wand.end()));
    std::printf("  pipe + picture + cut-out, processor time %8.1f ms (min %.1f)\n", median(rechnen),
                *std::min_element(rechnen.begin(), rechnen.end()));
    std::printf("  the stand-in's writing, processor time   %8.1f ms\n", median(schreiberRechnen));
    return 0;
}
