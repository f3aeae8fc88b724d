// The output commands of the tool window on a frozen picture: clipboard, the save menu and its
// dialog, the screenshot folder, the automatic screenshot on "Fertig".
#include "output/speicherdialog.h"

#include "../output/dateigrenze.h"
#include "../output/desktopattrappe.h"
#include "../surface/bildhilfe.h"
#include "../surface/eingefroren.h"
#include "controls/meldform.h"
#include "controls/shadowlabel.h"
#include "modal.h"

#include <QClipboard>
#include <QDir>
#include <QImageReader>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

const QString Korrigieren = QStringLiteral("\nKorrigieren Sie ggf. den Ordner in den Einstellungen.");

QImage gelesen(const QString &pfad)
{
    return QImage(pfad).convertToFormat(QImage::Format_RGB32);
}

// Counts how often a window is shown, with the surface's input state at that moment.
class Gezeigt : public QObject
{
public:
    int Mal = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Show && !ScreenForm->isEnabled())
            ++Mal;
        return false;
    }
};

QStringList dateienIn(const QString &ordner)
{
    return QDir(ordner).entryList(QDir::Files);
}

} // namespace

class TstAusgabe : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void bereichOderGanzesBild_data();
    void bereichOderGanzesBild();
    void speichernUnter_data();
    void speichernUnter();
    void ueberschreibenNurNachFrage();
    void dialogMerktSichDenNamen();
    void dialogOeffnetImScreenshotOrdner_data();
    void dialogOeffnetImScreenshotOrdner();
    void schreibFehlerWirdGemeldet();
    void ordnerOeffnen();
    void menusUnterIhrenButtons_data();
    void menusUnterIhrenButtons();
    void fertigMitAutoScreenshot_data();
    void fertigMitAutoScreenshot();
    void weiterzeichnenNachAusgabe_data();
    void weiterzeichnenNachAusgabe();
    void ohneBildSagtEsWarum_data();
    void ohneBildSagtEsWarum();

private:
    QImage m_bild;
    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    DesktopAttrappe m_desktop;
};

void TstAusgabe::initTestCase()
{
    QVERIFY(m_home.isValid());
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        const QString d = m_home.filePath(QString::fromLatin1(name));
        QVERIFY(QDir().mkpath(d));
        QFile::setPermissions(d, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv(name, QFile::encodeName(d));
    }
    qputenv("HOME", QFile::encodeName(m_home.path()));
    QString warum;
    QVERIFY2(m_desktop.einrichten({QStringLiteral("inode/directory")}, &warum), qPrintable(warum));
    m_bild = musterBild(640, 360);
    QVERIFY(einfrieren(m_bild));
    ToolForm->move(0, 0);
}

void TstAusgabe::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    Cfg.ScreenshotDir = m_dir->filePath(QStringLiteral("Skizzomat\\Screenshots"));
    Cfg.AutoScreenshot = false;
    Cfg.ScreenshotNr = 0;
    ToolForm->BereichRect = KeinBereich;
    m_desktop.vergessen();
    QVERIFY(einfrieren(m_bild));
}

void TstAusgabe::bereichOderGanzesBild_data()
{
    QTest::addColumn<TRect>("bereich");
    QTest::addColumn<QRect>("ausschnitt");
    QTest::newRow("area 200x100") << TRect{30, 40, 230, 140} << QRect(30, 40, 200, 100);
    QTest::newRow("no area") << KeinBereich << QRect(0, 0, 640, 360);
}

// Clipboard, "Speichern unter..." and both menu screenshots give the area, or the whole picture.
void TstAusgabe::bereichOderGanzesBild()
{
    QFETCH(TRect, bereich);
    QFETCH(QRect, ausschnitt);
    ToolForm->BereichRect = bereich;
    const QImage soll = m_bild.copy(ausschnitt);

    QGuiApplication::clipboard()->clear();
    aktion("IndieZwischenablage1")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), soll);

    const QString pfad = m_dir->filePath(QStringLiteral("unter.bmp"));
    Modal modal([&](QFileDialog *d) { eintippen(d, pfad); });
    aktion("Speichernunter1")->trigger();
    QCOMPARE(gelesen(pfad), soll);

    // The notice is up while the file is written, and gone with the input block afterwards.
    Gezeigt gezeigt;
    MeldForm->installEventFilter(&gezeigt);
    aktion("AlsPNGScreenshotSpeichern")->trigger();
    aktion("AlsJPGScreenshotSpeichern")->trigger();
    const QString ordner = m_dir->filePath(QStringLiteral("Skizzomat/Screenshots"));
    const QStringList dateien = dateienIn(ordner);
    QCOMPARE(dateien.size(), 2);
    QVERIFY(dateien.at(0).endsWith(QStringLiteral("-001.png")));
    QVERIFY(dateien.at(1).endsWith(QStringLiteral("-002.jpg")));
    QCOMPARE(gelesen(ordner + QLatin1Char('/') + dateien.at(0)), soll);
    QCOMPARE(QImage(ordner + QLatin1Char('/') + dateien.at(1)).size(), soll.size());
    QCOMPARE(gezeigt.Mal, 2);
    QCOMPARE(MeldForm->InfoLab->text(), QStringLiteral("Screenshot abgelegt"));
    QVERIFY(MeldForm->isHidden());
    QVERIFY(ScreenForm->isEnabled());
    QVERIFY(modal.Boxen.isEmpty());
    QCOMPARE(ToolForm->BereichRect, bereich);
}

void TstAusgabe::speichernUnter_data()
{
    QTest::addColumn<QString>("eingabe");
    QTest::addColumn<QString>("datei");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QString>("fehler");
    QTest::newRow("upper-case PNG") << "Bild.PNG"
                                    << "Bild.PNG" << QByteArray("png") << "";
    QTest::newRow("JPEG") << "Bild.jpg"
                          << "Bild.jpg" << QByteArray("jpeg") << "";
    QTest::newRow("no extension gets jpg") << "Bild"
                                           << "Bild.jpg" << QByteArray("jpeg") << "";
    QTest::newRow(".jpeg is refused")
        << "Bild.jpeg"
        << "" << QByteArray() << "Fehler|Speichern fehlgeschlagen wegen ungültiger Dateinamenserweiterung.";
    QTest::newRow(".gif is refused")
        << "Bild.gif"
        << "" << QByteArray() << "Fehler|Speichern fehlgeschlagen wegen ungültiger Dateinamenserweiterung.";
}

// The name as the user wrote it, the format from its extension in any case.
void TstAusgabe::speichernUnter()
{
    QFETCH(QString, eingabe);
    QFETCH(QString, datei);
    QFETCH(QByteArray, format);
    QFETCH(QString, fehler);
    Modal modal([&](QFileDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Bildschirminhalt speichern"));
        QCOMPARE(d->nameFilters(),
                 QStringList({QStringLiteral("PNG (*.png)"), QStringLiteral("JPEG (*.jpg)"),
                              QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("Alle Dateien (*.*)")}));
        QCOMPARE(d->defaultSuffix(), QStringLiteral("jpg"));
        d->setDirectory(m_dir->path());
        eintippen(d, eingabe);
    });
    aktion("Speichernunter1")->trigger();
    if (!fehler.isEmpty()) {
        QCOMPARE(modal.Boxen, QStringList{fehler});
        QVERIFY(QDir(m_dir->path()).isEmpty());
        return;
    }
    QCOMPARE(modal.Boxen, QStringList());
    QCOMPARE(dateienIn(m_dir->path()), QStringList{datei});
    QImageReader leser(m_dir->filePath(datei));
    QCOMPARE(leser.format(), format);
    const QImage bild = leser.read().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(bild.size(), m_bild.size());
    if (format == "png")
        QCOMPARE(bild, m_bild);
}

void TstAusgabe::ueberschreibenNurNachFrage()
{
    const QString pfad = m_dir->filePath(QStringLiteral("alt.png"));
    QFile f(pfad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("vorher");
    f.close();
    {
        int runde = 0;
        Modal nein(
            [&](QFileDialog *d) {
                if (runde++ > 0)
                    return d->reject();
                eintippen(d, pfad);
            },
            QStringLiteral("&Nein"));
        aktion("Speichernunter1")->trigger();
        QCOMPARE(nein.Boxen.size(), 1);
        QVERIFY(nein.Boxen.at(0).contains(QStringLiteral("alt.png ist bereits vorhanden")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("vorher"));
        f.close();
    }

    Modal ja([&](QFileDialog *d) { eintippen(d, pfad); }, QStringLiteral("&Ja"));
    aktion("Speichernunter1")->trigger();
    QCOMPARE(ja.Boxen.size(), 1);
    QCOMPARE(gelesen(pfad), m_bild);
}

void TstAusgabe::dialogMerktSichDenNamen()
{
    const QString pfad = m_dir->filePath(QStringLiteral("gemerkt.bmp"));
    {
        Modal modal([&](QFileDialog *d) {
            d->selectNameFilter(QStringLiteral("Bitmap (*.bmp)"));
            eintippen(d, pfad);
        });
        aktion("Speichernunter1")->trigger();
    }
    QVERIFY(QFileInfo::exists(pfad));
    // Nothing of the dialog stays behind to read folders in the background.
    QCOMPARE(ToolForm->findChildren<QFileDialog *>(), QList<QFileDialog *>());
    QStringList angeboten;
    QString filter;
    Modal modal([&](QFileDialog *d) {
        angeboten = d->selectedFiles();
        filter = d->selectedNameFilter();
        d->reject();
    });
    aktion("Speichernunter1")->trigger();
    QCOMPARE(angeboten, QStringList{pfad});
    QCOMPARE(filter, QStringLiteral("Bitmap (*.bmp)"));
}

void TstAusgabe::dialogOeffnetImScreenshotOrdner_data()
{
    QTest::addColumn<bool>("vorhanden");
    QTest::newRow("folder exists") << true;
    QTest::newRow("folder still to be made") << false;
}

// Before the first file of a run is chosen, the dialog shows the screenshot folder, or the
// nearest folder above it that exists; never the working folder.
void TstAusgabe::dialogOeffnetImScreenshotOrdner()
{
    QFETCH(bool, vorhanden);
    const QString ordner = m_dir->filePath(QStringLiteral("Skizzomat/Screenshots"));
    if (vorhanden)
        QVERIFY(QDir().mkpath(ordner));
    TSpeichernUnter dialog;
    QString gezeigt;
    Modal modal([&](QFileDialog *d) {
        gezeigt = d->directory().path();
        d->reject();
    });
    QCOMPARE(dialog.waehlen(ToolForm), QString());
    QCOMPARE(gezeigt, vorhanden ? ordner : m_dir->path());
}

// A file that cannot be written is reported and leaves an existing file of its name intact.
void TstAusgabe::schreibFehlerWirdGemeldet()
{
    const QString pfad = m_dir->filePath(QStringLiteral("voll.bmp"));
    QFile f(pfad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("vorher");
    f.close();
    Modal modal([&](QFileDialog *d) { eintippen(d, pfad); }, QStringLiteral("&Ja"));
    {
        Dateigrenze voll(1024);
        aktion("Speichernunter1")->trigger();
    }
    QCOMPARE(modal.Boxen.size(), 2); // the overwrite question, then the error
    QCOMPARE(modal.Boxen.at(1), QStringLiteral("Fehler|Datei konnte nicht erstellt werden:\n") + pfad);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("vorher"));
}

void TstAusgabe::ordnerOeffnen()
{
    const QString ordner = m_dir->filePath(QStringLiteral("Skizzomat/Screenshots"));
    Modal modal;
    aktion("ScreenshotOrdnerOeffnen1")->trigger();
    QVERIFY(QFileInfo(ordner).isDir());
    QTRY_COMPARE_WITH_TIMEOUT(m_desktop.geoeffnet(), QStringList{ordner}, 20000);

    // A folder under a regular file cannot be created.
    const QString datei = m_dir->filePath(QStringLiteral("datei"));
    QFile f(datei);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    Cfg.ScreenshotDir = datei + QStringLiteral("/Screenshots");
    aktion("ScreenshotOrdnerOeffnen1")->trigger();
    QCOMPARE(m_desktop.geoeffnet().size(), 1);
    QCOMPARE(modal.Boxen,
             QStringList{QStringLiteral("Fehler|Screenshot-Ordner konnte nicht erstellt werden:\n") +
                         Cfg.ScreenshotDir + Korrigieren});
    // The notice that the screenshot is stored is gone before the box says it is not.
    bool meldungDabei = false;
    modal.beiBox = [&] { meldungDabei = MeldForm->isVisible(); };
    aktion("AlsPNGScreenshotSpeichern")->trigger();
    QVERIFY(!meldungDabei);
    QCOMPARE(modal.Boxen.size(), 2);
    QCOMPARE(
        modal.Boxen.at(1),
        QStringLiteral("Fehler|Verzeichnis für automatische Screenshots konnte nicht erstellt werden:\n") +
            Cfg.ScreenshotDir + Korrigieren);
    QCOMPARE(Cfg.ScreenshotNr, 0);
}

void TstAusgabe::menusUnterIhrenButtons_data()
{
    QTest::addColumn<QString>("weg"); // "button", "menu" or a shortcut
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("eintraege");
    const QStringList speichern{QStringLiteral("&Speichern unter..."),
                                QStringLiteral("Als &PNG-Bild in Screenshot-Ordner ablegen"),
                                QStringLiteral("Als &JPG-Bild in Screenshot-Ordner ablegen"),
                                QStringLiteral("Screenshot-&Ordner öffnen")};
    const QStringList blatt{QStringLiteral("Aktueller Bildschirm"),
                            QString(),
                            QStringLiteral("Weißes Blatt"),
                            QStringLiteral("Schwarzes Blatt"),
                            QStringLiteral("Kariert"),
                            QStringLiteral("Punktraster"),
                            QStringLiteral("Linien")};
    QTest::newRow("save button") << "button"
                                 << "SaveBtn"
                                 << "SpeichernMenu" << speichern;
    QTest::newRow("save, context menu") << "menu"
                                        << "SaveBtn"
                                        << "SpeichernMenu" << speichern;
    QTest::newRow("save, Ctrl+S") << "Ctrl+S"
                                  << "SaveBtn"
                                  << "SpeichernMenu" << speichern;
    const QStringList email{QStringLiteral("Als &PNG-Bild versenden..."),
                            QStringLiteral("Als &JPG-Bild versenden..."),
                            QStringLiteral("E-&Mail-Programm und Screenshot-Ordner öffnen...")};
    QTest::newRow("e-mail button") << "button"
                                   << "EmailBtn"
                                   << "EmailMenu" << email;
    QTest::newRow("e-mail, context menu") << "menu"
                                          << "EmailBtn"
                                          << "EmailMenu" << email;
    QTest::newRow("e-mail, Ctrl+M") << "Ctrl+M"
                                    << "EmailBtn"
                                    << "EmailMenu" << email;
    QTest::newRow("sheet button") << "button"
                                  << "BlattBtn"
                                  << "BlattMenu" << blatt;
    QTest::newRow("sheet, context menu") << "menu"
                                         << "BlattBtn"
                                         << "BlattMenu" << blatt;
    QTest::newRow("sheet, Ctrl+N") << "Ctrl+N"
                                   << "BlattBtn"
                                   << "BlattMenu" << blatt;
}

void TstAusgabe::menusUnterIhrenButtons()
{
    QFETCH(QString, weg);
    QFETCH(QString, button);
    QFETCH(QString, menu);
    QFETCH(QStringList, eintraege);
    QToolButton *b = ToolForm->Buttons.value(button);
    auto *m = ToolForm->findChild<QMenu *>(menu);
    QVERIFY(m);
    QStringList texte;
    for (const QAction *a : m->actions())
        texte.append(a->text());
    QCOMPARE(texte, eintraege);

    if (weg == QLatin1String("button")) {
        QTest::mouseClick(b, Qt::LeftButton);
    } else if (weg == QLatin1String("menu")) {
        ToolForm->PopupMenu1->popup(ScreenForm->mapToGlobal(QPoint(300, 200)));
        QVERIFY(QTest::qWaitForWindowExposed(ToolForm->PopupMenu1));
        for (QAction *a : ToolForm->PopupMenu1->actions())
            if (a == b->defaultAction())
                ToolForm->PopupMenu1->setActiveAction(a);
        QTest::keyClick(ToolForm->PopupMenu1, Qt::Key_Return);
    } else {
        ScreenForm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(ScreenForm));
        QTest::keySequence(ScreenForm, QKeySequence(weg));
    }
    QTRY_VERIFY(m->isVisible());
    QCOMPARE(m->geometry().topLeft(), b->mapToGlobal(QPoint(0, b->height())));
    m->close();
}

void TstAusgabe::fertigMitAutoScreenshot_data()
{
    QTest::addColumn<QString>("fall");
    QTest::addColumn<QString>("fehler");
    QTest::newRow("written, with an area active") << "ok"
                                                  << "";
    QTest::newRow("folder cannot be created") << "ordner"
                                              << "Fehler|Verzeichnis für automatische Screenshots konnte "
                                                 "nicht erstellt werden:\nDIR/datei/Screenshots" +
                                                     Korrigieren;
    QTest::newRow("file cannot be written") << "voll"
                                            << "Fehler|Datei konnte nicht erstellt werden:\nDIR/Screenshots/";
}

// "Fertig" writes the whole picture, area or not; if it cannot, the drawing stays frozen.
void TstAusgabe::fertigMitAutoScreenshot()
{
    QFETCH(QString, fall);
    QFETCH(QString, fehler);
    fehler.replace(QStringLiteral("DIR"), m_dir->path());
    Cfg.AutoScreenshot = true;
    Cfg.ScreenshotDir = m_dir->filePath(QStringLiteral("Screenshots"));
    const QString datei = m_dir->filePath(QStringLiteral("datei"));
    QFile f(datei);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    if (fall == QLatin1String("ordner"))
        Cfg.ScreenshotDir = datei + QStringLiteral("/Screenshots");
    aktion("DeckCol6")->trigger();
    aktion("Stift1")->trigger();
    ziehe(ScreenForm->Img1, {20, 20}, {300, 200});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    const QImage gezeichnet = ScreenForm->Img1Bmp;
    QVERIFY(gezeichnet != m_bild);
    ToolForm->BereichRect = {30, 40, 230, 140};

    Modal modal;
    if (fall == QLatin1String("voll")) {
        QVERIFY(QDir().mkpath(Cfg.ScreenshotDir));
        Dateigrenze voll(1024);
        ToolForm->StartFertigBtnClick();
    } else {
        ToolForm->StartFertigBtnClick();
    }

    const QStringList dateien = dateienIn(m_dir->filePath(QStringLiteral("Screenshots")));
    if (fall == QLatin1String("ok")) {
        QCOMPARE(modal.Boxen, QStringList());
        QCOMPARE(ToolForm->WinZustand, 0);
        QCOMPARE(dateien.size(), 1);
        QCOMPARE(gelesen(Cfg.ScreenshotDir + QLatin1Char('/') + dateien.at(0)), gezeichnet);
        return;
    }
    QCOMPARE(modal.Boxen.size(), 1);
    QVERIFY2(modal.Boxen.at(0).startsWith(fehler), qPrintable(modal.Boxen.at(0)));
    QCOMPARE(dateien, QStringList());
    QCOMPARE(ToolForm->WinZustand, 1);
    QVERIFY(ScreenForm->isVisible());
    QCOMPARE(ToolForm->StartFertigBtn->text(), QStringLiteral("Fertig"));
    QCOMPARE(ScreenForm->Img1Bmp, gezeichnet);
    QCOMPARE(Cfg.ScreenshotNr, 0);
}

void TstAusgabe::weiterzeichnenNachAusgabe_data()
{
    QTest::addColumn<QString>("ausgabe");
    QTest::addColumn<TRect>("bereich");
    QTest::addColumn<bool>("nachFertig");
    QTest::newRow("clipboard") << "IndieZwischenablage1" << KeinBereich << false;
    QTest::newRow("clipboard, area") << "IndieZwischenablage1" << TRect{30, 40, 330, 240} << false;
    QTest::newRow("save as") << "Speichernunter1" << KeinBereich << false;
    QTest::newRow("screenshot, area") << "AlsPNGScreenshotSpeichern" << TRect{30, 40, 330, 240} << false;
    QTest::newRow("clipboard after Fertig") << "IndieZwischenablage1" << KeinBereich << true;
    QTest::newRow("save as after Fertig") << "Speichernunter1" << TRect{30, 40, 330, 240} << true;
}

// An output leaves the drawing picture as it was: drawing goes on from it, a second output
// gives the new drawing, and undo goes back to the first. After "Fertig" the last drawing can
// still be put out, twice.
void TstAusgabe::weiterzeichnenNachAusgabe()
{
    QFETCH(QString, ausgabe);
    QFETCH(TRect, bereich);
    QFETCH(bool, nachFertig);
    ToolForm->BereichRect = bereich;
    const QRect ausschnitt = bereich == KeinBereich ? m_bild.rect() : QRect(30, 40, 300, 200);
    const QString ordner = m_dir->filePath(QStringLiteral("Skizzomat/Screenshots"));
    int nr = 0;
    auto ausgeben = [&]() -> QImage {
        const QString pfad = m_dir->filePath(QStringLiteral("unter%1.png").arg(++nr));
        QGuiApplication::clipboard()->clear();
        Modal modal([&](QFileDialog *d) { eintippen(d, pfad); });
        aktion(qPrintable(ausgabe))->trigger();
        if (!modal.Boxen.isEmpty())
            return QImage();
        if (ausgabe == QLatin1String("Speichernunter1"))
            return gelesen(pfad);
        if (ausgabe == QLatin1String("AlsPNGScreenshotSpeichern")) {
            const QStringList dateien = dateienIn(ordner);
            return dateien.size() == nr ? gelesen(ordner + QLatin1Char('/') + dateien.last()) : QImage();
        }
        return QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    };

    aktion("Dicke3")->trigger();
    aktion("DeckCol6")->trigger();
    aktion("Stift1")->trigger();
    ziehe(ScreenForm->Img1, {50, 60}, {200, 100});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    const QImage erster = ScreenForm->Img1Bmp;
    QVERIFY(erster.copy(ausschnitt) != m_bild.copy(ausschnitt));
    if (nachFertig) {
        ToolForm->StartFertigBtnClick();
        QCOMPARE(ToolForm->WinZustand, 0);
        QCOMPARE(ausgeben(), erster.copy(ausschnitt));
        QCOMPARE(ausgeben(), erster.copy(ausschnitt));
        return;
    }
    QCOMPARE(ausgeben(), erster.copy(ausschnitt));
    QCOMPARE(ScreenForm->Img1Bmp, erster);

    ziehe(ScreenForm->Img1, {60, 200}, {300, 150});
    ScreenForm->Zeichenbewegung(0, -1, -1);
    const QImage zweiter = ScreenForm->Img1Bmp;
    QVERIFY(zweiter.copy(ausschnitt) != erster.copy(ausschnitt));
    QCOMPARE(ausgeben(), zweiter.copy(ausschnitt));
    QCOMPARE(ScreenForm->Img1Bmp, zweiter);
    aktion("Rckgngig1")->trigger();
    ScreenForm->Zeichenbewegung(0, -1, -1);
    QCOMPARE(ScreenForm->Img1Bmp, erster);
    QCOMPARE(ausgeben(), erster.copy(ausschnitt));
}

void TstAusgabe::ohneBildSagtEsWarum_data()
{
    QTest::addColumn<QString>("ausgabe");
    for (const char *a : {"IndieZwischenablage1", "Speichernunter1", "AlsPNGScreenshotSpeichern",
                          "AlsJPGScreenshotSpeichern", "Drucken1", "EmailPNGMenuItem"})
        QTest::newRow(a) << QString::fromLatin1(a);
}

// Before the first freeze of a run there is no picture: each output says so, once, and opens
// nothing and writes nothing.
void TstAusgabe::ohneBildSagtEsWarum()
{
    QFETCH(QString, ausgabe);
    ToolForm->StartFertigBtnClick();
    ScreenForm->Img1Bmp = QImage();
    QGuiApplication::clipboard()->clear();
    Modal modal;
    aktion(qPrintable(ausgabe))->trigger();
    QCOMPARE(modal.Boxen, QStringList(QStringLiteral(
                              "Informationen|Es gibt noch kein Bild. „Start“ friert den Bildschirm ein; "
                              "danach lässt sich das Bild kopieren, speichern, drucken oder versenden.")));
    QVERIFY(QGuiApplication::clipboard()->image().isNull());
    QVERIFY(!QDir(m_dir->path()).exists(QStringLiteral("Skizzomat")));
    QVERIFY(ToolForm->findChildren<QFileDialog *>().isEmpty());
}

QTEST_MAIN(TstAusgabe)
#include "tst_ausgabe.moc"
