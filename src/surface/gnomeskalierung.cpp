#include "surface/gnomeskalierung.h"

#include <cmath>

QString gnomeSkalierungsHinweis(QSize bild, QSize desktop)
{
    if (bild.isEmpty() || desktop.isEmpty() || bild.width() <= desktop.width())
        return {};
    const int prozent = int(std::lround(100.0 * bild.width() / desktop.width()));
    // GNOME's settings offer no switch for the feature; it is a key of the window manager.
    return QStringLiteral(
               "GNOME vergrößert die Fenster von Skizzomat auf diesem Bildschirm (Skalierung %1 %), deshalb "
               "zeigt das eingefrorene Bild nicht jeden Bildpunkt des Bildschirms einzeln: feine Linien und "
               "kleine Schrift werden unscharf. Das macht die experimentelle Funktion "
               "„scale-monitor-framebuffer“ (fraktionale Skalierung).\n\n"
               "Abhilfe: Die Funktion ausschalten, im Terminal mit\n"
               "gsettings reset org.gnome.mutter experimental-features\n"
               "(oder nur „scale-monitor-framebuffer“ aus dieser Liste entfernen), dann in den Einstellungen "
               "unter „Bildschirme“ bei „Skalieren“ 100 % oder 200 % wählen und Skizzomat neu starten. Dann "
               "zeigt das Bild den Bildschirm Punkt für Punkt.")
        .arg(prozent);
}
