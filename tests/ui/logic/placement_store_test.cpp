#include "ui/logic/placement_store.h"

#include <gtest/gtest.h>

#include "support/errors.h"
#include "support/ini_file.h"
#include "test_util.h"
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quorvex {
namespace {

using test::ReadBytes;
using test::WriteBytes;

class PlacementStore : public testing::Test {
  protected:
    void SetUp() override {
        store.Path = dir / "Quorvex.INI";
        store.FallbackPath = dir / "config/Quorvex.INI";
    }
    test::TempDir dir;
    TPlacementStore store;
};

TEST_F(PlacementStore, PathsFollowTheExecutableName) {
    const TPlacementStore s =
        TPlacementStore::ForExecutable("/opt/tools/Quorvex.exe", "/home/u/.config/");
    EXPECT_EQ(s.Path, "/opt/tools/Quorvex.INI");
    EXPECT_EQ(s.FallbackPath, "/home/u/.config/Quorvex.INI");
    EXPECT_EQ(TPlacementStore::ForExecutable("/opt/Other", "C:\\Users\\u").FallbackPath,
              "C:\\Users\\u/Other.INI");
    EXPECT_EQ(TPlacementStore::ForExecutable("/opt/Other", "").FallbackPath, "");
}

TEST_F(PlacementStore, MissingMalformedAndUnknownValuesGiveTheDefaults) {
    TFormPlacement p = ReadFormPlacement(store);
    EXPECT_EQ(std::tie(p.Left, p.Top, p.Width, p.Height), std::make_tuple(20, 20, 700, 500));
    WriteBytes(store.Path, "[window]\r\nLeft=abc\r\nTop=0x10\r\nState=7\r\n");
    p = ReadFormPlacement(store);
    EXPECT_EQ(std::tie(p.Left, p.Top), std::make_tuple(20, 16));
    EXPECT_EQ(p.State, kStateNormal);
    WriteBytes(store.Path, "[Window]\r\nState=1\r\n");
    EXPECT_EQ(ReadFormPlacement(store).State, kStateMaximised);
}

TEST_F(PlacementStore, NormalWritesFiveKeysMinimisedOnlyTheStateAndForeignLinesStay) {
    WriteBytes(store.Path, "[Recent]\r\nFile=a.txt\r\n; note\r\n");
    WriteFormPlacement(store, {5, 6, 800, 451, kStateNormal});
    EXPECT_EQ(ReadBytes(store.Path),
              "[Recent]\r\nFile=a.txt\r\n; note\r\n\r\n[Window]\r\nLeft=5\r\nTop=6\r\nWidth=800\r\n"
              "Height=451\r\nState=0\r\n");
    WriteFormPlacement(store, {1, 1, 1, 1, kStateMinimised});
    const TFormPlacement p = ReadFormPlacement(store);
    EXPECT_EQ(std::tie(p.Left, p.Top, p.Width, p.Height), std::make_tuple(5, 6, 800, 451));
    EXPECT_EQ(p.State, kStateMinimised);
}

// The size the window opens at: what the client area needs in today's frame
// at the first start, a stored size kept unless the client would not fit.
TEST_F(PlacementStore, ShownSizeLeavesTheWholeClientAreaInsideTheFrame) {
    // A Windows 10 frame: 8 px borders, a 23 px caption and a 20 px menu
    // bar above the client area.
    const TFrameMargins thick{8, 8 + 23 + 20, 8, 8};
    const TOuterSize needed = NeededOuterSize(792, 397, thick);
    EXPECT_EQ(needed, (TOuterSize{808, 456}));
    EXPECT_EQ(NeededOuterSize(792, 397, {}), (TOuterSize{792, 397}));

    // First start: no size stored, whatever the defaults read.
    TFormPlacement p = ReadFormPlacement(store);
    EXPECT_FALSE(p.SizeStored);
    EXPECT_EQ(ShownOuterSize(p, needed), needed);
    // Only one of the two keys is no stored size either.
    WriteBytes(store.Path, "[Window]\r\nWidth=1000\r\nHeight=x\r\n");
    EXPECT_FALSE(ReadFormPlacement(store).SizeStored);
    EXPECT_EQ(ShownOuterSize(ReadFormPlacement(store), needed), needed);

    // The old design's 800 x 451 falls short in this frame: enlarged.
    WriteFormPlacement(store, {5, 6, 800, 451, kStateNormal});
    p = ReadFormPlacement(store);
    EXPECT_TRUE(p.SizeStored);
    EXPECT_EQ(ShownOuterSize(p, needed), needed);
    // Larger is the user's choice and stays; each side on its own.
    WriteBytes(store.Path, "[Window]\r\nWidth=0x400\r\nHeight=300\r\n");
    EXPECT_EQ(ShownOuterSize(ReadFormPlacement(store), needed), (TOuterSize{1024, 456}));
    WriteBytes(store.Path, "[Window]\r\nWidth=700\r\nHeight=600\r\n");
    EXPECT_EQ(ShownOuterSize(ReadFormPlacement(store), needed), (TOuterSize{808, 600}));
    EXPECT_EQ(ShownOuterSize(ReadFormPlacement(store), {700, 600}), (TOuterSize{700, 600}));
}

TEST_F(PlacementStore, UnwritableStoreFallsBackAndIsReadFromThere) {
    store.Path = dir / "missing-dir/Quorvex.INI";
    WriteFormPlacement(store, {33, 44, 800, 451, kStateNormal});
    EXPECT_EQ(ReadFormPlacement(store).Left, 33);
    EXPECT_EQ(TIniFile(store.FallbackPath).ReadInteger("Window", "Top", -1), 44);

    WriteBytes(dir / "blocked", "a file where the folder should be");
    store.FallbackPath = dir / "blocked/Quorvex.INI";
    try {
        WriteFormPlacement(store, {});
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.message.Text(TLanguage::Japanese), store.Path + " に書き込めません");
    }
}

#ifdef _WIN32
// An installed window keeps its placement in the user's profile from the
// first start, although a per-user installation's folder could be written;
// the portable copy keeps it beside itself, the profile as fallback.
TEST_F(PlacementStore, InstalledWindowKeepsItsPlacementInTheProfile) {
    if (test::RegisteredInstallDir::Exists()) GTEST_SKIP() << "an installation is registered here";
    const std::string exe = dir / "Quorvex Converter\\quorvex.exe";
    const std::string profile = dir / "AppData\\Quorvex Converter";
    TPlacementStore s = TPlacementStore::ForExecutable(exe, profile);
    EXPECT_EQ(s.Path, dir / "Quorvex Converter\\quorvex.INI");
    EXPECT_EQ(s.FallbackPath, profile + "/quorvex.INI");

    const test::RegisteredInstallDir registered(dir / "Quorvex Converter");
    ASSERT_TRUE(registered.ok());
    s = TPlacementStore::ForExecutable(exe, profile);
    EXPECT_EQ(s.Path, profile + "/quorvex.INI");
    EXPECT_EQ(s.FallbackPath, "");
    EXPECT_TRUE(s.CreateFolder);
    WriteFormPlacement(s.Chosen(), {7, 8, 800, 451, kStateNormal});
    EXPECT_EQ(TIniFile(profile + "/quorvex.INI").ReadInteger("Window", "Left", -1), 7);
    EXPECT_FALSE(test::Exists(dir / "Quorvex Converter\\quorvex.INI"));
}
#endif

#ifndef _WIN32
// Run as an unprivileged user, since root may write any file: a read-only
// store beside the program is passed over for the user's one, and the
// window comes back where it was closed.
TEST_F(PlacementStore, ReadOnlyStoreBesideTheProgramIsPassedOverOnceAndForAll) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
    WriteBytes(store.Path, "[Window]\r\nLeft=1\r\nTop=2\r\n");
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(store.Path.c_str(), 0444);
    const std::string config = dir / "config";
    ::mkdir(config.c_str(), 0777);
    ::chmod(config.c_str(), 0777);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::string out;
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
            try {
                const TPlacementStore one = store.Chosen();
                out = one.Path + "\n";
                for (int start = 0; start < 3; ++start) {
                    TFormPlacement p = ReadFormPlacement(one);
                    out += std::to_string(p.Left) + "," + std::to_string(p.Top) + " ";
                    p.Left += 10;
                    WriteFormPlacement(one, p);
                }
            } catch (const std::exception& e) {
                out += e.what();
            }
        }
        (void)!::write(fds[1], out.data(), out.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string got;
    char buf[512];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
        got.append(buf, size_t(n));
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    // Each start reads what the one before wrote; the old file stays as it was.
    EXPECT_EQ(got, store.FallbackPath + "\n20,20 30,20 40,20 ");
    EXPECT_EQ(ReadBytes(store.Path), "[Window]\r\nLeft=1\r\nTop=2\r\n");
    EXPECT_EQ(store.Chosen().Path, store.Path);  // root may write it
}
#endif

}  // namespace
}  // namespace quorvex
