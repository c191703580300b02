// The program's own files beside its executable, or, installed under a
// prefix, in <prefix>/share/quorvex; on Windows installed is the folder the
// installer registered.
#include "support/install_layout.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/paths.h"
#include "test_util.h"

namespace quorvex {
namespace {

using test::TempDir;
using test::WriteBytes;

class InstallLayout : public testing::Test {
  protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "Windows copies are portable folders";
#endif
        std::filesystem::create_directories(dir / "usr/bin");
        std::filesystem::create_directories(dir / "usr/share/quorvex");
        exe = dir / "usr/bin/quorvex";
        WriteBytes(exe, "");
    }
    TempDir dir;
    std::string exe;
};

TEST_F(InstallLayout, OnlyAProgramInABinFolderBesideItsDataIsInstalled) {
    EXPECT_EQ(InstalledDataDir(exe), dir / "usr/share/quorvex/");
    // A build folder's bin has no share/quorvex beside it.
    std::filesystem::create_directories(dir / "build/bin");
    EXPECT_EQ(InstalledDataDir(dir / "build/bin/quorvex"), "");
    // A portable folder is no bin folder, whatever lies next to it.
    std::filesystem::create_directories(dir / "share/quorvex");
    EXPECT_EQ(InstalledDataDir(dir / "Quorvex/quorvex"), "");
    EXPECT_EQ(InstalledDataDir("quorvex"), "");
    // A file where the data folder should be does not count.
    std::filesystem::create_directories(dir / "x/bin");
    std::filesystem::create_directories(dir / "x/share");
    WriteBytes(dir / "x/share/quorvex", "");
    EXPECT_EQ(InstalledDataDir(dir / "x/bin/quorvex"), "");
}

TEST_F(InstallLayout, FileBesideTheProgramComesFirstThenTheInstalledOne) {
    // Neither: the path beside the program, where a missing file is reported.
    EXPECT_EQ(FindProgramFile(exe, ".html"), dir / "usr/bin/quorvex.html");
    WriteBytes(dir / "usr/share/quorvex/quorvex.html", "installed");
    EXPECT_EQ(FindProgramFile(exe, ".html"), dir / "usr/share/quorvex/quorvex.html");
    WriteBytes(dir / "usr/bin/quorvex.html", "beside");
    EXPECT_EQ(FindProgramFile(exe, ".html"), dir / "usr/bin/quorvex.html");

    // A renamed program looks for its own name in both places.
    EXPECT_EQ(FindProgramFile(dir / "usr/bin/other", ".html"), dir / "usr/bin/other.html");
    WriteBytes(dir / "usr/share/quorvex/other.html", "");
    EXPECT_EQ(FindProgramFile(dir / "usr/bin/other", ".html"),
              dir / "usr/share/quorvex/other.html");
}

TEST(RegisteredInstallDir, OnlyTheRegisteredFolderItselfCounts) {
    EXPECT_EQ(RegisteredInstallDir(
                  "C:\\Users\\u\\AppData\\Local\\Programs\\Quorvex Converter\\quorvex.exe",
                  "C:\\Users\\u\\AppData\\Local\\Programs\\Quorvex Converter\\"),
              "C:\\Users\\u\\AppData\\Local\\Programs\\Quorvex Converter\\");
    // Case of ASCII letters, the kind of separator and a trailing one do not
    // matter; the result is the program's own spelling.
    EXPECT_EQ(RegisteredInstallDir("c:/program files/quorvex converter/quorvex-convert.exe",
                                   "C:\\Program Files\\Quorvex Converter"),
              "c:/program files/quorvex converter/");
    // A copy in a sub-folder, a parent folder or a folder whose name only
    // begins like the registered one is a portable copy.
    EXPECT_EQ(RegisteredInstallDir("C:\\Q\\sub\\quorvex.exe", "C:\\Q\\"), "");
    EXPECT_EQ(RegisteredInstallDir("C:\\quorvex.exe", "C:\\Q\\"), "");
    EXPECT_EQ(RegisteredInstallDir("C:\\Q2\\quorvex.exe", "C:\\Q\\"), "");
    // Nothing registered: nothing installed, not even a program at the root.
    EXPECT_EQ(RegisteredInstallDir("C:\\Q\\quorvex.exe", ""), "");
    EXPECT_EQ(RegisteredInstallDir("quorvex.exe", ""), "");
    EXPECT_EQ(RegisteredInstallDir("quorvex.exe", "\\"), "");
}

#ifdef _WIN32
// A Windows copy keeps its files beside the program, wherever it lies; it is
// installed only in the folder the installer registered.
TEST(InstallLayoutWindows, FilesAreBesideTheProgramInstalledOnlyWhereRegistered) {
    if (test::RegisteredInstallDir::Exists()) GTEST_SKIP() << "an installation is registered here";
    TempDir dir;
    std::filesystem::create_directories(NativePath(dir / "usr/share/quorvex"));
    std::filesystem::create_directories(NativePath(dir / "Programs/Quorvex Converter"));
    WriteBytes(dir / "usr/share/quorvex/quorvex.html", "installed");
    EXPECT_EQ(InstalledDataDir(dir / "usr/bin/quorvex.exe"), "");
    EXPECT_EQ(FindProgramFile(dir / "usr/bin/quorvex.exe", ".html"), dir / "usr/bin/quorvex.html");

    const std::string installed = dir / "Programs\\Quorvex Converter\\";
    EXPECT_EQ(InstalledDataDir(installed + "quorvex.exe"), "");
    const test::RegisteredInstallDir registered(installed);
    ASSERT_TRUE(registered.ok());
    EXPECT_EQ(InstalledDataDir(installed + "quorvex.exe"), installed);
    EXPECT_EQ(InstalledDataDir(installed + "quorvex-convert.exe"), installed);
    // The portable zip unpacked elsewhere stays portable.
    EXPECT_EQ(InstalledDataDir(dir / "usr/bin/quorvex.exe"), "");
    EXPECT_EQ(FindProgramFile(installed + "quorvex.exe", ".chm"), installed + "quorvex.chm");
}
#endif

}  // namespace
}  // namespace quorvex
