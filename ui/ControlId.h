#pragma once

namespace korvane {

// The main window's controls. Every control carries the objectName "c<ID>", so the numbers
// are also what tests and the screenshot tool look controls up by.
enum ControlId : int {
    kMainWindow = 102, // the window itself
    kOk = 1,
    kCancel = 2,
    kBrowseInput = 1000,
    kInputPath = 1001,
    kSave = 1002,
    kLevelView = 1003,
    kDynamicRangeSlider = 1004,
    kVolumeSlider = 1005,
    kLoad = 1006,
    kOutputPath = 1007,
    kBrowseOutput = 1008,
    kAbout = 1009,
    kPlayer = 1010,
    kInstruction = 1011,
    kReset = 1015,
    kSpeedSlider = 1017,
    kSpeedEdit = 1018,
    kStuckNotes = 1019,
    kSpeedLabel = 1020,
    kPercentLabel = 1021,
    kDynamicRangeLabel = 1022,
    kVolumeLabel = 1023,
    kLoadGroup = 1026,
    kSaveGroup = 1027,
    // The logo picture has no identifier of its own.
    kNoControlId = -1,
};

} // namespace korvane
