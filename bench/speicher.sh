#!/usr/bin/env bash
# Runs the memory benchmark on private X servers, by default at 3840×2160 and 7680×4320.
# Usage: [REST_MS=ms] bench/speicher.sh BUILD_DIR [WxH ...]   (REST_MS: time at rest after the
# last Fertig, default a minute)
set -euo pipefail
bin="${1:?build dir}/bench/bench_speicher"
shift
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(3840x2160 7680x4320)
for size in "${sizes[@]}"; do
    n=70
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -noreset &>/dev/null &
    xpid=$!
    for _ in $(seq 100); do DISPLAY=":$n" xdpyinfo &>/dev/null && break; sleep 0.05; done
    home="$(mktemp -d)"
    mkdir -m 0700 "$home/run"
    DISPLAY=":$n" HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" "$bin" 2 "${REST_MS:-60000}"
    kill "$xpid"
    wait "$xpid" 2>/dev/null || true
    rm -rf "$home"
done
