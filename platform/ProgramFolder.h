#pragma once

#include <string>

namespace korvane {

// The folder of the running executable, with a final build folder named "Release" or "Debug"
// dropped so that a build run from such a folder finds the "Examples" folder beside it.
// Empty when the system cannot say where the executable is.
std::string ProgramFolder();

// The rule of ProgramFolder applied to an executable path: its folder ("/" for a file in the
// root, "." for a bare name), without a final folder named exactly "Release" or "Debug".
std::string ProgramFolderOf(const std::string& exePath);

// "<programFolder>/Examples" when that folder exists (a build), else the installed examples
// folder; empty when the program folder is not known.
std::string ExamplesFolder(const std::string& programFolder);

// Where an installed Korvane keeps its examples, found from the folder of the installed
// program: /usr/share/korvane/examples for /usr/bin.
std::string InstalledExamplesFolder(const std::string& programFolder);

// The per-user folder a set-up leaves behind: $XDG_CACHE_HOME/KorvaneSetup, else
// ~/.cache/KorvaneSetup. Empty when neither variable gives an absolute folder.
std::string SetupFolder();

} // namespace korvane
