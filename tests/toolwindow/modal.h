// Answers the modal boxes and dialogs a command opens, and notes what they said.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <functional>

// Types the name into the dialog and presses "Speichern".
inline void eintippen(QFileDialog *d, const QString &name)
{
    d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(name);
    static_cast<QDialog *>(d)->accept();
}

class Modal
{
public:
    // `datei` runs in an open file dialog; each message box is answered with the button whose
    // text is `antwort` (or its first one).
    explicit Modal(std::function<void(QFileDialog *)> datei = {}, QString antwort = {})
        : m_datei(std::move(datei)), m_antwort(std::move(antwort))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { schauen(); });
        m_timer.start(10);
    }

    QStringList Boxen;            // "title|text" of each box, in order
    std::function<void()> beiBox; // runs while each box is open, before it is answered

private:
    void schauen()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            m_offen = nullptr; // the dialog below comes back afterwards
            Boxen.append(box->windowTitle() + QLatin1Char('|') + box->text());
            if (beiBox)
                beiBox();
            QAbstractButton *knopf = box->buttons().constFirst();
            for (QAbstractButton *b : box->buttons())
                if (b->text() == m_antwort)
                    knopf = b;
            knopf->click();
        } else if (auto *dialog = qobject_cast<QFileDialog *>(w); dialog && dialog != m_offen) {
            m_offen = dialog;
            // Queued: a box the dialog opens must not block this timer's own callback.
            QMetaObject::invokeMethod(
                dialog,
                [this, dialog] {
                    if (m_datei)
                        m_datei(dialog);
                    else
                        dialog->reject();
                },
                Qt::QueuedConnection);
        } else if (!w) {
            m_offen = nullptr;
        }
    }

    std::function<void(QFileDialog *)> m_datei;
    QString m_antwort;
    QTimer m_timer;
    QFileDialog *m_offen = nullptr;
};
