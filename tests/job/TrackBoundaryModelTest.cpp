#include "job/TrackBoundary.h"
#include "midi/MidiEngine.h"
#include "testing/RandomTrack.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <random>

namespace korvane {
namespace {
// The track-end search reads events on its own, a byte at a time through the input's window:
// on random tracks, damaged in every way the engine repairs and now and then followed by more
// (another track, as a wrong length leaves it), it must find the End of Track the engine's walk
// stops after, or none where the walk reads to the end.
TEST(TrackBoundaryModel, FindsTheEndTheEngineMeets) {
    TempFolder folder;
    const std::string path = folder.File("track");
    std::mt19937 random(34);
    for (int round = 0; round < 600; ++round) {
        std::vector<uint8_t> track = RandomTrack(random);
        if (random() % 2 == 0) {
            const std::vector<uint8_t> more = RandomTrack(random);
            track.insert(track.end(), more.begin(), more.end());
        }
        WriteFileBytes(path, track);
        BufferedFile file;
        ASSERT_TRUE(file.Open(path, BufferedFile::modeRead));
        InputWindow input(file, InputWindow::kSmallest << (round % 10));
        const std::optional<uint64_t> found = FindTrackEnd(input, 0, track.size());

        MidiEngine engine;
        engine.BeginPass(Adjustments{}, nullptr);
        engine.WalkTrack(track.data(), static_cast<uint32_t>(track.size()));
        engine.EndPass();
        ASSERT_EQ(found.value_or(track.size()), engine.WalkEnd()) << "round " << round;
    }
}
} // namespace
} // namespace korvane
