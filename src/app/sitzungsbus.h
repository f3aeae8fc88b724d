// The session bus when the session has none.
#pragma once

// Without a session bus, the D-Bus library starts one of its own ("autolaunch") for the first
// connection to it, be it ours or one of Qt's (the accessibility bridge asks the session bus
// for its own bus at start-up, the platform theme and the desktop portal use it too), and that
// bus and its launcher outlive the program. Named in the environment, an address that leads
// nowhere turns autolaunch off for every connection of this process; the programs it starts
// get the environment the user started it with. Must run before the application object exists.
void BusAutostartAbschalten();
