// Any folder setting, with any program, documents and home folder of the forms the program
// passes (absolute and clean; the program folder with a trailing "/", the others without one). The expansion
// matches a plain model of the rules; it makes no ".." step that the setting or the folders do not have; and
// a "\" it leaves comes from the folders only.
#include "output/ordner.h"
#include "pruefen.h"

#include <QDir>
#include <QRegularExpression>

#include <cstddef>
#include <cstdint>

namespace {

// A leading "~" alone or before a separator is the home folder; placeholders found from the
// left; the text between them with "\" read as "/"; then every pair of slashes made one, left
// to right.
QString modell(const QString &einstellung, const QString &exeDir, const QString &docDir,
               const QString &heimDir)
{
    static const QRegularExpression platzhalter(QStringLiteral("%exedir%|%docdir%"));
    static const QRegularExpression tilde(QStringLiteral("^~([/\\\\]|$)"));
    QString s;
    qsizetype bis = 0;
    if (tilde.match(einstellung).hasMatch()) {
        s = heimDir;
        bis = 1;
    }
    for (const QRegularExpressionMatch &m : platzhalter.globalMatch(einstellung, bis)) {
        s += einstellung.mid(bis, m.capturedStart() - bis).replace(u'\\', u'/');
        s += m.captured() == u"%exedir%" ? exeDir : docDir;
        bis = m.capturedEnd();
    }
    s += einstellung.mid(bis).replace(u'\\', u'/');
    return s.replace(QStringLiteral("//"), QStringLiteral("/"));
}

bool hatRueckschritt(const QString &pfad)
{
    return pfad.split(u'/').contains(QStringLiteral(".."));
}

QString ordner(const QString &teil, bool mitSchraegstrich)
{
    QString p = QDir::cleanPath(QLatin1Char('/') + teil);
    if (p.endsWith(u'/'))
        p.chop(1);
    return mitSchraegstrich ? p + QLatin1Char('/') : p;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QStringList teile =
        QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)).split(u'\n');
    const QString einstellung = teile[0];
    const QString exeDir = teile.size() > 1 ? ordner(teile[1], true) : QStringLiteral("/opt/skizzomat/");
    const QString docDir =
        teile.size() > 2 ? ordner(teile[2], false) : QStringLiteral("/home/nutzer/Dokumente");
    const QString heimDir = teile.size() > 3 ? ordner(teile[3], false) : QStringLiteral("/home/nutzer");

    const QString erweitert = OrdnerErweitern(einstellung, exeDir, docDir, heimDir);
    PRUEFEN(erweitert == modell(einstellung, exeDir, docDir, heimDir),
            einstellung << exeDir << docDir << heimDir << erweitert);

    QString ohneOrdner = einstellung;
    ohneOrdner.replace(u'\\', u'/')
        .replace(QStringLiteral("%exedir%"), QStringLiteral("/"))
        .replace(QStringLiteral("%docdir%"), QStringLiteral("/"));
    if (hatRueckschritt(erweitert))
        PRUEFEN(hatRueckschritt(ohneOrdner) || hatRueckschritt(exeDir) || hatRueckschritt(docDir) ||
                    hatRueckschritt(heimDir),
                einstellung << erweitert);
    if (!exeDir.contains(u'\\') && !docDir.contains(u'\\') && !heimDir.contains(u'\\'))
        PRUEFEN(!erweitert.contains(u'\\'), einstellung << erweitert);
    return 0;
}
