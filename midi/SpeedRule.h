#pragma once

#include <cstdint>
#include <vector>

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
    // The looked-up deltas already written as variable-length quantities: the two bytes in
    // output order in the low 16 bits and their count above; 0 for a delta of 0x4000 or more.
    const uint32_t* Codes() const { return m_codes.data(); }

  private:
    int m_speedPercent;
    std::vector<uint32_t> m_table;
    std::vector<uint32_t> m_codes;
};
