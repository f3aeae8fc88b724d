#include "app/qtuebersetzung.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool QtUebersetzungLaden()
{
    auto *uebersetzer = new QTranslator(QCoreApplication::instance());
    if (!uebersetzer->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete uebersetzer;
        return false;
    }
    return QCoreApplication::installTranslator(uebersetzer);
}
