#include "app/CollectionRun.h"

#include "app/CollectionRunner.h"
#include "app/FileMessage.h"
#include "app/GroupCommit.h"
#include "app/InputPlan.h"
#include "app/InterruptSignals.h"
#include "app/NameText.h"
#include "app/ProgressLine.h"
#include "app/RunChecks.h"
#include "app/RunLimits.h"
#include "app/RunReport.h"
#include "app/RunSummary.h"
#include "app/StandardStreams.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <malloc.h>
#include <optional>
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

// A run over a folder shows its progress and ends with a summary; files named one by one show
// a summary only when a signal stopped them.
bool IsCollection(const CommandLine& commandLine) {
    return std::any_of(commandLine.inputs.begin(), commandLine.inputs.end(),
                       [](const std::string& input) { return IsFolderPath(input); });
}

std::vector<PlannedInput> PlanRun(const CommandLine& commandLine, StandardInputSpool& spool) {
    std::vector<PlannedInput> plan = PlanInputs(commandLine.inputs, commandLine.collection);
    for (PlannedInput& input : plan) {
        if (input.path == "-") {
            input.readFrom = spool.Take() ? spool.Path() : std::string();
        }
    }
    // Every output is known before the first is written, so no conversion can replace a later
    // input or an earlier output of the same run.
    AssignOutputs(plan, commandLine.options.outputPath, commandLine.collection);
    MarkCollisions(plan);
    return plan;
}

int UsageError(const std::string& error, std::ostream& errors) {
    errors << "korvane: " << EscapeForTerminal(error) << "\nTry 'korvane --help'.\n";
    return 2;
}

class Run {
  public:
    Run(const CommandLine& commandLine, const LanguageTexts& texts, std::ostream& errors,
        const RunObserver* observer = nullptr)
        : m_commandLine(commandLine), m_texts(texts), m_errors(errors), m_observer(observer),
          m_plan(PlanRun(commandLine, m_spool)),
          m_collection(!observer && IsCollection(commandLine)),
          m_progress(errors, m_collection && !commandLine.collection.quiet && ::isatty(2)) {
        m_totals.files = m_plan.size();
        m_totals.checked = commandLine.collection.check;
    }

    int Execute() {
        const std::string& reportPath = m_commandLine.collection.reportPath;
        if (const auto error = CheckReportPath(reportPath, m_plan, Outputs())) {
            return UsageError(*error, m_errors);
        }
        if (!reportPath.empty() && !m_report.Open(reportPath)) {
            m_errors << "korvane: " << EscapeForTerminal(reportPath)
                     << ": the report cannot be written (" << std::strerror(errno) << ")\n";
            return 1;
        }
        m_report.WriteSettings(m_commandLine);
        // Files named one by one stop as cleanly as a folder: every saved output reported.
        std::optional<InterruptSignals> signals;
        if (m_observer == nullptr) {
            signals.emplace();
        }
        const RunLimits limits =
            RaiseDescriptorLimitAndShare(JobCount(m_commandLine.collection), m_plan.size());
        MemoryBudget memory(limits.memory);
        CollectionRunner runner(m_plan, limits.jobs, limits.ahead, memory, [this] {
            return std::make_unique<FileConverter>(m_commandLine, m_texts);
        });
        runner.Run([this](std::vector<FileOutcome>& group,
                          const std::vector<size_t>& indices) { Commit(group, indices); },
                   [this](size_t converted) { return Tick(converted); });
        m_progress.Erase();
        const int signal = InterruptSignals::Received();
        if (!m_report.Close()) {
            m_errors << "korvane: " << EscapeForTerminal(reportPath)
                     << ": the report could not be written\n";
            m_reportFailed = true;
        }
        if ((m_collection || signal != 0) && !m_commandLine.collection.quiet) {
            m_errors << SummaryLine(m_totals, signal != 0, Seconds()) << "\n";
        }
        if (signal != 0) {
            return 128 + signal;
        }
        // A check fails for any file that needs a repair, as a conversion would have made one.
        const bool needsRepair = m_commandLine.collection.check && m_totals.repaired > 0;
        return m_totals.failed > 0 || needsRepair || m_reportFailed || m_unsynced ? 1 : 0;
    }

  private:
    std::vector<std::string> Outputs() const {
        std::vector<std::string> outputs;
        outputs.reserve(m_plan.size());
        for (const PlannedInput& input : m_plan) {
            outputs.push_back(input.output);
        }
        return outputs;
    }

    // The finished output goes to standard output only once the conversion has succeeded.
    void CopyOut(FileOutcome& outcome) const {
        const int fd = outcome.pending.OpenReader();
        uint64_t copied = 0;
        const bool written = fd >= 0 && CopyToStandardOutput(fd, copied);
        const int error = errno;
        if (fd >= 0) {
            ::close(fd);
        }
        outcome.pending = TempOutput();
        outcome.bytesOut = copied;
        if (!written) {
            outcome.status = FileStatus::Failed;
            outcome.message = m_texts.msgOutputNotWritten;
            outcome.reason = std::strerror(error);
            outcome.error = JobMessage::OutputNotWritten;
            outcome.bytesOut.reset();
        }
    }

    // Names the group's outputs and reports every outcome in order, each converted file's line
    // right after its name: whatever ends the process, a named output has its line (SIGKILL
    // aside, which may take the one line being written).
    void Commit(std::vector<FileOutcome>& group, const std::vector<size_t>& indices) {
        std::vector<TempOutput*> outputs;
        for (FileOutcome& outcome : group) {
            if (outcome.status == FileStatus::Converted && outcome.output != "-") {
                outputs.push_back(&outcome.pending);
            }
        }
        GroupCommit commit(outputs);
        const SecondSignalHeld held;
        size_t named = 0;
        for (size_t i = 0; i < group.size(); ++i) {
            FileOutcome& outcome = group[i];
            if (outcome.status == FileStatus::Converted && outcome.output == "-") {
                CopyOut(outcome);
            } else if (outcome.status == FileStatus::Converted && !commit.Name(named++)) {
                FailUnnamed(outcome);
            }
            Report(indices[i], outcome);
        }
        const std::vector<bool> synced = commit.SyncFolders();
        named = 0;
        for (size_t i = 0; i < group.size(); ++i) {
            const bool wasNamed =
                group[i].status == FileStatus::Converted && group[i].output != "-";
            if (wasNamed && !synced[named++]) {
                // Named and reported, but the name may not survive a crash: said, and failed.
                m_errors << "korvane: " << EscapeForTerminal(m_plan[indices[i]].path) << ": "
                         << m_texts.msgOutputNotWritten << "\n";
                m_unsynced = true;
            }
        }
    }

    // An output that could not be named failed after all: the job's size and repairs no longer
    // describe a file on disk.
    void FailUnnamed(FileOutcome& outcome) const {
        outcome.status = FileStatus::Failed;
        outcome.message = m_texts.msgOutputNotWritten;
        outcome.error = JobMessage::OutputNotWritten;
        outcome.bytesOut.reset();
        outcome.repairs = RepairCounts{};
        outcome.gain.reset();
    }

    void Report(size_t index, const FileOutcome& outcome) {
        const PlannedInput& input = m_plan[index];
        m_totals.Add(outcome);
        if (m_observer != nullptr) {
            m_observer->reported(input, outcome, m_totals.files);
            return;
        }
        const bool shown = !m_commandLine.collection.quiet || outcome.status == FileStatus::Failed;
        if (outcome.message && shown) {
            m_progress.Erase();
            PrintFileMessage(m_errors, input.path, *outcome.message, outcome.reason);
        }
        if (outcome.gain && !m_commandLine.collection.quiet) {
            m_progress.Erase();
            m_errors << "korvane: " << input.path << ": gain " << *outcome.gain << "\n";
        }
        m_report.Write(input.path, outcome);
        m_progress.Update(m_totals.Reported(), m_totals.files, m_totals.bytesIn, Seconds());
    }

    bool Tick(size_t converted) {
        m_progress.Update(m_totals.Reported(), m_totals.files, m_totals.bytesIn, Seconds());
        if (m_observer != nullptr) {
            m_observer->converted(converted, m_totals.files);
        }
        return InterruptSignals::Received() != 0 || (m_observer != nullptr && m_observer->stop());
    }

    double Seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }

    const std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    const CommandLine& m_commandLine;
    const LanguageTexts& m_texts;
    std::ostream& m_errors;
    StandardInputSpool m_spool;
    const RunObserver* const m_observer;
    const std::vector<PlannedInput> m_plan;
    const bool m_collection;
    ProgressLine m_progress;
    RunReport m_report;
    RunTotals m_totals;
    bool m_reportFailed = false;
    bool m_unsynced = false;
};
} // namespace

int RunCollection(const CommandLine& given, const LanguageTexts& texts, std::ostream& errors) {
    // Buffers of a megabyte and more go back to the system when freed, instead of staying in
    // the allocator once it has raised its threshold: memory then follows the budget.
    ::mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    CommandLine commandLine = given;
    std::optional<std::string> error;
    if (const auto input = InputThatIsOutputFolder(commandLine)) {
        if (commandLine.collection.keepNames) {
            error = "--output-dir is the folder '" + *input +
                    "' itself: with --keep-names every output would replace its input";
        } else {
            // That folder holds every output beside its input: the run converts as if no
            // output folder were given.
            commandLine.collection.outputDir.clear();
        }
    }
    if (!error) {
        error = CheckStandardStreams(commandLine);
    }
    if (error) {
        return UsageError(*error, errors);
    }
    return Run(commandLine, texts, errors).Execute();
}

void RunCollection(const CommandLine& commandLine, const LanguageTexts& texts,
                   const RunObserver& observer) {
    std::ostream nowhere(nullptr);
    Run(commandLine, texts, nowhere, &observer).Execute();
}

} // namespace korvane
