// Cost of one drawing step, model plus repaint of the changed rectangles, at three screen
// sizes, and of the undo snapshot that a left press takes. Runs on the offscreen platform
// unless QT_QPA_PLATFORM says otherwise.
//   bench_zeichnen [steps per kind and round] [rounds]
//
// The main thread stays on the CPU it starts on (hauptfaden.h). The screen sizes take turns
// round by round, so that what other processes do hits each of them alike; the figures are
// the medians over the rounds. Every picture is written once before any step is timed.
#include "startup/anwendung.h"
#include "surface/bilddatei.h"
#include "surface/gesten.h"
#include "surface/scrwin.h"
#include "surface/sicherung.h"
#include "toolwindow/einfrieren.h"
#include "toolwindow/toolwin2.h"

#include "hauptfaden.h"

#include <QApplication>
#include <QDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <sched.h>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

// Counts the paint events of the picture, to be sure each step really repaints.
class Malzaehler : public QObject
{
public:
    long anzahl = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        anzahl += e->type() == QEvent::Paint;
        return false;
    }
};

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Involuntary context switches of this thread so far: another thread or process ran in between.
long verdraengungen()
{
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return u.ru_nivcsw;
}

double quantil(std::vector<double> v, double q)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
}

double median(const std::vector<double> &v)
{
    return quantil(v, 0.5);
}

// The figures of one kind of step or press at one screen size, over all rounds.
struct Reihe
{
    std::vector<double> mediane, p99s, alle;
    long verdraengt = 0;

    void runde(const std::vector<double> &ms)
    {
        mediane.push_back(median(ms));
        p99s.push_back(quantil(ms, 0.99));
        alle.insert(alle.end(), ms.begin(), ms.end());
    }
};

QImage bildschirm(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto *z = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            z[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
    }
    return img;
}

// The pointer path of a gesture: a wobbling circle of radius 150 around (600, 450), 6 to 9
// pixels per event, as a hand moves a mouse. The same at every screen size.
QPoint pfad(int i)
{
    const double a = i * 0.05;
    return QPoint(600 + int(150 * std::cos(a) + 3 * std::sin(i * 0.7)),
                  450 + int(150 * std::sin(a) + 3 * std::cos(i * 0.9)));
}

void sofortMalen(const Rechtecke &r)
{
    QRegion neu;
    for (const QRect &q : r)
        neu += q;
    ScreenForm->Img1->repaint(neu);
}

// One step as the window runs it: the model changes the picture and names the changed
// rectangles, which are then repainted at once (the window's update() would wait for the
// next frame).
double mausschrittMessen(TShiftState shift, QPoint p, long *verdraengt = nullptr)
{
    const long v0 = verdraengungen();
    const double t0 = nowMs();
    sofortMalen(mausBewegen(*ToolForm, *ScreenForm, shift, p.x(), p.y()));
    const double ms = nowMs() - t0;
    if (verdraengt)
        *verdraengt += verdraengungen() > v0;
    return ms;
}

void werkzeug(int modus, int sdicke, TColor farbe, TPenMode smode)
{
    ToolForm->Modus = modus;
    ToolForm->Sdicke = sdicke;
    ToolForm->Scol = farbe;
    ToolForm->Smode = smode;
}

std::vector<double> bewegung(int schritte, long &verdraengt)
{
    ScreenForm->Img1MouseDown(Qt::LeftButton, ssLeft, pfad(0).x() - 200, pfad(0).y() - 150);
    QCoreApplication::processEvents();
    for (int i = 0; i < 50; ++i) // warm up
        mausschrittMessen(ssLeft, pfad(i));
    std::vector<double> ms;
    ms.reserve(size_t(schritte));
    for (int i = 0; i < schritte; ++i)
        ms.push_back(mausschrittMessen(ssLeft, pfad(50 + i), &verdraengt));
    ScreenForm->Img1MouseUp(Qt::LeftButton, 0, pfad(schritte + 50).x(), pfad(schritte + 50).y());
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCoreApplication::processEvents();
    return ms;
}

// A stroke between two presses, not timed: `n` steps from `von` to `bis`.
void strich(QPoint von, QPoint bis, int n)
{
    sofortMalen(mausDruecken(*ToolForm, *ScreenForm, ssLeft, von.x(), von.y()));
    for (int k = 1; k <= n; ++k) {
        const QPoint p = von + (bis - von) * k / n;
        mausschrittMessen(ssLeft, p);
    }
    sofortMalen(mausLoslassen(*ToolForm, *ScreenForm, 0, bis.x(), bis.y()));
}

double druckZeit(QPoint p)
{
    const double t0 = nowMs();
    sofortMalen(mausDruecken(*ToolForm, *ScreenForm, ssLeft, p.x(), p.y()));
    const double ms = nowMs() - t0;
    sofortMalen(mausLoslassen(*ToolForm, *ScreenForm, 0, p.x(), p.y()));
    return ms;
}

double schnappschussZeit()
{
    const double t0 = nowMs();
    UndoSchnappschuss(*ToolForm, *ScreenForm);
    return nowMs() - t0;
}

void reiheDrucken(const char *schirm, const char *was, const Reihe &r)
{
    std::printf("%-10s %-26s %8.3f %8.3f %8.3f %8.3f %9ld/%zu\n", schirm, was, median(r.mediane),
                median(r.p99s), quantil(r.alle, 0.99),
                r.p99s.empty() ? 0.0 : *std::max_element(r.p99s.begin(), r.p99s.end()), r.verdraengt,
                r.alle.size());
}

// The kinds of drawing step, each timed as a stroke of single steps.
struct Schrittart
{
    const char *was;
    int modus, dicke;
    TColor farbe;
    TPenMode smode;
};

const Schrittart schrittArten[] = {
    {"pen (13 px, yellow mask)", 1, 13, Palette::Gelb, pmMask},
    {"eraser (21 px: 195x147)", 2, 21, 0, pmCopy},
    {"rectangle preview", 4, 13, Palette::Rot, pmCopy},
};

// The kinds of press at 8K, in the order druckeMessen times them.
const char *const druckArten[] = {
    "snapshot after pen stroke", "press after pen stroke",   "press after eraser sweep",
    "snapshot, all changed",     "snapshot, every tile new",
};

const QSize schirmGroessen[] = {QSize(1920, 1080), QSize(3840, 2160), QSize(7680, 4320)};
const int druecke = 10;

// Figures per (screen size, kind of step or press).
using Reihen = std::map<std::pair<int, int>, Reihe>;

// A screen read as the X server gives it: in a memory file, which the drawing picture is a
// copy of until drawn on. A plain picture where the system has no memory files.
struct Aufnahme
{
    Bilddatei datei;
    QImage bild;

    explicit Aufnahme(const QImage &schirm) : datei(bilddateiAnlegen(size_t(schirm.sizeInBytes())))
    {
        if (datei.fd < 0) {
            bild = schirm;
            return;
        }
        std::memcpy(datei.daten, schirm.constBits(), size_t(schirm.sizeInBytes()));
        bild = QImage(static_cast<const uchar *>(datei.daten), schirm.width(), schirm.height(),
                      schirm.bytesPerLine(), QImage::Format_RGB32);
    }
};

// The picture of one screen size taken over as a freeze does, shown, and the window's whole
// backing store written once. The drawing picture is a fresh copy of the file each round: its
// pages are the file's until the steps draw on them, as after a freeze.
void flaecheVorbereiten(const Aufnahme &aufnahme, QSize g)
{
    const QImage &bild = aufnahme.bild;
    bildUebernehmen(*ToolForm, *ScreenForm, bild,
                    bilddateiKopie(aufnahme.datei, bild.width(), bild.height(), {}));
    bildGanzGeaendert(*ScreenForm);
    ToolForm->WinZustand = 1;
    ScreenForm->zeigeAuf(QRect(QPoint(0, 0), g));
    QCoreApplication::processEvents();
    ScreenForm->Img1->repaint();
    UndoSchnappschuss(*ToolForm, *ScreenForm);
}

// One round of every kind of step at screen size `gi`; returns how many steps did not repaint.
long schritteMessen(Reihen &reihen, int gi, int schritte, Malzaehler &maler)
{
    long fehlend = 0;
    for (int a = 0; a < int(std::size(schrittArten)); ++a) {
        const Schrittart &art = schrittArten[a];
        werkzeug(art.modus, art.dicke, art.farbe, art.smode);
        maler.anzahl = 0;
        Reihe &r = reihen[{gi, a}];
        r.runde(bewegung(schritte, r.verdraengt));
        fehlend += std::max(0L, schritte - maler.anzahl);
    }
    return fehlend;
}

// One round of left presses and snapshots at screen size `gi`, after the changes that make
// them costly.
void druckeMessen(Reihen &reihen, int gi, QSize g)
{
    std::vector<double> ms[5];
    for (int i = 0; i < druecke; ++i) {
        werkzeug(1, 13, Palette::Gelb, pmMask);
        strich(pfad(i * 37), pfad(i * 37 + 100), 100);
        ms[0].push_back(schnappschussZeit());
        strich(pfad(i * 53), pfad(i * 53 + 100), 100);
        ms[1].push_back(druckZeit(QPoint(300 + i, 300)));
        // The eraser once across the whole picture, corner to corner.
        werkzeug(2, 21, 0, pmCopy);
        strich(QPoint(0, 0), QPoint(g.width() - 1, g.height() - 1), 1000);
        werkzeug(1, 13, Palette::Gelb, pmMask);
        ms[2].push_back(druckZeit(QPoint(300 + i, 300)));
        bildGanzGeaendert(*ScreenForm);
        ms[3].push_back(schnappschussZeit());
        // The worst case: the picture differs from the background in every tile.
        ScreenForm->Img1Bmp.invertPixels();
        ms[4].push_back(schnappschussZeit());
        ScreenForm->Img1Bmp.invertPixels();
        UndoSchnappschuss(*ToolForm, *ScreenForm);
    }
    for (int k = 0; k < 5; ++k)
        reihen[{gi, k}].runde(ms[k]);
}

void tabelleDrucken(Reihen &schrittReihen, Reihen &druckReihen, int runden, int schritte, bool fest,
                    long fehlendeBilder)
{
    std::printf("step: model + repaint of the changed rectangles; %d rounds of %d steps per kind and size "
                "(ms)%s\n",
                runden, schritte, fest ? "" : " [could not keep the thread on one CPU]");
    std::printf(
        "median, p99: medians over the rounds; p99 all: over all steps; worst p99: of the worst round;\n"
        "preempted: steps in which another thread or process took the CPU\n");
    std::printf("%-10s %-26s %8s %8s %8s %8s %15s\n", "screen", "step", "median", "p99", "p99 all", "worst",
                "preempted");
    for (int gi = 0; gi < 3; ++gi) {
        const std::string name =
            std::to_string(schirmGroessen[gi].width()) + "x" + std::to_string(schirmGroessen[gi].height());
        for (int a = 0; a < int(std::size(schrittArten)); ++a)
            reiheDrucken(name.c_str(), schrittArten[a].was, schrittReihen[{gi, a}]);
    }
    for (int a = 0; a < int(std::size(schrittArten)); ++a) {
        const Reihe &klein = schrittReihen[{0, a}], &gross = schrittReihen[{2, a}];
        std::printf("8K / 1080p  %-26s median %.2fx, p99 %.2fx\n", schrittArten[a].was,
                    median(gross.mediane) / median(klein.mediane), median(gross.p99s) / median(klein.p99s));
    }
    std::printf("\nleft press at 7680x4320, %d per round (ms)\n", druecke);
    for (int k = 0; k < 5; ++k)
        reiheDrucken("7680x4320", druckArten[k], druckReihen[{2, k}]);
    if (fehlendeBilder > 0)
        std::printf("(%ld steps without a repaint)\n", fehlendeBilder);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int schritte = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int runden = argc > 2 ? std::atoi(argv[2]) : 5;
    const int cpu = sched_getcpu();
    bool fest = true;
    FensterErzeugen();
    Malzaehler maler;
    ScreenForm->Img1->installEventFilter(&maler);
    std::vector<std::unique_ptr<Aufnahme>> bilder;
    for (const QSize g : schirmGroessen)
        bilder.push_back(std::make_unique<Aufnahme>(bildschirm(g.width(), g.height())));

    Reihen schrittReihen, druckReihen;
    long fehlendeBilder = 0;
    for (int runde = 0; runde < runden; ++runde) {
        for (int gi = 0; gi < 3; ++gi) {
            const QSize g = schirmGroessen[gi];
            flaecheVorbereiten(*bilder[size_t(gi)], g);
            fest = hauptFadenFest(cpu) && fest;
            fehlendeBilder += schritteMessen(schrittReihen, gi, schritte, maler);
            if (g.width() == 7680)
                druckeMessen(druckReihen, gi, g);
        }
    }
    tabelleDrucken(schrittReihen, druckReihen, runden, schritte, fest, fehlendeBilder);
    return 0;
}
