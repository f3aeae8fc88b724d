// The folder settings with their placeholders, and making sure a folder exists.
#pragma once

#include "output/ergebnis.h"

#include <QString>

// Expands a folder setting: a "~" alone or before the first separator becomes heimDir, as in
// the shell; every "%exedir%" becomes exeDir and every "%docdir%" docDir (exact case, searched
// from the left, inserted text never searched again); a "\" of the setting reads as "/"; then
// each pair of consecutive "/" becomes one, so three in a row become two.
QString OrdnerErweitern(const QString &einstellung, const QString &exeDir, const QString &docDir,
                        const QString &heimDir);

// The user's documents folder without a trailing "/"; empty when the system reports none.
QString DokumentenOrdner();

// The expanded `Cfg.ScreenshotDir` and `Cfg.EmailDir`, "~" standing for the home folder.
QString ScreenshotOrdner();
QString EmailOrdner();

// True when the folder exists (a link to a folder counts) or has just been created together
// with its missing parents. An empty path is a folder that cannot be created.
bool OrdnerBereit(const QString &ordner);

// For opening the screenshot folder in the file manager: the expanded folder, and the error
// text when it is missing and cannot be created.
struct OrdnerPruefung : Ergebnis
{
    QString Ordner;
};
OrdnerPruefung ScreenshotOrdnerPruefen();

// The error text when the screenshot folder for storing a screenshot cannot be created.
QString ScreenshotVerzeichnisFehlerText(const QString &ordner);
// The same for the e-mail folder.
QString EmailVerzeichnisFehlerText(const QString &ordner);

// The error text when the system cannot open a document or web address.
QString DokumentFehlerText(const QString &adresse);
