// The drawing surface alone, with a recording stand-in for the window that controls it: what
// the surface asks of its controller for the user's input.
#include "surface/scrwin.h"
#include "surface/steuerung.h"
#include "surface/taste.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QtTest>

#include <functional>

namespace {

// Notes every call of the surface, in order.
class TAufzeichnung : public TSteuerung
{
public:
    class Fenster : public QWidget
    {
    public:
        explicit Fenster(QStringList &rufe) : m_rufe(rufe) {}

    protected:
        void closeEvent(QCloseEvent *e) override
        {
            m_rufe << QStringLiteral("schliessen");
            e->ignore();
        }

    private:
        QStringList &m_rufe;
    };

    ToolState z;
    QStringList rufe;
    Fenster w{rufe};

    ToolState &zustand() override { return z; }
    QWidget &fenster() override { return w; }
    void CheckPanels() override { rufe << QStringLiteral("CheckPanels"); }
    void panelsAbgleichen() override { rufe << QStringLiteral("panelsAbgleichen"); }
    void WerkzeugAktualisieren() override { rufe << QStringLiteral("WerkzeugAktualisieren"); }
    void WerkzeugZustandSetzen() override { rufe << QStringLiteral("WerkzeugZustandSetzen"); }
    void PopupMenu1Popup() override { rufe << QStringLiteral("PopupMenu1Popup"); }
    void kontextmenueZeigen(const QPoint &p) override
    {
        rufe << QStringLiteral("kontextmenue %1,%2").arg(p.x()).arg(p.y());
    }
    void zoomGewaehlt() override { rufe << QStringLiteral("zoomGewaehlt"); }
    void strgTasten(const Taste &t) override
    {
        rufe << QStringLiteral("strgTasten %1%2").arg(t.Key, 0, 16).arg(t.Shift & ssCtrl ? " Strg" : "");
    }
};

using Eingabe = std::function<void(TScreenForm &)>;

void rad(TScreenForm &s, int delta)
{
    const QPoint pos(40, 30);
    QWheelEvent e(pos, s.mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(s.windowHandle(), &e);
}

} // namespace

class TstSteuerung : public QObject
{
    Q_OBJECT

private slots:
    void eingaben_data();
    void eingaben();
};

void TstSteuerung::eingaben_data()
{
    QTest::addColumn<int>("modus");
    QTest::addColumn<int>("winZustand");
    QTest::addColumn<Eingabe>("eingabe");
    QTest::addColumn<QStringList>("rufe");
    QTest::addColumn<int>("modusDanach");
    QTest::addColumn<int>("zoomStufeDanach");

    const auto rechts = [](TScreenForm &s) {
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(12, 34), QPoint(112, 134));
        QApplication::sendEvent(&s, &e);
    };
    const auto strg = [](TScreenForm &s) { QTest::keyPress(&s, Qt::Key_Control); };
    const auto strgPlus = [](TScreenForm &s) { QTest::keyPress(&s, Qt::Key_Plus, Qt::ControlModifier); };
    const auto radVor = [](TScreenForm &s) { rad(s, 120); };
    const auto radZurueck = [](TScreenForm &s) { rad(s, -120); };
    const auto schliessen = [](TScreenForm &s) { s.close(); };

    QTest::newRow("right press: the context menu at that point")
        << 1 << 1 << Eingabe(rechts) << QStringList{"kontextmenue 112,134"} << 1 << 2;
    QTest::newRow("Ctrl: the controller's Ctrl keys")
        << 1 << 1 << Eingabe(strg) << QStringList{"strgTasten 1000021 Strg"} << 1 << 2;
    // Ctrl goes down first, then the key with it.
    QTest::newRow("Ctrl+Plus in the zoom view")
        << 15 << 1 << Eingabe(strgPlus) << QStringList{"strgTasten 1000021 Strg", "strgTasten 2b Strg"} << 15
        << 2;
    QTest::newRow("wheel forward in the zoom view: one step in")
        << 15 << 1 << Eingabe(radVor) << QStringList{} << 15 << 3;
    QTest::newRow("wheel back in the zoom view at the first step: the view is left")
        << 15 << 1 << Eingabe(radZurueck) << QStringList{"WerkzeugZustandSetzen", "CheckPanels"} << 1 << 1;
    QTest::newRow("wheel forward with the pen: the zoom view")
        << 1 << 1 << Eingabe(radVor)
        << QStringList{"PopupMenu1Popup", "zoomGewaehlt", "WerkzeugAktualisieren", "CheckPanels"} << 15 << 2;
    QTest::newRow("wheel while not frozen: nothing")
        << 15 << 2 << Eingabe(radVor) << QStringList{} << 15 << 2;
    QTest::newRow("close: the controller is asked to close")
        << 1 << 1 << Eingabe(schliessen) << QStringList{"schliessen"} << 1 << 2;
    QTest::newRow("close by the release itself: nothing asked")
        << 1 << 2 << Eingabe(schliessen) << QStringList{} << 1 << 2;
}

void TstSteuerung::eingaben()
{
    QFETCH(int, modus);
    QFETCH(int, winZustand);
    QFETCH(Eingabe, eingabe);
    QFETCH(QStringList, rufe);
    QFETCH(int, modusDanach);
    QFETCH(int, zoomStufeDanach);

    Cfg = Settings{};
    TAufzeichnung steuerung;
    // The zoom view is entered as the user does, from the pen.
    steuerung.z.Modus = modus == 15 ? 1 : modus;
    steuerung.z.WinZustand = winZustand;
    steuerung.z.ZoomfakNr = 2;
    steuerung.z.ZoomFak = ZoomTabelle[2];
    TScreenForm surface(steuerung);
    surface.Img1Bmp = QImage(200, 100, QImage::Format_RGB32);
    surface.Img1Bmp.fill(Qt::white);
    surface.setGeometry(0, 0, 200, 100);
    surface.show();
    QVERIFY(QTest::qWaitForWindowExposed(&surface));
    if (modus == 15)
        surface.ZoomInit(50, 50);
    steuerung.rufe.clear();

    eingabe(surface);

    QCOMPARE(steuerung.rufe.join(QStringLiteral("; ")), rufe.join(QStringLiteral("; ")));
    QCOMPARE(steuerung.z.Modus, modusDanach);
    QCOMPARE(steuerung.z.ZoomfakNr, zoomStufeDanach);
}

QTEST_MAIN(TstSteuerung)
#include "tst_steuerung.moc"
