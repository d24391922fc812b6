#pragma once

#include "testing/MidiTrack.h"

#include <cstdint>
#include <vector>

namespace korvane {

// Channel events placed at absolute ticks, written into a track in time order with the delta
// times between them. At the same tick releases come first, then controllers, then new notes,
// so a repeated key is released before it is struck again.
class NoteTimeline {
  public:
    void Note(uint32_t tick, uint32_t length, int channel, int key, int velocity);
    // A Note On with no release of its own.
    void NoteOn(uint32_t tick, int channel, int key, int velocity);
    void NoteOff(uint32_t tick, int channel, int key);
    void Control(uint32_t tick, int channel, int controller, int value);
    void Program(uint32_t tick, int channel, int program);
    // A tempo change (microseconds per quarter note), placed among the notes.
    void Tempo(uint32_t tick, uint32_t microseconds);

    // Writes releases as Note On with velocity 0, the form that keeps running status going.
    void SetReleaseAsNoteOn(bool on) { m_releaseAsNoteOn = on; }

    // Writes every event; returns the tick of the last one. fromTick is the track's current time.
    uint32_t WriteTo(MidiTrack& track, uint32_t fromTick = 0) const;

  private:
    enum Kind { Release, Controller, ProgramSet, TempoSet, Strike };
    struct Event {
        uint32_t tick;
        Kind kind;
        int channel;
        int a;
        uint32_t b;
    };

    std::vector<Event> m_events;
    bool m_releaseAsNoteOn = false;
};

} // namespace korvane
