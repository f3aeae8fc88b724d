// The drawing surface's overlays: the text tool's entry and the selection markers, and the
// pointers of the picture and the zoom image.
#include "surface/auswahlmarker.h"
#include "surface/mauszeiger.h"
#include "surface/scrwin.h"
#include "surface/sicherung.h"
#include "surface/steuerung.h"
#include "surface/textstempel.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

namespace {

// The text entry: Enter commits, Escape discards; every other key edits. Closed, it has no
// say over any key: they belong to the surface.
class TTextEintrag : public QLineEdit
{
public:
    explicit TTextEintrag(TScreenForm *surface) : QLineEdit(surface), m_surface(surface) {}

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        if (isHidden()) {
            e->ignore();
            return;
        }
        switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_surface->TextUebernehmen();
            m_surface->Textrahmen();
            return;
        case Qt::Key_Escape:
            clear();
            m_surface->eintragVerbergen();
            m_surface->Eintrag.Offen = false;
            m_surface->Textrahmen();
            return;
        default:
            QLineEdit::keyPressEvent(e);
        }
    }

private:
    TScreenForm *m_surface;
};

} // namespace

void TScreenForm::erzeugeUeberlagerungen()
{
    Edit1 = new TTextEintrag(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFrame(false);
    // The entry draws its text two pixels in from its left edge; without that the text lies
    // exactly where it lands in the picture.
    Edit1->setTextMargins(-EintragInnenrand, 0, 0, 0);
    Edit1->setToolTip(QStringLiteral("Text übernehmen mit Enter, abbrechen mit ESC"));
    QPalette pal = Edit1->palette();
    pal.setColor(QPalette::Base, QColor(192, 192, 192));
    Edit1->setPalette(pal);
    Edit1->hide();
    connect(Edit1, &QLineEdit::textChanged, this, &TScreenForm::Edit1Change);
    Auswahl = std::make_unique<TAuswahlMarker>(this);
    textSchriftSetzen(0);
}

void TScreenForm::contextMenuEvent(QContextMenuEvent *e)
{
    // The tool window's context menu, shared by both windows.
    m_steuerung.kontextmenueZeigen(e->globalPos());
}

void TScreenForm::FormShow()
{
    // Every freeze starts with a closed, empty text entry and the pointer of the tool.
    Edit1->clear();
    eintragVerbergen();
    Eintrag = {};
    Eintrag.Hoehe = Edit1->height();
    SetMauszeiger();
}

void TScreenForm::AuswahlBereichZeigen()
{
    const ToolState &t = m_steuerung.zustand();
    Auswahl->zeigen(t.BereichRect, t.Modus);
}

void TScreenForm::SetMauszeiger()
{
    const ZeigerPaar z = zeigerFuer(Cfg.MauszeigerMode, m_steuerung.zustand().Modus, MausShift);
    Img1->setCursor(cursorFuer(z.Img1));
    Img2->setCursor(cursorFuer(z.Img2));
}

void TScreenForm::textSchriftSetzen(int sdicke)
{
    Edit1->setFont(textSchrift(sdicke));
    BildSchrift = Edit1->font();
    Edit1->setFixedHeight(QFontMetrics(BildSchrift).height());
    Eintrag.Hoehe = Edit1->height();
    Edit1Change();
}

void TScreenForm::Edit1Change()
{
    // Always room for two more characters.
    Edit1->setFixedWidth(QFontMetrics(BildSchrift).horizontalAdvance(Edit1->text() + QStringLiteral("xx")));
}

void TScreenForm::Textrahmen()
{
    if (Eintrag.Offen)
        return;
    aenderungBeginnen(*this);
    neuZeichnen(aenderungMerken(*this, {textBalken(Img1Bmp, Sx, Sy, Eintrag.Hoehe)}));
}

void TScreenForm::TextUebernehmen()
{
    const QString text = Edit1->text();
    eintragVerbergen();
    Eintrag.Offen = false;
    if (!text.isEmpty()) {
        const TColor farbe = fromQRgb(Edit1->palette().color(QPalette::Text).rgb());
        aenderungBeginnen(*this);
        const QRect geaendert = textSchreiben(Img1Bmp, Edit1->pos(), text, BildSchrift,
                                              textPunktgroesse(m_steuerung.zustand().Sdicke), farbe);
        neuZeichnen(aenderungMerken(*this, {geaendert}));
    }
    Edit1->clear();
}

void TScreenForm::textAbschliessen()
{
    if (!Eintrag.Offen)
        return;
    TextUebernehmen();
    // The bar belongs to a closed entry; drawn now, the next step erases it as usual.
    Textrahmen();
}

void TScreenForm::eintragVerbergen()
{
    // A hidden entry that kept the focus would go on taking the keys: typed text would pile
    // up in it and the arrow keys would no longer reach the selection area.
    const bool hatteFokus = Edit1->hasFocus() || focusWidget() == Edit1;
    Edit1->hide();
    if (hatteFokus)
        setFocus(Qt::OtherFocusReason);
}

void TScreenForm::eintragZeigen()
{
    Eintrag.Platzieren = false;
    QPalette pal = Edit1->palette();
    pal.setColor(QPalette::Text, QColor::fromRgb(toQRgb(m_steuerung.zustand().Scol)));
    Edit1->setPalette(pal);
    Edit1->move(Eintrag.Platz.x(), Eintrag.Platz.y() - Edit1->height());
    Edit1Change();
    Edit1->show();
    Edit1->raise();
    Edit1->setFocus();
}
