// The tool window on the offscreen platform: layout, captions, and freeze/release with a
// stand-in for the screen.
#include "startup/anwendung.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

class TstToolWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void createdCollapsed();
    void buttonsInRowsAndGaps_data();
    void buttonsInRowsAndGaps();
    void freezeAndRelease();
    void keysPressStartFertig_data();
    void keysPressStartFertig();
    void contextMenuInOrder();
    void buttonAndMenuItemShareOneAction();
    void f9WorksFromBothWindows();
    void unreadableScreenFreezesNothing();
    void autoOpenFreezesAfterFirstActivation();

private:
    QImage m_screen;
};

void TstToolWindow::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    FensterErzeugen();
    m_screen = QImage(QGuiApplication::primaryScreen()->geometry().size(), QImage::Format_RGB32);
    for (int y = 0; y < m_screen.height(); ++y)
        for (int x = 0; x < m_screen.width(); ++x)
            m_screen.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF));
    ToolForm->Bildquelle = [this](QScreen *) { return m_screen; };
}

void TstToolWindow::init()
{
    Cfg = Settings{};
    if (ToolForm->WinZustand == 1)
        ToolForm->StartFertigBtnClick();
}

void TstToolWindow::createdCollapsed()
{
    TToolForm &t = *ToolForm;
    QCOMPARE(t.windowTitle(), QStringLiteral("Skizzomat"));
    QVERIFY(t.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(t.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(t.windowType(), Qt::Tool);
    QCOMPARE(t.size(), QSize(52, 27));
    QCOMPARE(t.StartFertigBtn->geometry(), QRect(0, 0, 52, 27));
    QCOMPARE(t.StartFertigBtn->text(), QStringLiteral("Start"));
    QCOMPARE(t.StartFertigBtn->toolTip(),
             QStringLiteral("Bildschirm einfrieren und\r\nZeichenfunktionen aktivieren"));
    QCOMPARE(t.StartFertig1->text(), QStringLiteral("Start"));
    QCOMPARE(t.StartFertig1->shortcut(), QKeySequence(Qt::Key_F9));
    QCOMPARE(t.StartFertigBtn->font().pixelSize(), 12);
    QCOMPARE(t.StartFertigBtn->font().family(), QStringLiteral("Arial"));
    QVERIFY(t.Timer1->isSingleShot());
    QCOMPARE(t.Timer1->interval(), 250);
    QVERIFY(!t.Timer1->isActive());
    QCOMPARE(t.Buttons.size(), 38);
    QVERIFY(ScreenForm->Img2->isHidden());
    QVERIFY(ScreenForm->isHidden());
}

void TstToolWindow::buttonsInRowsAndGaps_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QSize>("collapsed");
    QTest::addColumn<QSize>("expanded");
    QTest::newRow("default") << 25 << 24 << QSize(52, 27) << QSize(52, 518);
    QTest::newRow("100x100") << 100 << 100 << QSize(202, 103) << QSize(202, 2038);
}

void TstToolWindow::buttonsInRowsAndGaps()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QSize, collapsed);
    QFETCH(QSize, expanded);
    TToolForm &t = *ToolForm;
    Cfg.WerkzeugGroesseX = x;
    Cfg.WerkzeugGroesseY = y;
    t.SetToolWindowSize();
    QCOMPARE(t.size(), collapsed);
    t.StartFertigBtnClick();
    QCOMPARE(t.WinZustand, 1);
    QCOMPARE(t.size(), expanded);

    QCOMPARE(t.ToolBar1->pos(), QPoint(1, y + 4));
    const auto at = [&](const char *name) { return t.Buttons.value(QString::fromLatin1(name))->geometry(); };
    QCOMPARE(at("Dicke1Btn"), QRect(0, 0, x, y));
    QCOMPARE(at("Dicke4Btn"), QRect(x, y, x, y));
    QCOMPARE(at("MarkCol1Btn").top(), 2 * y + 9);
    QCOMPARE(at("StiftBtn").top(), 7 * y + 17);
    QCOMPARE(at("ZoomOutBtn"), QRect(x, 14 * y + 25, x, y));
    QCOMPARE(at("RueckgaengigBtn").top(), 15 * y + 33);
    QCOMPARE(at("InfoBtn"), QRect(x, 18 * y + 33, x, y));
    // The last button ends one pixel above the window's bottom edge.
    QCOMPARE(t.ToolBar1->mapTo(&t, at("InfoBtn").bottomLeft()).y() + 2, t.height());

    // A new button size while frozen keeps the window expanded.
    Cfg.WerkzeugGroesseX = 25;
    Cfg.WerkzeugGroesseY = 24;
    t.SetToolWindowSize();
    QCOMPARE(t.size(), QSize(52, 518));
    t.StartFertigBtnClick();
    QCOMPARE(t.size(), QSize(52, 27));
}

void TstToolWindow::freezeAndRelease()
{
    TToolForm &t = *ToolForm;
    TScreenForm &s = *ScreenForm;
    t.Modus = 4;
    t.BereichRect = {1, 2, 3, 4};
    t.show();
    QSignalSpy eingefroren(&t, &TToolForm::eingefroren);

    t.StartFertigBtn->click();
    QCOMPARE(eingefroren.size(), 1);
    QCOMPARE(t.WinZustand, 1);
    QCOMPARE(t.StartFertigBtn->text(), QStringLiteral("Fertig"));
    QCOMPARE(t.StartFertig1->text(), QStringLiteral("Fertig"));
    QCOMPARE(t.StartFertigBtn->toolTip(),
             QStringLiteral("Zeichenfunktionen abschalten\r\nund Bildschirm wieder herstellen"));
    QVERIFY(t.isVisible());
    QVERIFY(s.isVisible());
    QCOMPARE(s.geometry(), QGuiApplication::primaryScreen()->geometry());
    QCOMPARE(s.Img1->geometry(), s.rect());
    QCOMPARE(s.Img1Bmp, m_screen);
    QCOMPARE(t.OrigScrBmp, m_screen);
    QCOMPARE(t.Modus, 4);
    QVERIFY(t.BakBereichRect == (TRect{1, 2, 3, 4}));

    // Freezing again shows the current screen, not the previous drawing.
    s.Img1Bmp.fill(Qt::black);
    t.StartFertig1->trigger();
    QCOMPARE(t.WinZustand, 0);
    QVERIFY(s.isHidden());
    QCOMPARE(t.StartFertigBtn->text(), QStringLiteral("Start"));
    t.StartFertigBtnClick();
    QCOMPARE(s.Img1Bmp, m_screen);
    t.StartFertigBtnClick();
    QVERIFY(QApplication::topLevelWidgets().contains(&t) && t.isVisible());
}

void TstToolWindow::keysPressStartFertig_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void TstToolWindow::keysPressStartFertig()
{
    QFETCH(int, key);
    ToolForm->show();
    QTest::keyClick(ToolForm, Qt::Key(key));
    QCOMPARE(ToolForm->WinZustand, 1);
    QTest::keyClick(ToolForm, Qt::Key(key));
    QCOMPARE(ToolForm->WinZustand, 0);
}

void TstToolWindow::contextMenuInOrder()
{
    const QMenu *menu = ToolForm->PopupMenu1;
    QStringList top;
    for (const QAction *a : menu->actions())
        top << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    QCOMPARE(top, QStringList({"StartFertig1",
                               "-",
                               "Strichdicke1",
                               "Farbe1",
                               "-",
                               "Stift1",
                               "Radiergummi1",
                               "Linie1",
                               "Pfeil1",
                               "Rechteck1",
                               "RechteckGefuellt1",
                               "Ellipse1",
                               "EllipseGefuellt1",
                               "DoppelPfeil1",
                               "Text1",
                               "Haekchen1",
                               "Kreuz1",
                               "Bereich1",
                               "Auswahlbereich1",
                               "Lupe1",
                               "Zoom1",
                               "-",
                               "Hineinzoomen1",
                               "Herauszoomen1",
                               "-",
                               "Rckgngig1",
                               "Alleslschen1",
                               "LeeresBlatt1",
                               "Drucken1",
                               "Speichern1",
                               "AlsEMailversenden1",
                               "IndieZwischenablage1",
                               "-",
                               "Info1"}));

    const QMenu *farbe = menu->actions().at(3)->menu();
    QCOMPARE(menu->actions().at(3)->text(), QStringLiteral("Farbe"));
    QStringList farben;
    for (const QAction *a : farbe->actions())
        farben << (a->isSeparator() ? QStringLiteral("-")
                                    : a->text() + QLatin1Char('|') + a->shortcut().toString());
    QCOMPARE(farben, QStringList({"Transparentes rot|Alt+1", "Transparentes gelb|Alt+2",
                                  "Transparentes grün|Alt+3", "Transparentes blau|Alt+4", "-",
                                  "Deckendes rot|Alt+Shift+1", "Deckendes gelb|Alt+Shift+2",
                                  "Deckendes grün|Alt+Shift+3", "Deckendes blau|Alt+Shift+4",
                                  "Deckendes weiß|Alt+Shift+5", "Deckendes schwarz|Alt+Shift+6"}));
    QCOMPARE(menu->actions().at(2)->menu()->actions().at(3)->text(), QStringLiteral("&4"));
    QCOMPARE(menu->actions().at(2)->menu()->actions().at(3)->shortcut(),
             QKeySequence(QStringLiteral("Ctrl+4")));

    const auto item = [](const char *name) { return ToolForm->Aktionen.value(QString::fromLatin1(name)); };
    QCOMPARE(item("Zoom1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    QCOMPARE(item("Rckgngig1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Backspace")));
    QCOMPARE(item("Alleslschen1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Del")));
    QCOMPARE(item("Herauszoomen1")->shortcut()[0].keyboardModifiers(),
             Qt::ControlModifier | Qt::KeypadModifier);
    QCOMPARE(item("RechteckGefuellt1")->text(), QStringLiteral("Gefülltes Rechteck"));
    QCOMPARE(item("Drucken1")->text(), QStringLiteral("Drucken..."));
    QCOMPARE(item("Info1")->shortcut(), QKeySequence(Qt::Key_F1));
    // Every item with a tool button shows the button's image.
    for (const char *name : {"Stift1", "DeckCol6", "Dicke2", "Info1", "Herauszoomen1", "Hineinzoomen1"})
        QVERIFY2(!item(name)->icon().isNull(), name);
}

void TstToolWindow::buttonAndMenuItemShareOneAction()
{
    TToolForm &t = *ToolForm;
    QCOMPARE(t.Aktionen.value("Stift1"), t.Buttons.value("StiftBtn")->defaultAction());
    QCOMPARE(t.Aktionen.value("Zoom1"), t.Buttons.value("ZoomInBtn")->defaultAction());
    QCOMPARE(t.Aktionen.value("Stift1")->toolTip(), QStringLiteral("Zeichenstift"));
    QCOMPARE(t.Aktionen.value("Stift1")->text(), QStringLiteral("Stift"));
    // One radio group per choice: the zoom view belongs to the tools.
    t.Buttons.value("LinieBtn")->click();
    QVERIFY(t.Aktionen.value("Linie1")->isChecked());
    // Checked without running the command: with nothing frozen, zooming in does nothing.
    t.Aktionen.value("Zoom1")->setChecked(true);
    QVERIFY(t.Buttons.value("ZoomInBtn")->isChecked());
    QVERIFY(!t.Aktionen.value("Linie1")->isChecked());
    t.Aktionen.value("Dicke2")->trigger();
    t.Aktionen.value("MarkCol3")->trigger();
    QVERIFY(t.Buttons.value("Dicke2Btn")->isChecked());
    QVERIFY(t.Buttons.value("MarkCol3Btn")->isChecked());
    QVERIFY(t.Buttons.value("ZoomInBtn")->isChecked());
    QVERIFY(!t.Buttons.value("ZoomOutBtn")->isCheckable());
}

void TstToolWindow::f9WorksFromBothWindows()
{
    TToolForm &t = *ToolForm;
    t.show();
    t.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&t));
    QTest::keyClick(&t, Qt::Key_F9);
    QCOMPARE(t.WinZustand, 1);
    ScreenForm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(ScreenForm));
    QTest::keyClick(ScreenForm, Qt::Key_F9);
    QCOMPARE(t.WinZustand, 0);
}

void TstToolWindow::unreadableScreenFreezesNothing()
{
    TToolForm &t = *ToolForm;
    t.show();
    // The last drawing stays for the output commands.
    t.BereichRect = KeinBereich;
    t.StartFertigBtnClick();
    ScreenForm->Img1Bmp.fill(Qt::red);
    const QImage zuletzt = ScreenForm->Img1Bmp;
    t.StartFertigBtnClick();
    t.Bildquelle = [](QScreen *) { return QImage(); };
    QString shown;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = box->windowTitle() + QLatin1Char('|') + box->text();
            box->buttons().constFirst()->click();
        }
    });
    answer.start(10);
    t.StartFertigBtnClick();
    t.Bildquelle = [this](QScreen *) { return m_screen; };
    QVERIFY(shown.startsWith(QStringLiteral("Fehler|Der Bildschirm kann nicht gelesen werden")));
    QCOMPARE(t.WinZustand, 0);
    QVERIFY(ScreenForm->isHidden());
    QVERIFY(t.isVisible());
    QCOMPARE(t.StartFertigBtn->text(), QStringLiteral("Start"));
    QCOMPARE(ScreenForm->Img1Bmp, zuletzt);
    QGuiApplication::clipboard()->clear();
    t.Aktionen.value(QStringLiteral("IndieZwischenablage1"))->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), zuletzt);
}

void TstToolWindow::autoOpenFreezesAfterFirstActivation()
{
    // Runs last of the first-activation paths: Start is still pending here only if no
    // earlier case showed the window before its activation ran.
    TToolForm &t = *ToolForm;
    t.Start = true;
    Cfg.AutoOpen = true;
    t.FormActivate();
    QVERIFY(!t.Start);
    QVERIFY(t.Timer1->isActive());
    QTRY_COMPARE(t.WinZustand, 1);
    QVERIFY(!t.Timer1->isActive());
    QCOMPARE(t.StartFertigBtn->text(), QStringLiteral("Fertig"));
    t.StartFertigBtnClick();
}

QTEST_MAIN(TstToolWindow)
#include "tst_toolwindow.moc"
