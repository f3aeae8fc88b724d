#!/usr/bin/env bash
# Soak run: drives the real program on a private X server under openbox with random real input
# for a given time, and fails on a crash, a hang, an unexpected message box or a growing RSS.
#
#   bench/soak.sh [-b BUILD_DIR] [-s SEED] [-f hang|crash|box] SECONDS
#
# Every tool, colour and thickness, strokes and shapes (some with Shift), text, stamps, undo,
# clear, the mouse wheel, the magnifier, the zoom view, sheets, the selection area by drag and
# by dialog, screenshots into the screenshot folder (PNG and JPEG), the clipboard, printing to
# a private CUPS queue, Start and Fertig. A deterministic tour of all of them comes first, then
# random steps for SECONDS; the tour and the first fifth of the random steps (at least 30 s)
# are the warm-up.
#   hang   no answer to a _NET_WM_PING for 10 s after an input
#   crash  the process is gone
#   box    a window of the program that no step opened (a message box, titled like the program
#          or "Fehler", "Warnung", "Informationen", "Bestätigen")
#   RSS    sampled every 10 s for the curve, and after each Fertig once the clipboard has gone to
#          another program: the program then holds its resting pictures only, whatever it did
#          before, and no such resting sample after the warm-up may exceed the warm-up's
#          highest by more than 5 % (how much a busy moment holds depends on the pictures in
#          use, sheets kept for undo and the clipboard, and differs by whole frames)
# -f makes the program hang (SIGSTOP), crash (SIGKILL) or show an error box (the screenshot
# folder replaced by a file before a screenshot) halfway through, to show that the run catches
# it. Needs Xvfb, openbox, xdotool, python3-xlib, xdpyinfo, ImageMagick's import, and
# cups, cups-client, cups-filters for the print queue. Not part of the test suite.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"

if [ "${1:-}" != --innen ]; then
    build="$root/build"
    seed=$RANDOM
    fehler=
    while getopts "b:s:f:" o; do
        case $o in
        b) build=$OPTARG ;;
        s) seed=$OPTARG ;;
        f) fehler=$OPTARG ;;
        *) exit 2 ;;
        esac
    done
    shift $((OPTIND - 1))
    dauer=${1:?usage: soak.sh [-b BUILD_DIR] [-s SEED] [-f hang|crash|box] SECONDS}
    case $fehler in '' | hang | crash | box) ;; *) echo "soak: -f takes hang, crash or box" >&2; exit 2 ;; esac
    build="$(cd "$build" && pwd)"
    exec bash "$root/tests/x11/xrun.sh" --openbox -- bash "$root/tests/output/cupsrun.sh" -- \
        bash "$0" --innen "$build" "$seed" "$dauer" "$fehler"
fi

build=$2 seed=$3 dauer=$4 fehler=$5
drucke=0
RANDOM=$seed
ordner="$HOME/soak"
mkdir -p "$ordner/shots"
mkdir -p "$XDG_CONFIG_HOME/Quenderwerk"
# Screenshots into our folder; Start freezes at once.
printf '[General]\nScreenshotDir=%s\nAutoOpen=true\n' "$ordner/shots" >"$XDG_CONFIG_HOME/Quenderwerk/Skizzomat.conf"

"$build/skizzomat" >"$ordner/program.log" 2>&1 &
pid=$!
ende_aufraeumen() {
    kill -CONT "$pid" 2>/dev/null
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
}
trap ende_aufraeumen EXIT

echo "soak: seed $seed, $dauer s, display $DISPLAY, program pid $pid, files in $ordner"

fehlschlag() {
    echo "soak: FAILED after $(($(date +%s) - anfang)) s: $*"
    import -window root "$ordner/fehler.png" 2>/dev/null && echo "soak: screen in $ordner/fehler.png"
    kurve
    cp -r "$ordner" "/tmp/soak-$seed" 2>/dev/null && echo "soak: kept in /tmp/soak-$seed"
    exit 1
}

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null; }
# The RSS's parts in MB: anonymous, file, shared memory.
teile() {
    awk '/^Rss(Anon|File|Shmem):/ { printf "%s%d", (n++ ? "/" : ""), $2 / 1024 }' "/proc/$pid/status" 2>/dev/null
}

# The program's visible windows, "id name" a line.
fenster() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
        printf '%s %s\n' "$w" "$(xdotool getwindowname "$w" 2>/dev/null)"
    done
}

# A window that answers pings: the tool window is always mapped.
werkzeugfenster() {
    fenster | awk '$2 == "Skizzomat" { print $1; exit }'
}

lebt() { kill -0 "$pid" 2>/dev/null && ! grep -q '^State:.*Z' "/proc/$pid/status" 2>/dev/null; }

# After every input: the program is there, answers within 10 s, and shows no window that the
# step did not open ($1: the window names the step may leave open, as a regular expression).
pruefen() {
    local erlaubt="${1:-^$}" w liste
    lebt || fehlschlag "crash: the program is gone (after: $schritt)"
    liste=$(fenster)
    w=$(awk '$2 == "Skizzomat" { print $1; exit }' <<<"$liste")
    [ -n "$w" ] || { sleep 1; liste=$(fenster); w=$(awk '$2 == "Skizzomat" { print $1; exit }' <<<"$liste"); }
    lebt || fehlschlag "crash: the program is gone (after: $schritt)"
    [ -n "$w" ] || fehlschlag "the tool window is not shown (after: $schritt)"
    local antwort=0
    "$here/soakping.py" "$w" 10 || antwort=$?
    [ "$antwort" != 2 ] || fehlschlag "the ping helper failed (python3-xlib missing?)"
    [ "$antwort" = 0 ] || fehlschlag "hang: no answer for 10 s (after: $schritt)"
    local zahl fremd
    liste=$(fenster)
    zahl=$(awk '$2 == "Skizzomat"' <<<"$liste" | wc -l)
    fremd=$(awk '{ $1 = ""; sub(/^ /, ""); print }' <<<"$liste" |
        grep -Ev "^(Skizzomat|Information)\$" | grep -Ev "$erlaubt")
    [ "$zahl" -le 2 ] || fehlschlag "a message box titled Skizzomat (after: $schritt)"
    [ -z "$fremd" ] || fehlschlag "an unexpected window: $fremd (after: $schritt)"
    # Every step with the RSS after it, for the files kept on a failure.
    echo "$(($(date +%s) - anfang)) $(($(rss_kb) / 1024)) $(teile) $schritt" >>"$ordner/schritte.log"
    probe
}

# At rest, after Fertig: the clipboard goes to another program, which frees the program's copy,
# and the RSS is taken. The warm-up's highest resting sample, and every later one against it.
ruhe=()
warm_max=0
ruhe_pruefen() {
    eingefroren && return 0
    printf 'soak' | xclip -selection clipboard 2>/dev/null
    sleep 0.5
    local mb jetzt
    mb=$(($(rss_kb) / 1024))
    jetzt=$(date +%s)
    ruhe+=("$((jetzt - anfang)) $mb")
    if [ "$jetzt" -lt "${aufwaermen:-9999999999}" ]; then
        [ "$mb" -gt "$warm_max" ] && warm_max=$mb
        return 0
    fi
    [ $((mb * 100)) -le $((warm_max * 105)) ] ||
        fehlschlag "RSS at rest grew to $mb MB, more than 5 % above the warm-up's $warm_max MB"
}

# RSS every 10 s, in MB.
proben=()
probe() {
    local jetzt
    jetzt=$(date +%s)
    [ "$jetzt" -ge "$naechste_probe" ] || return 0
    naechste_probe=$((jetzt + 10))
    local kb
    kb=$(rss_kb)
    [ -n "$kb" ] || return 0
    proben+=("$((jetzt - anfang)) $((kb / 1024))")
}

kurve() {
    echo "soak: RSS curve (s MB), every 10 s:"
    printf '  %s\n' "${proben[@]}"
    echo "soak: RSS at rest after Fertig (s MB):"
    printf '  %s\n' "${ruhe[@]}"
}

x() { xdotool "$@" 2>/dev/null; }
zufall() { echo $((RANDOM % $1)); }
W=$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1] }')
H=$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[2] }')
punkt() { echo "$((40 + RANDOM % (W - 400))) $((60 + RANDOM % (H - 120)))"; }

# Whether a visible window of the program has the name $1.
fenster_da() {
    fenster | awk -v n="$1" '{ $1 = ""; sub(/^ /, "") } $0 == n { f = 1 } END { exit !f }'
}
# Waits until a visible window of the program has the name $1, for up to 10 s.
warte_fenster() {
    local i
    for ((i = 0; i < 100; i++)); do
        fenster_da "$1" && return 0
        sleep 0.1
    done
    fehlschlag "hang: the window \"$1\" did not open (after: $schritt)"
}
warte_weg() {
    local i
    for ((i = 0; i < 100; i++)); do
        fenster_da "$1" || return 0
        sleep 0.1
    done
    fehlschlag "hang: the window \"$1\" did not close (after: $schritt)"
}

eingefroren() { [ "$(fenster | awk '$2 == "Skizzomat"' | wc -l)" -ge 2 ]; }

einfrieren() {
    eingefroren && return 0
    schritt="Start (F9)"
    x key F9
    local i
    for ((i = 0; i < 100; i++)); do
        eingefroren && return 0
        sleep 0.1
    done
    fehlschlag "hang: Start did not show the surface"
}

# --- The steps ------------------------------------------------------------------------------

werkzeuge=(alt+s alt+g alt+l alt+p alt+r shift+alt+r alt+e shift+alt+e alt+d alt+t alt+h alt+k alt+b)
farben=(alt+1 alt+2 alt+3 alt+4 shift+alt+1 shift+alt+2 shift+alt+3 shift+alt+4 shift+alt+5 shift+alt+6)
dicken=(ctrl+1 ctrl+2 ctrl+3 ctrl+4)

s_werkzeug() { schritt="tool $1"; x key "$1"; }
s_farbe() { schritt="colour $1"; x key "$1"; }
s_dicke() { schritt="thickness $1"; x key "$1"; }

s_strich() {
    local p shift=""
    p=($(punkt))
    [ "$(zufall 4)" = 0 ] && shift=1
    schritt="stroke${shift:+ with Shift} from ${p[*]}"
    x mousemove "${p[0]}" "${p[1]}"
    [ -n "$shift" ] && x keydown shift
    x mousedown 1
    local i n=$((2 + RANDOM % 8))
    for ((i = 0; i < n; i++)); do
        p=($(punkt))
        x mousemove "${p[0]}" "${p[1]}"
    done
    x mouseup 1
    [ -n "$shift" ] && x keyup shift
}

s_text() {
    local p
    p=($(punkt))
    schritt="text at ${p[*]}"
    x key alt+t
    x mousemove "${p[0]}" "${p[1]}" click 1
    LC_ALL=C.UTF-8 xdotool type --delay 5 "Prüfung $RANDOM" 2>/dev/null
    x key Return
}

s_stempel() {
    local p
    p=($(punkt))
    schritt="stamp at ${p[*]}"
    x key "$([ "$(zufall 2)" = 0 ] && echo alt+h || echo alt+k)"
    x mousemove "${p[0]}" "${p[1]}" click 1
}

s_undo() { schritt="undo"; x key ctrl+BackSpace; }
s_loeschen() { schritt="clear"; x key ctrl+Delete; }

s_rad() {
    local p i n=$((1 + RANDOM % 5)) b
    p=($(punkt))
    b=$([ "$(zufall 3)" = 0 ] && echo 5 || echo 4)
    schritt="wheel $b ×$n at ${p[*]}"
    x mousemove "${p[0]}" "${p[1]}"
    for ((i = 0; i < n; i++)); do x click "$b"; done
}

s_zoom() {
    local p q
    p=($(punkt))
    q=($(punkt))
    schritt="zoom view and pan"
    x mousemove "${p[0]}" "${p[1]}" key ctrl+z
    x mousedown 1 mousemove "${q[0]}" "${q[1]}" mouseup 1
    x key ctrl+slash
}

s_lupe() {
    local p
    schritt="magnifier"
    x key alt+u
    for _ in 1 2 3; do
        p=($(punkt))
        x mousemove "${p[0]}" "${p[1]}"
    done
    x click 1
}

# $1: the entry of the sheet menu, 1 to 5 a sheet, 6 the captured screen; random without.
s_blatt() {
    local n=${1:-$((1 + RANDOM % 6))}
    schritt="sheet $n"
    x key ctrl+n
    sleep 0.3
    local i
    for ((i = 0; i < n; i++)); do x key Down; done
    x key Return
}

s_bereich() {
    local p q
    p=($(punkt))
    q=($(punkt))
    schritt="area by drag"
    x key alt+b mousemove "${p[0]}" "${p[1]}" mousedown 1 mousemove "${q[0]}" "${q[1]}" mouseup 1
}

s_auswahldialog() {
    schritt="area by dialog"
    x key F2
    warte_fenster Auswahlbereich
    x key "$([ "$(zufall 3)" = 0 ] && echo Escape || echo Return)"
    warte_weg Auswahlbereich
}

s_speichern() {
    local k
    k=$([ "$(zufall 2)" = 0 ] && echo p || echo j)
    schritt="screenshot into the folder ($k)"
    x key ctrl+s
    sleep 0.3
    x key "$k"
}

s_zwischenablage() { schritt="clipboard"; x key ctrl+c; }

s_drucken() {
    schritt="print"
    x key ctrl+p
    warte_fenster "Bildschirminhalt drucken"
    x key Return
    warte_weg "Bildschirminhalt drucken"
    drucke=$((drucke + 1))
}

s_startfertig() {
    schritt="Fertig and Start"
    x key F9
    sleep 0.5
    ruhe_pruefen
    einfrieren
}

schritte=(s_strich s_strich s_strich s_strich s_werkzeug s_farbe s_dicke s_text s_stempel s_undo s_loeschen
    s_rad s_zoom s_lupe s_blatt s_bereich s_auswahldialog s_speichern s_zwischenablage s_drucken s_startfertig)

zufallsschritt() {
    local f=${schritte[$((RANDOM % ${#schritte[@]}))]}
    case $f in
    s_werkzeug) s_werkzeug "${werkzeuge[$((RANDOM % ${#werkzeuge[@]}))]}" ;;
    s_farbe) s_farbe "${farben[$((RANDOM % ${#farben[@]}))]}" ;;
    s_dicke) s_dicke "${dicken[$((RANDOM % ${#dicken[@]}))]}" ;;
    *) $f ;;
    esac
}

# --- The run --------------------------------------------------------------------------------

anfang=$(date +%s)
naechste_probe=$anfang
schritt="program start"
for ((i = 0; i < 200; i++)); do
    [ -n "$(werkzeugfenster)" ] && break
    lebt || fehlschlag "crash at start-up"
    sleep 0.1
done
# AutoOpen freezes on its own once the tool window is active: a key pressed meanwhile would
# release the picture again.
for ((i = 0; i < 100; i++)); do
    eingefroren && break
    sleep 0.1
done
einfrieren
pruefen

# The tour: every step once, with every tool, colour and thickness.
for w in "${werkzeuge[@]}"; do
    s_werkzeug "$w"; pruefen
    s_strich; pruefen
done
for f in "${farben[@]}"; do s_farbe "$f"; pruefen; s_strich; pruefen; done
for d in "${dicken[@]}"; do s_dicke "$d"; pruefen; s_strich; pruefen; done
for f in s_text s_stempel s_undo s_loeschen s_rad s_zoom s_lupe s_blatt s_strich s_bereich s_auswahldialog \
    s_speichern s_zwischenablage s_drucken s_startfertig s_blatt s_strich s_undo; do
    $f; pruefen
done
# The most the program holds at once: a sheet on a sheet (both kept for undo, and the captured
# screen), a drawing on it and its undo copy, the clipboard's copy, the zoom view, a print.
for f in "s_blatt 1" s_strich "s_blatt 3" s_strich s_zwischenablage s_zoom s_lupe s_drucken s_strich; do
    $f; pruefen
done
tour=$(($(date +%s) - anfang))
echo "soak: tour done after $tour s, RSS $(($(rss_kb) / 1024)) MB"
# The warm-up lasts the tour and a fifth of the random steps, at least 30 s of them.
zufall_anfang=$(date +%s)
aufwaermen=$((zufall_anfang + (dauer / 5 > 30 ? dauer / 5 : 30)))
schritte_gesamt=0
fehler_zeit=$((zufall_anfang + dauer / 2))
while [ "$(date +%s)" -lt $((zufall_anfang + dauer)) ]; do
    einfrieren
    zufallsschritt
    schritte_gesamt=$((schritte_gesamt + 1))
    if [ -n "$fehler" ] && [ "$(date +%s)" -ge "$fehler_zeit" ]; then
        case $fehler in
        hang) echo "soak: stopping the program (SIGSTOP)"; kill -STOP "$pid" ;;
        crash) echo "soak: killing the program (SIGKILL)"; kill -KILL "$pid" ;;
        box)
            # The folder cannot be created any more: the screenshot reports an error.
            echo "soak: replacing the screenshot folder by a file, then a screenshot"
            rm -rf "$ordner/shots" && : >"$ordner/shots"
            pruefen
            s_speichern
            sleep 1
            ;;
        esac
        fehler=
    fi
    pruefen
done
# The last samples, after the last step and at rest.
naechste_probe=0
probe
x key F9
sleep 0.5
ruhe_pruefen
kurve
mb_ende=${ruhe[-1]#* }
shots=$(find "$ordner/shots" -type f | wc -l)
# Every print must have gone through the queue's filters: a job they refuse stays "stopped"
# and never counts as completed.
for _ in $(seq 60); do
    [ -z "$(lpstat -o 2>/dev/null)" ] && break
    sleep 1
done
auftraege=$(lpstat -W completed -o 2>/dev/null | wc -l)
[ "$auftraege" -ge "$drucke" ] || fehlschlag "$drucke prints, but only $auftraege print jobs completed"
echo "soak: passed: tour $tour s, then $schritte_gesamt random steps in $dauer s; $shots screenshots," \
    "$auftraege print jobs done; at rest $warm_max MB at most in the warm-up, $mb_ende MB at the end"
