// A text label with an optional drop shadow that breaks lines at "|" and makes its text fit:
// it shrinks the font, down to 7 points, and then drops words from the end, marking the cut
// with " ..." (or "..." when not even the first word fits).
#pragma once

#include "app/data.h"

#include <QFont>
#include <QLabel>

// Where and how the label draws its text.
struct ShadowLabelSatz
{
    QFont Font;
    int Punkte = 0; // the font size reached
    QString Text;   // line breaks as "\n", with the cut mark when cut
    QRect Rect;     // the box the text is drawn into, moved down by the vertical placement
    int Flags = 0;  // Qt::AlignmentFlag and Qt::TextFlag for drawing and measuring
};

// The fitting and placement of a label's text in a box of the given size; `font` gives the
// starting size (sizes in points are taken at 96 dpi).
ShadowLabelSatz shadowLabelSatz(const QString &caption, const QFont &font, QSize box, Qt::Alignment alignment,
                                bool wordWrap, bool autoSize);

class TShadowLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(int Shadow READ Shadow WRITE setShadow)
    Q_PROPERTY(uint ShadowColor READ ShadowColor WRITE setShadowColor)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)

public:
    explicit TShadowLabel(QWidget *parent = nullptr);

    // Offset of the shadow to the right and down in pixels; 0 or less draws none.
    int Shadow() const { return m_shadow; }
    void setShadow(int pixel);
    TColor ShadowColor() const { return m_shadowColor; }
    void setShadowColor(TColor farbe);
    // With AutoSize the label takes the size of its text and never shrinks or cuts it.
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool an);
    // Without Transparent the label fills its box with the palette's window colour.
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool an);

    ShadowLabelSatz satz() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *) override;

private:
    int m_shadow = 1;
    TColor m_shadowColor = 0;
    bool m_autoSize = false;
    bool m_transparent = false;
};
