#pragma once

#include "job/PassOutput.h"

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <vector>

namespace korvane {

// A save pass's output handed over in parts of one size as it is written, for a receiver that
// takes each part away while the next one is written (the web page passes them on to the
// browser). Bytes written back into a part already handed over are kept as patches: the output
// is the parts in order with the patches laid over them.
class PartedOutput : public PassOutput {
  public:
    // The part is the receiver's only during the call.
    using Receiver = std::function<void(std::span<const uint8_t> part)>;
    struct Patch {
        uint64_t position;
        std::vector<uint8_t> bytes;
        bool operator==(const Patch&) const = default;
    };

    PartedOutput(size_t partSize, Receiver receiver);

    void Write(const uint8_t* data, size_t count) override;
    std::span<uint8_t> Room(size_t count) override;
    void Commit(size_t count) override { m_used += count; }
    uint64_t Position() override { return m_handedOver + m_used; }
    void Overwrite(uint64_t position, const uint8_t* data, size_t count) override;

    // Hands over the last part, however short, and gives the patches in order of position,
    // adjacent bytes joined.
    std::vector<Patch> Finish();

  private:
    void HandOver();

    std::vector<uint8_t> m_part;
    size_t m_used = 0;
    uint64_t m_handedOver = 0;
    std::map<uint64_t, uint8_t> m_patched; // by position, the last byte written there
    Receiver m_receiver;
};

} // namespace korvane
