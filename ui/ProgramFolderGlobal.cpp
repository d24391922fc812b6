#include "ProgramFolderGlobal.h"

std::string g_programFolder;
