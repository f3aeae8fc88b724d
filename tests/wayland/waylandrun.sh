#!/bin/bash
# Runs a command inside a private Wayland session: a headless sway (1280x720, software
# rendering) with XWayland, its own D-Bus session bus, pipewire and the desktop portal with
# its wlroots back end.
#
#   waylandrun.sh COMMAND [ARG…]
#
# sway refuses to run as root, so as root the session runs as the unprivileged user
# skizzomat-test, created on first use. The command finds in its environment
# WAYLAND_DISPLAY, SWAYSOCK and DBUS_SESSION_BUS_ADDRESS of the session, and in
# SKIZZOMAT_NO_PORTAL_BUS the address of a second session bus on which no portal can ever
# start. Its HOME and XDG folders are fresh and private. Everything started here is stopped
# on exit; the exit status is the command's, or 77 (skipped) when a program of the session
# is missing.
set -u

needed=(sway Xwayland swaymsg grim dbus-run-session dbus-daemon pipewire xdotool xwininfo
    /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-wlr /usr/libexec/xdg-desktop-portal-gtk)
for p in "${needed[@]}"; do
    if ! command -v "$p" >/dev/null 2>&1; then
        echo "waylandrun.sh: SKIP: $p is missing (packages sway xwayland grim dbus-daemon pipewire" \
            "xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk xdotool x11-utils)" >&2
        exit 77
    fi
done
if [ $# -eq 0 ]; then
    echo "usage: waylandrun.sh COMMAND [ARG…]" >&2
    exit 2
fi

user=skizzomat-test
if [ "$(id -u)" -eq 0 ]; then
    if ! id -u "$user" >/dev/null 2>&1; then
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user" || exit 1
    fi
    tmp=$(mktemp -d "${TMPDIR:-/tmp}/waylandrun.XXXXXX") || exit 1
    chown "$user:" "$tmp"
    chmod 0700 "$tmp"
    # The session itself runs as the user; its folder goes when it is over.
    runuser -u "$user" -- env -i PATH="$PATH" LANG=C.UTF-8 WAYLANDRUN_TMP="$tmp" \
        bash "$(readlink -f "${BASH_SOURCE[0]}")" "$@"
    rc=$?
    rm -rf "$tmp"
    exit "$rc"
fi

if [ -z "${WAYLANDRUN_TMP:-}" ]; then
    tmp=$(mktemp -d "${TMPDIR:-/tmp}/waylandrun.XXXXXX") || exit 1
    trap 'rm -rf "$tmp"' EXIT
    WAYLANDRUN_TMP=$tmp
fi
tmp=$WAYLANDRUN_TMP
mkdir -m 0700 -p "$tmp/home" "$tmp/config" "$tmp/data" "$tmp/cache" "$tmp/runtime" "$tmp/empty" || exit 1
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" XDG_CACHE_HOME="$tmp/cache"
export XDG_RUNTIME_DIR="$tmp/runtime" TMPDIR="$tmp"

# Inside the bus session: the compositor, then the services, then the command.
if [ -z "${WAYLANDRUN_INNER:-}" ]; then
    unset DISPLAY WAYLAND_DISPLAY SWAYSOCK DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM
    # The services' chatter goes to a log; the command keeps our error output as fd 3. The
    # session runs in a process group of its own: what the bus or the compositor started and
    # left behind is stopped with it.
    exec 3>&2
    setsid env WAYLANDRUN_INNER=1 WAYLANDRUN_TMP="$tmp" dbus-run-session -- \
        bash "$(readlink -f "${BASH_SOURCE[0]}")" "$@" 2>"$tmp/bus.log" &
    group=$!
    trap 'kill -TERM -- "-$group" 2>/dev/null' INT TERM HUP
    wait "$group"
    rc=$?
    kill -TERM -- "-$group" 2>/dev/null
    for ((i = 0; i < 100; i++)); do
        kill -0 -- "-$group" 2>/dev/null || break
        sleep 0.05
    done
    kill -KILL -- "-$group" 2>/dev/null
    exit "$rc"
fi

pids=()
cleanup() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null
    done
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

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

cat >"$tmp/sway.conf" <<CONF
output HEADLESS-1 resolution 1280x720 position 0 0 bg #203040 solid_color
xwayland enable
CONF
export WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman
# The screenshot front end needs an access back end, which the gtk one gives.
export XDG_CURRENT_DESKTOP=sway:GNOME
sway -c "$tmp/sway.conf" >"$tmp/sway.log" 2>&1 &
pids+=($!)
sway_ready() { kill -0 "${pids[0]}" && compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" && [ -S "$XDG_RUNTIME_DIR/wayland-1" ]; }
if ! poll 200 sway_ready; then
    echo "waylandrun.sh: sway did not start" >&2
    cat "$tmp/sway.log" >&2
    exit 1
fi
export WAYLAND_DISPLAY=wayland-1
SWAYSOCK=$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" | head -n 1)
export SWAYSOCK
poll 200 swaymsg -t get_outputs || { echo "waylandrun.sh: sway does not answer" >&2; exit 1; }

# Services the bus starts on demand (the gtk back end among them) need the session.
dbus-update-activation-environment WAYLAND_DISPLAY SWAYSOCK XDG_CURRENT_DESKTOP XDG_RUNTIME_DIR || exit 1
pipewire >"$tmp/pipewire.log" 2>&1 &
pids+=($!)
# The wlroots back end gives up on its screenshots when pipewire is not there yet.
poll 200 test -S "$XDG_RUNTIME_DIR/pipewire-0" || { echo "waylandrun.sh: pipewire did not start" >&2; exit 1; }
/usr/libexec/xdg-desktop-portal-wlr -r >"$tmp/xdpw.log" 2>&1 &
pids+=($!)
owned() { dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$1" | grep -q true; }
poll 200 owned org.freedesktop.impl.portal.desktop.wlr
/usr/libexec/xdg-desktop-portal -r >"$tmp/xdp.log" 2>&1 &
pids+=($!)
# Asked before it owns its name, the bus would start a second one.
poll 200 owned org.freedesktop.portal.Desktop
portal_ready() { dbus-send --session --print-reply --dest=org.freedesktop.portal.Desktop \
    /org/freedesktop/portal/desktop org.freedesktop.DBus.Properties.Get \
    string:org.freedesktop.portal.Screenshot string:version; }
if ! poll 200 portal_ready; then
    echo "waylandrun.sh: the desktop portal did not start" >&2
    cat "$tmp/xdp.log" "$tmp/xdpw.log" "$tmp/bus.log" >&2
    exit 1
fi

# A bus with nothing to start on it: the session as it is without a portal.
cat >"$tmp/leer.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$tmp/leer.bus</listen>
  <servicedir>$tmp/empty</servicedir>
  <policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy>
</busconfig>
CONF
dbus-daemon --config-file="$tmp/leer.conf" --nofork --nopidfile >"$tmp/leer.log" 2>&1 &
pids+=($!)
poll 100 test -S "$tmp/leer.bus" || { echo "waylandrun.sh: the second bus did not start" >&2; exit 1; }
export SKIZZOMAT_NO_PORTAL_BUS="unix:path=$tmp/leer.bus"

"$@" <&0 2>&3 &
cmd=$!
pids+=($cmd)
wait "$cmd"
rc=$?
unset 'pids[${#pids[@]}-1]'
exit "$rc"
