#include "app/ConsoleHost.h"

namespace korvane {

void ConsoleHost::ShowMessage(const std::string& text, MessageIcon) {
    m_errors << "korvane: " << m_input << ": " << text << std::endl;
}

} // namespace korvane
