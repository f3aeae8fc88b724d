#include "app/heimordner.h"
#include "output/bildspeichern.h"
#include "output/ordner.h"
#include "output/screenshot.h"

#include "dateigrenze.h"
#include "testbilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

namespace {

void schreiben(const QString &pfad, const QByteArray &inhalt)
{
    QFile f(pfad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(inhalt);
}

const QString Korrigieren = QStringLiteral("\nKorrigieren Sie ggf. den Ordner in den Einstellungen.");

} // namespace

class TstScreenshotOrdner : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void erweitern_data();
    void erweitern();
    void ordnerEinstellungen();
    void ohneHome_data();
    void ohneHome();
    void ordnerBereit();
    void dateiname_data();
    void dateiname();
    void auswahlBmp_data();
    void auswahlBmp();
    void nummernInEinerSekunde();
    void ordnerFehler_data();
    void ordnerFehler();
    void schreibFehlerGibtNummerZurueck();
    void vorhandeneDateiBleibt();
    void dokumentFehlerText();

private:
    QTemporaryDir m_home;
    QString m_dokumente;
    std::unique_ptr<QTemporaryDir> m_dir;
    QDateTime m_zeit{QDate(2024, 1, 31), QTime(14, 25, 30)};
};

// The documents folder comes from a home of our own, named in user-dirs.dirs.
void TstScreenshotOrdner::initTestCase()
{
    QVERIFY(m_home.isValid());
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        const QString d = m_home.filePath(QString::fromLatin1(name));
        QVERIFY(QDir().mkpath(d));
        QFile::setPermissions(d, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv(name, QFile::encodeName(d));
    }
    qputenv("HOME", QFile::encodeName(m_home.path()));
    schreiben(m_home.filePath(QStringLiteral("XDG_CONFIG_HOME/user-dirs.dirs")),
              "XDG_DOCUMENTS_DIR=\"$HOME/Eigene Dokumente\"\n");
    m_dokumente = m_home.filePath(QStringLiteral("Eigene Dokumente"));
}

void TstScreenshotOrdner::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    Cfg = Settings{};
    Cfg.ExeDir = QStringLiteral("/opt/skizzomat/");
}

void TstScreenshotOrdner::erweitern_data()
{
    QTest::addColumn<QString>("einstellung");
    QTest::addColumn<QString>("docDir");
    QTest::addColumn<QString>("ordner");
    const QString doc = QStringLiteral("/home/anna/Dokumente");
    QTest::newRow("default") << "%docdir%/Skizzomat/Screenshots" << doc
                             << "/home/anna/Dokumente/Skizzomat/Screenshots";
    QTest::newRow("backslashes of the setting")
        << "%docdir%\\Skizzomat\\Email" << doc << "/home/anna/Dokumente/Skizzomat/Email";
    QTest::newRow("program folder ends with a separator")
        << "%exedir%\\Screenshots" << doc << "/opt/skizzomat/Screenshots";
    QTest::newRow("program folder alone") << "%exedir%" << doc << "/opt/skizzomat/";
    QTest::newRow("capitals are no placeholder") << "%EXEDIR%/Bilder" << doc << "%EXEDIR%/Bilder";
    QTest::newRow("%Docdir% left alone") << "/x/%Docdir%/Bilder" << doc << "/x/%Docdir%/Bilder";
    QTest::newRow("leading double backslash") << "\\\\server\\bilder" << doc << "/server/bilder";
    QTest::newRow("leading //") << "//server/bilder" << doc << "/server/bilder";
    QTest::newRow("three become two") << "/a///b" << doc << "/a//b";
    QTest::newRow("four become two") << "/a\\\\\\\\b" << doc << "/a//b";
    QTest::newRow("every placeholder")
        << "%docdir%/%exedir%/%docdir%" << doc << "/home/anna/Dokumente/opt/skizzomat//home/anna/Dokumente";
    QTest::newRow("no documents folder") << "%docdir%"
                                         << ""
                                         << "";
    QTest::newRow("no documents folder, subfolder") << "%docdir%/Bilder"
                                                    << ""
                                                    << "/Bilder";
    QTest::newRow("empty setting") << "" << doc << "";
    QTest::newRow("inserted text is not searched again") << "%docdir%/x"
                                                         << "/home/%exedir%"
                                                         << "/home/%exedir%/x";
    QTest::newRow("backslash in a documents folder name stays") << "%docdir%/x"
                                                                << "/home/a\\b"
                                                                << "/home/a\\b/x";
    QTest::newRow("broken placeholder") << "%docdir/%exedir%" << doc << "%docdir/opt/skizzomat/";
    // "~" as a shell reads it: alone or before the first separator.
    QTest::newRow("home folder's subfolder")
        << "~/Bilder/Skizzo Test" << doc << "/home/anna/Bilder/Skizzo Test";
    QTest::newRow("home folder alone") << "~" << doc << "/home/anna";
    QTest::newRow("home folder, backslash") << "~\\Bilder" << doc << "/home/anna/Bilder";
    QTest::newRow("home folder, doubled separator") << "~//Bilder" << doc << "/home/anna/Bilder";
    QTest::newRow("another user's home stays") << "~bert/Bilder" << doc << "~bert/Bilder";
    QTest::newRow("~ inside stays") << "/x/~/y" << doc << "/x/~/y";
    QTest::newRow("~ after a placeholder stays") << "%docdir%/~" << doc << "/home/anna/Dokumente/~";
    QTest::newRow("~ before a placeholder stays") << "~%docdir%" << doc << "~/home/anna/Dokumente";
}

void TstScreenshotOrdner::erweitern()
{
    QFETCH(QString, einstellung);
    QFETCH(QString, docDir);
    QFETCH(QString, ordner);
    QCOMPARE(OrdnerErweitern(einstellung, Cfg.ExeDir, docDir, QStringLiteral("/home/anna")), ordner);
}

void TstScreenshotOrdner::ordnerEinstellungen()
{
    QCOMPARE(DokumentenOrdner(), m_dokumente);
    QCOMPARE(ScreenshotOrdner(), m_dokumente + QStringLiteral("/Skizzomat/Screenshots"));
    QCOMPARE(EmailOrdner(), m_dokumente + QStringLiteral("/Skizzomat/Email"));
    Cfg.EmailDir = QStringLiteral("%exedir%\\Mail");
    QCOMPARE(EmailOrdner(), QStringLiteral("/opt/skizzomat/Mail"));
    QCOMPARE(Cfg.EmailDir, QStringLiteral("%exedir%\\Mail")); // the setting keeps its placeholders
    // "~" is the home folder, not a folder named so below the working folder.
    Cfg.ScreenshotDir = QStringLiteral("~/Bilder/Skizzo Test");
    QCOMPARE(ScreenshotOrdner(), m_home.path() + QStringLiteral("/Bilder/Skizzo Test"));
}

// Without HOME the folders lie in the user's home folder of the password database, not in "/".
void TstScreenshotOrdner::ohneHome_data()
{
    QTest::addColumn<bool>("gesetzt");
    QTest::addColumn<QByteArray>("home");
    QTest::addColumn<bool>("ausDerDatenbank");
    QTest::newRow("HOME unset") << false << QByteArray() << true;
    QTest::newRow("HOME empty") << true << QByteArray() << true;
    QTest::newRow("HOME set stays") << true << QFile::encodeName(m_home.path()) << false;
}

void TstScreenshotOrdner::ohneHome()
{
    QFETCH(bool, gesetzt);
    QFETCH(QByteArray, home);
    QFETCH(bool, ausDerDatenbank);
    const passwd *pw = getpwuid(getuid());
    QVERIFY(pw && pw->pw_dir[0] == '/');
    const QString datenbank = QFile::decodeName(pw->pw_dir);
    QVERIFY(datenbank != m_home.path());
    const QByteArray vorher = qgetenv("HOME");
    const auto zurueck = qScopeGuard([&] { qputenv("HOME", vorher); });
    if (gesetzt)
        qputenv("HOME", home);
    else
        qunsetenv("HOME");

    HeimordnerSetzen();
    // user-dirs.dirs names "$HOME/Eigene Dokumente"; Qt puts its home folder there.
    const QString heim = ausDerDatenbank ? datenbank : m_home.path();
    QCOMPARE(qEnvironmentVariable("HOME"), heim);
    QCOMPARE(ScreenshotOrdner(), heim + QStringLiteral("/Eigene Dokumente/Skizzomat/Screenshots"));
}

void TstScreenshotOrdner::ordnerBereit()
{
    const QString tief = m_dir->filePath(QStringLiteral("a/b c/d"));
    QVERIFY(OrdnerBereit(tief));
    QVERIFY(QFileInfo(tief).isDir());
    QVERIFY(OrdnerBereit(tief)); // already there

    const QString verweis = m_dir->filePath(QStringLiteral("verweis"));
    QVERIFY(QFile::link(tief, verweis));
    QVERIFY(OrdnerBereit(verweis));

    const QString datei = m_dir->filePath(QStringLiteral("datei"));
    schreiben(datei, "x");
    QVERIFY(!OrdnerBereit(datei));
    QVERIFY(!OrdnerBereit(datei + QStringLiteral("/unter/der/datei")));
    QVERIFY(!OrdnerBereit(QString()));
}

void TstScreenshotOrdner::dateiname_data()
{
    QTest::addColumn<QString>("ordner");
    QTest::addColumn<QDateTime>("zeit");
    QTest::addColumn<int>("nr");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("name");
    const QDateTime zeit(QDate(2024, 1, 31), QTime(14, 25, 30));
    QTest::newRow("third PNG") << "/daten/bilder" << zeit << 3 << 0
                               << "/daten/bilder/20240131-142530-003.png";
    QTest::newRow("JPEG") << "/daten/bilder" << zeit << 42 << 1 << "/daten/bilder/20240131-142530-042.jpg";
    QTest::newRow("four digits") << "/daten/bilder" << zeit << 1000 << 0
                                 << "/daten/bilder/20240131-142530-1000.png";
    QTest::newRow("two digits everywhere")
        << "/d" << QDateTime(QDate(987, 3, 5), QTime(4, 5, 6)) << 1 << 0 << "/d/09870305-040506-001.png";
    QTest::newRow("folder with separator")
        << "/opt/skizzomat/" << zeit << 1 << 1 << "/opt/skizzomat/20240131-142530-001.jpg";
}

void TstScreenshotOrdner::dateiname()
{
    QFETCH(QString, ordner);
    QFETCH(QDateTime, zeit);
    QFETCH(int, nr);
    QFETCH(int, format);
    QFETCH(QString, name);
    QCOMPARE(AutoDateiname(ordner, zeit, nr, format), name);
}

void TstScreenshotOrdner::auswahlBmp_data()
{
    QTest::addColumn<TRect>("bereich");
    QTest::addColumn<bool>("nurAuswahl");
    QTest::addColumn<QRect>("ausschnitt");
    const QRect alles(0, 0, 640, 360);
    QTest::newRow("area 200x100") << TRect{30, 40, 230, 140} << true << QRect(30, 40, 200, 100);
    QTest::newRow("no area") << KeinBereich << true << alles;
    QTest::newRow("area one pixel wide at the left edge") << TRect{0, 10, 1, 50} << true << alles;
    QTest::newRow("automatic screenshot ignores the area") << TRect{30, 40, 230, 140} << false << alles;
}

// The stored file holds exactly the pixels of the area, or of the whole picture.
void TstScreenshotOrdner::auswahlBmp()
{
    QFETCH(TRect, bereich);
    QFETCH(bool, nurAuswahl);
    QFETCH(QRect, ausschnitt);
    Cfg.ScreenshotDir = m_dir->filePath(QStringLiteral("Bilder"));
    ToolState t;
    t.BereichRect = bereich;
    const QImage img1 = musterBild(640, 360);

    if (nurAuswahl) {
        SetAuswahlBmp(t, img1);
        QCOMPARE(t.AuswahlBmp, img1.copy(ausschnitt));
    }
    const Ablage a = ScreenshotAblegen(t, img1, nurAuswahl, FormatPng, m_zeit);
    QVERIFY(a.Ok);
    QCOMPARE(t.AuswahlBmp, img1.copy(ausschnitt));
    QCOMPARE(QImage(a.Datei).convertToFormat(QImage::Format_RGB32), img1.copy(ausschnitt));
    QCOMPARE(t.BereichRect, bereich);
}

// The first screenshot of the run is 001; two in the same second differ by their number; the
// folder is created with its parents.
void TstScreenshotOrdner::nummernInEinerSekunde()
{
    Cfg.ScreenshotDir = m_dir->path() + QStringLiteral("\\neu\\Skizzomat\\\\Screenshots");
    const QString ordner = m_dir->filePath(QStringLiteral("neu/Skizzomat/Screenshots"));
    ToolState t;
    const QImage img1 = musterBild(16, 9);

    const Ablage erste = ScreenshotAblegen(t, img1, true, FormatPng, m_zeit);
    const Ablage zweite = ScreenshotAblegen(t, img1, true, FormatJpg, m_zeit);
    QVERIFY(erste.Ok && erste.Fehler.isEmpty());
    QVERIFY(zweite.Ok && zweite.Fehler.isEmpty());
    QCOMPARE(erste.Datei, ordner + QStringLiteral("/20240131-142530-001.png"));
    QCOMPARE(zweite.Datei, ordner + QStringLiteral("/20240131-142530-002.jpg"));
    QCOMPARE(QDir(ordner).entryList(QDir::Files), QStringList({QStringLiteral("20240131-142530-001.png"),
                                                               QStringLiteral("20240131-142530-002.jpg")}));
    QVERIFY(QFile(zweite.Datei).open(QIODevice::ReadOnly));
    QCOMPARE(Cfg.ScreenshotNr, 2);
}

void TstScreenshotOrdner::ordnerFehler_data()
{
    QTest::addColumn<QString>("einstellung");
    QTest::addColumn<QString>("ordner");
    QTest::newRow("under a regular file") << "TMP/datei/Screenshots"
                                          << "TMP/datei/Screenshots";
    QTest::newRow("a regular file") << "TMP\\datei"
                                    << "TMP/datei";
    QTest::newRow("empty setting") << ""
                                   << "";
}

// A folder that cannot be created stops both the screenshot and opening the folder, each with
// its own text; nothing is written and the number stays.
void TstScreenshotOrdner::ordnerFehler()
{
    QFETCH(QString, einstellung);
    QFETCH(QString, ordner);
    const QString tmp = m_dir->path();
    schreiben(m_dir->filePath(QStringLiteral("datei")), "x");
    Cfg.ScreenshotDir = QString(einstellung).replace(QStringLiteral("TMP"), tmp);
    ordner.replace(QStringLiteral("TMP"), tmp);
    Cfg.ScreenshotNr = 4;
    ToolState t;
    t.BereichRect = {0, 0, 10, 10};
    const QImage img1 = musterBild(40, 30);

    const Ablage a = ScreenshotAblegen(t, img1, true, FormatPng, m_zeit);
    QVERIFY(!a.Ok);
    QCOMPARE(a.Fehler,
             QStringLiteral("Verzeichnis für automatische Screenshots konnte nicht erstellt werden:\n") +
                 ordner + Korrigieren);
    QCOMPARE(Cfg.ScreenshotNr, 4);
    QCOMPARE(t.AuswahlBmp.size(), QSize(10, 10));

    const OrdnerPruefung p = ScreenshotOrdnerPruefen();
    QVERIFY(!p.Ok);
    QCOMPARE(p.Ordner, ordner);
    QCOMPARE(p.Fehler,
             QStringLiteral("Screenshot-Ordner konnte nicht erstellt werden:\n") + ordner + Korrigieren);
    QCOMPARE(QDir(tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("datei")});
}

// A file that cannot be written is reported; the next screenshot takes its number.
void TstScreenshotOrdner::schreibFehlerGibtNummerZurueck()
{
    Cfg.ScreenshotDir = m_dir->path();
    Cfg.ScreenshotNr = 6;
    ToolState t;
    const QImage img1 = rauschBild(320, 200);
    const QString name = m_dir->filePath(QStringLiteral("20240131-142530-007.png"));
    {
        Dateigrenze voll(1024);
        const Ablage a = ScreenshotAblegen(t, img1, false, FormatPng, m_zeit);
        QVERIFY(!a.Ok);
        QCOMPARE(a.Fehler, DateiFehlerText(name));
        QCOMPARE(a.Fehler, QStringLiteral("Datei konnte nicht erstellt werden:\n") + name);
    }
    QCOMPARE(Cfg.ScreenshotNr, 6);
    QVERIFY(QDir(m_dir->path()).isEmpty());

    const Ablage b = ScreenshotAblegen(t, img1, false, FormatPng, m_zeit);
    QVERIFY(b.Ok);
    QCOMPARE(b.Datei, name);
    QCOMPARE(Cfg.ScreenshotNr, 7);
}

// When the clock repeats an hour, an earlier screenshot of the same name is kept and the next
// free number is taken.
void TstScreenshotOrdner::vorhandeneDateiBleibt()
{
    Cfg.ScreenshotDir = m_dir->path();
    schreiben(m_dir->filePath(QStringLiteral("20240131-142530-001.png")), "frueher");
    schreiben(m_dir->filePath(QStringLiteral("20240131-142530-002.png")), "frueher");
    ToolState t;
    const Ablage a = ScreenshotAblegen(t, musterBild(4, 4), true, FormatPng, m_zeit);
    QVERIFY(a.Ok);
    QCOMPARE(a.Datei, m_dir->filePath(QStringLiteral("20240131-142530-003.png")));
    QCOMPARE(Cfg.ScreenshotNr, 3);
    QFile f(m_dir->filePath(QStringLiteral("20240131-142530-001.png")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("frueher"));
}

void TstScreenshotOrdner::dokumentFehlerText()
{
    QCOMPARE(DokumentFehlerText(QStringLiteral("https://example.org/hilfe")),
             QStringLiteral(
                 "https://example.org/hilfe kann nicht geöffnet werden. Sie benötigen einen "
                 "Internet-Browser (z.B. Internet Explorer oder Firefox) um dieses Dokument anzusehen."));
}

QTEST_GUILESS_MAIN(TstScreenshotOrdner)
#include "tst_screenshotordner.moc"
