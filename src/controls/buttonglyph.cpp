#include "controls/buttonglyph.h"

#include "controls/glyphcache.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

namespace {

constexpr QRgb Oliv = qRgb(128, 128, 0);
constexpr int TextFlags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;

QColor knopfFlaeche()
{
    return QGuiApplication::palette().color(QPalette::Active, QPalette::Button);
}

int pixelAus(int punkte)
{
    return qMax(1, qRound(punkte * 96 / 72.0));
}

} // namespace

QFont captionFont(const QFont &font, const QString &caption, int width)
{
    QFont f = font;
    int punkte;
    if (font.pixelSize() > 0) {
        punkte = qRound(font.pixelSize() * 72 / 96.0);
    } else {
        punkte = qRound(font.pointSizeF());
        f.setPixelSize(pixelAus(punkte));
    }
    const auto zuBreit = [&] {
        return QFontMetrics(f).size(Qt::TextSingleLine | Qt::TextShowMnemonic, caption).width() > width;
    };
    while (punkte > 1 && zuBreit())
        f.setPixelSize(pixelAus(--punkte));
    return f;
}

TButtonGlyph::TButtonGlyph() : FTransparentColor(Oliv)
{
    if (!GlyphCache)
        GlyphCache = new TGlyphCache;
}

TButtonGlyph::~TButtonGlyph()
{
    Invalidate();
    if (GlyphCache && GlyphCache->Empty()) {
        delete GlyphCache;
        GlyphCache = nullptr;
    }
}

void TButtonGlyph::changed()
{
    if (OnChange)
        OnChange();
}

void TButtonGlyph::setGlyph(const QImage &strip)
{
    Invalidate();
    FOriginal = strip;
    FTransparentColor = strip.isNull() ? Oliv : strip.pixel(0, strip.height() - 1);
    changed();
}

void TButtonGlyph::setNumGlyphs(int anzahl)
{
    if (anzahl < 1)
        return;
    anzahl = qMin(anzahl, 4);
    if (anzahl == FNumGlyphs)
        return;
    Invalidate();
    FNumGlyphs = anzahl;
    changed();
}

void TButtonGlyph::setChecked(bool an)
{
    if (an == FChecked)
        return;
    FChecked = an;
    changed();
}

void TButtonGlyph::setSelColor(TColor farbe)
{
    if (farbe == FSelColor)
        return;
    FSelColor = farbe;
    changed();
}

void TButtonGlyph::Invalidate()
{
    for (int &index : FIndexs) {
        if (index != -1)
            FGlyphList->Delete(index);
        index = -1;
    }
    if (FGlyphList && GlyphCache)
        GlyphCache->ReturnList(FGlyphList);
    FGlyphList = nullptr;
}

int TButtonGlyph::CreateButtonGlyph(TButtonState state, QSize size, bool transparent)
{
    if (FIndexs[state] != -1 || state == bsDisabled)
        return FIndexs[state];
    const int zellenBreite = FOriginal.width() / FNumGlyphs;
    if (zellenBreite <= 0 || FOriginal.height() <= 0 || size.isEmpty())
        return -1;
    if (!GlyphCache)
        GlyphCache = new TGlyphCache;
    if (!FGlyphList)
        FGlyphList = GlyphCache->GetList(size.width(), size.height());

    const int quelle = state < FNumGlyphs ? state : 0;
    QImage zelle = FOriginal.copy(quelle * zellenBreite, 0, zellenBreite, FOriginal.height())
                       .convertToFormat(QImage::Format_ARGB32);
    if (transparent) {
        const QRgb flaeche = knopfFlaeche().rgb();
        for (int y = 0; y < zelle.height(); ++y) {
            auto *zeile = reinterpret_cast<QRgb *>(zelle.scanLine(y));
            for (int x = 0; x < zelle.width(); ++x)
                if (zeile[x] == FTransparentColor)
                    zeile[x] = flaeche;
        }
    }
    FIndexs[state] = FGlyphList->Add(zelle.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    return FIndexs[state];
}

QRect TButtonGlyph::Draw(QPainter &p, const QRect &client, const QString &caption, int margin,
                         TButtonState state, int shadow, bool transparent, int style3D)
{
    const int w = client.width(), h = client.height();
    QRect text = caption.isEmpty() ? QRect() : QRect(client.left() + 2, client.top() + 2, w - 4, h - 4);
    QRect bild(client.left() + margin + 2, client.top() + 2, w - 4, h - 4);
    if (state == bsDown) {
        bild.translate(1, 1);
        text.translate(1, 1);
    }
    if (style3D == 1)
        bild.adjust(-1, -1, 0, 0);
    DrawButtonGlyph(p, bild, state, transparent);
    DrawButtonText(p, caption, text, state, shadow);
    return text;
}

void TButtonGlyph::DrawButtonGlyph(QPainter &p, const QRect &wo, TButtonState state, bool transparent)
{
    if (FOriginal.isNull())
        return;
    if (state == bsDown && FNumGlyphs < 3)
        state = bsUp;
    const int index = CreateButtonGlyph(state, wo.size(), transparent);
    if (index < 0)
        return;
    FGlyphList->Draw(p, index, wo.topLeft(), wo.size(), FChecked, QColor::fromRgb(toQRgb(FSelColor)));
}

void TButtonGlyph::DrawButtonText(QPainter &p, const QString &caption, QRect t, TButtonState state,
                                  int shadow)
{
    if (t.isEmpty())
        return;
    const QFont schrift = p.font();
    const QPen stift = p.pen();
    p.setFont(captionFont(schrift, caption, t.width()));
    if (state == bsDisabled) {
        p.setPen(QColor(255, 255, 255));
        p.drawText(t.translated(1, 1), TextFlags, caption);
        p.setPen(QColor(128, 128, 128));
    } else {
        p.setPen(QColor(0, 0, 0));
        p.drawText(t.translated(shadow, shadow), TextFlags, caption);
        p.setPen(stift.color());
    }
    p.drawText(t, TextFlags, caption);
    p.setFont(schrift);
    p.setPen(stift);
}
