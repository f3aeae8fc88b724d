// Choosing thickness, colour and tool, and the text and stamp tools, on the offscreen
// platform with a frozen white picture.
#include "../surface/bildhilfe.h"
#include "startup/anwendung.h"
#include "surface/auswahlmarker.h"
#include "surface/scrwin.h"
#include "surface/sicherung.h"
#include "surface/textstempel.h"
#include "toolwindow/toolwin2.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

namespace {

const QRgb Weiss = 0xFFFFFFFF;

void bewege(QWidget *w, QPoint p)
{
    QTest::mouseEvent(QTest::MouseMove, w, Qt::NoButton, Qt::NoModifier, p);
}

void klick(QWidget *w, QPoint p)
{
    QTest::mousePress(w, Qt::LeftButton, {}, p);
    QTest::mouseRelease(w, Qt::LeftButton, {}, p);
}

QAction *aktion(const char *name)
{
    return ToolForm->Aktionen.value(QString::fromLatin1(name));
}

} // namespace

class TstWerkzeugwahl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void buttonAndMenuSelectTheSame_data();
    void buttonAndMenuSelectTheSame();
    void storedCodes_data();
    void storedCodes();
    void textEntryPlacedAndSized();
    void escapeKeepsPicture();
    void enterCommitsWithShadow_data();
    void enterCommitsWithShadow();
    void shortcutsWhileTyping();
    void stampsAndUndoSnapshot();
    void contextMenuDropsDrag();
    void toolWindowRemovesMarkerAndCommitsText();
    void selectionMarkersFollowTheArea();
    void choosingOverThePictureLeavesNoMarker();
    void otherToolWhileTypingCommitsText();
    void textLandsWhereTheEntryShowedIt_data();
    void textLandsWhereTheEntryShowedIt();
    void toolShortcutLeavesOnlyItsPanels_data();
    void toolShortcutLeavesOnlyItsPanels();

private:
    QImage m_bild;
};

void TstWerkzeugwahl::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    FensterErzeugen();
    m_bild = einfarbig(400, 300, Weiss);
    ToolForm->Bildquelle = [this](QScreen *) { return m_bild; };
    ToolForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(ToolForm));
    QTRY_VERIFY(!ToolForm->Start);
    ToolForm->StartFertigBtnClick();
    QCOMPARE(ToolForm->WinZustand, 1);
    ScreenForm->setGeometry(0, 0, 400, 300);
    QVERIFY(QTest::qWaitForWindowExposed(ScreenForm));
}

void TstWerkzeugwahl::init()
{
    ScreenForm->Edit1->clear();
    ScreenForm->Edit1->hide();
    ScreenForm->Eintrag.Offen = false;
    ScreenForm->Img1Bmp = m_bild;
    ToolForm->OrigScrBmp = m_bild;
    ScreenForm->Sx = ScreenForm->Sy = ScreenForm->Lx = ScreenForm->Ly = -1;
    ToolForm->BereichRect = KeinBereich;
    aktion("Dicke3")->trigger();
    aktion("DeckCol6")->trigger();
    aktion("Stift1")->trigger();
}

void TstWerkzeugwahl::buttonAndMenuSelectTheSame_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("modus");
    QTest::addColumn<int>("farbe");
    QTest::addColumn<int>("dicke");
    QTest::newRow("ellipse by button") << "EllipseBtn"
                                       << "Ellipse1" << 10 << 16 << 3;
    QTest::newRow("filled rectangle by menu") << ""
                                              << "RechteckGefuellt1" << 11 << 16 << 3;
    QTest::newRow("transparent yellow") << "MarkCol2Btn"
                                        << "MarkCol2" << 1 << 2 << 3;
    QTest::newRow("white by menu") << ""
                                   << "DeckCol5" << 1 << 15 << 3;
    QTest::newRow("thickness 1") << "Dicke1Btn"
                                 << "Dicke1" << 1 << 16 << 1;
}

void TstWerkzeugwahl::buttonAndMenuSelectTheSame()
{
    QFETCH(QString, button);
    QFETCH(QString, menu);
    QFETCH(int, modus);
    QFETCH(int, farbe);
    QFETCH(int, dicke);
    if (button.isEmpty())
        ToolForm->Aktionen.value(menu)->trigger();
    else
        ToolForm->Buttons.value(button)->click();
    QVERIFY(ToolForm->Aktionen.value(menu)->isChecked());
    QCOMPARE(ToolForm->Modus, modus);
    QCOMPARE(Cfg.FarbMode, farbe);
    QCOMPARE(Cfg.StiftdickeMode, dicke);
    QCOMPARE(ToolForm->Sdicke, DickenTabelle[size_t(dicke)]);
    QCOMPARE(ToolForm->Scol, colourCodeInfo(farbe)->Scol);
    QCOMPARE(ToolForm->Smode, colourCodeInfo(farbe)->Smode);
}

void TstWerkzeugwahl::storedCodes_data()
{
    QTest::addColumn<int>("dicke");
    QTest::addColumn<int>("farbe");
    QTest::addColumn<int>("sdicke");
    QTest::addColumn<int>("farbeDanach");
    QTest::addColumn<uint>("scol");
    QTest::addColumn<int>("smode");
    QTest::addColumn<int>("textgroesse");
    QTest::newRow("picked colour selects none") << 2 << 0 << 7 << 0 << 0u << int(pmBlack) << 16;
    QTest::newRow("old code 5 is transparent blue") << 2 << 5 << 7 << 4 << 0xFF0000u << int(pmMask) << 16;
    QTest::newRow("thickness out of range") << 7 << 12 << 0 << 12 << 0x00FFFFu << int(pmCopy) << 3;
}

void TstWerkzeugwahl::storedCodes()
{
    QFETCH(int, dicke);
    QFETCH(int, farbe);
    QFETCH(int, sdicke);
    QFETCH(int, farbeDanach);
    QFETCH(uint, scol);
    QFETCH(int, smode);
    QFETCH(int, textgroesse);
    // A fresh tool window, as at start-up, restoring stored codes.
    TToolForm *vorher = ToolForm;
    TToolForm frisch;
    ToolForm = &frisch;
    Cfg.StiftdickeMode = dicke;
    Cfg.FarbMode = farbe;
    frisch.WerkzeugZustandSetzen();
    QCOMPARE(frisch.Sdicke, sdicke);
    QCOMPARE(Cfg.FarbMode, farbeDanach);
    QCOMPARE(frisch.Scol, TColor(scol));
    QCOMPARE(int(frisch.Smode), smode);
    QCOMPARE(frisch.FarbGruppe->checkedAction() != nullptr, farbe != 0);
    QCOMPARE(frisch.DickeGruppe->checkedAction() != nullptr, dicke <= 4);
    QCOMPARE(ScreenForm->Edit1->font().pixelSize(), punktZuPixel(textgroesse));
    QVERIFY(frisch.Aktionen.value("Stift1")->isChecked());
    ToolForm = vorher;
}

void TstWerkzeugwahl::textEntryPlacedAndSized()
{
    aktion("Text1")->trigger();
    QLineEdit *edit = ScreenForm->Edit1;
    klick(ScreenForm->Img1, {100, 200});
    QVERIFY(edit->isVisible());
    QCOMPARE(edit->toolTip(), QStringLiteral("Text übernehmen mit Enter, abbrechen mit ESC"));
    QFont arial(QStringLiteral("Arial"));
    arial.setBold(true);
    arial.setPixelSize(32); // 24 points
    QCOMPARE(edit->height(), QFontMetrics(arial).height());
    QCOMPARE(edit->geometry().bottomLeft(), QPoint(100, 199));
    QCOMPARE(edit->palette().color(QPalette::Base), QColor(192, 192, 192));
    QCOMPARE(ScreenForm->Img1Bmp, m_bild); // no bar while the entry is open

    const int leer = edit->width();
    QTest::keyClicks(edit, QStringLiteral("Hallo"));
    const int mitText = edit->width();
    QCOMPARE(mitText, QFontMetrics(arial).horizontalAdvance(QStringLiteral("Halloxx")));
    QVERIFY(mitText > leer);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QVERIFY(edit->width() < mitText);

    // A second click moves the entry with its text, without committing.
    klick(ScreenForm->Img1, {50, 120});
    QCOMPARE(edit->geometry().bottomLeft(), QPoint(50, 119));
    QCOMPARE(edit->text(), QStringLiteral("Hall"));
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
}

void TstWerkzeugwahl::escapeKeepsPicture()
{
    aktion("Text1")->trigger();
    klick(ScreenForm->Img1, {100, 200});
    QTest::keyClicks(ScreenForm->Edit1, QStringLiteral("weg"));
    QTest::keyClick(ScreenForm->Edit1, Qt::Key_Escape);
    QVERIFY(ScreenForm->Edit1->isHidden());
    QVERIFY(ScreenForm->Edit1->text().isEmpty());
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
}

void TstWerkzeugwahl::enterCommitsWithShadow_data()
{
    QTest::addColumn<QString>("farbe");
    QTest::addColumn<bool>("schatten");
    QTest::newRow("red") << "DeckCol1" << true;
    QTest::newRow("black") << "DeckCol6" << false;
}

void TstWerkzeugwahl::enterCommitsWithShadow()
{
    QFETCH(QString, farbe);
    QFETCH(bool, schatten);
    ToolForm->Aktionen.value(farbe)->trigger();
    aktion("Text1")->trigger();
    klick(ScreenForm->Img1, {100, 200});
    QTest::keyClicks(ScreenForm->Edit1, QStringLiteral("Hallo"));
    const QPoint oben = ScreenForm->Edit1->pos();
    QTest::keyClick(ScreenForm->Edit1, Qt::Key_Return);
    QVERIFY(ScreenForm->Edit1->isHidden());
    ScreenForm->Zeichenbewegung(0, -1, -1);

    QImage erwartet = m_bild;
    textSchreiben(erwartet, oben, QStringLiteral("Hallo"), textSchrift(13), 24, ToolForm->Scol);
    QCOMPARE(ScreenForm->Img1Bmp, erwartet);
    int schwarz = 0;
    for (int y = 0; y < erwartet.height(); ++y)
        for (int x = 0; x < erwartet.width(); ++x)
            schwarz += erwartet.pixel(x, y) == qRgb(0, 0, 0);
    QCOMPARE(schwarz > 0, true);
    if (!schatten)
        return;
    // The shadow is the black text moved by (1, 1) under the red one.
    QImage nurSchatten = m_bild;
    textSchreiben(nurSchatten, oben + QPoint(1, 1), QStringLiteral("Hallo"), textSchrift(13), 24,
                  Palette::Schwarz);
    for (int y = 0; y < erwartet.height(); ++y)
        for (int x = 0; x < erwartet.width(); ++x)
            if (erwartet.pixel(x, y) == qRgb(0, 0, 0))
                QCOMPARE(nurSchatten.pixel(x, y), qRgb(0, 0, 0));
}

void TstWerkzeugwahl::shortcutsWhileTyping()
{
    aktion("Text1")->trigger();
    ScreenForm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(ScreenForm));
    klick(ScreenForm->Img1, {100, 200});
    QLineEdit *edit = ScreenForm->Edit1;
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClicks(edit, QStringLiteral("ab"));

    QTest::keyClick(edit, Qt::Key_1, Qt::AltModifier); // transparent red
    QCOMPARE(Cfg.FarbMode, 1);
    QCOMPARE(edit->palette().color(QPalette::Text), QColor(255, 0, 0));
    QVERIFY(edit->hasFocus());
    QCOMPARE(edit->text(), QStringLiteral("ab"));

    QTest::keyClick(edit, Qt::Key_1, Qt::ControlModifier); // thickness 1
    QCOMPARE(ToolForm->Sdicke, 3);
    QCOMPARE(edit->font().pixelSize(), punktZuPixel(9));
    QCOMPARE(edit->height(), QFontMetrics(edit->font()).height());
    QCOMPARE(edit->text(), QStringLiteral("ab"));
    QTest::keyClick(edit, Qt::Key_Escape);
}

void TstWerkzeugwahl::stampsAndUndoSnapshot()
{
    aktion("Haekchen1")->trigger();
    QWidget *img = ScreenForm->Img1;
    // A drag stamps once, at the press point.
    QTest::mousePress(img, Qt::LeftButton, {}, {100, 100});
    QTest::mouseEvent(QTest::MouseMove, img, Qt::NoButton, Qt::NoModifier, {200, 150});
    QTest::mouseRelease(img, Qt::LeftButton, {}, {200, 150});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QImage eins = m_bild;
    SetzeZeichen(eins, 100, 100, Stempel::Haekchen, 13);
    QCOMPARE(ScreenForm->Img1Bmp, eins);

    // The second press replaces the undo snapshot: it holds the first stamp, not the second.
    klick(img, {300, 200});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QImage zwei = eins;
    SetzeZeichen(zwei, 300, 200, Stempel::Haekchen, 13);
    QCOMPARE(ScreenForm->Img1Bmp, zwei);
    QCOMPARE(sicherungsBild(*ToolForm), eins);
}

void TstWerkzeugwahl::contextMenuDropsDrag()
{
    aktion("Rechteck1")->trigger();
    QWidget *img = ScreenForm->Img1;
    QTest::mousePress(img, Qt::LeftButton, {}, {20, 20});
    QTest::mouseEvent(QTest::MouseMove, img, Qt::NoButton, Qt::NoModifier, {120, 90});
    QVERIFY(ScreenForm->Img1Bmp != m_bild); // the preview
    // A right click on the picture opens the context menu, which drops the drag.
    QContextMenuEvent rechts(QContextMenuEvent::Mouse, {120, 90}, img->mapToGlobal(QPoint(120, 90)));
    QApplication::sendEvent(img, &rechts);
    QTRY_VERIFY(ToolForm->PopupMenu1->isVisible());
    ToolForm->PopupMenu1->hide();
    QTest::mouseRelease(img, Qt::LeftButton, {}, {120, 90});
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
}

void TstWerkzeugwahl::toolWindowRemovesMarkerAndCommitsText()
{
    aktion("Kreuz1")->trigger();
    bewege(ScreenForm->Img1, {150, 150});
    QVERIFY(ScreenForm->Img1Bmp != m_bild); // the cross marker
    bewege(ToolForm->Buttons.value("StiftBtn"), {5, 5});
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);

    aktion("Text1")->trigger();
    klick(ScreenForm->Img1, {100, 200});
    QTest::keyClicks(ScreenForm->Edit1, QStringLiteral("fertig"));
    bewege(ToolForm, {5, 5});
    QVERIFY(ScreenForm->Edit1->isHidden());
    QVERIFY(ScreenForm->Img1Bmp != m_bild);
}

void TstWerkzeugwahl::selectionMarkersFollowTheArea()
{
    ToolForm->BereichRect = {100, 100, 200, 150};
    aktion("Bereich1")->trigger();
    QLabel *info = ScreenForm->Auswahl->BereichInfoPan;
    QVERIFY(info->isVisible());
    QCOMPARE(info->geometry(), QRect(100, 81, 234, 19));
    // Outside the selection tool the info panel goes; the edges stay.
    bewege(ToolForm, {5, 5});
    aktion("Stift1")->trigger();
    ToolForm->CheckPanels();
    QVERIFY(info->isHidden());
    QVERIFY(ScreenForm->Auswahl->BereichX1Pan->isVisible());
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
}

// A shortcut changes tool or thickness while the marker is on the picture: the old marker
// must go, not stay behind as inverted pixels.
void TstWerkzeugwahl::choosingOverThePictureLeavesNoMarker()
{
    bewege(ScreenForm->Img1, {150, 150});
    QVERIFY(ScreenForm->Img1Bmp != m_bild);
    for (const char *wahl : {"Haekchen1", "Dicke1", "Kreuz1", "Dicke4", "Radiergummi1", "Text1", "Linie1"}) {
        aktion(wahl)->trigger();
        bewege(ScreenForm->Img1, {160, 140});
    }
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCOMPARE(ScreenForm->Img1Bmp, m_bild);
}

// A tool shortcut wins over the entry; the typed text goes into the picture, not lost.
void TstWerkzeugwahl::otherToolWhileTypingCommitsText()
{
    aktion("Text1")->trigger();
    klick(ScreenForm->Img1, {100, 200});
    const QPoint oben = ScreenForm->Edit1->pos();
    QTest::keyClicks(ScreenForm->Edit1, QStringLiteral("ab"));
    bewege(ScreenForm->Img1, {150, 250});
    aktion("Stift1")->trigger();
    QVERIFY(ScreenForm->Edit1->isHidden());
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QImage erwartet = m_bild;
    textSchreiben(erwartet, oben, QStringLiteral("ab"), textSchrift(13), 24, ToolForm->Scol);
    QCOMPARE(ScreenForm->Img1Bmp, erwartet);
}

void TstWerkzeugwahl::textLandsWhereTheEntryShowedIt_data()
{
    QTest::addColumn<QString>("dicke");
    for (const char *d : {"Dicke1", "Dicke2", "Dicke3", "Dicke4"})
        QTest::newRow(d) << d;
}

// Where the user sees the text while typing is where it lands: the first column and row of
// ink are the same in the entry and, after Enter, in the picture.
void TstWerkzeugwahl::textLandsWhereTheEntryShowedIt()
{
    QFETCH(QString, dicke);
    const QImage grau = einfarbig(400, 300, qRgb(192, 192, 192));
    ScreenForm->Img1Bmp = grau;
    ToolForm->OrigScrBmp = grau;
    ToolForm->Aktionen.value(dicke)->trigger();
    aktion("Text1")->trigger();
    klick(ScreenForm->Img1, {100, 200});
    QLineEdit *edit = ScreenForm->Edit1;
    QTest::keyClicks(edit, QStringLiteral("Hallo"));
    const QRect platz = edit->geometry();
    const QImage gezeigt = edit->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QTest::keyClick(edit, Qt::Key_Return);
    ScreenForm->Zeichenbewegung(0, -1, -1);
    const QImage geschrieben = ScreenForm->Img1Bmp.copy(platz);

    // Columns left of the last letter, clear of the entry's cursor.
    const int breite = QFontMetrics(edit->font()).horizontalAdvance(QStringLiteral("Hall"));
    const auto tinte = [&](const QImage &b) {
        QRect r;
        for (int y = 0; y < b.height(); ++y)
            for (int x = 0; x < breite; ++x)
                if (qGray(b.pixel(x, y)) < 96)
                    r |= QRect(x, y, 1, 1);
        return r;
    };
    const QRect imEintrag = tinte(gezeigt);
    QVERIFY(!imEintrag.isEmpty());
    QCOMPARE(tinte(geschrieben).topLeft(), imEintrag.topLeft());
}

void TstWerkzeugwahl::toolShortcutLeavesOnlyItsPanels_data()
{
    QTest::addColumn<QString>("werkzeug");
    QTest::newRow("pen") << "Stift1";
    QTest::newRow("magnifier") << "Lupe1";
    QTest::newRow("text") << "Text1";
}

// A tool chosen by its shortcut while the pointer stays on the picture: the selection tool's
// panels go at once, without the pointer crossing the tool window.
void TstWerkzeugwahl::toolShortcutLeavesOnlyItsPanels()
{
    QFETCH(QString, werkzeug);
    ToolForm->BereichRect = {100, 100, 200, 150};
    aktion("Bereich1")->trigger();
    bewege(ScreenForm->Img1, {250, 220});
    QVERIFY(ScreenForm->FadenkreuzInfoPan->isVisible());
    QVERIFY(ScreenForm->Auswahl->BereichInfoPan->isVisible());
    ToolForm->Aktionen.value(werkzeug)->trigger();
    QVERIFY(ScreenForm->FadenkreuzInfoPan->isHidden());
    QVERIFY(ScreenForm->Auswahl->BereichInfoPan->isHidden());
    QVERIFY(ScreenForm->ZoomInfoPan->isHidden());
    bewege(ScreenForm->Img1, {260, 230});
    QVERIFY(ScreenForm->FadenkreuzInfoPan->isHidden());
    ToolForm->BereichRect = KeinBereich;
    aktion("Stift1")->trigger();
}

QTEST_MAIN(TstWerkzeugwahl)
#include "tst_werkzeugwahl.moc"
