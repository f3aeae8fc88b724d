// Keys on a real X server without a window manager, typed with real input: what a key does
// once the text entry has been used and closed, and the keypad's divide key with Ctrl.
#include "xsupport.h"

#include "app/data.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

namespace {

void xdo(const QStringList &args)
{
    xs::run(QStringLiteral("xdotool"), args);
}

// Without a window manager nothing becomes active by itself.
void fokus(const QWidget *w)
{
    xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(w->winId())});
    QTRY_VERIFY(w->isActiveWindow());
}

void zeigerAuf(QPoint p)
{
    xdo({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())});
}

} // namespace

class TstX11Tasten : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void closedEntryLeavesTheKeysToTheSurface();
    void arrowKeysMoveTheAreaAfterText();
    void ctrlKeypadDivideZoomsOut_data();
    void ctrlKeypadDivideZoomsOut();
    void cleanupTestCase();

private:
    // Text typed at `wo` and put into the picture with Enter.
    void textSchreiben(QPoint wo, const QString &text);
    QImage m_known;
};

void TstX11Tasten::initTestCase()
{
    m_known = xs::knownPicture(QGuiApplication::primaryScreen()->geometry().size());
    QString why;
    QVERIFY2(xs::showOnRoot(m_known, &why), qPrintable(why));
}

void TstX11Tasten::init()
{
    xs::freshWindows();
    QVERIFY(xs::startClicked());
    fokus(ScreenForm);
}

void TstX11Tasten::cleanupTestCase()
{
    xs::run(QStringLiteral("setxkbmap"), {QStringLiteral("us")});
}

void TstX11Tasten::textSchreiben(QPoint wo, const QString &text)
{
    xs::key(QStringLiteral("alt+t"));
    QTRY_COMPARE(ToolForm->Modus, 6);
    xs::click(wo);
    QTRY_VERIFY(ScreenForm->Edit1->isVisible());
    xdo({QStringLiteral("type"), text});
    QTRY_COMPARE(ScreenForm->Edit1->text(), text);
    xs::key(QStringLiteral("Return"));
    QTRY_VERIFY(ScreenForm->Edit1->isHidden());
}

void TstX11Tasten::closedEntryLeavesTheKeysToTheSurface()
{
    TScreenForm &s = *ScreenForm;
    textSchreiben({900, 600}, QStringLiteral("eins"));
    // Over the tool window no marker is in the picture.
    zeigerAuf(xs::centre(ToolForm));
    QTRY_COMPARE(s.Sx, -1);
    const QImage mitText = s.Img1Bmp;
    QVERIFY(mitText != m_known);

    // Keys typed with no entry shown go nowhere; Enter and Escape on the surface write
    // nothing and leave no bar behind, with the text tool and with the pen.
    zeigerAuf({700, 400});
    QTRY_COMPARE(s.Sx, 700);
    for (const char *werkzeug : {"alt+t", "alt+s"}) {
        xs::key(QString::fromLatin1(werkzeug));
        xdo({QStringLiteral("type"), QStringLiteral("xyz")});
        xs::key(QStringLiteral("Return"));
        xs::key(QStringLiteral("Escape"));
        xs::key(QStringLiteral("Escape"));
        xs::key(QStringLiteral("Escape"));
    }
    QTRY_COMPARE(ToolForm->Modus, 1);
    QCOMPARE(ToolForm->WinZustand, 1);
    QVERIFY(s.Edit1->text().isEmpty());
    zeigerAuf(xs::centre(ToolForm));
    QTRY_COMPARE(s.Sx, -1);
    QString diff = xs::difference(s.Img1Bmp, mitText);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    // The next entry opens empty.
    xs::key(QStringLiteral("alt+t"));
    QTRY_COMPARE(ToolForm->Modus, 6);
    xs::click({500, 300});
    QTRY_VERIFY(s.Edit1->isVisible());
    QVERIFY(s.Edit1->text().isEmpty());
    xs::key(QStringLiteral("Escape"));
    QTRY_VERIFY(s.Edit1->isHidden());
    zeigerAuf(xs::centre(ToolForm));
    QTRY_COMPARE(s.Sx, -1);
    diff = xs::difference(s.Img1Bmp, mitText);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TstX11Tasten::arrowKeysMoveTheAreaAfterText()
{
    textSchreiben({900, 600}, QStringLiteral("a"));
    xs::key(QStringLiteral("alt+b"));
    QTRY_COMPARE(ToolForm->Modus, 13);
    ToolForm->BereichRect = {100, 100, 300, 200};
    ScreenForm->AuswahlBereichZeigen();
    for (const char *taste : {"Left", "Right", "Right", "Up", "Down", "Down"})
        xs::key(QString::fromLatin1(taste));
    QTRY_COMPARE(ToolForm->BereichRect, (TRect{101, 101, 301, 201}));
}

void TstX11Tasten::ctrlKeypadDivideZoomsOut_data()
{
    QTest::addColumn<QString>("belegung");
    QTest::newRow("us") << "us";
    QTest::newRow("de") << "de";
}

void TstX11Tasten::ctrlKeypadDivideZoomsOut()
{
    QFETCH(QString, belegung);
    QCOMPARE(xs::run(QStringLiteral("setxkbmap"), {belegung}).exitCode, 0);
    zeigerAuf({900, 500});
    // Ctrl+Z opens the zoom view; two more steps make it 4x.
    xs::key(QStringLiteral("ctrl+z"));
    QTRY_COMPARE(ToolForm->Modus, 15);
    ToolForm->ZoomInBtnClick();
    ToolForm->ZoomInBtnClick();
    QCOMPARE(ToolForm->ZoomFak, 4.0f);
    xs::key(QStringLiteral("ctrl+KP_Divide"));
    QTRY_COMPARE(ToolForm->ZoomFak, 3.0f);
    // The same from the tool window.
    fokus(ToolForm);
    xs::key(QStringLiteral("ctrl+KP_Divide"));
    QTRY_COMPARE(ToolForm->ZoomFak, 2.0f);
    // The slash of the main keyboard is not the shortcut.
    xs::key(QStringLiteral("ctrl+slash"));
    QTest::qWait(100);
    QCOMPARE(ToolForm->ZoomFak, 2.0f);
}

XS_TEST_MAIN(TstX11Tasten)
#include "tst_x11_tasten.moc"
