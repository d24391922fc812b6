# Mounts the places users keep files that have no unnamed temporary files: an exFAT image on a
# loop device through exfat-fuse (a USB stick) as $work/stick, and a bindfs mount (FUSE, as
# network shares behave) of $work/backing as $work/bound. Sourced; needs $work. Exits 77
# (skipped) where the machine cannot mount; unmount_places undoes what was made.
loop=""

skip() { echo "skipped: $*"; exit 77; }

mount_places() {
    [ "$(id -u)" -eq 0 ] || skip "mounting needs root"
    [ -e /dev/fuse ] || skip "no /dev/fuse"
    local tool
    for tool in mkfs.exfat mount.exfat-fuse bindfs losetup; do
        command -v "$tool" >/dev/null || skip "$tool is not installed"
    done
    truncate -s 600M "$work/stick.img"
    mkfs.exfat "$work/stick.img" >/dev/null
    loop=$(losetup -f --show "$work/stick.img") || skip "no loop device"
    mkdir "$work/stick" "$work/bound" "$work/backing"
    mount.exfat-fuse "$loop" "$work/stick" || skip "exfat-fuse cannot mount here"
    bindfs "$work/backing" "$work/bound" || skip "bindfs cannot mount here"
}

unmount_places() {
    local mount
    for mount in "$work/stick" "$work/bound"; do
        mountpoint -q "$mount" && umount "$mount"
    done
    [ -z "$loop" ] || losetup -d "$loop"
}
