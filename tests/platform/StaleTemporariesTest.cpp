#include "platform/StaleTemporaries.h"
#include "platform/TempOutput.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvane {
namespace {
constexpr time_t kTwoDays = 2 * 24 * 60 * 60;

// A process id that no process has now.
pid_t EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return child;
}

void Age(const std::string& path, time_t seconds) {
    const timeval then{::time(nullptr) - seconds, 0};
    const timeval times[2] = {then, then};
    ::lutimes(path.c_str(), times);
}

TEST(StaleTemporaries, ALaterSaveRemovesOnlyWhatEndedRunsLeft) {
    TempFolder folder;
    const std::string own = HiddenTemporaryName(folder.Path()); // .korvane-KEY-PID-RANDOM
    const std::string ownName = own.substr(folder.Path().size() + 1);
    const std::string key = ownName.substr(9, 8);
    const std::string dead = ".korvane-" + key + "-" + std::to_string(EndedProcess()) + "-abcd1234";
    struct Case {
        std::string name;
        time_t age;
        bool removed;
    } const cases[] = {
        {ownName, 0, false}, // this live process
        {dead, 0, true},     // killed here
        {".korvane-0badf00d-" + std::to_string(::getpid()) + "-abcd1234", 0, false}, // elsewhere
        {".korvane-0badf00d-1-abcd1234", kTwoDays, true}, // elsewhere, long ago
        {".korvane-AbCdEf123456", kTwoDays, true},        // written before names had owners
        {".korvane-AbCdEf123456x", kTwoDays, false},      // not Korvane's name
        {".korvane-notes", kTwoDays, false},
        {"song.mid", kTwoDays, false},
    };
    for (const Case& c : cases) {
        WriteTextFile(folder.File(c.name), "x");
        Age(folder.File(c.name), c.age);
    }
    ASSERT_EQ(::symlink("song.mid", folder.File(".korvane-" + key + "-1-linklink").c_str()), 0);
    TempOutput temp = TempOutput::Create(folder.File("out.mid"));
    ASSERT_TRUE(temp.IsValid());
    for (const Case& c : cases) {
        EXPECT_EQ(FileExists(folder.File(c.name)), !c.removed) << c.name;
    }
    EXPECT_TRUE(FileExists(folder.File(".korvane-" + key + "-1-linklink")))
        << "a link is no temporary";
}
} // namespace
} // namespace korvane
