// Helpers for the tests on a real X server (run through xrun.sh): real input with xdotool,
// the screen read back with ImageMagick's import, window state as the X server sees it.
#pragma once

#include "app/dpiAware.h"
#include "startup/anwendung.h"

#include <QApplication>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QStringList>
#include <QTest>

#include <optional>

class QProcess;
class QWidget;

namespace xs {

// Deletes the program's windows, resets the settings to their defaults and creates the
// windows anew, hidden: each case starts like a new run of the program.
void freshWindows();

// Shows the tool window, clicks "Start" with the real pointer and waits until the surface
// is mapped and the unfolded tool window stands where Qt put it. False if the freeze does not
// come.
bool startClicked();

// The X server has `w`'s window mapped where and as large as Qt has it. A window shown,
// unfolded or moved a moment ago may still be on its way there (through the window manager),
// and a pointer aimed at its new place would miss it.
bool placed(const QWidget *w);
// Waits for placed(w); false if it does not come.
bool waitUntilPlaced(const QWidget *w, int timeoutMs = 10000);

// Starts the real program and waits until its tool window is shown and placed; its window,
// or 0 if none came.
unsigned long startProgram(QProcess &p);
// Closes the program through its window as the window manager's close box does; true if it
// then ended normally with status 0.
bool closeProgram(QProcess &p, unsigned long window);

// Centre of a widget in root coordinates.
QPoint centre(const QWidget *w);

struct Result
{
    int exitCode = -1; // -1: did not start or did not finish in time
    QByteArray out;
};

// Runs a program to its end (at most timeoutMs) with the event loop blocked meanwhile.
Result run(const QString &program, const QStringList &args, int timeoutMs = 10000);

// A picture no window looks like: colour gradients with a grid of text on them.
QImage knownPicture(QSize size);

// Makes `picture` the root window's background and waits until the screen shows it. False,
// with the reason in `why`, if it does not come.
bool showOnRoot(const QImage &picture, QString *why);

// The whole screen as the X server has it, in RGB32; null if it cannot be read.
QImage readScreen();

// Empty if `a` and `b` have the same size and the same pixels outside `except`; otherwise
// where they differ first and how many pixels differ.
QString difference(const QImage &a, const QImage &b, const QRegion &except = {});

// Reads the screen, with the event loop running in between, until it equals `expected`
// outside `except`. Empty on success, else the last difference.
QString waitForScreen(const QImage &expected, const QRegion &except = {}, int timeoutMs = 5000);

// Share of pixels inside `area` in which `a` and `b` are equal, 0…1.
double sameShare(const QImage &a, const QImage &b, const QRect &area);

// Real input through the XTEST extension, like a user's.
void click(QPoint global);
void key(const QString &keysym);
void moveWindow(unsigned long window, QPoint to);
// Gives a window the keyboard focus (without a window manager none ever gets it by itself).
void focus(unsigned long window);
// Asks a window to close as a window manager's close box does: a WM_PROTOCOLS client message
// with WM_DELETE_WINDOW. False if it could not be sent.
bool closeWindow(unsigned long window);

struct WindowInfo
{
    QRect geometry; // client area in root coordinates
    bool viewable = false;
};

// What the X server reports for a window; nothing if the window does not exist.
std::optional<WindowInfo> windowInfo(unsigned long window);

// The window with the window manager's frame around it (_NET_FRAME_EXTENTS), in root
// coordinates; without a window manager the window's own rectangle.
QRect frameRect(unsigned long window);

// Mapped top-level windows that carry _NET_WM_PID `pid`.
QList<unsigned long> visibleWindowsOf(qint64 pid);
// Mapped windows whose title is exactly `title`.
QList<unsigned long> visibleWindowsNamed(const QString &title);
// The one mapped window of that title, or 0 when none comes within 10 s.
unsigned long waitForWindowNamed(const QString &title);

// The window manager's stacking order, bottom first (_NET_CLIENT_LIST_STACKING).
QList<unsigned long> stackingOrder();
// The value of a window property (of the root window for 0) as xprop prints it, without
// the name.
QString property(unsigned long window, const char *name);

} // namespace xs

// main() of a test on the X server: physical pixels, names and the rest of the set-up as in
// the program; the program's windows stay alive when none of them is shown.
#define XS_TEST_MAIN(TestClass)                                                                              \
    int main(int argc, char *argv[])                                                                         \
    {                                                                                                        \
        DpiAware();                                                                                          \
        QApplication app(argc, argv);                                                                        \
        AnwendungEinrichten();                                                                               \
        TestClass tc;                                                                                        \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
