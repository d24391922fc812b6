#!/usr/bin/env bash
# Builds the web page into build/web/: the engine compiled to WebAssembly, the page, its
# synthesizer and zip writer from npm, and the SoundFont the desktop plays with. Installs what it
# needs (Emscripten, Node.js and npm, Chromium for the page's tests, the SoundFont) when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(emscripten nodejs chromium timgm6mb-soundfont)
command -v npm >/dev/null || packages+=(npm)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
# The versions of the lockfile, and nothing is downloaded once they are there.
if ! (cd web && npm ls --omit=optional >/dev/null 2>&1); then
  (cd web && npm ci --no-audit --no-fund)
fi
cmake --preset web
cmake --build --preset web
echo "The page is in build/web/; scripts/serve-web.sh serves it at http://127.0.0.1:8080/"
