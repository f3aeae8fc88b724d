// The print dialog on a frozen picture, printing through the private CUPS server of cupsrun.sh:
// the page comes back as a PDF, rendered at 254 dpi so that one pixel is 0.1 mm.
#include "output/druck.h"

#include "../surface/eingefroren.h"
#include "app/fehleranzeige.h"
#include "app/uebersetzung.h"
#include "controls/bitbtn2.h"
#include "controls/meldform.h"
#include "controls/numedit.h"
#include "controls/shadowlabel.h"
#include "surface/bereichmarker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>

#include <cups/cups.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <functional>

namespace {

const QString Warten = QStringLiteral("Ausdruck wird vorbereitet.||Bitte warten.");

// Ctrl+P in the tool window or on the drawing surface.
std::function<void()> strgP(QWidget *fenster)
{
    return [fenster] {
        // Waits for the activation itself: one still on its way would take the focus back from
        // the dialog.
        fenster->activateWindow();
        QTRY_COMPARE(QGuiApplication::focusWindow(), fenster->windowHandle());
        QTest::keySequence(fenster, QKeySequence(Qt::ControlModifier | Qt::Key_P));
    };
}

// Blocks of 120 × 120 pixels in colours well away from the white page.
QImage kachelBild(int w, int h)
{
    QImage bild(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int k = (x / 120) * 7 + (y / 120) * 13;
            bild.setPixel(x, y, qRgb((k * 53) % 200, (k * 97 + 40) % 200, (k * 31 + 90) % 200));
        }
    return bild;
}

// Jobs the server has taken, on every queue, done or not.
int auftraege()
{
    cups_job_t *jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    cupsFreeJobs(n, jobs);
    return n;
}

// Counts how often a window is shown.
class Gezeigt : public QObject
{
public:
    int Mal = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Show)
            ++Mal;
        return false;
    }
};

// The printed area: the bounding box of everything that is not (nearly) white.
QRect bedruckt(const QImage &seite)
{
    int x1 = seite.width(), y1 = seite.height(), x2 = -1, y2 = -1;
    for (int y = 0; y < seite.height(); ++y) {
        const auto *zeile = reinterpret_cast<const QRgb *>(seite.constScanLine(y));
        for (int x = 0; x < seite.width(); ++x)
            if (qRed(zeile[x]) < 240 || qGreen(zeile[x]) < 240 || qBlue(zeile[x]) < 240) {
                x1 = std::min(x1, x);
                x2 = std::max(x2, x);
                y1 = std::min(y1, y);
                y2 = std::max(y2, y);
            }
    }
    return x2 < 0 ? QRect() : QRect(QPoint(x1, y1), QPoint(x2, y2));
}

bool nah(QRgb a, QRgb b, int toleranz)
{
    return std::abs(qRed(a) - qRed(b)) <= toleranz && std::abs(qGreen(a) - qGreen(b)) <= toleranz &&
           std::abs(qBlue(a) - qBlue(b)) <= toleranz;
}

// Whether the page shows `bild` stretched into `rect` pixel by pixel: every sample away from a
// colour change of the picture, on a grid inside and along the four edges (where smoothing
// against the page would fade it), has the picture's colour. Empty when it does.
QString vergleich(const QImage &seite, const QRect &rect, const QImage &bild)
{
    const auto quelle = [&](int x, int y) {
        x = std::clamp(x, rect.left(), rect.right());
        y = std::clamp(y, rect.top(), rect.bottom());
        const int sx = int((x - rect.left() + 0.5) * bild.width() / rect.width());
        const int sy = int((y - rect.top() + 0.5) * bild.height() / rect.height());
        return bild.pixel(std::min(sx, bild.width() - 1), std::min(sy, bild.height() - 1));
    };
    const auto pruefe = [&](int x, int y) -> QString {
        const QRgb soll = quelle(x, y);
        for (int d = -3; d <= 3; d += 3)
            if (quelle(x + d, y) != soll || quelle(x, y + d) != soll)
                return {}; // next to a colour change of the picture
        if (!nah(seite.pixel(x, y), soll, 6))
            return QStringLiteral("at (%1, %2): %3 instead of %4")
                .arg(x)
                .arg(y)
                .arg(seite.pixel(x, y), 6, 16)
                .arg(soll, 6, 16);
        return {};
    };
    for (int y = rect.top(); y <= rect.bottom(); y += 7)
        for (int x = rect.left(); x <= rect.right(); x += 7)
            if (const QString f = pruefe(x, y); !f.isEmpty())
                return f;
    for (int x = rect.left(); x <= rect.right(); ++x)
        for (int y : {rect.top(), rect.bottom()})
            if (const QString f = pruefe(x, y); !f.isEmpty())
                return QStringLiteral("edge ") + f;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x : {rect.left(), rect.right()})
            if (const QString f = pruefe(x, y); !f.isEmpty())
                return QStringLiteral("edge ") + f;
    return {};
}

// A print server that takes every connection and never says a word.
class StummerServer
{
public:
    explicit StummerServer(const QString &pfad) : m_fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_un adresse{};
        adresse.sun_family = AF_UNIX;
        const QByteArray p = QFile::encodeName(pfad);
        std::strncpy(adresse.sun_path, p.constData(), sizeof adresse.sun_path - 1);
        if (::bind(m_fd, reinterpret_cast<const sockaddr *>(&adresse), sizeof adresse) != 0 ||
            ::listen(m_fd, 64) != 0)
            return;
        m_bereit = true;
        m_melder = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_melder.get(), &QSocketNotifier::activated, [this] {
            if (const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC); fd >= 0)
                m_verbunden.push_back(fd);
        });
    }
    ~StummerServer()
    {
        m_melder.reset();
        for (int fd : m_verbunden)
            ::close(fd);
        ::close(m_fd);
    }
    StummerServer(const StummerServer &) = delete;
    StummerServer &operator=(const StummerServer &) = delete;
    bool bereit() const { return m_bereit; }

private:
    int m_fd;
    bool m_bereit = false;
    std::unique_ptr<QSocketNotifier> m_melder;
    std::vector<int> m_verbunden;
};

// Runs a CUPS command-line tool against the private server; its output on failure.
QString cups(const QString &programm, const QStringList &argumente)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programm, argumente);
    if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return programm + QLatin1String(": ") + QString::fromLocal8Bit(p.readAll());
    return {};
}

const QString Ppd = QStringLiteral("/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd");

} // namespace

class TstDruck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void aufbau();
    void tastenUndWerte();
    void seitenverhaeltnis();
    void drucken_data();
    void drucken();
    void nichtsZuDrucken_data();
    void nichtsZuDrucken();
    void serverFehlt_data();
    void serverFehlt();
    void einrichtenUndAbgelehnt();
    void angehaltenUndGeloescht();
    void zuGross_data();
    void zuGross();
    void uebersetzt();

private:
    // Opens the dialog as the user does (by `oeffnen`, else through the menu item), runs
    // `schritte` in it and returns once it is closed. Message boxes on the way are answered with
    // their first button and noted.
    void imDialog(const std::function<void(TDruckForm &)> &schritte,
                  const std::function<void()> &oeffnen = {});
    void tippe(TNumEditQ *feld, const QString &text);
    // Skips a case that needs the private print server when there is none.
    bool ohneServer();
    // The page of the last job, rendered at 254 dpi; null if none came.
    QImage seite();
    // Chooses the queue in Qt's printer set-up dialog, which must confirm with a button that
    // says what it does, and confirms or cancels it.
    void waehle(TDruckForm &d, const QString &queue, bool ok);

    QImage m_bild;
    QStringList m_boxen;
    QString m_antwort; // the button a box is answered with; its first one when empty
    QTimer m_antworten;
    QTemporaryDir m_dir;
    QString m_pdf;
};

void TstDruck::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QVERIFY(m_dir.isValid());
    m_pdf = qEnvironmentVariable("SKZ_DRUCK_PDF");
    m_bild = kachelBild(1920, 1080);
    QVERIFY(einfrieren(m_bild));
    QVERIFY(DruckForm);
    connect(&m_antworten, &QTimer::timeout, this, [this] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            m_boxen.append(box->windowTitle() + QLatin1Char('|') + box->text());
            QAbstractButton *knopf = box->buttons().constFirst();
            for (QAbstractButton *b : box->buttons())
                if (b->text() == m_antwort)
                    knopf = b;
            knopf->click();
        }
    });
    m_antworten.start(10);
}

void TstDruck::init()
{
    m_boxen.clear();
    m_antwort.clear();
    ToolForm->BereichRect = KeinBereich;
    if (!m_pdf.isEmpty())
        QFile::remove(m_pdf);
}

void TstDruck::cleanup()
{
    // No case leaves a box, the notice or the dialog behind.
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(!DruckForm->isVisible());
    QVERIFY(MeldForm->isHidden());
}

bool TstDruck::ohneServer()
{
    return m_pdf.isEmpty();
}

void TstDruck::imDialog(const std::function<void(TDruckForm &)> &schritte,
                        const std::function<void()> &oeffnen)
{
    bool gelaufen = false;
    QTimer warten;
    connect(&warten, &QTimer::timeout, this, [&] {
        if (!DruckForm->isVisible() || QApplication::activeModalWidget() != DruckForm)
            return;
        warten.stop();
        QTRY_COMPARE(QGuiApplication::focusWindow(), DruckForm->windowHandle());
        schritte(*DruckForm);
        gelaufen = true;
        // A failed check leaves the dialog open; it must not block the next case.
        if (DruckForm->isVisible() && QTest::currentTestFailed())
            DruckForm->reject();
    });
    warten.start(10);
    if (oeffnen)
        oeffnen();
    else
        aktion("Drucken1")->trigger();
    QVERIFY(gelaufen);
}

void TstDruck::tippe(TNumEditQ *feld, const QString &text)
{
    feld->setFocus();
    QTRY_VERIFY(feld->hasFocus());
    feld->selectAll();
    QTest::keyClicks(feld, text);
}

QImage TstDruck::seite()
{
    // The job is written a moment after the server took it.
    qint64 groesse = -1;
    if (!QTest::qWaitFor(
            [&] {
                const qint64 jetzt = QFileInfo(m_pdf).size();
                const bool fertig = jetzt > 0 && jetzt == groesse;
                groesse = jetzt;
                return fertig;
            },
            15000))
        return {};
    const QString png = m_dir.filePath(QStringLiteral("seite"));
    QProcess p;
    p.start(QStringLiteral("pdftocairo"),
            {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-png"),
             QStringLiteral("-singlefile"), m_pdf, png});
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        return {};
    return QImage(png + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// Layout and captions as the user sees them, with the printer line of the default queue.
void TstDruck::aufbau()
{
    imDialog(
        [](TDruckForm &d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Bildschirminhalt drucken"));
            QCOMPARE(d.size(), QSize(457, 248));
            QCOMPARE(d.minimumSize(), d.maximumSize());
            QCOMPARE(d.font().pixelSize(), 12);
            const struct
            {
                QWidget *w;
                QRect geometrie;
                QString text;
            } soll[] = {
                {d.PosGroupBox, {16, 12, 425, 109}, QStringLiteral(" Position und Größe ")},
                {d.LiRandEdit, {112, 26, 57, 21}, QStringLiteral("2,5")},
                {d.ObRandEdit, {112, 54, 57, 21}, QStringLiteral("1,8")},
                {d.BreiteEdit, {312, 26, 57, 21}, QStringLiteral("16,0")},
                {d.SeitRatio, {24, 81, 185, 20}, QStringLiteral("Korrektes &Seitenverhältnis")},
                {d.DruckerGroupBox, {16, 136, 425, 53}, QStringLiteral(" Drucker ")},
                {d.DruckerInfo, {10, 16, 399, 29}, QString()},
                {d.DruckBtn, {136, 213, 97, 25}, QStringLiteral("Drucken")},
                {d.AbbrBtn, {240, 213, 97, 25}, QStringLiteral("Abbrechen")},
                {d.DrEinrBtn, {344, 213, 97, 25}, QStringLiteral("Einrichten...")},
            };
            for (const auto &s : soll) {
                QCOMPARE(s.w->geometry(), s.geometrie);
                if (s.text.isEmpty())
                    continue;
                QString text = s.w->property("text").toString();
                if (auto *box = qobject_cast<QGroupBox *>(s.w))
                    text = box->title();
                QCOMPARE(text, s.text);
            }
            QCOMPARE(d.LiRandLab->text(), QStringLiteral("&Linker Rand:"));
            QCOMPARE(d.HoeheLab->text(), QStringLiteral("&Höhe:"));
            QCOMPARE(d.Label10->text(), QStringLiteral("cm"));
            QVERIFY(d.SeitRatio->isChecked());
            QVERIFY(d.DruckBtn->isDefault());
            QCOMPARE(d.DruckerInfo->alignment(), Qt::AlignCenter);
            if (!qEnvironmentVariableIsEmpty("SKZ_DRUCK_PDF"))
                QTRY_COMPARE(d.DruckerInfo->text(),
                             QStringLiteral("filepdf an file://") + qEnvironmentVariable("SKZ_DRUCK_PDF"));
            QTest::keyClick(&d, Qt::Key_Escape);
        },
        strgP(ScreenForm));
    QCOMPARE(DruckForm->result(), int(mrCancel));
    QCOMPARE(m_boxen, QStringList());
}

// Tab order and access keys; values typed and left with "Abbrechen" are offered again, and the
// settings store's view of them.
void TstDruck::tastenUndWerte()
{
    imDialog(
        [](TDruckForm &d) {
            QCOMPARE(QApplication::focusWidget(), d.DruckBtn);
            QStringList reihe;
            for (int i = 0; i < 8; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                reihe << QApplication::focusWidget()->objectName();
            }
            QCOMPARE(reihe, QStringList({"AbbrBtn", "DrEinrBtn", "LiRandEdit", "ObRandEdit", "BreiteEdit",
                                         "HoeheEdit", "SeitRatio", "DruckBtn"}));
            const struct
            {
                Qt::Key taste;
                QWidget *feld;
            } zugriff[] = {{Qt::Key_L, d.LiRandEdit},
                           {Qt::Key_O, d.ObRandEdit},
                           {Qt::Key_B, d.BreiteEdit},
                           {Qt::Key_H, d.HoeheEdit}};
            for (const auto &z : zugriff) {
                QTest::keyClick(QApplication::focusWidget(), z.taste, Qt::AltModifier);
                QCOMPARE(QApplication::focusWidget(), z.feld);
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
            QTRY_VERIFY(!d.SeitRatio->isChecked());

            QTest::keyClick(QApplication::focusWidget(), Qt::Key_L, Qt::AltModifier);
            QTest::keyClicks(d.LiRandEdit, QStringLiteral("3"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_B, Qt::AltModifier);
            d.BreiteEdit->selectAll();
            QTest::keyClicks(d.BreiteEdit, QStringLiteral("12.25"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        },
        strgP(ToolForm));
    QCOMPARE(DruckForm->result(), int(mrCancel));
    imDialog([](TDruckForm &d) {
        QCOMPARE(d.LiRandEdit->text(), QStringLiteral("3,0"));
        QCOMPARE(d.BreiteEdit->text(), QStringLiteral("12.25"));
        QVERIFY(!d.SeitRatio->isChecked());
        QCOMPARE(d.HoeheEdit->text(), QStringLiteral("9,0"));
        QTest::keyClick(&d, Qt::Key_Escape);
    });

    TDruckForm &d = *DruckForm;
    QCOMPARE(d.liRand(), 3.0);
    QCOMPARE(d.breite(), 12.25);
    QCOMPARE(d.seitRatio(), false);
    d.setLiRand(2.5);
    d.setObRand(1.8);
    d.setBreite(16);
    d.setHoehe(17);
    d.setSeitRatio(true);
    QCOMPARE(d.LiRandEdit->text(), QStringLiteral("2,5"));
    QCOMPARE(d.HoeheEdit->text(), QStringLiteral("17,0"));
    QCOMPARE(d.hoehe(), 17.0);
    QVERIFY(d.SeitRatio->isChecked());
}

// The coupling follows the picture or the area of the moment; an area without height has no
// ratio and leaves the fields alone.
void TstDruck::seitenverhaeltnis()
{
    imDialog(
        [](TDruckForm &d) {
            QCOMPARE(d.HoeheEdit->text(), QStringLiteral("9,0"));
            QTest::keyClick(&d, Qt::Key_Escape);
        },
        [] { ToolForm->Buttons.value(QStringLiteral("DruckBtn"))->click(); });
    ToolForm->BereichRect = {300, 200, 700, 300};
    imDialog([this](TDruckForm &d) {
        QCOMPARE(d.fakxy, 4.0);
        QCOMPARE(d.HoeheEdit->text(), QStringLiteral("4,0"));
        tippe(d.HoeheEdit, QStringLiteral("20"));
        QCOMPARE(d.BreiteEdit->text(), QStringLiteral("80,0"));
        QCOMPARE(d.HoeheEdit->text(), QStringLiteral("20"));
        tippe(d.BreiteEdit, QStringLiteral("10"));
        QCOMPARE(d.HoeheEdit->text(), QStringLiteral("2,5"));
        QCOMPARE(d.BreiteEdit->text(), QStringLiteral("10"));
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    ToolForm->BereichRect = {300, 200, 700, 200};
    imDialog([](TDruckForm &d) {
        QCOMPARE(d.fakxy, 0.0);
        QCOMPARE(d.HoeheEdit->text(), QStringLiteral("2,5"));
        d.BreiteEdit->setFocus();
        QTRY_VERIFY(d.BreiteEdit->hasFocus());
        QTest::keyClicks(d.BreiteEdit, QStringLiteral("5"));
        QCOMPARE(d.HoeheEdit->text(), QStringLiteral("2,5"));
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    DruckForm->setBreite(16);
    DruckForm->setHoehe(17);
}

void TstDruck::drucken_data()
{
    QTest::addColumn<TRect>("bereich");
    QTest::addColumn<QString>("werte"); // left, top, width, height; "" keeps the field
    QTest::addColumn<bool>("seitRatio");
    QTest::addColumn<QRect>("soll"); // on the paper, in 0.1 mm
    // The queue's printable area starts 6.35 mm from the left and 12.7 mm from the top edge.
    QTest::newRow("whole picture, as offered")
        << KeinBereich << "2,5 1,8 16,0 -" << true << QRect(250, 180, 1600, 900);
    QTest::newRow("area 400x100, width 10")
        << TRect{300, 200, 700, 300} << "2,5 1,8 10 -" << true << QRect(250, 180, 1000, 250);
    QTest::newRow("aspect off") << KeinBereich << "2,5 1,8 16 17" << false << QRect(250, 180, 1600, 1700);
    QTest::newRow("margins inside the unprintable border")
        << TRect{0, 0, 960, 1080} << "0,2 0,5 8 -" << true << QRect(64, 127, 800, 900);
}

// Enter in the dialog prints the picture, or its area, at the place and size typed, measured
// from the paper edge; the notice is up while the job is made.
void TstDruck::drucken()
{
    if (ohneServer())
        QSKIP(qPrintable(qEnvironmentVariable("SKZ_CUPS_FEHLT", QStringLiteral("not run by cupsrun.sh"))));
    QFETCH(TRect, bereich);
    QFETCH(QString, werte);
    QFETCH(bool, seitRatio);
    QFETCH(QRect, soll);
    ToolForm->BereichRect = bereich;
    const QImage auswahl = AuswahlbereichAktiv(bereich)
                               ? m_bild.copy(bereich.Left, bereich.Top, bereich.Right - bereich.Left,
                                             bereich.Bottom - bereich.Top)
                               : m_bild;
    Gezeigt gezeigt;
    MeldForm->installEventFilter(&gezeigt);
    const int vorher = auftraege();
    imDialog([&](TDruckForm &d) {
        const QStringList w = werte.split(QLatin1Char(' '));
        if (d.SeitRatio->isChecked() != seitRatio)
            QTest::mouseClick(d.SeitRatio, Qt::LeftButton, {}, QPoint(5, d.SeitRatio->height() / 2));
        TNumEditQ *felder[] = {d.LiRandEdit, d.ObRandEdit, d.BreiteEdit, d.HoeheEdit};
        for (int i = 0; i < 4; ++i)
            if (w.at(i) != QLatin1String("-"))
                tippe(felder[i], w.at(i));
        d.DruckBtn->setFocus();
        QTest::keyClick(d.DruckBtn, Qt::Key_Return);
    });
    MeldForm->removeEventFilter(&gezeigt);
    QCOMPARE(DruckForm->result(), int(mrOk));
    QCOMPARE(m_boxen, QStringList());
    QCOMPARE(gezeigt.Mal, 1);
    QCOMPARE(MeldForm->InfoLab->text(), Warten);
    QCOMPARE(auftraege(), vorher + 1);

    const QImage s = seite();
    QVERIFY(!s.isNull());
    QCOMPARE(s.width(), 2100); // A4: 21 × 29.7 cm
    QVERIFY(std::abs(s.height() - 2970) <= 1);
    const QRect r = bedruckt(s);
    QVERIFY2(
        r == soll,
        qPrintable(
            QStringLiteral("printed at %1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())));
    const QString f = vergleich(s, r, auswahl);
    QVERIFY2(f.isEmpty(), qPrintable(f));
}

void TstDruck::nichtsZuDrucken_data()
{
    QTest::addColumn<TRect>("bereich");
    QTest::addColumn<QString>("breite");
    QTest::addColumn<QString>("hoehe");
    QTest::addColumn<QString>("meldung");
    const QString groesse =
        QStringLiteral("Warnung|Es wird nichts gedruckt: Breite und Höhe müssen größer als 0 sein.");
    QTest::newRow("width 0") << KeinBereich << "0"
                             << "9" << groesse;
    QTest::newRow("height below 0") << KeinBereich << "16"
                                    << "-1" << groesse;
    QTest::newRow("height rounds to 0") << KeinBereich << "16"
                                        << "0,004" << groesse;
    QTest::newRow("width not a number") << KeinBereich << "-"
                                        << "9" << groesse;
    QTest::newRow("area without height") << TRect{300, 200, 700, 200} << "16"
                                         << "9"
                                         << "Warnung|Es wird nichts gedruckt: Der Auswahlbereich ist leer.";
}

// Nothing that cannot give a picture goes to the printer: the user is told, and the dialog stays
// open to correct the values.
void TstDruck::nichtsZuDrucken()
{
    QFETCH(TRect, bereich);
    QFETCH(QString, breite);
    QFETCH(QString, hoehe);
    QFETCH(QString, meldung);
    ToolForm->BereichRect = bereich;
    const int vorher = ohneServer() ? 0 : auftraege();
    Gezeigt gezeigt;
    MeldForm->installEventFilter(&gezeigt);
    imDialog([&](TDruckForm &d) {
        d.SeitRatio->setChecked(false);
        tippe(d.BreiteEdit, breite);
        tippe(d.HoeheEdit, hoehe);
        QTest::keyClick(d.HoeheEdit, Qt::Key_Return);
        QTRY_COMPARE(m_boxen, QStringList{meldung});
        QTest::qWait(20);
        QVERIFY(d.isVisible());
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    MeldForm->removeEventFilter(&gezeigt);
    QCOMPARE(gezeigt.Mal, 0);
    if (!ohneServer())
        QCOMPARE(auftraege(), vorher);
    DruckForm->setBreite(16);
    DruckForm->setSeitRatio(true);
}

void TstDruck::serverFehlt_data()
{
    QTest::addColumn<bool>("stumm");
    QTest::addColumn<QString>("zeile");
    QTest::newRow("no server") << false << "Der Druckserver ist nicht erreichbar (%1)";
    QTest::newRow("server that never answers") << true << "Der Druckserver antwortet nicht (%1)";
}

// A print server that is gone, or that takes connections and never answers, holds up nothing:
// the dialog opens at once and its printer line says what is wrong, printing says it in a box
// and takes the notice away again, and "Fertig" then gives the screen back at once.
void TstDruck::serverFehlt()
{
    QFETCH(bool, stumm);
    QFETCH(QString, zeile);
    const QString pfad = m_dir.filePath(QStringLiteral("server.sock"));
    QFile::remove(pfad);
    std::unique_ptr<StummerServer> server;
    if (stumm) {
        server = std::make_unique<StummerServer>(pfad);
        QVERIFY(server->bereit());
    }
    const QByteArray bisher = qgetenv("CUPS_SERVER");
    qputenv("CUPS_SERVER", QFile::encodeName(pfad));
    cupsSetServer(nullptr);
    const auto zurueck = qScopeGuard([&] {
        qputenv("CUPS_SERVER", bisher);
        cupsSetServer(nullptr);
    });
    zeile = zeile.arg(pfad);
    Gezeigt gezeigt;
    MeldForm->installEventFilter(&gezeigt);
    QElapsedTimer uhr;
    uhr.start();
    imDialog([&](TDruckForm &d) {
        QVERIFY2(uhr.elapsed() < 1000, qPrintable(QString::number(uhr.elapsed())));
        QTRY_COMPARE_WITH_TIMEOUT(d.DruckerInfo->text(), zeile, 10000);
        QTest::keyClick(d.DruckBtn, Qt::Key_Return);
    });
    QTRY_COMPARE_WITH_TIMEOUT(
        m_boxen,
        QStringList{QStringLiteral("Skizzomat|Es wird nichts gedruckt: ") + zeile + QLatin1Char('.')}, 10000);
    MeldForm->removeEventFilter(&gezeigt);
    QCOMPARE(gezeigt.Mal, 1);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(MeldForm->isHidden());

    uhr.restart();
    ToolForm->StartFertigBtnClick();
    QVERIFY(!ScreenForm->isVisible());
    QVERIFY2(uhr.elapsed() < 1000, qPrintable(QString::number(uhr.elapsed())));
    QVERIFY(einfrieren(m_bild));
}

void TstDruck::waehle(TDruckForm &d, const QString &queue, bool ok)
{
    bool gewaehlt = false;
    QString bestaetigung;
    // Qt's dialog opens once the server has answered.
    QTimer warten;
    connect(&warten, &QTimer::timeout, &d, [&] {
        auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        warten.stop();
        for (QComboBox *c : dialog->findChildren<QComboBox *>())
            if (const int i = c->findText(queue); i >= 0) {
                c->setCurrentIndex(i);
                gewaehlt = true;
            }
        if (auto *knoepfe = dialog->findChild<QDialogButtonBox *>())
            bestaetigung = knoepfe->button(QDialogButtonBox::Ok)->text();
        ok ? dialog->accept() : dialog->reject();
    });
    warten.start(10);
    QTest::mouseClick(d.DrEinrBtn, Qt::LeftButton);
    QVERIFY(gewaehlt);
    QCOMPARE(bestaetigung, QStringLiteral("&Übernehmen"));
}

// "Einrichten..." picks a queue for the rest of the run and names it with its device. A queue
// that refuses the job ends in the error display, without a stuck notice.
void TstDruck::einrichtenUndAbgelehnt()
{
    if (ohneServer())
        QSKIP(qPrintable(qEnvironmentVariable("SKZ_CUPS_FEHLT", QStringLiteral("not run by cupsrun.sh"))));
    const QString abweiser = QStringLiteral("abweiser an file:///dev/null – nimmt keine Aufträge an");
    const int vorher = auftraege();
    imDialog([&](TDruckForm &d) {
        waehle(d, QStringLiteral("abweiser"), true);
        QTRY_COMPARE(d.DruckerInfo->text(), abweiser);
        QVERIFY(d.isVisible());
        QTest::keyClick(d.DruckBtn, Qt::Key_Return);
    });
    QTRY_COMPARE(m_boxen.size(), 1);
    QVERIFY2(
        m_boxen.at(0).startsWith(QStringLiteral("Skizzomat|Der Drucker hat den Auftrag nicht angenommen: ")),
        qPrintable(m_boxen.at(0)));
    QVERIFY2(m_boxen.at(0).contains(QStringLiteral("abweiser")), qPrintable(m_boxen.at(0)));
    QCOMPARE(auftraege(), vorher);

    // The choice holds; a cancelled set-up keeps it, a confirmed one changes it.
    imDialog([&](TDruckForm &d) {
        QTRY_COMPARE(d.DruckerInfo->text(), abweiser);
        waehle(d, QStringLiteral("filepdf"), false);
        QTRY_COMPARE(d.DruckerInfo->text(), abweiser);
        waehle(d, QStringLiteral("filepdf"), true);
        QTRY_COMPARE(d.DruckerInfo->text(), QStringLiteral("filepdf an file://") + m_pdf);
        QTest::keyClick(d.DruckBtn, Qt::Key_Return);
    });
    QTRY_COMPARE(auftraege(), vorher + 1);
    QCOMPARE(m_boxen.size(), 1);
    QVERIFY(!seite().isNull());
}

// A stopped queue shows why on the printer line; a chosen queue that was deleted since is
// named as gone, on the line and when printing.
void TstDruck::angehaltenUndGeloescht()
{
    if (ohneServer())
        QSKIP(qPrintable(qEnvironmentVariable("SKZ_CUPS_FEHLT", QStringLiteral("not run by cupsrun.sh"))));
    const QString filepdf = QStringLiteral("filepdf an file://") + m_pdf;
    QCOMPARE(cups(QStringLiteral("cupsdisable"),
                  {QStringLiteral("-r"), QStringLiteral("Papierstau im Fach 2"), QStringLiteral("filepdf")}),
             QString());
    imDialog([&](TDruckForm &d) {
        QTRY_COMPARE(d.DruckerInfo->text(), filepdf + QStringLiteral(" – angehalten: Papierstau im Fach 2"));
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    QCOMPARE(cups(QStringLiteral("cupsenable"), {QStringLiteral("filepdf")}), QString());

    QCOMPARE(cups(QStringLiteral("lpadmin"),
                  {QStringLiteral("-p"), QStringLiteral("weg"), QStringLiteral("-E"), QStringLiteral("-v"),
                   QStringLiteral("file:///dev/null"), QStringLiteral("-P"), Ppd}),
             QString());
    imDialog([&](TDruckForm &d) {
        waehle(d, QStringLiteral("weg"), true);
        QTRY_COMPARE(d.DruckerInfo->text(), QStringLiteral("weg an file:///dev/null"));
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    QCOMPARE(cups(QStringLiteral("lpadmin"), {QStringLiteral("-x"), QStringLiteral("weg")}), QString());
    const int vorher = auftraege();
    imDialog([&](TDruckForm &d) {
        QTRY_COMPARE(d.DruckerInfo->text(), QStringLiteral("weg: Diesen Drucker gibt es nicht mehr"));
        QTest::keyClick(d.DruckBtn, Qt::Key_Return);
    });
    QTRY_COMPARE(m_boxen, QStringList{QStringLiteral(
                              "Skizzomat|Es wird nichts gedruckt: Den Drucker „weg“ gibt es nicht "
                              "mehr. Unter „Einrichten...“ lässt sich ein anderer wählen.")});
    QCOMPARE(auftraege(), vorher);
    imDialog([&](TDruckForm &d) {
        waehle(d, QStringLiteral("filepdf"), true);
        QTRY_COMPARE(d.DruckerInfo->text(), filepdf);
        QTest::keyClick(&d, Qt::Key_Escape);
    });
}

void TstDruck::zuGross_data()
{
    QTest::addColumn<QString>("werte"); // left, top, width; the height follows the picture
    QTest::addColumn<QString>("antwort");
    QTest::addColumn<QString>("meldung");
    // A4 is 21,0 × 29,7 cm; the queue prints up to 0,635 cm from the right and 1,27 cm from the
    // bottom edge.
    QTest::newRow("too wide, printed anyway")
        << "2,5 1,8 25"
        << "&Ja"
        << "Rechts reicht es bis 27,5 cm vom linken Papierrand, bedruckt wird bis 20,4 cm.";
    QTest::newRow("too tall, not printed")
        << "2,5 20 16"
        << "&Nein"
        << "Unten reicht es bis 29,0 cm vom oberen Papierrand, bedruckt wird bis 28,4 cm.";
}

// A picture that goes beyond the printable part of the paper is cut there: the user is asked
// before anything is printed, and "Nein" goes back to the dialog.
void TstDruck::zuGross()
{
    if (ohneServer())
        QSKIP(qPrintable(qEnvironmentVariable("SKZ_CUPS_FEHLT", QStringLiteral("not run by cupsrun.sh"))));
    QFETCH(QString, werte);
    QFETCH(QString, antwort);
    QFETCH(QString, meldung);
    m_antwort = antwort;
    const bool drucken = antwort == QLatin1String("&Ja");
    const int vorher = auftraege();
    imDialog([&](TDruckForm &d) {
        const QStringList w = werte.split(QLatin1Char(' '));
        tippe(d.LiRandEdit, w.at(0));
        tippe(d.ObRandEdit, w.at(1));
        tippe(d.BreiteEdit, w.at(2));
        QTest::keyClick(d.BreiteEdit, Qt::Key_Return);
        QTRY_COMPARE(m_boxen.size(), 1);
        if (!drucken) {
            QTest::qWait(50);
            QVERIFY(d.isVisible());
            QTest::keyClick(&d, Qt::Key_Escape);
        }
    });
    QCOMPARE(m_boxen.size(), 1);
    QVERIFY2(m_boxen.at(0) == QStringLiteral("Bestätigen|Das Bild passt nicht auf das Papier und wird "
                                             "abgeschnitten. ") +
                                  meldung + QStringLiteral("\r\n\r\nTrotzdem drucken?"),
             qPrintable(m_boxen.at(0)));
    if (drucken)
        QTRY_COMPARE(auftraege(), vorher + 1);
    else
        QCOMPARE(auftraege(), vorher);
    DruckForm->setLiRand(2.5);
    DruckForm->setObRand(1.8);
    DruckForm->setBreite(16);
}

// Every text of the translation file's print section reaches the dialog, and leaves it again
// with the designed texts.
void TstDruck::uebersetzt()
{
    const struct
    {
        const char *schluessel;
        std::function<QString(TDruckForm &)> text;
        QString entwurf;
    } ziele[] = {
        {"druck_bildschirmdrucken", [](TDruckForm &d) { return d.windowTitle(); },
         "Bildschirminhalt drucken"},
        {"druck_positiongroesse", [](TDruckForm &d) { return d.PosGroupBox->title(); },
         " Position und Größe "},
        {"druck_druckenbtn", [](TDruckForm &d) { return d.DruckBtn->text(); }, "Drucken"},
        {"druck_abbrechenbtn", [](TDruckForm &d) { return d.AbbrBtn->text(); }, "Abbrechen"},
        {"druck_einstellungenbtn", [](TDruckForm &d) { return d.DrEinrBtn->text(); }, "Einrichten..."},
        {"druck_drucker", [](TDruckForm &d) { return d.DruckerGroupBox->title(); }, " Drucker "},
        {"druck_links", [](TDruckForm &d) { return d.LiRandLab->text(); }, "&Linker Rand:"},
        {"druck_oben", [](TDruckForm &d) { return d.ObRandLab->text(); }, "&Oberer Rand:"},
        {"druck_breite", [](TDruckForm &d) { return d.BreiteLab->text(); }, "&Breite:"},
        {"druck_hoehe", [](TDruckForm &d) { return d.HoeheLab->text(); }, "&Höhe:"},
        {"druck_seitenverhaeltnis", [](TDruckForm &d) { return d.SeitRatio->text(); },
         "Korrektes &Seitenverhältnis"},
    };
    QByteArray ini = "[skizzomat_translation]\n";
    for (const auto &z : ziele)
        ini += QByteArray(z.schluessel) + "=Übersetzt " + z.schluessel + "\n";
    QFile datei(m_dir.filePath(UebersetzungsDateiname));
    QVERIFY(datei.open(QIODevice::WriteOnly));
    datei.write(ini);
    datei.close();
    QVERIFY(UebersetzungEinlesen(m_dir.path() + QLatin1Char('/')));
    const auto zurueck = qScopeGuard([] { OberflaechentexteZuruecksetzen(); });
    imDialog([&](TDruckForm &d) {
        for (const auto &z : ziele) {
            QString soll = QStringLiteral("Übersetzt ") + QLatin1String(z.schluessel);
            if (QByteArray(z.schluessel) == "druck_positiongroesse" ||
                QByteArray(z.schluessel) == "druck_drucker")
                soll = QLatin1Char(' ') + soll + QLatin1Char(' ');
            QCOMPARE(z.text(d), soll);
        }
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    OberflaechentexteZuruecksetzen();
    imDialog([&](TDruckForm &d) {
        for (const auto &z : ziele)
            QCOMPARE(z.text(d), z.entwurf);
        QTest::keyClick(&d, Qt::Key_Escape);
    });
}

int main(int argc, char *argv[])
{
    TAnwendung app(argc, argv);
    TstDruck t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_druck.moc"
