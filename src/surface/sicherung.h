// The undo snapshot taken by every left press on the picture.
//
// The snapshot's picture is kept as the tiles in which it differs from the snapshot's
// background (which it shares with the background itself), so it costs only what was drawn.
// A snapshot compares only the tiles written since the picture was last known to equal the
// snapshot or the background. That is safe only while every write to `Img1Bmp` is accounted
// for, in one of two ways:
//   - an operation that names the rectangles it changes runs between aenderungBeginnen()
//     and aenderungMerken() (the pointer gestures of surface/gesten.h do);
//   - anything else that writes to or replaces the picture calls bildGanzGeaendert().
// A write that does neither is still noticed: every write through QImage's non-const
// access or a QPainter, and every assignment, changes the picture's cacheKey(), and a
// picture whose key is not the one recorded after the last accounted write is compared whole.
// Only writes through a const_cast pointer would go unseen.
#pragma once

#include "app/data.h"
#include "surface/raster.h"

// Saves the tool mode, the gesture coordinates, the selection area, the background and the
// picture as they are now.
void UndoSchnappschuss(ToolState &t, SurfaceState &s);

// Makes `t.BackupBmp` hold `s.Img1Bmp` as it is now, relative to `t.BackupOrigScrBmp`:
// compares the tiles written since the picture was last known to be equal, all tiles
// otherwise.
void sicherungAbgleichen(ToolState &t, SurfaceState &s);

// The reverse: makes `s.Img1Bmp` the snapshot's picture again (undo), rewriting only the
// tiles written since when that is known to be enough. Picture and snapshot count as equal
// afterwards, so the next snapshot compares nothing but what is drawn then.
void bildAusSicherung(ToolState &t, SurfaceState &s);

// The snapshot's picture as one image (the background with the stored tiles over it).
QImage sicherungsBild(const ToolState &t);

// "Alles löschen": the picture becomes a copy of the background `t.OrigScrBmp`; the next
// snapshot then compares only what is drawn after it.
void bildAufHintergrund(ToolState &t, SurfaceState &s);

// To be called by everything else that replaces or rewrites the whole drawing picture
// (freeze, loading): the next snapshot then compares the whole picture.
void bildGanzGeaendert(SurfaceState &s);

// Says that the picture now equals `hintergrund` pixel for pixel (e.g. a copy made of it in
// advance), so that the next snapshot against that background compares nothing.
void bildGleichHintergrund(SurfaceState &s, const QImage &hintergrund);

// Opens an accounted write: if the picture was written since the last accounted one by
// something that did not say so, the next snapshot compares it whole.
void aenderungBeginnen(SurfaceState &s);

// Closes an accounted write that changed the picture within `geaendert`; returns them.
const Rechtecke &aenderungMerken(SurfaceState &s, const Rechtecke &geaendert);

// Makes `ziel` an independent copy of `quelle`. A buffer that `ziel` alone owns, of the same
// size and format, is reused, so that a press on a large picture allocates nothing.
void bildSichern(QImage &ziel, const QImage &quelle);

// Copies `n` bytes, writing past the caches: for copies far larger than the caches whose
// target is not read again soon.
void grossKopieren(uchar *nach, const uchar *von, size_t n);
