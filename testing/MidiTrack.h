#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

// One track's event data, built event by event with explicit delta times (in ticks). With
// running status on, a channel event whose status equals the previous channel status is
// written without it; System Exclusive and meta events cancel running status, as files should.
class MidiTrack {
  public:
    explicit MidiTrack(bool runningStatus = false) : m_runningStatus(runningStatus) {}

    void NoteOn(uint32_t delta, int channel, int key, int velocity);
    void NoteOff(uint32_t delta, int channel, int key, int velocity = 64);
    void KeyPressure(uint32_t delta, int channel, int key, int pressure);
    void ControlChange(uint32_t delta, int channel, int controller, int value);
    void ProgramChange(uint32_t delta, int channel, int program);
    void ChannelPressure(uint32_t delta, int channel, int pressure);
    // value is the 14-bit bend, 8192 is the centre.
    void PitchBend(uint32_t delta, int channel, int value);

    // A complete System Exclusive message: data runs from after 0xF0 up to and including 0xF7.
    void SysEx(uint32_t delta, const std::vector<uint8_t>& data);
    // An escape event (0xF7 packet): a continuation of a split SysEx or raw bytes.
    void SysExPacket(uint32_t delta, const std::vector<uint8_t>& data);
    void Meta(uint32_t delta, int type, const std::vector<uint8_t>& data);
    void Text(uint32_t delta, int type, const std::string& text);
    void TrackName(uint32_t delta, const std::string& name) { Text(delta, 0x03, name); }
    // Microseconds per quarter note.
    void Tempo(uint32_t delta, uint32_t microseconds);
    void TimeSignature(uint32_t delta, int numerator, int denominatorPower);
    void EndOfTrack(uint32_t delta = 0);

    const std::vector<uint8_t>& Data() const { return m_data; }
    size_t Size() const { return m_data.size(); }

    static void AppendVarLen(std::vector<uint8_t>& out, uint32_t value);

  private:
    void Channel(uint32_t delta, int status, int channel, std::initializer_list<int> bytes);
    void Delta(uint32_t delta) { AppendVarLen(m_data, delta); }

    bool m_runningStatus;
    uint8_t m_lastStatus = 0;
    std::vector<uint8_t> m_data;
};

} // namespace korvane
