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
    uint32_t operator()(uint32_t delta) const {
        return delta < m_table.size() ? m_table[delta] : ApplySpeedRule(delta, m_speedPercent);
    }

  private:
    int m_speedPercent;
    std::vector<uint32_t> m_table;
};
