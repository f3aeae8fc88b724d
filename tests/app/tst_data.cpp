#include "app/data.h"
#include "app/noMultiInst.h"
#include "surface/sicherung.h"
#include "toolwindow/einfrieren.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

class TstData : public QObject
{
    Q_OBJECT

private slots:
    void initialState();
    void tables();
    void colourConversion_data();
    void colourConversion();
    void monitorChoice_data();
    void monitorChoice();
    void freezeRenewsPicturesKeepsChoices();
    void lockRefusesSecondHolderAndFreesOnExit();
    void lockPlaces_data();
    void lockPlaces();
};

void TstData::initialState()
{
    const ToolState t;
    QVERIFY(t.Start);
    QCOMPARE(t.Sdicke, 0);
    QCOMPARE(t.Smode, pmBlack);
    QCOMPARE(t.Scol, TColor(0));
    QCOMPARE(t.LupeFak, 2);
    QCOMPARE(t.ZoomFak, 2.0f);
    QCOMPARE(t.ZoomfakNr, 2);
    QCOMPARE(t.Modus, 1);
    QCOMPARE(t.VorZoomModus, 1);
    QCOMPARE(t.WinZustand, 0);
    QVERIFY(t.BereichRect == KeinBereich);
    QVERIFY(t.OrigScrBmp.isNull() && sicherungsBild(t).isNull() && t.EmailDateiList.isEmpty());

    const SurfaceState s;
    QCOMPARE(s.Sx, -1);
    QCOMPARE(s.Ly, -1);
    QCOMPARE(s.Ax, 0);
    QCOMPARE(s.MausShift, TShiftState(0));
    QVERIFY(!s.UmschaltFGedrueckt);

    const Settings c;
    QCOMPARE(c.MauszeigerMode, 1);
    QCOMPARE(c.MonitorMode, 0);
    QCOMPARE(c.StiftdickeMode, 3);
    QCOMPARE(c.FarbMode, 1);
    QVERIFY(!c.AutoOpen && !c.AutoClose && c.MausradZoom && !c.AutoScreenshot);
    QCOMPARE(c.WerkzeugGroesseX, 25);
    QCOMPARE(c.WerkzeugGroesseY, 24);
    QCOMPARE(c.BlattLinienFrei, 25);
    QCOMPARE(c.BlattKariertFrei, 50);
    QCOMPARE(c.BlattNotenlinienFrei, 8);
    QCOMPARE(c.ScreenshotDir, QStringLiteral("%docdir%/Skizzomat/Screenshots"));
    QCOMPARE(c.EmailDir, QStringLiteral("%docdir%/Skizzomat/Email"));
}

void TstData::tables()
{
    QCOMPARE(DickenTabelle[1], 3);
    QCOMPARE(DickenTabelle[2], 7);
    QCOMPARE(DickenTabelle[3], 13);
    QCOMPARE(DickenTabelle[4], 21);
    const float zoom[] = {1, 2, 3, 4, 5, 6, 8, 10};
    for (int i = 1; i <= 8; ++i)
        QCOMPARE(ZoomTabelle[i], zoom[i - 1]);

    for (int code = 1; code <= 15; ++code)
        QCOMPARE(toolModeInfo(code)->Code, code);
    QVERIFY(!toolModeInfo(0) && !toolModeInfo(16));
    QCOMPARE(QString::fromUtf8(toolModeInfo(11)->Caption), QStringLiteral("Gefülltes Rechteck"));
    QCOMPARE(QString::fromUtf8(toolModeInfo(15)->Button), QStringLiteral("ZoomInBtn"));

    // Transparent codes mask, opaque codes copy; unused codes have no entry.
    for (int code : {1, 2, 3, 4})
        QCOMPARE(colourCodeInfo(code)->Smode, pmMask);
    for (int code : {11, 12, 13, 14, 15, 16})
        QCOMPARE(colourCodeInfo(code)->Smode, pmCopy);
    for (int code : {0, 5, 10, 17})
        QVERIFY(!colourCodeInfo(code));
    QCOMPARE(colourCodeInfo(2)->Scol, TColor(0x00FFFF));
    QCOMPARE(colourCodeInfo(14)->Scol, TColor(0xFF0000));
    QCOMPARE(QString::fromUtf8(colourCodeInfo(15)->Caption), QStringLiteral("Deckendes weiß"));
}

void TstData::colourConversion_data()
{
    QTest::addColumn<uint>("stored");
    QTest::addColumn<QColor>("shown");
    QTest::newRow("red") << 0x0000FFu << QColor(255, 0, 0);
    QTest::newRow("yellow") << 0x00FFFFu << QColor(255, 255, 0);
    QTest::newRow("blue") << 0xFF0000u << QColor(0, 0, 255);
    QTest::newRow("mixed") << 0x123456u << QColor(0x56, 0x34, 0x12);
}

void TstData::colourConversion()
{
    QFETCH(uint, stored);
    QFETCH(QColor, shown);
    QCOMPARE(toQRgb(stored), shown.rgb());
    QCOMPARE(fromQRgb(shown.rgb()), TColor(stored));
}

void TstData::monitorChoice_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("own");
    QTest::addColumn<int>("expected");
    QTest::newRow("0 follows the tool window") << 0 << 2 << 1 << 1;
    QTest::newRow("1 takes the first") << 1 << 2 << 1 << 0;
    QTest::newRow("2 takes the second") << 2 << 3 << 0 << 1;
    QTest::newRow("2 on one monitor as 0") << 2 << 1 << 0 << 0;
    QTest::newRow("unknown as 0") << 7 << 2 << 1 << 1;
}

void TstData::monitorChoice()
{
    QFETCH(int, mode);
    QFETCH(int, count);
    QFETCH(int, own);
    QFETCH(int, expected);
    QCOMPARE(monitorWahl(mode, count, own), expected);
}

void TstData::freezeRenewsPicturesKeepsChoices()
{
    ToolState t;
    SurfaceState s;
    t.Modus = 4;
    t.BereichRect = {10, 20, 30, 40};
    t.Scol = Palette::Gelb;
    t.Smode = pmMask;
    s.Sx = 5, s.Sy = 6, s.Lx = 7, s.Ly = 8;
    s.Img1Bmp = QImage(4, 3, QImage::Format_RGB32);
    s.Img1Bmp.fill(Qt::red); // an earlier drawing

    QImage captured(40, 30, QImage::Format_ARGB32);
    captured.fill(qRgb(1, 2, 3));
    bildUebernehmen(t, s, captured);

    QCOMPARE(t.OrigScrBmp.format(), QImage::Format_RGB32);
    QCOMPARE(t.OrigScrBmp.size(), QSize(40, 30));
    QImage sicherung = sicherungsBild(t);
    for (const QImage *img : {&sicherung, &t.BackupOrigScrBmp, &t.OrigScrStartBmp, &s.Img1Bmp})
        QCOMPARE(*img, t.OrigScrBmp);
    QCOMPARE(t.OrigScrBmp.pixel(0, 0), qRgb(1, 2, 3));
    QCOMPARE(s.Sx, -1);
    QCOMPARE(s.Ly, -1);
    QCOMPARE(s.BakSx, -1);
    QCOMPARE(s.BakLy, -1);
    QCOMPARE(t.BakModus, 4);
    QVERIFY(t.BakBereichRect == (TRect{10, 20, 30, 40}));
    QCOMPARE(t.Modus, 4);
    QVERIFY(t.BereichRect == (TRect{10, 20, 30, 40}));
    QCOMPARE(t.Scol, Palette::Gelb);

    // Drawing on the picture must not reach the background.
    s.Img1Bmp.setPixel(0, 0, qRgb(9, 9, 9));
    QCOMPARE(t.OrigScrBmp.pixel(0, 0), qRgb(1, 2, 3));
}

void TstData::lockRefusesSecondHolderAndFreesOnExit()
{
    QTemporaryDir dir;
    const QList<NoMultiInst::Ort> ort{{dir.path(), QStringLiteral("NoMultiMutex.lock")}};
    {
        NoMultiInst first;
        QCOMPARE(first.sperren(ort), NoMultiInst::Erhalten);
        NoMultiInst second;
        QCOMPARE(second.sperren(ort), NoMultiInst::LaeuftBereits);

        // A child process must not inherit the lock: after exec it would keep it alive.
        const pid_t pid = fork();
        if (pid == 0) {
            execlp("sh", "sh", "-c", "ls -l /proc/$$/fd | grep -q NoMultiMutex && exit 1; exit 0", nullptr);
            _exit(2);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }
    NoMultiInst again;
    QCOMPARE(again.sperren(ort), NoMultiInst::Erhalten);
}

// Two places: a plain folder "a", then a private folder "b" the lock creates itself. What is
// planted at a place decides whether the lock may be held there.
void TstData::lockPlaces_data()
{
    QTest::addColumn<QString>("atA");
    QTest::addColumn<QString>("atB");
    QTest::addColumn<int>("expected"); // index of the place that holds the lock, or:
    const int none = -1;
    const int runsAlready = -2;
    const auto row = [](const char *name, const char *atA, const char *atB, int expected) {
        QTest::newRow(name) << QString::fromLatin1(atA) << QString::fromLatin1(atB) << expected;
    };

    row("first place usable", "", "", 0);
    row("first folder missing", "no folder", "", 1);
    row("symlink at the first", "symlink", "", 1);
    row("file of another user at the first", "foreign file", "", 1);
    row("hard link to a file of ours at the first", "hard link", "", 1);
    row("fifo at the first", "fifo", "", 1);
    row("private folder writable by others", "symlink", "open folder", none);
    row("private folder of another user", "symlink", "foreign folder", none);
    row("private folder is a symlink to one of ours", "symlink", "symlink", none);
    row("private folder is a file", "symlink", "file", none);
    // The first place appeared after a running instance had taken the second one.
    row("held at a later place", "", "held", runsAlready);
}

void TstData::lockPlaces()
{
    QFETCH(QString, atA);
    QFETCH(QString, atB);
    QFETCH(int, expected);
    if ((atA.startsWith(QLatin1String("foreign")) || atB.startsWith(QLatin1String("foreign"))) &&
        geteuid() != 0)
        QSKIP("planting something of another user needs root");

    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a"));
    const QString b = dir.filePath(QStringLiteral("b"));
    const QString name = QStringLiteral("NoMultiMutex.lock");
    const QList<NoMultiInst::Ort> orte{{a, name}, {b, name, true}};
    const QString lockA = a + QLatin1Char('/') + name;
    const QString target = dir.filePath(QStringLiteral("target"));
    const QByteArray ours = QFile::encodeName(dir.filePath(QStringLiteral("ours")));
    QVERIFY(QFile(QString::fromLocal8Bit(ours)).open(QIODevice::WriteOnly));

    if (atA != QLatin1String("no folder"))
        QVERIFY(QDir().mkdir(a));
    if (atA == QLatin1String("symlink")) {
        QVERIFY(QFile::link(target, lockA));
    } else if (atA == QLatin1String("foreign file")) {
        // Open to everyone: only its owner tells it apart.
        QVERIFY(QFile(lockA).open(QIODevice::WriteOnly));
        QVERIFY(chmod(QFile::encodeName(lockA).constData(), 0666) == 0);
        QVERIFY(chown(QFile::encodeName(lockA).constData(), 65534, 65534) == 0);
    } else if (atA == QLatin1String("hard link")) {
        QVERIFY(link(ours.constData(), QFile::encodeName(lockA).constData()) == 0);
    } else if (atA == QLatin1String("fifo")) {
        QVERIFY(mkfifo(QFile::encodeName(lockA).constData(), 0600) == 0);
    }
    const QByteArray bPath = QFile::encodeName(b);
    if (atB == QLatin1String("open folder")) {
        QVERIFY(mkdir(bPath.constData(), 0700) == 0 && chmod(bPath.constData(), 0777) == 0);
    } else if (atB == QLatin1String("foreign folder")) {
        QVERIFY(mkdir(bPath.constData(), 0700) == 0 && chown(bPath.constData(), 65534, 65534) == 0);
    } else if (atB == QLatin1String("symlink")) {
        QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("elsewhere"))));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("elsewhere")), b));
    } else if (atB == QLatin1String("file")) {
        QVERIFY(QFile(b).open(QIODevice::WriteOnly));
    }
    NoMultiInst running;
    if (atB == QLatin1String("held"))
        QCOMPARE(running.sperren({orte.at(1)}), NoMultiInst::Erhalten);

    NoMultiInst first;
    QCOMPARE(first.sperren(orte), expected == -2   ? NoMultiInst::LaeuftBereits
                                  : expected == -1 ? NoMultiInst::Fehlgeschlagen
                                                   : NoMultiInst::Erhalten);
    if (expected >= 0) {
        // The lock lies at the expected place, and a second start finds it there.
        NoMultiInst there;
        QCOMPARE(there.sperren({orte.at(expected)}), NoMultiInst::LaeuftBereits);
        NoMultiInst second;
        QCOMPARE(second.sperren(orte), NoMultiInst::LaeuftBereits);
    }
    // A later place is not created while an earlier one holds the lock.
    if (expected == 0)
        QVERIFY(!QFileInfo::exists(b));
    if (expected == 1) {
        struct stat st;
        QCOMPARE(lstat(bPath.constData(), &st), 0);
        QVERIFY(S_ISDIR(st.st_mode));
        QCOMPARE(st.st_mode & 07777, mode_t(0700));
    }
    // Nothing was created through a planted name.
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(QDir(dir.filePath(QStringLiteral("elsewhere"))).isEmpty());
}

QTEST_GUILESS_MAIN(TstData)
#include "tst_data.moc"
