// Status texts, dropped files and the title bar kept on a screen.
#include "ui/logic/daily_use.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(DailyUse, BatchStatusTexts) {
    EXPECT_EQ(BatchProgressText(2, 40, "/data/地区/town.mif"), "3 / 40 件目を変換中: town.mif");
    EXPECT_EQ(BatchProgressText(0, 1, "town.mif"), "1 / 1 件目を変換中: town.mif");
    EXPECT_EQ(BatchSummaryText(40, 38, 2), "40 件中 38 件成功、2 件失敗");
    EXPECT_EQ(BatchSummaryText(3, 1, 0), "3 件中 1 件成功、0 件失敗");
}

TEST(DailyUse, CommandLineFilesGoWhereTheirDropWouldBeTaken) {
    EXPECT_EQ(CommandLineTarget({"/d/town.mif"}), TDropTarget::Panel);
    EXPECT_EQ(CommandLineTarget({"C:\\d\\TOWN.MIF"}), TDropTarget::Panel);
    EXPECT_EQ(CommandLineTarget({"/d/a.mif", "/d/b.mif"}), TDropTarget::BatchList);
    EXPECT_EQ(CommandLineTarget({"/d/list.txt"}), TDropTarget::BatchList);
    // Refused there, with the list's message naming both kinds.
    EXPECT_EQ(CommandLineTarget({"/d/a.mid"}), TDropTarget::BatchList);
    EXPECT_EQ(CommandLineTarget({"/d/.mif"}), TDropTarget::BatchList);
    EXPECT_EQ(CommandLineTarget({}), TDropTarget::BatchList);
}

TEST(DailyUse, DropsAreTakenOrRefusedByKindAndPlace) {
    using K = TDrop;
    const auto panel = [](std::vector<std::string> p) {
        return ClassifyDrop(TDropTarget::Panel, p).What;
    };
    const auto list = [](std::vector<std::string> p) {
        return ClassifyDrop(TDropTarget::BatchList, p).What;
    };
    EXPECT_EQ(panel({"/d/a.mif"}), K::MifFile);
    EXPECT_EQ(panel({"/d/A.MIF"}), K::MifFile);
    EXPECT_EQ(panel({"/d/a.mif", "/d/b.mif"}), K::Refused);
    EXPECT_EQ(panel({"/d/a.mid"}), K::Refused);
    EXPECT_EQ(panel({"/d/list.txt"}), K::Refused);
    EXPECT_EQ(panel({"/d/.mif/x"}), K::Refused);
    EXPECT_EQ(panel({"/d/.mif"}), K::Refused);  // a hidden name, not an extension
    EXPECT_EQ(panel({}), K::Refused);

    EXPECT_EQ(list({"/d/a.mif", "/d/b.Mif"}), K::MifFiles);
    EXPECT_EQ(list({"/d/list.TXT"}), K::BatchList);
    EXPECT_EQ(list({"/d/l1.txt", "/d/l2.txt"}), K::Refused);
    EXPECT_EQ(list({"/d/a.mif", "/d/list.txt"}), K::Refused);
    EXPECT_EQ(list({"/d/a.sim"}), K::Refused);

    const TDrop two = ClassifyDrop(TDropTarget::BatchList, {"/d/a.mif", "/d/b.mif"});
    EXPECT_EQ(two.Paths, (std::vector<std::string>{"/d/a.mif", "/d/b.mif"}));
    EXPECT_EQ(ClassifyDrop(TDropTarget::Panel, {"/d/a.txt"}).Message,
              "ここにはMIFファイル (*.mif) を1つだけドロップできます。");
    EXPECT_EQ(ClassifyDrop(TDropTarget::BatchList, {"/d/a.sim"}).Message,
              "バッチリストにはMIFファイル (*.mif) か、バッチリストファイル (*.txt) を1つだけ"
              "ドロップできます。");
}

TEST(DailyUse, TitleBarIsKeptWithinReach) {
    const std::vector<TScreenRect> one = {{0, 0, 1280, 1024}};
    const std::vector<TScreenRect> two = {{0, 0, 1280, 1024}, {1280, 0, 1920, 1080}};
    const TScreenRect normal{19, 0, 800, 451};
    // Within reach: unchanged, to the pixel.
    EXPECT_EQ(KeepTitleBarOnScreen(normal, 20, one), normal);
    EXPECT_EQ(KeepTitleBarOnScreen({1200, 500, 800, 451}, 20, one),
              (TScreenRect{1200, 500, 800, 451}));
    EXPECT_EQ(KeepTitleBarOnScreen({-700, 10, 800, 451}, 20, one),
              (TScreenRect{-700, 10, 800, 451}));
    // Title bar above the top edge, or too little of it on the screen.
    EXPECT_EQ(KeepTitleBarOnScreen({17, -40, 800, 451}, 20, one), (TScreenRect{17, 0, 800, 451}));
    EXPECT_EQ(KeepTitleBarOnScreen({1250, 10, 800, 451}, 20, one),
              (TScreenRect{480, 10, 800, 451}));
    EXPECT_EQ(KeepTitleBarOnScreen({100, 1010, 800, 451}, 20, one),
              (TScreenRect{100, 573, 800, 451}));
    // Beyond the second screen: onto that one, the nearest.
    EXPECT_EQ(KeepTitleBarOnScreen({4000, 100, 800, 451}, 20, two),
              (TScreenRect{2400, 100, 800, 451}));
    // Across both screens: in reach on the second one.
    EXPECT_EQ(KeepTitleBarOnScreen({1250, 100, 800, 451}, 20, two),
              (TScreenRect{1250, 100, 800, 451}));
    // Larger than the screen: its top-left corner on it.
    EXPECT_EQ(KeepTitleBarOnScreen({-50, -50, 2000, 2000}, 20, one),
              (TScreenRect{0, 0, 2000, 2000}));
    EXPECT_EQ(KeepTitleBarOnScreen(normal, 20, {}), normal);
}

}  // namespace
}  // namespace quorvex
