#!/usr/bin/env bash
# Installs the Debian packages Korvane needs to build, run and test; quick when all are present.
set -euo pipefail
packages=(
  # building, the fuzz preset (clang with libFuzzer) and the style
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format
  # the program: profile, display check, window, player and its SoundFont
  libsimpleini-dev libxcb1-dev qt6-base-dev libgl-dev libfluidsynth-dev libasound2-dev
  timgm6mb-soundfont
  # the tests and benchmarks: GoogleTest, Google Benchmark, the independent MIDI reader, a font
  # for the headless window tests, /usr/bin/time for the benchmark script's peak memory
  libgtest-dev libbenchmark-dev midicsv fonts-dejavu-core time
  # the speed-drift benchmark and the adjustments test read their outputs back with mido
  python3-mido
  # the package test: building and checking the package, its window on a virtual display, the
  # shell completion
  dpkg-dev lintian desktop-file-utils appstream xvfb xauth bash-completion
  # the report of a run over a collection
  nlohmann-json3-dev
)
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
