#include "ui/ProgramFolderGlobal.h"

namespace korvane {

std::string g_programFolder;

} // namespace korvane
