#include "toolwindow/einfrieren.h"

#include "surface/bilddatei.h"
#include "surface/sicherung.h"

int monitorWahl(int monitorMode, int monitorCount, int toolWindowMonitor)
{
    if (monitorMode == 2 && monitorCount > 1)
        return 1;
    if (monitorMode == 1)
        return 0;
    return toolWindowMonitor;
}

void bildUebernehmen(ToolState &t, SurfaceState &s, const QImage &captured, const QImage &zeichnung)
{
    t.OrigScrBmp =
        captured.format() == QImage::Format_RGB32 ? captured : captured.convertToFormat(QImage::Format_RGB32);
    // Pixels of the picture are pixels of the screen, whatever the capture said about scaling.
    t.OrigScrBmp.setDevicePixelRatio(1);
    t.BackupBmp = t.OrigScrBmp;
    t.BackupOrigScrBmp = t.OrigScrBmp;
    t.OrigScrStartBmp = t.OrigScrBmp;
    s.Lx = s.Ly = s.Sx = s.Sy = -1;
    s.BakLx = s.BakLy = s.BakSx = s.BakSy = -1;
    t.BakBereichRect = t.BereichRect;
    t.BakModus = t.Modus;
    // Shown from the captured pixels, which are mapped already; the copy is mapped page by
    // page only where it is drawn on or painted from.
    s.Img1Bmp = t.OrigScrBmp;
    s.Zeichenvorrat = captured.format() == QImage::Format_RGB32 ? zeichnung : QImage();
    // The picture is the background: the first press compares only what it draws.
    bildGleichHintergrund(s, t.OrigScrBmp);
}

void bilderFreigeben(ToolState &t, SurfaceState &s)
{
    t.AuswahlBmp = QImage();
    t.OrigScrBmp = QImage();
    t.OrigScrStartBmp = QImage();
    t.BackupBmp = QImage();
    t.BackupOrigScrBmp = QImage();
    s.Zeichenvorrat = QImage();
    // A drawing picture that is still a copy of the screen's memory file holds all of that
    // file: with memory of its own, the file serves the next freeze instead of a new one.
    if (bilddateiKopieIst(s.Img1Bmp)) {
        QImage eigen;
        bildSichern(eigen, s.Img1Bmp);
        s.Img1Bmp = eigen;
    }
    bildGanzGeaendert(s);
}
