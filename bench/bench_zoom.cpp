// Cost of the magnifier and the zoom view at 4K and 8K: a lens move (step plus repaint of the
// old and new lens), a pan frame and a wheel step of the zoom view (step plus repaint of the
// whole view). Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
//   bench_zoom [steps per kind]
#include "app/anwendung.h"
#include "surface/scrwin.h"
#include "toolwindow/einfrieren.h"
#include "toolwindow/toolwin2.h"

#include <QApplication>
#include <QPaintEvent>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// The painted area of a widget, in pixels.
class Malflaeche : public QObject
{
public:
    double pixel = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            for (const QRect &r : static_cast<QPaintEvent *>(e)->region())
                pixel += double(r.width()) * r.height();
        return false;
    }
};

QImage bildschirm(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto *z = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            z[x] = qRgb((x / 7) & 0xFF, (y / 3) & 0xFF, ((x ^ y) >> 4) & 0xFF);
    }
    return img;
}

void messen(const char *was, QSize g, int n, Malflaeche &maler, const std::function<void(int)> &schritt)
{
    std::vector<double> ms;
    maler.pixel = 0;
    for (int i = 0; i < n; ++i) {
        const double t0 = nowMs();
        schritt(i);
        QCoreApplication::processEvents();
        ms.push_back(nowMs() - t0);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-24s %5dx%-5d median %7.3f ms  p99 %7.3f ms  painted %5.1f%% of the view per step\n", was,
                g.width(), g.height(), ms[ms.size() / 2], ms[ms.size() * 99 / 100],
                100.0 * maler.pixel / n / (double(g.width()) * g.height()));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int n = argc > 1 ? std::atoi(argv[1]) : 200;
    FensterErzeugen();
    ToolForm->Start = false;
    Malflaeche maler;
    ScreenForm->Img2->installEventFilter(&maler);
    for (const QSize g : {QSize(3840, 2160), QSize(7680, 4320)}) {
        bildUebernehmen(*ToolForm, *ScreenForm, bildschirm(g.width(), g.height()));
        ToolForm->WinZustand = 1;
        ScreenForm->zeigeAuf(QRect(QPoint(0, 0), g));
        QCoreApplication::processEvents();
        ToolForm->Sdicke = 21; // the largest lens, 517 × 388
        ToolForm->LupeBtnClick();
        ScreenForm->Img2->repaint();
        messen("magnifier move", g, n, maler,
               [&](int i) { ScreenForm->Img1MouseMove(0, 600 + (i % 50) * 3, 500 + (i % 40) * 2); });
        ToolForm->ZoomInBtnClick();
        ScreenForm->Img2->repaint();
        ScreenForm->Img1MouseDown(Qt::LeftButton, ssLeft, 1000, 800);
        messen("zoom pan frame", g, n, maler, [&](int i) {
            const int d = (i / 20) % 2 ? -1 : 1;
            ScreenForm->Img1MouseMove(ssLeft, 1000 + d * (i % 20) * 5, 800 + d * (i % 20) * 3);
        });
        ScreenForm->Img1MouseUp(Qt::LeftButton, 0, 1000, 800);
        ScreenForm->Img1MouseMove(0, 1200, 900);
        messen("zoom wheel step", g, n, maler, [&](int i) {
            ToolForm->ZoomfakNr = i % 2 ? 3 : 4;
            ToolForm->ZoomFak = ZoomTabelle[size_t(ToolForm->ZoomfakNr)];
            ScreenForm->UpdateZoom(float(ScreenForm->Sx), float(ScreenForm->Sy), ToolForm->ZoomFak);
        });
        while (ToolForm->Modus == 15)
            ToolForm->ZoomOutBtnClick();
    }
    return 0;
}
