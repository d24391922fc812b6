#include "app/CommandLine.h"
#include "app/DisplayCheck.h"
#include "app/HeadlessRun.h"
#include "app/NameText.h"
#include "platform/TempOutput.h"
#ifdef KORVANE_WINDOW
#include "app/WindowModule.h"
#endif

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace korvane {
namespace {
#ifdef KORVANE_WINDOW
// The window's branch: the window opens (or, with "-f", converts with message boxes before it
// shows) on the display; without one there is nothing to open it on.
int RunWindow(const CommandLine&, int argc, char** argv) {
    if (DisplayReachable()) {
        // "--window" has done its work: the window takes the paths alone.
        std::vector<char*> arguments;
        std::copy_if(argv, argv + argc, std::back_inserter(arguments),
                     [](const char* argument) { return std::string(argument) != "--window"; });
        arguments.push_back(nullptr);
        return RunWindowModule(static_cast<int>(arguments.size()) - 1, arguments.data());
    }
    if (DisplayNamed()) {
        std::cerr << "korvane: the display does not answer, so the window cannot open\n";
    } else {
        std::cerr << "korvane: there is no display to open the window on (DISPLAY and "
                     "WAYLAND_DISPLAY are not set)\n";
    }
    std::cerr << "Try 'korvane --help' to convert without it.\n";
    return 2;
}
#else
// The window's branch in a build without the window: conversions run headless and anything
// else shows the usage.
int RunWindow(const CommandLine& commandLine, int, char**) {
    if (commandLine.action == CommandLine::Action::Convert) {
        return RunHeadless(commandLine, std::cerr);
    }
    std::cerr << UsageText();
    return 2;
}
#endif
} // namespace

int Main(int argc, char** argv) {
    // Lets the tests of interrupted saves try the named temporary where unnamed ones work.
    if (std::getenv("KORVANE_TEST_NAMED_TEMPORARY") != nullptr) {
        TempOutput::ForceNamed(true);
    }
    const CommandLine commandLine = ParseCommandLine(std::vector<std::string>(argv, argv + argc));
    switch (commandLine.action) {
    case CommandLine::Action::Help:
        std::cout << UsageText();
        return 0;
    case CommandLine::Action::Version:
        std::cout << "korvane " << KORVANE_VERSION << "\n";
        return 0;
    case CommandLine::Action::UsageError:
        std::cerr << "korvane: " << EscapeForTerminal(commandLine.error)
                  << "\nTry 'korvane --help'.\n";
        return 2;
    case CommandLine::Action::Convert:
        if (commandLine.headless || !DisplayReachable()) {
            return RunHeadless(commandLine, std::cerr);
        }
        break;
    case CommandLine::Action::Window:
        break;
    }
    return RunWindow(commandLine, argc, argv);
}
} // namespace korvane

int main(int argc, char** argv) {
    return korvane::Main(argc, argv);
}
