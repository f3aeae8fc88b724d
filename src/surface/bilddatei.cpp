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
    std::function<void()> weg;
};

// The copies alive; a copy goes on whichever thread lets go of it last.
std::mutex kopienSperre;
std::vector<const void *> kopien;

} // namespace

QImage bilddateiKopie(const Bilddatei &d, int w, int h, std::function<void()> weg)
{
    const std::size_t bytes = std::size_t(w) * std::size_t(h) * 4;
    if (d.fd < 0 || w <= 0 || h <= 0 || bytes > d.groesse)
        return {};
    // Not MAP_POPULATE: on a private writable mapping that copies every page at once.
    void *p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE, d.fd, 0);
    if (p == MAP_FAILED)
        return {};
    auto *kopie = new Kopie{p, bytes, std::move(weg)};
    {
        const std::lock_guard<std::mutex> sperre(kopienSperre);
        kopien.push_back(p);
    }
    return QImage(
        static_cast<uchar *>(p), w, h, qsizetype(w) * 4, QImage::Format_RGB32,
        [](void *k) {
            auto *kopie = static_cast<Kopie *>(k);
            {
                const std::lock_guard<std::mutex> sperre(kopienSperre);
                std::erase(kopien, kopie->adresse);
            }
            munmap(kopie->adresse, kopie->groesse);
            if (kopie->weg)
                kopie->weg();
            delete kopie;
        },
        kopie);
}

void bilddateiSeitenAbgeben(const Bilddatei &d)
{
    // On a shared mapping of a file this drops only our page table entries, not the pixels.
    if (d.daten)
        madvise(d.daten, d.groesse, MADV_DONTNEED);
}

bool bilddateiKopieIst(const QImage &bild)
{
    const std::lock_guard<std::mutex> sperre(kopienSperre);
    return !bild.isNull() && std::find(kopien.begin(), kopien.end(), bild.constBits()) != kopien.end();
}
