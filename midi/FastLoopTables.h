#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace korvane {

// Where the stuck-note repair holds a key: Note Off and Note On of a channel share the channel's
// row of keys; the other kinds of channel event have rows of their own after them, which the
// fast loop writes without a branch and nothing reads.
constexpr uint32_t HeldSlot(uint32_t status, uint32_t key) {
    return ((status & 0x6F) << 7) | key;
}

// Data bytes of a channel message: one for Program Change and Channel Pressure, else two.
constexpr uint32_t DataBytes(uint32_t status) {
    return 2 - ((status & 0xE0) == 0xC0);
}

// How many bytes follow an event's delta time, by the high nibble of the byte after it, two
// bits a nibble: status and data for channel statuses (kinds 8 to E), the running status's data
// for data bytes (kinds 0 to 7), none with no running status. System kinds stay 0: the fast
// loops leave them to the checked path. Found by the running status, which is known an event
// ahead, so that finding the next event waits on no load but the event's own.
constexpr uint32_t TailLengths(uint32_t running) {
    constexpr uint32_t kChannelStatuses = 0x3AFF0000; // 3, 3, 3, 3, 2, 2, 3 for kinds 8 to E
    const uint32_t kind = running >> 4;
    const uint32_t runningData = kind < 8 || kind == 0xF ? 0 : DataBytes(running);
    return kChannelStatuses | (runningData * 0x5555);
}

// Bit 7 of each data byte of an event of a running status: set there, a status byte broke the
// event off.
constexpr uint32_t DataHighBits(uint32_t running) {
    const uint32_t kind = running >> 4;
    return kind < 8 || kind == 0xF ? 0 : DataBytes(running) == 2 ? 0x8080 : 0x80;
}

// The second data byte as written, found by a row plus the byte as read: unchanged in the first
// row, mapped in the others. The last row is the Note On's, whose entries also tell whether the
// key sounds, so that counting the repair takes no compare. A row is 256 or more exactly where
// the event carries a level.
struct SecondByte {
    uint32_t sounds;
    uint32_t written;
};
constexpr uint32_t kLevelRow = 0x100;
constexpr uint32_t kNoteOnRow = 0x180; // levels are data bytes: below 0x80
constexpr size_t kSecondBytes = 0x200;

// By a row of the running status's kind and the first data byte, the row of the second data
// byte: kinds without a level, kinds with one whatever the first byte, Control Change (a level
// for controller 7), Note On.
constexpr uint32_t kKindRowSize = 256;
enum KindRow : uint16_t {
    kNoLevel = 0,
    kAlwaysLevel = kKindRowSize,
    kVolumeLevel = 2 * kKindRowSize,
    kNoteOnLevel = 3 * kKindRowSize
};
constexpr std::array<uint16_t, 4 * kKindRowSize> BuildLevelRows() {
    std::array<uint16_t, 4 * kKindRowSize> rows{};
    for (uint32_t first = 0; first < kKindRowSize; ++first) {
        rows[kAlwaysLevel + first] = kLevelRow;
        rows[kVolumeLevel + first] = first == 7 ? kLevelRow : 0;
        rows[kNoteOnLevel + first] = kNoteOnRow;
    }
    return rows;
}

constexpr KindRow LevelKindRow(uint32_t running) {
    const uint32_t kind = running >> 4;
    return kind == 0x9                  ? kNoteOnLevel
           : kind == 0x8 || kind == 0xA ? kAlwaysLevel
           : kind == 0xB                ? kVolumeLevel
                                        : kNoLevel;
}

// What the fast loops look up of a running status, worked out once: TailLengths, DataHighBits and
// its row of the level rows (all the copying loop takes), the data bytes written, the Note Off
// the repair writes before a Note On (status, key 0 here, release velocity, delta 0) with its
// length, whether the status is then written again, the row of the held keys and the status
// itself. Some fields follow from others (the repair's length from statusAgain, the data bytes
// from tails): each is kept as the loop adds it, so the loop computes nothing of them.
struct RewriteInfo {
    uint32_t tails;
    uint32_t noteOff;
    uint32_t repairBytes;
    uint32_t statusAgain;
    uint32_t dataBytes;
    uint16_t dataHigh;
    uint16_t heldRow;
    uint16_t kindRow;
    uint8_t status;
    uint8_t unused[5];
};
static_assert(sizeof(RewriteInfo) == 32, "a running status's row is found with one shift");

constexpr std::array<RewriteInfo, 256> BuildRewriteInfo(uint8_t releaseVelocity) {
    std::array<RewriteInfo, 256> table{};
    for (uint32_t running = 0; running < 256; ++running) {
        const uint32_t kind = running >> 4;
        const bool channel = kind >= 8 && kind < 0xF;
        const uint32_t noteOn = kind == 0x9;
        table[running] = {TailLengths(running),
                          (running & 0xEF) | (uint32_t{releaseVelocity} << 16),
                          4 * noteOn,
                          noteOn,
                          channel ? DataBytes(running) : 0,
                          static_cast<uint16_t>(DataHighBits(running)),
                          static_cast<uint16_t>(HeldSlot(running, 0)),
                          LevelKindRow(running),
                          static_cast<uint8_t>(running),
                          {}};
    }
    return table;
}

} // namespace korvane
