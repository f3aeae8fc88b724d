// The picture's view on the drawing surface.
#pragma once

#include <QWidget>

class QImage;

// Shows an image unscaled at its origin and repaints only the rectangles asked for.
class TBildAnzeige : public QWidget
{
    Q_OBJECT

public:
    TBildAnzeige(const QImage *bild, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    const QImage *m_bild;
};
