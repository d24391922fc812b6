#include "app/RunReport.h"

#include "app/NameText.h"
#include "job/ErrorCode.h"
#include "job/RepairFields.h"
#include "job/ReportStatus.h"

#include <iostream>
#include <nlohmann/json.hpp>

namespace korvane {

namespace {
using Json = nlohmann::ordered_json;

const char* StatusName(const FileOutcome& outcome) {
    switch (outcome.status) {
    case FileStatus::Converted:
        return CompletedStatus(outcome.repairs, false);
    case FileStatus::Checked:
        return CompletedStatus(outcome.repairs, true);
    case FileStatus::Skipped:
        return "skipped";
    case FileStatus::Failed:
        break;
    }
    return FailedStatus(outcome.error);
}

Json SettingsOf(const CommandLine& commandLine) {
    const Adjustments& adjustments = commandLine.options.adjustments;
    const CollectionOptions& collection = commandLine.collection;
    return {
        {"speed", adjustments.m_speedPercent},
        {"dynamic_range", adjustments.m_dynamicRange},
        {"volume", adjustments.m_volume},
        {"fix_stuck_notes", adjustments.m_eliminateStuckNotes},
        {"keep_bars", adjustments.m_keepBars},
        {"channels", adjustments.m_levelChannels},
        {"peak", adjustments.m_peakLevel > 0 ? Json(adjustments.m_peakLevel) : Json(nullptr)},
        {"output_dir", collection.outputDir.empty() ? Json(nullptr) : Json(collection.outputDir)},
        {"keep_names", collection.keepNames},
        {"skip_existing", collection.skipExisting},
        {"check", collection.check}};
}

template <typename T> Json OrNull(const std::optional<T>& value) {
    return value ? Json(*value) : Json(nullptr);
}

Json RepairsOf(const RepairCounts& repairs) {
    Json counts = Json::object();
    for (const RepairKind& kind : kRepairKinds) {
        if (InReportRepairs(kind)) {
            counts[kind.reportKey] = repairs.*kind.count;
        }
    }
    return counts;
}

// A name that is not UTF-8 is written with replacement characters, readable but no longer
// telling apart names that differ in those bytes: its exact bytes are added under key.
void AddExactBytes(Json& line, const char* key, const std::string& name) {
    if (!IsUtf8(name)) {
        line[key] = Base64(name);
    }
}
} // namespace

void RunReport::WriteSettings(const CommandLine& commandLine) {
    if (m_out == nullptr) {
        return;
    }
    const Json line = {
        {"korvane", KORVANE_VERSION}, {"schema", 1}, {"settings", SettingsOf(commandLine)}};
    *m_out << line.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n' << std::flush;
}

bool RunReport::Open(const std::string& path) {
    if (path == "-") {
        m_out = &std::cout;
        return true;
    }
    m_file.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
    m_out = m_file.is_open() ? &m_file : nullptr;
    return m_out != nullptr;
}

void RunReport::Write(const std::string& input, const FileOutcome& outcome) {
    if (m_out == nullptr) {
        return;
    }
    Json line = {{"input", input},
                 {"output", outcome.output.empty() ? Json(nullptr) : Json(outcome.output)},
                 {"status", StatusName(outcome)},
                 {"message", OrNull(outcome.message)},
                 {"error", outcome.error == JobMessage::None ? Json(nullptr)
                                                             : Json(ErrorCode(outcome.error))},
                 {"reason", outcome.reason.empty() ? Json(nullptr) : Json(outcome.reason)},
                 {"bytes_in", OrNull(outcome.bytesIn)},
                 {"bytes_out", OrNull(outcome.bytesOut)},
                 {"repairs", RepairsOf(outcome.repairs)},
                 // Vendor chunks copied whole: kept, no repair.
                 {"chunks_kept", outcome.repairs.chunksCopied}};
    AddExactBytes(line, "input_bytes", input);
    AddExactBytes(line, "output_bytes", outcome.output);
    if (outcome.gain) {
        line["gain"] = *outcome.gain;
    }
    // Each line goes out whole at once, so the report holds every finished file whatever ends
    // the run.
    *m_out << line.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n' << std::flush;
}

bool RunReport::Close() {
    if (m_out == nullptr) {
        return true;
    }
    m_out->flush();
    const bool written = !m_out->fail();
    if (m_file.is_open()) {
        m_file.close();
    }
    m_out = nullptr;
    return written && !m_file.fail();
}

} // namespace korvane
