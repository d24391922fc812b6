#include "platform/AtomicWrite.h"

#include "platform/CFile.h"
#include "platform/FileSystem.h"

#include <cstdio>

namespace korvane {

bool AtomicWrite(const std::string& path, const std::string& content) {
    TempFile temp = CreateTempBeside(path);
    if (!temp.IsValid()) {
        return false;
    }
    try {
        CFile file;
        file.Attach(temp.Release(), temp.Path());
        file.Write(content.data(), content.size());
        file.Sync();
        file.Close();
        return CommitTemp(temp.Path(), path);
    } catch (const CFileException&) {
        std::remove(temp.Path().c_str());
        return false;
    }
}

} // namespace korvane
