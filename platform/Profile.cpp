#include "Profile.h"

#include "AtomicWrite.h"

#include <SimpleIni.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace {
constexpr const char* kSection = "Version 1.0";
constexpr const char* kFileName = "Korvane.ini";

bool LoadIni(const std::string& path, CSimpleIniA& ini) {
    ini.SetUnicode(true);
    return ini.LoadFile(path.c_str()) >= 0;
}

std::string ParentFolder(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool WriteValue(const std::string& path, const std::string& key, const std::string& value) {
    CSimpleIniA ini;
    LoadIni(path, ini); // a missing or damaged file starts afresh
    ini.SetValue(kSection, key.c_str(), value.c_str());
    std::string text;
    if (ini.Save(text) < 0) {
        return false;
    }
    ::mkdir(ParentFolder(path).c_str(), 0700);
    return AtomicWrite(path, text);
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
    if (!LoadIni(m_filePath, ini)) {
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
