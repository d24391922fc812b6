#pragma once

#include <cstdint>

namespace korvane {

// The largest file the page takes. Its engine holds the file, its conversion and the output the
// page saves in one tab's memory; past this size a pass can run out of it, so the page refuses the
// file before reading it and says where its limit lies.
constexpr uint64_t kPageFileLimitMegabytes = 256;
constexpr uint64_t kPageFileLimit = kPageFileLimitMegabytes << 20;

// The largest song the page's synthesizer is given. It reads the whole song at once on the page's
// own thread before it plays a note, so the page keeps the preview to songs it reads quickly.
constexpr uint64_t kPreviewLimit = uint64_t{2} << 20;

} // namespace korvane
