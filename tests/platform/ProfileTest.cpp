#include "platform/Profile.h"

#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <sys/stat.h>

namespace korvane {

namespace fs = std::filesystem;

namespace {
class ProfileTest : public testing::Test {
  protected:
    std::string IniPath() const { return m_folder.File("Korvane.ini"); }

    TempFolder m_folder;
};

TEST_F(ProfileTest, MissingFileGivesDefaults) {
    const Profile profile(IniPath());
    EXPECT_EQ(profile.GetProfileInt("Language", 1), 1);
    EXPECT_EQ(profile.GetProfileString("MIDIPathNameI", "none"), "none");
    EXPECT_FALSE(fs::exists(IniPath()));
}

TEST_F(ProfileTest, DamagedFileGivesDefaults) {
    std::string binary;
    for (int i = 0; i < 4096; ++i) {
        binary.push_back(static_cast<char>((i * 37 + 11) % 256));
    }
    const std::string damaged[] = {
        binary,
        std::string("[Version 1.0]\nLanguage=\0\xff\xfe", 20),
        "[Version 1.0\nLanguage=3\n",
        "[Version 1.0]\nLanguage=three\nLanguage2=3x\nLanguage3=99999999999\n",
        "\xef\xbb\xbf[Other]\nLanguage=3\n",
        // Larger than any profile Korvane writes: not read at all.
        "[Version 1.0]\nLanguage=3\n" + std::string(2 << 20, ';'),
    };
    for (const std::string& text : damaged) {
        WriteTextFile(IniPath(), text);
        const Profile profile(IniPath());
        EXPECT_EQ(profile.GetProfileInt("Language", 1), 1);
        EXPECT_EQ(profile.GetProfileInt("Language2", -5), -5);
        EXPECT_EQ(profile.GetProfileInt("Language3", 7), 7);
        EXPECT_EQ(profile.GetProfileString("MIDIPathNameI", "d"), "d");
    }
}

TEST_F(ProfileTest, ValuesReadBackAsWritten) {
    const std::string strings[] = {
        "",
        "/home/ann/MIDI",
        "/home/ann/Überspielung – Chorprobe/ñandú ça va.mid",
        "/tmp/a=b;c#d[e]",
        std::string(100000, 'p') + "/end",
    };
    Profile profile(IniPath());
    for (const std::string& text : strings) {
        ASSERT_TRUE(profile.WriteProfileString("MIDIFileNameI", text));
        EXPECT_EQ(Profile(IniPath()).GetProfileString("MIDIFileNameI", "default"), text);
    }
    for (const int value : {0, 1, 3, -1, 7, INT_MAX, INT_MIN}) {
        ASSERT_TRUE(profile.WriteProfileInt("Language", value));
        EXPECT_EQ(Profile(IniPath()).GetProfileInt("Language", 42), value);
    }
    EXPECT_EQ(Profile(IniPath()).GetProfileString("MIDIFileNameI", "x"), strings[4]);
}

TEST_F(ProfileTest, KeepsSpacesAndQuotesOfAName) {
    const std::string strings[] = {" leading.mid", "trailing.mid ",  "\tboth\t", "\"quoted\"",
                                   "\" half.mid",  "<<<END_OF_TEXT", "a \"b\" c"};
    Profile profile(IniPath());
    for (const std::string& text : strings) {
        ASSERT_TRUE(profile.WriteProfileString("MIDIFileNameO", text));
        ASSERT_TRUE(profile.WriteProfileInt("Language", 2)); // rewrites the name as it stands
        EXPECT_EQ(Profile(IniPath()).GetProfileString("MIDIFileNameO", "default"), text);
        EXPECT_EQ(Profile(IniPath()).GetProfileInt("Language", 1), 2);
    }
}

TEST_F(ProfileTest, RefusesANameThatWouldSpillIntoTheNextLine) {
    Profile profile(IniPath());
    ASSERT_TRUE(profile.WriteProfileString("MIDIFileNameO", "/old.mid"));
    const std::string unfit[] = {"x\nLanguage=7", "x\rLanguage=7", std::string("x\0y", 3)};
    for (const std::string& text : unfit) {
        EXPECT_FALSE(profile.WriteProfileString("MIDIFileNameO", text));
    }
    EXPECT_EQ(profile.GetProfileString("MIDIFileNameO", "d"), "/old.mid");
    EXPECT_EQ(profile.GetProfileInt("Language", 1), 1);
}

TEST_F(ProfileTest, WritesTheSectionOfVersionOne) {
    Profile profile(IniPath());
    ASSERT_TRUE(profile.WriteProfileInt("Language", 0));
    ASSERT_TRUE(profile.WriteProfileString("MIDIPathNameO", "/out"));
    const std::string text = ReadTextFile(IniPath());
    EXPECT_NE(text.find("[Version 1.0]"), std::string::npos) << text;
    EXPECT_NE(text.find("Language"), std::string::npos) << text;
    EXPECT_NE(text.find("/out"), std::string::npos) << text;
}

TEST_F(ProfileTest, ReplacesTheFileWithoutLeavingTemporaryFiles) {
    Profile profile(IniPath());
    ASSERT_TRUE(profile.WriteProfileInt("Language", 0));
    struct stat before {};
    ASSERT_EQ(::stat(IniPath().c_str(), &before), 0);
    ASSERT_TRUE(profile.WriteProfileInt("Language", 3));
    struct stat after {};
    ASSERT_EQ(::stat(IniPath().c_str(), &after), 0);

    EXPECT_NE(before.st_ino, after.st_ino); // a new file renamed over the old one
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder.Path()), fs::directory_iterator()), 1);
}

TEST_F(ProfileTest, CreatesAMissingConfigFolder) {
    const std::string path = m_folder.File("config/Korvane.ini");
    ASSERT_TRUE(Profile(path).WriteProfileInt("Language", 2));
    EXPECT_EQ(Profile(path).GetProfileInt("Language", 1), 2);
}

TEST_F(ProfileTest, UnwritablePlaceFailsWithoutCrashOrLeftovers) {
    WriteTextFile(m_folder.File("not-a-folder"), "plain file");
    Profile underFile(m_folder.File("not-a-folder/Korvane.ini"));
    EXPECT_FALSE(underFile.WriteProfileInt("Language", 3));
    EXPECT_EQ(underFile.GetProfileInt("Language", 1), 1);

    fs::create_directory(IniPath()); // the name is taken by a folder: the rename must fail
    Profile blocked(IniPath());
    EXPECT_FALSE(blocked.WriteProfileString("MIDIPathNameI", "/in"));
    EXPECT_EQ(blocked.GetProfileString("MIDIPathNameI", "d"), "d");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder.Path()), fs::directory_iterator()), 2);
}

TEST_F(ProfileTest, ReadOnlyFolderFailsWithoutCrash) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "the superuser may write into a read-only folder";
    }
    const std::string folder = m_folder.File("locked");
    fs::create_directory(folder);
    Profile profile(folder + "/Korvane.ini");
    ASSERT_TRUE(profile.WriteProfileInt("Language", 0));
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);

    EXPECT_FALSE(profile.WriteProfileInt("Language", 3));
    EXPECT_EQ(profile.GetProfileInt("Language", 1), 0);
}

TEST_F(ProfileTest, WritingThroughALinkUpdatesItsTarget) {
    const std::string target = m_folder.File("dotfiles-Korvane.ini");
    WriteTextFile(target, "[Version 1.0]\nLanguage=0\n");
    fs::create_symlink(target, IniPath());

    ASSERT_TRUE(Profile(IniPath()).WriteProfileInt("Language", 2));

    EXPECT_TRUE(fs::is_symlink(IniPath()));
    EXPECT_EQ(Profile(target).GetProfileInt("Language", 1), 2);
}
} // namespace
} // namespace korvane
