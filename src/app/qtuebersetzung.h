// Qt's own texts in German: the key names of menu shortcuts ("Strg+Entf"), the columns and
// buttons of the file dialog, the printer dialogs.
#pragma once

// Installs Qt's German translation (Debian's qt6-translations-l10n) into the running
// application, whatever language the system speaks: the program's interface is German. Must
// run before the first window is built. False when Qt's translations are not installed; Qt's
// texts then stay English.
bool QtUebersetzungLaden();
