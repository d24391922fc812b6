// Writes a collection of MIDI files for the collection benchmark: FILES files spread over
// FOLDERS folders, sizes drawn around a median of 10 KB and a mean of about 18 KB with a few
// of 1 MB, formats 0 and 1, and about one file in twenty damaged the ways real collections
// are. The same arguments always give the same tree.
#include "testing/MidiFileBuilder.h"
#include "testing/MidiTrack.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <random>
#include <string>

using korvane::MidiFileBuilder;
using korvane::MidiTrack;
using korvane::WriteBytes;

namespace {
constexpr double kMedianBytes = 10240;
constexpr double kSpread = 1.05; // log-normal sigma: the mean comes out near 1.8 x the median
constexpr size_t kLargest = 1 << 20;
constexpr int kLargeEvery = 2000; // one file in this many is 1 MB

MidiTrack ChannelTrack(std::mt19937& random, int channel, size_t bytes) {
    MidiTrack track(random() % 2 == 0);
    track.ProgramChange(0, channel, static_cast<int>(random() % 128));
    std::uniform_int_distribution<int> key(36, 96);
    std::uniform_int_distribution<int> velocity(1, 127);
    std::uniform_int_distribution<uint32_t> delta(0, 240);
    while (track.Size() < bytes) {
        const int k = key(random);
        track.NoteOn(delta(random), channel, k, velocity(random));
        if (random() % 8 == 0) {
            track.ControlChange(delta(random), channel, 7, velocity(random));
        }
        if (random() % 5 != 0) { // the rest stay stuck
            track.NoteOff(delta(random), channel, k);
        }
    }
    track.EndOfTrack();
    return track;
}

std::vector<uint8_t> Song(std::mt19937& random, size_t bytes) {
    const bool format0 = random() % 4 == 0;
    const int tracks = format0 ? 1 : 1 + static_cast<int>(random() % 12);
    MidiFileBuilder file(format0 ? 0 : 1, 480);
    if (!format0) {
        MidiTrack tempo;
        tempo.Tempo(0, 500000);
        tempo.TimeSignature(0, 4, 2);
        tempo.EndOfTrack();
        file.AddTrack(tempo);
    }
    for (int t = 0; t < tracks; ++t) {
        file.AddTrack(ChannelTrack(random, t % 16, bytes / static_cast<size_t>(tracks)));
    }
    return file.Bytes();
}

// Cut short, a vendor chunk, or a track without its End of Track.
void Damage(std::mt19937& random, std::vector<uint8_t>& bytes) {
    switch (random() % 3) {
    case 0:
        bytes.resize(bytes.size() / 2 + random() % (bytes.size() / 2));
        break;
    case 1:
        MidiFileBuilder::AppendChunk(bytes, "XFIH", std::vector<uint8_t>(64, 0x11));
        break;
    default:
        bytes.resize(bytes.size() - 4); // the last track's End of Track; its length still counts it
        break;
    }
}

size_t DrawSize(std::mt19937& random, int index) {
    if (index % kLargeEvery == kLargeEvery - 1) {
        return kLargest;
    }
    std::lognormal_distribution<double> size(std::log(kMedianBytes), kSpread);
    return std::clamp<size_t>(static_cast<size_t>(size(random)), 200, kLargest);
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: collection_tree FOLDER FILES FOLDERS\n", stderr);
        return 2;
    }
    try {
        const std::string root = argv[1];
        const int files = std::atoi(argv[2]);
        const int folders = std::max(1, std::atoi(argv[3]));
        std::mt19937 random(20244);
        size_t total = 0;
        for (int i = 0; i < files; ++i) {
            const std::string folder = root + "/set" + std::to_string(i % folders);
            std::filesystem::create_directories(folder);
            std::vector<uint8_t> bytes = Song(random, DrawSize(random, i));
            if (random() % 20 == 0) {
                Damage(random, bytes);
            }
            total += bytes.size();
            WriteBytes(folder + "/song" + std::to_string(i) + ".mid", bytes);
        }
        std::printf("%d files, %zu bytes\n", files, total);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "collection_tree: %s\n", e.what());
        return 1;
    }
}
