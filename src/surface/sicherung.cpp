#include "surface/sicherung.h"

#include <cstring>

void bildSichern(QImage &ziel, const QImage &quelle)
{
    if (ziel.isDetached() && ziel.size() == quelle.size() && ziel.format() == quelle.format()) {
        // `ziel` owns its buffer alone: writing into it reaches no other image.
        const uchar *von = quelle.constBits();
        uchar *nach = ziel.bits();
        if (ziel.bytesPerLine() == quelle.bytesPerLine()) {
            std::memcpy(nach, von, size_t(quelle.sizeInBytes()));
        } else {
            const size_t n = size_t(quelle.width()) * size_t(quelle.depth() / 8);
            for (int y = 0; y < quelle.height(); ++y)
                std::memcpy(ziel.scanLine(y), quelle.constScanLine(y), n);
        }
        return;
    }
    ziel = quelle.copy();
}

void UndoSchnappschuss(ToolState &t, SurfaceState &s)
{
    t.BakModus = t.Modus;
    s.BakLx = s.Lx;
    s.BakLy = s.Ly;
    s.BakSx = s.Sx;
    s.BakSy = s.Sy;
    t.BakBereichRect = t.BereichRect;
    bildSichern(t.BackupBmp, s.Img1Bmp);
    // The background changes only with a sheet; a shared copy stays what it is when the
    // background is later written to.
    t.BackupOrigScrBmp = t.OrigScrBmp;
}
