#include "app/dpiAware.h"

#include <QByteArray>
#include <QtGlobal>

void DpiAware()
{
    if (!qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING"))
        qputenv("QT_ENABLE_HIGHDPI_SCALING", QByteArrayLiteral("0"));
}
