#include "surface/mauszeiger.h"

#include <QPixmap>

namespace {
QCursor &eigenerZeiger(int nummer)
{
    static QCursor zeiger[3];
    return zeiger[nummer];
}
} // namespace

void MauszeigerRegistrieren()
{
    // Hot spots: the top left of the hand; the eyedropper's tip.
    eigenerZeiger(1) = QCursor(QPixmap(QStringLiteral(":/cursors/HAND")), 9, 8);
    eigenerZeiger(2) = QCursor(QPixmap(QStringLiteral(":/cursors/PIPETTE")), 8, 24);
}

QCursor cursorFuer(Zeiger z)
{
    switch (z) {
    case Zeiger::Keiner:
        return Qt::BlankCursor;
    case Zeiger::Hand:
        return eigenerZeiger(1);
    case Zeiger::Pipette:
        return eigenerZeiger(2);
    case Zeiger::Bewegen:
        return Qt::SizeAllCursor;
    case Zeiger::Pfeil:
        break;
    }
    return Qt::ArrowCursor;
}
