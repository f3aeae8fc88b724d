#include "surface/gesten.h"

#include "surface/bereich.h"
#include "surface/formen.h"
#include "surface/sicherung.h"
#include "surface/textstempel.h"

namespace {

// A right or middle button counts as a released left button.
TShiftState rechtsMitteRegel(TShiftState shift)
{
    if (shift & (ssRight | ssMiddle))
        shift &= TShiftState(~ssLeft);
    return shift;
}

void stiftSchritt(const ToolState &t, SurfaceState &s, TShiftState shift, int x, int y, Rechtecke &geaendert)
{
    WerkzeugMarke(t, s, geaendert);
    s.Sx = x;
    s.Sy = y;
    if (shift & ssLeft) {
        strecke(s.Img1Bmp, s.StiftPosition, {x, y}, Stift{t.Scol, t.Smode, t.Sdicke}, &geaendert);
        s.StiftPosition = {x, y};
    }
    WerkzeugMarke(t, s, geaendert);
}

void radiererSchritt(const ToolState &t, SurfaceState &s, TShiftState shift, int x, int y,
                     Rechtecke &geaendert)
{
    WerkzeugMarke(t, s, geaendert);
    s.Sx = x;
    s.Sy = y;
    if (shift & ssLeft) {
        const QSize h = radiererHalbmasse(t.Sdicke);
        const QRect box(x - h.width(), y - h.height(), 2 * h.width() + 1, 2 * h.height() + 1);
        dazu(geaendert, bereichKopieren(s.Img1Bmp, t.OrigScrBmp, box));
    }
    WerkzeugMarke(t, s, geaendert);
}

void schritt(ToolState &t, SurfaceState &s, TShiftState shift, int x, int y, Rechtecke &geaendert)
{
    switch (t.Modus) {
    case 1:
        stiftSchritt(t, s, shift, x, y, geaendert);
        break;
    case 2:
        radiererSchritt(t, s, shift, x, y, geaendert);
        break;
    case 6:
        for (const QRect &r : textSchritt(s, shift, x, y))
            geaendert.append(r);
        break;
    case 7:
    case 8:
        for (const QRect &r : stempelSchritt(t, s, shift, x, y))
            geaendert.append(r);
        break;
    case 13:
        bereichSchritt(t, s, shift, x, y, geaendert);
        break;
    case 14:
    case 15:
        // No marker: the magnifier's lens and the zoom view's crosshair lie over the picture.
        s.Sx = x;
        s.Sy = y;
        break;
    default:
        if (istFormModus(t.Modus))
            formSchritt(t, s, shift, x, y, geaendert);
        break;
    }
}

} // namespace

Rechtecke Zeichenbewegung(ToolState &t, SurfaceState &s, TShiftState shift, int xneu, int yneu)
{
    aenderungBeginnen(s);
    Rechtecke geaendert;
    if (!(shift & ssLeft) && (istFormModus(t.Modus) || t.Modus == 13))
        FigurVerwerfen(t, s, geaendert);
    schritt(t, s, shift, xneu, yneu, geaendert);
    return aenderungMerken(s, geaendert);
}

Rechtecke mausDruecken(ToolState &t, SurfaceState &s, TShiftState shift, int x, int y)
{
    aenderungBeginnen(s);
    Rechtecke geaendert;
    if (shift & (ssRight | ssMiddle)) {
        shift = rechtsMitteRegel(shift);
        schritt(t, s, shift, x, y, geaendert);
    }
    s.MausShift = shift & ssLeft;
    if (!(shift & ssLeft))
        return aenderungMerken(s, geaendert);
    UndoSchnappschuss(t, s);
    s.StiftPosition = {x, y};
    schritt(t, s, shift, x, y, geaendert);
    if (t.Modus == 6) {
        // The text tool's snapshot is the picture after the press, without a marker.
        s.BakSx = s.Sx;
        s.BakSy = s.Sy;
        s.BakLx = s.Lx;
        s.BakLy = s.Ly;
        aenderungMerken(s, geaendert);
        sicherungAbgleichen(t, s);
    }
    return aenderungMerken(s, geaendert);
}

Rechtecke mausBewegen(ToolState &t, SurfaceState &s, TShiftState shift, int x, int y)
{
    aenderungBeginnen(s);
    Rechtecke geaendert;
    shift = rechtsMitteRegel(shift);
    s.MausShift = shift & ssLeft;
    schritt(t, s, shift, x, y, geaendert);
    return aenderungMerken(s, geaendert);
}

Rechtecke mausLoslassen(ToolState &t, SurfaceState &s, TShiftState shift, int x, int y)
{
    aenderungBeginnen(s);
    Rechtecke geaendert;
    shift = rechtsMitteRegel(shift);
    s.MausShift = shift & ssLeft;
    if (istFormModus(t.Modus) || t.Modus == 13) {
        if (s.Lx < 0 || s.Ly < 0)
            return aenderungMerken(s, geaendert);
        schritt(t, s, shift, x, y, geaendert);
    }
    s.Lx = s.Ly = -1;
    return aenderungMerken(s, geaendert);
}
