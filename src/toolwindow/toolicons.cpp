#include "toolwindow/toolicons.h"

#include <QFont>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPixmap>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// Every image is drawn on a square grid of 24 × 24 units that is scaled to the requested size.
constexpr qreal GridUnits = 24.0;

const QColor Ink(34, 34, 34);
// A light rim around the dark outlines keeps them visible on dark button faces; on light faces
// it disappears into the background.
const QColor Halo(255, 255, 255, 150);
const QColor Paper(255, 255, 255);
const QColor Fold(205, 205, 205);

// A painter whose coordinates are grid units, together with the size of one unit in pixels.
struct Canvas
{
    QPainter &p;
    qreal pixelsPerUnit;

    // A line width in grid units, rounded to whole pixels and never thinner than one pixel.
    qreal width(qreal units) const
    {
        return std::max(1.0, std::round(units * pixelsPerUnit)) / pixelsPerUnit;
    }
    qreal haloWidth() const { return std::max(0.9, 1.0 / pixelsPerUnit); }

    // A coordinate moved so that a line of the given width centred on it covers whole pixels.
    qreal snap(qreal units, qreal lineWidth) const
    {
        const qreal half = lineWidth * pixelsPerUnit / 2;
        return (std::round(units * pixelsPerUnit - half) + half) / pixelsPerUnit;
    }
    QRectF snap(const QRectF &r, qreal lineWidth) const
    {
        return QRectF(QPointF(snap(r.left(), lineWidth), snap(r.top(), lineWidth)),
                      QPointF(snap(r.right(), lineWidth), snap(r.bottom(), lineWidth)));
    }

    // Edges of filled shapes moved onto pixel boundaries, which keeps their outlines sharp.
    qreal px(qreal units) const { return std::round(units * pixelsPerUnit) / pixelsPerUnit; }
    QPointF px(QPointF p) const { return {px(p.x()), px(p.y())}; }
    QRectF px(const QRectF &r) const { return snap(r, 0); }
};

using IconPainter = void (*)(Canvas &);

QPen roundPen(const QColor &color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// The area covered by a line of the given width along a path.
QPainterPath strokeArea(const QPainterPath &path, qreal width, Qt::PenCapStyle cap = Qt::RoundCap)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(cap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path);
}

// The area covered by either shape. The shapes are only added up, not merged, so that round
// parts stay curves; the painting below never shows the inner edges.
QPainterPath combined(QPainterPath a, const QPainterPath &b)
{
    a.addPath(b);
    a.setFillRule(Qt::WindingFill);
    return a;
}

// A dark shape without an outline of its own.
void solid(Canvas &c, const QPainterPath &shape, const QColor &color = Ink)
{
    c.p.strokePath(shape, roundPen(Halo, 2 * c.haloWidth()));
    c.p.fillPath(shape, color);
}

constexpr qreal DefaultOutline = 1.4;

// A filled shape with a dark outline of the given width around it. The outline is drawn twice
// as wide beneath the fill, which covers its inner half.
void outlined(Canvas &c, const QPainterPath &shape, const QBrush &fill, qreal outline = DefaultOutline)
{
    const qreal w = c.width(outline);
    c.p.strokePath(shape, roundPen(Halo, 2 * w + 2 * c.haloWidth()));
    c.p.strokePath(shape, roundPen(Ink, 2 * w));
    c.p.fillPath(shape, fill);
}

// A coloured line with a dark outline.
void outlinedLine(Canvas &c, const QPainterPath &path, qreal width, const QColor &color)
{
    outlined(c, strokeArea(path, width), color, 1.1);
}

QPainterPath line(QPointF from, QPointF to)
{
    QPainterPath path(from);
    path.lineTo(to);
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath rect(const QRectF &r, qreal radius = 0)
{
    QPainterPath path;
    if (radius > 0)
        path.addRoundedRect(r, radius, radius);
    else
        path.addRect(r);
    return path;
}

QPainterPath rect(qreal x, qreal y, qreal w, qreal h, qreal radius = 0)
{
    return rect(QRectF(x, y, w, h), radius);
}

QPainterPath ellipse(QPointF centre, qreal rx, qreal ry)
{
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    return path;
}

// A triangular arrow head with its point at tip, pointing away from from.
QPainterPath arrowHead(QPointF tip, QPointF from, qreal length, qreal halfWidth)
{
    QLineF axis(tip, from);
    axis.setLength(length);
    const QPointF base = axis.p2();
    QLineF normal = axis.normalVector();
    normal.setLength(halfWidth);
    const QPointF side = normal.p2() - normal.p1();
    return polygon({tip, base + side, base - side});
}

// The point on the way from a to b at the given distance from a.
QPointF towards(QPointF a, QPointF b, qreal distance)
{
    QLineF l(a, b);
    l.setLength(distance);
    return l.p2();
}

// A glyph of a bold sans-serif font, scaled so that its outline is height units tall and centred.
QPainterPath glyph(const QString &text, QPointF centre, qreal height)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(100);
    font.setBold(true);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF box = path.boundingRect();
    const qreal scale = height / box.height();
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(scale, scale);
    t.translate(-box.center().x(), -box.center().y());
    return t.map(path);
}

// ---- Stroke thickness -------------------------------------------------------------------

void thickness(Canvas &c, int level)
{
    // Each level is at least one pixel thicker than the one before, even at the smallest size.
    static constexpr qreal widths[] = {1.2, 2.6, 4.6, 7.2};
    const qreal w = std::max(c.width(widths[level - 1]), level / c.pixelsPerUnit);
    const qreal y = c.snap(12, w);
    solid(c, strokeArea(line({5, y}, {19, y}), w));
}

// ---- Colours ----------------------------------------------------------------------------

// A translucent band of marker ink across two lines of text, like a highlighter stroke.
void marker(Canvas &c, const QColor &color)
{
    const qreal w = c.width(1.6);
    QPainterPath text = strokeArea(line({5, c.snap(9, w)}, {19, c.snap(9, w)}), w);
    text.addPath(strokeArea(line({5, c.snap(15, w)}, {15, c.snap(15, w)}), w));
    solid(c, text);
    QColor ink = color;
    ink.setAlpha(135);
    c.p.fillPath(polygon({{4, 5}, {22, 5}, {20, 19}, {2, 19}}), ink);
}

// An opaque, outlined swatch of paint.
void swatch(Canvas &c, const QColor &color)
{
    outlined(c, rect(c.px(QRectF(5, 5, 14, 14)), 1.5), color);
}

// ---- Drawing tools ----------------------------------------------------------------------

void pen(Canvas &c)
{
    c.p.save();
    c.p.translate(12, 12);
    c.p.rotate(-45);
    outlined(c, polygon({{-10, 0}, {-5, -3}, {-5, 3}}), QColor(240, 205, 160));
    c.p.fillPath(polygon({{-10, 0}, {-7.6, -1.45}, {-7.6, 1.45}}), Ink);
    outlined(c, rect(-5, -3, 12.5, 6), QColor(255, 195, 30));
    c.p.strokePath(line({-5, 0}, {7.5, 0}), roundPen(QColor(200, 140, 0), c.width(0.8)));
    outlined(c, rect(7.5, -3, 3, 6, 0.8), QColor(235, 120, 140));
    c.p.restore();
}

void eraser(Canvas &c)
{
    const qreal w = c.width(1.4);
    solid(c, strokeArea(line({3, c.snap(21, w)}, {21, c.snap(21, w)}), w));
    c.p.save();
    c.p.translate(12.5, 12.5);
    c.p.rotate(-40);
    outlined(c, rect(-1, -4, 10, 8, 1), QColor(90, 140, 215));
    outlined(c, rect(-9, -4, 8, 8, 1), QColor(245, 130, 150));
    c.p.restore();
}

void straightLine(Canvas &c)
{
    solid(c, strokeArea(line({4, 20}, {20, 4}), c.width(2.4)));
}

void arrow(Canvas &c)
{
    const QPointF from(4, 20), tip(21, 3);
    solid(c, combined(strokeArea(line(from, towards(tip, from, 5)), c.width(2.4)),
                      arrowHead(tip, from, 8, 4.5)));
}

void doubleArrow(Canvas &c)
{
    const QPointF a(3, 21), b(21, 3);
    const QPainterPath shaft = strokeArea(line(towards(a, b, 5), towards(b, a, 5)), c.width(2.4));
    solid(c, combined(combined(shaft, arrowHead(a, b, 7.5, 4.3)), arrowHead(b, a, 7.5, 4.3)));
}

const QColor ShapeFill(100, 150, 205);

void rectangle(Canvas &c)
{
    const qreal w = c.width(2.2);
    solid(c, strokeArea(rect(c.snap(QRectF(3, 6, 18, 12), w)), w, Qt::SquareCap));
}

void filledRectangle(Canvas &c)
{
    outlined(c, rect(c.px(QRectF(4, 7, 16, 10))), ShapeFill, 2.0);
}

void ellipseOutline(Canvas &c)
{
    solid(c, strokeArea(ellipse({12, 12}, 9.5, 6.8), c.width(2.2)));
}

void filledEllipse(Canvas &c)
{
    outlined(c, ellipse({12, 12}, 8.5, 5.8), ShapeFill, 2.0);
}

void text(Canvas &c)
{
    solid(c, glyph(QStringLiteral("A"), {12, 12}, 19));
}

void checkMark(Canvas &c)
{
    QPainterPath path({3.5, 12.5});
    path.lineTo(9, 18);
    path.lineTo(20.5, 5.5);
    outlinedLine(c, path, 4.2, QColor(30, 175, 50));
}

void cross(Canvas &c)
{
    const QPainterPath shape =
        combined(strokeArea(line({5, 5}, {19, 19}), 4.2), strokeArea(line({19, 5}, {5, 19}), 4.2));
    outlined(c, shape, QColor(225, 30, 30), 1.1);
}

void selection(Canvas &c)
{
    const qreal w = c.width(1.6);
    const QPainterPath frame = rect(c.snap(QRectF(3, 5, 18, 14), w));
    c.p.strokePath(frame, QPen(Paper, w + 2 * c.haloWidth(), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    QPen dashes(Ink, w, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    const qreal dash = 3.0 / w; // the pattern counts in line widths
    dashes.setDashPattern({dash, dash});
    c.p.strokePath(frame, dashes);
}

// ---- Magnifier --------------------------------------------------------------------------

enum class Zoom { None, In, Out };

void magnifier(Canvas &c, Zoom zoom)
{
    const QPointF centre(9.5, 9.5);
    outlinedLine(c, line({15, 15}, {20.5, 20.5}), 3.6, QColor(120, 80, 45));
    const QPainterPath lens = ellipse(centre, 7.2, 7.2);
    const QPainterPath rim = strokeArea(lens, 2.2);
    c.p.strokePath(rim, roundPen(Halo, 2 * c.haloWidth()));
    c.p.fillPath(lens, QColor(205, 230, 255, 215));
    c.p.fillPath(rim, Ink);
    if (zoom == Zoom::None)
        return;
    QPainterPath sign = strokeArea(line({6, 9.5}, {13, 9.5}), 2.2, Qt::FlatCap);
    if (zoom == Zoom::In)
        sign = combined(sign, strokeArea(line({9.5, 6}, {9.5, 13}), 2.2, Qt::FlatCap));
    c.p.fillPath(sign, Ink);
}

// ---- Commands ---------------------------------------------------------------------------

void undo(Canvas &c)
{
    QPainterPath path({8, 8});
    path.lineTo(14, 8);
    path.cubicTo(21.5, 8, 21.5, 19.5, 14, 19.5);
    path.lineTo(9, 19.5);
    const QPainterPath shape = combined(strokeArea(path, 3.0), arrowHead({2, 8}, {9, 8}, 7, 5.2));
    outlined(c, shape, QColor(45, 110, 210), 1.1);
}

// A page with a dog-eared top right corner.
void page(Canvas &c, qreal left, qreal right)
{
    left = c.px(left);
    right = c.px(right);
    const qreal fold = c.px(5), top = c.px(2), bottom = c.px(22);
    outlined(
        c, polygon({{left, top}, {right - fold, top}, {right, top + fold}, {right, bottom}, {left, bottom}}),
        Paper);
    outlined(c, polygon({{right - fold, top}, {right - fold, top + fold}, {right, top + fold}}), Fold, 1.1);
}

void blankPage(Canvas &c)
{
    page(c, 4.5, 19.5);
}

void clearAll(Canvas &c)
{
    page(c, 2.5, 17.5);
    QPainterPath scribble({5, 8});
    scribble.cubicTo(8, 4, 9, 13, 13, 8);
    c.p.strokePath(scribble, roundPen(QColor(225, 30, 30), c.width(1.5)));
    QPainterPath scribble2({5, 13});
    scribble2.cubicTo(7, 10, 9, 16, 11, 13);
    c.p.strokePath(scribble2, roundPen(QColor(40, 100, 220), c.width(1.5)));

    // A broom sweeping across the page.
    c.p.save();
    c.p.translate(14, 14);
    c.p.rotate(45);
    outlined(c, rect(-1, -12, 2, 12, 0.6), QColor(160, 105, 55), 1.0);
    outlined(c, polygon({{-2.2, 0}, {2.2, 0}, {4.8, 8}, {-4.8, 8}}), QColor(240, 190, 60), 1.1);
    c.p.strokePath(line({0, 1.5}, {0, 8}), roundPen(QColor(170, 120, 20), c.width(0.8)));
    outlined(c, rect(-2.6, -1, 5.2, 2.2, 0.5), QColor(190, 40, 40), 1.0);
    c.p.restore();
}

void clipboard(Canvas &c)
{
    outlined(c, rect(c.px(QRectF(4, 3, 16, 19.5)), 1.8), QColor(180, 125, 70));
    c.p.fillPath(rect(c.px(QRectF(7, 7, 10, 12.5))), Paper);
    const qreal w = c.width(1.0);
    for (qreal y : {10.5, 13.5, 16.5})
        c.p.strokePath(line({8.8, c.snap(y, w)}, {15.2, c.snap(y, w)}), roundPen(QColor(130, 130, 130), w));
    outlined(c, rect(c.px(QRectF(8, 1.5, 8, 4)), 1), QColor(185, 185, 190), 1.1);
}

void printer(Canvas &c)
{
    outlined(c, rect(c.px(QRectF(6.5, 2, 11, 8))), Paper, 1.2);
    outlined(c, rect(c.px(QRectF(2.5, 8, 19, 9.5)), 1.8), QColor(140, 140, 150));
    c.p.fillPath(ellipse({18.5, 10.8}, 1.1, 1.1), QColor(40, 220, 60));
    outlined(c, rect(c.px(QRectF(6, 14, 12, 7.5))), Paper, 1.2);
    const qreal w = c.width(1.0);
    for (qreal y : {17.0, 19.5})
        c.p.strokePath(line({8, c.snap(y, w)}, {16, c.snap(y, w)}), roundPen(QColor(120, 120, 120), w));
}

void floppy(Canvas &c)
{
    const QColor plastic(45, 95, 180);
    outlined(c, polygon({c.px({3, 3}), c.px({18, 3}), c.px({21, 6}), c.px({21, 21}), c.px({3, 21})}),
             plastic);
    outlined(c, rect(c.px(QRectF(7, 3, 10, 6.5))), QColor(215, 215, 220), 1.1);
    c.p.fillPath(rect(c.px(QRectF(13, 4.3, 2.2, 4))), plastic);
    outlined(c, rect(c.px(QRectF(6, 13, 12, 8))), Paper, 1.1);
}

void envelope(Canvas &c)
{
    outlined(c, rect(c.px(QRectF(2.5, 5.5, 19, 13)), 0.8), QColor(255, 250, 230));
    QPainterPath flap({2.8, 6});
    flap.lineTo(12, 13.5);
    flap.lineTo(21.2, 6);
    c.p.strokePath(flap, roundPen(Ink, c.width(1.3)));
}

void info(Canvas &c)
{
    outlined(c, ellipse({12, 12}, 9.6, 9.6), QColor(40, 110, 215));
    c.p.fillPath(ellipse({12, 6.8}, 1.9, 1.9), Paper);
    c.p.fillPath(rect(10.4, 9.8, 3.2, 9, 0.6), Paper);
}

// ---- The program ------------------------------------------------------------------------

// A monitor with a highlighter stroke and a red circle drawn on its frozen picture.
void programm(Canvas &c)
{
    outlined(c, rect(c.px(QRectF(9, 19, 6, 3)), 0.6), QColor(150, 150, 150));
    outlined(c, rect(c.px(QRectF(1.5, 2.5, 21, 16)), 1.5), QColor(70, 80, 95));
    c.p.fillPath(rect(c.px(QRectF(3.5, 4.5, 17, 12))), QColor(215, 235, 250));
    QColor gelb(255, 230, 0);
    gelb.setAlpha(170);
    c.p.strokePath(line({5.5, 13.5}, {13, 13.5}), QPen(gelb, 3, Qt::SolidLine, Qt::FlatCap));
    c.p.strokePath(ellipse({14, 9}, 4.2, 3), roundPen(QColor(220, 30, 30), c.width(1.2)));
}

// ---- The catalogue ----------------------------------------------------------------------

struct IconEntry
{
    const char *name;
    IconPainter paint;
};

// clang-format off
const IconEntry Icons[] = {
    {"Dicke1Btn", [](Canvas &c) { thickness(c, 1); }},
    {"Dicke2Btn", [](Canvas &c) { thickness(c, 2); }},
    {"Dicke3Btn", [](Canvas &c) { thickness(c, 3); }},
    {"Dicke4Btn", [](Canvas &c) { thickness(c, 4); }},
    {"MarkCol1Btn", [](Canvas &c) { marker(c, QColor(255, 0, 0)); }},
    {"MarkCol2Btn", [](Canvas &c) { marker(c, QColor(255, 255, 0)); }},
    {"MarkCol3Btn", [](Canvas &c) { marker(c, QColor(0, 255, 0)); }},
    {"MarkCol4Btn", [](Canvas &c) { marker(c, QColor(0, 0, 255)); }},
    {"DeckCol1Btn", [](Canvas &c) { swatch(c, QColor(255, 0, 0)); }},
    {"DeckCol2Btn", [](Canvas &c) { swatch(c, QColor(255, 255, 0)); }},
    {"DeckCol3Btn", [](Canvas &c) { swatch(c, QColor(0, 255, 0)); }},
    {"DeckCol4Btn", [](Canvas &c) { swatch(c, QColor(0, 0, 255)); }},
    {"DeckCol5Btn", [](Canvas &c) { swatch(c, QColor(255, 255, 255)); }},
    {"DeckCol6Btn", [](Canvas &c) { swatch(c, QColor(0, 0, 0)); }},
    {"StiftBtn", pen},
    {"SchwammBtn", eraser},
    {"LinieBtn", straightLine},
    {"PfeilBtn", arrow},
    {"RechteckBtn", rectangle},
    {"RechteckGefuelltBtn", filledRectangle},
    {"EllipseBtn", ellipseOutline},
    {"EllipseGefuelltBtn", filledEllipse},
    {"DoppelpfeilBtn", doubleArrow},
    {"TextBtn", text},
    {"HaekchenBtn", checkMark},
    {"KreuzBtn", cross},
    {"BereichBtn", selection},
    {"LupeBtn", [](Canvas &c) { magnifier(c, Zoom::None); }},
    {"ZoomInBtn", [](Canvas &c) { magnifier(c, Zoom::In); }},
    {"ZoomOutBtn", [](Canvas &c) { magnifier(c, Zoom::Out); }},
    {"RueckgaengigBtn", undo},
    {"ClearBtn", clearAll},
    {"BlattBtn", blankPage},
    {"ClipBtn", clipboard},
    {"DruckBtn", printer},
    {"SaveBtn", floppy},
    {"EmailBtn", envelope},
    {"InfoBtn", info},
};
// clang-format on

// ---- The engine -------------------------------------------------------------------------

// Paints one of the images above at whatever size it is asked for.
class PaintedIconEngine final : public QIconEngine
{
public:
    explicit PaintedIconEngine(IconPainter painter) : m_painter(painter) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        if (mode == QIcon::Disabled) {
            painter->drawImage(rect, render(rect.size(), mode));
            return;
        }
        painter->save();
        draw(*painter, rect);
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        return QPixmap::fromImage(render(size, mode));
    }

    QIconEngine *clone() const override { return new PaintedIconEngine(m_painter); }
    QString key() const override { return QStringLiteral("SkizzomatPaintedIcon"); }

private:
    // Centres the square grid in rect, as large as fits.
    void draw(QPainter &painter, const QRectF &rect) const
    {
        const qreal side = std::min(rect.width(), rect.height());
        if (side <= 0)
            return;
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        // Whole-pixel offset, so that lines placed on pixel boundaries stay there.
        painter.translate(std::round(rect.center().x() - side / 2), std::round(rect.center().y() - side / 2));
        painter.scale(side / GridUnits, side / GridUnits);
        Canvas canvas{painter, side / GridUnits};
        m_painter(canvas);
    }

    QImage render(const QSize &size, QIcon::Mode mode) const
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        if (image.isNull())
            return image;
        {
            QPainter painter(&image);
            draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
        }
        if (mode == QIcon::Disabled) {
            // Grey and faint, like the images of inactive buttons elsewhere.
            for (int y = 0; y < image.height(); ++y) {
                auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb px = row[x];
                    const int grey = qGray(px) * 2 / 5;
                    row[x] = qRgba(grey, grey, grey, qAlpha(px) * 2 / 5);
                }
            }
        }
        return image;
    }

    IconPainter m_painter;
};

} // namespace

QIcon programmIcon()
{
    return QIcon(new PaintedIconEngine(programm));
}

QIcon toolIcon(const QString &buttonName)
{
    const auto it = std::find_if(std::begin(Icons), std::end(Icons),
                                 [&](const IconEntry &e) { return buttonName == QLatin1String(e.name); });
    if (it == std::end(Icons))
        return {};
    return QIcon(new PaintedIconEngine(it->paint));
}
