#include "platform/Profile.h"

#include "platform/AtomicWrite.h"
#include "platform/BufferedFile.h"
#include "platform/FileSystem.h"

#include <SimpleIni.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace korvane {
namespace {
constexpr const char* kSection = "Version 1.0";
constexpr const char* kFileName = "Korvane.ini";

// Reading takes one layer of surrounding quotes off a value; a write loads the values as they
// stand in the file, so that the ones it does not change are written back unaltered.
// The file is read here, bounded, so that a folder, a device or a huge file in its place reads
// as no profile instead of reaching the INI reader.
bool LoadIni(const std::string& path, CSimpleIniA& ini, bool takeOffQuotes) {
    constexpr uint64_t kLargestProfile = 1 << 20;
    ini.SetUnicode(true);
    ini.SetQuotes(takeOffQuotes);
    std::string text;
    try {
        BufferedFile file;
        if (!file.Open(path, BufferedFile::modeRead) || file.GetLength() > kLargestProfile) {
            return false;
        }
        text.resize(static_cast<size_t>(file.GetLength()));
        text.resize(file.Read(text.data(), text.size()));
    } catch (const BufferedFileException&) {
        return false;
    }
    return ini.LoadData(text) >= 0;
}

std::string ParentFolder(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A value is one line of the file; a line break or NUL in it cannot be stored faithfully.
bool FitsOnALine(const std::string& value) {
    return value.find_first_of(std::string("\n\r\0", 3)) == std::string::npos;
}

// The reader trims blanks around a value and takes off one layer of surrounding quotes, so a
// value that would lose either is stored inside quotes.
std::string Stored(const std::string& value) {
    if (value.empty()) {
        return value;
    }
    const bool blankEnds = IsBlank(value.front()) || IsBlank(value.back());
    const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    return blankEnds || quoted ? '"' + value + '"' : value;
}

bool WriteValue(const std::string& path, const std::string& key, const std::string& value) {
    if (!FitsOnALine(value)) {
        return false;
    }
    // A profile kept elsewhere and linked in stays linked: its target is what gets replaced.
    const std::string target = ResolveSymlinks(path);
    CSimpleIniA ini;
    LoadIni(target, ini, false); // a missing or damaged file starts afresh
    ini.SetValue(kSection, key.c_str(), Stored(value).c_str());
    std::string text;
    if (ini.Save(text) < 0) {
        return false;
    }
    ::mkdir(ParentFolder(target).c_str(), 0700);
    return AtomicWrite(target, text);
}
} // namespace

Profile::Profile() : m_filePath(DefaultFilePath()) {}

Profile::Profile(std::string filePath) : m_filePath(std::move(filePath)) {}

std::string Profile::DefaultFilePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return std::string(config) + "/" + kFileName;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.config/" + kFileName;
}

int Profile::GetProfileInt(const std::string& key, int defaultValue) const {
    const std::string text = GetProfileString(key, "");
    if (text.empty()) {
        return defaultValue;
    }
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < INT_MIN || value > INT_MAX) {
        return defaultValue;
    }
    return static_cast<int>(value);
}

std::string Profile::GetProfileString(const std::string& key,
                                      const std::string& defaultValue) const {
    CSimpleIniA ini;
    if (!LoadIni(m_filePath, ini, true)) {
        return defaultValue;
    }
    const char* value = ini.GetValue(kSection, key.c_str(), nullptr);
    return value != nullptr ? std::string(value) : defaultValue;
}

bool Profile::WriteProfileInt(const std::string& key, int value) {
    return WriteValue(m_filePath, key, std::to_string(value));
}

bool Profile::WriteProfileString(const std::string& key, const std::string& value) {
    return WriteValue(m_filePath, key, value);
}

} // namespace korvane
