#include "controls/bitbtnkind.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <array>

namespace {

constexpr int Zelle = 18;

const QColor Gruen(0, 128, 0);
const QColor Rot(192, 0, 0);
const QColor BlauTinte(0, 0, 160);
const QColor Braun(128, 64, 0);

QPen stift(const QColor &farbe, qreal breite)
{
    return QPen(farbe, breite, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void haken(QPainter &p, QPointF versatz = QPointF())
{
    p.setPen(stift(Gruen, 2.6));
    p.drawPolyline(
        QPolygonF({QPointF(3.5, 9.5) + versatz, QPointF(7, 13) + versatz, QPointF(14.5, 4.5) + versatz}));
}

void kreuz(QPainter &p, const QColor &farbe, qreal breite)
{
    p.setPen(stift(farbe, breite));
    p.drawLine(QPointF(4.5, 4.5), QPointF(13.5, 13.5));
    p.drawLine(QPointF(13.5, 4.5), QPointF(4.5, 13.5));
}

void pfeilspitze(QPainter &p, QPointF spitze, qreal winkelGrad, const QColor &farbe)
{
    QPainterPath kopf;
    kopf.moveTo(0, 0);
    kopf.lineTo(-5, -3.5);
    kopf.lineTo(-5, 3.5);
    kopf.closeSubpath();
    p.save();
    p.translate(spitze);
    p.rotate(winkelGrad);
    p.setPen(Qt::NoPen);
    p.fillPath(kopf, farbe);
    p.restore();
}

void fragezeichen(QPainter &p)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(100);
    QPainterPath pfad;
    pfad.addText(0, 0, f, QStringLiteral("?"));
    const QRectF box = pfad.boundingRect();
    const qreal mass = 14.0 / box.height();
    QTransform t;
    t.translate(9, 9);
    t.scale(mass, mass);
    t.translate(-box.center().x(), -box.center().y());
    p.fillPath(t.map(pfad), BlauTinte);
}

void zeichnen(QPainter &p, TBitBtnKind kind)
{
    switch (kind) {
    case bkOK:
    case bkYes:
        haken(p);
        break;
    case bkCancel:
        kreuz(p, Rot, 2.6);
        break;
    case bkHelp:
        fragezeichen(p);
        break;
    case bkNo:
        p.setPen(stift(Rot, 2));
        p.drawEllipse(QPointF(9, 9), 6, 6);
        p.drawLine(QPointF(5, 13), QPointF(13, 5));
        break;
    case bkClose:
        p.setPen(stift(Braun, 1.5));
        p.drawRect(QRectF(3, 2.5, 7.5, 13));
        p.setPen(stift(Gruen, 2));
        p.drawLine(QPointF(7.5, 9), QPointF(12, 9));
        pfeilspitze(p, QPointF(16.5, 9), 0, Gruen);
        break;
    case bkAbort:
        p.setPen(Qt::NoPen);
        p.setBrush(Rot);
        p.drawEllipse(QPointF(9, 9), 7.5, 7.5);
        p.setBrush(Qt::NoBrush);
        kreuz(p, Qt::white, 2);
        break;
    case bkRetry:
        p.setPen(stift(BlauTinte, 2));
        p.drawArc(QRectF(3.5, 3.5, 11, 11), 90 * 16, 270 * 16);
        pfeilspitze(p, QPointF(12.5, 4.2), 0, BlauTinte);
        break;
    case bkIgnore: {
        p.setPen(stift(Qt::darkGray, 2));
        p.drawLine(QPointF(9, 8), QPointF(9, 16));
        QPainterPath bogen(QPointF(3, 14));
        bogen.cubicTo(QPointF(3, 3), QPointF(13, 2), QPointF(14, 10));
        p.setPen(stift(BlauTinte, 2));
        p.drawPath(bogen);
        pfeilspitze(p, QPointF(14.6, 15), 80, BlauTinte);
        break;
    }
    case bkAll:
        haken(p, QPointF(-1.5, 0));
        haken(p, QPointF(2.5, 4));
        break;
    case bkCustom:
        break;
    }
}

// A disabled look made from the picture's dark parts (light parts, like the cross on a red
// disc, stay open): white one pixel right and down, grey on top.
QImage gepraegt(const QImage &bild)
{
    QImage form(bild.size(), QImage::Format_ARGB32);
    form.fill(Qt::transparent);
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x) {
            const QRgb c = bild.pixel(x, y);
            if (qGray(c) < 200)
                form.setPixel(x, y, qRgba(0, 0, 0, qAlpha(c)));
        }
    QImage ergebnis(bild.size(), QImage::Format_ARGB32_Premultiplied);
    ergebnis.fill(Qt::transparent);
    QPainter p(&ergebnis);
    for (const auto &[versatz, farbe] :
         {std::pair{1, QColor(255, 255, 255)}, std::pair{0, QColor(128, 128, 128)}}) {
        QImage schicht = form;
        QPainter s(&schicht);
        s.setCompositionMode(QPainter::CompositionMode_SourceIn);
        s.fillRect(schicht.rect(), farbe);
        s.end();
        p.drawImage(versatz, versatz, schicht);
    }
    return ergebnis;
}

QImage streifen(TBitBtnKind kind)
{
    const int hoehe = kind == bkAll ? Zelle + 1 : Zelle;
    QImage auf(Zelle, hoehe, QImage::Format_ARGB32_Premultiplied);
    auf.fill(Qt::transparent);
    {
        QPainter p(&auf);
        p.setRenderHint(QPainter::Antialiasing);
        zeichnen(p, kind);
    }
    QImage bild(2 * Zelle, hoehe, QImage::Format_ARGB32_Premultiplied);
    bild.fill(Qt::transparent);
    QPainter p(&bild);
    p.drawImage(0, 0, auf);
    p.drawImage(Zelle, 0, gepraegt(auf));
    return bild;
}

} // namespace

TBitBtnKindWerte kindWerte(TBitBtnKind kind)
{
    switch (kind) {
    case bkOK:
        return {true, false, mrOk};
    case bkCancel:
        return {false, true, mrCancel};
    case bkYes:
        return {true, false, mrYes};
    case bkNo:
        return {false, true, mrNo};
    case bkAbort:
        return {false, false, mrAbort};
    case bkRetry:
        return {false, false, mrRetry};
    case bkIgnore:
        return {false, false, mrIgnore};
    case bkAll:
        return {false, false, mrAll};
    case bkCustom:
    case bkHelp:
    case bkClose:
        break;
    }
    return {false, false, mrNone};
}

const QImage &kindGlyph(TBitBtnKind kind)
{
    static std::array<QImage, bkAll + 1> bilder;
    QImage &bild = bilder[kind];
    if (bild.isNull() && kind != bkCustom)
        bild = streifen(kind);
    return bild;
}
