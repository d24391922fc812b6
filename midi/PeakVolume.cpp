#include "midi/PeakVolume.h"

#include "midi/Adjustments.h"
#include "midi/LevelMap.h"

#include <algorithm>

namespace korvane {
namespace {
// The first volume in lowest..highest for which passes is false; passes must hold for a
// leading run of volumes only.
template <typename Test> int FirstFailing(Test passes) {
    int low = Adjustments::kLevelLowest;
    int high = Adjustments::kLevelHighest + 1;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (passes(middle)) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}
} // namespace

int PeakVolume(unsigned loudest, int dynamicRange, int target) {
    if (loudest == 0) {
        return Adjustments::kLevelNeutral;
    }
    const auto level = [&](int volume) { return int{MapLevel(loudest, dynamicRange, volume)}; };
    // The highest volume maps every level to 1, so a volume that does not pass always exists.
    const int first = FirstFailing([&](int volume) { return level(volume) > target; });
    const int best = level(first);
    const int last = FirstFailing([&](int volume) { return level(volume) >= best; }) - 1;
    return std::clamp(Adjustments::kLevelNeutral, first, last);
}

} // namespace korvane
