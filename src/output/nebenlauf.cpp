#include "output/nebenlauf.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

bool abwarten(const std::function<bool()> &fertig, int ms)
{
    if (fertig())
        return true;
    const QDeadlineTimer frist(ms);
    QEventLoop schleife;
    QTimer blick;
    QObject::connect(&blick, &QTimer::timeout, &schleife, [&] {
        if (fertig() || frist.hasExpired())
            schleife.quit();
    });
    blick.start(10);
    schleife.exec();
    return fertig();
}
