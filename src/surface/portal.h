// Screenshots through the desktop portal, the way a Wayland session lets a program see the
// screen.
#pragma once

#include "surface/capture.h"

// Asks the desktop portal for a picture of the whole desktop without asking the user, and
// waits for it with the event loop running, at most `wartezeitMs`. The file the portal wrote
// is read and deleted. On failure the picture is null and `fehler` names the reason.
Bildaufnahme portalBildschirmfoto(int wartezeitMs = 30000);
