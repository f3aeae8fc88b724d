// Any text in a numeric field. A text is read exactly when it follows the number syntax, and then
// as the C library reads it (the nearest double, the largest finite value beyond the range, 0
// below it); a value is never infinite or NaN; whole numbers stay within 32 bits and plain
// integers read as themselves; and a value written with n decimals reads back within half a
// unit of the last decimal, in German and in the C locale.
#include "controls/zahlen.h"
#include "pruefen.h"

#include <QRegularExpression>

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

bool folgtSyntax(const QString &text)
{
    static const QRegularExpression syntax(
        QStringLiteral("\\A *[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]*)(?:[eE][+-]?[0-9]+)?\\z"));
    return syntax.match(text).hasMatch();
}

// The text's value as the C library reads it; a bare point, which it does not read, is zero.
double nachStrtod(const QString &text)
{
    const QByteArray b = text.trimmed().toLatin1();
    char *ende = nullptr;
    const double d = std::strtod(b.constData(), &ende);
    if (ende == b.constData())
        return b.startsWith('-') ? -0.0 : 0.0;
    return d;
}

void pruefeAusgabe(long double x, int nkst, const QLocale &locale)
{
    const QString text = dezimalText(x, nkst, locale);
    const QString trenner = locale.decimalPoint();
    const qsizetype t = text.indexOf(trenner);
    PRUEFEN(nkst == 0 ? t < 0 : t >= 0 && text.size() - t - trenner.size() == nkst, text << nkst);
    const long double zurueck = dezimalLesen(text, locale);
    // 18 significant digits are kept before rounding to the decimals.
    const long double grenze = 0.5L * std::pow(10.0L, -nkst) + std::fabs(x) * 1e-17L;
    PRUEFEN(std::fabs(zurueck - x) <= grenze, text << double(x) << nkst);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int nkst = data[0] % 8;
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const std::optional<long double> lang = zahlLesen(text);
    const std::optional<double> kurz = zahlLesenDouble(text);
    PRUEFEN(lang.has_value() == folgtSyntax(text), text);
    PRUEFEN(kurz.has_value() == lang.has_value(), text);
    if (kurz) {
        PRUEFEN(std::isfinite(*lang) && std::isfinite(*kurz), text);
        const double c = nachStrtod(text);
        if (std::isinf(c))
            PRUEFEN(*kurz == std::copysign(DBL_MAX, c), text << *kurz);
        else if (c != 0 && std::fabs(c) < DBL_MIN)
            PRUEFEN(*kurz == 0 || *kurz == c, text << *kurz << c); // below the normal range
        else
            PRUEFEN(*kurz == c && std::signbit(*kurz) == std::signbit(c), text << *kurz << c);
    }

    // The decimal field reads "," as the point.
    if (!text.contains(u','))
        PRUEFEN(dezimalLesen(QString(text).replace(u'.', u','), QLocale::c()) == lang.value_or(0), text);

    const qint32 ganz = ganzzahlLesen(text);
    static const QRegularExpression ganzeZahl(QStringLiteral("\\A *-?[0-9]{1,9}\\z"));
    if (ganzeZahl.match(text).hasMatch())
        PRUEFEN(ganz == text.trimmed().toInt(), text << ganz);
    PRUEFEN(ganzzahlLesen(ganzzahlText(ganz)) == ganz, ganz);
    for (const QChar c : zeichenGefiltert(text, Zahlenfeld::Ganzzahl))
        PRUEFEN(zeichenErlaubt(c, Zahlenfeld::Ganzzahl) && zeichenErlaubt(c, Zahlenfeld::Dezimal), text);

    if (lang && std::fabs(*lang) < 1e15L) {
        pruefeAusgabe(*lang, nkst, QLocale(QLocale::German, QLocale::Germany));
        pruefeAusgabe(*lang, nkst, QLocale::c());
    }
    return 0;
}
