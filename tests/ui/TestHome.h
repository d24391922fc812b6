#pragma once

#include "ui/ProgramFolderGlobal.h"

#include <QTemporaryDir>

namespace korvane {

// Points the profile, the caches and the program folder into dir, so that a window test reads
// and writes nothing of the user's.
inline void UseTestHome(const QTemporaryDir& dir) {
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    qputenv("XDG_CACHE_HOME", dir.filePath("cache").toUtf8());
    g_programFolder = dir.filePath("program").toStdString();
}

} // namespace korvane
