#include "web/RepairTexts.h"

namespace korvane {
namespace {
std::string WithCount(const char* text, uint64_t count) {
    std::string out = text;
    out.replace(out.find("%1"), 2, std::to_string(count));
    return out;
}
} // namespace

std::vector<std::string> RepairTexts(int language, const RepairCounts& repairs) {
    std::vector<std::string> out;
    if (static_cast<unsigned>(language) >= 4) {
        return out;
    }
    for (const RepairKind& kind : kRepairKinds) {
        const uint64_t count = repairs.*kind.count;
        if (count > 0) {
            out.push_back(WithCount(kind.pageWording[language][count == 1 ? 0 : 1], count));
        }
    }
    return out;
}

} // namespace korvane
