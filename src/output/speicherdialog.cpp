#include "output/speicherdialog.h"

#include "app/uebersetzung.h"
#include "output/ordner.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

TSpeicherDialog::TSpeicherDialog(QWidget *parent) : QFileDialog(parent)
{
    setObjectName(QStringLiteral("SaveBMP"));
    // Title and filter as the translation file may have replaced them.
    setWindowTitle(Oberflaechentext("SaveBMP"));
    setNameFilters(DateiFilter(Oberflaechentext("SaveBMP.Filter")));
    setDefaultSuffix(QStringLiteral("jpg"));
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog behaves alike on every desktop, and its texts can be set in German
    // whatever language the system speaks. The overwrite question is ours for the same reason.
    setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    setLabelText(QFileDialog::LookIn, QStringLiteral("Speichern in:"));
    setLabelText(QFileDialog::FileName, QStringLiteral("Dateiname:"));
    setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    setLabelText(QFileDialog::Accept, QStringLiteral("&Speichern"));
    setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
}

void TSpeicherDialog::accept()
{
    const QStringList dateien = selectedFiles();
    if (!dateien.isEmpty()) {
        const QFileInfo info(dateien.constFirst());
        if (info.exists() && !info.isDir()) {
            QMessageBox frage(QMessageBox::Warning, windowTitle(),
                              QStringLiteral("Die Datei %1 ist bereits vorhanden.\nMöchten Sie sie ersetzen?")
                                  .arg(info.fileName()),
                              QMessageBox::NoButton, this);
            QPushButton *ja = frage.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
            QPushButton *nein = frage.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
            frage.setDefaultButton(nein);
            frage.setEscapeButton(nein);
            frage.exec();
            if (frage.clickedButton() != ja)
                return;
        }
    }
    QFileDialog::accept();
}

namespace {

// The screenshot folder, or where it does not exist yet, the nearest folder above it that
// does; the home folder when the setting leads nowhere.
QString anfangsOrdner()
{
    for (QDir d(ScreenshotOrdner()); !d.path().isEmpty() && d.isAbsolute();
         d.setPath(QFileInfo(d.path()).path())) {
        if (d.exists())
            return d.path();
        if (d.isRoot())
            break;
    }
    return QDir::homePath();
}

} // namespace

QString TSpeichernUnter::waehlen(QWidget *parent)
{
    TSpeicherDialog dialog(parent);
    if (!m_letzterFilter.isEmpty())
        dialog.selectNameFilter(m_letzterFilter);
    // Never the working folder, which is a matter of chance for a program started from a menu.
    if (!m_letzteDatei.isEmpty())
        dialog.selectFile(m_letzteDatei);
    else
        dialog.setDirectory(anfangsOrdner());
    const bool gewaehlt = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    // The file type chosen stays also when the user cancels, as in a dialog kept for the run.
    m_letzterFilter = dialog.selectedNameFilter();
    if (!gewaehlt)
        return {};
    m_letzteDatei = dialog.selectedFiles().constFirst();
    return m_letzteDatei;
}
