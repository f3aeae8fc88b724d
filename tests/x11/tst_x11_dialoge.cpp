// The info box and the settings dialog of the real program on an X server, driven with real
// keys and clicks: F1 opens the info box from the tool window and from the frozen picture, its
// settings button opens the settings, and a button width typed there resizes the tool window
// at once and is back at the next start.
#include "xsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>

class TstX11Dialoge : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void widthTypedInSettingsResizesAndComesBack();
    void f1OnTheFrozenPicture();

private:
    // The one mapped window of that title, or 0 when none comes within the time.
    static unsigned long warteAufFenster(const QString &titel);

    QString m_datei;
    QImage m_bekannt;
};

void TstX11Dialoge::initTestCase()
{
    // Only ever in the private folders of xrun.sh.
    QVERIFY(qEnvironmentVariable("XDG_CONFIG_HOME").startsWith(QDir::tempPath()));
    m_datei = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quenderwerk/Skizzomat.conf");
    QFile::remove(m_datei);
    m_bekannt = xs::knownPicture(QSize(1920, 1080));
    QString warum;
    QVERIFY2(xs::showOnRoot(m_bekannt, &warum), qPrintable(warum));
}

unsigned long TstX11Dialoge::warteAufFenster(const QString &titel)
{
    QList<unsigned long> fenster;
    QElapsedTimer t;
    t.start();
    while ((fenster = xs::visibleWindowsNamed(titel)).size() != 1 && t.elapsed() < 10000)
        QTest::qWait(50);
    return fenster.size() == 1 ? fenster.first() : 0;
}

void TstX11Dialoge::widthTypedInSettingsResizesAndComesBack()
{
    QProcess erster;
    const unsigned long werkzeug = xs::startProgram(erster);
    QVERIFY(werkzeug);
    QCOMPARE(xs::windowInfo(werkzeug)->geometry, QRect(1920 - 52, 0, 52, 27));

    xs::focus(werkzeug);
    xs::key(QStringLiteral("F1"));
    const unsigned long info = warteAufFenster(QStringLiteral("Info"));
    QVERIFY(info);
    const QRect infoPlatz = xs::windowInfo(info)->geometry;
    QCOMPARE(infoPlatz.size(), QSize(624, 565));
    // Centred on the screen.
    QCOMPARE(infoPlatz.center(), QRect(0, 0, 1920, 1080).center());

    // "Einstellungen..." at 509, 448, 105 × 29.
    xs::click(infoPlatz.topLeft() + QPoint(509 + 52, 448 + 14));
    const unsigned long einstellungen = warteAufFenster(QStringLiteral("Einstellungen"));
    QVERIFY(einstellungen);
    QCOMPARE(xs::windowInfo(einstellungen)->geometry.size(), QSize(908, 433));
    // Alt+B goes to the width field; Enter there is OK.
    xs::focus(einstellungen);
    for (const char *taste : {"alt+b", "ctrl+a", "4", "0", "Return"})
        xs::key(QString::fromLatin1(taste));
    QTRY_VERIFY(xs::visibleWindowsNamed(QStringLiteral("Einstellungen")).isEmpty());
    // At once, not at the next start; still collapsed, and whole on the screen.
    QTRY_COMPARE(xs::windowInfo(werkzeug)->geometry, QRect(1920 - 82, 0, 82, 27));
    // The info box is still open behind; Escape closes it.
    QVERIFY(xs::windowInfo(info)->viewable);
    xs::focus(info);
    xs::key(QStringLiteral("Escape"));
    QTRY_VERIFY(xs::visibleWindowsNamed(QStringLiteral("Info")).isEmpty());
    QVERIFY(xs::closeProgram(erster, werkzeug));
    QCOMPARE(QSettings(m_datei, QSettings::IniFormat).value("WerkzeugGroesseX").toString(),
             QStringLiteral("40"));

    QProcess zweiter;
    const unsigned long wieder = xs::startProgram(zweiter);
    QVERIFY(wieder);
    QTRY_COMPARE(xs::windowInfo(wieder)->geometry, QRect(1920 - 82, 0, 82, 27));
    QVERIFY(xs::closeProgram(zweiter, wieder));
}

void TstX11Dialoge::f1OnTheFrozenPicture()
{
    QFile::remove(m_datei);
    QProcess p;
    const unsigned long werkzeug = xs::startProgram(p);
    QVERIFY(werkzeug);
    xs::focus(werkzeug);
    xs::key(QStringLiteral("Return"));
    unsigned long bild = 0;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            for (unsigned long w : xs::visibleWindowsOf(p.processId()))
                if (xs::windowInfo(w)->geometry == QRect(0, 0, 1920, 1080))
                    bild = w;
            return bild != 0;
        }(),
        10000);
    xs::focus(bild);
    xs::key(QStringLiteral("F1"));
    const unsigned long info = warteAufFenster(QStringLiteral("Info"));
    QVERIFY(info);
    // The box is above the frozen picture: where it stands, the screen no longer shows it.
    const QRect infoPlatz = xs::windowInfo(info)->geometry;
    QTRY_VERIFY(xs::sameShare(xs::readScreen(), m_bekannt, infoPlatz) < 0.05);
    xs::focus(info);
    xs::key(QStringLiteral("Escape"));
    QTRY_VERIFY(xs::visibleWindowsNamed(QStringLiteral("Info")).isEmpty());
    QVERIFY(xs::closeProgram(p, werkzeug));
}

XS_TEST_MAIN(TstX11Dialoge)
#include "tst_x11_dialoge.moc"
