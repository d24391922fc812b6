#pragma once

#include <string>

namespace korvane {

// Writes text to a temporary file beside path and renames it over path, so that readers see
// either the old or the new content. Returns false (and leaves path untouched) on failure.
bool AtomicWrite(const std::string& path, const std::string& content);

} // namespace korvane
