#pragma once

#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace korvane {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a program to its end with the given arguments; environment entries in `set` replace
// or add variables, names in `unset` are removed.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& set = {},
                         const std::vector<std::string>& unset = {});

// Starts a program with its standard streams on /dev/null and SIGINT, SIGTERM and SIGHUP at
// their default action; returns its process id, or -1.
pid_t StartProcess(const std::string& program, const std::vector<std::string>& args,
                   const std::map<std::string, std::string>& set = {},
                   const std::vector<std::string>& unset = {});

} // namespace korvane
