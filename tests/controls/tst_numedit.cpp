#include "controls/numedit.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QTest>

namespace {

const QLocale Deutsch(QLocale::German, QLocale::Germany);
const QLocale Englisch(QLocale::English, QLocale::UnitedStates);

// A window with a field of the kind and a second control to move the focus to.
struct Fenster
{
    QWidget w;
    TEdit2 *feld;
    QLineEdit *andere = new QLineEdit(&w);

    explicit Fenster(bool dezimal)
        : feld(dezimal ? static_cast<TEdit2 *>(new TNumEditQ(&w)) : static_cast<TEdit2 *>(new TNumEditZ(&w)))
    {
        andere->move(0, 40);
        w.show();
        w.activateWindow();
        feld->setFocus();
    }
    TNumEditQ *q() const { return qobject_cast<TNumEditQ *>(feld); }
    TNumEditZ *z() const { return qobject_cast<TNumEditZ *>(feld); }
};

} // namespace

class TstNumEdit : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void anfang_data();
    void anfang();
    void tippen_data();
    void tippen();
    void einfuegenUngefiltert();
    void eingabemethode();
    void verlassen_data();
    void verlassen();
    void setInt_data();
    void setInt();
    void dialogMitEnter();
};

void TstNumEdit::cleanup()
{
    QLocale::setDefault(QLocale::c());
}

void TstNumEdit::anfang_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::newRow("German") << Deutsch << "0,0";
    QTest::newRow("English") << Englisch << "0.0";
}

void TstNumEdit::anfang()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QLocale::setDefault(locale);
    TNumEditQ q;
    QCOMPARE(q.text(), text);
    QCOMPARE(q.Nkst(), quint8(1));
    QCOMPARE(q.width(), 81);
    q.setNkst(2);
    QCOMPARE(q.text(), text);
    q.SetFloat(16);
    QCOMPARE(q.text(), QStringLiteral("16") + locale.decimalPoint() + QStringLiteral("00"));

    TNumEditZ z;
    QCOMPARE(z.text(), QStringLiteral("0"));
    QCOMPARE(z.MinValue(), 0);
    QCOMPARE(z.MaxValue(), 2147483647);
    QCOMPARE(z.width(), 81);
    z.setMinValue(25);
    QCOMPARE(z.text(), QStringLiteral("0")); // bounds do not touch the text
}

void TstNumEdit::tippen_data()
{
    QTest::addColumn<bool>("dezimal");
    QTest::addColumn<QString>("tasten");
    QTest::addColumn<QString>("text");
    QTest::newRow("decimal: letters, plus, blank go") << true << "a+ 1x,2.3-"
                                                      << "1,2.3-";
    QTest::newRow("whole: comma and point go too") << false << "a+ 1x,2.3-"
                                                   << "123-";
    QTest::newRow("decimal: position does not count") << true << "--1,2,3"
                                                      << "--1,2,3";
    QTest::newRow("whole: eleven digits") << false << "12345678901"
                                          << "12345678901";
    QTest::newRow("umlaut, euro, exponent mark") << true << QStringLiteral("\u00e41\u20ace3") << "13";
    QTest::newRow("backspace passes") << false << "123\b4"
                                      << "124";
}

// Characters typed on the keyboard; the field starts empty.
void TstNumEdit::tippen()
{
    QFETCH(bool, dezimal);
    QFETCH(QString, tasten);
    QFETCH(QString, text);
    Fenster f(dezimal);
    f.feld->clear();
    for (const QChar c : tasten) {
        if (c.unicode() < 128)
            QTest::keyClick(f.feld, c.toLatin1());
        else // a key of a national layout, which QTest has no key code for
            QTest::sendKeyEvent(QTest::Click, f.feld, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QCOMPARE(f.feld->text(), text);
}

// Shortcuts, Delete and pasted text are not typed characters.
void TstNumEdit::einfuegenUngefiltert()
{
    Fenster f(false);
    QVERIFY(QTest::qWaitForWindowActive(&f.w));
    f.feld->setText(QStringLiteral("12"));
    QTest::keyClick(f.feld, Qt::Key_Home);
    QTest::keyClick(f.feld, Qt::Key_Delete);
    QCOMPARE(f.feld->text(), QStringLiteral("2"));
    QTest::keyClick(f.feld, Qt::Key_A, Qt::ControlModifier);
    QApplication::clipboard()->setText(QStringLiteral(" 1e3"));
    QTest::keyClick(f.feld, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.feld->text(), QStringLiteral(" 1e3"));
    f.feld->insert(QStringLiteral(",x"));
    QCOMPARE(f.feld->text(), QStringLiteral(" 1e3,x"));
    QTest::keyClick(f.feld, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.feld->text(), QStringLiteral(" 1e3"));
    f.andere->setFocus();
    QCOMPARE(f.feld->text(), QStringLiteral("1000"));
}

// Text committed by an input method is typed text as well.
void TstNumEdit::eingabemethode()
{
    Fenster f(false);
    f.feld->clear();
    QInputMethodEvent e;
    e.setCommitString(QStringLiteral("1a,2-"));
    QApplication::sendEvent(f.feld, &e);
    QCOMPARE(f.feld->text(), QStringLiteral("12-"));
}

void TstNumEdit::verlassen_data()
{
    QTest::addColumn<bool>("dezimal");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<qint32>("min");
    QTest::addColumn<qint32>("max");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("danach");
    const qint32 Max = 2147483647;
    QTest::newRow("decimal: point, German") << true << Deutsch << 0 << 0 << "2.54"
                                            << "2,5";
    QTest::newRow("decimal: comma, English") << true << Englisch << 0 << 0 << "2,54"
                                             << "2.5";
    QTest::newRow("decimal: empty") << true << Deutsch << 0 << 0 << ""
                                    << "0,0";
    QTest::newRow("decimal: sign alone") << true << Englisch << 0 << 0 << "-"
                                         << "0.0";
    QTest::newRow("decimal: nothing after the comma") << true << Deutsch << 0 << 0 << "3,"
                                                      << "3,0";
    QTest::newRow("decimal: comma and point") << true << Deutsch << 0 << 0 << "1.234,5"
                                              << "0,0";
    QTest::newRow("decimal: eleven digits") << true << Deutsch << 0 << 0 << "12345678901"
                                            << "12345678901,0";
    QTest::newRow("whole: leading zeros") << false << Deutsch << 0 << Max << "007"
                                          << "7";
    QTest::newRow("whole: rounded") << false << Englisch << 0 << Max << "12.6"
                                    << "13";
    QTest::newRow("whole: half to even") << false << Deutsch << 0 << Max << "12.5"
                                         << "12";
    QTest::newRow("whole: exponent") << false << Deutsch << 0 << Max << "1e3"
                                     << "1000";
    QTest::newRow("whole: blanks") << false << Deutsch << 0 << Max << "1 000"
                                   << "1000";
    QTest::newRow("whole: comma") << false << Deutsch << 0 << Max << "12,5"
                                  << "0";
    QTest::newRow("whole: empty, at the lower bound") << false << Deutsch << 25 << 100 << ""
                                                      << "25";
    QTest::newRow("whole: rounded into range") << false << Deutsch << 25 << 100 << "99.5"
                                               << "100";
    QTest::newRow("whole: below") << false << Deutsch << 25 << 100 << "-3"
                                  << "25";
    QTest::newRow("whole: eleven digits") << false << Deutsch << 0 << Max << "12345678901"
                                          << "2147483647";
    QTest::newRow("whole: eleven digits, bounded") << false << Englisch << 25 << 100 << "12345678901"
                                                   << "100";
    QTest::newRow("whole: eleven digits, negative") << false << Deutsch << 0 << Max << "-12345678901"
                                                    << "0";
}

// Moving the focus to another control of the window writes the normal form of the value.
void TstNumEdit::verlassen()
{
    QFETCH(bool, dezimal);
    QFETCH(QLocale, locale);
    QFETCH(qint32, min);
    QFETCH(qint32, max);
    QFETCH(QString, text);
    QFETCH(QString, danach);
    QLocale::setDefault(locale);
    Fenster f(dezimal);
    QVERIFY(QTest::qWaitForWindowActive(&f.w));
    if (f.z()) {
        f.z()->setMinValue(min);
        f.z()->setMaxValue(max);
    }
    f.feld->setText(text);
    QCOMPARE(f.feld->text(), text);
    QTest::keyClick(f.feld, Qt::Key_Tab);
    QVERIFY(f.andere->hasFocus());
    QCOMPARE(f.feld->text(), danach);
}

void TstNumEdit::setInt_data()
{
    QTest::addColumn<qint32>("min");
    QTest::addColumn<qint32>("max");
    QTest::addColumn<qint32>("wert");
    QTest::addColumn<QString>("text");
    QTest::newRow("below") << 25 << 100 << 5 << "25";
    QTest::newRow("above") << 25 << 100 << 250 << "100";
    QTest::newRow("inside") << 25 << 100 << 60 << "60";
    QTest::newRow("negative, lower bound 0") << 0 << 2147483647 << -1 << "0";
    QTest::newRow("negative allowed") << -2147483647 - 1 << 0 << -2147483647 - 1 << "-2147483648";
    QTest::newRow("crossed bounds: the lower wins") << 10 << 5 << 7 << "10";
}

void TstNumEdit::setInt()
{
    QFETCH(qint32, min);
    QFETCH(qint32, max);
    QFETCH(qint32, wert);
    QFETCH(QString, text);
    TNumEditZ z;
    z.setMinValue(min);
    z.setMaxValue(max);
    z.SetInt(wert);
    QCOMPARE(z.text(), text);
}

// Confirming a dialog with Enter is not leaving a field: the dialog reads the text as typed,
// bounds not applied.
void TstNumEdit::dialogMitEnter()
{
    QLocale::setDefault(Deutsch);
    QDialog dialog;
    auto *q = new TNumEditQ(&dialog);
    auto *z = new TNumEditZ(&dialog);
    z->move(0, 30);
    z->setMinValue(1);
    z->setMaxValue(999);
    auto *ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->move(0, 60);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    q->setFocus();
    q->clear();
    QTest::keyClicks(q, QStringLiteral("2.54"));
    z->setFocus(); // leaving q
    QCOMPARE(q->text(), QStringLiteral("2,5"));
    z->setText(QStringLiteral("0"));
    QCOMPARE(z->GetInt(), 0);
    QTest::keyClicks(z, QStringLiteral("0005000"));
    QTest::keyClick(z, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(z->text(), QStringLiteral("00005000"));
    QCOMPARE(z->GetInt(), 5000);
}

QTEST_MAIN(TstNumEdit)
#include "tst_numedit.moc"
