// The one table both faces build the window from: each row where its
// control's value says, the Tab order and the positions as designed, and
// every command raised by exactly one event.
#include "ui/logic/main_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace quorvex {
namespace {

TEST(MainLayout, RowsAreInControlOrderWithUniqueNames) {
    std::set<std::string> names;
    for (size_t i = 0; i < kControlCount; ++i) {
        const TControlSpec& spec = kMainControls[i];
        EXPECT_EQ(static_cast<size_t>(spec.Id), i) << spec.Name;
        EXPECT_TRUE(names.insert(spec.Name).second) << spec.Name;
        EXPECT_EQ(FindControlSpec(spec.Name), &spec);
        EXPECT_EQ(&Spec(spec.Id), &spec);
    }
    EXPECT_EQ(FindControlSpec("nothing"), nullptr);
    // The client area's controls come first, the menus after them.
    bool menus = false;
    for (const TControlSpec& spec : kMainControls) {
        if (!IsClientControl(spec.Kind)) menus = true;
        EXPECT_EQ(IsClientControl(spec.Kind), !menus) << spec.Name;
    }
}

TEST(MainLayout, TabOrderAndStartStatesAreTheDesigned) {
    std::vector<std::string> order;
    for (const TControlSpec& spec : kMainControls)
        if (TakesFocus(spec.Kind)) order.push_back(spec.Name);
    const std::vector<std::string> designed = {
        "edtSimFile",   "btnSimBrowse",   "edtMifFile", "btnMifBrowse", "cboAttrName",
        "edtGenba",     "cboZone",        "chkKakuchi", "chkRosen",     "chkYX",
        "chkEnd",       "btnAdd",         "btnReplace", "btnConvert",   "lvwBatch",
        "chkCombine",   "btnClear",       "btnRemove",  "btnBatch",     "edtConbineFile",
        "btnCmbBrowse", "edtCombineGenba"};
    EXPECT_EQ(order, designed);
    std::vector<std::string> disabled, ticked;
    for (const TControlSpec& spec : kMainControls) {
        if (!spec.Enabled) disabled.push_back(spec.Name);
        if (spec.Checked) ticked.push_back(spec.Name);
    }
    EXPECT_EQ(disabled, (std::vector<std::string>{"btnReplace", "btnRemove"}));
    EXPECT_EQ(ticked, (std::vector<std::string>{"chkKakuchi", "chkRosen", "chkYX"}));
}

TEST(MainLayout, ControlsSitInsideTheirGroupAndTheClientArea) {
    for (const TControlSpec& spec : kMainControls) {
        SCOPED_TRACE(spec.Name);
        if (!IsClientControl(spec.Kind)) continue;
        EXPECT_GE(spec.Left, 0);
        EXPECT_GE(spec.Top, 0);
        EXPECT_LE(ClientLeft(spec) + spec.Width, kMainClientWidth);
        EXPECT_LE(ClientTop(spec) + spec.Height, kMainStatusTop);
        if (spec.Kind == TControlKind::Label) {
            EXPECT_EQ(spec.Width, 0);
        }
        if (!spec.Parent) continue;
        // A group box holds its controls and comes before them.
        const TControlSpec& group = Spec(*spec.Parent);
        EXPECT_EQ(group.Kind, TControlKind::GroupBox);
        EXPECT_LT(group.Id, spec.Id);
        EXPECT_LE(spec.Left + spec.Width, group.Width);
        EXPECT_LE(spec.Top + spec.Height, group.Height);
    }
    EXPECT_EQ(ClientLeft(Spec(TControl::chkEnd)), 8 + 16);
    EXPECT_EQ(ClientTop(Spec(TControl::chkEnd)), 272 + 48);
}

TEST(MainLayout, MenusHoldTheirItemsWithUniqueShortcuts) {
    std::map<std::string, std::vector<std::string>> items;
    std::set<std::string> keys;
    std::vector<std::string> menus;
    for (const TControlSpec& spec : kMainControls) {
        SCOPED_TRACE(spec.Name);
        if (spec.Kind == TControlKind::Menu) {
            EXPECT_FALSE(spec.Parent);
            menus.push_back(spec.Caption);
        }
        if (*spec.Shortcut) {
            EXPECT_EQ(spec.Kind, TControlKind::MenuItem);
            EXPECT_TRUE(keys.insert(spec.Shortcut).second);
        }
        if (spec.Kind != TControlKind::MenuItem) continue;
        ASSERT_TRUE(spec.Parent);
        EXPECT_EQ(Spec(*spec.Parent).Kind, TControlKind::Menu);
        EXPECT_LT(*spec.Parent, spec.Id);
        items[Spec(*spec.Parent).Name].push_back(std::string(spec.SeparatorBefore ? "-" : "") +
                                                 spec.Caption);
    }
    EXPECT_EQ(menus, (std::vector<std::string>{"ファイル(&F)", "表示(&V)", "ヘルプ(&H)"}));
    EXPECT_EQ(items["F1"], (std::vector<std::string>{"開く(&O)...", "保存(&S)...", "-終了(&X)"}));
    EXPECT_EQ(items["V1"], (std::vector<std::string>{"プレビュー(&P)"}));
    EXPECT_EQ(items["H1"],
              (std::vector<std::string>{"トピックの検索(&H)", "-バージョン情報(&A)..."}));
    EXPECT_EQ(keys, (std::set<std::string>{"Ctrl+O", "Ctrl+S", "Ctrl+P", "F1"}));
}

TEST(MainLayout, EveryCommandIsRaisedByOneEventOfAControlThatHasIt) {
    std::map<TCommand, int> raised;
    for (const TControlSpec& spec : kMainControls) {
        SCOPED_TRACE(spec.Name);
        if (spec.Command != TCommand::None) {
            ++raised[spec.Command];
            EXPECT_TRUE(spec.Kind == TControlKind::Button || spec.Kind == TControlKind::MenuItem ||
                        spec.Kind == TControlKind::DropDownList ||
                        spec.Kind == TControlKind::ListView);
        }
        if (spec.DblClick != TCommand::None) {
            ++raised[spec.DblClick];
            EXPECT_EQ(spec.Kind, TControlKind::ListView);
        }
        // Every button and menu item does something.
        if (spec.Kind == TControlKind::Button || spec.Kind == TControlKind::MenuItem) {
            EXPECT_NE(spec.Command, TCommand::None);
        }
    }
    for (int c = static_cast<int>(TCommand::None) + 1; c <= static_cast<int>(TCommand::P1Click);
         ++c)
        EXPECT_EQ(raised[static_cast<TCommand>(c)], 1) << c;
    EXPECT_EQ(Spec(TControl::btnConvert).Command, TCommand::btnConvertClick);
    EXPECT_EQ(Spec(TControl::lvwBatch).DblClick, TCommand::lvwBatchDblClick);
}

TEST(MainLayout, MarksAndAboutItemsFitTheirBoxes) {
    for (const TMarkShape& shape : kMarkShapes) {
        ASSERT_GE(shape.StrokeCount, 1);
        for (int k = 0; k < shape.StrokeCount; ++k) {
            const TMarkStroke& stroke = shape.Strokes[k];
            ASSERT_GE(stroke.Count, 2);
            for (int i = 0; i < stroke.Count; ++i) {
                const TMarkPoint p = stroke.Points[i];
                EXPECT_GE(p.X - shape.PenWidth / 2, 0);
                EXPECT_LE(p.X + shape.PenWidth / 2, kMarkBox);
                EXPECT_GE(p.Y - shape.PenWidth / 2, 0);
                EXPECT_LE(p.Y + shape.PenWidth / 2, kMarkBox);
            }
        }
    }
    // The tick is green, the cross red.
    EXPECT_GT(kMarkShapes[kMarkDone].Green, kMarkShapes[kMarkDone].Red);
    EXPECT_GT(kMarkShapes[kMarkFailed].Red, kMarkShapes[kMarkFailed].Green);

    std::set<std::string> names;
    for (size_t i = 0; i < std::size(kAboutItems); ++i) {
        const TAboutSpec& spec = kAboutItems[i];
        SCOPED_TRACE(spec.Name);
        EXPECT_EQ(static_cast<size_t>(spec.Id), i);
        EXPECT_EQ(&AboutSpec(spec.Id), &spec);
        EXPECT_TRUE(names.insert(spec.Name).second);
        EXPECT_LE(spec.Left + spec.Width, kAboutClientWidth - kAboutMargin);
        // Only the version and the addresses are the face's to fill in.
        const bool filled = spec.Id == TAboutItem::lblVersion || spec.Id == TAboutItem::Label6 ||
                            spec.Id == TAboutItem::Label4 || spec.Kind == TAboutKind::Image;
        EXPECT_EQ(spec.Caption == nullptr, filled);
    }
}

TEST(MainLayout, ZoneDropDownListsEveryZoneBesideTheSiteNameAndTheListHasItsColumn) {
    const TControlSpec& zone = Spec(TControl::cboZone);
    EXPECT_EQ(zone.Kind, TControlKind::DropDownList);
    EXPECT_EQ(zone.Command, TCommand::None);  // a fixed list: nothing to read as it opens
    ASSERT_EQ(zone.Items.size(), 20u);
    EXPECT_EQ(std::string(zone.Items[0]), "そのまま");
    const char* roman[] = {"I",  "II",  "III",  "IV",  "V",  "VI",  "VII",  "VIII",  "IX", "X",
                           "XI", "XII", "XIII", "XIV", "XV", "XVI", "XVII", "XVIII", "XIX"};
    for (size_t k = 1; k < zone.Items.size(); ++k)
        EXPECT_EQ(zone.Items[k], "第" + std::string(roman[k - 1]) + "系") << k;
    // Only the zone list has fixed entries; the attribute list is filled as it opens.
    for (const TControlSpec& spec : kMainControls)
        EXPECT_EQ(spec.Items.empty(), spec.Id != TControl::cboZone) << spec.Name;

    // Its caption above it, both on the site name's rows right of the box,
    // within the panel (the browse buttons' right edge) and above the groups.
    const TControlSpec& label = Spec(TControl::Label8);
    const TControlSpec& genba = Spec(TControl::edtGenba);
    EXPECT_EQ(std::string(label.Caption), "平面直角座標系");
    EXPECT_EQ(label.Left, zone.Left);
    EXPECT_EQ(label.Top, Spec(TControl::Label4).Top);
    EXPECT_EQ(zone.Top, genba.Top);
    EXPECT_LT(genba.Left + genba.Width, zone.Left);
    EXPECT_EQ(zone.Left + zone.Width,
              Spec(TControl::btnMifBrowse).Left + Spec(TControl::btnMifBrowse).Width);
    EXPECT_LE(zone.Top + zone.Height, Spec(TControl::GroupBox1).Top);
    // The site name's caption (13 characters, 4 of them narrow, at 12 pixels
    // a wide one) ends before the zone's.
    EXPECT_LT(Spec(TControl::Label4).Left + 9 * 12 + 4 * 6, label.Left);

    EXPECT_EQ(std::size(kBatchColumns), 10u);
    EXPECT_EQ(std::string(kBatchColumns[9].Caption), "系");
    EXPECT_TRUE(kBatchColumns[9].Centred);
    // "XVIII", the widest, fits.
    EXPECT_GE(kBatchColumns[9].Width, 36);
}

}  // namespace
}  // namespace quorvex
