// Start-up and freeze timings on the current X display, as medians.
//   bench_freeze startup N   start the program N times: process start to tool window painted
//   bench_freeze freeze N    N times Start → surface painted, then Fertig; the main thread
//                            stays on one CPU (hauptfaden.h)
#include "app/anwendung.h"
#include "app/data.h"
#include "app/dpiAware.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include "hauptfaden.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Waits until `w` has been painted once after this call.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget *w) { w->installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

void waitPainted(PaintWatch &watch)
{
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // Hand the painted pixels to the X server.
    QCoreApplication::processEvents();
}

// One program start, measured inside the child: its process start time comes from the parent.
int startupChild(int argc, char **argv, double spawnedAt)
{
    DpiAware();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    FensterErzeugen();
    PaintWatch watch(ToolForm);
    ToolForm->show();
    waitPainted(watch);
    std::printf("%.3f\n", nowMs() - spawnedAt);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const QByteArray mode = argc > 1 ? argv[1] : "freeze";
    const int runs = argc > 2 ? std::atoi(argv[2]) : 20;
    if (mode == "child")
        return startupChild(argc, argv, std::atof(argv[2]));

    if (mode == "startup") {
        std::vector<double> ms;
        for (int i = 0; i < runs; ++i) {
            QProcess p;
            p.start(QString::fromLocal8Bit(argv[0]),
                    {QStringLiteral("child"), QString::number(nowMs(), 'f', 3)});
            p.waitForFinished(30000);
            ms.push_back(p.readAllStandardOutput().trimmed().toDouble());
        }
        std::printf("start-up to tool window painted: median %.1f ms over %d runs\n", median(ms), runs);
        return 0;
    }

    DpiAware();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    FensterErzeugen();
    PaintWatch toolPainted(ToolForm);
    ToolForm->show();
    waitPainted(toolPainted);
    const bool pinned = hauptFadenFest(sched_getcpu());
    std::vector<double> total, capture;
    auto source = ToolForm->Bildquelle;
    double captureMs = 0;
    ToolForm->Bildquelle = [&](QScreen *s) {
        const double t0 = nowMs();
        Bildaufnahme img = source(s);
        captureMs = nowMs() - t0;
        return img;
    };
    for (int i = 0; i < runs; ++i) {
        PaintWatch watch(ScreenForm->Img1);
        const double t0 = nowMs();
        ToolForm->StartFertigBtnClick();
        waitPainted(watch);
        total.push_back(nowMs() - t0);
        capture.push_back(captureMs);
        ToolForm->StartFertigBtnClick();
        QCoreApplication::processEvents();
    }
    const QSize size = QGuiApplication::primaryScreen()->size();
    std::printf(
        "%dx%d: Start to surface painted: median %.1f ms (screen read %.1f ms, wait 50 ms) over %d runs%s\n",
        size.width(), size.height(), median(total), median(capture), runs,
        pinned ? "" : " [could not keep the thread on one CPU]");
    return 0;
}
