#!/usr/bin/env bash
# The freeze's answers on the real desktops, the cases the suite leaves out: GNOME's question
# answered "Allow", "Deny" and not at all, a stored refusal, and KDE without ~/Pictures (its
# portal back end then cannot store the picture). gnome-scale2 (a GNOME session started with
# `rig.sh start gnome 2`, a 3840×2160 output) freezes at scale 2 with XWayland scaled by the
# shell (scale-monitor-framebuffer: the note must come, once) and unscaled (the default: no
# note, the picture equal to the screen outside the tool window and the top bar). Runs on the headless GNOME Shell and KWin
# rigs (their rig.sh, ns.sh, session.sh and rd.py in RIG_DIR, a session started there with
# `rig.sh start gnome|kde`), as root; the program runs in the session as that rig's user.
#
#   bench/desktopfragen.sh RIG_DIR gnome|gnome-scale2|kde PROGRAM
#
# Prints per case what came (the frozen picture and after how long, or the error box and where
# it stands beside the tool window) and keeps a screenshot of the end in RIG_DIR/shots/. Not
# part of the test suite.
set -u
self=$(readlink -f "${BASH_SOURCE[0]}")

if [ "${1:-}" = --innen ]; then
    # Inside the session: one case.
    shift
    fall=$1 programm=$2 ausgabe=$3
    erlaubnis() {
        local p="--session --dest org.freedesktop.impl.portal.PermissionStore"
        p+=" --object-path /org/freedesktop/impl/portal/PermissionStore"
        p+=" --method org.freedesktop.impl.portal.PermissionStore"
        case $1 in
        keine) gdbus call $p.DeletePermission screenshot screenshot "" >/dev/null 2>&1 ;;
        *) gdbus call $p.SetPermission screenshot true screenshot "" "['$1']" >/dev/null ;;
        esac
    }
    fenster() { xwininfo -root -tree 2>/dev/null | grep -E "$1" | head -n 1 | sed 's/^ *//'; }
    # GNOME's output at scale 2, through mutter's display configuration (what its settings do).
    skala() {
        gsettings set org.gnome.mutter experimental-features "$1"
        sleep 1
        python3 - <<'PY'
from gi.repository import Gio, GLib
bus = Gio.bus_get_sync(Gio.BusType.SESSION)
D = 'org.gnome.Mutter.DisplayConfig'
def call(m, args=None, rt=None):
    return bus.call_sync(D, '/org/gnome/Mutter/DisplayConfig', D, m, args, rt and GLib.VariantType(rt),
                         Gio.DBusCallFlags.NONE, 10000, None)
serial, monitors, _, _ = call('GetCurrentState').unpack()
(conn, *_), modes, _ = monitors[0]
mode = [m for m in modes if m[6].get('is-current')][0][0]
call('ApplyMonitorsConfig', GLib.Variant('(uua(iiduba(ssa{sv}))a{sv})',
                                         (serial, 1, [(0, 0, 2.0, 0, True, [(conn, mode, {})])], {})))
PY
        sleep 2
    }
    case $fall in
    scale2-framebuffer) erlaubnis yes; skala "['scale-monitor-framebuffer']" ;;
    scale2-physical) erlaubnis yes; skala "[]" ;;
    allow | deny | none) erlaubnis keine ;;
    stored-no) erlaubnis no ;;
    kde-no-pictures) rm -rf "$HOME/Pictures" ;;
    esac
    mkdir -p "$B_SK/home" "$B_SK/config" "$B_SK/data" "$B_SK/cache"
    HOME=$B_SK/home XDG_CONFIG_HOME=$B_SK/config XDG_DATA_HOME=$B_SK/data XDG_CACHE_HOME=$B_SK/cache \
        setsid "$programm" </dev/null >"$B_SK/out.log" 2>&1 &
    pid=$!
    for ((i = 0; i < 200; i++)); do [ -n "$(fenster '"Skizzomat": \("skizzo')" ] && break; sleep 0.05; done
    sleep 0.5
    w=$(fenster '"Skizzomat": \("skizzo')
    x=$(sed -E 's/.* ([0-9]+)x([0-9]+)[+-][0-9]+[+-][0-9]+ +\+([0-9]+)\+([0-9]+).*/\3 \4 \1 \2/' <<<"$w")
    read -r wx wy ww wh <<<"$x"
    t0=$(date +%s.%N)
    xdotool mousemove $((wx + ww / 2)) $((wy + wh / 2)) click 1
    sleep 2
    case $fall in
    allow) "$RIG/rd.py" key ffe1 move 1081 636 click >/dev/null ;;
    deny) "$RIG/rd.py" key ffe1 move 835 636 click >/dev/null ;;
    esac
    [ "$fall" = none ] && gnome-screenshot -f "$ausgabe-frage.png" 2>/dev/null
    case $fall in scale2-*) gnome-screenshot -f "$ausgabe-vorher.png" 2>/dev/null ;; esac
    ergebnis="nothing within 40 s"
    for ((i = 0; i < 800; i++)); do
        if [ -n "$(fenster '"Informationen"')" ]; then
            ergebnis="note: $(fenster '"Informationen"' | awk '{print $(NF-1)}'); "
            sleep 1
            gnome-screenshot -f "$ausgabe-hinweis.png"
            xdotool key Return
            sleep 1
        fi
        if [ -n "$(fenster '"Skizzomat".*(1920x1080|3840x2160)\+0\+0')" ]; then
            ergebnis=${ergebnis#nothing within 40 s}$(printf 'frozen after %.1f s, surface %s; tool window %s' \
                "$(bc <<<"$(date +%s.%N) - $t0")" "$(fenster '"Skizzomat".*\+0\+0' | awk '{print $(NF-1)}')" \
                "$(fenster '"Skizzomat": \("skizzo' | awk '{print $(NF-1)}')")
            break
        fi
        b=$(fenster '"Fehler"')
        if [ -n "$b" ]; then
            sleep 0.5
            ergebnis=$(printf 'error box after %.1f s at %s, tool window at %s' "$(bc <<<"$(date +%s.%N) - $t0")" \
                "$(fenster '"Fehler"' | awk '{print $(NF-1), $NF}')" "$(fenster '"Skizzomat": \("skizzo' | awk '{print $(NF-1), $NF}')")
            break
        fi
        sleep 0.05
    done
    sleep 1
    if command -v gnome-screenshot >/dev/null && [ "$XDG_CURRENT_DESKTOP" = GNOME ]; then
        gnome-screenshot -f "$ausgabe.png"
    else
        import -window root "$ausgabe.png" 2>/dev/null
    fi
    if [ -e "$ausgabe-vorher.png" ]; then
        # Below the top bar (clock, banners) and left of the tool window the frozen picture is the
        # screen as it was.
        teil="3600x2000+0+100"
        convert "$ausgabe-vorher.png" -crop $teil +repage "$ausgabe-a.png"
        convert "$ausgabe.png" -crop $teil +repage "$ausgabe-b.png"
        ergebnis+="; pixels differing from the screen before: $(compare -metric AE "$ausgabe-a.png" \
            "$ausgabe-b.png" null: 2>&1)"
        rm -f "$ausgabe-a.png" "$ausgabe-b.png"
    fi
    echo "$fall: $ergebnis; stored: $(gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore \
        --object-path /org/freedesktop/impl/portal/PermissionStore \
        --method org.freedesktop.impl.portal.PermissionStore.Lookup screenshot screenshot 2>&1 | tr -d '\n')"
    kill "$pid" 2>/dev/null
    exit 0
fi

if [ $# -ne 3 ]; then
    echo "usage: $0 RIG_DIR gnome|gnome-scale2|kde PROGRAM" >&2
    exit 2
fi
rig=$(readlink -f "$1") desktop=$2 programm=$(readlink -f "$3")
case $desktop in
# Unanswered last: the shell keeps that question on the screen after the portal gave up on it.
gnome) faelle=(stored-no deny allow none) ;;
gnome-scale2) faelle=(scale2-framebuffer scale2-physical) desktop=gnome ;;
kde) faelle=(kde-no-pictures) ;;
*) echo "gnome, gnome-scale2 or kde" >&2; exit 2 ;;
esac
for fall in "${faelle[@]}"; do
    RIG_DIR=$rig "$rig/rig.sh" in "$desktop" env RIG="$rig" bash "$self" --innen "$fall" "$programm" \
        "$rig/shots/$desktop-$fall"
done
