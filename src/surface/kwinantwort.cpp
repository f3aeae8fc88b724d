#include "surface/kwinantwort.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <poll.h>
#include <unistd.h>

namespace {

// Whether every pixel of a 32-bit picture with alpha is opaque.
bool deckend(const QImage &bild)
{
    for (int y = 0; y < bild.height(); ++y) {
        const auto *p = reinterpret_cast<const QRgb *>(bild.constScanLine(y));
        quint32 alle = 0xFF000000u;
        for (int x = 0; x < bild.width(); ++x)
            alle &= p[x];
        if ((alle & 0xFF000000u) != 0xFF000000u)
            return false;
    }
    return true;
}

} // namespace

QImage kwinBild(const QVariantMap &werte, QByteArray daten, QString *fehler)
{
    const auto fehlt = [fehler](const QString &grund) {
        *fehler = grund;
        return QImage();
    };
    if (werte.value(QStringLiteral("type")).toString() != QLatin1String("raw"))
        return fehlt(QStringLiteral("KWin liefert das Bild in einer unbekannten Form (\"%1\").")
                         .arg(werte.value(QStringLiteral("type")).toString()));
    bool ok[4] = {};
    const uint formatNummer = werte.value(QStringLiteral("format")).toUInt(&ok[0]);
    const qint64 breite = werte.value(QStringLiteral("width")).toLongLong(&ok[1]);
    const qint64 hoehe = werte.value(QStringLiteral("height")).toLongLong(&ok[2]);
    const qint64 zeile = werte.value(QStringLiteral("stride")).toLongLong(&ok[3]);
    const auto format = QImage::Format(formatNummer);
    // Formats whose pixels take whole bytes; fewer bits need a colour table KWin does not send.
    const bool bekannt = ok[0] && formatNummer < QImage::NImageFormats && format != QImage::Format_Invalid &&
                         format != QImage::Format_Mono && format != QImage::Format_MonoLSB &&
                         format != QImage::Format_Indexed8;
    if (!bekannt)
        return fehlt(QStringLiteral("KWin liefert das Bild in einem unbekannten Pixelformat (%1).")
                         .arg(werte.value(QStringLiteral("format")).toString()));
    const qint64 bytesJePixel = QImage::toPixelFormat(format).bitsPerPixel() / 8;
    // 32767 is the largest X screen; larger numbers can only be a broken answer.
    constexpr qint64 Groesste = 32767;
    if (!ok[1] || !ok[2] || !ok[3] || breite <= 0 || hoehe <= 0 || breite > Groesste || hoehe > Groesste ||
        zeile < breite * bytesJePixel)
        return fehlt(QStringLiteral("KWin nennt für das Bild unmögliche Maße (%1 × %2, Zeile %3 Bytes).")
                         .arg(breite)
                         .arg(hoehe)
                         .arg(zeile));
    if (qint64(daten.size()) < zeile * (hoehe - 1) + breite * bytesJePixel)
        return fehlt(QStringLiteral("Von KWin kam nur ein Teil des Bildes an (%1 von %2 Bytes).")
                         .arg(daten.size())
                         .arg(zeile * hoehe));
    // Every line whole, also the last one's padding: a copy of the picture reads that far.
    if (daten.size() < zeile * hoehe)
        daten.resize(qsizetype(zeile * hoehe), '\0');
    // KWin's premultiplied ARGB32 of an opaque screen has the bits of RGB32 already: the
    // picture keeps the pipe's buffer and is only renamed, where a conversion would copy and
    // un-premultiply 8 MB at 1080p. Lines must start on whole pixels to be taken over.
    auto *halter = new QByteArray(std::move(daten));
    QImage bild(
        reinterpret_cast<uchar *>(halter->data()), int(breite), int(hoehe), qsizetype(zeile), format,
        [](void *p) { delete static_cast<QByteArray *>(p); }, halter);
    const bool premultipliziert =
        format == QImage::Format_ARGB32_Premultiplied || format == QImage::Format_ARGB32;
    if (zeile % 4 == 0 && premultipliziert && deckend(bild)) {
        bild.reinterpretAsFormat(QImage::Format_RGB32);
        return bild;
    }
    if (zeile % 4 != 0 || format != QImage::Format_RGB32)
        bild = bild.convertToFormat(QImage::Format_RGB32);
    // Our pictures keep the padding byte at 0xFF; RGB32 from elsewhere need not.
    for (int y = 0; y < bild.height(); ++y) {
        auto *p = reinterpret_cast<QRgb *>(bild.scanLine(y));
        for (int x = 0; x < bild.width(); ++x)
            p[x] |= 0xFF000000u;
    }
    return bild;
}

QByteArray pipeLesen(int fd, std::chrono::milliseconds frist, qsizetype hoechstens, bool *vollstaendig,
                     QByteArray puffer)
{
    using Uhr = std::chrono::steady_clock;
    const Uhr::time_point ende = Uhr::now() + frist;
    QByteArray daten = std::move(puffer);
    daten.truncate(0); // keeps its memory
    daten.reserve(hoechstens);
    char rest[65536];
    *vollstaendig = false;
    for (;;) {
        const auto bleibt = std::chrono::duration_cast<std::chrono::milliseconds>(ende - Uhr::now());
        if (bleibt.count() <= 0)
            return daten;
        pollfd p{fd, POLLIN, 0};
        const int bereit = poll(&p, 1, int(bleibt.count()));
        if (bereit < 0 && errno == EINTR)
            continue;
        if (bereit <= 0)
            return daten;
        // Straight into the picture's buffer while it has room; what a writer sends beyond
        // that is read and dropped, so that it is not left blocked on a full pipe.
        const qsizetype frei = hoechstens - daten.size();
        const qsizetype alt = daten.size();
        if (frei > 0)
            daten.resize(alt + frei);
        const ssize_t n = frei > 0 ? read(fd, daten.data() + alt, size_t(frei)) : read(fd, rest, sizeof rest);
        if (frei > 0)
            daten.resize(alt + std::max<ssize_t>(n, 0));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return daten;
        if (n == 0) {
            *vollstaendig = true;
            return daten;
        }
    }
}

KwinFolge kwinFolge(const QString &fehlername)
{
    if (fehlername == QLatin1String("org.kde.KWin.ScreenShot2.Error.InvalidScreen"))
        return KwinFolge::Arbeitsflaeche;
    // No KWin, a KWin without this interface, or one whose permission our desktop entry
    // does not give: asking again before the program is started anew changes nothing.
    static const QLatin1String dauerhaft[] = {
        QLatin1String("org.kde.KWin.ScreenShot2.Error.NoAuthorized"),
        QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown"),
        QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"),
        QLatin1String("org.freedesktop.DBus.Error.UnknownObject"),
        QLatin1String("org.freedesktop.DBus.Error.UnknownInterface"),
        QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"),
        QLatin1String("org.freedesktop.DBus.Error.AccessDenied"),
    };
    for (const QLatin1String &name : dauerhaft)
        if (fehlername == name)
            return KwinFolge::PortalAbJetzt;
    return KwinFolge::Portal;
}

QString kwinSkalierungsHinweis(QSize bild, QSize monitor)
{
    if (bild.isEmpty() || monitor.isEmpty() || bild.width() <= monitor.width())
        return {};
    const int prozent = int(std::lround(100.0 * bild.width() / monitor.width()));
    return QStringLiteral(
               "KDE vergrößert die Fenster von Skizzomat auf diesem Bildschirm (Skalierung %1 %), deshalb "
               "zeigt das eingefrorene Bild nicht jeden Bildpunkt des Bildschirms einzeln: feine Linien und "
               "kleine Schrift werden unscharf.\n\n"
               "Abhilfe: In den Systemeinstellungen unter „Anzeige-Einrichtung“ bei „Herkömmliche "
               "Anwendungen "
               "(X11):“ die Einstellung „Skalierung selbst durchführen“ wählen und Skizzomat neu starten. "
               "Dann zeigt das Bild den Bildschirm Punkt für Punkt.")
        .arg(prozent);
}
