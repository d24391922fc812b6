#pragma once

#include "midi/Adjustments.h"
#include "midi/FastLoopTables.h"
#include "midi/LevelMap.h"
#include "midi/NoteGain.h"
#include "midi/RepairCounts.h"
#include "midi/SpeedRule.h"
#include "midi/TempoRule.h"
#include "midi/TrackSource.h"
#include "midi/TrackWriter.h"
#include "platform/ByteSink.h"

#include <array>
#include <cstdint>
#include <vector>

namespace korvane {

// The stream engine: walks one track chunk at a time, a window of it at a time, applies the
// adjustments and streams the adjusted track to the writer. Every read is bounded by the
// window's end, and an event is cut short only by the chunk's end.
class MidiEngine {
  public:
    // Every level of the last pass, as read, in the order met; empty when none are kept.
    std::vector<uint8_t> m_levels;
    // In a pass with a peak that keeps its levels, one entry per level: 1 where it is a Note On
    // velocity of a mapped channel, which the plot draws with the gain. Empty otherwise.
    std::vector<uint8_t> m_noteOnMarks;
    // What the pass repaired; the job adds what it repairs at the chunk level.
    RepairCounts m_repairs;

    // Whether the passes keep their levels (the plot needs them; a conversion alone does not,
    // and then the levels take no memory whatever the input's size).
    void KeepLevels(bool keep) { m_keepLevels = keep; }

    // Starts a pass with the given adjustments; a save pass writes to out, a load pass (out
    // null) writes nothing. With a peak, loudestNoteOn (as the loudest pass found it) sets the
    // gain on the Note On velocities.
    void BeginPass(const Adjustments& adjustments, ByteSink* out, unsigned loudestNoteOn = 0);
    // A load pass that finds the loudest Note On velocity of the mapped channels, as read.
    void BeginLoudestPass(const Adjustments& adjustments);
    // The loudest pass's finding, or what the pass was begun with; 0 when no mapped channel
    // strikes a note.
    unsigned LoudestNoteOn() const { return m_loudestNoteOn; }
    // The gain the pass puts on Note On velocities.
    NoteGain Gain() const { return m_gain; }
    void EndPass() { m_out = nullptr; }

    // Reserves, without touching it, room for every level an input of this many bytes can
    // hold, so that the levels are never moved while the pass records them.
    void ExpectInput(uint64_t bytes);

    // Every pass: takes the format and division from the header chunk's data, in one or more
    // parts; a save pass writes it unchanged.
    void CopyHeader(const uint8_t* data, uint32_t length);
    // Walks one track chunk's data; the written track always ends with End of Track.
    void WalkTrack(TrackSource& source);
    void WalkTrack(const uint8_t* data, uint32_t length);
    // Bytes written for the last track.
    int64_t TrackBytes() const { return m_writer.TrackBytes(); }
    // Where the last track's walk ended in its chunk: right after its End of Track, or the
    // chunk's length when it had none.
    uint32_t WalkEnd() const { return m_walkEnd; }

    uint8_t MapLevel(unsigned value) const { return m_levelTable[value & 0xFF]; }
    // The speed the deltas of the pass were written at: 100 where the tempo was scaled instead.
    int TickSpeed() const { return m_speedRule.Percent(); }

  private:
    struct EndOfData {};

    // Release velocity of the Note Off the repair inserts: the customary default.
    static constexpr uint8_t kReleaseVelocity = 64;
    // Levels taken into use at a time.
    static constexpr size_t kLevelBlock = 1 << 16;
    // Keys a track can hold down: 16 channels of 128.
    static constexpr size_t kKeys = 16 * 128;

    uint8_t ReadByte() {
        if (m_cursor == m_end) {
            NextWindow();
        }
        return *m_cursor++;
    }
    // Always right after ReadByte, which leaves that byte in the window.
    void UnreadByte() { --m_cursor; }
    uint32_t ReadVarLen();
    // Reads a length and checks that that many bytes remain in the chunk.
    uint32_t ReadDataLength();
    // The offset in the chunk of the next byte to read.
    uint32_t Offset() const { return m_windowOffset + static_cast<uint32_t>(m_cursor - m_window); }
    uint32_t WindowEnd() const { return m_windowOffset + static_cast<uint32_t>(m_end - m_window); }
    bool AtChunkEnd() const { return m_cursor == m_end && WindowEnd() == m_length; }
    void LoadWindow(uint32_t offset);
    // Moves the window on when the walk has read it all; throws EndOfData at the chunk's end.
    void NextWindow();
    // Continues the walk at offset in the chunk, in this window or a new one.
    void MoveTo(uint32_t offset);

    // Whether the next event may go the fast loops: nothing of the checked path's is pending.
    bool FastLoopMayRun() const {
        return !m_checkedOnly && m_pendingTicks == 0 && !m_atStatus && !m_statusDue;
    }
    // Channel events while plenty of input and output room remain, without a bound check per
    // byte; stops before anything it leaves to the checked path.
    void WalkEventsFast();
    // Events the fast loop can take without a bound check; 0 when the input is too short.
    size_t FastEventCount();
    // Deltas rewritten, the repair when asked for, levels mapped.
    template <bool Repair> void RewriteEventsFast();
    // Deltas kept as read (speed 100 %, no repair): each event is copied, levels mapped. At
    // 100 % the clock never gains a lead or a remainder, so this loop leaves it alone.
    void CopyEventsFast();
    // What became of an event the checked path read.
    enum class Walked { Kept, Dropped, EndOfTrack };
    // One event after its delta time, every read checked.
    Walked WalkEvent();
    // Reads count data bytes; false, with the walk left at the status byte, when one comes
    // first: the event broke off there and the walk starts over at that status byte.
    bool ReadDataBytes(uint8_t* data, unsigned count);
    // Reads a System Exclusive message's data: whether a status byte is among it, its closing
    // End of Exclusive aside.
    bool HoldsStatusByte(uint32_t length);
    // Skips the data bytes that have no status to run on, up to the next status byte.
    void SkipStrayBytes();
    void HandleChannelEvent(uint8_t status, bool statusImplied, const uint8_t* data);
    void HandleNoteOn(uint8_t status, bool statusImplied, uint8_t key, uint8_t velocity);
    Walked HandleSystemEvent(uint8_t status);
    // A system message that has no place in a file, with the data bytes it carries.
    Walked DropSystemMessage(unsigned dataBytes);
    bool IsMapped() const { return (m_levelChannels >> (m_runningStatus & 0x0F)) & 1; }
    // The level of the running status's channel: recorded and written through table, or as
    // read.
    uint8_t TakeLevel(uint8_t level, const LevelTable& table);
    // A Note On's velocity: as TakeLevel, the gain applied, marked for the plot where asked.
    uint8_t TakeNoteOnLevel(uint8_t velocity);
    void SetSpeed(int percent);
    // The header's first six bytes are in: keeping the bars needs a division in ticks.
    void ReadHeader();
    // Keeping the bars, at the start of a track that carries the tempo map: whether its first
    // event is a Set Tempo at delta 0. Leaves the walk at the track's start.
    bool StartsWithTempo();
    // A whole Set Tempo event at delta 0, the tempo scaled.
    void WriteTempo(uint32_t tempo);
    // A Set Tempo's data: scaled when it is the usual three bytes and the bars are kept.
    void CopyTempo(uint32_t length);
    void EmitScaledTempo(uint32_t tempo);
    // Copies count bytes of the chunk unchanged, across windows.
    void CopyData(uint32_t count);
    void RecordLevel(uint8_t level) {
        if (m_levelHead == m_levelLimit) {
            GrowLevels();
        }
        *m_levelHead++ = level;
    }
    // Room behind m_levelHead for every level a track of length bytes can hold.
    void ReserveLevels(uint32_t length);
    // Takes the next block of the reserved room into use.
    void GrowLevels();
    // Ends m_levels at what was recorded.
    void TrimLevels();
    void CloseTrack();
    // The stuck-note repair: whether key of the channel in status sounds. The Note Off written
    // before a Note On counts only when the key still sounds: a Note Off event or a Note On of
    // velocity 0 has already released it.
    void NoteMet(uint8_t status, uint8_t key, bool sounds) {
        uint8_t& held = m_sounding[HeldSlot(status, key)];
        m_repairs.noteOffsInserted += held & sounds;
        held = sounds;
    }
    // Writes and counts a Note Off for every key still sounding, channel by channel, key by
    // key, each at delta 0 but the first, whose delta is already written when deltaWritten;
    // true when any.
    bool ReleaseSounding(bool deltaWritten);
    // Writes the End of Track at offset in the chunk; its status byte is already written.
    void EndTrackAt(uint32_t walkEnd);

    TrackSource* m_source = nullptr;
    uint32_t m_length = 0; // of the chunk
    const uint8_t* m_window = nullptr;
    uint32_t m_windowOffset = 0; // of m_window in the chunk
    const uint8_t* m_cursor = nullptr;
    const uint8_t* m_end = nullptr; // of the window
    uint8_t m_runningStatus = 0;
    // Input ticks of the events dropped since the last one written, which the next one takes;
    // held at kMostPendingTicks, far beyond what any speed brings within a delta.
    uint64_t m_pendingTicks = 0;
    // The walk stands at a status byte that begins the next event with no delta time before it.
    bool m_atStatus = false;
    // The next channel event is written with its status, running or not: a System Exclusive
    // message came before it.
    bool m_statusDue = false;
    bool m_eliminateStuckNotes = false;
    // The stuck-note repair's keys held down in the current track, by channel and key.
    std::array<uint8_t, HeldSlot(0xEF, 0x7F) + 1> m_sounding{};
    uint32_t m_walkEnd = 0;
    ByteSink* m_out = nullptr;
    TrackWriter m_writer;
    LevelTable m_levelTable =
        BuildLevelTable(Adjustments::kLevelNeutral, Adjustments::kLevelNeutral);
    // What a mapped Note On velocity is written as: m_levelTable's, with the gain of a peak.
    LevelTable m_noteOnTable = m_levelTable;
    NoteGain m_gain;
    bool m_markNoteOns = false;
    // The fast loops' tables, members so that one register finds them all: the second data
    // byte as written (an index instead of a choice, so that the loops do not branch on the
    // event kind), the rows that index it and the rewriting loop's facts of a running status.
    std::array<SecondByte, kSecondBytes> m_secondByte{};
    std::array<uint16_t, 4 * kKindRowSize> m_levelRows = BuildLevelRows();
    std::array<RewriteInfo, 256> m_rewriteInfo = BuildRewriteInfo(kReleaseVelocity);
    SpeedRule m_speedRule;
    int m_speedPercent = Adjustments::kSpeedNeutral; // as asked; the deltas' rule may differ
    // Keeping the bars: asked for, the deltas stay as read and tempos are scaled unless the
    // header shows a division that does not count ticks.
    TempoRule m_tempoRule;
    bool m_scaleTempos = false;
    uint8_t m_header[6]{};
    uint32_t m_headerRead = 0;
    uint16_t m_format = 1;
    uint32_t m_trackIndex = 0;
    uint16_t m_levelChannels = Adjustments::kAllChannels;
    // The fast loops map every channel, find nothing and mark nothing: limited channels, the
    // loudest pass and marked Note Ons go the checked path, so the fast loops stay as they are.
    bool m_checkedOnly = false;
    bool m_findLoudest = false;
    unsigned m_loudestNoteOn = 0;
    TrackClock m_clock;        // where the current track stands under the speed change
    bool m_copyEvents = false; // every delta is written as read
    // The levels are written through a pointer while a track is walked; m_levels is trimmed
    // to what was recorded when the walk ends.
    uint8_t* m_levelHead = nullptr;
    uint8_t* m_levelLimit = nullptr;
    size_t m_levelReserve = 0; // size of m_levels the current track may grow to
    bool m_keepLevels = true;
    // Where the levels go when none are kept: overwritten a block at a time, so that the walk
    // records them the same way either way.
    std::vector<uint8_t> m_levelScratch;
};

} // namespace korvane
