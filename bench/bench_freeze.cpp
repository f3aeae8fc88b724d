// Start-up and freeze timings on the current X display, as medians.
//   bench_freeze startup N   start the program N times: process start to tool window painted
//   bench_freeze first N     the first freeze after the start, N program starts each cold
//                            (the memory for it given back at rest first) and warmed (the
//                            program at rest for two seconds after its start), interleaved;
//                            its phases as for the later freezes below
//   bench_freeze freeze N    N times Start → surface on the screen, then Fertig, with the
//                            phases in between and the page faults. Freezes take turns in
//                            what follows them: the first and second press, the first and
//                            second zoom entry, or nothing before Fertig. The main thread
//                            stays on one CPU (hauptfaden.h)
//   bench_freeze save N      the busy desktop of bench_bildspeichern on the screen, frozen,
//                            then N times its PNG into the screenshot folder as the save
//                            menu's entry does it on its key, until the file is complete:
//                            wall and processor time (all threads); HOME is a fresh folder
#include "app/data.h"
#include "app/dpiAware.h"
#include "startup/anwendung.h"
#include "surface/gesten.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"
#if __has_include("toolwindow/ruhe.h")
#include "toolwindow/ruhe.h"
#define MIT_RUHE 1
#endif

#include "hauptfaden.h"
#include "schirmbild.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>
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
    // QApplication has taken on the user's locale, whose decimal comma the parent would not read.
    std::printf("%s\n", QByteArray::number(nowMs() - spawnedAt, 'f', 3).constData());
    return 0;
}

// Phases of one freeze, in ms (page faults as a count).
struct Phasen
{
    double warten = 0, lesen = 0, zeigen = 0, expose = 0, malen = 0, flush = 0, server = 0, gesamt = 0,
           ruhe = 0;
    long fehler = 0, serverFehler = 0;
    double serverZeit = 0;
};

long seitenfehler()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt + u.ru_majflt;
}

// Page faults and CPU time (ms) of the X server so far, when freeze.sh names its process.
std::pair<long, double> serverStand()
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(qEnvironmentVariable("XVFB_PID")));
    if (qEnvironmentVariableIsEmpty("XVFB_PID") || !f.open(QIODevice::ReadOnly))
        return {0, 0};
    const QByteArray stat = f.readAll();
    // The fields after the command name, which ends with the last ')'.
    const QList<QByteArray> feld = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    const double tick = 1000.0 / double(sysconf(_SC_CLK_TCK));
    return {feld.value(7).toLong() + feld.value(9).toLong(),
            (feld.value(11).toDouble() + feld.value(12).toDouble()) * tick};
}

QByteArray last()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readLine().trimmed() : QByteArray("?");
}

// Waits until the X server has carried out every request sent so far.
void xRundreise()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    std::free(xcb_get_input_focus_reply(x11->connection(), xcb_get_input_focus(x11->connection()), nullptr));
}

// Times what the surface's window does with its expose and update events (backing store,
// paint, flush to the X server) and the picture's own paint events within them.
class Zeitmesser : public QApplication
{
public:
    using QApplication::QApplication;
    double ersteMalung = 0, letzteMalung = 0, malen = 0, aufSchirm = 0;

    void messen(QWidget *flaeche)
    {
        m_flaeche = flaeche;
        ersteMalung = letzteMalung = malen = aufSchirm = 0;
    }

    bool notify(QObject *o, QEvent *e) override
    {
        if (!m_flaeche)
            return QApplication::notify(o, e);
        const bool fenster = o == static_cast<QObject *>(m_flaeche->windowHandle()) &&
                             (e->type() == QEvent::Expose || e->type() == QEvent::UpdateRequest);
        const bool bild = o == static_cast<QObject *>(ScreenForm->Img1) && e->type() == QEvent::Paint;
        if (!fenster && !bild)
            return QApplication::notify(o, e);
        const double t0 = nowMs();
        if (fenster && ersteMalung == 0)
            ersteMalung = t0;
        const bool r = QApplication::notify(o, e);
        const double t1 = nowMs();
        if (bild)
            malen += t1 - t0;
        if (fenster && malen > 0 && aufSchirm == 0) {
            // The picture has been handed to the X server: on the screen once it has done that.
            letzteMalung = t1;
            xRundreise();
            aufSchirm = nowMs();
        }
        return r;
    }

private:
    QWidget *m_flaeche = nullptr;
};

// A left press with the pen and its repaint, until the X server has it; then the release.
double druecken(QPoint p)
{
    ToolForm->Modus = 1;
    const double t0 = nowMs();
    ScreenForm->Img1MouseDown(Qt::LeftButton, ssLeft, p.x(), p.y());
    QCoreApplication::processEvents();
    xRundreise();
    const double ms = nowMs() - t0;
    ScreenForm->Img1MouseUp(Qt::LeftButton, 0, p.x(), p.y());
    QCoreApplication::processEvents();
    return ms;
}

// Zoom button: the zoom view shown and painted, until the X server has it; then back out.
double zoomen()
{
    PaintWatch watch(ScreenForm->Img2);
    const double t0 = nowMs();
    ToolForm->ZoomInBtnClick();
    waitPainted(watch);
    xRundreise();
    const double ms = nowMs() - t0;
    ToolForm->ZoomOutBtnClick();
    QCoreApplication::processEvents();
    return ms;
}

// The screen read's start and end, as seen by the tool window's picture source.
struct Lesezeit
{
    double von = 0, bis = 0;
};

void leseZeitMessen(Lesezeit &zeit)
{
    auto source = ToolForm->Bildquelle;
    ToolForm->Bildquelle = [&zeit, source](QScreen *s) {
        zeit.von = nowMs();
        Bildaufnahme img = source(s);
        zeit.bis = nowMs();
        return img;
    };
}

// One Start, measured until the surface's picture is on the screen and all has settled.
Phasen einfrieren(Zeitmesser &app, const Lesezeit &zeit)
{
    Phasen ph;
    PaintWatch watch(ScreenForm->Img1);
    app.messen(ScreenForm);
    const long f0 = seitenfehler();
    const auto s0 = serverStand();
    const double t0 = nowMs();
    ToolForm->StartFertigBtnClick();
    const double zurueck = nowMs();
    waitPainted(watch);
    xRundreise();
    const double fertig = nowMs();
    ph.warten = zeit.von - t0;
    ph.lesen = zeit.bis - zeit.von;
    ph.zeigen = zurueck - zeit.bis;
    ph.expose = app.ersteMalung - zurueck;
    ph.malen = app.malen;
    ph.flush = app.letzteMalung - app.ersteMalung - app.malen;
    ph.server = app.aufSchirm - app.letzteMalung;
    ph.gesamt = app.aufSchirm - t0;
    ph.ruhe = fertig - t0;
    ph.fehler = seitenfehler() - f0;
    const auto s1 = serverStand();
    ph.serverFehler = s1.first - s0.first;
    ph.serverZeit = s1.second - s0.second;
    app.messen(nullptr);
    return ph;
}

void ruhen(int ms)
{
    QElapsedTimer t;
    t.start();
    while (!t.hasExpired(ms))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// One program start and its first freeze, its phases printed in the C locale for the parent.
int ersteChild(int argc, char **argv, bool kalt)
{
    DpiAware();
    Zeitmesser app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    FensterErzeugen();
#if defined(MIT_RUHE)
    // Whatever the start made ready is given back at once.
    if (kalt)
        ToolForm->Ruhe->setRuhezeit(1);
#else
    (void)kalt;
#endif
    PaintWatch toolPainted(ToolForm);
    ToolForm->show();
    waitPainted(toolPainted);
    ruhen(2000);
    Lesezeit zeit;
    leseZeitMessen(zeit);
    const Phasen ph = einfrieren(app, zeit);
    QByteArrayList werte;
    for (double v : {ph.warten, ph.lesen, ph.zeigen, ph.expose, ph.malen, ph.flush, ph.server, ph.gesamt,
                     double(ph.serverFehler), ph.serverZeit})
        werte << QByteArray::number(v, 'f', 3);
    std::printf("%s\n", werte.join(' ').constData());
    return 0;
}

// The phases of the child-first runs, [0] warmed and [1] cold.
struct ErsteFreezes
{
    std::vector<Phasen> laeufe[2];
};

// Cold and warmed starts take turns, so that a busy machine slows both alike.
ErsteFreezes ersteFreezesMessen(const QString &programm, int runs)
{
    ErsteFreezes w;
    for (int i = 0; i < 2 * runs; ++i) {
        const int kalt = i % 2;
        QProcess p;
        p.start(programm,
                {QStringLiteral("child-first"), kalt ? QStringLiteral("cold") : QStringLiteral("warm")});
        p.waitForFinished(60000);
        const QList<QByteArray> werte = p.readAllStandardOutput().trimmed().split(' ');
        Phasen ph;
        ph.warten = werte.value(0).toDouble();
        ph.lesen = werte.value(1).toDouble();
        ph.zeigen = werte.value(2).toDouble();
        ph.expose = werte.value(3).toDouble();
        ph.malen = werte.value(4).toDouble();
        ph.flush = werte.value(5).toDouble();
        ph.server = werte.value(6).toDouble();
        ph.gesamt = werte.value(7).toDouble();
        ph.serverFehler = long(werte.value(8).toDouble());
        ph.serverZeit = werte.value(9).toDouble();
        w.laeufe[kalt].push_back(ph);
    }
    return w;
}

template<typename T> void ersteZeile(const ErsteFreezes &w, const char *was, T Phasen::*feld)
{
    std::vector<double> v[2];
    for (int kalt : {0, 1})
        for (const Phasen &ph : w.laeufe[kalt])
            v[kalt].push_back(double(ph.*feld));
    std::printf("  %-24s %8.1f %8.1f\n", was, median(v[0]), median(v[1]));
}

void ersteFreezesDrucken(const ErsteFreezes &w, int runs)
{
    const QSize size = QGuiApplication::primaryScreen()->size();
    std::printf("%dx%d, first freeze after the start, medians of %d starts each; load %s\n", size.width(),
                size.height(), runs, last().constData());
    std::printf("  %-24s %8s %8s\n", "ms", "warmed", "cold");
    ersteZeile(w, "wait", &Phasen::warten);
    ersteZeile(w, "screen read", &Phasen::lesen);
    ersteZeile(w, "adopt + map", &Phasen::zeigen);
    ersteZeile(w, "until expose", &Phasen::expose);
    ersteZeile(w, "paint", &Phasen::malen);
    ersteZeile(w, "flush", &Phasen::flush);
    ersteZeile(w, "X server's put", &Phasen::server);
    ersteZeile(w, "Start to on screen", &Phasen::gesamt);
    ersteZeile(w, "X server page faults", &Phasen::serverFehler);
    ersteZeile(w, "X server CPU time", &Phasen::serverZeit);
}

void startsMessen(const QString &programm, int runs)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        p.start(programm, {QStringLiteral("child"), QString::number(nowMs(), 'f', 3)});
        p.waitForFinished(30000);
        ms.push_back(p.readAllStandardOutput().trimmed().toDouble());
    }
    std::printf("start-up to tool window painted: median %.1f ms over %d runs\n", median(ms), runs);
}

// The freezes in a row and what followed each.
struct Freezefolge
{
    std::vector<Phasen> laeufe;
    std::vector<double> ersterDruck, zweiterDruck, zoomEintritt, zweiterZoom;
    std::vector<int> nachUnberuehrt;
};

Freezefolge freezesMessen(Zeitmesser &app, const Lesezeit &zeit, int runs)
{
    Freezefolge f;
    for (int i = 0; i < runs; ++i) {
        f.laeufe.push_back(einfrieren(app, zeit));
        if (i % 3 == 0) {
            f.ersterDruck.push_back(druecken(QPoint(200 + i, 200)));
            f.zweiterDruck.push_back(druecken(QPoint(260 + i, 200)));
        } else if (i % 3 == 1) {
            f.zoomEintritt.push_back(zoomen());
            f.zweiterZoom.push_back(zoomen());
        } else if (i + 1 < runs) {
            // Left as it was: the next freeze shows what a picture kept after Fertig costs it.
            f.nachUnberuehrt.push_back(i + 1);
        }
        ToolForm->StartFertigBtnClick();
        QCoreApplication::processEvents();
        xRundreise();
    }
    return f;
}

// One row: the first run apart, then median, min and max of the others.
void freezeZeile(const char *was, const std::vector<double> &v)
{
    std::printf("  %-24s %8.1f %8.1f %8.1f %8.1f\n", was, v.empty() ? 0 : v[0],
                median({v.begin() + std::min<size_t>(1, v.size()), v.end()}),
                v.size() < 2 ? 0 : *std::min_element(v.begin() + 1, v.end()),
                v.size() < 2 ? 0 : *std::max_element(v.begin() + 1, v.end()));
}

template<typename T> void phaseDrucken(const Freezefolge &f, const char *was, T Phasen::*feld)
{
    std::vector<double> v;
    for (const Phasen &lauf : f.laeufe)
        v.push_back(double(lauf.*feld));
    freezeZeile(was, v);
}

void freezesDrucken(const Freezefolge &f, int runs, bool pinned)
{
    const QSize size = QGuiApplication::primaryScreen()->size();
    std::printf("%dx%d, %d runs%s; load %s\n", size.width(), size.height(), runs,
                pinned ? "" : " [could not keep the thread on one CPU]", last().constData());
    std::printf("  %-24s %8s %8s %8s %8s\n", "ms", "first", "median", "min", "max");
    phaseDrucken(f, "wait", &Phasen::warten);
    phaseDrucken(f, "screen read", &Phasen::lesen);
    phaseDrucken(f, "adopt + map", &Phasen::zeigen);
    phaseDrucken(f, "until expose", &Phasen::expose);
    phaseDrucken(f, "paint", &Phasen::malen);
    phaseDrucken(f, "flush", &Phasen::flush);
    phaseDrucken(f, "X server's put", &Phasen::server);
    phaseDrucken(f, "Start to on screen", &Phasen::gesamt);
    phaseDrucken(f, "... to all settled", &Phasen::ruhe);
    phaseDrucken(f, "page faults", &Phasen::fehler);
    phaseDrucken(f, "X server page faults", &Phasen::serverFehler);
    phaseDrucken(f, "X server CPU time", &Phasen::serverZeit);
    std::vector<double> danach{0};
    for (int k : f.nachUnberuehrt)
        danach.push_back(f.laeufe[size_t(k)].gesamt);
    freezeZeile("... after an untouched", danach);
    freezeZeile("first press", f.ersterDruck);
    freezeZeile("second press", f.zweiterDruck);
    freezeZeile("first zoom entry", f.zoomEintritt);
    freezeZeile("second zoom entry", f.zweiterZoom);
}

// Processor time of the whole process, all threads.
double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Shows `bild` as the root window's background, for the freeze to read.
void aufDenSchirm(const QImage &bild)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = x11->connection();
    const xcb_screen_t *s = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const auto w = uint16_t(bild.width()), h = uint16_t(bild.height());
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, s->root_depth, pixmap, s->root, w, h);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, pixmap, 0, nullptr);
    // In requests of rows that fit the server's largest request.
    const int zeilen = std::max(1, int((xcb_get_maximum_request_length(c) * 4 - 64) / bild.bytesPerLine()));
    for (int y = 0; y < h; y += zeilen) {
        const int n = std::min(zeilen, h - y);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, w, uint16_t(n), 0, int16_t(y), 0,
                      s->root_depth, uint32_t(n * bild.bytesPerLine()), bild.constScanLine(y));
    }
    xcb_change_window_attributes(c, s->root, XCB_CW_BACK_PIXMAP, &pixmap);
    xcb_clear_area(c, 0, s->root, 0, 0, 0, 0);
    xcb_free_gc(c, gc);
    xcb_free_pixmap(c, pixmap);
    xRundreise();
}

// The busy desktop at the screen's size: the middle of the 4K one, or four mirrored copies.
QImage schirmBild(QSize groesse)
{
    const QImage busy = belebterSchirm(bildschirm());
    const QImage b =
        groesse.width() > busy.width() || groesse.height() > busy.height() ? vierfach(busy) : busy;
    return b.copy(
        QRect(QPoint((b.width() - groesse.width()) / 2, (b.height() - groesse.height()) / 2), groesse));
}

void speichernMessen(Zeitmesser &app, int runs)
{
    const QSize size = QGuiApplication::primaryScreen()->size();
    aufDenSchirm(schirmBild(size));
    Lesezeit zeit;
    leseZeitMessen(zeit);
    einfrieren(app, zeit);
    QAction *png = ToolForm->Aktionen.value(QStringLiteral("AlsPNGScreenshotSpeichern"));
    const QDir ordner(QDir::home().filePath(QStringLiteral("Documents/Skizzomat/Screenshots")));
    std::vector<double> ms, cpu;
    qint64 groesse = 0;
    for (int i = 0; i < runs; ++i) {
        const double t0 = nowMs(), c0 = cpuMs();
        png->trigger();
        ms.push_back(nowMs() - t0);
        cpu.push_back(cpuMs() - c0);
        const QFileInfoList dateien =
            ordner.entryInfoList({QStringLiteral("*.png")}, QDir::Files, QDir::Time);
        if (dateien.size() != i + 1) {
            std::printf("the save wrote no file\n");
            return;
        }
        groesse = dateien.first().size();
        QCoreApplication::processEvents();
    }
    std::printf("%dx%d, busy desktop, save key to PNG file complete, %d runs; load %s\n", size.width(),
                size.height(), runs, last().constData());
    std::printf("  median %.1f ms  min %.1f ms  processor time %.1f ms  %lld bytes\n", median(ms),
                *std::min_element(ms.begin(), ms.end()), median(cpu), static_cast<long long>(groesse));
}

} // namespace

int main(int argc, char **argv)
{
    const QByteArray mode = argc > 1 ? argv[1] : "freeze";
    const int runs = argc > 2 ? std::atoi(argv[2]) : 20;
    if (mode == "child")
        return startupChild(argc, argv, std::atof(argv[2]));
    if (mode == "child-first")
        return ersteChild(argc, argv, argc > 2 && std::strcmp(argv[2], "cold") == 0);

    if (mode == "first") {
        const ErsteFreezes w = ersteFreezesMessen(QString::fromLocal8Bit(argv[0]), runs);
        QApplication app(argc, argv);
        ersteFreezesDrucken(w, runs);
        return 0;
    }
    if (mode == "startup") {
        startsMessen(QString::fromLocal8Bit(argv[0]), runs);
        return 0;
    }

    // The saves go to the screenshot folder under a home of their own, settings included.
    QTemporaryDir zuhause;
    if (mode == "save") {
        qputenv("HOME", QFile::encodeName(zuhause.path()));
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
    }
    DpiAware();
    Zeitmesser app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    FensterErzeugen();
    PaintWatch toolPainted(ToolForm);
    ToolForm->show();
    waitPainted(toolPainted);
    if (mode == "save") {
        speichernMessen(app, runs);
        return 0;
    }
    const bool pinned = hauptFadenFest(sched_getcpu());
    Lesezeit zeit;
    leseZeitMessen(zeit);
    const Freezefolge f = freezesMessen(app, zeit, runs);
    freezesDrucken(f, runs, pinned);
    return 0;
}
