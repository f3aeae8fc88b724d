// The e-mail hand-over on a real X server with a window manager and real input: the e-mail
// menu under its button, the picture arriving at a stand-in e-mail program through xdg-email,
// the answer's box while that program stays open and strokes drawn meanwhile, the end that
// keeps the picture the program may still read, and the question about it at a later start.
#include "xsupport.h"

#include "../output/mailattrappe.h"
#include "app/data.h"
#include "output/email.h"
#include "output/mail.h"
#include "output/ordner.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QAbstractButton>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace {

void ziehen(QPoint von, QPoint nach)
{
    xs::run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QString::number(von.x()), QString::number(von.y()),
             QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("mousemove"),
             QString::number((von.x() + nach.x()) / 2), QString::number((von.y() + nach.y()) / 2),
             QStringLiteral("sleep"), QStringLiteral("0.05"), QStringLiteral("mousemove"),
             QString::number(nach.x()), QString::number(nach.y()), QStringLiteral("sleep"),
             QStringLiteral("0.05"), QStringLiteral("mouseup"), QStringLiteral("1")});
}

// Answers each message box with a real click on its button `antwort` (boxes run their own
// event loop, so this watches from a timer) and notes "title|text" of each.
class Antworter : public QObject
{
public:
    explicit Antworter(QString antwort) : m_antwort(std::move(antwort))
    {
        connect(&m_timer, &QTimer::timeout, this, &Antworter::schauen);
        m_timer.start(50);
    }
    void setzeAntwort(const QString &antwort) { m_antwort = antwort; }
    QStringList Boxen;

private:
    void schauen()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box == m_beantwortet || !box->isVisible() || !box->windowHandle() ||
            !box->windowHandle()->isExposed() || !xs::placed(box))
            return;
        for (QAbstractButton *k : box->buttons())
            if (k->text() == m_antwort) {
                m_beantwortet = box;
                Boxen.append(box->windowTitle() + QLatin1Char('|') + box->text());
                xs::click(xs::centre(k));
            }
    }

    QString m_antwort;
    QTimer m_timer;
    QPointer<QMessageBox> m_beantwortet;
};

} // namespace

class TstX11Email : public QObject
{
    Q_OBJECT

private slots:
    void menuToMailProgramAndQuestionAtClose();
};

void TstX11Email::menuToMailProgramAndQuestionAtClose()
{
    MailAttrappe mail;
    QString why;
    QVERIFY2(mail.einrichten(&why), qPrintable(why));
    xs::freshWindows();
    TToolForm &t = *ToolForm;
    TScreenForm &s = *ScreenForm;
    QVERIFY(xs::startClicked());
    const QString ordner = EmailOrdner();

    // The e-mail program stays open after taking the message, as one started afresh does.
    mail.festhalten(true);
    // Ready before the hand-over: on a busy machine the program's answer may come before the
    // e-mail program has even noted its arguments.
    Antworter antworter(QStringLiteral("OK"));
    xs::click(xs::centre(t.Buttons.value(QStringLiteral("EmailBtn"))));
    QTRY_VERIFY(t.EmailMenu->isVisible());
    QVERIFY(xs::waitUntilPlaced(t.EmailMenu));
    QAction *png = t.Aktionen.value(QStringLiteral("EmailPNGMenuItem"));
    xs::click(t.EmailMenu->mapToGlobal(t.EmailMenu->actionGeometry(png).center()));
    QTRY_COMPARE_WITH_TIMEOUT(mail.adressen().size(), 1, 20000);
    const QStringList dateien = QDir(ordner).entryList(QDir::Files);
    QCOMPARE(dateien.size(), 1);
    const QString datei = ordner + QLatin1Char('/') + dateien.at(0);
    QCOMPARE(mailtoFeld(mail.adressen().at(0), QStringLiteral("attach")), QStringList{datei});
    QCOMPARE(mailtoFeld(mail.adressen().at(0), QStringLiteral("subject")),
             QStringList{QStringLiteral("Screenshot")});

    // The program answers while the e-mail program stays open, and the pointer is not busy.
    QTRY_COMPARE_WITH_TIMEOUT(antworter.Boxen,
                              QStringList{QStringLiteral("Informationen|") + EmailUebermitteltText()}, 20000);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(t.EmailDateiList, QStringList{datei});
    QCOMPARE(t.cursor().shape(), Qt::ArrowCursor);

    // Meanwhile the picture takes a stroke, and the screen shows it.
    const QImage vorher = s.Img1Bmp;
    ziehen({150, 150}, {250, 200});
    QTRY_VERIFY(s.Img1Bmp != vorher);
    const QString diff = xs::waitForScreen(s.Img1Bmp, QRegion(xs::frameRect(t.winId())));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    // The window manager's close while the e-mail program is open: no question, the picture
    // stays. (Sent as openbox sends it for Alt+F4: a key through the window manager got lost
    // now and then on a loaded machine.)
    antworter.setzeAntwort(QStringLiteral("&Ja"));
    QVERIFY(xs::closeWindow(t.winId()));
    QTRY_VERIFY(t.isHidden());
    QTest::qWait(300);
    QCOMPARE(antworter.Boxen.size(), 1);
    QVERIFY(QFileInfo::exists(datei));

    // Once the e-mail program has ended, a later start offers it, and "Ja" deletes it.
    mail.festhalten(false);
    QTRY_VERIFY_WITH_TIMEOUT(!MailLaeuftNoch(EmailListeLesen().value(0).Uebergabe), 20000);
    t.EmailFruehereAnbieten();
    QCOMPARE(antworter.Boxen.size(), 2);
    QCOMPARE(antworter.Boxen.at(1), QStringLiteral("Bestätigen|") + EmailAufraeumenText(1, ordner));
    QVERIFY(!QFileInfo::exists(datei));
}

XS_TEST_MAIN(TstX11Email)
#include "tst_x11_email.moc"
