#!/usr/bin/env bash
# Peak memory (/usr/bin/time -v) of folder runs at --jobs 1, 2, 64 and 1024, over 3,000 tiny
# files and over 40 files of 20 MB, against the run's budget of 64 MB + 200 bytes per input;
# then files per second at the default --jobs against cp -r && sync of the same tiny tree.
# The 40 large inputs are hard links of one file, so the tree takes 20 MB of disk; each run's
# outputs are removed before the next.
# Usage: bench/run-memory-benchmark.sh [KORVANE]   (default: the release build, built here)
set -euo pipefail
cd "$(dirname "$0")/.."
korvane=${1:-}
if [ -z "$korvane" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target korvane >/dev/null
    korvane=build/release/korvane
fi
korvane=$(realpath "$korvane")

work=$(mktemp -d "$PWD/build/memory-work.XXXXXX")
trap 'rm -rf "$work"' EXIT
python3 - "$work" <<'PY'
import os, struct, sys
work = sys.argv[1]
def song(events):
    track = events + b"\x00\xff\x2f\x00"
    return b"MThd" + struct.pack(">IHHH", 6, 0, 1, 96) + b"MTrk" + struct.pack(">I", len(track)) + track
tiny = song(b"\x00\x90\x3c\x64\x60\x80\x3c\x40\x00\x90\x3e\x64\x60\x80\x3e\x40\x00\x90\x40\x64")
for i in range(3000):
    folder = os.path.join(work, "tiny", str(i % 30))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, f"{i}.mid"), "wb") as f:
        f.write(tiny)
notes = b"\x10\x90\x3c\x64\x10\x80\x3c\x40" * (20_000_000 // 8)
os.makedirs(os.path.join(work, "large"))
first = os.path.join(work, "large", "0.mid")
with open(first, "wb") as f:
    f.write(song(notes))
for i in range(1, 40):
    os.link(first, os.path.join(work, "large", f"{i}.mid"))
PY

peak_kb() { # peak resident memory of a command, in KiB
    env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/time -v "$@" 2>&1 >/dev/null |
        awk -F': ' '/Maximum resident set size/ { print $2 }'
}
echo "tree   files  jobs  peak RSS  budget"
for tree in tiny large; do
    files=$(find "$work/$tree" -name '*.mid' | wc -l)
    budget=$(( (64000000 + 200 * files) / 1000 ))
    for jobs in 1 2 64 1024; do
        rm -rf "$work/out"
        kb=$(peak_kb "$korvane" --jobs=$jobs --quiet --output-dir="$work/out" "$work/$tree")
        printf "%-6s %5d %5d  %6d kB  %6d kB %s\n" "$tree" "$files" "$jobs" "$((kb * 1024 / 1000))" \
            "$budget" "$([ $((kb * 1024 / 1000)) -le "$budget" ] && echo within || echo OVER)"
    done
done
rm -rf "$work/out"

seconds() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f\n", (b - a) / 1e9 }'
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
copy() { cp -r "$work/tiny" "$work/copy" && sync; }
convert() { env -u DISPLAY -u WAYLAND_DISPLAY "$korvane" --quiet --output-dir="$work/out" "$work/tiny" 2>/dev/null; }
: >"$work/copy.times"
: >"$work/convert.times"
for _ in 1 2 3; do # alternating, each from a synced disk with no earlier output
    rm -rf "$work/copy" "$work/out"; sync
    seconds copy >>"$work/copy.times"
    rm -rf "$work/copy" "$work/out"; sync
    seconds convert >>"$work/convert.times"
done
copy_s=$(median <"$work/copy.times")
convert_s=$(median <"$work/convert.times")
awk -v c="$copy_s" -v k="$convert_s" 'BEGIN {
    printf "3,000 tiny files: korvane (default --jobs) %.0f files/s, cp -r && sync %.0f files/s: %.2fx the time of the copy\n",
        3000 / k, 3000 / c, k / c }'
