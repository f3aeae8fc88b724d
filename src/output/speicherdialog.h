// The dialog of "Speichern unter...": one for the whole run, so it offers the last chosen
// name and file type again.
#pragma once

#include <QFileDialog>

class TSpeicherDialog : public QFileDialog
{
    Q_OBJECT

public:
    explicit TSpeicherDialog(QWidget *parent = nullptr);

    // Shows the dialog modally; the chosen path, or empty when the user cancels. It opens in
    // the folder of the last chosen file, before the first choice in the screenshot folder.
    QString waehlen();

protected:
    // Asks before an existing file is replaced.
    void accept() override;

private:
    QString m_letzteDatei;
};
