// Start-up of the real program: the single-instance guard holds in whatever environment the
// program finds, with the places for its lock missing, locked up or tampered with.
//
// The program runs as a user id of its own (through setpriv), so that folder permissions
// apply to it and files of "another user" can be planted; the per-user names in /tmp then
// belong to this run alone.
#include "xsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString LockName = QStringLiteral("NoMultiMutex.lock");
const QByteArray OhneSperre = QByteArrayLiteral("Die Sperre gegen einen zweiten Start");

// The lock files the process has open.
QStringList locksOf(qint64 pid)
{
    QStringList locks;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = fd.symLinkTarget();
        if (target.contains(QLatin1String("NoMultiMutex")))
            locks.append(target);
    }
    return locks;
}

bool chownTo(const QString &path, uid_t uid)
{
    return ::lchown(QFile::encodeName(path).constData(), uid, uid) == 0;
}

} // namespace

class TstX11Start : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void secondStartOnlyTells_data();
    void secondStartOnlyTells();
    void noPlaceForTheLockRunsUnguarded();

private:
    enum Ort { Runtime, TmpFile, TmpFolder };
    QString lockAt(Ort ort) const;
    // Plants at `path` a symlink to a name the program could create, or a file of another
    // user that the program could open.
    bool plant(const QString &path, bool symlink);
    bool start(QProcess &p, const QProcessEnvironment &env);
    void removeTmpPlaces();

    uid_t m_uid = 0;
    std::unique_ptr<QTemporaryDir> m_case; // the case's own folder, the program's user owns it
    QString m_runtime;
    QString m_target; // where a planted symlink points
};

void TstX11Start::initTestCase()
{
    if (::geteuid() != 0)
        QSKIP("running the program as a user of its own needs root");
    QVERIFY(!QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty());
    // A user id no one else uses; its names in /tmp must not exist yet.
    for (m_uid = 200000 + uid_t(::getpid() % 100000);; ++m_uid) {
        if (!QFileInfo::exists(lockAt(TmpFile)) && !QFileInfo::exists(QFileInfo(lockAt(TmpFolder)).path()))
            break;
    }
}

void TstX11Start::init()
{
    m_case = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/skzstart-XXXXXX"));
    QVERIFY(m_case->isValid());
    QVERIFY(chownTo(m_case->path(), m_uid));
    for (const char *name : {"home", "config", "data", "runtime"}) {
        const QString d = m_case->filePath(QString::fromLatin1(name));
        QVERIFY(QDir().mkdir(d));
        QVERIFY(chownTo(d, m_uid));
    }
    m_runtime = m_case->filePath(QStringLiteral("runtime"));
    m_target = m_case->filePath(QStringLiteral("target"));
}

void TstX11Start::cleanup()
{
    m_case.reset();
    removeTmpPlaces();
}

void TstX11Start::removeTmpPlaces()
{
    QFile::remove(lockAt(TmpFile));
    const QString folder = QFileInfo(lockAt(TmpFolder)).path();
    if (QFileInfo(folder).isSymLink())
        QFile::remove(folder);
    else
        QDir(folder).removeRecursively();
}

QString TstX11Start::lockAt(Ort ort) const
{
    switch (ort) {
    case Runtime:
        return m_runtime + QLatin1Char('/') + LockName;
    case TmpFile:
        return QStringLiteral("/tmp/NoMultiMutex-%1.lock").arg(m_uid);
    case TmpFolder:
        return QStringLiteral("/tmp/skizzomat-%1/").arg(m_uid) + LockName;
    }
    return {};
}

bool TstX11Start::plant(const QString &path, bool symlink)
{
    if (symlink)
        return QFile::link(m_target, path);
    // Root's, and open to everyone: only its owner tells it apart.
    QFile f(path);
    return f.open(QIODevice::WriteOnly) &&
           f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                            QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther);
}

bool TstX11Start::start(QProcess &p, const QProcessEnvironment &env)
{
    p.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    p.setProcessEnvironment(env);
    const QString id = QString::number(m_uid);
    p.start(QStringLiteral("setpriv"),
            {QStringLiteral("--reuid=") + id, QStringLiteral("--regid=") + id,
             QStringLiteral("--clear-groups"), QStringLiteral("--"), QStringLiteral(SKIZZOMAT_BINARY)});
    return p.waitForStarted();
}

namespace {

QProcessEnvironment environment(const QTemporaryDir &dir, const QString &runtime)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("TMPDIR"), dir.path());
    if (runtime.isEmpty())
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    else
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    return env;
}

} // namespace

void TstX11Start::secondStartOnlyTells_data()
{
    QTest::addColumn<QString>("runtime");   // usable, unset, missing, not writable
    QTest::addColumn<QString>("plantAt");   // nothing planted, or at the runtime or /tmp lock
    QTest::addColumn<bool>("plantSymlink"); // else a file of another user
    QTest::addColumn<int>("expected");

    QTest::newRow("runtime folder usable") << "usable"
                                           << "" << false << int(Runtime);
    QTest::newRow("runtime folder unset") << "unset"
                                          << "" << false << int(TmpFile);
    QTest::newRow("runtime folder missing") << "missing"
                                            << "" << false << int(TmpFile);
    QTest::newRow("runtime folder not writable") << "not writable"
                                                 << "" << false << int(TmpFile);
    QTest::newRow("symlink at the runtime lock") << "usable"
                                                 << "runtime" << true << int(TmpFile);
    QTest::newRow("runtime lock of another user") << "usable"
                                                  << "runtime" << false << int(TmpFile);
    QTest::newRow("symlink at the /tmp lock") << "missing"
                                              << "tmp" << true << int(TmpFolder);
    QTest::newRow("/tmp lock of another user") << "missing"
                                               << "tmp" << false << int(TmpFolder);
}

void TstX11Start::secondStartOnlyTells()
{
    QFETCH(QString, runtime);
    QFETCH(QString, plantAt);
    QFETCH(bool, plantSymlink);
    QFETCH(int, expected);

    QString runtimeDir = m_runtime;
    if (runtime == QLatin1String("unset"))
        runtimeDir.clear();
    else if (runtime == QLatin1String("missing"))
        runtimeDir = m_case->filePath(QStringLiteral("gone"));
    else if (runtime == QLatin1String("not writable"))
        QVERIFY(QFile::setPermissions(m_runtime, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    if (plantAt == QLatin1String("runtime"))
        QVERIFY(plant(lockAt(Runtime), plantSymlink));
    else if (plantAt == QLatin1String("tmp"))
        QVERIFY(plant(lockAt(TmpFile), plantSymlink));
    const QProcessEnvironment env = environment(*m_case, runtimeDir);

    QProcess first;
    QVERIFY(start(first, env));
    QList<unsigned long> firstWindows;
    QTRY_VERIFY_WITH_TIMEOUT(!(firstWindows = xs::visibleWindowsOf(first.processId())).isEmpty(), 10000);
    QCOMPARE(firstWindows.size(), 1);
    QCOMPARE(xs::property(firstWindows.first(), "WM_NAME"), QStringLiteral("\"Skizzomat\""));
    QCOMPARE(locksOf(first.processId()), QStringList{lockAt(Ort(expected))});

    QProcess second;
    QVERIFY(start(second, env));
    QList<unsigned long> box;
    QTRY_VERIFY_WITH_TIMEOUT(!(box = xs::visibleWindowsNamed(QStringLiteral("Informationen"))).isEmpty(),
                             10000);
    QCOMPARE(box.size(), 1);
    QCOMPARE(xs::visibleWindowsOf(second.processId()), box);

    xs::key(QStringLiteral("Return"));
    QVERIFY(second.waitForFinished(5000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);
    QCOMPARE(xs::visibleWindowsOf(first.processId()), firstWindows);

    // The lock goes with the process, however it ends.
    first.kill();
    QVERIFY(first.waitForFinished(5000));
    QVERIFY2(!first.readAllStandardError().contains(OhneSperre), "the first start ran without the lock");
    QProcess third;
    QVERIFY(start(third, env));
    QList<unsigned long> thirdWindows;
    QTRY_VERIFY_WITH_TIMEOUT(!(thirdWindows = xs::visibleWindowsOf(third.processId())).isEmpty(), 10000);
    QCOMPARE(thirdWindows.size(), 1);
    QCOMPARE(xs::property(thirdWindows.first(), "WM_NAME"), QStringLiteral("\"Skizzomat\""));
    QVERIFY(xs::visibleWindowsNamed(QStringLiteral("Informationen")).isEmpty());
    QCOMPARE(third.state(), QProcess::Running);
    third.kill();
    third.waitForFinished();

    // Nothing was created through a planted symlink.
    QVERIFY(!QFileInfo::exists(m_target));
}

void TstX11Start::noPlaceForTheLockRunsUnguarded()
{
    QVERIFY(plant(lockAt(TmpFile), true));
    // The private folder exists already, and it is not ours.
    const QString folder = QFileInfo(lockAt(TmpFolder)).path();
    QVERIFY(::mkdir(QFile::encodeName(folder).constData(), 0777) == 0);
    QVERIFY(QFile::setPermissions(
        folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                    QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                    QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther));
    QVERIFY(QFile::setPermissions(m_runtime, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QProcessEnvironment env = environment(*m_case, m_runtime);

    // It says so once, and runs; so does a second start.
    QProcess first;
    QVERIFY(start(first, env));
    QTRY_VERIFY_WITH_TIMEOUT(xs::visibleWindowsOf(first.processId()).size() == 1, 10000);
    QVERIFY(locksOf(first.processId()).isEmpty());
    QProcess second;
    QVERIFY(start(second, env));
    QTRY_VERIFY_WITH_TIMEOUT(xs::visibleWindowsOf(second.processId()).size() == 1, 10000);
    QVERIFY(xs::visibleWindowsNamed(QStringLiteral("Informationen")).isEmpty());
    for (QProcess *p : {&first, &second}) {
        QCOMPARE(p->state(), QProcess::Running);
        p->kill();
        QVERIFY(p->waitForFinished(5000));
        const QByteArray err = p->readAllStandardError();
        QVERIFY2(err.count(OhneSperre) == 1, err.constData());
    }
    QVERIFY(!QFileInfo::exists(m_target));
    QVERIFY(QDir(folder).isEmpty());
}

XS_TEST_MAIN(TstX11Start)
#include "tst_x11_start.moc"
