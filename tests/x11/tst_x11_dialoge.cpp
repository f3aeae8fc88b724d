// The info box and the settings dialog of the real program on an X server, driven with real
// keys and clicks: F1 opens the info box from the tool window and from the frozen picture, its
// settings button opens the settings, and a button width typed there resizes the tool window
// at once and is back at the next start. When a dialog closes, the keyboard is back where it
// was, with and without a window manager (the openbox run takes only that case).
#include "xsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryFile>

class TstX11Dialoge : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void widthTypedInSettingsResizesAndComesBack();
    void f1OnTheFrozenPicture();
    void dialogsInPixelsAtDesktopDpi();
    void keysGoBackWhereTheyWere_data();
    void keysGoBackWhereTheyWere();

private:
    // A new run's info box and then its settings dialog, each as the screen shows it once its
    // picture holds still; empty when a window does not come.
    QList<QImage> dialogBilder();
    // Waits until the X server gives the keyboard to `fenster`; the window that has it if it
    // does not come.
    static unsigned long warteAufFokus(unsigned long fenster);
    // Freezes with Enter in the tool window; the picture's window, or 0 when none comes.
    static unsigned long einfrieren(const QProcess &p, unsigned long werkzeug);

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

void TstX11Dialoge::widthTypedInSettingsResizesAndComesBack()
{
    QProcess erster;
    const unsigned long werkzeug = xs::startProgram(erster);
    QVERIFY(werkzeug);
    QCOMPARE(xs::windowInfo(werkzeug)->geometry, QRect(1920 - 52, 0, 52, 27));

    xs::focus(werkzeug);
    xs::key(QStringLiteral("F1"));
    const unsigned long info = xs::waitForWindowNamed(QStringLiteral("Info"));
    QVERIFY(info);
    const QRect infoPlatz = xs::windowInfo(info)->geometry;
    QCOMPARE(infoPlatz.size(), QSize(624, 565));
    // Centred on the screen.
    QCOMPARE(infoPlatz.center(), QRect(0, 0, 1920, 1080).center());

    // "Einstellungen..." at 509, 448, 105 × 29.
    xs::click(infoPlatz.topLeft() + QPoint(509 + 52, 448 + 14));
    const unsigned long einstellungen = xs::waitForWindowNamed(QStringLiteral("Einstellungen"));
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
    const unsigned long bild = einfrieren(p, werkzeug);
    QVERIFY(bild);
    xs::focus(bild);
    xs::key(QStringLiteral("F1"));
    const unsigned long info = xs::waitForWindowNamed(QStringLiteral("Info"));
    QVERIFY(info);
    // The box is above the frozen picture: where it stands, the screen no longer shows it.
    const QRect infoPlatz = xs::windowInfo(info)->geometry;
    QTRY_VERIFY(xs::sameShare(xs::readScreen(), m_bekannt, infoPlatz) < 0.05);
    xs::focus(info);
    xs::key(QStringLiteral("Escape"));
    QTRY_VERIFY(xs::visibleWindowsNamed(QStringLiteral("Info")).isEmpty());
    QVERIFY(xs::closeProgram(p, werkzeug));
}

QList<QImage> TstX11Dialoge::dialogBilder()
{
    const auto ruhig = [](const QRect &platz) {
        QImage vorher = xs::readScreen().copy(platz);
        for (int i = 0; i < 50; ++i) {
            QTest::qWait(100);
            QImage jetzt = xs::readScreen().copy(platz);
            if (jetzt == vorher)
                return jetzt;
            vorher = jetzt;
        }
        return QImage();
    };
    QFile::remove(m_datei);
    QProcess p;
    const unsigned long werkzeug = xs::startProgram(p);
    if (!werkzeug)
        return {};
    QList<QImage> bilder;
    xs::focus(werkzeug);
    xs::key(QStringLiteral("F1"));
    if (const unsigned long info = xs::waitForWindowNamed(QStringLiteral("Info"))) {
        const QRect infoPlatz = xs::windowInfo(info)->geometry;
        bilder << ruhig(infoPlatz);
        xs::click(infoPlatz.topLeft() + QPoint(509 + 52, 448 + 14));
        if (const unsigned long einstellungen = xs::waitForWindowNamed(QStringLiteral("Einstellungen"))) {
            // The pointer away from the dialog's buttons.
            xs::run(QStringLiteral("xdotool"), {"mousemove", "0", "0"});
            bilder << ruhig(xs::windowInfo(einstellungen)->geometry);
        }
    }
    p.kill();
    p.waitForFinished();
    return bilder;
}

// With the desktop's font DPI at 192 (GNOME or KDE on X11 at 200 %), the program's own dialogs
// look exactly as at 96 dpi: marks, frames and fonts in the pixels they were laid out in.
void TstX11Dialoge::dialogsInPixelsAtDesktopDpi()
{
    const QList<QImage> bei96 = dialogBilder();
    QCOMPARE(bei96.size(), 2);
    QVERIFY(!bei96.at(0).isNull() && !bei96.at(1).isNull());

    QTemporaryFile ressourcen;
    QVERIFY(ressourcen.open());
    ressourcen.write("Xft.dpi: 192\n");
    ressourcen.close();
    QCOMPARE(xs::run(QStringLiteral("xrdb"), {"-merge", ressourcen.fileName()}).exitCode, 0);
    const auto zurueck = qScopeGuard([] { xs::run(QStringLiteral("xrdb"), {"-remove"}); });
    QVERIFY(xs::run(QStringLiteral("xrdb"), {"-query"}).out.contains("Xft.dpi:\t192"));

    const QList<QImage> bei192 = dialogBilder();
    QCOMPARE(bei192.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QString diff = xs::difference(bei192.at(i), bei96.at(i));
        QVERIFY2(diff.isEmpty(),
                 qPrintable((i ? QStringLiteral("settings: ") : QStringLiteral("info: ")) + diff));
    }
}

unsigned long TstX11Dialoge::einfrieren(const QProcess &p, unsigned long werkzeug)
{
    xs::focus(werkzeug);
    xs::key(QStringLiteral("Return"));
    QElapsedTimer t;
    t.start();
    do {
        for (unsigned long w : xs::visibleWindowsOf(p.processId()))
            if (xs::windowInfo(w)->geometry == QRect(0, 0, 1920, 1080)) {
                // The freeze ends with the keyboard back in the tool window; a focus the test
                // sets before that would be taken away again (seen on a busy machine).
                warteAufFokus(werkzeug);
                return w;
            }
        QTest::qWait(50);
    } while (t.elapsed() < 10000);
    return 0;
}

unsigned long TstX11Dialoge::warteAufFokus(unsigned long fenster)
{
    unsigned long fokus = 0;
    QElapsedTimer t;
    t.start();
    do {
        fokus = xs::run(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus"), QStringLiteral("-f")})
                    .out.trimmed()
                    .toULong();
        if (fokus == fenster)
            break;
        QTest::qWait(50);
    } while (t.elapsed() < 5000);
    return fokus;
}

void TstX11Dialoge::keysGoBackWhereTheyWere_data()
{
    QTest::addColumn<bool>("vomBild");
    QTest::addColumn<QString>("taste");
    QTest::addColumn<QString>("titel");
    QTest::addColumn<bool>("einstellungen"); // the settings opened from the box and closed first

    QTest::newRow("F2 in the tool window") << false << "F2"
                                           << "Auswahlbereich" << false;
    QTest::newRow("F1 in the tool window") << false << "F1"
                                           << "Info" << false;
    QTest::newRow("settings over the info box") << false << "F1"
                                                << "Info" << true;
    QTest::newRow("print dialog") << false << "ctrl+p"
                                  << "Bildschirminhalt drucken" << false;
    QTest::newRow("F2 on the picture") << true << "F2"
                                       << "Auswahlbereich" << false;
    QTest::newRow("F1 on the picture") << true << "F1"
                                       << "Info" << false;
}

void TstX11Dialoge::keysGoBackWhereTheyWere()
{
    QFETCH(bool, vomBild);
    QFETCH(QString, taste);
    QFETCH(QString, titel);
    QFETCH(bool, einstellungen);
    const bool fensterverwaltung =
        xs::property(0, "_NET_SUPPORTING_WM_CHECK").contains(QLatin1String("window"));

    QFile::remove(m_datei);
    QProcess p;
    const unsigned long werkzeug = xs::startProgram(p);
    QVERIFY(werkzeug);
    const unsigned long bild = einfrieren(p, werkzeug);
    QVERIFY(bild);
    // Fixed-size dialogs: the window manager offers no maximising. Openbox offers minimising
    // to every window; a minimised dialog comes back at once, with the keyboard.
    const auto festesFenster = [&](unsigned long dialog) {
        if (!fensterverwaltung)
            return;
        const QString aktionen = xs::property(dialog, "_NET_WM_ALLOWED_ACTIONS");
        QVERIFY2(aktionen.contains(QLatin1String("_NET_WM_ACTION_CLOSE")) &&
                     !aktionen.contains(QLatin1String("MAXIMIZE")),
                 qPrintable(aktionen));
        xs::run(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), QString::number(dialog)});
        QTRY_VERIFY(xs::windowInfo(dialog)->viewable && xs::windowInfo(bild)->viewable);
    };
    const unsigned long vorher = vomBild ? bild : werkzeug;
    xs::focus(vorher);
    QCOMPARE(warteAufFokus(vorher), vorher);

    xs::key(taste);
    const unsigned long dialog = xs::waitForWindowNamed(titel);
    QVERIFY(dialog);
    QCOMPARE(warteAufFokus(dialog), dialog);
    festesFenster(dialog);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(warteAufFokus(dialog), dialog);
    if (einstellungen) {
        xs::click(xs::windowInfo(dialog)->geometry.topLeft() + QPoint(509 + 52, 448 + 14));
        const unsigned long oben = xs::waitForWindowNamed(QStringLiteral("Einstellungen"));
        QVERIFY(oben);
        QCOMPARE(warteAufFokus(oben), oben);
        festesFenster(oben);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(warteAufFokus(oben), oben);
        xs::key(QStringLiteral("Escape"));
        QTRY_VERIFY(xs::visibleWindowsNamed(QStringLiteral("Einstellungen")).isEmpty());
        // Back to the box, which Escape then closes.
        QCOMPARE(warteAufFokus(dialog), dialog);
    }
    xs::key(QStringLiteral("Escape"));
    QTRY_VERIFY(xs::visibleWindowsNamed(titel).isEmpty());

    // No click: the next key goes where the keys went before. Escape in the tool window
    // releases the screen; on the picture it does not, but F9 does.
    QCOMPARE(warteAufFokus(vorher), vorher);
    xs::key(vomBild ? QStringLiteral("F9") : QStringLiteral("Escape"));
    QTRY_VERIFY([&] {
        const std::optional<xs::WindowInfo> i = xs::windowInfo(bild);
        return !i || !i->viewable;
    }());
    QVERIFY(xs::closeProgram(p, werkzeug));
}

XS_TEST_MAIN(TstX11Dialoge)
#include "tst_x11_dialoge.moc"
