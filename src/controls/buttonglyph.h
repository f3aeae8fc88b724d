// Picture and caption of a self-painted push button. The picture strip holds up to four cells
// of equal width side by side (up, disabled, pressed, exclusive); a cell is stretched over the
// button's face, prepared once per size into a shared image list (see glyphcache.h).
#pragma once

#include "app/data.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <array>
#include <functional>

class QPainter;
class TGlyphList;

enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// The font a caption is drawn in to fit the width: the given font made smaller one point at a
// time while the line is too wide, down to 1 point ("&" marks the next letter and takes no room).
// Sizes in points are taken at 96 dpi.
QFont captionFont(const QFont &font, const QString &caption, int width);

class TButtonGlyph
{
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph &) = delete;
    TButtonGlyph &operator=(const TButtonGlyph &) = delete;

    const QImage &Glyph() const { return FOriginal; }
    void setGlyph(const QImage &strip);
    // 1 to 4; more is taken as 4, less is ignored.
    int NumGlyphs() const { return FNumGlyphs; }
    void setNumGlyphs(int anzahl);
    // A checked picture is drawn blended half with SelColor.
    bool Checked() const { return FChecked; }
    void setChecked(bool an);
    TColor SelColor() const { return FSelColor; }
    void setSelColor(TColor farbe);
    // The colour that Transparent replaces by the button face: the strip's bottom-left pixel.
    QRgb TransparentColor() const { return FTransparentColor; }

    // Called whenever the look changes.
    std::function<void()> OnChange;

    // Draws picture and caption into the client rectangle with the painter's font; the caption's
    // colour is the painter's pen colour. Returns the rectangle the caption was centred in.
    QRect Draw(QPainter &p, const QRect &client, const QString &caption, int margin, TButtonState state,
               int shadow, bool transparent, int style3D);

    // Prepares the picture of a state at the given size unless it is prepared; returns its cell
    // in List(), or -1 for none (no strip, or the disabled state, which shows no picture).
    int CreateButtonGlyph(TButtonState state, QSize size, bool transparent);
    // Discards the prepared pictures and gives the list back to the cache.
    void Invalidate();

    int Cell(TButtonState state) const { return FIndexs[state]; }
    TGlyphList *List() const { return FGlyphList; }

private:
    void DrawButtonGlyph(QPainter &p, const QRect &wo, TButtonState state, bool transparent);
    void DrawButtonText(QPainter &p, const QString &caption, QRect t, TButtonState state, int shadow);
    void changed();

    QImage FOriginal;
    TGlyphList *FGlyphList = nullptr;
    std::array<int, 4> FIndexs{-1, -1, -1, -1};
    QRgb FTransparentColor;
    int FNumGlyphs = 1;
    bool FChecked = false;
    TColor FSelColor = Palette::Weiss;
};
