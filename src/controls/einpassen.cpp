#include "controls/einpassen.h"

#include "controls/buttonglyph.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

// Room kept between a label and the field it names.
constexpr int LabelAbstand = 4;
// What a group box's frame and the blanks at the title's ends take from its width.
constexpr int TitelRand = 20;

QFont containerSchrift(const QWidget *w)
{
    return w->parentWidget() ? w->parentWidget()->font() : w->font();
}

// The room a check box, radio button or push button leaves for its caption, as its style lays
// the control out at its present size.
int beschriftungsBreite(const QAbstractButton *knopf, const QString &text)
{
    QStyleOptionButton opt;
    opt.initFrom(knopf);
    opt.text = text;
    const QStyle *stil = knopf->style();
    const auto mitMarke = [&](QStyle::ContentsType art, QStyle::SubElement inhalt) {
        // The size hint adds the mark and its margins to the text; the text is drawn in the
        // contents rectangle. Both must hold it.
        const int rand = stil->sizeFromContents(art, &opt, QSize(0, 0), knopf).width();
        return qMin(knopf->width() - rand, stil->subElementRect(inhalt, &opt, knopf).width());
    };
    if (qobject_cast<const QCheckBox *>(knopf))
        return mitMarke(QStyle::CT_CheckBox, QStyle::SE_CheckBoxContents);
    if (qobject_cast<const QRadioButton *>(knopf))
        return mitMarke(QStyle::CT_RadioButton, QStyle::SE_RadioButtonContents);
    if (const auto *p = qobject_cast<const QPushButton *>(knopf)) {
        if (p->isDefault())
            opt.features |= QStyleOptionButton::DefaultButton;
        if (p->autoDefault())
            opt.features |= QStyleOptionButton::AutoDefaultButton;
        return stil->subElementRect(QStyle::SE_PushButtonContents, &opt, knopf).width();
    }
    return knopf->contentsRect().width();
}

} // namespace

void beschriftungEinpassen(QAbstractButton *knopf, const QString &text, const QFont &schrift)
{
    knopf->setFont(captionFont(schrift, text, beschriftungsBreite(knopf, text)));
    knopf->setText(text);
}

void beschriftungEinpassen(QAbstractButton *knopf, const QString &text)
{
    beschriftungEinpassen(knopf, text, containerSchrift(knopf));
}

void beschriftungEinpassen(QLabel *label, const QString &text)
{
    const QWidget *feld = label->buddy();
    const int rechts =
        feld && feld->parentWidget() == label->parentWidget() && feld->x() > label->x()
            ? feld->x() - LabelAbstand
            : (label->parentWidget() ? label->parentWidget()->width() - label->x() : label->width());
    label->setFont(captionFont(containerSchrift(label), text, rechts - label->x()));
    label->setText(text);
    label->adjustSize();
}

void titelEinpassen(QGroupBox *box, const QString &titel)
{
    // Some styles draw the title in bold.
    QFont fett = box->font();
    fett.setBold(true);
    box->setTitle(
        QFontMetrics(fett).elidedText(titel, Qt::ElideRight, box->width() - TitelRand, Qt::TextShowMnemonic));
}
