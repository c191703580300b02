// quorvex-convert --svg: the drawing of a MIF job and of a SIMA file, onto
// a file or standard output, and its failures.
#include <gtest/gtest.h>

#include "test_util.h"

namespace quorvex {
namespace {

using Args = std::vector<std::string>;

test::ProgramResult Cli(const Args& args) {
    return test::RunProgram(QUORVEX_CLI, args, {"LC_ALL=", "LC_MESSAGES=", "LANG=C"});
}

const std::string kGolden = std::string(QUORVEX_TEST_DATA) + "/svg/town.svg";
const std::string kExample = std::string(QUORVEX_EXAMPLES) + "/town.mif";
const std::string kGoldenSim = std::string(QUORVEX_TEST_DATA) + "/golden/town_attr1_swap.sim";

TEST(SvgCli, DrawsAJobAndASimaFileAlike) {
    test::TempDir dir;
    // 北地区, the site name of the golden case, in UTF-8.
    test::ProgramResult r = Cli({"--svg", dir / "a.svg", "--attr", "1", "--genba",
                                 "\xE5\x8C\x97\xE5\x9C\xB0\xE5\x8C\xBA", kExample});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "ok " + (dir / "a.svg") + "\n");
    EXPECT_TRUE(test::ReadBytes(dir / "a.svg") == test::ReadBytes(kGolden));
    // No SIMA file is written beside the input or anywhere else.
    EXPECT_EQ(test::ListDir(dir.path().string()), std::vector<std::string>{"a.svg"});

    r = Cli({"--svg", "-", kGoldenSim});
    ASSERT_EQ(r.status, 0) << r.out;
    const std::string golden = test::ReadBytes(kGolden);
    EXPECT_TRUE(r.out.compare(0, golden.size(), golden) == 0);
    EXPECT_EQ(r.out.substr(golden.size()), "ok -\n");
}

TEST(SvgCli, ABadSimaFileFailsNamingItsLineAndKeepsTheOldDrawing) {
    test::TempDir dir;
    test::WriteBytes(dir / "bad.sim", "A01,1,1,0,0,0,\r\nD00,1,a,1,\r\nB01,9,9,\r\nD99,\r\n");
    test::WriteBytes(dir / "old.svg", "old");
    const test::ProgramResult r = Cli({"--svg", dir / "old.svg", dir / "bad.sim"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("bad.sim:3: point 9 does not exist"), std::string::npos) << r.out;
    EXPECT_EQ(test::ReadBytes(dir / "old.svg"), "old");
}

TEST(SvgCli, UsageErrors) {
    for (const Args& args : {Args{"--svg", "x.svg", kExample, "out.sim"},
                             Args{"--svg", "x.svg", "--combine", "m.sim", kExample},
                             Args{"--svg", "x.svg", "--columns", kExample},
                             Args{"--svg", "", kExample}, Args{"--svg", "x.svg"}}) {
        const test::ProgramResult r = Cli(args);
        EXPECT_EQ(r.status, 2) << args[2] << ": " << r.out;
    }
}

}  // namespace
}  // namespace quorvex
