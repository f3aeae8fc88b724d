#!/bin/bash
# Runs a command on a private X server.
#
#   xrun.sh [--openbox] [--two-monitors] [--] COMMAND [ARG…]
#
# Starts Xvfb (1920x1080, 24 bit) on a free display number, optionally openbox as window
# manager and two monitors side by side (960x1080 each, the first one on the real output),
# gives the command its own HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR and runs
# it with DISPLAY set. Everything it started is stopped on exit; the exit status is the
# command's.
set -u

openbox=0
two_monitors=0
while [ $# -gt 0 ]; do
    case "$1" in
    --openbox) openbox=1 ;;
    --two-monitors) two_monitors=1 ;;
    --) shift; break ;;
    -*) echo "xrun.sh: unknown option $1" >&2; exit 2 ;;
    *) break ;;
    esac
    shift
done
if [ $# -eq 0 ]; then
    echo "usage: xrun.sh [--openbox] [--two-monitors] [--] COMMAND [ARG…]" >&2
    exit 2
fi

xvfb_pid=
wm_pid=
cmd_pid=
tmp=

# Stops what this script started, newest first, by process id.
cleanup() {
    local pid
    for pid in $cmd_pid $wm_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    [ -n "$tmp" ] && rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

tmp=$(mktemp -d "${TMPDIR:-/tmp}/xrun.XXXXXX") || exit 1
mkdir -m 0700 "$tmp/home" "$tmp/config" "$tmp/data" "$tmp/runtime" || exit 1

# Polls COMMAND… every 50 ms for up to $1 tenths of a second.
poll() {
    local tenths=$1
    shift
    local i
    for ((i = 0; i < tenths * 2; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    return 1
}

# Our server answers: the lock file names our Xvfb (a server started at the same moment by
# someone else would answer just as well).
x_answers() {
    local owner
    kill -0 "$xvfb_pid" && read -r owner <"/tmp/.X$display-lock" && [ "$owner" = "$xvfb_pid" ] &&
        xdpyinfo -display ":$display"
}

# Another server (or a parallel run of this script) may take a number between the check and
# the start; then Xvfb ends at once and the next number is tried.
display=
for n in $(seq 20 99); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp -noreset >"$tmp/xvfb.log" 2>&1 &
    xvfb_pid=$!
    display=$n
    started=0
    for ((i = 0; i < 200; i++)); do
        x_answers >/dev/null 2>&1 && started=1 && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    [ "$started" = 1 ] && break
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
    display=
done
if [ -z "$display" ]; then
    echo "xrun.sh: could not start Xvfb" >&2
    cat "$tmp/xvfb.log" >&2 2>/dev/null
    exit 1
fi
export DISPLAY=":$display"

export HOME="$tmp/home"
export XDG_CONFIG_HOME="$tmp/config"
export XDG_DATA_HOME="$tmp/data"
export XDG_RUNTIME_DIR="$tmp/runtime"
export TMPDIR="$tmp"
unset WAYLAND_DISPLAY XDG_SESSION_TYPE SESSION_MANAGER

if [ "$two_monitors" = 1 ]; then
    xrandr --setmonitor A 960/254x1080/286+0+0 screen >/dev/null &&
        xrandr --setmonitor B 960/254x1080/286+960+0 none >/dev/null || {
        echo "xrun.sh: could not set up two monitors" >&2
        exit 1
    }
fi

if [ "$openbox" = 1 ]; then
    # A window manager announces itself with _NET_SUPPORTING_WM_CHECK on the root window.
    openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
    wm_pid=$!
    wm_ready() { kill -0 "$wm_pid" && xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
    if ! poll 100 wm_ready; then
        echo "xrun.sh: openbox did not start" >&2
        cat "$tmp/openbox.log" >&2
        exit 1
    fi
fi

# In the background, so that a signal to this script reaches the trap at once.
"$@" <&0 &
cmd_pid=$!
wait "$cmd_pid"
rc=$?
cmd_pid=
exit "$rc"
