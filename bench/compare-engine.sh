#!/usr/bin/env bash
# The engine's save pass with all four adjustments against an earlier commit's, in one run:
# that commit is built aside (a git worktree in a temporary folder, release preset), then the
# two benchmarks run in turn, ROUNDS times each, and the medians and their ratio are printed,
# with the median of each round's ratio.
# Usage: bench/compare-engine.sh [COMMIT] [ROUNDS]   (default c9c3cd8, 7 rounds)
set -euo pipefail
cd "$(dirname "$0")/.."
base=${1:-c9c3cd8}
rounds=${2:-7}
filter='BM_SavePassAllAdjustments/'

aside=$(mktemp -d)
cleanup() {
    git worktree remove --force "$aside/tree" >/dev/null 2>&1 || true
    rm -rf "$aside"
}
trap cleanup EXIT
git worktree add --detach "$aside/tree" "$base" >/dev/null 2>&1

build() { # source folder: builds its engine benchmark with the release preset
    (cd "$1" && cmake --preset release >/dev/null && \
        cmake --build --preset release --target engine_benchmark >/dev/null)
}
echo "Building $base aside and this tree..." >&2
build "$aside/tree"
build .

mbs() { # benchmark binary: one run's MB/s
    "$1" --benchmark_filter="$filter" --benchmark_min_time=1 --benchmark_format=json |
        python3 -c 'import json, sys; print(round(json.load(sys.stdin)["benchmarks"][0]["bytes_per_second"] / 1e6, 1))'
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

before=()
after=()
for ((i = 1; i <= rounds; i++)); do
    # Alternating, so that the machine's load falls on both alike.
    before+=("$(mbs "$aside/tree/build/release/engine_benchmark")")
    after+=("$(mbs build/release/engine_benchmark)")
    echo "round $i: $base ${before[-1]} MB/s, this tree ${after[-1]} MB/s" >&2
done
b=$(printf '%s\n' "${before[@]}" | median)
a=$(printf '%s\n' "${after[@]}" | median)
# Each round's two runs follow each other, so their ratio leaves out the load's slower drifts.
paired=$(for ((i = 0; i < rounds; i++)); do
    awk -v a="${after[i]}" -v b="${before[i]}" 'BEGIN { printf "%.4f\n", a / b }'
done | median)
echo "$base: $b MB/s, this tree: $a MB/s, ratio $(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.3f", a / b }')," \
    "median of the rounds' ratios $(awk -v p="$paired" 'BEGIN { printf "%.3f", p }')"
