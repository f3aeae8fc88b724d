// The zoom view and the magnifier on a frozen picture: entering and leaving, the wheel, the
// steps, panning, the pipette, the crosshair, and what the zoom image shows and repaints.
#include "bildhilfe.h"
#include "eingefroren.h"
#include "surface/zoom.h"

#include <QClipboard>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <QScreen>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

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

void rad(QPoint pos, int delta)
{
    QWheelEvent e(pos, ScreenForm->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(ScreenForm->windowHandle(), &e);
}

QImage gezeigt(QWidget *w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// What the window shows on the screen: its backing store, as painted bit by bit.
QImage aufDemSchirm(QWidget *fenster)
{
    return fenster->screen()->grabWindow(fenster->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

qint64 flaeche(const QRegion &r)
{
    qint64 n = 0;
    for (const QRect &q : r)
        n += qint64(q.width()) * q.height();
    return n;
}

} // namespace

class TstZoomansicht : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void wheel_data();
    void wheel();
    void stepsClampAtEightAndLeaveAtOne();
    void viewShowsTheEnlargedPicture();
    void panningStopsAtTheEdge();
    void scrolledViewEqualsAFullRedraw_data();
    void scrolledViewEqualsAFullRedraw();
    void pipette();
    void crosshairWithCtrl();
    void magnifierLensIsAnOverlay();
    void clearInZoomAndMagnifier();
    void showsStrokesAndUndoRedraws_data();
    void showsStrokesAndUndoRedraws();

private:
    QImage m_bild;
};

void TstZoomansicht::initTestCase()
{
    m_bild = musterBild(400, 300);
    m_bild.setPixel(150, 100, qRgb(255, 0, 0));
    QVERIFY(einfrieren(m_bild));
}

void TstZoomansicht::init()
{
    Cfg.MausradZoom = true;
    ScreenForm->Img1Bmp = m_bild;
    ToolForm->OrigScrBmp = m_bild;
    aktion("Dicke3")->trigger();
    aktion("DeckCol6")->trigger();
    aktion("Stift1")->trigger();
    ScreenForm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(ScreenForm));
    bewege(ScreenForm->Img1, {390, 290});
    ScreenForm->Zeichenbewegung(0, -1, -1);
}

void TstZoomansicht::cleanup()
{
    while (ToolForm->Modus == 15)
        aktion("Herauszoomen1")->trigger();
}

void TstZoomansicht::wheel_data()
{
    QTest::addColumn<int>("vorher"); // zoom step before, 0 = not in the zoom view
    QTest::addColumn<int>("delta");
    QTest::addColumn<bool>("mausrad");
    QTest::addColumn<int>("nachher");
    QTest::newRow("forward enters at factor 2") << 0 << 120 << true << 2;
    QTest::newRow("backward in pen mode") << 0 << -120 << true << 0;
    QTest::newRow("setting off") << 0 << 120 << false << 0;
    QTest::newRow("forward steps in") << 3 << 120 << true << 4;
    QTest::newRow("backward steps out") << 3 << -15 << true << 2;
}

void TstZoomansicht::wheel()
{
    QFETCH(int, vorher);
    QFETCH(int, delta);
    QFETCH(bool, mausrad);
    QFETCH(int, nachher);
    Cfg.MausradZoom = mausrad;
    const QPoint zeiger(123, 87);
    if (vorher) {
        bewege(ScreenForm->Img1, zeiger);
        rad(zeiger, 120);
        for (int i = 2; i < vorher; ++i)
            aktion("Hineinzoomen1")->trigger();
        QCOMPARE(ToolForm->ZoomfakNr, vorher);
    }
    TZoomAnzeige *img2 = ScreenForm->Img2;
    QWidget *unter = vorher ? static_cast<QWidget *>(img2) : ScreenForm->Img1;
    bewege(unter, zeiger);
    const QPoint bildpunkt = vorher ? zoomBildpunkt(img2->sicht(), zeiger.x(), zeiger.y()) : zeiger;
    rad(zeiger, delta);
    QCOMPARE(ToolForm->Modus, nachher ? 15 : 1);
    QCOMPARE(img2->isVisible(), nachher != 0);
    if (!nachher)
        return;
    QCOMPARE(ToolForm->ZoomfakNr, nachher);
    QCOMPARE(img2->sicht().Fak, ZoomTabelle[size_t(nachher)]);
    QCOMPARE(zoomBildpunkt(img2->sicht(), zeiger.x(), zeiger.y()), bildpunkt);
    QCOMPARE(ScreenForm->ZoomPanZoomLab->text(), zoomProzent(ZoomTabelle[size_t(nachher)]));
    QVERIFY(ScreenForm->ZoomInfoPan->isVisible());
}

void TstZoomansicht::stepsClampAtEightAndLeaveAtOne()
{
    aktion("Linie1")->trigger();
    QToolButton *hinein = ToolForm->Buttons.value(QStringLiteral("ZoomInBtn"));
    for (int i = 0; i < 10; ++i)
        hinein->click();
    QCOMPARE(ToolForm->Modus, 15);
    QCOMPARE(ToolForm->ZoomfakNr, 8);
    QCOMPARE(ToolForm->ZoomFak, 10.0f);
    QCOMPARE(ScreenForm->ZoomPanZoomLab->text(), QStringLiteral("1000%"));
    QVERIFY(!ScreenForm->FadenkreuzInfoPan->isVisible());
    for (int i = 0; i < 7; ++i)
        ToolForm->Buttons.value(QStringLiteral("ZoomOutBtn"))->click();
    QCOMPARE(ToolForm->Modus, 3);
    QVERIFY(aktion("Linie1")->isChecked());
    QVERIFY(ScreenForm->Img2->isHidden());
    QVERIFY(ScreenForm->ZoomInfoPan->isHidden());
    ToolForm->Buttons.value(QStringLiteral("ZoomOutBtn"))->click(); // nothing left to zoom out
    QCOMPARE(ToolForm->Modus, 3);
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
    QCOMPARE(gezeigt(ScreenForm->Img1), m_bild);
}

// Every view pixel shows the picture pixel that the info panel names for it.
void TstZoomansicht::viewShowsTheEnlargedPicture()
{
    aktion("Zoom1")->trigger();
    aktion("Hineinzoomen1")->trigger(); // factor 3 about the centre: a half-pixel offset
    TZoomAnzeige *img2 = ScreenForm->Img2;
    QCOMPARE(img2->sicht().Fak, 3.0f);
    const QImage bild = gezeigt(img2);
    for (int y = 0; y < bild.height(); y += 7)
        for (int x = 0; x < bild.width(); x += 5)
            if (!ScreenForm->ZoomInfoPan->geometry().contains(x, y))
                QCOMPARE(bild.pixel(x, y), m_bild.pixel(zoomBildpunkt(img2->sicht(), x, y)));
    bewege(img2, {33, 44});
    const QPoint p = zoomBildpunkt(img2->sicht(), 33, 44);
    QCOMPARE(ScreenForm->ZoomPanXLab->text(), QString::number(p.x()));
    QCOMPARE(ScreenForm->ZoomPanYLab->text(), QString::number(p.y()));
    QCOMPARE(ScreenForm->ZoomPanColLab->text(), farbCode(m_bild.pixel(p)));
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
}

void TstZoomansicht::panningStopsAtTheEdge()
{
    aktion("Zoom1")->trigger(); // factor 2, offset (−200, −150)
    TZoomAnzeige *img2 = ScreenForm->Img2;
    QCOMPARE(img2->sicht(), (ZoomSicht{2, -200, -150}));
    const TRect bereich = ToolForm->BakBereichRect;
    QTest::mousePress(img2, Qt::LeftButton, {}, {100, 100});
    QCOMPARE(img2->cursor().shape(), Qt::BitmapCursor); // the hand
    bewege(img2, {130, 90});
    QCOMPARE(img2->sicht(), (ZoomSicht{2, -170, -160}));
    bewege(img2, {390, 5});
    QCOMPARE(img2->sicht(), (ZoomSicht{2, 0, -245}));
    bewege(img2, {-400, 290});
    QCOMPARE(img2->sicht(), (ZoomSicht{2, -400, 0}));
    QTest::mouseRelease(img2, Qt::LeftButton, {}, {-400, 290});
    QCOMPARE(img2->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
    QCOMPARE(ToolForm->BakBereichRect, bereich);
}

void TstZoomansicht::scrolledViewEqualsAFullRedraw_data()
{
    QTest::addColumn<quint32>("saat");
    for (quint32 saat : {1u, 2u, 3u})
        QTest::addRow("run %u", saat) << saat;
}

// A long random run of drags (some with the crosshair) and wheel steps about random points:
// each pan moves what is on the screen and draws only the strips that come into view, and
// what the screen then shows is what drawing everything anew shows, pixel for pixel, at every
// factor and at the fractional offsets that zooming about a point leaves.
void TstZoomansicht::scrolledViewEqualsAFullRedraw()
{
    QFETCH(quint32, saat);
    QRandomGenerator zufall(saat);
    TZoomAnzeige *img2 = ScreenForm->Img2;
    const QRect ansicht = img2->rect();
    auto irgendwo = [&] {
        return QPoint(1 + zufall.bounded(ansicht.width() - 1), zufall.bounded(ansicht.height()));
    };
    QPoint zeiger = irgendwo();
    bewege(ScreenForm->Img1, zeiger);
    rad(zeiger, 120);
    QCOMPARE(ToolForm->Modus, 15);
    Malprotokoll protokoll;
    img2->installEventFilter(&protokoll);
    QSet<int> faktoren;
    int verschoben = 0, gebrochen = 0;
    bool hinein = true;
    for (int schritt = 0; schritt < 150; ++schritt) {
        if (zufall.bounded(4) == 0) {
            zeiger = irgendwo();
            bewege(img2, zeiger);
            // Up and down through all steps, turning back now and then.
            const int nr = ToolForm->ZoomfakNr;
            hinein = nr <= 2 || (nr < 8 && hinein != (zufall.bounded(4) == 0));
            rad(zeiger, hinein ? 120 : -120);
        } else {
            const Qt::KeyboardModifiers tasten = zufall.bounded(3) ? Qt::NoModifier : Qt::ControlModifier;
            QTest::mousePress(img2, Qt::LeftButton, tasten, zeiger);
            for (int k = 0; k < 3; ++k) {
                QCoreApplication::processEvents();
                const QPoint vorher = zoomRaster(img2->sicht());
                protokoll.gemalt = {};
                zeiger += QPoint(zufall.bounded(-40, 41), zufall.bounded(-40, 41));
                if (zeiger.isNull())
                    zeiger.setX(1); // QTest's events take (0, 0) for the widget's centre
                bewege(img2, zeiger, tasten);
                QCoreApplication::processEvents();
                if (zoomRaster(img2->sicht()) == vorher)
                    continue;
                ++verschoben;
                if (flaeche(protokoll.gemalt) * 2 > qint64(ansicht.width()) * ansicht.height())
                    QFAIL(qPrintable(
                        QStringLiteral("step %1: a pan drew more than half the view").arg(schritt)));
            }
            QTest::mouseRelease(img2, Qt::LeftButton, tasten, zeiger);
            zeiger = QPoint(std::clamp(zeiger.x(), 1, ansicht.width() - 1),
                            std::clamp(zeiger.y(), 0, ansicht.height() - 1));
        }
        QCoreApplication::processEvents();
        const ZoomSicht v = img2->sicht();
        QCOMPARE(ToolForm->Modus, 15);
        faktoren.insert(zoomGanz(v.Fak));
        gebrochen += v.Ox != std::ceil(v.Ox) || v.Oy != std::ceil(v.Oy);
        if (aufDemSchirm(ScreenForm) != gezeigt(ScreenForm))
            QFAIL(qPrintable(QStringLiteral("step %1: the screen differs from a full redraw at factor %2, "
                                            "offset %3, %4")
                                 .arg(schritt)
                                 .arg(v.Fak)
                                 .arg(v.Ox)
                                 .arg(v.Oy)));
    }
    img2->removeEventFilter(&protokoll);
    QCOMPARE(faktoren, (QSet<int>{2, 3, 4, 5, 6, 8, 10}));
    QVERIFY(gebrochen > 10);
    QVERIFY(verschoben > 100);
}

void TstZoomansicht::pipette()
{
    aktion("Zoom1")->trigger();
    TZoomAnzeige *img2 = ScreenForm->Img2;
    const QPoint rot(2 * 150 - 200, 2 * 100 - 150); // picture pixel (150, 100)
    QGuiApplication::clipboard()->clear();
    // Shift alone copies the code; the colour stays.
    bewege(img2, rot, Qt::ShiftModifier);
    QCOMPARE(img2->cursor().shape(), Qt::BitmapCursor); // the pipette
    QTest::mouseClick(img2, Qt::LeftButton, Qt::ShiftModifier, rot);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("#FF0000"));
    QCOMPARE(Cfg.FarbMode, 16);
    QTest::keyPress(ScreenForm, Qt::Key_F);
    QVERIFY(ScreenForm->UmschaltFGedrueckt);
    bewege(img2, rot + QPoint(1, 1), Qt::ShiftModifier);
    QTest::mouseClick(img2, Qt::LeftButton, Qt::ShiftModifier, rot + QPoint(1, 1));
    QCOMPARE(Cfg.FarbMode, 0);
    QCOMPARE(ToolForm->Scol, Palette::Rot);
    QCOMPARE(ToolForm->Smode, pmCopy);
    QTest::keyRelease(ScreenForm, Qt::Key_F);
    QVERIFY(!ScreenForm->UmschaltFGedrueckt);
}

void TstZoomansicht::crosshairWithCtrl()
{
    aktion("Zoom1")->trigger();
    for (int i = 0; i < 2; ++i)
        aktion("Hineinzoomen1")->trigger(); // factor 4
    TZoomAnzeige *img2 = ScreenForm->Img2;
    bewege(img2, {10, 10});
    const QImage ohne = gezeigt(img2);
    QTest::keyPress(ScreenForm, Qt::Key_Control);
    QVERIFY(img2->balkenSichtbar());
    const ZoomBalken b = zoomFadenkreuz(img2->sicht(), 10, 10, img2->size());
    QCOMPARE(img2->balken(), b);
    QVERIFY(!b.Gefuellt);
    const QImage mit = gezeigt(img2);
    // The outline is inverted, the inside of the bar is not.
    QCOMPARE(mit.pixel(b.X.left(), 100), ~ohne.pixel(b.X.left(), 100) | 0xFF000000u);
    QCOMPARE(mit.pixel(b.X.left() + 1, 100), ohne.pixel(b.X.left() + 1, 100));
    QTest::keyRelease(ScreenForm, Qt::Key_Control);
    QVERIFY(!img2->balkenSichtbar());
    QCOMPARE(gezeigt(img2), ohne);
}

void TstZoomansicht::magnifierLensIsAnOverlay()
{
    aktion("Dicke1")->trigger();
    aktion("Lupe1")->trigger();
    QCOMPARE(ToolForm->Modus, 14);
    QCOMPARE(ToolForm->LupeFak, 2);
    TZoomAnzeige *img2 = ScreenForm->Img2;
    QVERIFY(img2->isVisible());
    bewege(img2, {200, 150});
    QVERIFY(img2->lupeSichtbar());
    QCOMPARE(img2->lupenRechteck(), QRect(163, 122, 74, 56));
    QCoreApplication::processEvents();
    Malprotokoll protokoll;
    img2->installEventFilter(&protokoll);
    bewege(img2, {260, 170});
    QCoreApplication::processEvents();
    img2->removeEventFilter(&protokoll);
    const QRegion erlaubt = QRegion(QRect(163, 122, 74, 56)) + QRegion(img2->lupenRechteck());
    QVERIFY(!protokoll.gemalt.isEmpty());
    QCOMPARE(protokoll.gemalt - erlaubt, QRegion());
    QTest::mouseClick(img2, Qt::LeftButton, {}, {260, 170});
    QCOMPARE(ToolForm->LupeFak, 4);
    QTest::mouseClick(img2, Qt::LeftButton, {}, {260, 170});
    QCOMPARE(ToolForm->LupeFak, 2);
    // Off the picture the lens stays where it was; the picture never changed.
    const QRect ort = img2->lupenRechteck();
    ToolForm->CheckPanels();
    QCOMPARE(img2->lupenRechteck(), ort);
    QVERIFY(img2->lupeSichtbar());
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
    const QImage bild = gezeigt(img2);
    QCOMPARE(bild.pixel(10, 10), m_bild.pixel(10, 10));
    QCOMPARE(bild.pixel(ort.topLeft()), qRgb(0, 0, 0));
}

// "Alles löschen" leaves the zoom view, and shows the cleared picture in the magnifier.
void TstZoomansicht::clearInZoomAndMagnifier()
{
    ziehe(ScreenForm->Img1, {50, 50}, {120, 60});
    aktion("Zoom1")->trigger();
    aktion("Alleslschen1")->trigger();
    QCOMPARE(ToolForm->Modus, 1);
    QVERIFY(ScreenForm->Img2->isHidden());
    ziehe(ScreenForm->Img1, {50, 50}, {120, 60});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    aktion("Lupe1")->trigger();
    aktion("Alleslschen1")->trigger();
    QCOMPARE(ToolForm->Modus, 14);
    // The magnifier shows the picture itself, outside its lens.
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
    QImage gezeigt =
        ScreenForm->Img2->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(m_bild.rect());
    QImage erwartet = m_bild;
    if (ScreenForm->Img2->lupeSichtbar()) {
        const QRect linse = ScreenForm->Img2->lupenRechteck();
        QPainter(&gezeigt).fillRect(linse, Qt::black);
        QPainter(&erwartet).fillRect(linse, Qt::black);
    }
    QCOMPARE(gezeigt, erwartet);
}

void TstZoomansicht::showsStrokesAndUndoRedraws_data()
{
    QTest::addColumn<QString>("ansicht");
    QTest::newRow("magnifier") << "Lupe1";
    QTest::newRow("zoom view") << "Zoom1";
}

// The zoom image reads the drawing picture itself: strokes drawn before entering are shown,
// and an undo in the view (after a click there and "Alles löschen") is redrawn on the screen,
// not only in a fresh paint.
void TstZoomansicht::showsStrokesAndUndoRedraws()
{
    QFETCH(QString, ansicht);
    TZoomAnzeige *img2 = ScreenForm->Img2;
    ziehe(ScreenForm->Img1, {140, 90}, {260, 200});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    const QImage gezeichnet = ScreenForm->Img1Bmp;
    QVERIFY(gezeichnet != m_bild);

    // Every view pixel outside the lens and the info panel against the picture pixel under it.
    auto zeigt = [&](const QImage &bild) {
        QCoreApplication::processEvents();
        if (aufDemSchirm(ScreenForm) != gezeigt(ScreenForm))
            return false;
        const QImage g = gezeigt(img2);
        const bool lupe = ToolForm->Modus == 14;
        for (int y = 0; y < g.height(); ++y)
            for (int x = 0; x < g.width(); ++x) {
                if ((lupe && img2->lupeSichtbar() && img2->lupenRechteck().contains(x, y)) ||
                    ScreenForm->ZoomInfoPan->geometry().contains(x, y))
                    continue;
                const QPoint p = lupe ? QPoint(x, y) : zoomBildpunkt(img2->sicht(), x, y);
                if (bild.rect().contains(p) && g.pixel(x, y) != bild.pixel(p))
                    return false;
            }
        return true;
    };

    ToolForm->Aktionen.value(ansicht)->trigger();
    const int modus = ToolForm->Modus;
    QVERIFY(img2->isVisible());
    bewege(img2, {200, 150});
    QVERIFY(zeigt(gezeichnet));
    QTest::mouseClick(img2, Qt::LeftButton, {}, {200, 150});
    aktion("Alleslschen1")->trigger();
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
    if (img2->isVisible())
        QVERIFY(zeigt(m_bild));
    aktion("Rckgngig1")->trigger();
    QCOMPARE(ToolForm->Modus, modus);
    QVERIFY(img2->isVisible());
    QCOMPARE(ScreenForm->Img1Bmp, gezeichnet);
    QVERIFY(zeigt(gezeichnet));
    if (modus == 14)
        aktion("Stift1")->trigger();
}

QTEST_MAIN(TstZoomansicht)
#include "tst_zoomansicht.moc"
