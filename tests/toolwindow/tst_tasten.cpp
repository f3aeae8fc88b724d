// The key handlers of both windows and the shortcuts of the undo, clear and zoom commands,
// on a frozen picture.
#include "../surface/bildhilfe.h"
#include "../surface/eingefroren.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

class TstTasten : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void shortcutsInBothWindows_data();
    void shortcutsInBothWindows();
    void ctrlBackspaceWhileTypingUndoes();
    void keypadPlusAndMinus_data();
    void keypadPlusAndMinus();
    void zoomKeys();
    void escape();

private:
    QImage m_bild;
};

void TstTasten::initTestCase()
{
    m_bild = musterBild(400, 300);
    QVERIFY(einfrieren(m_bild));
}

void TstTasten::init()
{
    if (ToolForm->WinZustand != 1)
        QVERIFY(einfrieren(m_bild));
    ScreenForm->Edit1->clear();
    ScreenForm->Edit1->hide();
    ScreenForm->Eintrag.Offen = false;
    aktion("Stift1")->trigger();
    ScreenForm->Zeichenbewegung(0, -1, -1);
    ScreenForm->Img1Bmp = m_bild;
    ToolForm->OrigScrBmp = m_bild;
}

void TstTasten::cleanup()
{
    while (ToolForm->Modus == 15)
        aktion("Herauszoomen1")->trigger();
}

void TstTasten::shortcutsInBothWindows_data()
{
    QTest::addColumn<bool>("werkzeugfenster");
    QTest::addColumn<QKeySequence>("taste");
    QTest::addColumn<int>("modus");       // afterwards
    QTest::addColumn<int>("stufe");       // zoom step afterwards, 0 outside the zoom view
    QTest::addColumn<bool>("gezeichnet"); // the stroke drawn before is still there
    for (const bool w : {false, true}) {
        const char *fenster = w ? "tool window: " : "surface: ";
        const auto zeile = [&](const char *name) -> QTestData & {
            return QTest::newRow(qPrintable(fenster + QString::fromLatin1(name)));
        };
        zeile("Ctrl+Z opens the zoom view, no undo")
            << w << QKeySequence(Qt::ControlModifier | Qt::Key_Z) << 15 << 2 << true;
        zeile("Ctrl+Backspace undoes")
            << w << QKeySequence(Qt::ControlModifier | Qt::Key_Backspace) << 1 << 0 << false;
        zeile("Ctrl+Delete clears") << w << QKeySequence(Qt::ControlModifier | Qt::Key_Delete) << 1 << 0
                                    << false;
        zeile("Ctrl and plus zooms in")
            << w << QKeySequence(Qt::ControlModifier | Qt::Key_Plus) << 15 << 2 << true;
        zeile("Ctrl and = zooms in (US layout)")
            << w << QKeySequence(Qt::ControlModifier | Qt::Key_Equal) << 15 << 2 << true;
    }
}

void TstTasten::shortcutsInBothWindows()
{
    QFETCH(bool, werkzeugfenster);
    QFETCH(QKeySequence, taste);
    QFETCH(int, modus);
    QFETCH(int, stufe);
    QFETCH(bool, gezeichnet);
    ziehe(ScreenForm->Img1, {50, 50}, {150, 80});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QVERIFY(ScreenForm->Img1Bmp != m_bild);
    QWidget *fenster = werkzeugfenster ? static_cast<QWidget *>(ToolForm) : ScreenForm;
    fenster->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fenster));
    QTest::keySequence(fenster, taste);
    QCOMPARE(ToolForm->Modus, modus);
    if (stufe)
        QCOMPARE(ToolForm->ZoomfakNr, stufe);
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCOMPARE(ScreenForm->Img1Bmp != m_bild, gezeichnet);
}

// A menu shortcut wins over the entry's own editing keys: Ctrl+Backspace runs undo rather
// than deleting the word typed.
void TstTasten::ctrlBackspaceWhileTypingUndoes()
{
    aktion("Text1")->trigger();
    ScreenForm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(ScreenForm));
    QTest::mouseClick(ScreenForm->Img1, Qt::LeftButton, {}, {100, 200});
    QLineEdit *edit = ScreenForm->Edit1;
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClicks(edit, QStringLiteral("ab cd"));
    QSignalSpy rueckgaengig(aktion("Rckgngig1"), &QAction::triggered);
    QTest::keyClick(edit, Qt::Key_Backspace, Qt::ControlModifier);
    QCOMPARE(rueckgaengig.count(), 1);
    QVERIFY(!edit->text().endsWith(QStringLiteral("ab ")));
    // Ctrl+Z in the entry opens the zoom view too.
    ToolForm->CheckPanels();
    aktion("Text1")->trigger();
    QTest::mouseClick(ScreenForm->Img1, Qt::LeftButton, {}, {100, 250});
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClicks(edit, QStringLiteral("x"));
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(ToolForm->Modus, 15);
}

void TstTasten::keypadPlusAndMinus_data()
{
    QTest::addColumn<bool>("werkzeugfenster");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("ziffernblock");
    QTest::addColumn<int>("stufe");
    QTest::newRow("surface: keypad plus") << false << int(Qt::Key_Plus) << true << 4;
    QTest::newRow("tool window: keypad plus") << true << int(Qt::Key_Plus) << true << 4;
    QTest::newRow("surface: keypad minus") << false << int(Qt::Key_Minus) << true << 2;
    QTest::newRow("tool window: main minus") << true << int(Qt::Key_Minus) << false << 2;
    QTest::newRow("tool window: keypad divide") << true << int(Qt::Key_Slash) << true << 2;
}

void TstTasten::keypadPlusAndMinus()
{
    QFETCH(bool, werkzeugfenster);
    QFETCH(int, key);
    QFETCH(bool, ziffernblock);
    QFETCH(int, stufe);
    aktion("Zoom1")->trigger();
    aktion("Hineinzoomen1")->trigger();
    QCOMPARE(ToolForm->ZoomfakNr, 3);
    QWidget *fenster = werkzeugfenster ? static_cast<QWidget *>(ToolForm) : ScreenForm;
    fenster->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fenster));
    const Qt::KeyboardModifiers mods =
        Qt::ControlModifier | (ziffernblock ? Qt::KeypadModifier : Qt::NoModifier);
    QTest::keyClick(fenster, Qt::Key(key), mods);
    QCOMPARE(ToolForm->ZoomfakNr, stufe);
}

// In the zoom view: Shift shows the pipette at once, Ctrl the crosshair; F holds until any key
// is released.
void TstTasten::zoomKeys()
{
    aktion("Zoom1")->trigger();
    TZoomAnzeige *img2 = ScreenForm->Img2;
    // Straight to the widget: Qt may still think a modifier of an earlier case is down.
    QMouseEvent hin(QEvent::MouseMove, QPointF(120, 80), img2->mapToGlobal(QPointF(120, 80)), Qt::NoButton,
                    Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(img2, &hin);
    QCOMPARE(img2->cursor().shape(), Qt::ArrowCursor);
    QTest::keyPress(ScreenForm, Qt::Key_Shift);
    QCOMPARE(img2->cursor().shape(), Qt::BitmapCursor);
    QTest::keyRelease(ScreenForm, Qt::Key_Shift);
    QCOMPARE(img2->cursor().shape(), Qt::ArrowCursor);

    for (QWidget *fenster : {static_cast<QWidget *>(ScreenForm), static_cast<QWidget *>(ToolForm)}) {
        QTest::keyPress(fenster, Qt::Key_Control);
        QVERIFY(img2->balkenSichtbar());
        QTest::keyRelease(fenster, Qt::Key_Control);
        QVERIFY(!img2->balkenSichtbar());

        QTest::keyPress(fenster, Qt::Key_F);
        QVERIFY(ScreenForm->UmschaltFGedrueckt);
        QTest::keyPress(fenster, Qt::Key_A);
        QTest::keyRelease(fenster, Qt::Key_A);
        QVERIFY(!ScreenForm->UmschaltFGedrueckt);
        QTest::keyRelease(fenster, Qt::Key_F);
    }
}

void TstTasten::escape()
{
    QTest::keyClick(ScreenForm, Qt::Key_Escape);
    QCOMPARE(ToolForm->WinZustand, 1);
    QTest::keyClick(ToolForm, Qt::Key_Escape);
    QCOMPARE(ToolForm->WinZustand, 0);
    // Collapsed, the key handlers do nothing.
    ToolForm->Modus = 13;
    ToolForm->BereichRect = {10, 10, 50, 50};
    QTest::keyClick(ToolForm->StartFertigBtn, Qt::Key_Right);
    QCOMPARE(ToolForm->BereichRect, (TRect{10, 10, 50, 50}));
    ToolForm->BereichRect = KeinBereich;
}

QTEST_MAIN(TstTasten)
#include "tst_tasten.moc"
