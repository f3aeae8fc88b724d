// The program on GNOME Shell (run through gnomerun.sh): started in the session, frozen with a
// click through XWayland, the screen read back with the desktop's own screenshot tool. The
// portal's question is settled beforehand through its permission store.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <optional>

namespace {

struct Lauf
{
    int code = -1;
    QByteArray aus;
};

Lauf ausfuehren(const QString &programm, const QStringList &argumente)
{
    QProcess p;
    p.start(programm, argumente);
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput()};
}

template<typename F> bool warte(F bedingung, int ms = 15000)
{
    QElapsedTimer t;
    t.start();
    while (!bedingung()) {
        if (t.elapsed() > ms)
            return false;
        QTest::qWait(100);
    }
    return true;
}

QString tmp()
{
    return QDir(qEnvironmentVariable("TMPDIR")).absolutePath();
}

QImage bildschirmLesen()
{
    const QString datei = tmp() + QStringLiteral("/gnome-screenshot.png");
    QFile::remove(datei);
    if (ausfuehren(QStringLiteral("gnome-screenshot"), {QStringLiteral("-f"), datei}).code != 0)
        return {};
    return QImage(datei).convertToFormat(QImage::Format_RGB32);
}

// Pixels that differ outside the rectangles `ausser`.
qsizetype abweichend(const QImage &a, const QImage &b, const QList<QRect> &ausser)
{
    if (a.isNull() || a.size() != b.size())
        return -1;
    qsizetype n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y) &&
                std::none_of(ausser.cbegin(), ausser.cend(),
                             [&](const QRect &r) { return r.contains(x, y); }))
                ++n;
    return n;
}

// A picture no window looks like: gradients with a grid of one-pixel lines.
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

bool erlaubnisSetzen(const QString &wert)
{
    const QString ziel = QStringLiteral("--dest=org.freedesktop.impl.portal.PermissionStore");
    const QString pfad = QStringLiteral("--object-path=/org/freedesktop/impl/portal/PermissionStore");
    const QString iface = QStringLiteral("org.freedesktop.impl.portal.PermissionStore.");
    if (wert.isEmpty()) {
        ausfuehren(QStringLiteral("gdbus"),
                   {QStringLiteral("call"), QStringLiteral("--session"), ziel, pfad,
                    QStringLiteral("--method"), iface + QStringLiteral("DeletePermission"),
                    QStringLiteral("screenshot"), QStringLiteral("screenshot"), QString()});
        return true;
    }
    return ausfuehren(QStringLiteral("gdbus"),
                      {QStringLiteral("call"), QStringLiteral("--session"), ziel, pfad,
                       QStringLiteral("--method"), iface + QStringLiteral("SetPermission"),
                       QStringLiteral("screenshot"), QStringLiteral("true"), QStringLiteral("screenshot"),
                       QString(), QStringLiteral("['%1']").arg(wert)})
               .code == 0;
}

QByteArray erlaubnis()
{
    return ausfuehren(QStringLiteral("gdbus"),
                      {QStringLiteral("call"), QStringLiteral("--session"),
                       QStringLiteral("--dest=org.freedesktop.impl.portal.PermissionStore"),
                       QStringLiteral("--object-path=/org/freedesktop/impl/portal/PermissionStore"),
                       QStringLiteral("--method"),
                       QStringLiteral("org.freedesktop.impl.portal.PermissionStore.Lookup"),
                       QStringLiteral("screenshot"), QStringLiteral("screenshot")})
        .aus;
}

struct Fenster
{
    unsigned long id = 0;
    QRect rect;
};

QList<Fenster> sichtbar(const QString &titel)
{
    QList<Fenster> liste;
    const Lauf ids = ausfuehren(QStringLiteral("xdotool"),
                                {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--name"), QLatin1Char('^') + titel + QLatin1Char('$')});
    for (const QByteArray &id : ids.aus.split('\n')) {
        if (id.trimmed().isEmpty())
            continue;
        const Lauf info =
            ausfuehren(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::fromLatin1(id)});
        auto wert = [&](const char *name) {
            const QRegularExpression re(QString::fromLatin1(name) + QStringLiteral(":\\s+(-?\\d+)"));
            return re.match(QString::fromLocal8Bit(info.aus)).captured(1).toInt();
        };
        liste.append(
            {id.trimmed().toULong(), QRect(wert("Absolute upper-left X"), wert("Absolute upper-left Y"),
                                           wert("Width"), wert("Height"))});
    }
    return liste;
}

std::optional<Fenster> werkzeugfenster()
{
    for (const Fenster &f : sichtbar(QStringLiteral("Skizzomat")))
        if (f.rect.width() < 200)
            return f;
    return std::nullopt;
}

QList<Fenster> flaechen()
{
    QList<Fenster> liste;
    for (const Fenster &f : sichtbar(QStringLiteral("Skizzomat")))
        if (f.rect.width() >= 200)
            liste.append(f);
    return liste;
}

} // namespace

class TstGnome : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void allowedFreezeShowsTheScreenWithTheToolWindowInTheCorner();
    void storedRefusalShowsTheErrorBesideTheToolWindow();
    void openQuestionIsAnnounced();
    void cleanup();

private:
    bool starten();
    bool einfrieren();

    QImage m_bekannt;
    QProcess m_programm;
};

void TstGnome::initTestCase()
{
    QVERIFY2(!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"),
             "run this test through gnomerun.sh");
    // Out of the overview the shell starts in, onto a known wallpaper.
    QCOMPARE(
        ausfuehren(QStringLiteral("gdbus"),
                   {QStringLiteral("call"), QStringLiteral("--session"),
                    QStringLiteral("--dest=org.gnome.Shell"),
                    QStringLiteral("--object-path=/org/gnome/Shell"), QStringLiteral("--method"),
                    QStringLiteral("org.freedesktop.DBus.Properties.Set"), QStringLiteral("org.gnome.Shell"),
                    QStringLiteral("OverviewActive"), QStringLiteral("<false>")})
            .code,
        0);
    m_bekannt = bekanntesBild();
    const QString datei = tmp() + QStringLiteral("/hintergrund.png");
    QVERIFY(m_bekannt.save(datei));
    for (const char *schluessel : {"picture-uri", "picture-uri-dark"})
        QCOMPARE(ausfuehren(QStringLiteral("gsettings"),
                            {QStringLiteral("set"), QStringLiteral("org.gnome.desktop.background"),
                             QString::fromLatin1(schluessel), QUrl::fromLocalFile(datei).toString()})
                     .code,
                 0);
    // The wallpaper is there when a point below the top bar shows it.
    QVERIFY2(warte(
                 [&] {
                     const QImage b = bildschirmLesen();
                     return !b.isNull() && b.pixel(640, 400) == m_bekannt.pixel(640, 400);
                 },
                 60000),
             "the known wallpaper does not show");
}

bool TstGnome::starten()
{
    // The program as the session starts it, not on the test's own platform.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    m_programm.setProcessEnvironment(env);
    m_programm.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_programm.setStandardOutputFile(QProcess::nullDevice());
    m_programm.start(QStringLiteral(SKIZZOMAT_BINARY), {});
    return m_programm.waitForStarted() && warte([&] { return werkzeugfenster().has_value(); });
}

bool TstGnome::einfrieren()
{
    // The "Start" button fills the collapsed tool window.
    const std::optional<Fenster> w = werkzeugfenster();
    if (!w)
        return false;
    const QPoint mitte = w->rect.center();
    return ausfuehren(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QString::number(mitte.x()), QString::number(mitte.y()),
                       QStringLiteral("click"), QStringLiteral("1")})
               .code == 0;
}

void TstGnome::cleanup()
{
    if (m_programm.state() != QProcess::NotRunning) {
        m_programm.terminate();
        if (!m_programm.waitForFinished(5000)) {
            m_programm.kill();
            m_programm.waitForFinished();
        }
    }
}

void TstGnome::allowedFreezeShowsTheScreenWithTheToolWindowInTheCorner()
{
    QVERIFY(erlaubnisSetzen(QStringLiteral("yes")));
    QVERIFY(starten());
    const QImage vorher = bildschirmLesen();
    QVERIFY(!vorher.isNull());
    const QRect eingeklappt = werkzeugfenster()->rect;
    QVERIFY(einfrieren());
    std::optional<Fenster> werkzeug;
    QVERIFY2(warte([&] {
                 werkzeug = werkzeugfenster();
                 return werkzeug && werkzeug->rect.height() == 518 && flaechen().size() == 1;
             }),
             "no frozen picture");
    // The surface covers the output, the tool window sits in its top-right corner over the top
    // bar.
    QCOMPARE(flaechen().first().rect, QRect(0, 0, 1280, 720));
    QCOMPARE(werkzeug->rect, QRect(1280 - 52, 0, 52, 518));
    // Outside the tool window the screen looks as before, with no shadow of the shell's around
    // it. Before the freeze the collapsed tool window stood there with its frame and shadow; the
    // clock and the shell's banner under it (on the screen lock, shown at the start until the
    // user has been active) may have changed meanwhile.
    const QList<QRect> ausser = {werkzeug->rect, eingeklappt.adjusted(-40, -40, 40, 40),
                                 QRect(380, 0, 520, 120)};
    qsizetype rest = -1;
    QVERIFY2(warte([&] { return (rest = abweichend(bildschirmLesen(), vorher, ausser)) == 0; }),
             qPrintable(QStringLiteral("%1 pixels differ from the screen before the freeze").arg(rest)));
}

void TstGnome::storedRefusalShowsTheErrorBesideTheToolWindow()
{
    QVERIFY(erlaubnisSetzen(QStringLiteral("no")));
    QVERIFY(starten());
    QVERIFY(einfrieren());
    QList<Fenster> box;
    QVERIFY2(warte([&] { return !(box = sichtbar(QStringLiteral("Fehler"))).isEmpty(); }), "no error box");
    const std::optional<Fenster> werkzeug = werkzeugfenster();
    QVERIFY(werkzeug);
    QVERIFY2(!box.first().rect.adjusted(0, -40, 0, 0).intersects(werkzeug->rect.adjusted(-1, 0, 1, 0)) &&
                 box.first().rect.right() < werkzeug->rect.left(),
             "the error box covers the tool window");
    QVERIFY(flaechen().isEmpty());
    QVERIFY(erlaubnis().contains("'no'"));
}

void TstGnome::openQuestionIsAnnounced()
{
    // Nothing stored: the shell asks, and the program says so while the question is open.
    // Last, since the shell keeps its question on the screen after the program has gone.
    QVERIFY(erlaubnisSetzen(QString()));
    QVERIFY(starten());
    QVERIFY(einfrieren());
    QVERIFY2(warte([&] { return !sichtbar(QStringLiteral("Information")).isEmpty(); }),
             "no notice of the question");
    QVERIFY(flaechen().isEmpty());
}

int main(int argc, char *argv[])
{
    // The test itself draws nothing on the screen; it reads the desktop back.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TstGnome tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_gnome.moc"
