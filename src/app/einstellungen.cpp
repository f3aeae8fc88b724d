#include "app/einstellungen.h"

#include <QSettings>

#include <cmath>
#include <utility>
#include <vector>

QString EinstellungenDatei;

const std::array<const char *, 27> EinstellungsNamen{
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
};

namespace {

// Limits beyond the types, only where a value outside them cannot work at all: a window
// coordinate must fit the X11 protocol's 16 bits (the tool button's limit is in the header),
// and a print measure beyond a kilometre would overflow the printer's tenths of a millimetre.
constexpr std::int32_t MaxKoordinate = 32767;
constexpr double MaxDruckmass = 100000.0;

bool istTyp(const QVariant &v, QMetaType::Type t)
{
    return v.metaType().id() == t;
}

std::optional<std::int32_t> ganzzahlAusText(const QString &text)
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

// The values in the order in which they are written.
std::vector<std::pair<const char *, QVariant>> werte(const Settings &cfg, const ToolState &t,
                                                     const DruckWerte &druck, QPoint winPos)
{
    return {
        {"MauszeigerMode", cfg.MauszeigerMode},
        {"AutoOpen", cfg.AutoOpen},
        {"AutoClose", cfg.AutoClose},
        {"MausradZoom", cfg.MausradZoom},
        {"BlattLinienFrei", cfg.BlattLinienFrei},
        {"BlattKariertFrei", cfg.BlattKariertFrei},
        {"BlattNotenlinienFrei", cfg.BlattNotenlinienFrei},
        {"AutoScreenshot", cfg.AutoScreenshot},
        {"ScreenshotDir", cfg.ScreenshotDir},
        {"EmailDir", cfg.EmailDir},
        {"MonitorMode", cfg.MonitorMode},
        {"StiftdickeMode", cfg.StiftdickeMode},
        {"FarbMode", cfg.FarbMode},
        {"WerkzeugMode", t.Modus},
        {"BereichRect-Left", t.BereichRect.Left},
        {"BereichRect-Top", t.BereichRect.Top},
        {"BereichRect-Right", t.BereichRect.Right},
        {"BereichRect-Bottom", t.BereichRect.Bottom},
        {"WerkzeugGroesseX", cfg.WerkzeugGroesseX},
        {"WerkzeugGroesseY", cfg.WerkzeugGroesseY},
        {"Drucken-LiRand", druck.LiRand},
        {"Drucken-ObRand", druck.ObRand},
        {"Drucken-Breite", druck.Breite},
        {"Drucken-Hoehe", druck.Hoehe},
        {"Drucken-SeitRatio", druck.SeitRatio},
        {"WinPos-Left", winPos.x()},
        {"WinPos-Top", winPos.y()},
    };
}

void leseDezimal(const QSettings &s, const char *name, double &ziel)
{
    const std::optional<double> d = alsDezimalzahl(s.value(QLatin1String(name)));
    if (d && std::abs(*d) <= MaxDruckmass)
        ziel = *d;
}

} // namespace

QString StandardEinstellungenDatei()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quenderwerk"),
                     QStringLiteral("Skizzomat"))
        .fileName();
}

std::optional<std::int32_t> alsGanzzahl(const QVariant &v)
{
    // In the process that wrote them, values come back with their own type; read from the
    // file they are texts.
    if (istTyp(v, QMetaType::QString))
        return ganzzahlAusText(v.toString());
    if (istTyp(v, QMetaType::Int))
        return v.toInt();
    if (istTyp(v, QMetaType::LongLong) || istTyp(v, QMetaType::UInt)) {
        const qlonglong n = v.toLongLong();
        if (n >= INT32_MIN && n <= INT32_MAX)
            return std::int32_t(n);
    }
    return std::nullopt;
}

std::optional<bool> alsWahrheitswert(const QVariant &v)
{
    if (istTyp(v, QMetaType::Bool))
        return v.toBool();
    if (istTyp(v, QMetaType::QString)) {
        const QString s = v.toString().trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
    }
    if (const std::optional<std::int32_t> n = alsGanzzahl(v))
        return *n != 0;
    return std::nullopt;
}

std::optional<double> alsDezimalzahl(const QVariant &v)
{
    double d = 0;
    bool ok = false;
    if (istTyp(v, QMetaType::Double) || istTyp(v, QMetaType::Int)) {
        d = v.toDouble(&ok);
    } else if (istTyp(v, QMetaType::QString)) {
        // The C locale: a point as the decimal separator, no grouping.
        d = v.toString().trimmed().toDouble(&ok);
    }
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

std::optional<QString> alsText(const QVariant &v)
{
    // A value with an unquoted comma comes back as a list; it is not a text the program wrote.
    if (istTyp(v, QMetaType::QString))
        return v.toString();
    return std::nullopt;
}

void LeseInteger(const QSettings &s, const char *name, std::int32_t &ziel, std::int32_t vorgabe,
                 std::int32_t min, std::int32_t max)
{
    const std::optional<std::int32_t> n = alsGanzzahl(s.value(QLatin1String(name)));
    ziel = n && *n >= min && *n <= max ? *n : vorgabe;
}

void LeseBoolean(const QSettings &s, const char *name, bool &ziel, bool vorgabe)
{
    ziel = alsWahrheitswert(s.value(QLatin1String(name))).value_or(vorgabe);
}

void LeseString(const QSettings &s, const char *name, QString &ziel, const QString &vorgabe)
{
    ziel = alsText(s.value(QLatin1String(name))).value_or(vorgabe);
}

void EinstellungenLesen(const QSettings &s, Settings &cfg, std::int32_t &modus, DruckWerte &druck,
                        QPoint &winPos)
{
    // Out-of-range choices (a tool mode of 99, a colour code of 7) are taken as stored: the
    // selections skip what they do not know.
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
    LeseInteger(s, "StiftdickeMode", cfg.StiftdickeMode, cfg.StiftdickeMode);
    LeseInteger(s, "FarbMode", cfg.FarbMode, cfg.FarbMode);
    LeseInteger(s, "WerkzeugMode", modus, modus);
    LeseInteger(s, "WerkzeugGroesseX", cfg.WerkzeugGroesseX, cfg.WerkzeugGroesseX, 1, MaxButtonGroesse);
    LeseInteger(s, "WerkzeugGroesseY", cfg.WerkzeugGroesseY, cfg.WerkzeugGroesseY, 1, MaxButtonGroesse);
    leseDezimal(s, "Drucken-LiRand", druck.LiRand);
    leseDezimal(s, "Drucken-ObRand", druck.ObRand);
    leseDezimal(s, "Drucken-Breite", druck.Breite);
    leseDezimal(s, "Drucken-Hoehe", druck.Hoehe);
    LeseBoolean(s, "Drucken-SeitRatio", druck.SeitRatio, druck.SeitRatio);
    int x = winPos.x();
    int y = winPos.y();
    LeseInteger(s, "WinPos-Left", x, x, -MaxKoordinate, MaxKoordinate);
    LeseInteger(s, "WinPos-Top", y, y, -MaxKoordinate, MaxKoordinate);
    winPos = QPoint(x, y);
}

void EinstellungenSchreiben(QSettings &s, const Settings &cfg, const ToolState &t, const DruckWerte &druck,
                            QPoint winPos)
{
    for (const auto &[name, wert] : werte(cfg, t, druck, winPos))
        s.setValue(QLatin1String(name), wert);
}

void EinstellungenLaden(const QString &datei, Settings &cfg, std::int32_t &modus, DruckWerte &druck,
                        QPoint &winPos)
{
    if (datei.isEmpty())
        return;
    const QSettings s(datei, QSettings::IniFormat);
    EinstellungenLesen(s, cfg, modus, druck, winPos);
}

bool EinstellungenSpeichern(const QString &datei, const Settings &cfg, const ToolState &t,
                            const DruckWerte &druck, QPoint winPos)
{
    if (datei.isEmpty())
        return true;
    {
        // QSettings writes into a temporary file and renames it over the old one.
        QSettings s(datei, QSettings::IniFormat);
        EinstellungenSchreiben(s, cfg, t, druck, winPos);
        s.sync();
        if (s.status() == QSettings::NoError)
            return true;
    }
    // The status keeps the first problem only: a file that was broken when read hides whether
    // the writing worked. What is in the file now tells.
    const QSettings gelesen(datei, QSettings::IniFormat);
    if (gelesen.status() != QSettings::NoError)
        return false;
    for (const auto &[name, wert] : werte(cfg, t, druck, winPos))
        if (gelesen.value(QLatin1String(name)).toString() != wert.toString())
            return false;
    return true;
}
