#include "surface/capture.h"

#include "app/sitzung.h"
#include "app/vorbelegen.h"
#include "surface/ausschnitt.h"
#include "surface/bilddatei.h"
#include "surface/gnomeskalierung.h"
#include "surface/kwinbild.h"
#include "surface/malspeicher.h"
#include "surface/portal.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <thread>
#include <vector>

namespace {

// The screen read through shared memory: about ten times faster than the plain protocol for a
// 4K monitor. A freeze's picture stays in the segment it was read into: copied into fresh
// memory, every 4 KB page of it would cost a page fault, which at 8K takes longer than all
// the rest of a freeze (and on some virtual machines a whole second). A segment is taken
// again once the last copy of its picture is gone, so freezes take turns between two.
// Where the X server takes a memory file as the segment, the drawing picture becomes a copy of
// it that shares its pages until they are drawn on (bilddateiKopie): background and drawing
// picture then cost one frame and what was drawn, not two frames.
class ShmLeser
{
public:
    // Makes the segment for the next read of `r` ready, as far as that can be done early.
    void vorbereiten(xcb_connection_t *c, const QRect &r)
    {
        freiesSegment(c, size_t(r.width()) * size_t(r.height()) * 4);
    }

    QImage lesen(xcb_connection_t *c, xcb_window_t root, const QRect &r)
    {
        const size_t pixel = size_t(r.width()) * size_t(r.height());
        Segment *s = freiesSegment(c, pixel * 4);
        if (!s)
            return {};
        if (s->fueller.joinable())
            s->fueller.join();
        // A new segment is read by the X server first: it then maps 16 of its pages a fault
        // instead of writing each with a fault of its own.
        if (!s->gewaermt)
            segmentLesenLassen(s->seg, r.size());
        // In bands, all asked for at once: while the X server fills the next band, this
        // thread makes the last one opaque.
        constexpr int Band = 256;
        std::vector<xcb_shm_get_image_cookie_t> fragen;
        for (int y = 0; y < r.height(); y += Band)
            fragen.push_back(xcb_shm_get_image(c, root, r.x(), r.y() + y, r.width(),
                                               std::min(Band, r.height() - y), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP,
                                               s->seg, quint32(size_t(y) * size_t(r.width()) * 4)));
        bool gelesen = true;
        for (size_t i = 0; i < fragen.size(); ++i) {
            xcb_generic_error_t *err = nullptr;
            std::unique_ptr<xcb_shm_get_image_reply_t, decltype(&std::free)> reply(
                xcb_shm_get_image_reply(c, fragen[i], &err), &std::free);
            std::free(err);
            const int y = int(i) * Band, h = std::min(Band, r.height() - y);
            const size_t n = size_t(h) * size_t(r.width());
            gelesen = gelesen && reply && reply->depth == 24 && reply->size >= n * 4;
            if (!gelesen)
                continue; // the other replies are still to be taken
            auto *p = static_cast<quint32 *>(s->addr) + size_t(y) * size_t(r.width());
            // The X server leaves the padding byte undefined; our pictures keep it at 0xFF.
            for (size_t k = 0; k < n; ++k)
                p[k] |= 0xFF000000u;
        }
        if (!gelesen)
            return {};
        s->gewaermt = true;
        ++s->nutzer;
        // Read-only: a write to the picture gives it a copy of its own instead of changing the
        // segment under the drawing picture that shares its pages.
        return QImage(
            static_cast<const uchar *>(s->addr), r.width(), r.height(), qsizetype(r.width()) * 4,
            QImage::Format_RGB32, [](void *seg) { --static_cast<Segment *>(seg)->nutzer; }, s);
    }

    // A copy of `bild`, read by lesen(), that costs memory only for the pages drawn on; null
    // where its segment is no memory file.
    QImage zeichenkopie(const QImage &bild)
    {
        for (const std::unique_ptr<Segment> &s : m_segmente) {
            if (s->datei.fd < 0 || s->addr != bild.constBits() || s->nutzer == 0)
                continue;
            ++s->nutzer;
            QImage kopie =
                bilddateiKopie(s->datei, bild.width(), bild.height(), [seg = s.get()] { --seg->nutzer; });
            if (kopie.isNull()) {
                --s->nutzer;
                return {};
            }
            return kopie;
        }
        return {};
    }

    // Has the X server write a free segment for `r` once, without waiting for it: the server
    // maps a segment's pages only as it first writes them, a fault for every page, which makes
    // the first read into a new segment several times slower than later ones. The pixels
    // written are of no use; the next read writes them anew, after these requests.
    void vorwaermen(xcb_connection_t *c, xcb_window_t root, const QRect &r)
    {
        Segment *s = freiesSegment(c, size_t(r.width()) * size_t(r.height()) * 4);
        if (!s || s->gewaermt)
            return;
        constexpr int Band = 256;
        for (int y = 0; y < r.height(); y += Band)
            xcb_discard_reply(c, xcb_shm_get_image(c, root, r.x(), r.y() + y, r.width(),
                                                   std::min(Band, r.height() - y), ~0u,
                                                   XCB_IMAGE_FORMAT_Z_PIXMAP, s->seg,
                                                   quint32(size_t(y) * size_t(r.width()) * 4))
                                     .sequence);
        xcb_flush(c);
        s->gewaermt = true;
    }

    // Lets go of every segment no picture uses: at rest, when the next freeze may be far off.
    void alleFreienFreigeben()
    {
        std::vector<Segment *> weg;
        for (const std::unique_ptr<Segment> &s : m_segmente)
            if (s->nutzer == 0)
                weg.push_back(s.get());
        for (Segment *s : weg)
            freigeben(s);
    }

    // Keeps one free segment for the next freeze and lets go of every other free one. A
    // picture kept past the end of its session makes the next freeze take a second segment;
    // without this, both would stay with the program for good.
    void ersatzFreigeben()
    {
        Segment *behalten = groesstesFreies();
        std::vector<Segment *> weg;
        for (const std::unique_ptr<Segment> &s : m_segmente)
            if (s->nutzer == 0 && s.get() != behalten)
                weg.push_back(s.get());
        for (Segment *s : weg)
            freigeben(s);
    }

private:
    struct Segment
    {
        xcb_shm_seg_t seg = 0;
        void *addr = nullptr;
        size_t groesse = 0;
        Bilddatei datei;             // the memory file, where the X server takes one
        std::atomic<int> nutzer = 0; // pictures living in it: the screen's and its copies
        bool gewaermt = false;       // the X server has mapped its pages
        std::jthread fueller;        // writes a new segment's pages once
    };

    Segment *groesstesFreies() const
    {
        Segment *frei = nullptr;
        for (const std::unique_ptr<Segment> &s : m_segmente)
            if (s->nutzer == 0 && (!frei || s->groesse > frei->groesse))
                frei = s.get();
        return frei;
    }

    Segment *freiesSegment(xcb_connection_t *c, size_t bytes)
    {
        Segment *frei = groesstesFreies();
        if (frei && frei->groesse >= bytes)
            return frei;
        // Too small for this monitor: made anew in its size.
        if (frei)
            freigeben(frei);
        auto neu = std::make_unique<Segment>();
        if (!anlegen(c, *neu, bytes))
            return nullptr;
        m_segmente.push_back(std::move(neu));
        return m_segmente.back().get();
    }

    bool anlegen(xcb_connection_t *c, Segment &s, size_t bytes)
    {
        if (!(mitDatei(c) ? dateiAnlegen(c, s, bytes) : sysvAnlegen(c, s, bytes)))
            return false;
        m_conn = c;
        s.groesse = bytes;
        // Its pages written while the caller waits before reading the screen.
        s.fueller = std::jthread([addr = s.addr, bytes] { seitenVorbelegen(addr, bytes); });
        return true;
    }

    // The X server takes memory files (MIT-SHM 1.2).
    bool mitDatei(xcb_connection_t *c)
    {
        if (m_mitDatei < 0) {
            std::unique_ptr<xcb_shm_query_version_reply_t, decltype(&std::free)> v(
                xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr), &std::free);
            m_mitDatei = v && (v->major_version > 1 || (v->major_version == 1 && v->minor_version >= 2));
        }
        return m_mitDatei > 0;
    }

    bool dateiAnlegen(xcb_connection_t *c, Segment &s, size_t bytes)
    {
        s.datei = bilddateiAnlegen(bytes);
        if (s.datei.fd < 0)
            return sysvAnlegen(c, s, bytes);
        // The connection closes the descriptor it sends.
        const int fuerServer = fcntl(s.datei.fd, F_DUPFD_CLOEXEC, 0);
        s.seg = xcb_generate_id(c);
        xcb_generic_error_t *err =
            fuerServer < 0 ? nullptr
                           : xcb_request_check(c, xcb_shm_attach_fd_checked(c, s.seg, fuerServer, 0));
        if (fuerServer < 0 || err) {
            std::free(err);
            bilddateiSchliessen(s.datei);
            return sysvAnlegen(c, s, bytes);
        }
        s.addr = s.datei.daten;
        return true;
    }

    bool sysvAnlegen(xcb_connection_t *c, Segment &s, size_t bytes)
    {
        const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (id < 0)
            return false;
        s.addr = shmat(id, nullptr, 0);
        if (s.addr == reinterpret_cast<void *>(-1)) {
            s.addr = nullptr;
            shmctl(id, IPC_RMID, nullptr);
            return false;
        }
        s.seg = xcb_generate_id(c);
        xcb_generic_error_t *err = xcb_request_check(c, xcb_shm_attach_checked(c, s.seg, id, 0));
        // Marked for removal now: the segment goes away with the last detach, also if we crash.
        shmctl(id, IPC_RMID, nullptr);
        if (err) {
            std::free(err);
            shmdt(s.addr);
            return false;
        }
        return true;
    }

    void freigeben(Segment *s)
    {
        if (s->fueller.joinable())
            s->fueller.join();
        xcb_shm_detach(m_conn, s->seg);
        xcb_flush(m_conn);
        if (s->datei.fd >= 0)
            bilddateiSchliessen(s->datei);
        else
            shmdt(s->addr);
        std::erase_if(m_segmente, [s](const std::unique_ptr<Segment> &e) { return e.get() == s; });
    }

    xcb_connection_t *m_conn = nullptr;
    int m_mitDatei = -1; // unknown yet
    std::vector<std::unique_ptr<Segment>> m_segmente;
};

// The X connection and root window when the screen can be read through shared memory.
xcb_connection_t *shmVerbindung(xcb_window_t *root)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return nullptr;
    xcb_connection_t *c = x11->connection();
    const xcb_query_extension_reply_t *ext = xcb_get_extension_data(c, &xcb_shm_id);
    if (!ext || !ext->present)
        return nullptr;
    const xcb_setup_t *setup = xcb_get_setup(c);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return nullptr;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(setup).data;
    if (!screen || screen->root_depth != 24)
        return nullptr;
    *root = screen->root;
    return c;
}

// The note on GNOME enlarging XWayland, once in a run; nothing under another desktop.
QString gnomeSkalierungEinmal(QSize bild, QSize desktop)
{
    static bool gesagt = false;
    static const bool gnome = [] {
        QDBusConnection bus = QDBusConnection::sessionBus();
        return bus.isConnected() && bus.interface() &&
               bus.interface()->isServiceRegistered(QStringLiteral("org.gnome.Mutter.DisplayConfig")).value();
    }();
    if (gesagt || !gnome)
        return {};
    QString hinweis = gnomeSkalierungsHinweis(bild, desktop);
    gesagt = !hinweis.isEmpty();
    return hinweis;
}

ShmLeser &shmLeser()
{
    // Never destroyed: pictures may outlive every static object, and at exit the system
    // takes the segments back.
    static ShmLeser *leser = new ShmLeser;
    return *leser;
}

QImage perShm(const QRect &r)
{
    xcb_window_t root = 0;
    xcb_connection_t *c = shmVerbindung(&root);
    return c ? shmLeser().lesen(c, root, r) : QImage();
}

} // namespace

void bildschirmLesenVorbereiten(QScreen *monitor)
{
    xcb_window_t root = 0;
    if (xcb_connection_t *c = waylandSitzung() ? nullptr : shmVerbindung(&root))
        shmLeser().vorbereiten(c, monitor->geometry());
}

void bildschirmSpeicherFreigeben()
{
    shmLeser().ersatzFreigeben();
}

void bildschirmLesenVorwaermen(QScreen *monitor)
{
    xcb_window_t root = 0;
    if (xcb_connection_t *c = waylandSitzung() ? nullptr : shmVerbindung(&root))
        shmLeser().vorwaermen(c, root, monitor->geometry());
}

void bildschirmSpeicherGanzFreigeben()
{
    shmLeser().alleFreienFreigeben();
}

QImage bildschirmLesen(QScreen *monitor)
{
    const QRect g = monitor->geometry();
    QImage bild = perShm(g);
    if (!bild.isNull())
        return bild;
    bild = monitor->grabWindow(0, 0, 0, g.width(), g.height()).toImage();
    if (bild.isNull() || bild.size() != g.size())
        return {};
    if (bild.format() != QImage::Format_RGB32)
        bild = bild.convertToFormat(QImage::Format_RGB32);
    return bild;
}

Bildaufnahme bildschirmAufnehmen(QScreen *monitor)
{
    if (!waylandSitzung()) {
        Bildaufnahme aufnahme(bildschirmLesen(monitor));
        aufnahme.zeichnung = shmLeser().zeichenkopie(aufnahme.bild);
        return aufnahme;
    }
    if (std::optional<Bildaufnahme> kwin = kwinBildschirmfoto(monitor))
        return *std::move(kwin);
    Bildaufnahme desktop = [monitor] {
        const ZeigerVerdeckt verdeckt(monitor);
        return portalBildschirmfoto(monitor->virtualSize());
    }();
    if (desktop.bild.isNull())
        return desktop;
    // The portal shows the compositor's whole desktop; XWayland's monitors lie in it as they
    // lie in the bounding box of all of them.
    const QSize groesse = desktop.bild.size();
    const QImage teil =
        monitorAusschnitt(std::move(desktop.bild), monitor->virtualGeometry(), monitor->geometry());
    if (teil.isNull())
        return {{},
                QStringLiteral("Das Bildschirmfoto des Desktops (%1 × %2) zeigt den Monitor %3 nicht.")
                    .arg(groesse.width())
                    .arg(groesse.height())
                    .arg(monitor->name())};
    Bildaufnahme aufnahme(teil);
    aufnahme.hinweis = kwinSkalierungEinmal(groesse, monitor->virtualGeometry().size());
    if (aufnahme.hinweis.isEmpty())
        aufnahme.hinweis = gnomeSkalierungEinmal(groesse, monitor->virtualGeometry().size());
    return aufnahme;
}
