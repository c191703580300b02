#include "ui/logic/placement_store.h"

#include <gtest/gtest.h>

#include "support/errors.h"
#include "support/ini_file.h"
#include "test_util.h"

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
        EXPECT_EQ(std::string(e.what()), store.Path + " に書き込めません");
    }
}

}  // namespace
}  // namespace quorvex
