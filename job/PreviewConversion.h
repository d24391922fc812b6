#pragma once

#include "job/MidiBytes.h"
#include "midi/Adjustments.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace korvane {

// What a preview is made from: the loaded file and the adjustments of the moment.
struct PreviewRequest {
    std::string inputPath;
    Adjustments adjustments;
    // Bytes the preview may hold: the converted file and the original beside it.
    size_t memoryLimit = 0;
};

struct PreviewResult {
    enum class Status { Ready, TooLarge, Failed };
    Status status = Status::Failed;
    PreviewRequest request;
    MidiBytes preview;   // as a save pass would write the file now
    MidiBytes original;  // the input's bytes as they were read
    int tickSpeed = 100; // ConversionOutcome::tickSpeed of the preview
};

// Converts the loaded file into memory with an engine of its own, on a thread of its own, so that
// the window never waits for it. Only the latest request counts: a new one cancels one still in
// progress, whose result is never offered.
class PreviewConversion {
  public:
    // finished is called on the conversion's thread whenever a result is ready to be taken.
    explicit PreviewConversion(std::function<void()> finished);
    // Cancels what is in progress and ends the thread.
    ~PreviewConversion();
    PreviewConversion(const PreviewConversion&) = delete;
    PreviewConversion& operator=(const PreviewConversion&) = delete;

    void Start(PreviewRequest request);
    // Cancels a conversion in progress and drops a result not yet taken; returns once the thread
    // has stopped converting.
    void Cancel();
    // The finished result, once.
    std::optional<PreviewResult> Take();

  private:
    void Run();
    static PreviewResult Convert(const PreviewRequest& request, const std::atomic<bool>& cancel);

    std::function<void()> m_finished;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<PreviewRequest> m_next;
    std::optional<PreviewResult> m_result;
    bool m_converting = false;
    bool m_quit = false;
    std::atomic<bool> m_cancel{false};
    std::thread m_thread; // last: starts once everything it uses exists
};

} // namespace korvane
