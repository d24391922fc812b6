#pragma once

#include <string>

namespace korvane {

// The program folder, without a trailing "/", worked out once at start-up; the file dialogs
// look for the "Examples" folder below it.
extern std::string g_programFolder;

} // namespace korvane
