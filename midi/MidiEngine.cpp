#include "midi/MidiEngine.h"

#include <algorithm>
#include <cstring>

namespace korvane {
namespace {
constexpr uint8_t kMetaEndOfTrack = 0x2F;
constexpr uint8_t kMetaSetTempo = 0x51;
constexpr uint32_t kTempoLength = 3;
// Ticks that every speed the adjustments allow takes beyond the largest delta a file holds.
constexpr uint64_t kMostPendingTicks = uint64_t{1} << 48;
static_assert(kMostPendingTicks * 100 / Adjustments::kSpeedHighest > kMaxDelta);

// The data bytes a meta event of a kind with data of a fixed size needs at least; 0 for the
// kinds of any size. A Sequence Number may have none, meaning the track's position.
uint32_t MetaDataBytes(uint8_t type) {
    switch (type) {
    case 0x20: // MIDI Channel Prefix
    case 0x21: // MIDI Port
        return 1;
    case kMetaSetTempo:
        return kTempoLength;
    case 0x54: // SMPTE Offset
        return 5;
    case 0x58: // Time Signature
        return 4;
    case 0x59: // Key Signature
        return 2;
    default:
        return 0;
    }
}
} // namespace

void MidiEngine::BeginPass(const Adjustments& adjustments, ByteSink* out, unsigned loudestNoteOn) {
    m_out = out;
    m_repairs = RepairCounts{};
    m_eliminateStuckNotes = adjustments.m_eliminateStuckNotes;
    m_levelTable = BuildLevelTable(adjustments.m_dynamicRange, adjustments.m_volume);
    m_gain = NoteGain::For(adjustments.m_peakLevel, loudestNoteOn, adjustments.m_dynamicRange,
                           adjustments.m_volume);
    m_noteOnTable = BuildNoteOnTable(m_levelTable, m_gain);
    for (uint32_t v = 0; v < kLevelRow; ++v) {
        m_secondByte[v] = {0, v};
    }
    for (uint32_t v = 0; v < kNoteOnRow - kLevelRow; ++v) {
        m_secondByte[kLevelRow + v] = {0, m_levelTable[v]};
        m_secondByte[kNoteOnRow + v] = {v != 0, m_noteOnTable[v]};
    }
    m_levelChannels = adjustments.m_levelChannels;
    m_markNoteOns = m_keepLevels && adjustments.m_peakLevel > 0;
    m_checkedOnly = m_levelChannels != Adjustments::kAllChannels || m_markNoteOns;
    m_findLoudest = false;
    m_loudestNoteOn = loudestNoteOn;
    m_headerRead = 0;
    m_format = 1;
    m_trackIndex = 0;
    m_speedPercent = adjustments.m_speedPercent;
    m_tempoRule = TempoRule::Requested(adjustments);
    m_scaleTempos = m_tempoRule.IsRequested();
    SetSpeed(m_scaleTempos ? Adjustments::kSpeedNeutral : m_speedPercent);
}

void MidiEngine::BeginLoudestPass(const Adjustments& adjustments) {
    BeginPass(adjustments, nullptr);
    m_findLoudest = true;
    m_markNoteOns = false; // its levels are dropped
    m_checkedOnly = true;
}

void MidiEngine::SetSpeed(int percent) {
    if (m_speedRule.Percent() != percent) {
        m_speedRule = SpeedRule(percent); // its tables are built once per speed
    }
    m_copyEvents = m_speedRule.IsIdentity() && !m_eliminateStuckNotes;
}

void MidiEngine::CopyHeader(const uint8_t* data, uint32_t length) {
    if (m_out != nullptr && length > 0) {
        m_out->Write(data, length);
    }
    const uint32_t part = std::min<uint32_t>(length, sizeof m_header - m_headerRead);
    if (part == 0) {
        return;
    }
    std::memcpy(m_header + m_headerRead, data, part);
    m_headerRead += part;
    if (m_headerRead == sizeof m_header) {
        ReadHeader();
    }
}

void MidiEngine::ReadHeader() {
    m_format = static_cast<uint16_t>((m_header[0] << 8) | m_header[1]);
    const auto division = static_cast<uint16_t>((m_header[4] << 8) | m_header[5]);
    if (m_scaleTempos && !TempoRule::CountsTicks(division)) {
        m_scaleTempos = false; // SMPTE time has no tempo: the ticks are scaled instead
        SetSpeed(m_speedPercent);
    }
}

void MidiEngine::WalkTrack(const uint8_t* data, uint32_t length) {
    MemoryTrack track(data, length);
    WalkTrack(track);
}

void MidiEngine::WalkTrack(TrackSource& source) {
    m_source = &source;
    m_length = source.Length();
    LoadWindow(0);
    m_runningStatus = 0;
    m_pendingTicks = 0;
    m_atStatus = false;
    m_statusDue = false;
    m_clock = {};
    m_walkEnd = m_length;
    if (m_eliminateStuckNotes) {
        // Only the keys' rows ever hold a key; the other rows are only ever written 0.
        std::fill_n(m_sounding.begin(), kKeys, uint8_t{0});
    }
    m_writer.BeginTrack(m_out);
    ReserveLevels(m_length);
    const uint32_t trackIndex = m_trackIndex++;
    if (m_scaleTempos && m_headerRead > 0 && m_headerRead < sizeof m_header) {
        m_scaleTempos = false; // a header cut short shows no division: the ticks are scaled
        SetSpeed(m_speedPercent);
    }
    try {
        if (m_scaleTempos && TempoRule::HoldsTempoMap(m_format, trackIndex) && !StartsWithTempo()) {
            // Without it the track would play at the default tempo, unscaled.
            WriteTempo(TempoRule::kDefaultTempo);
        }
        for (;;) {
            m_writer.MarkEvent();
            if (FastLoopMayRun()) {
                WalkEventsFast();
            }
            m_writer.MarkEvent();
            if (AtChunkEnd()) {
                break;
            }
            // An event that runs past the window's end is completed from the next window.
            const uint32_t delta = m_atStatus ? 0 : ReadVarLen();
            m_atStatus = false;
            if (delta > kMaxDelta) [[unlikely]] {
                ++m_repairs.deltasTooLong; // damage: no file holds such a delta
            }
            m_pendingTicks = std::min(m_pendingTicks + delta, kMostPendingTicks);
            const TrackClock clock = m_clock;
            m_writer.WriteVarLen(m_speedRule.Next(m_clock, m_pendingTicks));
            const Walked walked = WalkEvent();
            if (walked == Walked::EndOfTrack) {
                m_writer.EndTrack();
                TrimLevels();
                return;
            }
            if (walked == Walked::Dropped) {
                // Its time goes to the next event kept.
                m_writer.DropEvent();
                m_clock = clock;
            } else {
                m_pendingTicks = 0;
            }
        }
    } catch (const EndOfData&) {
        // The last event is incomplete: drop it whole.
        m_writer.DropEvent();
        ++m_repairs.eventsDropped;
    } catch (...) {
        TrimLevels(); // a failed read or write ends the pass with the levels read so far
        throw;
    }
    CloseTrack();
}

bool MidiEngine::StartsWithTempo() {
    bool tempo = false;
    try {
        tempo = ReadVarLen() == 0 && ReadByte() == 0xFF && ReadByte() == kMetaSetTempo &&
                ReadVarLen() >= kTempoLength; // a shorter one is dropped
    } catch (const EndOfData&) {
        // A track too short for a Set Tempo has none.
    }
    MoveTo(0);
    return tempo;
}

void MidiEngine::WriteTempo(uint32_t tempo) {
    m_writer.MarkEvent();
    for (const unsigned byte : {0x00u, 0xFFu, unsigned{kMetaSetTempo}, kTempoLength}) {
        m_writer.EmitByte(byte);
    }
    EmitScaledTempo(tempo);
}

void MidiEngine::EmitScaledTempo(uint32_t tempo) {
    const TempoRule::Scaled scaled = m_tempoRule.Scale(tempo);
    m_repairs.temposClamped += scaled.clamped;
    m_writer.EmitByte(scaled.tempo >> 16);
    m_writer.EmitByte((scaled.tempo >> 8) & 0xFF);
    m_writer.EmitByte(scaled.tempo & 0xFF);
}

void MidiEngine::CopyTempo(uint32_t length) {
    if (!m_scaleTempos || length != kTempoLength) {
        CopyData(length); // a Set Tempo of another length means nothing known: kept as it is
        return;
    }
    uint32_t tempo = 0;
    for (uint32_t i = 0; i < kTempoLength; ++i) {
        tempo = (tempo << 8) | ReadByte();
    }
    EmitScaledTempo(tempo);
}

void MidiEngine::LoadWindow(uint32_t offset) {
    const std::span<const uint8_t> window = m_source->Window(offset);
    m_window = window.data();
    m_cursor = m_window;
    m_end = m_window + window.size();
    m_windowOffset = offset;
}

void MidiEngine::NextWindow() {
    if (WindowEnd() == m_length) {
        throw EndOfData{};
    }
    LoadWindow(WindowEnd());
}

void MidiEngine::MoveTo(uint32_t offset) {
    if (offset >= m_windowOffset && offset <= WindowEnd()) {
        m_cursor = m_window + (offset - m_windowOffset);
    } else {
        LoadWindow(offset);
    }
}

void MidiEngine::CloseTrack() {
    // A track cut short is closed so that the written file stays well-formed.
    ++m_repairs.tracksClosed;
    if (m_eliminateStuckNotes) {
        ReleaseSounding(false);
    }
    static constexpr uint8_t kEndOfTrack[] = {0x00, 0xFF, kMetaEndOfTrack, 0x00};
    m_writer.EmitBlock(kEndOfTrack, sizeof kEndOfTrack);
    m_writer.EndTrack();
    TrimLevels();
}

bool MidiEngine::ReleaseSounding(bool deltaWritten) {
    bool released = false;
    for (size_t slot = 0; slot < kKeys; ++slot) {
        if (m_sounding[slot] == 0) {
            continue;
        }
        m_sounding[slot] = 0;
        const uint8_t noteOff[] = {0x00, static_cast<uint8_t>(0x80 | (slot >> 7)),
                                   static_cast<uint8_t>(slot & 0x7F), kReleaseVelocity};
        const size_t skip = deltaWritten && !released ? 1 : 0;
        m_writer.EmitBlock(noteOff + skip, sizeof noteOff - skip);
        ++m_repairs.noteOffsInserted;
        released = true;
    }
    return released;
}

void MidiEngine::EndTrackAt(uint32_t walkEnd) {
    m_walkEnd = walkEnd;
    if (m_eliminateStuckNotes) {
        // The releases come first, at the End of Track's time: it follows them at delta 0.
        m_writer.StepBack();
        static constexpr uint8_t kDeltaAndStatus[] = {0x00, 0xFF};
        const size_t skip = ReleaseSounding(true) ? 0 : 1;
        m_writer.EmitBlock(kDeltaAndStatus + skip, sizeof kDeltaAndStatus - skip);
    }
    static constexpr uint8_t kTypeAndLength[] = {kMetaEndOfTrack, 0x00};
    // Written with no data, as a well-formed End of Track has none.
    m_writer.EmitBlock(kTypeAndLength, sizeof kTypeAndLength);
}

void MidiEngine::ExpectInput(uint64_t bytes) {
    if (!m_keepLevels) {
        return;
    }
    const uint64_t room = m_levels.size() + bytes / 3 + 2;
    if (room > m_levels.capacity() && room <= m_levels.max_size()) {
        m_levels.reserve(static_cast<size_t>(room));
    }
}

void MidiEngine::ReserveLevels(uint32_t length) {
    if (!m_keepLevels) {
        if (m_levelScratch.empty()) {
            m_levelScratch.resize(kLevelBlock);
        }
        m_levelHead = m_levelScratch.data();
        m_levelLimit = m_levelHead + m_levelScratch.size();
        return;
    }
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
    if (!m_keepLevels) {
        m_levelHead = m_levelScratch.data(); // the block starts over: nothing in it is kept
        return;
    }
    const auto used = static_cast<size_t>(m_levelHead - m_levels.data());
    m_levels.resize(std::min(used + kLevelBlock, m_levelReserve)); // within the reserved room
    m_levelLimit = m_levels.data() + m_levels.size();
}

void MidiEngine::TrimLevels() {
    if (m_keepLevels) {
        m_levels.resize(static_cast<size_t>(m_levelHead - m_levels.data()));
    }
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
    if (length > m_length - Offset()) {
        throw EndOfData{};
    }
    return length;
}

MidiEngine::Walked MidiEngine::WalkEvent() {
    uint8_t status = ReadByte();
    const bool statusImplied = (status & 0x80) == 0;
    if (statusImplied) {
        if (m_runningStatus == 0) {
            SkipStrayBytes();
            return Walked::Dropped;
        }
        UnreadByte();
        status = m_runningStatus;
    } else {
        m_writer.EmitByte(status);
    }
    if (status >= 0xF0) {
        return HandleSystemEvent(status);
    }
    uint8_t data[2] = {};
    if (!ReadDataBytes(data, (status & 0xE0) == 0xC0 ? 1 : 2)) {
        // A broken event sets no running status: the events after it run on the one before.
        ++m_repairs.eventsBrokenOff;
        return Walked::Dropped;
    }
    m_runningStatus = status;
    if (statusImplied && m_statusDue) {
        m_writer.EmitByte(status);
    }
    HandleChannelEvent(status, statusImplied && !m_statusDue, data);
    m_statusDue = false;
    return Walked::Kept;
}

bool MidiEngine::ReadDataBytes(uint8_t* data, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        data[i] = ReadByte();
        if (data[i] & 0x80) {
            UnreadByte();
            m_atStatus = true;
            return false;
        }
    }
    return true;
}

void MidiEngine::SkipStrayBytes() {
    UnreadByte();
    while (!AtChunkEnd()) {
        if (ReadByte() & 0x80) {
            UnreadByte();
            m_atStatus = true;
            return;
        }
        ++m_repairs.strayBytesDropped;
    }
}

void MidiEngine::HandleChannelEvent(uint8_t status, bool statusImplied, const uint8_t* data) {
    switch (status >> 4) {
    case 0x8: // Note Off
        if (m_eliminateStuckNotes) {
            NoteMet(status, data[0], false);
        }
        [[fallthrough]];
    case 0xA: // Polyphonic Key Pressure
        m_writer.EmitByte(data[0]);
        m_writer.EmitByte(TakeLevel(data[1], m_levelTable));
        break;
    case 0x9:
        HandleNoteOn(status, statusImplied, data[0], data[1]);
        break;
    case 0xB: // Control Change: controller 7 is the channel volume
        m_writer.EmitByte(data[0]);
        m_writer.EmitByte(data[0] == 7 ? TakeLevel(data[1], m_levelTable) : data[1]);
        break;
    case 0xC: // Program Change
    case 0xD: // Channel Pressure
        m_writer.EmitByte(data[0]);
        break;
    default: // Pitch Bend
        m_writer.EmitByte(data[0]);
        m_writer.EmitByte(data[1]);
        break;
    }
}

uint8_t MidiEngine::TakeLevel(uint8_t level, const LevelTable& table) {
    if (m_markNoteOns) {
        m_noteOnMarks.push_back(0);
    }
    if (m_levelChannels == Adjustments::kAllChannels) {
        RecordLevel(level);
        return table[level];
    }
    const auto held = std::min<uint8_t>(level, 0x7F);
    if (IsMapped()) {
        RecordLevel(held);
        return table[level];
    }
    RecordLevel(kUnmappedLevel | held);
    return level;
}

uint8_t MidiEngine::TakeNoteOnLevel(uint8_t velocity) {
    const uint8_t written = TakeLevel(velocity, m_noteOnTable);
    if (m_markNoteOns) {
        m_noteOnMarks.back() = IsMapped() ? 1 : 0;
    }
    return written;
}

void MidiEngine::HandleNoteOn(uint8_t status, bool statusImplied, uint8_t key, uint8_t velocity) {
    if (m_findLoudest && IsMapped()) {
        m_loudestNoteOn = std::max<unsigned>(m_loudestNoteOn, velocity);
    }
    const uint8_t written = TakeNoteOnLevel(velocity);
    if (m_eliminateStuckNotes) {
        NoteMet(status, key, velocity != 0);
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
    m_writer.EmitByte(written);
}

void MidiEngine::CopyData(uint32_t count) {
    while (count > 0) {
        if (m_cursor == m_end) {
            NextWindow();
        }
        const auto part = std::min(count, static_cast<uint32_t>(m_end - m_cursor));
        m_writer.EmitBlock(m_cursor, part);
        m_cursor += part;
        count -= part;
    }
}

MidiEngine::Walked MidiEngine::HandleSystemEvent(uint8_t status) {
    switch (status) {
    case 0xF0:   // System Exclusive
    case 0xF7: { // escape: both carry their length, copied exactly as stored
        const uint32_t lengthStart = Offset();
        const uint32_t length = ReadDataLength();
        const uint32_t dataEnd = Offset() + length;
        if (status == 0xF0 && HoldsStatusByte(length)) {
            ++m_repairs.eventsBrokenOff; // no device takes it: a status byte ends it there
            return Walked::Dropped;
        }
        // The stored length goes out byte for byte; reading it may have moved the window on.
        MoveTo(lengthStart);
        CopyData(dataEnd - lengthStart);
        // Readers take a data byte after it as the message's own: the next status is written.
        m_statusDue = true;
        return Walked::Kept;
    }
    case 0xFF: {
        const uint8_t type = ReadByte();
        const uint32_t length = ReadDataLength();
        if (type == kMetaEndOfTrack) {
            m_repairs.junkBytesDropped += length; // an End of Track carries no data
            EndTrackAt(Offset() + length);
            return Walked::EndOfTrack;
        }
        if (length < MetaDataBytes(type)) {
            // Too short for what its kind holds: readers would take bytes beyond it.
            ++m_repairs.metaEventsDropped;
            MoveTo(Offset() + length);
            return Walked::Dropped;
        }
        m_writer.EmitByte(type);
        m_writer.WriteVarLen(length);
        if (type == kMetaSetTempo) {
            CopyTempo(length);
        } else {
            CopyData(length);
        }
        return Walked::Kept;
    }
    case 0xF1: // MIDI Time Code quarter frame
    case 0xF3: // Song Select
        return DropSystemMessage(1);
    case 0xF2: // Song Position Pointer
        return DropSystemMessage(2);
    default: // the undefined and real-time statuses carry no data
        return DropSystemMessage(0);
    }
}

bool MidiEngine::HoldsStatusByte(uint32_t length) {
    bool holds = false;
    for (uint32_t i = 0; i < length; ++i) {
        const uint8_t byte = ReadByte();
        holds |= (byte & 0x80) != 0 && !(byte == 0xF7 && i + 1 == length);
    }
    return holds;
}

MidiEngine::Walked MidiEngine::DropSystemMessage(unsigned dataBytes) {
    ++m_repairs.systemEventsDropped;
    uint8_t data[2];
    ReadDataBytes(data, dataBytes); // a status byte among them begins the next event
    return Walked::Dropped;
}

} // namespace korvane
