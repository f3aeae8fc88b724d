// The global key from the settings to the X server's terms and the portal's trigger: the key
// symbol is the unshifted one (a grab on the shifted symbol matches no key), the modifiers are
// the X bits, and a key the portal has no name for binds without a preferred trigger.
#include "toolwindow/globaletaste.h"

#include <QTest>

class TstGlobaleTaste : public QObject
{
    Q_OBJECT

private slots:
    void lesen_data();
    void lesen();
};

void TstGlobaleTaste::lesen_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("gueltig");
    QTest::addColumn<uint>("keysym");
    QTest::addColumn<uint>("modifier");
    QTest::addColumn<QString>("ausloeser");

    QTest::newRow("default") << "Ctrl+Shift+F9" << true << 0xffc6u << 5u << "CTRL+SHIFT+F9";
    QTest::newRow("letter with Alt and Meta") << "Meta+Alt+P" << true << uint('p') << 72u << "ALT+LOGO+p";
    QTest::newRow("digit") << "Ctrl+1" << true << uint('1') << 4u << "CTRL+1";
    QTest::newRow("key without modifiers") << " Print " << true << 0xff61u << 0u << "Print";
    QTest::newRow("page key") << "Shift+PgDown" << true << 0xff56u << 1u << "SHIFT+Next";
    QTest::newRow("last function key") << "F35" << true << 0xffe0u << 0u << "F35";
    QTest::newRow("punctuation, no portal name") << "Ctrl+," << true << uint(',') << 4u << "";
    QTest::newRow("empty") << "" << false << 0u << 0u << "";
    QTest::newRow("two keys") << "Ctrl+A, B" << false << 0u << 0u << "";
    QTest::newRow("unknown key") << "Ctrl+Gibtsnicht" << false << 0u << 0u << "";
    QTest::newRow("Latin-1 letter") << "Ctrl+Ä" << true << 0xe4u << 4u << "";
}

void TstGlobaleTaste::lesen()
{
    QFETCH(QString, text);
    QFETCH(bool, gueltig);
    QFETCH(uint, keysym);
    QFETCH(uint, modifier);
    QFETCH(QString, ausloeser);
    const std::optional<GlobaleTaste> t = globaleTasteLesen(text);
    QCOMPARE(t.has_value(), gueltig);
    if (!t)
        return;
    QCOMPARE(uint(t->keysym), keysym);
    QCOMPARE(uint(t->modifier), modifier);
    QCOMPARE(t->ausloeser, ausloeser);
}

QTEST_GUILESS_MAIN(TstGlobaleTaste)
#include "tst_globaletaste.moc"
