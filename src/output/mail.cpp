#include "output/mail.h"

#include <QPointer>
#include <QProcess>
#include <QSet>

namespace {

QSet<QProcess *> &wartende()
{
    static QSet<QProcess *> s;
    return s;
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
    for (QProcess *p : std::as_const(wartende()))
        p->disconnect();
    // The objects stay: deleting one would kill its program.
    wartende().clear();
}
