#include "output/ordner.h"

#include "app/data.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString Korrigieren = QStringLiteral("Korrigieren Sie ggf. den Ordner in den Einstellungen.");

} // namespace

QString OrdnerErweitern(const QString &einstellung, const QString &exeDir, const QString &docDir,
                        const QString &heimDir)
{
    static const QString exePlatz = QStringLiteral("%exedir%");
    static const QString docPlatz = QStringLiteral("%docdir%");
    QString s;
    s.reserve(einstellung.size() + exeDir.size() + docDir.size() + heimDir.size());
    qsizetype i = 0;
    // Typed as in a terminal, "~/Bilder" means the home folder's, not a folder named "~".
    if (einstellung == QLatin1String("~") || einstellung.startsWith(QLatin1String("~/")) ||
        einstellung.startsWith(QLatin1String("~\\"))) {
        s += heimDir;
        i = 1;
    }
    while (i < einstellung.size()) {
        if (QStringView(einstellung).mid(i).startsWith(exePlatz)) {
            s += exeDir;
            i += exePlatz.size();
        } else if (QStringView(einstellung).mid(i).startsWith(docPlatz)) {
            s += docDir;
            i += docPlatz.size();
        } else {
            const QChar c = einstellung.at(i++);
            s += c == QLatin1Char('\\') ? QLatin1Char('/') : c;
        }
    }
    QString ordner;
    ordner.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        ordner += s.at(i);
        if (s.at(i) == QLatin1Char('/') && i + 1 < s.size() && s.at(i + 1) == QLatin1Char('/'))
            ++i;
    }
    return ordner;
}

QString DokumentenOrdner()
{
    QString d = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    while (d.endsWith(QLatin1Char('/')))
        d.chop(1);
    return d;
}

QString ScreenshotOrdner()
{
    return OrdnerErweitern(Cfg.ScreenshotDir, Cfg.ExeDir, DokumentenOrdner(), QDir::homePath());
}

QString EmailOrdner()
{
    return OrdnerErweitern(Cfg.EmailDir, Cfg.ExeDir, DokumentenOrdner(), QDir::homePath());
}

bool OrdnerBereit(const QString &ordner)
{
    if (ordner.isEmpty())
        return false;
    return QFileInfo(ordner).isDir() || QDir().mkpath(ordner);
}

OrdnerPruefung ScreenshotOrdnerPruefen()
{
    OrdnerPruefung p;
    p.Ordner = ScreenshotOrdner();
    if (!OrdnerBereit(p.Ordner)) {
        p.Ok = false;
        p.Fehler = QStringLiteral("Screenshot-Ordner konnte nicht erstellt werden:") + Zeilenumbruch +
                   p.Ordner + Zeilenumbruch + Korrigieren;
    }
    return p;
}

QString ScreenshotVerzeichnisFehlerText(const QString &ordner)
{
    return QStringLiteral("Verzeichnis für automatische Screenshots konnte nicht erstellt werden:") +
           Zeilenumbruch + ordner + Zeilenumbruch + Korrigieren;
}

QString EmailVerzeichnisFehlerText(const QString &ordner)
{
    return QStringLiteral("Verzeichnis für E-Mail-Versand konnte nicht erstellt werden:") + Zeilenumbruch +
           ordner + Zeilenumbruch + Korrigieren;
}

QString DokumentFehlerText(const QString &adresse)
{
    return adresse + QStringLiteral(" kann nicht geöffnet werden. Sie benötigen einen Internet-Browser (z.B. "
                                    "Internet Explorer oder Firefox) um dieses Dokument anzusehen.");
}
