// Start and Fertig from outside the program: `skizzomat --toggle` reaches the running program
// over the session bus; a global key runs the same command (grabbed on X11, bound through the
// desktop portal's global shortcuts in a Wayland session that offers them).
#pragma once

class TToolForm;

// In the running program, once its windows exist: offers the command on the session bus (if
// there is one; none is started for it): the name and the interface de.quenderwerk.Skizzomat,
// the object /de/quenderwerk/Skizzomat, whose method "Umschalten" does what F9 does in the
// tool window and, after the first activation has read the
// settings, binds the global key. `einfrieren`: the program was started by --toggle and
// freezes once it is up. What does not work is said in one line on standard error each; the
// program runs on.
void FernsteuerungEinrichten(TToolForm &form, bool einfrieren);

// For --toggle while another instance holds the single-instance lock: gives it the command,
// waiting a few seconds for its name in case it is just starting. The exit status: 0 when the
// command arrived, else 1 after one line on standard error. Needs a session bus and no
// application object of the program's.
int UmschaltenSenden(int argc, char *argv[]);
