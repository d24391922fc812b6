// The engine against a plain model of the same rules, on random tracks that run through the
// fast loops and the checked path alike: running status, deltas of every length and padded
// ones, stray data bytes, events broken off by a status byte, system messages, meta events, and
// tracks cut short.
#include "midi/LevelMap.h"
#include "testing/RandomTrack.h"
#include "tests/midi/EngineRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <set>
#include <string>

namespace korvane {
namespace {
struct Model {
    int dynamicRange;
    int volume;
    int speed;
    bool repair;
    Bytes out;
    Bytes levels;
    std::set<std::pair<uint8_t, uint8_t>> sounding; // channel and key, held under the repair
    uint64_t noteOffs = 0;                          // written to a key still sounding
    // Input and output time of the track, and the times where the excess of a limited delta
    // was given up. 64 bits hold every time these tracks reach, times 100.
    uint64_t inputTime = 0;
    uint64_t outputTime = 0;
    uint64_t inputAnchor = 0;
    uint64_t outputAnchor = 0;
    uint8_t running = 0;
    uint64_t pending = 0;   // input ticks of the events dropped since the last one kept
    bool atStatus = false;  // the next event starts at a status byte, with no delta time
    bool statusDue = false; // a System Exclusive message came before: the status is written

    // Each event at outputAnchor + (inputTime - inputAnchor) * 100 / speed, truncated, and at
    // least one tick after the event before it; what a delta cannot hold is given up.
    uint32_t Speed(uint64_t delta) {
        if (delta == 0) {
            return 0;
        }
        if (speed == 0) {
            return 1;
        }
        inputTime += delta;
        const uint64_t target =
            outputAnchor + (inputTime - inputAnchor) * 100 / static_cast<uint64_t>(speed);
        const uint64_t written = std::max(target, outputTime + 1) - outputTime;
        if (written > 0x0FFFFFFF) {
            outputTime += 0x0FFFFFFF;
            inputAnchor = inputTime;
            outputAnchor = outputTime;
            return 0x0FFFFFFF;
        }
        outputTime += written;
        return static_cast<uint32_t>(written);
    }

    static void PutVarLen(Bytes& bytes, uint32_t v) {
        Bytes groups{static_cast<uint8_t>(v & 0x7F)};
        while ((v >>= 7) != 0) {
            groups.insert(groups.begin(), static_cast<uint8_t>(0x80 | (v & 0x7F)));
        }
        bytes.insert(bytes.end(), groups.begin(), groups.end());
    }

    enum class Outcome { Kept, Dropped, Cut };

    // Meta events shorter than their kind's data are dropped.
    static uint32_t MetaMinimum(uint8_t type) {
        switch (type) {
        case 0x20:
        case 0x21:
            return 1;
        case 0x51:
            return 3;
        case 0x54:
            return 5;
        case 0x58:
            return 4;
        case 0x59:
            return 2;
        default:
            return 0;
        }
    }

    // One event: kept, dropped (its delta time passing to the next one kept), or cut short by
    // the end of the track.
    Outcome Event(const Bytes& in, size_t& pos, Bytes& event, bool& end) {
        enum Read { kOk, kStatus, kEnd };
        auto next = [&](uint8_t& b) {
            if (pos >= in.size()) {
                return false;
            }
            b = in[pos++];
            return true;
        };
        auto data = [&](uint8_t& b) {
            if (pos >= in.size()) {
                return kEnd;
            }
            if (in[pos] & 0x80) {
                atStatus = true; // the event breaks off: the next one starts at this status
                return kStatus;
            }
            b = in[pos++];
            return kOk;
        };
        auto varLen = [&](uint32_t& value) {
            value = 0;
            uint8_t b = 0;
            do {
                if (!next(b)) {
                    return false;
                }
                value = (value << 7) | (b & 0x7F);
            } while (b & 0x80);
            return true;
        };
        uint32_t delta = 0;
        if (!atStatus && !varLen(delta)) {
            return Outcome::Cut;
        }
        atStatus = false;
        pending += delta; // no track here drops enough events to reach the engine's limit
        if (pos >= in.size()) {
            return Outcome::Cut;
        }
        uint8_t status = in[pos];
        const bool implied = !(status & 0x80);
        if (implied && running == 0) {
            while (pos < in.size() && in[pos] < 0x80) {
                ++pos;
            }
            atStatus = pos < in.size();
            return Outcome::Dropped;
        }
        pos += implied ? 0 : 1;
        status = implied ? running : status;
        Bytes body;
        uint8_t k = 0;
        uint8_t v = 0;
        const uint8_t kind = status >> 4;
        if (kind != 0xF) {
            const Read first = data(k);
            const Read second = first != kOk || kind == 0xC || kind == 0xD ? first : data(v);
            if (first != kOk || second != kOk) {
                return first == kEnd || second == kEnd ? Outcome::Cut : Outcome::Dropped;
            }
            running = status;
            if (!implied || statusDue) {
                body.push_back(status); // after a System Exclusive message, written anyway
            }
        }
        switch (kind) {
        case 0x8:
        case 0x9:
        case 0xA:
        case 0xB:
            if (kind <= 0x9 && repair) {
                const std::pair<uint8_t, uint8_t> key{status & 0x0F, k};
                if (kind == 0x9 && v != 0) {
                    noteOffs += sounding.contains(key);
                    sounding.insert(key);
                } else {
                    sounding.erase(key);
                }
            }
            if (kind == 0x9 && repair) {
                if (!body.empty()) {
                    body.pop_back();
                }
                body.insert(body.end(), {static_cast<uint8_t>(status & 0xEF), k, 64, 0, status});
            }
            if (kind != 0xB || k == 7) {
                levels.push_back(v);
                v = MapLevel(v, dynamicRange, volume);
            }
            body.insert(body.end(), {k, v});
            break;
        case 0xC:
        case 0xD:
            body.push_back(k);
            break;
        case 0xE:
            body.insert(body.end(), {k, v});
            break;
        default:
            if (status == 0xF0 || status == 0xF7) {
                const size_t lengthStart = pos;
                uint32_t length = 0;
                if (!varLen(length) || length > in.size() - pos) {
                    return Outcome::Cut;
                }
                const auto content = in.begin() + static_cast<long>(pos);
                pos += length;
                const bool closed = length > 0 && in[pos - 1] == 0xF7;
                if (status == 0xF0 && std::any_of(content, content + length - closed,
                                                  [](uint8_t b) { return b >= 0x80; })) {
                    return Outcome::Dropped;
                }
                body.push_back(status);
                body.insert(body.end(), in.begin() + static_cast<long>(lengthStart),
                            in.begin() + static_cast<long>(pos));
                statusDue = true;
            } else if (status != 0xFF) {
                // No place in a file: dropped with the data bytes it carries.
                const size_t count = status == 0xF2 ? 2 : (status == 0xF1 || status == 0xF3);
                for (size_t i = 0; i < count; ++i) {
                    const Read read = data(k);
                    if (read != kOk) {
                        return read == kEnd ? Outcome::Cut : Outcome::Dropped;
                    }
                }
                return Outcome::Dropped;
            } else {
                uint8_t type = 0;
                uint32_t length = 0;
                if (!next(type) || !varLen(length) || length > in.size() - pos) {
                    return Outcome::Cut;
                }
                end = type == 0x2F;
                if (!end && length < MetaMinimum(type)) {
                    pos += length;
                    return Outcome::Dropped;
                }
                body.insert(body.end(), {0xFF, type});
                PutVarLen(body, end ? 0 : length);
                if (!end) {
                    body.insert(body.end(), in.begin() + static_cast<long>(pos),
                                in.begin() + static_cast<long>(pos + length));
                }
                pos += length;
            }
        }
        PutVarLen(event, Speed(pending));
        pending = 0;
        statusDue = statusDue && kind == 0xF;
        event.insert(event.end(), body.begin(), body.end());
        return Outcome::Kept;
    }

    void Walk(const Bytes& in) {
        size_t pos = 0;
        bool end = false;
        while (pos < in.size() && !end) {
            Bytes event;
            const Outcome outcome = Event(in, pos, event, end);
            if (outcome == Outcome::Cut) {
                break;
            }
            if (end) {
                event.resize(event.size() - 3); // the End of Track's delta stays, for the releases
                Release(event, true);
                event.insert(event.end(), {0xFF, 0x2F, 0x00});
            }
            out.insert(out.end(), event.begin(), event.end());
        }
        if (!end) {
            Release(out, false);
            out.insert(out.end(), {0xFF, 0x2F, 0x00});
        }
    }

    // Note Offs for the keys still held, each after delta 0 but the first when its delta is
    // there; then the delta 0 of the End of Track when any was written.
    void Release(Bytes& bytes, bool deltaThere) {
        noteOffs += sounding.size();
        for (const auto& [channel, key] : sounding) {
            if (!deltaThere) {
                bytes.push_back(0x00);
            }
            bytes.insert(bytes.end(), {static_cast<uint8_t>(0x80 | channel), key, 64});
            deltaThere = false;
        }
        if (!deltaThere) {
            bytes.push_back(0x00);
        }
        sounding.clear();
    }
};

// Where two byte strings first differ, with a few bytes of each from there, for a readable failure.
std::string FirstDifference(const Bytes& got, const Bytes& want) {
    size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i]) {
        ++i;
    }
    auto around = [i](const Bytes& bytes) {
        std::string text;
        for (size_t j = i >= 4 ? i - 4 : 0; j < std::min(bytes.size(), i + 8); ++j) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02x ", bytes[j]);
            text += hex;
        }
        return text;
    };
    return "offset " + std::to_string(i) + ": got " + around(got) + "/ want " + around(want);
}

TEST(MidiEngineModel, AgreesOnRandomTracks) {
    std::mt19937 random(1234);
    static constexpr std::array<int, 13> kSpeeds{100, 50,  200, 1,  0,      333,       37,
                                                 80,  150, 400, 70, 100000, 2147483647};
    for (int round = 0; round < 2000; ++round) {
        const int speed = random() % 2 == 0 ? kSpeeds[random() % kSpeeds.size()]
                                            : static_cast<int>(1 + random() % 400);
        Model model{static_cast<int>(random() % 1001),
                    static_cast<int>(random() % 1001),
                    speed,
                    random() % 2 == 0,
                    {},
                    {},
                    {}};
        const Bytes track = RandomTrack(random);
        model.Walk(track);

        // Whole, and a window at a time: the answers must not depend on where windows end.
        for (const size_t window : {size_t{0}, kWindows[round % std::size(kWindows)]}) {
            const WalkResult result = Walk(
                {model.dynamicRange, model.volume, model.speed, model.repair}, track, true, window);
            ASSERT_TRUE(result.written == model.out)
                << "round " << round << " window " << window << ": "
                << FirstDifference(result.written, model.out);
            ASSERT_EQ(result.levels, model.levels) << "round " << round << " window " << window;
            ASSERT_EQ(result.trackBytes, static_cast<int64_t>(model.out.size()));
            ASSERT_EQ(result.repairs.noteOffsInserted, model.noteOffs) << "round " << round;
        }
    }
}
} // namespace
} // namespace korvane
