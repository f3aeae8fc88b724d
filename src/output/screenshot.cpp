#include "output/screenshot.h"

#include "output/bildspeichern.h"
#include "output/ordner.h"

#include <QFileInfo>

void SetAuswahlBmp(ToolState &t, const QImage &img1Bmp)
{
    const TRect &r = t.BereichRect;
    // Always a copy of its own: sharing the picture's pixels (with the clipboard, say) would
    // make the next pointer step copy the whole picture before it draws.
    if (!AuswahlbereichAktiv(r))
        t.AuswahlBmp = img1Bmp.copy();
    else
        t.AuswahlBmp = img1Bmp.copy(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

QString FormatEndung(int format)
{
    return format == FormatJpg ? QStringLiteral(".jpg") : QStringLiteral(".png");
}

QString Zeitstempel(const QDateTime &zeit)
{
    const QDate d = zeit.date();
    const QTime z = zeit.time();
    return QString::asprintf("%04d%02d%02d-%02d%02d%02d", d.year(), d.month(), d.day(), z.hour(), z.minute(),
                             z.second());
}

QString AutoDateiname(const QString &ordner, const QDateTime &zeit, int nr, int format)
{
    const QString trenner = ordner.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/");
    return ordner + trenner + Zeitstempel(zeit) + QString::asprintf("-%03d", nr) + FormatEndung(format);
}

Ablage ScreenshotAblegen(ToolState &t, const QImage &img1Bmp, bool nurAuswahl, int format,
                         const QDateTime &jetzt)
{
    if (nurAuswahl)
        SetAuswahlBmp(t, img1Bmp);
    else
        t.AuswahlBmp = img1Bmp;

    Ablage a;
    const QString ordner = ScreenshotOrdner();
    if (!OrdnerBereit(ordner)) {
        a.Ok = false;
        a.Fehler = ScreenshotVerzeichnisFehlerText(ordner);
        return a;
    }

    return AutoDateiSchreiben(t.AuswahlBmp, ordner, Cfg.ScreenshotNr, format, jetzt);
}

Ablage AutoDateiSchreiben(const QImage &bild, const QString &ordner, std::int32_t &nr, int format,
                          const QDateTime &jetzt)
{
    Ablage a;
    const QDateTime zeit = jetzt.isValid() ? jetzt : QDateTime::currentDateTime();
    const std::int32_t vorher = nr;
    // Local time repeats when the clocks go back, so a name can already be taken; an earlier
    // file is never replaced.
    do {
        ++nr;
        a.Datei = AutoDateiname(ordner, zeit, nr, format);
    } while (QFileInfo::exists(a.Datei));

    const Ergebnis e = BildSpeichern(bild, a.Datei);
    if (!e.Ok) {
        nr = vorher; // the next file gets the same number
        a.Ok = false;
        a.Fehler = e.Fehler;
    }
    return a;
}
