#include "python/FolderConversion.h"

#include "job/ErrorCode.h"
#include "job/OutputCollisions.h"
#include "job/OutputPath.h"
#include "job/ReportStatus.h"
#include "job/StoredLanguage.h"
#include "python/ConversionResult.h"

#include <sys/stat.h>

namespace py = pybind11;

namespace korvane {

namespace {
// A file given alone lies below its own folder as its base name.
std::string BaseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

py::object OrNone(const std::string& text) {
    return text.empty() ? py::object(py::none()) : py::str(text);
}

// A row with every key of the report's, as a failure with message leaves it; a conversion that
// completed fills in its figures.
py::dict Row(JobMessage message, const std::string& reason, const py::object& bytesIn,
             const RepairCounts& repairs) {
    ConversionResult counts;
    counts.repairs = repairs;
    const char* code = ErrorCode(message);
    py::dict row;
    row["status"] =
        message == JobMessage::None ? CompletedStatus(repairs, false) : FailedStatus(message);
    row["message"] = message == JobMessage::None
                         ? py::object(py::none())
                         : py::str(MessageText(*StoredLanguageTexts(Profile()), message));
    row["error"] = OrNone(code);
    row["reason"] = OrNone(reason);
    row["bytes_in"] = bytesIn;
    row["bytes_out"] = py::none();
    row["repairs"] = counts.Repairs();
    row["chunks_kept"] = repairs.chunksCopied;
    return row;
}
} // namespace

std::vector<PlannedOutput> PlanFolderOutputs(const std::vector<std::string>& inputs,
                                             const std::string& folder, bool keepNames) {
    std::vector<PlannedOutput> plan;
    std::vector<InputOutput> pairs;
    for (const std::string& input : inputs) {
        plan.push_back({OutputUnderFolder(folder, BaseName(input), keepNames)});
        pairs.push_back({input, plan.back().output});
    }
    for (const size_t colliding : FindCollidingInputs(pairs)) {
        plan[colliding].collides = true;
    }
    return plan;
}

ConversionOutcome FolderConversion::Run(const std::string& input, const std::string& output) {
    py::gil_scoped_release released;
    if (auto reason = m_folders.Prepare(output)) {
        ConversionOutcome refused;
        refused.message = JobMessage::OutputNotCreated;
        refused.reason = std::move(*reason);
        return refused;
    }
    return m_job.RunConversion({.inputPath = input,
                                .outputPath = output,
                                .adjustments = m_settings.adjustments,
                                .output = OutputTo::File});
}

py::dict FolderConversion::Convert(const std::string& input, const std::string& output,
                                   bool collides) {
    if (collides) {
        return Row(JobMessage::InputsCollide, {}, py::none(), {});
    }
    struct stat in {};
    const py::object bytesIn =
        ::stat(input.c_str(), &in) == 0 ? py::object(py::int_(in.st_size)) : py::object(py::none());
    const ConversionOutcome outcome = Run(input, output);
    if (!outcome.Completed()) {
        return Row(outcome.message, outcome.reason, bytesIn, {});
    }
    py::dict row = Row(JobMessage::None, {}, bytesIn, outcome.repairs);
    row["bytes_out"] = outcome.bytesOut;
    if (m_settings.adjustments.m_peakLevel > 0) {
        row["gain"] = ReportedGain(outcome.gain);
    }
    return row;
}

} // namespace korvane
