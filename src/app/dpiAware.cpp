#include "app/dpiAware.h"

#include "app/umgebung.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QScreen>

void DpiAware()
{
    // Each of these makes Qt scale windows and pictures; desktops export some of them (KDE
    // Plasma sets the screen factors when display scaling is on). The program works in the
    // monitor's pixels whatever the desktop says. The programs it starts scale as the user
    // asked.
    for (const char *name :
         {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_USE_PHYSICAL_DPI"})
        EigeneUmgebungSetzen(name, std::nullopt);
    EigeneUmgebungSetzen("QT_ENABLE_HIGHDPI_SCALING", QByteArrayLiteral("0"));
}

QStringList skalierteMonitore()
{
    QStringList skaliert;
    for (const QScreen *s : QGuiApplication::screens())
        if (s->devicePixelRatio() != 1.0)
            skaliert.append(QStringLiteral("%1 (%2)").arg(s->name()).arg(s->devicePixelRatio()));
    return skaliert;
}
