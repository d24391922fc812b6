#!/usr/bin/env bash
# Builds Korvane with warnings as errors and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset ci
cmake --build --preset ci
export QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY
ctest --preset ci
