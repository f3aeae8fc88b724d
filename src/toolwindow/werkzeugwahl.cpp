// Choosing thickness, colour and tool, and what a choice changes on the drawing surface.
#include "surface/auswahlmarker.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace {

QAction *aktion(TToolForm &t, const char *button)
{
    return t.Aktionen.value(QString::fromLatin1(button));
}

} // namespace

void TToolForm::verbindeWahlen()
{
    using Handler = void (TToolForm::*)();
    const std::pair<const char *, Handler> wahlen[] = {
        {"Dicke1Btn", &TToolForm::Dicke1BtnClick},
        {"Dicke2Btn", &TToolForm::Dicke2BtnClick},
        {"Dicke3Btn", &TToolForm::Dicke3BtnClick},
        {"Dicke4Btn", &TToolForm::Dicke4BtnClick},
        {"MarkCol1Btn", &TToolForm::MarkCol1BtnClick},
        {"MarkCol2Btn", &TToolForm::MarkCol2BtnClick},
        {"MarkCol3Btn", &TToolForm::MarkCol3BtnClick},
        {"MarkCol4Btn", &TToolForm::MarkCol4BtnClick},
        {"DeckCol1Btn", &TToolForm::DeckCol1BtnClick},
        {"DeckCol2Btn", &TToolForm::DeckCol2BtnClick},
        {"DeckCol3Btn", &TToolForm::DeckCol3BtnClick},
        {"DeckCol4Btn", &TToolForm::DeckCol4BtnClick},
        {"DeckCol5Btn", &TToolForm::DeckCol5BtnClick},
        {"DeckCol6Btn", &TToolForm::DeckCol6BtnClick},
        {"StiftBtn", &TToolForm::StiftBtnClick},
        {"SchwammBtn", &TToolForm::SchwammBtnClick},
        {"LinieBtn", &TToolForm::LinieBtnClick},
        {"RechteckBtn", &TToolForm::RechteckBtnClick},
        {"PfeilBtn", &TToolForm::PfeilBtnClick},
        {"TextBtn", &TToolForm::TextBtnClick},
        {"HaekchenBtn", &TToolForm::HaekchenBtnClick},
        {"KreuzBtn", &TToolForm::KreuzBtnClick},
        {"DoppelpfeilBtn", &TToolForm::DoppelpfeilBtnClick},
        {"EllipseBtn", &TToolForm::EllipseBtnClick},
        {"RechteckGefuelltBtn", &TToolForm::RechteckGefuelltBtnClick},
        {"EllipseGefuelltBtn", &TToolForm::EllipseGefuelltBtnClick},
        {"BereichBtn", &TToolForm::BereichBtnClick},
        {"LupeBtn", &TToolForm::LupeBtnClick},
    };
    for (const auto &[button, handler] : wahlen)
        connect(aktion(*this, button), &QAction::triggered, this, handler);
    connect(PopupMenu1, &QMenu::aboutToShow, this, &TToolForm::PopupMenu1Popup);
    // Every pointer movement over the tool window, its tool bar and its buttons.
    setMouseTracking(true);
    ToolBar1->setMouseTracking(true);
    ToolBar1->installEventFilter(this);
    for (QToolButton *b : std::as_const(Buttons))
        b->installEventFilter(this);
    StartFertigBtn->installEventFilter(this);
    installEventFilter(this);
}

bool TToolForm::eventFilter(QObject *o, QEvent *e)
{
    if (pfeilTaste(o, e))
        return true;
    if (e->type() == QEvent::MouseMove || e->type() == QEvent::Enter)
        CheckPanels();
    return QWidget::eventFilter(o, e);
}

void TToolForm::markerEntfernen()
{
    // The marker's shape follows tool and thickness: it must go before either changes, or the
    // new tool would "erase" a marker it never drew and leave the old one in the picture.
    if (ScreenForm && ScreenForm->Sx >= 0 && ScreenForm->Sy >= 0)
        ScreenForm->Zeichenbewegung(0, -1, -1);
}

void TToolForm::DickeWahl(int stufe)
{
    if (stufe < 1 || stufe > 4)
        return;
    aktion(*this, QStringLiteral("Dicke%1Btn").arg(stufe).toLatin1().constData())->setChecked(true);
    markerEntfernen();
    Cfg.StiftdickeMode = stufe;
    Sdicke = DickenTabelle[size_t(stufe)];
    WerkzeugAktualisieren();
}

void TToolForm::FarbWahl(int code)
{
    const ColourCodeInfo *farbe = colourCodeInfo(code);
    if (!farbe)
        return;
    aktion(*this, farbe->Button)->setChecked(true);
    Cfg.FarbMode = code;
    Scol = farbe->Scol;
    Smode = farbe->Smode;
    SetTextFarbe();
}

void TToolForm::WerkzeugWahl(int modus)
{
    const ToolModeInfo *werkzeug = toolModeInfo(modus);
    if (!werkzeug)
        return;
    aktion(*this, werkzeug->Button)->setChecked(true);
    if (ScreenForm && modus != Modus)
        ScreenForm->textAbschliessen();
    markerEntfernen();
    Modus = modus;
    WerkzeugAktualisieren();
}

void TToolForm::WerkzeugAktualisieren()
{
    if (!ScreenForm)
        return;
    TScreenForm &s = *ScreenForm;
    s.AuswahlBereichZeigen();
    // The panels belong to the tool: one chosen by shortcut, with the pointer still on the
    // picture, must not leave the previous tool's panels standing.
    panelsAbgleichen();
    s.SetMauszeiger();
    s.Img2->setVisible(Modus == 14 || Modus == 15);
    s.textSchriftSetzen(Sdicke);
    // The new tool's marker appears at once where the pointer is.
    if (WinZustand == 1 && s.isVisible()) {
        const QPoint p = QCursor::pos() - s.geometry().topLeft();
        s.Zeichenbewegung(0, p.x(), p.y());
    }
}

void TToolForm::SetTextFarbe()
{
    if (Modus != 6 || !ScreenForm || !ScreenForm->isVisible())
        return;
    QLineEdit *edit = ScreenForm->Edit1;
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Text, QColor::fromRgb(toQRgb(Scol)));
    edit->setPalette(pal);
    if (edit->isVisible()) {
        ScreenForm->activateWindow();
        edit->setFocus();
    }
}

void TToolForm::CheckPanels()
{
    if (!ScreenForm || WinZustand != 1)
        return;
    TScreenForm &s = *ScreenForm;
    if (Modus == 6 && s.Edit1->isVisible()) {
        s.TextUebernehmen();
        s.Textrahmen();
    }
    panelsAbgleichen();
    s.Zeichenbewegung(0, -1, -1);
}

void TToolForm::panelsAbgleichen()
{
    if (!ScreenForm || WinZustand != 1)
        return;
    TScreenForm &s = *ScreenForm;
    s.Auswahl->BereichInfoPan->setVisible(Modus == 13 && AuswahlbereichAktiv(BereichRect));
    s.FadenkreuzInfoPan->setVisible(Modus == 13);
    s.FadenkreuzInfoPan->raise();
    s.ZoomInfoPan->setVisible(Modus == 15);
    s.ZoomInfoPan->raise();
}

void TToolForm::PopupMenu1Popup()
{
    if (!ScreenForm || WinZustand != 1)
        return;
    ScreenForm->FigurVerwerfen();
    CheckPanels();
}

void TToolForm::kontextmenueZeigen(const QPoint &global)
{
    PopupMenu1->popup(global);
}

void TToolForm::zoomGewaehlt()
{
    Aktionen.value(QStringLiteral("Zoom1"))->setChecked(true);
}

void TToolForm::WerkzeugZustandSetzen()
{
    if (ScreenForm)
        ScreenForm->SetMauszeiger();
    if (Cfg.StiftdickeMode >= 1 && Cfg.StiftdickeMode <= 4)
        DickeWahl(Cfg.StiftdickeMode);
    // A stored 5 is the old code of transparent blue; 0 (a picked colour) selects nothing.
    const int farbe = Cfg.FarbMode == 5 ? 4 : Cfg.FarbMode;
    if (colourCodeInfo(farbe))
        FarbWahl(farbe);
    if (Modus == 13) {
        BereichBtnClick();
    } else if (Modus == 14) {
        LupeBtnClick();
    } else if (Modus >= 1 && Modus <= 14) {
        WerkzeugWahl(Modus);
    } else if (Modus == 15) {
        // The zoom view draws no marker: its position must not pass for a pen marker to erase.
        if (ScreenForm)
            ScreenForm->Sx = ScreenForm->Sy = -1;
        Modus = 1;
        ZoomInBtnClick();
    }
}
