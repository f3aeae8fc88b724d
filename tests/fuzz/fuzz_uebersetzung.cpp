// Any bytes as the translation file. Every text stays a whole text (valid UTF-16, at most the
// value limit, one line); a key the file lacks keeps its designed text; and the texts written
// back as a file of their own read back unchanged.
#include "app/inidatei.h"
#include "app/uebersetzung.h"
#include "pruefen.h"

#include <QHash>
#include <QSet>

#include <cstddef>
#include <cstdint>

namespace {

QHash<QByteArray, QString> alleTexte()
{
    QHash<QByteArray, QString> t;
    for (const TextZiel &z : TextZiele)
        t.insert(z.Ziel, Oberflaechentext(z.Ziel));
    return t;
}

// The value as the file gave it: a group box caption has a blank added on each side.
QString wert(const TextZiel &z, const QString &text)
{
    return z.Gerahmt ? text.sliced(1, text.size() - 2) : text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const IniDatei ini = IniDatei::ausBytes(bytes);
    OberflaechentexteZuruecksetzen();
    UebersetzungAnwenden(ini);
    const QHash<QByteArray, QString> texte = alleTexte();

    QByteArray zurueck = "[" + UebersetzungsAbschnitt.toUtf8() + "]\n";
    QSet<QByteArray> geschrieben;
    for (const TextZiel &z : TextZiele) {
        const QString text = texte.value(z.Ziel);
        PRUEFEN(QStringView(text).isValidUtf16(), z.Schluessel);
        PRUEFEN(text.size() <= IniDatei::MaxWertLaenge + (z.Gerahmt ? 2 : 0), z.Schluessel << text.size());
        if (z.Gerahmt)
            PRUEFEN(text.startsWith(u' ') && text.endsWith(u' '), z.Schluessel);
        const std::optional<QString> gelesen =
            ini.wert(UebersetzungsAbschnitt, QString::fromLatin1(z.Schluessel));
        if (!gelesen) {
            PRUEFEN(wert(z, text) == getrimmt(QString::fromUtf8(z.Text)), z.Schluessel);
            continue;
        }
        PRUEFEN(wert(z, text) == *gelesen, z.Schluessel);
        PRUEFEN(!text.contains(u'\n') && !text.contains(u'\r'), z.Schluessel);
        // Quoted, so that blanks at the ends survive; only the outer pair of quotes is removed.
        if (!geschrieben.contains(z.Schluessel))
            zurueck += QByteArray(z.Schluessel) + "=\"" + gelesen->toUtf8() + "\"\n";
        geschrieben.insert(z.Schluessel);
    }

    OberflaechentexteZuruecksetzen();
    UebersetzungAnwenden(IniDatei::ausBytes(zurueck));
    const QHash<QByteArray, QString> wieder = alleTexte();
    for (const TextZiel &z : TextZiele)
        PRUEFEN(wieder.value(z.Ziel) == texte.value(z.Ziel),
                z.Schluessel << texte.value(z.Ziel) << wieder.value(z.Ziel));

    // The save dialog's filter: every entry ends in its patterns.
    for (const QString &f : DateiFilter(Oberflaechentext("SaveBMP.Filter")))
        PRUEFEN(f.endsWith(u')') && f.contains(u'('), f);
    return 0;
}
