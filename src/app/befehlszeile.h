// The command line. It is read before any display is opened, so that the help and the version
// answer without a graphical session.
#pragma once

#include <string>

struct Befehlszeile
{
    enum Aktion {
        Starten,    // no option of ours: the program starts
        Umschalten, // --toggle: Start or Fertig in the running program, or a start that freezes
        Hilfe,      // -h, --help
        Version,    // -v, --version
        Fehler,     // an option or argument the program does not know
    };
    Aktion aktion = Starten;
    std::string fehler; // for Fehler: what was wrong, one line
};

// Options the program hands to parts of itself that run as their own process; they are left
// to the code that handles them. Each is matched as a prefix, so "--name=value" passes too.
inline constexpr const char *InterneOptionen[] = {"--clipboard-keeper"};

// Reads argv[1] … argv[argc - 1]. The first option that decides the answer wins: help or
// version before anything after them, an unknown option before anything after it.
Befehlszeile BefehlszeileLesen(int argc, const char *const argv[]);

// The usage text, several lines, ending in a line break.
std::string Aufruf();

// Prints what `b` asks for (help and version on standard output, an error with the usage on
// standard error) and gives the exit status: 0, or 2 for a command line the program does not
// understand. Not for Starten.
int BefehlszeileBeantworten(const Befehlszeile &b);
