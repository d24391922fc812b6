#include "testing/MidiTrack.h"

#include <stdexcept>

namespace korvane {
namespace {
uint8_t DataByte(int value) {
    if (value < 0 || value > 0x7F) {
        throw std::invalid_argument("MIDI data byte out of range");
    }
    return static_cast<uint8_t>(value);
}
} // namespace

void MidiTrack::AppendVarLen(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) {
        out.push_back(groups[--count] | 0x80);
    }
    out.push_back(groups[0]);
}

void MidiTrack::Channel(uint32_t delta, int status, int channel, std::initializer_list<int> bytes) {
    if (channel < 0 || channel > 15) {
        throw std::invalid_argument("MIDI channel out of range");
    }
    Delta(delta);
    const auto full = static_cast<uint8_t>(status | channel);
    if (!m_runningStatus || full != m_lastStatus) {
        m_data.push_back(full);
    }
    m_lastStatus = full;
    for (int b : bytes) {
        m_data.push_back(DataByte(b));
    }
}

void MidiTrack::NoteOn(uint32_t delta, int channel, int key, int velocity) {
    Channel(delta, 0x90, channel, {key, velocity});
}

void MidiTrack::NoteOff(uint32_t delta, int channel, int key, int velocity) {
    Channel(delta, 0x80, channel, {key, velocity});
}

void MidiTrack::KeyPressure(uint32_t delta, int channel, int key, int pressure) {
    Channel(delta, 0xA0, channel, {key, pressure});
}

void MidiTrack::ControlChange(uint32_t delta, int channel, int controller, int value) {
    Channel(delta, 0xB0, channel, {controller, value});
}

void MidiTrack::ProgramChange(uint32_t delta, int channel, int program) {
    Channel(delta, 0xC0, channel, {program});
}

void MidiTrack::ChannelPressure(uint32_t delta, int channel, int pressure) {
    Channel(delta, 0xD0, channel, {pressure});
}

void MidiTrack::PitchBend(uint32_t delta, int channel, int value) {
    Channel(delta, 0xE0, channel, {value & 0x7F, (value >> 7) & 0x7F});
}

void MidiTrack::SysEx(uint32_t delta, const std::vector<uint8_t>& data) {
    Delta(delta);
    m_data.push_back(0xF0);
    AppendVarLen(m_data, static_cast<uint32_t>(data.size()));
    m_data.insert(m_data.end(), data.begin(), data.end());
    m_lastStatus = 0;
}

void MidiTrack::SysExPacket(uint32_t delta, const std::vector<uint8_t>& data) {
    Delta(delta);
    m_data.push_back(0xF7);
    AppendVarLen(m_data, static_cast<uint32_t>(data.size()));
    m_data.insert(m_data.end(), data.begin(), data.end());
    m_lastStatus = 0;
}

void MidiTrack::Meta(uint32_t delta, int type, const std::vector<uint8_t>& data) {
    Delta(delta);
    m_data.push_back(0xFF);
    m_data.push_back(DataByte(type));
    AppendVarLen(m_data, static_cast<uint32_t>(data.size()));
    m_data.insert(m_data.end(), data.begin(), data.end());
    m_lastStatus = 0;
}

void MidiTrack::Text(uint32_t delta, int type, const std::string& text) {
    Meta(delta, type, std::vector<uint8_t>(text.begin(), text.end()));
}

void MidiTrack::Tempo(uint32_t delta, uint32_t microseconds) {
    Meta(delta, 0x51,
         {static_cast<uint8_t>(microseconds >> 16), static_cast<uint8_t>(microseconds >> 8),
          static_cast<uint8_t>(microseconds)});
}

void MidiTrack::TimeSignature(uint32_t delta, int numerator, int denominatorPower) {
    Meta(delta, 0x58, {DataByte(numerator), DataByte(denominatorPower), 24, 8});
}

void MidiTrack::EndOfTrack(uint32_t delta) {
    Meta(delta, 0x2F, {});
}

} // namespace korvane
