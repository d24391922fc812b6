#!/usr/bin/env bash
# Figures of runs as the field makes them, for this build and a BEFORE build side by side:
#  - a folder of FILES files converted, against cp -r && sync of the same tree, alternating;
#  - how long a run takes to stop on SIGINT while dd writes 1 GB to the same disk;
#  - ROUNDS runs over files named one by one stopped by SIGINT, SIGTERM or SIGHUP at a random
#    moment: outputs on disk without their report line, and hidden temporaries left.
# Usage: bench/field-runs.sh BEFORE_KORVANE [FILES] [ROUNDS]   (FILES 20000, ROUNDS 30)
set -euo pipefail
cd "$(dirname "$0")/.."
before=$(realpath "$1")
files=${2:-20000}
rounds=${3:-30}
build=build/ci
cmake --build "$build" --target korvane collection_tree >/dev/null
after=$(realpath "$build/korvane")

work=$(mktemp -d "$PWD/$build/field-work.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$build/collection_tree" "$work/src" "$files" 100 >/dev/null
export -n DISPLAY WAYLAND_DISPLAY

seconds() {
    local start
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    awk -v a="$start" -v b="$(date +%s%N)" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'
}
fresh() { rm -rf "$work/copy" "$work/out"; sync; }
copy() { cp -r "$work/src" "$work/copy" && sync; }
convert() { "$1" --jobs=2 --quiet --output-dir="$work/out" "$work/src"; }

echo "== $files files: seconds (cp -r && sync, before, after), alternating"
for ((i = 0; i < 3; i++)); do
    fresh
    c=$(seconds copy)
    fresh
    b=$(seconds convert "$before")
    fresh
    a=$(seconds convert "$after")
    awk -v c="$c" -v b="$b" -v a="$a" 'BEGIN { printf "copy %s  before %s (%.2f x copy)  after %s (%.2f x copy)  after/before %.2f\n", c, b, b / c, a, a / c, a / b }'
done

echo "== stop latency on SIGINT while dd writes 1 GB to the same disk"
stop_latency() { # prints the seconds from SIGINT to the run's end
    fresh
    # A script starts background commands with SIGINT ignored; the run gets it back, as from a
    # terminal.
    env --default-signal=INT "$1" --jobs=2 --quiet --output-dir="$work/out" "$work/src" \
        2>/dev/null &
    local run=$!
    dd if=/dev/zero of="$work/dd.bin" bs=1M count=1024 status=none &
    local writer=$!
    sleep 0.5
    local start
    start=$(date +%s%N)
    kill -INT "$run"
    wait "$run" || true
    awk -v a="$start" -v b="$(date +%s%N)" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'
    wait "$writer"
    rm -f "$work/dd.bin"
}
for ((i = 0; i < 3; i++)); do
    echo "before $(stop_latency "$before") s  after $(stop_latency "$after") s"
done

echo "== $rounds runs over files named one by one, stopped by a signal"
mapfile -t named < <(find "$work/src" -name '*.mid' | sort | head -n 3000)
lost=0
left=0
for ((i = 0; i < rounds; i++)); do
    fresh
    signal=$(shuf -n 1 -e INT TERM HUP)
    env --default-signal=INT,TERM,HUP "$after" --jobs=2 --quiet --output-dir="$work/out" \
        --report="$work/report.jsonl" "${named[@]}" 2>/dev/null &
    run=$!
    sleep "0.$((RANDOM % 9 + 1))"
    kill -"$signal" "$run" 2>/dev/null || true
    wait "$run" || true
    mkdir -p "$work/out"
    saved=$(find "$work/out" -name '*KRV.mid' | wc -l)
    reported=$(grep -c '"status":"converted"\|"status":"repaired"' "$work/report.jsonl" || true)
    lost=$((lost + saved - reported))
    left=$((left + $(find "$work/out" -name '.korvane-*' | wc -l)))
done
echo "$rounds runs: $lost outputs without a report line, $left temporaries left"
