// The engine's fast loops: channel messages with short deltas, the bulk of any file, walked
// without a bound check per byte. Everything they leave (system and meta events, long deltas,
// the end of the data) goes to the checked path in MidiEngine.cpp.
#include "midi/MidiEngine.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace korvane {

static_assert(std::endian::native == std::endian::little,
              "the fast loops read events and write delta codes as little-endian words");

namespace {
// Each event is read as one eight-byte word.
constexpr ptrdiff_t kFastInputMargin = 8;
// The most a fast-loop event stores: a two-byte delta, the repair's four bytes, then a
// four-byte word; or an eight-byte word when events are copied.
constexpr size_t kFastOutput = 12;
} // namespace

void MidiEngine::WalkEventsFast() {
    if (m_end - m_cursor < kFastInputMargin || m_runningStatus == 0) {
        // The window's last bytes, or a track's, and a track's first events before a channel
        // status: each event goes the checked path.
        return;
    }
    // Here, before a loop takes the level pointer into a register: taking room may move it.
    if (m_levelLimit - m_levelHead < static_cast<ptrdiff_t>(kLevelBlock / 2)) {
        GrowLevels();
    }
    if (m_copyEvents) {
        CopyEventsFast();
    } else if (!m_speedRule.StepsExact()) {
        return; // a speed beyond any the window or command line take: the checked path's
    } else if (!m_eliminateStuckNotes) {
        RewriteEventsFast<false>();
    } else {
        RewriteEventsFast<true>();
    }
}

size_t MidiEngine::FastEventCount() {
    if (m_end - m_cursor < kFastInputMargin) {
        return 0;
    }
    // An event here reads at most five bytes, stores at most kFastOutput bytes and records at
    // most one level, so this many events stay within every bound, the word read ahead after
    // the last of them too; and the remainder is read back before the speed rule's steps could
    // stray.
    const size_t byInput = static_cast<size_t>(m_end - kFastInputMargin - m_cursor) / 5;
    const size_t byOutput =
        static_cast<size_t>(m_writer.HeadLimit() - m_writer.Head()) / kFastOutput + 1;
    const auto levelRoom = static_cast<size_t>(m_levelLimit - m_levelHead);
    return std::min({byInput, byOutput, levelRoom > 0 ? levelRoom - 1 : 0,
                     size_t{SpeedRule::kStepsBetweenReads}});
}

// Both loops keep everything in locals, so the compiler keeps it in registers: a store through
// a byte pointer could otherwise alias any member. Choices are made with masks and table
// lookups instead of branches, because event kinds and running status follow no pattern a
// branch predictor could learn; only what ends a loop, rarely, is a branch. The next event's
// address waits on nothing but the load of the event, at most one table lookup and a few
// register operations.

template <bool Repair> void MidiEngine::RewriteEventsFast() {
    if (m_clock.lead != 0) {
        return; // the checked path places events while the one-tick minimum holds them ahead
    }
    const uint8_t* in = m_cursor;
    uint8_t* out = m_writer.Head();
    uint8_t* levels = m_levelHead;
    const SpeedRule::Step* const steps = m_speedRule.Steps();
    uint32_t fraction = m_speedRule.FractionOf(m_clock.remainder);
    uint32_t running = m_runningStatus;
    uint64_t noteOffs = 0;

    // Every event reads two bytes or more, so no more than FastEventCount() events start
    // before this.
    const uint8_t* const inLimit = in + 2 * FastEventCount();
    // Each event's word is read as soon as the event before it is found to end, ahead of that
    // event's writing, which nothing waits on.
    uint64_t nextWord = 0;
    std::memcpy(&nextWord, in, sizeof nextWord);
    while (in < inLimit) {
        const uint64_t word = nextWord;
        // 8 when the delta continues into a second byte: two operations, and the byte after the
        // delta one shift from a word shifted ahead, since the next event's start waits on both.
        const auto secondDeltaBits = static_cast<uint32_t>(word >> 4) & 8;
        const uint32_t deltaEnd = 8 + secondDeltaBits;
        // The delta's bytes most significant first, the first alone when it does not continue.
        const auto low = static_cast<uint16_t>(word);
        const uint32_t bothBytes = static_cast<uint16_t>((low << 8) | (low >> 8));
        const SpeedRule::Step& step = steps[(bothBytes << deltaEnd) >> 16];
        // A tick carries exactly when the fraction overflows.
        const uint32_t nextFraction = fraction + step.fraction;
        const uint16_t code = nextFraction < fraction ? step.carried : step.plain;
        uint64_t rest = (word >> 8) >> secondDeltaBits;
        const auto status0 = static_cast<uint32_t>(rest & 0xFF);
        const uint32_t explicitStatus = status0 >> 7;
        const uint32_t nextRunning = explicitStatus != 0 ? status0 : running;
        const RewriteInfo* const info = &m_rewriteInfo[nextRunning];
        rest >>= 8 * explicitStatus;
        // Deltas of three bytes or more, long or pushed results, system or meta events and
        // events broken off by a status byte are left to the checked path.
        if ((code == SpeedRule::kLongCode) | (status0 >= 0xF0) || (rest & info->dataHigh) != 0) {
            break;
        }
        fraction = nextFraction;
        in += 1 + (secondDeltaBits >> 3) +
              ((m_rewriteInfo[running].tails >> ((status0 >> 3) & 0x1E)) & 3);
        std::memcpy(&nextWord, in, sizeof nextWord);
        running = nextRunning;
        std::memcpy(out, &code, sizeof code);
        out += 1 + ((code & 0xFF) >> 7);
        const auto first = static_cast<uint32_t>(rest & 0xFF);
        const auto second = static_cast<uint32_t>((rest >> 8) & 0xFF);
        const uint32_t row = m_levelRows[info->kindRow + first];
        const SecondByte& written = m_secondByte[row + second];
        uint32_t statusWritten = explicitStatus;
        if constexpr (Repair) {
            // A Note Off of the same key before every Note On, the status then written again;
            // stored whatever the event, and kept only for a Note On.
            const uint32_t noteOff = info->noteOff | (first << 8);
            std::memcpy(out, &noteOff, sizeof noteOff);
            out += info->repairBytes;
            // Counted as in NoteMet; the rows of other kinds never hold a key.
            uint8_t& held = m_sounding[info->heldRow | first];
            noteOffs += held & written.sounds;
            held = static_cast<uint8_t>(written.sounds);
            statusWritten |= info->statusAgain;
        }
        // Status (written over where it is not kept), then the data bytes; the second is
        // stored even for a single data byte, where the next event's bytes overwrite it.
        out[0] = info->status;
        const auto data = static_cast<uint32_t>(rest);
        std::memcpy(out + statusWritten, &data, sizeof data);
        out[statusWritten + 1] = static_cast<uint8_t>(written.written);
        out += statusWritten + info->dataBytes;
        *levels = static_cast<uint8_t>(second);
        levels += row >> 8;
    }
    m_cursor = in;
    m_writer.SetHead(out);
    m_levelHead = levels;
    m_runningStatus = static_cast<uint8_t>(running);
    m_clock.remainder = m_speedRule.RemainderOf(fraction);
    m_repairs.noteOffsInserted += noteOffs;
}

void MidiEngine::CopyEventsFast() {
    const uint8_t* in = m_cursor;
    uint8_t* out = m_writer.Head();
    uint8_t* levels = m_levelHead;
    uint32_t running = m_runningStatus;

    // Bounded, read ahead and found as in RewriteEventsFast.
    const uint8_t* const inLimit = in + 2 * FastEventCount();
    uint64_t nextWord = 0;
    std::memcpy(&nextWord, in, sizeof nextWord);
    while (in < inLimit) {
        const uint64_t word = nextWord;
        const auto secondDeltaBits = static_cast<uint32_t>(word >> 4) & 8;
        const uint32_t continued = secondDeltaBits >> 3;
        uint64_t rest = (word >> 8) >> secondDeltaBits;
        const auto status0 = static_cast<uint32_t>(rest & 0xFF);
        const uint32_t explicitStatus = status0 >> 7;
        const uint32_t nextRunning = explicitStatus != 0 ? status0 : running;
        const RewriteInfo* const info = &m_rewriteInfo[nextRunning];
        rest >>= 8 * explicitStatus;
        // Deltas of three bytes or more, deltas not in their shortest form (the checked path
        // writes them shortest), system or meta events and events broken off by a status byte
        // are left to the checked path.
        const uint32_t longDelta = continued & (((word >> 15) & 1) | ((word & 0x7F) == 0));
        if ((longDelta | (status0 >= 0xF0)) || (rest & info->dataHigh) != 0) {
            break;
        }
        const uint32_t length =
            1 + continued + ((m_rewriteInfo[running].tails >> ((status0 >> 3) & 0x1E)) & 3);
        in += length;
        std::memcpy(&nextWord, in, sizeof nextWord);
        running = nextRunning;
        // The event as read; the bytes stored beyond it are overwritten by the next event.
        std::memcpy(out, &word, sizeof word);
        const auto first = static_cast<uint32_t>(rest & 0xFF);
        const auto second = static_cast<uint32_t>((rest >> 8) & 0xFF);
        const uint32_t row = m_levelRows[info->kindRow + first];
        // The second data byte's place; past the event when it has a single data byte.
        out[1 + continued + explicitStatus + 1] =
            static_cast<uint8_t>(m_secondByte[row + second].written);
        out += length;
        *levels = static_cast<uint8_t>(second);
        levels += row >> 8;
    }
    m_cursor = in;
    m_writer.SetHead(out);
    m_levelHead = levels;
    m_runningStatus = static_cast<uint8_t>(running);
}

} // namespace korvane
