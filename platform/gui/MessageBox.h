#pragma once

#include "platform/MessageIcon.h"

#include <functional>
#include <string>

class QWidget;

namespace korvane {

// A modal message box titled "Korvane" with one OK button, the default; details, where given,
// are shown under the text (the system's reason for a failure), or behind "Show Details..." when
// they run over several lines (the files a run could not convert).
void ShowMessageBox(const std::string& text, MessageIcon icon, QWidget* parent = nullptr,
                    const std::string& details = {});

// While a hook is set it receives every message instead of a box, so tests can answer them.
using MessageBoxHook =
    std::function<void(const std::string& text, MessageIcon icon, const std::string& details)>;
void SetMessageBoxHook(MessageBoxHook hook);

} // namespace korvane
