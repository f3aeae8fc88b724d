// The global key as the settings name it ("Ctrl+Shift+F9", Qt's portable form), in the terms
// of the X server (a key symbol and modifier bits) and of the desktop portal's shortcut
// triggers ("CTRL+SHIFT+F9").
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

struct GlobaleTaste
{
    std::uint32_t keysym = 0;   // X key symbol, the unshifted one of the key
    std::uint16_t modifier = 0; // X modifier bits: Shift 1, Control 4, Mod1 (Alt) 8, Mod4 (Meta) 64
    QString ausloeser;          // the portal's trigger; empty where the key has no name there
};

// The key named by `text`: one key with or without modifiers. Nothing for an empty text, a
// sequence of several keys, a modifier alone, or a key the program cannot grab.
std::optional<GlobaleTaste> globaleTasteLesen(const QString &text);
