#include "controls/bitbtn2.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>
#include <set>

namespace {

// System colours that differ from each other and from the caption colours.
const QRgb Hell = qRgb(250, 250, 250);
const QRgb Halbhell = qRgb(230, 230, 230);
const QRgb Dunkel = qRgb(100, 100, 100);
const QRgb Schatten = qRgb(20, 20, 20);
const QRgb Knopftext = qRgb(0, 0, 200);
const QRgb Gesicht = qRgb(200, 220, 240); // the face, set through Color

QRgb invertiert(QRgb c)
{
    return qRgb(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c));
}

QImage bild(QWidget *w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QFont scharf()
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

using Punkte = std::set<std::pair<int, int>>;

// The pixels of a colour inside the frame.
Punkte punkte(const QImage &b, QRgb farbe)
{
    Punkte p;
    for (int y = 2; y < b.height() - 2; ++y)
        for (int x = 2; x < b.width() - 2; ++x)
            if (b.pixel(x, y) == farbe)
                p.insert({x, y});
    return p;
}

Punkte verschoben(const Punkte &p, int d)
{
    Punkte v;
    for (const auto &[x, y] : p)
        v.insert({x + d, y + d});
    return v;
}

Punkte ohne(const Punkte &a, const Punkte &b)
{
    Punkte r;
    for (const auto &q : a)
        if (!b.count(q))
            r.insert(q);
    return r;
}

// A dialog like the program's: an edit, a check box, Default, Cancel and a third button.
class Fixture : public QDialog
{
public:
    Fixture()
    {
        edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("edit"));
        edit->setGeometry(10, 10, 200, 22);
        check = new QCheckBox(QStringLiteral("Rahmen"), this);
        check->setObjectName(QStringLiteral("check"));
        check->move(10, 40);
        ok = knopf(QStringLiteral("OK"), QStringLiteral("ok"), 10);
        ok->setDefault(true);
        ok->setModalResult(mrOk);
        abbrechen = knopf(QStringLiteral("Abbrechen"), QStringLiteral("abbrechen"), 110);
        abbrechen->setCancel(true);
        abbrechen->setModalResult(mrCancel);
        loeschen = knopf(QStringLiteral("Auswahl löschen"), QStringLiteral("loeschen"), 210);
        loeschen->setModalResult(3);
        resize(320, 110);
    }

    // Runs the dialog; `was` runs once it is active.
    int ausfuehren(const std::function<void()> &was)
    {
        QTimer::singleShot(0, this, [this, was] {
            QVERIFY(QTest::qWaitForWindowActive(this));
            was();
            QCoreApplication::processEvents();
            if (isVisible())
                done(-1);
        });
        return exec();
    }

    QLineEdit *edit;
    QCheckBox *check;
    TBitBtn2 *ok, *abbrechen, *loeschen;
    QStringList Klicks;

private:
    TBitBtn2 *knopf(const QString &text, const QString &name, int x)
    {
        auto *b = new TBitBtn2(this);
        b->setObjectName(name);
        b->setText(text);
        b->setGeometry(x, 70, 97, 25);
        b->setStyle3D(1);
        b->setShadow(0);
        b->setSelColor(0);
        connect(b, &QAbstractButton::clicked, this, [this, b] { Klicks << b->text(); });
        return b;
    }
};

} // namespace

class TstBitBtn2 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rahmen_data();
    void rahmen();
    void aktiverKnopf_data();
    void aktiverKnopf();
    void beschriftung_data();
    void beschriftung();
    void schrumpfen();
    void eigenschaften();
    void bildFolgtGroesse();
    void art_data();
    void art();
    void tasten_data();
    void tasten();
    void handlerHaeltOffen();
    void schliessenUndHilfe();
    void doppelklick();
};

void TstBitBtn2::initTestCase()
{
    QPalette pal = QApplication::palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(g, QPalette::Light, QColor(Hell));
        pal.setColor(g, QPalette::Midlight, QColor(Halbhell));
        pal.setColor(g, QPalette::Dark, QColor(Dunkel));
        pal.setColor(g, QPalette::Shadow, QColor(Schatten));
        pal.setColor(g, QPalette::ButtonText, QColor(Knopftext));
    }
    QApplication::setPalette(pal);
}

void TstBitBtn2::rahmen_data()
{
    QTest::addColumn<QSize>("groesse");
    QTest::addColumn<bool>("gedrueckt");
    QTest::addColumn<bool>("fokus");
    QTest::newRow("raised") << QSize(97, 25) << false << false;
    QTest::newRow("raised, focused") << QSize(97, 25) << false << true;
    QTest::newRow("pressed, focused") << QSize(97, 25) << true << true;
    QTest::newRow("raised, focused, 105 x 29") << QSize(105, 29) << false << true;
    QTest::newRow("pressed, focused, 105 x 29") << QSize(105, 29) << true << true;
    QTest::newRow("raised, focused, 8 x 8") << QSize(8, 8) << false << true;
}

// Every pixel of a button without caption: the raised frame (light top and left, dark bottom and
// right, a grey inner edge at the bottom and right) or, pressed, the window-frame outline with
// the button-shadow outline inside; the face in Color; the focus rectangle 3 pixels inside,
// every other pixel inverted.
void TstBitBtn2::rahmen()
{
    QFETCH(QSize, groesse);
    QFETCH(bool, gedrueckt);
    QFETCH(bool, fokus);
    QWidget fenster;
    auto *anderes = new QLineEdit(&fenster);
    anderes->setGeometry(0, 60, 50, 20);
    auto *b = new TBitBtn2(&fenster);
    b->setGeometry(QRect(QPoint(10, 10), groesse));
    b->setColor(fromQRgb(Gesicht));
    fenster.resize(200, 100);
    fenster.show();
    QVERIFY(QTest::qWaitForWindowActive(&fenster));
    (fokus ? static_cast<QWidget *>(b) : anderes)->setFocus();
    QCOMPARE(b->IsFocused(), fokus);
    b->setDown(gedrueckt);

    const QImage ist = bild(b);
    const int w = groesse.width(), h = groesse.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int ring = std::min({x, y, w - 1 - x, h - 1 - y});
            const bool fern = x == w - 1 - ring || y == h - 1 - ring;
            QRgb soll = Gesicht;
            if (gedrueckt && ring <= 1)
                soll = ring == 0 ? Schatten : Dunkel;
            else if (ring == 0)
                soll = fern ? Schatten : Hell;
            else if (ring == 1 && fern)
                soll = Dunkel;
            if (fokus && ring == 3 && (x + y) % 2 == 0)
                soll = invertiert(soll);
            if (ist.pixel(x, y) != soll)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3, not %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(ist.pixel(x, y), 0, 16)
                                     .arg(soll, 0, 16)));
        }
}

void TstBitBtn2::aktiverKnopf_data()
{
    QTest::addColumn<QString>("fokus");
    QTest::addColumn<bool>("mitDefault");
    QTest::addColumn<QString>("aktiv");
    QTest::newRow("edit: the Default button") << "edit" << true << "ok";
    QTest::newRow("check box: the Default button") << "check" << true << "ok";
    QTest::newRow("Default focused") << "ok" << true << "ok";
    QTest::newRow("Cancel focused") << "abbrechen" << true << "abbrechen";
    QTest::newRow("third button focused") << "loeschen" << true << "loeschen";
    QTest::newRow("edit, no Default button: none") << "edit" << false << "";
}

// The active look follows the focus: the focused button, or the Default button while the focus
// is on another kind of control.
void TstBitBtn2::aktiverKnopf()
{
    QFETCH(QString, fokus);
    QFETCH(bool, mitDefault);
    QFETCH(QString, aktiv);
    Fixture f;
    f.ok->setDefault(mitDefault);
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.loeschen->setFocus(); // away first, so every row moves the focus
    f.findChild<QWidget *>(fokus)->setFocus();
    for (TBitBtn2 *b : {f.ok, f.abbrechen, f.loeschen}) {
        const bool soll = b->objectName() == aktiv;
        QCOMPARE(b->IsFocused(), soll);
        const QRgb flaeche = toQRgb(b->Color());
        QCOMPARE(bild(b).pixel(3, 3), soll ? invertiert(flaeche) : flaeche);
    }
}

void TstBitBtn2::beschriftung_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("gedrueckt");
    QTest::addColumn<int>("shadow");
    QTest::addColumn<uint>("vorne");
    QTest::addColumn<uint>("hinten");
    QTest::addColumn<int>("abstand"); // of the back copy from the front one
    QTest::addColumn<int>("versatz"); // of the caption from its place when up
    const uint grau = qRgb(128, 128, 128), weiss = qRgb(255, 255, 255), schwarz = qRgb(0, 0, 0);
    QTest::newRow("shadow 1") << true << false << 1 << uint(Knopftext) << schwarz << 1 << 0;
    QTest::newRow("shadow 0: under the text") << true << false << 0 << uint(Knopftext) << schwarz << 0 << 0;
    QTest::newRow("shadow 3") << true << false << 3 << uint(Knopftext) << schwarz << 3 << 0;
    QTest::newRow("pressed: one further") << true << true << 1 << uint(Knopftext) << schwarz << 1 << 1;
    QTest::newRow("disabled: embossed") << false << false << 1 << grau << weiss << 1 << 0;
    QTest::newRow("disabled ignores the shadow") << false << false << 3 << grau << weiss << 1 << 0;
}

// The back copy shows exactly where it is not covered by the front one.
void TstBitBtn2::beschriftung()
{
    QFETCH(bool, enabled);
    QFETCH(bool, gedrueckt);
    QFETCH(int, shadow);
    QFETCH(uint, vorne);
    QFETCH(uint, hinten);
    QFETCH(int, abstand);
    QFETCH(int, versatz);
    const auto knopf = [](TBitBtn2 &b) {
        b.resize(97, 25);
        b.setFont(scharf());
        b.setColor(fromQRgb(Gesicht));
        b.setText(QStringLiteral("Abbrechen"));
    };
    TBitBtn2 bezug;
    knopf(bezug);
    bezug.setShadow(0);
    const Punkte text = punkte(bild(&bezug), Knopftext);
    QVERIFY(text.size() > 50);

    TBitBtn2 b;
    knopf(b);
    b.setShadow(shadow);
    b.setEnabled(enabled);
    b.setDown(gedrueckt);
    const QImage ist = bild(&b);
    const Punkte vorn = punkte(ist, vorne);
    QVERIFY(vorn == verschoben(text, versatz));
    QVERIFY(punkte(ist, hinten) == ohne(verschoben(vorn, abstand), vorn));
    if (!enabled)
        QVERIFY(punkte(ist, Knopftext).empty());
}

// A caption too wide for the button is drawn a point smaller, whole and centred: exactly as the
// smaller font draws it on a wide button.
void TstBitBtn2::schrumpfen()
{
    const QString caption = QStringLiteral("Einstellungen...");
    QFont elf = scharf();
    elf.setPixelSize(11); // 8 points
    QVERIFY(QFontMetrics(scharf()).horizontalAdvance(caption) > 76);
    QVERIFY(QFontMetrics(elf).horizontalAdvance(caption) <= 76);
    const auto text = [&](int breite, const QFont &font) {
        TBitBtn2 b;
        b.resize(breite, 25);
        b.setFont(font);
        b.setShadow(0);
        b.setColor(fromQRgb(Gesicht));
        b.setText(caption);
        return punkte(bild(&b), Knopftext);
    };
    const Punkte schmal = text(80, scharf());
    QVERIFY(!schmal.empty());
    Punkte breit;
    for (const auto &[x, y] : text(200, elf))
        breit.insert({x - 60, y});
    QVERIFY(schmal == breit);
}

void TstBitBtn2::eigenschaften()
{
    TBitBtn2 b;
    b.setNumGlyphs(7);
    QCOMPARE(b.NumGlyphs(), 4);
    b.setNumGlyphs(0);
    QCOMPARE(b.NumGlyphs(), 4);
    b.setNumGlyphs(3);
    QCOMPARE(b.NumGlyphs(), 3);
    b.setMargin(-5);
    QCOMPARE(b.Margin(), 0);
    b.setMargin(-1);
    QCOMPARE(b.Margin(), -1);
    QCOMPARE(int(b.Kind()), int(bkCustom));
    QCOMPARE(b.Style3D(), 2);
    QCOMPARE(b.Shadow(), 1);
    QCOMPARE(b.SelColor(), Palette::Weiss);
    QCOMPARE(b.Color(), fromQRgb(b.palette().color(QPalette::Button).rgb()));
}

// The prepared picture goes with a resize: the picture always covers the face of the new size.
void TstBitBtn2::bildFolgtGroesse()
{
    QWidget fenster;
    auto *b = new TBitBtn2(&fenster);
    QImage streifen(2, 1, QImage::Format_RGB32);
    streifen.setPixel(0, 0, qRgb(255, 0, 0));
    streifen.setPixel(1, 0, qRgb(0, 255, 0));
    b->setGlyph(streifen);
    b->setNumGlyphs(2);
    b->setStyle3D(1);
    b->setFocusPolicy(Qt::NoFocus); // no focus rectangle over the picture
    fenster.resize(100, 60);
    fenster.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenster));
    for (const QSize groesse : {QSize(40, 20), QSize(60, 30), QSize(30, 12)}) {
        b->resize(groesse);
        const Punkte rot = punkte(bild(b), qRgb(255, 0, 0));
        QCOMPARE(int(rot.size()), (groesse.width() - 4) * (groesse.height() - 4));
        QCOMPARE(*rot.begin(), std::make_pair(2, 2));
        QCOMPARE(*rot.rbegin(), std::make_pair(groesse.width() - 3, groesse.height() - 3));
    }
}

void TstBitBtn2::art_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("istDefault");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("ergebnis");
    QTest::addColumn<int>("hoehe");
    QTest::newRow("bkOK") << int(bkOK) << true << false << 1 << 18;
    QTest::newRow("bkCancel") << int(bkCancel) << false << true << 2 << 18;
    QTest::newRow("bkHelp") << int(bkHelp) << false << false << 0 << 18;
    QTest::newRow("bkYes") << int(bkYes) << true << false << 6 << 18;
    QTest::newRow("bkNo") << int(bkNo) << false << true << 7 << 18;
    QTest::newRow("bkClose") << int(bkClose) << false << false << 0 << 18;
    QTest::newRow("bkAbort") << int(bkAbort) << false << false << 3 << 18;
    QTest::newRow("bkRetry") << int(bkRetry) << false << false << 4 << 18;
    QTest::newRow("bkIgnore") << int(bkIgnore) << false << false << 5 << 18;
    QTest::newRow("bkAll") << int(bkAll) << false << false << 12 << 19;
}

// A stock kind sets flags, result and a picture of two cells, keeps the caption, survives a
// resize, and reads back as bkCustom for good once one of its values is changed.
void TstBitBtn2::art()
{
    QFETCH(int, kind);
    QFETCH(bool, istDefault);
    QFETCH(bool, cancel);
    QFETCH(int, ergebnis);
    QFETCH(int, hoehe);
    const std::function<void(TBitBtn2 &)> aenderungen[] = {
        [](TBitBtn2 &b) { b.setModalResult(b.ModalResult() + 1); },
        [](TBitBtn2 &b) { b.setDefault(!b.isDefault()); },
        [](TBitBtn2 &b) { b.setCancel(!b.Cancel()); },
        [](TBitBtn2 &b) { b.setGlyph(b.Glyph()); },
    };
    for (const auto &aendern : aenderungen) {
        TBitBtn2 b;
        b.setText(QStringLiteral("&Weiter"));
        b.setKind(TBitBtnKind(kind));
        QCOMPARE(b.isDefault(), istDefault);
        QCOMPARE(b.Cancel(), cancel);
        QCOMPARE(b.ModalResult(), ergebnis);
        QCOMPARE(b.NumGlyphs(), 2);
        QCOMPARE(b.Glyph().size(), QSize(36, hoehe));
        QCOMPARE(b.text(), QStringLiteral("&Weiter"));
        b.resize(120, 40);
        QCOMPARE(int(b.Kind()), kind);
        const TBitBtn2 &c = b;
        const bool d = c.isDefault(), k = c.Cancel();
        const int m = c.ModalResult();
        aendern(b);
        QCOMPARE(int(b.Kind()), int(bkCustom));
        b.setDefault(d);
        b.setCancel(k);
        b.setModalResult(m);
        QCOMPARE(int(b.Kind()), int(bkCustom));
    }
}

void TstBitBtn2::tasten_data()
{
    QTest::addColumn<QString>("fokus");
    QTest::addColumn<int>("taste");
    QTest::addColumn<int>("mods");
    QTest::addColumn<bool>("cancelAn");
    QTest::addColumn<int>("ergebnis"); // -1: still open
    QTest::addColumn<QString>("klicks");
    const int ohne = Qt::NoModifier;
    QTest::newRow("Enter in the edit: Default") << "edit" << int(Qt::Key_Return) << ohne << true << 1 << "OK";
    QTest::newRow("keypad Enter in the check box: Default")
        << "check" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true << 1 << "OK";
    QTest::newRow("Enter on a button: that button")
        << "loeschen" << int(Qt::Key_Return) << ohne << true << 3 << "Auswahl löschen";
    QTest::newRow("Enter on Cancel") << "abbrechen" << int(Qt::Key_Return) << ohne << true << 2
                                     << "Abbrechen";
    QTest::newRow("Shift+Enter in the edit: nothing")
        << "edit" << int(Qt::Key_Return) << int(Qt::ShiftModifier) << true << -1 << "";
    QTest::newRow("Ctrl+Enter on Default: nothing")
        << "ok" << int(Qt::Key_Return) << int(Qt::ControlModifier) << true << -1 << "";
    QTest::newRow("Escape in the edit: Cancel")
        << "edit" << int(Qt::Key_Escape) << ohne << true << 2 << "Abbrechen";
    QTest::newRow("Escape on another button: Cancel")
        << "loeschen" << int(Qt::Key_Escape) << ohne << true << 2 << "Abbrechen";
    QTest::newRow("Escape, Cancel disabled: the dialog's own")
        << "edit" << int(Qt::Key_Escape) << ohne << false << 0 << "";
    QTest::newRow("Space on a button")
        << "loeschen" << int(Qt::Key_Space) << ohne << true << 3 << "Auswahl löschen";
    QTest::newRow("Space on Default") << "ok" << int(Qt::Key_Space) << ohne << true << 1 << "OK";
    QTest::newRow("Space in the edit types") << "edit" << int(Qt::Key_Space) << ohne << true << -1 << "";
}

void TstBitBtn2::tasten()
{
    QFETCH(QString, fokus);
    QFETCH(int, taste);
    QFETCH(int, mods);
    QFETCH(bool, cancelAn);
    QFETCH(int, ergebnis);
    QFETCH(QString, klicks);
    Fixture f;
    f.abbrechen->setEnabled(cancelAn);
    const int r = f.ausfuehren([&] {
        QWidget *ziel = f.findChild<QWidget *>(fokus);
        ziel->setFocus();
        QTest::keyClick(ziel, Qt::Key(taste), Qt::KeyboardModifiers(mods));
    });
    QCOMPARE(r, ergebnis);
    QCOMPARE(f.Klicks.join(QLatin1Char('|')), klicks);
}

// The result is set before the click handlers run, and a handler can keep the dialog open.
void TstBitBtn2::handlerHaeltOffen()
{
    Fixture f;
    int gesehen = -1;
    bool offen = false;
    connect(f.ok, &QAbstractButton::clicked, &f, [&] {
        gesehen = f.result();
        f.setResult(mrNone);
    });
    const int r = f.ausfuehren([&] {
        f.edit->setFocus();
        QTest::keyClick(f.edit, Qt::Key_Return);
        QCoreApplication::processEvents();
        offen = f.isVisible();
        QTest::mouseClick(f.loeschen, Qt::LeftButton);
    });
    QCOMPARE(gesehen, 1);
    QVERIFY(offen);
    QCOMPARE(r, 3);
    QCOMPARE(f.Klicks, QStringList({QStringLiteral("OK"), QStringLiteral("Auswahl löschen")}));
}

void TstBitBtn2::schliessenUndHilfe()
{
    Fixture f;
    f.loeschen->setKind(bkClose);
    QCOMPARE(f.ausfuehren([&] { QTest::mouseClick(f.loeschen, Qt::LeftButton); }), int(QDialog::Rejected));
    QCOMPARE(f.Klicks, QStringList(QStringLiteral("Auswahl löschen")));

    Fixture g;
    g.setProperty("HelpContext", 42);
    g.loeschen->setKind(bkHelp);
    QSignalSpy hilfe(g.loeschen, &TBitBtn2::HelpRequested);
    QCOMPARE(g.ausfuehren([&] { g.loeschen->click(); }), -1);
    QCOMPARE(hilfe.size(), 1);
    QCOMPARE(hilfe.at(0).at(0).toInt(), 42);
}

// The second press of a double click is a press like the first.
void TstBitBtn2::doppelklick()
{
    QWidget fenster;
    auto *b = new TBitBtn2(&fenster);
    b->move(10, 10);
    fenster.resize(120, 50);
    fenster.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenster));
    int klicks = 0, doppel = 0;
    connect(b, &QAbstractButton::clicked, b, [&] { ++klicks; });
    struct Zaehler : QObject
    {
        int &n;
        explicit Zaehler(int &z) : n(z) {}
        bool eventFilter(QObject *, QEvent *e) override
        {
            n += e->type() == QEvent::MouseButtonDblClick;
            return false;
        }
    } zaehler(doppel);
    b->installEventFilter(&zaehler);
    QTest::mouseDClick(fenster.windowHandle(), Qt::LeftButton, {}, b->geometry().center());
    QCOMPARE(doppel, 1);
    QCOMPARE(klicks, 2);
}

QTEST_MAIN(TstBitBtn2)
#include "tst_bitbtn2.moc"
