// The picture on the clipboard, and what becomes of it when the program ends.
#pragma once

class QImage;

// Replaces the clipboard's contents by the picture, and remembers that it is ours. The picture
// is shared while it is encoded as PNG in the background; it may be drawn on meanwhile.
void BildZwischenablegen(const QImage &bild);

// When the program ends (its event loop has stopped) while our picture is still on the X11
// clipboard: a running clipboard manager is asked to save it as PNG and may take its time while
// it fetches; when there is none, or it does not take the picture, a keeper process of ours goes
// on serving it. Nothing happens once another program has taken the clipboard.
void ZwischenablageBeimEnde();
