#include "toolwindow/menutabelle.h"

#include <cstring>

namespace {
constexpr MenuEintrag trenner{MenuEintrag::Trenner, nullptr, nullptr, nullptr, nullptr};
constexpr MenuEintrag ende{MenuEintrag::UntermenueEnde, nullptr, nullptr, nullptr, nullptr};
constexpr MenuEintrag befehl(const char *name, const char *caption, const char *shortcut, const char *button)
{
    return {MenuEintrag::Befehl, name, caption, shortcut, button};
}
constexpr MenuEintrag untermenue(const char *name, const char *caption)
{
    return {MenuEintrag::UntermenueAnfang, name, caption, nullptr, nullptr};
}
} // namespace

// Ctrl+Z opens the zoom view here; undo is Ctrl+Backspace. "Ctrl++" is the plus of the main
// keyboard, "Ctrl+/" with the keypad flag the divide key of the numeric keypad (both bound by
// the tool window, which knows the keypad).
const std::array<MenuEintrag, 51> PopupMenuEintraege{{
    befehl("StartFertig1", nullptr, "F9", nullptr),
    trenner,
    untermenue("Strichdicke1", "Strichdicke"),
    befehl("Dicke1", "&1", "Ctrl+1", "Dicke1Btn"),
    befehl("Dicke2", "&2", "Ctrl+2", "Dicke2Btn"),
    befehl("Dicke3", "&3", "Ctrl+3", "Dicke3Btn"),
    befehl("Dicke4", "&4", "Ctrl+4", "Dicke4Btn"),
    ende,
    untermenue("Farbe1", "Farbe"),
    befehl("MarkCol1", "Transparentes rot", "Alt+1", "MarkCol1Btn"),
    befehl("MarkCol2", "Transparentes gelb", "Alt+2", "MarkCol2Btn"),
    befehl("MarkCol3", "Transparentes grün", "Alt+3", "MarkCol3Btn"),
    befehl("MarkCol4", "Transparentes blau", "Alt+4", "MarkCol4Btn"),
    trenner,
    befehl("DeckCol1", "Deckendes rot", "Shift+Alt+1", "DeckCol1Btn"),
    befehl("DeckCol2", "Deckendes gelb", "Shift+Alt+2", "DeckCol2Btn"),
    befehl("DeckCol3", "Deckendes grün", "Shift+Alt+3", "DeckCol3Btn"),
    befehl("DeckCol4", "Deckendes blau", "Shift+Alt+4", "DeckCol4Btn"),
    befehl("DeckCol5", "Deckendes weiß", "Shift+Alt+5", "DeckCol5Btn"),
    befehl("DeckCol6", "Deckendes schwarz", "Shift+Alt+6", "DeckCol6Btn"),
    ende,
    trenner,
    befehl("Stift1", "Stift", "Alt+S", "StiftBtn"),
    befehl("Radiergummi1", "Radiergummi", "Alt+G", "SchwammBtn"),
    befehl("Linie1", "Linie", "Alt+L", "LinieBtn"),
    befehl("Pfeil1", "Pfeil", "Alt+P", "PfeilBtn"),
    befehl("Rechteck1", "Rechteck", "Alt+R", "RechteckBtn"),
    befehl("RechteckGefuellt1", "Gefülltes Rechteck", "Shift+Alt+R", "RechteckGefuelltBtn"),
    befehl("Ellipse1", "Ellipse", "Alt+E", "EllipseBtn"),
    befehl("EllipseGefuellt1", "Gefüllte Ellipse", "Shift+Alt+E", "EllipseGefuelltBtn"),
    befehl("DoppelPfeil1", "Doppelpfeil", "Alt+D", "DoppelpfeilBtn"),
    befehl("Text1", "Text", "Alt+T", "TextBtn"),
    befehl("Haekchen1", "Häkchen", "Alt+H", "HaekchenBtn"),
    befehl("Kreuz1", "Kreuz", "Alt+K", "KreuzBtn"),
    befehl("Bereich1", "Bereich auswählen", "Alt+B", "BereichBtn"),
    befehl("Auswahlbereich1", "Auswahlbereich...", "F2", nullptr),
    befehl("Lupe1", "Lupe", "Alt+U", "LupeBtn"),
    befehl("Zoom1", "Zoomansicht", "Ctrl+Z", "ZoomInBtn"),
    trenner,
    befehl("Hineinzoomen1", "Hineinzoomen", "Ctrl++", nullptr),
    befehl("Herauszoomen1", "Herauszoomen", "Ctrl+/", "ZoomOutBtn"),
    trenner,
    befehl("Rckgngig1", "Rückgängig", "Ctrl+Backspace", "RueckgaengigBtn"),
    befehl("Alleslschen1", "Alles löschen", "Ctrl+Del", "ClearBtn"),
    befehl("LeeresBlatt1", "Leeres Blatt", "Ctrl+N", "BlattBtn"),
    befehl("Drucken1", "Drucken...", "Ctrl+P", "DruckBtn"),
    befehl("Speichern1", "Speichern...", "Ctrl+S", "SaveBtn"),
    befehl("AlsEMailversenden1", "Als E-Mail versenden...", "Ctrl+M", "EmailBtn"),
    befehl("IndieZwischenablage1", "In die Zwischenablage", "Ctrl+C", "ClipBtn"),
    trenner,
    befehl("Info1", "Info / Einstellungen / Hilfe", "F1", "InfoBtn"),
}};

const MenuEintrag *menuEintragFuerButton(const char *button)
{
    for (const auto &e : PopupMenuEintraege)
        if (e.Button && std::strcmp(e.Button, button) == 0)
            return &e;
    return nullptr;
}
