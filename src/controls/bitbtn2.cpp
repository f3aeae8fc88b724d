#include "controls/bitbtn2.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>

#include <climits>

namespace {

constexpr Qt::KeyboardModifiers Umschalter = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

bool istEnter(const QKeyEvent *e)
{
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

// A one-pixel outline just inside the rectangle.
void umriss(QPainter &p, const QRect &r, const QColor &farbe)
{
    if (r.isEmpty())
        return;
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), farbe);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), farbe);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), farbe);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), farbe);
}

// A one-pixel edge: top and left light, bottom and right (with both far corners) dark.
void kante(QPainter &p, const QRect &r, const QColor &hell, const QColor &dunkel)
{
    if (r.isEmpty())
        return;
    p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), hell);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), hell);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), dunkel);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), dunkel);
}

// The dotted focus rectangle: every other pixel of the outline inverted, so drawing it twice
// takes it away again.
void fokusRechteck(QPainter &p, const QRect &r)
{
    if (r.isEmpty())
        return;
    p.save();
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    const auto punkt = [&p](int x, int y) {
        if ((x + y) % 2 == 0)
            p.fillRect(QRect(x, y, 1, 1), Qt::black);
    };
    for (int x = r.left(); x <= r.right(); ++x) {
        punkt(x, r.top());
        if (r.bottom() != r.top())
            punkt(x, r.bottom());
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        punkt(r.left(), y);
        if (r.right() != r.left())
            punkt(r.right(), y);
    }
    p.restore();
}

} // namespace

TBitBtn2::TBitBtn2(QWidget *parent) : QPushButton(parent)
{
    // Default stays where the dialog put it; the focus only moves the active look.
    setAutoDefault(false);
    resize(75, 25);
    FGlyph.OnChange = [this] { update(); };
    // Connected first, so the result is set before the click handlers run.
    connect(this, &QAbstractButton::clicked, this, &TBitBtn2::Click);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *neu) { focusMoved(neu); });
}

TBitBtnKind TBitBtn2::Kind() const
{
    if (m_kind != bkCustom) {
        const TBitBtnKindWerte w = kindWerte(m_kind);
        if (FModifiedGlyph || isDefault() != w.Default || m_cancel != w.Cancel ||
            m_modalResult != w.ModalResult)
            m_kind = bkCustom;
    }
    return m_kind;
}

void TBitBtn2::setKind(TBitBtnKind kind)
{
    if (kind != bkCustom) {
        const TBitBtnKindWerte w = kindWerte(kind);
        setDefault(w.Default);
        m_cancel = w.Cancel;
        m_modalResult = w.ModalResult;
        FGlyph.setGlyph(kindGlyph(kind));
        FGlyph.setNumGlyphs(2);
        FModifiedGlyph = false;
    }
    m_kind = kind;
    update();
}

void TBitBtn2::setGlyph(const QImage &strip)
{
    FGlyph.setGlyph(strip);
    FModifiedGlyph = true;
}

void TBitBtn2::setMargin(int pixel)
{
    if (pixel < -1 || pixel == m_margin)
        return;
    m_margin = pixel;
    update();
}

void TBitBtn2::setStyle3D(int stil)
{
    if (stil == m_style3D)
        return;
    m_style3D = stil;
    update();
}

void TBitBtn2::setShadow(int pixel)
{
    if (pixel == m_shadow)
        return;
    m_shadow = pixel;
    update();
}

void TBitBtn2::setTransparent(bool an)
{
    if (an == m_transparent)
        return;
    m_transparent = an;
    FGlyph.Invalidate();
    update();
}

TColor TBitBtn2::Color() const
{
    return m_color.value_or(fromQRgb(palette().color(QPalette::Active, QPalette::Button).rgb()));
}

void TBitBtn2::setColor(TColor farbe)
{
    m_color = farbe;
    update();
}

QSize TBitBtn2::sizeHint() const
{
    const QSize zeile = QFontMetrics(captionFont(font(), text(), INT_MAX))
                            .size(Qt::TextSingleLine | Qt::TextShowMnemonic, text());
    return QSize(qMax(75, zeile.width() + 16), qMax(25, zeile.height() + 10));
}

void TBitBtn2::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const bool gedrueckt = isDown();
    const TButtonState state = !isEnabled() ? bsDisabled : gedrueckt ? bsDown : bsUp;
    // The system colours do not change with the window's activation or the button's state.
    const auto system = [this](QPalette::ColorRole rolle) {
        return palette().color(QPalette::Active, rolle);
    };
    const QColor flaeche = QColor::fromRgb(toQRgb(Color()));

    QRect r = rect();
    if (m_isFocused || hasFocus())
        umriss(p, r, system(QPalette::Shadow));
    if (gedrueckt) {
        r.adjust(1, 1, -1, -1);
        umriss(p, r, system(QPalette::Dark));
        p.fillRect(r.adjusted(1, 1, -1, -1), flaeche);
    } else {
        kante(p, r, system(QPalette::Light), system(QPalette::Shadow));
        kante(p, r.adjusted(1, 1, -1, -1), system(QPalette::Midlight), system(QPalette::Dark));
        p.fillRect(QRect(1, 1, width() - 3, height() - 3), flaeche);
    }

    p.setFont(font());
    p.setPen(system(QPalette::ButtonText));
    FGlyph.Draw(p, rect(), text(), m_margin, state, m_shadow, m_transparent, m_style3D);
    if (m_isFocused)
        fokusRechteck(p, rect().adjusted(3, 3, -3, -3));
}

void TBitBtn2::resizeEvent(QResizeEvent *e)
{
    FGlyph.Invalidate();
    QPushButton::resizeEvent(e);
}

void TBitBtn2::showEvent(QShowEvent *e)
{
    QPushButton::showEvent(e);
    watchWindow();
    if (!m_shown) {
        m_shown = true;
        FGlyph.CreateButtonGlyph(isEnabled() ? bsUp : bsDisabled, size() - QSize(3, 3), m_transparent);
    }
}

void TBitBtn2::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::FontChange || e->type() == QEvent::EnabledChange)
        update();
    QPushButton::changeEvent(e);
}

void TBitBtn2::keyPressEvent(QKeyEvent *e)
{
    if (istEnter(e)) {
        if (e->modifiers() & Umschalter)
            e->ignore();
        else
            click();
        return;
    }
    QPushButton::keyPressEvent(e);
}

// Enter and Escape that no control of the window took.
bool TBitBtn2::eventFilter(QObject *o, QEvent *e)
{
    if (o == m_window && e->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(e);
        const bool meins = (istEnter(k) && m_isFocused) || (k->key() == Qt::Key_Escape && m_cancel);
        if (meins && !(k->modifiers() & Umschalter) && isVisible() && isEnabled()) {
            click();
            return true;
        }
    }
    return QPushButton::eventFilter(o, e);
}

void TBitBtn2::watchWindow()
{
    QWidget *fenster = window() == this ? nullptr : window();
    if (fenster == m_window)
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = fenster;
    if (m_window)
        m_window->installEventFilter(this);
}

void TBitBtn2::focusMoved(QWidget *neu)
{
    if (!neu || neu->window() != window())
        return;
    const bool aktiv = neu == this || (!qobject_cast<QPushButton *>(neu) && isDefault());
    if (aktiv == m_isFocused)
        return;
    m_isFocused = aktiv;
    repaint();
}

void TBitBtn2::Click()
{
    QWidget *fenster = window() == this ? nullptr : window();
    const TBitBtnKind art = Kind();
    if (art == bkHelp) {
        for (QWidget *w = this; w; w = w->parentWidget())
            if (const int kontext = w->property("HelpContext").toInt()) {
                emit HelpRequested(kontext);
                return;
            }
    } else if (art == bkClose && fenster) {
        QMetaObject::invokeMethod(
            fenster, [fenster] { fenster->close(); }, Qt::QueuedConnection);
        return;
    }
    auto *dialog = qobject_cast<QDialog *>(fenster);
    if (!dialog)
        return;
    dialog->setResult(m_modalResult);
    // Queued: the dialog ends only after every clicked() handler has run.
    QMetaObject::invokeMethod(
        dialog,
        [dialog] {
            if (dialog->isVisible() && dialog->isModal() && dialog->result() != mrNone)
                dialog->done(dialog->result());
        },
        Qt::QueuedConnection);
}
