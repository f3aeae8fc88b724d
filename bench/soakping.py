#!/usr/bin/python3
"""Asks an X11 window's client for an answer (_NET_WM_PING) and waits for it.

    soakping.py WINDOW_ID TIMEOUT_SECONDS

Exit status 0 when the client answered in time, 1 when it did not, 2 on a usage or X error.
The client answers from its event loop, so an answer means the loop is turning.
"""
import signal
import sys
import time

from Xlib import X, display, error
from Xlib.protocol import event


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    wid = int(sys.argv[1], 0)
    frist = float(sys.argv[2])
    d = display.Display()
    root = d.screen().root
    # The client sends its answer to the root window with StructureNotify|SubstructureRedirect
    # (Qt's xcb plugin; other toolkits use SubstructureNotify): listen for both notify kinds.
    # Only the window manager can hold the redirect, so it must not be asked for here.
    root.change_attributes(event_mask=X.StructureNotifyMask | X.SubstructureNotifyMask)
    protokolle = d.intern_atom("WM_PROTOCOLS")
    ping = d.intern_atom("_NET_WM_PING")
    marke = int(time.monotonic() * 1000) & 0x7FFFFFFF
    try:
        fenster = d.create_resource_object("window", wid)
        frage = event.ClientMessage(window=fenster, client_type=protokolle,
                                    data=(32, [ping, marke, wid, 0, 0]))
        fenster.send_event(frage, event_mask=0)
        d.flush()
    except error.XError:
        return 2
    # A blocking wait for the answer, ended by an alarm.
    signal.signal(signal.SIGALRM, lambda *_: sys.exit(1))
    signal.setitimer(signal.ITIMER_REAL, frist)
    while True:
        e = d.next_event()
        if e.type == X.ClientMessage and e.client_type == protokolle:
            werte = e.data[1]
            # data32 values come back unsigned; the mark is below 2^31, so they compare as sent.
            if e.data[0] == 32 and werte[0] == ping and werte[1] == marke:
                return 0

if __name__ == "__main__":
    sys.exit(main())
