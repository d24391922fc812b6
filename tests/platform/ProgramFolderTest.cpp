#include "platform/ProgramFolder.h"

#include "testing/CaseName.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace korvane {
namespace {
struct FolderCase {
    const char* exePath;
    const char* folder;
};

void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << c.exePath;
}

class ProgramFolderOfTest : public testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFolderOfTest, DropsOnlyAFinalBuildFolder) {
    EXPECT_EQ(ProgramFolderOf(GetParam().exePath), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ProgramFolderOfTest,
    testing::Values(FolderCase{"/home/ann/korvane/Release/korvane", "/home/ann/korvane"},
                    FolderCase{"/home/ann/korvane/Debug/korvane", "/home/ann/korvane"},
                    FolderCase{"/home/ann/Browse/korvane", "/home/ann/Browse"},
                    FolderCase{"/home/ann/plug/korvane", "/home/ann/plug"},
                    FolderCase{"/opt/MyRelease/korvane", "/opt/MyRelease"},
                    FolderCase{"/opt/release/korvane", "/opt/release"},
                    FolderCase{"/opt/Release/Debug/korvane", "/opt/Release"},
                    FolderCase{"/usr/bin/korvane", "/usr/bin"}, FolderCase{"/Release/korvane", "/"},
                    FolderCase{"/korvane", "/"}, FolderCase{"korvane", "."}),
    [](const auto& testCase) { return CaseName(testCase.index, testCase.param.exePath); });

TEST(ProgramFolder, IsTheFolderHoldingThisTest) {
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(std::filesystem::exists(folder + "/platform_test"));
}

TEST(ExamplesFolder, PrefersTheFolderBesideTheProgram) {
    TempFolder program;
    std::filesystem::create_directory(program.File("Examples"));
    EXPECT_EQ(ExamplesFolder(program.Path()), program.File("Examples"));
}

TEST(ExamplesFolder, FallsBackToTheInstalledFolder) {
    TempFolder program;
    EXPECT_EQ(ExamplesFolder(program.Path()), InstalledExamplesFolder(program.Path()));
    WriteTextFile(program.File("Examples"), "a file, not a folder");
    EXPECT_EQ(ExamplesFolder(program.Path()), InstalledExamplesFolder(program.Path()));
    EXPECT_EQ(ExamplesFolder(""), "");
}

TEST(InstalledExamplesFolder, IsBesideTheProgramsBinFolderWhereverTheTreeIs) {
    EXPECT_EQ(InstalledExamplesFolder("/usr/bin"), "/usr/share/korvane/examples");
    EXPECT_EQ(InstalledExamplesFolder("/tmp/unpacked/usr/bin"),
              "/tmp/unpacked/usr/share/korvane/examples");
}

// Sets or clears an environment variable for one test and puts the old value back.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        Set(value);
    }
    ~ScopedVariable() { Set(m_old ? m_old->c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    void Set(const char* value) {
        if (value != nullptr) {
            ::setenv(m_name, value, 1);
        } else {
            ::unsetenv(m_name);
        }
    }

    const char* m_name;
    std::optional<std::string> m_old;
};

struct SetupCase {
    const char* cacheHome;
    const char* home;
    const char* folder;
};

void PrintTo(const SetupCase& c, std::ostream* os) {
    *os << "cache " << (c.cacheHome != nullptr ? c.cacheHome : "(unset)") << ", home "
        << (c.home != nullptr ? c.home : "(unset)");
}

class SetupFolderTest : public testing::TestWithParam<SetupCase> {};

TEST_P(SetupFolderTest, FollowsTheCacheFolder) {
    ScopedVariable cache("XDG_CACHE_HOME", GetParam().cacheHome);
    ScopedVariable home("HOME", GetParam().home);
    EXPECT_EQ(SetupFolder(), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(
    Variables, SetupFolderTest,
    testing::Values(SetupCase{"/var/cache/ann", "/home/ann", "/var/cache/ann/KorvaneSetup"},
                    SetupCase{"/var/cache/ann/", "/home/ann", "/var/cache/ann/KorvaneSetup"},
                    SetupCase{nullptr, "/home/ann", "/home/ann/.cache/KorvaneSetup"},
                    SetupCase{"", "/home/ann", "/home/ann/.cache/KorvaneSetup"},
                    SetupCase{"relative/cache", "/home/ann", "/home/ann/.cache/KorvaneSetup"},
                    SetupCase{nullptr, nullptr, ""}, SetupCase{nullptr, "not/absolute", ""}),
    [](const auto& testCase) { return CaseName(testCase.index, testCase.param.folder); });
} // namespace
} // namespace korvane
