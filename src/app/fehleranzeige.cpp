#include "app/fehleranzeige.h"

#include "app/anzeige.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <exception>
#include <new>

namespace {

// The watch over loading the platform stands before the QApplication part is made.
int &mitPlattformWache(int &argc)
{
    PlattformWacheAufstellen();
    return argc;
}

QString mitPunkt(const QString &text)
{
    return text.endsWith(QLatin1Char('.')) ? text : text + QLatin1Char('.');
}

} // namespace

TAnwendung::TAnwendung(int &argc, char **argv) : QApplication(mitPlattformWache(argc), argv)
{
    PlattformGeladen();
}

bool TAnwendung::notify(QObject *empfaenger, QEvent *e)
{
    try {
        return QApplication::notify(empfaenger, e);
    } catch (const std::bad_alloc &) {
        fehlerZeigen(QStringLiteral("Zu wenig Arbeitsspeicher"));
    } catch (const std::exception &ex) {
        fehlerZeigen(QString::fromLocal8Bit(ex.what()));
    } catch (...) {
        fehlerZeigen(QStringLiteral("Unbekannter Fehler"));
    }
    return false;
}

// The box comes once the failed event is left behind: a handler may have thrown halfway
// through painting or with a pointer grab, where a modal loop must not start. While a box is
// open, further errors (a paint that fails every time) are not stacked on it.
void TAnwendung::fehlerZeigen(const QString &text)
{
    if (m_zeigtFehler)
        return;
    m_zeigtFehler = true;
    QTimer::singleShot(0, this, [this, text] {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Skizzomat"), mitPunkt(text),
                        QMessageBox::NoButton, activeWindow());
        box.setDefaultButton(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
        box.exec();
        m_zeigtFehler = false;
    });
}
