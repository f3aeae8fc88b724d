#include "controls/zahlen.h"

#include <QByteArray>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool istZiffer(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Beyond this decimal order no value of either type exists, so the digits need not be read.
constexpr qint64 GrenzOrdnung = 6000;
// Longer exponents are held at this size; no text has enough digits to make up for it.
constexpr qint64 GrenzExponent = 100'000'000'000'000'000;

template<typename T> std::optional<T> lesen(QStringView s)
{
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n && s[i] == u' ')
        ++i;
    bool negativ = false;
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        negativ = s[i++] == u'-';

    const qsizetype ganzAnfang = i;
    while (i < n && istZiffer(s[i]))
        ++i;
    const QStringView ganz = s.sliced(ganzAnfang, i - ganzAnfang);
    bool punkt = false;
    QStringView bruch;
    if (i < n && s[i] == u'.') {
        punkt = true;
        const qsizetype a = ++i;
        while (i < n && istZiffer(s[i]))
            ++i;
        bruch = s.sliced(a, i - a);
    }
    if (ganz.isEmpty() && !punkt)
        return std::nullopt;

    qint64 exponent = 0;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        bool expNegativ = false;
        if (i < n && (s[i] == u'+' || s[i] == u'-'))
            expNegativ = s[i++] == u'-';
        const qsizetype a = i;
        for (; i < n && istZiffer(s[i]); ++i)
            exponent = std::min(exponent * 10 + (s[i].unicode() - u'0'), GrenzExponent);
        if (i == a)
            return std::nullopt;
        if (expNegativ)
            exponent = -exponent;
    }
    if (i != n)
        return std::nullopt;

    const T null = negativ ? -T(0) : T(0);
    qsizetype ersteZiffer = 0; // the first digit other than 0, counted over ganz and bruch
    while (ersteZiffer < ganz.size() && ganz[ersteZiffer] == u'0')
        ++ersteZiffer;
    if (ersteZiffer == ganz.size()) {
        qsizetype j = 0;
        while (j < bruch.size() && bruch[j] == u'0')
            ++j;
        if (j == bruch.size())
            return null;
        ersteZiffer += j;
    }
    // The decimal order of the first digit other than 0.
    const qint64 ordnung = qint64(ganz.size()) - 1 - ersteZiffer + exponent;
    const T groesste = negativ ? -std::numeric_limits<T>::max() : std::numeric_limits<T>::max();
    if (ordnung > GrenzOrdnung)
        return groesste;
    if (ordnung < -GrenzOrdnung)
        return null;

    QByteArray c = ganz.isEmpty() ? QByteArray("0") : ganz.toLatin1();
    c += '.';
    c += bruch.isEmpty() ? QByteArray("0") : bruch.toLatin1();
    c += 'e' + QByteArray::number(exponent);
    T wert{};
    const auto r = std::from_chars(c.constData(), c.constData() + c.size(), wert);
    if (r.ec == std::errc::result_out_of_range)
        return ordnung > 0 ? groesste : null;
    return negativ ? -wert : wert;
}

// Adds 1 to a run of decimal digits.
void plusEins(QByteArray &ziffern)
{
    for (qsizetype i = ziffern.size() - 1; i >= 0; --i) {
        if (ziffern[i] != '9') {
            ++ziffern[i];
            return;
        }
        ziffern[i] = '0';
    }
    ziffern.prepend('1');
}

} // namespace

bool zeichenErlaubt(QChar c, Zahlenfeld art)
{
    const char16_t u = c.unicode();
    if (u < 32 || u == 127 || istZiffer(c) || u == u'-')
        return true;
    return art == Zahlenfeld::Dezimal && (u == u',' || u == u'.');
}

QString zeichenGefiltert(QStringView text, Zahlenfeld art)
{
    QString ergebnis;
    ergebnis.reserve(text.size());
    for (const QChar c : text)
        if (zeichenErlaubt(c, art))
            ergebnis += c;
    return ergebnis;
}

std::optional<long double> zahlLesen(QStringView text)
{
    return lesen<long double>(text);
}

std::optional<double> zahlLesenDouble(QStringView text)
{
    return lesen<double>(text);
}

long double dezimalLesen(const QString &text, const QLocale &locale)
{
    QString t = text;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    // The field writes the locale's separator, so it must read it back too.
    const QString trenner = locale.decimalPoint();
    if (!trenner.isEmpty())
        t.replace(trenner, QStringLiteral("."));
    return zahlLesen(t).value_or(0.0L);
}

qint32 ganzzahlLesen(const QString &text)
{
    const std::optional<double> wert = zahlLesenDouble(QString(text).remove(QLatin1Char(' ')));
    return wert ? ganzzahlGerundet(*wert) : 0;
}

qint32 ganzzahlGerundet(double x)
{
    if (std::isnan(x))
        return 0;
    return ganzzahlGekuerzt(std::nearbyint(x)); // the default rounding mode: a half to the even one
}

qint32 ganzzahlGekuerzt(long double x)
{
    if (std::isnan(x))
        return 0;
    if (x <= std::numeric_limits<qint32>::min())
        return std::numeric_limits<qint32>::min();
    if (x >= std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    return qint32(x);
}

QString dezimalText(long double x, int nkst, const QLocale &locale)
{
    nkst = std::max(nkst, 0);
    if (!std::isfinite(x))
        x = 0;
    const bool negativ = x < 0;

    // |x| as 18 significant digits d0 d1 ... d17 and the decimal order of d0.
    QByteArray ziffern;
    qint64 ordnung = 0;
    if (x != 0) {
        char puffer[64];
        const auto r =
            std::to_chars(puffer, puffer + sizeof puffer, std::fabs(x), std::chars_format::scientific, 17);
        const QByteArray s(puffer, r.ptr - puffer); // d.ddddddddddddddddde+NN
        const qsizetype e = s.indexOf('e');
        ziffern = s.left(e).replace(".", "");
        ordnung = s.mid(e + 1).toLongLong();
    }

    // The shown digits run from the order of d0 down to 10^-nkst: the first `anzahl` of them.
    const qint64 anzahl = ordnung + 1 + nkst;
    QByteArray gezeigt;
    if (ziffern.isEmpty() || anzahl < 0) {
        gezeigt = "0";
    } else if (anzahl == 0) {
        gezeigt = ziffern[0] >= '5' ? "1" : "0";
    } else if (anzahl < ziffern.size()) {
        gezeigt = ziffern.left(anzahl);
        if (ziffern[anzahl] >= '5')
            plusEins(gezeigt);
    } else {
        gezeigt = ziffern + QByteArray(anzahl - ziffern.size(), '0');
    }
    if (gezeigt.size() <= nkst)
        gezeigt.prepend(QByteArray(nkst + 1 - gezeigt.size(), '0'));

    QString text = QString::fromLatin1(gezeigt);
    if (nkst > 0)
        text.insert(text.size() - nkst, locale.decimalPoint());
    if (negativ)
        text.prepend(QLatin1Char('-'));
    return text;
}

QString ganzzahlText(qint32 v)
{
    return QString::number(v);
}
