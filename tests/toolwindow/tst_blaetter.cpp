// The sheets on a frozen picture: background and picture, undo, the eraser, and the colour
// the black sheet leaves selected.
#include "sheets/blatt.h"

#include "../surface/bildhilfe.h"
#include "../surface/eingefroren.h"

#include <QScreen>

class TstBlaetter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void blattUndRueckgaengig_data();
    void blattUndRueckgaengig();
    void radiergummiAufWeissemBlatt();
    void schwarzesBlattFarbe_data();
    void schwarzesBlattFarbe();

private:
    QImage m_bild;
};

void TstBlaetter::initTestCase()
{
    m_bild = musterBild(QGuiApplication::primaryScreen()->geometry().width(),
                        QGuiApplication::primaryScreen()->geometry().height());
    QVERIFY(einfrieren(m_bild));
}

void TstBlaetter::init()
{
    ToolForm->BereichRect = KeinBereich;
    QVERIFY(einfrieren(m_bild));
    aktion("Dicke2")->trigger();
    aktion("DeckCol6")->trigger();
    aktion("Stift1")->trigger();
}

void TstBlaetter::blattUndRueckgaengig_data()
{
    QTest::addColumn<QString>("eintrag");
    QTest::addColumn<int>("art"); // -1: the captured screen
    QTest::newRow("white") << "WeiesBlatt1" << 0;
    QTest::newRow("black") << "SchwarzesBlatt1" << 1;
    QTest::newRow("squared") << "KariertesBlatt1" << 2;
    QTest::newRow("dot grid") << "KleineKreuze1" << 3;
    QTest::newRow("lined") << "LiniertesBlatt1" << 4;
}

// A sheet clears the drawing to the new background; undo brings back drawing and background.
// "Aktueller Bildschirm" afterwards shows the captured screen without the drawing.
void TstBlaetter::blattUndRueckgaengig()
{
    QFETCH(QString, eintrag);
    QFETCH(int, art);
    TToolForm &t = *ToolForm;
    ziehe(ScreenForm->Img1, {20, 20}, {200, 120});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    const QImage gezeichnet = ScreenForm->Img1Bmp;
    QVERIFY(gezeichnet != m_bild);

    QImage soll = m_bild;
    const QSize s = m_bild.size();
    switch (art) {
    case 0:
        BlattFuellen(soll, s, Palette::Weiss);
        break;
    case 1:
        BlattFuellen(soll, s, Palette::Schwarz);
        break;
    case 2:
        KaroBlatt(soll, s, 48);
        break;
    case 3:
        PunktBlatt(soll, s, 48);
        break;
    case 4:
        LinienBlatt(soll, s, 72);
        break;
    }
    aktion(qPrintable(eintrag))->trigger();
    QCOMPARE(t.OrigScrBmp, soll);
    QCOMPARE(ScreenForm->Img1Bmp, soll);
    QCOMPARE(t.BackupOrigScrBmp, m_bild);
    QCOMPARE(t.OrigScrStartBmp, m_bild);

    aktion("Rckgngig1")->trigger();
    QCOMPARE(ScreenForm->Img1Bmp, gezeichnet);
    QCOMPARE(t.OrigScrBmp, m_bild);

    aktion(qPrintable(eintrag))->trigger();
    ziehe(ScreenForm->Img1, {40, 40}, {100, 300});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    const QImage aufBlatt = ScreenForm->Img1Bmp;
    aktion("AktuellesBild")->trigger();
    QCOMPARE(t.OrigScrBmp, m_bild);
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
    // Undo brings back the drawing on the sheet with the sheet as its background, so the
    // eraser still reveals the sheet.
    aktion("Rckgngig1")->trigger();
    QCOMPARE(ScreenForm->Img1Bmp, aufBlatt);
    QCOMPARE(t.OrigScrBmp, soll);
}

// The eraser reveals the sheet, not the captured screen.
void TstBlaetter::radiergummiAufWeissemBlatt()
{
    aktion("WeiesBlatt1")->trigger();
    ziehe(ScreenForm->Img1, {50, 50}, {250, 50});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCOMPARE(ScreenForm->Img1Bmp.pixel(150, 50), qRgb(0, 0, 0));
    aktion("Dicke4")->trigger();
    aktion("Radiergummi1")->trigger();
    ziehe(ScreenForm->Img1, {40, 50}, {260, 50});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCOMPARE(
        unterschiede(ScreenForm->Img1Bmp, einfarbig(m_bild.width(), m_bild.height(), qRgb(255, 255, 255))),
        QSet<QPoint>());
}

void TstBlaetter::schwarzesBlattFarbe_data()
{
    QTest::addColumn<QString>("farbe");
    QTest::addColumn<int>("code");
    QTest::newRow("transparent yellow becomes opaque yellow") << "MarkCol2" << 12;
    QTest::newRow("transparent red becomes opaque red") << "MarkCol1" << 11;
    QTest::newRow("transparent blue becomes opaque blue") << "MarkCol4" << 14;
    QTest::newRow("opaque white stays") << "DeckCol5" << 15;
}

void TstBlaetter::schwarzesBlattFarbe()
{
    QFETCH(QString, farbe);
    QFETCH(int, code);
    aktion(qPrintable(farbe))->trigger();
    aktion("SchwarzesBlatt1")->trigger();
    QCOMPARE(Cfg.FarbMode, code);
    const ColourCodeInfo *info = colourCodeInfo(code);
    QVERIFY(aktion(info->MenuItem)->isChecked());
    QCOMPARE(ToolForm->Scol, info->Scol);
    QCOMPARE(ToolForm->Smode, pmCopy);
}

QTEST_MAIN(TstBlaetter)
#include "tst_blaetter.moc"
