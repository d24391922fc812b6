#include "job/InputWindow.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <new>
#include <system_error>

namespace korvane {

namespace {
// Only a window this large takes long enough to convert for a thread to pay.
constexpr size_t kReadAheadFrom = size_t{1} << 20;

uint64_t LengthOf(const BufferedFile& file) {
    try {
        return file.GetLength();
    } catch (const BufferedFileException& e) {
        throw ChunkReadError{e.Reason()};
    }
}

// Room for a window wherever in its first span it starts.
AlignedBlock Allocate(size_t size) {
    AlignedBlock bytes = AllocateAligned(size + kAddressSpan);
    if (!bytes) {
        throw ChunkReadError{std::strerror(ENOMEM)};
    }
    return bytes;
}

// Where the window read from offset starts in its room: every byte of the file then lies half a
// span from where the output buffer, aligned to a span, holds the byte written for it while the
// conversion changes no length. So reading an event never waits on the writing of the one before.
uint8_t* PlaceAt(const AlignedBlock& room, uint64_t offset) {
    return room.get() + (offset + kAddressSpan / 2) % kAddressSpan;
}
} // namespace

InputWindow::InputWindow(const BufferedFile& file, size_t size)
    : m_file(file), m_length(LengthOf(file)),
      // No larger than the file: a small file takes a small window.
      m_size(static_cast<size_t>(std::min<uint64_t>(std::max(size, kSmallest), m_length))) {
    m_current.room = Allocate(std::max<size_t>(m_size, 1));
    if (m_size >= kReadAheadFrom && m_length > m_size) {
        m_spare.room = Allocate(m_size);
    }
}

InputWindow::~InputWindow() {
    // A read ahead on a thread ends before its room goes; a deferred one is never run.
    if (m_ahead.valid() &&
        m_ahead.wait_for(std::chrono::seconds(0)) != std::future_status::deferred) {
        m_ahead.wait();
    }
}

std::span<const uint8_t> InputWindow::At(uint64_t offset, size_t least) {
    const uint64_t wanted = std::min<uint64_t>(least, m_length - std::min(offset, m_length));
    if (offset < m_current.offset || offset + wanted > m_current.offset + m_current.count) {
        Fill(offset);
    }
    const auto skip = static_cast<size_t>(offset - m_current.offset);
    return {PlaceAt(m_current.room, m_current.offset) + skip, m_current.count - skip};
}

std::span<const uint8_t> InputWindow::Peek(uint64_t offset, size_t count) {
    const size_t wanted =
        std::min<uint64_t>(std::min(count, kPeekMost), m_length - std::min(offset, m_length));
    if (offset >= m_current.offset && offset + wanted <= m_current.offset + m_current.count) {
        return {PlaceAt(m_current.room, m_current.offset) + (offset - m_current.offset), wanted};
    }
    size_t got = 0;
    try {
        got = m_file.ReadAt(offset, m_peek.data(), wanted);
    } catch (const BufferedFileException& e) {
        throw ChunkReadError{e.Reason()};
    }
    if (got < wanted) {
        throw ChunkReadError{"the file changed while it was read"};
    }
    return {m_peek.data(), wanted};
}

void InputWindow::Fill(uint64_t offset) {
    if (m_ahead.valid()) {
        m_spare.count = m_ahead.get(); // raises what the read ahead raised
        if (m_spare.offset == offset) {
            std::swap(m_current, m_spare);
            ReadAhead();
            return;
        }
    }
    m_current.count = Read(PlaceAt(m_current.room, offset), offset);
    m_current.offset = offset;
    ReadAhead();
}

void InputWindow::ReadAhead() {
    const uint64_t next = m_current.offset + m_current.count;
    if (!m_spare.room || next >= m_length) {
        return;
    }
    m_spare.offset = next;
    uint8_t* const bytes = PlaceAt(m_spare.room, next);
    const auto read = [this, bytes, next] { return Read(bytes, next); };
    try {
        m_ahead = std::async(std::launch::async, read);
    } catch (const std::system_error&) {
        // No thread to be had (a process limit): read when the window gets there.
        m_ahead = std::async(std::launch::deferred, read);
    }
}

size_t InputWindow::Read(uint8_t* bytes, uint64_t offset) const {
    const auto wanted =
        static_cast<size_t>(std::min<uint64_t>(m_size, m_length - std::min(offset, m_length)));
    size_t got = 0;
    try {
        got = m_file.ReadAt(offset, bytes, wanted);
    } catch (const BufferedFileException& e) {
        throw ChunkReadError{e.Reason()};
    }
    if (got < wanted) {
        throw ChunkReadError{"the file changed while it was read"};
    }
    return got;
}

} // namespace korvane
