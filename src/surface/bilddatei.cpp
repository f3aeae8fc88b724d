#include "surface/bilddatei.h"

#include <algorithm>
#include <fcntl.h>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

Bilddatei bilddateiAnlegen(std::size_t bytes)
{
    Bilddatei d;
    const int fd = memfd_create("skizzomat-bild", MFD_CLOEXEC);
    if (fd < 0)
        return d;
    void *p = MAP_FAILED;
    if (ftruncate(fd, off_t(bytes)) == 0)
        p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (p == MAP_FAILED) {
        close(fd);
        return d;
    }
    d.fd = fd;
    d.daten = static_cast<uchar *>(p);
    d.groesse = bytes;
    return d;
}

void bilddateiSchliessen(Bilddatei &d)
{
    if (d.daten)
        munmap(d.daten, d.groesse);
    if (d.fd >= 0)
        close(d.fd);
    d = Bilddatei();
}

namespace {

struct Kopie
{
    void *adresse;
    std::size_t groesse;
    int fd;                // our own descriptor of the file, to map it anew
    const uchar *original; // the file's shared mapping
    std::function<void()> weg;
};

// The copies alive; a copy goes on whichever thread lets go of it last.
std::mutex kopienSperre;
std::vector<const Kopie *> kopien;

const Kopie *kopieVon(const uchar *bits)
{
    const auto k =
        std::find_if(kopien.begin(), kopien.end(), [bits](const Kopie *k) { return k->adresse == bits; });
    return k == kopien.end() ? nullptr : *k;
}

} // namespace

QImage bilddateiKopie(const Bilddatei &d, int w, int h, std::function<void()> weg)
{
    const std::size_t bytes = std::size_t(w) * std::size_t(h) * 4;
    if (d.fd < 0 || w <= 0 || h <= 0 || bytes > d.groesse)
        return {};
    // Not MAP_POPULATE: on a private writable mapping that copies every page at once.
    const int fd = fcntl(d.fd, F_DUPFD_CLOEXEC, 0);
    void *p = fd < 0 ? MAP_FAILED : mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
    if (p == MAP_FAILED) {
        if (fd >= 0)
            close(fd);
        return {};
    }
    auto *kopie = new Kopie{p, bytes, fd, d.daten, std::move(weg)};
    {
        const std::lock_guard<std::mutex> sperre(kopienSperre);
        kopien.push_back(kopie);
    }
    return QImage(
        static_cast<uchar *>(p), w, h, qsizetype(w) * 4, QImage::Format_RGB32,
        [](void *k) {
            auto *kopie = static_cast<Kopie *>(k);
            {
                const std::lock_guard<std::mutex> sperre(kopienSperre);
                std::erase(kopien, kopie);
            }
            munmap(kopie->adresse, kopie->groesse);
            close(kopie->fd);
            if (kopie->weg)
                kopie->weg();
            delete kopie;
        },
        kopie);
}

bool bilddateiKopieIst(const QImage &bild)
{
    const std::lock_guard<std::mutex> sperre(kopienSperre);
    return !bild.isNull() && kopieVon(bild.constBits());
}

bool bilddateiKopieVon(const QImage &kopie, const QImage &original)
{
    const std::lock_guard<std::mutex> sperre(kopienSperre);
    const Kopie *k = kopie.isNull() ? nullptr : kopieVon(kopie.constBits());
    return k && k->original == original.constBits() && kopie.size() == original.size() &&
           kopie.format() == original.format();
}

bool bilddateiKopieZuruecksetzen(QImage &kopie, const QImage &original)
{
    if (kopie.isNull() || !kopie.isDetached() || original.size() != kopie.size() ||
        original.format() != kopie.format())
        return false;
    const std::lock_guard<std::mutex> sperre(kopienSperre);
    const Kopie *k = kopieVon(kopie.constBits());
    if (!k || k->original != original.constBits())
        return false;
    // bits(): the picture counts as written, and the pointer is the mapping's own.
    uchar *bits = kopie.bits();
    // Mapped anew in its place: every page is the file's again, the pages of its own go.
    return mmap(bits, k->groesse, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_FIXED, k->fd, 0) == bits;
}
