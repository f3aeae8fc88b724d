// The benchmarks' screenshot-like pictures: a 3840×2160 desktop, the same with noise in place of
// its flat backgrounds, and pictures of other sizes made from them.
#pragma once

#include <QImage>
#include <QLinearGradient>
#include <QPainter>

// A desktop: flat window backgrounds and title bars, lines of text, a gradient panel and a
// photograph-like noisy region. The same picture on every run.
inline QImage bildschirm()
{
    QImage bild(3840, 2160, QImage::Format_RGB32);
    bild.fill(QColor(0x2D, 0x5F, 0x8A));
    QPainter p(&bild);
    quint32 s = 4711;
    auto zufall = [&s] { return s = s * 1664525u + 1013904223u; };

    const QRect fenster[] = {{80, 60, 2200, 1500}, {1500, 300, 2200, 1700}, {200, 1200, 1400, 900}};
    for (const QRect &f : fenster) {
        p.fillRect(f, QColor(0xF3, 0xF3, 0xF3));
        p.fillRect(f.left(), f.top(), f.width(), 40, QColor(0xDD, 0xE4, 0xEE));
        p.setPen(QColor(0xA0, 0xA0, 0xA0));
        p.drawRect(f.adjusted(0, 0, -1, -1));
    }
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(16);
    p.setFont(font);
    p.setPen(Qt::black);
    const QString woerter[] = {QStringLiteral("Bildschirm"), QStringLiteral("zeichnen"),
                               QStringLiteral("und"),        QStringLiteral("Auswahl"),
                               QStringLiteral("Datei"),      QStringLiteral("speichern"),
                               QStringLiteral("0123456789"), QStringLiteral("Screenshot-Ordner")};
    for (int y = 120; y < 1500; y += 22) {
        QString zeile;
        while (zeile.size() < 120)
            zeile += woerter[zufall() % 8] + QLatin1Char(' ');
        p.drawText(110, y, zeile);
    }
    QLinearGradient verlauf(1600, 0, 3600, 0);
    verlauf.setColorAt(0, QColor(0x10, 0x40, 0xA0));
    verlauf.setColorAt(1, QColor(0xF0, 0xC0, 0x60));
    p.fillRect(QRect(1600, 380, 2000, 500), verlauf);
    p.end();

    // The photograph: smooth colours with sensor noise.
    for (int y = 950; y < 1900; ++y) {
        auto *z = reinterpret_cast<QRgb *>(bild.scanLine(y));
        for (int x = 1600; x < 3500; ++x) {
            const int n = int(zufall() >> 28) - 8;
            z[x] = qRgb(qBound(0, x / 16 + n, 255), qBound(0, y / 8 - 100 + n, 255),
                        qBound(0, (x + y) / 24 + n, 255));
        }
    }
    return bild;
}

// The desktop with the photograph's noise in place of its flat window and desktop backgrounds.
inline QImage belebterSchirm(const QImage &bild)
{
    QImage busy = bild;
    quint32 s = 815;
    for (int y = 0; y < busy.height(); ++y) {
        auto *z = reinterpret_cast<QRgb *>(busy.scanLine(y));
        for (int x = 0; x < busy.width(); ++x) {
            s = s * 1664525u + 1013904223u;
            if (z[x] == qRgb(0x2D, 0x5F, 0x8A) || z[x] == qRgb(0xF3, 0xF3, 0xF3)) {
                const int n = int(s >> 28) - 8;
                z[x] = qRgb(qBound(0, x / 16 + n, 255), qBound(0, y / 8 + n, 255),
                            qBound(0, (x + y) / 24 + n, 255));
            }
        }
    }
    return busy;
}

// Four mirrored copies of `bild`, twice its width and height.
inline QImage vierfach(const QImage &bild)
{
    QImage acht(bild.width() * 2, bild.height() * 2, QImage::Format_RGB32);
    QPainter p(&acht);
    p.drawImage(0, 0, bild);
    p.drawImage(bild.width(), 0, bild.mirrored(true, false));
    p.drawImage(0, bild.height(), bild.mirrored(false, true));
    p.drawImage(bild.width(), bild.height(), bild.mirrored(true, true));
    p.end();
    return acht;
}
