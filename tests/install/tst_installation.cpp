// The installed program and its Debian package: every file in its place and accepted by the
// desktop's own checkers, the entries naming each other, the package's dependencies
// satisfiable on this system, lintian finding nothing to object to, the packaged program
// hardened, and answering.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString AppId = QStringLiteral("de.quenderwerk.Skizzomat");
const QString Version = QStringLiteral("1.7.2.2015.07.28");

struct Lauf
{
    int status = -1;
    QString aus;
    QString fehler;
};

Lauf laufen(const QString &programm, const QStringList &args, int ms = 60000)
{
    QProcess p;
    p.start(programm, args);
    Lauf l;
    if (!p.waitForStarted()) {
        l.fehler = programm + QStringLiteral(" does not start: ") + p.errorString();
        return l;
    }
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished();
        l.fehler = programm + QStringLiteral(" did not finish");
        return l;
    }
    l.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    l.aus = QString::fromUtf8(p.readAllStandardOutput());
    l.fehler += QString::fromUtf8(p.readAllStandardError());
    return l;
}

// For a variable: the macro reads it twice.
#define LAUF_OK(l) QVERIFY2((l).status == 0, qPrintable((l).aus + (l).fehler))

QString inhalt(const QString &pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

class TstInstallation : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString m_usr; // the install prefix inside m_tmp
    QString m_man; // the installed man page, uncompressed

private slots:
    void initTestCase();
    void dateien_data();
    void dateien();
    void pruefer_data();
    void pruefer();
    void eintraegeZeigenAufeinander();
    void debianPaket();
};

void TstInstallation::initTestCase()
{
    QVERIFY(m_tmp.isValid());
    m_usr = m_tmp.filePath(QStringLiteral("usr"));
    const Lauf l = laufen(QStringLiteral(CMAKE_COMMAND),
                          {QStringLiteral("--install"), QStringLiteral(SKIZZOMAT_BUILD_DIR),
                           QStringLiteral("--prefix"), m_usr});
    LAUF_OK(l);
    const Lauf man = laufen(QStringLiteral("gzip"), {"-dc", m_usr + "/share/man/man1/skizzomat.1.gz"});
    LAUF_OK(man);
    m_man = m_tmp.filePath(QStringLiteral("skizzomat.1"));
    QFile f(m_man);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(man.aus.toUtf8()) == man.aus.toUtf8().size());
}

void TstInstallation::dateien_data()
{
    QTest::addColumn<QString>("pfad");
    for (const QString &p :
         {QStringLiteral("bin/skizzomat"), QStringLiteral("share/applications/%1.desktop"),
          QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg"),
          QStringLiteral("share/metainfo/%1.metainfo.xml"), QStringLiteral("share/man/man1/skizzomat.1.gz"),
          QStringLiteral("share/doc/skizzomat/copyright"),
          QStringLiteral("share/doc/skizzomat/changelog.Debian.gz"),
          QStringLiteral("share/lintian/overrides/skizzomat")})
        QTest::newRow(qPrintable(p)) << (p.contains(QLatin1String("%1")) ? p.arg(AppId) : p);
}

void TstInstallation::dateien()
{
    QFETCH(QString, pfad);
    const QFileInfo f(m_usr + QLatin1Char('/') + pfad);
    QVERIFY2(f.isFile() && f.size() > 0, qPrintable(f.filePath()));
    QCOMPARE(f.isExecutable(), pfad.startsWith(QLatin1String("bin/")));
}

// Each checker is the one the desktop and the software centres use; hints are fine, warnings
// and errors are not.
void TstInstallation::pruefer_data()
{
    QTest::addColumn<QString>("programm");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("stumm"); // also nothing on standard error

    const QString share = m_usr + QStringLiteral("/share/");
    QTest::newRow("desktop entry") << QStringLiteral("desktop-file-validate")
                                   << QStringList{share + QStringLiteral("applications/") + AppId +
                                                  ".desktop"}
                                   << false;
    QTest::newRow("metainfo") << QStringLiteral("appstreamcli")
                              << QStringList{"validate", "--no-net",
                                             share + QStringLiteral("metainfo/") + AppId + ".metainfo.xml"}
                              << false;
    QTest::newRow("man page") << QStringLiteral("groff") << QStringList{"-man", "-Tutf8", "-ww", "-z", m_man}
                              << true;
    QTest::newRow("installed program")
        << m_usr + QStringLiteral("/bin/skizzomat") << QStringList{"--version"} << true;
}

void TstInstallation::pruefer()
{
    QFETCH(QString, programm);
    QFETCH(QStringList, args);
    QFETCH(bool, stumm);
    const Lauf l = laufen(programm, args);
    LAUF_OK(l);
    QVERIFY2(!l.aus.contains(QLatin1String("warning:")) && !l.aus.contains(QLatin1String("error:")),
             qPrintable(l.aus));
    if (stumm)
        QCOMPARE(l.fehler, QString());
}

// The menu starts the installed program and shows the installed icon; the metadata names the
// desktop entry and the program's version.
void TstInstallation::eintraegeZeigenAufeinander()
{
    QSettings eintrag(m_usr + QStringLiteral("/share/applications/") + AppId + ".desktop",
                      QSettings::IniFormat);
    eintrag.beginGroup(QStringLiteral("Desktop Entry"));
    QVERIFY(QFileInfo(m_usr + QStringLiteral("/bin/") + eintrag.value("Exec").toString()).isExecutable());
    QVERIFY(QFileInfo::exists(m_usr + QStringLiteral("/share/icons/hicolor/scalable/apps/") +
                              eintrag.value("Icon").toString() + ".svg"));
    eintrag.endGroup();
    // Docks and launchers offer the freeze, and desktops bind keys to it.
    eintrag.beginGroup(QStringLiteral("Desktop Action Einfrieren"));
    QCOMPARE(eintrag.value("Exec").toString(), QStringLiteral("skizzomat --toggle"));
    QCOMPARE(eintrag.value("Name[de]").toString(), QStringLiteral("Bildschirm einfrieren"));

    const QString meta = inhalt(m_usr + QStringLiteral("/share/metainfo/") + AppId + ".metainfo.xml");
    QVERIFY(meta.contains(QStringLiteral("<id>%1</id>").arg(AppId)));
    QVERIFY(
        meta.contains(QStringLiteral("<launchable type=\"desktop-id\">%1.desktop</launchable>").arg(AppId)));
    QVERIFY(meta.contains(QStringLiteral("<release version=\"%1\" date=\"2015-07-28\"/>").arg(Version)));
    QVERIFY(inhalt(m_man).contains(Version));
}

void TstInstallation::debianPaket()
{
    const QString pakete = m_tmp.filePath(QStringLiteral("pakete"));
    const Lauf cpack = laufen(
        QStringLiteral(CPACK_COMMAND),
        {"-G", "DEB", "-B", pakete, "--config", QStringLiteral(SKIZZOMAT_BUILD_DIR "/CPackConfig.cmake")},
        180000);
    LAUF_OK(cpack);
    const QStringList debs = QDir(pakete).entryList({QStringLiteral("*.deb")}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    const QString deb = pakete + QLatin1Char('/') + debs.first();

    const auto feld = [&](const char *name) {
        return laufen(QStringLiteral("dpkg-deb"), {"--field", deb, QString::fromLatin1(name)}).aus.trimmed();
    };
    QCOMPARE(feld("Package"), QStringLiteral("skizzomat"));
    QCOMPARE(feld("Version"), Version + QStringLiteral("-1"));
    const QString depends = feld("Depends");
    const QStringList abhaengig = depends.split(QRegularExpression(QStringLiteral(",\\s*")));
    for (const char *paket :
         {"fonts-liberation2", "fonts-dejavu-core", "xdg-utils", "qt6-translations-l10n", "libqt6widgets6",
          "libqt6printsupport6", "libxcb-shm0", "libcups2", "libdeflate0"})
        QVERIFY2(abhaengig.filter(QRegularExpression(QStringLiteral("^%1( |$)").arg(QLatin1String(paket))))
                         .size() == 1,
                 qPrintable(QLatin1String(paket) + QStringLiteral(" not in ") + depends));
    // This is a Debian system: what it has installed satisfies every dependency.
    const Lauf erfuellt = laufen(QStringLiteral("dpkg-checkbuilddeps"), {"-d", depends, "/dev/null"});
    QVERIFY2(erfuellt.status == 0, qPrintable(erfuellt.fehler));

    const QString liste = laufen(QStringLiteral("dpkg-deb"), {"--contents", deb}).aus;
    for (const QString &datei :
         {QStringLiteral("./usr/bin/skizzomat"), "./usr/share/applications/" + AppId + ".desktop",
          "./usr/share/icons/hicolor/scalable/apps/" + AppId + ".svg",
          "./usr/share/metainfo/" + AppId + ".metainfo.xml",
          QStringLiteral("./usr/share/man/man1/skizzomat.1.gz"),
          QStringLiteral("./usr/share/doc/skizzomat/copyright")})
        QVERIFY2(
            QRegularExpression(QStringLiteral(" root/root .* %1$").arg(QRegularExpression::escape(datei)),
                               QRegularExpression::MultilineOption)
                .match(liste)
                .hasMatch(),
            qPrintable(datei + QStringLiteral(" not in\n") + liste));

    const QString wurzel = m_tmp.filePath(QStringLiteral("wurzel"));
    const Lauf auspacken = laufen(QStringLiteral("dpkg-deb"), {"--extract", deb, wurzel});
    LAUF_OK(auspacken);
    const QString programm = wurzel + QStringLiteral("/usr/bin/skizzomat");
    // No search path into the build folder: the program finds the system's libraries.
    QVERIFY(!laufen(QStringLiteral("readelf"), {"--dynamic", programm}).aus.contains(QLatin1String("PATH")));
    const Lauf version = laufen(programm, {QStringLiteral("--version")});
    LAUF_OK(version);
    QCOMPARE(version.aus, QStringLiteral("Skizzomat %1\n").arg(Version));

    // Every hardening the build asks for is in the program. Stack-clash protection shows only
    // in functions whose stack frame may outgrow a page; the program has none, so the checker
    // may find no probe to report on. The CET marker only where the tool chain can set it.
    QStringList auslassen;
    if (!SKIZZOMAT_CET_MARKE)
        auslassen << QStringLiteral("--nocfprotection");
    if (!SKIZZOMAT_FORTIFY)
        auslassen << QStringLiteral("--nofortify");
    const Lauf haertung = laufen(QStringLiteral("hardening-check"), auslassen << programm);
    LAUF_OK(haertung);
    for (const QString &zeile : haertung.aus.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1))
        QVERIFY2(zeile.contains(QLatin1String(": yes")) || zeile.contains(QLatin1String("(ignored)")) ||
                     zeile.startsWith(QLatin1String(" Stack clash protection: unknown")),
                 qPrintable(haertung.aus));

    // Lintian with every check but the experimental ones failing, down to the pedantic; the
    // overrides are in the package, each with its reason.
    QStringList lintianArgs{"-EvIL", "+pedantic", "--fail-on", "error,warning,info,pedantic"};
    QStringList unterdrueckt;
    if (!SKIZZOMAT_FORTIFY)
        unterdrueckt << QStringLiteral("hardening-no-fortify-functions");
    // The sanitizers' build, never shipped, carries the names of the source files in its
    // program, which the spelling check reads as words.
    if (SKIZZOMAT_SANITIZE_BUILD)
        unterdrueckt << QStringLiteral("spelling-error-in-binary");
    if (!unterdrueckt.isEmpty())
        lintianArgs << QStringLiteral("--suppress-tags") << unterdrueckt.join(QLatin1Char(','));
    const Lauf lintian = laufen(QStringLiteral("lintian"), lintianArgs << deb, 300000);
    QVERIFY2(lintian.status == 0, qPrintable(lintian.aus + lintian.fehler));
}

QTEST_GUILESS_MAIN(TstInstallation)

#include "tst_installation.moc"
