#include "app/einstellungen.h"

#include "app/inidatei.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

QString EinstellungenDatei;

const std::array<const char *, 28> EinstellungsNamen{
    "MauszeigerMode",
    "AutoOpen",
    "AutoClose",
    "MausradZoom",
    "BlattLinienFrei",
    "BlattKariertFrei",
    "BlattNotenlinienFrei",
    "AutoScreenshot",
    "ScreenshotDir",
    "EmailDir",
    "MonitorMode",
    "StiftdickeMode",
    "FarbMode",
    "WerkzeugMode",
    "BereichRect-Left",
    "BereichRect-Top",
    "BereichRect-Right",
    "BereichRect-Bottom",
    "WerkzeugGroesseX",
    "WerkzeugGroesseY",
    "Drucken-LiRand",
    "Drucken-ObRand",
    "Drucken-Breite",
    "Drucken-Hoehe",
    "Drucken-SeitRatio",
    "WinPos-Left",
    "WinPos-Top",
    "GlobaleTaste",
};

namespace {

// Limits beyond the types, only where a value outside them cannot work at all: a window
// coordinate must fit the X11 protocol's 16 bits (the tool button's limit is in the header),
// and a print measure beyond a kilometre would overflow the printer's tenths of a millimetre.
constexpr std::int32_t MaxKoordinate = 32767;
constexpr double MaxDruckmass = 100000.0;

const QString Allgemein = QStringLiteral("General");

bool leer(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QStringView ohneLeerzeichen(QStringView s)
{
    while (!s.isEmpty() && leer(s.front()))
        s = s.sliced(1);
    while (!s.isEmpty() && leer(s.back()))
        s.chop(1);
    return s;
}

bool inAnfuehrungszeichen(QStringView s)
{
    return s.size() >= 2 && s.front() == s.back() &&
           (s.front() == QLatin1Char('"') || s.front() == QLatin1Char('\''));
}

// The lines of the text; "\r\n", "\n" and "\r" each end one, and a last break opens none.
QList<QStringView> zeilen(QStringView text)
{
    QList<QStringView> z;
    qsizetype anfang = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\n') && text[i] != QLatin1Char('\r'))
            continue;
        z.append(text.sliced(anfang, i - anfang));
        if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        anfang = i + 1;
    }
    if (anfang < text.size())
        z.append(text.sliced(anfang));
    return z;
}

// For a section header (a line that begins with "["), whether it opens [General].
bool oeffnetAllgemein(QStringView zeile)
{
    const qsizetype zu = zeile.indexOf(QLatin1Char(']'));
    return zu > 0 && ohneLeerzeichen(zeile.sliced(1, zu - 1)) == Allgemein;
}

// The name of a "Name=value" line, empty for any other line.
QStringView wertName(QStringView zeile)
{
    const qsizetype gleich = zeile.indexOf(QLatin1Char('='));
    return gleich > 0 ? ohneLeerzeichen(zeile.first(gleich)) : QStringView();
}

bool istEinstellung(QStringView name)
{
    return std::any_of(EinstellungsNamen.begin(), EinstellungsNamen.end(),
                       [name](const char *n) { return name == QLatin1String(n); });
}

// A value as a line holds it: quoted where the blanks around it or its own enclosing quotation
// marks would otherwise be lost. A line break cannot be part of a line and becomes a blank.
QString alsZeilenwert(QString wert)
{
    wert.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (!wert.isEmpty() && (leer(wert.front()) || leer(wert.back()) || inAnfuehrungszeichen(wert)))
        return QLatin1Char('"') + wert + QLatin1Char('"');
    return wert;
}

// The values in the order in which they are written, as the file holds them.
std::vector<std::pair<const char *, QString>> werte(const Settings &cfg, const ToolState &t,
                                                    const DruckWerte &druck, QPoint winPos)
{
    const auto zahl = [](auto v) { return QVariant(v).toString(); };
    return {
        {"MauszeigerMode", zahl(cfg.MauszeigerMode)},
        {"AutoOpen", zahl(cfg.AutoOpen)},
        {"AutoClose", zahl(cfg.AutoClose)},
        {"MausradZoom", zahl(cfg.MausradZoom)},
        {"BlattLinienFrei", zahl(cfg.BlattLinienFrei)},
        {"BlattKariertFrei", zahl(cfg.BlattKariertFrei)},
        {"BlattNotenlinienFrei", zahl(cfg.BlattNotenlinienFrei)},
        {"AutoScreenshot", zahl(cfg.AutoScreenshot)},
        {"ScreenshotDir", alsZeilenwert(cfg.ScreenshotDir)},
        {"EmailDir", alsZeilenwert(cfg.EmailDir)},
        {"MonitorMode", zahl(cfg.MonitorMode)},
        {"StiftdickeMode", zahl(cfg.StiftdickeMode)},
        {"FarbMode", zahl(cfg.FarbMode)},
        {"WerkzeugMode", zahl(t.Modus)},
        {"BereichRect-Left", zahl(t.BereichRect.Left)},
        {"BereichRect-Top", zahl(t.BereichRect.Top)},
        {"BereichRect-Right", zahl(t.BereichRect.Right)},
        {"BereichRect-Bottom", zahl(t.BereichRect.Bottom)},
        {"WerkzeugGroesseX", zahl(cfg.WerkzeugGroesseX)},
        {"WerkzeugGroesseY", zahl(cfg.WerkzeugGroesseY)},
        {"Drucken-LiRand", zahl(druck.LiRand)},
        {"Drucken-ObRand", zahl(druck.ObRand)},
        {"Drucken-Breite", zahl(druck.Breite)},
        {"Drucken-Hoehe", zahl(druck.Hoehe)},
        {"Drucken-SeitRatio", zahl(druck.SeitRatio)},
        {"WinPos-Left", zahl(winPos.x())},
        {"WinPos-Top", zahl(winPos.y())},
        {"GlobaleTaste", alsZeilenwert(cfg.GlobaleTaste)},
    };
}

bool istStiftdicke(std::int32_t n)
{
    return n >= 1 && n <= 4;
}

// 0 is a colour picked in the zoom view, 5 the old code of transparent blue.
bool istFarbcode(std::int32_t n)
{
    return n == 0 || n == 5 || colourCodeInfo(n);
}

bool istWerkzeug(std::int32_t n)
{
    return toolModeInfo(n) != nullptr;
}

bool istKoordinate(std::int32_t n)
{
    return n >= -MaxKoordinate && n <= MaxKoordinate;
}

bool istButtonGroesse(std::int32_t n)
{
    return n >= 1 && n <= MaxButtonGroesse;
}

void leseDezimal(const EinstellungsWerte &s, const char *name, double &ziel)
{
    const std::optional<QString> w = s.wert(name);
    const std::optional<double> d = w ? alsDezimalzahl(*w) : std::nullopt;
    if (d && std::abs(*d) <= MaxDruckmass)
        ziel = *d;
}

QByteArray dateiInhalt(const QString &datei)
{
    QFile f(datei);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

QString StandardEinstellungenDatei()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quenderwerk"),
                     QStringLiteral("Skizzomat"))
        .fileName();
}

std::optional<QString> EinstellungsWerte::wert(const char *name) const
{
    const auto w = Werte.constFind(QLatin1String(name));
    return w == Werte.cend() ? std::nullopt : std::optional(*w);
}

EinstellungsWerte EinstellungsWerteLesen(const QByteArray &datei)
{
    EinstellungsWerte w;
    const QString text = IniTextDekodieren(datei);
    bool allgemein = true;
    for (const QStringView roh : zeilen(text)) {
        const QStringView zeile = ohneLeerzeichen(roh);
        if (zeile.startsWith(QLatin1Char('['))) {
            allgemein = oeffnetAllgemein(zeile);
            continue;
        }
        const QStringView name = wertName(zeile);
        if (!allgemein || name.isEmpty())
            continue;
        QStringView wert = ohneLeerzeichen(zeile.sliced(zeile.indexOf(QLatin1Char('=')) + 1));
        if (inAnfuehrungszeichen(wert))
            wert = wert.sliced(1, wert.size() - 2);
        w.Werte.insert(name.toString(), wert.toString());
    }
    return w;
}

std::optional<std::int32_t> alsGanzzahl(const QString &text)
{
    const QString s = text.trimmed();
    qsizetype i = s.startsWith(QLatin1Char('-')) || s.startsWith(QLatin1Char('+')) ? 1 : 0;
    if (i == s.size())
        return std::nullopt;
    for (; i < s.size(); ++i)
        if (s[i] < QLatin1Char('0') || s[i] > QLatin1Char('9'))
            return std::nullopt;
    bool ok = false;
    const qlonglong n = s.toLongLong(&ok, 10);
    if (!ok || n < INT32_MIN || n > INT32_MAX)
        return std::nullopt;
    return std::int32_t(n);
}

std::optional<bool> alsWahrheitswert(const QString &text)
{
    const QString s = text.trimmed();
    if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    if (const std::optional<std::int32_t> n = alsGanzzahl(s))
        return *n != 0;
    return std::nullopt;
}

std::optional<double> alsDezimalzahl(const QString &text)
{
    // The C locale: a point as the decimal separator, no grouping.
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

void LeseInteger(const EinstellungsWerte &s, const char *name, std::int32_t &ziel, std::int32_t vorgabe,
                 bool (*gueltig)(std::int32_t))
{
    const std::optional<QString> w = s.wert(name);
    const std::optional<std::int32_t> n = w ? alsGanzzahl(*w) : std::nullopt;
    ziel = n && (!gueltig || gueltig(*n)) ? *n : vorgabe;
}

void LeseBoolean(const EinstellungsWerte &s, const char *name, bool &ziel, bool vorgabe)
{
    const std::optional<QString> w = s.wert(name);
    ziel = w ? alsWahrheitswert(*w).value_or(vorgabe) : vorgabe;
}

void LeseString(const EinstellungsWerte &s, const char *name, QString &ziel, const QString &vorgabe)
{
    ziel = s.wert(name).value_or(vorgabe);
}

void EinstellungenLesen(const EinstellungsWerte &s, Settings &cfg, std::int32_t &modus, DruckWerte &druck,
                        QPoint &winPos)
{
    // The monitor and pointer choices are taken as stored: the settings dialog shows one it
    // does not know as no choice.
    LeseInteger(s, "MauszeigerMode", cfg.MauszeigerMode, cfg.MauszeigerMode);
    LeseBoolean(s, "AutoOpen", cfg.AutoOpen, cfg.AutoOpen);
    LeseBoolean(s, "AutoClose", cfg.AutoClose, cfg.AutoClose);
    LeseBoolean(s, "MausradZoom", cfg.MausradZoom, cfg.MausradZoom);
    LeseInteger(s, "BlattLinienFrei", cfg.BlattLinienFrei, cfg.BlattLinienFrei);
    LeseInteger(s, "BlattKariertFrei", cfg.BlattKariertFrei, cfg.BlattKariertFrei);
    LeseInteger(s, "BlattNotenlinienFrei", cfg.BlattNotenlinienFrei, cfg.BlattNotenlinienFrei);
    LeseBoolean(s, "AutoScreenshot", cfg.AutoScreenshot, cfg.AutoScreenshot);
    LeseString(s, "ScreenshotDir", cfg.ScreenshotDir, cfg.ScreenshotDir);
    LeseString(s, "EmailDir", cfg.EmailDir, cfg.EmailDir);
    LeseInteger(s, "MonitorMode", cfg.MonitorMode, cfg.MonitorMode);
    LeseInteger(s, "StiftdickeMode", cfg.StiftdickeMode, cfg.StiftdickeMode, istStiftdicke);
    LeseInteger(s, "FarbMode", cfg.FarbMode, cfg.FarbMode, istFarbcode);
    LeseInteger(s, "WerkzeugMode", modus, modus, istWerkzeug);
    LeseInteger(s, "WerkzeugGroesseX", cfg.WerkzeugGroesseX, cfg.WerkzeugGroesseX, istButtonGroesse);
    LeseInteger(s, "WerkzeugGroesseY", cfg.WerkzeugGroesseY, cfg.WerkzeugGroesseY, istButtonGroesse);
    leseDezimal(s, "Drucken-LiRand", druck.LiRand);
    leseDezimal(s, "Drucken-ObRand", druck.ObRand);
    leseDezimal(s, "Drucken-Breite", druck.Breite);
    leseDezimal(s, "Drucken-Hoehe", druck.Hoehe);
    LeseBoolean(s, "Drucken-SeitRatio", druck.SeitRatio, druck.SeitRatio);
    int x = winPos.x();
    int y = winPos.y();
    LeseInteger(s, "WinPos-Left", x, x, istKoordinate);
    LeseInteger(s, "WinPos-Top", y, y, istKoordinate);
    winPos = QPoint(x, y);
    LeseString(s, "GlobaleTaste", cfg.GlobaleTaste, cfg.GlobaleTaste);
}

QByteArray EinstellungenSchreiben(const QByteArray &alt, const Settings &cfg, const ToolState &t,
                                  const DruckWerte &druck, QPoint winPos)
{
    // What the file holds beyond the program's values: the rest of [General] (blank lines
    // apart, so that nothing grows from run to run) and every other section as it is.
    QStringList allgemeinRest;
    QStringList andere;
    bool allgemein = true;
    const QString text = IniTextDekodieren(alt);
    for (const QStringView roh : zeilen(text)) {
        const QStringView zeile = ohneLeerzeichen(roh);
        if (zeile.startsWith(QLatin1Char('['))) {
            allgemein = oeffnetAllgemein(zeile);
            if (!allgemein)
                andere.append(roh.toString());
        } else if (!allgemein) {
            andere.append(roh.toString());
        } else if (!zeile.isEmpty() && !istEinstellung(wertName(zeile))) {
            allgemeinRest.append(roh.toString());
        }
    }

    QString neu = QLatin1Char('[') + Allgemein + QStringLiteral("]\n");
    for (const auto &[name, wert] : werte(cfg, t, druck, winPos))
        neu += QLatin1String(name) + QLatin1Char('=') + wert + QLatin1Char('\n');
    for (const QString &z : std::as_const(allgemeinRest))
        neu += z + QLatin1Char('\n');
    if (!andere.isEmpty())
        neu += QLatin1Char('\n') + andere.join(QLatin1Char('\n')) + QLatin1Char('\n');
    return neu.toUtf8();
}

void EinstellungenLaden(const QString &datei, Settings &cfg, std::int32_t &modus, DruckWerte &druck,
                        QPoint &winPos)
{
    if (datei.isEmpty())
        return;
    EinstellungenLesen(EinstellungsWerteLesen(dateiInhalt(datei)), cfg, modus, druck, winPos);
}

bool EinstellungenSpeichern(const QString &datei, const Settings &cfg, const ToolState &t,
                            const DruckWerte &druck, QPoint winPos)
{
    if (datei.isEmpty())
        return true;
    const QByteArray inhalt = EinstellungenSchreiben(dateiInhalt(datei), cfg, t, druck, winPos);
    // Written into a temporary file that is renamed over the old one.
    if (!QDir().mkpath(QFileInfo(datei).absolutePath()))
        return false;
    QSaveFile f(datei);
    return f.open(QIODevice::WriteOnly) && f.write(inhalt) == inhalt.size() && f.commit();
}
