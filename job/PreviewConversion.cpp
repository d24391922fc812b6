#include "job/PreviewConversion.h"

#include "job/ConversionJob.h"
#include "job/RiffUnwrap.h"
#include "platform/BufferedFile.h"

#include <new>

namespace korvane {
namespace {
// The input's MIDI data, the range FindMidiRange found.
std::shared_ptr<std::vector<uint8_t>> ReadOriginal(const BufferedFile& input,
                                                   const MidiRange& range) {
    auto bytes =
        std::make_shared<std::vector<uint8_t>>(static_cast<size_t>(range.end - range.offset));
    bytes->resize(input.ReadAt(range.offset, bytes->data(), bytes->size()));
    return bytes;
}
} // namespace

PreviewConversion::PreviewConversion(std::function<void()> finished)
    : m_finished(std::move(finished)), m_thread([this] { Run(); }) {}

PreviewConversion::~PreviewConversion() {
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
        m_cancel = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void PreviewConversion::Start(PreviewRequest request) {
    {
        const std::lock_guard lock(m_mutex);
        m_next = std::move(request);
        m_result.reset();
        m_cancel = m_converting;
    }
    m_changed.notify_all();
}

void PreviewConversion::Cancel() {
    std::unique_lock lock(m_mutex);
    m_next.reset();
    m_cancel = true;
    m_changed.wait(lock, [this] { return !m_converting; });
    m_result.reset();
}

std::optional<PreviewResult> PreviewConversion::Take() {
    const std::lock_guard lock(m_mutex);
    std::optional<PreviewResult> result = std::move(m_result);
    m_result.reset();
    return result;
}

void PreviewConversion::Run() {
    std::unique_lock lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_quit || m_next.has_value(); });
        if (m_quit) {
            return;
        }
        const PreviewRequest request = std::move(*m_next);
        m_next.reset();
        m_cancel = false;
        m_converting = true;
        lock.unlock();
        PreviewResult result = Convert(request, m_cancel);
        lock.lock();
        m_converting = false;
        // A result overtaken by a newer request or a cancel is never offered.
        const bool offer = !m_cancel && !m_next.has_value();
        if (offer) {
            m_result = std::move(result);
        }
        m_changed.notify_all();
        if (offer) {
            lock.unlock();
            m_finished();
            lock.lock();
        }
    }
}

PreviewResult PreviewConversion::Convert(const PreviewRequest& request,
                                         const std::atomic<bool>& cancel) {
    PreviewResult result;
    result.request = request;
    std::shared_ptr<std::vector<uint8_t>> original;
    try {
        BufferedFile input;
        if (!input.Open(request.inputPath, BufferedFile::modeRead)) {
            return result;
        }
        const std::optional<MidiRange> range = FindMidiRange(input);
        if (!range) {
            return result; // a RIFF file without MIDI data
        }
        if (range->end - range->offset > request.memoryLimit) {
            result.status = PreviewResult::Status::TooLarge;
            return result;
        }
        original = ReadOriginal(input, *range);
    } catch (const BufferedFileException&) {
        return result; // the strip keeps what it plays; Load and Save report the input themselves
    } catch (const std::bad_alloc&) {
        result.status = PreviewResult::Status::TooLarge;
        return result;
    }
    ConversionRequest conversion{.inputPath = request.inputPath,
                                 .adjustments = request.adjustments,
                                 .output = OutputTo::Memory,
                                 .memoryLimit = request.memoryLimit - original->size(),
                                 .cancel = &cancel};
    ConversionOutcome outcome = ConversionJob().RunConversion(conversion);
    if (outcome.status == ConversionStatus::TooLarge) {
        result.status = PreviewResult::Status::TooLarge;
    } else if (outcome.Completed()) {
        result.preview = std::make_shared<const std::vector<uint8_t>>(std::move(outcome.bytes));
        result.original = std::move(original);
        result.tickSpeed = outcome.tickSpeed;
        result.status = PreviewResult::Status::Ready;
    }
    return result;
}

} // namespace korvane
