// The program's resident memory through one session on the current X display: idle, frozen,
// a stroke, twenty strokes and an undo, "Alles löschen", a wheel zoom, a sheet, a stroke on
// it, an undo, the clipboard and Fertig, each
// step driven through the real windows' event handlers. Prints VmRSS (and its anonymous and
// shared parts, and the proportional size, which counts a page mapped twice once and a page
// shared with the X server half) after each step, and how many frames of the frozen monitor lie above idle,
// after the step and at its highest moment (what a step holds only briefly counts there).
//   bench_speicher [ROUNDS [REST_MS]]   the session ROUNDS times over (default 2), so that
//                             what a second freeze keeps shows too; then REST_MS (default a
//                             minute) at rest after the last Fertig
#include "app/data.h"
#include "app/dpiAware.h"
#include "app/speicherabgabe.h"
#include "startup/anwendung.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"
#if __has_include("toolwindow/ruhe.h")
#include "toolwindow/ruhe.h"
#define MIT_RUHE 1
#endif

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QMouseEvent>
#include <QScreen>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

struct Rss
{
    double gesamt = 0, anonym = 0, geteilt = 0, hoechst = 0, anteilig = 0, eigen = 0; // MB
};

// The memory the program has, each page once: the anonymous and file pages of VmRSS, and each
// shared-memory file (the screen reads, the backing store) at its full size, as those are
// written whole. VmRSS counts a page twice where two mappings show it (the screen's file and
// the drawing picture's copy of it), and not at all a file page no mapping shows right now.
double eigenerSpeicher(double anonym)
{
    QFile f(QStringLiteral("/proc/self/smaps"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    QMap<QByteArray, double> dateien; // inode: largest mapping of it, MB
    double dateiseiten = 0;
    QByteArray inode;
    bool geteilt = false;
    for (const QByteArray &zeile : f.readAll().split('\n')) {
        const QList<QByteArray> teile = zeile.simplified().split(' ');
        const QByteArray erstes = teile.value(0);
        if (erstes.contains('-') && !erstes.endsWith(':')) {
            geteilt = zeile.contains("/memfd:") || zeile.contains("/SYSV");
            inode = teile.value(4);
            continue;
        }
        const double mb = teile.value(1).toDouble() / 1024.0;
        if (geteilt && erstes == "Size:")
            dateien[inode] = std::max(dateien.value(inode), mb);
        else if (!geteilt && erstes == "Rss:")
            dateiseiten += mb;
        else if (!geteilt && erstes == "Anonymous:")
            dateiseiten -= mb;
    }
    double summe = anonym + dateiseiten;
    for (const double mb : dateien)
        summe += mb;
    return summe;
}

double pssLesen()
{
    QFile f(QStringLiteral("/proc/self/smaps_rollup"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &zeile : f.readAll().split('\n'))
        if (zeile.startsWith("Pss:"))
            return zeile.mid(4).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

Rss rssLesen()
{
    QFile f(QStringLiteral("/proc/self/status"));
    Rss r;
    if (!f.open(QIODevice::ReadOnly))
        return r;
    for (const QByteArray &zeile : f.readAll().split('\n')) {
        const QList<QByteArray> teile = zeile.simplified().split(' ');
        if (teile.size() < 2)
            continue;
        const double mb = teile[1].toDouble() / 1024.0;
        if (teile[0] == "VmRSS:")
            r.gesamt = mb;
        else if (teile[0] == "RssAnon:")
            r.anonym = mb;
        else if (teile[0] == "RssShmem:")
            r.geteilt = mb;
        else if (teile[0] == "VmHWM:")
            r.hoechst = mb;
    }
    r.anteilig = pssLesen();
    r.eigen = eigenerSpeicher(r.anonym);
    return r;
}

// Lets the program paint and hand its pixels to the X server.
void ausruhen()
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 150)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void maus(QWidget *w, QEvent::Type typ, QPoint p, Qt::MouseButtons tasten)
{
    const Qt::MouseButton taste = typ == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(typ, QPointF(p), w->mapToGlobal(QPointF(p)), taste, tasten, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A stroke of the current tool across a good part of the picture.
void strich(QWidget *bild, QPoint von, QPoint nach)
{
    maus(bild, QEvent::MouseMove, von, Qt::NoButton);
    maus(bild, QEvent::MouseButtonPress, von, Qt::LeftButton);
    for (int i = 1; i <= 40; ++i)
        maus(bild, QEvent::MouseMove, von + (nach - von) * i / 40, Qt::LeftButton);
    maus(bild, QEvent::MouseButtonRelease, nach, Qt::NoButton);
}

void rad(QWidget *fenster, QPoint p, int delta)
{
    QWindow *w = fenster->windowHandle();
    QWheelEvent e(QPointF(p), fenster->mapToGlobal(QPointF(p)), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QGuiApplication::sendEvent(w, &e);
}

void ausloesen(const char *aktion)
{
    if (QAction *a = ToolForm->Aktionen.value(QString::fromLatin1(aktion)))
        a->trigger();
    else
        std::fprintf(stderr, "no action %s\n", aktion);
}

// With SKIZZOMAT_SPEICHERKARTE set: every mapping holding more than a megabyte, so that a
// frame held somewhere can be told from the others by its address and kind.
void karteZeigen()
{
    if (qEnvironmentVariableIsEmpty("SKIZZOMAT_SPEICHERKARTE"))
        return;
    QFile f(QStringLiteral("/proc/self/smaps"));
    if (!f.open(QIODevice::ReadOnly))
        return;
    QByteArray kopf;
    for (const QByteArray &zeile : f.readAll().split('\n')) {
        const QByteArray erstes = zeile.left(zeile.indexOf(' '));
        if (erstes.contains('-') && !erstes.endsWith(':')) {
            kopf = zeile;
            continue;
        }
        if (zeile.startsWith("Rss:")) {
            const long kb = zeile.mid(4).trimmed().split(' ').value(0).toLong();
            if (kb > 1024)
                std::printf("    %8.1f MB  %s\n", kb / 1024.0, kopf.simplified().constData());
        }
    }
}

// The highest VmRSS during each step: the kernel starts VmHWM anew at every "5" written.
void hoechstwertNeu()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// The rows of the table, measured against the program at idle.
struct Messtabelle
{
    Rss leer;
    double frame = 0;
    double hoechstes = 0, spitze = 0;

    // Prints the monitor's size and the table's head, with idle as what the rows compare to.
    explicit Messtabelle(QSize groesse)
        : leer(rssLesen()), frame(double(groesse.width()) * groesse.height() * 4 / (1024.0 * 1024.0))
    {
        std::printf("%dx%d, a frame is %.1f MB\n", groesse.width(), groesse.height(), frame);
        std::printf("%-22s %9s %9s %9s %8s %8s %8s %8s\n", "step", "VmRSS MB", "anon MB", "shm MB", "frames",
                    "during", "PSS MB", "own MB");
    }

    void zeile(const char *schritt)
    {
        ausruhen();
        const Rss r = rssLesen();
        const double frames = (r.gesamt - leer.gesamt) / frame;
        const double waehrend = (r.hoechst - leer.gesamt) / frame;
        hoechstes = std::max(hoechstes, frames);
        spitze = std::max(spitze, waehrend);
        std::printf("%-22s %9.1f %9.1f %9.1f %8.2f %8.2f %8.1f %8.1f\n", schritt, r.gesamt, r.anonym,
                    r.geteilt, frames, waehrend, r.anteilig, r.eigen);
        karteZeigen();
        std::fflush(stdout);
        hoechstwertNeu();
    }
};

// One session from Start to Fertig, a row after each step.
void sitzungMessen(Messtabelle &tabelle, QSize groesse)
{
    ToolForm->StartFertigBtnClick();
    tabelle.zeile("frozen");
    TScreenForm &s = *ScreenForm;
    const int w = groesse.width(), h = groesse.height();
    ausloesen("Stift1");
    strich(s.Img1, {w / 10, h / 10}, {w * 9 / 10, h * 8 / 10});
    tabelle.zeile("stroke");
    for (int i = 1; i < 20; ++i)
        strich(s.Img1, {w * i / 21, h / 12}, {w * (20 - i) / 21, h * 11 / 12});
    ausloesen("Rckgngig1");
    tabelle.zeile("20 strokes, undo");
    ausloesen("Alleslschen1");
    tabelle.zeile("Alles loeschen");
    strich(s.Img1, {w / 10, h / 10}, {w * 9 / 10, h * 8 / 10});
    maus(s.Img1, QEvent::MouseMove, {w / 2, h / 2}, Qt::NoButton);
    rad(&s, {w / 2, h / 2}, 120);
    rad(&s, {w / 2, h / 2}, 120);
    tabelle.zeile("wheel zoom");
    rad(&s, {w / 2, h / 2}, -120);
    rad(&s, {w / 2, h / 2}, -120);
    tabelle.zeile("zoom left");
    ausloesen("Lupe1");
    maus(s.Img2, QEvent::MouseMove, {w / 3, h / 3}, Qt::NoButton);
    tabelle.zeile("magnifier");
    ausloesen("Stift1");
    ausloesen("KariertesBlatt1");
    tabelle.zeile("sheet");
    strich(s.Img1, {w / 5, h * 8 / 10}, {w * 8 / 10, h / 5});
    tabelle.zeile("stroke on sheet");
    ausloesen("Rckgngig1");
    tabelle.zeile("undo");
    ausloesen("IndieZwischenablage1");
    tabelle.zeile("clipboard");
    ToolForm->StartFertigBtnClick();
    tabelle.zeile("Fertig");
}

// The program left alone for `ruhezeit` ms after the last Fertig; the row shows what it gave back.
void ruheMessen(Messtabelle &tabelle, int ruhezeit)
{
    QElapsedTimer t;
    t.start();
    while (!t.hasExpired(ruhezeit + 200))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    hoechstwertNeu();
    tabelle.zeile(QStringLiteral("%1 s at rest").arg(ruhezeit / 1000.0).toLatin1().constData());
}

} // namespace

int main(int argc, char **argv)
{
    const int runden = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2;
    SpeicherabgabeEinrichten();
    DpiAware();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int ruhezeit = argc > 2 ? std::max(0, std::atoi(argv[2])) : 60 * 1000;
    FensterErzeugen();
#if defined(MIT_RUHE)
    ToolForm->Ruhe->setRuhezeit(ruhezeit);
#endif
    ToolForm->show();
    ausruhen();

    const QSize groesse = QGuiApplication::primaryScreen()->size();
    Messtabelle tabelle(groesse);
    tabelle.zeile("idle");
    for (int runde = 0; runde < runden; ++runde)
        sitzungMessen(tabelle, groesse);
    ruheMessen(tabelle, ruhezeit);
    std::printf("most above idle: %.2f frames after a step, %.2f frames during one\n", tabelle.hoechstes,
                tabelle.spitze);
    return 0;
}
