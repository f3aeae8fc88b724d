#include "output/mail.h"

#include "app/umgebung.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QProcess>
#include <QSet>
#include <QTimer>
#include <QVariant>

#include <cerrno>
#include <csignal>
#include <unistd.h>

int MailEntscheidungsZeit = 3000;

namespace {

// A hand-over whose xdg-email ended sooner than this gave the message to an e-mail program
// that was already running (a launcher returns at once), which reads the attachment only when
// the user sends or saves the message. One that ran longer ran the e-mail program itself,
// which has ended with it. Generous: a launcher on a loaded machine takes seconds.
constexpr qint64 WeitergabeZeit = 30000;

struct Lauf
{
    QElapsedTimer seit;
    qint64 dauer = -1; // -1 while xdg-email runs
};

// This run's hand-overs by number (the process group xdg-email leads).
QHash<qint64, Lauf> &laeufe()
{
    static QHash<qint64, Lauf> h;
    return h;
}

QSet<QProcess *> &wartende()
{
    static QSet<QProcess *> s;
    return s;
}

// Hand-overs whose programs still run. Never destroyed: deleting the object of one would kill
// its program; the object goes once its program ends.
QSet<QProcess *> &laufende()
{
    static auto *s = new QSet<QProcess *>;
    return *s;
}

// The hand-over's number, known from its start on; 0 for one that never started.
qint64 nummer(const QProcess *p)
{
    return p->property("uebergabe").toLongLong();
}

void beendet(QProcess *p)
{
    laufende().remove(p);
    p->deleteLater();
    if (auto it = laeufe().find(nummer(p)); it != laeufe().end())
        it->dauer = it->seit.elapsed();
}

} // namespace

qint64 MailSenden(const QString &betreff, const QStringList &anhaenge, QObject *kontext,
                  std::function<void(int)> antwort)
{
    QStringList argumente{QStringLiteral("--utf8"), QStringLiteral("--subject"), betreff};
    for (const QString &a : anhaenge)
        argumente << QStringLiteral("--attach") << a;

    // Without a parent, and with no pipe to us: a QProcess that is destroyed kills its
    // program, and a mail program writing into a closed pipe would die with us. In a process
    // group of its own, so that what it leaves running can be found, also by a later run.
    auto *p = new QProcess;
    p->setProgram(QStringLiteral("xdg-email"));
    p->setArguments(argumente);
    p->setProcessEnvironment(KinderUmgebung());
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->setStandardInputFile(QProcess::nullDevice());
    p->setStandardOutputFile(QProcess::nullDevice());
    p->setChildProcessModifier([] { ::setsid(); });
    wartende().insert(p);
    laufende().insert(p);

    const QPointer<QObject> ziel(kontext);
    const auto beantworten = [p, ziel, antwort](int ergebnis) {
        // Each hand-over is answered once, and not after it was let go.
        if (!wartende().remove(p))
            return;
        if (ziel)
            antwort(ergebnis);
    };
    QObject::connect(p, &QProcess::finished, p, [p, beantworten](int code, QProcess::ExitStatus status) {
        beendet(p);
        beantworten(status == QProcess::NormalExit ? code : 1);
    });
    // Queued: a program that cannot start reports it from inside start(), and the answer
    // shows a box.
    QObject::connect(
        p, &QProcess::errorOccurred, p,
        [p, beantworten](QProcess::ProcessError fehler) {
            if (fehler != QProcess::FailedToStart)
                return;
            beendet(p);
            beantworten(1);
        },
        Qt::QueuedConnection);
    p->start();
    const qint64 nr = p->processId();
    p->setProperty("uebergabe", nr);
    if (nr > 0) {
        laeufe()[nr].seit.start();
        // Still running after this, xdg-email runs the e-mail program in the foreground, which
        // has the message: the user need not wait for its whole session.
        QTimer::singleShot(MailEntscheidungsZeit, p, [beantworten] { beantworten(0); });
    }
    return nr;
}

int MailOffen()
{
    return int(wartende().size());
}

bool MailLaeuftNoch(qint64 uebergabe)
{
    if (uebergabe <= 0)
        return false;
    if (const auto it = laeufe().constFind(uebergabe); it != laeufe().cend() && it->dauer < 0)
        return true;
    // A member of its process group, even one its leader left behind.
    return ::kill(pid_t(-uebergabe), 0) == 0 || errno == EPERM;
}

bool MailLiestVielleicht(qint64 uebergabe)
{
    if (const auto it = laeufe().constFind(uebergabe);
        it != laeufe().cend() && it->dauer >= 0 && it->dauer < WeitergabeZeit)
        return true;
    return MailLaeuftNoch(uebergabe);
}

void MailLoslassen()
{
    const QList<QProcess *> prozesse = laufende().values();
    for (QProcess *p : prozesse) {
        p->disconnect();
        // The object stays while its program runs; one that ends while we still run goes.
        if (p->state() == QProcess::NotRunning)
            beendet(p);
        else
            QObject::connect(p, &QProcess::finished, p, [p] { beendet(p); });
    }
    wartende().clear();
}
