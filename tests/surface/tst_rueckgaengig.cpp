// Undo and "Alles löschen" on a frozen picture: what comes back, what stays, and that no
// marker is left behind.
#include "bildhilfe.h"
#include "eingefroren.h"
#include "surface/sicherung.h"

class TstRueckgaengig : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void undoTwiceIsOnceAndLeavesNoMarker();
    void drawClearUndo();
    void undoRestoresTheTool();
    void undoAfterThicknessChangeLeavesNoRing();
    void clearThenUndoLeavesNoMarker();
    void clickInMagnifierOrZoomReplacesSnapshot_data();
    void clickInMagnifierOrZoomReplacesSnapshot();
    void afterFertigAndStartTheNewScreen_data();
    void afterFertigAndStartTheNewScreen();
    void firstStrokeBeforeOrAfterTheBackupIsMade_data();
    void firstStrokeBeforeOrAfterTheBackupIsMade();

private:
    QImage m_bild;
};

void TstRueckgaengig::initTestCase()
{
    m_bild = musterBild(400, 300);
    QVERIFY(einfrieren(m_bild));
}

void TstRueckgaengig::init()
{
    ScreenForm->Zeichenbewegung(0, -1, -1);
    ToolForm->BereichRect = KeinBereich;
    QVERIFY(einfrieren(m_bild));
    aktion("Dicke1")->trigger();
    aktion("DeckCol6")->trigger();
    aktion("Stift1")->trigger();
    ScreenForm->Zeichenbewegung(0, -1, -1);
}

// The press took the snapshot with the line tool's marker in it; undo must take that marker
// away too, and a second undo changes nothing.
void TstRueckgaengig::undoTwiceIsOnceAndLeavesNoMarker()
{
    aktion("Linie1")->trigger();
    ziehe(ScreenForm->Img1, {10, 10}, {60, 40});
    QVERIFY(ScreenForm->Img1Bmp != m_bild);
    aktion("Rckgngig1")->trigger();
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
    const int modus = ToolForm->Modus;
    aktion("Rckgngig1")->trigger();
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
    QCOMPARE(ToolForm->Modus, modus);
    bewege(ScreenForm->Img1, {200, 150});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
}

// The snapshot holds the marker drawn at the old thickness; a thicker marker erased over it
// would leave a ring of inverted pixels.
void TstRueckgaengig::undoAfterThicknessChangeLeavesNoRing()
{
    aktion("Dicke3")->trigger();
    bewege(ScreenForm->Img1, {100, 100});
    ziehe(ScreenForm->Img1, {100, 100}, {160, 130});
    aktion("Dicke4")->trigger();
    aktion("Rckgngig1")->trigger();
    bewege(ScreenForm->Img1, {300, 250});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
}

// "Alles löschen" by shortcut with the marker on the picture, after a thickness change.
void TstRueckgaengig::clearThenUndoLeavesNoMarker()
{
    ziehe(ScreenForm->Img1, {100, 100}, {160, 130});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    const QImage gezeichnet = ScreenForm->Img1Bmp;
    aktion("Dicke4")->trigger();
    bewege(ScreenForm->Img1, {250, 200});
    aktion("Alleslschen1")->trigger();
    aktion("Rckgngig1")->trigger();
    bewege(ScreenForm->Img1, {300, 250});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCOMPARE(ScreenForm->Img1Bmp, gezeichnet);
}

void TstRueckgaengig::drawClearUndo()
{
    ToolForm->BereichRect = {10, 10, 50, 50};
    ziehe(ScreenForm->Img1, {100, 100}, {150, 120});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    const QImage gezeichnet = ScreenForm->Img1Bmp;
    QVERIFY(gezeichnet != m_bild);
    const QImage hintergrundSicherung = ToolForm->BackupOrigScrBmp;

    aktion("Alleslschen1")->trigger();
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
    QCOMPARE(sicherungsBild(*ToolForm), gezeichnet);
    QCOMPARE(ToolForm->Modus, 1);
    QCOMPARE(ToolForm->BereichRect, (TRect{10, 10, 50, 50}));
    QCOMPARE(ToolForm->BackupOrigScrBmp, hintergrundSicherung);
    QCOMPARE(ScreenForm->Sx, -1);

    aktion("Rckgngig1")->trigger();
    QCOMPARE(ScreenForm->Img1Bmp, gezeichnet);
    // Drawing after the undo starts from the restored picture, and its snapshot is exact.
    ziehe(ScreenForm->Img1, {20, 200}, {80, 200});
    aktion("Rckgngig1")->trigger();
    QCOMPARE(ScreenForm->Img1Bmp, gezeichnet);
}

void TstRueckgaengig::undoRestoresTheTool()
{
    ziehe(ScreenForm->Img1, {100, 100}, {150, 120});
    aktion("Rechteck1")->trigger();
    ToolForm->Buttons.value(QStringLiteral("RueckgaengigBtn"))->click();
    QCOMPARE(ToolForm->Modus, 1);
    QVERIFY(aktion("Stift1")->isChecked());
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
}

void TstRueckgaengig::clickInMagnifierOrZoomReplacesSnapshot_data()
{
    QTest::addColumn<QString>("werkzeug");
    QTest::newRow("magnifier") << "Lupe1";
    QTest::newRow("zoom view") << "Zoom1";
}

// The click draws nothing but takes the snapshot: undo keeps the stroke and re-enters the
// mode it was clicked in (the zoom view at the centre, returning to the pen), leaving no
// marker behind on the way.
void TstRueckgaengig::clickInMagnifierOrZoomReplacesSnapshot()
{
    QFETCH(QString, werkzeug);
    ziehe(ScreenForm->Img1, {100, 100}, {150, 120});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    const QImage gezeichnet = ScreenForm->Img1Bmp;
    ToolForm->Aktionen.value(werkzeug)->trigger();
    const int modus = ToolForm->Modus;
    QTest::mouseClick(ScreenForm->Img2, Qt::LeftButton, {}, {30, 30});
    aktion("Stift1")->trigger();
    aktion("Rckgngig1")->trigger();
    QCOMPARE(ToolForm->Modus, modus);
    QVERIFY(ScreenForm->Img2->isVisible());
    if (modus == 15) {
        QCOMPARE(ToolForm->ZoomfakNr, 2);
        QCOMPARE(ToolForm->VorZoomModus, 1);
        QCOMPARE(ScreenForm->Img2->sicht(), (ZoomSicht{2, -200, -150}));
        aktion("Herauszoomen1")->trigger();
        QCOMPARE(ToolForm->Modus, 1);
    } else {
        aktion("Stift1")->trigger();
    }
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCOMPARE(ScreenForm->Img1Bmp, gezeichnet);
}

void TstRueckgaengig::afterFertigAndStartTheNewScreen_data()
{
    QTest::addColumn<QStringList>("schritte"); // "stroke", or an action's name
    QTest::addColumn<bool>("strichBleibt");    // the second stroke is in the result
    QTest::newRow("undo at once") << QStringList{"Rckgngig1"} << false;
    QTest::newRow("stroke, undo") << QStringList{"stroke", "Rckgngig1"} << false;
    QTest::newRow("stroke, clear") << QStringList{"stroke", "Alleslschen1"} << false;
    QTest::newRow("stroke, clear, undo") << QStringList{"stroke", "Alleslschen1", "Rckgngig1"} << true;
    QTest::newRow("sheet, undo") << QStringList{"WeiesBlatt1", "Rckgngig1"} << false;
    QTest::newRow("stroke, sheet, current screen")
        << QStringList{"stroke", "WeiesBlatt1", "AktuellesBild"} << false;
}

// "Fertig" lets go of the last session's pictures and the next Start reads the screen anew:
// undo, clear and the sheets then work on the new screen, and nothing of the old drawing or
// of the old screen comes back.
void TstRueckgaengig::afterFertigAndStartTheNewScreen()
{
    QFETCH(QStringList, schritte);
    QFETCH(bool, strichBleibt);
    ziehe(ScreenForm->Img1, {100, 100}, {150, 120});
    ziehe(ScreenForm->Img1, {20, 200}, {300, 210});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QVERIFY(ScreenForm->Img1Bmp != m_bild);

    QImage neu = m_bild.mirrored(true, false);
    neu.setPixel(0, 0, qRgb(1, 2, 3));
    QVERIFY(einfrieren(neu));
    QCOMPARE(ScreenForm->Img1Bmp, neu);
    QCOMPARE(ToolForm->OrigScrBmp, neu);

    QImage mitStrich;
    for (const QString &schritt : schritte) {
        if (schritt == QLatin1String("stroke")) {
            ziehe(ScreenForm->Img1, {60, 60}, {200, 90});
            ScreenForm->Zeichenbewegung(0, -1, -1);
            mitStrich = ScreenForm->Img1Bmp;
            QVERIFY(mitStrich != neu);
        } else {
            ToolForm->Aktionen.value(schritt)->trigger();
        }
    }
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCOMPARE(ScreenForm->Img1Bmp, strichBleibt ? mitStrich : neu);
    QCOMPARE(ToolForm->OrigScrBmp, neu);
}

void TstRueckgaengig::firstStrokeBeforeOrAfterTheBackupIsMade_data()
{
    QTest::addColumn<bool>("erstGezeigt"); // the surface shown before the stroke
    QTest::newRow("stroke after the picture is shown") << true;
    QTest::newRow("stroke before the surface has painted") << false;
}

// Once the new picture is shown, its own copy and the undo backup are made ahead of the first
// press. Whenever the stroke comes, undo gives back the captured screen, and the capture's own
// pixels are never written.
void TstRueckgaengig::firstStrokeBeforeOrAfterTheBackupIsMade()
{
    QFETCH(bool, erstGezeigt);
    const QImage unberuehrt = m_bild.copy();
    QImage neu = m_bild.mirrored(false, true);
    const QImage neuUnberuehrt = neu.copy();
    ToolForm->Bildquelle = [neu](QScreen *) { return neu; };
    ToolForm->StartFertigBtnClick();
    ToolForm->StartFertigBtnClick();
    QCOMPARE(ToolForm->WinZustand, 1);
    if (erstGezeigt) {
        QTRY_VERIFY(ScreenForm->Img1Bmp.isDetached() && ToolForm->BackupBmp.Ganz.isNull());
        QCOMPARE(ScreenForm->Img1Bmp, neu);
        QCOMPARE(sicherungsBild(*ToolForm), neu);
    }
    // Straight to the handlers: no event is processed before the stroke is done.
    ScreenForm->Img1MouseDown(Qt::LeftButton, ssLeft, 30, 30);
    ScreenForm->Img1MouseMove(ssLeft, 120, 80);
    ScreenForm->Img1MouseUp(Qt::LeftButton, 0, 120, 80);
    ScreenForm->Zeichenbewegung(0, -1, -1);
    const QImage gezeichnet = ScreenForm->Img1Bmp.copy();
    QVERIFY(gezeichnet != neu);
    QTest::qWait(20);
    QCOMPARE(ScreenForm->Img1Bmp, gezeichnet);
    aktion("Rckgngig1")->trigger();
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCOMPARE(ScreenForm->Img1Bmp, neuUnberuehrt);
    QCOMPARE(neu, neuUnberuehrt);
    QCOMPARE(m_bild, unberuehrt);
}

QTEST_MAIN(TstRueckgaengig)
#include "tst_rueckgaengig.moc"
