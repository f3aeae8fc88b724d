// The selection dialog on a frozen picture: what it shows on opening, how "OK" brings the typed
// area onto the picture, "Auswahl löschen", leaving it without a change, and F2 in every tool
// mode from both windows.
#include "app/inidatei.h"
#include "app/uebersetzung.h"
#include "bildhilfe.h"
#include "controls/bitbtn2.h"
#include "controls/numedit.h"
#include "eingefroren.h"
#include "surface/auswahl.h"
#include "surface/auswahlmarker.h"
#include "surface/bereichmarker.h"

#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScopeGuard>
#include <QTimer>

#include <functional>

namespace {

// Answers the selection dialog from within its modal loop, once per opening, and notes the
// fields it showed on opening. It waits until the dialog is the active window: before that the
// keyboard focus is not in it yet, and on a slow machine the timer can come first.
class DialogAntwort
{
public:
    explicit DialogAntwort(std::function<void(TAuswahlForm &)> antwort) : m_antwort(std::move(antwort))
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            if (QApplication::activeModalWidget() != AuswahlForm ||
                QApplication::activeWindow() != AuswahlForm || m_offen)
                return;
            m_offen = true;
            TAuswahlForm &d = *AuswahlForm;
            Gezeigt.append(QStringList{d.LinksEdit->text(), d.ObenEdit->text(), d.BreiteEdit->text(),
                                       d.HoeheEdit->text()}
                               .join(QLatin1Char(',')));
            Fokus = QApplication::focusWidget();
            m_antwort(d);
        });
        QObject::connect(AuswahlForm, &QDialog::finished, &m_timer, [this] { m_offen = false; });
        m_timer.start(10);
    }

    QStringList Gezeigt; // "links,oben,breite,hoehe" at each opening
    QWidget *Fokus = nullptr;

private:
    std::function<void(TAuswahlForm &)> m_antwort;
    QTimer m_timer;
    bool m_offen = false;
};

// Types into a field as a user does: its access key, then the text over the selected value.
void tippe(TAuswahlForm &d, Qt::Key zugriff, const QString &text)
{
    QTest::keyClick(&d, zugriff, Qt::AltModifier);
    QTest::keyClicks(QApplication::focusWidget(), text);
}

} // namespace

class TstAuswahl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void dialogSetsTheArea_data();
    void dialogSetsTheArea();
    void accessKeysFocusTheirFields();
    void outputTakesTheTypedArea();
    void translatedTexts();
    void f2OpensTheDialog_data();
    void f2OpensTheDialog();

private:
    QImage m_bild;
};

void TstAuswahl::initTestCase()
{
    m_bild = musterBild(400, 300);
    QVERIFY(einfrieren(m_bild));
    QVERIFY(AuswahlForm);
    QVERIFY(AuswahlForm->isHidden());
}

void TstAuswahl::init()
{
    ScreenForm->Zeichenbewegung(0, -1, -1);
    ScreenForm->Img1Bmp = m_bild;
    ToolForm->BereichRect = KeinBereich;
    aktion("Stift1")->trigger();
}

void TstAuswahl::dialogSetsTheArea_data()
{
    QTest::addColumn<TRect>("vorher");
    QTest::addColumn<QString>("gezeigt");
    QTest::addColumn<QStringList>("eingabe"); // left, top, width, height; empty: left as shown
    QTest::addColumn<QString>("ende");        // "ok", "enter", "loeschen", "abbrechen", "escape"
    QTest::addColumn<TRect>("nachher");

    const TRect a{10, 20, 110, 70};
    const QStringList leer;
    QTest::newRow("no area shows zeros") << KeinBereich << "0,0,0,0" << leer << "ok" << KeinBereich;
    QTest::newRow("area shown and kept") << a << "10,20,100,50" << leer << "ok" << a;
    QTest::newRow("typed area") << KeinBereich << "0,0,0,0" << QStringList{"100", "50", "200", "80"} << "ok"
                                << TRect{100, 50, 300, 130};
    QTest::newRow("typed area, Enter in a field")
        << a << "10,20,100,50" << QStringList{"100", "50", "200", "80"} << "enter"
        << TRect{100, 50, 300, 130};
    QTest::newRow("width 0 removes") << a << "10,20,100,50" << QStringList{"", "", "0", ""} << "ok"
                                     << KeinBereich;
    QTest::newRow("height 0 removes")
        << a << "10,20,100,50" << QStringList{"", "", "", "0"} << "enter" << KeinBereich;
    QTest::newRow("left beyond the picture: one pixel wide at the last column")
        << a << "10,20,100,50" << QStringList{"5000", "", "", ""} << "ok" << TRect{399, 20, 400, 70};
    QTest::newRow("top beyond the picture: one pixel high at the last row")
        << a << "10,20,100,50" << QStringList{"", "99999999999", "", ""} << "enter"
        << TRect{10, 299, 110, 300};
    QTest::newRow("too wide and too high end at the edge")
        << a << "10,20,100,50" << QStringList{"350", "280", "100", "100"} << "ok"
        << TRect{350, 280, 400, 300};
    QTest::newRow("largest width and height do not overflow")
        << a << "10,20,100,50" << QStringList{"", "", "2147483647", "2147483647"} << "enter"
        << TRect{10, 20, 400, 300};
    QTest::newRow("negative left and top, confirmed in the field")
        << a << "10,20,100,50" << QStringList{"-5", "-7", "20", "10"} << "enter" << TRect{0, 0, 20, 10};
    QTest::newRow("one pixel wide at the left edge is no area")
        << a << "10,20,100,50" << QStringList{"0", "", "1", ""} << "ok" << TRect{0, 20, 1, 70};
    QTest::newRow("Auswahl löschen") << a << "10,20,100,50" << QStringList{"100", "50", "200", "80"}
                                     << "loeschen" << KeinBereich;
    QTest::newRow("Abbrechen changes nothing")
        << a << "10,20,100,50" << QStringList{"100", "50", "0", "80"} << "abbrechen" << a;
    QTest::newRow("Escape changes nothing")
        << a << "10,20,100,50" << QStringList{"100", "50", "200", "0"} << "escape" << a;
}

void TstAuswahl::dialogSetsTheArea()
{
    QFETCH(TRect, vorher);
    QFETCH(QString, gezeigt);
    QFETCH(QStringList, eingabe);
    QFETCH(QString, ende);
    QFETCH(TRect, nachher);
    ToolForm->BereichRect = vorher;
    ScreenForm->AuswahlBereichZeigen();
    const TRect bak = ToolForm->BakBereichRect;

    DialogAntwort antwort([&](TAuswahlForm &d) {
        const Qt::Key zugriff[] = {Qt::Key_L, Qt::Key_O, Qt::Key_B, Qt::Key_H};
        for (qsizetype i = 0; i < eingabe.size(); ++i)
            if (!eingabe[i].isEmpty())
                tippe(d, zugriff[i], eingabe[i]);
        if (ende == QLatin1String("ok"))
            QTest::mouseClick(d.OkBtn, Qt::LeftButton);
        else if (ende == QLatin1String("enter"))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        else if (ende == QLatin1String("loeschen"))
            QTest::mouseClick(d.LoeschenBtn, Qt::LeftButton);
        else if (ende == QLatin1String("abbrechen"))
            QTest::mouseClick(d.AbbrBtn, Qt::LeftButton);
        else
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    aktion("Auswahlbereich1")->trigger();

    QCOMPARE(antwort.Gezeigt, QStringList{gezeigt});
    QCOMPARE(antwort.Fokus, AuswahlForm->OkBtn);
    QVERIFY(AuswahlForm->isHidden());
    QCOMPARE(ToolForm->BereichRect, nachher);
    // The markers follow at once; neither button takes an undo snapshot.
    TAuswahlMarker &m = *ScreenForm->Auswahl;
    QCOMPARE(m.BereichX1Pan->isVisible(), AuswahlbereichAktiv(nachher));
    if (AuswahlbereichAktiv(nachher))
        QCOMPARE(m.BereichX1Pan->geometry(), bereichMarkerLayout(nachher, 1).X1);
    QVERIFY(m.BereichInfoPan->isHidden()); // not in the pen's mode
    QCOMPARE(ToolForm->BakBereichRect, bak);
}

// Each label's access key puts the focus on its field with the value selected, so typing
// replaces it; the buttons keep their roles.
void TstAuswahl::accessKeysFocusTheirFields()
{
    ToolForm->BereichRect = {10, 20, 110, 70};
    QList<QWidget *> fokus;
    QStringList texte;
    DialogAntwort antwort([&](TAuswahlForm &d) {
        QCOMPARE(d.size(), QSize(457, 165));
        QCOMPARE(d.windowTitle(), QStringLiteral("Auswahlbereich"));
        QVERIFY(d.OkBtn->isDefault());
        QVERIFY(d.AbbrBtn->Cancel());
        for (const auto &[taste, text] :
             {std::pair{Qt::Key_H, "7"}, {Qt::Key_B, "8"}, {Qt::Key_O, "9"}, {Qt::Key_L, "6"}}) {
            tippe(d, taste, QString::fromLatin1(text));
            fokus.append(QApplication::focusWidget());
        }
        for (TNumEditZ *e : {d.LinksEdit, d.ObenEdit, d.BreiteEdit, d.HoeheEdit})
            texte.append(e->text());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    aktion("Auswahlbereich1")->trigger();
    TAuswahlForm &d = *AuswahlForm;
    QCOMPARE(fokus, (QList<QWidget *>{d.HoeheEdit, d.BreiteEdit, d.ObenEdit, d.LinksEdit}));
    QCOMPARE(texte, (QStringList{"6", "9", "8", "7"}));
    QCOMPARE(ToolForm->BereichRect, (TRect{10, 20, 110, 70}));
}

// The typed area is what output takes, without the tool's marker.
void TstAuswahl::outputTakesTheTypedArea()
{
    bewege(ScreenForm->Img1, {150, 120});
    QTRY_VERIFY(ScreenForm->Img1Bmp != m_bild); // the pen's marker
    DialogAntwort antwort([](TAuswahlForm &d) {
        tippe(d, Qt::Key_L, QStringLiteral("120"));
        tippe(d, Qt::Key_O, QStringLiteral("100"));
        tippe(d, Qt::Key_B, QStringLiteral("64"));
        tippe(d, Qt::Key_H, QStringLiteral("48"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    aktion("Auswahlbereich1")->trigger();
    QCOMPARE(ToolForm->BereichRect, (TRect{120, 100, 184, 148}));
    QGuiApplication::clipboard()->clear();
    aktion("IndieZwischenablage1")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
             m_bild.copy(120, 100, 64, 48));
}

// A translation read after the windows were built shows at the next opening, with the access
// keys it gives.
void TstAuswahl::translatedTexts()
{
    UebersetzungAnwenden(IniDatei(QStringLiteral("[skizzomat_translation]\n"
                                                 "auswahl_auswahlbereich=Selection\n"
                                                 "auswahl_positiongroesse=Position and size\n"
                                                 "auswahl_breite=&Width:\n"
                                                 "auswahl_abbrechenbtn=Cancel\n")));
    const auto zurueck = qScopeGuard([] { OberflaechentexteZuruecksetzen(); });
    QStringList texte;
    DialogAntwort antwort([&](TAuswahlForm &d) {
        texte = QStringList{d.windowTitle(), d.PosGroupBox->title(), d.BreiteLab->text(), d.LinksLab->text(),
                            d.AbbrBtn->text()};
        tippe(d, Qt::Key_W, QStringLiteral("30"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    ToolForm->BereichRect = {10, 20, 110, 70};
    aktion("Auswahlbereich1")->trigger();
    QCOMPARE(texte, (QStringList{"Selection", " Position and size ", "&Width:", "&Links:", "Cancel"}));
    QCOMPARE(ToolForm->BereichRect, (TRect{10, 20, 40, 70}));
}

void TstAuswahl::f2OpensTheDialog_data()
{
    QTest::addColumn<QString>("werkzeug");
    QTest::addColumn<QString>("fenster"); // "tool", "surface", or "menu" for the context menu
    for (const char *w : {"Stift1", "Text1", "Bereich1", "Lupe1", "Zoom1"})
        for (const char *f : {"tool", "surface"})
            QTest::addRow("%s, %s", w, f) << QString::fromLatin1(w) << QString::fromLatin1(f);
    QTest::newRow("Linie1, menu") << "Linie1"
                                  << "menu";
}

// F2 opens the dialog in every tool mode from either window, and so does the menu item; the
// tool stays as it was. Text being typed goes into the picture first.
void TstAuswahl::f2OpensTheDialog()
{
    QFETCH(QString, werkzeug);
    QFETCH(QString, fenster);
    ToolForm->BereichRect = {30, 40, 130, 90};
    aktion(qPrintable(werkzeug))->trigger();
    const int modus = ToolForm->Modus;
    if (modus == 6) {
        QTest::mouseClick(ScreenForm->Img1, Qt::LeftButton, {}, {200, 150});
        QTRY_VERIFY(ScreenForm->Edit1->isVisible());
        QTest::keyClicks(ScreenForm->Edit1, QStringLiteral("Hallo"));
    }

    DialogAntwort antwort([](TAuswahlForm &d) {
        tippe(d, Qt::Key_L, QStringLiteral("50"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    if (fenster == QLatin1String("menu")) {
        QVERIFY(ToolForm->PopupMenu1->actions().contains(aktion("Auswahlbereich1")));
        ToolForm->PopupMenu1->popup({0, 0});
        QTRY_VERIFY(ToolForm->PopupMenu1->isVisible());
        aktion("Auswahlbereich1")->trigger();
        ToolForm->PopupMenu1->hide();
    } else {
        QWidget *w = fenster == QLatin1String("tool") ? static_cast<QWidget *>(ToolForm)
                     : modus == 6                     ? static_cast<QWidget *>(ScreenForm->Edit1)
                                                      : static_cast<QWidget *>(ScreenForm);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_F2);
    }
    QCOMPARE(antwort.Gezeigt, QStringList{QStringLiteral("30,40,100,50")});
    QCOMPARE(ToolForm->BereichRect, (TRect{50, 40, 150, 90}));
    QCOMPARE(ToolForm->Modus, modus);
    if (modus == 6) {
        QVERIFY(ScreenForm->Edit1->isHidden());
        QVERIFY(ScreenForm->Img1Bmp != m_bild);
    }
    // The area's markers show in every mode but the zoom view, its info panel in mode 13 only.
    QCOMPARE(ScreenForm->Auswahl->BereichX1Pan->isVisible(), modus != 15);
    QCOMPARE(ScreenForm->Auswahl->BereichInfoPan->isVisible(), modus == 13);
}

QTEST_MAIN(TstAuswahl)
#include "tst_auswahl.moc"
