// What KWin's screenshot interface answers, read without a window or a bus: its pixels, its
// errors, and the scaling its picture reveals.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QVariantMap>

#include <chrono>

// KWin's answer to a capture names the pixels it writes through the pipe: "type" "raw",
// "format" (a QImage format number), "width", "height" and "stride". The picture in RGB32,
// opaque, or a null image with the reason in `fehler`. An opaque picture in KWin's own format
// keeps `daten`'s buffer.
QImage kwinBild(const QVariantMap &werte, QByteArray daten, QString *fehler);

// Everything that comes through `fd` until the writer closes its end; `vollstaendig` is false
// when the time ran out first or reading failed. At most `hoechstens` bytes are kept (a
// desktop picture, whatever the writer sends). The bytes go into `puffer`'s memory where it
// has room for them: memory made ready while KWin was still being asked.
QByteArray pipeLesen(int fd, std::chrono::milliseconds frist, qsizetype hoechstens, bool *vollstaendig,
                     QByteArray puffer = {});

// What to do after KWin answered a capture with the D-Bus error `fehlername`.
enum class KwinFolge {
    Arbeitsflaeche, // the output's name is unknown to KWin: the whole workspace, cut out
    Portal,         // a failure of this capture: the portal this time
    PortalAbJetzt,  // KWin offers the interface not, or not to us: the portal for this run
};
KwinFolge kwinFolge(const QString &fehlername);

// The note given once when KWin enlarges XWayland's pixels: `bild` is the monitor's picture in
// the output's pixels, `monitor` its size as XWayland sees it. Empty where the picture shows
// every pixel 1:1.
QString kwinSkalierungsHinweis(QSize bild, QSize monitor);
