// The drawing surface driven by mouse events on the offscreen platform: the picture changes
// as the gestures say, and each step repaints only the part of the picture it changed.
#include "bildhilfe.h"
#include "startup/anwendung.h"
#include "surface/scrwin.h"
#include "surface/sicherung.h"
#include "toolwindow/einfrieren.h"
#include "toolwindow/toolwin2.h"

#include <QApplication>
#include <QPaintEvent>
#include <QTest>

namespace {

const QRgb Weiss = 0xFFFFFFFF;

// Collects what the picture widget is asked to paint.
class Malprotokoll : public QObject
{
public:
    QRegion gemalt;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            gemalt += static_cast<QPaintEvent *>(e)->region();
        return false;
    }
};

void bewege(QWidget *w, QPoint p, Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    // QTest::mouseMove drops the modifiers during a drag.
    QTest::mouseEvent(QTest::MouseMove, w, Qt::NoButton, keys, p);
}

} // namespace

class TstSurface : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void penStrokeAndRightButton();
    void shiftSquareWithMouse();
    void stepRepaintsOnlyWhatChanged();
    void zoomImageForwardsToPicture();

private:
    QImage m_bild;
};

void TstSurface::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    FensterErzeugen();
    m_bild = einfarbig(320, 240, Weiss);
}

void TstSurface::init()
{
    bildUebernehmen(*ToolForm, *ScreenForm, m_bild);
    ToolForm->Sdicke = 1;
    ToolForm->Scol = Palette::Schwarz;
    ToolForm->Smode = pmCopy;
    ToolForm->Modus = 1;
    ScreenForm->Img2->hide();
    ScreenForm->zeigeAuf(QRect(0, 0, 320, 240));
    QVERIFY(QTest::qWaitForWindowExposed(ScreenForm));
}

void TstSurface::penStrokeAndRightButton()
{
    QWidget *img = ScreenForm->Img1;
    QTest::mousePress(img, Qt::LeftButton, {}, {10, 10});
    bewege(img, {40, 10});
    bewege(img, {40, 30});
    QTest::mousePress(img, Qt::RightButton, {}, {40, 30}); // ends the stroke
    bewege(img, {80, 80});
    QTest::mouseRelease(img, Qt::RightButton, {}, {80, 80});
    QTest::mouseRelease(img, Qt::LeftButton, {}, {80, 80});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QSet<QPoint> erwartet;
    for (int x = 10; x < 40; ++x)
        erwartet.insert({x, 10});
    for (int y = 10; y < 30; ++y)
        erwartet.insert({40, y});
    QCOMPARE(unterschiede(m_bild, ScreenForm->Img1Bmp), erwartet);
    QCOMPARE(sicherungsBild(*ToolForm), m_bild);
    QCOMPARE(ToolForm->OrigScrBmp, m_bild);
}

// Shift held through the drag and the release: 50 right and 30 up gives a 31 × 31 square.
void TstSurface::shiftSquareWithMouse()
{
    ToolForm->Modus = 4;
    QWidget *img = ScreenForm->Img1;
    QTest::mousePress(img, Qt::LeftButton, {}, {100, 100});
    bewege(img, {130, 90}, Qt::ShiftModifier);
    bewege(img, {150, 70}, Qt::ShiftModifier);
    QTest::mouseRelease(img, Qt::LeftButton, Qt::ShiftModifier, {150, 70});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QRect umriss;
    for (const QPoint &p : unterschiede(m_bild, ScreenForm->Img1Bmp))
        umriss |= QRect(p, QSize(1, 1));
    QCOMPARE(umriss, QRect(100, 70, 31, 31));
}

// A hover step and a drag step on a picture that is already shown repaint only around the
// marker and the segment, and what is shown is the picture.
void TstSurface::stepRepaintsOnlyWhatChanged()
{
    ToolForm->Sdicke = 13;
    QWidget *img = ScreenForm->Img1;
    QCoreApplication::processEvents();
    Malprotokoll protokoll;
    img->installEventFilter(&protokoll);
    bewege(img, {60, 60});
    QCoreApplication::processEvents();
    QVERIFY(protokoll.gemalt.boundingRect().width() <= 16);
    QVERIFY(protokoll.gemalt.contains(QRect(54, 54, 13, 13)));

    QTest::mousePress(img, Qt::LeftButton, {}, {60, 60});
    protokoll.gemalt = {};
    bewege(img, {70, 64});
    QCoreApplication::processEvents();
    QVERIFY(protokoll.gemalt.boundingRect().width() <= 40);
    QVERIFY(protokoll.gemalt.boundingRect().height() <= 40);
    QTest::mouseRelease(img, Qt::LeftButton, {}, {70, 64});
    img->removeEventFilter(&protokoll);
    QCOMPARE(img->grab().toImage().convertToFormat(QImage::Format_RGB32), ScreenForm->Img1Bmp);
}

// In the magnifier and zoom view the zoom image lies over the picture; its events draw in the
// picture all the same.
void TstSurface::zoomImageForwardsToPicture()
{
    ScreenForm->Img2->show();
    QTest::mousePress(ScreenForm->Img2, Qt::LeftButton, {}, {20, 20});
    bewege(ScreenForm->Img2, {20, 50});
    QTest::mouseRelease(ScreenForm->Img2, Qt::LeftButton, {}, {20, 50});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCOMPARE(unterschiede(m_bild, ScreenForm->Img1Bmp).size(), 30);
}

QTEST_MAIN(TstSurface)
#include "tst_surface.moc"
