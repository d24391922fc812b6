#include "testing/NoteTimeline.h"

#include <algorithm>

namespace korvane {

void NoteTimeline::Note(uint32_t tick, uint32_t length, int channel, int key, int velocity) {
    NoteOn(tick, channel, key, velocity);
    NoteOff(tick + length, channel, key);
}

void NoteTimeline::NoteOn(uint32_t tick, int channel, int key, int velocity) {
    m_events.push_back({tick, Strike, channel, key, static_cast<uint32_t>(velocity)});
}

void NoteTimeline::NoteOff(uint32_t tick, int channel, int key) {
    m_events.push_back({tick, Release, channel, key, 0});
}

void NoteTimeline::Control(uint32_t tick, int channel, int controller, int value) {
    m_events.push_back({tick, Controller, channel, controller, static_cast<uint32_t>(value)});
}

void NoteTimeline::Program(uint32_t tick, int channel, int program) {
    m_events.push_back({tick, ProgramSet, channel, program, 0});
}

void NoteTimeline::Tempo(uint32_t tick, uint32_t microseconds) {
    m_events.push_back({tick, TempoSet, 0, 0, microseconds});
}

uint32_t NoteTimeline::WriteTo(MidiTrack& track, uint32_t fromTick) const {
    std::vector<Event> events = m_events;
    std::stable_sort(events.begin(), events.end(), [](const Event& x, const Event& y) {
        return x.tick != y.tick ? x.tick < y.tick : x.kind < y.kind;
    });
    uint32_t now = fromTick;
    for (const Event& e : events) {
        const uint32_t delta = e.tick - now;
        now = e.tick;
        switch (e.kind) {
        case Release:
            if (m_releaseAsNoteOn) {
                track.NoteOn(delta, e.channel, e.a, 0);
            } else {
                track.NoteOff(delta, e.channel, e.a);
            }
            break;
        case Controller:
            track.ControlChange(delta, e.channel, e.a, static_cast<int>(e.b));
            break;
        case ProgramSet:
            track.ProgramChange(delta, e.channel, e.a);
            break;
        case TempoSet:
            track.Tempo(delta, e.b);
            break;
        case Strike:
            track.NoteOn(delta, e.channel, e.a, static_cast<int>(e.b));
            break;
        }
    }
    return now;
}

} // namespace korvane
