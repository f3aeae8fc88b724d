// The tool window's commands on the picture: undo and clear, bound to their buttons and menu
// items.
#include "surface/rueckgaengig.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QAction>

void TToolForm::verbindeBefehle()
{
    connect(Aktionen.value(QStringLiteral("RueckgaengigBtn")), &QAction::triggered, this,
            &TToolForm::RueckgaengigBtnClick);
    connect(Aktionen.value(QStringLiteral("ClearBtn")), &QAction::triggered, this, &TToolForm::ClearBtnClick);
}

void TToolForm::RueckgaengigBtnClick()
{
    // Without a frozen picture there is nothing to undo; restoring tool and area then would
    // only surprise at the next freeze.
    if (!ScreenForm || WinZustand != 1)
        return;
    TScreenForm &s = *ScreenForm;
    schnappschussZurueck(*this, s);
    s.Img1->update();
    WerkzeugZustandSetzen();
    s.AuswahlBereichZeigen();
    // Erases the marker that the restored picture may hold.
    CheckPanels();
}

void TToolForm::ClearBtnClick()
{
    if (!ScreenForm || WinZustand != 1)
        return;
    TScreenForm &s = *ScreenForm;
    bildLoeschen(*this, s);
    s.Img1->update();
}
