// Output on a real X server with real input: a drawing with a selected area goes into the
// screenshot folder as PNG through the save menu, and onto the clipboard where another
// program reads it.
#include "xsupport.h"

#include "app/data.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include "controls/meldform.h"

#include <QClipboard>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

namespace {

void ziehen(QPoint von, QPoint nach)
{
    xs::run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QString::number(von.x()), QString::number(von.y()),
             QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("mousemove"),
             QString::number((von.x() + nach.x()) / 2), QString::number((von.y() + nach.y()) / 2),
             QStringLiteral("sleep"), QStringLiteral("0.05"), QStringLiteral("mousemove"),
             QString::number(nach.x()), QString::number(nach.y()), QStringLiteral("sleep"),
             QStringLiteral("0.05"), QStringLiteral("mouseup"), QStringLiteral("1")});
}

void knopf(const char *name)
{
    xs::click(xs::centre(ToolForm->Buttons.value(QString::fromLatin1(name))));
}

} // namespace

class TstX11Ausgabe : public QObject
{
    Q_OBJECT

private slots:
    void areaToScreenshotFolderAndClipboard();
    void failedScreenshotShowsItsBoxOverThePicture();
    void markerLeftByAToolChoiceStaysOutOfTheOutputs();
};

void TstX11Ausgabe::areaToScreenshotFolderAndClipboard()
{
    const QImage known = xs::knownPicture(QGuiApplication::primaryScreen()->geometry().size());
    QString why;
    QVERIFY2(xs::showOnRoot(known, &why), qPrintable(why));
    xs::freshWindows();
    QVERIFY(xs::startClicked());
    TToolForm &t = *ToolForm;
    TScreenForm &s = *ScreenForm;
    // Managed by the window manager before the first stroke.
    QTRY_VERIFY(xs::stackingOrder().contains(s.winId()));

    // A stroke, then the area around it.
    ziehen({150, 150}, {250, 200});
    QTRY_VERIFY(s.Img1Bmp != known);
    knopf("BereichBtn");
    QTRY_COMPARE(t.Modus, 13);
    ziehen({100, 100}, {300, 250});
    QTRY_VERIFY(t.BereichRect.Right > 200);
    const QRect bereich(QPoint(t.BereichRect.Left, t.BereichRect.Top),
                        QPoint(t.BereichRect.Right - 1, t.BereichRect.Bottom - 1));
    QCOMPARE(bereich.topLeft(), QPoint(100, 100));

    // Save menu under its button, then the PNG screenshot entry.
    knopf("SaveBtn");
    QMenu *menu = t.SpeichernMenu;
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(xs::waitUntilPlaced(menu));
    QAction *png = t.Aktionen.value(QStringLiteral("AlsPNGScreenshotSpeichern"));
    QVERIFY(png);
    xs::click(menu->mapToGlobal(menu->actionGeometry(png).center()));

    const QDir ordner(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                      QStringLiteral("/Skizzomat/Screenshots"));
    QTRY_COMPARE(ordner.entryList({QStringLiteral("*.png")}, QDir::Files).size(), 1);
    const QString datei =
        ordner.filePath(ordner.entryList({QStringLiteral("*.png")}, QDir::Files).constFirst());
    QImage gespeichert;
    QTRY_VERIFY(gespeichert.load(datei));
    const QImage erwartet = s.Img1Bmp.copy(bereich);
    QVERIFY(erwartet != known.copy(bereich)); // the stroke is in it
    QString diff = xs::difference(gespeichert.convertToFormat(QImage::Format_RGB32), erwartet);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    // The clipboard, read by another program while we serve it.
    knopf("ClipBtn");
    QTRY_COMPARE(QGuiApplication::clipboard()->image().size(), bereich.size());
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
                 QStringLiteral("image/png"), QStringLiteral("-o")});
    QTRY_COMPARE_WITH_TIMEOUT(xclip.state(), QProcess::NotRunning, 10000);
    QCOMPARE(xclip.exitCode(), 0);
    const QImage ablage = QImage::fromData(xclip.readAllStandardOutput(), "PNG");
    QVERIFY(!ablage.isNull());
    diff = xs::difference(ablage.convertToFormat(QImage::Format_RGB32), erwartet);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

// A screenshot that cannot be written: the notice that it is stored is gone, and the error box
// above the frozen picture carries exactly its title.
void TstX11Ausgabe::failedScreenshotShowsItsBoxOverThePicture()
{
    xs::freshWindows();
    QVERIFY(xs::startClicked());
    TToolForm &t = *ToolForm;
    QTRY_VERIFY(xs::stackingOrder().contains(ScreenForm->winId()));
    // A click on the picture lets the window manager lift the surface as high as it goes.
    xs::click({960, 900});
    QTRY_VERIFY(xs::property(0, "_NET_ACTIVE_WINDOW").contains(QString::number(ScreenForm->winId(), 16)));

    QTemporaryDir dir;
    QFile datei(dir.filePath(QStringLiteral("datei")));
    QVERIFY(datei.open(QIODevice::WriteOnly));
    datei.close();
    Cfg.ScreenshotDir = datei.fileName() + QStringLiteral("/Screenshots");

    QList<unsigned long> box;
    QList<unsigned long> stapel;
    QString titel;
    bool geschaut = false;
    bool meldungDa = false;
    // Looks while the box is open, from within its own event loop, and closes it.
    QTimer schauen;
    QObject::connect(&schauen, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!qobject_cast<QMessageBox *>(modal) || geschaut)
            return;
        geschaut = true;
        meldungDa = MeldForm->isVisible();
        const auto gefunden = [&] {
            return !(box = xs::visibleWindowsNamed(QStringLiteral("Fehler"))).isEmpty();
        };
        if (QTest::qWaitFor(gefunden) &&
            QTest::qWaitFor([&] { return xs::stackingOrder().contains(box.first()); }))
            stapel = xs::stackingOrder();
        if (!box.isEmpty())
            titel = xs::property(box.first(), "_NET_WM_NAME");
        modal->close();
    });
    schauen.start(20);
    t.Aktionen.value(QStringLiteral("AlsPNGScreenshotSpeichern"))->trigger();
    QVERIFY(geschaut);
    QCOMPARE(box.size(), 1);
    QCOMPARE(titel, QStringLiteral("\"Fehler\""));
    const qsizetype flaeche = stapel.indexOf(ScreenForm->winId());
    QVERIFY(flaeche >= 0);
    QVERIFY(!meldungDa);
    QVERIFY(stapel.indexOf(box.first()) > flaeche);
    QVERIFY(MeldForm->isHidden());
}

// A tool chosen in the tool window draws its marker into the picture where the pointer is, at
// the window's edge; "Fertig" with the pointer still there must not keep it for the outputs.
void TstX11Ausgabe::markerLeftByAToolChoiceStaysOutOfTheOutputs()
{
    xs::freshWindows();
    const QImage known = xs::knownPicture(QGuiApplication::primaryScreen()->geometry().size());
    QString why;
    QVERIFY2(xs::showOnRoot(known, &why), qPrintable(why));
    QVERIFY(xs::startClicked());
    TToolForm &t = *ToolForm;
    t.BereichRect = KeinBereich; // the area of the case before is kept like a setting
    QTRY_VERIFY(xs::stackingOrder().contains(ScreenForm->winId()));
    knopf("LinieBtn");
    QTRY_COMPARE(t.Modus, 3);
    knopf("StiftBtn");
    QTRY_COMPARE(t.Modus, 1);
    QVERIFY(ScreenForm->Img1Bmp != known); // the marker, drawn at the pointer
    xs::focus(t.winId());
    xs::key(QStringLiteral("F9"));
    QTRY_COMPARE(t.WinZustand, 0);
    QString diff = xs::difference(ScreenForm->Img1Bmp, known);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    QGuiApplication::clipboard()->clear();
    xs::focus(t.winId());
    xs::key(QStringLiteral("ctrl+c"));
    QTRY_VERIFY(!QGuiApplication::clipboard()->image().isNull());
    diff = xs::difference(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), known);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

XS_TEST_MAIN(TstX11Ausgabe)
#include "tst_x11_ausgabe.moc"
