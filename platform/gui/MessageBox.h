#pragma once

#include "platform/MessageIcon.h"

#include <functional>
#include <string>

class QWidget;

namespace korvane {

// A modal message box titled "Korvane" with one OK button; details, where given, are the box's
// detailed text (the system's reason for a failure).
void ShowMessageBox(const std::string& text, MessageIcon icon, QWidget* parent = nullptr,
                    const std::string& details = {});

// While a hook is set it receives every message instead of a box, so tests can answer them.
using MessageBoxHook =
    std::function<void(const std::string& text, MessageIcon icon, const std::string& details)>;
void SetMessageBoxHook(MessageBoxHook hook);

} // namespace korvane
