// The tool window's commands on the picture: undo and clear, the magnifier and the zoom
// view's buttons, the selection dialog, bound to their buttons and menu items; and the info
// box.
#include "dialogs/infobox.h"
#include "surface/auswahl.h"
#include "surface/rueckgaengig.h"
#include "surface/scrwin.h"
#include "surface/zoom.h"
#include "toolwindow/toolwin2.h"

#include <QAction>

void TToolForm::verbindeBefehle()
{
    connect(Aktionen.value(QStringLiteral("RueckgaengigBtn")), &QAction::triggered, this,
            &TToolForm::RueckgaengigBtnClick);
    connect(Aktionen.value(QStringLiteral("ClearBtn")), &QAction::triggered, this, &TToolForm::ClearBtnClick);
    connect(Aktionen.value(QStringLiteral("ZoomInBtn")), &QAction::triggered, this,
            &TToolForm::ZoomInBtnClick);
    connect(Aktionen.value(QStringLiteral("Hineinzoomen1")), &QAction::triggered, this,
            &TToolForm::ZoomInBtnClick);
    connect(Aktionen.value(QStringLiteral("ZoomOutBtn")), &QAction::triggered, this,
            &TToolForm::ZoomOutBtnClick);
    connect(Aktionen.value(QStringLiteral("Auswahlbereich1")), &QAction::triggered, this,
            &TToolForm::Auswahlbereich1Click);
    connect(Aktionen.value(QStringLiteral("InfoBtn")), &QAction::triggered, this, &TToolForm::InfoBtnClick);
    // The plus of the main keyboard: its own key on German layouts, Shift and "=" on US ones,
    // where Ctrl and "=" is what users press.
    Aktionen.value(QStringLiteral("Hineinzoomen1"))
        ->setShortcuts({QKeySequence(Qt::ControlModifier | Qt::Key_Plus),
                        QKeySequence(Qt::ControlModifier | Qt::Key_Equal)});
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
    // The magnifier and the zoom view show the picture itself.
    if (s.Img2->isVisible())
        s.Img2->update();
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
    if (Modus == 15) {
        ZoomfakNr = 1;
        ZoomFak = ZoomTabelle[1];
        s.UpdateZoom(0, 0, ZoomFak);
    } else if (Modus == 14) {
        // The magnifier shows the cleared picture.
        LupeBtnClick();
    }
}

void TToolForm::Auswahlbereich1Click()
{
    if (AuswahlForm && !AuswahlForm->isVisible())
        AuswahlForm->exec();
}

void TToolForm::LupeBtnClick()
{
    Aktionen.value(QStringLiteral("LupeBtn"))->setChecked(true);
    if (ScreenForm)
        ScreenForm->textAbschliessen();
    markerEntfernen();
    Modus = 14;
    LupeFak = 2;
    if (ScreenForm)
        ScreenForm->LupeBetreten();
    // Shows the zoom image and draws the lens at the pointer at once.
    WerkzeugAktualisieren();
}

void TToolForm::ZoomInBtnClick()
{
    if (!ScreenForm || WinZustand != 1) {
        // Nothing frozen to look at: the tool's button stays down.
        if (const ToolModeInfo *werkzeug = toolModeInfo(Modus))
            Aktionen.value(QString::fromLatin1(werkzeug->Button))->setChecked(true);
        return;
    }
    TScreenForm &s = *ScreenForm;
    const float mx = float(s.Img1->width()) / 2, my = float(s.Img1->height()) / 2;
    if (Modus != 15) {
        s.ZoomInit(mx, my);
        return;
    }
    Aktionen.value(QStringLiteral("Zoom1"))->setChecked(true);
    ZoomfakNr = zoomStufeHoeher(ZoomfakNr);
    ZoomFak = ZoomTabelle[size_t(ZoomfakNr)];
    s.UpdateZoom(mx, my, ZoomFak);
}

void TToolForm::ZoomOutBtnClick()
{
    if (!ScreenForm || Modus != 15)
        return;
    TScreenForm &s = *ScreenForm;
    ZoomfakNr = zoomStufeTiefer(ZoomfakNr);
    ZoomFak = ZoomTabelle[size_t(ZoomfakNr)];
    s.UpdateZoom(float(s.Img1->width()) / 2, float(s.Img1->height()) / 2, ZoomFak);
}

void TToolForm::InfoBtnClick()
{
    if (InfoBox)
        InfoBox->exec();
}
