// Reading a monitor's pixels.
#pragma once

#include <QImage>
#include <QString>

class QScreen;

// A monitor's picture, or, when it is null, why it could not be had.
struct Bildaufnahme
{
    Bildaufnahme(QImage b = {}, QString f = {}) : bild(std::move(b)), fehler(std::move(f)) {}
    QImage bild;
    // The picture to draw on where the system allows it: a copy of `bild` that shares its
    // memory until drawn on, page by page. Null otherwise; then `bild` is copied whole at the
    // first stroke.
    QImage zeichnung;
    QString fehler;
    QString hinweis; // for the user, once: the picture is good, but could be better
};

// Gets the memory for the next read of the monitor ready, so that the read itself does not
// wait for it; to be called before the wait that lets other windows repaint.
void bildschirmLesenVorbereiten(QScreen *monitor);

// Lets go of the memory of earlier screen reads that no picture uses any more, but for what
// the next read needs; to be called when a session ends.
void bildschirmSpeicherFreigeben();

// Has the X server prepare the memory for the next read of the monitor in its own time, so
// that the first read after start-up or after a rest is as fast as later ones. Returns at
// once; the memory stays until it is read into or let go of.
void bildschirmLesenVorwaermen(QScreen *monitor);

// Lets go of the memory of every earlier screen read that no picture uses any more: at rest.
void bildschirmSpeicherGanzFreigeben();

// The monitor's picture in RGB32 at its physical size, or a null image when the screen
// cannot be read through X11.
QImage bildschirmLesen(QScreen *monitor);

// The monitor's picture as the session allows: on X11 read from the X server; on a Wayland
// session, where an X11 client sees no other program's pixels, cut out of the desktop
// portal's screenshot.
Bildaufnahme bildschirmAufnehmen(QScreen *monitor);
