// An exception escaping an event handler ends that command only: the error shows in the box
// titled "Skizzomat", and the next events are handled as before.
#include "app/fehleranzeige.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <stdexcept>

using Wurf = std::function<void()>;
Q_DECLARE_METATYPE(Wurf)

namespace {

// A widget whose click runs `wurf` after counting itself.
class Knopf : public QWidget
{
public:
    Wurf wurf;
    int Klicks = 0;

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        ++Klicks;
        if (wurf)
            wurf();
    }
};

} // namespace

class TstFehleranzeige : public QObject
{
    Q_OBJECT

private slots:
    void fehlerImHandler_data();
    void fehlerImHandler();
    void fehlerImTimer();

private:
    // Waits for the error box; "" if none comes.
    QString box();
};

// The box runs its own event loop, so it is answered from a timer.
QString TstFehleranzeige::box()
{
    QString gesehen;
    QTimer antwort;
    connect(&antwort, &QTimer::timeout, [&] {
        auto *b = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!b)
            return;
        gesehen =
            QStringLiteral("%1|%2|%3|%4")
                .arg(b->windowTitle(), b->text(), b->buttons().constFirst()->text(),
                     b->icon() == QMessageBox::Critical ? QStringLiteral("error") : QStringLiteral("other"));
        b->buttons().constFirst()->click();
    });
    antwort.start(10);
    if (!QTest::qWaitFor([&] { return !gesehen.isEmpty() && !QApplication::activeModalWidget(); }, 2000))
        return {};
    return gesehen;
}

void TstFehleranzeige::fehlerImHandler_data()
{
    QTest::addColumn<Wurf>("wurf");
    QTest::addColumn<QString>("text");
    QTest::newRow("runtime_error") << Wurf([] { throw std::runtime_error("Datei fehlt"); }) << "Datei fehlt.";
    QTest::newRow("ends with a full stop")
        << Wurf([] { throw std::logic_error("Schon zu Ende."); }) << "Schon zu Ende.";
    QTest::newRow("out of memory") << Wurf([] { throw std::bad_alloc(); }) << "Zu wenig Arbeitsspeicher.";
    QTest::newRow("not a std::exception") << Wurf([] { throw 42; }) << "Unbekannter Fehler.";
}

void TstFehleranzeige::fehlerImHandler()
{
    QFETCH(Wurf, wurf);
    QFETCH(QString, text);
    Knopf k;
    k.resize(50, 50);
    k.show();
    QVERIFY(QTest::qWaitForWindowExposed(&k));
    k.wurf = wurf;
    QTest::mouseClick(&k, Qt::LeftButton);
    QCOMPARE(box(), QStringLiteral("Skizzomat|") + text + QStringLiteral("|OK|error"));

    // The program goes on: the next click is handled, and shows no box.
    k.wurf = nullptr;
    QTest::mouseClick(&k, Qt::LeftButton);
    QCOMPARE(k.Klicks, 2);
    QTest::qWait(20);
    QVERIFY(!QApplication::activeModalWidget());
}

// Queued work (a timer, a queued slot) is an event as well.
void TstFehleranzeige::fehlerImTimer()
{
    bool danach = false;
    QTimer::singleShot(0, [] { throw std::runtime_error("Im Timer"); });
    QTimer::singleShot(5, [&] { danach = true; });
    QCOMPARE(box(), QStringLiteral("Skizzomat|Im Timer.|OK|error"));
    QTRY_VERIFY(danach);
}

int main(int argc, char *argv[])
{
    TAnwendung app(argc, argv);
    TstFehleranzeige t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_fehleranzeige.moc"
