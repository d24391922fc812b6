#include "job/OutputCollisions.h"
#include "job/OutputPath.h"
#include "testing/TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace korvane {
namespace {
using Indices = std::vector<size_t>;

struct CollisionCase {
    const char* name;
    std::vector<std::string> inputs; // names in the folder; outputs derived
    Indices colliding;
};

// The folder holds a.mid, aKRV.mid, a.x.mid, b.mid and link.mid (a link to aKRV.mid);
// cKRV.mid does not exist.
class OutputCollisionsTest : public testing::TestWithParam<CollisionCase> {
  protected:
    void SetUp() override {
        for (const char* name : {"a.mid", "aKRV.mid", "a.x.mid", "b.mid"}) {
            WriteTextFile(folder.File(name), name);
        }
        ASSERT_EQ(::symlink("aKRV.mid", folder.File("link.mid").c_str()), 0);
    }

    TempFolder folder;
};

TEST_P(OutputCollisionsTest, FindsEveryAffectedInput) {
    std::vector<InputOutput> pairs;
    for (const std::string& name : GetParam().inputs) {
        const std::string input = folder.File(name);
        pairs.push_back({input, DeriveOutputPath(input)});
    }
    EXPECT_EQ(FindCollidingInputs(pairs), GetParam().colliding);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, OutputCollisionsTest,
    testing::Values(CollisionCase{"Distinct", {"a.mid", "b.mid"}, {}},
                    CollisionCase{"OutputNamesALaterInput", {"a.mid", "b.mid", "aKRV.mid"}, {0, 2}},
                    CollisionCase{"OutputNamesAnEarlierInput", {"aKRV.mid", "a.mid"}, {0, 1}},
                    CollisionCase{"SharedOutput", {"b.mid", "a.mid", "a.x.mid"}, {1, 2}},
                    CollisionCase{"SameInputTwice", {"b.mid", "b.mid"}, {0, 1}},
                    CollisionCase{"OutputNamesAnInputThroughALink", {"link.mid", "a.mid"}, {0, 1}},
                    CollisionCase{"OutputsNotYetThere", {"c.mid", "c.2.mid", "b.mid"}, {0, 1}},
                    CollisionCase{
                        "InputNotYetThereNamedByAnOutput", {"b.mid", "bKRV.mid"}, {0, 1}}),
    [](const testing::TestParamInfo<CollisionCase>& param) { return param.param.name; });

TEST(OutputCollisions, OtherSpellingsOfOnePathCollide) {
    TempFolder folder;
    ASSERT_EQ(::mkdir(folder.File("sub").c_str(), 0755), 0);
    const std::vector<InputOutput> pairs = {
        {folder.File("one.mid"), folder.File("sub/out.mid")},
        {folder.File("two.mid"), folder.File("sub/../sub/./out.mid")},
        {folder.File("three.mid"), folder.File("out.mid")},
    };
    EXPECT_EQ(FindCollidingInputs(pairs), (Indices{0, 1}));
    EXPECT_EQ(FindCollidingInputs({}), Indices{});
}

TEST(OutputCollisions, OutputNamingItsOwnInputIsLeftToTheSave) {
    TempFolder folder;
    const std::string song = folder.File("song.mid");
    WriteTextFile(song, "x");
    EXPECT_EQ(FindCollidingInputs({{song, song}}), Indices{});
}
} // namespace
} // namespace korvane
