// The context menu, item by item in menu order: captions, shortcuts and the tool-bar button
// whose action (and so image, handler and checked state) an item shares.
#pragma once

#include <array>

struct MenuEintrag
{
    enum Art { Befehl, Trenner, UntermenueAnfang, UntermenueEnde };
    Art Typ;
    const char *Name;     // menu item name, e.g. "Stift1"
    const char *Caption;  // null for the Start/Fertig item, whose caption follows the button
    const char *Shortcut; // portable QKeySequence text, or null
    const char *Button;   // the tool-bar button sharing this item's action, or null
};

extern const std::array<MenuEintrag, 51> PopupMenuEintraege;

const MenuEintrag *menuEintragFuerButton(const char *button);
