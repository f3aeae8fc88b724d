#include "controls/meldform.h"
#include "controls/shadowlabel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFrame>
#include <QScreen>
#include <QTest>

namespace {

// Counts the paints of a widget.
class Maler : public QObject
{
public:
    int Anzahl = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        Anzahl += e->type() == QEvent::Paint;
        return false;
    }
};

// Rows and columns of the picture that hold dark pixels.
QRect tinte(const QImage &bild, QList<int> *zeilen = nullptr)
{
    QRect r;
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            if (qGray(bild.pixel(x, y)) < 128) {
                r |= QRect(x, y, 1, 1);
                if (zeilen && (zeilen->isEmpty() || zeilen->last() != y))
                    zeilen->append(y);
            }
    return r;
}

} // namespace

class TstMeldForm : public QObject
{
    Q_OBJECT

private slots:
    void aufbau();
    void zeigenMaltVorDerRueckkehr();
    void dreiZeilenMittig();
};

void TstMeldForm::aufbau()
{
    TMeldForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Information"));
    QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(form.size(), QSize(313, 97));
    QCOMPARE(form.Panel1->geometry(), QRect(8, 8, 297, 81));
    QCOMPARE(form.Panel1->frameWidth(), 1);
    QCOMPARE(form.InfoLab->geometry(), QRect(6, 6, 281, 65));
    QCOMPARE(form.InfoLab->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
    QCOMPARE(form.InfoLab->Shadow(), 0);
    QVERIFY(form.InfoLab->Transparent());
    QVERIFY(!form.InfoLab->AutoSize());
    QVERIFY(!form.InfoLab->wordWrap());
    QCOMPARE(form.InfoLab->text(), QStringLiteral("XXX"));
    QCOMPARE(QFontInfo(form.InfoLab->font()).family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(form.InfoLab->font().pixelSize(), 12);
    QVERIFY(form.findChildren<QAbstractButton *>().isEmpty());
}

// The notice is painted with its text before Zeigen returns, centred on the screen; a second
// Zeigen replaces the text; closing only hides it.
void TstMeldForm::zeigenMaltVorDerRueckkehr()
{
    TMeldForm form;
    Maler maler;
    form.InfoLab->installEventFilter(&maler);
    form.Zeigen(QStringLiteral("Screenshot abgelegt"));
    QVERIFY(form.isVisible());
    QCOMPARE(form.InfoLab->text(), QStringLiteral("Screenshot abgelegt"));
    QVERIFY(maler.Anzahl >= 1);
    const QPoint abstand =
        form.frameGeometry().center() - QGuiApplication::primaryScreen()->geometry().center();
    QVERIFY2(abstand.manhattanLength() <= 2, "centred on the screen");

    maler.Anzahl = 0;
    form.Zeigen(QStringLiteral("Ausdruck wird vorbereitet.||Bitte warten."));
    QVERIFY(maler.Anzahl >= 1);
    QCOMPARE(form.InfoLab->text(), QStringLiteral("Ausdruck wird vorbereitet.||Bitte warten."));

    form.close();
    QVERIFY(!form.isVisible());
    form.hide();
    form.Zeigen(QStringLiteral("wieder da"));
    QVERIFY(form.isVisible());
}

// Three lines, the middle one empty, each centred, the block centred in the 281 × 65 box.
void TstMeldForm::dreiZeilenMittig()
{
    TMeldForm form;
    form.Zeigen(QStringLiteral("Ausdruck wird vorbereitet.||Bitte warten."));
    const QImage bild = form.InfoLab->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QList<int> zeilen;
    const QRect t = tinte(bild, &zeilen);
    QVERIFY(!t.isEmpty());
    QVERIFY2(qAbs(t.left() - (bild.width() - 1 - t.right())) <= 2, "centred across");

    // Two blocks of ink with a gap of more than a line between them.
    int luecke = 0;
    for (qsizetype i = 1; i < zeilen.size(); ++i)
        luecke = qMax(luecke, zeilen[i] - zeilen[i - 1]);
    const int zeile = QFontMetrics(form.InfoLab->font()).height();
    QVERIFY2(luecke > zeile, qPrintable(QString::number(luecke)));
    const int oben = t.top(), unten = bild.height() - 1 - t.bottom();
    QVERIFY2(qAbs(oben - unten) <= 4, qPrintable(QStringLiteral("%1 %2").arg(oben).arg(unten)));
}

QTEST_MAIN(TstMeldForm)
#include "tst_meldform.moc"
