#!/usr/bin/env bash
# The page's conversion speed against the command line's on the 32 MB benchmark file, and the
# compressed size of the page's own files. Builds what it needs (ci preset and the page).
# Usage: bench/run-web-benchmark.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset ci >/dev/null
cmake --build --preset ci --target korvane korvane_examples >/dev/null
scripts/build-web.sh >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/ci/korvane_examples --benchmark "$work/big.mid" 32
node bench/web-benchmark.mjs build/web build/ci/korvane "$work/big.mid" "${1:-5}"
echo "The page's own files, gzip -9 (the libraries and the SoundFont apart):"
total=0
for f in index.html korvane.css korvane.js Preview.js engine.js engine.wasm; do
  size=$(gzip -9c "build/web/$f" | wc -c)
  total=$((total + size))
  printf '  %-12s %7d bytes\n' "$f" "$size"
done
printf '  %-12s %7d bytes\n' total "$total"
for f in lib/fflate.js lib/js-synthesizer.min.js lib/libfluidsynth.js; do
  printf '  %-26s %7d bytes (library)\n' "$f" "$(gzip -9c "build/web/$f" | wc -c)"
done
