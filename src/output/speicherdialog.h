// The dialog of "Speichern unter...", and the command that shows it.
#pragma once

#include <QFileDialog>

class TSpeicherDialog : public QFileDialog
{
    Q_OBJECT

public:
    explicit TSpeicherDialog(QWidget *parent = nullptr);

protected:
    // Asks before an existing file is replaced.
    void accept() override;
};

// Offers the last chosen name and file type of the run again. Each showing has a dialog of its
// own, gone once it closes: a dialog's folder view goes on reading its folder in the
// background, and in a folder of many files that work held up the program's next commands,
// and its end, by seconds.
class TSpeichernUnter
{
public:
    // Shows the dialog modally; the chosen path, or empty when the user cancels. It opens in
    // the folder of the last chosen file, before the first choice in the screenshot folder.
    QString waehlen(QWidget *parent);

private:
    QString m_letzteDatei;
    QString m_letzterFilter;
};
