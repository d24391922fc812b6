#pragma once

#include <optional>
#include <string>

namespace korvane {

// Follows symbolic links at the last component so that saving through a link replaces the
// link's target and keeps the link. Returns path unchanged when it is not a link.
std::string ResolveSymlinks(const std::string& path);

// The file a save to path replaces: path with its links followed. Nothing when no new regular
// file may take that place: an existing folder, device, FIFO or socket, a read-only file, a
// link loop or a chain longer than the system follows, a folder that is missing or read-only.
std::optional<std::string> OutputTarget(const std::string& path);

// OutputTarget for a path that names nothing (lstat gave ENOENT), without looking at it again:
// each look is a round trip on a network share or FUSE mount.
std::optional<std::string> FreeOutputTarget(const std::string& path);

// True when both paths name the same existing file (links followed).
bool SameFile(const std::string& a, const std::string& b);

// True when the open file or folder fd lives on a FUSE mount (a USB stick's exFAT through
// exfat-fuse, sshfs, bindfs): there every call is a trip through one daemon, and what a sync
// reaches is the daemon's choice.
bool OnFuseMount(int fd);

// The folder part of a path ("." when it has none).
std::string FolderPart(const std::string& path);

} // namespace korvane
