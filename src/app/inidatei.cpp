#include "app/inidatei.h"

#include <QStringDecoder>

#include <array>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80…0x9F; its five unassigned codes there are
// passed through as the C1 controls of the same number, as Windows itself does.
constexpr std::array<char16_t, 32> cp1252Mitte{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString ausCp1252(const QByteArray &bytes)
{
    QString s(bytes.size(), Qt::Uninitialized);
    QChar *ziel = s.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *ziel++ = QChar(b >= 0x80 && b < 0xA0 ? cp1252Mitte[b - 0x80] : char16_t(b));
    }
    return s;
}

QString dekodieren(QStringConverter::Encoding encoding, QByteArrayView bytes)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

// Qt's UTF-16 decoder passes a surrogate without its partner through; such a half is no
// character and becomes U+FFFD, as the UTF-8 decoder does with bytes it cannot read.
QString ohneHalbePaare(QString s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            ++i;
        else if (s[i].isSurrogate())
            s[i] = QChar::ReplacementCharacter;
    }
    return s;
}

bool leer(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QStringView ohneLeerzeichen(QStringView s)
{
    qsizetype anfang = 0;
    qsizetype ende = s.size();
    while (anfang < ende && leer(s[anfang]))
        ++anfang;
    while (ende > anfang && leer(s[ende - 1]))
        --ende;
    return s.sliced(anfang, ende - anfang);
}

QStringView ohneAnfuehrungszeichen(QStringView s)
{
    if (s.size() >= 2 && s.front() == s.back() &&
        (s.front() == QLatin1Char('"') || s.front() == QLatin1Char('\'')))
        return s.sliced(1, s.size() - 2);
    return s;
}

QStringView gekuerzt(QStringView s)
{
    if (s.size() <= IniDatei::MaxWertLaenge)
        return s;
    // Half a surrogate pair is no character: it goes with the part that is cut off.
    qsizetype n = IniDatei::MaxWertLaenge;
    if (s[n - 1].isHighSurrogate())
        --n;
    return s.first(n);
}

} // namespace

QString IniTextDekodieren(const QByteArray &bytes)
{
    const QByteArrayView b(bytes);
    if (b.startsWith("\xEF\xBB\xBF"))
        return dekodieren(QStringConverter::Utf8, b.sliced(3));
    if (b.startsWith("\xFF\xFE"))
        return ohneHalbePaare(dekodieren(QStringConverter::Utf16LE, b.sliced(2)));
    if (b.startsWith("\xFE\xFF"))
        return ohneHalbePaare(dekodieren(QStringConverter::Utf16BE, b.sliced(2)));
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(b);
    if (!utf8.hasError())
        return text;
    return ausCp1252(bytes);
}

IniDatei::IniDatei(QStringView text)
{
    QHash<QString, QString> *abschnitt = nullptr;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype ende = pos;
        while (ende < text.size() && text[ende] != QLatin1Char('\n') && text[ende] != QLatin1Char('\r'))
            ++ende;
        const QStringView zeile = ohneLeerzeichen(text.sliced(pos, ende - pos));
        pos = ende + 1;

        if (zeile.startsWith(QLatin1Char('['))) {
            const qsizetype zu = zeile.indexOf(QLatin1Char(']'));
            // A header without its closing bracket opens no section.
            abschnitt =
                zu < 0 ? nullptr
                       : &m_abschnitte[ohneLeerzeichen(zeile.sliced(1, zu - 1)).toString().toCaseFolded()];
            continue;
        }
        const qsizetype gleich = zeile.indexOf(QLatin1Char('='));
        if (!abschnitt || gleich <= 0)
            continue;
        const QString key = ohneLeerzeichen(zeile.first(gleich)).toString().toCaseFolded();
        if (key.isEmpty() || abschnitt->contains(key))
            continue;
        abschnitt->insert(
            key, gekuerzt(ohneAnfuehrungszeichen(ohneLeerzeichen(zeile.sliced(gleich + 1)))).toString());
    }
}

std::optional<QString> IniDatei::wert(const QString &section, const QString &key) const
{
    const auto abschnitt = m_abschnitte.constFind(section.toCaseFolded());
    if (abschnitt == m_abschnitte.cend())
        return std::nullopt;
    const auto w = abschnitt->constFind(key.toCaseFolded());
    if (w == abschnitt->cend())
        return std::nullopt;
    return *w;
}
