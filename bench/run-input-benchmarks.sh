#!/usr/bin/env bash
# Command-line conversions of inputs shaped unlike a song, beside the generated 32 MB file: 16 MiB
# of empty track chunks (the cost of a chunk), 16 MiB of zeros after a header (the cost of junk
# after the last chunk) and one track of 1 GiB (the memory a large track takes). Prints, lowest
# to highest of RUNS, the input MB/s by wall time and by processor time (user and system, all
# threads: the cost per byte, whatever else the machine runs), and the peak RSS.
# Usage: bench/run-input-benchmarks.sh [RUNS [FOLDER]]   (default 5 runs, in the build folder)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
build=build/release

cmake --preset release >/dev/null
cmake --build --preset release --target korvane korvane_examples >/dev/null

# By default on the build's disk, not in a memory file system, so every conversion really writes
# a file; a folder in memory (/dev/shm) shows the cost without the disk.
work=$(mktemp -d "${2:-$PWD/$build}/bench-input.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$build/korvane_examples" --benchmark "$work/song32.mid" 32
python3 - "$work" <<'PY'
import struct, sys
work = sys.argv[1]
header = b"MThd" + struct.pack(">IHHH", 6, 1, 1, 96)
size = 16 << 20
with open(f"{work}/empty-tracks.mid", "wb") as f:
    f.write(header + b"MTrk\0\0\0\0" * ((size - len(header)) // 8))
with open(f"{work}/zeros.mid", "wb") as f:
    f.write(header + bytes(size - len(header)))
# Note On and Note Off with short deltas, the bulk of a real track, written 8 MiB at a time.
block = bytes([0x00, 0x90, 0x3C, 0x64, 0x10, 0x80, 0x3C, 0x40]) * (1 << 20)
blocks = 128
with open(f"{work}/track1g.mid", "wb") as f:
    f.write(header + b"MTrk" + struct.pack(">I", len(block) * blocks + 4))
    for _ in range(blocks):
        f.write(block)
    f.write(bytes([0x00, 0xFF, 0x2F, 0x00]))
PY

# One headless conversion: prints its wall time and processor time in seconds, its peak RSS in KiB.
measure() {
    env -u DISPLAY -u WAYLAND_DISPLAY python3 - "$build/korvane" "$1" <<'PY'
import os, sys, time
start = time.perf_counter()
pid = os.spawnv(os.P_NOWAIT, sys.argv[1], [sys.argv[1], "-f", sys.argv[2]])
_, status, usage = os.wait4(pid, 0)
wall = time.perf_counter() - start
if status != 0:
    sys.exit("korvane failed")
print(f"{wall:.4f} {usage.ru_utime + usage.ru_stime:.4f} {usage.ru_maxrss}")
PY
}

printf '\n| Input | Size | MB/s, wall (%s runs) | MB/s, processor | Peak RSS |\n|---|---|---|---|---|\n' "$runs"
for name in song32 empty-tracks zeros track1g; do
    file="$work/$name.mid"
    size=$(stat -c %s "$file")
    : >"$work/runs"
    for ((i = 0; i < runs; i++)); do
        measure "$file" >>"$work/runs"
    done
    [ -s "$work/${name}KRV.mid" ] || { echo "korvane -f wrote no ${name}KRV.mid" >&2; exit 1; }
    awk -v size="$size" -v name="$name" '
        function low(v, l) { return NR == 1 || v < l ? v : l }
        function high(v, h) { return NR == 1 || v > h ? v : h }
        { mbs = size / $1 / 1e6; cpu = size / $2 / 1e6; rss = $3 / 1024
          lo = low(mbs, lo); hi = high(mbs, hi); clo = low(cpu, clo); chi = high(cpu, chi)
          rlo = low(rss, rlo); rhi = high(rss, rhi) }
        END { printf "| %s | %.1f MB | %.0f to %.0f | %.0f to %.0f | %.0f to %.0f MB |\n",
                     name, size / 1e6, lo, hi, clo, chi, rlo, rhi }' "$work/runs"
    rm -f "$work/${name}KRV.mid"
done
