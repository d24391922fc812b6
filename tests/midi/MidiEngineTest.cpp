#include "tests/midi/EngineRun.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>

namespace korvane {
namespace {
struct WalkCase {
    const char* name;
    Adjustments settings;
    Bytes input;
    Bytes expected;
    Bytes levels;
};

std::string Hex(const Bytes& bytes) {
    std::ostringstream out;
    for (uint8_t b : bytes) {
        out << std::hex << std::setw(2) << std::setfill('0') << int{b} << ' ';
    }
    return out.str();
}

class WalkTrackTable : public testing::TestWithParam<WalkCase> {};

TEST_P(WalkTrackTable, WritesExpectedBytes) {
    const WalkCase& c = GetParam();
    const WalkResult result = Walk(c.settings, c.input);
    EXPECT_EQ(Hex(result.written), Hex(c.expected));
    EXPECT_EQ(result.trackBytes, static_cast<int64_t>(c.expected.size()));
    EXPECT_EQ(Hex(result.levels), Hex(c.levels));
    // An event cut by a window's end is completed from the next window, so only the chunk's
    // end cuts one short.
    for (size_t window : kWindows) {
        const WalkResult windowed = Walk(c.settings, c.input, true, window);
        EXPECT_EQ(Hex(windowed.written), Hex(c.expected)) << "window " << window;
        EXPECT_EQ(Hex(windowed.levels), Hex(c.levels)) << "window " << window;
    }
}

const Adjustments kDefaults{};
const Adjustments kRepair{500, 500, 100, true};
const Adjustments kLoud{1000, 0, 100, false};
const Bytes kEnd{0x00, 0xFF, 0x2F, 0x00};

std::string CaseName(const testing::TestParamInfo<WalkCase>& info) {
    return info.param.name;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

INSTANTIATE_TEST_SUITE_P(
    Events, WalkTrackTable,
    testing::Values(
        WalkCase{"OnlyEndOfTrack", kDefaults, kEnd, kEnd, {}},
        WalkCase{"PaddedMetaLengthShortened",
                 kDefaults,
                 Concat({{0x00, 0xFF, 0x01, 0x80, 0x03, 'a', 'b', 'c'}, kEnd}),
                 Concat({{0x00, 0xFF, 0x01, 0x03, 'a', 'b', 'c'}, kEnd}),
                 {}},
        WalkCase{"NonShortestDeltaShortened",
                 kDefaults,
                 Concat({{0x80, 0x00, 0x90, 0x3C, 0x64}, kEnd}),
                 Concat({{0x00, 0x90, 0x3C, 0x64}, kEnd}),
                 {0x64}},
        WalkCase{"RunningStatusKept",
                 kDefaults,
                 Concat({{0x00, 0x90, 0x3C, 0x64, 0x10, 0x3E, 0x50}, kEnd}),
                 Concat({{0x00, 0x90, 0x3C, 0x64, 0x10, 0x3E, 0x50}, kEnd}),
                 {0x64, 0x50}},
        WalkCase{
            "BytesAfterEndOfTrackDropped", kDefaults, Concat({kEnd, {0x00, 0x90, 0x3C}}), kEnd, {}},
        WalkCase{"SysExCopied",
                 kDefaults,
                 Concat({{0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, kEnd}),
                 Concat({{0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, kEnd}),
                 {}},
        WalkCase{"PressureAndBendNeverChange",
                 kLoud,
                 Concat({{0x00, 0xD0, 0x10, 0x00, 0xE1, 0x7F, 0x01, 0x00, 0xC2, 0x05}, kEnd}),
                 Concat({{0x00, 0xD0, 0x10, 0x00, 0xE1, 0x7F, 0x01, 0x00, 0xC2, 0x05}, kEnd}),
                 {}},
        WalkCase{"LevelsRecordedAsRead",
                 kLoud,
                 Concat({{0x00, 0x90, 0x3C, 0x64, 0x00, 0x80, 0x3C, 0x40, 0x00, 0xB0,
                          0x07, 0x64, 0x00, 0xB0, 0x0A, 0x40, 0x00, 0xA0, 0x3C, 0x00},
                         kEnd}),
                 Concat({{0x00, 0x90, 0x3C, 0x7F, 0x00, 0x80, 0x3C, 0x7F, 0x00, 0xB0,
                          0x07, 0x7F, 0x00, 0xB0, 0x0A, 0x40, 0x00, 0xA0, 0x3C, 0x00},
                         kEnd}),
                 {0x64, 0x40, 0x64, 0x00}},
        WalkCase{"WideRangeMapsVelocities",
                 Adjustments{1000, 500, 100, false},
                 Concat({{0x00, 0x80, 0x3C, 0x20, 0x00, 0x90, 0x3C, 0x50}, kEnd}),
                 Concat({{0x00, 0x80, 0x3C, 0x01, 0x00, 0x90, 0x3C, 0x60}, kEnd}),
                 {0x20, 0x50}},
        WalkCase{"RepairWithOwnStatusAddsFour",
                 kRepair,
                 Concat({{0x00, 0x91, 0x3C, 0x64}, kEnd}),
                 Concat({{0x00, 0x81, 0x3C, 0x40, 0x00, 0x91, 0x3C, 0x64, 0x00, 0x81, 0x3C, 0x40},
                         kEnd}),
                 {0x64}},
        WalkCase{"RepairWithRunningStatusAddsFive",
                 kRepair,
                 Concat({{0x00, 0x90, 0x3C, 0x64, 0x10, 0x3E, 0x00, 0x05, 0x40, 0x30}, kEnd}),
                 Concat({{0x00, 0x80, 0x3C, 0x40, 0x00, 0x90, 0x3C, 0x64, 0x10, 0x80, 0x3E,
                          0x40, 0x00, 0x90, 0x3E, 0x00, 0x05, 0x80, 0x40, 0x40, 0x00, 0x90,
                          0x40, 0x30, 0x00, 0x80, 0x3C, 0x40, 0x00, 0x80, 0x40, 0x40},
                         kEnd}),
                 {0x64, 0x00, 0x30}},
        WalkCase{"RunningStatusSurvivesMetaEvent",
                 kDefaults,
                 Concat({{0x00, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x01, 0x01, 0x41, 0x10, 0x3E, 0x50},
                         kEnd}),
                 Concat({{0x00, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x01, 0x01, 0x41, 0x10, 0x3E, 0x50},
                         kEnd}),
                 {0x64, 0x50}},
        WalkCase{"RunningStatusWrittenOutAfterSysEx",
                 kLoud,
                 Concat({{0x00, 0x90, 0x3C, 0x64, 0x00, 0xF0, 0x01, 0xF7, 0x10, 0x3E, 0x50, 0x00,
                          0x3F, 0x51},
                         kEnd}),
                 Concat({{0x00, 0x90, 0x3C, 0x7F, 0x00, 0xF0, 0x01, 0xF7, 0x10, 0x90, 0x3E, 0x7F,
                          0x00, 0x3F, 0x7F},
                         kEnd}),
                 {0x64, 0x50, 0x51}},
        WalkCase{"SysExPacketsCopiedAsStored",
                 Adjustments{500, 500, 50, false},
                 Concat({{0x00, 0xF0, 0x03, 0x7E, 0x7F, 0x09, 0x10, 0xF7, 0x02, 0x01, 0xF7}, kEnd}),
                 Concat({{0x00, 0xF0, 0x03, 0x7E, 0x7F, 0x09, 0x20, 0xF7, 0x02, 0x01, 0xF7}, kEnd}),
                 {}},
        WalkCase{"SysExWithoutTerminatorKeepsEndOfTrack",
                 kDefaults,
                 Concat({{0x00, 0xF0, 0x02, 0x01, 0x02, 0x00, 0x90, 0x3C, 0x64}, kEnd}),
                 Concat({{0x00, 0xF0, 0x02, 0x01, 0x02, 0x00, 0x90, 0x3C, 0x64}, kEnd}),
                 {0x64}},
        WalkCase{"SpeedHalfDoublesDeltas",
                 Adjustments{500, 500, 50, false},
                 Concat({{0x40, 0x90, 0x3C, 0x64, 0x81, 0x00, 0x80, 0x3C, 0x00}, kEnd}),
                 Concat({{0x81, 0x00, 0x90, 0x3C, 0x64, 0x82, 0x00, 0x80, 0x3C, 0x00}, kEnd}),
                 {0x64, 0x00}},
        WalkCase{"SpeedDoubleKeepsNonZeroDeltas",
                 Adjustments{500, 500, 200, false},
                 Concat({{0x01, 0xC0, 0x05, 0x83, 0x61, 0xC0, 0x05}, kEnd}),
                 Concat({{0x01, 0xC0, 0x05, 0x81, 0x70, 0xC0, 0x05}, kEnd}),
                 {}},
        WalkCase{"SpeedSeventyGivesExactTens",
                 Adjustments{500, 500, 70, false},
                 Concat({{0x07, 0xC0, 0x05, 0x07, 0x06, 0x07, 0x90, 0x3C, 0x64}, kEnd}),
                 Concat({{0x0A, 0xC0, 0x05, 0x0A, 0x06, 0x0A, 0x90, 0x3C, 0x64}, kEnd}),
                 {0x64}},
        WalkCase{"SpeedKeepsEventsTogetherAndCatchesUp",
                 Adjustments{500, 500, 200, false},
                 Concat({{0x01, 0x90, 0x3C, 0x64, 0x00, 0x3E, 0x64, 0x01, 0x40, 0x64, 0x09, 0x80,
                          0x3C, 0x00},
                         kEnd}),
                 Concat({{0x01, 0x90, 0x3C, 0x64, 0x00, 0x3E, 0x64, 0x01, 0x40, 0x64, 0x03, 0x80,
                          0x3C, 0x00},
                         kEnd}),
                 {0x64, 0x64, 0x64, 0x00}},
        WalkCase{"LongDeltaKeepsLow32BitsAndIsLimited",
                 kDefaults,
                 Concat({{0x8F, 0xFF, 0xFF, 0xFF, 0x7F, 0xC0, 0x05}, kEnd}),
                 Concat({{0xFF, 0xFF, 0xFF, 0x7F, 0xC0, 0x05}, kEnd}),
                 {}},
        WalkCase{"EndOfTrackWrittenWithoutData",
                 kDefaults,
                 {0x00, 0xFF, 0x2F, 0x02, 0xAA, 0xBB},
                 kEnd,
                 {}}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    CutShort, WalkTrackTable,
    testing::Values(
        WalkCase{"EmptyTrackGetsEndOfTrack", kDefaults, {}, kEnd, {}},
        WalkCase{"MissingEndOfTrackAdded",
                 kDefaults,
                 {0x00, 0x90, 0x3C, 0x64},
                 Concat({{0x00, 0x90, 0x3C, 0x64}, kEnd}),
                 {0x64}},
        WalkCase{"IncompleteNoteDroppedWithItsDelta",
                 kDefaults,
                 {0x00, 0x90, 0x3C, 0x64, 0x83, 0x00, 0x3E},
                 Concat({{0x00, 0x90, 0x3C, 0x64}, kEnd}),
                 {0x64}},
        WalkCase{"IncompleteRepairedNoteDroppedWhole",
                 kRepair,
                 {0x00, 0x90, 0x3C, 0x64, 0x00, 0x90, 0x3E},
                 Concat({{0x00, 0x80, 0x3C, 0x40, 0x00, 0x90, 0x3C, 0x64, 0x00, 0x80, 0x3C, 0x40},
                         kEnd}),
                 {0x64}},
        WalkCase{"DeltaCutInsideVarLen",
                 kDefaults,
                 {0x00, 0xC0, 0x05, 0x81},
                 Concat({{0x00, 0xC0, 0x05}, kEnd}),
                 {}},
        WalkCase{"DeltaWithoutEvent",
                 kDefaults,
                 {0x00, 0xC0, 0x05, 0x10},
                 Concat({{0x00, 0xC0, 0x05}, kEnd}),
                 {}},
        WalkCase{"MetaDataBeyondChunk", kDefaults, {0x00, 0xFF, 0x01, 0x05, 0x41}, kEnd, {}},
        WalkCase{"MetaLengthCut", kDefaults, {0x00, 0xFF, 0x01, 0x85}, kEnd, {}},
        WalkCase{"SysExBeyondChunk", kDefaults, {0x00, 0xF0, 0x05, 0x01, 0xF7}, kEnd, {}},
        WalkCase{"EndOfTrackCut", kDefaults, {0x00, 0xFF, 0x2F}, kEnd, {}},
        WalkCase{"ControllerCut", kDefaults, {0x00, 0xB0, 0x07}, kEnd, {}}),
    CaseName);

// Bytes that cannot be read as the events of a file: dropped, counted, and their time passed on
// to the next event kept.
struct BrokenCase {
    const char* name;
    Adjustments settings;
    Bytes input;
    Bytes expected;
    RepairCounts repairs;
};

class BrokenEventTable : public testing::TestWithParam<BrokenCase> {};

std::string BrokenName(const testing::TestParamInfo<BrokenCase>& info) {
    return info.param.name;
}

TEST_P(BrokenEventTable, DropsWhatIsNoEventAndKeepsTheTimes) {
    const BrokenCase& c = GetParam();
    for (size_t window : {size_t{0}, size_t{1}, size_t{3}}) {
        const WalkResult result = Walk(c.settings, c.input, true, window);
        EXPECT_EQ(Hex(result.written), Hex(c.expected)) << "window " << window;
        EXPECT_EQ(result.repairs, c.repairs) << "window " << window;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Broken, BrokenEventTable,
    testing::Values(
        BrokenCase{"StrayBytesSkippedToTheNextStatus",
                   kDefaults,
                   Concat({{0x05, 0x3C, 0x40, 0x03, 0x90, 0x3C, 0x64}, kEnd}),
                   Concat({{0x05, 0x90, 0x3C, 0x64}, kEnd}),
                   {.strayBytesDropped = 3}},
        BrokenCase{"StrayBytesUpToTheEndOfTrack",
                   kDefaults,
                   Concat({{0x00, 0x40}, kEnd}),
                   kEnd,
                   {.strayBytesDropped = 2}},
        BrokenCase{"StrayBytesUpToTheChunkEnd",
                   kDefaults,
                   {0x00, 0x40, 0x41},
                   kEnd,
                   {.tracksClosed = 1, .strayBytesDropped = 2}},
        BrokenCase{"EventBrokenOffByAStatus",
                   kDefaults,
                   Concat({{0x04, 0x90, 0x3C, 0x91, 0x3E, 0x64}, kEnd}),
                   Concat({{0x04, 0x91, 0x3E, 0x64}, kEnd}),
                   {.eventsBrokenOff = 1}},
        BrokenCase{
            "BrokenEventSetsNoRunningStatus",
            kDefaults,
            Concat({{0x00, 0x90, 0x3C, 0x64, 0x02, 0xB0, 0x07, 0xFF, 0x01, 0x00, 0x01, 0x3E, 0x50},
                    kEnd}),
            Concat({{0x00, 0x90, 0x3C, 0x64, 0x02, 0xFF, 0x01, 0x00, 0x01, 0x3E, 0x50}, kEnd}),
            {.eventsBrokenOff = 1}},
        BrokenCase{"SystemMessagesDroppedWithTheirData",
                   kDefaults,
                   Concat({{0x02, 0xF8, 0x03, 0xF1, 0x12, 0x04, 0xF2, 0x01, 0x02, 0x01,
                            0xF3, 0x05, 0x05, 0xF4, 0x06, 0xFD, 0x07, 0x90, 0x3C, 0x64},
                           kEnd}),
                   Concat({{0x1C, 0x90, 0x3C, 0x64}, kEnd}),
                   {.systemEventsDropped = 6}},
        BrokenCase{"SystemMessageBrokenOffByAStatus",
                   kDefaults,
                   Concat({{0x00, 0xF2, 0x01, 0x90, 0x3C, 0x64}, kEnd}),
                   Concat({{0x00, 0x90, 0x3C, 0x64}, kEnd}),
                   {.systemEventsDropped = 1}},
        BrokenCase{"DroppedTimeScaledWithTheNextEvent",
                   Adjustments{500, 500, 50, false},
                   Concat({{0x40, 0xF8, 0x40, 0x90, 0x3C, 0x64}, kEnd}),
                   Concat({{0x82, 0x00, 0x90, 0x3C, 0x64}, kEnd}),
                   {.systemEventsDropped = 1}},
        BrokenCase{"SysExHoldingAStatusDropped",
                   kDefaults,
                   Concat({{0x00, 0xF0, 0x03, 0x01, 0x90, 0xF7, 0x05, 0x90, 0x3C, 0x64}, kEnd}),
                   Concat({{0x05, 0x90, 0x3C, 0x64}, kEnd}),
                   {.eventsBrokenOff = 1}},
        BrokenCase{"MetaEventsTooShortDropped",
                   kDefaults,
                   Concat({{0x01, 0xFF, 0x51, 0x02, 0x07, 0xA1, 0x02, 0xFF, 0x58, 0x03, 0x04, 0x02,
                            0x18, 0x03, 0xFF, 0x59, 0x02, 0x01, 0x00},
                           kEnd}),
                   Concat({{0x06, 0xFF, 0x59, 0x02, 0x01, 0x00}, kEnd}),
                   {.metaEventsDropped = 2}},
        BrokenCase{"BrokenNoteOnHoldsNoKey",
                   kRepair,
                   Concat({{0x00, 0x90, 0x3C, 0x64, 0x00, 0x3E, 0xB0, 0x07, 0x10}, kEnd}),
                   Concat({{0x00, 0x80, 0x3C, 0x40, 0x00, 0x90, 0x3C, 0x64, 0x00, 0xB0, 0x07, 0x10,
                            0x00, 0x80, 0x3C, 0x40},
                           kEnd}),
                   {.noteOffsInserted = 1, .eventsBrokenOff = 1}}),
    BrokenName);

// Keys still held when their track ends are released before its End of Track, channel by
// channel and key by key, at its time; keys released, or never held, are not.
INSTANTIATE_TEST_SUITE_P(
    ReleasedAtEnd, WalkTrackTable,
    testing::Values(WalkCase{"HeldKeysInOrderAtTheEndsTime",
                             kRepair,
                             {0x00, 0x93, 0x40, 0x50, 0x00, 0x91, 0x45, 0x50, 0x00, 0x91, 0x3C,
                              0x50, 0x30, 0xFF, 0x2F, 0x00},
                             {0x00, 0x83, 0x40, 0x40, 0x00, 0x93, 0x40, 0x50, 0x00, 0x81,
                              0x45, 0x40, 0x00, 0x91, 0x45, 0x50, 0x00, 0x81, 0x3C, 0x40,
                              0x00, 0x91, 0x3C, 0x50, 0x30, 0x81, 0x3C, 0x40, 0x00, 0x81,
                              0x45, 0x40, 0x00, 0x83, 0x40, 0x40, 0x00, 0xFF, 0x2F, 0x00},
                             {0x50, 0x50, 0x50}},
                    WalkCase{"ReleasedKeysNotReleasedAgain",
                             kRepair,
                             Concat({{0x00, 0x90, 0x3C, 0x50, 0x10, 0x80, 0x3C, 0x00, 0x00, 0x90,
                                      0x3E, 0x50, 0x10, 0x3E, 0x00},
                                     kEnd}),
                             Concat({{0x00, 0x80, 0x3C, 0x40, 0x00, 0x90, 0x3C, 0x50, 0x10, 0x80,
                                      0x3C, 0x00, 0x00, 0x80, 0x3E, 0x40, 0x00, 0x90, 0x3E, 0x50,
                                      0x10, 0x80, 0x3E, 0x40, 0x00, 0x90, 0x3E, 0x00},
                                     kEnd}),
                             {0x50, 0x00, 0x50, 0x00}},
                    WalkCase{"HeldKeyReleasedWhenTheTrackIsClosed",
                             kRepair,
                             {0x00, 0x9F, 0x7F, 0x01},
                             Concat({{0x00, 0x8F, 0x7F, 0x40, 0x00, 0x9F, 0x7F, 0x01, 0x00, 0x8F,
                                      0x7F, 0x40},
                                     kEnd}),
                             {0x01}},
                    WalkCase{"RepairOffKeepsHeldKeys",
                             kDefaults,
                             Concat({{0x00, 0x90, 0x3C, 0x50}, kEnd}),
                             Concat({{0x00, 0x90, 0x3C, 0x50}, kEnd}),
                             {0x50}}),
    CaseName);

TEST(MidiEngine, SysExLengthHoldingF7IsReadAsLength) {
    // Stored length F7 00 is 0x3B80 bytes; reading up to the first F7 would end it at once.
    Bytes track = Concat({{0x00, 0xF0, 0xF7, 0x00}, Bytes(0x3B80, 0x01), kEnd});
    const WalkResult result = Walk(kLoud, track);
    EXPECT_EQ(result.written, track);
}

TEST(MidiEngine, SysExLengthLongerThanTheWindowCopiedAsStored) {
    // A padded length of eight bytes, then data across many windows, then a note.
    const Bytes track = Concat({{0x00, 0xF0, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x05},
                                {0x7E, 0x7F, 0x09, 0x01, 0xF7, 0x00, 0x90, 0x3C, 0x64},
                                kEnd});
    for (size_t window : kWindows) {
        EXPECT_EQ(Hex(Walk(kDefaults, track, true, window).written), Hex(track))
            << "window " << window;
    }
}

TEST(MidiEngine, WithoutKeptLevelsWritesTheSameBytes) {
    // More levels than one block of them, through the fast loop and the checked path.
    Bytes track;
    for (int i = 0; i < 100000; ++i) {
        track.insert(track.end(), {0x05, 0x90, static_cast<uint8_t>(i % 100), 0x50});
        if (i % 1000 == 0) {
            track.insert(track.end(), {0x00, 0xFF, 0x01, 0x01, 'x', 0x00, 0xB0, 0x07, 0x40});
        }
    }
    track.insert(track.end(), kEnd.begin(), kEnd.end());
    for (const Adjustments& adjustments : {kDefaults, kRepair, Adjustments{700, 300, 150, false}}) {
        MidiEngine kept;
        MidiEngine notKept;
        notKept.KeepLevels(false);
        MemorySink keptSink;
        MemorySink notKeptSink;
        for (auto [engine, sink] :
             {std::pair{&kept, &keptSink}, std::pair{&notKept, &notKeptSink}}) {
            engine->BeginPass(adjustments, sink);
            engine->ExpectInput(track.size());
            engine->WalkTrack(track.data(), static_cast<uint32_t>(track.size()));
        }
        EXPECT_EQ(notKeptSink.bytes, keptSink.bytes);
        EXPECT_EQ(kept.m_levels.size(), 100100u);
        EXPECT_TRUE(notKept.m_levels.empty());
        EXPECT_EQ(notKept.m_levels.capacity(), 0u);
    }
}

TEST(MidiEngine, LoadPassRecordsLevelsAndWritesNothing) {
    const Bytes track = Concat({{0x00, 0x90, 0x3C, 0x64, 0x10, 0x3E, 0x50}, kEnd});
    const WalkResult result = Walk(kRepair, track, false);
    EXPECT_TRUE(result.written.empty());
    EXPECT_EQ(result.levels, (Bytes{0x64, 0x50}));
}

TEST(MidiEngine, HeaderCopiedWholeInSavePassOnly) {
    const Bytes header{0x00, 0x01, 0x00, 0x02, 0x01, 0xE0, 0xAA, 0xBB};
    for (bool save : {true, false}) {
        MidiEngine engine;
        MemorySink sink;
        engine.BeginPass(Adjustments(), save ? &sink : nullptr);
        engine.CopyHeader(header.data(), static_cast<uint32_t>(header.size()));
        EXPECT_EQ(sink.bytes, save ? header : Bytes{});
    }
}

void PutVarLen(Bytes& bytes, uint32_t value) {
    uint8_t groups[5];
    bytes.insert(bytes.end(), groups, TrackWriter::PutVarLen(groups, value));
}

// Output ticks up to the End of Track of a written track of Note On events in running status.
uint64_t EndTime(const Bytes& written) {
    uint64_t time = 0;
    size_t pos = 0;
    for (;;) {
        uint32_t delta = 0;
        do {
            delta = (delta << 7) | (written.at(pos) & 0x7F);
        } while (written.at(pos++) & 0x80);
        time += delta;
        if (written.at(pos) == 0xFF) {
            return time;
        }
        pos += (written.at(pos) & 0x80) ? 3 : 2;
    }
}

TEST(MidiEngine, TracksOfAnyDensityEndTogether) {
    // Every track lasts 38400 ticks: one note a tick or so, through one every half note.
    constexpr uint32_t kLength = 38400;
    for (const uint32_t spacing : {1u, 2u, 3u, 7u, 120u, 959u}) {
        Bytes track{0x00, 0x90, 0x3C, 0x40};
        uint32_t time = 0;
        for (uint32_t step = spacing; time + step + 100 < kLength; step = spacing + time % 3) {
            time += step;
            PutVarLen(track, step);
            track.insert(track.end(), {static_cast<uint8_t>(time % 128), 0x40});
        }
        PutVarLen(track, kLength - time);
        track.insert(track.end(), {0xFF, 0x2F, 0x00});
        for (const int percent : {37, 80, 150, 400}) {
            if (spacing * 100 < static_cast<uint32_t>(percent)) {
                continue; // a tick is the least a non-zero delta keeps: such notes end late
            }
            const WalkResult result = Walk(Adjustments{500, 500, percent, false}, track);
            EXPECT_EQ(EndTime(result.written), uint64_t{kLength} * 100 / percent)
                << "notes " << spacing << " apart at " << percent << " %";
        }
    }
}

TEST(MidiEngine, LongTrackStreamsAcrossBlocks) {
    Bytes track;
    Bytes expected;
    for (int i = 0; i < 100000; ++i) {
        const uint8_t key = static_cast<uint8_t>(i % 100);
        track.insert(track.end(), {0x05, 0x90, key, 0x50});
        expected.insert(expected.end(), {0x05, 0x80, key, 0x40, 0x00, 0x90, key, 0x50});
    }
    track.insert(track.end(), kEnd.begin(), kEnd.end());
    for (uint8_t key = 0; key < 100; ++key) {
        expected.insert(expected.end(), {0x00, 0x80, key, 0x40}); // still sounding at the end
    }
    expected.insert(expected.end(), kEnd.begin(), kEnd.end());
    for (const bool inRoom : {false, true}) {
        const WalkResult result = Walk(kRepair, track, true, 0, inRoom);
        EXPECT_EQ(result.written, expected) << "in room: " << inRoom;
        EXPECT_EQ(result.trackBytes, static_cast<int64_t>(expected.size()));
        EXPECT_EQ(result.levels.size(), 100000u);
    }
}
} // namespace

namespace {
// One engine for many files keeps its speed tables while the speed stays, and rebuilds them
// when it changes.
TEST(MidiEngine, EachPassUsesTheSpeedSetForIt) {
    const Bytes track = Concat({{0x60, 0x90, 0x3C, 0x64}, kEnd});
    MidiEngine engine;
    for (const auto& [speed, delta] :
         {std::pair{100, 0x60}, {200, 0x30}, {200, 0x30}, {50, 0xC0}, {100, 0x60}}) {
        Adjustments adjustments;
        adjustments.m_speedPercent = speed;
        MemorySink sink;
        engine.BeginPass(adjustments, &sink);
        engine.WalkTrack(track.data(), static_cast<uint32_t>(track.size()));
        engine.EndPass();
        const Bytes expectedDelta = delta < 0x80 ? Bytes{static_cast<uint8_t>(delta)}
                                                 : Bytes{0x81, static_cast<uint8_t>(delta - 0x80)};
        EXPECT_EQ(sink.bytes, Concat({expectedDelta, {0x90, 0x3C, 0x64}, kEnd})) << speed;
    }
}
} // namespace

// What the engine changes in a damaged track is counted; what it carries is carried whole.
namespace {
namespace damaged {
struct Walked {
    Bytes written;
    RepairCounts repairs;
    uint32_t walkEnd;
};

Walked Walk(const Bytes& track, int speed = 100) {
    Adjustments adjustments;
    adjustments.m_speedPercent = speed;
    MidiEngine engine;
    MemorySink sink;
    engine.BeginPass(adjustments, &sink);
    engine.WalkTrack(track.data(), static_cast<uint32_t>(track.size()));
    engine.EndPass();
    return {sink.bytes, engine.m_repairs, engine.WalkEnd()};
}

const Bytes kNote{0x00, 0x90, 0x3C, 0x40};
Bytes Join(std::initializer_list<Bytes> parts) {
    return Concat(parts);
}

// An End of Track has no data: what one carries is dropped and counted, the walk ends after it.
TEST(TrackEnd, DataOfAnEndOfTrackDroppedAndCounted) {
    const Walked walked = Walk(Join({kNote, {0x00, 0xFF, 0x2F, 0x02, 0x01, 0x02}}));
    EXPECT_EQ(walked.written, Join({kNote, kEnd}));
    EXPECT_EQ(walked.repairs.junkBytesDropped, 2u);
    EXPECT_EQ(walked.walkEnd, 10u);
    EXPECT_TRUE(walked.repairs.Any());
}

// A delta above 0x0FFFFFFF, which no file holds, is limited and counted; one in a longer form
// than it needs is only written shortest, a normalisation.
TEST(DeltaTime, AboveTheLargestLimitedAndCounted) {
    Walked walked = Walk(Join({{0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 0x3C, 0x40}, kEnd}));
    EXPECT_EQ(walked.written, Join({{0xFF, 0xFF, 0xFF, 0x7F, 0x90, 0x3C, 0x40}, kEnd}));
    EXPECT_EQ(walked.repairs.deltasTooLong, 1u);
    walked = Walk(Join({{0x80, 0x80, 0x80, 0x80, 0x01, 0x90, 0x3C, 0x40}, kEnd}));
    EXPECT_EQ(walked.written, Join({{0x01, 0x90, 0x3C, 0x40}, kEnd}));
    EXPECT_FALSE(walked.repairs.Any());
}

// The deltas of dropped events add up beyond 32 bits: the next event kept comes at their sum,
// at speeds that bring it back within a delta.
TEST(DeltaTime, DroppedDeltasCarriedBeyond32Bits) {
    Bytes track;
    constexpr int kDropped = 17;
    for (int i = 0; i < kDropped; ++i) {
        track.insert(track.end(), {0xFF, 0xFF, 0xFF, 0x7F, 0xF8}); // a real-time message, dropped
    }
    track = Join({track, kNote, kEnd});
    const uint64_t ticks = uint64_t{kDropped} * kMaxDelta;
    ASSERT_GT(ticks, uint64_t{UINT32_MAX});
    const Walked walked = Walk(track, 2000);
    uint8_t delta[4];
    const size_t length =
        TrackWriter::PutVarLen(delta, static_cast<uint32_t>(ticks * 100 / 2000)) - delta;
    EXPECT_EQ(walked.written, Join({Bytes(delta, delta + length), {0x90, 0x3C, 0x40}, kEnd}));
    EXPECT_EQ(walked.repairs.systemEventsDropped, uint64_t{kDropped});
}
} // namespace damaged
} // namespace

} // namespace korvane
