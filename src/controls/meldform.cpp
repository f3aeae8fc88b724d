#include "controls/meldform.h"

#include "controls/fensterrahmen.h"
#include "controls/shadowlabel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWindow>

TMeldForm *MeldForm = nullptr;

TMeldForm::TMeldForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Information"));
    setFixedSize(313, 97);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 297, 81);
    Panel1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Panel1->setLineWidth(1);

    InfoLab = new TShadowLabel(Panel1);
    InfoLab->setObjectName(QStringLiteral("InfoLab"));
    InfoLab->setGeometry(6, 6, 281, 65);
    InfoLab->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    InfoLab->setAutoSize(false);
    InfoLab->setTransparent(true);
    InfoLab->setWordWrap(false);
    InfoLab->setShadow(0);
    InfoLab->setText(QStringLiteral("XXX"));
}

void TMeldForm::Zeigen(const QString &text)
{
    InfoLab->setText(text);
    // Over a frozen picture the notice belongs to the surface: a window manager keeps a
    // transient window above its owner, even where it lifts the surface above every
    // stays-on-top window.
    create();
    if (QWindow *w = windowHandle())
        w->setTransientParent(m_bezug && m_bezug->isVisible() ? m_bezug->windowHandle() : nullptr);
    show();
    raise();
    repaint();
    // The window system maps the window asynchronously; wait briefly for it to be exposed so
    // that the notice is painted before the caller blocks. Input waits until the work is done.
    const QDeadlineTimer frist(250);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    while (windowHandle() && !windowHandle()->isExposed() && !frist.hasExpired()) {
        QThread::msleep(2);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    repaint();
}

void TMeldForm::showEvent(QShowEvent *e)
{
    if (const QScreen *s = QGuiApplication::primaryScreen())
        rahmenMittig(*this, s->geometry());
    QDialog::showEvent(e);
}
