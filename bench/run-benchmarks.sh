#!/usr/bin/env bash
# Measures the engine's save pass in memory, a whole `korvane -f` conversion against a plain
# buffered copy of the same file, and the conversion's peak memory; prints a table. Inputs of
# other shapes: bench/run-input-benchmarks.sh.
# Usage: bench/run-benchmarks.sh [RUNS]   (RUNS timed runs of each command, default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
build=build/release

cmake --preset release >/dev/null
cmake --build --preset release --target korvane korvane_examples engine_benchmark >/dev/null

# On the build's disk, not in a memory file system, so both commands really write a file.
work=$(mktemp -d "$PWD/$build/bench-work.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$build/korvane_examples" --benchmark "$work/big.mid" 32
size=$(stat -c %s "$work/big.mid")

echo "Engine benchmark (one core, memory to memory)..." >&2
"$build/engine_benchmark" --benchmark_filter='AllAdjustments/' --benchmark_min_time=2 \
    --benchmark_format=json >"$work/engine.json"
read -r engine_mbs < <(python3 - "$work/engine.json" <<'PY'
import json, sys
run = json.load(open(sys.argv[1]))["benchmarks"][0]
print(f'{run["bytes_per_second"] / 1e6:.0f}')
PY
)

# A run without a display converts headless, as a batch job does.
convert() { env -u DISPLAY -u WAYLAND_DISPLAY "$build/korvane" -f "$work/big.mid"; }
seconds() { # prints the wall time of a command in seconds
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f\n", (b - a) / 1e9 }'
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "Timing $runs runs of each, side by side..." >&2
: >"$work/dd.times"
: >"$work/ddsync.times"
: >"$work/korvane.times"
for ((i = 0; i < runs; i++)); do
    seconds dd if="$work/big.mid" of="$work/copy.mid" bs=1M status=none >>"$work/dd.times"
    seconds dd if="$work/big.mid" of="$work/copy.mid" bs=1M conv=fsync status=none >>"$work/ddsync.times"
    seconds convert >>"$work/korvane.times"
done
[ -s "$work/bigKRV.mid" ] || { echo "korvane -f wrote no bigKRV.mid" >&2; exit 1; }
dd_s=$(median <"$work/dd.times")
ddsync_s=$(median <"$work/ddsync.times")
korvane_s=$(median <"$work/korvane.times")

rss_kb=$( { env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/time -v "$build/korvane" -f "$work/big.mid" >/dev/null; } 2>&1 |
    awk -F': ' '/Maximum resident set size/ { print $2 }')

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
printf '\n| Measure | Value | Goal |\n|---|---|---|\n'
printf '| Engine save pass, D=700 V=400 speed 150 %% repair on | %s MB/s | >= 500 MB/s |\n' "$engine_mbs"
printf '| `korvane -f big.mid` (%s MB, median of %s) | %s s | |\n' "$((size / 1000000))" "$runs" "$korvane_s"
printf '| `dd bs=1M` copy (median of %s) | %s s | |\n' "$runs" "$dd_s"
printf '| Ratio korvane / dd | %s x | <= 5 x, aim 3 x |\n' "$(ratio "$korvane_s" "$dd_s")"
printf '| `dd bs=1M conv=fsync` (korvane syncs before its rename) | %s s | |\n' "$ddsync_s"
printf '| Ratio korvane / dd with fsync | %s x | |\n' "$(ratio "$korvane_s" "$ddsync_s")"
printf '| Peak RSS of the conversion | %s MB | < 64 MB, whatever the size of the file |\n' \
    "$((rss_kb / 1024))"
