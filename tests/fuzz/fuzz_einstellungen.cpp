// Any bytes as the settings file. What is read keeps to the limits the windows rely on (tool
// buttons of 1 to 1000 pixels, a window position within the X11 protocol's coordinates, finite
// print measures of at most a kilometre), and what is read, written back, reads back the same.
#include "app/einstellungen.h"
#include "pruefen.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

struct Gelesen
{
    Settings cfg;
    std::int32_t modus = 1;
    DruckWerte druck;
    QPoint pos{100, 200};
};

bool gleich(const Gelesen &a, const Gelesen &b)
{
    const Settings &x = a.cfg;
    const Settings &y = b.cfg;
    return x.MauszeigerMode == y.MauszeigerMode && x.MonitorMode == y.MonitorMode &&
           x.StiftdickeMode == y.StiftdickeMode && x.FarbMode == y.FarbMode && x.AutoOpen == y.AutoOpen &&
           x.AutoClose == y.AutoClose && x.MausradZoom == y.MausradZoom &&
           x.AutoScreenshot == y.AutoScreenshot && x.WerkzeugGroesseX == y.WerkzeugGroesseX &&
           x.WerkzeugGroesseY == y.WerkzeugGroesseY && x.BlattLinienFrei == y.BlattLinienFrei &&
           x.BlattKariertFrei == y.BlattKariertFrei && x.BlattNotenlinienFrei == y.BlattNotenlinienFrei &&
           x.ScreenshotDir == y.ScreenshotDir && x.EmailDir == y.EmailDir && a.modus == b.modus &&
           a.druck == b.druck && a.pos == b.pos;
}

QString naechsteDatei()
{
    // A name of its own each time: the settings class keeps files it has read in a cache that
    // does not always notice a file rewritten within the same instant.
    static QTemporaryDir ordner;
    static int nr = 0;
    return ordner.filePath(QStringLiteral("Skizzomat-%1.conf").arg(nr++));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString datei = naechsteDatei();
    {
        QFile f(datei);
        PRUEFEN(f.open(QIODevice::WriteOnly) &&
                    f.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size),
                datei);
    }
    Gelesen g;
    EinstellungenLaden(datei, g.cfg, g.modus, g.druck, g.pos);
    QFile::remove(datei);

    PRUEFEN(g.cfg.WerkzeugGroesseX >= 1 && g.cfg.WerkzeugGroesseX <= MaxButtonGroesse,
            g.cfg.WerkzeugGroesseX);
    PRUEFEN(g.cfg.WerkzeugGroesseY >= 1 && g.cfg.WerkzeugGroesseY <= MaxButtonGroesse,
            g.cfg.WerkzeugGroesseY);
    PRUEFEN(std::abs(g.pos.x()) <= 32767 && std::abs(g.pos.y()) <= 32767, g.pos);
    for (const double d : {g.druck.LiRand, g.druck.ObRand, g.druck.Breite, g.druck.Hoehe})
        PRUEFEN(std::isfinite(d) && std::abs(d) <= 100000.0, d);

    ToolState t;
    t.Modus = g.modus;
    const QString zurueck = naechsteDatei();
    PRUEFEN(EinstellungenSpeichern(zurueck, g.cfg, t, g.druck, g.pos), zurueck);
    Gelesen wieder;
    EinstellungenLaden(zurueck, wieder.cfg, wieder.modus, wieder.druck, wieder.pos);
    QFile::remove(zurueck);
    PRUEFEN(gleich(g, wieder), g.cfg.ScreenshotDir << wieder.cfg.ScreenshotDir << g.cfg.EmailDir
                                                   << wieder.cfg.EmailDir << g.druck.LiRand
                                                   << wieder.druck.LiRand);
    return 0;
}
