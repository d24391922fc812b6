#include "job/PartedOutput.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace korvane {

PartedOutput::PartedOutput(size_t partSize, Receiver receiver)
    : m_part(partSize), m_receiver(std::move(receiver)) {}

void PartedOutput::Write(const uint8_t* data, size_t count) {
    while (count > 0) {
        if (m_used == m_part.size()) {
            HandOver();
        }
        const size_t n = std::min(count, m_part.size() - m_used);
        std::memcpy(m_part.data() + m_used, data, n);
        m_used += n;
        data += n;
        count -= n;
    }
}

// A room is never split across two parts: where the part has too little left, it goes first.
std::span<uint8_t> PartedOutput::Room(size_t count) {
    if (count > m_part.size()) {
        return {};
    }
    if (count > m_part.size() - m_used) {
        HandOver();
    }
    return {m_part.data() + m_used, m_part.size() - m_used};
}

void PartedOutput::Overwrite(uint64_t position, const uint8_t* data, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (position + i >= m_handedOver) {
            m_part[position + i - m_handedOver] = data[i];
        } else {
            m_patched[position + i] = data[i];
        }
    }
}

std::vector<PartedOutput::Patch> PartedOutput::Finish() {
    HandOver();
    std::vector<Patch> patches;
    for (const auto& [position, byte] : m_patched) {
        const bool joined =
            !patches.empty() && patches.back().position + patches.back().bytes.size() == position;
        if (!joined) {
            patches.push_back({position, {}});
        }
        patches.back().bytes.push_back(byte);
    }
    return patches;
}

void PartedOutput::HandOver() {
    if (m_used > 0) {
        m_receiver({m_part.data(), m_used});
        m_handedOver += m_used;
        m_used = 0;
    }
}

} // namespace korvane
