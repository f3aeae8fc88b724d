// The tool window: the program's main window and controller. It holds the annotation state,
// freezes a monitor into the drawing surface on "Start" and releases it on "Fertig".
#pragma once

#include "app/data.h"
#include "output/speicherdialog.h"
#include "surface/capture.h"
#include "surface/steuerung.h"
#include "toolwindow/toolbarlayout.h"

#include <QHash>
#include <QImage>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class QAction;
class QActionGroup;
class QMenu;
class QPushButton;
class QScreen;
class QTimer;
class TRuhe;
struct Taste;
class QToolButton;

class TScreenForm;

class TToolForm : public QWidget, public ToolState, public TSteuerung
{
    Q_OBJECT

public:
    explicit TToolForm(QWidget *parent = nullptr); // FormCreate

    QPushButton *StartFertigBtn = nullptr;
    QWidget *ToolBar1 = nullptr;
    QTimer *Timer1 = nullptr;
    QAction *StartFertig1 = nullptr; // the context menu's Start/Fertig item (F9)
    // The context menu of the tool window and the drawing surface.
    QMenu *PopupMenu1 = nullptr;

    // The tool-bar buttons by name ("StiftBtn", …), and their actions by the button's and by
    // the menu item's name ("Stift1"); a button and its menu item share one action. The
    // selections are checkable actions in one radio group each.
    QHash<QString, QToolButton *> Buttons;
    QHash<QString, QAction *> Aktionen;
    QActionGroup *DickeGruppe = nullptr;
    QActionGroup *FarbGruppe = nullptr;
    QActionGroup *WerkzeugGruppe = nullptr;

    // Reads a monitor's picture; a null image means the screen cannot be read, for the
    // reason given with it.
    std::function<Bildaufnahme(QScreen *)> Bildquelle;

    QStringList StartCaptions{QStringLiteral("Start"), QStringLiteral("Fertig")};
    QStringList StartHints{
        QStringLiteral("Bildschirm einfrieren und\r\nZeichenfunktionen aktivieren"),
        QStringLiteral("Zeichenfunktionen abschalten\r\nund Bildschirm wieder herstellen")};

    // Memory at rest, and the next freeze made ready in idle time.
    TRuhe *Ruhe = nullptr;

    void StartFertigBtnClick();
    // Gets the next freeze ready while the picture is not frozen, when that was given back at
    // rest or has not been done since the start: for a moment when a freeze is likely soon.
    void EinfrierenVorbereiten();
    // Start/Fertig asked for from outside the program (skizzomat --toggle, the global key):
    // what F9 does in the tool window, nothing while a modal dialog is open. Before the first
    // activation it freezes once that is done.
    void Umschalten();
    // Captures the chosen monitor and shows the drawing surface on it. False, after telling
    // the user, when no picture could be read.
    bool BildschirmEinfrieren();
    void FensterEinklappen();
    void FensterAusklappen();
    void SetStartFertigText();
    void SetToolWindowSize();
    void FormActivate();
    void Timer1Timer();
    // Selections of thickness, colour and tool; each is bound to its button and menu item.
    void DickeWahl(int stufe);
    void FarbWahl(int code);
    void WerkzeugWahl(int modus);
    void Dicke1BtnClick() { DickeWahl(1); }
    void Dicke2BtnClick() { DickeWahl(2); }
    void Dicke3BtnClick() { DickeWahl(3); }
    void Dicke4BtnClick() { DickeWahl(4); }
    void MarkCol1BtnClick() { FarbWahl(1); }
    void MarkCol2BtnClick() { FarbWahl(2); }
    void MarkCol3BtnClick() { FarbWahl(3); }
    void MarkCol4BtnClick() { FarbWahl(4); }
    void DeckCol1BtnClick() { FarbWahl(11); }
    void DeckCol2BtnClick() { FarbWahl(12); }
    void DeckCol3BtnClick() { FarbWahl(13); }
    void DeckCol4BtnClick() { FarbWahl(14); }
    void DeckCol5BtnClick() { FarbWahl(15); }
    void DeckCol6BtnClick() { FarbWahl(16); }
    void StiftBtnClick() { WerkzeugWahl(1); }
    void SchwammBtnClick() { WerkzeugWahl(2); }
    void LinieBtnClick() { WerkzeugWahl(3); }
    void RechteckBtnClick() { WerkzeugWahl(4); }
    void PfeilBtnClick() { WerkzeugWahl(5); }
    void TextBtnClick() { WerkzeugWahl(6); }
    void HaekchenBtnClick() { WerkzeugWahl(7); }
    void KreuzBtnClick() { WerkzeugWahl(8); }
    void DoppelpfeilBtnClick() { WerkzeugWahl(9); }
    void EllipseBtnClick() { WerkzeugWahl(10); }
    void RechteckGefuelltBtnClick() { WerkzeugWahl(11); }
    void EllipseGefuelltBtnClick() { WerkzeugWahl(12); }
    void BereichBtnClick()
    {
        WerkzeugWahl(13);
        CheckPanels();
    }
    void LupeBtnClick();
    void ZoomInBtnClick();
    void ZoomOutBtnClick();
    void RueckgaengigBtnClick();
    void ClearBtnClick();
    // Opens the selection dialog (F2), in every tool mode.
    void Auswahlbereich1Click();
    // Shows the info box, the door to the settings and the help (F1).
    void InfoBtnClick();

    // Output (ausgabe.cpp): the clipboard, the print dialog, the save menu and its dialog, the
    // screenshot folder.
    QMenu *SpeichernMenu = nullptr;
    TSpeichernUnter SaveBMP;
    void ClipBtnClick();
    void DruckBtnClick();
    void SaveBtnClick();
    void Speichernunter1Click();
    void AlsPNGScreenshotSpeichernClick();
    void AlsJPGScreenshotSpeichernClick();
    void ScreenshotOrdnerOeffnen1Click();
    // True when there is a picture to put out; otherwise says why there is none.
    bool ausgabeBildDa();
    // The whole picture as PNG into the screenshot folder, on "Fertig"; false, after telling
    // the user, when it could not be stored.
    bool AutoScreenshotAblegen();
    // E-mail (email.cpp): the e-mail menu, the hand-over of the output picture to the e-mail
    // program, and the questions about the pictures handed over.
    QMenu *EmailMenu = nullptr;
    void EmailBtnClick();
    void EmailPNGMenuItemClick();
    void EmailJPGMenuItemClick();
    void EMailProgrammOeffnen1Click();
    void EmailVersenden(int format);
    // Offers to delete the pictures handed over, of this run and of earlier ones, that no
    // e-mail program may still read; false when the program must not close ("Abbrechen").
    bool EmailAufraeumen();
    // At the start: offers the pictures earlier runs kept whose e-mail programs have ended.
    void EmailFruehereAnbieten();
    // The sheets (blaetter.cpp), each ending with "Alles löschen".
    QMenu *BlattMenu = nullptr;
    void BlattBtnClick();
    void AktuellesBildClick();
    void WeiesBlatt1Click();
    void SchwarzesBlatt1Click();
    void KariertesBlatt1Click();
    void KleineKreuze1Click();
    void LiniertesBlatt1Click();
    void BlattFuellen(TColor farbe);
    void KaroBlatt(int a);
    void PunktBlatt(int a);
    void LinienBlatt(int a);

    // The settings store and the translation file (einstellungenladen.cpp).
    void EinstellungenLaden();
    void EinstellungenSpeichern();
    // Stores the settings now, as they are, whenever the session asks; a failure is named on
    // standard error, where no one may be left to close a box.
    void EinstellungenSichern();
    // The end with no one to ask: the session ends, the program is told to stop. The settings
    // are stored as at a regular end; this run's e-mail pictures stay listed and are offered
    // at a later start.
    void ohneRueckfrageBeenden();
    void UebersetzungLaden();

    // The face the drawing surface works through.
    ToolState &zustand() override { return *this; }
    QWidget &fenster() override { return *this; }
    void kontextmenueZeigen(const QPoint &global) override;
    void zoomGewaehlt() override;

    void WerkzeugAktualisieren() override;
    void SetTextFarbe();
    void CheckPanels() override;
    // The surface's info panels that belong to the tool mode, and only those.
    void panelsAbgleichen() override;
    void PopupMenu1Popup() override;
    void WerkzeugZustandSetzen() override;
    // The key handlers (tasten.cpp).
    void FormKeyDown(const Taste &t);
    void FormKeyUp(const Taste &t);
    // Step 2 of both windows' key-down handlers: Ctrl shows the zoom crosshair and zooms.
    void strgTasten(const Taste &t) override;

    // The monitor a freeze would capture now.
    QScreen *einzufrierenderMonitor() const;

signals:
    // Emitted when a freeze has shown the drawing surface, and when the release is done.
    void eingefroren();
    void freigegeben();
    // Emitted when the first activation has read the settings.
    void gestartet();

protected:
    bool event(QEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void closeEvent(QCloseEvent *e) override; // FormClose

private:
    void erzeugeWerkzeugleiste();
    void erzeugeKontextmenue();
    void verbindeWahlen();
    void verbindeBefehle();
    void verbindeAusgabe();
    void verbindeBlaetter();
    void verbindeEmail();
    void emailBeantwortet(const QString &datei, int ergebnis);
    bool emailBilderAnbieten(bool amEnde);
    void emailWartenZeigen();
    // Pops the menu up with its top-left corner at the bottom-left corner of the button.
    void menuUnterButton(QMenu *menu, const char *button);
    void screenshotMenuBefehl(int format);
    bool pfeilTaste(QObject *o, QEvent *e);
    void markerEntfernen();
    void setzeImmerOben();
    // On a Wayland session: the frozen tool window, unmanaged, in the monitor's top-right
    // corner above the surface; and back under the compositor's care on release.
    void ueberDerFlaeche(const QRect &monitor);
    void wiederVerwaltet();
    void warteMitNachrichten(int ms);
    // The window's place (fensterplatz.cpp). Puts the window at its place for its current
    // size, once more when the window manager frames it if it has not yet.
    void platzAnwenden();
    // Where a window of this client size and frame goes, by its frame's top-left corner: at
    // m_ort, moved just enough to lie on its monitor.
    QPoint platzFuer(QSize client, const QMargins &rand) const;
    // Takes the window's place on the screen as the place to keep when someone else (the
    // user, the window manager) has moved it.
    void ortAbgleichen();
    // The place to store: where the folded window goes.
    QPoint gemerkterPlatz();
    // Monitors plugged in, unplugged or rearranged: the window is put back whole on one.
    void monitoreBeobachten();
    // Writes the settings file as things are now; false where it cannot be written.
    bool einstellungenSchreiben();

    ToolWindowMetrics m_masse{};
    bool m_einfrierenLaeuft = false;
    bool m_einfrierenNachStart = false;
    // The window that had the keyboard before the freeze; it gets it back after the release.
    unsigned long m_tastaturVorher = 0;
    bool m_gespeichert = false;
    // The frame corner the window is to have, as stored or as the user left it; empty for the
    // top-right corner of the primary monitor. Unfolding or a larger size may move the window
    // away from it to keep every button on the monitor; folding puts it back.
    std::optional<QPoint> m_ort;
    // The client places last asked for, to tell the program's moves from anyone else's.
    QList<QPoint> m_angefragt;
};

extern TToolForm *ToolForm;
// The drawing surface the tool window controls; created after it, by start-up.
extern TScreenForm *ScreenForm;
