#include "app/NameText.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {
struct EscapeCase {
    const char* name;
    const char* shown;
    bool utf8;
};

TEST(NameText, EscapesWhatATerminalWouldObey) {
    const EscapeCase cases[] = {
        {"plain name.mid", "plain name.mid", true},
        {"x\033[31mRED.mid", "x\\033[31mRED.mid", true},
        {"tab\tnew\nline\rbell\a", "tab\\tnew\\nline\\rbell\\a", true},
        {"back\\slash", "back\\\\slash", true},
        {"del\x7f one\x01", "del\\177 one\\001", true},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb5", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb5",
         true},
        {"csi\xc2\x9b"
         "31m",
         "csi\\302\\23331m", true}, // U+009B, the one-byte CSI
        {"song\xe2\x80\xae"
         "dim.exe",
         "song\\342\\200\\256dim.exe", true}, // U+202E
        {"a\xe2\x81\xa6"
         "b\xd8\x9c\xe2\x80\x8f",
         "a\\342\\201\\246b\\330\\234\\342\\200\\217", true},
        {"\xe2\x80\xad\xe2\x80\x8d", "\\342\\200\\255\xe2\x80\x8d", true}, // not U+200D
        {"latin1 \xe9t\xe9", "latin1 \\351t\\351", false},
        {"cut \xe2\x82", "cut \\342\\202", false},
        {"overlong \xc0\xaf surrogate \xed\xa0\x80",
         "overlong \\300\\257 surrogate \\355\\240\\200", false},
    };
    for (const EscapeCase& c : cases) {
        EXPECT_EQ(EscapeForTerminal(c.name), c.shown) << c.shown;
        EXPECT_EQ(IsUtf8(c.name), c.utf8) << c.shown;
    }
}

TEST(NameText, Base64OfEveryPaddingLength) {
    EXPECT_EQ(Base64(""), "");
    EXPECT_EQ(Base64("f"), "Zg==");
    EXPECT_EQ(Base64("fo"), "Zm8=");
    EXPECT_EQ(Base64("foo"), "Zm9v");
    EXPECT_EQ(Base64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Base64("a\xff.mid"), "Yf8ubWlk");
}
} // namespace
} // namespace korvane
