#!/usr/bin/env bash
# Redraws the README's picture of the window with an example loaded, res/screenshots/window.png
# (also installed for the AppStream metadata), and walks the window with the screenshot tool in
# every language at 9 and 13 pt, at scale 1 and 2, through its states: start, loaded, several
# loaded, saved, a failed load and a cancelled Save (with their message boxes). The walk stays in
# build/ci/screenshot-walk for anyone to look at; English and German at 13 pt, scale 1, are kept
# in res/screenshots/.
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
# A screen large enough for the window at scale 2, so every picture shows its full height.
screen="offscreen:configfile=$PWD/tools/screenshot-screen.json"
QT_QPA_PLATFORM=$screen build/ci/korvane_screenshots build/ci/screenshots \
    "$songs/PianoDynamics.mid" >/dev/null
mkdir -p res/screenshots
cp build/ci/screenshots/window-en-loaded.png res/screenshots/window.png
echo res/screenshots/window.png
walk=build/ci/screenshot-walk
rm -rf "$walk"
for points in 9 13; do
  for scale in 1 2; do
    QT_QPA_PLATFORM=$screen QT_SCALE_FACTOR=$scale build/ci/korvane_screenshots \
        "$walk/${points}pt-scale$scale" "$songs/PianoDynamics.mid" "$points" >/dev/null
  done
done
echo "$walk"
for language in en de; do
  for state in start loaded several-loaded saved failed-load failed-load-message cancelled-save \
      cancelled-save-message; do
    cp "$walk/13pt-scale1/window-$language-$state.png" \
      "res/screenshots/window-13pt-$language-$state.png"
    echo "res/screenshots/window-13pt-$language-$state.png"
  done
done
