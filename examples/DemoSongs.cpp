#include "examples/DemoSongs.h"

#include "testing/NoteTimeline.h"

#include <algorithm>
#include <cmath>

namespace korvane {
namespace {
constexpr int kDivision = 480;
constexpr uint32_t kBeat = kDivision;

struct MelodyNote {
    int key;
    int beats;
};
using Bar = std::vector<MelodyNote>;
using Chord = std::vector<int>;

uint32_t MicrosecondsPerBeat(int bpm) {
    return 60000000u / static_cast<uint32_t>(bpm);
}

// Lays out a melody bar by bar; velocity(bar, beat) gives each note's velocity.
template <typename Velocity>
void AddMelody(NoteTimeline& timeline, int channel, const std::vector<Bar>& bars, uint32_t barTicks,
               Velocity velocity) {
    for (size_t bar = 0; bar < bars.size(); ++bar) {
        uint32_t tick = static_cast<uint32_t>(bar) * barTicks;
        int beat = 0;
        for (const MelodyNote& note : bars[bar]) {
            const uint32_t length = static_cast<uint32_t>(note.beats) * kBeat;
            timeline.Note(tick, length - 20, channel, note.key, velocity(bar, beat));
            tick += length;
            beat += note.beats;
        }
    }
}

MidiTrack ConductorTrack(const std::string& name, int numerator, int bpm) {
    MidiTrack track;
    track.TrackName(0, name);
    track.TimeSignature(0, numerator, 2);
    track.Tempo(0, MicrosecondsPerBeat(bpm));
    track.EndOfTrack(0);
    return track;
}

MidiTrack InstrumentTrack(const std::string& name, const NoteTimeline& timeline,
                          bool runningStatus = false) {
    MidiTrack track(runningStatus);
    track.TrackName(0, name);
    timeline.WriteTo(track);
    track.EndOfTrack(kBeat);
    return track;
}
} // namespace

MidiFileBuilder PianoDynamics() {
    constexpr uint32_t barTicks = 4 * kBeat;
    // Left-hand chord roots (C3 = 48) and the loudness of each bar: pp, a long crescendo to
    // ff, a sudden piano and a fade to almost nothing.
    const std::vector<int> roots = {48, 45, 41, 43, 48, 52, 41, 43, 45, 41, 48, 43, 41, 43, 48, 48};
    const std::vector<bool> minor = {false, true,  false, false, false, true,  false, false,
                                     true,  false, false, false, false, false, false, false};
    const std::vector<int> level = {24, 28, 32,  36,  44, 54, 64, 74,
                                    84, 94, 106, 120, 62, 46, 30, 16};
    const std::vector<Bar> melody = {{{76, 2}, {74, 1}, {72, 1}},
                                     {{72, 1}, {76, 1}, {81, 2}},
                                     {{81, 1}, {79, 1}, {77, 1}, {76, 1}},
                                     {{74, 3}, {71, 1}},
                                     {{72, 1}, {76, 1}, {79, 2}},
                                     {{79, 1}, {83, 1}, {79, 1}, {76, 1}},
                                     {{77, 1}, {81, 1}, {84, 2}},
                                     {{83, 2}, {79, 2}},
                                     {{81, 2}, {84, 1}, {81, 1}},
                                     {{77, 1}, {81, 1}, {84, 1}, {81, 1}},
                                     {{79, 2}, {76, 1}, {84, 1}},
                                     {{83, 3}, {86, 1}},
                                     {{84, 1}, {81, 1}, {77, 2}},
                                     {{79, 1}, {77, 1}, {76, 1}, {74, 1}},
                                     {{72, 4}},
                                     {{72, 4}}};

    NoteTimeline piano;
    piano.Program(0, 0, 0);
    AddMelody(piano, 0, melody, barTicks, [&](size_t bar, int beat) {
        return std::min(127, level[bar] + (beat == 0 ? 8 : 4));
    });
    for (size_t bar = 0; bar < roots.size(); ++bar) {
        const uint32_t start = static_cast<uint32_t>(bar) * barTicks;
        const int r = roots[bar];
        const int third = r + (minor[bar] ? 3 : 4);
        piano.Control(start + 10, 0, 64, 127);
        piano.Control(start + barTicks - 10, 0, 64, 0);
        if (bar + 1 == roots.size()) {
            for (int key : {r - 12, r, r + 7, third + 12, r + 19}) {
                piano.Note(start, barTicks - 40, 0, key, level[bar]);
            }
            continue;
        }
        // Broken chord in eighths: root, fifth, octave, tenth and back down.
        const int pattern[8] = {r, r + 7, r + 12, third + 12, r + 19, third + 12, r + 12, r + 7};
        for (int i = 0; i < 8; ++i) {
            const int velocity = std::max(8, level[bar] - (i == 0 ? 4 : 10));
            piano.Note(start + static_cast<uint32_t>(i) * kBeat / 2, kBeat / 2 - 10, 0, pattern[i],
                       velocity);
        }
    }

    MidiFileBuilder file(1, kDivision);
    file.AddTrack(ConductorTrack("Piano Dynamics", 4, 80));
    file.AddTrack(InstrumentTrack("Piano", piano));
    return file;
}

MidiFileBuilder StuckNotes() {
    constexpr uint32_t barTicks = 4 * kBeat;
    const std::vector<Chord> chords = {{60, 64, 67}, {60, 64, 69}, {60, 65, 69},
                                       {59, 62, 67}, {60, 64, 67}, {60, 64, 69},
                                       {62, 65, 69}, {59, 62, 67}, {60, 64, 67}};
    const std::vector<int> bass = {36, 33, 41, 43, 36, 33, 38, 43, 36};
    const std::vector<Bar> melody = {{{72, 1}, {76, 1}, {79, 2}},
                                     {{81, 1}, {79, 1}, {76, 2}},
                                     {{77, 1}, {81, 1}, {84, 2}},
                                     {{83, 2}, {79, 2}},
                                     {{79, 1}, {76, 1}, {72, 2}},
                                     {{76, 1}, {72, 1}, {69, 2}},
                                     {{74, 1}, {77, 1}, {81, 1}, {77, 1}},
                                     {{79, 2}, {74, 2}},
                                     {{72, 4}}};

    NoteTimeline band;
    band.Program(0, 0, 16); // organ
    band.Program(0, 1, 73); // flute
    band.Program(0, 2, 32); // acoustic bass
    const uint32_t end = static_cast<uint32_t>(chords.size()) * barTicks;
    for (size_t bar = 0; bar < chords.size(); ++bar) {
        const uint32_t start = static_cast<uint32_t>(bar) * barTicks;
        const bool last = bar + 1 == chords.size();
        // Organ: a tone the next chord keeps is never released before it is struck again.
        for (int key : chords[bar]) {
            band.NoteOn(start, 0, key, 72);
            const bool kept =
                !last && std::count(chords[bar + 1].begin(), chords[bar + 1].end(), key) != 0;
            if (!kept) {
                band.NoteOff(last ? end : start + barTicks - 30, 0, key);
            }
        }
        // Bass: the root on beats one and three, released only at the end of the bar.
        band.NoteOn(start, 2, bass[bar], 96);
        if (!last) {
            band.NoteOn(start + 2 * kBeat, 2, bass[bar], 84);
        }
        band.NoteOff(start + barTicks - 30, 2, bass[bar]);
    }
    AddMelody(band, 1, melody, barTicks, [](size_t, int beat) { return beat == 0 ? 90 : 78; });

    MidiFileBuilder file(1, kDivision);
    file.AddTrack(ConductorTrack("Stuck Notes", 4, 100));
    file.AddTrack(InstrumentTrack("Band", band));
    return file;
}

MidiFileBuilder RunningStatusVolume() {
    constexpr uint32_t barTicks = 4 * kBeat;
    const std::vector<Chord> chords = {{60, 64, 67}, {59, 62, 67}, {57, 60, 64},
                                       {55, 59, 64}, {57, 60, 65}, {55, 60, 64},
                                       {57, 62, 65}, {55, 59, 62}, {48, 55, 60, 64}};
    const std::vector<int> roots = {48, 43, 45, 40, 41, 36, 38, 43, 36};
    const std::vector<int> thirds = {4, 4, 3, 3, 4, 4, 3, 4, 4};

    NoteTimeline strings;
    strings.SetReleaseAsNoteOn(true);
    strings.Program(0, 0, 48);
    NoteTimeline harp;
    harp.SetReleaseAsNoteOn(true);
    harp.Program(0, 1, 46);
    harp.Control(0, 1, 7, 92);
    constexpr int steps = 16;
    for (size_t bar = 0; bar < chords.size(); ++bar) {
        const uint32_t start = static_cast<uint32_t>(bar) * barTicks;
        for (int key : chords[bar]) {
            strings.Note(start, barTicks - 20, 0, key, 80);
        }
        // A swell every bar: controller 7 rises and falls in small steps.
        for (int step = 0; step < steps; ++step) {
            const double phase = 3.141592653589793 * step / steps;
            const int volume = 56 + static_cast<int>(std::lround(54 * std::sin(phase)));
            strings.Control(start + static_cast<uint32_t>(step) * barTicks / steps, 0, 7, volume);
        }
        // Harp: root, fifth, octave, third above in eighths, twice per bar.
        const int r = roots[bar];
        const int third = r + thirds[bar];
        const int pattern[8] = {r, r + 7, r + 12, third + 12, r + 19, third + 12, r + 12, r + 7};
        const int notes = bar + 1 == chords.size() ? 1 : 8;
        for (int i = 0; i < notes; ++i) {
            const uint32_t length = notes == 1 ? barTicks - 20 : kBeat / 2 - 10;
            harp.Note(start + static_cast<uint32_t>(i) * kBeat / 2, length, 1, pattern[i],
                      i % 4 == 0 ? 84 : 70);
        }
    }

    MidiFileBuilder file(1, kDivision);
    file.AddTrack(ConductorTrack("Running Status and Volume", 4, 72));
    file.AddTrack(InstrumentTrack("Strings", strings, true));
    file.AddTrack(InstrumentTrack("Harp", harp, true));
    return file;
}

MidiFileBuilder Format0SysExTempo() {
    constexpr uint32_t barTicks = 3 * kBeat;
    const std::vector<Chord> chords = {{55, 59, 62}, {54, 57, 60}, {55, 59, 64}, {55, 60, 64},
                                       {55, 59, 62}, {54, 57, 60}, {55, 60, 64}, {55, 59, 62}};
    const std::vector<int> bass = {43, 38, 40, 36, 43, 38, 36, 43};
    const std::vector<Bar> melody = {{{74, 2}, {71, 1}},          {{72, 1}, {69, 1}, {66, 1}},
                                     {{67, 2}, {71, 1}},          {{76, 2}, {72, 1}},
                                     {{74, 1}, {71, 1}, {67, 1}}, {{69, 2}, {66, 1}},
                                     {{64, 1}, {72, 1}, {69, 1}}, {{67, 3}}};

    NoteTimeline waltz;
    waltz.Program(0, 0, 0);
    waltz.Program(0, 1, 33);
    // A ritardando over the last bars.
    waltz.Tempo(5 * barTicks, MicrosecondsPerBeat(116));
    waltz.Tempo(6 * barTicks, MicrosecondsPerBeat(100));
    waltz.Tempo(7 * barTicks, MicrosecondsPerBeat(80));
    AddMelody(waltz, 0, melody, barTicks, [](size_t, int beat) { return beat == 0 ? 88 : 72; });
    for (size_t bar = 0; bar < chords.size(); ++bar) {
        const uint32_t start = static_cast<uint32_t>(bar) * barTicks;
        const bool last = bar + 1 == chords.size();
        waltz.Note(start, last ? barTicks : kBeat - 20, 1, bass[bar], 96);
        for (uint32_t beat = 1; beat < (last ? 2u : 3u); ++beat) {
            for (int key : chords[bar]) {
                waltz.Note(start + beat * kBeat, last ? 2 * kBeat : kBeat - 60, 0, key, 56);
            }
        }
    }

    // One track holds everything: the reset, the meter, the tempo changes and the notes.
    MidiTrack track;
    track.TrackName(0, "Little Waltz");
    track.SysEx(0, {0x7E, 0x7F, 0x09, 0x01, 0xF7}); // General MIDI System On
    track.TimeSignature(0, 3, 2);
    track.Tempo(0, MicrosecondsPerBeat(132));
    waltz.WriteTo(track);
    track.EndOfTrack(kBeat);
    MidiFileBuilder file(0, kDivision);
    file.AddTrack(track);
    return file;
}

const std::vector<DemoSong>& DemoSongs() {
    static const std::vector<DemoSong> songs = {
        {"PianoDynamics.mid", PianoDynamics},
        {"StuckNotes.mid", StuckNotes},
        {"RunningStatusVolume.mid", RunningStatusVolume},
        {"Format0SysExTempo.mid", Format0SysExTempo},
    };
    return songs;
}

} // namespace korvane
