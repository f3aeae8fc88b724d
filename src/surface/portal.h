// Screenshots through the desktop portal, the way a Wayland session lets a program see the
// screen.
#pragma once

#include "surface/capture.h"

#include <QSize>
#include <QString>

#include <functional>

class QDBusConnection;

// How long the portal waits for the user's answer when it asks whether the program may take
// screenshots: it asks the desktop with D-Bus's default time-out and, when that has passed,
// never answers the request; an answer given later is lost.
inline constexpr int PortalFragefristMs = 25000;

// Asks the desktop portal for a picture of the whole desktop without asking the user, and
// waits for it with the event loop running, at most `wartezeitMs`. The file the portal wrote
// is read and deleted; `desktop`, the size the picture is expected to have, lets its memory be
// made ready meanwhile. On failure the picture is null and `fehler` tells whether the user
// refused, the desktop failed (with its reason where it gives one) or no answer came.
Bildaufnahme portalBildschirmfoto(QSize desktop, int wartezeitMs = PortalFragefristMs + 2000);

// Called with a notice ("|" breaks lines) while the desktop asks the user whether the program
// may take screenshots, and with an empty text once the question is over; it must have hidden
// the notice when it returns, since the picture is taken again then. Set by the window that
// shows the notice.
void portalHinweisSetzen(std::function<void(const QString &)> hinweis);

// A new token for a call to the desktop portal, and the path of the request object on which the
// portal answers a call made with it on `bus` (it follows from our bus name and the token).
QString portalToken();
QString portalAnfragePfad(const QDBusConnection &bus, const QString &token);
