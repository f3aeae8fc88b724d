#!/usr/bin/env bash
# The freeze's answers on the real desktops, the cases the suite leaves out: GNOME's question
# answered "Allow", "Deny" and not at all, a stored refusal, and KDE without ~/Pictures (its
# portal back end then cannot store the picture). Runs on the headless GNOME Shell and KWin
# rigs (their rig.sh, ns.sh, session.sh and rd.py in RIG_DIR, a session started there with
# `rig.sh start gnome|kde`), as root; the program runs in the session as that rig's user.
#
#   bench/desktopfragen.sh RIG_DIR gnome|kde PROGRAM
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
    case $fall in
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
    ergebnis="nothing within 40 s"
    for ((i = 0; i < 800; i++)); do
        if [ -n "$(fenster '"Skizzomat".*1920x1080\+0\+0')" ]; then
            ergebnis=$(printf 'frozen after %.1f s; tool window %s' "$(bc <<<"$(date +%s.%N) - $t0")" \
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
    echo "$fall: $ergebnis; stored: $(gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore \
        --object-path /org/freedesktop/impl/portal/PermissionStore \
        --method org.freedesktop.impl.portal.PermissionStore.Lookup screenshot screenshot 2>&1 | tr -d '\n')"
    kill "$pid" 2>/dev/null
    exit 0
fi

if [ $# -ne 3 ]; then
    echo "usage: $0 RIG_DIR gnome|kde PROGRAM" >&2
    exit 2
fi
rig=$(readlink -f "$1") desktop=$2 programm=$(readlink -f "$3")
case $desktop in
# Unanswered last: the shell keeps that question on the screen after the portal gave up on it.
gnome) faelle=(stored-no deny allow none) ;;
kde) faelle=(kde-no-pictures) ;;
*) echo "gnome or kde" >&2; exit 2 ;;
esac
for fall in "${faelle[@]}"; do
    RIG_DIR=$rig "$rig/rig.sh" in "$desktop" env RIG="$rig" bash "$self" --innen "$fall" "$programm" \
        "$rig/shots/$desktop-$fall"
done
