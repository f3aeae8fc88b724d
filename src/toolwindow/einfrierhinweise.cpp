#include "toolwindow/einfrierhinweise.h"

#include "controls/meldform.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
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

// The error box, put beside the window once its size is known and before it is mapped, so
// that no window manager has to move it.
class Nebenbox : public QMessageBox
{
public:
    Nebenbox(QWidget *fenster, const QString &text)
        : QMessageBox(QMessageBox::Critical, QStringLiteral("Fehler"), text, QMessageBox::NoButton, fenster),
          m_fenster(fenster)
    {
        setDefaultButton(addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
    }

protected:
    void showEvent(QShowEvent *e) override
    {
        QMessageBox::showEvent(e);
        const QRect nachbar = m_fenster->frameGeometry();
        const QScreen *s = m_fenster->screen();
        // The box's frame is not known before it is mapped; the tool window's frame is alike.
        move(nebenan(nachbar, size() + (nachbar.size() - m_fenster->size()),
                     s ? s->availableGeometry() : nachbar));
    }

private:
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
    Nebenbox box(fenster, text);
    box.exec();
}
