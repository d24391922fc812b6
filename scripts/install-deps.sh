#!/usr/bin/env bash
# Installs the Debian packages Korvane needs to build, run and test; quick when all are present.
set -euo pipefail
packages=(
  # building, the fuzz preset (clang with libFuzzer) and the style
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format
  # the program: profile, display check, window, player and its SoundFont
  libsimpleini-dev libxcb1-dev qt6-base-dev libgl-dev libfluidsynth-dev libasound2-dev
  timgm6mb-soundfont
  # Qt's own texts (the message box's "Show Details...") in the window's languages
  qt6-translations-l10n
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
  # the runs on a USB stick's file system and on FUSE, mounted by the tests
  exfat-fuse exfatprogs bindfs
  # the window read over the AT-SPI bus as a screen reader reads it, in a D-Bus session of its
  # own on a virtual display
  dbus-bin at-spi2-core gir1.2-atspi-2.0 python3-gi
  # the Python module, its tests and korvane.dask (for Debian's own Python, /usr/bin/python3)
  pybind11-dev python3-dev python3-pytest python3-dask python3-distributed
)
# Only hardening-check is wanted from devscripts; its recommends are a hundred packages more.
lean_packages=(devscripts)

# One dpkg-query for all: the ones it does not list as installed are missing.
missing() {
  local -A installed=()
  local name status
  while read -r name status; do
    [[ $status == "install ok installed" ]] && installed[$name]=1
  done < <(dpkg-query -W -f='${Package} ${Status}\n' "$@" 2>/dev/null)
  for name in "$@"; do
    [[ -v installed[$name] ]] || echo "$name"
  done
}
mapfile -t missing_packages < <(missing "${packages[@]}")
mapfile -t missing_lean < <(missing "${lean_packages[@]}")
if ((${#missing_packages[@]} + ${#missing_lean[@]})); then
  echo "Installing: ${missing_packages[*]} ${missing_lean[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  install=("${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq)
  "${sudo_cmd[@]}" apt-get update -qq
  ((${#missing_packages[@]} == 0)) || "${install[@]}" "${missing_packages[@]}"
  ((${#missing_lean[@]} == 0)) || "${install[@]}" --no-install-recommends "${missing_lean[@]}"
fi
