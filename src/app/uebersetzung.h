// The interface texts that a translation file beside the program can replace: captions of
// menu items, hints of tool buttons, the Start/Fertig texts, the save dialog's title and
// filter, and the captions of the dialogs. The texts live here, so that a window or dialog
// takes its texts from one place whenever it is built, before or after the translation.
#pragma once

#include "app/inidatei.h"

#include <QString>
#include <QStringList>

#include <array>

// One text the translation file can replace.
struct TextZiel
{
    const char *Schluessel; // the key in the translation file
    const char *Ziel;       // the menu item, button, control ("TDruckForm.OkBtn") or window ("TDruckForm")
    const char *Text;       // the designed text
    bool Gerahmt;           // a group box caption: shown with one blank on each side
};

// Every target in the order of reading: the tool window (Start/Fertig texts, thickness,
// colours, tools, commands, sheet menu), the print dialog, the save dialog, the info box, the
// settings dialog, the selection dialog, the save and e-mail menus. A key that names a menu
// item and a tool button appears twice: the item's caption first, then the button's hint.
extern const std::array<TextZiel, 141> TextZiele;

inline const QString UebersetzungsDateiname = QStringLiteral("skizzomat_translation.ini");
inline const QString UebersetzungsAbschnitt = QStringLiteral("skizzomat_translation");

// The current text of a target: the designed one until a translation replaced it. Empty for a
// name that is no target.
QString Oberflaechentext(const char *ziel);

// The value of `key` in the translation section, or `current` without leading and trailing
// blanks and control characters when the key is missing.
QString UebersetzungLesen(const IniDatei &ini, const QString &key, const QString &current);

// Replaces every target's current text by its translation (framed where it is a group box).
void UebersetzungAnwenden(const IniDatei &ini);

// Reads the translation file in `exeDir` and applies it. False, with no text changed, when
// there is no such regular file or it cannot be read.
bool UebersetzungEinlesen(const QString &exeDir);

// Back to the designed texts.
void OberflaechentexteZuruecksetzen();

// A file-type filter in its written form, descriptions and patterns separated by vertical
// bars ("PNG (*.png)|*.png|…"), as name filters of a file dialog ("PNG (*.png)").
QStringList DateiFilter(const QString &text);
