#include "controls/shadowlabel.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int KleinstePunkte = 7;

int punkteVon(const QFont &font)
{
    if (font.pixelSize() > 0)
        return qRound(font.pixelSize() * 72 / 96.0);
    return qRound(font.pointSizeF());
}

QFont mitPunkten(QFont font, int punkte)
{
    font.setPixelSize(qRound(punkte * 96 / 72.0));
    return font;
}

QSize messen(const QFont &font, QSize box, int flags, const QString &text)
{
    return QFontMetrics(font).boundingRect(QRect(QPoint(0, 0), box), flags, text).size();
}

bool zuGross(QSize gemessen, QSize box)
{
    return gemessen.width() > box.width() || gemessen.height() > box.height();
}

// Blanks and control characters at both ends go.
QString gestutzt(const QString &s)
{
    qsizetype a = 0, e = s.size();
    while (a < e && s.at(a) <= QLatin1Char(' '))
        ++a;
    while (e > a && s.at(e - 1) <= QLatin1Char(' '))
        --e;
    return s.mid(a, e - a);
}

} // namespace

ShadowLabelSatz shadowLabelSatz(const QString &caption, const QFont &font, QSize box, Qt::Alignment alignment,
                                bool wordWrap, bool autoSize)
{
    ShadowLabelSatz z;
    z.Text = QString(caption).replace(QLatin1Char('|'), QLatin1Char('\n'));
    z.Punkte = punkteVon(font);
    z.Font = font.pixelSize() > 0 ? font : mitPunkten(font, z.Punkte);
    const Qt::Alignment waagerecht = alignment & (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter);
    z.Flags = int(waagerecht ? waagerecht : Qt::AlignLeft) | Qt::TextExpandTabs | Qt::TextShowMnemonic |
              (wordWrap ? Qt::TextWordWrap : 0);

    if (!autoSize) {
        QSize gemessen = messen(z.Font, box, z.Flags, z.Text);
        while (zuGross(gemessen, box) && z.Punkte > KleinstePunkte) {
            z.Font = mitPunkten(font, --z.Punkte);
            gemessen = messen(z.Font, box, z.Flags, z.Text);
        }
        QString schluss;
        while (zuGross(gemessen, box) && !z.Text.isEmpty()) {
            z.Text = gestutzt(z.Text);
            const qsizetype blank = z.Text.lastIndexOf(QLatin1Char(' '));
            z.Text = blank < 0 ? QString() : z.Text.left(blank);
            schluss = z.Text.isEmpty() ? QStringLiteral("...") : QStringLiteral(" ...");
            gemessen = messen(z.Font, box, z.Flags, z.Text + schluss);
        }
        z.Text += schluss;
    }

    z.Rect = QRect(QPoint(0, 0), box);
    const Qt::Alignment senkrecht = alignment & (Qt::AlignTop | Qt::AlignBottom | Qt::AlignVCenter);
    if (senkrecht == Qt::AlignBottom || senkrecht == Qt::AlignVCenter) {
        const int frei = box.height() - messen(z.Font, box, z.Flags, z.Text).height();
        z.Rect.translate(0, qMax(0, senkrecht == Qt::AlignBottom ? frei : frei / 2));
    }
    return z;
}

TShadowLabel::TShadowLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    resize(120, 30);
    setText(QStringLiteral("ShadowLabel"));
}

void TShadowLabel::setShadow(int pixel)
{
    if (pixel == m_shadow)
        return;
    m_shadow = pixel;
    repaint();
}

void TShadowLabel::setShadowColor(TColor farbe)
{
    if (farbe == m_shadowColor)
        return;
    m_shadowColor = farbe;
    repaint();
}

void TShadowLabel::setAutoSize(bool an)
{
    m_autoSize = an;
    updateGeometry();
    if (an)
        adjustSize();
    update();
}

void TShadowLabel::setTransparent(bool an)
{
    m_transparent = an;
    update();
}

ShadowLabelSatz TShadowLabel::satz() const
{
    return shadowLabelSatz(text(), font(), size(), alignment(), wordWrap(), m_autoSize);
}

QSize TShadowLabel::sizeHint() const
{
    if (!m_autoSize)
        return QLabel::sizeHint();
    const ShadowLabelSatz z =
        shadowLabelSatz(text(), font(), QSize(wordWrap() ? width() : 0, 0), alignment(), wordWrap(), true);
    return messen(z.Font, QSize(wordWrap() ? width() : 0, 0), z.Flags, z.Text);
}

void TShadowLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!m_transparent)
        p.fillRect(rect(), palette().color(backgroundRole()));
    const ShadowLabelSatz z = satz();
    p.setFont(z.Font);
    if (m_shadow > 0) {
        p.setPen(QColor(toQRgb(m_shadowColor)));
        p.drawText(z.Rect.translated(m_shadow, m_shadow), z.Flags, z.Text);
    }
    p.setPen(palette().color(foregroundRole()));
    p.drawText(z.Rect, z.Flags, z.Text);
}
