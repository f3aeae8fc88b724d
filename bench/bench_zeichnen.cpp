// Cost of one drawing step, model plus repaint of the changed rectangles, at three screen
// sizes, and of the undo snapshot that a left press takes. Runs on the offscreen platform
// unless QT_QPA_PLATFORM says otherwise.
//   bench_zeichnen [steps per kind]
#include "app/anwendung.h"
#include "surface/gesten.h"
#include "surface/scrwin.h"
#include "surface/sicherung.h"
#include "toolwindow/einfrieren.h"
#include "toolwindow/toolwin2.h"

#include <QApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
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
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

struct Werte
{
    double median, p99;
};

Werte auswerten(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const auto an = [&](double q) { return v[std::min(v.size() - 1, size_t(q * double(v.size())))]; };
    return {an(0.5), an(0.99)};
}

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
// pixels per event, as a hand moves a mouse.
QPoint pfad(int i)
{
    const double a = i * 0.05;
    return QPoint(600 + int(150 * std::cos(a) + 3 * std::sin(i * 0.7)),
                  450 + int(150 * std::sin(a) + 3 * std::cos(i * 0.9)));
}

// One step as the window runs it: the model changes the picture and names the changed
// rectangles, which are then repainted at once (the window's update() would wait for the
// next frame).
double schritt(TShiftState shift, QPoint p)
{
    const double t0 = nowMs();
    const Rechtecke r = mausBewegen(*ToolForm, *ScreenForm, shift, p.x(), p.y());
    QRegion neu;
    for (const QRect &q : r)
        neu += q;
    ScreenForm->Img1->repaint(neu);
    return nowMs() - t0;
}

Werte bewegung(int modus, int sdicke, TColor farbe, TPenMode smode, int schritte)
{
    ToolForm->Modus = modus;
    ToolForm->Sdicke = sdicke;
    ToolForm->Scol = farbe;
    ToolForm->Smode = smode;
    ScreenForm->Img1MouseDown(Qt::LeftButton, ssLeft, pfad(0).x() - 200, pfad(0).y() - 150);
    QCoreApplication::processEvents();
    for (int i = 0; i < 50; ++i) // warm up
        schritt(ssLeft, pfad(i));
    std::vector<double> ms;
    ms.reserve(size_t(schritte));
    for (int i = 0; i < schritte; ++i)
        ms.push_back(schritt(ssLeft, pfad(50 + i)));
    ScreenForm->Img1MouseUp(Qt::LeftButton, 0, pfad(schritte + 50).x(), pfad(schritte + 50).y());
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCoreApplication::processEvents();
    return auswerten(ms);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int schritte = argc > 1 ? std::atoi(argv[1]) : 2000;
    FensterErzeugen();
    Malzaehler maler;
    ScreenForm->Img1->installEventFilter(&maler);

    std::printf("step: model + repaint of the changed rectangles, %d steps per kind (ms)\n", schritte);
    std::printf("%-12s %-24s %8s %8s\n", "screen", "step", "median", "p99");
    for (const QSize g : {QSize(1920, 1080), QSize(3840, 2160), QSize(7680, 4320)}) {
        bildUebernehmen(*ToolForm, *ScreenForm, bildschirm(g.width(), g.height()));
        ToolForm->WinZustand = 1;
        ScreenForm->zeigeAuf(QRect(QPoint(0, 0), g));
        QCoreApplication::processEvents();
        const QString name = QStringLiteral("%1x%2").arg(g.width()).arg(g.height());
        const struct
        {
            const char *was;
            int modus, dicke;
            TColor farbe;
            TPenMode smode;
        } arten[] = {
            {"pen (13 px, yellow mask)", 1, 13, Palette::Gelb, pmMask},
            {"eraser (21 px: 195x147)", 2, 21, 0, pmCopy},
            {"rectangle preview", 4, 13, Palette::Rot, pmCopy},
        };
        for (const auto &a : arten) {
            const Werte w = bewegung(a.modus, a.dicke, a.farbe, a.smode, schritte);
            const long gemalt = maler.anzahl;
            std::printf("%-12s %-24s %8.3f %8.3f\n", qPrintable(name), a.was, w.median, w.p99);
            maler.anzahl = 0;
            if (gemalt < schritte)
                std::printf("  (only %ld repaints)\n", gemalt);
        }
        if (g.width() == 7680) {
            // A left press: the snapshot alone, and the whole press with its step and repaint.
            ToolForm->Modus = 1;
            std::vector<double> snap, press;
            for (int i = 0; i < 40; ++i) {
                double t0 = nowMs();
                UndoSchnappschuss(*ToolForm, *ScreenForm);
                snap.push_back(nowMs() - t0);
                t0 = nowMs();
                const Rechtecke r = mausDruecken(*ToolForm, *ScreenForm, ssLeft, 300 + i, 300);
                QRegion neu;
                for (const QRect &q : r)
                    neu += q;
                ScreenForm->Img1->repaint(neu);
                press.push_back(nowMs() - t0);
                ScreenForm->Img1MouseUp(Qt::LeftButton, 0, 300 + i, 300);
            }
            const Werte s = auswerten(snap), p = auswerten(press);
            std::printf("%-12s %-24s %8.3f %8.3f\n", qPrintable(name), "undo snapshot", s.median, s.p99);
            std::printf("%-12s %-24s %8.3f %8.3f\n", qPrintable(name), "left press (whole)", p.median, p.p99);
        }
    }
    return 0;
}
