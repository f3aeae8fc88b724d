#!/bin/bash
# Runs a command inside a private headless GNOME Shell session (Wayland, 1280x720, with
# XWayland and the desktop portal with its GNOME back end).
#
#   gnomerun.sh COMMAND [ARG…]
#
# As root (the shell refuses root, so the session runs as the unprivileged user
# skizzomat-test) in private mount and network namespaces: a private /tmp, a private
# /run/dbus with an empty system bus of its own (the shell dies without one), and a tmpfs over
# /run/systemd, so that the shell takes its stand-in login manager. The command finds the
# session in its environment (WAYLAND_DISPLAY, DISPLAY, XAUTHORITY, DBUS_SESSION_BUS_ADDRESS);
# its HOME and XDG folders are fresh and private. The exit status is the command's, or 77
# (skipped) when a program of the session is missing or namespaces cannot be made, or 75 when
# the session did not come up twice. The
# command's output comes when the session has ended: nothing started in the session holds the
# caller's output open, so a service that outlives its session cannot keep a test runner
# waiting for its end.
set -u
self=$(readlink -f "${BASH_SOURCE[0]}")
user=skizzomat-test

case "${GNOMERUN_STAGE:-}" in
"")
    needed=(gnome-shell Xwayland gnome-screenshot dbus-run-session dbus-daemon xdotool xwininfo xdpyinfo
        gdbus unshare runuser /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-gnome)
    for p in "${needed[@]}"; do
        if ! command -v "$p" >/dev/null 2>&1; then
            echo "gnomerun.sh: SKIP: $p is missing (packages gnome-shell xdg-desktop-portal-gnome" \
                "gnome-screenshot xwayland x11-utils xdotool util-linux dbus-daemon)" >&2
            exit 77
        fi
    done
    if [ $# -eq 0 ]; then
        echo "usage: gnomerun.sh COMMAND [ARG…]" >&2
        exit 2
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "gnomerun.sh: SKIP: the session needs root for its namespaces" >&2
        exit 77
    fi
    if ! id -u "$user" >/dev/null 2>&1; then
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user" || exit 1
    fi
    # A session that does not come up (the shell, XWayland or the portal not there in time;
    # seen rarely on a busy machine, its logs telling no cause) is started once more, while the
    # test runner's time limit (240 s) leaves room for it. The command has not run then.
    versuch=1
    while :; do
        frist=$((${GNOMERUN_FRIST:-200} - SECONDS))
        # Not below /tmp: the session gets a /tmp of its own.
        tmp=$(mktemp -d /var/tmp/gnomerun.XXXXXX) || exit 1
        chmod 0755 "$tmp"
        mkdir -m 1777 "$tmp/tmp"
        mkdir -m 0700 "$tmp/s"
        chown "$user:" "$tmp/s"
        if ! unshare --mount --net --propagation private true 2>/dev/null; then
            rm -rf "$tmp"
            echo "gnomerun.sh: SKIP: no private namespaces here" >&2
            exit 77
        fi
        # Everything the session starts lives in the namespaces' process group and goes with it.
        # (In a process namespace of its own XWayland at times did not answer at all.)
        setsid env GNOMERUN_STAGE=ns GNOMERUN_TMP="$tmp" unshare --mount --net --propagation private \
            bash "$self" "$@" <&0 >"$tmp/ns.log" 2>&1 &
        group=$!
        trap 'kill -TERM -- "-$group" 2>/dev/null' INT TERM HUP
        # Ended by us before a test runner's time limit (240 s) ends us, so that its output and
        # the session's logs are still shown. The watch's sleep ends with it and holds none of
        # our output open.
        (
            sleep "$frist" &
            trap 'kill $!; exit' TERM
            wait $!
            echo "gnomerun.sh: the session did not end within $frist s" >>"$tmp/ns.log"
            kill -TERM -- "-$group"
        ) </dev/null >/dev/null 2>&1 &
        waechter=$!
        wait "$group"
        rc=$?
        kill "$waechter" 2>/dev/null
        kill -TERM -- "-$group" 2>/dev/null
        for ((i = 0; i < 100; i++)); do
            kill -0 -- "-$group" 2>/dev/null || break
            sleep 0.05
        done
        kill -KILL -- "-$group" 2>/dev/null
        cat "$tmp/s/aus" 2>/dev/null
        [ "$rc" -eq 0 ] || [ "$rc" -eq 77 ] || tail -n 40 "$tmp/ns.log" "$tmp"/s/*.log >&2 2>/dev/null
        rm -rf "$tmp"
        if [ "$rc" -eq 75 ] && [ "$versuch" -eq 1 ] && [ "$SECONDS" -lt 100 ]; then
            echo "gnomerun.sh: the session did not come up; once more" >&2
            versuch=2
            continue
        fi
        exit "$rc"
    done
    ;;
ns)
    tmp=$GNOMERUN_TMP
    # A checkout or build below /tmp stays where it is in the session's own /tmp.
    for p in "$self" "$(readlink -f "$1")"; do
        case $p in
        /tmp/?*)
            oben=${p#/tmp/}
            oben=${oben%%/*}
            mkdir -p "$tmp/tmp/$oben" && mount --bind "/tmp/$oben" "$tmp/tmp/$oben" || exit 1
            ;;
        esac
    done
    mount --rbind "$tmp/tmp" /tmp || exit 1
    command -v ip >/dev/null && ip link set lo up
    [ -d /run/systemd ] && mount -t tmpfs tmpfs /run/systemd
    mkdir -p /run/dbus && mount -t tmpfs -o mode=0755,uid="$(id -u "$user")" tmpfs /run/dbus || exit 1
    cat >"$tmp/sysbus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=/run/dbus/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/><allow own="*"/><allow send_destination="*"/><allow receive_sender="*"/>
  </policy>
</busconfig>
CONF
    runuser -u "$user" -- dbus-daemon --config-file="$tmp/sysbus.conf" --nofork --nopidfile \
        >"$tmp/s/sysbus.log" 2>&1 &
    for ((i = 0; i < 100; i++)); do [ -S /run/dbus/system_bus_socket ] && break; sleep 0.05; done
    mkdir -m 1777 -p /tmp/.X11-unix
    exec runuser -u "$user" -- env -i PATH="$PATH" LANG=C.UTF-8 GNOMERUN_STAGE=session GNOMERUN_TMP="$tmp" \
        dbus-run-session -- bash "$self" "$@" 2>"$tmp/s/bus.log"
    ;;
session) ;;
*) exit 2 ;;
esac

tmp=$GNOMERUN_TMP/s
mkdir -m 0700 -p "$tmp/home" "$tmp/config" "$tmp/data" "$tmp/cache" "$tmp/runtime"
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data XDG_CACHE_HOME=$tmp/cache
export XDG_RUNTIME_DIR=$tmp/runtime XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_DESKTOP=gnome
export TMPDIR=$tmp

pids=()
cleanup() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
}
trap cleanup EXIT
# Tries the command until it succeeds or SECONDS have passed; each check below has a time
# limit of its own, so that one that blocks (a socket taken but never served) cannot hold the
# session for good.
poll() {
    local ende=$((SECONDS + $1))
    shift
    while ((SECONDS < ende)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    return 1
}
owned() { dbus-send --session --print-reply --reply-timeout=2000 --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$1" | grep -q true; }

# Services the bus starts (dconf, the permission store) must see the same folders as we do.
timeout 30 dbus-update-activation-environment HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME \
    XDG_RUNTIME_DIR XDG_SESSION_TYPE XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP || exit 1
gnome-shell --headless --wayland --wayland-display wayland-gnomerun --virtual-monitor 1280x720 \
    >"$tmp/shell.log" 2>&1 &
pids+=($!)
poll 60 test -S "$XDG_RUNTIME_DIR/wayland-gnomerun" || { echo "gnomerun.sh: the shell did not start" >&2; exit 75; }
export WAYLAND_DISPLAY=wayland-gnomerun
# The shell starts XWayland itself and names its display and X authority.
poll 30 grep -q 'Using public X11 display' "$tmp/shell.log" || { echo "gnomerun.sh: no XWayland" >&2; exit 75; }
DISPLAY=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$tmp/shell.log" | head -n 1)
export DISPLAY
# The X authority file may come a little after the display's name.
xAntwortet() {
    XAUTHORITY=$(compgen -G "$XDG_RUNTIME_DIR/.mutter-Xwaylandauth.*" | head -n 1)
    export XAUTHORITY
    [ -n "$XAUTHORITY" ] && timeout 5 xdpyinfo
}
poll 30 xAntwortet || { echo "gnomerun.sh: XWayland does not answer" >&2; exit 75; }
timeout 30 dbus-update-activation-environment WAYLAND_DISPLAY DISPLAY XAUTHORITY || exit 1
/usr/libexec/xdg-desktop-portal-gnome >"$tmp/xdpgnome.log" 2>&1 &
pids+=($!)
poll 30 owned org.freedesktop.impl.portal.desktop.gnome || { echo "gnomerun.sh: no GNOME portal" >&2; exit 75; }
/usr/libexec/xdg-desktop-portal -r >"$tmp/xdp.log" 2>&1 &
pids+=($!)
poll 30 owned org.freedesktop.portal.Desktop || { echo "gnomerun.sh: no desktop portal" >&2; exit 75; }

"$@" <&0 >"$tmp/aus" 2>&1 &
cmd=$!
pids+=($cmd)
wait "$cmd"
rc=$?
unset 'pids[${#pids[@]}-1]'
exit "$rc"
