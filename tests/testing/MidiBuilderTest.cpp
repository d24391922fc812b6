#include "testing/MidiFileBuilder.h"
#include "testing/NoteTimeline.h"

#include <gtest/gtest.h>

namespace korvane {

using Bytes = std::vector<uint8_t>;

TEST(MidiTrack, VarLenShortestForm) {
    const std::vector<std::pair<uint32_t, Bytes>> cases = {
        {0, {0x00}},
        {0x40, {0x40}},
        {0x7F, {0x7F}},
        {0x80, {0x81, 0x00}},
        {0x2000, {0xC0, 0x00}},
        {0x3FFF, {0xFF, 0x7F}},
        {0x4000, {0x81, 0x80, 0x00}},
        {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}},
        {0xFFFFFFFF, {0x8F, 0xFF, 0xFF, 0xFF, 0x7F}},
    };
    for (const auto& [value, expected] : cases) {
        Bytes out;
        MidiTrack::AppendVarLen(out, value);
        EXPECT_EQ(out, expected) << "value " << value;
    }
}

TEST(MidiTrack, ChannelEventsWithAndWithoutRunningStatus) {
    for (bool running : {false, true}) {
        MidiTrack track(running);
        track.NoteOn(0, 1, 60, 100);
        track.NoteOn(0x80, 1, 60, 0);
        track.ControlChange(5, 1, 7, 90);
        track.ControlChange(5, 1, 7, 80);
        track.PitchBend(0, 1, 8192);
        track.ProgramChange(0, 2, 48);
        track.ChannelPressure(0, 2, 30);
        track.KeyPressure(0, 2, 61, 31);
        track.NoteOff(0, 2, 61);
        const Bytes expected =
            running ? Bytes{0x00, 0x91, 60, 100,  0x81, 0x00, 60,   0,    0x05, 0xB1, 7,
                            90,   0x05, 7,  80,   0x00, 0xE1, 0x00, 0x40, 0x00, 0xC2, 48,
                            0x00, 0xD2, 30, 0x00, 0xA2, 61,   31,   0x00, 0x82, 61,   64}
                    : Bytes{0x00, 0x91, 60,   100,  0x81, 0x00, 0x91, 60,   0,    0x05, 0xB1, 7,
                            90,   0x05, 0xB1, 7,    80,   0x00, 0xE1, 0x00, 0x40, 0x00, 0xC2, 48,
                            0x00, 0xD2, 30,   0x00, 0xA2, 61,   31,   0x00, 0x82, 61,   64};
        EXPECT_EQ(track.Data(), expected) << "running status " << running;
    }
}

TEST(MidiTrack, SystemAndMetaEventsCancelRunningStatus) {
    MidiTrack track(true);
    track.NoteOn(0, 0, 60, 100);
    track.SysEx(0, {0x7E, 0x7F, 0x09, 0x01, 0xF7});
    track.NoteOn(0, 0, 62, 100);
    track.Tempo(0, 500000);
    track.NoteOn(0, 0, 64, 100);
    track.SysExPacket(0, {0x01, 0x02});
    track.NoteOn(0, 0, 65, 100);
    track.EndOfTrack(0x10);
    const Bytes expected = {0x00, 0x90, 60,   100,  0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09,
                            0x01, 0xF7, 0x00, 0x90, 62,   100,  0x00, 0xFF, 0x51, 0x03,
                            0x07, 0xA1, 0x20, 0x00, 0x90, 64,   100,  0x00, 0xF7, 0x02,
                            0x01, 0x02, 0x00, 0x90, 65,   100,  0x10, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(track.Data(), expected);
}

TEST(MidiTrack, RefusesValuesAMidiFileCannotHold) {
    MidiTrack track;
    EXPECT_THROW(track.NoteOn(0, 16, 60, 100), std::invalid_argument);
    EXPECT_THROW(track.NoteOn(0, 0, 128, 100), std::invalid_argument);
    EXPECT_THROW(track.ControlChange(0, 0, 7, -1), std::invalid_argument);
    EXPECT_THROW(track.Meta(0, 0x80, {}), std::invalid_argument);
}

TEST(MidiFileBuilder, WritesHeaderAndChunksInOrder) {
    MidiTrack track;
    track.EndOfTrack();
    MidiFileBuilder file(1, 480);
    file.AddTrack(track);
    file.AddChunk("XFIH", {0xAA, 0xBB});
    file.AddTrack(track);
    const Bytes expected = {'M',  'T',  'h', 'd', 0,   0,   0, 6, 0, 1,    0,    2,
                            0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, 4,    0,    0xFF,
                            0x2F, 0,    'X', 'F', 'I', 'H', 0, 0, 0, 2,    0xAA, 0xBB,
                            'M',  'T',  'r', 'k', 0,   0,   0, 4, 0, 0xFF, 0x2F, 0};
    EXPECT_EQ(file.Bytes(), expected);
    EXPECT_THROW(file.AddChunk("MTr", {}), std::invalid_argument);
}

TEST(NoteTimeline, OrdersByTickReleasesBeforeStrikes) {
    NoteTimeline timeline;
    timeline.Note(100, 50, 0, 60, 90);
    timeline.Note(150, 10, 0, 60, 80); // struck again the tick it is released
    timeline.Control(150, 0, 7, 100);
    timeline.Tempo(0, 600000);
    MidiTrack track;
    EXPECT_EQ(timeline.WriteTo(track), 160u);
    const Bytes expected = {0x00, 0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0, 0x64, 0x90,
                            60,   90,   0x32, 0x80, 60,   64,   0x00, 0xB0, 7,
                            100,  0x00, 0x90, 60,   80,   0x0A, 0x80, 60,   64};
    EXPECT_EQ(track.Data(), expected);
}

} // namespace korvane
