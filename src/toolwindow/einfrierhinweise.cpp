#include "toolwindow/einfrierhinweise.h"

#include "dialogs/meldform.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include <algorithm>

namespace {

// Where a window of `groesse` (with its frame) goes beside `nachbar` (a frame) on `monitor`.
QPoint nebenan(const QRect &nachbar, const QSize &groesse, const QRect &monitor)
{
    const int abstand = 8;
    int x = nachbar.left() - abstand - groesse.width();
    if (x < monitor.left())
        x = nachbar.right() + 1 + abstand;
    if (x + groesse.width() > monitor.right() + 1)
        x = monitor.right() + 1 - groesse.width();
    const int y = std::clamp(nachbar.top(), monitor.top(),
                             std::max(monitor.top(), monitor.bottom() + 1 - groesse.height()));
    return {std::max(x, monitor.left()), y};
}

// Puts the box beside the window when it is shown, once its size is known and before it is
// mapped, so that no window manager has to move it.
class Nebenplatz : public QObject
{
public:
    Nebenplatz(QWidget *box, QWidget *fenster) : QObject(box), m_box(box), m_fenster(fenster) {}

    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (o == m_box && e->type() == QEvent::Show) {
            const QRect nachbar = m_fenster->frameGeometry();
            QScreen *s = m_fenster->screen();
            const QRect monitor = s ? s->availableGeometry() : nachbar;
            // The box's frame is not known before it is mapped; the tool window's frame is alike.
            const QSize rahmen = nachbar.size() - m_fenster->size();
            m_box->move(nebenan(nachbar, m_box->size() + rahmen, monitor));
        }
        return false;
    }

private:
    QWidget *m_box;
    QWidget *m_fenster;
};

} // namespace

void frageHinweisZeigen(const QString &text)
{
    if (!MeldForm)
        return;
    if (text.isEmpty()) {
        MeldForm->hide();
        // Off the screen before the picture is taken again: the window system unmaps it
        // asynchronously.
        const QDeadlineTimer frist(500);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        while (MeldForm->windowHandle() && MeldForm->windowHandle()->isExposed() && !frist.hasExpired()) {
            QThread::msleep(5);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
        // The compositor shows the next frame without it a little later.
        QThread::msleep(100);
        return;
    }
    MeldForm->Zeigen(text);
    if (const QScreen *s = QGuiApplication::primaryScreen()) {
        const QRect m = s->availableGeometry();
        const QRect f = MeldForm->frameGeometry();
        MeldForm->move(m.left() + (m.width() - f.width()) / 2, m.top() + m.height() / 5 - f.height() / 2);
    }
}

void zeigeFehlerNeben(QWidget *fenster, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler"), text, QMessageBox::NoButton, fenster);
    box.setDefaultButton(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
    box.installEventFilter(new Nebenplatz(&box, fenster));
    box.exec();
}
