// The annotation state shared by every window: the tool window's fields, the drawing
// surface's gesture coordinates, the process-wide settings and the constant tables.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QtGui/qrgb.h>

#include <array>
#include <cstdint>
#include <vector>

// A colour as the program stores it: 24 bits, red in the low byte, blue in the high byte.
using TColor = std::uint32_t;

constexpr QRgb toQRgb(TColor c)
{
    return qRgb(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

constexpr TColor fromQRgb(QRgb c)
{
    return TColor(qRed(c)) | (TColor(qGreen(c)) << 8) | (TColor(qBlue(c)) << 16);
}

// How drawn pixels combine with the picture.
enum TPenMode : std::uint8_t {
    pmBlack, // pixel := black; only the value before any colour is applied
    pmCopy,  // pixel := colour
    pmMask,  // pixel := pixel AND colour
    pmNot,   // pixel := NOT pixel (markers and previews)
};

// Left, top, right, bottom in picture pixels; right and bottom exclusive.
struct TRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    friend bool operator==(const TRect &, const TRect &) = default;
};

constexpr TRect KeinBereich{-1, -1, -1, -1};

// An area counts only with left, top and bottom at 0 or more and right at 2 or more.
bool AuswahlbereichAktiv(const TRect &r);

// The shift state of a key or pointer event.
enum TShiftFlag : std::uint8_t {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
};
using TShiftState = std::uint8_t;

// The picture of the undo snapshot, kept as what it has beyond the snapshot's background
// `BackupOrigScrBmp`: per tile of 64 × 64 pixels the snapshot's pixels where that tile differs
// from the background; a tile not stored equals the background. When more than half of the
// tiles differ, a whole copy (`Spiegel`) is cheaper to keep up than the tiles and takes their
// place until few differ again. A picture handed over whole (a freeze assigns the captured
// screen, which the background shares) is held as it is until the next snapshot. Read and
// written by the functions of surface/sicherung.h alone.
struct Bildsicherung
{
    QImage Ganz;                            // the snapshot's picture held whole, else null
    bool Spiegel = false;                   // Ganz is our own copy, kept up tile by tile
    qint64 GanzSchluessel = 0;              // with Spiegel: Ganz.cacheKey() after our last write
    std::vector<std::vector<QRgb>> Kacheln; // row by row; empty where not stored
    std::vector<std::uint8_t> Anders;       // row by row: 1 where the tile differs from the background
    std::int32_t Breite = 0, Hoehe = 0;     // size of the picture the tiles belong to
    std::int32_t Spalten = 0, Zeilen = 0;
    qint64 HintergrundSchluessel = 0; // cacheKey() of the background the tiles are relative to
    std::size_t Verschieden = 0;      // tiles that differ from the background

    // The snapshot's picture is `ganz`, as a whole; a null image leaves no snapshot.
    Bildsicherung &operator=(const QImage &ganz)
    {
        *this = Bildsicherung();
        Ganz = ganz;
        return *this;
    }
};

// Fields of the tool window, in declaration order.
struct ToolState
{
    bool Start = true;
    QImage AuswahlBmp;
    QImage OrigScrBmp;
    QImage OrigScrStartBmp;
    Bildsicherung BackupBmp;
    QImage BackupOrigScrBmp;
    std::int32_t Sdicke = 0;
    TPenMode Smode = pmBlack;
    TColor Scol = 0;
    std::int32_t LupeFak = 2;
    float ZoomFak = 2.0f;
    std::int32_t ZoomfakNr = 2;
    std::int32_t BakModus = 0;
    std::int32_t BakSdicke = 0; // the stroke width the snapshot's marker was drawn with
    std::int32_t Modus = 1;
    std::int32_t VorZoomModus = 1;
    std::int32_t WinZustand = 0;
    TRect BakBereichRect{0, 0, 0, 0};
    TRect BereichRect = KeinBereich;
    QStringList EmailDateiList;
};

// The text tool's entry as the drawing step sees it.
struct TextEintragZustand
{
    bool Offen = false;      // shown, with the typed text not yet in the picture
    int Hoehe = 0;           // its height, which is also the text bar's
    bool Platzieren = false; // a press asks for it to be shown with its lower-left corner at Platz
    QPoint Platz;
};

// Where the drawing picture may differ from what it was last known to equal: the undo
// snapshot's picture, or (after "Alles löschen" and the sheets) a background. The next
// snapshot then compares only these tiles. Kept by the functions of surface/sicherung.h alone.
struct Aenderungsstand
{
    std::vector<std::uint8_t> Kacheln; // per tile of 64 × 64 pixels, row by row: 1 = written
    std::int32_t Spalten = 0, Zeilen = 0;
    bool Alles = true;                // nothing is known: the next snapshot compares every tile
    qint64 BildSchluessel = 0;        // Img1Bmp.cacheKey() after the last recorded write
    bool GegenHintergrund = false;    // the tiles not written equal the background, not the snapshot
    qint64 HintergrundSchluessel = 0; // with GegenHintergrund: that background's cacheKey()
};

// Fields of the drawing surface, in declaration order. The drawing picture itself is
// `Img1Bmp`; the scalable zoom image shows it too, without a copy of its own: nothing draws
// into the picture while the magnifier or the zoom view is shown.
struct SurfaceState
{
    std::int32_t Sx = -1, Sy = -1;
    std::int32_t Lx = -1, Ly = -1;
    std::int32_t Ax = 0, Ay = 0;
    std::int32_t BakSx = 0, BakSy = 0, BakLx = 0, BakLy = 0;
    TShiftState MausShift = 0;
    TColor PipetteCol = 0;
    bool UmschaltFGedrueckt = false;
    // Where the next pen segment starts: a left press sets it; each pen segment moves it to
    // the segment's end.
    QPoint StiftPosition;
    QImage Img1Bmp;
    // Taken as the picture's own memory at its first write where it still shares the captured
    // screen: a copy of that screen that shares its pages until drawn on, or null.
    QImage Zeichenvorrat;
    TextEintragZustand Eintrag;
    Aenderungsstand Aenderungen;
};

// Process-wide settings with their compiled-in defaults. Each keeps its name when it is
// stored in the settings file (app/einstellungen.h).
struct Settings
{
    std::int32_t MauszeigerMode = 1;
    std::int32_t MonitorMode = 0;
    std::int32_t StiftdickeMode = 3;
    std::int32_t FarbMode = 1;
    bool AutoOpen = false;
    bool AutoClose = false;
    bool MausradZoom = true;
    bool AutoScreenshot = false;
    std::int32_t WerkzeugGroesseX = 25;
    std::int32_t WerkzeugGroesseY = 24;
    std::int32_t BlattLinienFrei = 25;
    std::int32_t BlattKariertFrei = 50;
    std::int32_t BlattNotenlinienFrei = 8;
    QString ScreenshotDir = QStringLiteral("%docdir%/Skizzomat/Screenshots");
    QString EmailDir = QStringLiteral("%docdir%/Skizzomat/Email");
    // The key that runs Start/Fertig from anywhere on the desktop, in Qt's portable form
    // ("Ctrl+Shift+F9"); empty for none.
    QString GlobaleTaste = QStringLiteral("Ctrl+Shift+F9");
    QString ExeDir; // set at start-up, with a trailing "/"; not persisted
    // Counters of this run, not persisted.
    std::int32_t ScreenshotNr = 0;
    std::int32_t EmailNr = 0;
};

extern Settings Cfg;

// --- Constant tables ---------------------------------------------------------------------

namespace Palette {
constexpr TColor Rot = 0x0000FF;
constexpr TColor Gelb = 0x00FFFF;
constexpr TColor Gruen = 0x00FF00;
constexpr TColor Blau = 0xFF0000;
constexpr TColor Weiss = 0xFFFFFF;
constexpr TColor Schwarz = 0x000000;
} // namespace Palette

// Stroke width per thickness level 1…4 (index 0 unused).
constexpr std::array<std::int32_t, 5> DickenTabelle{0, 3, 7, 13, 21};
// Zoom factor per zoom step 1…8 (index 0 unused).
constexpr std::array<float, 9> ZoomTabelle{0, 1, 2, 3, 4, 5, 6, 8, 10};

struct ToolModeInfo
{
    int Code;
    const char *Button;
    const char *Hint;
    const char *MenuItem;
    const char *Caption;
};

// Tool modes 1…15.
extern const std::array<ToolModeInfo, 15> ToolModes;

struct ColourCodeInfo
{
    int Code;
    const char *Button;
    const char *Hint;
    const char *MenuItem;
    const char *Caption;
    TColor Scol;
    TPenMode Smode;
};

// Colour codes 1…4 and 11…16 in tool-bar order of their selection handlers.
extern const std::array<ColourCodeInfo, 10> ColourCodes;

const ToolModeInfo *toolModeInfo(int code);
const ColourCodeInfo *colourCodeInfo(int code);
