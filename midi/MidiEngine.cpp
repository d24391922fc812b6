#include "MidiEngine.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {
constexpr uint8_t kMetaEndOfTrack = 0x2F;
// Release velocity of the Note Off the repair inserts: the customary default.
constexpr uint8_t kReleaseVelocity = 64;
// The fast loop reads each event as one eight-byte word.
constexpr ptrdiff_t kFastInputMargin = 8;
// Levels taken into use at a time.
constexpr size_t kLevelBlock = 1 << 16;
// The most a fast-loop event writes: a two-byte delta, the repair's five bytes, two data bytes.
constexpr size_t kFastOutput = 12;
} // namespace

void MidiEngine::BeginPass(bool savePass, ByteSink* out) {
    m_savePass = savePass;
    m_out = savePass ? out : nullptr;
    m_levelTable = BuildLevelTable(m_dynamicRange, m_volume);
    for (unsigned v = 0; v < 256; ++v) {
        m_secondByte[v] = static_cast<uint8_t>(v);
        m_secondByte[256 + v] = m_levelTable[v];
    }
    m_speedRule = SpeedRule(m_speedPercent);
}

void MidiEngine::CopyHeader(const uint8_t* data, uint32_t length) {
    if (m_out != nullptr && length > 0) {
        m_out->Write(data, length);
    }
}

void MidiEngine::WalkTrack(const uint8_t* data, uint32_t length) {
    m_cursor = data;
    m_end = data + length;
    m_runningStatus = 0;
    m_writer.BeginTrack(m_out);
    ReserveLevels(length);
    try {
        for (;;) {
            m_writer.MarkEvent();
            WalkEventsFast();
            m_writer.MarkEvent();
            if (m_cursor == m_end) {
                break;
            }
            m_writer.WriteVarLen(m_speedRule(ReadVarLen()));
            if (WalkEvent()) {
                m_writer.EndTrack();
                m_levels.resize(static_cast<size_t>(m_levelHead - m_levels.data()));
                return;
            }
        }
    } catch (const EndOfData&) {
        // The last event is incomplete: drop it whole.
        m_writer.DropEvent();
    }
    CloseTrack();
}

void MidiEngine::CloseTrack() {
    // A track cut short is closed so that the written file stays well-formed.
    m_writer.EmitByte(0x00);
    m_writer.EmitByte(0xFF);
    m_writer.EmitByte(kMetaEndOfTrack);
    m_writer.EmitByte(0x00);
    m_writer.EndTrack();
    m_levels.resize(static_cast<size_t>(m_levelHead - m_levels.data()));
}

void MidiEngine::ReserveLevels(uint32_t length) {
    // A level takes three bytes of the chunk at least (delta, key or controller, value), so a
    // track holds at most length / 3 of them; one more slot lets the fast loop store ahead.
    // The room is reserved at once, so that taking it into use never moves the levels, but it
    // is taken a block at a time, so that memory is touched only as levels arrive.
    const size_t used = m_levels.size();
    m_levelReserve = used + length / 3 + 2;
    if (m_levelReserve > m_levels.capacity()) {
        m_levels.reserve(std::max(m_levelReserve, m_levels.capacity() + m_levels.capacity() / 2));
    }
    m_levelHead = m_levels.data() + used;
    m_levelLimit = m_levelHead;
    GrowLevels();
}

void MidiEngine::GrowLevels() {
    const auto used = static_cast<size_t>(m_levelHead - m_levels.data());
    m_levels.resize(std::min(used + kLevelBlock, m_levelReserve)); // within the reserved room
    m_levelLimit = m_levels.data() + m_levels.size();
}

static_assert(std::endian::native == std::endian::little,
              "the fast loop reads events and writes delta codes as little-endian words");

namespace {

// Data bytes of a channel message: one for Program Change and Channel Pressure, else two.
constexpr uint32_t DataBytes(uint32_t status) {
    return 2 - ((status & 0xE0) == 0xC0);
}

// What the fast loop needs to know of the running status, looked up rather than worked out.
struct RunningInfo {
    // How many bytes follow the next event's delta time, by the high nibble of the byte after
    // it, two bits a nibble: status and data for channel statuses (kinds 8 to E), this running
    // status's data for data bytes (kinds 0 to 7), none with no running status. System kinds
    // stay 0: the fast loop leaves them to the checked path.
    uint32_t tails;
    // The repair's Note Off before the key: status, key (0 here), release velocity, delta 0.
    uint32_t noteOff;
    // Bit 0: a level for any first data byte (kinds 8 to A); bit 1: a level when the first
    // data byte is 7 (those kinds, and controller 7 of Control Change).
    uint32_t levelKinds;
    uint32_t repairs; // 1 for Note On
};

constexpr std::array<RunningInfo, 256> BuildRunningInfo() {
    std::array<RunningInfo, 256> table{};
    for (uint32_t running = 0; running < 256; ++running) {
        constexpr uint32_t kChannelStatuses = 0x3AFF0000; // 3, 3, 3, 3, 2, 2, 3 for kinds 8 to E
        const uint32_t kind = running >> 4;
        const uint32_t runningData = kind < 8 || kind == 0xF ? 0 : DataBytes(running);
        const uint32_t levelAlways = kind >= 8 && kind <= 0xA;
        table[running] = {kChannelStatuses | (runningData * 0x5555),
                          (running & 0xEF) | (uint32_t{kReleaseVelocity} << 16),
                          levelAlways | ((levelAlways | (kind == 0xB)) << 1), kind == 0x9};
    }
    return table;
}
constexpr std::array<RunningInfo, 256> kRunningInfo = BuildRunningInfo();

// Which bytes index the delta codes: the first alone, or both when the first continues.
constexpr uint32_t kDeltaIndexMask[2] = {0x7F, 0xFFFF};
} // namespace

void MidiEngine::WalkEventsFast() {
    if (m_eliminateStuckNotes) {
        WalkEventsFast<true>();
    } else {
        WalkEventsFast<false>();
    }
}

template <bool Repair> void MidiEngine::WalkEventsFast() {
    // Everything lives in locals, so the compiler keeps it in registers: a store through a
    // byte pointer could otherwise alias any member. The common case (a channel message with a
    // delta of one or two bytes) is decided with selects instead of branches, because event
    // kinds and running status follow no pattern a branch predictor could learn.
    const uint8_t* in = m_cursor;
    if (m_end - in < kFastInputMargin) {
        return;
    }
    uint8_t* out = m_writer.Head();
    if (m_levelLimit - m_levelHead < static_cast<ptrdiff_t>(kLevelBlock / 2)) {
        GrowLevels();
    }
    uint8_t* levels = m_levelHead;
    // An event here reads at most five bytes, writes at most kFastOutput bytes and records at
    // most one level, so this many events stay within every bound.
    const size_t byInput = static_cast<size_t>(m_end - kFastInputMargin - in) / 5 + 1;
    const size_t byOutput = static_cast<size_t>(m_writer.HeadLimit() - out) / kFastOutput + 1;
    const auto levelRoom = static_cast<size_t>(m_levelLimit - levels);
    size_t count = std::min({byInput, byOutput, levelRoom > 0 ? levelRoom - 1 : 0});
    const uint8_t* const secondByte = m_secondByte.data();
    const uint16_t* const deltaCodes = m_speedRule.Codes();
    uint32_t running = m_runningStatus;
    const RunningInfo* info = &kRunningInfo[running];

    for (; count > 0; --count) {
        // One load brings the whole event (at most five bytes here), and the next event's
        // address follows from it by register arithmetic.
        uint64_t word = 0;
        std::memcpy(&word, in, sizeof word);
        const uint32_t continued = (word >> 7) & 1;
        const uint16_t code = deltaCodes[word & kDeltaIndexMask[continued]];
        uint64_t rest = word >> (8 + 8 * continued);
        const auto status0 = static_cast<uint32_t>(rest & 0xFF);
        // Deltas of three bytes or more, long results and system or meta events are left to
        // the checked path.
        if ((code == SpeedRule::kLongCode) | (status0 >= 0xF0)) {
            break;
        }
        const uint32_t tail = (info->tails >> ((status0 >> 3) & 0x1E)) & 3;
        in += 1 + continued + tail;
        std::memcpy(out, &code, sizeof code);
        out += 1 + ((code & 0xFF) >> 7);
        // A mask rather than a conditional, so that the compiler cannot turn the choice into a
        // branch: whether an event repeats its status follows no learnable pattern.
        const uint32_t explicitStatus = status0 >> 7;
        running ^= (status0 ^ running) & (0u - explicitStatus);
        info = &kRunningInfo[running];
        rest >>= 8 * explicitStatus;
        const auto first = static_cast<uint32_t>(rest & 0xFF);
        const auto second = static_cast<uint32_t>((rest >> 8) & 0xFF);
        // With no running status nothing but the delta is kept (tail 0, no level), and the
        // data byte is read again as a delta time.
        const uint32_t isLevel = (info->levelKinds >> (first == 7)) & 1;
        uint32_t statusWritten = explicitStatus;
        uint32_t written = tail;
        if constexpr (Repair) {
            // A Note Off of the same key before every Note On, the status then written again;
            // stored whatever the event, and kept only for a Note On.
            const uint32_t repairs = info->repairs;
            const uint32_t noteOff = info->noteOff | (first << 8);
            std::memcpy(out, &noteOff, sizeof noteOff);
            out += 4 * repairs;
            written += repairs & (explicitStatus ^ 1);
            statusWritten |= repairs;
        }
        // Status (when written), then the data bytes; the second is stored even for a single
        // data byte, where the next event's bytes overwrite it.
        const auto event =
            static_cast<uint32_t>(((rest << 8) | running) >> (8 * (statusWritten ^ 1)));
        std::memcpy(out, &event, sizeof event);
        out[statusWritten + 1] = secondByte[(isLevel << 8) | second];
        out += written;
        *levels = static_cast<uint8_t>(second);
        levels += isLevel;
    }
    m_cursor = in;
    m_writer.SetHead(out);
    m_levelHead = levels;
    m_runningStatus = static_cast<uint8_t>(running);
}

uint32_t MidiEngine::ReadVarLen() {
    uint32_t value = 0;
    uint8_t byte = 0;
    do {
        byte = ReadByte();
        value = (value << 7) | (byte & 0x7F);
    } while (byte & 0x80);
    return value;
}

uint32_t MidiEngine::ReadDataLength() {
    const uint32_t length = ReadVarLen();
    if (length > static_cast<size_t>(m_end - m_cursor)) {
        throw EndOfData{};
    }
    return length;
}

bool MidiEngine::WalkEvent() {
    uint8_t status = ReadByte();
    bool statusImplied = false;
    if (status & 0x80) {
        m_writer.EmitByte(status);
        if (status < 0xF0) {
            m_runningStatus = status; // only channel messages set the running status
        }
    } else {
        UnreadByte();
        status = m_runningStatus;
        statusImplied = true;
    }
    switch (status >> 4) {
    case 0x8: // Note Off
    case 0xA: // Polyphonic Key Pressure
        HandleLevelEvent();
        break;
    case 0x9:
        HandleNoteOn(status, statusImplied);
        break;
    case 0xB:
        HandleControlChange();
        break;
    case 0xC: // Program Change
    case 0xD: // Channel Pressure
        CopyBytes(1);
        break;
    case 0xE: // Pitch Bend
        CopyBytes(2);
        break;
    case 0xF:
        return HandleSystemEvent(status);
    default:
        // A data byte with no running status: it is read again as the next delta time.
        break;
    }
    return false;
}

void MidiEngine::HandleLevelEvent() {
    const uint8_t key = ReadByte();
    const uint8_t level = ReadByte();
    RecordLevel(level);
    m_writer.EmitByte(key);
    m_writer.EmitByte(MapLevel(level));
}

void MidiEngine::HandleNoteOn(uint8_t status, bool statusImplied) {
    const uint8_t key = ReadByte();
    const uint8_t velocity = ReadByte();
    RecordLevel(velocity);
    if (m_eliminateStuckNotes) {
        if (!statusImplied) {
            m_writer.StepBack();
        }
        m_writer.EmitByte(status & 0xEF);
        m_writer.EmitByte(key);
        m_writer.EmitByte(kReleaseVelocity);
        m_writer.WriteVarLen(0);
        m_writer.EmitByte(status);
    }
    m_writer.EmitByte(key);
    m_writer.EmitByte(MapLevel(velocity));
}

void MidiEngine::HandleControlChange() {
    const uint8_t controller = ReadByte();
    uint8_t value = ReadByte();
    if (controller == 7) {
        RecordLevel(value);
        value = MapLevel(value);
    }
    m_writer.EmitByte(controller);
    m_writer.EmitByte(value);
}

void MidiEngine::CopyBytes(unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        m_writer.EmitByte(ReadByte());
    }
}

bool MidiEngine::HandleSystemEvent(uint8_t status) {
    switch (status) {
    case 0xF0:   // System Exclusive
    case 0xF7: { // escape: both carry their length, copied exactly as stored
        const uint8_t* lengthStart = m_cursor;
        const uint32_t length = ReadDataLength();
        m_writer.EmitBlock(lengthStart, static_cast<size_t>(m_cursor - lengthStart) + length);
        m_cursor += length;
        return false;
    }
    case 0xF1: // MIDI Time Code quarter frame
    case 0xF3: // Song Select
        CopyBytes(1);
        return false;
    case 0xF2: // Song Position Pointer
        CopyBytes(2);
        return false;
    case 0xFF: {
        const uint8_t type = ReadByte();
        const uint32_t length = ReadDataLength();
        m_writer.EmitByte(type);
        if (type == kMetaEndOfTrack) {
            // Written with no data, as a well-formed End of Track has none.
            m_writer.WriteVarLen(0);
            return true;
        }
        m_writer.WriteVarLen(length);
        m_writer.EmitBlock(m_cursor, length);
        m_cursor += length;
        return false;
    }
    default: // the other system statuses carry no data
        return false;
    }
}
