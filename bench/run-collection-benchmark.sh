#!/usr/bin/env bash
# Converts a generated collection (20,000 files in 100 folders) with two jobs and copies the same
# tree with cp -r and sync, side by side; prints files per second, the ratio, the run's peak
# memory, and single-file runs of korvane against a BEFORE build given for comparison.
# Usage: bench/run-collection-benchmark.sh [RUNS] [BEFORE_KORVANE]   (RUNS defaults to 5)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
before=${2:-}
build=build/release
files=20000

cmake --preset release >/dev/null
cmake --build --preset release --target korvane collection_tree >/dev/null

# On the build's disk, not in a memory file system, so both commands really write files.
work=$(mktemp -d "$PWD/$build/collection-work.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$build/collection_tree" "$work/src" "$files" 100 >&2
korvane=$(realpath "$build/korvane")

seconds() { # prints the wall time of a command in seconds
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f\n", (b - a) / 1e9 }'
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
range() { sort -n | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%s-%s", lo, hi }'; }
copy() { cp -r "$work/src" "$work/copy" && sync; }
convert() {
    env -u DISPLAY -u WAYLAND_DISPLAY "$korvane" --jobs=2 --output-dir="$work/out" --speed=150 \
        --dynamic-range=700 --fix-stuck-notes --quiet "$work/src"
}
# Each run starts from a synced disk with no earlier output.
fresh() { rm -rf "$work/copy" "$work/out"; sync; }

echo "Timing $runs runs of each, side by side..." >&2
: >"$work/copy.times"
: >"$work/korvane.times"
for ((i = 0; i < runs; i++)); do
    fresh
    seconds copy >>"$work/copy.times"
    fresh
    seconds convert >>"$work/korvane.times"
done
count=$(find "$work/out" -name '*KRV.mid' | wc -l)
[ "$count" -eq "$files" ] || { echo "korvane wrote $count outputs, not $files" >&2; exit 1; }
copy_s=$(median <"$work/copy.times")
korvane_s=$(median <"$work/korvane.times")

fresh
rss_kb=$( { /usr/bin/time -v env -u DISPLAY -u WAYLAND_DISPLAY "$korvane" --jobs=2 \
    --output-dir="$work/out" --speed=150 --dynamic-range=700 --fix-stuck-notes --quiet \
    "$work/src" >/dev/null; } 2>&1 | awk -F': ' '/Maximum resident set size/ { print $2 }')
bound_kb=$(( 64 * 1024 + files * 200 / 1024 ))

# One median-sized file, converted alone many times: the collection machinery must not slow it.
one="$work/src/set0/song0.mid"
single() { # KORVANE ARGS...: median of 41 runs, in milliseconds
    local program=$1
    shift
    for ((i = 0; i < 41; i++)); do
        seconds env -u DISPLAY -u WAYLAND_DISPLAY "$program" "$@"
    done | median | awk '{ printf "%.2f", $1 * 1000 }'
}

rate() { awk -v n="$files" -v s="$1" 'BEGIN { printf "%.0f", n / s }'; }
printf '\n| Measure | Value | Goal |\n|---|---|---|\n'
printf '| `cp -r` and `sync` of %s files (%s MB, median of %s; range %s s) | %s s, %s files/s | |\n' \
    "$files" "$(du -sm "$work/src" | cut -f1)" "$runs" "$(range <"$work/copy.times")" "$copy_s" "$(rate "$copy_s")"
printf '| `korvane --jobs=2 --output-dir` (median of %s; range %s s) | %s s, %s files/s | |\n' \
    "$runs" "$(range <"$work/korvane.times")" "$korvane_s" "$(rate "$korvane_s")"
printf '| Ratio korvane / copy | %s x | <= 2 x, never over 3 x |\n' \
    "$(awk -v a="$korvane_s" -v b="$copy_s" 'BEGIN { printf "%.2f", a / b }')"
printf '| Peak RSS of the run | %s MB | <= %s MB |\n' "$((rss_kb / 1024))" "$((bound_kb / 1024))"
for program in ${before:+"$before"} "$korvane"; do
    label=$([ "$program" = "$korvane" ] && echo "this build" || echo "before")
    printf '| `korvane -f` one %s-byte file, %s (median of 41) | %s ms | |\n' \
        "$(stat -c %s "$one")" "$label" "$(single "$program" -f "$one")"
    printf '| `korvane --speed=150` the same file, %s (median of 41) | %s ms | |\n' \
        "$label" "$(single "$program" --speed=150 "$one")"
done
