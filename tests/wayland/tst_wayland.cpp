// The program on a real Wayland compositor (run through waylandrun.sh): started as a session
// starts programs, driven with real keys through XWayland, the output read back with grim.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <optional>

namespace {

struct Lauf
{
    int code = -1;
    QByteArray aus;
};

Lauf ausfuehren(const QString &programm, const QStringList &argumente, const QString &display = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    p.setProcessEnvironment(env);
    p.start(programm, argumente);
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput()};
}

template <typename F> bool warte(F bedingung, int ms = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!bedingung()) {
        if (t.elapsed() > ms)
            return false;
        QTest::qWait(50);
    }
    return true;
}

QString tmp()
{
    return QDir(qEnvironmentVariable("TMPDIR")).absolutePath();
}

QImage ausgabeLesen()
{
    const QString datei = tmp() + QStringLiteral("/grim.png");
    QFile::remove(datei);
    if (ausfuehren(QStringLiteral("grim"), {datei}).code != 0)
        return {};
    return QImage(datei).convertToFormat(QImage::Format_RGB32);
}

// Pixels that differ outside `ausser`.
qsizetype abweichend(const QImage &a, const QImage &b, const QRect &ausser = {})
{
    if (a.size() != b.size())
        return a.width() * a.height() + 1;
    qsizetype n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (!ausser.contains(x, y) && a.pixel(x, y) != b.pixel(x, y))
                ++n;
    return n;
}

// A picture no window looks like: gradients with a grid of lines.
QImage bekanntesBild()
{
    QImage bild(1280, 720, QImage::Format_RGB32);
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            bild.setPixel(x, y, qRgb(x * 255 / 1279, y * 255 / 719, (x ^ y) & 0xFF));
    QPainter p(&bild);
    p.setPen(Qt::white);
    for (int x = 0; x < bild.width(); x += 97)
        p.drawLine(x, 0, x, bild.height());
    return bild;
}

struct Fenster
{
    unsigned long id = 0;
    QRect rect;
};

} // namespace

class TstWayland : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void freezeShowsTheOutputUnderTheToolWindow();
    void withoutPortalStartShowsTheReasonAndFreezesNothing();
    void cleanup();

private:
    // Starts the program through the compositor, as a session starts it; false if its tool
    // window does not come.
    bool starten(bool ohnePortal);
    QList<Fenster> sichtbar(const QString &titel) const;
    std::optional<Fenster> werkzeugfenster() const;
    bool taste(const QString &keysym, unsigned long fenster);

    QImage m_hintergrund;
    QString m_display;
    qint64 m_pid = 0;
};

void TstWayland::initTestCase()
{
    QVERIFY2(!qEnvironmentVariableIsEmpty("SWAYSOCK"), "run this test through waylandrun.sh");
    m_hintergrund = bekanntesBild();
    const QString datei = tmp() + QStringLiteral("/hintergrund.png");
    QVERIFY(m_hintergrund.save(datei));
    QCOMPARE(ausfuehren(QStringLiteral("swaymsg"),
                        {QStringLiteral("output"), QStringLiteral("HEADLESS-1"), QStringLiteral("bg"), datei,
                         QStringLiteral("fill")})
                 .code,
             0);
    QVERIFY2(warte([&] { return abweichend(ausgabeLesen(), m_hintergrund) == 0; }),
             "the output does not show the known background");
}

bool TstWayland::starten(bool ohnePortal)
{
    const QString programm = QStringLiteral(SKIZZOMAT_BINARY);
    const QString launcher = tmp() + QStringLiteral("/launcher.sh");
    QFile::remove(tmp() + QStringLiteral("/display"));
    QFile f(launcher);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    // What the compositor hands its programs is what the program sees; a ';' would end
    // sway's command, so the command line lives here.
    QByteArray skript = "#!/bin/sh\n";
    if (ohnePortal)
        skript += "export DBUS_SESSION_BUS_ADDRESS='" + qgetenv("SKIZZOMAT_NO_PORTAL_BUS") + "'\n";
    skript += "echo \"$$ $DISPLAY\" > '" + QFile::encodeName(tmp()) + "/display.neu'\n";
    skript += "mv '" + QFile::encodeName(tmp()) + "/display.neu' '" + QFile::encodeName(tmp()) + "/display'\n";
    skript += "exec '" + QFile::encodeName(programm) + "' >'" + QFile::encodeName(tmp()) + "/programm.log' 2>&1\n";
    f.write(skript);
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (ausfuehren(QStringLiteral("swaymsg"), {QStringLiteral("exec"), launcher}).code != 0)
        return false;
    QFile d(tmp() + QStringLiteral("/display"));
    if (!warte([&] { return d.exists(); }))
        return false;
    d.open(QIODevice::ReadOnly);
    const QList<QByteArray> teile = d.readAll().trimmed().split(' ');
    if (teile.size() != 2)
        return false;
    m_pid = teile[0].toLongLong();
    m_display = QString::fromLocal8Bit(teile[1]);
    return warte([&] { return werkzeugfenster().has_value(); });
}

QList<Fenster> TstWayland::sichtbar(const QString &titel) const
{
    QList<Fenster> liste;
    const Lauf ids = ausfuehren(QStringLiteral("xdotool"),
                                {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                 QLatin1Char('^') + titel + QLatin1Char('$')},
                                m_display);
    for (const QByteArray &id : ids.aus.split('\n')) {
        if (id.trimmed().isEmpty())
            continue;
        // The client's absolute place, as the X server has it.
        const Lauf info =
            ausfuehren(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::fromLatin1(id)}, m_display);
        auto wert = [&](const char *name) {
            const QRegularExpression re(QString::fromLatin1(name) + QStringLiteral(":\\s+(-?\\d+)"));
            return re.match(QString::fromLocal8Bit(info.aus)).captured(1).toInt();
        };
        liste.append({id.trimmed().toULong(),
                      QRect(wert("Absolute upper-left X"), wert("Absolute upper-left Y"), wert("Width"),
                            wert("Height"))});
    }
    return liste;
}

std::optional<Fenster> TstWayland::werkzeugfenster() const
{
    // Of our two windows named alike, the narrow one.
    for (const Fenster &f : sichtbar(QStringLiteral("Skizzomat")))
        if (f.rect.width() < 200)
            return f;
    return std::nullopt;
}

bool TstWayland::taste(const QString &keysym, unsigned long fenster)
{
    // The compositor gives the focus and takes back any an X client sets itself: the key
    // waits until the window has it.
    const bool fokus = warte([&] {
        return ausfuehren(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")}, m_display).aus.trimmed() ==
               QByteArray::number(qulonglong(fenster));
    });
    return fokus && ausfuehren(QStringLiteral("xdotool"), {QStringLiteral("key"), keysym}, m_display).code == 0;
}

void TstWayland::cleanup()
{
    if (m_pid > 0) {
        ::kill(pid_t(m_pid), SIGTERM);
        warte([&] { return ::kill(pid_t(m_pid), 0) != 0; }, 5000);
    }
    m_pid = 0;
    warte([&] { return abweichend(ausgabeLesen(), m_hintergrund) == 0; }, 5000);
}

void TstWayland::freezeShowsTheOutputUnderTheToolWindow()
{
    QVERIFY(starten(false));
    const std::optional<Fenster> einklappt = werkzeugfenster();
    QVERIFY(taste(QStringLiteral("F9"), einklappt->id));

    std::optional<Fenster> werkzeug;
    QList<Fenster> flaeche;
    const bool eingefroren = warte([&] {
        werkzeug = werkzeugfenster();
        flaeche.clear();
        for (const Fenster &f : sichtbar(QStringLiteral("Skizzomat")))
            if (f.rect.width() >= 200)
                flaeche.append(f);
        return werkzeug && werkzeug->rect.height() == 518 && flaeche.size() == 1;
    });
    QVERIFY2(eingefroren, "F9 did not freeze the output");
    // The surface covers the output exactly; the tool window keeps its size in the top-right
    // corner above it.
    QCOMPARE(flaeche.first().rect, QRect(0, 0, 1280, 720));
    QCOMPARE(werkzeug->rect, QRect(1280 - 52, 0, 52, 518));
    qsizetype rest = 0;
    QVERIFY2(warte([&] { return (rest = abweichend(ausgabeLesen(), m_hintergrund, werkzeug->rect)) == 0; }),
             qPrintable(QStringLiteral("%1 pixels outside the tool window differ from the output").arg(rest)));

    // The surface has the keyboard and shares the tool window's keys: F9 releases it.
    QVERIFY(taste(QStringLiteral("F9"), flaeche.first().id));
    QVERIFY2(warte([&] {
                 const std::optional<Fenster> w = werkzeugfenster();
                 return w && w->rect.height() < 518 && sichtbar(QStringLiteral("Skizzomat")).size() == 1;
             }),
             "F9 on the surface did not release it");
}

void TstWayland::withoutPortalStartShowsTheReasonAndFreezesNothing()
{
    QVERIFY(starten(true));
    const std::optional<Fenster> werkzeug = werkzeugfenster();
    QVERIFY(taste(QStringLiteral("F9"), werkzeug->id));
    QVERIFY2(warte([&] { return !sichtbar(QStringLiteral("Fehler")).isEmpty(); }), "no error box");
    // Nothing froze: no surface, and the tool window still collapsed.
    QCOMPARE(sichtbar(QStringLiteral("Skizzomat")).size(), 1);
    QVERIFY(werkzeugfenster()->rect.height() < 518);
    const QImage ausgabe = ausgabeLesen();
    QCOMPARE(ausgabe.size(), m_hintergrund.size());
}

int main(int argc, char *argv[])
{
    // The test itself draws nothing on the screen; it reads the compositor back.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TstWayland tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_wayland.moc"
