#include "surface/rueckgaengig.h"

#include "surface/gesten.h"
#include "surface/sicherung.h"

void schnappschussZurueck(ToolState &t, SurfaceState &s)
{
    s.Sx = s.BakSx;
    s.Sy = s.BakSy;
    s.Lx = s.BakLx;
    s.Ly = s.BakLy;
    t.BereichRect = t.BakBereichRect;
    // Written into the picture's own buffer: the snapshot must stay as it is while the
    // picture is drawn on.
    bildAusSicherung(t, s);
    // The background is only ever replaced as a whole, so sharing it is a copy.
    t.OrigScrBmp = t.BackupOrigScrBmp;
    t.Modus = t.BakModus;
    // The restored picture holds the marker as it was drawn then. A thickness chosen since
    // would erase it at another size and leave a ring, so it goes now, at its own size.
    if (t.Modus >= 1 && t.Modus <= 13) {
        const std::int32_t jetzt = t.Sdicke;
        t.Sdicke = t.BakSdicke;
        Zeichenbewegung(t, s, 0, -1, -1);
        t.Sdicke = jetzt;
    }
}

void bildLoeschen(ToolState &t, SurfaceState &s)
{
    // The marker goes first: undo would erase it with the tool and thickness of the last
    // press, not with the ones it was drawn with.
    Zeichenbewegung(t, s, 0, -1, -1);
    sicherungAbgleichen(t, s);
    s.BakLx = s.Lx;
    s.BakLy = s.Ly;
    s.BakSx = s.Sx;
    s.BakSy = s.Sy;
    s.Sx = s.Sy = s.Lx = s.Ly = -1;
    bildAufHintergrund(t, s);
}
