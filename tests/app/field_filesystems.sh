#!/usr/bin/env bash
# Converts one generated folder of FILES files on the local disk, on an exFAT image mounted
# through exfat-fuse (a USB stick's file system) and on a bindfs mount (FUSE, as network shares
# behave): neither has unnamed temporary files. Every output must equal the local run's byte for
# byte, every input stay as it was, no temporary be left; prints each run's time beside the
# local one's. Needs root and /dev/fuse; exits 77 (skipped) where the machine cannot mount.
# Usage: field_filesystems.sh KORVANE COLLECTION_TREE [FILES]
set -euo pipefail
korvane=$1
tree=$2
files=${3:-3000}

source "$(dirname "$0")/field_mounts.sh"
work=$(mktemp -d)
trap 'unmount_places; rm -rf "$work"' EXIT

"$tree" "$work/src" "$files" 30 >/dev/null
cp -r "$work/src" "$work/local"
mount_places
cp -r "$work/src" "$work/stick/src"
cp -r "$work/src" "$work/backing/src"
sync # the copies' own write-back is not timed as the runs'

seconds() { # runs korvane over a folder; prints its wall time
    local start
    start=$(date +%s%N)
    env -u DISPLAY -u WAYLAND_DISPLAY "$korvane" --quiet --jobs=2 "$1"
    awk -v a="$start" -v b="$(date +%s%N)" 'BEGIN { printf "%.2f", (b - a) / 1e9 }'
}

failed=0
local_s=$(seconds "$work/local")
for place in stick bound; do
    place_s=$(seconds "$work/$place/src")
    # Inputs as they were, every output as the local run wrote it, nothing else.
    (cd "$work/src" && find . -type f) | sort >"$work/inputs"
    (cd "$work/local" && find . -name '*KRV.mid') | sort >"$work/outputs"
    (cd "$work/$place/src" && find . -type f) | sort >"$work/found"
    sort -m "$work/inputs" "$work/outputs" | cmp -s - "$work/found" ||
        { echo "$place: the files there are not the inputs and their outputs"; failed=1; }
    while read -r name; do
        cmp -s "$work/src/$name" "$work/$place/src/$name" || { echo "$place: $name changed"; failed=1; }
    done <"$work/inputs"
    while read -r name; do
        cmp -s "$work/local/$name" "$work/$place/src/$name" ||
            { echo "$place: $name differs from the local run's"; failed=1; }
    done <"$work/outputs"
    echo "$place: $files files in $place_s s, the local disk in $local_s s:" \
        "$(awk -v a="$place_s" -v b="$local_s" 'BEGIN { printf "%.2f", a / b }') x"
done
exit "$failed"
