#include "python/Conversions.h"

#include "job/ConversionJob.h"
#include "job/ReportStatus.h"
#include "python/ConversionErrors.h"
#include "python/MemoryInput.h"

#include <cerrno>
#include <cstring>
#include <limits>

namespace py = pybind11;

namespace korvane {

namespace {
// Each thread keeps its job, and with it the engine's and the window's buffers, between calls.
ConversionJob& ThreadJob() {
    thread_local ConversionJob job;
    return job;
}

// Where the job reads a source: its path, or a copy in memory of the bytes given.
struct Source {
    std::string path;
    std::string shownPath; // empty for bytes
    MemoryInput memory;
};

// The bytes of a bytes-like object, in one piece (PyBUF_SIMPLE refuses scattered views).
class ByteView {
  public:
    explicit ByteView(const py::object& data) {
        if (PyObject_GetBuffer(data.ptr(), &m_view, PyBUF_SIMPLE) != 0) {
            throw py::error_already_set();
        }
    }
    ByteView(const ByteView&) = delete;
    ByteView& operator=(const ByteView&) = delete;
    ~ByteView() { PyBuffer_Release(&m_view); }

    const uint8_t* Data() const { return static_cast<const uint8_t*>(m_view.buf); }
    size_t Size() const { return static_cast<size_t>(m_view.len); }

  private:
    Py_buffer m_view{};
};

void TakeSource(const py::object& source, Source& taken) {
    if (py::isinstance<py::str>(source) || !PyObject_CheckBuffer(source.ptr())) {
        taken.path = taken.shownPath = SystemPath(source);
        return;
    }
    const ByteView data(source);
    int error = 0;
    {
        py::gil_scoped_release released;
        error = taken.memory.Take(data.Data(), data.Size()) ? 0 : errno;
    }
    if (error != 0) {
        RaiseConversionError(JobMessage::InputNotOpened, std::strerror(error), {});
    }
    taken.path = taken.memory.Path();
}

ConversionOutcome Run(const ConversionRequest& request) {
    py::gil_scoped_release released;
    return ThreadJob().RunConversion(request);
}

ConversionResult ResultOf(const ConversionOutcome& outcome, const Settings& settings,
                          const Source& source, bool checked) {
    if (!outcome.Completed()) {
        RaiseConversionError(outcome.message, outcome.reason, source.shownPath);
    }
    ConversionResult result;
    result.status = CompletedStatus(outcome.repairs, checked);
    result.repairs = outcome.repairs;
    result.bytesIn = outcome.bytesIn;
    result.bytesOut = outcome.bytesOut;
    if (settings.adjustments.m_peakLevel > 0) {
        result.gain = ReportedGain(outcome.gain);
    }
    return result;
}

ConversionRequest RequestFor(const Source& source, const Settings& settings) {
    return {.inputPath = source.path, .adjustments = settings.adjustments};
}
} // namespace

std::string SystemPath(const py::object& path) {
    std::string bytes = py::module_::import("os").attr("fsencode")(path).cast<std::string>();
    // The system would take the path only up to the null: another file than the one named.
    if (bytes.find('\0') != std::string::npos) {
        throw py::value_error("embedded null byte");
    }
    return bytes;
}

ConversionResult ConvertToMemory(const py::object& source, const Settings& settings) {
    Source taken;
    TakeSource(source, taken);
    ConversionRequest request = RequestFor(taken, settings);
    request.output = OutputTo::Memory;
    request.memoryLimit = std::numeric_limits<size_t>::max();
    ConversionOutcome outcome = Run(request);
    ConversionResult result = ResultOf(outcome, settings, taken, false);
    result.data =
        py::bytes(reinterpret_cast<const char*>(outcome.bytes.data()), outcome.bytes.size());
    return result;
}

ConversionResult CheckSource(const py::object& source, const Settings& settings) {
    Source taken;
    TakeSource(source, taken);
    return ResultOf(Run(RequestFor(taken, settings)), settings, taken, true);
}

ConversionResult ConvertToFile(const py::object& source, const py::object& target,
                               const Settings& settings) {
    Source taken;
    TakeSource(source, taken);
    ConversionRequest request = RequestFor(taken, settings);
    request.output = OutputTo::File;
    request.outputPath = SystemPath(target);
    return ResultOf(Run(request), settings, taken, false);
}

} // namespace korvane
