// The e-mail commands of the tool window on a frozen picture, with a stand-in e-mail program
// behind the real xdg-email: the pictures handed over, the boxes, the numbering, an e-mail
// program that stays open, and the questions about the pictures handed over: never about one
// an e-mail program may still read, and about every other one sooner or later.
#include "../output/dateigrenze.h"
#include "../output/desktopattrappe.h"
#include "../output/mailattrappe.h"
#include "../surface/bildhilfe.h"
#include "../surface/eingefroren.h"
#include "modal.h"
#include "output/email.h"
#include "output/mail.h"
#include "output/ordner.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString Uebermittelt = QStringLiteral("Informationen|") + EmailUebermitteltText();
const QString Abgebrochen = QStringLiteral("Warnung|") + EmailAbgebrochenText();
constexpr int Antwortzeit = 20000; // xdg-email takes a second or two here

QStringList dateienIn(const QString &ordner)
{
    return QDir(ordner).entryList(QDir::Files, QDir::Name);
}

QImage gelesen(const QString &pfad)
{
    return QImage(pfad).convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TstEmail : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void versenden_data();
    void versenden();
    void nichtVersendet_data();
    void nichtVersendet();
    void wartenHaeltNichtAuf();
    void vielleichtNochGelesen_data();
    void vielleichtNochGelesen();
    void aufraeumen_data();
    void aufraeumen();
    void programmUndOrdner_data();
    void programmUndOrdner();

private:
    // Triggers the menu entry and waits for the box that answers the hand-over.
    void versende(const char *eintrag, Modal &modal, int boxenVorher);

    QImage m_bild;
    QTemporaryDir m_home;
    MailAttrappe m_mail;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_ordner;
    DesktopAttrappe m_desktop;
};

// A hand-over whose program ended near the last test is deleted by the event loop, which does
// not run again after it. On a busy machine a hand-over may still run then: let the stand-in go
// and wait until each of our child processes is reaped, that is, its end seen.
void TstEmail::cleanupTestCase()
{
    m_mail.festhalten(false);
    const QString ich = QString::number(QCoreApplication::applicationPid());
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20000) {
        QProcess kinder;
        kinder.start(QStringLiteral("pgrep"), {QStringLiteral("-P"), ich});
        if (kinder.waitForFinished() && kinder.exitCode() == 1)
            break;
        QTest::qWait(50);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TstEmail::initTestCase()
{
    QVERIFY(m_home.isValid());
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        const QString d = m_home.filePath(QString::fromLatin1(name));
        QVERIFY(QDir().mkpath(d));
        QFile::setPermissions(d, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv(name, QFile::encodeName(d));
    }
    qputenv("HOME", QFile::encodeName(m_home.path()));
    // The stand-in file manager first: it starts with no defaults chosen.
    QString warum;
    QVERIFY2(m_desktop.einrichten({QStringLiteral("inode/directory")}, &warum), qPrintable(warum));
    QVERIFY2(m_mail.einrichten(&warum), qPrintable(warum));
    m_bild = musterBild(640, 360);
    QVERIFY(einfrieren(m_bild));
}

void TstEmail::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_ordner = m_dir->filePath(QStringLiteral("Email"));
    Cfg.EmailDir = m_ordner;
    Cfg.ScreenshotDir = m_dir->filePath(QStringLiteral("Screenshots"));
    Cfg.EmailNr = 0;
    ToolForm->EmailDateiList.clear();
    EmailListeSchreiben({});
    // A failing xdg-email takes seconds on a loaded machine; it must not count as handed over.
    MailEntscheidungsZeit = Antwortzeit;
    ToolForm->BereichRect = KeinBereich;
    m_mail.setzeCode(0);
    m_mail.festhalten(false);
    m_mail.leserLassen(false);
    m_mail.vergessen();
    m_desktop.vergessen();
    QVERIFY(einfrieren(m_bild));
}

void TstEmail::versende(const char *eintrag, Modal &modal, int boxenVorher)
{
    aktion(eintrag)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(modal.Boxen.size() > boxenVorher, Antwortzeit);
}

void TstEmail::versenden_data()
{
    QTest::addColumn<QString>("ordner");
    QTest::addColumn<TRect>("bereich");
    QTest::addColumn<QRect>("ausschnitt");
    QTest::newRow("whole picture") << "Email" << KeinBereich << QRect(0, 0, 640, 360);
    QTest::newRow("area, blanks, commas and umlauts in the path")
        << "Post für mich, bitte/E Mail" << TRect{30, 40, 230, 140} << QRect(30, 40, 200, 100);
}

// PNG, then JPEG: each picture arrives at the e-mail program with the subject, and is kept.
void TstEmail::versenden()
{
    QFETCH(QString, ordner);
    QFETCH(TRect, bereich);
    QFETCH(QRect, ausschnitt);
    m_ordner = m_dir->filePath(ordner);
    Cfg.EmailDir = m_ordner;
    ToolForm->BereichRect = bereich;
    const QImage soll = m_bild.copy(ausschnitt);

    Modal modal;
    versende("EmailPNGMenuItem", modal, 0);
    versende("EmailJPGMenuItem", modal, 1);
    QCOMPARE(modal.Boxen, QStringList({Uebermittelt, Uebermittelt}));

    const QStringList dateien = dateienIn(m_ordner);
    QCOMPARE(dateien.size(), 2);
    QVERIFY2(dateien.at(0).endsWith(QStringLiteral("-001.png")), qPrintable(dateien.at(0)));
    QVERIFY2(dateien.at(1).endsWith(QStringLiteral("-002.jpg")), qPrintable(dateien.at(1)));
    const QStringList pfade{m_ordner + QLatin1Char('/') + dateien.at(0),
                            m_ordner + QLatin1Char('/') + dateien.at(1)};
    QCOMPARE(gelesen(pfade.at(0)), soll);
    QCOMPARE(QImage(pfade.at(1)).size(), soll.size());
    QCOMPARE(ToolForm->EmailDateiList, pfade);
    QCOMPARE(Cfg.EmailNr, 2);

    const QStringList adressen = m_mail.adressen();
    QCOMPARE(adressen.size(), 2);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(mailtoFeld(adressen.at(i), QStringLiteral("subject")),
                 QStringList{QStringLiteral("Screenshot")});
        QCOMPARE(mailtoFeld(adressen.at(i), QStringLiteral("attach")), QStringList{pfade.at(i)});
    }
    QCOMPARE(ToolForm->BereichRect, bereich);
    QCOMPARE(ToolForm->cursor().shape(), Qt::ArrowCursor);
}

void TstEmail::nichtVersendet_data()
{
    QTest::addColumn<QString>("fall");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("uebergeben"); // addresses the e-mail program gets
    QTest::newRow("e-mail program ends with an error") << "fehler" << Abgebrochen << 1;
    QTest::newRow("no xdg-email") << "ohne" << Abgebrochen << 0;
    QTest::newRow("folder cannot be created")
        << "ordner"
        << "Fehler|Verzeichnis für E-Mail-Versand konnte nicht erstellt werden:\nDIR/datei/Email\n"
           "Korrigieren Sie ggf. den Ordner in den Einstellungen."
        << 0;
    QTest::newRow("file cannot be written") << "voll"
                                            << "Fehler|Datei konnte nicht erstellt werden:\nDIR/Email/" << 0;
}

// Whatever goes wrong leaves no picture behind, and the next one gets the number again.
void TstEmail::nichtVersendet()
{
    QFETCH(QString, fall);
    QFETCH(QString, box);
    QFETCH(int, uebergeben);
    box.replace(QStringLiteral("DIR"), m_dir->path());
    const QString datei = m_dir->filePath(QStringLiteral("datei"));
    QFile f(datei);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    const QByteArray path = qgetenv("PATH");

    Modal modal;
    if (fall == QLatin1String("fehler")) {
        m_mail.setzeCode(1);
        versende("EmailPNGMenuItem", modal, 0);
    } else if (fall == QLatin1String("ohne")) {
        qputenv("PATH", QFile::encodeName(m_dir->path()));
        versende("EmailPNGMenuItem", modal, 0);
        qputenv("PATH", path);
    } else if (fall == QLatin1String("ordner")) {
        Cfg.EmailDir = datei + QStringLiteral("/Email");
        versende("EmailPNGMenuItem", modal, 0);
    } else {
        QVERIFY(QDir().mkpath(m_ordner));
        Dateigrenze voll(64); // the picture compresses well
        versende("EmailPNGMenuItem", modal, 0);
    }
    QCOMPARE(modal.Boxen.size(), 1);
    QVERIFY2(modal.Boxen.at(0).startsWith(box), qPrintable(modal.Boxen.at(0)));
    QCOMPARE(m_mail.adressen().size(), uebergeben);
    QCOMPARE(dateienIn(m_ordner), QStringList());
    QCOMPARE(ToolForm->EmailDateiList, QStringList());
    QCOMPARE(Cfg.EmailNr, 0);

    Cfg.EmailDir = m_ordner;
    m_mail.setzeCode(0);
    versende("EmailPNGMenuItem", modal, 1);
    QCOMPARE(modal.Boxen.at(1), Uebermittelt);
    const QStringList dateien = dateienIn(m_ordner);
    QCOMPARE(dateien.size(), 1);
    QVERIFY2(dateien.at(0).endsWith(QStringLiteral("-001.png")), qPrintable(dateien.at(0)));
}

// An e-mail program that stays open, as one started afresh does, keeps the pointer busy only
// for the hand-over itself: the picture takes strokes meanwhile, and the answer comes while the
// program is still open.
void TstEmail::wartenHaeltNichtAuf()
{
    MailEntscheidungsZeit = 1500;
    Modal modal;
    m_mail.festhalten(true);
    aktion("EmailPNGMenuItem")->trigger();
    QCOMPARE(MailOffen(), 1);
    QCOMPARE(ToolForm->cursor().shape(), Qt::BusyCursor);
    aktion("DeckCol1")->trigger();
    aktion("Stift1")->trigger();
    const QImage vorher = ScreenForm->Img1Bmp;
    ziehe(ScreenForm->Img1, {20, 20}, {300, 200});
    QVERIFY(ScreenForm->Img1Bmp != vorher);

    QTRY_COMPARE_WITH_TIMEOUT(modal.Boxen, QStringList{Uebermittelt}, Antwortzeit);
    // The answer goes by the time the e-mail program stays open; on a busy machine xdg-email
    // may still be on its way to the stand-in then.
    QTRY_COMPARE_WITH_TIMEOUT(m_mail.adressen().size(), 1, Antwortzeit);
    QCOMPARE(ToolForm->EmailDateiList.size(), 1);
    QVERIFY(QFileInfo::exists(ToolForm->EmailDateiList.at(0)));
    QCOMPARE(MailOffen(), 0);
    QCOMPARE(ToolForm->cursor().shape(), Qt::ArrowCursor);
    m_mail.festhalten(false);
}

void TstEmail::vielleichtNochGelesen_data()
{
    QTest::addColumn<QString>("programm");
    // An e-mail program already running: the launcher hands the message over and returns at
    // once, and the program reads the attachment when the user sends, maybe after we ended.
    QTest::newRow("launcher returns, the program reads later") << "leser";
    QTest::newRow("launcher returns, nothing of it left running") << "";
    // One started afresh keeps xdg-email running until the user quits it.
    QTest::newRow("e-mail program stays in the foreground") << "vorn";
    QTest::newRow("closed before the e-mail program answered") << "offen";
}

// Whatever the e-mail program may still read stays through the end's "Ja", and is offered at a
// later start once nothing of its hand-over runs.
void TstEmail::vielleichtNochGelesen()
{
    QFETCH(QString, programm);
    Modal modal(nullptr, QStringLiteral("&Ja"));
    const bool laeuft = !programm.isEmpty();
    m_mail.leserLassen(programm == QLatin1String("leser"));
    m_mail.festhalten(programm == QLatin1String("vorn") || programm == QLatin1String("offen"));
    if (programm == QLatin1String("vorn"))
        MailEntscheidungsZeit = 1500;
    aktion("EmailPNGMenuItem")->trigger();
    if (programm == QLatin1String("offen"))
        QTRY_COMPARE_WITH_TIMEOUT(m_mail.adressen().size(), 1, Antwortzeit);
    else
        QTRY_COMPARE_WITH_TIMEOUT(modal.Boxen, QStringList{Uebermittelt}, Antwortzeit);
    const QStringList dateien = dateienIn(m_ordner);
    QCOMPARE(dateien.size(), 1);
    const QString datei = m_ordner + QLatin1Char('/') + dateien.at(0);
    QFile f(datei);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray inhalt = f.readAll();
    f.close();

    // The end asks nothing: there is nothing it may delete.
    const qsizetype boxen = modal.Boxen.size();
    QVERIFY(ToolForm->close());
    QCOMPARE(modal.Boxen.mid(boxen), QStringList());
    QVERIFY(QFileInfo::exists(datei));
    QCOMPARE(MailOffen(), 0);

    // A later start leaves it alone while the hand-over's programs run.
    ToolForm->EmailFruehereAnbieten();
    if (laeuft) {
        QCOMPARE(modal.Boxen.mid(boxen), QStringList());
        QVERIFY(QFileInfo::exists(datei));
        m_mail.festhalten(false);
        m_mail.lesen(datei);
        if (programm == QLatin1String("leser"))
            QTRY_COMPARE_WITH_TIMEOUT(m_mail.gelesen(), inhalt, Antwortzeit);
        QTRY_VERIFY_WITH_TIMEOUT(!MailLaeuftNoch(EmailListeLesen().value(0).Uebergabe), Antwortzeit);
        ToolForm->EmailFruehereAnbieten();
    }
    // A late answer changed nothing.
    QCOMPARE(modal.Boxen.mid(boxen).size(), 1);
    QCOMPARE(modal.Boxen.at(boxen), QStringLiteral("Bestätigen|") + EmailAufraeumenText(1, m_ordner));
    QVERIFY(!QFileInfo::exists(datei));
    QCOMPARE(EmailListeLesen(), QList<EmailBild>());
    // Offered once.
    ToolForm->EmailFruehereAnbieten();
    QCOMPARE(modal.Boxen.size(), boxen + 1);
}

void TstEmail::aufraeumen_data()
{
    QTest::addColumn<int>("frueher"); // pictures earlier runs kept, whose programs have ended
    QTest::addColumn<QString>("antwort");
    QTest::addColumn<bool>("vonBild"); // the picture is closed, not the tool window
    QTest::newRow("Ja deletes both") << 2 << "&Ja" << false;
    QTest::newRow("Nein keeps them") << 2 << "&Nein" << false;
    QTest::newRow("Abbrechen keeps the program") << 2 << "Abbrechen" << false;
    QTest::newRow("Abbrechen on closing the picture") << 2 << "Abbrechen" << true;
    QTest::newRow("nothing to offer: no question") << 0 << "" << false;
}

// The end offers what no e-mail program reads any more, and names what stays.
void TstEmail::aufraeumen()
{
    QFETCH(int, frueher);
    QFETCH(QString, antwort);
    QFETCH(bool, vonBild);
    Cfg.EmailDir = QStringLiteral("%docdir%/Skizzomat/Email");
    const QString ordner = EmailOrdner();
    QVERIFY(ordner.startsWith(m_home.path()));
    QDir(ordner).removeRecursively();
    QVERIFY(QDir().mkpath(ordner));
    QList<EmailBild> liste;
    for (int i = 0; i < frueher; ++i) {
        liste.append({ordner + QStringLiteral("/frueher-%1.png").arg(i), 0});
        QVERIFY(m_bild.save(liste.last().Datei));
    }
    EmailListeSchreiben(liste);

    // This run's picture went to an e-mail program that was already running.
    Modal modal(nullptr, antwort);
    if (frueher == 0)
        m_mail.setzeCode(1); // a failed attempt leaves nothing either
    versende("EmailPNGMenuItem", modal, 0);
    if (frueher > 0)
        liste.append({ToolForm->EmailDateiList.value(0), EmailListeLesen().value(frueher).Uebergabe});
    QCOMPARE(EmailListeLesen(), liste);
    const int boxen = int(modal.Boxen.size());

    const bool geschlossen = vonBild ? ScreenForm->close() : ToolForm->close();
    const QString frage =
        QStringLiteral("Bestätigen|2 E-Mail-Screenshot(s) wurde(n) im Ordner ") + ordner +
        QStringLiteral(
            " als Bilddatei(en) abgelegt.\n1 weitere(r) liest das E-Mail-Programm vielleicht noch; "
            "sie werden später angeboten.\nSoll diese jetzt gelöscht werden?");
    QCOMPARE(modal.Boxen.mid(boxen), frueher ? QStringList{frage} : QStringList());
    QCOMPARE(dateienIn(ordner).size(), antwort == QLatin1String("&Ja") ? 1 : liste.size());
    if (antwort != QLatin1String("Abbrechen")) {
        QVERIFY(geschlossen);
        QVERIFY(ToolForm->isHidden());
        // Offered once: only the picture that may still be read stays listed.
        QCOMPARE(EmailListeLesen(), liste.mid(frueher));
        return;
    }
    QVERIFY(!geschlossen);
    QVERIFY(ToolForm->isVisible());
    QVERIFY(ScreenForm->isVisible());
    QCOMPARE(ToolForm->WinZustand, 1);
    QCOMPARE(EmailListeLesen(), liste);
    QVERIFY(!ScreenForm->Img1Bmp.isNull());
    // The question comes again at the next attempt.
    QVERIFY(!ToolForm->close());
    QCOMPARE(modal.Boxen.mid(boxen), QStringList({frage, frage}));
}

void TstEmail::programmUndOrdner_data()
{
    QTest::addColumn<bool>("ordnerGeht");
    QTest::newRow("folder opens") << true;
    QTest::newRow("folder cannot be created") << false;
}

// A new message by its address, then the screenshot folder (not the e-mail folder).
void TstEmail::programmUndOrdner()
{
    QFETCH(bool, ordnerGeht);
    if (!ordnerGeht) {
        const QString datei = m_dir->filePath(QStringLiteral("datei"));
        QFile f(datei);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        Cfg.ScreenshotDir = datei + QStringLiteral("/Screenshots");
    }
    Modal modal;
    aktion("EMailProgrammOeffnen1")->trigger();
    const QString mail(QStringLiteral("mailto:?subject=Screenshot"));
    QTRY_COMPARE_WITH_TIMEOUT(m_mail.adressen(), QStringList{mail}, Antwortzeit);
    if (ordnerGeht) {
        QTRY_COMPARE_WITH_TIMEOUT(m_desktop.geoeffnet(), QStringList{Cfg.ScreenshotDir}, Antwortzeit);
        QCOMPARE(modal.Boxen, QStringList());
        return;
    }
    QVERIFY(m_desktop.geoeffnet().isEmpty());
    QCOMPARE(modal.Boxen,
             QStringList{QStringLiteral("Fehler|Screenshot-Ordner konnte nicht erstellt werden:\n") +
                         Cfg.ScreenshotDir +
                         QStringLiteral("\nKorrigieren Sie ggf. den Ordner in den Einstellungen.")});
}

QTEST_MAIN(TstEmail)
#include "tst_email.moc"
