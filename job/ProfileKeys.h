#pragma once

namespace korvane {

// Keys of the profile section "Version 1.0".
inline constexpr const char* kKeyInputFolder = "MIDIPathNameI";
inline constexpr const char* kKeyInputName = "MIDIFileNameI";
inline constexpr const char* kKeyOutputFolder = "MIDIPathNameO";
inline constexpr const char* kKeyOutputName = "MIDIFileNameO";
inline constexpr const char* kKeyLanguage = "Language";
inline constexpr int kDefaultLanguage = 1;
// The context menu's settings, 0 or 1.
inline constexpr const char* kKeyKeepBars = "KeepBars";
inline constexpr const char* kKeyLeaveDrums = "LeaveDrums";
inline constexpr const char* kKeyLoudestToFull = "LoudestToFull";

} // namespace korvane
