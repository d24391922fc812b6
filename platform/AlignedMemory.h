#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace korvane {

// Where a byte sits within an aligned 4 KiB span of addresses. A processor takes a load whose
// address matches a recent store's in these low twelve bits for one that may depend on it and
// holds it back; so the job keeps the input it reads and the output it writes at different
// places in these spans (see InputWindow), and the big I/O buffers start where a span starts.
constexpr size_t kAddressSpan = 4096;

template <typename T> struct SpanAlignedAllocator {
    using value_type = T;
    SpanAlignedAllocator() = default;
    template <typename U> SpanAlignedAllocator(const SpanAlignedAllocator<U>&) noexcept {}
    T* allocate(size_t n) {
        return static_cast<T*>(::operator new (n * sizeof(T), std::align_val_t{kAddressSpan}));
    }
    void deallocate(T* p, size_t) noexcept {
        ::operator delete (p, std::align_val_t{kAddressSpan});
    }
    friend bool operator==(const SpanAlignedAllocator&, const SpanAlignedAllocator&) {
        return true;
    }
};

// The output's buffers.
using AlignedBytes = std::vector<uint8_t, SpanAlignedAllocator<uint8_t>>;

struct SpanAlignedDelete {
    void operator()(uint8_t* p) const noexcept {
        ::operator delete[](p, std::align_val_t{kAddressSpan});
    }
};
using AlignedBlock = std::unique_ptr<uint8_t[], SpanAlignedDelete>;

// size bytes, left as they are, from the start of a span; null when there is no memory.
inline AlignedBlock AllocateAligned(size_t size) {
    return AlignedBlock(new (std::align_val_t{kAddressSpan}, std::nothrow) uint8_t[size]);
}

} // namespace korvane
