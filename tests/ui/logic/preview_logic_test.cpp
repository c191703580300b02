// The preview window's logic through a fake window, and the main window's
// choice of what to preview: open, fit, zoom, pan, click, the marks.
#include "ui/logic/preview_logic.h"

#include <gtest/gtest.h>

#include "support/paths.h"
#include "ui/logic/fake_view.h"
#include "ui/logic/main_logic.h"
#include "ui/logic/messages.h"
#include "ui/logic/window_files.h"

namespace quorvex {
namespace {

using preview::TScreenPoint;
using test::TFakeView;
using test::WriteBytes;
using C = TControl;

// Three parcels and a route, with what a surveyor checks first:
//  1 "12-4"  10 m square at E 0..10, N 0..10, points 1..4 (area 100 m²)
//  2 "12-4"  the square at E 20..30 (the lot number again), points 5..8
//  3  none   a 4 x 5 rectangle at E 40..44, N 0..5 whose corner 12 lies
//            0.5 mm from point 13
//  route 1 "道1" from (0, 20) to (30, 20)
const std::string kSima =
    "G00,01,\x96\x6B\x92\x6E\x8B\xE6,\r\n"  // 北地区
    "A00,\r\n"
    "A01,1,1,0,0,0,\r\nA01,2,2,0,10,0,\r\nA01,3,3,10,10,0,\r\nA01,4,4,10,0,0,\r\n"
    "A01,5,5,0,20,0,\r\nA01,6,6,0,30,0,\r\nA01,7,7,10,30,0,\r\nA01,8,8,10,20,0,\r\n"
    "A01,9,9,0,40,0,\r\nA01,10,10,0,44,0,\r\nA01,11,11,5,44,0,\r\nA01,12,12,5,40,0,\r\n"
    "A01,13,13,5.0005,40,0,\r\n"
    "A01,14,14,20,0,0,\r\nA01,15,15,20,30,0,\r\n"
    "A99,\r\n"
    "D00,1,12-4,1,\r\nB01,1,1,\r\nB01,2,2,\r\nB01,3,3,\r\nB01,4,4,\r\nB01,1,1,\r\nD99,\r\n"
    "D00,2,12-4,1,\r\nB01,5,5,\r\nB01,6,6,\r\nB01,7,7,\r\nB01,8,8,\r\nB01,5,5,\r\nD99,\r\n"
    "D00,3,,1,\r\nB01,9,9,\r\nB01,10,10,\r\nB01,11,11,\r\nB01,12,12,\r\nB01,9,9,\r\nD99,\r\n"
    "F00,1,\x93\xB9\x31,1,\r\nB01,14,14,\r\nB01,15,15,\r\nF99,\r\n";

class TFakePreview : public TPreviewView {
  public:
    std::string Title, Status, Info;
    std::vector<std::string> MarkItems;
    int Redraws = 0;
    std::vector<std::string> Log;
    std::optional<std::string> Answer;

    void SetTitle(const std::string& text) override { Title = text; }
    void SetStatusText(const std::string& text) override { Status = text; }
    void SetInfoText(const std::string& text) override { Info = text; }
    void SetMarkItems(const std::vector<std::string>& items) override { MarkItems = items; }
    void Redraw() override { ++Redraws; }
    void Message(TMessageKind, const std::string& text) override {
        Log.push_back("message:" + text);
    }
    void ShowError(const std::string& text) override { Log.push_back("error:" + text); }
    bool Execute(TFileDialog& dialog) override {
        Log.push_back("dialog:" + dialog.Name);
        if (!Answer) return false;
        dialog.FileName = *Answer;
        return true;
    }
    void SetBusy(bool busy) override { Log.push_back(busy ? "busy:1" : "busy:0"); }
};

class Preview : public testing::Test {
  protected:
    void SetUp() override {
        sim = dir / "site.sim";
        WriteBytes(sim, kSima);
        logic.Resize(400, 300);
    }
    // The screen position of a plan position (E, N).
    TScreenPoint At(double e, double n) const { return logic.View().ToScreen({e, n}); }

    test::TempDir dir;
    std::string sim;
    TFakePreview window;
    TPreviewLogic logic{window};
};

TEST_F(Preview, OpenedFileIsFittedAndNamedWithItsCountsAndMarks) {
    EXPECT_EQ(logic.Title(), "プレビュー");
    window.Answer = sim;
    logic.Guard([&] { logic.OpenClick(); });
    ASSERT_TRUE(logic.Loaded());
    EXPECT_EQ(window.Title, "プレビュー - site.sim");
    EXPECT_EQ(window.Log.front(), "dialog:PreviewOpenDialog");
    // The whole drawing (E 0..44, N 0..20) in sight, centred.
    const preview::TBox seen = logic.View().Visible();
    EXPECT_LE(seen.MinE, 0);
    EXPECT_GE(seen.MaxE, 44);
    EXPECT_LE(seen.MinN, 0);
    EXPECT_GE(seen.MaxN, 20);
    EXPECT_DOUBLE_EQ(logic.View().Center().E, 22);
    EXPECT_EQ(window.Status, "画地 3、路線 1、座標 15　" + std::string(msg::kSimaCoordSys));
    EXPECT_EQ(window.MarkItems, (std::vector<std::string>{
                                    "地番なし: 画地 3",
                                    "地番の重複: 画地 1（12-4）",
                                    "地番の重複: 画地 2（12-4）",
                                    "1 mm 未満の近接点: 点 12 と 点 13",
                                }));
    EXPECT_GT(logic.Frame().Polygons.size() + logic.Frame().ParcelRuns.size(), 0u);
}

TEST_F(Preview, PointerShowsSimaXAndYAndWheelZoomsAboutIt) {
    logic.OpenFile(sim);
    const TScreenPoint p = At(10, 5);  // SIMA X 5, Y 10
    logic.MouseMove(p);
    EXPECT_EQ(window.Status.substr(0, window.Status.find("　")), "X 5.000  Y 10.000");
    const double scale = logic.View().Scale();
    logic.Wheel(p, 2);
    EXPECT_DOUBLE_EQ(logic.View().Scale(), scale * 1.25 * 1.25);
    const preview::TWorldPoint still = logic.View().ToWorld(p);
    EXPECT_NEAR(still.E, 10, 1e-9);
    EXPECT_NEAR(still.N, 5, 1e-9);
    logic.Wheel(p, -2);
    EXPECT_DOUBLE_EQ(logic.View().Scale(), scale);
    logic.MouseLeave();
    EXPECT_EQ(window.Status.substr(0, 6), "画地");
}

TEST_F(Preview, DragPansAndHomeFitsAgain) {
    logic.OpenFile(sim);
    const preview::TWorldPoint centre = logic.View().Center();
    const double scale = logic.View().Scale();
    logic.MousePress({100, 100});
    logic.MouseMove({101, 101});  // within the slop: not yet a drag
    EXPECT_EQ(logic.View().Center().E, centre.E);
    logic.MouseMove({150, 80});
    logic.MouseRelease({160, 80});
    // 60 pixels right and 20 up moved the plan with the pointer.
    EXPECT_NEAR(logic.View().Center().E, centre.E - 60 / scale, 1e-9);
    EXPECT_NEAR(logic.View().Center().N, centre.N - 20 / scale, 1e-9);
    // A drag chooses nothing.
    EXPECT_EQ(logic.Selection().What, TPreviewSelection::None);
    logic.Fit();
    EXPECT_DOUBLE_EQ(logic.View().Center().E, centre.E);
    EXPECT_DOUBLE_EQ(logic.View().Scale(), scale);
}

TEST_F(Preview, ClickingAParcelOrRouteTellsWhatItIs) {
    logic.OpenFile(sim);
    logic.MousePress(At(5, 5));
    logic.MouseRelease(At(5, 5));
    EXPECT_EQ(logic.Selection().What, TPreviewSelection::Parcel);
    EXPECT_EQ(window.Info, "画地 1　地番 12-4　頂点 5　面積 100.00 m²");
    // Its ring in pixels for the highlight.
    const auto outline = logic.SelectionOutline();
    ASSERT_EQ(outline.size(), 1u);
    EXPECT_TRUE(outline[0].Closed);
    EXPECT_EQ(outline[0].Points.size(), 4u);

    logic.Click(At(42, 2));
    EXPECT_EQ(window.Info, "画地 3　地番 （なし）　頂点 5　面積 20.00 m²");
    logic.Click(At(15, 20));
    EXPECT_EQ(window.Info, "路線 1　路線名 道1　頂点 2");
    logic.Click(At(15, 5));  // between the parcels
    EXPECT_EQ(window.Info, "");
    EXPECT_EQ(logic.Selection().What, TPreviewSelection::None);
}

TEST_F(Preview, AMarkChoosesItsObjectAndZoomsToIt) {
    logic.OpenFile(sim);
    const double fitted = logic.View().Scale();
    logic.MarkActivated(2);  // the second parcel of "12-4"
    EXPECT_EQ(logic.Selection().What, TPreviewSelection::Parcel);
    EXPECT_EQ(logic.Selection().Index, 1u);
    EXPECT_EQ(window.Info, "画地 2　地番 12-4　頂点 5　面積 100.00 m²");
    EXPECT_DOUBLE_EQ(logic.View().Center().E, 25);
    EXPECT_DOUBLE_EQ(logic.View().Center().N, 5);
    EXPECT_GT(logic.View().Scale(), fitted);

    logic.MarkActivated(3);  // the two close points
    EXPECT_EQ(logic.Selection().What, TPreviewSelection::Points);
    EXPECT_EQ(window.Info, "点 12 と 点 13　距離 0.500 mm");
    EXPECT_EQ(logic.SelectionOutline().size(), 2u);
    // Entries beyond the list do nothing.
    logic.MarkActivated(4);
    logic.MarkActivated(-1);
    EXPECT_EQ(logic.Selection().What, TPreviewSelection::Points);
}

TEST_F(Preview, OnlyOneSimaFileIsTakenAndABrokenOneIsReported) {
    logic.FilesDropped({sim, sim});
    logic.FilesDropped({dir / "town.mif"});
    EXPECT_EQ(window.Log,
              (std::vector<std::string>{"message:" + std::string(msg::kPreviewDropOnly),
                                        "message:" + std::string(msg::kPreviewDropOnly)}));
    EXPECT_FALSE(logic.Loaded());
    logic.FilesDropped({sim});
    EXPECT_TRUE(logic.Loaded());

    // A file that does not read leaves the drawing shown as it was.
    const std::string broken = dir / "broken.sim";
    WriteBytes(broken, "A00,\r\nA01,1,1,zero,0,0,\r\nA99,\r\n");
    window.Log.clear();
    EXPECT_FALSE(logic.Guard([&] { logic.OpenFile(broken); }));
    ASSERT_EQ(window.Log.size(), 3u);
    EXPECT_EQ(window.Log[2].substr(0, 6), "error:");
    EXPECT_NE(window.Log[2].find("2"), std::string::npos);  // the line
    EXPECT_EQ(window.Title, "プレビュー - site.sim");
    EXPECT_EQ(logic.Scene().Parcels().size(), 3u);
}

// ---- The main window's choice of job ----

class MainPreview : public testing::Test {
  protected:
    void SetUp() override {
        mif = dir / "town.mif";
        test::WriteMifPair(mif);
    }
    test::TempDir dir;
    std::string mif;
    TFakeView view;
    TMainLogic logic{view, "quorvex.html"};
};

TEST_F(MainPreview, NothingToPreviewIsRefused) {
    EXPECT_TRUE(logic.Handle(TCommand::P1Click));
    EXPECT_EQ(view.Log,
              (std::vector<std::string>{"message:warning:" + std::string(msg::kNothingToPreview)}));
    view.Log.clear();
    view.Texts[C::edtMifFile] = dir / "absent.mif";
    logic.Handle(TCommand::P1Click);
    EXPECT_EQ(view.Log,
              (std::vector<std::string>{"message:warning:" + std::string(msg::kBadMifFile)}));
    // A focused list without a selected row falls back on the panel.
    view.Log.clear();
    view.Focused = C::lvwBatch;
    view.Texts[C::edtMifFile] = "";
    logic.Handle(TCommand::P1Click);
    EXPECT_EQ(view.Log,
              (std::vector<std::string>{"message:warning:" + std::string(msg::kNothingToPreview)}));
    EXPECT_FALSE(view.Preview);
}

TEST_F(MainPreview, PanelJobIsConvertedWithItsSettingsAndNothingWritten) {
    view.Texts[C::edtMifFile] = mif;
    view.Texts[C::edtSimFile] = dir / "town.sim";
    view.AttrChoice = 1;  // CHIBAN
    logic.Handle(TCommand::P1Click);
    EXPECT_EQ(view.Log, (std::vector<std::string>{"busy:1", "busy:0", "preview:town.mif"}));
    ASSERT_TRUE(view.Preview);
    const TSimaFile& f = view.Preview->File;
    ASSERT_EQ(f.Parcels.size(), 1u);
    EXPECT_EQ(f.Parcels[0].Name, "1-1");
    ASSERT_EQ(f.Routes.size(), 1u);
    // The X/Y switch of the panel is on: SIMA X is the MIF y.
    EXPECT_EQ(f.Points[0].X, 2);
    EXPECT_EQ(f.Points[0].Y, 1);
    EXPECT_FALSE(view.Preview->CoordSysText.empty());
    EXPECT_FALSE(FileExists(dir / "town.sim"));
}

TEST_F(MainPreview, FocusedListPreviewsTheSelectedRowsJob) {
    const std::string other = dir / "other.mif";
    test::WriteMifPair(other);
    view.Texts[C::edtMifFile] = other;
    view.Texts[C::edtSimFile] = dir / "other.sim";
    view.Checks[C::chkRosen] = false;
    logic.btnAddClick();
    // The panel now names another file, with routes.
    view.Texts[C::edtMifFile] = mif;
    view.Checks[C::chkRosen] = true;
    view.Selected = 0;
    view.Focused = C::lvwBatch;
    logic.Handle(TCommand::P1Click);
    ASSERT_TRUE(view.Preview);
    EXPECT_EQ(view.Preview->Name, "other.mif");
    EXPECT_EQ(view.Preview->File.Routes.size(), 0u);
    // The same selection without the focus: the panel's job.
    view.Focused = C::edtMifFile;
    logic.Handle(TCommand::P1Click);
    EXPECT_EQ(view.Preview->Name, "town.mif");
    EXPECT_EQ(view.Preview->File.Routes.size(), 1u);
}

TEST_F(MainPreview, AJobThatFailsIsReportedAndNoWindowOpens) {
    WriteBytes(mif,
               "Version 300\r\nColumns 1\r\n  A Char(5)\r\nData\r\nRegion 1\r\n  3\r\n1 x\r\n");
    view.Texts[C::edtMifFile] = mif;
    logic.Handle(TCommand::P1Click);
    EXPECT_FALSE(view.Preview);
    ASSERT_EQ(view.Log.size(), 3u);
    EXPECT_EQ(view.Log[2].rfind("message:warning:" + std::string(msg::kPreviewFailed) + "\n", 0),
              0u)
        << view.Log[2];
}

}  // namespace
}  // namespace quorvex
