// The push button of the program's dialogs. It behaves like a push button of a dialog and paints
// itself completely: a raised frame (a flat shadow frame while pressed), a face in Color, an
// optional picture stretched over the face, and the caption in one centred line with a black
// drop shadow (embossed grey when disabled), in a smaller font where it would not fit. The
// button with the active look (the focused button, or the Default button while the focus is on
// a control that is not a push button) shows a dotted focus rectangle.
//
// In a dialog (a QDialog), each button gets its role and its result:
//
//     auto *ok = new TBitBtn2(dialog);
//     ok->setText(QStringLiteral("OK"));
//     ok->setDefault(true);          // Enter in an edit or a check box clicks it
//     ok->setModalResult(mrOk);
//     auto *abbrechen = new TBitBtn2(dialog);
//     abbrechen->setText(QStringLiteral("Abbrechen"));
//     abbrechen->setCancel(true);    // Escape clicks it
//     abbrechen->setModalResult(mrCancel);
//     if (dialog->exec() == mrOk) … take the values over …
//
// setKind(bkOK) or setKind(bkCancel) set the same flags and results in one step and add the
// stock picture; the caption stays as it is. A click sets the dialog's result to ModalResult and
// emits clicked(); once the clicked() handlers have run, a result other than mrNone ends a modal
// dialog with that result (a handler that calls setResult(mrNone) on the dialog keeps it open).
// Enter clicks the button with the active look, Escape the Cancel button, Space the focused one;
// a double click counts as two clicks.
#pragma once

#include "app/data.h"
#include "controls/bitbtnkind.h"
#include "controls/buttonglyph.h"

#include <QPointer>
#include <QPushButton>

#include <optional>

enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };

class TBitBtn2 : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(bool Cancel READ Cancel WRITE setCancel)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE setModalResult)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE setNumGlyphs)
    Q_PROPERTY(int Margin READ Margin WRITE setMargin)
    Q_PROPERTY(int Style3D READ Style3D WRITE setStyle3D)
    Q_PROPERTY(int Shadow READ Shadow WRITE setShadow)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(bool Checked READ Checked WRITE setGlyphChecked)
    Q_PROPERTY(uint SelColor READ SelColor WRITE setSelColor)
    Q_PROPERTY(uint Color READ Color WRITE setColor)

public:
    explicit TBitBtn2(QWidget *parent = nullptr);

    // A stock button: sets Default, Cancel, ModalResult and the picture (two cells). It reads
    // back as bkCustom once one of them has been changed on its own.
    TBitBtnKind Kind() const;
    void setKind(TBitBtnKind kind);

    // Escape anywhere in the window clicks the Cancel button. Default is QPushButton's.
    bool Cancel() const { return m_cancel; }
    void setCancel(bool an) { m_cancel = an; }
    // What a click makes the dialog's result (mrNone: the dialog stays open).
    int ModalResult() const { return m_modalResult; }
    void setModalResult(int ergebnis) { m_modalResult = ergebnis; }

    // The picture strip: NumGlyphs cells side by side (up, disabled, pressed, exclusive).
    const QImage &Glyph() const { return FGlyph.Glyph(); }
    void setGlyph(const QImage &strip);
    int NumGlyphs() const { return FGlyph.NumGlyphs(); }
    void setNumGlyphs(int anzahl) { FGlyph.setNumGlyphs(anzahl); }
    // Horizontal offset of the picture; values below -1 are ignored.
    int Margin() const { return m_margin; }
    void setMargin(int pixel);
    // Stored only. (QWidget::setStyle for a QStyle stays available.)
    TButtonStyle Style() const { return m_style; }
    void setStyle(TButtonStyle stil) { m_style = stil; }
    using QWidget::setStyle;
    // 1: the picture one pixel further out and one pixel larger.
    int Style3D() const { return m_style3D; }
    void setStyle3D(int stil);
    // Offset of the caption's black shadow, right and down.
    int Shadow() const { return m_shadow; }
    void setShadow(int pixel);
    // The picture's transparent colour (its bottom-left pixel) shows the system button face.
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool an);
    // The picture blended half with SelColor. (Not QAbstractButton's checked state.)
    bool Checked() const { return FGlyph.Checked(); }
    void setGlyphChecked(bool an) { FGlyph.setChecked(an); }
    TColor SelColor() const { return FGlyph.SelColor(); }
    void setSelColor(TColor farbe) { FGlyph.setSelColor(farbe); }
    // The face; the system button face until set.
    TColor Color() const;
    void setColor(TColor farbe);

    // The button shows the active look: the dotted focus rectangle, and Enter clicks it.
    bool IsFocused() const { return m_isFocused; }
    const TButtonGlyph &ButtonGlyph() const { return FGlyph; }

    QSize sizeHint() const override;

signals:
    // A bkHelp button asks for the help of the nearest widget (the button or one of its
    // parents) with a non-zero "HelpContext" property.
    void HelpRequested(int helpContext);

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void Click();
    void focusMoved(QWidget *neu);
    void watchWindow();

    TButtonGlyph FGlyph;
    mutable TBitBtnKind m_kind = bkCustom;
    bool FModifiedGlyph = false;
    bool m_isFocused = false;
    bool m_cancel = false;
    int m_modalResult = mrNone;
    int m_margin = 0;
    TButtonStyle m_style = bsAutoDetect;
    int m_style3D = 2;
    int m_shadow = 1;
    bool m_transparent = false;
    std::optional<TColor> m_color;
    bool m_shown = false;
    QPointer<QWidget> m_window;
};
