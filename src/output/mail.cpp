#include "output/mail.h"

#include "app/umgebung.h"

#include <QPointer>
#include <QProcess>
#include <QSet>

namespace {

QSet<QProcess *> &wartende()
{
    static QSet<QProcess *> s;
    return s;
}

// Hand-overs let go at the end of the program whose programs still run. Never destroyed:
// deleting the object of one would kill its program.
QSet<QProcess *> &losgelassene()
{
    static auto *s = new QSet<QProcess *>;
    return *s;
}

} // namespace

void MailSenden(const QString &betreff, const QStringList &anhaenge, QObject *kontext,
                std::function<void(int)> antwort)
{
    QStringList argumente{QStringLiteral("--utf8"), QStringLiteral("--subject"), betreff};
    for (const QString &a : anhaenge)
        argumente << QStringLiteral("--attach") << a;

    // Without a parent, and with no pipe to us: a QProcess that is destroyed kills its
    // program, and a mail program writing into a closed pipe would die with us.
    auto *p = new QProcess;
    p->setProgram(QStringLiteral("xdg-email"));
    p->setArguments(argumente);
    p->setProcessEnvironment(KinderUmgebung());
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->setStandardInputFile(QProcess::nullDevice());
    p->setStandardOutputFile(QProcess::nullDevice());
    wartende().insert(p);

    const QPointer<QObject> ziel(kontext);
    const auto beantworten = [p, ziel, antwort](int ergebnis) {
        // Each hand-over is answered once, and not after it was let go.
        if (!wartende().remove(p))
            return;
        p->deleteLater();
        if (ziel)
            antwort(ergebnis);
    };
    QObject::connect(p, &QProcess::finished, p, [beantworten](int code, QProcess::ExitStatus status) {
        beantworten(status == QProcess::NormalExit ? code : 1);
    });
    // Queued: a program that cannot start reports it from inside start(), and the answer
    // shows a box.
    QObject::connect(
        p, &QProcess::errorOccurred, p,
        [beantworten](QProcess::ProcessError fehler) {
            if (fehler == QProcess::FailedToStart)
                beantworten(1);
        },
        Qt::QueuedConnection);
    p->start();
}

int MailOffen()
{
    return int(wartende().size());
}

void MailLoslassen()
{
    for (QProcess *p : std::as_const(wartende())) {
        p->disconnect();
        if (p->state() == QProcess::NotRunning) {
            p->deleteLater();
            continue;
        }
        // The object stays while its program runs; one that ends while we still run goes.
        losgelassene().insert(p);
        QObject::connect(p, &QProcess::finished, p, [p] {
            losgelassene().remove(p);
            p->deleteLater();
        });
    }
    wartende().clear();
}
