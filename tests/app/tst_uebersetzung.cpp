// The translation file: the INI reader's encodings and value rules, the texts it replaces,
// and files that are no translation at all.
#include "app/qtuebersetzung.h"
#include "app/uebersetzung.h"
#include "toolwindow/menutabelle.h"
#include "toolwindow/toolbarlayout.h"

#include <QElapsedTimer>
#include <QFile>
#include <QKeySequence>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <optional>

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

QByteArray utf16(const QString &s, bool bigEndian)
{
    QByteArray b = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar c : s) {
        const char hi = char(c.unicode() >> 8);
        const char lo = char(c.unicode() & 0xFF);
        b.append(bigEndian ? hi : lo).append(bigEndian ? lo : hi);
    }
    return b;
}

// Each target's text when the file is there but says nothing about it.
QString ohneWert(const TextZiel &z)
{
    const QString t = QString::fromUtf8(z.Text).trimmed();
    return z.Gerahmt ? QLatin1Char(' ') + t + QLatin1Char(' ') : t;
}

} // namespace

class TstUebersetzung : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void table();
    void decoding_data();
    void decoding();
    void valueRules_data();
    void valueRules();
    void fileInEachEncoding_data();
    void fileInEachEncoding();
    void emptyFileTrimsAndFrames();
    void noFileChangesNothing();
    void noTranslationInside_data();
    void noTranslationInside();
    void fileFilter_data();
    void fileFilter();
    void qtTexteDeutsch_data();
    void qtTexteDeutsch();

private:
    QTemporaryDir m_dir;
    QString exeDir() const { return m_dir.path() + QLatin1Char('/'); }
    bool dateiSchreiben(const QByteArray &bytes)
    {
        QFile f(exeDir() + UebersetzungsDateiname);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
    }
};

void TstUebersetzung::init()
{
    OberflaechentexteZuruecksetzen();
    QFile::remove(exeDir() + UebersetzungsDateiname);
}

void TstUebersetzung::table()
{
    QSet<QString> keys, ziele;
    for (const TextZiel &z : TextZiele) {
        keys << QString::fromLatin1(z.Schluessel);
        ziele << QString::fromLatin1(z.Ziel);
        QCOMPARE(Oberflaechentext(z.Ziel), QString::fromUtf8(z.Text));
        // The tool window's designed texts are those its menu and tool bar are built with.
        if (const ToolBarButton *b = toolBarButton(z.Ziel))
            QCOMPARE(QString::fromUtf8(z.Text), QString::fromUtf8(b->Hint));
        for (const MenuEintrag &e : PopupMenuEintraege)
            if (e.Name && std::strcmp(e.Name, z.Ziel) == 0)
                QCOMPARE(QString::fromUtf8(z.Text), QString::fromUtf8(e.Caption));
    }
    QCOMPARE(keys.size(), 107);
    QCOMPARE(ziele.size(), int(TextZiele.size()));
}

void TstUebersetzung::decoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString umlaute = QStringLiteral("Größe € ü 😀");
    QTest::newRow("UTF-8") << umlaute.toUtf8() << umlaute;
    QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + umlaute.toUtf8() << umlaute;
    QTest::newRow("UTF-16 LE") << utf16(umlaute, false) << umlaute;
    QTest::newRow("UTF-16 BE") << utf16(umlaute, true) << umlaute;
    QTest::newRow("Windows-1252") << QByteArray("Gr\xF6\xDF"
                                                "e \x80 \x84x\x93 \x81")
                                  << QStringLiteral("Größe € „x“ \u0081");
    QTest::newRow("not quite UTF-8") << QByteArray("\xC3\xA4 \xC3") << QStringLiteral("Ã¤ Ã");
    QTest::newRow("UTF-16 with a lone byte at the end")
        << utf16(QStringLiteral("ab"), false) + 'c' << QStringLiteral("ab\uFFFD");
    // Halves of surrogate pairs are no characters; a whole pair stays.
    QTest::newRow("UTF-16 BE with a lone low surrogate")
        << QByteArray("\xFE\xFF\x00\x61\xDF\x00\x00\x62", 8) << QStringLiteral("a\uFFFDb");
    QTest::newRow("UTF-16 LE with a high surrogate before a letter and at the end")
        << QByteArray("\xFF\xFE\x3D\xD8\x61\x00\x3D\xD8\x00\xDE\x3D\xD8", 12)
        << QStringLiteral("\uFFFDa😀\uFFFD");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TstUebersetzung::decoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(IniTextDekodieren(bytes), text);
}

void TstUebersetzung::valueRules_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QString>("key");
    QTest::addColumn<std::optional<QString>>("wert");
    const QString s = QStringLiteral("[skizzomat_translation]\n");
    const auto w = [](const QString &v) { return std::optional<QString>(v); };
    const std::optional<QString> keiner;

    QTest::newRow("blanks around key and value") << s + " \t a b \t=  x y\t \n"
                                                 << "a b" << w("x y");
    QTest::newRow("to the end of the line") << s + "a=x ; y = z\r\nb=c"
                                            << "a" << w("x ; y = z");
    QTest::newRow("old Mac line ends") << s + "a=1\rb=2\r"
                                       << "b" << w("2");
    QTest::newRow("one pair of quotes") << s + "a=\"\"x\"\""
                                        << "a" << w("\"x\"");
    QTest::newRow("quotes keep the blanks") << s + "a= \" x \" "
                                            << "a" << w(" x ");
    QTest::newRow("single quotes") << s + "a='x'"
                                   << "a" << w("x");
    QTest::newRow("unmatched quotes stay") << s + "a=\"x'"
                                           << "a" << w("\"x'");
    QTest::newRow("a lone quote stays") << s + "a=\""
                                        << "a" << w("\"");
    QTest::newRow("empty value") << s + "a="
                                 << "a" << w("");
    QTest::newRow("key and section in any case") << "[Skizzomat_TRANSLATION]\nBTN_Stift=x"
                                                 << "btn_stift" << w("x");
    QTest::newRow("blanks in the header") << "[ skizzomat_translation ]\na=x"
                                          << "a" << w("x");
    QTest::newRow("first of two") << s + "a=1\na=2\n" + s + "a=3"
                                  << "a" << w("1");
    QTest::newRow("section met again") << s + "a=1\n[x]\nb=0\n" + s + "b=2"
                                       << "b" << w("2");
    QTest::newRow("other section") << "[andere]\na=x\n"
                                   << "a" << keiner;
    QTest::newRow("before any section") << "a=x\n" + s << "a" << keiner;
    QTest::newRow("after the section") << s + "[andere]\na=x\n"
                                       << "a" << keiner;
    QTest::newRow("header without bracket") << s + "[andere\na=x\n"
                                            << "a" << keiner;
    QTest::newRow("line without equals sign") << s + "a\n"
                                              << "a" << keiner;
    QTest::newRow("no key") << s + "=x\n"
                            << "" << keiner;
    QTest::newRow("cut after 2047") << s + "a=" + QString(3000, QLatin1Char('x')) << "a"
                                    << w(QString(2047, QLatin1Char('x')));
    QTest::newRow("quotes removed before cutting") << s + "a=\"" + QString(2047, QLatin1Char('x')) + "\""
                                                   << "a" << w(QString(2047, QLatin1Char('x')));
    QTest::newRow("no half character at the cut") << s + "a=" + QString(2046, QLatin1Char('x')) + "😀😀"
                                                  << "a" << w(QString(2046, QLatin1Char('x')));
}

void TstUebersetzung::valueRules()
{
    QFETCH(QString, ini);
    QFETCH(QString, key);
    QFETCH(std::optional<QString>, wert);
    QCOMPARE(IniDatei(ini).wert(UebersetzungsAbschnitt, key), wert);
}

void TstUebersetzung::fileInEachEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QString text =
        QStringLiteral("; Übersetzung\r\n[andere]\r\nbtn_stift=falsch\r\n"
                       "[skizzomat_translation]\r\nbtn_stift = Stylo à bille\r\n"
                       "btn_groesse=\"  Épaisseur \"\r\nbtn_start=Go\r\nbtn_starthint=Geler l'écran\r\n"
                       "einstellungen_buttongroesse=Taille\r\ndruck_seitenverhaeltnis=\r\n"
                       "unbekannt=x\r\n[danach]\r\nbtn_lupe=falsch\r\n");
    QTest::newRow("UTF-8") << text.toUtf8();
    QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + text.toUtf8();
    QTest::newRow("UTF-16 LE") << utf16(text, false);
    QTest::newRow("UTF-16 BE") << utf16(text, true);
    QTest::newRow("Windows-1252") << text.toLatin1();
}

void TstUebersetzung::fileInEachEncoding()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(dateiSchreiben(bytes));
    QVERIFY(UebersetzungEinlesen(exeDir()));

    // One key, both targets: the menu item and the button's hint.
    QCOMPARE(Oberflaechentext("Stift1"), QStringLiteral("Stylo à bille"));
    QCOMPARE(Oberflaechentext("StiftBtn"), QStringLiteral("Stylo à bille"));
    QCOMPARE(Oberflaechentext("Strichdicke1"), QStringLiteral("  Épaisseur "));
    QCOMPARE(Oberflaechentext("StartCaptions0"), QStringLiteral("Go"));
    QCOMPARE(Oberflaechentext("StartCaptions1"), QStringLiteral("Fertig"));
    QCOMPARE(Oberflaechentext("StartHints0"), QStringLiteral("Geler l'écran"));
    QCOMPARE(Oberflaechentext("TEinstellungenForm.GroupBox6"), QStringLiteral(" Taille "));
    QCOMPARE(Oberflaechentext("TDruckForm.SeitRatio"), QString());
    // Keys outside the section change nothing.
    QCOMPARE(Oberflaechentext("LupeBtn"), QStringLiteral("Lupe"));
}

void TstUebersetzung::emptyFileTrimsAndFrames()
{
    QVERIFY(dateiSchreiben(QByteArray()));
    QVERIFY(UebersetzungEinlesen(exeDir()));
    for (const TextZiel &z : TextZiele)
        QCOMPARE(Oberflaechentext(z.Ziel), ohneWert(z));
    QCOMPARE(Oberflaechentext("TEinstellungenForm.RadioMauszeiger1"), QStringLiteral("normal"));
    QCOMPARE(Oberflaechentext("TEinstellungenForm.GroupBox6"),
             QStringLiteral(" Größe der Werkzeugschaltflächen "));
    QCOMPARE(Oberflaechentext("LeeresBlatt1"), QStringLiteral("Leeres Blatt"));
    QCOMPARE(Oberflaechentext("BlattBtn"), QStringLiteral("Leeres Blatt"));
    // Read twice, nothing grows or shrinks further.
    QVERIFY(UebersetzungEinlesen(exeDir()));
    QCOMPARE(Oberflaechentext("TEinstellungenForm.GroupBox6"),
             QStringLiteral(" Größe der Werkzeugschaltflächen "));
}

void TstUebersetzung::noFileChangesNothing()
{
    QVERIFY(!UebersetzungEinlesen(exeDir()));
    QVERIFY(!UebersetzungEinlesen(QString()));
    // A folder of that name is no file either.
    QVERIFY(QDir(exeDir()).mkdir(UebersetzungsDateiname));
    QVERIFY(!UebersetzungEinlesen(exeDir()));
    QVERIFY(QDir(exeDir()).rmdir(UebersetzungsDateiname));
    for (const TextZiel &z : TextZiele)
        QCOMPARE(Oberflaechentext(z.Ziel), QString::fromUtf8(z.Text));
}

void TstUebersetzung::noTranslationInside_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QRandomGenerator g(12);
    for (const int n : {1, 2, 3, 17, 4096, 1 << 20}) {
        QByteArray b(n, Qt::Uninitialized);
        for (char &c : b)
            c = char(g.bounded(256));
        QTest::addRow("%d random bytes", n) << b;
        QTest::addRow("%d random bytes with a BOM", n) << "\xFF\xFE" + b;
    }
    QTest::newRow("one enormous line") << QByteArray(12 * 1024 * 1024, 'x');
    QTest::newRow("one enormous line of brackets") << QByteArray(12 * 1024 * 1024, '[');
    QTest::newRow("one enormous line of equals signs")
        << "[skizzomat_translation]\n" + QByteArray(12 * 1024 * 1024, '=');
    QTest::newRow("only line ends") << QByteArray(4 * 1024 * 1024, '\n');
    QTest::newRow("NULs") << QByteArray(1024, '\0');
}

void TstUebersetzung::noTranslationInside()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(dateiSchreiben(bytes));
    QElapsedTimer t;
    t.start();
    QVERIFY(UebersetzungEinlesen(exeDir()));
    QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
    for (const TextZiel &z : TextZiele)
        QCOMPARE(Oberflaechentext(z.Ziel), ohneWert(z));
}

void TstUebersetzung::fileFilter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("filter");
    QTest::newRow("designed") << Oberflaechentext("SaveBMP.Filter")
                              << QStringList{"PNG (*.png)", "JPEG (*.jpg)", "Bitmap (*.bmp)",
                                             "Alle Dateien (*.*)"};
    QTest::newRow("descriptions without patterns")
        << "PNG image|*.png|JPEG|*.jpg; *.jpeg" << QStringList{"PNG image (*.png)", "JPEG (*.jpg *.jpeg)"};
    QTest::newRow("a last description without pattern") << "PNG|*.png|Rest" << QStringList{"PNG (*.png)"};
    QTest::newRow("empty pattern and description") << "|*.bmp|PNG|" << QStringList{"(*.bmp)"};
    QTest::newRow("empty") << "" << QStringList();
}

void TstUebersetzung::fileFilter()
{
    QFETCH(QString, text);
    QFETCH(QStringList, filter);
    QCOMPARE(DateiFilter(text), filter);
}

void TstUebersetzung::qtTexteDeutsch_data()
{
    QTest::addColumn<QString>("kontext"); // empty: a shortcut as the context menu shows it
    QTest::addColumn<QString>("quelle");
    QTest::addColumn<QString>("deutsch");
    QTest::newRow("Ctrl+Del") << ""
                              << "Ctrl+Del"
                              << "Strg+Entf";
    QTest::newRow("Ctrl+Backspace") << ""
                                    << "Ctrl+Backspace"
                                    << "Strg+Rücktaste";
    QTest::newRow("Alt+Shift+R") << ""
                                 << "Alt+Shift+R"
                                 << "Alt+Umschalt+R";
    QTest::newRow("Ctrl+Num+/") << ""
                                << "Ctrl+Num+/"
                                << "Strg+Zahlenblock+/";
    QTest::newRow("file dialog column") << "QFileSystemModel"
                                        << "Size"
                                        << "Größe";
}

// Qt's own texts are German once its translation is loaded, whatever the system's language.
void TstUebersetzung::qtTexteDeutsch()
{
    static const bool geladen = QtUebersetzungLaden();
    QVERIFY(geladen);
    QFETCH(QString, kontext);
    QFETCH(QString, quelle);
    QFETCH(QString, deutsch);
    const QString text = kontext.isEmpty() ? QKeySequence(quelle).toString(QKeySequence::NativeText)
                                           : QCoreApplication::translate(kontext.toLatin1().constData(),
                                                                         quelle.toLatin1().constData());
    QCOMPARE(text, deutsch);
}

QTEST_GUILESS_MAIN(TstUebersetzung)
#include "tst_uebersetzung.moc"
