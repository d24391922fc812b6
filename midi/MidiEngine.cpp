#include "MidiEngine.h"

#include <algorithm>
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
uint32_t DataBytes(uint32_t status) {
    return 2 - ((status & 0xE0) == 0xC0);
}
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
    const uint8_t* const table = m_levelTable.data();
    const uint16_t* const deltaCodes = m_speedRule.Codes();
    uint32_t running = m_runningStatus;

    for (; count > 0; --count) {
        // One load brings the whole event (at most five bytes here): the next event's address
        // then follows from register arithmetic instead of a chain of dependent loads.
        uint64_t word = 0;
        std::memcpy(&word, in, sizeof word);
        const uint32_t b0 = word & 0xFF;
        const uint32_t b1 = (word >> 8) & 0xFF;
        const uint32_t continued = b0 >> 7;
        const uint32_t deltaMask = 0u - continued;
        const uint32_t delta = ((b0 & 0x7F) << (7 & deltaMask)) | (b1 & deltaMask);
        const uint32_t deltaBytes = 1 + continued;
        uint64_t rest = word >> (8 * deltaBytes);
        const uint32_t status0 = rest & 0xFF;
        const uint16_t code = deltaCodes[delta & (SpeedRule::kTableSize - 1)];
        // Deltas of three bytes or more, long results and system or meta events are left to
        // the checked path.
        if ((continued & (b1 >> 7)) | (code == SpeedRule::kLongCode) | (status0 >= 0xF0)) {
            break;
        }
        std::memcpy(out, &code, sizeof code);
        out += 1 + ((code & 0xFF) >> 7);
        const uint32_t explicitStatus = status0 >> 7;
        const uint32_t status = explicitStatus != 0 ? status0 : running;
        if (status == 0) {
            in += deltaBytes; // a data byte with no running status: read again as a delta time
            continue;
        }
        running = status;
        *out = static_cast<uint8_t>(status);
        out += explicitStatus;
        rest >>= 8 * explicitStatus;
        const auto first = static_cast<uint8_t>(rest);
        const auto second = static_cast<uint8_t>(rest >> 8);
        // Worked out without a table: the next event's address waits on it.
        const uint32_t dataBytes = DataBytes(status);
        in += deltaBytes + explicitStatus + dataBytes;
        // Note Off, Note On and Key Pressure (kinds 8 to A) carry a level; Control Change (B)
        // only for controller 7.
        const uint32_t kind = status >> 4;
        const uint32_t isLevel = ((0x0700u >> kind) & 1) | ((kind == 0xB) & (first == 7));
        if constexpr (Repair) {
            // A Note Off of the same key before every Note On, then the status again; written
            // whatever the event, and kept only for a Note On.
            const uint32_t repairs = kind == 0x9;
            out -= explicitStatus & repairs;
            out[0] = static_cast<uint8_t>(status & 0xEF);
            out[1] = first;
            out[2] = kReleaseVelocity;
            out[3] = 0x00;
            out[4] = static_cast<uint8_t>(status);
            out += 5 * repairs;
        }
        const uint8_t mapped = table[second];
        out[0] = first;
        out[1] = isLevel ? mapped : second;
        out += dataBytes;
        *levels = second;
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
