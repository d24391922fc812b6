#!/usr/bin/env bash
# Builds korvane, its Python module and the collection generator, writes a generated collection
# (FILES files in 20 folders, sizes around 10 KB, one in twenty damaged) and runs
# bench/python-benchmark.py on Debian's Python: files per second of the module in a loop, in two
# threads, on Dask with two local workers, of `korvane DIR` and of python3-mido.
# Usage: bench/run-python-benchmark.sh [FILES] [PRESET]   (2000 files, release preset)
set -euo pipefail
cd "$(dirname "$0")/.."
files=${1:-2000}
preset=${2:-release}
build=build/$preset

cmake --preset "$preset" >/dev/null
cmake --build "$build" --target korvane korvane_python collection_tree >/dev/null

work=$(mktemp -d "$PWD/$build/python-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$build/collection_tree" "$work/src" "$files" 20 >&2
PYTHONPATH=$build/python /usr/bin/python3 bench/python-benchmark.py "$build/korvane" \
    "$work/src" "$work/out"
