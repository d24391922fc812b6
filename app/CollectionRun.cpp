#include "app/CollectionRun.h"

#include "app/CollectionRunner.h"
#include "app/FileMessage.h"
#include "app/GroupCommit.h"
#include "app/InputPlan.h"
#include "app/InterruptSignals.h"
#include "app/ProgressLine.h"
#include "app/RunReport.h"
#include "app/RunSummary.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {

namespace {
unsigned JobCount(const CollectionOptions& collection) {
    if (collection.jobs > 0) {
        return collection.jobs;
    }
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? static_cast<unsigned>(online) : 1;
}

// A run over a folder shows its progress, stops cleanly on a signal and ends with a summary;
// files named one by one convert as they always have.
bool IsCollection(const CommandLine& commandLine) {
    return std::any_of(commandLine.inputs.begin(), commandLine.inputs.end(),
                       [](const std::string& input) { return IsFolderPath(input); });
}

std::vector<PlannedInput> PlanRun(const CommandLine& commandLine) {
    std::vector<PlannedInput> plan = PlanInputs(commandLine.inputs, commandLine.collection);
    // Every output is known before the first is written, so no conversion can replace a later
    // input or an earlier output of the same run.
    AssignOutputs(plan, commandLine.options.outputPath, commandLine.collection);
    MarkCollisions(plan);
    return plan;
}

// Each output waiting for its group holds a descriptor: the run takes every descriptor the
// system allows it and lets at most half of them wait.
size_t OutputsAhead() {
    constexpr size_t kMostAhead = 4096;
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return 64;
    }
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
    ::getrlimit(RLIMIT_NOFILE, &limit);
    return std::min<size_t>(kMostAhead, limit.rlim_cur / 2);
}

class Run {
  public:
    Run(const CommandLine& commandLine, const LanguageTexts& texts, std::ostream& errors)
        : m_commandLine(commandLine), m_texts(texts), m_errors(errors),
          m_plan(PlanRun(commandLine)), m_collection(IsCollection(commandLine)),
          m_progress(errors, m_collection && !commandLine.collection.quiet && ::isatty(2)) {
        m_totals.files = m_plan.size();
    }

    int Execute() {
        const std::string& reportPath = m_commandLine.collection.reportPath;
        if (!reportPath.empty() && !m_report.Open(reportPath)) {
            m_errors << "korvane: " << reportPath << ": the report cannot be written ("
                     << std::strerror(errno) << ")\n";
            return 1;
        }
        std::optional<InterruptSignals> signals;
        if (m_collection) {
            signals.emplace();
        }
        CollectionRunner runner(m_plan, JobCount(m_commandLine.collection), OutputsAhead(), [this] {
            return std::make_unique<FileConverter>(m_commandLine, m_texts);
        });
        runner.Run([this](std::vector<FileOutcome>& group) { Commit(group); },
                   [this](size_t index, const FileOutcome& outcome) { Report(index, outcome); },
                   [this] { return Tick(); });
        m_progress.Erase();
        const int signal = InterruptSignals::Received();
        if (!m_report.Close()) {
            m_errors << "korvane: " << reportPath << ": the report could not be written\n";
            m_reportFailed = true;
        }
        if (m_collection && !m_commandLine.collection.quiet) {
            m_errors << SummaryLine(m_totals, signal != 0, Seconds()) << "\n";
        }
        if (signal != 0) {
            return 128 + signal;
        }
        return m_totals.failed > 0 || m_reportFailed ? 1 : 0;
    }

  private:
    void Commit(std::vector<FileOutcome>& group) {
        std::vector<TempOutput*> outputs;
        std::vector<FileOutcome*> converted;
        for (FileOutcome& outcome : group) {
            if (outcome.status == FileStatus::Converted) {
                outputs.push_back(&outcome.pending);
                converted.push_back(&outcome);
            }
        }
        const std::vector<bool> named = CommitTogether(outputs);
        for (size_t i = 0; i < converted.size(); ++i) {
            FileOutcome& outcome = *converted[i];
            if (!named[i]) {
                outcome.status = FileStatus::Failed;
                outcome.message = m_texts.msgOutputNotWritten;
                outcome.bytesOut.reset();
                outcome.repairs = RepairCounts{};
                outcome.volume.reset();
            }
        }
    }

    void Report(size_t index, const FileOutcome& outcome) {
        const PlannedInput& input = m_plan[index];
        m_totals.Add(outcome);
        const bool shown = !m_commandLine.collection.quiet || outcome.status == FileStatus::Failed;
        if (outcome.message && shown) {
            m_progress.Erase();
            PrintFileMessage(m_errors, input.path, *outcome.message, outcome.reason);
        }
        if (outcome.volume && !m_commandLine.collection.quiet) {
            m_progress.Erase();
            m_errors << "korvane: " << input.path << ": volume " << *outcome.volume << "\n";
        }
        m_report.Write(input.path, outcome);
        m_progress.Update(m_totals.Reported(), m_totals.files, m_totals.bytesIn, Seconds());
    }

    bool Tick() {
        m_progress.Update(m_totals.Reported(), m_totals.files, m_totals.bytesIn, Seconds());
        return InterruptSignals::Received() != 0;
    }

    double Seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }

    const std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    const CommandLine& m_commandLine;
    const LanguageTexts& m_texts;
    std::ostream& m_errors;
    const std::vector<PlannedInput> m_plan;
    const bool m_collection;
    ProgressLine m_progress;
    RunReport m_report;
    RunTotals m_totals;
    bool m_reportFailed = false;
};
} // namespace

int RunCollection(const CommandLine& commandLine, const LanguageTexts& texts,
                  std::ostream& errors) {
    return Run(commandLine, texts, errors).Execute();
}

} // namespace korvane
