// The drawing surface's magnifier: a lens over the zoom image, which shows the picture 1:1.
// Nothing draws into the picture while the lens is shown, so the zoom image reads it directly.
#include "surface/lupe.h"
#include "surface/scrwin.h"
#include "surface/steuerung.h"

void TScreenForm::LupeBetreten()
{
    Img2->setGeometry(rect());
    Img2->setzeSicht({});
    Img2->balkenSetzen({}, false);
    Img2->lupeVerbergen();
    Img2->update();
}

void TScreenForm::Lupe()
{
    // Nothing without a position: the lens stays where it was.
    const ToolState &t = m_steuerung.zustand();
    if (t.Start || Sx < 0 || Sy < 0)
        return;
    const LupenGeometrie g = lupenGeometrie(Sx, Sy, t.Sdicke, t.LupeFak, Img2->size());
    Img2->lupeZeigen(lupeZeichnen(Img1Bmp, g, t.LupeFak), g.Linse);
}
