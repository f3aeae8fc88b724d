// The tool window with the settings store and the translation file: what its first
// activation takes from them and what its close writes.
#include "app/einstellungen.h"
#include "app/uebersetzung.h"
#include "controls/meldform.h"
#include "controls/numedit.h"
#include "modal.h"
#include "output/druck.h"
#include "output/speicherdialog.h"
#include "startup/anwendung.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>

class TstEinstellungenTexte : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void designedTextsWithoutFile();
    void translationReachesToolWindow();
    void startCaptionFitsButton_data();
    void startCaptionFitsButton();
    void storedChoicesSizeAndPlaceAtFirstActivation();
    void storedPositionPulledOntoScreen();
    void closeWritesEverything();
    void printValuesLiveInTheDialog();
    void unwritableStoreReportedOnceAtClose();

private:
    void fensterNeu();
    void ersteAktivierung();
    QString text(const char *ziel) const;
    bool schreiben(const QString &pfad, const QByteArray &bytes);

    QTemporaryDir m_dir;
    QString m_datei;
};

void TstEinstellungenTexte::init()
{
    QVERIFY(m_dir.isValid());
    m_datei = m_dir.filePath(QStringLiteral("Skizzomat.conf"));
    QFile::remove(m_datei);
    QFile::remove(m_dir.filePath(UebersetzungsDateiname));
    Cfg = Settings{};
    EinstellungenDatei.clear();
    OberflaechentexteZuruecksetzen();
}

void TstEinstellungenTexte::cleanup()
{
    EinstellungenDatei.clear();
}

void TstEinstellungenTexte::fensterNeu()
{
    FensterLoeschen();
    FensterErzeugen();
}

void TstEinstellungenTexte::ersteAktivierung()
{
    fensterNeu();
    ToolForm->show();
    QTRY_VERIFY(!ToolForm->Start);
}

bool TstEinstellungenTexte::schreiben(const QString &pfad, const QByteArray &bytes)
{
    QFile f(pfad);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The text a tool-window target shows now.
QString TstEinstellungenTexte::text(const char *ziel) const
{
    const QString name = QString::fromLatin1(ziel);
    TToolForm &t = *ToolForm;
    if (name.startsWith(QLatin1String("StartCaptions")))
        return t.StartCaptions.value(name.right(1).toInt());
    if (name.startsWith(QLatin1String("StartHints")))
        return t.StartHints.value(name.right(1).toInt());
    if (t.Buttons.contains(name))
        return t.Aktionen.value(name)->toolTip();
    if (QAction *a = t.Aktionen.value(name))
        return a->text();
    for (QAction *a : t.PopupMenu1->actions())
        if (a->menu() && a->objectName() == name)
            return a->text();
    return QStringLiteral("<none>");
}

void TstEinstellungenTexte::designedTextsWithoutFile()
{
    Cfg.ExeDir = m_dir.path() + QLatin1Char('/');
    ersteAktivierung();
    int geprueft = 0;
    for (const TextZiel &z : TextZiele) {
        const QString name = QString::fromLatin1(z.Ziel);
        // Dialogs and menus still to come take their texts from the table.
        static const QStringList spaeter{
            "TDruckForm", "TInfoBox",         "TEinstellungenForm", "TAuswahlForm",
            "SaveBMP",    "EmailPNGMenuItem", "EmailJPGMenuItem",   "EMailProgrammOeffnen1"};
        if (spaeter.contains(name.section(QLatin1Char('.'), 0, 0)))
            continue;
        QCOMPARE(text(z.Ziel), QString::fromUtf8(z.Text));
        ++geprueft;
    }
    QCOMPARE(geprueft, 90);
    TSpeicherDialog d;
    QCOMPARE(d.windowTitle(), QStringLiteral("Bildschirminhalt speichern"));
}

void TstEinstellungenTexte::translationReachesToolWindow()
{
    Cfg.ExeDir = m_dir.path() + QLatin1Char('/');
    QVERIFY(schreiben(m_dir.filePath(UebersetzungsDateiname),
                      "\xEF\xBB\xBF[skizzomat_translation]\n"
                      "btn_stift=Stylo\nbtn_groesse=Épaisseur\nbtn_groesse2=Épaisseur 2\n"
                      "btn_start=Go\nbtn_fertig=Stop\nbtn_fertighint=Rendre l'écran\n"
                      "btn_hineinzoomen=Zoom +\nbtn_zoomansicht=Loupe plein écran\n"
                      "btn_blattkariert=Quadrillé\nmenue_speichern_pngscreenshot=PNG !\n"
                      "speichern_bildschirmspeichern=Enregistrer\nspeichern_filter=Image PNG|*.png|Tout|*\n"
                      "[autre]\nbtn_lupe=Loupe\n"));
    ersteAktivierung();
    TToolForm &t = *ToolForm;
    QCOMPARE(text("Stift1"), QStringLiteral("Stylo"));
    QCOMPARE(text("StiftBtn"), QStringLiteral("Stylo"));
    QCOMPARE(text("Strichdicke1"), QStringLiteral("Épaisseur"));
    QCOMPARE(text("Dicke2Btn"), QStringLiteral("Épaisseur 2"));
    QCOMPARE(t.Aktionen.value(QStringLiteral("Dicke2"))->text(), QStringLiteral("&2"));
    // The zoom button shares its action with the zoom view's menu item, not with "Hineinzoomen".
    QCOMPARE(text("ZoomInBtn"), QStringLiteral("Zoom +"));
    QCOMPARE(text("Hineinzoomen1"), QStringLiteral("Zoom +"));
    QCOMPARE(text("Zoom1"), QStringLiteral("Loupe plein écran"));
    QCOMPARE(text("KariertesBlatt1"), QStringLiteral("Quadrillé"));
    QCOMPARE(text("AlsPNGScreenshotSpeichern"), QStringLiteral("PNG !"));
    QCOMPARE(text("LupeBtn"), QStringLiteral("Lupe"));
    QCOMPARE(text("Linie1"), QStringLiteral("Linie"));
    // The Start/Fertig button and its menu item show the new texts at once and later.
    QCOMPARE(t.StartFertigBtn->text(), QStringLiteral("Go"));
    QCOMPARE(t.StartFertig1->text(), QStringLiteral("Go"));
    QCOMPARE(t.StartFertigBtn->toolTip(),
             QStringLiteral("Bildschirm einfrieren und\r\nZeichenfunktionen aktivieren"));
    t.FensterAusklappen();
    QCOMPARE(t.StartFertigBtn->text(), QStringLiteral("Stop"));
    QCOMPARE(t.StartFertigBtn->toolTip(), QStringLiteral("Rendre l'écran"));
    t.FensterEinklappen();

    TSpeicherDialog d;
    QCOMPARE(d.windowTitle(), QStringLiteral("Enregistrer"));
    QCOMPARE(d.nameFilters(), (QStringList{"Image PNG (*.png)", "Tout (*)"}));
}

void TstEinstellungenTexte::startCaptionFitsButton_data()
{
    QTest::addColumn<int>("breite");    // the stored button width
    QTest::addColumn<QString>("start"); // translated captions
    QTest::addColumn<QString>("fertig");
    QTest::addColumn<int>("pixel"); // the font size of the Start caption, 0: smaller than designed
    QTest::newRow("designed") << 25 << "Start"
                              << "Fertig" << 12;
    QTest::newRow("longer, narrow") << 25 << "Einfrieren ÄÖÜ"
                                    << "Bildschirm freigeben" << 0;
    QTest::newRow("longer, room enough") << 100 << "Einfrieren ÄÖÜ"
                                         << "Bildschirm freigeben" << 12;
}

// A translated Start or Fertig caption is shown whole inside the button, in a smaller font where
// the button is too narrow for it.
void TstEinstellungenTexte::startCaptionFitsButton()
{
    QFETCH(int, breite);
    QFETCH(QString, start);
    QFETCH(QString, fertig);
    QFETCH(int, pixel);
    Cfg.ExeDir = m_dir.path() + QLatin1Char('/');
    QVERIFY(schreiben(m_dir.filePath(UebersetzungsDateiname),
                      QStringLiteral("[skizzomat_translation]\nbtn_start=%1\nbtn_fertig=%2\n")
                          .arg(start, fertig)
                          .toUtf8()));
    QVERIFY(
        schreiben(m_datei, QByteArrayLiteral("[General]\nWerkzeugGroesseX=") + QByteArray::number(breite)));
    EinstellungenDatei = m_datei;
    ersteAktivierung();
    QPushButton *knopf = ToolForm->StartFertigBtn;
    const auto passt = [knopf] {
        QStyleOptionButton opt;
        opt.initFrom(knopf);
        opt.features = QStyleOptionButton::DefaultButton | QStyleOptionButton::AutoDefaultButton;
        const QRect inhalt = knopf->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, knopf);
        return QFontMetrics(knopf->font()).size(Qt::TextShowMnemonic, knopf->text()).width() <=
               inhalt.width();
    };
    QCOMPARE(knopf->text(), start);
    QVERIFY(passt());
    if (pixel)
        QCOMPARE(knopf->font().pixelSize(), pixel);
    else
        QVERIFY(knopf->font().pixelSize() < 12);
    QCOMPARE(ToolForm->StartFertig1->text(), start);
    ToolForm->FensterAusklappen();
    QCOMPARE(knopf->text(), fertig);
    QVERIFY(passt());
    ToolForm->FensterEinklappen();
}

void TstEinstellungenTexte::storedChoicesSizeAndPlaceAtFirstActivation()
{
    QVERIFY(schreiben(m_datei,
                      "[General]\nStiftdickeMode=1\nFarbMode=13\nWerkzeugMode=4\nWerkzeugGroesseX=40\n"
                      "WerkzeugGroesseY=30\nWinPos-Left=10\nWinPos-Top=20\nAutoClose=true\n"
                      "Drucken-Breite=9.5\n"));
    EinstellungenDatei = m_datei;
    ersteAktivierung();
    TToolForm &t = *ToolForm;
    QVERIFY(t.Aktionen.value(QStringLiteral("Dicke1Btn"))->isChecked());
    QVERIFY(t.Aktionen.value(QStringLiteral("DeckCol3Btn"))->isChecked());
    QVERIFY(t.Aktionen.value(QStringLiteral("RechteckBtn"))->isChecked());
    QCOMPARE(t.Sdicke, 3);
    QCOMPARE(t.Scol, Palette::Gruen);
    QCOMPARE(t.Modus, 4);
    QVERIFY(Cfg.AutoClose);
    QCOMPARE(DruckForm->breite(), 9.5);
    QCOMPARE(t.size(), QSize(82, 33));
    QCOMPARE(t.pos(), QPoint(10, 20));
}

void TstEinstellungenTexte::storedPositionPulledOntoScreen()
{
    QVERIFY(schreiben(m_datei, "[General]\nWinPos-Left=5000\nWinPos-Top=5000\nWerkzeugGroesseX=100\n"));
    EinstellungenDatei = m_datei;
    ersteAktivierung();
    // Limited with the size the stored buttons give, frame and all: the whole window on the
    // monitor, in its bottom-right corner.
    QCOMPARE(ToolForm->size(), QSize(202, 27));
    QTRY_COMPARE(ToolForm->frameGeometry().bottomRight(),
                 QGuiApplication::primaryScreen()->geometry().bottomRight());
}

void TstEinstellungenTexte::closeWritesEverything()
{
    EinstellungenDatei = m_datei;
    ersteAktivierung();
    TToolForm &t = *ToolForm;
    // The defaults of an empty store, the window in the top right corner.
    QCOMPARE(t.frameGeometry().right(), QGuiApplication::primaryScreen()->geometry().right());
    QCOMPARE(t.pos().y(), 0);
    t.Aktionen.value(QStringLiteral("EllipseBtn"))->trigger();
    t.Aktionen.value(QStringLiteral("MarkCol2Btn"))->trigger();
    t.Aktionen.value(QStringLiteral("Dicke4Btn"))->trigger();
    t.move(33, 44);
    DruckForm->setSeitRatio(false);
    t.close();

    QSettings s(m_datei, QSettings::IniFormat);
    QCOMPARE(s.allKeys().size(), 28);
    QCOMPARE(s.value(QStringLiteral("GlobaleTaste")).toString(), QStringLiteral("Ctrl+Shift+F9"));
    QCOMPARE(s.value(QStringLiteral("WerkzeugMode")).toInt(), 10);
    QCOMPARE(s.value(QStringLiteral("FarbMode")).toInt(), 2);
    QCOMPARE(s.value(QStringLiteral("StiftdickeMode")).toInt(), 4);
    QCOMPARE(s.value(QStringLiteral("WinPos-Left")).toInt(), 33);
    QCOMPARE(s.value(QStringLiteral("WinPos-Top")).toInt(), 44);
    QCOMPARE(s.value(QStringLiteral("Drucken-SeitRatio")).toBool(), false);
    QCOMPARE(s.value(QStringLiteral("BereichRect-Left")).toInt(), -1);
}

// The print dialog's fields are where the print values live: the stored ones show there from
// the first activation, and whatever the fields hold at the end is stored, also a value typed
// with more decimals than the field shows.
void TstEinstellungenTexte::printValuesLiveInTheDialog()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QVERIFY(schreiben(m_datei, "[General]\nDrucken-Breite=12\nDrucken-LiRand=3\nDrucken-SeitRatio=false\n"
                               "Drucken-Hoehe=abc\n"));
    EinstellungenDatei = m_datei;
    ersteAktivierung();
    TDruckForm &d = *DruckForm;
    QCOMPARE(d.LiRandEdit->text(), QStringLiteral("3,0"));
    QCOMPARE(d.ObRandEdit->text(), QStringLiteral("1,8"));
    QCOMPARE(d.BreiteEdit->text(), QStringLiteral("12,0"));
    QCOMPARE(d.HoeheEdit->text(), QStringLiteral("17,0"));
    QVERIFY(!d.SeitRatio->isChecked());

    d.BreiteEdit->setText(QStringLiteral("10,0"));
    d.HoeheEdit->setText(QStringLiteral("2,25"));
    d.ObRandEdit->setText(QStringLiteral("x"));
    d.SeitRatio->setChecked(true);
    ToolForm->close();
    QSettings s(m_datei, QSettings::IniFormat);
    QCOMPARE(s.value(QStringLiteral("Drucken-LiRand")).toDouble(), 3.0);
    QCOMPARE(s.value(QStringLiteral("Drucken-ObRand")).toDouble(), 0.0);
    QCOMPARE(s.value(QStringLiteral("Drucken-Breite")).toDouble(), 10.0);
    QCOMPARE(s.value(QStringLiteral("Drucken-Hoehe")).toDouble(), 2.25);
    QCOMPARE(s.value(QStringLiteral("Drucken-SeitRatio")).toBool(), true);

    // And back into a new run's dialog.
    ersteAktivierung();
    QCOMPARE(DruckForm->BreiteEdit->text(), QStringLiteral("10,0"));
    QCOMPARE(DruckForm->hoehe(), 2.3);
    QVERIFY(DruckForm->SeitRatio->isChecked());
}

void TstEinstellungenTexte::unwritableStoreReportedOnceAtClose()
{
    QVERIFY(QDir().mkpath(m_datei));
    EinstellungenDatei = m_datei;
    ersteAktivierung();
    Modal modal;
    ToolForm->close();
    ToolForm->close();
    QCOMPARE(modal.Boxen.size(), 1);
    QVERIFY2(modal.Boxen.first().startsWith(
                 QStringLiteral("Fehler|Die Einstellungen konnten nicht gespeichert werden")),
             qPrintable(modal.Boxen.first()));
    QVERIFY(!ToolForm->isVisible());
}

QTEST_MAIN(TstEinstellungenTexte)
#include "tst_einstellungentexte.moc"
