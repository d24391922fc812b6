#pragma once

#include <string>

namespace korvane {

// The application profile: Korvane.ini in the user's config folder, section "Version 1.0".
// A missing, damaged or unreadable file reads as defaults; a write that cannot be done is
// skipped. Each write replaces the file atomically so a crash never leaves half a profile.
class Profile {
  public:
    // Uses $XDG_CONFIG_HOME, else ~/.config.
    Profile();
    explicit Profile(std::string filePath);

    int GetProfileInt(const std::string& key, int defaultValue) const;
    std::string GetProfileString(const std::string& key, const std::string& defaultValue) const;
    // Return false when the profile could not be written.
    bool WriteProfileInt(const std::string& key, int value);
    bool WriteProfileString(const std::string& key, const std::string& value);

    static std::string DefaultFilePath();

  private:
    std::string m_filePath;
};

} // namespace korvane
