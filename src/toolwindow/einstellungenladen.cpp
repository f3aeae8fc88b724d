// The tool window's part in the settings store and the translation: where its position comes
// from and goes to, and which of its captions and hints a translation replaces.
#include "app/einstellungen.h"
#include "app/uebersetzung.h"
#include "controls/fensterrahmen.h"
#include "controls/meldungen.h"
#include "output/druck.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>

#include <cstdio>

void TToolForm::EinstellungenLaden()
{
    if (EinstellungenDatei.isEmpty())
        return;
    const QPoint bisher = platzFuer(size(), rahmenraender(*this));
    QPoint platz = bisher;
    // The print values go into the dialog's fields; a value not stored leaves its field as it is.
    DruckWerte druck = DruckForm ? DruckForm->werte() : DruckWerte{};
    ::EinstellungenLaden(EinstellungenDatei, Cfg, Modus, druck, platz);
    if (DruckForm)
        DruckForm->setWerte(druck);
    // Put there, and kept on a monitor, once the stored button size is applied.
    if (platz != bisher)
        m_ort = platz;
}

void TToolForm::EinstellungenSpeichern()
{
    // Once per run, whatever closes the window how often.
    if (m_gespeichert)
        return;
    m_gespeichert = true;
    // The box has no parent: one of the closing tool window would never be shown on X11.
    if (!einstellungenSchreiben())
        zeigeFehler(nullptr, QStringLiteral("Die Einstellungen konnten nicht gespeichert werden:\r\n") +
                                 QDir::toNativeSeparators(EinstellungenDatei));
}

bool TToolForm::einstellungenSchreiben()
{
    const DruckWerte druck = DruckForm ? DruckForm->werte() : DruckWerte{};
    return ::EinstellungenSpeichern(EinstellungenDatei, Cfg, *this, druck, gemerkterPlatz());
}

void TToolForm::EinstellungenSichern()
{
    if (!einstellungenSchreiben())
        std::fprintf(stderr, "skizzomat: Die Einstellungen konnten nicht gespeichert werden: %s\n",
                     qPrintable(QDir::toNativeSeparators(EinstellungenDatei)));
}

void TToolForm::ohneRueckfrageBeenden()
{
    if (!m_gespeichert) {
        m_gespeichert = true;
        EinstellungenSichern();
    }
    if (ScreenForm)
        ScreenForm->hide();
    // Ends every event loop, those of open dialogs and boxes too.
    QCoreApplication::quit();
}

void TToolForm::UebersetzungLaden()
{
    if (!UebersetzungEinlesen(Cfg.ExeDir))
        return;
    StartCaptions = {Oberflaechentext("StartCaptions0"), Oberflaechentext("StartCaptions1")};
    StartHints = {Oberflaechentext("StartHints0"), Oberflaechentext("StartHints1")};
    QHash<QString, QAction *> untermenues;
    for (QAction *a : PopupMenu1->actions())
        if (a->menu())
            untermenues.insert(a->objectName(), a);
    for (const TextZiel &z : TextZiele) {
        const QString name = QString::fromLatin1(z.Ziel);
        const QString text = Oberflaechentext(z.Ziel);
        // A button and its menu item share one action: the button shows its hint, the menu
        // the caption.
        if (Buttons.contains(name))
            Aktionen.value(name)->setToolTip(text);
        else if (QAction *a = Aktionen.value(name, untermenues.value(name)))
            a->setText(text);
    }
    SetStartFertigText();
}
