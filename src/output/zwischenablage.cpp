#include "output/zwischenablage.h"

#include "output/ablagehueter.h"
#include "output/ablageverwaltung.h"
#include "output/pngablage.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPointer>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Qt deletes the data when anything replaces it, ours or another program's.
QPointer<PngAblage> unserBild;

// A keeper of ours starts in a fraction of a second; on a busy machine it may take longer.
constexpr int hueterWartezeitMs = 3000;

xcb_window_t besitzer(xcb_connection_t *c, const char *auswahl)
{
    xcb_intern_atom_reply_t *a =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(std::strlen(auswahl)), auswahl), nullptr);
    const xcb_atom_t atom = a ? a->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(a);
    if (atom == XCB_ATOM_NONE)
        return XCB_NONE;
    xcb_get_selection_owner_reply_t *r =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom), nullptr);
    const xcb_window_t w = r ? r->owner : xcb_window_t(XCB_NONE);
    std::free(r);
    return w;
}

// Windows created through this connection carry its resource id base.
bool vonUns(xcb_connection_t *c, xcb_window_t w)
{
    const xcb_setup_t *s = xcb_get_setup(c);
    return w != XCB_NONE && (w & ~s->resource_id_mask) == s->resource_id_base;
}

// Qt learns of the keeper's taking the clipboard from an event: until it has handled it, it
// would still hand "its" clipboard to a clipboard manager as it closes, from a window that is
// about to go.
void verlustAbwarten()
{
    QElapsedTimer t;
    t.start();
    while (QGuiApplication::clipboard()->ownsClipboard() && !t.hasExpired(1000))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
}

} // namespace

void BildZwischenablegen(const QImage &bild)
{
    auto *daten = new PngAblage(bild);
    QGuiApplication::clipboard()->setMimeData(daten);
    unserBild = daten;
}

void ZwischenablageBeimEnde()
{
    if (!unserBild || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return;
    xcb_connection_t *c = x11->connection();
    // The server knows whether the clipboard is still ours; a loss may still be on its way to Qt.
    const xcb_window_t fenster = besitzer(c, "CLIPBOARD");
    if (!vonUns(c, fenster))
        return;
    unserBild->nurPngAnbieten();
    if (besitzer(c, "CLIPBOARD_MANAGER") != XCB_NONE) {
        if (AnAblageVerwaltungUebergeben(c))
            return;
        std::fputs(
            "skizzomat: Die Zwischenablage-Verwaltung hat das Bild nicht übernommen; Skizzomat hält es "
            "selbst bereit.\n",
            stderr);
    }
    if (!AblageHueterStarten(qvariant_cast<QImage>(unserBild->imageData()), fenster, hueterWartezeitMs)) {
        std::fputs("skizzomat: Das Bild in der Zwischenablage bleibt nach dem Ende nicht erhalten.\n",
                   stderr);
        return;
    }
    verlustAbwarten();
}
