// The tool window's place across real restarts of the program, run once under openbox and once
// without a window manager: the same place at every start; every button kept on a monitor when
// the buttons grow, when the window unfolds low on the screen, and on any of two monitors; and
// the info box at the same place at every showing. A place is the frame's top-left corner.
#include "xsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>

namespace {

struct Monitor
{
    const char *name; // a leading '*' makes it the primary monitor
    QRect flaeche;
};

} // namespace

Q_DECLARE_METATYPE(Monitor)

class TstX11Platz : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void fuenfStartsEinPlatz_data();
    void fuenfStartsEinPlatz();
    void groessereKnoepfeBleibenAufDemMonitor_data();
    void groessereKnoepfeBleibenAufDemMonitor();
    void ausklappenUntenUndZurueck();
    void zweiMonitore_data();
    void zweiMonitore();
    void monitoreAendernSichImLauf_data();
    void monitoreAendernSichImLauf();
    void infoBoxImmerAmSelbenPlatz();

private:
    bool schreiben(const QByteArray &bytes) const;
    QPoint gespeicherterPlatz() const;
    void monitoreSetzen(const QList<Monitor> &monitore);
    // Whether the rectangle lies whole on one of the monitors.
    bool aufEinemMonitor(const QRect &r) const;
    static QString text(const QRect &r);
    // The named corner ("topLeft", "topRight", "bottomRight") of a frame.
    static QPoint ecke(const QString &name, const QRect &r);

    QString m_datei;
    bool m_fensterManager = false;
    QList<Monitor> m_monitore;
};

void TstX11Platz::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    // Only ever in the private folders of xrun.sh.
    QVERIFY(qEnvironmentVariable("XDG_CONFIG_HOME").startsWith(QDir::tempPath()));
    m_datei = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quenderwerk/Skizzomat.conf");
    m_fensterManager = xs::property(0, "_NET_SUPPORTING_WM_CHECK").contains(QStringLiteral("window id"));
    qInfo() << (m_fensterManager ? "under a window manager" : "without a window manager");
    // A picture to freeze.
    QString warum;
    QVERIFY2(xs::showOnRoot(xs::knownPicture(QSize(1920, 1080)), &warum), qPrintable(warum));
}

void TstX11Platz::init()
{
    QFile::remove(m_datei);
    m_monitore = {{"*screen", QRect(0, 0, 1920, 1080)}};
}

void TstX11Platz::cleanup()
{
    for (const Monitor &m : std::as_const(m_monitore))
        if (QByteArray(m.name) != "*screen")
            xs::run(QStringLiteral("xrandr"),
                    {QStringLiteral("--delmonitor"), QString::fromLatin1(m.name).remove(QLatin1Char('*'))});
}

bool TstX11Platz::schreiben(const QByteArray &bytes) const
{
    QDir().mkpath(QFileInfo(m_datei).path());
    QFile f(m_datei);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QPoint TstX11Platz::gespeicherterPlatz() const
{
    // Under a new name each time: QSettings keeps what it read of a file by the file's name.
    static int n = 0;
    const QString kopie = QDir::temp().filePath(QStringLiteral("platz%1.conf").arg(++n));
    QFile::copy(m_datei, kopie);
    const QSettings s(kopie, QSettings::IniFormat);
    return {s.value(QStringLiteral("WinPos-Left"), -99999).toInt(),
            s.value(QStringLiteral("WinPos-Top"), -99999).toInt()};
}

void TstX11Platz::monitoreSetzen(const QList<Monitor> &monitore)
{
    m_monitore = monitore;
    for (const Monitor &m : monitore) {
        const QRect &f = m.flaeche;
        // The first monitor takes the screen's output, the others none.
        const xs::Result r =
            xs::run(QStringLiteral("xrandr"),
                    {QStringLiteral("--setmonitor"), QString::fromLatin1(m.name),
                     QStringLiteral("%1/%2x%3/%4+%5+%6")
                         .arg(f.width())
                         .arg(f.width() * 254 / 960)
                         .arg(f.height())
                         .arg(f.height() * 286 / 1080)
                         .arg(f.x())
                         .arg(f.y()),
                     &m == &monitore.first() ? QStringLiteral("screen") : QStringLiteral("none")});
        QVERIFY2(r.exitCode == 0, m.name);
    }
}

bool TstX11Platz::aufEinemMonitor(const QRect &r) const
{
    return std::any_of(m_monitore.begin(), m_monitore.end(),
                       [&r](const Monitor &m) { return m.flaeche.contains(r); });
}

QPoint TstX11Platz::ecke(const QString &name, const QRect &r)
{
    return name == QLatin1String("topRight")      ? r.topRight()
           : name == QLatin1String("bottomRight") ? r.bottomRight()
                                                  : r.topLeft();
}

QString TstX11Platz::text(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

void TstX11Platz::fuenfStartsEinPlatz_data()
{
    QTest::addColumn<QByteArray>("datei");
    QTest::addColumn<QPoint>("platz"); // the frame's top-left corner; -1 for x: the top-right corner
    QTest::newRow("first start: the top-right corner") << QByteArray() << QPoint(-1, 0);
    QTest::newRow("a stored place") << QByteArray("[General]\nWinPos-Left=300\nWinPos-Top=400\n")
                                    << QPoint(300, 400);
}

// Each start puts the window where the last one left it, and stores the same place again: under
// a window manager the frame's corner was taken for the client's, 20 pixels higher each time.
void TstX11Platz::fuenfStartsEinPlatz()
{
    QFETCH(QByteArray, datei);
    QFETCH(QPoint, platz);
    if (!datei.isEmpty())
        QVERIFY(schreiben(datei));
    const auto amPlatz = [platz](const QRect &rahmen) {
        return platz.x() < 0 ? rahmen.topRight() == QPoint(1919, platz.y()) : rahmen.topLeft() == platz;
    };
    QRect erster;
    for (int start = 1; start <= 5; ++start) {
        QProcess p;
        const unsigned long w = xs::startProgram(p);
        QVERIFY(w);
        QTRY_VERIFY2(
            amPlatz(xs::frameRect(w)),
            qPrintable(QStringLiteral("start %1: frame at %2").arg(start).arg(text(xs::frameRect(w)))));
        // And it stays there once the window manager is done.
        QTest::qWait(200);
        const QRect rahmen = xs::frameRect(w);
        QVERIFY2(amPlatz(rahmen), qPrintable(QStringLiteral("start %1: %2").arg(start).arg(text(rahmen))));
        if (start == 1)
            erster = rahmen;
        QCOMPARE(rahmen, erster);
        QVERIFY(xs::closeProgram(p, w));
        QCOMPARE(gespeicherterPlatz(), erster.topLeft());
    }
}

void TstX11Platz::groessereKnoepfeBleibenAufDemMonitor_data()
{
    QTest::addColumn<QStringList>("tasten");
    QTest::addColumn<QSize>("groesse"); // of the client area
    QTest::newRow("width 60") << QStringList{"alt+b", "ctrl+a", "6", "0", "Return"} << QSize(122, 27);
    // The field offers 24 to 100; confirmed with Enter inside the field, 1000 made the window
    // 20038 pixels high.
    QTest::newRow("height 1000 typed")
        << QStringList{"alt+h", "ctrl+a", "1", "0", "0", "0", "Return"} << QSize(52, 103);
}

// A larger button size from the settings dialog, with the window in the top-right corner: the
// window grows to the left as far as it must, and is in the same place at the next start.
void TstX11Platz::groessereKnoepfeBleibenAufDemMonitor()
{
    QFETCH(QStringList, tasten);
    QFETCH(QSize, groesse);
    QProcess erster;
    const unsigned long werkzeug = xs::startProgram(erster);
    QVERIFY(werkzeug);
    QTRY_COMPARE(xs::frameRect(werkzeug).topRight(), QPoint(1919, 0));

    xs::focus(werkzeug);
    xs::key(QStringLiteral("F1"));
    const unsigned long info = xs::waitForWindowNamed(QStringLiteral("Info"));
    QVERIFY(info);
    // "Einstellungen..." at 509, 448, 105 × 29.
    xs::click(xs::windowInfo(info)->geometry.topLeft() + QPoint(509 + 52, 448 + 14));
    const unsigned long einstellungen = xs::waitForWindowNamed(QStringLiteral("Einstellungen"));
    QVERIFY(einstellungen);
    xs::focus(einstellungen);
    for (const QString &taste : tasten)
        xs::key(taste);
    QTRY_VERIFY(xs::visibleWindowsNamed(QStringLiteral("Einstellungen")).isEmpty());
    QTRY_COMPARE(xs::windowInfo(werkzeug)->geometry.size(), groesse);
    QTRY_VERIFY2(aufEinemMonitor(xs::frameRect(werkzeug)), qPrintable(text(xs::frameRect(werkzeug))));
    QCOMPARE(xs::frameRect(werkzeug).topRight(), QPoint(1919, 0));
    xs::focus(info);
    xs::key(QStringLiteral("Escape"));
    QTRY_VERIFY(xs::visibleWindowsNamed(QStringLiteral("Info")).isEmpty());
    const QRect rahmen = xs::frameRect(werkzeug);
    QVERIFY(xs::closeProgram(erster, werkzeug));
    QCOMPARE(gespeicherterPlatz(), rahmen.topLeft());

    QProcess zweiter;
    const unsigned long wieder = xs::startProgram(zweiter);
    QVERIFY(wieder);
    QTRY_COMPARE(xs::frameRect(wieder), rahmen);
    QVERIFY(xs::closeProgram(zweiter, wieder));
}

// Unfolded at top 900, the window moves up just enough for its last button to stay on the
// screen; "Fertig" puts it back, and the folded place is the one stored.
void TstX11Platz::ausklappenUntenUndZurueck()
{
    QVERIFY(schreiben("[General]\nWinPos-Left=600\nWinPos-Top=900\n"));
    QProcess p;
    const unsigned long w = xs::startProgram(p);
    QVERIFY(w);
    QTRY_COMPARE(xs::frameRect(w).topLeft(), QPoint(600, 900));
    const QRect eingeklappt = xs::frameRect(w);

    xs::click(xs::windowInfo(w)->geometry.center());
    QTRY_COMPARE(xs::windowInfo(w)->geometry.height(), 518);
    QTRY_COMPARE(xs::frameRect(w).bottom(), 1079);
    const QRect ausgeklappt = xs::frameRect(w);
    QVERIFY2(aufEinemMonitor(ausgeklappt), qPrintable(text(ausgeklappt)));
    QCOMPARE(ausgeklappt.left(), 600);

    // "Fertig" is the button at the top of the unfolded window.
    xs::click(xs::windowInfo(w)->geometry.topLeft() + QPoint(26, 13));
    QTRY_COMPARE(xs::windowInfo(w)->geometry.height(), 27);
    QTRY_COMPARE(xs::frameRect(w), eingeklappt);
    QVERIFY(xs::closeProgram(p, w));
    QCOMPARE(gespeicherterPlatz(), QPoint(600, 900));
}

void TstX11Platz::zweiMonitore_data()
{
    QTest::addColumn<QList<Monitor>>("monitore");
    QTest::addColumn<QByteArray>("datei");
    QTest::addColumn<QString>("ecke"); // which corner of the frame is expected where
    QTest::addColumn<QPoint>("platz");
    const Monitor links{"A", QRect(0, 0, 960, 1080)};
    const Monitor rechts{"B", QRect(960, 0, 960, 1080)};
    const Monitor linksPrimaer{"*A", links.flaeche};
    const Monitor rechtsPrimaer{"*B", rechts.flaeche};
    QTest::newRow("a place on the second monitor is kept")
        << QList<Monitor>{linksPrimaer, rechts} << QByteArray("[General]\nWinPos-Left=1500\nWinPos-Top=300\n")
        << "topLeft" << QPoint(1500, 300);
    QTest::newRow("primary on the right: first start in its corner")
        << QList<Monitor>{links, rechtsPrimaer} << QByteArray() << "topRight" << QPoint(1919, 0);
    QTest::newRow("primary on the right: a place on the left one is kept")
        << QList<Monitor>{links, rechtsPrimaer} << QByteArray("[General]\nWinPos-Left=100\nWinPos-Top=500\n")
        << "topLeft" << QPoint(100, 500);
    QTest::newRow("primary on the right: far off comes back on the nearest")
        << QList<Monitor>{links, rechtsPrimaer}
        << QByteArray("[General]\nWinPos-Left=5000\nWinPos-Top=5000\n") << "bottomRight"
        << QPoint(1919, 1079);
    QTest::newRow("across the seam: onto the monitor with more of it")
        << QList<Monitor>{linksPrimaer, rechts} << QByteArray("[General]\nWinPos-Left=940\nWinPos-Top=300\n")
        << "topLeft" << QPoint(960, 300);
    QTest::newRow("left of every monitor")
        << QList<Monitor>{linksPrimaer, rechts} << QByteArray("[General]\nWinPos-Left=-30\nWinPos-Top=200\n")
        << "topLeft" << QPoint(0, 200);
}

// Two monitors made with xrandr --setmonitor: a place on either is kept, and one on none is
// pulled onto the nearest; the next start finds the window at the same place.
void TstX11Platz::zweiMonitore()
{
    QFETCH(QList<Monitor>, monitore);
    QFETCH(QByteArray, datei);
    QFETCH(QString, ecke);
    QFETCH(QPoint, platz);
    monitoreSetzen(monitore);
    if (!datei.isEmpty())
        QVERIFY(schreiben(datei));
    const auto punkt = [&ecke](const QRect &r) { return TstX11Platz::ecke(ecke, r); };
    QRect rahmen;
    for (int start = 1; start <= 2; ++start) {
        QProcess p;
        const unsigned long w = xs::startProgram(p);
        QVERIFY(w);
        QTRY_COMPARE(punkt(xs::frameRect(w)), platz);
        QVERIFY2(aufEinemMonitor(xs::frameRect(w)), qPrintable(text(xs::frameRect(w))));
        if (start == 1)
            rahmen = xs::frameRect(w);
        QCOMPARE(xs::frameRect(w), rahmen);
        QVERIFY(xs::closeProgram(p, w));
        QCOMPARE(gespeicherterPlatz(), rahmen.topLeft());
    }
}

void TstX11Platz::monitoreAendernSichImLauf_data()
{
    QTest::addColumn<QList<Monitor>>("vorher"); // empty: the screen's own single monitor
    QTest::addColumn<QByteArray>("datei");
    QTest::addColumn<QList<Monitor>>("nachher");
    QTest::addColumn<QString>("ecke");
    QTest::addColumn<QPoint>("platz");
    const Monitor linksPrimaer{"*A", QRect(0, 0, 960, 1080)};
    const Monitor rechts{"B", QRect(960, 0, 960, 1080)};
    QTest::newRow("its monitor unplugged: onto the one left")
        << QList<Monitor>{linksPrimaer, rechts} << QByteArray("[General]\nWinPos-Left=1500\nWinPos-Top=300\n")
        << QList<Monitor>{linksPrimaer} << "topRight" << QPoint(959, 300);
    QTest::newRow("one monitor split in two under it: onto the one with more of it")
        << QList<Monitor>{} << QByteArray("[General]\nWinPos-Left=940\nWinPos-Top=300\n")
        << QList<Monitor>{linksPrimaer, rechts} << "topLeft" << QPoint(960, 300);
    // Made in two steps: at first only the left one, which takes the window, then the right
    // one where the window had been.
    QTest::newRow("split in two steps: back to its place on the second")
        << QList<Monitor>{} << QByteArray("[General]\nWinPos-Left=1800\nWinPos-Top=0\n")
        << QList<Monitor>{linksPrimaer, {"B", QRect(960, 0, 960, 540)}} << "topLeft" << QPoint(1800, 0);
}

// A monitor unplugged or the layout changed while the program runs: the tool window does not
// stay where no monitor shows it, or across two of them.
void TstX11Platz::monitoreAendernSichImLauf()
{
    QFETCH(QList<Monitor>, vorher);
    QFETCH(QByteArray, datei);
    QFETCH(QList<Monitor>, nachher);
    QFETCH(QString, ecke);
    QFETCH(QPoint, platz);
    if (!vorher.isEmpty())
        monitoreSetzen(vorher);
    QVERIFY(schreiben(datei));
    QProcess p;
    const unsigned long w = xs::startProgram(p);
    QVERIFY(w);
    QTRY_VERIFY2(aufEinemMonitor(xs::frameRect(w)), qPrintable(text(xs::frameRect(w))));

    const auto unter = [](const QList<Monitor> &liste, const Monitor &m) {
        return std::any_of(liste.begin(), liste.end(),
                           [&m](const Monitor &n) { return qstrcmp(n.name, m.name) == 0; });
    };
    for (const Monitor &m : std::as_const(vorher))
        if (!unter(nachher, m))
            QCOMPARE(xs::run(QStringLiteral("xrandr"), {QStringLiteral("--delmonitor"),
                                                        QString::fromLatin1(m.name).remove(QLatin1Char('*'))})
                         .exitCode,
                     0);
    QList<Monitor> neue;
    for (const Monitor &m : std::as_const(nachher))
        if (!unter(vorher, m))
            neue.append(m);
    monitoreSetzen(neue);
    m_monitore = nachher;
    QTRY_COMPARE(TstX11Platz::ecke(ecke, xs::frameRect(w)), platz);
    QVERIFY2(aufEinemMonitor(xs::frameRect(w)), qPrintable(text(xs::frameRect(w))));
    QVERIFY(xs::closeProgram(p, w));
}

// Shown three times, the info box has its frame centred on the screen each time; under a window
// manager it went 20 pixels down from its second or third showing.
void TstX11Platz::infoBoxImmerAmSelbenPlatz()
{
    QProcess p;
    const unsigned long werkzeug = xs::startProgram(p);
    QVERIFY(werkzeug);
    QRect erster;
    for (int mal = 1; mal <= 3; ++mal) {
        xs::focus(werkzeug);
        xs::key(QStringLiteral("F1"));
        const unsigned long info = xs::waitForWindowNamed(QStringLiteral("Info"));
        QVERIFY(info);
        QTRY_COMPARE(xs::frameRect(info).center(), QRect(0, 0, 1920, 1080).center());
        QTest::qWait(200);
        const QRect rahmen = xs::frameRect(info);
        if (mal == 1)
            erster = rahmen;
        QCOMPARE(rahmen, erster);
        if (m_fensterManager)
            QVERIFY(rahmen != xs::windowInfo(info)->geometry);
        xs::focus(info);
        xs::key(QStringLiteral("Escape"));
        QTRY_VERIFY(xs::visibleWindowsNamed(QStringLiteral("Info")).isEmpty());
    }
    QVERIFY(xs::closeProgram(p, werkzeug));
}

XS_TEST_MAIN(TstX11Platz)
#include "tst_x11_platz.moc"
