#include "ConsoleHost.h"

void ConsoleHost::ShowMessage(const std::string& text, MessageIcon) {
    m_errors << "korvane: " << m_input << ": " << text << std::endl;
}
