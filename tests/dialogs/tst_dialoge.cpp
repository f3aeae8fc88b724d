// The settings dialog and the info box: filling, taking over after OK, cancelling, the sizes
// kept in their ranges, the translation of their captions, the help and web pages, and the
// info command from both windows.
#include "../output/desktopattrappe.h"
#include "../surface/bildhilfe.h"
#include "../surface/eingefroren.h"
#include "../toolwindow/modal.h"

#include "app/uebersetzung.h"
#include "controls/bitbtn2.h"
#include "controls/numedit.h"
#include "dialogs/einstellungenform.h"
#include "dialogs/infobox.h"
#include "output/druck.h"
#include "output/ordner.h"
#include "surface/auswahl.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>

namespace {

// Runs `was` once `dialog` is the modal window on top, from the event loop of its exec().
void sobaldOffen(QWidget *dialog, std::function<void()> was)
{
    auto *t = new QTimer;
    t->setInterval(10);
    QObject::connect(t, &QTimer::timeout, [t, dialog, was] {
        if (QApplication::activeModalWidget() != dialog || !dialog->isVisible())
            return;
        t->stop();
        t->deleteLater();
        // Keys go where a user's would: into the active window. (The offscreen platform does
        // not hand the activation to a dialog opened from another modal one.)
        QApplication::setActiveWindow(dialog);
        was();
    });
    t->start();
}

// The settings dialog opened from the info box, `was` done in it; the info box is closed
// afterwards.
void einstellungenBearbeiten(std::function<void(TEinstellungenForm &)> was)
{
    TEinstellungenForm &d = *EinstellungenForm;
    sobaldOffen(InfoBox, [] { InfoBox->EinstellBtn->click(); });
    sobaldOffen(&d, [&d, was] {
        was(d);
        // The info box is still open behind the dialog; it is closed once the dialog is.
        sobaldOffen(InfoBox, [] { QTest::keyClick(InfoBox, Qt::Key_Escape); });
    });
    ToolForm->InfoBtnClick();
}

void tippen(QLineEdit *feld, const QString &text)
{
    feld->setFocus();
    feld->selectAll();
    QTest::keyClicks(feld, text);
}

Qt::CursorShape zeigerAufBild()
{
    return ScreenForm->Img1->cursor().shape();
}

} // namespace

class TstDialoge : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void fuellenUndUebernehmen_data();
    void fuellenUndUebernehmen();
    void okWendetZeigerUndGroesseSofortAn();
    void abbrechenAendertNichts_data();
    void abbrechenAendertNichts();
    void groesseImBereich_data();
    void groesseImBereich();
    void infoAusBeidenFenstern_data();
    void infoAusBeidenFenstern();
    void infoBoxInhalt();
    void einstellungenAbbrechenLaesstInfoOffen();
    void oeffnen_data();
    void oeffnen();
    void uebersetzungErreichtDialoge();
    void texteHabenPlatz_data();
    void texteHabenPlatz();

private:
    QImage m_bild;
    QTemporaryDir m_dir;
};

void TstDialoge::initTestCase()
{
    AnwendungEinrichten();
    m_bild = musterBild(640, 360);
    QVERIFY(einfrieren(m_bild));
}

void TstDialoge::init()
{
    Cfg = Settings{};
    Cfg.ExeDir = m_dir.path() + QLatin1Char('/');
    OberflaechentexteZuruecksetzen();
    QVERIFY(einfrieren(m_bild));
    ToolForm->SetToolWindowSize();
    ScreenForm->SetMauszeiger();
}

void TstDialoge::cleanup()
{
    QTRY_VERIFY(!QApplication::activeModalWidget());
}

void TstDialoge::fuellenUndUebernehmen_data()
{
    QTest::addColumn<int>("zeiger");
    QTest::addColumn<int>("monitor");
    QTest::addColumn<int>("breite");
    QTest::addColumn<QString>("ordner");       // both folders
    QTest::addColumn<QString>("gezeigteWahl"); // pointer and monitor radio checked, "-" for none
    QTest::addColumn<QString>("gezeigteBreite");
    QTest::addColumn<int>("zeigerDanach");
    QTest::addColumn<int>("monitorDanach");
    QTest::addColumn<int>("breiteDanach");
    QTest::addColumn<QString>("ordnerDanach"); // empty: the defaults

    QTest::newRow("defaults") << 1 << 0 << 25 << QString() << "RadioMauszeiger1 RadioScreen0"
                              << "25" << 1 << 0 << 25 << QString();
    QTest::newRow("hidden pointer, second monitor") << 2 << 2 << 40 << "/home/anna/Bilder"
                                                    << "RadioMauszeiger2 RadioScreen2"
                                                    << "40" << 2 << 2 << 40 << "/home/anna/Bilder";
    QTest::newRow("first monitor, placeholders kept") << 1 << 1 << 100 << "%exedir%/Shots"
                                                      << "RadioMauszeiger1 RadioScreen1"
                                                      << "100" << 1 << 1 << 100 << "%exedir%/Shots";
    QTest::newRow("unknown choices: none marked, OK stores the first") << 7 << -1 << 25 << QString() << "-"
                                                                       << "25" << 1 << 0 << 25 << QString();
    QTest::newRow("stored width 10 shown and kept as 25")
        << 1 << 0 << 10 << QString() << "RadioMauszeiger1 RadioScreen0"
        << "25" << 1 << 0 << 25 << QString();
    QTest::newRow("stored width beyond the field")
        << 1 << 0 << 500 << QString() << "RadioMauszeiger1 RadioScreen0"
        << "100" << 1 << 0 << 100 << QString();
}

// What a showing fills in, and what OK makes of it when nothing is changed.
void TstDialoge::fuellenUndUebernehmen()
{
    QFETCH(int, zeiger);
    QFETCH(int, monitor);
    QFETCH(int, breite);
    QFETCH(QString, ordner);
    QFETCH(QString, gezeigteWahl);
    QFETCH(QString, gezeigteBreite);
    Cfg.MauszeigerMode = zeiger;
    Cfg.MonitorMode = monitor;
    Cfg.WerkzeugGroesseX = breite;
    if (!ordner.isNull())
        Cfg.ScreenshotDir = Cfg.EmailDir = ordner;
    Cfg.AutoOpen = Cfg.AutoScreenshot = true;
    Cfg.MausradZoom = false;

    QStringList gewaehlt;
    QString gezeigtBreite, gezeigtOrdner;
    bool haken[4] = {};
    einstellungenBearbeiten([&](TEinstellungenForm &d) {
        for (QRadioButton *r : d.findChildren<QRadioButton *>())
            if (r->isChecked())
                gewaehlt << r->objectName();
        gezeigtBreite = d.ToolSizeXEdit->text();
        gezeigtOrdner = d.ScreenshotDirEdit->text();
        haken[0] = d.AutoOpenCheck->isChecked();
        haken[1] = d.AutoCloseCheck->isChecked();
        haken[2] = d.MausradZoomCheck->isChecked();
        haken[3] = d.AutoScreenshotCheck->isChecked();
        d.OkBtn->click();
    });
    gewaehlt.sort();
    QCOMPARE(gewaehlt.isEmpty() ? QStringLiteral("-") : gewaehlt.join(QLatin1Char(' ')), gezeigteWahl);
    QCOMPARE(gezeigtBreite, gezeigteBreite);
    QCOMPARE(gezeigtOrdner, ordner.isNull() ? Settings{}.ScreenshotDir : ordner);
    QCOMPARE(QList<bool>(std::begin(haken), std::end(haken)), QList<bool>({true, false, false, true}));

    QTEST(Cfg.MauszeigerMode, "zeigerDanach");
    QTEST(Cfg.MonitorMode, "monitorDanach");
    QTEST(Cfg.WerkzeugGroesseX, "breiteDanach");
    QCOMPARE(Cfg.WerkzeugGroesseY, 24);
    QFETCH(QString, ordnerDanach);
    QCOMPARE(Cfg.ScreenshotDir, ordnerDanach.isEmpty() ? Settings{}.ScreenshotDir : ordnerDanach);
    QCOMPARE(Cfg.EmailDir, ordnerDanach.isEmpty() ? Settings{}.EmailDir : ordnerDanach);
    QVERIFY(Cfg.AutoOpen && !Cfg.AutoClose && !Cfg.MausradZoom && Cfg.AutoScreenshot);
}

// Every control changed and OK: the settings take the new values, folders trimmed or back to
// their defaults, and the pointer and the frozen tool window change at once.
void TstDialoge::okWendetZeigerUndGroesseSofortAn()
{
    const Qt::CursorShape vorher = zeigerAufBild();
    einstellungenBearbeiten([](TEinstellungenForm &d) {
        d.RadioMauszeiger2->click();
        d.RadioScreen1->click();
        d.AutoOpenCheck->click();
        d.AutoCloseCheck->click();
        d.MausradZoomCheck->click();
        d.AutoScreenshotCheck->click();
        tippen(d.ScreenshotDirEdit, QStringLiteral(" \t /home/anna/Meine Bilder  "));
        d.EmailDirEdit->setText(QStringLiteral(" \x01 "));
        tippen(d.ToolSizeXEdit, QStringLiteral("40"));
        tippen(d.ToolSizeYEdit, QStringLiteral("30"));
        d.OkBtn->click();
    });
    QCOMPARE(Cfg.MauszeigerMode, 2);
    QCOMPARE(Cfg.MonitorMode, 1);
    QVERIFY(Cfg.AutoOpen && Cfg.AutoClose && !Cfg.MausradZoom && Cfg.AutoScreenshot);
    QCOMPARE(Cfg.ScreenshotDir, QStringLiteral("/home/anna/Meine Bilder"));
    QCOMPARE(Cfg.EmailDir, Settings{}.EmailDir);
    QCOMPARE(Cfg.WerkzeugGroesseX, 40);
    QCOMPARE(Cfg.WerkzeugGroesseY, 30);
    QVERIFY(zeigerAufBild() != vorher);
    // Still frozen, so still unfolded: 2 × 40 + 2 wide, 20 × 30 + 38 high.
    QCOMPARE(ToolForm->WinZustand, 1);
    QCOMPARE(ToolForm->size(), QSize(82, 638));
}

void TstDialoge::abbrechenAendertNichts_data()
{
    QTest::addColumn<QString>("wie");
    QTest::newRow("Abbrechen") << "Abbrechen";
    QTest::newRow("Escape") << "Escape";
    QTest::newRow("close box") << "close";
}

// Every control changed and the dialog cancelled: no setting, nor the pointer, nor the tool
// window changes, and the next opening shows the settings again, not the edits.
void TstDialoge::abbrechenAendertNichts()
{
    QFETCH(QString, wie);
    const Settings vorher = Cfg;
    const Qt::CursorShape zeiger = zeigerAufBild();
    const QSize groesse = ToolForm->size();
    einstellungenBearbeiten([wie](TEinstellungenForm &d) {
        d.RadioMauszeiger2->click();
        d.RadioScreen2->click();
        for (QCheckBox *c : d.findChildren<QCheckBox *>())
            c->click();
        tippen(d.ScreenshotDirEdit, QStringLiteral("/tmp/x"));
        tippen(d.EmailDirEdit, QStringLiteral("/tmp/y"));
        tippen(d.ToolSizeYEdit, QStringLiteral("90"));
        tippen(d.ToolSizeXEdit, QStringLiteral("90"));
        if (wie == QLatin1String("Abbrechen"))
            d.AbbrBtn->click();
        else if (wie == QLatin1String("Escape"))
            QTest::keyClick(d.ToolSizeXEdit, Qt::Key_Escape);
        else
            d.close();
    });
    QCOMPARE(Cfg.MauszeigerMode, vorher.MauszeigerMode);
    QCOMPARE(Cfg.MonitorMode, vorher.MonitorMode);
    QCOMPARE(Cfg.AutoOpen, vorher.AutoOpen);
    QCOMPARE(Cfg.AutoClose, vorher.AutoClose);
    QCOMPARE(Cfg.MausradZoom, vorher.MausradZoom);
    QCOMPARE(Cfg.AutoScreenshot, vorher.AutoScreenshot);
    QCOMPARE(Cfg.ScreenshotDir, vorher.ScreenshotDir);
    QCOMPARE(Cfg.EmailDir, vorher.EmailDir);
    QCOMPARE(Cfg.WerkzeugGroesseX, vorher.WerkzeugGroesseX);
    QCOMPARE(Cfg.WerkzeugGroesseY, vorher.WerkzeugGroesseY);
    QCOMPARE(zeigerAufBild(), zeiger);
    QCOMPARE(ToolForm->size(), groesse);

    QString breite, ordner;
    bool zeiger1 = false;
    einstellungenBearbeiten([&](TEinstellungenForm &d) {
        breite = d.ToolSizeXEdit->text();
        ordner = d.ScreenshotDirEdit->text();
        zeiger1 = d.RadioMauszeiger1->isChecked();
        d.AbbrBtn->click();
    });
    QCOMPARE(breite, QStringLiteral("25"));
    QCOMPARE(ordner, vorher.ScreenshotDir);
    QVERIFY(zeiger1);
}

void TstDialoge::groesseImBereich_data()
{
    QTest::addColumn<QString>("getippt");
    QTest::addColumn<bool>("feldVerlassen"); // Tab before Enter
    QTest::addColumn<int>("breite");
    QTest::newRow("40 confirmed in the field") << "40" << false << 40;
    QTest::newRow("10 confirmed in the field: its lower bound") << "10" << false << 25;
    QTest::newRow("10, field left first: its lower bound") << "10" << true << 25;
    QTest::newRow("1000 confirmed in the field: its upper bound") << "1000" << false << 100;
    QTest::newRow("150, field left first: its upper bound") << "150" << true << 100;
    QTest::newRow("-5 confirmed in the field: the lower bound") << "-5" << false << 25;
}

// OK with Enter while the focus is still in the width field, or after leaving it: the size
// taken over is always within the field's range.
void TstDialoge::groesseImBereich()
{
    QFETCH(QString, getippt);
    QFETCH(bool, feldVerlassen);
    bool fokusRichtig = false;
    einstellungenBearbeiten([&](TEinstellungenForm &d) {
        tippen(d.ToolSizeXEdit, getippt);
        if (feldVerlassen)
            QTest::keyClick(d.ToolSizeXEdit, Qt::Key_Tab);
        QWidget *fokus = QApplication::focusWidget();
        fokusRichtig = fokus == (feldVerlassen ? d.ToolSizeYEdit : d.ToolSizeXEdit);
        QTest::keyClick(fokus, Qt::Key_Return);
    });
    QVERIFY(fokusRichtig);
    QTEST(Cfg.WerkzeugGroesseX, "breite");
    QCOMPARE(ToolForm->width(), 2 * Cfg.WerkzeugGroesseX + 2);
}

void TstDialoge::infoAusBeidenFenstern_data()
{
    QTest::addColumn<QString>("wie");
    QTest::newRow("F1 in the tool window") << "F1 tool window";
    QTest::newRow("F1 on the picture") << "F1 surface";
    QTest::newRow("F1 while typing text") << "F1 text";
    QTest::newRow("info button") << "button";
    QTest::newRow("menu item") << "menu";
}

void TstDialoge::infoAusBeidenFenstern()
{
    QFETCH(QString, wie);
    QWidget *fenster =
        wie.endsWith(QLatin1String("tool window")) ? static_cast<QWidget *>(ToolForm) : ScreenForm;
    fenster->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fenster));
    QWidget *ziel = fenster;
    if (wie == QLatin1String("F1 text")) {
        aktion("Text1")->trigger();
        QTest::mouseClick(ScreenForm->Img1, Qt::LeftButton, {}, {100, 200});
        QTRY_VERIFY(ScreenForm->Edit1->hasFocus());
        QTest::keyClicks(ScreenForm->Edit1, QStringLiteral("ab"));
        ziel = ScreenForm->Edit1;
    }
    bool offen = false;
    sobaldOffen(InfoBox, [&offen] {
        offen = true;
        QTest::keyClick(InfoBox, Qt::Key_Escape);
    });
    QTimer notbremse;
    notbremse.setSingleShot(true);
    connect(&notbremse, &QTimer::timeout, [] {
        if (InfoBox->isVisible())
            InfoBox->reject();
    });
    notbremse.start(5000);
    if (wie.startsWith(QLatin1String("F1")))
        QTest::keyClick(ziel, Qt::Key_F1);
    else if (wie == QLatin1String("button"))
        ToolForm->Buttons.value(QStringLiteral("InfoBtn"))->click();
    else
        aktion("Info1")->trigger();
    QTRY_VERIFY(offen);
    QTRY_VERIFY(!InfoBox->isVisible());
    if (wie == QLatin1String("F1 text"))
        QCOMPARE(ScreenForm->Edit1->text(), QStringLiteral("ab"));
}

void TstDialoge::infoBoxInhalt()
{
    const TInfoBox &b = *InfoBox;
    QCOMPARE(b.windowTitle(), QStringLiteral("Info"));
    QCOMPARE(b.size(), QSize(624, 565));
    QVERIFY(b.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(b.TitelLabel->text(), QStringLiteral("Skizzomat"));
    QCOMPARE(b.VersionLabel->text(), QStringLiteral("Version 1.7.2.2015.07.28"));
    QVERIFY(!b.Image1->pixmap().isNull());
    QVERIFY(!b.Memo1->text().isEmpty());
    QVERIFY(b.Memo2->isReadOnly());
    QVERIFY(b.Memo2->toPlainText().startsWith(QStringLiteral("Lizenzbedingungen")));
    const QStringList knoepfe{b.EinstellBtn->text(), b.HilfeBtn->text(), b.OkBtn->text()};
    QCOMPARE(knoepfe, QStringList({"Einstellungen...", "Online-Hilfe", "Schließen"}));
    const TEinstellungenForm &d = *EinstellungenForm;
    QCOMPARE(d.windowTitle(), QStringLiteral("Einstellungen"));
    QCOMPARE(d.size(), QSize(908, 433));
    QVERIFY(d.Memo1->toPlainText().contains(QStringLiteral("/home/<Benutzername>/Dokumente")));
    // Both go with the tool window.
    QCOMPARE(b.parentWidget(), ToolForm);
    QCOMPARE(d.parentWidget(), ToolForm);
}

// Opening the settings from the info box and cancelling them leaves the box open as it was.
void TstDialoge::einstellungenAbbrechenLaesstInfoOffen()
{
    bool infoNochOffen = false;
    sobaldOffen(InfoBox, [] { InfoBox->EinstellBtn->click(); });
    sobaldOffen(EinstellungenForm, [&] {
        EinstellungenForm->AbbrBtn->click();
        sobaldOffen(InfoBox, [&] {
            infoNochOffen = InfoBox->isVisible() && !EinstellungenForm->isVisible();
            InfoBox->OkBtn->click();
        });
    });
    ToolForm->InfoBtnClick();
    QVERIFY(infoNochOffen);
    QCOMPARE(InfoBox->result(), int(mrOk));
}

// The help, the web address, the screenshot folder and the e-mail program's new message go
// to the desktop's default programs; where none takes an address, a box says so and the info
// box stays open.
void TstDialoge::oeffnen_data()
{
    QTest::addColumn<QString>("befehl");
    QTest::addColumn<bool>("programmDa");
    QTest::addColumn<QStringList>("adressen");
    const QString ordner = m_dir.filePath(QStringLiteral("Bilder"));
    const QStringList befehle{"hilfe", "webseite", "ordner", "mailprogramm"};
    const QList<QStringList> adressen{
        {QStringLiteral("https://skizzomat.example/hilfe.php")},
        {QStringLiteral("https://skizzomat.example/")},
        {ordner},
        {QStringLiteral("mailto:?subject=Screenshot"), ordner},
    };
    for (bool da : {true, false})
        for (qsizetype i = 0; i < befehle.size(); ++i)
            QTest::addRow("%s, %s", qPrintable(befehle[i]), da ? "program there" : "no program")
                << befehle[i] << da << adressen[i];
}

void TstDialoge::oeffnen()
{
    QFETCH(QString, befehl);
    QFETCH(bool, programmDa);
    QFETCH(QStringList, adressen);
    DesktopAttrappe desktop;
    QString warum;
    QVERIFY2(desktop.einrichten(programmDa ? DesktopAttrappe::alleTypen() : QStringList(), &warum),
             qPrintable(warum));
    Cfg.ScreenshotDir = m_dir.filePath(QStringLiteral("Bilder"));
    InfoBox->show();
    QVERIFY(QTest::qWaitForWindowExposed(InfoBox));
    Modal modal;
    if (befehl == QLatin1String("hilfe"))
        InfoBox->HilfeBtn->click();
    else if (befehl == QLatin1String("webseite"))
        emit InfoBox->Label1->linkActivated(InfoBox->Label1->text());
    else if (befehl == QLatin1String("ordner"))
        aktion("ScreenshotOrdnerOeffnen1")->trigger();
    else
        aktion("EMailProgrammOeffnen1")->trigger();

    // Each address is handed over on its own; which arrives first is up to the system.
    adressen.sort();
    if (programmDa) {
        QTRY_COMPARE_WITH_TIMEOUT(desktop.geoeffnet().size(), adressen.size(), 20000);
        QStringList geoeffnet = desktop.geoeffnet();
        geoeffnet.sort();
        QCOMPARE(geoeffnet, adressen);
        QCOMPARE(modal.Boxen, QStringList());
    } else {
        QStringList boxen;
        for (const QString &a : std::as_const(adressen))
            boxen << QStringLiteral("Fehler|") + DokumentFehlerText(a);
        QTRY_COMPARE_WITH_TIMEOUT(modal.Boxen.size(), boxen.size(), 20000);
        modal.Boxen.sort();
        QCOMPARE(modal.Boxen, boxen);
        QVERIFY(desktop.geoeffnet().isEmpty());
    }
    QVERIFY(InfoBox->isVisible());
    InfoBox->hide();
}

// A translation read at the tool window's first activation reaches both dialogs when they
// are shown, framed group-box captions with one blank on each side.
void TstDialoge::uebersetzungErreichtDialoge()
{
    QFile datei(m_dir.filePath(UebersetzungsDateiname));
    QVERIFY(datei.open(QIODevice::WriteOnly));
    datei.write("[skizzomat_translation]\n"
                "einstellungen_einstellungen=Settings\n"
                "einstellungen_mauszeiger=Mouse pointer on the picture\n"
                "einstellungen_mauszeigernormal=normal\n"
                "einstellungen_buttonbreite=&Width:\n"
                "einstellungen_abbrechenbtn=Cancel\n"
                "info_einstellungenbtn=Settings...\n"
                "info_hilfebtn=Online help\n"
                "info_schliessenbtn=Close\n");
    datei.close();
    QVERIFY(UebersetzungEinlesen(Cfg.ExeDir));
    QFile::remove(datei.fileName());

    QStringList info, einst;
    sobaldOffen(InfoBox, [&] {
        info << InfoBox->EinstellBtn->text() << InfoBox->HilfeBtn->text() << InfoBox->OkBtn->text();
        InfoBox->EinstellBtn->click();
    });
    sobaldOffen(EinstellungenForm, [&] {
        const TEinstellungenForm &d = *EinstellungenForm;
        einst << d.windowTitle() << d.GroupBox1->title() << d.RadioMauszeiger1->text()
              << d.ToolSizeXLab->text() << d.AbbrBtn->text() << d.OkBtn->text() << d.GroupBox7->title();
        EinstellungenForm->AbbrBtn->click();
        sobaldOffen(InfoBox, [] { InfoBox->OkBtn->click(); });
    });
    ToolForm->InfoBtnClick();
    QCOMPARE(info, QStringList({"Settings...", "Online help", "Close"}));
    QCOMPARE(einst, QStringList({"Settings", " Mouse pointer on the picture ", "normal", "&Width:", "Cancel",
                                 "OK", " Ordner "}));
}

void TstDialoge::texteHabenPlatz_data()
{
    QTest::addColumn<QWidget *>("dialog");
    QTest::addColumn<QByteArray>("uebersetzung"); // the translation file, empty: none
    QTest::addColumn<QString>("steuerelement");   // a control that shows the whole translated text
    QTest::addColumn<QString>("text");
    const QByteArray lang =
        "[skizzomat_translation]\n"
        "einstellungen_autostart=Zeichenfunktionen gleich beim Start des Programms öffnen und den Bildschirm "
        "einfrieren\n"
        "einstellungen_mauszeigernormal=normaler Mauszeiger\n"
        "einstellungen_buttonbreite=Breite in Pixeln:\n"
        "einstellungen_emailordner=Ordner, in dem die Bilder für E-Mails bis zum Ende des Programms "
        "zwischengespeichert werden:\n"
        "einstellungen_mauszeiger=Mauszeiger auf der Zeichenfläche beim Zeichnen mit den Werkzeugen des "
        "Programms, solange eingefroren ist\n"
        "auswahl_links=Linker Rand in Pixeln:\n"
        "druck_links=Linker Rand in Zentimetern:\n"
        "druck_seitenverhaeltnis=Die Höhe folgt der Breite im Seitenverhältnis des Bildes\n";
    QTest::newRow("settings") << static_cast<QWidget *>(EinstellungenForm) << QByteArray() << QString()
                              << QString();
    QTest::newRow("info") << static_cast<QWidget *>(InfoBox) << QByteArray() << QString() << QString();
    QTest::newRow("selection") << static_cast<QWidget *>(AuswahlForm) << QByteArray() << QString()
                               << QString();
    QTest::newRow("print") << static_cast<QWidget *>(DruckForm) << QByteArray() << QString() << QString();
    QTest::newRow("settings, long translation")
        << static_cast<QWidget *>(EinstellungenForm) << lang << "AutoOpenCheck"
        << "Zeichenfunktionen gleich beim Start des Programms öffnen und den Bildschirm einfrieren";
    QTest::newRow("selection, long translation") << static_cast<QWidget *>(AuswahlForm) << lang << "LinksLab"
                                                 << "Linker Rand in Pixeln:";
    QTest::newRow("print, long label") << static_cast<QWidget *>(DruckForm) << lang << "LiRandLab"
                                       << "Linker Rand in Zentimetern:";
    QTest::newRow("print, long check box") << static_cast<QWidget *>(DruckForm) << lang << "SeitRatio"
                                           << "Die Höhe folgt der Breite im Seitenverhältnis des Bildes";
}

// Every caption and label fits into its control, and every control into its parent; a label
// ends before its field. A translated caption too long for its control still shows whole.
void TstDialoge::texteHabenPlatz()
{
    QFETCH(QWidget *, dialog);
    QFETCH(QByteArray, uebersetzung);
    QFETCH(QString, steuerelement);
    QFETCH(QString, text);
    if (!uebersetzung.isEmpty()) {
        QFile datei(m_dir.filePath(UebersetzungsDateiname));
        QVERIFY(datei.open(QIODevice::WriteOnly));
        datei.write(uebersetzung);
        datei.close();
        QVERIFY(UebersetzungEinlesen(Cfg.ExeDir));
        QFile::remove(datei.fileName());
    }
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    for (QWidget *w : dialog->findChildren<QWidget *>()) {
        if (!w->isVisible() || w->parentWidget()->inherits("QAbstractScrollArea") ||
            w->parentWidget()->inherits("QScrollBar") || w->inherits("QScrollBar"))
            continue;
        const QString name = w->objectName();
        QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(name));
        if (qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w) || qobject_cast<QLabel *>(w))
            QVERIFY2(w->sizeHint().width() <= w->width(), qPrintable(name));
        if (auto *l = qobject_cast<QLabel *>(w); l && l->buddy() && l->buddy()->x() > l->x())
            QVERIFY2(l->geometry().right() < l->buddy()->x(), qPrintable(name));
        if (auto *g = qobject_cast<QGroupBox *>(w)) {
            QFont fett = g->font();
            fett.setBold(true);
            QVERIFY2(QFontMetrics(fett).horizontalAdvance(g->title()) + 20 <= g->width(), qPrintable(name));
        }
    }
    if (!steuerelement.isEmpty()) {
        const QWidget *w = dialog->findChild<QWidget *>(steuerelement);
        QVERIFY(w);
        const auto *b = qobject_cast<const QAbstractButton *>(w);
        QCOMPARE(b ? b->text() : qobject_cast<const QLabel *>(w)->text(), text);
    }
    dialog->hide();
}

QTEST_MAIN(TstDialoge)
#include "tst_dialoge.moc"
