// Path routines on each system's own rules, and file names that are hard for
// Windows programs: Japanese names, names whose code page 932 form has 0x5C
// ("\") as a trail byte, and characters code page 932 lacks. Paths are UTF-8
// inside on both systems, whatever the ANSI code page of Windows is.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/errors.h"
#include "support/file_access.h"
#include "support/ini_file.h"
#include "support/line_reader.h"
#include "support/output_file.h"
#include "support/paths.h"
#include "test_util.h"

#ifdef _WIN32
#include "support/win32_text.h"
#endif

namespace quorvex {
namespace {

#define U8(s) reinterpret_cast<const char*>(u8##s)

// 表, ソ and 能 end in 0x5C in code page 932; 𠮷, é and the emoji are not in it.
const std::vector<std::string> kHardNames = {U8("地番図"),      U8("表ソ能"), U8("予定表"),
                                             U8("𠮷野"),        U8("café"),   U8("区画😀"),
                                             U8("ＡＢＣ　全角")};

#ifdef _WIN32

TEST(Paths, WindowsSplitsAtBothSlashesAndDrives) {
    EXPECT_EQ(GetFileDir("C:\\maps\\a.mif"), "C:\\maps\\");
    EXPECT_EQ(GetFileDir("C:/maps/a.mif"), "C:/maps/");
    EXPECT_EQ(GetFileDir("C:\\maps/sub\\a.mif"), "C:\\maps/sub\\");
    EXPECT_EQ(GetFileDir("C:a.mif"), "C:\\");
    EXPECT_EQ(GetFileDir("\\\\server\\share\\a.mif"), "\\\\server\\share\\");
    EXPECT_EQ(GetFileDir("a.mif"), "");
    // UTF-8 never hides a separator: the 0x5C trail bytes of code page 932
    // do not exist here.
    EXPECT_EQ(GetFileDir(U8("C:\\表\\ソ能.mif")), U8("C:\\表\\"));
    EXPECT_EQ(GetBaseName(U8("C:\\表.d\\能.tar.mif")), U8("能.tar"));
    EXPECT_EQ(GetBaseName("C:\\Tools\\conv.exe"), "conv");
    EXPECT_EQ(GetFileName("D:/x.y/z.mif"), "z.mif");
    EXPECT_EQ(ChangeFileExt("C:\\d.v2\\Map", ".mid"), "C:\\d.v2\\Map.mid");
    EXPECT_EQ(ChangeFileExt("C:\\d\\Map.MIF", ".mid"), "C:\\d\\Map.mid");
}

TEST(Paths, WindowsNamesIgnoreCase) {
    test::TempDir dir;
    test::WriteBytes(dir / "Data.MID", "x");
    EXPECT_TRUE(FileExists(dir / "data.mid"));
    EXPECT_FALSE(FindFileIgnoringCase(dir / "data.mid").empty());
    EXPECT_EQ(FindFileIgnoringCase(dir / "missing.mid"), "");
    EXPECT_TRUE(IsSameExistingFile(dir / "Data.MID", dir / "DATA.mid"));
    std::string slashes = dir / "Data.MID";
    for (char& c : slashes)
        if (c == '\\') c = '/';
    EXPECT_TRUE(IsSameExistingFile(slashes, dir / "data.mid"));
}

TEST(Paths, ExecutablePathIsAbsoluteUtf8) {
    const std::string exe = GetExePath();
    ASSERT_GT(exe.size(), 3u);
    EXPECT_EQ(exe[1], ':');
    EXPECT_EQ(GetAppDir().back(), '\\');
}

#else

TEST(Paths, FileDirSplitsAtSlashOnly) {
    EXPECT_EQ(GetFileDir("/data/maps/a.mif"), "/data/maps/");
    EXPECT_EQ(GetFileDir("a.mif"), "");
    EXPECT_EQ(GetFileDir("/a.mif"), "/");
    EXPECT_EQ(GetFileDir("rel/a.mif"), "rel/");
    EXPECT_EQ(GetFileDir("dir/"), "dir/");
    EXPECT_EQ(GetFileDir("C:\\maps\\a.mif"), "");  // a backslash is a name byte here
    EXPECT_EQ(GetFileDir("/\xE5\x9C\xB0\xE5\x9B\xB3/a.mif"), "/\xE5\x9C\xB0\xE5\x9B\xB3/");
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
    EXPECT_FALSE(FileExists(Utf8Path(dir.path())));
}

#endif

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

// Every file operation of the engine on folders and files with hard names:
// reading lines, replacing an output, finding files, telling files apart.
TEST(HardNames, EveryFileOperationTakesThem) {
    test::TempDir root;
    for (const std::string& name : kHardNames) {
        SCOPED_TRACE(name);
        const std::string dir = root / name;
        std::filesystem::create_directory(NativePath(dir));
        const std::string file = dir + kPathDelim + name + ".mif";
        test::WriteBytes(file, "line 1\r\n\x1A line 2 after 0x1A\r\n");
        EXPECT_TRUE(FileExists(file));
        EXPECT_FALSE(FileExists(dir));
        EXPECT_EQ(FindFileIgnoringCase(file), file);

        TLineReader in(file);
        std::string_view line;
        ASSERT_TRUE(in.ReadLine(line));
        EXPECT_EQ(line, "line 1");
        ASSERT_TRUE(in.ReadLine(line));  // binary: 0x1A is no end of file
        EXPECT_EQ(line, "\x1A line 2 after 0x1A");

        const std::string out = dir + kPathDelim + name + ".sim";
        test::WriteBytes(out, "old\r\n");
        {
            TCommitFile sim(out);
            sim.WriteLine("new");
            sim.Commit();
        }
        EXPECT_EQ(test::ReadBytes(out), "new\r\n");
        EXPECT_EQ(test::ListDir(dir), (std::vector<std::string>{name + ".mif", name + ".sim"}));

        EXPECT_TRUE(IsSameExistingFile(file, dir + kPathDelim + "." + kPathDelim + name + ".mif"));
        EXPECT_FALSE(IsSameExistingFile(file, out));

        TIniFile ini(dir + kPathDelim + name + ".ini");
        ini.WriteString("Window", "Left", "10");
        ini.UpdateFile();
        EXPECT_EQ(TIniFile(dir + kPathDelim + name + ".ini").ReadString("Window", "Left"), "10");
    }
}

void MakeFolder(const std::string& path) {
#ifdef _WIN32
    // The library's own call does not take paths this long on Windows.
    ASSERT_TRUE(::CreateDirectoryW(WidePath(path).c_str(), nullptr)) << path;
#else
    ASSERT_TRUE(std::filesystem::create_directory(path)) << path;
#endif
}

// Removes the files and folders of a test, last made first removed: the
// library's own removal does not take paths this long on Windows.
struct TRemoveAtEnd {
    std::vector<std::string> files, folders;
    ~TRemoveAtEnd() {
        for (const std::string& file : files)
            RemoveFileQuietly(file);
        for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
#ifdef _WIN32
            ::RemoveDirectoryW(WidePath(*it).c_str());
#else
            std::filesystem::remove(*it);
#endif
        }
    }
};

// A full path long enough for the long-path form of Windows, which reads
// "." and ".." as names, still names its files through "..".
TEST(LongPaths, DotDotNamesTheFolderAbove) {
    test::TempDir root;
    const std::string a = root / std::string(100, 'a');
    const std::string b(100, 'b');
    const std::string deep = a + kPathDelim + b + kPathDelim;
    TRemoveAtEnd made{{deep + "in.mif", deep + "out.sim"}, {a, deep}};
    MakeFolder(a);
    MakeFolder(deep);
    const std::string around =
        a + kPathDelim + b + kPathDelim + ".." + kPathDelim + "." + kPathDelim + b + kPathDelim;
    ASSERT_GE(around.size() + 6, 248u);
    {
        TCommitFile mif(deep + "in.mif");
        mif.WriteLine("Version 300");
        mif.Commit();
    }
    EXPECT_TRUE(FileExists(around + "in.mif"));
    EXPECT_TRUE(IsSameExistingFile(around + "in.mif", deep + "in.mif"));
    TLineReader in(around + "in.mif");
    std::string_view line;
    ASSERT_TRUE(in.ReadLine(line));
    EXPECT_EQ(line, "Version 300");

    for (const char* content : {"new\r\n", "newer\r\n"}) {
        TCommitFile out(around + "out.sim");
        out.Write(content);
        out.Commit();
        TLineReader check(deep + "out.sim");
        ASSERT_TRUE(check.ReadLine(line));
        EXPECT_EQ(std::string(line) + "\r\n", content);
    }
}

// Two paths that write one file have one identity, whether the file exists
// yet or not; different files, or the same name in another folder, do not.
TEST(HardNames, FileIdentityOfExistingAndNewFiles) {
    for (const std::string& name : kHardNames) {
        SCOPED_TRACE(name);
        test::TempDir root;
        const std::string dir = root / name;
        std::filesystem::create_directory(NativePath(dir));
        std::filesystem::create_directory(NativePath(dir + kPathDelim + "sub"));
        const std::string file = dir + kPathDelim + name + ".mif";
        const std::string again =
            dir + kPathDelim + "sub" + kPathDelim + ".." + kPathDelim + name + ".mif";
        const std::string fresh = dir + kPathDelim + name + ".sim";
        const std::string freshAgain = dir + kPathDelim + "." + kPathDelim + name + ".sim";
        test::WriteBytes(file, "x");
        ASSERT_TRUE(FileIdentity(file));
        ASSERT_TRUE(FileIdentity(fresh));
        EXPECT_EQ(FileIdentity(file), FileIdentity(again));
        EXPECT_EQ(FileIdentity(fresh), FileIdentity(freshAgain));
        EXPECT_NE(FileIdentity(file), FileIdentity(fresh));
        EXPECT_NE(FileIdentity(fresh),
                  FileIdentity(dir + kPathDelim + "sub" + kPathDelim + name + ".sim"));
        EXPECT_FALSE(FileIdentity(dir + kPathDelim + "none" + kPathDelim + "a.sim"));
        EXPECT_FALSE(FileIdentity(""));
#ifdef _WIN32
        EXPECT_EQ(FileIdentity(fresh), FileIdentity(dir + kPathDelim + name + ".SIM"));
#else
        EXPECT_NE(FileIdentity(fresh), FileIdentity(dir + kPathDelim + name + ".SIM"));
        // A link is the file it names.
        std::filesystem::create_symlink(NativePath(file), NativePath(fresh));
        EXPECT_EQ(FileIdentity(fresh), FileIdentity(file));
#endif
    }
}

TEST(HardNames, MissingFileIsAFileErrorNamingIt) {
    test::TempDir root;
    const std::string missing = root / U8("無い表.mif");
    try {
        TLineReader in(missing);
        FAIL() << "opened a missing file";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace quorvex
