// The wheel and undo on a real X server with real input: a wheel turn over the frozen
// picture opens the zoom view magnified about the pointer, a drag pans it, a turn over the tool
// window does nothing; Ctrl+Backspace takes a stroke back.
#include "xsupport.h"

#include "app/data.h"
#include "surface/scrwin.h"
#include "surface/zoom.h"
#include "surface/zoomanzeige.h"
#include "toolwindow/toolwin2.h"

#include <QPushButton>
#include <QSignalSpy>

class TstX11Zoom : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void wheelMagnifiesAboutThePointer();
    void wheelOverTheToolWindowLeavesTheZoom();
    void ctrlBackspaceTakesTheStrokeBack();

private:
    QImage m_known;
};

void TstX11Zoom::initTestCase()
{
    m_known = xs::knownPicture(QGuiApplication::primaryScreen()->geometry().size());
    QString why;
    QVERIFY2(xs::showOnRoot(m_known, &why), qPrintable(why));
}

void TstX11Zoom::init()
{
    xs::freshWindows();
    QVERIFY(xs::startClicked());
}

void TstX11Zoom::wheelMagnifiesAboutThePointer()
{
    const QPoint zeiger(905, 505);
    xs::run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QString::number(zeiger.x()), QString::number(zeiger.y()),
             QStringLiteral("click"), QStringLiteral("4")});
    QTRY_COMPARE(ToolForm->Modus, 15);
    QCOMPARE(ToolForm->ZoomFak, 2.0f);
    const ZoomSicht v = ScreenForm->Img2->sicht();
    // The pixel under the pointer stays under it.
    QCOMPARE(zoomBildpunkt(v, zeiger.x(), zeiger.y()), zeiger);

    // The screen shows the picture enlarged twice, nearest pixel, around the tool window and
    // the zoom view's info panel.
    QImage erwartet;
    zoomZeichnen(erwartet, QRect(QPoint(0, 0), m_known.size()), m_known, v);
    erwartet = erwartet.copy(QRect(QPoint(0, 0), m_known.size()));
    QRegion ausser(xs::frameRect(ToolForm->winId()));
    if (ScreenForm->ZoomInfoPan->isVisible())
        ausser += ScreenForm->ZoomInfoPan->geometry();
    const QString diff = xs::waitForScreen(erwartet, ausser);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QVERIFY(!xs::difference(erwartet, m_known, ausser).isEmpty());

    // A step to factor 3 about a point that leaves half-pixel offsets, then a real drag: the X
    // server moves what the window shows, and the screen is then what drawing it all anew
    // gives.
    xs::run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("700"),
                                        QStringLiteral("402"), QStringLiteral("click"), QStringLiteral("4")});
    QTRY_COMPARE(ToolForm->ZoomFak, 3.0f);
    QCOMPARE(ScreenForm->Img2->sicht(), (ZoomSicht{3, -1707.5f, -958.5f}));
    xs::run(QStringLiteral("xdotool"),
            {QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("mousemove"),
             QStringLiteral("690"), QStringLiteral("395"), QStringLiteral("mousemove"), QStringLiteral("650"),
             QStringLiteral("371"), QStringLiteral("mousemove"), QStringLiteral("611"), QStringLiteral("352"),
             QStringLiteral("mouseup"), QStringLiteral("1")});
    QTRY_COMPARE(ScreenForm->Img2->sicht(), (ZoomSicht{3, -1796.5f, -1008.5f}));
    zoomZeichnen(erwartet, QRect(QPoint(0, 0), m_known.size()), m_known, ScreenForm->Img2->sicht());
    erwartet = erwartet.copy(QRect(QPoint(0, 0), m_known.size()));
    ausser = QRegion(xs::frameRect(ToolForm->winId())) + ScreenForm->ZoomInfoPan->geometry();
    const QString verschoben = xs::waitForScreen(erwartet, ausser);
    QVERIFY2(verschoben.isEmpty(), qPrintable(verschoben));

    // Turning back leaves the zoom view at factor 1 and shows the picture as it is.
    xs::run(QStringLiteral("xdotool"), {QStringLiteral("click"), QStringLiteral("5")});
    QTRY_COMPARE(ToolForm->ZoomFak, 2.0f);
    xs::run(QStringLiteral("xdotool"), {QStringLiteral("click"), QStringLiteral("5")});
    QTRY_VERIFY(ToolForm->Modus != 15);
    const QString zurueck = xs::waitForScreen(m_known, xs::frameRect(ToolForm->winId()));
    QVERIFY2(zurueck.isEmpty(), qPrintable(zurueck));
}

void TstX11Zoom::wheelOverTheToolWindowLeavesTheZoom()
{
    const QPoint werkzeug = xs::centre(ToolForm);
    const QPoint zeiger(905, 505);
    const auto rad = [](QPoint wo, const char *knopf) {
        xs::run(QStringLiteral("xdotool"),
                {QStringLiteral("mousemove"), QString::number(wo.x()), QString::number(wo.y()),
                 QStringLiteral("click"), QString::fromLatin1(knopf)});
    };
    // Each turn over the tool window is followed by one over the picture: once that one has
    // counted, the earlier one has been handled too.
    rad(werkzeug, "4");
    rad(zeiger, "4");
    const auto zustand = [&] {
        const ZoomSicht s = ScreenForm->Img2->sicht();
        return QStringLiteral("mode %1, factor %2, view %3 %4 %5")
            .arg(ToolForm->Modus)
            .arg(ToolForm->ZoomFak)
            .arg(s.Fak)
            .arg(s.Ox)
            .arg(s.Oy);
    };
    QTRY_VERIFY2(ToolForm->Modus == 15 && ToolForm->ZoomFak == 2.0f &&
                     zoomBildpunkt(ScreenForm->Img2->sicht(), zeiger.x(), zeiger.y()) == zeiger,
                 qPrintable(zustand()));
    // In the zoom view: up over the tool window, down over the picture leaves the view.
    rad(werkzeug, "4");
    rad(zeiger, "5");
    QTRY_VERIFY(ToolForm->Modus != 15);
    QCOMPARE(ToolForm->ZoomFak, 1.0f);
}

void TstX11Zoom::ctrlBackspaceTakesTheStrokeBack()
{
    ToolForm->Aktionen.value(QStringLiteral("Dicke4"))->trigger();
    xs::run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QStringLiteral("300"), QStringLiteral("400"),
             QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("mousemove"),
             QStringLiteral("600"), QStringLiteral("450"), QStringLiteral("sleep"), QStringLiteral("0.05"),
             QStringLiteral("mouseup"), QStringLiteral("1")});
    QTRY_VERIFY(ScreenForm->Img1Bmp != m_known);
    QTRY_COMPARE(ScreenForm->MausShift, TShiftState(0));
    xs::key(QStringLiteral("ctrl+BackSpace"));
    // Only the marker at the pointer may differ until the pointer leaves the picture.
    xs::run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QString::number(xs::centre(ToolForm).x()),
             QString::number(xs::centre(ToolForm).y())});
    QTRY_COMPARE(ScreenForm->Sx, -1);
    QString diff = xs::difference(ScreenForm->Img1Bmp, m_known);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    diff = xs::waitForScreen(m_known, xs::frameRect(ToolForm->winId()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

XS_TEST_MAIN(TstX11Zoom)
#include "tst_x11_zoom.moc"
