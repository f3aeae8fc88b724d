#!/usr/bin/env bash
# The global shortcut through the desktop portal on a headless KWin (Wayland) session: starts the
# program in the session, watches the portal's answers on the session bus, and when the shortcut
# "einfrieren" was bound, has KWin's shortcut daemon fire it and waits for the picture window.
#
#   bench/kurzbefehlportal.sh RIG_DIR [BINARY]
#
# RIG_DIR is a copy of the headless desktop rig (rig.sh, ns.sh, session.sh, sk.sh with its own
# tmp/ folder), run as root; BINARY (default build/skizzomat) is copied to
# /home/skzdesk/bin/skizzomat-portaltest for it. Prints what the portal answered to
# CreateSession and BindShortcuts and whether the shortcut froze the screen; exit status 0 only
# then. Too heavy for the test suite: it runs a compositor, pipewire and the portals.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
rig=${1:?RIG_DIR}
binary=${2:-$here/../build/skizzomat}
export RIG_DIR=$rig
ziel=/home/skzdesk/bin/skizzomat-portaltest
install -m 755 "$binary" "$ziel" || exit 1
sed "s|/home/skzdesk/bin/skizzomat[-a-z]* |$ziel |" "$rig/sk.sh" >"$rig/sk-portaltest.sh"

bash "$rig/rig.sh" start kde >/dev/null || exit 1
trap 'bash "$rig/rig.sh" stop kde' EXIT
in_rig() { timeout 60 bash "$rig/rig.sh" in kde "$@"; }
mon=$rig/kde/portal-monitor.log
in_rig bash -c "exec dbus-monitor --session \"type='signal',interface='org.freedesktop.portal.Request'\" \
    \"type='signal',interface='org.freedesktop.portal.GlobalShortcuts'\" >$mon 2>&1" &
sleep 1
timeout 120 bash "$rig/rig.sh" in kde bash "$rig/sk-portaltest.sh" &
# Two answers: the session, then the binding.
for ((i = 0; i < 200; i++)); do
    [ "$(grep -c 'member=Response' "$mon" 2>/dev/null)" -ge 2 ] && break
    sleep 0.1
done
echo "== portal answers"
grep -A14 'member=Response' "$mon"
gebunden=$(awk '/member=Response/ {n++} n == 2' "$mon" | grep -c '"einfrieren"')
echo "== the shortcut daemon's components"
in_rig gdbus call --session --dest org.kde.kglobalaccel --object-path /kglobalaccel \
    --method org.kde.KGlobalAccel.allMainComponents
echo "== the program's standard error"
cat "$rig/kde/sk/out.log"
if [ "$gebunden" = 0 ]; then
    echo "RESULT: BindShortcuts bound nothing (the portal's answer lists no shortcut)"
    exit 1
fi
komponente=$(in_rig gdbus call --session --dest org.kde.kglobalaccel --object-path /kglobalaccel \
    --method org.kde.KGlobalAccel.allComponents | grep -o "/component/[A-Za-z0-9_]*" | grep -i skizzomat | head -1)
in_rig gdbus call --session --dest org.kde.kglobalaccel --object-path "$komponente" \
    --method org.kde.kglobalaccel.Component.invokeShortcut einfrieren
for ((i = 0; i < 100; i++)); do
    grep -q 'member=Activated' "$mon" && in_rig xwininfo -root -tree | grep -q '1920x1080+0+0' && {
        echo "RESULT: Activated came and the screen froze"
        exit 0
    }
    sleep 0.1
done
echo "RESULT: no freeze after invoking the shortcut"
exit 1
