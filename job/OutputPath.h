#pragma once

#include <string>

namespace korvane {

// The output name for an input path: its folder, its base name cut at the first "." among the
// first 50 characters, and "KRV.mid". An input without a folder gives a name beside it.
std::string DeriveOutputPath(const std::string& inputPath);

// The path up to and including its last "/"; empty when it has none.
std::string FolderOfPath(const std::string& path);

} // namespace korvane
