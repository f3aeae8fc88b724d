// The settings store: the process-wide settings, the tool, the print values and the tool
// window's position, kept from one run to the next in the user's configuration file
// ($XDG_CONFIG_HOME/Quenderwerk/Skizzomat.conf). Read once at the first activation of the
// tool window, written once when it closes.
#pragma once

#include "app/data.h"

#include <QHash>
#include <QPoint>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The print dialog's five values, with its initial values, on their way between the store and
// the dialog's fields, which are their home during a run.
struct DruckWerte
{
    double LiRand = 2.5; // left margin from the paper's edge, cm
    double ObRand = 1.8; // top margin, cm
    double Breite = 16.0;
    double Hoehe = 17.0;
    bool SeitRatio = true; // height follows width in the picture's aspect ratio
    friend bool operator==(const DruckWerte &, const DruckWerte &) = default;
};

// The store's file. Empty: there is none, the windows run with the compiled-in defaults and
// nothing is written (so tests of the windows never touch the user's settings). The program
// sets it at start-up to StandardEinstellungenDatei().
extern QString EinstellungenDatei;
QString StandardEinstellungenDatei();

// The largest tool button, in either direction, that a window can have: the expanded tool
// window (20 button heights) must stay within the X11 protocol's 16-bit sizes. Stored sizes from
// 1 to this are taken as stored; others are not used.
constexpr std::int32_t MaxButtonGroesse = 1000;

// The names of the stored values, in the order in which they are written.
extern const std::array<const char *, 28> EinstellungsNamen;

// The settings file's values of the section [General] (and of lines before any section), by
// name, as the file holds them. A line is "Name=value": a value runs to the end of its line
// without the blanks around it and without one pair of enclosing quotation marks; a "\" is
// just a character, so folders written with backslashes read as they were written. Of a name
// given twice the last one counts.
struct EinstellungsWerte
{
    QHash<QString, QString> Werte;
    std::optional<QString> wert(const char *name) const;
};
EinstellungsWerte EinstellungsWerteLesen(const QByteArray &datei);

// A stored value as one of the store's types, or nothing when it is not one: text where a
// number belongs, an empty value, a number outside 32 bits, a fraction or an exponent in an
// integer, an infinite decimal. Booleans read "true"/"false" (in any case) and any integer
// (non-zero is true).
std::optional<std::int32_t> alsGanzzahl(const QString &text);
std::optional<bool> alsWahrheitswert(const QString &text);
std::optional<double> alsDezimalzahl(const QString &text);

// The read functions: `ziel` := the stored value when it exists and is of the type (and, for
// integers, one that `gueltig` accepts), else `vorgabe`.
void LeseInteger(const EinstellungsWerte &s, const char *name, std::int32_t &ziel, std::int32_t vorgabe,
                 bool (*gueltig)(std::int32_t) = nullptr);
void LeseBoolean(const EinstellungsWerte &s, const char *name, bool &ziel, bool vorgabe);
void LeseString(const EinstellungsWerte &s, const char *name, QString &ziel, const QString &vorgabe);

// Reads every value that is read at start from an open store into its destination, with the
// destination's current value as the default: a missing or unusable value leaves it as it is.
// `winPos` receives the stored window position as it is stored; the caller limits it.
// Thickness, colour and tool codes the program does not know are unusable values too: a start
// with none of them chosen would draw thin black lines.
void EinstellungenLesen(const EinstellungsWerte &s, Settings &cfg, std::int32_t &modus, DruckWerte &druck,
                        QPoint &winPos);

// The file `alt` with all 28 values written in their order under [General]; what else it holds
// (values and sections the program does not know) stays. Reads back as written.
QByteArray EinstellungenSchreiben(const QByteArray &alt, const Settings &cfg, const ToolState &t,
                                  const DruckWerte &druck, QPoint winPos);

// The same on the file `datei`; nothing happens when it is empty. A file that cannot be read
// is taken as empty.
void EinstellungenLaden(const QString &datei, Settings &cfg, std::int32_t &modus, DruckWerte &druck,
                        QPoint &winPos);
// False when the values could not be written into `datei`. The file is replaced as a whole,
// through a temporary file, so that it is never left half written.
bool EinstellungenSpeichern(const QString &datei, const Settings &cfg, const ToolState &t,
                            const DruckWerte &druck, QPoint winPos);
