// Output files that never leave a half-written target, scratch files that are
// copied into the result.
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

#ifdef _WIN32
#include "support/win32_text.h"
#endif

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
    EXPECT_THROW(TCommitFile{target}, FileError);
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
    test::WriteBytes(dir / "plain", "x");
    EXPECT_THROW(TCommitFile(dir / "plain/out.sim"), FileError);
}

// What the system tells of an output path decides which file is replaced,
// the same on both systems; the answers are made up here, since the Windows
// test environment cannot make symbolic links.
TEST(ResolveOutputTarget, FollowsLinksAndRefusesWhatIsNoWritableFile) {
    const auto answer = [](TOutputFacts facts) {
        return [facts](const std::string& path) {
            EXPECT_EQ(path, "out.sim");
            return facts;
        };
    };
    const auto problem = [&](const TOutputFacts& facts) {
        try {
            ResolveOutputTarget("out.sim", answer(facts));
        } catch (const FileError& e) {
            EXPECT_EQ(e.path, "out.sim");
            return e.message.Id;
        }
        return TMsg::Text;
    };
    TOutputFacts missing;
    EXPECT_EQ(ResolveOutputTarget("out.sim", answer(missing)), "out.sim");
    TOutputFacts file{true, false, "", true};
    EXPECT_EQ(ResolveOutputTarget("out.sim", answer(file)), "out.sim");

    // A link is followed to its final target, which is replaced in its own
    // folder, on either system's paths.
    TOutputFacts link{true, true, "/data/real/data.sim", true};
    EXPECT_EQ(ResolveOutputTarget("out.sim", answer(link)), "/data/real/data.sim");
    link.Final = "D:\\real\\data.sim";
    EXPECT_EQ(ResolveOutputTarget("out.sim", answer(link)), "D:\\real\\data.sim");

    TOutputFacts dangling{true, true, ""};
    EXPECT_EQ(problem(dangling), TMsg::DanglingLink);
    TOutputFacts folder{true, false, "", false, TPathProblem::Folder};
    EXPECT_EQ(problem(folder), TMsg::PathIsFolder);
    TOutputFacts linkToFifo{true, true, "/data/fifo", false, TPathProblem::Fifo};
    EXPECT_EQ(problem(linkToFifo), TMsg::PathIsFifo);

    // Read-only by the owner's bit or the attribute, whoever asks: refused,
    // through a link too, and named as the user gave it.
    TOutputFacts readOnly{true, false, "", true, TPathProblem::OtherKind, true};
    EXPECT_EQ(problem(readOnly), TMsg::ReadOnlyFile);
    TOutputFacts linkToReadOnly{true, true, "/data/real/data.sim", true, TPathProblem::OtherKind,
                                true};
    EXPECT_EQ(problem(linkToReadOnly), TMsg::ReadOnlyFile);
}

// Marks the file read-only for its owner (the mode bits here, the attribute
// on Windows), or writable again.
void SetReadOnly(const std::string& path, bool readOnly) {
    using std::filesystem::perms;
    std::filesystem::permissions(
        NativePath(path), perms::owner_write | perms::group_write | perms::others_write,
        readOnly ? std::filesystem::perm_options::remove : std::filesystem::perm_options::add);
}

// A file its user marked read-only is not replaced, even where the folder
// allows the rename and the process could write it anyway (root).
TEST(TCommitFile, ReadOnlyTargetIsRefusedAtOnceAndAtTheCommit) {
    test::TempDir dir;
    const std::string locked = dir / "locked.sim";
    test::WriteBytes(locked, "old\r\n");
    SetReadOnly(locked, true);
    try {
        TCommitFile out(locked);
        ADD_FAILURE() << "a read-only file was accepted";
    } catch (const FileError& e) {
        EXPECT_EQ(e.message.Id, TMsg::ReadOnlyFile) << e.what();
    }
    EXPECT_EQ(test::ReadBytes(locked), "old\r\n");
    EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"locked.sim"});
    SetReadOnly(locked, false);

    // Marked read-only while the conversion runs: left as it is.
    {
        TCommitFile out(locked);
        out.WriteLine("new");
        SetReadOnly(locked, true);
        EXPECT_THROW(out.Commit(), FileError);
    }
    EXPECT_EQ(test::ReadBytes(locked), "old\r\n");
    EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"locked.sim"});
    SetReadOnly(locked, false);
}

#ifndef _WIN32
// Unnamed files, symbolic links, FIFOs and permission bits are the POSIX
// side; the Windows side has its own cases below.
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

    // The file the link points to decides whether it is read-only.
    ASSERT_EQ(::chmod((dir / "real/data.sim").c_str(), 0444), 0);
    EXPECT_THROW(TCommitFile{dir / "link.sim"}, FileError);
    EXPECT_EQ(test::ReadBytes(dir / "real/data.sim"), "new");

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

#endif

TEST(TCommitFile, LargeAndReservedWritesKeepTheirOrder) {
    test::TempDir dir;
    const std::string target = dir / "big.bin";
    std::string expected;
    {
        TCommitFile out(target);
        // Pieces larger than the buffer's first size but not its full one.
        for (const size_t n : {5000, 70000, 9000}) {
            const std::string piece(n, char('A' + n % 26));
            out.Write(piece);
            expected += piece;
        }
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

// Cutting back inside the buffer and behind what already reached the file;
// what is written next continues at the cut.
TEST(TFileWriter, TruncateTakesBackWhatWasWrittenSinceASize) {
    test::TempDir dir;
    const std::string target = dir / "out.txt";
    const std::string big(600000, 'b');  // more than the buffer holds
    TScratchFile scratch;
    {
        TCommitFile out(target);
        out.Write("head,");
        const uint64_t head = out.Size();
        EXPECT_EQ(head, 5u);
        out.Write("gone");
        out.Truncate(head);  // still in the buffer
        EXPECT_EQ(out.Size(), head);
        out.Write(big);
        out.Write("gone too");
        out.Truncate(head);  // already in the file
        EXPECT_EQ(out.Size(), head);
        out.Write("kept,");
        scratch.Write(big);
        const uint64_t mark = scratch.Size();
        scratch.Write(big);
        scratch.Truncate(mark);
        scratch.Write("end");
        scratch.CopyTo(out);
        out.Commit();
    }
    EXPECT_EQ(test::ReadBytes(target), "head,kept," + big + "end");
}

#ifdef _WIN32

// Outputs that are no file to replace are refused before anything is
// written, and the folder stays as it was.
TEST(TCommitFile, WindowsRefusesDevicesAtOnce) {
    test::TempDir dir;
    for (const char* device : {"NUL", "con.sim", "COM1", "lpt9.txt", "Aux .sim", "prn"}) {
        EXPECT_THROW(TCommitFile{dir / device}, FileError) << device;
        EXPECT_THROW(TCommitFile{device}, FileError) << device;
    }
    EXPECT_THROW(TCommitFile{"\\\\.\\PhysicalDrive0"}, FileError);
    EXPECT_TRUE(DirEntries(dir).empty());
}

TEST(TCommitFile, WindowsReplacedFileKeepsTheOldAttributes) {
    test::TempDir dir;
    const std::string target = dir / "out.sim";
    test::WriteBytes(target, "old\r\n");
    ::SetFileAttributesW(WidePath(target).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    {
        TCommitFile out(target);
        out.WriteLine("new");
        out.Commit();
    }
    EXPECT_EQ(test::ReadBytes(target), "new\r\n");
    const DWORD a = ::GetFileAttributesW(WidePath(target).c_str());
    EXPECT_TRUE(a & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(a & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"out.sim"});

    // A new output is a plain file, not the hidden temporary it was written as.
    {
        TCommitFile out(dir / "fresh.sim");
        out.WriteLine("x");
        out.Commit();
    }
    EXPECT_FALSE(::GetFileAttributesW(WidePath(dir / "fresh.sim").c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

// The system deletes scratch files when their handle closes, so nothing is
// left in the temporary folder, however the run ends.
TEST(TScratchFile, WindowsLivesInTheTemporaryFolderOnlyWhileOpen) {
    std::string path;
    {
        TScratchFile scratch;
        scratch.WriteLine("x");
        scratch.Flush();
        path = scratch.Path();
        wchar_t temp[MAX_PATH + 1];
        const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
        EXPECT_EQ(GetFileDir(path), WideToUtf8(std::wstring_view(temp, n)));
        EXPECT_NE(::GetFileAttributesW(WidePath(path).c_str()), INVALID_FILE_ATTRIBUTES);
    }
    EXPECT_EQ(::GetFileAttributesW(WidePath(path).c_str()), INVALID_FILE_ATTRIBUTES);
}

#endif

}  // namespace
}  // namespace quorvex
