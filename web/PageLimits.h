#pragma once

#include <cstdint>

namespace korvane {

// The largest file the page takes, in MB of 10^6 bytes. Its engine holds the file, the levels of
// its plot and its conversion in at most 2 GB; a file of 220 MB converts with every adjustment, one
// of 262 MB runs out. The page refuses a larger file before reading it and names this limit.
constexpr uint64_t kPageFileLimitMegabytes = 220;
constexpr uint64_t kPageFileLimit = kPageFileLimitMegabytes * 1000 * 1000;

// The largest song the page's synthesizer is given. It reads the whole song at once on the page's
// own thread before it plays a note, so the page keeps the preview to songs it reads quickly.
constexpr uint64_t kPreviewLimit = uint64_t{2} << 20;

} // namespace korvane
