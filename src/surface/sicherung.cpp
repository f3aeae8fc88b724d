#include "surface/sicherung.h"

#include "surface/bilddatei.h"

#include <QColorSpace>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// On x86-64 with non-temporal stores: a 7680 × 4320 picture takes about 14 ms instead of
// 19 ms, and the caches keep what the next steps need.
void grossKopieren(uchar *nach, const uchar *von, size_t n)
{
#if defined(__SSE2__)
    const size_t kopf = std::min(n, size_t((16 - reinterpret_cast<std::uintptr_t>(nach) % 16) % 16));
    std::memcpy(nach, von, kopf);
    nach += kopf;
    von += kopf;
    n -= kopf;
    auto *d = reinterpret_cast<__m128i *>(nach);
    const auto *s = reinterpret_cast<const __m128i *>(von);
    const size_t bloecke = n / 64;
    for (size_t i = 0; i < bloecke; ++i, d += 4, s += 4) {
        const __m128i a = _mm_loadu_si128(s), b = _mm_loadu_si128(s + 1);
        const __m128i c = _mm_loadu_si128(s + 2), e = _mm_loadu_si128(s + 3);
        _mm_stream_si128(d, a);
        _mm_stream_si128(d + 1, b);
        _mm_stream_si128(d + 2, c);
        _mm_stream_si128(d + 3, e);
    }
    _mm_sfence();
    std::memcpy(nach + bloecke * 64, von + bloecke * 64, n - bloecke * 64);
#else
    std::memcpy(nach, von, n);
#endif
}

namespace {

// A copy of `vorlage` in a buffer of its own. A large one lies on 2 MB pages where the system
// offers them: a later whole copy into it then takes about 11 ms instead of 15 ms at
// 7680 × 4320, and steps that touch many rows miss the address cache less often.
QImage eigenesBild(const QImage &vorlage)
{
    constexpr size_t Seite = size_t(2) << 20;
    const size_t n = size_t(vorlage.sizeInBytes());
    if (n < 4 * Seite)
        return vorlage.copy();
    const size_t gerundet = (n + Seite - 1) / Seite * Seite;
    void *speicher = std::aligned_alloc(Seite, gerundet);
    if (!speicher)
        return vorlage.copy();
#if defined(MADV_HUGEPAGE)
    madvise(speicher, gerundet, MADV_HUGEPAGE);
#endif
    grossKopieren(static_cast<uchar *>(speicher), vorlage.constBits(), n);
    QImage bild(
        static_cast<uchar *>(speicher), vorlage.width(), vorlage.height(), vorlage.bytesPerLine(),
        vorlage.format(), [](void *p) { std::free(p); }, speicher);
    bild.setColorTable(vorlage.colorTable());
    bild.setDotsPerMeterX(vorlage.dotsPerMeterX());
    bild.setDotsPerMeterY(vorlage.dotsPerMeterY());
    bild.setOffset(vorlage.offset());
    bild.setDevicePixelRatio(vorlage.devicePixelRatio());
    bild.setColorSpace(vorlage.colorSpace());
    return bild;
}

} // namespace

void bildSichern(QImage &ziel, const QImage &quelle)
{
    if (ziel.isDetached() && ziel.size() == quelle.size() && ziel.format() == quelle.format()) {
        // `ziel` owns its buffer alone: writing into it reaches no other image.
        const uchar *von = quelle.constBits();
        uchar *nach = ziel.bits();
        if (ziel.bytesPerLine() == quelle.bytesPerLine()) {
            grossKopieren(nach, von, size_t(quelle.sizeInBytes()));
        } else {
            const size_t n = size_t(quelle.width()) * size_t(quelle.depth() / 8);
            for (int y = 0; y < quelle.height(); ++y)
                std::memcpy(ziel.scanLine(y), quelle.constScanLine(y), n);
        }
        return;
    }
    ziel = eigenesBild(quelle);
}

namespace {

constexpr int KachelBits = 6; // tiles of 64 × 64 pixels
constexpr int Kachel = 1 << KachelBits;

int kachelnFuer(int pixel)
{
    return (pixel + Kachel - 1) >> KachelBits;
}

bool rasterPasst(const Aenderungsstand &a, const QImage &bild)
{
    return a.Spalten == kachelnFuer(bild.width()) && a.Zeilen == kachelnFuer(bild.height()) &&
           a.Kacheln.size() == size_t(a.Spalten) * size_t(a.Zeilen);
}

// Two pictures whose tiles can be compared and exchanged byte for byte.
bool vergleichbar(const QImage &bild, const QImage &grund)
{
    return !bild.isNull() && bild.format() == QImage::Format_RGB32 && grund.format() == bild.format() &&
           grund.size() == bild.size() && grund.devicePixelRatio() == bild.devicePixelRatio();
}

// The pixel rectangle of tile `i` of a picture of `w` × `h` pixels.
struct Ort
{
    int x0, y0, w, h;
};

Ort ort(int i, int spalten, int w, int h)
{
    const int x0 = (i % spalten) * Kachel, y0 = (i / spalten) * Kachel;
    return {x0, y0, std::min(Kachel, w - x0), std::min(Kachel, h - y0)};
}

bool kachelGleich(const QImage &a, const QImage &b, const Ort &o)
{
    const size_t n = size_t(o.w) * 4, versatz = size_t(o.x0) * 4;
    for (int y = o.y0; y < o.y0 + o.h; ++y)
        if (std::memcmp(a.constScanLine(y) + versatz, b.constScanLine(y) + versatz, n) != 0)
            return false;
    return true;
}

void kachelLesen(std::vector<QRgb> &kachel, const QImage &bild, const Ort &o)
{
    kachel.resize(size_t(o.w) * size_t(o.h));
    QRgb *nach = kachel.data();
    for (int y = o.y0; y < o.y0 + o.h; ++y, nach += o.w)
        std::memcpy(nach, bild.constScanLine(y) + size_t(o.x0) * 4, size_t(o.w) * 4);
}

void kachelSchreiben(QImage &bild, const std::vector<QRgb> &kachel, const Ort &o)
{
    const QRgb *von = kachel.data();
    uchar *bits = bild.bits();
    const qsizetype zeile = bild.bytesPerLine();
    for (int y = o.y0; y < o.y0 + o.h; ++y, von += o.w)
        std::memcpy(bits + y * zeile + size_t(o.x0) * 4, von, size_t(o.w) * 4);
}

void kachelUebernehmen(QImage &bild, const QImage &grund, const Ort &o)
{
    const qsizetype zeile = bild.bytesPerLine();
    uchar *nach = bild.bits();
    const uchar *von = grund.constBits();
    const qsizetype gzeile = grund.bytesPerLine();
    for (int y = o.y0; y < o.y0 + o.h; ++y)
        std::memcpy(nach + y * zeile + size_t(o.x0) * 4, von + y * gzeile + size_t(o.x0) * 4,
                    size_t(o.w) * 4);
}

void kachelFreigeben(Bildsicherung &b, size_t i)
{
    if (!b.Kacheln[i].empty())
        std::vector<QRgb>().swap(b.Kacheln[i]);
}

// Tile `i` of the picture differs from the background there: records it and says whether it
// changed.
void vergleichen(Bildsicherung &b, const QImage &bild, const QImage &grund, size_t i)
{
    const std::uint8_t anders = !kachelGleich(bild, grund, ort(int(i), b.Spalten, b.Breite, b.Hoehe));
    b.Verschieden += anders;
    b.Verschieden -= b.Anders[i];
    b.Anders[i] = anders;
}

// Compares every tile, a row of tiles at a time, so that both pictures are read in order.
void alleVergleichen(Bildsicherung &b, const QImage &bild, const QImage &grund)
{
    std::fill(b.Anders.begin(), b.Anders.end(), 0);
    b.Verschieden = 0;
    if (bild.constBits() == grund.constBits())
        return; // one buffer: equal everywhere
    for (int ky = 0; ky < b.Zeilen; ++ky) {
        std::uint8_t *anders = b.Anders.data() + size_t(ky) * size_t(b.Spalten);
        const int y0 = ky * Kachel, y1 = std::min(b.Hoehe, y0 + Kachel);
        for (int y = y0; y < y1; ++y) {
            const uchar *p = bild.constScanLine(y), *g = grund.constScanLine(y);
            for (int kx = 0; kx < b.Spalten; ++kx) {
                if (anders[kx])
                    continue;
                const size_t versatz = size_t(kx) * Kachel * 4;
                const size_t n = size_t(std::min(Kachel, b.Breite - kx * Kachel)) * 4;
                anders[kx] = std::memcmp(p + versatz, g + versatz, n) != 0;
            }
        }
        for (int kx = 0; kx < b.Spalten; ++kx)
            b.Verschieden += anders[kx];
    }
}

// Gives the store the picture's tile grid. A store for another size, or one handed a picture
// whole, is emptied first; our own whole copy stays for its buffer.
void einrichten(Bildsicherung &b, const QImage &bild)
{
    const int spalten = kachelnFuer(bild.width()), zeilen = kachelnFuer(bild.height());
    const size_t n = size_t(spalten) * size_t(zeilen);
    if ((!b.Ganz.isNull() && !b.Spiegel) || b.Breite != bild.width() || b.Hoehe != bild.height() ||
        b.Kacheln.size() != n || b.Anders.size() != n) {
        b = QImage();
        b.Breite = bild.width();
        b.Hoehe = bild.height();
        b.Spalten = spalten;
        b.Zeilen = zeilen;
        b.Kacheln.resize(n);
        b.Anders.resize(n);
    }
}

// Makes the store hold the picture, given which tiles differ from the background (`Anders`).
// `nur`: the tiles that can have changed since the store last held the picture, or null
// for all. Tiles are kept while at most half differ; beyond that one whole copy costs no more
// memory and far less time than thousands of tiles allocated one by one, and it stays until
// fewer than a quarter differ.
void ablegen(Bildsicherung &b, const QImage &bild, const std::vector<std::uint8_t> *nur)
{
    const size_t alle = b.Anders.size();
    const bool spiegel = b.Spiegel ? b.Verschieden * 4 >= alle : b.Verschieden * 2 > alle;
    if (spiegel) {
        if (b.Spiegel && nur) {
            for (size_t i = 0; i < alle; ++i)
                if ((*nur)[i])
                    kachelUebernehmen(b.Ganz, bild, ort(int(i), b.Spalten, b.Breite, b.Hoehe));
        } else {
            bildSichern(b.Ganz, bild);
            for (size_t i = 0; i < alle; ++i)
                kachelFreigeben(b, i);
        }
        b.Spiegel = true;
        b.GanzSchluessel = b.Ganz.cacheKey();
        return;
    }
    const bool alleNeu = b.Spiegel || !nur;
    for (size_t i = 0; i < alle; ++i) {
        if (!alleNeu && !(*nur)[i])
            continue;
        if (b.Anders[i])
            kachelLesen(b.Kacheln[i], bild, ort(int(i), b.Spalten, b.Breite, b.Hoehe));
        else
            kachelFreigeben(b, i);
    }
    b.Ganz = QImage();
    b.Spiegel = false;
}

// True when the picture was written since the last record only by accounted operations,
// so that its written tiles are all it may differ in. The rectangles are in pixels; on a
// picture with another device pixel ratio a QPainter draws elsewhere, so such a picture is
// always compared whole.
bool nurKachelnGeschrieben(const Aenderungsstand &a, const QImage &bild)
{
    return !a.Alles && bild.devicePixelRatio() == 1.0 && bild.cacheKey() == a.BildSchluessel &&
           rasterPasst(a, bild);
}

// The snapshot is kept, as tiles or as our own whole copy, for a picture of this size and
// relative to this background.
bool ablageGilt(const Bildsicherung &b, const QImage &bild, const QImage &grund)
{
    const size_t n = size_t(kachelnFuer(bild.width())) * size_t(kachelnFuer(bild.height()));
    return (b.Spiegel ? b.Ganz.cacheKey() == b.GanzSchluessel && b.Ganz.size() == bild.size()
                      : b.Ganz.isNull()) &&
           b.Breite == bild.width() && b.Hoehe == bild.height() &&
           b.HintergrundSchluessel == grund.cacheKey() && b.Kacheln.size() == n && b.Anders.size() == n &&
           b.Spalten == kachelnFuer(bild.width());
}

// The snapshot is kept as tiles that fit over this background.
bool kachelnAufGrund(const Bildsicherung &b, const QImage &grund)
{
    return b.Ganz.isNull() && b.Breite > 0 && b.Breite == grund.width() && b.Hoehe == grund.height() &&
           b.Kacheln.size() == size_t(b.Spalten) * size_t(b.Zeilen) && grund.format() == QImage::Format_RGB32;
}

// Picture and snapshot are equal now.
void gleich(Aenderungsstand &a, const QImage &bild)
{
    a.Spalten = kachelnFuer(bild.width());
    a.Zeilen = kachelnFuer(bild.height());
    a.Kacheln.assign(size_t(a.Spalten) * size_t(a.Zeilen), 0);
    a.Alles = bild.isNull();
    a.BildSchluessel = bild.cacheKey();
    a.GegenHintergrund = false;
    a.HintergrundSchluessel = 0;
}

// A picture that still shares the captured screen becomes the copy of it made for the drawing
// (SurfaceState::Zeichenvorrat), pixel for pixel the same: what is known of its changes stays
// true. Says whether it did.
bool vorratNehmen(SurfaceState &s)
{
    QImage vorrat = std::exchange(s.Zeichenvorrat, QImage());
    if (s.Img1Bmp.isDetached() || !bilddateiKopieVon(vorrat, s.Img1Bmp))
        return false;
    const bool bekannt = s.Aenderungen.BildSchluessel == s.Img1Bmp.cacheKey();
    s.Img1Bmp = std::move(vorrat);
    if (bekannt)
        s.Aenderungen.BildSchluessel = s.Img1Bmp.cacheKey();
    return true;
}

} // namespace

void bildGanzGeaendert(SurfaceState &s)
{
    s.Aenderungen.Alles = true;
}

void bildGleichHintergrund(SurfaceState &s, const QImage &hintergrund)
{
    Aenderungsstand &a = s.Aenderungen;
    gleich(a, s.Img1Bmp);
    a.Alles = a.Alles || !vergleichbar(s.Img1Bmp, hintergrund);
    a.GegenHintergrund = true;
    a.HintergrundSchluessel = hintergrund.cacheKey();
}

void aenderungBeginnen(SurfaceState &s)
{
    // The first write to a picture that still shares the captured screen (a pointer move draws
    // the tool's marker, maybe before the first press) takes the copy made for it.
    vorratNehmen(s);
    Aenderungsstand &a = s.Aenderungen;
    if (s.Img1Bmp.cacheKey() != a.BildSchluessel)
        a.Alles = true;
}

const Rechtecke &aenderungMerken(SurfaceState &s, const Rechtecke &geaendert)
{
    Aenderungsstand &a = s.Aenderungen;
    const QImage &bild = s.Img1Bmp;
    a.BildSchluessel = bild.cacheKey();
    if (a.Alles)
        return geaendert;
    if (!rasterPasst(a, bild)) {
        a.Alles = true;
        return geaendert;
    }
    for (const QRect &roh : geaendert) {
        const QRect r = roh & bild.rect();
        if (r.isEmpty())
            continue;
        for (int ky = r.top() >> KachelBits; ky <= r.bottom() >> KachelBits; ++ky)
            for (int kx = r.left() >> KachelBits; kx <= r.right() >> KachelBits; ++kx)
                a.Kacheln[size_t(ky) * size_t(a.Spalten) + size_t(kx)] = 1;
    }
    return geaendert;
}

void sicherungAbgleichen(ToolState &t, SurfaceState &s)
{
    Aenderungsstand &a = s.Aenderungen;
    Bildsicherung &b = t.BackupBmp;
    const QImage &grund = t.BackupOrigScrBmp;
    if (!vergleichbar(s.Img1Bmp, grund)) {
        // Nothing to compare with: the snapshot keeps the picture whole.
        b = s.Img1Bmp.copy();
        gleich(a, s.Img1Bmp);
        a.Alles = true;
        return;
    }
    const QImage &bild = s.Img1Bmp;
    const bool geschrieben = nurKachelnGeschrieben(a, bild);
    if (geschrieben && !a.GegenHintergrund && ablageGilt(b, bild, grund)) {
        // Elsewhere the picture still equals the snapshot.
        for (size_t i = 0; i < a.Kacheln.size(); ++i)
            if (a.Kacheln[i])
                vergleichen(b, bild, grund, i);
        ablegen(b, bild, &a.Kacheln);
    } else if (geschrieben && a.GegenHintergrund && a.HintergrundSchluessel == grund.cacheKey()) {
        // Elsewhere the picture equals the background.
        einrichten(b, bild);
        std::fill(b.Anders.begin(), b.Anders.end(), 0);
        b.Verschieden = 0;
        for (size_t i = 0; i < a.Kacheln.size(); ++i)
            if (a.Kacheln[i])
                vergleichen(b, bild, grund, i);
        ablegen(b, bild, nullptr);
    } else {
        einrichten(b, bild);
        alleVergleichen(b, bild, grund);
        ablegen(b, bild, nullptr);
    }
    b.HintergrundSchluessel = grund.cacheKey();
    // A picture still shared (with the capture, after a freeze) would be copied by the
    // first step that draws on it; copied here, that step stays as cheap as any other. A copy
    // of the captured screen that shares its pages until drawn on costs only those pages.
    if (!vorratNehmen(s) && !s.Img1Bmp.isDetached())
        s.Img1Bmp = eigenesBild(s.Img1Bmp);
    gleich(a, s.Img1Bmp);
}

void bildAusSicherung(ToolState &t, SurfaceState &s)
{
    Aenderungsstand &a = s.Aenderungen;
    const Bildsicherung &b = t.BackupBmp;
    const QImage &grund = t.BackupOrigScrBmp;
    QImage &bild = s.Img1Bmp;
    const bool geschrieben = nurKachelnGeschrieben(a, bild) && bild.isDetached() &&
                             vergleichbar(bild, grund) && ablageGilt(b, bild, grund);
    if (b.Spiegel && b.Ganz.cacheKey() == b.GanzSchluessel) {
        // Our own whole copy: where the picture may differ from it.
        const bool nurGeschriebene = geschrieben && !a.GegenHintergrund;
        const bool auchAndere =
            geschrieben && a.GegenHintergrund && a.HintergrundSchluessel == grund.cacheKey();
        if (nurGeschriebene || auchAndere) {
            for (size_t i = 0; i < a.Kacheln.size(); ++i)
                if (a.Kacheln[i] || (auchAndere && b.Anders[i]))
                    kachelUebernehmen(bild, b.Ganz, ort(int(i), b.Spalten, b.Breite, b.Hoehe));
        } else {
            bildSichern(bild, b.Ganz);
        }
    } else if (!kachelnAufGrund(b, grund)) {
        // Held whole, or no tiles that fit the background: every pixel is the background's.
        bildSichern(bild, b.Ganz.isNull() ? grund : b.Ganz);
        gleich(a, bild);
        return;
    } else if (geschrieben && !a.GegenHintergrund) {
        // Elsewhere the picture still equals the snapshot.
        for (size_t i = 0; i < a.Kacheln.size(); ++i) {
            if (!a.Kacheln[i])
                continue;
            const Ort o = ort(int(i), b.Spalten, b.Breite, b.Hoehe);
            if (b.Kacheln[i].empty())
                kachelUebernehmen(bild, grund, o);
            else
                kachelSchreiben(bild, b.Kacheln[i], o);
        }
    } else if (geschrieben && a.HintergrundSchluessel == grund.cacheKey()) {
        // Elsewhere the picture equals the background.
        for (size_t i = 0; i < a.Kacheln.size(); ++i) {
            const Ort o = ort(int(i), b.Spalten, b.Breite, b.Hoehe);
            if (!b.Kacheln[i].empty())
                kachelSchreiben(bild, b.Kacheln[i], o);
            else if (a.Kacheln[i])
                kachelUebernehmen(bild, grund, o);
        }
    } else {
        bildSichern(bild, grund);
        for (size_t i = 0; i < b.Kacheln.size(); ++i)
            if (!b.Kacheln[i].empty())
                kachelSchreiben(bild, b.Kacheln[i], ort(int(i), b.Spalten, b.Breite, b.Hoehe));
    }
    gleich(a, bild);
    // Tiles kept against a background that has been written since say nothing about the
    // picture made from it.
    a.Alles = a.Alles || b.HintergrundSchluessel != grund.cacheKey();
}

QImage sicherungsBild(const ToolState &t)
{
    const Bildsicherung &b = t.BackupBmp;
    if (!kachelnAufGrund(b, t.BackupOrigScrBmp))
        return b.Ganz.isNull() ? t.BackupOrigScrBmp : b.Ganz;
    QImage bild = t.BackupOrigScrBmp.copy();
    for (size_t i = 0; i < b.Kacheln.size(); ++i)
        if (!b.Kacheln[i].empty())
            kachelSchreiben(bild, b.Kacheln[i], ort(int(i), b.Spalten, b.Breite, b.Hoehe));
    return bild;
}

void bildAufHintergrund(ToolState &t, SurfaceState &s)
{
    const Aenderungsstand &a = s.Aenderungen;
    const Bildsicherung &b = t.BackupBmp;
    const QImage &grund = t.OrigScrBmp;
    QImage &bild = s.Img1Bmp;
    // A picture that is a copy of the background's memory file becomes the file's pages again,
    // and what it had drawn on goes back to the system.
    if (bilddateiKopieZuruecksetzen(bild, grund)) {
        bildGleichHintergrund(s, grund);
        return;
    }
    const bool geschrieben = nurKachelnGeschrieben(a, bild) && bild.isDetached() && vergleichbar(bild, grund);
    // Elsewhere the picture equals the background ...
    const bool wieGrund = geschrieben && a.GegenHintergrund && a.HintergrundSchluessel == grund.cacheKey();
    // ... or the snapshot, which differs from the background where its tiles say so.
    const bool wieSicherung = geschrieben && !a.GegenHintergrund &&
                              t.BackupOrigScrBmp.cacheKey() == grund.cacheKey() && ablageGilt(b, bild, grund);
    if (wieGrund || wieSicherung) {
        // Only where it may differ: the rest of a picture that shares the memory the screen
        // was read into stays shared, and at 8K this is far less than a whole copy.
        for (size_t i = 0; i < a.Kacheln.size(); ++i)
            if (a.Kacheln[i] || (wieSicherung && b.Anders[i]))
                kachelUebernehmen(bild, grund, ort(int(i), a.Spalten, bild.width(), bild.height()));
    } else {
        bildSichern(bild, grund);
    }
    bildGleichHintergrund(s, grund);
}

void UndoSchnappschuss(ToolState &t, SurfaceState &s)
{
    t.BakModus = t.Modus;
    t.BakSdicke = t.Sdicke;
    s.BakLx = s.Lx;
    s.BakLy = s.Ly;
    s.BakSx = s.Sx;
    s.BakSy = s.Sy;
    t.BakBereichRect = t.BereichRect;
    // The background changes only with a sheet; a shared copy stays what it is when the
    // background is later written to.
    t.BackupOrigScrBmp = t.OrigScrBmp;
    sicherungAbgleichen(t, s);
}
