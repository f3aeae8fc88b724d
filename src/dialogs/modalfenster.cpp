#include "dialogs/modalfenster.h"

#include "controls/fensterrahmen.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace {

// Sees every window of the program shown and hidden; the dialogs (the program's own, Qt's
// message boxes, file and print dialogs) need nothing of their own.
class TModaleFenster : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        switch (e->type()) {
        case QEvent::WindowActivate:
            if (auto *w = qobject_cast<QWidget *>(o); w && w->isWindow())
                m_zuletztAktiv = w;
            break;
        case QEvent::Show:
            if (!e->spontaneous())
                geoeffnet(qobject_cast<QWidget *>(o));
            break;
        case QEvent::Hide:
            if (!e->spontaneous())
                geschlossen(qobject_cast<QWidget *>(o));
            break;
        case QEvent::WindowStateChange:
            wiederHolen(qobject_cast<QWidget *>(o));
            break;
        default:
            break;
        }
        return false;
    }

private:
    void geoeffnet(QWidget *dialog)
    {
        if (!dialog || !dialog->isWindow() || !dialog->isModal())
            return;
        // An earlier showing's entry goes in any case: its window may be long gone.
        m_offen.removeIf([dialog](const auto &p) { return !p.first || p.first == dialog; });
        // A dialog that follows right on another one closing may come before the window
        // manager has activated anything again.
        QWidget *vorher = QApplication::activeWindow();
        if (!vorher || vorher == dialog)
            vorher = m_zuletztAktiv;
        if (!vorher || vorher == dialog || !vorher->isVisible())
            return;
        m_offen.append(std::pair(QPointer<QWidget>(dialog), QPointer<QWidget>(vorher)));
    }

    void geschlossen(QWidget *dialog)
    {
        if (!dialog || !dialog->isWindow())
            return;
        for (qsizetype i = 0; i < m_offen.size(); ++i) {
            if (m_offen[i].first != dialog)
                continue;
            const QPointer<QWidget> vorher = m_offen.takeAt(i).second;
            // Without a window manager Qt gives the window the input focus itself.
            if (vorher && vorher->isVisible() && !perFensterverwaltungAktivieren(*vorher))
                vorher->activateWindow();
            return;
        }
    }

    // A modal window cannot be minimised: the program would wait for it unseen. Some window
    // managers offer it anyway (openbox lets no window refuse it), and openbox then minimises
    // the windows it belongs to as well, the frozen picture and the tool window included.
    // Shown again, it brings them back.
    static void wiederHolen(QWidget *dialog)
    {
        if (!dialog || !dialog->isWindow() || !dialog->isModal() || !dialog->isMinimized())
            return;
        QTimer::singleShot(0, dialog, [dialog] {
            if (dialog->isVisible() && dialog->isMinimized())
                dialog->setWindowState(dialog->windowState() & ~Qt::WindowMinimized);
        });
    }

    QPointer<QWidget> m_zuletztAktiv;
    // Each open modal window and the window that was active when it opened.
    QList<std::pair<QPointer<QWidget>, QPointer<QWidget>>> m_offen;
};

} // namespace

void ModaleFensterEinrichten()
{
    qApp->installEventFilter(new TModaleFenster(qApp));
}
