// What the drawing surface needs from the window that controls it: the annotation state it
// draws with, and the few operations of the controller it calls. The tool window implements
// it; start-up hands it to the surface and the selection dialog.
#pragma once

#include "app/data.h"

class QPoint;
class QWidget;
struct Taste;

class TSteuerung
{
public:
    // The annotation state the surface reads and changes.
    virtual ToolState &zustand() = 0;
    // The controlling window: raised above the surface on a press, asked to close when the
    // surface is closed, and its shortcuts win over the text entry.
    virtual QWidget &fenster() = 0;

    // The tool's marker leaves the picture and typed text goes into it.
    virtual void CheckPanels() = 0;
    // The surface's info panels that belong to the tool mode, and only those.
    virtual void panelsAbgleichen() = 0;
    // The tool bar and the pointer after the tool mode changed.
    virtual void WerkzeugAktualisieren() = 0;
    virtual void WerkzeugZustandSetzen() = 0;
    // What opening the context menu does to the picture, and the menu itself at a point of
    // the desktop.
    virtual void PopupMenu1Popup() = 0;
    virtual void kontextmenueZeigen(const QPoint &global) = 0;
    // Shows the zoom view as the chosen tool in the tool bar and the menu.
    virtual void zoomGewaehlt() = 0;
    // Step 2 of the key-down handlers: Ctrl shows the zoom crosshair and zooms.
    virtual void strgTasten(const Taste &t) = 0;

protected:
    ~TSteuerung() = default;
};
