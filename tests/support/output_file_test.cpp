// Output files that never leave a half-written target, scratch files that are
// copied into the result.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/errors.h"
#include "support/output_file.h"
#include "support/paths.h"
#include "test_util.h"

namespace quorvex {
namespace {

std::vector<std::string> DirEntries(const test::TempDir& dir) {
    std::vector<std::string> names;
    return test::ListDir(Utf8Path(dir.path()));
}

TEST(TCommitFile, TargetIsReplacedOnlyOnCommit) {
    test::TempDir dir;
    const std::string target = dir / "out.sim";
    test::WriteBytes(target, "a longer old content that must vanish completely");
    {
        TCommitFile out(target);
        out.WriteLine("A00,");
        out.Write("A99,");
        out.WriteLine("");
        out.Flush();
        EXPECT_EQ(test::ReadBytes(target), "a longer old content that must vanish completely");
        out.Commit();
    }
    EXPECT_EQ(test::ReadBytes(target), "A00,\r\nA99,\r\n");
    EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"out.sim"});
}

TEST(TCommitFile, WithoutCommitTheOldTargetStaysAndNothingIsLeft) {
    test::TempDir dir;
    const std::string target = dir / "out.sim";
    test::WriteBytes(target, "old contents\r\n");
    {
        TCommitFile out(target);
        out.WriteLine("new");
        out.Flush();
    }
    EXPECT_EQ(test::ReadBytes(target), "old contents\r\n");
    EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"out.sim"});

    { TCommitFile out(dir / "never.sim"); }
    EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"out.sim"});
}

TEST(TCommitFile, DirectoryInTheTargetsPlaceIsNeverTouched) {
    test::TempDir dir;
    const std::string target = dir / "out.sim";
    std::filesystem::create_directory(NativePath(target));
    test::WriteBytes(target + "/keep", "k");
    // Refused when the file is made or at the latest when it is committed.
    EXPECT_THROW(
        {
            TCommitFile out(target);
            out.WriteLine("new");
            out.Commit();
        },
        FileError);
    EXPECT_EQ(test::ReadBytes(target + "/keep"), "k");
    EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"out.sim"});
}

TEST(TCommitFile, MissingDirectoryFailsAtConstruction) {
    test::TempDir dir;
    EXPECT_THROW(TCommitFile(dir / "no-such-dir/out.sim"), FileError);
}

TEST(TCommitFile, LargeAndReservedWritesKeepTheirOrder) {
    test::TempDir dir;
    const std::string target = dir / "big.bin";
    std::string expected;
    {
        TCommitFile out(target);
        for (int i = 0; i < 20000; ++i) {
            const std::string s = std::to_string(i) + ",";
            out.Write(s);
            expected += s;
            if (i % 5000 == 0) {
                const std::string chunk(300000, char('a' + i / 5000));
                out.Write(chunk);  // larger than the buffer
                expected += chunk;
            }
            char* p = out.Reserve(3);
            p[0] = 'x', p[1] = 'y', p[2] = 'z';
            out.Advance(2);
            expected += "xy";
        }
        out.Commit();
    }
    EXPECT_EQ(test::ReadBytes(target), expected);
}

TEST(TScratchFile, CopyToAppendsEverythingWrittenSoFar) {
    test::TempDir dir;
    const std::string target = dir / "out.txt";
    TScratchFile scratch;
    scratch.WriteLine("D00,1,a,1,");
    {
        TCommitFile out(target);
        out.WriteLine("head");
        scratch.CopyTo(out);
        scratch.WriteLine("D99,");
        scratch.CopyTo(out);
        out.WriteLine("tail");
        out.Commit();
    }
    EXPECT_EQ(test::ReadBytes(target), "head\r\nD00,1,a,1,\r\nD00,1,a,1,\r\nD99,\r\ntail\r\n");

    TScratchFile empty;
    TCommitFile out(dir / "empty.txt");
    empty.CopyTo(out);
    out.Commit();
    EXPECT_EQ(test::ReadBytes(dir / "empty.txt"), "");
}

}  // namespace
}  // namespace quorvex
