#!/usr/bin/env bash
# Folder runs on an exFAT stick through exfat-fuse and on a bindfs mount against the same run on
# the local disk, for this build and a BEFORE build, alternating, ROUNDS times; beside them
# `cp -r` of the folder within each place: what that mount costs any program that reads and
# writes the files there.
# Prints each round's seconds and the ratios to the local run of the same build and round.
# Usage (as root): bench/fuse-runs.sh BEFORE_KORVANE [FILES] [ROUNDS]   (FILES 3000, ROUNDS 3)
set -euo pipefail
cd "$(dirname "$0")/.."
before=$(realpath "$1")
files=${2:-3000}
rounds=${3:-3}
build=build/ci
cmake --build "$build" --target korvane collection_tree >/dev/null
after=$(realpath "$build/korvane")

source tests/app/field_mounts.sh
work=$(mktemp -d)
trap 'unmount_places; rm -rf "$work"' EXIT
"$build/collection_tree" "$work/src" "$files" 30 >/dev/null
mkdir "$work/local"
mount_places
export -n DISPLAY WAYLAND_DISPLAY

root() { # where a place's files are written
    case $1 in local) echo "$work/local" ;; stick) echo "$work/stick" ;; bound) echo "$work/backing" ;; esac
}
fresh() { # the inputs alone at PLACE/src, on disk before the clock starts
    rm -rf "$(root "$1")/src" "$work/$1/copy" "$work/local/copy"
    cp -r "$work/src" "$(root "$1")/src"
    sync
}
place_path() { [ "$1" = local ] && echo "$work/local" || echo "$work/$1"; }
seconds() {
    local start
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    awk -v a="$start" -v b="$(date +%s%N)" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'
}
run() { fresh "$2" && seconds "$1" --quiet --jobs=2 "$(place_path "$2")/src"; }
copy() { fresh "$1" && seconds cp -r "$(place_path "$1")/src" "$(place_path "$1")/copy"; }

echo "== $files files, seconds; ratio = the place's time / the local run's of the same build"
for ((i = 0; i < rounds; i++)); do
    lb=$(run "$before" local)
    la=$(run "$after" local)
    for place in stick bound; do
        b=$(run "$before" "$place")
        a=$(run "$after" "$place")
        c=$(copy "$place")
        awk -v p="$place" -v lb="$lb" -v la="$la" -v b="$b" -v a="$a" -v c="$c" \
            'BEGIN { printf "%s: before %s (%.2fx local %s)  after %s (%.2fx local %s)  cp -r there %s (%.2fx after local, after %.2fx it)  after/before %.2f\n", p, b, b / lb, lb, a, a / la, la, c, c / la, a / c, a / b }'
    done
done
