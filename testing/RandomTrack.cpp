#include "testing/RandomTrack.h"

#include <algorithm>

namespace korvane {
namespace {
void PutVarLen(std::vector<uint8_t>& bytes, uint32_t v) {
    std::vector<uint8_t> groups{static_cast<uint8_t>(v & 0x7F)};
    while ((v >>= 7) != 0) {
        groups.insert(groups.begin(), static_cast<uint8_t>(0x80 | (v & 0x7F)));
    }
    bytes.insert(bytes.end(), groups.begin(), groups.end());
}
} // namespace

// A dense track has mostly deltas of a few ticks, as controller sweeps and drums have.
std::vector<uint8_t> RandomTrack(std::mt19937& random) {
    auto pick = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
    std::vector<uint8_t> track;
    const bool dense = pick(2) == 0;
    const uint32_t events = pick(400);
    for (uint32_t e = 0; e < events; ++e) {
        static const uint32_t deltas[] = {0, 1, 5, 127, 128, 300, 16383, 16384, 70000, 0x0FFFFFFF};
        if (pick(16) == 0) {
            track.push_back(0x80); // a delta not in its shortest form
        }
        if (pick(100) == 0) {
            // Five bytes: the delta keeps its low 32 bits, far above what a file holds.
            track.insert(track.end(), {0x8F, 0xFF, 0xFF, 0xFF, static_cast<uint8_t>(pick(128))});
        } else {
            const uint32_t roll = pick(8);
            PutVarLen(track, roll == 0 ? pick(200000) : dense ? pick(8) : deltas[pick(10)]);
        }
        const uint32_t kind = pick(20);
        if (kind == 0) {
            // A text, or a Key Signature that is whole now and then.
            track.insert(track.end(), {0xFF, static_cast<uint8_t>(pick(2) ? 0x01 : 0x59),
                                       static_cast<uint8_t>(pick(3)), 'h', 'i'});
            continue;
        }
        if (kind == 3) {
            // System Exclusive, now and then with a status byte in its data.
            track.insert(track.end(), {0xF0, 0x03, 0x7E, static_cast<uint8_t>(pick(0x90)), 0xF7});
            continue;
        }
        if (kind == 1) {
            track.push_back(static_cast<uint8_t>(pick(128))); // stray or running-status data
            continue;
        }
        if (kind == 2) {
            // A system message, with or without its data bytes.
            static const uint8_t kSystem[] = {0xF1, 0xF2, 0xF3, 0xF4, 0xF6, 0xF8, 0xFA, 0xFE};
            track.insert(track.end(), {kSystem[pick(8)], static_cast<uint8_t>(pick(128))});
            continue;
        }
        if (pick(3) != 0) {
            track.push_back(static_cast<uint8_t>(0x80 + pick(0x70)));
        }
        // Now and then a status byte where a data byte belongs: the event breaks off there.
        auto dataByte = [&] {
            return static_cast<uint8_t>(pick(40) == 0 ? 0x80 + pick(0x70) : pick(128));
        };
        track.push_back(pick(4) == 0 ? 7 : dataByte());
        track.push_back(dataByte());
    }
    if (pick(4) != 0) {
        track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    }
    track.resize(track.size() - std::min<size_t>(track.size(), pick(2) ? 0 : pick(4)));
    return track;
}

} // namespace korvane
