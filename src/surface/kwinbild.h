// Screenshots under KWin: through its own screenshot interface, which leaves the pointer out
// and gives the output's own pixels, and the pointer hidden where only the portal is left.
#pragma once

#include "surface/capture.h"

#include <memory>
#include <optional>

class QScreen;
class QWidget;

// The monitor's picture through KWin's interface org.kde.KWin.ScreenShot2 (KWin lets a program
// use it when the program's installed desktop entry names it). Nothing when there is no KWin,
// it offers no such interface, refuses us or fails: then the portal takes the picture. Once in
// a run, when KWin enlarges XWayland's pixels, the result carries a note saying so.
std::optional<Bildaufnahme> kwinBildschirmfoto(QScreen *monitor);

// The same note for a picture that came another way under KWin: `bild` shows the desktop
// `desktop` (XWayland's coordinates). Empty but the first time, or when nothing is scaled.
QString kwinSkalierungEinmal(QSize bild, QSize desktop);

// While it lives, KWin's pointer hangs over a transparent window of ours that gives it no
// shape, so that a screenshot which draws the pointer in (KDE's portal does) shows none.
// Does nothing under another compositor.
class ZeigerVerdeckt
{
public:
    explicit ZeigerVerdeckt(QScreen *monitor);
    ~ZeigerVerdeckt();
    ZeigerVerdeckt(const ZeigerVerdeckt &) = delete;
    ZeigerVerdeckt &operator=(const ZeigerVerdeckt &) = delete;

private:
    std::unique_ptr<QWidget> m_decke;
};
