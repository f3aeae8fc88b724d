// Keeps the program's last clipboard picture pasteable on X11 after the program has ended: a
// small process of our own (this executable started with `AblageHueterOption`) takes over the
// clipboard and serves the picture until another program takes the clipboard or the X server
// goes away.
#pragma once

#include <cstdint>

class QImage;

inline constexpr char AblageHueterOption[] = "--clipboard-keeper";

// The keeper's main: `argv[2]` names the X window that owns the clipboard now, `argv[3]` and
// `argv[4]` the picture's width and height; standard input holds its pixels, RGB32 rows without
// gaps. Within one server grab it takes the clipboard only while that
// window still owns it, says "1" (taken) or "0" on standard output and, once it holds the
// clipboard, serves it until it loses it.
int AblageHueterAusfuehren(int argc, char **argv);

// Starts the keeper detached from us with the picture and the window `besitzer` that owns the
// clipboard, and waits at most `wartezeitMs` for its answer. True once the keeper holds the
// clipboard.
bool AblageHueterStarten(const QImage &bild, std::uint32_t besitzer, int wartezeitMs);
