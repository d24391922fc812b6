#!/usr/bin/env bash
# Interrupts saves of a 64 MB file at random moments and counts the files each signal leaves
# in the output's folder besides the earlier output, with the unnamed temporary and with the
# named one that stands in where a file system refuses unnamed files.
# Usage: bench/interrupted-saves.sh [KILLS] [KORVANE]   (KILLS per signal and kind, default 100)
set -euo pipefail
cd "$(dirname "$0")/.."
kills=${1:-100}
build=build/ci
korvane=${2:-$build/korvane}
if [ $# -lt 2 ]; then
    cmake --build "$build" --target korvane korvane_examples >/dev/null
fi

work=$(mktemp -d "$PWD/$build/interrupt-work.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$build/korvane_examples" --benchmark "$work/big.mid" 64
mkdir "$work/out"

# A shell may start background commands with SIGINT ignored; the saves get every signal's
# default action back, as from a terminal.
convert() {
    exec env --default-signal=INT,TERM,HUP -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$work" \
        "$korvane" --speed=150 --output="$work/out/bigKRV.mid" "$work/big.mid"
}
start=$(date +%s%N)
(convert)
span_us=$((($(date +%s%N) - start) / 1000))
echo "one save takes $((span_us / 1000)) ms; each is interrupted at a random moment within it"

for kind in unnamed named; do
    for signal in INT TERM HUP KILL; do
        rm -f "$work"/out/.korvane-*
        signalled=0
        for ((i = 0; i < kills; i++)); do
            if [ "$kind" = named ]; then
                (KORVANE_TEST_NAMED_TEMPORARY=1 convert) 2>/dev/null &
            else
                (convert) 2>/dev/null &
            fi
            child=$!
            sleep "$(awk -v us=$((RANDOM * 32768 + RANDOM)) -v span="$span_us" \
                'BEGIN { printf "%.6f", (us % span) / 1e6 }')"
            kill -s "$signal" "$child" 2>/dev/null || true
            if ! wait "$child" 2>/dev/null; then signalled=$((signalled + 1)); fi
        done
        left=$(find "$work/out" -mindepth 1 ! -name bigKRV.mid | wc -l)
        echo "$kind SIG$signal: $left files left after $kills saves ($signalled ended by the signal)"
    done
done
