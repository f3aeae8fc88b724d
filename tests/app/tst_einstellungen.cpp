// The settings store on files: broken and hand-edited files read with defaults where a value
// cannot be used, the written file, its replacement as a whole, and a store that cannot be
// written.
#include "app/einstellungen.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

struct Gelesen
{
    Settings cfg;
    std::int32_t modus = 1;
    DruckWerte druck;
    QPoint pos{1000, 0};
};

// Every value that is read, as "Name=value" lines, for comparing whole states.
QMap<QString, QString> alsListe(const Gelesen &g)
{
    const auto b = [](bool v) { return v ? QStringLiteral("true") : QStringLiteral("false"); };
    const auto n = [](auto v) { return QString::number(v); };
    return {
        {"MauszeigerMode", n(g.cfg.MauszeigerMode)},
        {"AutoOpen", b(g.cfg.AutoOpen)},
        {"AutoClose", b(g.cfg.AutoClose)},
        {"MausradZoom", b(g.cfg.MausradZoom)},
        {"BlattLinienFrei", n(g.cfg.BlattLinienFrei)},
        {"BlattKariertFrei", n(g.cfg.BlattKariertFrei)},
        {"BlattNotenlinienFrei", n(g.cfg.BlattNotenlinienFrei)},
        {"AutoScreenshot", b(g.cfg.AutoScreenshot)},
        {"ScreenshotDir", g.cfg.ScreenshotDir},
        {"EmailDir", g.cfg.EmailDir},
        {"MonitorMode", n(g.cfg.MonitorMode)},
        {"StiftdickeMode", n(g.cfg.StiftdickeMode)},
        {"FarbMode", n(g.cfg.FarbMode)},
        {"WerkzeugMode", n(g.modus)},
        {"WerkzeugGroesseX", n(g.cfg.WerkzeugGroesseX)},
        {"WerkzeugGroesseY", n(g.cfg.WerkzeugGroesseY)},
        {"Drucken-LiRand", n(g.druck.LiRand)},
        {"Drucken-ObRand", n(g.druck.ObRand)},
        {"Drucken-Breite", n(g.druck.Breite)},
        {"Drucken-Hoehe", n(g.druck.Hoehe)},
        {"Drucken-SeitRatio", b(g.druck.SeitRatio)},
        {"WinPos-Left", n(g.pos.x())},
        {"WinPos-Top", n(g.pos.y())},
        {"GlobaleTaste", g.cfg.GlobaleTaste},
    };
}

Gelesen lesen(const QString &datei)
{
    Gelesen g;
    EinstellungenLaden(datei, g.cfg, g.modus, g.druck, g.pos);
    return g;
}

bool schreiben(const QString &pfad, const QByteArray &bytes)
{
    QFile f(pfad);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray zufallsBytes(quint32 seed, int n)
{
    QRandomGenerator g(seed);
    QByteArray b(n, Qt::Uninitialized);
    for (char &c : b)
        c = char(g.bounded(256));
    return b;
}

} // namespace

class TstEinstellungen : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readsWhatCanBeUsed_data();
    void readsWhatCanBeUsed();
    void unreadableFileKeepsDefaults();
    void writesAllValuesReadably();
    void roundTripThroughTheFile();
    void handEditedFoldersRoundTrip_data();
    void handEditedFoldersRoundTrip();
    void replacesTheFileAsAWhole();
    void brokenFileIsRewritten();
    void unwritableStoreIsReported_data();
    void unwritableStoreIsReported();
    void noFileNoStore();

private:
    QTemporaryDir m_dir;
    int m_n = 0;
    QString neueDatei() { return m_dir.filePath(QStringLiteral("s%1.conf").arg(++m_n)); }
};

void TstEinstellungen::init()
{
    QVERIFY(m_dir.isValid());
}

void TstEinstellungen::readsWhatCanBeUsed_data()
{
    QTest::addColumn<QByteArray>("datei");
    // The values that differ from the defaults afterwards, as "Name=value" lines.
    QTest::addColumn<QStringList>("geaendert");

    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("random bytes") << zufallsBytes(1, 64 * 1024) << QStringList();
    QTest::newRow("one enormous line") << QByteArray(8 * 1024 * 1024, 'A') << QStringList();
    QTest::newRow("hand-edited")
        << QByteArray("[General]\r\nWerkzeugGroesseX = 40 \r\nWerkzeugGroesseY=30\r\nStiftdickeMode=1\r\n"
                      "FarbMode=13\r\nWerkzeugMode=4\r\nWinPos-Left=100\r\nWinPos-Top=200\r\n")
        << QStringList{"WerkzeugGroesseX=40", "WerkzeugGroesseY=30", "StiftdickeMode=1", "FarbMode=13",
                       "WerkzeugMode=4",      "WinPos-Left=100",     "WinPos-Top=200"};
    QTest::newRow("text, empty, exponent, fraction, 33 bits")
        << QByteArray("WerkzeugGroesseX=abc\nWerkzeugGroesseY=\nStiftdickeMode=1e99\nFarbMode=2.0\n"
                      "MonitorMode=4294967296\nMauszeigerMode=0x2\nBlattLinienFrei=--1\n")
        << QStringList();
    QTest::newRow("whole numbers as stored")
        << QByteArray("MonitorMode=-7\nBlattKariertFrei=+2147483647\nBlattLinienFrei=-2147483648\n"
                      "StiftdickeMode=4\nWerkzeugMode=15\nFarbMode=0\n")
        << QStringList{"MonitorMode=-7",
                       "BlattKariertFrei=2147483647",
                       "BlattLinienFrei=-2147483648",
                       "StiftdickeMode=4",
                       "WerkzeugMode=15",
                       "FarbMode=0"};
    // A thickness, colour or tool the program does not know would start with none chosen and
    // draw thin black lines.
    QTest::newRow("modes out of range")
        << QByteArray("StiftdickeMode=9\nFarbMode=99\nWerkzeugMode=42\n") << QStringList();
    QTest::newRow("modes just outside")
        << QByteArray("StiftdickeMode=0\nFarbMode=6\nWerkzeugMode=16\n") << QStringList();
    QTest::newRow("modes below") << QByteArray("StiftdickeMode=-1\nFarbMode=-1\nWerkzeugMode=0\n")
                                 << QStringList();
    QTest::newRow("colours between the groups") << QByteArray("FarbMode=10\n") << QStringList();
    QTest::newRow("colours past the groups") << QByteArray("FarbMode=17\n") << QStringList();
    QTest::newRow("modes at their ends") << QByteArray("StiftdickeMode=1\nFarbMode=16\nWerkzeugMode=14\n")
                                         << QStringList{"StiftdickeMode=1", "FarbMode=16", "WerkzeugMode=14"};
    QTest::newRow("old code of transparent blue") << QByteArray("FarbMode=5\n") << QStringList{"FarbMode=5"};
    QTest::newRow("button sizes beyond the dialog's range, not beyond use")
        << QByteArray("WerkzeugGroesseX=1000\nWerkzeugGroesseY=1\n")
        << QStringList{"WerkzeugGroesseX=1000", "WerkzeugGroesseY=1"};
    QTest::newRow("button sizes that cannot work")
        << QByteArray("WerkzeugGroesseX=0\nWerkzeugGroesseY=1001\n") << QStringList();
    QTest::newRow("negative button size") << QByteArray("WerkzeugGroesseX=-25\n") << QStringList();
    QTest::newRow("booleans")
        << QByteArray(
               "AutoOpen=1\nAutoClose=TRUE\nMausradZoom=0\nAutoScreenshot=yes\nDrucken-SeitRatio=false\n")
        << QStringList{"AutoOpen=true", "AutoClose=true", "MausradZoom=false", "Drucken-SeitRatio=false"};
    QTest::newRow("decimals")
        << QByteArray("Drucken-LiRand=3.5\nDrucken-ObRand=abc\nDrucken-Breite=nan\nDrucken-Hoehe=-2\n")
        << QStringList{"Drucken-LiRand=3.5", "Drucken-Hoehe=-2"};
    QTest::newRow("decimals that cannot be printed")
        << QByteArray("Drucken-LiRand=1e99\nDrucken-ObRand=inf\nDrucken-Breite=2,5\nDrucken-Hoehe=\n")
        << QStringList();
    QTest::newRow("positions") << QByteArray("WinPos-Left=-300\nWinPos-Top=40000\n")
                               << QStringList{"WinPos-Left=-300"};
    QTest::newRow("texts") << QByteArray("ScreenshotDir=\"  /tmp/a b; c \"\nEmailDir=a, b\n")
                           << QStringList{"ScreenshotDir=  /tmp/a b; c ", "EmailDir=a, b"};
    QTest::newRow("empty folder is a folder setting")
        << QByteArray("EmailDir=\n") << QStringList{"EmailDir="};
    // Empty switches the global key off; that must not read as "missing" and bring back the default.
    QTest::newRow("global key switched off") << QByteArray("GlobaleTaste=\n") << QStringList{"GlobaleTaste="};
    QTest::newRow("serialised junk")
        << QByteArray(
               "MauszeigerMode=@Variant(\\0\\0\\0\\x7f\\xff\\xff\\xff\\xff)\nMonitorMode=@Rect(1 2 3 4)\n"
               "ScreenshotDir=@ByteArray(x)\n")
        << QStringList{"ScreenshotDir=@ByteArray(x)"};
    QTest::newRow("other sections") << QByteArray("[Fremd]\nFarbMode=2\n[General]\nFremd/StiftdickeMode=2\n")
                                    << QStringList();
}

void TstEinstellungen::readsWhatCanBeUsed()
{
    QFETCH(QByteArray, datei);
    QFETCH(QStringList, geaendert);
    const QString pfad = neueDatei();
    QVERIFY(schreiben(pfad, datei));

    QMap<QString, QString> erwartet = alsListe(Gelesen{});
    for (const QString &z : geaendert)
        erwartet.insert(z.section(QLatin1Char('='), 0, 0), z.section(QLatin1Char('='), 1));
    QCOMPARE(alsListe(lesen(pfad)), erwartet);
}

void TstEinstellungen::unreadableFileKeepsDefaults()
{
    // A folder where the file should be cannot be read (as the owner or as root alike).
    const QString pfad = neueDatei();
    QVERIFY(QDir().mkpath(pfad));
    QCOMPARE(alsListe(lesen(pfad)), alsListe(Gelesen{}));
}

void TstEinstellungen::writesAllValuesReadably()
{
    const QString pfad = neueDatei();
    // A value the program does not know stays; the missing ones are created.
    QVERIFY(schreiben(pfad, "[General]\nFremd=1\nFarbMode=2\n"));
    Settings cfg;
    cfg.AutoOpen = true;
    ToolState t;
    t.Modus = 4;
    DruckWerte druck;
    druck.Breite = 12.5;
    QVERIFY(EinstellungenSpeichern(pfad, cfg, t, druck, QPoint(-20, 30)));

    QSettings s(pfad, QSettings::IniFormat);
    QStringList namen;
    for (const char *n : EinstellungsNamen)
        namen << QString::fromLatin1(n);
    QCOMPARE(QSet<QString>(namen.begin(), namen.end()).size(), 28);
    QStringList erwartet = namen << QStringLiteral("Fremd");
    erwartet.sort();
    QCOMPARE(s.allKeys(), erwartet);

    QFile f(pfad);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    for (const char *zeile :
         {"AutoOpen=true\n", "AutoClose=false\n", "WerkzeugMode=4\n", "FarbMode=1\n", "Drucken-Breite=12.5\n",
          "Drucken-LiRand=2.5\n", "Drucken-SeitRatio=true\n", "WinPos-Left=-20\n", "BereichRect-Left=-1\n",
          "ScreenshotDir=%docdir%/Skizzomat/Screenshots\n"})
        QVERIFY2(text.contains(zeile), zeile);
}

void TstEinstellungen::roundTripThroughTheFile()
{
    const QString pfad = neueDatei();
    Gelesen g;
    g.cfg.MauszeigerMode = 2;
    g.cfg.MonitorMode = 2;
    g.cfg.StiftdickeMode = 4;
    g.cfg.FarbMode = 0;
    g.cfg.AutoClose = g.cfg.AutoScreenshot = true;
    g.cfg.MausradZoom = false;
    g.cfg.WerkzeugGroesseX = 100;
    g.cfg.WerkzeugGroesseY = 60;
    g.cfg.BlattNotenlinienFrei = -3;
    g.cfg.ScreenshotDir = QStringLiteral("@Grüße, \"dort\"; =\\x ");
    g.cfg.EmailDir = QString();
    g.modus = 13;
    g.druck = {0.1, 29.7, 0.3, 1e5, false};
    g.pos = {-1900, 1050};
    ToolState t;
    t.Modus = g.modus;
    QVERIFY(EinstellungenSpeichern(pfad, g.cfg, t, g.druck, g.pos));

    // Under a new name the file is parsed afresh, as by the next run.
    const QString kopie = neueDatei();
    QVERIFY(QFile::copy(pfad, kopie));
    QCOMPARE(alsListe(lesen(kopie)), alsListe(g));
}

// Folders typed into the file by hand, in the forms of the settings dialog's examples: they
// read as written, the lines after them are read too, and the file written from them reads
// back the same.
void TstEinstellungen::handEditedFoldersRoundTrip_data()
{
    QTest::addColumn<QByteArray>("datei");
    QTest::addColumn<QString>("screenshotDir");
    QTest::addColumn<QString>("emailDir");

    QTest::newRow("backslashes") << QByteArray("[General]\nScreenshotDir=%docdir%\\Skizzomat\\Bilder\n"
                                               "EmailDir=%exedir%\\Mail\nFarbMode=13\n")
                                 << "%docdir%\\Skizzomat\\Bilder"
                                 << "%exedir%\\Mail";
    QTest::newRow("quoted, ending in a backslash")
        << QByteArray("[General]\nScreenshotDir=\"C:\\Bilder\\\"\nEmailDir=D:\\Mail\\\nFarbMode=13\n")
        << "C:\\Bilder\\"
        << "D:\\Mail\\";
    QTest::newRow("ending in a backslash and a quotation mark")
        << QByteArray("[General]\nScreenshotDir=C:\\Bilder\\\"\nEmailDir=x\\\"\\\"\nFarbMode=13\n")
        << "C:\\Bilder\\\""
        << "x\\\"\\\"";
    QTest::newRow("network path, escapes of other formats")
        << QByteArray(
               "FarbMode=13\r\nScreenshotDir=\\\\server\\bilder\\n\\x41\r\nEmailDir=%docdir%\\t\\0\r\n")
        << "\\\\server\\bilder\\n\\x41"
        << "%docdir%\\t\\0";
    QTest::newRow("blanks and quotation marks kept")
        << QByteArray("[General]\nScreenshotDir=\" ~/Bilder \"\nEmailDir='\"a\"'\nFarbMode=13\n")
        << " ~/Bilder "
        << "\"a\"";
}

void TstEinstellungen::handEditedFoldersRoundTrip()
{
    QFETCH(QByteArray, datei);
    QFETCH(QString, screenshotDir);
    QFETCH(QString, emailDir);
    const QString pfad = neueDatei();
    QVERIFY(schreiben(pfad, datei));
    const Gelesen g = lesen(pfad);
    QCOMPARE(g.cfg.ScreenshotDir, screenshotDir);
    QCOMPARE(g.cfg.EmailDir, emailDir);
    QCOMPARE(g.cfg.FarbMode, 13); // the line after them counts

    ToolState t;
    t.Modus = g.modus;
    QVERIFY(EinstellungenSpeichern(pfad, g.cfg, t, g.druck, g.pos));
    QCOMPARE(alsListe(lesen(pfad)), alsListe(g));
    // Written as a person would write it: one line, the backslashes as they are.
    QFile f(pfad);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    if (!screenshotDir.startsWith(QLatin1Char(' ')))
        QVERIFY2(text.contains("\nScreenshotDir=" + screenshotDir.toUtf8() + '\n'), text.constData());
}

void TstEinstellungen::replacesTheFileAsAWhole()
{
    const QString pfad = neueDatei();
    const QByteArray alt("[General]\nFarbMode=2\n");
    QVERIFY(schreiben(pfad, alt));
    // A second name of the old file keeps the old contents when the file is replaced by
    // renaming a new one over it, and would see a half-written file if it were rewritten.
    const QString zweiterName = pfad + QStringLiteral(".link");
    QCOMPARE(::link(QFile::encodeName(pfad).constData(), QFile::encodeName(zweiterName).constData()), 0);
    QVERIFY(EinstellungenSpeichern(pfad, Settings{}, ToolState{}, DruckWerte{}, QPoint()));
    QFile f(zweiterName);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), alt);
    QCOMPARE(lesen(pfad).cfg.FarbMode, 1);
}

void TstEinstellungen::brokenFileIsRewritten()
{
    // A header without its bracket is a format error when the file is read before writing;
    // the writing itself works and must not be reported as failed.
    const QString pfad = neueDatei();
    QVERIFY(schreiben(pfad, "[General\nFarbMode=2\n\xff\xfe\x00\n"));
    Settings cfg;
    cfg.StiftdickeMode = 2;
    QVERIFY(EinstellungenSpeichern(pfad, cfg, ToolState{}, DruckWerte{}, QPoint()));
    const QString kopie = neueDatei();
    QVERIFY(QFile::copy(pfad, kopie));
    QCOMPARE(lesen(kopie).cfg.StiftdickeMode, 2);
}

void TstEinstellungen::unwritableStoreIsReported_data()
{
    QTest::addColumn<QString>("art");
    QTest::newRow("folder in place of the file") << QStringLiteral("ordner");
    QTest::newRow("file in place of the folder") << QStringLiteral("datei");
}

void TstEinstellungen::unwritableStoreIsReported()
{
    QFETCH(QString, art);
    const QString basis = neueDatei();
    QString pfad;
    if (art == QLatin1String("ordner")) {
        pfad = basis;
        QVERIFY(QDir().mkpath(pfad));
    } else {
        QVERIFY(schreiben(basis, "x"));
        pfad = basis + QStringLiteral("/Skizzomat.conf");
    }
    QVERIFY(!EinstellungenSpeichern(pfad, Settings{}, ToolState{}, DruckWerte{}, QPoint()));
}

void TstEinstellungen::noFileNoStore()
{
    Gelesen g;
    g.cfg.FarbMode = 7;
    EinstellungenLaden(QString(), g.cfg, g.modus, g.druck, g.pos);
    QCOMPARE(g.cfg.FarbMode, 7);
    QVERIFY(EinstellungenSpeichern(QString(), g.cfg, ToolState{}, g.druck, g.pos));
}

QTEST_GUILESS_MAIN(TstEinstellungen)
#include "tst_einstellungen.moc"
