#include "tests/midi/EngineRun.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace korvane {

namespace {
struct CountCase {
    const char* name;
    Adjustments settings;
    Bytes track;
    uint64_t tracksClosed;
    uint64_t eventsDropped;
    uint64_t noteOffsInserted;
};

const Bytes kEnd{0x00, 0xFF, 0x2F, 0x00};

// Note Ons on one key, the status given once and then implied: long enough for the fast loops.
Bytes RunningNoteOns(int count, uint8_t velocity) {
    Bytes track{0x00, 0x90, 0x3C, velocity};
    for (int i = 1; i < count; ++i) {
        track.insert(track.end(), {0x10, 0x3C, velocity});
    }
    return track;
}

// Each key struck, then released by a Note Off event; then struck twice without one.
Bytes StruckAndReleased(int pairs) {
    Bytes track;
    for (int i = 0; i < pairs; ++i) {
        track.insert(track.end(), {0x10, 0x90, 0x3C, 0x64, 0x10, 0x80, 0x3C, 0x40});
    }
    track.insert(track.end(), {0x10, 0x90, 0x3C, 0x64, 0x10, 0x90, 0x3C, 0x64});
    return track;
}

// The same, released by Note Ons of velocity 0 under running status, as most files release.
Bytes StruckAndSilenced(int pairs) {
    Bytes track{0x00, 0x90, 0x3C, 0x64, 0x10, 0x3C, 0x00};
    for (int i = 1; i < pairs; ++i) {
        track.insert(track.end(), {0x10, 0x3C, 0x64, 0x10, 0x3C, 0x00});
    }
    track.insert(track.end(), {0x10, 0x3C, 0x64, 0x10, 0x3C, 0x64});
    return track;
}

Bytes WithEnd(Bytes track) {
    track.insert(track.end(), kEnd.begin(), kEnd.end());
    return track;
}

RepairCounts CountsOf(const Adjustments& adjustments, const Bytes& track, bool save) {
    MidiEngine engine;
    MemorySink sink;
    engine.BeginPass(adjustments, save ? &sink : nullptr);
    engine.WalkTrack(track.data(), static_cast<uint32_t>(track.size()));
    engine.EndPass();
    return engine.m_repairs;
}

class RepairCountTable : public testing::TestWithParam<CountCase> {};

// The window's load pass counts what the save pass repairs.
TEST_P(RepairCountTable, SaveAndLoadPassCountAlike) {
    const CountCase& c = GetParam();
    for (bool save : {true, false}) {
        const RepairCounts counts = CountsOf(c.settings, c.track, save);
        EXPECT_EQ(counts.tracksClosed, c.tracksClosed) << "save " << save;
        EXPECT_EQ(counts.eventsDropped, c.eventsDropped) << "save " << save;
        EXPECT_EQ(counts.noteOffsInserted, c.noteOffsInserted) << "save " << save;
        EXPECT_EQ(counts.chunksCutShort + counts.chunksCopied, 0u);
    }
}

const Adjustments kPlain{};
const Adjustments kRepair{500, 500, 100, true};
const Adjustments kFastRepair{700, 400, 150, true};

INSTANTIATE_TEST_SUITE_P(
    Tracks, RepairCountTable,
    testing::Values(
        CountCase{"Complete", kRepair, WithEnd({0x00, 0x80, 0x3C, 0x40}), 0, 0, 0},
        CountCase{"EmptyTrackClosed", kPlain, {}, 1, 0, 0},
        CountCase{"EndsAtEventBoundary", kPlain, {0x00, 0x90, 0x3C, 0x64}, 1, 0, 0},
        CountCase{"EventCutShort", kPlain, {0x00, 0x90, 0x3C, 0x64, 0x00, 0x90, 0x3C}, 1, 1, 0},
        CountCase{"DeltaCutShort", kPlain, {0x00, 0xC0, 0x05, 0x81}, 1, 1, 0},
        CountCase{"MetaLongerThanTrack", kPlain, {0x00, 0xFF, 0x01, 0x05, 'a'}, 1, 1, 0},
        CountCase{"EndOfTrackCut", kPlain, {0x00, 0xFF, 0x2F}, 1, 1, 0},
        CountCase{"RepairOffInsertsNothing", kPlain, WithEnd(RunningNoteOns(500, 0x50)), 0, 0, 0},
        CountCase{"RepairCheckedPath", kRepair, WithEnd({0x00, 0x90, 0x3C, 0x64}), 0, 0, 1},
        CountCase{"RepairFastLoopAtSameSpeed", kRepair, WithEnd(RunningNoteOns(500, 0x50)), 0, 0,
                  500},
        CountCase{"RepairFastLoopRewriting", kFastRepair, WithEnd(RunningNoteOns(500, 0x50)), 0, 0,
                  500},
        CountCase{"SilentNoteOnsReleaseNothing", kFastRepair, WithEnd(RunningNoteOns(300, 0x00)), 0,
                  0, 0},
        CountCase{"ReleasedKeyNotCountedAgain", kRepair,
                  WithEnd({0x00, 0x90, 0x3C, 0x64, 0x00, 0x80, 0x3C, 0x40, 0x00, 0x90, 0x3C, 0x64}),
                  0, 0, 1},
        CountCase{"HeldKeysCountedAtTheEnd", kRepair,
                  WithEnd({0x00, 0x90, 0x3C, 0x64, 0x00, 0x91, 0x3C, 0x64, 0x00, 0x3D, 0x64}), 0, 0,
                  3},
        CountCase{"RepairThenCutShort", kFastRepair, RunningNoteOns(200, 0x50), 1, 0, 200},
        // The second Note On and the End of Track release a key; no Note Off event needs one.
        CountCase{"NoteOffEventsReleaseWithoutRepair", kFastRepair, WithEnd(StruckAndReleased(300)),
                  0, 0, 2},
        // A Note On of velocity 0 releases its key as a Note Off event does.
        CountCase{"SilencedKeyReleasedWithoutRepair", kRepair,
                  WithEnd({0x00, 0x90, 0x3C, 0x40, 0x60, 0x3C, 0x00}), 0, 0, 0},
        CountCase{"SilencedKeysInTheFastLoop", kRepair, WithEnd(StruckAndSilenced(300)), 0, 0, 2},
        CountCase{"SilencedKeysInTheRewritingLoop", kFastRepair, WithEnd(StruckAndSilenced(300)), 0,
                  0, 2},
        CountCase{"SilencedOtherChannelReleasesNothing", kRepair,
                  WithEnd({0x00, 0x90, 0x3C, 0x40, 0x00, 0x91, 0x3C, 0x00}), 0, 0, 1}),
    [](const testing::TestParamInfo<CountCase>& param) { return param.param.name; });

TEST(RepairCounts, EachPassStartsFromZero) {
    MidiEngine engine;
    MemorySink sink;
    const Bytes cut{0x00, 0x90, 0x3C};
    for (int pass = 0; pass < 2; ++pass) {
        engine.BeginPass(Adjustments{}, &sink);
        engine.WalkTrack(cut.data(), static_cast<uint32_t>(cut.size()));
        engine.EndPass();
        EXPECT_EQ(engine.m_repairs.tracksClosed, 1u);
        EXPECT_TRUE(engine.m_repairs.Any());
    }
    engine.BeginPass(Adjustments{}, &sink);
    EXPECT_FALSE(engine.m_repairs.Any());
}

// Copying a vendor chunk and clamping a tempo do not make a file repaired.
TEST(RepairCounts, KeptChunksAndClampedTemposAreNoRepair) {
    EXPECT_FALSE((RepairCounts{.chunksCopied = 1, .temposClamped = 1}.Any()));
}

// Hands out the first window of a track, then fails as a broken disk does.
class FailingTrack : public TrackSource {
  public:
    FailingTrack(const Bytes& data, size_t window) : m_data(data), m_window(window) {}
    uint32_t Length() const override { return static_cast<uint32_t>(m_data.size()); }
    std::span<const uint8_t> Window(uint32_t offset) override {
        if (offset > 0) {
            throw std::runtime_error("read failed");
        }
        return {m_data.data(), m_window};
    }

  private:
    const Bytes& m_data;
    size_t m_window;
};

// A walk given up counts the Note Offs written, not those the key still sounding would have had.
TEST(RepairCounts, AGivenUpWalkCountsOnlyWhatWasWritten) {
    const Bytes track = WithEnd(RunningNoteOns(200, 0x50));
    FailingTrack source(track, 4 + 99 * 3); // the first 100 Note Ons
    MidiEngine engine;
    MemorySink sink;
    engine.BeginPass(kFastRepair, &sink);
    EXPECT_THROW(engine.WalkTrack(source), std::runtime_error);
    EXPECT_EQ(engine.m_repairs.noteOffsInserted, 99u);
}
} // namespace

} // namespace korvane
