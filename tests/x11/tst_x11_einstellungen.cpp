// The settings file across runs of the real program on an X server: created at the first
// regular end, hand-edited values used at the next start, broken ones replaced by defaults,
// and a store that cannot be written reported at the end without keeping the program alive.
#include "xsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>

#include <csignal>

class TstX11Einstellungen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void firstEndCreatesAllValuesAndChoicesComeBack();
    void handEditedSizeAndPlaceAreUsed();
    void stopSignalKeepsTheChoices_data();
    void stopSignalKeepsTheChoices();
    void brokenValuesStartWithDefaults();
    void unwritableStoreReportedAtTheEnd();

private:
    QMap<QString, QString> gespeichert() const;
    bool schreiben(const QByteArray &bytes) const;

    QString m_datei;
};

void TstX11Einstellungen::initTestCase()
{
    // Only ever in the private folders of xrun.sh.
    QVERIFY(qEnvironmentVariable("XDG_CONFIG_HOME").startsWith(QDir::tempPath()));
    m_datei = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quenderwerk/Skizzomat.conf");
}

void TstX11Einstellungen::init()
{
    QDir(m_datei).removeRecursively();
    QFile::remove(m_datei);
}

QMap<QString, QString> TstX11Einstellungen::gespeichert() const
{
    // Under a new name each time: QSettings keeps what it read of a file by the file's name.
    static int n = 0;
    const QString kopie = QDir::temp().filePath(QStringLiteral("gelesen%1.conf").arg(++n));
    QFile::copy(m_datei, kopie);
    QMap<QString, QString> werte;
    const QSettings s(kopie, QSettings::IniFormat);
    for (const QString &k : s.allKeys())
        werte.insert(k, s.value(k).toString());
    return werte;
}

bool TstX11Einstellungen::schreiben(const QByteArray &bytes) const
{
    QDir().mkpath(QFileInfo(m_datei).path());
    QFile f(m_datei);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void TstX11Einstellungen::firstEndCreatesAllValuesAndChoicesComeBack()
{
    QProcess erster;
    const unsigned long w1 = xs::startProgram(erster);
    QVERIFY(w1);
    QCOMPARE(xs::windowInfo(w1)->geometry, QRect(1920 - 52, 0, 52, 27));
    QVERIFY(!QFile::exists(m_datei));
    QVERIFY(xs::closeProgram(erster, w1));
    QMap<QString, QString> werte = gespeichert();
    QCOMPARE(werte.size(), 28);
    QCOMPARE(werte.value("GlobaleTaste"), QStringLiteral("Ctrl+Shift+F9"));
    QCOMPARE(werte.value("WerkzeugMode"), QStringLiteral("1"));
    QCOMPARE(werte.value("MausradZoom"), QStringLiteral("true"));
    QCOMPARE(werte.value("WinPos-Left"), QString::number(1920 - 52));

    // Rectangle, transparent green and the thinnest line, chosen by their shortcuts.
    QProcess zweiter;
    const unsigned long w2 = xs::startProgram(zweiter);
    QVERIFY(w2);
    xs::focus(w2);
    for (const char *taste : {"alt+r", "alt+3", "ctrl+1"})
        xs::key(QString::fromLatin1(taste));
    QTest::qWait(200);
    QVERIFY(xs::closeProgram(zweiter, w2));
    werte = gespeichert();
    QCOMPARE(werte.value("WerkzeugMode"), QStringLiteral("4"));
    QCOMPARE(werte.value("FarbMode"), QStringLiteral("3"));
    QCOMPARE(werte.value("StiftdickeMode"), QStringLiteral("1"));

    // A value deleted in between comes back with its default; the choices stay.
    {
        QSettings s(m_datei, QSettings::IniFormat);
        s.remove(QStringLiteral("Drucken-Hoehe"));
    }
    QProcess dritter;
    const unsigned long w3 = xs::startProgram(dritter);
    QVERIFY(w3);
    QVERIFY(xs::closeProgram(dritter, w3));
    werte = gespeichert();
    QCOMPARE(werte.size(), 28);
    QCOMPARE(werte.value("Drucken-Hoehe"), QStringLiteral("17"));
    QCOMPARE(werte.value("WerkzeugMode"), QStringLiteral("4"));
    QCOMPARE(werte.value("FarbMode"), QStringLiteral("3"));
    QCOMPARE(werte.value("StiftdickeMode"), QStringLiteral("1"));
}

void TstX11Einstellungen::stopSignalKeepsTheChoices_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("eingefroren");
    QTest::newRow("SIGTERM, frozen") << int(SIGTERM) << true;
    QTest::newRow("SIGHUP") << int(SIGHUP) << false;
    QTest::newRow("SIGINT") << int(SIGINT) << false;
}

// A program that lives all day in the background is seldom closed: the logout or the service
// manager stops it. The choices made during the day must not go with it.
void TstX11Einstellungen::stopSignalKeepsTheChoices()
{
    QFETCH(int, signal);
    QFETCH(bool, eingefroren);
    QProcess p;
    const unsigned long w = xs::startProgram(p);
    QVERIFY(w);
    xs::focus(w);
    for (const char *taste : {"alt+e", "alt+2", "ctrl+4"})
        xs::key(QString::fromLatin1(taste));
    if (eingefroren) {
        xs::key(QStringLiteral("F9"));
        QTRY_VERIFY(xs::windowInfo(w)->geometry.height() > 27);
    }
    QTest::qWait(200);
    ::kill(pid_t(p.processId()), signal);
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    const QMap<QString, QString> werte = gespeichert();
    QCOMPARE(werte.size(), 28);
    QCOMPARE(werte.value("WerkzeugMode"), QStringLiteral("10"));
    QCOMPARE(werte.value("FarbMode"), QStringLiteral("2"));
    QCOMPARE(werte.value("StiftdickeMode"), QStringLiteral("4"));
}

void TstX11Einstellungen::handEditedSizeAndPlaceAreUsed()
{
    // A place partly left of the only monitor is pulled onto it, with the stored size.
    QVERIFY(schreiben(
        "[General]\nWerkzeugGroesseX=40\nWerkzeugGroesseY = 30\nWinPos-Left=-30\nWinPos-Top=200\n"));
    QProcess p;
    const unsigned long w = xs::startProgram(p);
    QVERIFY(w);
    QTRY_COMPARE(xs::windowInfo(w)->geometry, QRect(0, 200, 82, 33));
    QVERIFY(xs::closeProgram(p, w));
    const QMap<QString, QString> werte = gespeichert();
    QCOMPARE(werte.value("WinPos-Left"), QStringLiteral("0"));
    QCOMPARE(werte.value("WinPos-Top"), QStringLiteral("200"));
    QCOMPARE(werte.value("WerkzeugGroesseX"), QStringLiteral("40"));
}

void TstX11Einstellungen::brokenValuesStartWithDefaults()
{
    QVERIFY(
        schreiben("[General]\nWerkzeugGroesseX=abc\nWerkzeugGroesseY=-5\nWinPos-Left=1e99\nWinPos-Top=\n"
                  "FarbMode=99999999999\nStiftdickeMode=2.5\nAutoOpen=vielleicht\n\x01\x02\xff\xfe=\"\n"));
    QProcess p;
    const unsigned long w = xs::startProgram(p);
    QVERIFY(w);
    QCOMPARE(xs::windowInfo(w)->geometry, QRect(1920 - 52, 0, 52, 27));
    QVERIFY(xs::closeProgram(p, w));
    const QMap<QString, QString> werte = gespeichert();
    QCOMPARE(werte.value("WerkzeugGroesseX"), QStringLiteral("25"));
    QCOMPARE(werte.value("WerkzeugGroesseY"), QStringLiteral("24"));
    QCOMPARE(werte.value("FarbMode"), QStringLiteral("1"));
    QCOMPARE(werte.value("StiftdickeMode"), QStringLiteral("3"));
    QCOMPARE(werte.value("AutoOpen"), QStringLiteral("false"));
    QCOMPARE(werte.value("WinPos-Left"), QString::number(1920 - 52));
    QCOMPARE(werte.value("WinPos-Top"), QStringLiteral("0"));
}

void TstX11Einstellungen::unwritableStoreReportedAtTheEnd()
{
    QVERIFY(QDir().mkpath(m_datei));
    QProcess p;
    const unsigned long w = xs::startProgram(p);
    QVERIFY(w);
    // The box is the program's one window besides the tool window.
    QList<unsigned long> fenster;
    QVERIFY(xs::closeWindow(w));
    QTRY_VERIFY_WITH_TIMEOUT((fenster = xs::visibleWindowsOf(p.processId())).size() == 2, 10000);
    fenster.removeAll(w);
    QCOMPARE(fenster.size(), 1);
    QVERIFY2(xs::property(fenster.first(), "WM_NAME").startsWith(QStringLiteral("\"Fehler")),
             qPrintable(xs::property(fenster.first(), "WM_NAME")));
    xs::focus(fenster.first());
    xs::key(QStringLiteral("Return"));
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(QFileInfo(m_datei).isDir());
}

XS_TEST_MAIN(TstX11Einstellungen)
#include "tst_x11_einstellungen.moc"
