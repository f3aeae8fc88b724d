// The drawing surface: a borderless window that covers the frozen monitor and shows the
// picture 1:1.
#pragma once

#include "app/data.h"

#include <QWidget>

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

class TScreenForm : public QWidget, public SurfaceState
{
    Q_OBJECT

public:
    explicit TScreenForm(QWidget *parent = nullptr);

    TBildAnzeige *Img1 = nullptr; // the drawing picture
    TBildAnzeige *Img2 = nullptr; // the zoom image, visible only in the magnifier and zoom view

    // Covers exactly the given monitor rectangle (desktop coordinates) and shows the picture.
    void zeigeAuf(const QRect &monitor);

protected:
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override; // FormClose
};

extern TScreenForm *ScreenForm;
