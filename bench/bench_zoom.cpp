// Cost of the magnifier and the zoom view at 4K and 8K: a lens move (step plus repaint of the
// old and new lens), a pan frame for a 10-pixel pointer move and a wheel step of the zoom view,
// each the step plus everything it repaints. Runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise; on an X server it also times each step until the server has
// carried it out (a round trip after the step).
//   bench_zoom [steps per kind and round] [rounds]
//
// The main thread stays on the CPU it starts on (hauptfaden.h); the sizes take turns round by
// round and the figures are medians over the rounds.
#include "startup/anwendung.h"
#include "surface/scrwin.h"
#include "surface/zoomanzeige.h"
#include "toolwindow/einfrieren.h"
#include "toolwindow/toolwin2.h"

#include "hauptfaden.h"

#include <QApplication>
#include <QFile>
#include <QPaintEvent>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// CPU time of the calling thread: what a step costs the program itself, without waiting for
// the X server (which on Xvfb copies in software what a graphics card copies on a desktop).
double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double quantil(std::vector<double> v, double q)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
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

// Waits until the X server has carried out every request sent so far; nothing off X11.
void serverAbwarten()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t *c = x11->connection();
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

bool aufX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// The figures of one kind of step at one size, over all rounds.
struct Reihe
{
    std::vector<double> mediane, mitServer, cpu, alle;
    double pixel = 0;
    int schritte = 0;
};

void messen(Reihe &r, int n, Malflaeche &maler, const std::function<void(int)> &schritt)
{
    std::vector<double> ms, server, cpu;
    maler.pixel = 0;
    for (int i = 0; i < n; ++i) {
        const double c0 = cpuMs();
        const double t0 = nowMs();
        schritt(i);
        QCoreApplication::processEvents();
        ms.push_back(nowMs() - t0);
        cpu.push_back(cpuMs() - c0);
        if (aufX11()) {
            serverAbwarten();
            server.push_back(nowMs() - t0);
        }
    }
    r.mediane.push_back(quantil(ms, 0.5));
    r.cpu.push_back(quantil(cpu, 0.5));
    if (!server.empty())
        r.mitServer.push_back(quantil(server, 0.5));
    r.alle.insert(r.alle.end(), ms.begin(), ms.end());
    r.pixel += maler.pixel;
    r.schritte += n;
}

void flaecheZeigen(QSize g)
{
    ScreenForm->zeigeAuf(QRect(QPoint(0, 0), g));
    QWindow *w = ScreenForm->windowHandle();
    for (int i = 0; i < 200 && !(w && w->isExposed()); ++i)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    QCoreApplication::processEvents();
}

std::string lastText()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return "?";
    return f.readAll().trimmed().toStdString();
}

// The kinds of step, in the order they are measured and printed.
const char *const zoomArten[] = {"magnifier move", "pan frame 10 px, x2", "pan frame 10 px, x5 frac.",
                                 "wheel step x3 <-> x4"};

// Figures per (size, kind of step).
using Reihen = std::map<std::pair<int, int>, Reihe>;

// The zoom view at factor number `nr` about (x, y), as a wheel step sets it.
void zoomstufe(int nr, int x, int y)
{
    ToolForm->ZoomfakNr = nr;
    ToolForm->ZoomFak = ZoomTabelle[size_t(nr)];
    ScreenForm->UpdateZoom(float(x), float(y), ToolForm->ZoomFak);
}

void lupeMessen(Reihe &r, int n, Malflaeche &maler)
{
    TScreenForm &s = *ScreenForm;
    ToolForm->Sdicke = 21; // the largest lens, 517 × 388
    ToolForm->LupeBtnClick();
    s.Img2->repaint();
    messen(r, n, maler, [&](int i) { s.Img1MouseMove(0, 600 + (i % 50) * 3, 500 + (i % 40) * 2); });
}

// Factor 2, entered by the button: whole offsets. Back and forth, 10 px a frame.
void panGanzMessen(Reihe &r, int n, Malflaeche &maler)
{
    TScreenForm &s = *ScreenForm;
    ToolForm->ZoomInBtnClick();
    s.Img2->repaint();
    s.Img1MouseDown(Qt::LeftButton, ssLeft, 1000, 800);
    messen(r, n, maler, [&](int i) {
        const int d = (i / 20) % 2 ? -1 : 1;
        s.Img1MouseMove(ssLeft, 1000 + d * (i % 20) * 10, 800);
    });
    s.Img1MouseUp(Qt::LeftButton, 0, 1000, 800);
}

// Factor 5 about an odd point: fractional offsets. Diagonal moves of 10 px.
void panBruchMessen(Reihe &r, int n, Malflaeche &maler)
{
    TScreenForm &s = *ScreenForm;
    s.Img1MouseMove(0, 1201, 903);
    zoomstufe(4, 1201, 903);
    zoomstufe(5, 1201, 903);
    s.Img2->repaint();
    s.Img1MouseDown(Qt::LeftButton, ssLeft, 1000, 800);
    messen(r, n, maler, [&](int i) {
        const int d = (i / 20) % 2 ? -1 : 1;
        s.Img1MouseMove(ssLeft, 1000 + d * (i % 20) * 6, 800 + d * (i % 20) * 8);
    });
    s.Img1MouseUp(Qt::LeftButton, 0, 1000, 800);
}

// Wheel steps between factors 3 and 4; the zoom view left afterwards.
void radMessen(Reihe &r, int n, Malflaeche &maler)
{
    TScreenForm &s = *ScreenForm;
    s.Img1MouseMove(0, 1200, 900);
    messen(r, n, maler, [&](int i) { zoomstufe(i % 2 ? 3 : 4, s.Sx, s.Sy); });
    while (ToolForm->Modus == 15)
        ToolForm->ZoomOutBtnClick();
}

// One round at one size: the picture taken over and shown, then every kind of step. False if
// the main thread could not be kept on `cpu`.
bool groesseMessen(Reihen &reihen, int gi, QSize g, const QImage &bild, int n, Malflaeche &maler, int cpu)
{
    bildUebernehmen(*ToolForm, *ScreenForm, bild);
    ToolForm->WinZustand = 1;
    flaecheZeigen(g);
    const bool fest = hauptFadenFest(cpu);
    lupeMessen(reihen[{gi, 0}], n, maler);
    panGanzMessen(reihen[{gi, 1}], n, maler);
    panBruchMessen(reihen[{gi, 2}], n, maler);
    radMessen(reihen[{gi, 3}], n, maler);
    return fest;
}

void tabelleDrucken(Reihen &reihen, const QSize (&groessen)[2], int runden, int n,
                    const std::string &lastVorher, bool fest)
{
    std::printf("platform %s; %d rounds of %d steps per kind and size; load before %s, after %s%s\n",
                qPrintable(QGuiApplication::platformName()), runden, n, lastVorher.c_str(),
                lastText().c_str(), fest ? "" : " [could not keep the thread on one CPU]");
    std::printf("median: wall time from the event to the step painted and handed over; cpu: the main "
                "thread's CPU time; w/ server: wall time until the X server has carried it out\n");
    std::printf("%-10s %-26s %8s %8s %8s %10s %9s\n", "view", "step (ms)", "median", "p99 all", "cpu",
                aufX11() ? "w/ server" : "", "painted");
    for (int gi = 0; gi < 2; ++gi) {
        const QSize g = groessen[gi];
        const std::string name = std::to_string(g.width()) + "x" + std::to_string(g.height());
        for (int a = 0; a < 4; ++a) {
            const Reihe &r = reihen[{gi, a}];
            char server[32] = "";
            if (!r.mitServer.empty())
                std::snprintf(server, sizeof server, "%10.3f", quantil(r.mitServer, 0.5));
            std::printf("%-10s %-26s %8.3f %8.3f %8.3f %10s %8.1f%%\n", name.c_str(), zoomArten[a],
                        quantil(r.mediane, 0.5), quantil(r.alle, 0.99), quantil(r.cpu, 0.5), server,
                        100.0 * r.pixel / r.schritte / (double(g.width()) * g.height()));
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int n = argc > 1 ? std::atoi(argv[1]) : 100;
    const int runden = argc > 2 ? std::atoi(argv[2]) : 5;
    const std::string lastVorher = lastText();
    const int cpu = sched_getcpu();
    bool fest = true;
    FensterErzeugen();
    ToolForm->Start = false;
    Malflaeche maler;
    ScreenForm->Img2->installEventFilter(&maler);
    const QSize groessen[] = {QSize(3840, 2160), QSize(7680, 4320)};
    std::vector<QImage> bilder;
    for (const QSize g : groessen)
        bilder.push_back(bildschirm(g.width(), g.height()));

    Reihen reihen;
    for (int runde = 0; runde < runden; ++runde)
        for (int gi = 0; gi < 2; ++gi)
            fest = groesseMessen(reihen, gi, groessen[gi], bilder[size_t(gi)], n, maler, cpu) && fest;
    tabelleDrucken(reihen, groessen, runden, n, lastVorher, fest);
    return 0;
}
