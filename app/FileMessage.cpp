#include "app/FileMessage.h"

#include "app/NameText.h"

namespace korvane {

void PrintFileMessage(std::ostream& out, const std::string& path, const std::string& message,
                      const std::string& reason) {
    out << "korvane: " << EscapeForTerminal(path) << ": " << message;
    if (!reason.empty()) {
        out << " (" << reason << ")";
    }
    out << "\n";
}

} // namespace korvane
