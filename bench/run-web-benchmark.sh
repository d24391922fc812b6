#!/usr/bin/env bash
# The page against the command line: the longest task on the page's thread for 1,000 files and for
# a large file, its speed saving the large file against `korvane --output=` in the same run, and
# the compressed size of the page's own files. Builds what it needs (ci preset and the page).
# EARLIER_SITE, the page built from an earlier commit (its build/web), is timed alternating too.
# Usage: bench/run-web-benchmark.sh [RUNS] [MEGABYTES] [EARLIER_SITE]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset ci >/dev/null
cmake --build --preset ci --target korvane korvane_examples >/dev/null
scripts/build-web.sh >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/ci/korvane_examples --benchmark "$work/large.mid" "${2:-200}"
mkdir "$work/small"
node --input-type=module -e "
  import { writeFileSync } from 'node:fs';
  import { generatedSongs } from './tests/web/GeneratedSongs.mjs';
  for (const song of generatedSongs(1000)) writeFileSync('$work/small/' + song.name, song.bytes);"
node bench/web-benchmark.mjs build/web build/ci/korvane "$work/large.mid" "$work/small" "${1:-3}" "${3:-}"
echo "The page's own files, gzip -9 (the libraries and the SoundFont apart):"
total=0
for f in index.html korvane.css korvane.js Preview.js FileWork.js EngineWorker.js PartPacker.js engine.js engine.wasm; do
  size=$(gzip -9c "build/web/$f" | wc -c)
  total=$((total + size))
  printf '  %-16s %7d bytes\n' "$f" "$size"
done
printf '  %-16s %7d bytes\n' total "$total"
for f in lib/fflate.js lib/js-synthesizer.min.js lib/libfluidsynth.js; do
  printf '  %-26s %7d bytes (library)\n' "$f" "$(gzip -9c "build/web/$f" | wc -c)"
done
