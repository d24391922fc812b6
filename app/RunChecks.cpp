#include "app/RunChecks.h"

#include "app/FolderWalk.h"
#include "platform/FileIdentity.h"

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {

namespace {
// "-" stands for a standard stream: what it names is the file behind the descriptor.
FileIdentity IdentifyRunPath(const std::string& path, int standardFd) {
    if (path != "-") {
        return IdentifyPath(path);
    }
    struct stat st {};
    if (::fstat(standardFd, &st) == 0 && S_ISREG(st.st_mode)) {
        return {st.st_dev, st.st_ino, {}};
    }
    return {0, 0, "-"}; // a pipe or terminal: no file to replace
}
// True when path opens what standard output is, whatever it is: /dev/stdout, /proc/self/fd/1,
// the pipe or file behind them.
bool IsStandardOutput(const std::string& path) {
    struct stat named {};
    struct stat out {};
    return ::stat(path.c_str(), &named) == 0 && ::fstat(STDOUT_FILENO, &out) == 0 &&
           named.st_dev == out.st_dev && named.st_ino == out.st_ino;
}
} // namespace

std::optional<std::string> InputThatIsOutputFolder(const CommandLine& commandLine) {
    const std::string& outputDir = commandLine.collection.outputDir;
    FolderIdentity output;
    if (outputDir.empty() || !IdentifyFolder(outputDir, output)) {
        return std::nullopt;
    }
    for (const std::string& input : commandLine.inputs) {
        FolderIdentity folder;
        if (IdentifyFolder(input, folder) && folder.device == output.device &&
            folder.inode == output.inode) {
            return input;
        }
    }
    return std::nullopt;
}

std::optional<std::string> CheckStandardStreams(const CommandLine& commandLine) {
    const std::vector<std::string>& inputs = commandLine.inputs;
    if (std::find(inputs.begin(), inputs.end(), "-") != inputs.end() && ::isatty(STDIN_FILENO)) {
        return "standard input is a terminal: give the MIDI file through a pipe or '<'";
    }
    if (commandLine.options.outputPath == "-" && ::isatty(STDOUT_FILENO)) {
        return "standard output is a terminal: send the MIDI output to a pipe or a file ('>')";
    }
    return std::nullopt;
}

std::optional<std::string> CheckReportPath(const std::string& reportPath,
                                           const std::vector<PlannedInput>& plan,
                                           const std::vector<std::string>& outputs) {
    if (reportPath.empty()) {
        return std::nullopt;
    }
    if (reportPath == "-") {
        for (const std::string& output : outputs) {
            if (output == "-") {
                return "--report=- and --output=- both write to standard output";
            }
        }
        return std::nullopt;
    }
    if (std::find(outputs.begin(), outputs.end(), "-") != outputs.end() &&
        IsStandardOutput(reportPath)) {
        return "--report=" + reportPath + " is standard output, where the MIDI output goes";
    }
    const FileIdentity report = IdentifyPath(reportPath);
    for (size_t i = 0; i < plan.size(); ++i) {
        if (plan[i].folderError != 0) {
            continue;
        }
        if (IdentifyRunPath(plan[i].path, 0) == report) {
            return "--report=" + reportPath + " names the input '" + plan[i].path + "'";
        }
        if (IdentifyRunPath(outputs[i], 1) == report) {
            return "--report=" + reportPath + " names the output '" + outputs[i] + "'";
        }
    }
    return std::nullopt;
}

} // namespace korvane
