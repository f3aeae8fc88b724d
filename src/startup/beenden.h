// The end of the session and stop signals.
#pragma once

class TToolForm;

// SIGTERM (the service manager, a logout), SIGHUP (the terminal gone) and SIGINT (Ctrl+C)
// end the program as a close of the tool window does, without its questions; the session
// manager's request to save (X11 session management, before a logout) stores the settings.
void BeendenEinrichten(TToolForm &werkzeug);
