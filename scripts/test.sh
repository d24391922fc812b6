#!/usr/bin/env bash
# Builds Korvane with warnings as errors and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset ci
cmake --build --preset ci
# The web page's test compares the page with the command line just built.
scripts/build-web.sh
export QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY
ctest --preset ci
