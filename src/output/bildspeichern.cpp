#include "output/bildspeichern.h"

#include "output/bildcodecs.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>

namespace {

// Without a QGuiApplication (command-line use, tests) there is no pointer to change.
class Wartezeiger
{
public:
    Wartezeiger() : m_aktiv(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
    {
        if (m_aktiv)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~Wartezeiger()
    {
        if (m_aktiv)
            QGuiApplication::restoreOverrideCursor();
    }
    Wartezeiger(const Wartezeiger &) = delete;
    Wartezeiger &operator=(const Wartezeiger &) = delete;

private:
    bool m_aktiv;
};

// Deflate level of saved PNG files: the program writes its pictures at level 5.
constexpr int DateiPngLevel = 5;

bool kodieren(const QImage &bild, Bildformat format, QIODevice &ziel)
{
    switch (format) {
    case Bildformat::Png:
        return schreibePng(bild, ziel, DateiPngLevel);
    case Bildformat::Jpeg:
        return schreibeJpeg(bild, ziel, 99);
    case Bildformat::Bmp:
        break;
    }
    return schreibeBmp(bild, ziel);
}

} // namespace

QString Dateiendung(const QString &pfad)
{
    const QString name = pfad.mid(pfad.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype punkt = name.lastIndexOf(QLatin1Char('.'));
    return punkt < 0 ? QString() : name.mid(punkt).toLower();
}

Bildformat FormatNachEndung(const QString &pfad)
{
    const QString endung = Dateiendung(pfad);
    if (endung == QLatin1String(".png"))
        return Bildformat::Png;
    if (endung == QLatin1String(".jpg"))
        return Bildformat::Jpeg;
    return Bildformat::Bmp;
}

QString DateiFehlerText(const QString &pfad)
{
    return QStringLiteral("Datei konnte nicht erstellt werden:") + Zeilenumbruch + pfad;
}

Ergebnis BildSpeichern(const QImage &bild, const QString &pfad)
{
    Wartezeiger zeiger;
    QSaveFile datei(pfad);
    // What is still in the write buffer reaches the disk only now; commit() would not tell
    // when the disk refuses it.
    if (!datei.open(QIODevice::WriteOnly) || !kodieren(bild, FormatNachEndung(pfad), datei) ||
        !datei.flush()) {
        datei.cancelWriting();
        return Ergebnis::fehler(DateiFehlerText(pfad));
    }
    if (!datei.commit())
        return Ergebnis::fehler(DateiFehlerText(pfad));
    return {};
}

Ergebnis SpeichernUnterPruefen(const QString &pfad)
{
    const QString endung = Dateiendung(pfad);
    if (endung == QLatin1String(".bmp") || endung == QLatin1String(".png") || endung == QLatin1String(".jpg"))
        return {};
    return Ergebnis::fehler(
        QStringLiteral("Speichern fehlgeschlagen wegen ungültiger Dateinamenserweiterung."));
}
