#include "output/oeffnen.h"

#include "app/umgebung.h"
#include "controls/meldungen.h"
#include "output/ordner.h"

#include <QPointer>
#include <QProcess>
#include <QUrl>
#include <QWidget>

void DokumentOeffnen(const QString &adresse, QWidget *owner)
{
    // A path is no URL: "/home/a b" must not be read as one, nor a drive-less "C:" as a scheme.
    const bool pfad = adresse.startsWith(QLatin1Char('/'));
    const QUrl url = pfad ? QUrl::fromLocalFile(adresse) : QUrl(adresse, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty()) {
        zeigeFehler(owner, DokumentFehlerText(adresse));
        return;
    }

    // Without a parent, and with no pipe to us: a QProcess that is destroyed kills its
    // program, and xdg-open may wait for the browser it started until that ends.
    auto *p = new QProcess;
    p->setProgram(QStringLiteral("xdg-open"));
    p->setArguments({pfad ? adresse : url.toString(QUrl::FullyEncoded)});
    p->setProcessEnvironment(KinderUmgebung());
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->setStandardInputFile(QProcess::nullDevice());
    p->setStandardOutputFile(QProcess::nullDevice());

    const QPointer<QWidget> ziel(owner);
    const auto melden = [ziel, ohneOwner = !owner, adresse] {
        if (ziel || ohneOwner)
            zeigeFehler(ziel, DokumentFehlerText(adresse));
    };
    QObject::connect(p, &QProcess::finished, p, [p, melden](int code, QProcess::ExitStatus status) {
        p->deleteLater();
        if (status != QProcess::NormalExit || code != 0)
            melden();
    });
    // Queued: a program that cannot start reports it from inside start().
    QObject::connect(
        p, &QProcess::errorOccurred, p,
        [p, melden](QProcess::ProcessError fehler) {
            if (fehler != QProcess::FailedToStart)
                return;
            p->deleteLater();
            melden();
        },
        Qt::QueuedConnection);
    p->start();
}
