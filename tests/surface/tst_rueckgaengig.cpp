// Undo and "Alles löschen" on a frozen picture: what comes back, what stays, and that no
// marker is left behind.
#include "bildhilfe.h"
#include "eingefroren.h"

class TstRueckgaengig : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void undoTwiceIsOnceAndLeavesNoMarker();
    void drawClearUndo();
    void undoRestoresTheTool();

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
    QCOMPARE(ToolForm->BackupBmp, gezeichnet);
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

QTEST_MAIN(TstRueckgaengig)
#include "tst_rueckgaengig.moc"
