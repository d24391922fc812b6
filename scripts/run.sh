#!/usr/bin/env bash
# Builds what running Korvane needs (the program, its window module and the demo files, no
# tests) and runs it with the given arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh >&2
# Once configured, the build itself notices changed build files; only new presets need cmake.
if [[ ! -f build/run/build.ninja || CMakePresets.json -nt build/run/CMakeCache.txt ]]; then
  cmake --preset run >/dev/null
fi
cmake --build --preset run >&2
exec build/run/korvane "$@"
