#include "job/ConversionJob.h"
#include "job/LanguageTable.h"
#include "job/PartedOutput.h"
#include "job/PreviewConversion.h"
#include "testing/PreviewWait.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvane {
namespace {
using Bytes = std::vector<uint8_t>;

// A format 1 header declaring this many tracks.
Bytes Header(uint8_t tracks) {
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, tracks, 0, 0x60};
}

const Bytes kHeader = Header(1);

Bytes Chunk(const char* id, const Bytes& data) {
    Bytes chunk(id, id + 4);
    const auto n = static_cast<uint32_t>(data.size());
    chunk.insert(chunk.end(), {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
                               static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)});
    chunk.insert(chunk.end(), data.begin(), data.end());
    return chunk;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// A RIFF chunk: little-endian length, padded to an even length.
Bytes RiffChunk(const char* id, const Bytes& data, uint32_t declared) {
    Bytes chunk(id, id + 4);
    for (int shift = 0; shift < 32; shift += 8) {
        chunk.push_back(static_cast<uint8_t>(declared >> shift));
    }
    chunk.insert(chunk.end(), data.begin(), data.end());
    if (data.size() % 2 != 0) {
        chunk.push_back(0);
    }
    return chunk;
}

Bytes RiffChunk(const char* id, const Bytes& data) {
    return RiffChunk(id, data, static_cast<uint32_t>(data.size()));
}

Bytes Riff(const char* form, const Bytes& chunks) {
    Bytes body(form, form + 4);
    body.insert(body.end(), chunks.begin(), chunks.end());
    return RiffChunk("RIFF", body);
}

const Bytes kList = RiffChunk("LIST", {'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 2, 0, 0, 0, 'x', 0});

const Bytes kTrack{0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00};
const Bytes kSong = Join({kHeader, Chunk("MTrk", kTrack)});

ConversionRequest SaveRequest(const std::string& input, const std::string& output,
                              const Adjustments& adjustments = {}) {
    return {.inputPath = input,
            .outputPath = output,
            .adjustments = adjustments,
            .output = OutputTo::File,
            .keepLevels = true};
}

// The English text of an outcome's message.
std::string Said(const ConversionOutcome& outcome) {
    return MessageText(*LanguageTextsFor(1), outcome.message);
}

class ConversionJobTest : public testing::Test {
  protected:
    ConversionOutcome Save(const std::string& input, const std::string& output) {
        return job.RunConversion(SaveRequest(input, output, adjustments));
    }

    ConversionOutcome Load(const std::string& input) {
        return job.RunConversion({.inputPath = input, .keepLevels = true});
    }

    TempFolder folder;
    Adjustments adjustments;
    ConversionJob job;
    const std::string in = folder.File("song.mid");
    const std::string out = folder.File("songKRV.mid");
};

TEST_F(ConversionJobTest, LoadPassRecordsLevelsAndWritesNothing) {
    WriteFileBytes(in, kSong);
    const ConversionOutcome outcome = Load(in);
    ASSERT_TRUE(outcome.Completed());
    EXPECT_EQ(outcome.levels, (Bytes{0x64, 0x40}));
    EXPECT_EQ(outcome.bytesIn, kSong.size());
    EXPECT_EQ(outcome.bytesOut, 0u);
    EXPECT_FALSE(FileExists(out));
}

TEST_F(ConversionJobTest, SavePassWritesFileAndSaysWhatItWrote) {
    WriteFileBytes(in, kSong);
    adjustments.m_eliminateStuckNotes = true;
    const ConversionOutcome outcome = Save(in, out);
    ASSERT_TRUE(outcome.Completed());
    const Bytes expected =
        Join({kHeader, Chunk("MTrk", {0x00, 0x80, 0x3C, 0x40, 0x00, 0x90, 0x3C, 0x64, 0x60, 0x80,
                                      0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00})});
    EXPECT_EQ(ReadFileBytes(out), expected);
    EXPECT_EQ(outcome.bytesIn, kSong.size());
    EXPECT_EQ(outcome.bytesOut, expected.size());
    // The Note Off before the Note On released nothing: no repair.
    EXPECT_EQ(outcome.repairs.noteOffsInserted, 0u);
    EXPECT_EQ(outcome.message, JobMessage::None);
    EXPECT_EQ(ReadFileBytes(in), kSong);
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"song.mid", "songKRV.mid"}));
}

// The loudest mapped Note On, 0x30, reaches the peak 0x60: a gain of 2 on the piano's Note
// Ons; its Note Off and the drums (left unmapped) stay. Saved file, preview and plot agree.
TEST_F(ConversionJobTest, PeakGainReachesTheFileThePreviewAndThePlot) {
    const Bytes piano{0x00, 0x90, 0x3C, 0x20, 0x00, 0x3E, 0x30, 0x60,
                      0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00};
    const Bytes drums{0x00, 0x99, 0x24, 0x7F, 0x00, 0xFF, 0x2F, 0x00};
    WriteFileBytes(in, Join({Header(2), Chunk("MTrk", piano), Chunk("MTrk", drums)}));
    adjustments.m_levelChannels = Adjustments::kAllButDrums;
    adjustments.m_peakLevel = 0x60;
    const ConversionOutcome outcome = Save(in, out);
    ASSERT_TRUE(outcome.Completed());
    const Bytes expected = Join({Header(2),
                                 Chunk("MTrk", {0x00, 0x90, 0x3C, 0x40, 0x00, 0x3E, 0x60, 0x60,
                                                0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}),
                                 Chunk("MTrk", drums)});
    EXPECT_EQ(ReadFileBytes(out), expected);
    EXPECT_EQ(outcome.loudestNoteOn, 0x30u);
    EXPECT_DOUBLE_EQ(outcome.gain.Factor(), 2.0);
    EXPECT_EQ(outcome.levels, (Bytes{0x20, 0x30, 0x40, 0x80 | 0x7F}));
    EXPECT_EQ(outcome.noteOnMarks, (Bytes{1, 1, 0, 0}));
    const PreviewResult preview =
        ConvertPreview({.inputPath = in, .adjustments = adjustments, .memoryLimit = 1 << 20});
    ASSERT_EQ(preview.status, PreviewResult::Status::Ready);
    EXPECT_EQ(*preview.preview, expected);
}

TEST_F(ConversionJobTest, SaveTwiceToTheSameOutput) {
    WriteFileBytes(in, kSong);
    ASSERT_TRUE(Save(in, out).Completed());
    adjustments.m_speedPercent = 50;
    ASSERT_TRUE(Save(in, out).Completed());
    EXPECT_EQ(ReadFileBytes(out)[kHeader.size() + 8 + 4], 0x81); // delta 0x60 doubled
}

struct FileCase {
    const char* name;
    Bytes input;
    Bytes expected;
    // The MIDI data the preview plays as the original, where it is not the whole input.
    Bytes original = {};
};

class ChunkFraming : public ConversionJobTest, public testing::WithParamInterface<FileCase> {};

// Windows that cut chunk headers, lengths and events anywhere.
constexpr size_t kWindows[] = {8, 9, 13, 17};

TEST_P(ChunkFraming, WritesExpectedFile) {
    WriteFileBytes(in, GetParam().input);
    ASSERT_TRUE(Save(in, out).Completed());
    EXPECT_EQ(ReadFileBytes(out), GetParam().expected);
    for (const size_t window : kWindows) {
        ConversionJob windowed(window);
        ASSERT_TRUE(windowed.RunConversion(SaveRequest(in, out)).Completed())
            << "window " << window;
        EXPECT_EQ(ReadFileBytes(out), GetParam().expected) << "window " << window;
    }
}

// The preview runs the save pass into memory: every framing rule holds for it as well.
TEST_P(ChunkFraming, PreviewHoldsTheSameBytes) {
    WriteFileBytes(in, GetParam().input);
    PreviewRequest request;
    request.inputPath = in;
    request.memoryLimit = 1 << 20;
    const PreviewResult result = ConvertPreview(request);
    ASSERT_EQ(result.status, PreviewResult::Status::Ready);
    EXPECT_EQ(*result.preview, GetParam().expected);
    EXPECT_EQ(*result.original,
              GetParam().original.empty() ? GetParam().input : GetParam().original);
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"song.mid"}));
}

// A save pass handed over in parts of partSize, put together again as a receiver would.
Bytes SavedInParts(const std::string& input, const Adjustments& adjustments, size_t partSize) {
    Bytes bytes;
    PartedOutput output(partSize, [&bytes](std::span<const uint8_t> part) {
        bytes.insert(bytes.end(), part.begin(), part.end());
    });
    const ConversionOutcome outcome = ConversionJob().RunConversion({.inputPath = input,
                                                                     .adjustments = adjustments,
                                                                     .output = OutputTo::Given,
                                                                     .given = &output});
    EXPECT_TRUE(outcome.Completed());
    for (const PartedOutput::Patch& patch : output.Finish()) {
        std::copy(patch.bytes.begin(), patch.bytes.end(), bytes.begin() + patch.position);
    }
    return bytes;
}

// The page's save hands its output over in parts: every framing rule holds across them, the
// lengths and track counts written back into parts already handed over included.
TEST_P(ChunkFraming, PartsHoldTheSameBytes) {
    WriteFileBytes(in, GetParam().input);
    for (const size_t partSize : {size_t{5}, size_t{16}, size_t{1} << 17}) {
        EXPECT_EQ(SavedInParts(in, {}, partSize), GetParam().expected) << "parts of " << partSize;
    }
}

const Bytes kEnd{0x00, 0xFF, 0x2F, 0x00};

INSTANTIATE_TEST_SUITE_P(
    Files, ChunkFraming,
    testing::Values(
        FileCase{"HeaderOnlyCountsNoTrack", kHeader, Header(0)},
        FileCase{"HeaderOfEightKeepsEight", Chunk("MThd", {0, 1, 0, 0, 0, 0x60, 0xAB, 0xCD}),
                 Chunk("MThd", {0, 1, 0, 0, 0, 0x60, 0xAB, 0xCD})},
        FileCase{"MacBinaryHeaderDropped", Join({Bytes(128, 0x20), kSong}), kSong},
        FileCase{"HeaderFoundAtTheSearchLimit", Join({Bytes(4095, 0), kSong}), kSong},
        FileCase{"RmidDataChunkUnwrapped", Riff("RMID", RiffChunk("data", kSong)), kSong, kSong},
        FileCase{"RmidChunksAfterDataLeftOut",
                 Riff("RMID", Join({RiffChunk("data", kSong), kList})), kSong, kSong},
        FileCase{"RmidOddChunkBeforeDataSkippedWithItsPadding",
                 Riff("RMID", Join({RiffChunk("DISP", {1, 2, 3}), RiffChunk("data", kSong)})),
                 kSong, kSong},
        FileCase{"RmidDataLongerThanFileKeepsWhatIsThere",
                 Riff("RMID", RiffChunk("data", kSong, 5000)), kSong, kSong},
        // The track claims 100 bytes; the data chunk ends after 5 and the LIST chunk is not
        // read as part of the track.
        FileCase{
            "RmidTrackCutByDataChunkEnd",
            Riff("RMID",
                 Join({RiffChunk("data", Join({kHeader, Bytes{'M', 'T', 'r', 'k', 0, 0, 0, 100,
                                                              0x00, 0x90, 0x3C, 0x64, 0x00}})),
                       kList})),
            Join({kHeader, Chunk("MTrk", Join({{0x00, 0x90, 0x3C, 0x64}, kEnd}))}),
            Join({kHeader, Bytes{'M', 'T', 'r', 'k', 0, 0, 0, 100, 0x00, 0x90, 0x3C, 0x64, 0x00}})},
        FileCase{"VendorChunkCopiedNotWalked",
                 Join({kHeader, Chunk("XFIH", {0x90, 0x3C, 0x64}), Chunk("MTrk", kEnd)}),
                 Join({kHeader, Chunk("XFIH", {0x90, 0x3C, 0x64}), Chunk("MTrk", kEnd)})},
        FileCase{
            "TrackLengthRecomputed",
            Join({kHeader, Chunk("MTrk", {0x00, 0xFF, 0x01, 0x80, 0x01, 'x', 0x00, 0xFF, 0x2F, 0x00,
                                          0x55, 0x55})}),
            Join({kHeader, Chunk("MTrk", {0x00, 0xFF, 0x01, 0x01, 'x', 0x00, 0xFF, 0x2F, 0x00})})},
        // Declared 100 bytes, 5 there: the bytes there are walked and framed truthfully.
        FileCase{
            "TrackCutByEndOfFile",
            Join({kHeader, Bytes{'M', 'T', 'r', 'k', 0, 0, 0, 100, 0x00, 0x90, 0x3C, 0x64, 0x00}}),
            Join({kHeader, Chunk("MTrk", Join({{0x00, 0x90, 0x3C, 0x64}, kEnd}))})},
        FileCase{"CutLengthFieldWritesNothing",
                 Join({kHeader, Chunk("MTrk", kEnd), Bytes{'M', 'T', 'r', 'k', 0, 0}}),
                 Join({kHeader, Chunk("MTrk", kEnd)})},
        FileCase{"CutIdWritesNothing", Join({kSong, Bytes{'M', 'T'}}), kSong},
        FileCase{"HugeDeclaredLength",
                 Join({kHeader, Bytes{'M', 'T', 'r', 'k', 0xFF, 0xFF, 0xFF, 0xF0}, kEnd}),
                 Join({kHeader, Chunk("MTrk", kEnd)})}),
    [](const testing::TestParamInfo<FileCase>& param) { return param.param.name; });

// What is no MIDI file is refused whole: no output, and the message says why.
class NotMidi : public ConversionJobTest, public testing::WithParamInterface<FileCase> {};

TEST_P(NotMidi, RefusedWithItsMessageAndNoOutput) {
    WriteFileBytes(in, GetParam().input);
    for (bool save : {true, false}) {
        const ConversionOutcome outcome = save ? Save(in, out) : Load(in);
        EXPECT_EQ(Said(outcome), "The input file is not a MIDI file.");
        EXPECT_TRUE(outcome.levels.empty());
        EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"song.mid"}));
    }
}

const std::string kPasswd = "root:x:0:0:root:/root:/bin/bash\n";

INSTANTIATE_TEST_SUITE_P(
    Files, NotMidi,
    testing::Values(
        FileCase{"Empty", {}, {}}, FileCase{"Text", Bytes(kPasswd.begin(), kPasswd.end()), {}},
        FileCase{"Picture", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13}, {}},
        FileCase{"HeaderBeyondTheSearchLimit", Join({Bytes(4096, 0), kSong}), {}},
        FileCase{"FirstChunkNoHeader", Join({Chunk("XFIH", {1, 2, 3}), Chunk("MTrk", kEnd)}), {}},
        FileCase{
            "HeaderShorterThanItsFields", Join({Chunk("MThd", {0, 1}), Chunk("MTrk", kEnd)}), {}},
        FileCase{"HeaderCutByTheEnd", Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1}, {}},
        FileCase{"RmidHoldingText",
                 Riff("RMID", RiffChunk("data", Bytes(kPasswd.begin(), kPasswd.end()))),
                 {}}),
    [](const testing::TestParamInfo<FileCase>& param) { return param.param.name; });

// A track with its declared length off by delta bytes.
Bytes TrackOff(const Bytes& data, int delta) {
    Bytes chunk = Chunk("MTrk", data);
    chunk[7] = static_cast<uint8_t>(chunk[7] + delta);
    return chunk;
}

const Bytes kOtherTrack{0x00, 0xC1, 0x05, 0x10, 0x91, 0x40, 0x50, 0x00, 0xFF, 0x2F, 0x00};

INSTANTIATE_TEST_SUITE_P(
    Repairs, ChunkFraming,
    testing::Values(
        FileCase{"HeaderLengthReachingTracksCut",
                 Join({Bytes{'M', 'T', 'h', 'd', 0x7F, 0xFF, 0xFF, 0xFF, 0, 1, 0, 1, 0, 0x60},
                       Chunk("MTrk", kTrack)}),
                 kSong},
        FileCase{"HeaderLengthEndingInsideTrackIdCut",
                 Join({Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 8, 0, 1, 0, 1, 0, 0x60},
                       Chunk("MTrk", kTrack)}),
                 kSong},
        FileCase{"TrackLengthShortReadToItsEnd",
                 Join({Header(2), TrackOff(kTrack, -3), Chunk("MTrk", kOtherTrack)}),
                 Join({Header(2), Chunk("MTrk", kTrack), Chunk("MTrk", kOtherTrack)})},
        // The real end is found reading the events as the engine does: here past an event that
        // a status byte broke off.
        FileCase{"TrackLengthShortPastABrokenEvent",
                 Join({Header(2),
                       TrackOff({0x00, 0x90, 0x3E, 0xB0, 0x07, 0x64, 0x00, 0x90, 0x3C, 0x64, 0x10,
                                 0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00},
                                -6),
                       Chunk("MTrk", kOtherTrack)}),
                 Join({Header(2),
                       Chunk("MTrk", {0x00, 0xB0, 0x07, 0x64, 0x00, 0x90, 0x3C, 0x64, 0x10, 0x80,
                                      0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}),
                       Chunk("MTrk", kOtherTrack)})},
        FileCase{"TrackLengthLongGivesTheNextTrackBack",
                 Join({Header(2), TrackOff(kTrack, 5), Chunk("MTrk", kOtherTrack)}),
                 Join({Header(2), Chunk("MTrk", kTrack), Chunk("MTrk", kOtherTrack)})},
        FileCase{"TrackLengthTakingAWholeTrack",
                 Join({Header(3), TrackOff(kTrack, 8 + static_cast<int>(kOtherTrack.size())),
                       Chunk("MTrk", kOtherTrack), Chunk("MTrk", kTrack)}),
                 Join({Header(3), Chunk("MTrk", kTrack), Chunk("MTrk", kOtherTrack),
                       Chunk("MTrk", kTrack)})},
        FileCase{"TrackCountPatched", Join({Header(5), Chunk("MTrk", kTrack)}), kSong},
        FileCase{"TrailingPageDropped",
                 Join({kSong, Bytes{'<', 'h', 't', 'm', 'l', '>', '<', 'b', 'o', 'd', 'y',
                                    '>', 'x', '<', '/', 'b', 'o', 'd', 'y', '>', '\n'}}),
                 kSong},
        FileCase{"UnprintableChunkDropped", Join({kSong, Chunk("\x01\x02\x03\x04", {1, 2, 3})}),
                 kSong},
        FileCase{"VendorChunkCutShortDropped",
                 Join({kSong, Bytes{'X', 'F', 'I', 'H', 0, 0, 0, 100, 1, 2, 3}}), kSong},
        FileCase{
            "JunkBetweenTracksDroppedUpToTheNextTrack",
            Join({Header(2), Chunk("MTrk", kTrack), Bytes(10, 0x00), Chunk("MTrk", kOtherTrack)}),
            Join({Header(2), Chunk("MTrk", kTrack), Chunk("MTrk", kOtherTrack)})}),
    [](const testing::TestParamInfo<FileCase>& param) { return param.param.name; });

// The reproducers of issue 33, each the bytes a repair must give.
const Bytes kNote{0x00, 0x90, 0x3C, 0x40, 0x10, 0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00};
const Bytes kOtherNote{0x00, 0x91, 0x3E, 0x40, 0x10, 0x81, 0x3E, 0x40, 0x00, 0xFF, 0x2F, 0x00};
const Bytes kTwoNotes = Join({Header(2), Chunk("MTrk", kNote), Chunk("MTrk", kOtherNote)});
const Bytes kPage{'<', 'h', 't', 'm', 'l', '>', '4', '0', '4',
                  '<', '/', 'h', 't', 'm', 'l', '>', '\n'};
const Bytes kVendor = Chunk("XFIH", {1, 2, 3});
Bytes FromSecondByte(const Bytes& bytes) {
    return Bytes(bytes.begin() + 1, bytes.end());
}
// A track's length covering it and a chunk after it, as its only length field says.
Bytes Covering(const Bytes& track, const Bytes& after) {
    Bytes chunk = Chunk("MTrk", Join({track, after}));
    return Bytes(chunk.begin(), chunk.end() - static_cast<ptrdiff_t>(after.size()));
}

INSTANTIATE_TEST_SUITE_P(
    LosingNoTrack, ChunkFraming,
    testing::Values(
        FileCase{"EveryEndOfTrackInALengthIsChecked",
                 Join({Header(2), Covering(Join({kNote, kEnd}), Chunk("MTrk", kOtherNote)),
                       Chunk("MTrk", kOtherNote)}),
                 kTwoNotes},
        FileCase{"LastTrackShortBeforeAPage", Join({Header(1), TrackOff(kNote, -5), kPage}),
                 Join({Header(1), Chunk("MTrk", kNote)})},
        FileCase{"TrackShortBeforeJunkAndATrack",
                 Join({Header(2), TrackOff(kNote, 2), Bytes{'z', 'z', 1, 2, 3, 4, 5},
                       Chunk("MTrk", kOtherNote)}),
                 kTwoNotes},
        FileCase{"VendorChunkReachingIntoATrackDropped",
                 Join({Header(2), Chunk("MTrk", kNote), Chunk("XFIH", {1, 2, 3, 'M'}),
                       FromSecondByte(Chunk("MTrk", kOtherNote))}),
                 kTwoNotes},
        // Its events are not read over the next track header to that track's End of Track.
        FileCase{"TrackWithoutEndOfTrackLeavesTheNextOne",
                 Join({Header(2), TrackOff({0x00, 0x90, 0x3C, 0x40, 0x10, 0x80, 0x3C, 0x40}, -2),
                       Chunk("MTrk", kOtherNote)}),
                 Join({Header(2), Chunk("MTrk", {0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}),
                       Chunk("MTrk", kOtherNote)})},
        FileCase{"TrackIdInAnotherCase",
                 Join({Header(2), Chunk("mTrk", kNote), Chunk("MTRK", kOtherNote)}), kTwoNotes},
        FileCase{"OtherCaseThatIsNoTrackStaysAChunk",
                 Join({Header(1), Chunk("mtrk", {1, 2, 3}), Chunk("MTrk", kNote)}),
                 Join({Header(1), Chunk("mtrk", {1, 2, 3}), Chunk("MTrk", kNote)})},
        FileCase{"BytesAfterEndOfTrackDropped",
                 Join({Header(1), Chunk("MTrk", Join({kNote, Bytes{'j', 'u', 'n', 'k'}}))}),
                 Join({Header(1), Chunk("MTrk", kNote)})},
        FileCase{"VendorChunkInsideATrackLengthKept",
                 Join({Header(1), Covering(kNote, kVendor), kVendor}),
                 Join({Header(1), Chunk("MTrk", kNote), kVendor})},
        FileCase{"EndOfTrackDataDropped",
                 Join({Header(1), Chunk("MTrk", Join({Bytes(kNote.begin(), kNote.end() - 1),
                                                      Bytes{0x02, 0x01, 0x02}}))}),
                 Join({Header(1), Chunk("MTrk", kNote)})},
        // A legal header longer than its fields is kept whole, whatever its extra bytes hold.
        FileCase{"LongHeaderHoldingATrackIdKept",
                 Join({Chunk("MThd", {0, 1, 0, 1, 0, 0x60, 'M', 'T', 'r', 'k', 0, 0, 0, 0}),
                       Chunk("MTrk", kNote)}),
                 Join({Chunk("MThd", {0, 1, 0, 1, 0, 0x60, 'M', 'T', 'r', 'k', 0, 0, 0, 0}),
                       Chunk("MTrk", kNote)})},
        FileCase{"HeaderLengthReachingIntoAVendorChunkCut",
                 Join({Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 9, 0, 1, 0, 1, 0, 0x60}, kVendor,
                       Chunk("MTrk", kNote)}),
                 Join({Header(1), kVendor, Chunk("MTrk", kNote)})}),
    [](const testing::TestParamInfo<FileCase>& param) { return param.param.name; });

// A file of which no track is left fails, with its own message, unless it held none.
TEST_F(ConversionJobTest, NoTrackLeftIsAFailureNotARepair) {
    WriteFileBytes(in, Join({Header(1), Chunk("mTrk", {0x00, 0x90, 0x3C})}));
    for (bool save : {true, false}) {
        const ConversionOutcome outcome = save ? Save(in, out) : Load(in);
        EXPECT_FALSE(outcome.Completed());
        EXPECT_EQ(Said(outcome), "No track is left in the input file.");
        EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"song.mid"}));
    }
    for (const Bytes& none : {Join({Header(0), kVendor}), Header(1)}) {
        WriteFileBytes(in, none);
        EXPECT_TRUE(Save(in, out).Completed());
    }
}

// Songs of two and three tracks, each length alone off by -8 to 8: every track is read whole.
// Rows: the track as it is, with junk after it (bytes, or a web page), with several End of
// Tracks (its length covering them all when not off).
TEST_F(ConversionJobTest, TrackLengthsOffByAFewBytesKeepEveryTrack) {
    const std::vector<Bytes> tracks{kTrack, kOtherTrack,
                                    Join({{0x00, 0xFF, 0x03, 0x01, 'x'}, kTrack})};
    const std::vector<std::pair<Bytes, Bytes>> rows{
        {{}, {}}, {{}, {'z', 'z', 1, 2, 3, 4, 5}}, {{}, kPage}, {Join({kEnd, kEnd}), {}}};
    for (const auto& [moreEnds, junk] : rows) {
        for (const size_t count : {size_t{2}, size_t{3}}) {
            Bytes intact = Header(static_cast<uint8_t>(count));
            for (size_t t = 0; t < count; ++t) {
                intact = Join({intact, Chunk("MTrk", tracks[t])});
            }
            for (size_t off = 0; off < count; ++off) {
                for (int delta = -8; delta <= 8; ++delta) {
                    Bytes input = Header(static_cast<uint8_t>(count));
                    for (size_t t = 0; t < count; ++t) {
                        const Bytes track = t == off ? Join({tracks[t], moreEnds}) : tracks[t];
                        input =
                            Join({input, t == off ? TrackOff(track, delta) : Chunk("MTrk", track),
                                  t == off ? junk : Bytes{}});
                    }
                    WriteFileBytes(in, input);
                    ASSERT_TRUE(Save(in, out).Completed());
                    EXPECT_EQ(ReadFileBytes(out), intact)
                        << count << " tracks, track " << off << " off by " << delta << ", "
                        << moreEnds.size() / kEnd.size() << " more ends, " << junk.size()
                        << " bytes of junk";
                }
            }
        }
    }
}

// A file of nothing but chunk headers: every one framed, every track closed and its length
// patched, the header and vendor chunks copied, whatever the window.
TEST_F(ConversionJobTest, ManyTinyChunksEachFramedAndClosed) {
    Bytes input = kHeader;
    Bytes expected = kHeader;
    for (int i = 0; i < 3000; ++i) {
        const Bytes chunk =
            i % 7 == 3 ? Chunk("XFIH", {static_cast<uint8_t>(i)}) : Chunk("MTrk", {});
        input.insert(input.end(), chunk.begin(), chunk.end());
        const Bytes written = i % 7 == 3 ? chunk : Chunk("MTrk", kEnd);
        expected.insert(expected.end(), written.begin(), written.end());
    }
    expected[11] = 2571 % 256; // the tracks written: 3000 chunks less one in seven
    expected[10] = 2571 / 256;
    WriteFileBytes(in, input);
    for (const size_t window : {size_t{8}, size_t{13}, InputWindow::kDefaultSize}) {
        ConversionJob windowed(window);
        ASSERT_TRUE(windowed.RunConversion(SaveRequest(in, out)).Completed());
        EXPECT_EQ(ReadFileBytes(out), expected) << "window " << window;
    }
}

// Notes up to offset in the track, then short system events to land on it exactly.
void PadTo(Bytes& track, size_t offset) {
    for (uint8_t key = 0; offset - track.size() > 9; key = (key + 1) % 128) {
        track.insert(track.end(), {0x05, 0x90, key, 0x50, 0x03, 0x80, key, 0x40});
    }
    while (track.size() < offset) {
        if ((offset - track.size()) % 2 == 1) {
            track.insert(track.end(), {0x00, 0xF1, 0x12});
        } else {
            track.insert(track.end(), {0x00, 0xF8});
        }
    }
}

// A track of 3 MiB read through windows of 1 MiB, each read ahead of the walk, with a System
// Exclusive length, a meta length and a note cut by the windows' ends: the bytes and levels of
// a pass that holds the track whole, and with no levels kept, the same bytes.
TEST_F(ConversionJobTest, LargeTrackThroughWindowsGivesTheSameFile) {
    constexpr size_t kMiB = size_t{1} << 20;
    // The track's data starts after the header chunk and its own chunk header.
    const size_t windowEnd = kMiB - kHeader.size() - 8;
    Bytes track;
    PadTo(track, windowEnd - 3);
    track.insert(track.end(), {0x00, 0xF0, 0x82, 0x00});
    track.insert(track.end(), 256, 0x11);
    PadTo(track, windowEnd + kMiB - 4);
    track.insert(track.end(), {0x00, 0xFF, 0x01, 0x81, 0x00});
    track.insert(track.end(), 128, 'm');
    PadTo(track, windowEnd + 2 * kMiB - 2);
    track.insert(track.end(), {0x00, 0x90, 0x3C, 0x64});
    PadTo(track, 3 * kMiB + 1000);
    track.insert(track.end(), kEnd.begin(), kEnd.end());
    WriteFileBytes(in, Join({kHeader, Chunk("MTrk", track)}));
    adjustments.m_speedPercent = 70;
    adjustments.m_eliminateStuckNotes = true;
    const ConversionOutcome first = Save(in, out);
    ASSERT_TRUE(first.Completed());
    const Bytes whole = ReadFileBytes(out);
    ASSERT_GT(first.levels.size(), 700000u);
    for (const size_t window : {kMiB, kMiB + 3}) {
        for (const bool keepLevels : {true, false}) {
            ConversionRequest request = SaveRequest(in, out, adjustments);
            request.keepLevels = keepLevels;
            const ConversionOutcome outcome = ConversionJob(window).RunConversion(request);
            ASSERT_TRUE(outcome.Completed());
            EXPECT_EQ(ReadFileBytes(out), whole) << "window " << window;
            EXPECT_EQ(outcome.levels, keepLevels ? first.levels : Bytes{}) << "window " << window;
        }
    }
    EXPECT_EQ(SavedInParts(in, adjustments, size_t{1} << 17), whole);
}

TEST_F(ConversionJobTest, MissingInputLeavesNoOutputAndKeepsEarlierOne) {
    WriteFileBytes(out, {1, 2, 3});
    const ConversionOutcome outcome = Save(folder.File("missing.mid"), out);
    EXPECT_FALSE(outcome.Completed());
    EXPECT_EQ(Said(outcome), "The input MIDI file can not be opened.");
    EXPECT_EQ(outcome.reason, "No such file or directory");
    EXPECT_EQ(ReadFileBytes(out), (Bytes{1, 2, 3}));
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"songKRV.mid"}));
}

TEST_F(ConversionJobTest, RiffWithoutMidiDataIsNoMidiFile) {
    const std::string rmi = folder.File("song.rmi");
    const Bytes cases[] = {
        Riff("WAVE", RiffChunk("data", kSong)),
        Riff("RMID", kList),
        Riff("RMID", {}),
        Join({Riff("RMID", {}), Bytes{'d', 'a', 't', 'a', 0x10}}),
        Bytes{'R', 'I', 'F', 'F', 0x20, 0, 0, 0, 'R', 'M'},
        Bytes{'R', 'I', 'F', 'F'},
    };
    for (const Bytes& input : cases) {
        WriteFileBytes(rmi, input);
        EXPECT_EQ(Said(Save(rmi, out)), "The input file is not a MIDI file.");
        EXPECT_FALSE(FileExists(out));
        EXPECT_EQ(Said(Load(rmi)), "The input file is not a MIDI file.");
    }
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"song.rmi"}));
}

TEST_F(ConversionJobTest, RmidLoadsLikeItsMidiFileAndSavesAsMid) {
    const std::string rmi = folder.File("song.rmi");
    WriteFileBytes(rmi, Riff("RMID", Join({RiffChunk("data", kSong), kList})));
    EXPECT_EQ(Load(rmi).levels, (Bytes{0x64, 0x40}));
    const ConversionOutcome saved = Save(rmi, out);
    ASSERT_TRUE(saved.Completed());
    EXPECT_EQ(ReadFileBytes(out), kSong);
    EXPECT_EQ(saved.levels, (Bytes{0x64, 0x40}));
}

TEST_F(ConversionJobTest, FailuresReportAndLeaveNothing) {
    WriteFileBytes(in, kSong);
    struct Case {
        std::string input;
        std::string output;
        std::string message;
    };
    const Case cases[] = {
        {in, "", "The output MIDI file can not be created."},
        {in, folder.File("no/such/folder/x.mid"), "The output MIDI file can not be created."},
        {in, folder.Path(), "The output MIDI file can not be created."},
        {in, in, "The output file must not be the input file."},
        {folder.Path(), out, "The input MIDI file can not be opened."},
        {folder.Path() + "/", out, "The input MIDI file can not be opened."},
    };
    for (const Case& c : cases) {
        const ConversionOutcome outcome = Save(c.input, c.output);
        EXPECT_EQ(outcome.status, ConversionStatus::Failed) << c.output;
        EXPECT_EQ(Said(outcome), c.message) << c.input << " -> " << c.output;
        EXPECT_TRUE(outcome.levels.empty());
    }
    EXPECT_EQ(ReadFileBytes(in), kSong);
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"song.mid"}));
}

TEST_F(ConversionJobTest, OutputLinkedToInputIsRefused) {
    WriteFileBytes(in, kSong);
    ASSERT_EQ(::symlink(in.c_str(), out.c_str()), 0);
    EXPECT_EQ(Said(Save(in, out)), "The output file must not be the input file.");
    EXPECT_EQ(ReadFileBytes(in), kSong);
}

TEST_F(ConversionJobTest, SavingThroughALinkReplacesItsTargetAndKeepsTheLink) {
    WriteFileBytes(in, kSong);
    const std::string target = folder.File("target.mid");
    WriteFileBytes(target, {9});
    ASSERT_EQ(::symlink("target.mid", out.c_str()), 0);
    ASSERT_TRUE(Save(in, out).Completed());
    struct stat st {};
    ASSERT_EQ(::lstat(out.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFileBytes(target), kSong);
}

TEST_F(ConversionJobTest, NewOutputGetsUsualPermissionsAndExistingKeepsItsOwn) {
    WriteFileBytes(in, kSong);
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(Save(in, out).Completed());
    struct stat st {};
    ASSERT_EQ(::stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    ASSERT_EQ(::chmod(out.c_str(), 0640), 0);
    ASSERT_TRUE(Save(in, out).Completed());
    ASSERT_EQ(::stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    ::umask(mask);
}

// Runs check as an unprivileged user (in a child process when the tests run as root, since root
// may write anything) and returns its result.
bool RunUnprivileged(const std::function<bool()>& check) {
    if (::geteuid() != 0) {
        return check();
    }
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

TEST_F(ConversionJobTest, UnwritableOutputOrFolderIsNotCreated) {
    WriteFileBytes(in, kSong);
    WriteFileBytes(out, {7});
    ASSERT_EQ(::chmod(out.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0777), 0);
    const std::string lockedFolder = folder.File("locked");
    ASSERT_EQ(::mkdir(lockedFolder.c_str(), 0555), 0);
    const std::string expected = "The output MIDI file can not be created.";
    const bool refused = RunUnprivileged([&] {
        const ConversionOutcome readOnly = Save(in, out);
        const ConversionOutcome locked = Save(in, lockedFolder + "/x.mid");
        return Said(readOnly) == expected && readOnly.reason == "Permission denied" &&
               Said(locked) == expected && locked.reason == "Permission denied";
    });
    EXPECT_TRUE(refused);
    EXPECT_EQ(ReadFileBytes(out), (Bytes{7}));
    EXPECT_EQ(FolderEntries(lockedFolder), std::vector<std::string>{});
}

// A file size limit makes writes fail the way a full disk does.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

  private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

TEST_F(ConversionJobTest, WriteFailureReportsAndKeepsEarlierOutput) {
    Bytes track;
    for (int i = 0; i < 300000; ++i) {
        track.insert(track.end(), {0x01, 0x90, 0x3C, 0x50});
    }
    WriteFileBytes(in, Join({kHeader, Chunk("MTrk", track)}));
    WriteFileBytes(out, {1, 2, 3});
    ConversionOutcome outcome;
    {
        const FileSizeLimit limit(100000);
        outcome = Save(in, out);
    }
    EXPECT_EQ(Said(outcome), "The output MIDI file can not be written.");
    EXPECT_EQ(outcome.reason, "File too large");
    EXPECT_EQ(ReadFileBytes(out), (Bytes{1, 2, 3}));
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"song.mid", "songKRV.mid"}));
}

// Things at the output path that a save must leave exactly as they are.
struct HostileOutput {
    const char* name;
    std::function<bool(const TempFolder& folder, const std::string& out)> make;
};

bool MakeSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

bool MakeChain(const TempFolder& folder, const std::string& out, int links, const char* end) {
    bool made = ::symlink("chain1", out.c_str()) == 0;
    for (int i = 1; i < links; ++i) {
        const std::string next = i + 1 == links ? end : "chain" + std::to_string(i + 1);
        made =
            made && ::symlink(next.c_str(), folder.File("chain" + std::to_string(i)).c_str()) == 0;
    }
    return made;
}

const HostileOutput kHostileOutputs[] = {
    {"Fifo",
     [](const TempFolder&, const std::string& out) { return ::mkfifo(out.c_str(), 0600) == 0; }},
    {"Socket", [](const TempFolder&, const std::string& out) { return MakeSocket(out); }},
    {"CharacterDevice",
     [](const TempFolder&, const std::string& out) {
         // The same device as /dev/null, made here so that a fault cannot replace the real one.
         return ::mknod(out.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
     }},
    {"LinkToFifo",
     [](const TempFolder& folder, const std::string& out) {
         return ::mkfifo(folder.File("fifo").c_str(), 0600) == 0 &&
                ::symlink("fifo", out.c_str()) == 0;
     }},
    {"LinkLoop",
     [](const TempFolder& folder, const std::string& out) {
         return ::symlink("loop", out.c_str()) == 0 &&
                ::symlink("songKRV.mid", folder.File("loop").c_str()) == 0;
     }},
    {"ChainTooLongToAFile",
     [](const TempFolder& folder, const std::string& out) {
         WriteFileBytes(folder.File("target.mid"), {7});
         return MakeChain(folder, out, 41, "target.mid");
     }},
    {"ChainTooLongToNothing",
     [](const TempFolder& folder, const std::string& out) {
         return MakeChain(folder, out, 41, "target.mid");
     }},
};

struct Snapshot {
    std::vector<std::string> names;
    std::vector<mode_t> kinds;
    bool operator==(const Snapshot&) const = default;
};

Snapshot TakeSnapshot(const TempFolder& folder) {
    Snapshot snapshot{FolderEntries(folder.Path()), {}};
    for (const std::string& name : snapshot.names) {
        struct stat st {};
        ::lstat(folder.File(name).c_str(), &st);
        snapshot.kinds.push_back(st.st_mode & S_IFMT);
    }
    return snapshot;
}

TEST_F(ConversionJobTest, OutputThatIsNoPlaceForAFileIsNotCreatedAndNothingIsTouched) {
    for (const HostileOutput& hostile : kHostileOutputs) {
        TempFolder place;
        const std::string input = place.File("song.mid");
        const std::string output = place.File("songKRV.mid");
        WriteFileBytes(input, kSong);
        if (!hostile.make(place, output)) {
            ASSERT_STREQ(hostile.name, "CharacterDevice") << "cannot make the case";
            continue; // making device nodes needs a privilege this machine may not grant
        }
        const Snapshot before = TakeSnapshot(place);
        EXPECT_EQ(Said(Save(input, output)), "The output MIDI file can not be created.")
            << hostile.name;
        EXPECT_EQ(TakeSnapshot(place), before) << hostile.name;
        EXPECT_EQ(ReadFileBytes(input), kSong);
    }
}

TEST_F(ConversionJobTest, InputThatIsNoFileIsRefusedAtOnceAndLeavesNoTemporary) {
    const std::string fifo = folder.File("fifo.mid");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string message = "The input MIDI file can not be opened.";
    for (const std::string& input : {fifo, std::string("/dev/null")}) {
        EXPECT_EQ(Said(Save(input, out)), message) << input;
        EXPECT_EQ(Said(Load(input)), message) << input;
    }
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"fifo.mid"});
    // The output is still judged first: both failing names the output.
    ASSERT_EQ(::mkfifo(out.c_str(), 0600), 0);
    EXPECT_EQ(Said(Save(fifo, out)), "The output MIDI file can not be created.");
}

class FailedSaveTemporary : public testing::TestWithParam<bool> {
  protected:
    void TearDown() override { TempOutput::ForceNamed(false); }
};

TEST_P(FailedSaveTemporary, IsGoneBeforeTheMessageShows) {
    TempOutput::ForceNamed(GetParam());
    TempFolder folder;
    Bytes track;
    for (int i = 0; i < 300000; ++i) {
        track.insert(track.end(), {0x01, 0x90, 0x3C, 0x50});
    }
    WriteFileBytes(folder.File("song.mid"), Join({kHeader, Chunk("MTrk", track)}));
    const FileSizeLimit limit(100000);
    // The outcome comes back to be shown only once the temporary is gone.
    EXPECT_FALSE(
        ConversionJob()
            .RunConversion(SaveRequest(folder.File("song.mid"), folder.File("songKRV.mid")))
            .Completed());
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"song.mid"});
}

INSTANTIATE_TEST_SUITE_P(Kinds, FailedSaveTemporary, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& kind) {
                             return kind.param ? "Named" : "Unnamed";
                         });

} // namespace

namespace {
struct ChunkRepairCase {
    const char* name;
    Bytes input;
    RepairCounts expected;
};

class ChunkRepairs : public ConversionJobTest,
                     public testing::WithParamInterface<ChunkRepairCase> {};

std::string Counts(const RepairCounts& c) {
    return "closed " + std::to_string(c.tracksClosed) + ", dropped " +
           std::to_string(c.eventsDropped) + ", cut short " + std::to_string(c.chunksCutShort) +
           ", copied " + std::to_string(c.chunksCopied) + ", note offs " +
           std::to_string(c.noteOffsInserted) + ", headers cut " + std::to_string(c.headersCut) +
           ", lengths " + std::to_string(c.trackLengthsRepaired) + ", junk " +
           std::to_string(c.junkBytesDropped) + ", counts " + std::to_string(c.trackCountsPatched) +
           ", ids " + std::to_string(c.trackIdsRepaired);
}

// The window's load pass counts what the save pass repairs.
TEST_P(ChunkRepairs, SaveAndLoadPassCountAlike) {
    const ChunkRepairCase& c = GetParam();
    WriteFileBytes(in, c.input);
    for (bool save : {true, false}) {
        const ConversionOutcome outcome = save ? Save(in, out) : Load(in);
        ASSERT_TRUE(outcome.Completed());
        EXPECT_EQ(Counts(outcome.repairs), Counts(c.expected)) << "save " << save;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ChunkRepairs,
    testing::Values(
        ChunkRepairCase{"Sound", kSong, {}},
        ChunkRepairCase{"VendorChunksAreNoRepair",
                        Join({kHeader, Chunk("XFIH", {1}), Chunk("MTrk", kEnd), Chunk("XFKM", {})}),
                        {.chunksCopied = 2}},
        ChunkRepairCase{"TrackCutByEndOfFile",
                        Join({kHeader, Bytes{'M', 'T', 'r', 'k', 0, 0, 0, 9, 0x00, 0x90, 0x3C}}),
                        {.tracksClosed = 1, .eventsDropped = 1, .chunksCutShort = 1}},
        ChunkRepairCase{"CutLengthField",
                        Join({kSong, Bytes{'M', 'T', 'r', 'k', 0, 0}}),
                        {.chunksCutShort = 1}},
        ChunkRepairCase{"CutId", Join({kSong, Bytes{'M'}}), {.chunksCutShort = 1}},
        ChunkRepairCase{"HeaderCutShort",
                        Join({Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 8}, Bytes{0, 1, 0, 0, 0, 0x60}}),
                        {.chunksCutShort = 1}},
        ChunkRepairCase{
            "LeadingBytesDropped", Join({Bytes(128, 0), kSong}), {.leadingBytesDropped = 128}},
        ChunkRepairCase{"HeaderLengthCut",
                        Join({Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 9, 0, 1, 0, 1, 0, 0x60, 7},
                              Chunk("MTrk", kTrack)}),
                        {.headersCut = 1, .junkBytesDropped = 1}},
        ChunkRepairCase{
            "HeaderLengthPastTheEndCut",
            Join({Bytes{'M', 'T', 'h', 'd', 0x7F, 0xFF, 0xFF, 0xFF, 0, 1, 0, 1, 0, 0x60},
                  Chunk("MTrk", kTrack)}),
            {.headersCut = 1}},
        ChunkRepairCase{"TrackLengthsRepaired",
                        Join({Header(3), TrackOff(kTrack, -2), TrackOff(kOtherTrack, 3),
                              Chunk("MTrk", kTrack)}),
                        {.trackLengthsRepaired = 2}},
        ChunkRepairCase{
            "TrailingJunkCounted", Join({kSong, Bytes(20, 0xEE)}), {.junkBytesDropped = 20}},
        ChunkRepairCase{"TrackCountPatched",
                        Join({Header(0), Chunk("MTrk", kTrack)}),
                        {.trackCountsPatched = 1}},
        // Every change to the bytes that mends damage is counted.
        ChunkRepairCase{"EveryEndOfTrackInALengthIsChecked",
                        Join({Header(2), Covering(Join({kNote, kEnd}), Chunk("MTrk", kOtherNote)),
                              Chunk("MTrk", kOtherNote)}),
                        {.trackLengthsRepaired = 1, .junkBytesDropped = 4}},
        ChunkRepairCase{"TrackShortBeforeJunkAndATrack",
                        Join({Header(2), TrackOff(kNote, 2), Bytes{'z', 'z', 1, 2, 3, 4, 5},
                              Chunk("MTrk", kOtherNote)}),
                        {.trackLengthsRepaired = 1, .junkBytesDropped = 7}},
        ChunkRepairCase{"BytesAfterEndOfTrack",
                        Join({Header(1), Chunk("MTrk", Join({kNote, Bytes{'j', 'u', 'n', 'k'}}))}),
                        {.junkBytesDropped = 4}},
        ChunkRepairCase{"EndOfTrackData",
                        Join({Header(1), Chunk("MTrk", Join({Bytes(kNote.begin(), kNote.end() - 1),
                                                             Bytes{0x02, 0x01, 0x02}}))}),
                        {.junkBytesDropped = 2}},
        ChunkRepairCase{"VendorChunkInsideATrackLength",
                        Join({Header(1), Covering(kNote, kVendor), kVendor}),
                        {.chunksCopied = 1, .trackLengthsRepaired = 1}},
        ChunkRepairCase{
            "VendorChunkReachingIntoATrack",
            Join({Header(1), Chunk("XFIH", {1, 2, 'M'}), FromSecondByte(Chunk("MTrk", kNote))}),
            {.junkBytesDropped = 10}},
        ChunkRepairCase{"TrackIdInAnotherCase",
                        Join({Header(1), Chunk("MtRK", kNote)}),
                        {.trackIdsRepaired = 1}},
        ChunkRepairCase{"LongHeaderIsNoRepair",
                        Join({Chunk("MThd", {0, 1, 0, 1, 0, 0x60, 'M', 'T', 'r', 'k', 0, 0, 0, 0}),
                              Chunk("MTrk", kNote)}),
                        {}}),
    [](const testing::TestParamInfo<ChunkRepairCase>& param) { return param.param.name; });
} // namespace

namespace {
// A run over many files takes each finished output and commits it with others.
TEST_F(ConversionJobTest, DeferredSaveLeavesItsOutputToBeCommitted) {
    WriteFileBytes(in, kSong);
    WriteFileBytes(out, {1, 2});
    ConversionRequest request = SaveRequest(in, out);
    request.deferCommit = true;
    ConversionOutcome outcome = job.RunConversion(request);
    ASSERT_TRUE(outcome.Completed());
    ASSERT_TRUE(outcome.pending.IsValid());
    EXPECT_EQ(ReadFileBytes(out), (Bytes{1, 2})); // the earlier output, until the commit
    EXPECT_TRUE(outcome.pending.Commit());
    EXPECT_EQ(ReadFileBytes(out), kSong);

    request.outputPath = folder.File("other.mid");
    job.RunConversion(request); // dropped uncommitted: nothing of it stays
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"song.mid", "songKRV.mid"}));
}
} // namespace

} // namespace korvane
