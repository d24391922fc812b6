#!/usr/bin/env bash
# Redraws the README's picture of the window with an example loaded, res/screenshots/window.png
# (also installed for the AppStream metadata), and the English and German pictures at 13 pt
# (start, loaded, saved, a failed load), with the screenshot tool.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh >&2
cmake --preset ci >/dev/null
cmake --build --preset ci --target korvane_screenshots examples >&2
# The example from a folder whose name reads well in the picture.
songs=/tmp/korvane-readme/Music
mkdir -p "$songs"
trap 'rm -rf /tmp/korvane-readme' EXIT
cp build/ci/Examples/PianoDynamics.mid "$songs/"
QT_QPA_PLATFORM=offscreen build/ci/korvane_screenshots build/ci/screenshots \
    "$songs/PianoDynamics.mid" >/dev/null
mkdir -p res/screenshots
cp build/ci/screenshots/window-en-loaded.png res/screenshots/window.png
echo res/screenshots/window.png
QT_QPA_PLATFORM=offscreen build/ci/korvane_screenshots build/ci/screenshots-13pt \
    "$songs/PianoDynamics.mid" 13 >/dev/null
for language in en de; do
  for state in start loaded saved failed-load; do
    cp "build/ci/screenshots-13pt/window-$language-$state.png" \
      "res/screenshots/window-13pt-$language-$state.png"
    echo "res/screenshots/window-13pt-$language-$state.png"
  done
done
