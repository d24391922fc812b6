#pragma once

#include "ui/ControlId.h"

#include <array>

namespace korvane {

// The main window's layout: every control with its identifier, kind, initial text and rectangle
// in dialog units, in creation order (the tab order is kTabOrder).
enum class ControlKind {
    HiddenDefaultButton,
    HiddenButton,
    PushButton,
    BitmapButton,
    Edit,
    Picture,
    BlackFrame,
    HorizontalSlider,
    VerticalSlider,
    GroupBox,
    StaticText,
    CheckBox,
    Player,
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;
    int x;
    int y;
    int width;
    int height;
};

inline constexpr int kMainDialogWidth = 394;
inline constexpr int kMainDialogHeight = 293;

inline constexpr std::array<ControlTemplate, 25> kMainDialogTemplate = {{
    {kOk, ControlKind::HiddenDefaultButton, "OK", 7, 6, 9, 6},
    {kCancel, ControlKind::HiddenButton, "Cancel", 14, 6, 11, 6},
    {kBrowseInput, ControlKind::PushButton, "Browse", 295, 73, 41, 12},
    {kInputPath, ControlKind::Edit, "", 12, 73, 280, 13},
    {kSave, ControlKind::PushButton, "Save", 340, 102, 41, 12},
    {kNoControlId, ControlKind::Picture, "", 165, 6, 197, 54},
    {kLevelView, ControlKind::BlackFrame, "", 7, 124, 344, 84},
    {kDynamicRangeSlider, ControlKind::HorizontalSlider, "", 4, 222, 383, 11},
    {kVolumeSlider, ControlKind::VerticalSlider, "", 367, 130, 13, 79},
    {kLoadGroup, ControlKind::GroupBox, "Load From MIDI File", 7, 62, 380, 28},
    {kLoad, ControlKind::PushButton, "Load", 341, 73, 40, 12},
    {kOutputPath, ControlKind::Edit, "", 12, 102, 280, 13},
    {kSaveGroup, ControlKind::GroupBox, "Save to File", 7, 91, 380, 29},
    {kBrowseOutput, ControlKind::PushButton, "Browse", 296, 102, 40, 12},
    {kAbout, ControlKind::BitmapButton, "About", 369, 18, 18, 22},
    {kPlayer, ControlKind::Player, "", 7, 258, 380, 28},
    {kInstruction, ControlKind::StaticText, "Static01", 7, 6, 152, 55},
    {kReset, ControlKind::PushButton, "Reset", 318, 239, 52, 12},
    {kDynamicRangeLabel, ControlKind::StaticText, "Dynamic Range:", 7, 211, 132, 10},
    {kSpeedSlider, ControlKind::HorizontalSlider, "", 168, 245, 92, 11},
    {kSpeedLabel, ControlKind::StaticText, "Adjust Speed:", 172, 236, 88, 10},
    {kSpeedEdit, ControlKind::Edit, "", 274, 243, 23, 12},
    {kPercentLabel, ControlKind::StaticText, "%", 299, 246, 8, 10},
    {kVolumeLabel, ControlKind::StaticText, "Volume:", 356, 122, 31, 8},
    {kStuckNotes, ControlKind::CheckBox, "Eliminate Stuck Notes", 22, 237, 137, 15},
}};

// The twelve controls that stay disabled until the first completed pass, in the order they are
// disabled and enabled.
inline constexpr std::array<ControlId, 12> kAdjustmentControlIds = {
    kVolumeSlider, kDynamicRangeSlider, kReset,      kSpeedSlider,
    kStuckNotes,   kSpeedEdit,          kSpeedLabel, kPercentLabel,
    kVolumeLabel,  kDynamicRangeLabel,  kSave,       kBrowseOutput};

// The controls Tab moves through, in reading order: top to bottom, and left to right along a row.
inline constexpr std::array<ControlId, 14> kTabOrder = {
    kAbout, kInputPath,    kBrowseInput,        kLoad,       kOutputPath,  kBrowseOutput,
    kSave,  kVolumeSlider, kDynamicRangeSlider, kStuckNotes, kSpeedSlider, kSpeedEdit,
    kReset, kPlayer};

// The controls whose captions LanguageTexts::captions holds, in the same order.
inline constexpr std::array<ControlId, 11> kCaptionControlIds = {
    kBrowseInput, kBrowseOutput,      kLoadGroup,  kSaveGroup,  kLoad, kSave,
    kVolumeLabel, kDynamicRangeLabel, kStuckNotes, kSpeedLabel, kReset};

} // namespace korvane
