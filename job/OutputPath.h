#pragma once

#include <string>

namespace korvane {

// The output name for an input path: its folder, its base name cut at the first "." among the
// first 50 characters, and "KRV.mid". An input without a folder gives a name beside it.
std::string DeriveOutputPath(const std::string& inputPath);

// The output of an input under an output folder: in the place the input has below its folder
// argument (relativePath; a file given alone is its base name), named as DeriveOutputPath names
// it, or as the input with keepNames.
std::string OutputUnderFolder(const std::string& folder, const std::string& relativePath,
                              bool keepNames);

// The path up to and including its last "/"; empty when it has none.
std::string FolderOfPath(const std::string& path);

} // namespace korvane
