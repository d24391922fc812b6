#pragma once

#include <array>

// Dialog template 102, the main window, as the classic resource laid it out: every control with
// its identifier, kind, template text and rectangle in dialog units, in template order, which is
// also the tab order.
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

// The logo picture has no identifier of its own.
inline constexpr int kNoControlId = -1;

inline constexpr int kMainDialogWidth = 394;
inline constexpr int kMainDialogHeight = 293;

inline constexpr std::array<ControlTemplate, 25> kMainDialogTemplate = {{
    {1, ControlKind::HiddenDefaultButton, "OK", 7, 6, 9, 6},
    {2, ControlKind::HiddenButton, "Cancel", 14, 6, 11, 6},
    {1000, ControlKind::PushButton, "Browse", 295, 73, 41, 12},
    {1001, ControlKind::Edit, "", 12, 73, 280, 13},
    {1002, ControlKind::PushButton, "Save", 340, 102, 41, 12},
    {kNoControlId, ControlKind::Picture, "", 165, 6, 197, 54},
    {1003, ControlKind::BlackFrame, "", 7, 124, 344, 84},
    {1004, ControlKind::HorizontalSlider, "", 4, 222, 383, 11},
    {1005, ControlKind::VerticalSlider, "", 367, 130, 13, 79},
    {1026, ControlKind::GroupBox, "Load From MIDI File", 7, 62, 380, 28},
    {1006, ControlKind::PushButton, "Load", 341, 73, 40, 12},
    {1007, ControlKind::Edit, "", 12, 102, 280, 13},
    {1027, ControlKind::GroupBox, "Save to File", 7, 91, 380, 29},
    {1008, ControlKind::PushButton, "Browse", 296, 102, 40, 12},
    {1009, ControlKind::BitmapButton, "About", 369, 18, 18, 22},
    {1010, ControlKind::Player, "", 7, 258, 380, 28},
    {1011, ControlKind::StaticText, "Static01", 7, 6, 152, 55},
    {1015, ControlKind::PushButton, "Reset", 318, 239, 52, 12},
    {1022, ControlKind::StaticText, "Dynamic Range:", 7, 211, 132, 10},
    {1017, ControlKind::HorizontalSlider, "", 168, 245, 92, 11},
    {1020, ControlKind::StaticText, "Adjust Speed:", 172, 236, 88, 10},
    {1018, ControlKind::Edit, "", 274, 243, 23, 12},
    {1021, ControlKind::StaticText, "%", 299, 246, 8, 10},
    {1023, ControlKind::StaticText, "Volume:", 356, 122, 31, 8},
    {1019, ControlKind::CheckBox, "Eliminate Stuck Notes", 22, 237, 137, 15},
}};

// The twelve controls that stay disabled until the first completed pass, in the order they are
// disabled and enabled.
inline constexpr std::array<int, 12> kAdjustmentControlIds = {1005, 1004, 1015, 1017, 1019, 1018,
                                                              1020, 1021, 1023, 1022, 1002, 1008};
