// The selection dialog on a real X server under a window manager, with real keys: opened with
// F2 from the tool window over the frozen picture, its fields typed through their access keys;
// the typed area's markers on the screen and its pixels in the screenshot folder.
#include "xsupport.h"

#include "app/data.h"
#include "controls/numedit.h"
#include "surface/auswahl.h"
#include "surface/auswahlmarker.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>

namespace {

void xdo(const QStringList &args)
{
    xs::run(QStringLiteral("xdotool"), args);
}

bool aktivieren(const QWidget *w)
{
    if (w->isActiveWindow())
        return true;
    xdo({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(w->winId())});
    return QTest::qWaitFor([w] { return w->isActiveWindow(); });
}

void ziehen(QPoint von, QPoint nach)
{
    xdo({QStringLiteral("mousemove"), QString::number(von.x()), QString::number(von.y()),
         QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("mousemove"),
         QString::number((von.x() + nach.x()) / 2), QString::number((von.y() + nach.y()) / 2),
         QStringLiteral("sleep"), QStringLiteral("0.05"), QStringLiteral("mousemove"),
         QString::number(nach.x()), QString::number(nach.y()), QStringLiteral("sleep"),
         QStringLiteral("0.05"), QStringLiteral("mouseup"), QStringLiteral("1")});
}

QStringList felder(const TAuswahlForm &d)
{
    return {d.LinksEdit->text(), d.ObenEdit->text(), d.BreiteEdit->text(), d.HoeheEdit->text()};
}

struct Sitzung
{
    QStringList gezeigt;       // the fields on opening
    bool ueberDemBild = false; // stacked above the frozen picture
    bool getippt = false;      // every field showed what was typed before the last key
    bool geschlossen = false;  // the dialog opened and closed again
};

// Presses F2 in the tool window and, once the dialog is up, types each non-empty entry of
// `eingabe` (left, top, width, height) after the access key of its field, then presses `ende`.
Sitzung f2(const QStringList &eingabe, const QString &ende)
{
    Sitzung s;
    bool offen = false;
    // Never left hanging, whatever goes wrong below; gone with this call.
    QTimer notbremse;
    notbremse.setSingleShot(true);
    QObject::connect(&notbremse, &QTimer::timeout, AuswahlForm, &QDialog::reject);
    QTimer schauen;
    QObject::connect(&schauen, &QTimer::timeout, [&] {
        TAuswahlForm &d = *AuswahlForm;
        if (offen || QApplication::activeModalWidget() != &d)
            return;
        offen = true;
        notbremse.start(10000);
        s.gezeigt = felder(d);
        QList<unsigned long> stapel;
        s.ueberDemBild =
            QTest::qWaitFor([&] { return (stapel = xs::stackingOrder()).contains(d.winId()); }) &&
            stapel.indexOf(d.winId()) > stapel.indexOf(ScreenForm->winId());
        if (!aktivieren(&d))
            return;
        QStringList soll = s.gezeigt;
        const char *zugriff[] = {"alt+l", "alt+o", "alt+b", "alt+h"};
        for (qsizetype i = 0; i < eingabe.size(); ++i) {
            if (eingabe[i].isEmpty())
                continue;
            xs::key(QString::fromLatin1(zugriff[i]));
            xdo({QStringLiteral("type"), eingabe[i]});
            soll[i] = eingabe[i];
        }
        s.getippt = QTest::qWaitFor([&] { return felder(d) == soll; });
        if (!s.getippt)
            qWarning() << "typed" << felder(d) << "expected" << soll << "active" << d.isActiveWindow()
                       << QApplication::focusWidget();
        xs::key(ende);
    });
    schauen.start(20);
    xs::key(QStringLiteral("F2"));
    s.geschlossen = QTest::qWaitFor([&] { return offen && AuswahlForm->isHidden(); }, 15000);
    return s;
}

// Stores the picture with "Als PNG-Bild in Screenshot-Ordner ablegen" from the save menu and
// reads the new file back.
QImage pngAblegen(QDir &ordner)
{
    const auto pngs = [&ordner] {
        return ordner.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    };
    const QStringList vorher = pngs();
    xs::click(xs::centre(ToolForm->Buttons.value(QStringLiteral("SaveBtn"))));
    QMenu *menu = ToolForm->SpeichernMenu;
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }) || !xs::waitUntilPlaced(menu)) {
        qWarning() << "no menu; tool window at" << ToolForm->geometry() << "active"
                   << ToolForm->isActiveWindow();
        return {};
    }
    QAction *png = ToolForm->Aktionen.value(QStringLiteral("AlsPNGScreenshotSpeichern"));
    xs::click(menu->mapToGlobal(menu->actionGeometry(png).center()));
    QString neu;
    QImage bild;
    const bool da = QTest::qWaitFor([&] {
        ordner.refresh();
        for (const QString &n : pngs())
            if (!vorher.contains(n))
                neu = n;
        return !neu.isEmpty() && bild.load(ordner.filePath(neu));
    });
    if (!da)
        qWarning() << "no file" << neu << pngs() << menu->isVisible();
    return !da ? QImage() : bild.convertToFormat(QImage::Format_RGB32);
}

// Every pixel of the column from y0 to y1 (exclusive) is pure black or white, as the dotted
// edge marker draws it, and both occur.
bool gepunktet(const QImage &schirm, int x, int y0, int y1)
{
    bool schwarz = false, weiss = false;
    for (int y = y0; y < y1; ++y) {
        const QRgb p = schirm.pixel(x, y) & 0xFFFFFF;
        schwarz |= p == 0;
        weiss |= p == 0xFFFFFF;
        if (p != 0 && p != 0xFFFFFF)
            return false;
    }
    return schwarz && weiss;
}

} // namespace

class TstX11Auswahl : public QObject
{
    Q_OBJECT

private slots:
    void typedAreaOnScreenAndInTheScreenshot();
};

void TstX11Auswahl::typedAreaOnScreenAndInTheScreenshot()
{
    const QImage known = xs::knownPicture(QGuiApplication::primaryScreen()->geometry().size());
    QString why;
    QVERIFY2(xs::showOnRoot(known, &why), qPrintable(why));
    xs::freshWindows();
    TToolForm &t = *ToolForm;
    TScreenForm &s = *ScreenForm;
    QSignalSpy frozen(&t, &TToolForm::eingefroren);
    t.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t));
    // The window manager's frame known and the window in its place in the top-right corner.
    const auto amPlatz = [&t] {
        const QRect rahmen = xs::frameRect(t.winId());
        return rahmen != t.geometry() && rahmen.right() == 1919 && rahmen.top() == 0;
    };
    QTRY_VERIFY2(
        amPlatz(),
        qPrintable(
            QStringLiteral("the tool window stands at %1,%2").arg(t.geometry().x()).arg(t.geometry().y())));
    xs::click(xs::centre(t.StartFertigBtn));
    QTRY_COMPARE(frozen.size(), 1);
    QTRY_VERIFY(xs::stackingOrder().contains(s.winId()));
    // Listed by the window manager before it is mapped at its place: a stroke then would go to
    // the desktop under it (seen on a busy machine).
    QVERIFY(xs::waitUntilPlaced(&s));
    // A stroke with the pen; the window manager lifts the clicked picture as high as it goes.
    ziehen({150, 80}, {250, 110});
    QTRY_VERIFY(s.Img1Bmp != known);
    QDir ordner(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                QStringLiteral("/Skizzomat/Screenshots"));

    // F2 from the tool window, the four fields typed, Enter.
    QVERIFY(aktivieren(&t));
    Sitzung d = f2({"100", "50", "200", "80"}, QStringLiteral("Return"));
    QCOMPARE(d.gezeigt, (QStringList{"0", "0", "0", "0"}));
    QVERIFY(d.geschlossen);
    QVERIFY(d.ueberDemBild);
    QVERIFY(d.getippt);
    QCOMPARE(t.BereichRect, (TRect{100, 50, 300, 130}));
    // Its dotted edges are on the screen at once.
    QTRY_VERIFY([] {
        const QImage schirm = xs::readScreen();
        return gepunktet(schirm, 100, 50, 130) && gepunktet(schirm, 299, 50, 130);
    }());
    const QImage ausschnitt = pngAblegen(ordner);
    QCOMPARE(ausschnitt.size(), QSize(200, 80));
    QVERIFY(ausschnitt != known.copy(100, 50, 200, 80)); // the stroke is in it
    QString diff = xs::difference(ausschnitt, s.Img1Bmp.copy(100, 50, 200, 80));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    // Escape after typing changes nothing.
    QVERIFY(aktivieren(&t));
    d = f2({"10", "", "20", ""}, QStringLiteral("Escape"));
    QCOMPARE(d.gezeigt, (QStringList{"100", "50", "200", "80"}));
    QVERIFY(d.getippt);
    QCOMPARE(t.BereichRect, (TRect{100, 50, 300, 130}));

    // Width 0 removes the area and its markers.
    QVERIFY(aktivieren(&t));
    d = f2({"", "", "0", ""}, QStringLiteral("Return"));
    QVERIFY(d.getippt);
    QCOMPARE(t.BereichRect, KeinBereich);
    QVERIFY(s.Auswahl->BereichX1Pan->isHidden());
    diff = xs::waitForScreen(s.Img1Bmp, QRegion(xs::frameRect(t.winId())));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    // A left beyond the screen: one pixel wide at the last column.
    QVERIFY(aktivieren(&t));
    d = f2({"5000", "50", "200", "80"}, QStringLiteral("Return"));
    QVERIFY(d.getippt);
    QCOMPARE(t.BereichRect, (TRect{1919, 50, 1920, 130}));
    const QImage spalte = pngAblegen(ordner);
    QCOMPARE(spalte.size(), QSize(1, 80));
    diff = xs::difference(spalte, s.Img1Bmp.copy(1919, 50, 1, 80));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

XS_TEST_MAIN(TstX11Auswahl)
#include "tst_x11_auswahl.moc"
