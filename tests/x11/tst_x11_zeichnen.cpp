// Drawing by hand on a real X server: tools, colours and thicknesses chosen by clicking the
// tool bar, gestures made with real pointer and key input, the result compared pixel by
// pixel with the drawing operations applied to the known picture.
#include "xsupport.h"

#include "app/data.h"
#include "surface/gesten.h"
#include "surface/scrwin.h"
#include "surface/textstempel.h"
#include "toolwindow/toolwin2.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>

namespace {

void xdo(const QStringList &args)
{
    xs::run(QStringLiteral("xdotool"), args);
}

// A drag with the left button through the given points, each a single pointer movement; a
// hurried drag sends them all at once, as a fast hand does to a program held up for a moment.
void ziehen(const QList<QPoint> &punkte, bool eilig = false)
{
    QStringList args{QStringLiteral("mousemove"), QString::number(punkte[0].x()),
                     QString::number(punkte[0].y()), QStringLiteral("mousedown"), QStringLiteral("1")};
    for (qsizetype i = 1; i < punkte.size(); ++i) {
        args << QStringLiteral("mousemove") << QString::number(punkte[i].x())
             << QString::number(punkte[i].y());
        if (!eilig)
            args << QStringLiteral("sleep") << QStringLiteral("0.05");
    }
    args << QStringLiteral("mouseup") << QStringLiteral("1");
    xdo(args);
}

void knopf(const char *name)
{
    QToolButton *b = ToolForm->Buttons.value(QString::fromLatin1(name));
    xs::click(xs::centre(b));
    QTRY_VERIFY(b->isChecked());
}

} // namespace

class TstX11Zeichnen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void drawWithEveryKindOfTool();
};

void TstX11Zeichnen::initTestCase()
{
    const QRect monitor = QGuiApplication::primaryScreen()->geometry();
    QString why;
    QVERIFY2(xs::showOnRoot(xs::knownPicture(monitor.size()), &why), qPrintable(why));
    xs::freshWindows();
}

void TstX11Zeichnen::drawWithEveryKindOfTool()
{
    TToolForm &t = *ToolForm;
    TScreenForm &s = *ScreenForm;
    QSignalSpy frozen(&t, &TToolForm::eingefroren);
    t.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t));
    xs::click(xs::centre(t.StartFertigBtn));
    QTRY_COMPARE(frozen.size(), 1);
    const QImage bild = s.Img1Bmp;

    // The same drawing, made by the drawing operations themselves.
    ToolState mt;
    SurfaceState ms;
    mt.OrigScrBmp = bild;
    ms.Img1Bmp = bild;
    mt.Sdicke = 21;
    mt.Scol = Palette::Gelb;
    mt.Smode = pmMask;
    // Reaching for the tool bar takes the marker off the picture.
    const auto werkzeug = [&](int modus) {
        Zeichenbewegung(mt, ms, 0, -1, -1);
        mt.Modus = modus;
    };

    // Transparent yellow, thickness 4, a rectangle.
    knopf("Dicke4Btn");
    knopf("MarkCol2Btn");
    knopf("RechteckBtn");
    QCOMPARE(t.Sdicke, 21);
    QCOMPARE(t.Smode, pmMask);
    ziehen({{300, 300}, {400, 350}, {500, 400}});
    QTRY_COMPARE(s.Lx, -1);
    werkzeug(4);
    mausDruecken(mt, ms, ssLeft, 300, 300);
    mausBewegen(mt, ms, ssLeft, 500, 400);
    mausLoslassen(mt, ms, 0, 500, 400);

    // A transparent yellow stroke with the pen.
    knopf("StiftBtn");
    ziehen({{300, 500}, {700, 600}});
    QTRY_COMPARE(s.MausShift, TShiftState(0));
    werkzeug(1);
    mausDruecken(mt, ms, ssLeft, 300, 500);
    mausBewegen(mt, ms, ssLeft, 700, 600);
    mausLoslassen(mt, ms, 0, 700, 600);

    // A zigzag drawn in a hurry: the pen goes through every corner the pointer reached, even
    // where the moves arrive together.
    const QList<QPoint> zickzack{{300, 700}, {350, 800}, {400, 700}, {450, 800}, {500, 700}, {550, 800}};
    ziehen(zickzack, true);
    QTRY_COMPARE(s.MausShift, TShiftState(0));
    mausDruecken(mt, ms, ssLeft, zickzack[0].x(), zickzack[0].y());
    for (const QPoint &p : zickzack.mid(1))
        mausBewegen(mt, ms, ssLeft, p.x(), p.y());
    mausLoslassen(mt, ms, 0, zickzack.last().x(), zickzack.last().y());

    // A check mark, stamped once although the pointer moves with the button held.
    knopf("HaekchenBtn");
    ziehen({{900, 300}, {950, 320}});
    werkzeug(7);
    mausDruecken(mt, ms, ssLeft, 900, 300);
    mausLoslassen(mt, ms, 0, 950, 320);

    // Text typed on the picture; moving onto the tool window puts it in.
    knopf("TextBtn");
    xs::click({900, 600});
    QTRY_VERIFY(s.Edit1->isVisible());
    const QPoint oben = s.Edit1->pos();
    QCOMPARE(s.Edit1->geometry().bottomLeft(), QPoint(900, 599));
    xdo({QStringLiteral("type"), QStringLiteral("Hallo")});
    QTRY_COMPARE(s.Edit1->text(), QStringLiteral("Hallo"));
    xdo({QStringLiteral("mousemove"), QString::number(xs::centre(&t).x()),
         QString::number(xs::centre(&t).y())});
    QTRY_VERIFY(s.Edit1->isHidden());
    textSchreiben(ms.Img1Bmp, oben, QStringLiteral("Hallo"), textSchrift(21), 39, Palette::Gelb);

    // Over the tool window no marker is left in the picture.
    QTRY_COMPARE(s.Sx, -1);
    Zeichenbewegung(mt, ms, 0, -1, -1);
    QString diff = xs::difference(s.Img1Bmp, ms.Img1Bmp);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QVERIFY(s.Img1Bmp != bild);

    // And the screen shows exactly that, around the tool window.
    diff = xs::waitForScreen(ms.Img1Bmp, xs::frameRect(t.winId()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

XS_TEST_MAIN(TstX11Zeichnen)
#include "tst_x11_zeichnen.moc"
