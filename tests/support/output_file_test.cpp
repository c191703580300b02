// Output files that never leave a half-written target, scratch files that are
// copied into the result, and the path routines that name these files.
#include <gtest/gtest.h>
#include <sys/stat.h>

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
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
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
    std::filesystem::create_directory(target);
    test::WriteBytes(target + "/keep", "k");
    EXPECT_THROW(TCommitFile{target}, FileError);
    EXPECT_EQ(test::ReadBytes(target + "/keep"), "k");
    EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"out.sim"});
}

TEST(TCommitFile, MissingDirectoryFailsAtConstruction) {
    test::TempDir dir;
    EXPECT_THROW(TCommitFile(dir / "no-such-dir/out.sim"), FileError);
    test::WriteBytes(dir / "plain", "x");
    EXPECT_THROW(TCommitFile(dir / "plain/out.sim"), FileError);
}

// While the new file is written its folder shows nothing new, so a killed
// run leaves nothing behind.
TEST(TCommitFile, NewFileHasNoNameUntilCommitted) {
    test::TempDir dir;
    test::WriteBytes(dir / "out.sim", "old");
    TCommitFile out(dir / "out.sim");
    out.Write(std::string(1 << 20, 'x'));
    out.Flush();
    EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"out.sim"});
    out.Commit();
    EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"out.sim"});
    EXPECT_EQ(test::ReadBytes(dir / "out.sim").size(), size_t{1} << 20);
}

TEST(TCommitFile, SymbolicLinkUpdatesTheFileItPointsTo) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "real");
    test::WriteBytes(dir / "real/data.sim", "old");
    std::filesystem::create_symlink("real/data.sim", dir / "link.sim");
    {
        TCommitFile out(dir / "link.sim");
        out.Write("new");
        out.Commit();
    }
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.sim"));
    EXPECT_EQ(test::ReadBytes(dir / "real/data.sim"), "new");
    EXPECT_EQ(DirEntries(dir), (std::vector<std::string>{"link.sim", "real"}));

    // A link to nothing may point anywhere: refused, and nothing is created.
    std::filesystem::create_symlink(dir / "real/missing.sim", dir / "dangling.sim");
    EXPECT_THROW(TCommitFile{dir / "dangling.sim"}, FileError);
    EXPECT_FALSE(std::filesystem::exists(dir / "real/missing.sim"));
}

TEST(TCommitFile, NonRegularTargetsAreRefusedAtOnce) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    try {
        TCommitFile out(dir / "fifo");
        ADD_FAILURE() << "a FIFO was accepted";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("FIFO"), std::string::npos) << e.what();
    }
    EXPECT_THROW(TCommitFile{"/dev/null"}, FileError);
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "fifo"));
}

TEST(TCommitFile, ReplacedFileKeepsItsPermissionBits) {
    test::TempDir dir;
    const std::string target = dir / "out.sim";
    test::WriteBytes(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    {
        TCommitFile out(target);
        out.Write("new");
        out.Commit();
    }
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(test::ReadBytes(target), "new");
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

TEST(Paths, FileDirSplitsAtSlashOnly) {
    EXPECT_EQ(GetFileDir("/data/maps/a.mif"), "/data/maps/");
    EXPECT_EQ(GetFileDir("a.mif"), "");
    EXPECT_EQ(GetFileDir("/a.mif"), "/");
    EXPECT_EQ(GetFileDir("rel/a.mif"), "rel/");
    EXPECT_EQ(GetFileDir("dir/"), "dir/");
    EXPECT_EQ(GetFileDir("C:\\maps\\a.mif"), "");  // a backslash is a name byte here
    EXPECT_EQ(GetFileDir("/\xE5\x9C\xB0\xE5\x9B\xB3/a.mif"), "/\xE5\x9C\xB0\xE5\x9B\xB3/");
}

TEST(Paths, BaseNameDropsDirectoryAndLastExtension) {
    EXPECT_EQ(GetBaseName("/usr/lib/conv.exe"), "conv");
    EXPECT_EQ(GetBaseName("archive.tar.gz"), "archive.tar");
    EXPECT_EQ(GetBaseName(".ini"), "");
    EXPECT_EQ(GetBaseName("/x/noext"), "noext");
    EXPECT_EQ(GetBaseName("/dir.d/file"), "file");
    EXPECT_EQ(GetFileName("/dir.d/file.mif"), "file.mif");
}

TEST(Paths, ChangeFileExtReplacesOnlyTheNamesExtension) {
    EXPECT_EQ(ChangeFileExt("/d/Map.MIF", ".mid"), "/d/Map.mid");
    EXPECT_EQ(ChangeFileExt("/d.v2/Map", ".mid"), "/d.v2/Map.mid");
    EXPECT_EQ(ChangeFileExt("a.tar.gz", ".mid"), "a.tar.mid");
    EXPECT_EQ(ChangeFileExt("a.mif", ""), "a");
}

TEST(Paths, FindFileIgnoringCase) {
    test::TempDir dir;
    test::WriteBytes(dir / "Data.MID", "x");
    test::WriteBytes(dir / "other.mid", "y");
    EXPECT_EQ(FindFileIgnoringCase(dir / "data.mid"), dir / "Data.MID");
    EXPECT_EQ(FindFileIgnoringCase(dir / "Data.MID"), dir / "Data.MID");
    EXPECT_EQ(FindFileIgnoringCase(dir / "missing.mid"), "");
    EXPECT_EQ(FindFileIgnoringCase(dir / "nodir/data.mid"), "");

    test::WriteBytes(dir / "data.mId", "z");
    EXPECT_EQ(FindFileIgnoringCase(dir / "DATA.mid"), dir / "Data.MID");  // first in byte order
    EXPECT_TRUE(FileExists(dir / "other.mid"));
    EXPECT_FALSE(FileExists(dir.path().string()));
}

}  // namespace
}  // namespace quorvex
