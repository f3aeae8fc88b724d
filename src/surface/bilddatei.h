// Pictures in memory files, and copies of them that cost memory only where they are drawn on.
#pragma once

#include <QImage>

#include <cstddef>
#include <functional>

// A memory file of the system, mapped shared: what the X server reads the screen into, and
// what the drawing picture is a copy of.
struct Bilddatei
{
    int fd = -1;
    uchar *daten = nullptr;
    std::size_t groesse = 0;
};

// A memory file of `bytes`, mapped; a Bilddatei with fd -1 when the system offers none.
Bilddatei bilddateiAnlegen(std::size_t bytes);

// Unmaps and closes the file; mappings still made of it keep its pages until they go.
void bilddateiSchliessen(Bilddatei &d);

// A copy of the `w` × `h` RGB32 picture at the start of `d` in a private mapping of the file:
// until a page of it is written it is the file's page, so the copy costs memory only for the
// pages drawn on (the system copies one 4 KB page at its first write). The file must not be
// written while the copy lives. `weg` runs once the copy is gone, on whichever thread lets go
// of it last. Null when the file is too small or the system refuses the mapping.
QImage bilddateiKopie(const Bilddatei &d, int w, int h, std::function<void()> weg);

// True when `bild`'s pixels are those of a copy made by bilddateiKopie: it keeps the whole
// file besides the pages drawn on.
bool bilddateiKopieIst(const QImage &bild);

// True when `kopie` is a copy made by bilddateiKopie of the file `original` shows, that is,
// pixel for pixel `original` where it has not been written.
bool bilddateiKopieVon(const QImage &kopie, const QImage &original);

// Makes a copy made by bilddateiKopie equal to its file again, `original` being the picture
// over the file's mapping, and gives back the pages it had of its own. False (and nothing
// done) for any other pair of pictures, and for a copy shared with another image.
bool bilddateiKopieZuruecksetzen(QImage &kopie, const QImage &original);
