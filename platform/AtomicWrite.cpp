#include "platform/AtomicWrite.h"

#include "platform/BufferedFile.h"
#include "platform/TempOutput.h"

namespace korvane {

bool AtomicWrite(const std::string& path, const std::string& content) {
    TempOutput temp = TempOutput::Create(path);
    const int fd = temp.IsValid() ? temp.OpenWriter() : -1;
    if (fd < 0) {
        return false;
    }
    try {
        BufferedFile file;
        file.Attach(fd, path);
        file.Write(content.data(), content.size());
        file.Close();
    } catch (const BufferedFileException&) {
        return false;
    }
    return temp.Commit();
}

} // namespace korvane
