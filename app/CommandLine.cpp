#include "app/CommandLine.h"

#include "job/AdjustmentOptions.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <sys/stat.h>

namespace korvane {
namespace {
struct LongOption {
    const char* name;
    bool takesValue;
};

constexpr LongOption kLongOptions[] = {
    {"speed", true},  {"dynamic-range", true}, {"volume", true},         {"fix-stuck-notes", false},
    {"output", true}, {"output-dir", true},    {"keep-names", false},    {"jobs", true},
    {"report", true}, {"quiet", false},        {"skip-existing", false}, {"shard", true},
    {"help", false},  {"version", false},      {"keep-bars", false},     {"channels", true},
    {"peak", true},   {"check", false},
};

constexpr int kMostJobs = 1024;
constexpr long kMostShards = 1000000;

// "I/N" with 0 <= I < N.
std::optional<Shard> ParseShard(const std::string& text) {
    const auto slash = text.find('/');
    if (slash == std::string::npos) {
        return std::nullopt;
    }
    const auto count = ParseWholeNumber(text.substr(slash + 1), 1, kMostShards);
    const auto index = ParseWholeNumber(text.substr(0, slash), 0, kMostShards - 1);
    if (!count || !index || *index >= *count) {
        return std::nullopt;
    }
    return Shard{static_cast<uint32_t>(*index), static_cast<uint32_t>(*count)};
}

const LongOption* FindLongOption(const std::string& name) {
    for (const LongOption& option : kLongOptions) {
        if (name == option.name) {
            return &option;
        }
    }
    return nullptr;
}

class Parser {
  public:
    Parser(const std::vector<std::string>& args, const FolderTest& isFolder)
        : m_args(args), m_isFolder(isFolder) {}

    CommandLine Parse() {
        std::vector<std::string> shortOptions{m_args.empty() ? std::string() : m_args[0]};
        std::vector<std::string> afterDashes;
        for (size_t i = 1; i < m_args.size() && m_result.action != CommandLine::Action::UsageError;
             ++i) {
            if (m_args[i] == "--") {
                m_result.headless = true;
                afterDashes.assign(m_args.begin() + static_cast<long>(i) + 1, m_args.end());
                break;
            }
            if (m_args[i] == "--window") {
                m_window = true; // what follows opens in the window, folders too
            } else if (m_args[i].rfind("--", 0) == 0) {
                m_result.headless = true;
                i = TakeLongOption(i);
            } else if (m_args[i] == "-h" || m_args[i] == "-V") {
                (m_args[i] == "-h" ? m_help : m_version) = true;
            } else if (m_args[i] == "-") {
                m_result.headless = true; // standard input is read by the command line only
                m_standardInput = true;
            } else {
                shortOptions.push_back(m_args[i]);
            }
        }
        m_result.batch = ScanBatchArguments(shortOptions);
        for (const std::string& path : m_result.batch.paths) {
            m_result.headless = m_result.headless || path == "-" || (!m_window && m_isFolder(path));
        }
        if (m_window && (m_result.headless || m_result.batch.seen)) {
            Fail("--window takes files and folders to open, and no option", 0);
        }
        if (m_result.action == CommandLine::Action::UsageError || m_help || m_version) {
            return Finish();
        }
        return m_result.headless ? FinishHeadless(afterDashes) : FinishShortOptions();
    }

  private:
    // Returns the index of the last argument used.
    size_t TakeLongOption(size_t i) {
        const std::string text = m_args[i].substr(2);
        const auto equals = text.find('=');
        const std::string name = text.substr(0, equals);
        const LongOption* option = FindLongOption(name);
        if (option == nullptr) {
            return Fail("unknown option '--" + name + "'", i);
        }
        std::string value;
        if (equals != std::string::npos) {
            if (!option->takesValue) {
                return Fail("option '--" + name + "' takes no value", i);
            }
            value = text.substr(equals + 1);
        } else if (option->takesValue) {
            if (i + 1 >= m_args.size()) {
                return Fail("option '--" + name + "' needs a value", i);
            }
            value = m_args[++i];
        }
        Apply(name, value);
        return i;
    }

    void Apply(const std::string& name, const std::string& value) {
        if (IsAdjustmentOption(name)) {
            const std::string error =
                ApplyAdjustmentOption(name, value, m_result.options.adjustments);
            if (!error.empty()) {
                Fail(error, 0);
            }
        } else if (name == "output") {
            m_result.options.outputPath = value;
            m_outputGiven = true;
        } else if (name == "help") {
            m_help = true;
        } else if (name == "version") {
            m_version = true;
        } else {
            ApplyCollection(name, value);
        }
    }

    void ApplyCollection(const std::string& name, const std::string& value) {
        CollectionOptions& collection = m_result.collection;
        if (name == "output-dir") {
            collection.outputDir = value;
            if (value.empty()) {
                Fail("--output-dir needs a folder", 0);
            }
        } else if (name == "keep-names") {
            collection.keepNames = true;
        } else if (name == "jobs") {
            int jobs = 0;
            const std::string error = SetIntegerOption(name, value, 1, kMostJobs, jobs);
            if (!error.empty()) {
                Fail(error, 0);
            }
            collection.jobs = static_cast<unsigned>(jobs);
        } else if (name == "report") {
            collection.reportPath = value;
            if (value.empty()) {
                Fail("--report needs a file name, or - for standard output", 0);
            }
        } else if (name == "quiet") {
            collection.quiet = true;
        } else if (name == "skip-existing") {
            collection.skipExisting = true;
        } else if (name == "check") {
            collection.check = true;
        } else {
            const auto shard = ParseShard(value);
            if (!shard) {
                Fail("--shard takes I/N with 0 <= I < N, not '" + value + "'", 0);
                return;
            }
            collection.shard = *shard;
        }
    }

    size_t Fail(const std::string& error, size_t i) {
        if (m_result.action != CommandLine::Action::UsageError) {
            m_result.action = CommandLine::Action::UsageError;
            m_result.error = error;
        }
        return i;
    }

    CommandLine Finish() {
        if (m_result.action != CommandLine::Action::UsageError) {
            m_result.action = m_help ? CommandLine::Action::Help : CommandLine::Action::Version;
        }
        return m_result;
    }

    CommandLine FinishHeadless(const std::vector<std::string>& afterDashes) {
        const BatchArguments& batch = m_result.batch;
        if (!batch.strayOptions.empty()) {
            Fail("unknown option '" + batch.strayOptions.front() + "'", 0);
            return m_result;
        }
        std::vector<std::string> inputs = batch.paths;
        inputs.insert(inputs.end(), afterDashes.begin(), afterDashes.end());
        if (m_standardInput) {
            inputs.insert(inputs.begin(), "-");
        }
        const bool readsStandardInput = std::count(inputs.begin(), inputs.end(), "-") > 0;
        const CollectionOptions& collection = m_result.collection;
        if (readsStandardInput && inputs.size() > 1) {
            Fail("- (standard input) goes with no other input", 0);
        } else if (readsStandardInput && !collection.outputDir.empty()) {
            Fail("- (standard input) does not go with --output-dir", 0);
        } else if (inputs.empty()) {
            Fail("no input file", 0);
        } else if (m_outputGiven && (inputs.size() != 1 || m_isFolder(inputs.front()))) {
            Fail("--output goes with exactly one input file", 0);
        } else if (m_outputGiven && !collection.outputDir.empty()) {
            Fail("--output and --output-dir do not go together", 0);
        } else if (collection.keepNames && collection.outputDir.empty()) {
            Fail("--keep-names goes with --output-dir", 0);
        } else {
            m_result.action = CommandLine::Action::Convert;
            m_result.inputs = std::move(inputs);
            // A filter: standard input to standard output; a check writes no output at all.
            // (Assigning the literal trips a false -Wrestrict of g++ 12 here.)
            if (readsStandardInput && !m_outputGiven && !collection.check) {
                m_result.options.outputPath.emplace("-");
            }
        }
        return m_result;
    }

    // A run with -f converts every file named, none dropped; -v alone names nothing to convert,
    // and anything else beginning with "-" is no option the window would take either.
    CommandLine FinishShortOptions() {
        const BatchArguments& batch = m_result.batch;
        if (!batch.strayOptions.empty()) {
            Fail("unknown option '" + batch.strayOptions.front() + "'", 0);
        } else if (batch.seen && !batch.inputGiven) {
            Fail("-v goes with -f FILE.mid: no input file", 0);
        } else if (batch.seen) {
            m_result.action = CommandLine::Action::Convert;
            m_result.inputs = batch.paths;
        }
        return m_result;
    }

    const std::vector<std::string>& m_args;
    const FolderTest& m_isFolder;
    bool m_window = false;
    CommandLine m_result;
    bool m_outputGiven = false;
    bool m_standardInput = false;
    bool m_help = false;
    bool m_version = false;
};
} // namespace

bool IsFolderPath(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

CommandLine ParseCommandLine(const std::vector<std::string>& args, const FolderTest& isFolder) {
    return Parser(args, isFolder).Parse();
}

std::string UsageText() {
    return "usage: korvane [OPTION]... [FILE.mid | FOLDER]...\n"
           "       korvane [OPTION]... - < IN.mid > OUT.mid\n"
           "       korvane -f FILE.mid\n"
           "       korvane --window [FILE.mid | FOLDER]...   opens them in the window\n"
           "Repairs and adjusts Standard MIDI Files. Each FILE.mid is converted into\n"
           "FILEKRV.mid beside it. A FOLDER is searched, sub-folders too, for files\n"
           "ending in .mid, .midi, .kar, .smf or .rmi (names beginning with \".\" and\n"
           "earlier outputs ending in KRV.mid are left out; links to folders are not\n"
           "followed). A RIFF MIDI file (FILE.rmi) gives a plain FILEKRV.mid.\n"
           "An input - reads standard input and writes standard output (a pipe or a\n"
           "file, never a terminal). Input from a pipe is copied to an unnamed temporary\n"
           "file first; output to standard output is made whole in one and copied out\n"
           "only once the conversion has succeeded.\n"
           "\n"
           "  --speed=P            tempo in percent, 0 to 100000 (default 100)\n"
           "  --dynamic-range=D    0 to 1000: below 500 narrows, above 500 widens the\n"
           "                       velocities around 64 (default 500)\n"
           "  --volume=V           0 to 1000: below 500 louder, above 500 softer (default 500)\n"
           "  --fix-stuck-notes    release every note before the same key is struck again\n"
           "  --keep-bars          with --speed: scale the tempo instead of the ticks, so\n"
           "                       every event keeps its tick and bar lines stay in place\n"
           "                       (files with SMPTE time, and speed 0, scale the ticks)\n"
           "  --channels=LIST      map the levels of these channels only, as 1-9,11-16;\n"
           "                       the others are copied as they are (default 1-16)\n"
           "  --peak=N             after --dynamic-range and --volume, multiply the Note On\n"
           "                       velocities of those channels by one gain that brings\n"
           "                       the loudest to N, 1 to 127; the others keep their\n"
           "                       proportions. Goes with --volume, which shapes the levels\n"
           "                       first; the gain is printed and reported\n"
           "  --output=PATH        where to write (one input file only); - for standard\n"
           "                       output\n"
           "  --output-dir=DIR     write the outputs under DIR, in the sub-folders their\n"
           "                       inputs have under the FOLDER given (a FILE goes straight\n"
           "                       into DIR); inputs inside DIR are left out. DIR being a\n"
           "                       FOLDER given: the outputs go beside their inputs\n"
           "  --keep-names         with --output-dir: each output takes its input's name\n"
           "  --jobs=N             convert N files at once, 1 to 1024 (default: one per\n"
           "                       processor); messages and report keep the input order\n"
           "  --report=PATH        write one JSON line per input to PATH (- for standard\n"
           "                       output), as its output is saved: input, output,\n"
           "                       status, message, bytes_in, bytes_out, the repairs made\n"
           "                       and the gain --peak chose; a name that is not UTF-8\n"
           "                       also as input_bytes or output_bytes in base64. PATH\n"
           "                       may not be an input or an output of the run, nor the\n"
           "                       standard output the MIDI output goes to\n"
           "  --check              read every input as a conversion would, write nothing and\n"
           "                       report what it would repair; exit 0 only when every\n"
           "                       input is a MIDI file that needs no repair\n"
           "  --skip-existing      leave out inputs whose output is there and not older\n"
           "  --shard=I/N          convert only shard I of N (0 <= I < N), chosen by each\n"
           "                       input's path under its FOLDER: N runs with I = 0 to N-1\n"
           "                       convert every file once\n"
           "  --quiet              print nothing but failures\n"
           "  -h, --help           show this text\n"
           "  -V, --version        show the version\n"
           "\n"
           "With no option and no FOLDER the window opens (with FILE.mid loaded, if given).\n"
           "A run over a FOLDER shows its progress on a terminal and ends with a\n"
           "summary line. Ctrl-C, SIGTERM or a closed terminal (SIGHUP) stops it: files\n"
           "begun are abandoned, the report keeps every file saved.\n"
           "Exit status: 0 every file converted, 1 a file or folder failed, 2 usage error,\n"
           "129, 130 or 143 stopped by SIGHUP, Ctrl-C or SIGTERM.\n";
}

} // namespace korvane
