// The undo snapshot taken by every left press on the picture.
//
// A snapshot copies only the tiles of the picture written since the previous one. That is
// safe only while every write to `Img1Bmp` is accounted for, in one of two ways:
//   - an operation that names the rectangles it changes runs between aenderungBeginnen()
//     and aenderungMerken() (the pointer gestures of surface/gesten.h do);
//   - anything else that writes to or replaces the picture calls bildGanzGeaendert().
// A write that does neither is still noticed: every write through QImage's non-const
// access or a QPainter, and every assignment, changes the picture's cacheKey(), and a
// picture whose key is not the one recorded after the last accounted write is copied whole.
// Only writes through a const_cast pointer would go unseen.
#pragma once

#include "app/data.h"
#include "surface/raster.h"

// Saves the tool mode, the gesture coordinates, the selection area, the picture and the
// background as they are now.
void UndoSchnappschuss(ToolState &t, SurfaceState &s);

// Makes `t.BackupBmp` equal to `s.Img1Bmp`: copies the tiles written since the last call
// when that is known to be enough, the whole picture otherwise.
void sicherungAbgleichen(ToolState &t, SurfaceState &s);

// The reverse: makes `s.Img1Bmp` equal to `t.BackupBmp` again (undo), copying only the
// tiles written since the last snapshot when that is known to be enough. Picture and backup
// count as equal afterwards, so the next snapshot copies nothing but what is drawn then.
void bildAusSicherung(ToolState &t, SurfaceState &s);

// To be called by everything that replaces or rewrites the whole drawing picture (freeze,
// undo, clear, sheets, loading): the next snapshot then copies the whole picture again.
void bildGanzGeaendert(SurfaceState &s);

// Opens an accounted write: if the picture was written since the last accounted one by
// something that did not say so, the next snapshot copies it whole.
void aenderungBeginnen(SurfaceState &s);

// Closes an accounted write that changed the picture within `geaendert`; returns them.
const Rechtecke &aenderungMerken(SurfaceState &s, const Rechtecke &geaendert);

// Makes `ziel` an independent copy of `quelle`. A buffer that `ziel` alone owns, of the same
// size and format, is reused, so that a press on a large picture allocates nothing.
void bildSichern(QImage &ziel, const QImage &quelle);

// Copies `n` bytes, writing past the caches: for copies far larger than the caches whose
// target is not read again soon.
void grossKopieren(uchar *nach, const uchar *von, size_t n);
