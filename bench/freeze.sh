#!/usr/bin/env bash
# Runs the start-up, freeze and save benchmark on private X servers, by default at 1920×1080,
# 3840×2160 and 7680×4320.
# Usage: bench/freeze.sh BUILD_DIR [WxH ...]
set -euo pipefail
bin="${1:?build dir}/bench/bench_freeze"
shift
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1920x1080 3840x2160 7680x4320)
for size in "${sizes[@]}"; do
    n=70
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -noreset &>/dev/null &
    xpid=$!
    for _ in $(seq 100); do DISPLAY=":$n" xdpyinfo &>/dev/null && break; sleep 0.05; done
    export DISPLAY=":$n" XDG_RUNTIME_DIR="$(mktemp -d)" XVFB_PID="$xpid"
    # A new Xvfb faults at its first write to each page of its framebuffer; painted once, it is
    # as a server that has run for a while, and the first freeze measured is the program's.
    xsetroot -solid black
    [ "$size" = 1920x1080 ] && "$bin" startup 20
    "$bin" first 5
    "$bin" freeze 20
    "$bin" save 7
    kill "$xpid"
    wait "$xpid" 2>/dev/null || true
done
