#include "tests/ui/ExampleMidi.h"
#include "ui/FluidFilePlayer.h"
#include "ui/FluidSession.h"
#include "ui/OfflineRender.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace korvane {
namespace {
constexpr double kLimitSeconds = 30;
// Longest time FluidSynth's player lets the last notes ring after the last tick.
constexpr double kTailSeconds = 5;

float Peak(const std::vector<float>& samples) {
    float peak = 0;
    for (const float sample : samples) {
        peak = std::max(peak, std::fabs(sample));
    }
    return peak;
}

class PlayerRender : public ::testing::Test {
  protected:
    std::string Path(const char* name) const { return (m_dir.path() + "/" + name).toStdString(); }

    // The example saved by the conversion job at speedPercent, rendered offline.
    RenderedAudio RenderSaved(int speedPercent) {
        const std::string input = Path("example.mid");
        const std::string output = Path("exampleKRV.mid");
        WriteBytes(input, ExampleMidiBytes());
        EXPECT_TRUE(SaveAtSpeed(input, output, speedPercent).Completed());
        return RenderOffline(output, FluidSession::DefaultSoundFonts(), kLimitSeconds);
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(PlayerRender, SavedSpeedScalesPlayingTime) {
    const RenderedAudio normal = RenderSaved(100);
    ASSERT_TRUE(normal.soundFontLoaded);
    ASSERT_TRUE(normal.finished);
    EXPECT_NEAR(normal.Seconds(), kExampleSeconds, 0.02 * kExampleSeconds);
    EXPECT_GT(Peak(normal.left), 0.01F);
    EXPECT_GT(Peak(normal.right), 0.01F);

    struct Case {
        int speedPercent;
        double ratio;
    };
    for (const Case c : {Case{50, 2.0}, Case{200, 0.5}, Case{400, 0.25}}) {
        SCOPED_TRACE(c.speedPercent);
        const RenderedAudio adjusted = RenderSaved(c.speedPercent);
        ASSERT_TRUE(adjusted.finished);
        EXPECT_NEAR(adjusted.Seconds() / normal.Seconds(), c.ratio, 0.03 * c.ratio);
    }
}

// The preview is played from memory: at 50 %, 100 % and 200 % it lasts twice, once and half as
// long as the example.
TEST_F(PlayerRender, PreviewSpeedScalesPlayingTime) {
    const std::string input = Path("example.mid");
    WriteBytes(input, ExampleMidiBytes());
    struct Case {
        int speedPercent;
        double ratio;
    };
    for (const Case c : {Case{50, 2.0}, Case{100, 1.0}, Case{200, 0.5}}) {
        SCOPED_TRACE(c.speedPercent);
        const RenderedAudio preview =
            RenderOffline(ExamplePreview(input, c.speedPercent), FluidSession::DefaultSoundFonts(),
                          kLimitSeconds);
        ASSERT_TRUE(preview.soundFontLoaded);
        ASSERT_TRUE(preview.finished);
        EXPECT_NEAR(preview.Seconds(), c.ratio * kExampleSeconds, 0.03 * c.ratio * kExampleSeconds);
    }
}

// At volume 1000 every velocity becomes 1: the preview is all but silent, the original is not.
TEST_F(PlayerRender, OriginalSoundsUnadjustedBesideThePreview) {
    const std::string input = Path("example.mid");
    WriteBytes(input, ExampleMidiBytes());
    const RenderedAudio original =
        RenderOffline(ExampleMidiBytes(), FluidSession::DefaultSoundFonts(), kLimitSeconds);
    const RenderedAudio quiet = RenderOffline(ExamplePreview(input, 100, 1000),
                                              FluidSession::DefaultSoundFonts(), kLimitSeconds);
    EXPECT_GT(Peak(original.left), 0.01F);
    EXPECT_LT(Peak(quiet.left), Peak(original.left) / 10);
    EXPECT_NEAR(quiet.Seconds(), original.Seconds(), 0.02 * kExampleSeconds);
}

TEST_F(PlayerRender, UnreadableFileEndsPlaybackAtOnce) {
    const std::string empty = Path("empty.mid");
    WriteBytes(empty, {});
    for (const std::string& path : {empty, Path("missing.mid")}) {
        const RenderedAudio audio = RenderOffline(path, FluidSession::DefaultSoundFonts(), 5);
        EXPECT_TRUE(audio.finished) << path;
        EXPECT_LT(audio.Seconds(), 0.1) << path;
    }
}

TEST_F(PlayerRender, PauseKeepsPositionStopRewindsSeekMoves) {
    const std::string path = Path("example.mid");
    WriteBytes(path, ExampleMidiBytes());
    FluidSession session;
    ASSERT_TRUE(session.LoadSoundFont(FluidSession::DefaultSoundFonts()));
    FluidFilePlayer player(session, path);
    EXPECT_FALSE(player.IsPlaying());

    player.Play();
    Advance(session, 1.0);
    EXPECT_TRUE(player.IsPlaying());
    EXPECT_EQ(player.TotalTicks(), kExampleTicks);
    const int afterOneSecond = player.CurrentTick(); // 192 ticks per second at 120 bpm
    EXPECT_NEAR(afterOneSecond, 192, 4);

    player.Pause();
    Advance(session, 1.0);
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(player.CurrentTick(), afterOneSecond);

    player.Play();
    Advance(session, 0.5);
    EXPECT_NEAR(player.CurrentTick(), afterOneSecond + 96, 4);

    player.Stop();
    player.Play();
    Advance(session, 0.5);
    EXPECT_NEAR(player.CurrentTick(), 96, 4);

    EXPECT_TRUE(player.Seek(600));
    Advance(session, 0.25);
    EXPECT_NEAR(player.CurrentTick(), 648, 4);
    Advance(session, 1.0);
    EXPECT_GE(player.CurrentTick(), kExampleTicks);
    Advance(session, kTailSeconds);
    EXPECT_FALSE(player.IsPlaying()); // the end of the file, once the notes have died away
}

TEST_F(PlayerRender, LoopRepeatsUntilTurnedOff) {
    const std::string path = Path("example.mid");
    WriteBytes(path, ExampleMidiBytes());
    FluidSession session;
    FluidFilePlayer player(session, path);
    player.SetLoop(true);
    player.Play();
    Advance(session, 2.5 * kExampleSeconds);
    EXPECT_TRUE(player.IsPlaying());
    EXPECT_NEAR(player.CurrentTick(), kExampleTicks / 2, 8);

    player.SetLoop(false);
    Advance(session, 0.4 * kExampleSeconds);
    EXPECT_LT(player.CurrentTick(), kExampleTicks);
    Advance(session, 0.2 * kExampleSeconds);
    EXPECT_GE(player.CurrentTick(), kExampleTicks);
    Advance(session, kTailSeconds);
    EXPECT_FALSE(player.IsPlaying());

    player.Play(); // after the end, Play starts again from the beginning
    Advance(session, 0.5);
    EXPECT_TRUE(player.IsPlaying());
    EXPECT_NEAR(player.CurrentTick(), 96, 4);
}

TEST(FluidSessionSetUp, SoundFontSearchSkipsWhatIsMissingOrBroken) {
    QTemporaryDir dir;
    const std::string broken = (dir.path() + "/broken.sf2").toStdString();
    WriteBytes(broken, {'R', 'I', 'F', 'F', 4, 0, 0, 0, 's', 'f', 'b', 'k', 'L', 'I', 'S', 'T'});
    const std::string missing = (dir.path() + "/missing.sf2").toStdString();

    FluidSession none;
    EXPECT_FALSE(none.LoadSoundFont({}));
    EXPECT_FALSE(none.LoadSoundFont({missing, broken, dir.path().toStdString()}));
    EXPECT_FALSE(none.HasSoundFont());

    std::vector<std::string> paths = {missing, broken};
    const std::vector<std::string> defaults = FluidSession::DefaultSoundFonts();
    paths.insert(paths.end(), defaults.begin(), defaults.end());
    FluidSession found;
    EXPECT_TRUE(found.LoadSoundFont(paths));
    EXPECT_TRUE(found.HasSoundFont());
}

TEST(FluidSessionSetUp, UnknownOrMissingDriversGiveNoAudio) {
    FluidSession session;
    EXPECT_FALSE(session.StartAudio({}));
    EXPECT_FALSE(session.StartAudio({"bogus", "", "no such driver"}));
    EXPECT_FALSE(session.HasAudio());
}

} // namespace korvane
