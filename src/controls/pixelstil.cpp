#include "controls/pixelstil.h"

#include <QApplication>
#include <QImage>
#include <QProxyStyle>
#include <QSet>
#include <QStyleOption>
#include <QWidget>

#include <optional>

namespace {

// The windows laid out in pixels. Asked on every call of the style, while painting too: a set
// lookup, where a property would be looked up by name in the class chain first.
QSet<const QWidget *> &pixelFenster()
{
    static QSet<const QWidget *> fenster;
    return fenster;
}

bool inPixeln(const QWidget *w)
{
    return w && pixelFenster().contains(w->window());
}

// Font metrics at 96 dpi: Qt's styles take their scale from the DPI of an option's metrics.
QFontMetrics metrik96(const QFont &schrift)
{
    static const QImage geraet = [] {
        QImage bild(1, 1, QImage::Format_RGB32);
        bild.setDotsPerMeterX(3780); // 96 dpi
        bild.setDotsPerMeterY(3780);
        return bild;
    }();
    return QFontMetrics(schrift, &geraet);
}

// The option a call of the base style gets: for a control of a form in pixels, the caller's own
// with metrics at 96 dpi for the duration of the call (or a plain one where the caller passed
// none, which would make the style fall back to the desktop's DPI); else the caller's as it is.
class Option96
{
public:
    // A complex control's option carries more than a plain one could stand in for.
    Option96(const QStyleOption *option, const QWidget *w, bool ersatz = true) : m_option(option)
    {
        if (!inPixeln(w) || (!option && !ersatz))
            return;
        if (!option) {
            // Only the metrics: filling it from the widget asks the style again.
            m_ersatz.emplace();
            m_ersatz->fontMetrics = metrik96(w->font());
            m_option = &*m_ersatz;
            return;
        }
        // The option is the caller's own object, lent for the call and given back unchanged.
        m_geliehen = const_cast<QStyleOption *>(option);
        m_vorher.emplace(m_geliehen->fontMetrics);
        m_geliehen->fontMetrics = metrik96(w->font());
    }
    ~Option96()
    {
        if (m_geliehen)
            m_geliehen->fontMetrics = *m_vorher;
    }
    Option96(const Option96 &) = delete;
    Option96 &operator=(const Option96 &) = delete;

    const QStyleOption *get() const { return m_option; }
    const QStyleOptionComplex *komplex() const { return static_cast<const QStyleOptionComplex *>(m_option); }

private:
    const QStyleOption *m_option;
    QStyleOption *m_geliehen = nullptr;
    std::optional<QFontMetrics> m_vorher;
    std::optional<QStyleOption> m_ersatz;
};

class PixelStil : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement e, const QStyleOption *o, QPainter *p,
                       const QWidget *w) const override
    {
        const Option96 opt(o, w);
        if (e == PE_FrameGroupBox && inPixeln(w))
            if (const auto *rahmen = qstyleoption_cast<const QStyleOptionFrame *>(opt.get())) {
                // Fusion puts a group box's frame below its title by at least the height of a
                // radio mark, which it takes without an option, so at the desktop's DPI: the
                // frame is handed in that much higher.
                const int schrift = rahmen->fontMetrics.height();
                const int zuviel =
                    qMax(baseStyle()->pixelMetric(PM_ExclusiveIndicatorHeight), schrift) -
                    qMax(baseStyle()->pixelMetric(PM_ExclusiveIndicatorHeight, rahmen, w), schrift);
                QStyleOptionFrame hoeher = *rahmen;
                hoeher.rect.setTop(hoeher.rect.top() - zuviel);
                QProxyStyle::drawPrimitive(e, &hoeher, p, w);
                return;
            }
        QProxyStyle::drawPrimitive(e, opt.get(), p, w);
    }
    void drawControl(ControlElement e, const QStyleOption *o, QPainter *p, const QWidget *w) const override
    {
        const Option96 opt(o, w);
        QProxyStyle::drawControl(e, opt.get(), p, w);
    }
    void drawComplexControl(ComplexControl c, const QStyleOptionComplex *o, QPainter *p,
                            const QWidget *w) const override
    {
        const Option96 opt(o, w, false);
        QProxyStyle::drawComplexControl(c, opt.komplex(), p, w);
    }
    QRect subElementRect(SubElement e, const QStyleOption *o, const QWidget *w) const override
    {
        const Option96 opt(o, w);
        return QProxyStyle::subElementRect(e, opt.get(), w);
    }
    QRect subControlRect(ComplexControl c, const QStyleOptionComplex *o, SubControl sc,
                         const QWidget *w) const override
    {
        const Option96 opt(o, w, false);
        return QProxyStyle::subControlRect(c, opt.komplex(), sc, w);
    }
    SubControl hitTestComplexControl(ComplexControl c, const QStyleOptionComplex *o, const QPoint &pos,
                                     const QWidget *w) const override
    {
        const Option96 opt(o, w, false);
        return QProxyStyle::hitTestComplexControl(c, opt.komplex(), pos, w);
    }
    QSize sizeFromContents(ContentsType t, const QStyleOption *o, const QSize &size,
                           const QWidget *w) const override
    {
        const Option96 opt(o, w);
        return QProxyStyle::sizeFromContents(t, opt.get(), size, w);
    }
    int pixelMetric(PixelMetric m, const QStyleOption *o, const QWidget *w) const override
    {
        const Option96 opt(o, w);
        return QProxyStyle::pixelMetric(m, opt.get(), w);
    }
    int layoutSpacing(QSizePolicy::ControlType c1, QSizePolicy::ControlType c2, Qt::Orientation orientation,
                      const QStyleOption *o, const QWidget *w) const override
    {
        const Option96 opt(o, w);
        return QProxyStyle::layoutSpacing(c1, c2, orientation, opt.get(), w);
    }
    QIcon standardIcon(StandardPixmap s, const QStyleOption *o, const QWidget *w) const override
    {
        const Option96 opt(o, w);
        return QProxyStyle::standardIcon(s, opt.get(), w);
    }
};

} // namespace

void InPixelnAuslegen(QWidget *fenster)
{
    if (!dynamic_cast<PixelStil *>(QApplication::style()))
        QApplication::setStyle(new PixelStil(QApplication::style()->name()));
    if (pixelFenster().contains(fenster))
        return;
    pixelFenster().insert(fenster);
    QObject::connect(fenster, &QObject::destroyed, [fenster] { pixelFenster().remove(fenster); });
}
