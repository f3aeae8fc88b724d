// The selection tool on a frozen picture: drawing an area with its panels, moving it by the
// keyboard of either window and by its info panel, and what output takes.
#include "bildhilfe.h"
#include "eingefroren.h"
#include "output/screenshot.h"
#include "surface/auswahlmarker.h"

#include <QLabel>
#include <QPushButton>

class TstBereich : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void dragArea_data();
    void dragArea();
    void dragPastThePictureIsClipped();
    void arrowKeys_data();
    void arrowKeys();
    void outputTakesAreaOrWholePicture_data();
    void outputTakesAreaOrWholePicture();
    void crosshairPanelDodgesThePointer();
    void draggingInfoPanelMovesArea();
    void undoBringsBackThePreviousArea();

private:
    QImage m_bild;
};

void TstBereich::initTestCase()
{
    m_bild = musterBild(400, 300);
    QVERIFY(einfrieren(m_bild));
}

void TstBereich::init()
{
    ScreenForm->Zeichenbewegung(0, -1, -1);
    ScreenForm->Img1Bmp = m_bild;
    ToolForm->BereichRect = KeinBereich;
    aktion("Bereich1")->trigger();
    // Qt drops a move to where the pointer already is: start each case away from its points.
    bewege(ScreenForm->Img1, {390, 290});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    ScreenForm->FadenkreuzInfoPan->move(-1, -1);
}

void TstBereich::dragArea_data()
{
    QTest::addColumn<QPoint>("von");
    QTest::addColumn<QPoint>("nach");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<TRect>("bereich");
    QTest::addColumn<QString>("info");
    const QString info100 = QStringLiteral(" (100,100) - (199,149)  B:100 H:50");
    QTest::newRow("down right") << QPoint(100, 100) << QPoint(199, 149) << false
                                << "(100,100) - (199,149)  B:100 H:50" << TRect{100, 100, 200, 150}
                                << info100;
    QTest::newRow("up left") << QPoint(199, 149) << QPoint(100, 100) << false
                             << "(100,100) - (199,149)  B:100 H:50" << TRect{100, 100, 200, 150} << info100;
    QTest::newRow("shift square") << QPoint(100, 100) << QPoint(180, 130) << true
                                  << "(100,100) - (130,130)  B:31 H:31" << TRect{100, 100, 131, 131}
                                  << " (100,100) - (130,130)  B:31 H:31";
    QTest::newRow("click removes the area") << QPoint(100, 100) << QPoint(100, 100) << false
                                            << "(100,100) - (100,100)  B:1 H:1" << KeinBereich << QString();
}

void TstBereich::dragArea()
{
    QFETCH(QPoint, von);
    QFETCH(QPoint, nach);
    QFETCH(bool, shift);
    QFETCH(QString, panel);
    QFETCH(TRect, bereich);
    QFETCH(QString, info);
    ToolForm->BereichRect = {10, 10, 50, 50};
    const Qt::KeyboardModifiers keys = shift ? Qt::ShiftModifier : Qt::NoModifier;
    QWidget *img = ScreenForm->Img1;
    bewege(img, von);
    QCOMPARE(ScreenForm->FadenkreuzInfoPan->text(), QStringLiteral("(%1,%2)").arg(von.x()).arg(von.y()));
    QTest::mousePress(img, Qt::LeftButton, keys, von);
    QVERIFY(!ScreenForm->Auswahl->BereichX1Pan->isVisible()); // the old area went at the press
    bewege(img, nach, keys);
    QCOMPARE(ScreenForm->FadenkreuzInfoPan->text(), panel);
    QTest::mouseRelease(img, Qt::LeftButton, keys, nach);
    QCOMPARE(ToolForm->BereichRect, bereich);
    QCOMPARE(ScreenForm->FadenkreuzInfoPan->text(), QString());
    QLabel *infoPan = ScreenForm->Auswahl->BereichInfoPan;
    QCOMPARE(infoPan->isVisible(), !info.isEmpty());
    if (!info.isEmpty())
        QCOMPARE(infoPan->text(), info);
    // Crosshair and edges were inverted twice: the picture is as it was.
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
}

// The pointer stays captured while it leaves the surface: the area is what lies on the picture.
void TstBereich::dragPastThePictureIsClipped()
{
    QWidget *img = ScreenForm->Img1;
    bewege(img, {300, 200});
    QTest::mousePress(img, Qt::LeftButton, {}, {300, 200});
    bewege(img, {450, 340});
    QTest::mouseRelease(img, Qt::LeftButton, {}, {450, 340});
    QCOMPARE(ToolForm->BereichRect, (TRect{300, 200, 400, 300}));
    SetAuswahlBmp(*ToolForm, ScreenForm->Img1Bmp);
    QCOMPARE(ToolForm->AuswahlBmp, m_bild.copy(300, 200, 100, 100));
}

void TstBereich::arrowKeys_data()
{
    QTest::addColumn<bool>("werkzeugfenster");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("anzahl");
    QTest::addColumn<TRect>("vorher");
    QTest::addColumn<TRect>("nachher");
    QTest::newRow("right stops at the edge")
        << false << int(Qt::Key_Right) << 150 << TRect{100, 50, 300, 80} << TRect{200, 50, 400, 80};
    QTest::newRow("down, one pixel each")
        << false << int(Qt::Key_Down) << 3 << TRect{100, 50, 300, 80} << TRect{100, 53, 300, 83};
    QTest::newRow("tool window, left stops at 0")
        << true << int(Qt::Key_Left) << 10 << TRect{5, 50, 30, 80} << TRect{0, 50, 25, 80};
    QTest::newRow("tool window, up") << true << int(Qt::Key_Up) << 2 << TRect{5, 50, 30, 80}
                                     << TRect{5, 48, 30, 78};
    QTest::newRow("no area: ignored") << false << int(Qt::Key_Right) << 5 << KeinBereich << KeinBereich;
    QTest::newRow("right = 1 is no area")
        << true << int(Qt::Key_Right) << 5 << TRect{0, 10, 1, 50} << TRect{0, 10, 1, 50};
}

void TstBereich::arrowKeys()
{
    QFETCH(bool, werkzeugfenster);
    QFETCH(int, key);
    QFETCH(int, anzahl);
    QFETCH(TRect, vorher);
    QFETCH(TRect, nachher);
    ToolForm->BereichRect = vorher;
    const TRect sicherung = ToolForm->BakBereichRect;
    // In the tool window the focused Start/Fertig button gets the keys first.
    QWidget *ziel = werkzeugfenster ? static_cast<QWidget *>(ToolForm->StartFertigBtn) : ScreenForm;
    for (int i = 0; i < anzahl; ++i)
        QTest::keyClick(ziel, Qt::Key(key));
    QCOMPARE(ToolForm->BereichRect, nachher);
    QCOMPARE(ToolForm->BakBereichRect, sicherung);
    QCOMPARE(ScreenForm->Auswahl->BereichX1Pan->isVisible(), AuswahlbereichAktiv(nachher));
    if (AuswahlbereichAktiv(nachher))
        QCOMPARE(ScreenForm->Auswahl->BereichX2Pan->geometry().left(), nachher.Right - 1);
}

void TstBereich::outputTakesAreaOrWholePicture_data()
{
    QTest::addColumn<TRect>("bereich");
    QTest::addColumn<QRect>("ausschnitt");
    QTest::newRow("area") << TRect{100, 100, 200, 150} << QRect(100, 100, 100, 50);
    QTest::newRow("right = 1") << TRect{0, 10, 1, 50} << QRect(0, 0, 400, 300);
    QTest::newRow("none") << KeinBereich << QRect(0, 0, 400, 300);
}

void TstBereich::outputTakesAreaOrWholePicture()
{
    QFETCH(TRect, bereich);
    QFETCH(QRect, ausschnitt);
    ToolForm->BereichRect = bereich;
    ScreenForm->AuswahlBereichZeigen();
    QCOMPARE(ScreenForm->Auswahl->BereichY1Pan->isVisible(), ausschnitt.width() != 400);
    SetAuswahlBmp(*ToolForm, ScreenForm->Img1Bmp);
    QCOMPARE(ToolForm->AuswahlBmp, m_bild.copy(ausschnitt));
}

void TstBereich::crosshairPanelDodgesThePointer()
{
    QLabel *panel = ScreenForm->FadenkreuzInfoPan;
    QVERIFY(panel->isVisible());
    QWidget *img = ScreenForm->Img1;
    bewege(img, {300, 200});
    QCOMPARE(panel->geometry(), QRect(-1, -1, 266, 19));
    bewege(img, {265, 18}); // on the panel's edge, bounds inclusive
    QCOMPARE(panel->x(), 400 - 266 + 1);
    bewege(img, {100, 10});
    QCOMPARE(panel->x(), 400 - 266 + 1);
    bewege(img, {140, 5});
    QCOMPARE(panel->x(), -1);
    QCOMPARE(panel->text(), QStringLiteral("(140,5)"));
    aktion("Stift1")->trigger();
    ToolForm->CheckPanels();
    QVERIFY(panel->isHidden());
}

void TstBereich::draggingInfoPanelMovesArea()
{
    ToolForm->BereichRect = {100, 100, 200, 150};
    ScreenForm->AuswahlBereichZeigen();
    ToolForm->CheckPanels();
    const TRect sicherung = ToolForm->BakBereichRect;
    QLabel *info = ScreenForm->Auswahl->BereichInfoPan;
    QVERIFY(info->isVisible());
    QTest::mousePress(info, Qt::LeftButton, {}, {10, 5});
    QTest::mouseEvent(QTest::MouseMove, info, Qt::NoButton, {}, {40, 25}); // the grab point follows
    QCOMPARE(ToolForm->BereichRect, (TRect{130, 120, 230, 170}));
    QCOMPARE(info->pos(), QPoint(130, 101));
    QTest::mouseEvent(QTest::MouseMove, info, Qt::NoButton, {}, {-500, 5});
    QCOMPARE(ToolForm->BereichRect, (TRect{0, 120, 100, 170}));
    QTest::mouseRelease(info, Qt::LeftButton, {}, {-500, 5});
    QCOMPARE(ToolForm->BakBereichRect, sicherung);
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
}

void TstBereich::undoBringsBackThePreviousArea()
{
    ToolForm->BereichRect = {10, 10, 50, 50};
    ziehe(ScreenForm->Img1, {100, 100}, {199, 149});
    QCOMPARE(ToolForm->BereichRect, (TRect{100, 100, 200, 150}));
    aktion("Rckgngig1")->trigger();
    QCOMPARE(ToolForm->BereichRect, (TRect{10, 10, 50, 50}));
    QCOMPARE(ToolForm->Modus, 13);
    QCOMPARE(ScreenForm->Auswahl->BereichX2Pan->geometry(), QRect(49, 10, 1, 40));
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
}

QTEST_MAIN(TstBereich)
#include "tst_bereich.moc"
