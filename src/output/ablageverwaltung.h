// Handing the clipboard to a running X11 clipboard manager (the owner of CLIPBOARD_MANAGER) as
// the program ends, the way clipboard managers expect it: the SAVE_TARGETS conversion, answered
// once the manager holds the data.
#pragma once

#include <cstdint>

struct xcb_connection_t;

// Asks the clipboard manager to save the clipboard we own and serves its requests until it
// says it has the data. A manager that shows no sign of fetching within a moment, pauses for
// too long, or takes longer than a generous limit in all, is given up: false, and the
// clipboard is still ours. True once the manager holds the data; the clipboard is then no
// longer ours, so that Qt does not ask the manager a second time as it closes.
bool AnAblageVerwaltungUebergeben(xcb_connection_t *c);

// The limits, in ms: for the first sign of fetching, for a pause between two steps of it, and
// for the whole transfer.
inline constexpr int VerwaltungErstesZeichenMs = 300;
inline constexpr int VerwaltungPauseMs = 2000;
inline constexpr int VerwaltungGesamtMs = 10000;
