#pragma once

#include <cstdint>
#include <vector>

namespace korvane {

// The largest delta time a four-byte variable-length quantity holds.
constexpr uint32_t kMaxDelta = 0x0FFFFFFF;

// Divides a delta time by speedPercent / 100 (speedPercent >= 0), truncating; a non-zero delta
// never becomes zero and the result never exceeds kMaxDelta.
uint32_t ApplySpeedRule(uint32_t delta, int speedPercent);

// The speed rule with the common small deltas looked up instead of divided.
class SpeedRule {
  public:
    explicit SpeedRule(int speedPercent = 100);
    // Every delta of one or two VLQ bytes is looked up.
    static constexpr uint32_t kTableSize = 1u << 14;

    uint32_t operator()(uint32_t delta) const {
        return delta < kTableSize ? m_table[delta] : ApplySpeedRule(delta, m_speedPercent);
    }
    // The looked-up deltas already written as variable-length quantities of one or two bytes,
    // in output order (the first byte's bit 7 tells whether a second follows), indexed by the
    // input's own delta bytes read as a little-endian word: the first byte alone when its bit 7
    // is clear, else both. kLongCode where the input delta has three bytes or more, or the
    // result needs them: a value no short quantity can take.
    static constexpr uint16_t kLongCode = 0xFFFF;
    static constexpr uint32_t kCodeCount = 1u << 16;
    const uint16_t* Codes() const { return m_codes.data(); }
    // Every short delta keeps its value (speed 100 %).
    bool IsIdentity() const { return m_identity; }

  private:
    int m_speedPercent;
    std::vector<uint32_t> m_table;
    std::vector<uint16_t> m_codes;
    bool m_identity = true;
};

} // namespace korvane
