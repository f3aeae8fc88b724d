// The tool window without the shadow a compositing manager draws around it.
#pragma once

class QWidget;

// Where a compositing manager runs on the X display, gives the window, not yet created, an
// alpha channel: such managers (GNOME's among them) draw a shadow around every opaque window
// they do not frame, which the tool window is while the picture is frozen, and none around a
// window that may be transparent. The window still paints every pixel opaque. Without a
// compositing manager it stays as it is.
void ohneSchattenZeigen(QWidget *fenster);
