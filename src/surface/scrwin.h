// The drawing surface: a borderless window that covers the frozen monitor and shows the
// picture 1:1.
#pragma once

#include "app/data.h"
#include "surface/fensterhintergrund.h"
#include "surface/raster.h"
#include "surface/zoomanzeige.h"

#include <QFont>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <thread>

class QLabel;
class QLineEdit;
class QTimer;
struct Taste;
class TAuswahlMarker;
class TSteuerung;

class TScreenForm : public QWidget, public SurfaceState
{
    Q_OBJECT

public:
    // `steuerung` is the window that controls the surface; it outlives it.
    explicit TScreenForm(TSteuerung &steuerung, QWidget *parent = nullptr);
    ~TScreenForm() override;

    TSteuerung &steuerung() const { return m_steuerung; }

    TBildAnzeige *Img1 = nullptr; // the drawing picture
    TZoomAnzeige *Img2 = nullptr; // the zoom image, visible only in the magnifier and zoom view

    // Overlays above the picture, created with the window: the text tool's entry and the
    // selection area's markers (their lines and label are the window's children).
    QLineEdit *Edit1 = nullptr;
    std::unique_ptr<TAuswahlMarker> Auswahl;
    // The font text is committed with; follows the entry's font.
    QFont BildSchrift;

    // What showing the surface for a new freeze resets.
    void FormShow();
    void AuswahlBereichZeigen();
    void SetMauszeiger();
    // The text entry's font for the stroke width; the picture's font follows it.
    void textSchriftSetzen(int sdicke);
    // Draws (drawn again: erases) the text bar at the marker position while the entry is closed.
    void Textrahmen();
    // Writes the entry's text into the picture and closes the entry.
    void TextUebernehmen();
    // Puts typed text into the picture, as Enter does, before the tool changes.
    void textAbschliessen();
    // Shows the text entry where a step asked for it, with its lower-left corner there.
    void eintragZeigen();
    // Hides the text entry and gives the keys back to the surface.
    void eintragVerbergen();
    // The left margin QLineEdit keeps inside its text area, taken off the entry.
    static constexpr int EintragInnenrand = 2;

    // Gets the window ready to cover the monitor before its picture is there: the memory that
    // the first paint draws into, at the monitor's size, written once on a thread of its own.
    // At a freeze, or in idle time before one.
    void zeigenVorbereiten(const QRect &monitor);
    // In idle time after that: waits for the memory to be written, then has the X server map
    // its side of it in its own time and returns.
    void malspeicherVorwaermen();
    // At rest, with the window hidden: lets go of the memory the window is painted into, a
    // whole frame; zeigenVorbereiten makes it anew.
    void malspeicherFreigeben();
    // Covers exactly the given monitor rectangle (desktop coordinates) and shows the picture.
    void zeigeAuf(const QRect &monitor);

    // The picture's pointer events, in surface coordinates; `Shift` holds the keys and the
    // buttons down at the event. Img2's events go to the same handlers.
    void Img1MouseDown(Qt::MouseButton Button, TShiftState Shift, int X, int Y);
    void Img1MouseMove(TShiftState Shift, int X, int Y);
    void Img1MouseUp(Qt::MouseButton Button, TShiftState Shift, int X, int Y);
    void Img2MouseDown(Qt::MouseButton Button, TShiftState Shift, int X, int Y);
    void Img2MouseMove(TShiftState Shift, int X, int Y);
    void Img2MouseUp(Qt::MouseButton Button, TShiftState Shift, int X, int Y);

    // The drawing step for the tool window (tool or thickness chosen, pointer over the tool
    // window, Shift pressed or released), with the picture repainted where it changed.
    void Zeichenbewegung(TShiftState Shift, int xneu, int yneu);
    // Drops a figure being dragged, as the context menu does on opening.
    void FigurVerwerfen();

    // Repaints the given rectangles of the picture.
    void neuZeichnen(const Rechtecke &geaendert);

    // The selection tool's panel and moving the area (scrwinbereich.cpp).
    QLabel *FadenkreuzInfoPan = nullptr;
    void SetAuswahlBereichOffset(int dx, int dy);
    void BereichInfoPanMouseDown(Qt::MouseButton Button, TShiftState Shift, int X, int Y);
    void BereichInfoPanMouseMove(TShiftState Shift, int X, int Y);
    // What a step shows beside the picture: the area's markers and panel, the magnifier's
    // lens, the zoom view. Run after every step with the step's shift state.
    void ansichtNachSchritt(TShiftState Shift);

    // The key handlers (scrwintasten.cpp).
    void FormKeyDown(const Taste &t);
    void FormKeyUp(const Taste &t);
    void Img2KeyDown(const Taste &t);

    // The zoom view (scrwinzoom.cpp): its info panel and labels, and its operations.
    QWidget *ZoomInfoPan = nullptr;
    QLabel *ZoomPanZoomLab = nullptr;
    QLabel *ZoomPanKlammern = nullptr;
    QLabel *ZoomPanXLab = nullptr;
    QLabel *ZoomPanYLab = nullptr;
    QLabel *ZoomPanColLab2 = nullptr;
    QLabel *ZoomPanColLab = nullptr;
    void ZoomInit(float sx, float sy);
    void UpdateZoom(float sx, float sy, float fak);
    void SetZoomOffset(float ax, float ay);
    void SetZoomInfo();
    void ZoomFadenkreuz(bool zeigen);

    // The magnifier (scrwinlupe.cpp): entering it, and the lens at (Sx, Sy).
    void LupeBetreten();
    void Lupe();

private:
    TSteuerung &m_steuerung;
    void erzeugeUeberlagerungen();
    void erzeugeAnsichtsteile();
    void erzeugeZoomteile();
    // The press actions of the magnifier and the zoom view, before the press's step.
    void druckAktionen(TShiftState Shift);
    void zoomSchritt(TShiftState Shift);
    void handUeberallSetzen(bool an);
    bool m_handUeberall = false;
    TRect m_bereichGezeigt = KeinBereich;
    std::jthread m_vorbereitung;
    // The backing store's new segment on the X server, where known, until the server reads it.
    uint32_t m_malSegment = 0;
    // Waits until the thread of zeigenVorbereiten is done with the backing store's memory.
    void vorbereitungAbwarten();
    // After a freeze: the picture's own copy and the undo backup, made once the picture is
    // shown (sicherungImVoraus), so that the first press costs no more than any other.
    bool m_sicherungNachAnzeige = false;
    void sicherungImVoraus();
    void Edit1Change();
    // Under XWayland the picture as the window's background from the map until a while after
    // the first paint.
    FensterHintergrund m_hintergrund;
    QTimer *m_hintergrundFrei = nullptr;
    void hintergrundNachAnzeige();

protected:
    bool eventFilter(QObject *o, QEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override; // FormClose
    void hideEvent(QHideEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
};
