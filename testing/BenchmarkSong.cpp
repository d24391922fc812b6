#include "testing/BenchmarkSong.h"

#include "testing/MidiFileBuilder.h"

namespace korvane {
namespace {
constexpr int kTracks = 16;

// A small deterministic generator, so every run measures the same file.
class Lcg {
  public:
    explicit Lcg(uint32_t seed) : m_state(seed) {}
    uint32_t Next(uint32_t bound) {
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) % bound;
    }

  private:
    uint32_t m_state;
};

void FillTrack(MidiTrack& track, int channel, size_t targetBytes, Lcg& random) {
    const int scale[7] = {0, 2, 4, 5, 7, 9, 11};
    const int base = 36 + 12 * (channel % 4);
    track.ProgramChange(0, channel, (channel * 8) % 128);
    while (track.Size() + 8 < targetBytes) {
        const uint32_t roll = random.Next(100);
        const int key = base + 12 * static_cast<int>(random.Next(3)) + scale[random.Next(7)];
        if (roll < 70) {
            // A short note: struck, then released with running status.
            track.NoteOn(random.Next(4) == 0 ? 0 : 1 + random.Next(240), channel, key,
                         1 + static_cast<int>(random.Next(127)));
            track.NoteOn(1 + random.Next(480), channel, key, 0);
        } else if (roll < 82) {
            track.ControlChange(random.Next(60), channel, 7, static_cast<int>(random.Next(128)));
        } else if (roll < 88) {
            track.ControlChange(random.Next(60), channel, 11, static_cast<int>(random.Next(128)));
        } else if (roll < 95) {
            track.PitchBend(random.Next(30), channel, static_cast<int>(random.Next(16384)));
        } else if (roll < 99) {
            track.KeyPressure(random.Next(30), channel, key, static_cast<int>(random.Next(128)));
        } else {
            track.Text(random.Next(2000), 0x01, "marker");
        }
    }
    track.EndOfTrack(0);
}
} // namespace

std::vector<uint8_t> BenchmarkSong(size_t targetBytes) {
    MidiFileBuilder file(1, 960);
    MidiTrack tempo;
    tempo.TrackName(0, "Benchmark");
    tempo.Tempo(0, 500000);
    tempo.EndOfTrack(0);
    file.AddTrack(tempo);
    Lcg random(20240607);
    const size_t perTrack = targetBytes / kTracks;
    for (int channel = 0; channel < kTracks; ++channel) {
        MidiTrack track(true);
        track.TrackName(0, "Part " + std::to_string(channel + 1));
        FillTrack(track, channel, perTrack, random);
        file.AddTrack(track);
    }
    return file.Bytes();
}

} // namespace korvane
