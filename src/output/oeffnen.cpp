#include "output/oeffnen.h"

#include "dialogs/meldungen.h"
#include "output/ordner.h"

#include <QDesktopServices>
#include <QUrl>

bool DokumentOeffnen(const QString &adresse, QWidget *owner)
{
    // A path is no URL: "/home/a b" must not be read as one, nor a drive-less "C:" as a scheme.
    const QUrl url =
        adresse.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(adresse) : QUrl(adresse, QUrl::StrictMode);
    if (url.isValid() && !url.scheme().isEmpty() && QDesktopServices::openUrl(url))
        return true;
    zeigeFehler(owner, DokumentFehlerText(adresse));
    return false;
}
