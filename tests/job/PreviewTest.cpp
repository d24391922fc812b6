#include "job/Preview.h"
#include "testing/PreviewWait.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace korvane {
namespace {
using Bytes = std::vector<uint8_t>;
using Log = std::vector<std::string>;

// 96 ticks per quarter: a note at velocity 0x64 held 0x60 ticks.
const Bytes kHeader{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60};
Bytes Song(uint8_t velocity, uint8_t delta) {
    Bytes song = kHeader;
    song.insert(song.end(), {'M',  'T',      'r',   'k',  0,    0,    0,    12,   0x00, 0x90,
                             0x3C, velocity, delta, 0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00});
    return song;
}
const Bytes kSong = Song(0x64, 0x60);

PreviewRequest Request(const std::string& input, size_t limit) {
    PreviewRequest request;
    request.inputPath = input;
    request.memoryLimit = limit;
    return request;
}

TEST(PreviewConversion, AdjustmentsGiveTheBytesASaveWrites) {
    TempFolder folder;
    const std::string in = folder.File("song.mid");
    WriteFileBytes(in, kSong);
    struct Case {
        int speedPercent;
        int dynamicRange;
        bool repair;
        Bytes expected;
    };
    const Case cases[] = {
        {100, 500, false, kSong},
        {200, 500, false, Song(0x64, 0x30)}, // every delta halved
        {50, 500, false, Song(0x64, 0x81)},  // 0xC0 takes two bytes: the track grows by one
        {100, 1000, false, Song(0x7F, 0x60)},
    };
    for (const Case& c : cases) {
        PreviewRequest request = Request(in, 1 << 20);
        request.adjustments.m_speedPercent = c.speedPercent;
        request.adjustments.m_dynamicRange = c.dynamicRange;
        request.adjustments.m_eliminateStuckNotes = c.repair;
        const PreviewResult result = ConvertPreview(request);
        ASSERT_EQ(result.status, PreviewResult::Status::Ready);
        Bytes expected = c.expected;
        if (c.speedPercent == 50) {
            expected[21] = 13;
            expected.insert(expected.begin() + 27, 0x40);
        }
        EXPECT_EQ(*result.preview, expected) << c.speedPercent << " " << c.dynamicRange;
        EXPECT_EQ(*result.original, kSong);
        EXPECT_EQ(result.request.adjustments.m_speedPercent, c.speedPercent);
    }
}

TEST(PreviewConversion, MemoryLimitCountsTheOriginalAndTheConvertedBytes) {
    TempFolder folder;
    const std::string in = folder.File("song.mid");
    WriteFileBytes(in, kSong);
    const size_t both = 2 * kSong.size();
    struct Case {
        size_t limit;
        PreviewResult::Status status;
    };
    for (const Case c :
         {Case{both, PreviewResult::Status::Ready}, Case{both - 1, PreviewResult::Status::TooLarge},
          Case{kSong.size(), PreviewResult::Status::TooLarge},
          Case{kSong.size() - 1, PreviewResult::Status::TooLarge},
          Case{0, PreviewResult::Status::TooLarge}}) {
        const PreviewResult result = ConvertPreview(Request(in, c.limit));
        EXPECT_EQ(result.status, c.status) << c.limit;
        EXPECT_EQ(result.preview != nullptr, c.status == PreviewResult::Status::Ready);
    }
}

TEST(PreviewConversion, InputThatCannotBeReadFails) {
    TempFolder folder;
    for (const std::string& input : {folder.File("missing.mid"), folder.Path()}) {
        const PreviewResult result = ConvertPreview(Request(input, 1 << 20));
        EXPECT_EQ(result.status, PreviewResult::Status::Failed) << input;
        EXPECT_EQ(result.preview, nullptr);
    }
    EXPECT_TRUE(FolderEntries(folder.Path()).empty());
}

TEST(PreviewConversion, OnlyTheLatestRequestIsOffered) {
    TempFolder folder;
    const std::string in = folder.File("song.mid");
    WriteFileBytes(in, kSong);
    ReadySignal ready;
    PreviewConversion conversion(ready.Callback());
    PreviewRequest first = Request(in, 1 << 20);
    first.adjustments.m_speedPercent = 50;
    PreviewRequest second = Request(in, 1 << 20);
    second.adjustments.m_speedPercent = 200;
    conversion.Start(first);
    conversion.Start(second);
    // The first may have been offered before the second came, and then dropped by it.
    std::optional<PreviewResult> result;
    int seen = 0;
    while (!result) {
        seen = ready.WaitBeyond(seen);
        result = conversion.Take();
    }
    EXPECT_EQ(result->request.adjustments.m_speedPercent, 200);
    EXPECT_EQ(*result->preview, Song(0x64, 0x30));
    EXPECT_FALSE(conversion.Take());

    conversion.Start(first);
    conversion.Cancel();
    EXPECT_FALSE(conversion.Take());
}

// Records every call the preview makes, in order, as text.
class RecordingPlayer : public PlayerControl {
  public:
    explicit RecordingPlayer(Log& log) : m_log(log) {}
    void HoldBytes(MidiBytes bytes, const std::string& name, bool preview,
                   double positionScale) override {
        m_log.push_back("HoldBytes(" + std::to_string(bytes ? bytes->size() : 0) + ", " + name +
                        (preview ? ", preview, " : ", original, ") + std::to_string(positionScale) +
                        ")");
        held = std::move(bytes);
    }
    void ShowTooLarge() override { m_log.push_back("ShowTooLarge"); }
    bool CanPlay() const override { return canPlay; }

    MidiBytes held;
    bool canPlay = true;

  private:
    Log& m_log;
};

class PreviewTest : public testing::Test {
  protected:
    PreviewTest() {
        preview.Enable(ready.Callback());
        WriteFileBytes(in, kSong);
    }

    // A load pass has completed, as the window tells the preview.
    void Load() {
        const int seen = ready.Count();
        preview.Suspend();
        preview.Loaded(in, adjustments);
        log.clear();
        m_seen = seen;
    }
    // Waits for the conversion started last and shows it, as the window does.
    void ShowNext() {
        m_seen = ready.WaitBeyond(m_seen);
        preview.Show();
    }
    void Refresh(int speedPercent) {
        adjustments.m_speedPercent = speedPercent;
        preview.Refresh(adjustments);
        ShowNext();
    }

    TempFolder folder;
    Log log;
    RecordingPlayer player{log};
    Preview preview{player};
    Adjustments adjustments;
    ReadySignal ready;
    const std::string in = folder.File("song.mid");
    int m_seen = 0;

    // What the recording player notes for the song's bytes.
    std::string Held(const char* what, const std::string& scale) const {
        return "HoldBytes(" + std::to_string(kSong.size()) + ", " + in + ", " + what + ", " +
               scale + ")";
    }
};

TEST_F(PreviewTest, LoadGivesThePlayerAPreviewThatFollowsTheSpeed) {
    Load();
    ShowNext();
    EXPECT_EQ(log, (Log{Held("preview", "0.000000")}));
    EXPECT_EQ(*player.held, kSong);

    // Positions scale by the old speed over the new: at 200 % a tick comes twice as soon.
    const struct {
        int speed;
        const char* scale;
        uint8_t delta;
    } steps[] = {{200, "0.500000", 0x30}, {400, "0.500000", 0x18}, {100, "4.000000", 0x60}};
    for (const auto& step : steps) {
        log.clear();
        Refresh(step.speed);
        EXPECT_EQ(log, (Log{Held("preview", step.scale)}));
        EXPECT_EQ(*player.held, Song(0x64, step.delta));
    }
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"song.mid"}));
}

// Keeping the bars leaves every tick where it was: positions carry over as they are, also to
// the original.
TEST_F(PreviewTest, KeptBarsKeepThePositions) {
    Load();
    ShowNext();
    adjustments.m_keepBars = true;
    log.clear();
    Refresh(200);
    // The ticks as read, the default tempo halved in front.
    Bytes kept = Song(0x64, 0x60);
    kept[kHeader.size() + 7] += 7;
    kept.insert(kept.begin() + static_cast<long>(kHeader.size()) + 8,
                {0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90});
    EXPECT_EQ(*player.held, kept);
    EXPECT_EQ(log, (Log{"HoldBytes(" + std::to_string(kept.size()) + ", " + in +
                        ", preview, 1.000000)"}));
    log.clear();
    preview.HearOriginal(true);
    EXPECT_EQ(log, (Log{Held("original", "1.000000")}));
}

TEST_F(PreviewTest, TheOriginalIsTheLoadedFileAtTheSameMusicalPosition) {
    Load();
    ShowNext();
    Refresh(200);
    log.clear();
    preview.HearOriginal(true);
    EXPECT_TRUE(preview.HearingOriginal());
    EXPECT_EQ(log, (Log{Held("original", "2.000000")}));
    EXPECT_EQ(*player.held, kSong);

    // A new preview while the original plays waits for the switch back.
    adjustments.m_dynamicRange = 1000;
    log.clear();
    preview.Refresh(adjustments);
    ShowNext();
    EXPECT_TRUE(log.empty());
    preview.HearOriginal(false);
    EXPECT_EQ(log, (Log{Held("preview", "0.500000")}));
    EXPECT_EQ(*player.held, Song(0x7F, 0x30));
}

TEST_F(PreviewTest, SaveHoldsTheSavedFileAndAFailedSaveTheLastPreview) {
    Load();
    ShowNext();
    preview.HearOriginal(true);
    preview.Suspend();
    preview.Saved(folder.File("songKRV.mid"), 100);
    EXPECT_FALSE(preview.HearingOriginal());

    log.clear();
    preview.Suspend();
    preview.SaveFailed();
    EXPECT_EQ(log, (Log{Held("preview", "0.000000")}));
    EXPECT_EQ(*player.held, kSong);
}

TEST_F(PreviewTest, NothingIsConvertedUntilThePlayerCanPlay) {
    player.canPlay = false;
    preview.Suspend();
    preview.Loaded(in, adjustments);
    EXPECT_EQ(log, (Log{"HoldBytes(0, " + in + ", preview, 0.000000)"}));
    EXPECT_EQ(ready.Count(), 0);

    player.canPlay = true; // a Play has found sound and asks again
    log.clear();
    preview.Refresh(adjustments);
    ShowNext();
    EXPECT_EQ(log, (Log{Held("preview", "0.000000")}));
}

TEST_F(PreviewTest, TooLargeSaysSo) {
    preview.SetMemoryLimit(2 * kSong.size() - 1);
    Load();
    ShowNext();
    EXPECT_EQ(log, (Log{"ShowTooLarge"}));
    EXPECT_FALSE(preview.HasPreview());
    // The saved file would cost the player as much as the preview: it is refused the same way.
    const std::string saved = folder.File("songKRV.mid");
    WriteFileBytes(saved, kSong);
    log.clear();
    preview.Suspend();
    preview.Saved(saved, 100);
    EXPECT_EQ(log, (Log{"ShowTooLarge"}));
    EXPECT_FALSE(preview.HasPreview());

    preview.SetMemoryLimit(2 * kSong.size());
    Load();
    ShowNext();
    EXPECT_TRUE(preview.HasPreview());
    log.clear();
    preview.Suspend();
    preview.Saved(saved, 100);
    EXPECT_TRUE(log.empty());
}

TEST_F(PreviewTest, AFailedLoadLeavesNoFileToPreview) {
    Load();
    ShowNext();
    EXPECT_TRUE(preview.HasPreview());
    preview.Suspend();
    preview.LoadFailed();
    EXPECT_FALSE(preview.HasPreview());
    log.clear();
    adjustments.m_speedPercent = 300;
    preview.Refresh(adjustments);
    preview.HearOriginal(true);
    EXPECT_TRUE(log.empty());
}

TEST_F(PreviewTest, PreviewingWritesNoFileAnywhere) {
    TempFolder temporary;
    const char* saved = std::getenv("TMPDIR");
    const std::string savedTmp = saved != nullptr ? saved : "";
    ::setenv("TMPDIR", temporary.Path().c_str(), 1);
    Load();
    ShowNext();
    Refresh(150);
    preview.HearOriginal(true);
    Refresh(75);
    if (saved != nullptr) {
        ::setenv("TMPDIR", savedTmp.c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"song.mid"}));
    EXPECT_TRUE(FolderEntries(temporary.Path()).empty());
}
} // namespace
} // namespace korvane
