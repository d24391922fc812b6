#include "ui/OfflineRender.h"

#include "ui/FluidFilePlayer.h"
#include "ui/FluidSession.h"

namespace korvane {
namespace {
// FluidSynth's own block size: the player's clock advances once per block.
constexpr size_t kBlockFrames = 64;

// source is what FluidFilePlayer takes: a path, or the bytes of a file.
template <class Source>
RenderedAudio Render(const Source& source, const std::vector<std::string>& soundFonts,
                     double maxSeconds) {
    FluidSession session;
    RenderedAudio audio;
    audio.soundFontLoaded = session.LoadSoundFont(soundFonts);
    audio.sampleRate = session.SampleRate();
    const auto limit = static_cast<size_t>(maxSeconds * audio.sampleRate);

    FluidFilePlayer player(session, source);
    player.Play();
    bool atLastTick = false;
    while (player.IsPlaying() && audio.left.size() < limit) {
        const size_t start = audio.left.size();
        audio.left.resize(start + kBlockFrames);
        audio.right.resize(start + kBlockFrames);
        session.Render(kBlockFrames, audio.left.data() + start, audio.right.data() + start);
        if (!atLastTick) {
            const int total = player.TotalTicks();
            atLastTick = total > 0 && player.CurrentTick() >= total;
            audio.musicFrames = audio.left.size();
        }
    }
    audio.finished = !player.IsPlaying();
    return audio;
}
} // namespace

RenderedAudio RenderOffline(const std::string& midiPath, const std::vector<std::string>& soundFonts,
                            double maxSeconds) {
    return Render(midiPath, soundFonts, maxSeconds);
}

RenderedAudio RenderOffline(const std::vector<uint8_t>& midiBytes,
                            const std::vector<std::string>& soundFonts, double maxSeconds) {
    return Render(midiBytes, soundFonts, maxSeconds);
}

} // namespace korvane
