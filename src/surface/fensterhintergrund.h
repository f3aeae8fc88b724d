// A picture as an X window's background until the window has painted itself.
#pragma once

#include <QImage>
#include <QtGui/qwindowdefs.h>

#include <cstdint>

// Under XWayland a top-level window reaches the compositor from memory of its own that starts
// black, and it stays black until the program's first paint arrives: at full screen a tenth of
// a second and more, seen as a black flash over the whole monitor. A window with a background
// picture is filled by the X server at the map itself, so the compositor gets the picture
// from its first frame on.
class FensterHintergrund
{
public:
    FensterHintergrund() = default;
    FensterHintergrund(const FensterHintergrund &) = delete;
    FensterHintergrund &operator=(const FensterHintergrund &) = delete;
    ~FensterHintergrund();

    // Makes `bild` (RGB32) the background of the X window `fenster`; set before the window is
    // mapped, the map fills the window with it. False, and nothing set, without an X
    // connection or where the window's depth or the server's byte order differ from the
    // picture's.
    bool setzen(WId fenster, const QImage &bild);
    // The window back to no background, as Qt makes its windows (the program paints every
    // pixel itself, and the X server leaves the window's contents alone), and the server's
    // copy of the picture freed. Nothing happens when none is set.
    void freigeben();
    bool gesetzt() const { return m_pixmap != 0; }

private:
    std::uint32_t m_fenster = 0;
    std::uint32_t m_pixmap = 0;
};
