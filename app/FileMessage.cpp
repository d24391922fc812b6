#include "app/FileMessage.h"

namespace korvane {

void PrintFileMessage(std::ostream& out, const std::string& path, const std::string& message,
                      const std::string& reason) {
    out << "korvane: " << path << ": " << message;
    if (!reason.empty()) {
        out << " (" << reason << ")";
    }
    out << "\n";
}

} // namespace korvane
