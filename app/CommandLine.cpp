#include "app/CommandLine.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

namespace korvane {
namespace {
struct LongOption {
    const char* name;
    bool takesValue;
};

constexpr LongOption kLongOptions[] = {
    {"speed", true},  {"dynamic-range", true}, {"volume", true},   {"fix-stuck-notes", false},
    {"output", true}, {"help", false},         {"version", false},
};

std::optional<int> ParseInteger(const std::string& text, int lowest, int highest) {
    if (text.empty()) {
        return std::nullopt;
    }
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < lowest || value > highest) {
        return std::nullopt;
    }
    return static_cast<int>(value);
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
    explicit Parser(const std::vector<std::string>& args) : m_args(args) {}

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
            if (m_args[i].rfind("--", 0) == 0) {
                m_result.headless = true;
                i = TakeLongOption(i);
            } else {
                shortOptions.push_back(m_args[i]);
            }
        }
        m_result.batch = ScanBatchArguments(shortOptions);
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
        Adjustments& adjustments = m_result.options.adjustments;
        if (name == "speed") {
            SetInteger(name, value, Adjustments::kSpeedLowest, Adjustments::kSpeedHighest,
                       adjustments.m_speedPercent);
        } else if (name == "dynamic-range") {
            SetInteger(name, value, Adjustments::kLevelLowest, Adjustments::kLevelHighest,
                       adjustments.m_dynamicRange);
        } else if (name == "volume") {
            SetInteger(name, value, Adjustments::kLevelLowest, Adjustments::kLevelHighest,
                       adjustments.m_volume);
        } else if (name == "fix-stuck-notes") {
            adjustments.m_eliminateStuckNotes = true;
        } else if (name == "output") {
            m_result.options.outputPath = value;
            m_outputGiven = true;
        } else if (name == "help") {
            m_help = true;
        } else {
            m_version = true;
        }
    }

    void SetInteger(const std::string& name, const std::string& value, int lowest, int highest,
                    int& target) {
        const auto parsed = ParseInteger(value, lowest, highest);
        if (!parsed) {
            Fail("--" + name + " takes an integer from " + std::to_string(lowest) + " to " +
                     std::to_string(highest) + ", not '" + value + "'",
                 0);
            return;
        }
        target = *parsed;
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
        if (inputs.empty()) {
            Fail("no input file", 0);
        } else if (m_outputGiven && inputs.size() != 1) {
            Fail("--output goes with exactly one input file", 0);
        } else {
            m_result.action = CommandLine::Action::Convert;
            m_result.inputs = std::move(inputs);
        }
        return m_result;
    }

    CommandLine FinishShortOptions() {
        const BatchArguments& batch = m_result.batch;
        if (batch.seen) {
            m_result.action = CommandLine::Action::Convert;
            if (batch.inputGiven) {
                m_result.inputs = {batch.inputPath};
            }
        }
        return m_result;
    }

    const std::vector<std::string>& m_args;
    CommandLine m_result;
    bool m_outputGiven = false;
    bool m_help = false;
    bool m_version = false;
};
} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    return Parser(args).Parse();
}

std::string UsageText() {
    return "usage: korvane [OPTION]... [FILE.mid]...\n"
           "       korvane -f FILE.mid\n"
           "Repairs and adjusts Standard MIDI Files. Each FILE.mid is converted into\n"
           "FILEKRV.mid beside it; a RIFF MIDI file (FILE.rmi) gives a plain FILEKRV.mid.\n"
           "\n"
           "  --speed=P            tempo in percent, 0 to 100000 (default 100)\n"
           "  --dynamic-range=D    0 to 1000: below 500 narrows, above 500 widens the\n"
           "                       velocities around 64 (default 500)\n"
           "  --volume=V           0 to 1000: below 500 louder, above 500 softer (default 500)\n"
           "  --fix-stuck-notes    release every note before the same key is struck again\n"
           "  --output=PATH        where to write (one input file only)\n"
           "  --help               show this text\n"
           "  --version            show the version\n"
           "\n"
           "With no option the window opens (with FILE.mid loaded, if given).\n"
           "Exit status: 0 every file converted, 1 a conversion failed, 2 usage error.\n";
}

} // namespace korvane
