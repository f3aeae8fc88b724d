#include "controls/zahlen.h"

#include <QTest>

#include <cmath>
#include <limits>

namespace {

const QLocale Deutsch(QLocale::German, QLocale::Germany);
const QLocale Englisch(QLocale::English, QLocale::UnitedStates);

constexpr qint32 IntMax = std::numeric_limits<qint32>::max();
constexpr qint32 IntMin = std::numeric_limits<qint32>::min();

} // namespace

class TstZahlen : public QObject
{
    Q_OBJECT

private slots:
    void lesen_data();
    void lesen();
    void schreiben_data();
    void schreiben();
    void fremderTrenner();
    void keineZahlZeigtNull();
};

void TstZahlen::lesen_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("dezimal");  // the decimal field's value
    QTest::addColumn<qint32>("gekuerzt"); // ... truncated, as its GetInt gives it
    QTest::addColumn<qint32>("ganzzahl"); // the whole-number field's value
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("point") << "2.5" << 2.5 << 2 << 2;
    QTest::newRow("comma") << "2,5" << 2.5 << 2 << 0;
    QTest::newRow("comma and point: two points") << "1.234,5" << 0.0 << 0 << 0;
    QTest::newRow("no digits before the point") << ".5" << 0.5 << 0 << 0;
    QTest::newRow("no digits after the point") << "5." << 5.0 << 5 << 5;
    QTest::newRow("point alone") << "." << 0.0 << 0 << 0;
    QTest::newRow("sign and point") << "-." << 0.0 << 0 << 0;
    QTest::newRow("sign alone") << "-" << 0.0 << 0 << 0;
    QTest::newRow("empty") << "" << 0.0 << 0 << 0;
    QTest::newRow("exponent") << "1e3" << 1000.0 << 1000 << 1000;
    QTest::newRow("negative exponent") << "-2.5E-1" << -0.25 << 0 << 0;
    QTest::newRow("exponent without digits") << "1e+" << 0.0 << 0 << 0;
    QTest::newRow("exponent alone") << "e5" << 0.0 << 0 << 0;
    QTest::newRow("blank inside") << "1 000" << 0.0 << 0 << 1000;
    QTest::newRow("comma in the whole-number field") << "12,5" << 12.5 << 12 << 0;
    QTest::newRow("leading blanks and plus") << "  +7" << 7.0 << 7 << 7;
    QTest::newRow("trailing blank") << "7 " << 0.0 << 0 << 7;
    QTest::newRow("letters") << "0x10" << 0.0 << 0 << 0;
    QTest::newRow("other digits") << QStringLiteral("\u0663") << 0.0 << 0 << 0;
    QTest::newRow("half to even, down") << "12.5" << 12.5 << 12 << 12;
    QTest::newRow("half to even, up") << "13.5" << 13.5 << 13 << 14;
    QTest::newRow("negative half") << "-2.5" << -2.5 << -2 << -2;
    QTest::newRow("above a half") << "99.5" << 99.5 << 99 << 100;
    QTest::newRow("eleven digits") << "12345678901" << 12345678901.0 << IntMax << IntMax;
    QTest::newRow("eleven digits, negative") << "-12345678901" << -12345678901.0 << IntMin << IntMin;
    QTest::newRow("just above the range, a half") << "2147483647.5" << 2147483647.5 << IntMax << IntMax;
    QTest::newRow("beyond double") << "1e400" << inf << IntMax << IntMax;
    QTest::newRow("beyond every type") << "-1e99999" << -inf << IntMin << IntMin;
    QTest::newRow("exponent beyond 64 bits") << "1e99999999999999999999999" << inf << IntMax << IntMax;
    QTest::newRow("too small") << "1e-99999" << 0.0 << 0 << 0;
    QTest::newRow("many zeros, then a digit")
        << QStringLiteral("0.%1").arg(QStringLiteral("0").repeated(7000)) + QStringLiteral("5e7001") << 5.0
        << 5 << 5;
}

void TstZahlen::lesen()
{
    QFETCH(QString, text);
    QFETCH(double, dezimal);
    QFETCH(qint32, gekuerzt);
    QFETCH(qint32, ganzzahl);
    for (const QLocale &l : {Deutsch, Englisch}) {
        const long double wert = dezimalLesen(text, l);
        // A long double beyond double's range shows here as an infinity of the same sign.
        QCOMPARE(double(wert), dezimal);
        QVERIFY(std::isfinite(wert));
        QCOMPARE(ganzzahlGekuerzt(wert), gekuerzt);
    }
    QCOMPARE(ganzzahlLesen(text), ganzzahl);
}

void TstZahlen::schreiben_data()
{
    QTest::addColumn<QString>("wert"); // read as the decimal field reads its text
    QTest::addColumn<int>("nkst");
    QTest::addColumn<QString>("deutsch");
    QTest::addColumn<QString>("englisch");
    QTest::newRow("whole") << "16" << 1 << "16,0"
                           << "16.0";
    QTest::newRow("half rounds up") << "2.25" << 1 << "2,3"
                                    << "2.3";
    QTest::newRow("negative half rounds away") << "-2.25" << 1 << "-2,3"
                                               << "-2.3";
    QTest::newRow("below a half") << "2.24" << 1 << "2,2"
                                  << "2.2";
    QTest::newRow("negative to zero keeps its sign") << "-0.04" << 1 << "-0,0"
                                                     << "-0.0";
    QTest::newRow("tiny negative") << "-1.5e-7" << 1 << "-0,0"
                                   << "-0.0";
    QTest::newRow("negative zero") << "-0" << 1 << "0,0"
                                   << "0.0";
    QTest::newRow("zero") << "0" << 1 << "0,0"
                          << "0.0";
    // Read in extended precision, 0.95 and 2.15 lie a hair above the half; the 18 digits keep it.
    QTest::newRow("0.95 carries") << "0.95" << 1 << "1,0"
                                  << "1.0";
    QTest::newRow("2.15") << "2.15" << 1 << "2,2"
                          << "2.2";
    QTest::newRow("carry into a new digit") << "9.96" << 1 << "10,0"
                                            << "10.0";
    QTest::newRow("first hidden digit is the first digit") << "0.05" << 1 << "0,1"
                                                           << "0.1";
    QTest::newRow("no decimals") << "2.5" << 0 << "3"
                                 << "3";
    QTest::newRow("no decimals, negative") << "-2.5" << 0 << "-3"
                                           << "-3";
    QTest::newRow("three decimals") << "1.0005" << 3 << "1,001"
                                    << "1.001";
    QTest::newRow("no grouping") << "1234567.89" << 2 << "1234567,89"
                                 << "1234567.89";
    QTest::newRow("18 significant digits") << "12345678901234567890" << 1 << "12345678901234567900,0"
                                           << "12345678901234567900.0";
    const QString gross = QLatin1Char('1') + QStringLiteral("0").repeated(4000);
    QTest::newRow("beyond double") << "1e4000" << 1 << gross + ",0" << gross + ".0";
}

void TstZahlen::schreiben()
{
    QFETCH(QString, wert);
    QFETCH(int, nkst);
    QFETCH(QString, deutsch);
    QFETCH(QString, englisch);
    const long double x = dezimalLesen(wert, Englisch);
    QCOMPARE(dezimalText(x, nkst, Deutsch), deutsch);
    QCOMPARE(dezimalText(x, nkst, Englisch), englisch);
}

// A locale whose separator is neither comma nor point reads back what the field wrote.
void TstZahlen::fremderTrenner()
{
    const QLocale arabisch(QLocale::Arabic, QLocale::Egypt);
    QCOMPARE_NE(arabisch.decimalPoint(), QStringLiteral("."));
    QCOMPARE_NE(arabisch.decimalPoint(), QStringLiteral(","));
    const QString text = dezimalText(2.5, 1, arabisch);
    QCOMPARE(text, QStringLiteral("2") + arabisch.decimalPoint() + QStringLiteral("5"));
    QCOMPARE(double(dezimalLesen(text, arabisch)), 2.5);
}

void TstZahlen::keineZahlZeigtNull()
{
    QCOMPARE(dezimalText(std::numeric_limits<long double>::quiet_NaN(), 1, Deutsch), QStringLiteral("0,0"));
    QCOMPARE(dezimalText(-std::numeric_limits<long double>::infinity(), 1, Deutsch), QStringLiteral("0,0"));
}

QTEST_GUILESS_MAIN(TstZahlen)
#include "tst_zahlen.moc"
