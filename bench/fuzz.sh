#!/usr/bin/env bash
# Fuzzes the readers of outside data: bench/fuzz.sh TARGET|all SECONDS
# Builds the fuzz targets with clang if needed (in build-fuzz, or $SKIZZOMAT_FUZZ_BUILD), then runs
# each target for SECONDS with a work corpus outside the repository ($SKIZZOMAT_FUZZ_WORK, default
# /tmp/skizzomat-fuzz/TARGET), seeded from tests/fuzz/TARGET. "all" runs the targets side by side,
# niced. Prints the executions and the findings (crashes, timeouts, leaks) of each; a finding is
# kept in the work folder's funde/ and should go into tests/fuzz/TARGET with its fix.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${SKIZZOMAT_FUZZ_BUILD:-$here/build-fuzz}"
work="${SKIZZOMAT_FUZZ_WORK:-/tmp/skizzomat-fuzz}"
alle=(uebersetzung einstellungen zahlen ordner bildkodierer pngleser)

if [ $# -ne 2 ] || ! [[ "$2" =~ ^[0-9]+$ ]]; then
    echo "usage: $0 ${alle[*]// /|}|all SECONDS" >&2
    exit 2
fi
if [ "$1" = all ]; then
    ziele=("${alle[@]}")
else
    [ -d "$here/tests/fuzz/$1" ] || { echo "no fuzz target '$1' (${alle[*]})" >&2; exit 2; }
    ziele=("$1")
fi
sekunden="$2"

if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DSKIZZOMAT_FUZZ=ON >/dev/null
fi
nice cmake --build "$build" --target "${ziele[@]/#/fuzz_}"

lauf() {
    local ziel="$1" ordner="$work/$1"
    mkdir -p "$ordner/corpus" "$ordner/funde"
    local extra=()
    [ -f "$here/tests/fuzz/$ziel.dict" ] && extra+=("-dict=$here/tests/fuzz/$ziel.dict")
    # A finding does not end the run: the fuzzer carries on and collects them all.
    nice "$build/tests/fuzz/fuzz_$ziel" -max_total_time="$sekunden" -print_final_stats=1 \
        -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 -timeout=120 -rss_limit_mb=4096 \
        -artifact_prefix="$ordner/funde/" "${extra[@]}" "$ordner/corpus" "$here/tests/fuzz/$ziel" \
        >"$ordner/log" 2>&1 || true
}

for ziel in "${ziele[@]}"; do
    lauf "$ziel" &
done
wait

printf '%-14s %12s %8s %s\n' target executions findings work
for ziel in "${ziele[@]}"; do
    ordner="$work/$ziel"
    # A forking run counts in its progress lines ("#N: cov: …"), a plain one in its final stats.
    ausfuehrungen=$(awk '/stat::number_of_executed_units/ {s += $2}
        /^#[0-9]+/ {n = substr($1, 2); sub(":", "", n)}
        END {print (s > n ? s : n) + 0}' "$ordner/log")
    funde=$(find "$ordner/funde" -type f | wc -l)
    printf '%-14s %12s %8s %s\n' "$ziel" "$ausfuehrungen" "$funde" "$ordner"
done
