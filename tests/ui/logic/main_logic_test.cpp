// The window logic driven through a fake window: the same rules and
// messages both faces show.
#include "ui/logic/main_logic.h"

#include <gtest/gtest.h>

#include "engine/convert.h"
#include "support/paths.h"
#include "ui/logic/fake_view.h"
#include "ui/logic/messages.h"
#include "ui/logic/window_files.h"

namespace quorvex {
namespace {

using test::ReadBytes;
using test::TFakeView;
using test::WriteBytes;
using test::WriteMifPair;
using C = TControl;
using Log = std::vector<std::string>;

constexpr std::string_view kKitaChiku = "\x96\x6B\x92\x6E\x8B\xE6";  // 北地区

class Logic : public testing::Test {
  protected:
    void SetUp() override {
        mif = dir / "town.mif";
        WriteMifPair(mif);
    }
    void FillPanel(const std::string& mifPath, const std::string& sim) {
        view.Texts[C::edtMifFile] = mifPath;
        view.Texts[C::edtSimFile] = sim;
    }
    void AddRow(const std::string& mifPath, const std::string& sim) {
        FillPanel(mifPath, sim);
        logic.btnAddClick();
    }
    // Runs a handler as the window's events do.
    void Click(void (TMainLogic::*handler)()) {
        logic.Guard([&] { (logic.*handler)(); });
    }

    test::TempDir dir;
    std::string mif;
    TFakeView view;
    TMainLogic logic{view, "/opt/q/quorvex.chm"};
};

std::string Warning(const char* text) {
    return std::string("message:warning:") + text;
}

TEST_F(Logic, CheckStopsAtTheFirstFailureInOrder) {
    EXPECT_FALSE(logic.CheckInput());
    view.Texts[C::edtMifFile] = mif;
    view.Texts[C::edtSimFile] = " \t";
    EXPECT_FALSE(logic.CheckInput());
    view.Texts[C::edtSimFile] = "a.sim";
    view.Checks[C::chkKakuchi] = view.Checks[C::chkRosen] = false;
    EXPECT_FALSE(logic.CheckInput());
    view.Checks[C::chkRosen] = true;
    view.Texts[C::edtGenba] = "𠮷野";  // not in code page 932
    EXPECT_FALSE(logic.CheckInput());
    view.Texts[C::edtGenba] = "北〜地区";  // the input method's wave dash is held
    EXPECT_TRUE(logic.CheckInput());
    EXPECT_EQ(view.Log, (Log{Warning(msg::kBadMifFile), Warning(msg::kBadSimFile),
                             Warning(msg::kNoTarget), Warning(msg::kBadGenba)}));
}

// A site name that could end the G00 line and write lines of its own (a
// forged point) is refused after the other checks.
TEST_F(Logic, CheckRefusesControlCharactersInTheSiteName) {
    FillPanel(mif, "a.sim");
    for (const char* genba : {"S,\r\nA01,999,999,123,456,0,\r\nZ00", "a\tb", "\x1b[31m", "x\x7f"}) {
        view.Texts[C::edtGenba] = genba;
        EXPECT_FALSE(logic.CheckInput()) << genba;
    }
    EXPECT_EQ(view.Log, Log(4, Warning(msg::kBadGenba)));
    // The earlier checks come first.
    view.Log.clear();
    view.Checks[C::chkKakuchi] = view.Checks[C::chkRosen] = false;
    EXPECT_FALSE(logic.CheckInput());
    EXPECT_EQ(view.Log, Log{Warning(msg::kNoTarget)});
    view.Checks[C::chkKakuchi] = true;
    view.Texts[C::edtGenba] = "北, 地区 ";  // commas and blanks stay allowed
    EXPECT_TRUE(logic.CheckInput());
}

TEST_F(Logic, BrowsingFillsNamesRemembersTheChoiceAndCancelChangesNothing) {
    view.AttrChoice = 2;
    view.Answers = {mif, std::nullopt, dir / "b.sim"};
    logic.btnMifBrowseClick();
    EXPECT_EQ(view.Texts[C::edtMifFile], mif);
    EXPECT_EQ(view.Texts[C::edtSimFile], dir / "town.sim");
    EXPECT_EQ(view.AttrChoice, -1);
    logic.btnSimBrowseClick();  // cancelled
    EXPECT_EQ(view.Texts[C::edtSimFile], dir / "town.sim");
    logic.btnCmbBrowseClick();
    EXPECT_EQ(view.Texts[C::edtConbineFile], dir / "b.sim");
    EXPECT_EQ(view.Texts[C::edtSimFile], dir / "town.sim");

    ASSERT_EQ(view.DialogsSeen.size(), 3u);
    EXPECT_EQ(view.DialogsSeen[0].Filters[0].Pattern, "*.mif");
    EXPECT_EQ(view.DialogsSeen[1].Name, "SaveDialog1");
    EXPECT_EQ(view.DialogsSeen[1].DefaultExt, "sim");
    // The SIMA dialog of the combined file is the same dialog, with its last choice.
    view.Answers = {std::nullopt};
    logic.btnSimBrowseClick();
    EXPECT_EQ(view.DialogsSeen.back().FileName, dir / "b.sim");
}

TEST_F(Logic, DropDownListsABlankEntryAndTheDecodedColumnsWithTheirBytesBehind) {
    logic.cboAttrNameDropDown();  // no MIF yet: nothing happens
    EXPECT_TRUE(view.AttrItems.empty());
    FillPanel(mif, dir / "a.sim");
    logic.cboAttrNameDropDown();
    EXPECT_EQ(view.AttrItems, (std::vector<std::string>{"", "CHIBAN", "名前", "AREA"}));
    EXPECT_EQ(view.AttrChoice, -1);
    view.AttrChoice = 2;
    EXPECT_EQ(logic.ChosenAttrName(), test::kJapaneseColumn);
    EXPECT_EQ(logic.PanelSettings().AttrIndex, 2);

    // A file whose columns cannot be read leaves only the blank entry.
    WriteBytes(dir / "bad.mif", "Version 300\r\nColumns -1\r\n  A Char(5)\r\n");
    view.Texts[C::edtMifFile] = dir / "bad.mif";
    EXPECT_FALSE(logic.Guard([&] { logic.cboAttrNameDropDown(); }));
    EXPECT_EQ(view.AttrItems, std::vector<std::string>{""});
    EXPECT_EQ(view.Entries("error:").size(), 1u);
    EXPECT_EQ(logic.ChosenAttrName(), "");
}

TEST_F(Logic, ColumnsOfOtherCharacterSetsAreShownDecodedAndANameCodePage932LacksIsNotSaved) {
    // A UTF-8 table: 地番 is held in code page 932, côte is not.
    WriteBytes(dir / "utf8.mif",
               "Version 300\r\nCharset \"UTF-8\"\r\nDelimiter \",\"\r\nColumns 2\r\n"
               "  地番 Char(10)\r\n  côte Char(10)\r\nData\r\n");
    WriteBytes(dir / "utf8.mid", "");
    FillPanel(dir / "utf8.mif", dir / "a.sim");
    logic.cboAttrNameDropDown();
    EXPECT_EQ(view.AttrItems, (std::vector<std::string>{"", "地番", "côte"}));
    view.AttrChoice = 1;
    logic.btnAddClick();
    view.AttrChoice = 2;
    logic.btnAddClick();
    ASSERT_EQ(logic.RowCount(), 2);
    EXPECT_EQ(logic.Row(0).SubItems[TBatchRow::AttrName], "\x92\x6E\x94\xD4");
    EXPECT_EQ(logic.Row(1).SubItems[TBatchRow::AttrName], "");
    EXPECT_EQ(view.Rows[1].Cells[3], "côte");
    view.Answers = {dir / "list.txt"};
    logic.S1Click();
    EXPECT_EQ(view.Log.back(), Warning("7 行目に保存できない文字が含まれています。"));
}

// A dropped file takes the panel's attribute only where its own table has a
// column of that name, at that column's position.
TEST_F(Logic, DroppedFilesTakeThePanelsAttributeOnlyByName) {
    auto table = [](const std::string& columns, int count) {
        return "Version 300\r\nCharset \"WindowsJapanese\"\r\nDelimiter \",\"\r\nColumns " +
               std::to_string(count) + "\r\n" + columns + "Data\r\n";
    };
    WriteBytes(dir / "moved.mif", table("  id Integer\r\n  AREA Float\r\n  " +
                                            std::string(test::kJapaneseColumn) + " Char(9)\r\n",
                                        3));
    WriteBytes(dir / "other.mif", table("  id Integer\r\n  AREA Float\r\n", 2));
    FillPanel(mif, dir / "a.sim");
    logic.cboAttrNameDropDown();
    view.AttrChoice = 2;
    logic.FilesDropped(TDropTarget::BatchList,
                       {dir / "moved.mif", dir / "other.mif", dir / "town.mif"});
    ASSERT_EQ(logic.RowCount(), 3);
    EXPECT_EQ(logic.Row(0).Caption, "3");
    EXPECT_EQ(logic.Row(0).SubItems[TBatchRow::AttrName], test::kJapaneseColumn);
    EXPECT_EQ(logic.Row(1).Caption, "-1");
    EXPECT_EQ(logic.Row(1).SubItems[TBatchRow::AttrName], "");
    EXPECT_EQ(logic.Row(2).Caption, "2");

    // Nothing chosen: no attribute for any dropped file.
    view.AttrChoice = -1;
    logic.FilesDropped(TDropTarget::BatchList, {dir / "moved.mif"});
    EXPECT_EQ(logic.Row(3).Caption, "-1");
}

// The SIMA dialog starts beside the MIF file while the SIMA box is empty;
// the batch-list dialogs start where a list was last opened or saved.
TEST_F(Logic, DialogsStartWhereTheWorkIs) {
    view.Texts[C::edtMifFile] = mif;
    logic.btnSimBrowseClick();
    ASSERT_EQ(view.DialogsSeen.size(), 1u);
    EXPECT_EQ(view.DialogsSeen[0].InitialDir, GetFileDir(mif));
    view.Texts[C::edtSimFile] = "/elsewhere/a.sim";
    logic.btnSimBrowseClick();
    EXPECT_EQ(view.DialogsSeen[1].InitialDir, "");

    std::filesystem::create_directories(dir / "lists");
    AddRow(mif, dir / "a.sim");
    view.Answers = {dir / "lists/one.txt", std::nullopt, std::nullopt};
    logic.S1Click();
    logic.O1Click();
    logic.S1Click();
    ASSERT_EQ(view.DialogsSeen.size(), 5u);
    EXPECT_EQ(view.DialogsSeen[2].InitialDir, "");
    EXPECT_EQ(view.DialogsSeen[3].Name, "OpenDialog2");
    EXPECT_EQ(view.DialogsSeen[3].InitialDir, GetFileDir(dir / "lists/one.txt"));
    EXPECT_EQ(view.DialogsSeen[4].InitialDir, GetFileDir(dir / "lists/one.txt"));
}

TEST_F(Logic, ConvertWritesTheFileUnderTheHourglassAndReports) {
    FillPanel(mif, dir / "a.sim");
    view.Texts[C::edtGenba] = "北地区";
    logic.btnConvertClick();
    EXPECT_EQ(view.Log,
              (Log{"busy:1", "busy:0", std::string("message:information:") + msg::kConvertOk}));
    const std::string sima = ReadBytes(dir / "a.sim");
    EXPECT_NE(sima.find(kKitaChiku), std::string::npos);
    // What was written, in the status bar.
    EXPECT_EQ(view.Status, "画地 1、路線 1、座標 5　非地球座標（m）");

    // A failure gives its cause on a second line; the status bar is empty.
    view.Log.clear();
    std::filesystem::remove(dir / "town.mid");
    FillPanel(mif, dir / "b.sim");
    logic.Guard([&] { logic.btnConvertClick(); });
    ASSERT_EQ(view.Log.size(), 3u);
    EXPECT_EQ(view.Log[1], "busy:0");
    EXPECT_EQ(view.Log[2], Warning(msg::kConvertFailed) + "\nMIDファイル「" +
                               std::string(dir / "town.mid") + "」が見つかりません。");
    EXPECT_EQ(view.Status, "");
}

TEST_F(Logic, AddReplaceRemoveAndClearKeepRowsViewAndButtonsInStep) {
    view.Texts[C::edtGenba] = "北地区";
    view.Checks[C::chkEnd] = true;
    AddRow(mif, dir / "a.sim");
    ASSERT_EQ(logic.RowCount(), 1);
    const TBatchRow& row = logic.Row(0);
    EXPECT_EQ(row.Caption, "-1");
    EXPECT_EQ(row.SubItems[TBatchRow::Genba], kKitaChiku);
    EXPECT_EQ(row.SubItems[TBatchRow::CloseParcel], kSwitchOn);
    ASSERT_EQ(view.Rows.size(), 1u);
    EXPECT_EQ(view.Rows[0].Cells,
              (TRowCells{"-1", mif, dir / "a.sim", "", "北地区", "○", "○", "○", "○"}));
    EXPECT_FALSE(view.Enabled(C::btnReplace));

    AddRow(mif, dir / "b.sim");
    view.Selected = 0;
    logic.lvwBatchChange();
    EXPECT_TRUE(view.Enabled(C::btnReplace));
    EXPECT_TRUE(view.Enabled(C::btnRemove));
    view.Rows[0].Mark = view.Rows[1].Mark = kMarkDone;
    view.Texts[C::edtSimFile] = dir / "c.sim";
    logic.btnReplaceClick();
    EXPECT_EQ(logic.Row(0).SubItems[TBatchRow::SimFile], dir / "c.sim");
    EXPECT_EQ(view.Rows[0].Cells[2], dir / "c.sim");
    EXPECT_EQ(view.Marks(), (std::vector<TRowMark>{kNoMark, kMarkDone}));

    logic.btnRemoveClick();
    EXPECT_EQ(logic.RowCount(), 1);
    EXPECT_EQ(logic.Row(0).SubItems[TBatchRow::SimFile], dir / "b.sim");
    EXPECT_EQ(view.Selected, -1);
    EXPECT_FALSE(view.Enabled(C::btnRemove));

    view.Texts[C::edtMifFile] = dir / "missing.mif";
    logic.btnAddClick();  // refused
    EXPECT_EQ(logic.RowCount(), 1);
    logic.btnClearClick();
    EXPECT_EQ(logic.RowCount(), 0);
    EXPECT_TRUE(view.Rows.empty());
}

TEST_F(Logic, DoubleClickCopiesTheRowBackKeepingTheSiteNamesBytes) {
    // A site name from a file with a byte pair code page 932 does not
    // define: shown as something, used unchanged.
    const std::string odd = "\x96\x6B\x85\x40";
    WriteBytes(dir / "list.txt",
               "Quorvex\r\n200\r\n0\r\n\r\n\r\n\"2\"\t\"" + mif + "\"\t\"" + dir / "a.sim" +
                   "\"\t\"\x96\xBC\x91\x4F\"\t\"" + odd +
                   "\"\t\"\x81\x7E\"\t\"\x81\x9B\"\t\"\x81\x7E\"\t\"\x81\x9B\"\r\n");
    view.Answers = {dir / "list.txt"};
    logic.O1Click();
    ASSERT_EQ(logic.RowCount(), 1);
    view.Selected = 0;
    logic.lvwBatchDblClick();
    EXPECT_EQ(view.Texts[C::edtMifFile], mif);
    EXPECT_EQ(view.Texts[C::edtSimFile], dir / "a.sim");
    EXPECT_EQ(view.AttrChoice, 2);
    EXPECT_FALSE(view.Checks[C::chkKakuchi]);
    EXPECT_TRUE(view.Checks[C::chkRosen]);
    EXPECT_FALSE(view.Checks[C::chkYX]);
    EXPECT_TRUE(view.Checks[C::chkEnd]);
    EXPECT_EQ(logic.Cp932Text(C::edtGenba), odd);
    EXPECT_EQ(logic.PanelSettings().Genba, odd);
    view.Texts[C::edtGenba] = "北地区";  // typed over: encoded again
    EXPECT_EQ(logic.PanelSettings().Genba, kKitaChiku);

    // A caption that is no number chooses nothing (a run would read it as 0).
    WriteBytes(dir / "list.txt", "Quorvex\r\n200\r\n0\r\n\r\n\r\n\"x\"\t\"" + mif + "\"\t\"" +
                                     dir / "a.sim" + "\"\t\"\"\t\"\"\t\"\"\t\"\"\t\"\"\t\"\"\r\n");
    view.Answers = {dir / "list.txt"};
    logic.O1Click();
    view.Selected = 0;
    logic.lvwBatchDblClick();
    EXPECT_EQ(view.AttrChoice, -1);
}

TEST_F(Logic, SaveAndLoadReproduceTheListAndTheCombineSettings) {
    view.Texts[C::edtGenba] = "北地区";
    AddRow(mif, dir / "a.sim");
    view.Checks[C::chkYX] = false;
    AddRow(mif, dir / "b.sim");
    view.Checks[C::chkCombine] = true;
    view.Texts[C::edtConbineFile] = dir / "all.sim";
    view.Texts[C::edtCombineGenba] = "全体";
    view.Answers = {dir / "list.txt"};
    logic.S1Click();
    EXPECT_EQ(view.DialogsSeen.back().DefaultExt, "txt");
    const std::string saved = ReadBytes(dir / "list.txt");
    EXPECT_EQ(saved.substr(0, 18), "Quorvex\r\n200\r\n-1\r\n");

    TFakeView other;
    TMainLogic second(other, "");
    other.Answers = {dir / "list.txt"};
    second.O1Click();
    ASSERT_EQ(second.RowCount(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(second.Row(i).SubItems, logic.Row(i).SubItems);
    EXPECT_EQ(other.Rows[1].Cells, view.Rows[1].Cells);
    EXPECT_TRUE(other.Checks[C::chkCombine]);
    EXPECT_EQ(other.Texts[C::edtConbineFile], dir / "all.sim");
    EXPECT_EQ(other.Texts[C::edtCombineGenba], "全体");

    // Saved again unchanged, the file is the same bytes.
    other.Answers = {dir / "again.txt"};
    second.S1Click();
    EXPECT_EQ(ReadBytes(dir / "again.txt"), saved);
}

TEST_F(Logic, SaveRefusesTheFirstLineCodePage932CannotHoldAndReportsUncreatableFiles) {
    logic.S1Click();
    EXPECT_EQ(view.Log, Log{Warning(msg::kNoBatchList)});
    WriteMifPair(dir / "é.mif");
    AddRow(mif, dir / "a.sim");
    AddRow(dir / "é.mif", dir / "b.sim");
    view.Texts[C::edtCombineGenba] = "𠮷";
    view.Log.clear();
    view.Answers = {dir / "list.txt", dir / "list.txt"};
    logic.S1Click();
    EXPECT_EQ(view.Log.back(), Warning("5 行目に保存できない文字が含まれています。"));
    view.Texts[C::edtCombineGenba] = "";
    logic.S1Click();
    EXPECT_EQ(view.Log.back(), Warning("7 行目に保存できない文字が含まれています。"));
    EXPECT_FALSE(std::filesystem::exists(dir / "list.txt"));

    logic.btnRemoveClick();
    view.Selected = 1;
    logic.btnRemoveClick();
    view.Answers = {dir / "no-folder/list.txt"};
    logic.S1Click();
    ASSERT_EQ(view.Entries("error:").size(), 1u);
    EXPECT_EQ(
        view.Entries("error:")[0].rfind("ファイル \"" + dir / "no-folder/list.txt" + "\". ", 0),
        0u);
    EXPECT_NE(view.Entries("error:")[0].find(" を作成できません"), std::string::npos);
}

TEST_F(Logic, LoadingEmptiesTheListFirstAndRefusesMalformedFiles) {
    AddRow(mif, dir / "a.sim");
    WriteBytes(dir / "bad.txt", "Quorvex\r\n200\r\n");
    WriteBytes(dir / "notbool.txt", "Quorvex\r\n200\r\nyes\r\n\r\n\r\n");
    view.Answers = {dir / "bad.txt", dir / "notbool.txt", dir / "missing.txt", std::nullopt};
    logic.O1Click();
    EXPECT_EQ(logic.RowCount(), 0);
    EXPECT_EQ(view.Log.back(), "message:error:不正なバッチリストです。");
    logic.O1Click();
    EXPECT_EQ(view.Log.back(), "message:error:'yes' は正しい論理型ではありません");
    logic.O1Click();
    EXPECT_EQ(view.Log.back().rfind("error:ファイル \"" + dir / "missing.txt" + "\". ", 0), 0u);
    AddRow(mif, dir / "a.sim");
    logic.O1Click();  // cancelled: the list stays
    EXPECT_EQ(logic.RowCount(), 1);
}

// A list saved as UTF-8 by an editor loads with its switches, blank lines
// stay as empty rows, and a list of too many lines is refused before any row
// is added.
TEST_F(Logic, LoadingReadsUtf8ListsKeepsBlankRowsAndRefusesTooManyLines) {
    const std::string job = "\"2\"\t\"" + mif + "\"\t\"" + dir / "a.sim" +
                            "\"\t\"名前\"\t\"北地区\"\t\"○\"\t\"×\"\t\"○\"\t\"×\"\r\n";
    WriteBytes(dir / "utf8.txt",
               "Quorvex\r\n200\r\n0\r\n" + dir / "全体.sim" + "\r\n全体\r\n" + job + "\r\n");
    view.Answers = {dir / "utf8.txt"};
    logic.O1Click();
    ASSERT_EQ(logic.RowCount(), 2);
    EXPECT_EQ(logic.Row(0).SubItems[TBatchRow::Genba], kKitaChiku);
    EXPECT_TRUE(IsSwitchOn(logic.Row(0).SubItems[TBatchRow::Kakuchi]));
    EXPECT_FALSE(IsSwitchOn(logic.Row(0).SubItems[TBatchRow::Rosen]));
    EXPECT_EQ(view.Rows[0].Cells[6], "×");
    EXPECT_EQ(logic.Row(1).SubItems, (std::array<std::string, 8>{}));
    EXPECT_EQ(view.Texts[C::edtConbineFile], dir / "全体.sim");
    EXPECT_EQ(view.Texts[C::edtCombineGenba], "全体");

    const std::string header = "Quorvex\r\n200\r\n0\r\n\r\n\r\n";
    WriteBytes(dir / "many.txt", header + std::string(100001, '\n'));
    view.Answers = {dir / "many.txt"};
    logic.O1Click();
    EXPECT_EQ(logic.RowCount(), 0);
    EXPECT_TRUE(view.Rows.empty());
    EXPECT_EQ(view.Log.back(), "message:error:不正なバッチリストです。");
    WriteBytes(dir / "yoshi.txt", header + job + "\"1\"\t\"𠮷.mif\"\r\n");
    view.Answers = {dir / "yoshi.txt"};
    logic.O1Click();
    EXPECT_EQ(logic.RowCount(), 0);
    EXPECT_EQ(
        view.Log.back(),
        "message:error:7 行目に Shift_JIS（コードページ932）で表せない文字が含まれています。");
    // The boolean error's text is decoded once: its ellipsis is one.
    WriteBytes(dir / "long.txt", "Quorvex\r\n200\r\n" + std::string(90, 'y') + "\r\n\r\n\r\n");
    view.Answers = {dir / "long.txt"};
    logic.O1Click();
    EXPECT_EQ(view.Log.back(),
              "message:error:'" + std::string(80, 'y') + "…' は正しい論理型ではありません");
}

// Before any row is converted, the rows are checked together: a row whose
// SIMA file is another row's input or an earlier row's SIMA file, or that
// the input check would refuse, gets the cross with its reason, and its file
// is left alone; the other rows run.
TEST_F(Logic, PerFileRunRefusesRowsThatWouldDestroyFilesOrCannotRun) {
    WriteMifPair(dir / "other.mif");
    WriteBytes(dir / "d.sim", "old");
    const std::string mid = ReadBytes(dir / "town.mid");
    auto job = [](const std::string& mifPath, const std::string& sim, const char* switches,
                  const char* genba) {
        return "\"1\"\t\"" + mifPath + "\"\t\"" + sim + "\"\t\"\"\t\"" + genba + "\"\t" + switches +
               "\r\n";
    };
    const char* on = "\"○\"\t\"○\"\t\"○\"\t\"×\"";
    WriteBytes(dir / "list.txt",
               "Quorvex\r\n200\r\n0\r\n\r\n\r\n" + job(mif, dir / "a.sim", on, "") +
                   job(dir / "other.mif", dir / "a.sim", on, "") +
                   job(dir / "other.mif", dir / "town.mid", on, "") +
                   job(mif, dir / "d.sim", "\"×\"\t\"×\"\t\"○\"\t\"×\"", "") +
                   job(mif, dir / "e.sim", on, "S\x1b[2J") + job(mif, "-", on, "") + "\r\n");
    view.Answers = {dir / "list.txt"};
    logic.O1Click();
    ASSERT_EQ(logic.RowCount(), 7);
    logic.btnBatchClick();
    EXPECT_EQ(view.Marks(), (std::vector<TRowMark>{kMarkDone, kMarkFailed, kMarkFailed, kMarkFailed,
                                                   kMarkFailed, kMarkFailed, kMarkFailed}));
    EXPECT_EQ(view.Rows[1].MarkTip,
              "「" + dir / "a.sim" + "」は前の行の変換後のファイルと同じです。");
    EXPECT_EQ(view.Rows[2].MarkTip,
              "「" + dir / "town.mid" + "」はバッチの変換元のファイルなので上書きしません。");
    EXPECT_EQ(view.Rows[3].MarkTip, msg::kNoTarget);
    EXPECT_EQ(view.Rows[4].MarkTip, msg::kBadGenba);
    EXPECT_EQ(view.Rows[5].MarkTip,
              "バッチリストの変換後のファイルに「-」（標準出力）は指定できません。");
    EXPECT_EQ(view.Rows[6].MarkTip, msg::kNoTarget);  // the blank row
    EXPECT_EQ(ReadBytes(dir / "town.mid"), mid);
    EXPECT_EQ(ReadBytes(dir / "d.sim"), "old");
    EXPECT_FALSE(std::filesystem::exists(dir / "e.sim"));
    EXPECT_FALSE(std::filesystem::exists("-"));
    EXPECT_EQ(view.Status, "7 件中 1 件成功、6 件失敗");

    // Merged, the row that converts nothing fails and the others are merged.
    view.Checks[C::chkCombine] = true;
    view.Texts[C::edtConbineFile] = dir / "all.sim";
    logic.btnBatchClick();
    EXPECT_EQ(view.Marks(), (std::vector<TRowMark>{kMarkDone, kMarkDone, kMarkDone, kMarkFailed,
                                                   kMarkFailed, kMarkDone, kMarkFailed}));
    EXPECT_EQ(view.Rows[3].MarkTip, msg::kNoTarget);
}

// A list whose rows carry plane rectangular zones loads with them, runs each
// row in its zone, one file or merged, and saves back as the same bytes.
TEST_F(Logic, BatchRowsKeepTheirZonesThroughLoadingRunningAndSaving) {
    const std::string lonLat = dir / "lonlat.mif";
    WriteBytes(lonLat,
               "Version 300\r\nCharset \"Neutral\"\r\nDelimiter \",\"\r\n"
               "CoordSys Earth Projection 1, 152\r\nColumns 1\r\n  ID Integer\r\nData\r\n"
               "Line 139.7 35.6 139.95 35.9\r\n");
    WriteBytes(dir / "lonlat.mid", "1\r\n");
    auto job = [](const std::string& mifPath, const std::string& sim, const std::string& zone) {
        return "\"1\"\t\"" + mifPath + "\"\t\"" + sim +
               "\"\t\"\"\t\"\"\t\"\x81\x9B\"\t\"\x81\x9B\"\t\"\x81\x9B\"\t\"\x81\x7E\"" + zone +
               "\r\n";
    };
    const std::string list = "Quorvex\r\n201\r\n0\r\n" + dir / "all.sim" + "\r\n\r\n" +
                             job(lonLat, dir / "z.sim", "\t\"9\"") +
                             job(lonLat, dir / "plain.sim", "");
    WriteBytes(dir / "list.txt", list);
    view.Answers = {dir / "list.txt"};
    logic.O1Click();
    ASSERT_EQ(logic.RowCount(), 2);
    EXPECT_EQ(logic.Row(0).Zone, 9);
    EXPECT_EQ(logic.Row(1).Zone, 0);
    logic.btnBatchClick();
    EXPECT_EQ(view.Marks(), (std::vector<TRowMark>{kMarkDone, kMarkDone}));
    EXPECT_NE(ReadBytes(dir / "z.sim").find("A01,1,1,-44369.4985042834,-12081.0357751727,0,"),
              std::string::npos);
    EXPECT_NE(ReadBytes(dir / "plain.sim").find("A01,1,1,35.6,139.7,0,"), std::string::npos);

    view.Answers = {dir / "again.txt"};
    logic.S1Click();
    EXPECT_EQ(ReadBytes(dir / "again.txt"), list);

    // Merged: rows of different zones are refused before anything is written.
    view.Checks[C::chkCombine] = true;
    view.Texts[C::edtConbineFile] = dir / "all.sim";
    Click(&TMainLogic::btnBatchClick);
    EXPECT_FALSE(std::filesystem::exists(dir / "all.sim"));
    EXPECT_NE(view.Log.back().find("統合する行の平面直角座標系が異なります（IX と 0"),
              std::string::npos)
        << view.Log.back();

    // A 200 list with a zone is refused, and the list stays empty.
    std::string old = list;
    old.replace(9, 3, "200");
    WriteBytes(dir / "old.txt", old);
    view.Answers = {dir / "old.txt"};
    logic.O1Click();
    EXPECT_EQ(logic.RowCount(), 0);
    EXPECT_NE(view.Log.back().find("6 行目に平面直角座標系 '9' がありますが"), std::string::npos)
        << view.Log.back();
}

// The zone drop-down of the panel: its zone goes into the job, the rows and
// back; what a table's coordinates are and the warning about them reach the
// status bar, the message and the marks.
class Zones : public Logic {
  protected:
    void SetUp() override {
        Logic::SetUp();
        lonLat = dir / "lonlat.mif";
        WriteBytes(lonLat,
                   "Version 300\r\nCharset \"Neutral\"\r\nDelimiter \",\"\r\n"
                   "CoordSys Earth Projection 1, 152\r\nColumns 1\r\n  ID Integer\r\nData\r\n"
                   "Line 139.7 35.6 139.95 35.9\r\n");
        WriteBytes(dir / "lonlat.mid", "1\r\n");
    }
    int& Zone() { return view.DropDowns[C::cboZone].Choice; }
    std::string lonLat;
};

TEST_F(Zones, PanelStartsAsReadAndConvertsInTheChosenZone) {
    // The list as the table gives it, at "そのまま".
    ASSERT_EQ(view.ItemCount(C::cboZone), 20);
    EXPECT_EQ(view.DropDowns[C::cboZone].Items[9], "第IX系");
    EXPECT_EQ(Zone(), 0);
    EXPECT_EQ(logic.PanelSettings().Zone, 0);
    Zone() = -1;  // nothing chosen writes as read too
    EXPECT_EQ(logic.PanelSettings().Zone, 0);
    Zone() = 19;
    EXPECT_EQ(logic.PanelSettings().Zone, 19);

    Zone() = 9;
    FillPanel(lonLat, dir / "z.sim");
    logic.btnConvertClick();
    EXPECT_EQ(view.Log.back(), std::string("message:information:") + msg::kConvertOk);
    EXPECT_NE(ReadBytes(dir / "z.sim").find("A01,1,1,-44369.4985042834,-12081.0357751727,0,"),
              std::string::npos);
    // The table's own coordinates, beside the counts.
    EXPECT_EQ(view.Status, "画地 0、路線 1、座標 2　経緯度（度、JGD2000） → 第IX系");
}

TEST_F(Zones, DegreesWrittenAsReadConvertWithTheWarningOnASecondLine) {
    FillPanel(lonLat, dir / "plain.sim");
    logic.btnConvertClick();
    const std::string ok = Warning(msg::kConvertOk) + "\n";
    ASSERT_EQ(view.Log.back().compare(0, ok.size(), ok), 0) << view.Log.back();
    EXPECT_NE(view.Log.back().find("経緯度"), std::string::npos) << view.Log.back();
    EXPECT_NE(ReadBytes(dir / "plain.sim").find("A01,1,1,35.6,139.7,0,"), std::string::npos);
    EXPECT_EQ(view.Status, "画地 0、路線 1、座標 2　経緯度（度、JGD2000）");

    // A zone the table cannot be projected to is a failure with its cause.
    Zone() = 9;
    FillPanel(mif, dir / "nonearth.sim");
    view.Log.clear();
    logic.btnConvertClick();
    ASSERT_FALSE(view.Log.empty());
    EXPECT_EQ(view.Log.back().rfind(Warning(msg::kConvertFailed) + "\n平面直角座標系 第IX系", 0),
              0u)
        << view.Log.back();
    EXPECT_FALSE(std::filesystem::exists(dir / "nonearth.sim"));
}

TEST_F(Zones, RowsTakeThePanelsZoneShowItAndGiveItBack) {
    Zone() = 9;
    AddRow(lonLat, dir / "a.sim");
    Zone() = 0;
    AddRow(lonLat, dir / "b.sim");
    ASSERT_EQ(logic.RowCount(), 2);
    EXPECT_EQ(logic.Row(0).Zone, 9);
    EXPECT_EQ(logic.Row(1).Zone, 0);
    EXPECT_EQ(view.Rows[0].Cells[9], "IX");
    EXPECT_EQ(view.Rows[1].Cells[9], "");

    // Replacing takes the panel's zone as well.
    view.Selected = 1;
    Zone() = 18;
    logic.btnReplaceClick();
    EXPECT_EQ(logic.Row(1).Zone, 18);
    EXPECT_EQ(view.Rows[1].Cells[9], "XVIII");

    // A double click puts the row's zone back, "そのまま" for none.
    view.Selected = 0;
    Zone() = 3;
    logic.lvwBatchDblClick();
    EXPECT_EQ(Zone(), 9);
    Zone() = 0;
    AddRow(mif, dir / "c.sim");
    view.Selected = 2;
    Zone() = 5;
    logic.lvwBatchDblClick();
    EXPECT_EQ(Zone(), 0);

    // Files dropped on the list get the panel's zone.
    Zone() = 12;
    logic.FilesDropped(TDropTarget::BatchList, {lonLat});
    ASSERT_EQ(logic.RowCount(), 4);
    EXPECT_EQ(logic.Row(3).Zone, 12);
    EXPECT_EQ(view.Rows[3].Cells[9], "XII");
}

TEST_F(Zones, BatchRunsCarryWarningsInTheTicksTipAndCountThem) {
    Zone() = 9;
    AddRow(lonLat, dir / "a.sim");
    Zone() = 0;
    AddRow(lonLat, dir / "b.sim");
    AddRow(mif, dir / "c.sim");
    logic.btnBatchClick();
    EXPECT_EQ(view.Marks(), (std::vector<TRowMark>{kMarkDone, kMarkDone, kMarkDone}));
    EXPECT_EQ(view.Rows[0].MarkTip, "");
    EXPECT_NE(view.Rows[1].MarkTip.find("経緯度"), std::string::npos) << view.Rows[1].MarkTip;
    EXPECT_EQ(view.Rows[2].MarkTip, "");
    EXPECT_EQ(view.Status, "3 件中 3 件成功、0 件失敗、警告 1 件");

    // Merged: the rows of one zone (none), each degree row with its warning.
    view.Selected = 0;
    logic.btnRemoveClick();
    view.Checks[C::chkCombine] = true;
    view.Texts[C::edtConbineFile] = dir / "all.sim";
    logic.btnBatchClick();
    EXPECT_EQ(view.Marks(), (std::vector<TRowMark>{kMarkDone, kMarkDone}));
    EXPECT_NE(view.Rows[0].MarkTip.find("経緯度"), std::string::npos) << view.Rows[0].MarkTip;
    EXPECT_EQ(view.Rows[1].MarkTip, "");
    EXPECT_EQ(view.Status, "2 件中 2 件成功、0 件失敗、警告 1 件");

    // A run without warnings reads as it always did.
    view.Selected = 0;
    logic.btnRemoveClick();
    view.Checks[C::chkCombine] = false;
    logic.btnBatchClick();
    EXPECT_EQ(view.Status, "1 件中 1 件成功、0 件失敗");
}

class Run : public Logic {
  protected:
    void SetUp() override {
        Logic::SetUp();
        // A MIF without its MID file fails.
        WriteMifPair(dir / "broken.mif");
        std::filesystem::remove(dir / "broken.mid");
        AddRow(mif, dir / "a.sim");
        AddRow(dir / "broken.mif", dir / "b.sim");
        AddRow(mif, dir / "c.sim");
        view.Log.clear();
        // While the run goes on, the list cannot be changed.
        view.OnEvents = [this] {
            enabledDuringRun.push_back(view.Enabled(C::btnAdd) || view.Enabled(C::btnClear) ||
                                       view.Enabled(C::btnBatch) || view.Enabled(C::btnConvert) ||
                                       view.Enabled(C::O1) || view.Enabled(C::S1) ||
                                       view.Enabled(C::P1));
        };
    }
    std::vector<bool> enabledDuringRun;
};

TEST_F(Run, PerFileRunShowsEachRowBetweenPendingEventsMarksItAndEndsWithTheMessage) {
    view.Rows[0].Mark = kMarkFailed;
    view.Status = "old";
    view.StatusTexts.clear();
    // Nor does a preview convert meanwhile: the log shows none.
    const std::function<void()> noted = view.OnEvents;
    view.OnEvents = [&] {
        noted();
        logic.Handle(TCommand::P1Click);
    };
    logic.btnBatchClick();
    EXPECT_EQ(view.Log, (Log{"busy:1", "events", "show:0", "events", "events", "show:1", "events",
                             "events", "show:2", "events", "busy:0",
                             "message:information:" + std::string(msg::kBatchDone)}));
    EXPECT_EQ(view.Marks(), (std::vector<TRowMark>{kMarkDone, kMarkFailed, kMarkDone}));
    EXPECT_EQ(ReadBytes(dir / "a.sim"), ReadBytes(dir / "c.sim"));
    EXPECT_FALSE(std::filesystem::exists(dir / "b.sim"));
    EXPECT_EQ(enabledDuringRun, std::vector<bool>(6, false));
    EXPECT_TRUE(view.Enabled(C::btnAdd) && view.Enabled(C::O1) && view.Enabled(C::btnBatch));
    EXPECT_FALSE(logic.Running());
    // The status bar follows the run, then sums it up; the cross tells why.
    EXPECT_EQ(view.StatusTexts,
              (Log{"", "1 / 3 件目を変換中: town.mif", "2 / 3 件目を変換中: broken.mif",
                   "3 / 3 件目を変換中: town.mif", "3 件中 2 件成功、1 件失敗"}));
    EXPECT_EQ(view.Rows[0].MarkTip, "");
    EXPECT_EQ(view.Rows[1].MarkTip,
              "MIDファイル「" + std::string(dir / "broken.mid") + "」が見つかりません。");
}

TEST_F(Run, CloseDuringARunEndsItAfterTheCurrentRowThenCloses) {
    int rowsSeen = 0;
    view.OnEvents = [&] {
        // The first round of events of the second row brings the close.
        if (view.Entries("show:").size() == 1 && ++rowsSeen == 2) {
            EXPECT_FALSE(logic.FormCloseQuery());
        }
    };
    logic.btnBatchClick();
    EXPECT_EQ(view.Marks(), (std::vector<TRowMark>{kMarkDone, kMarkFailed, kNoMark}));
    EXPECT_FALSE(std::filesystem::exists(dir / "c.sim"));
    // The end message and the summary first, then the window closes.
    const Log tail(view.Log.end() - 3, view.Log.end());
    EXPECT_EQ(tail,
              (Log{"busy:0", "message:information:" + std::string(msg::kBatchDone), "close"}));
    EXPECT_EQ(view.Status, "3 件中 1 件成功、1 件失敗、1 件未実行");
    EXPECT_TRUE(logic.FormCloseQuery());

    // A merged run stops the same way and leaves its file untouched.
    view.Log.clear();
    rowsSeen = 0;
    view.Checks[C::chkCombine] = true;
    view.Texts[C::edtConbineFile] = dir / "all.sim";
    WriteBytes(dir / "all.sim", "old");
    view.OnEvents = [&] {
        if (++rowsSeen == 2) {
            EXPECT_FALSE(logic.FormCloseQuery());
        }
    };
    logic.btnBatchClick();
    // Nothing was written, so no row keeps a tick.
    EXPECT_EQ(view.Marks(), (std::vector<TRowMark>{kNoMark, kNoMark, kNoMark}));
    EXPECT_EQ(view.Status, "3 件中 0 件成功、0 件失敗、3 件未実行");
    EXPECT_EQ(ReadBytes(dir / "all.sim"), "old");
    EXPECT_EQ(view.Log.back(), "close");
    EXPECT_FALSE(logic.Running());
}

TEST_F(Run, DroppedFilesFillThePanelOrTheListOrAreRefused) {
    view.Log.clear();
    // During a run drops change nothing.
    view.OnEvents = [&] { logic.FilesDropped(TDropTarget::BatchList, {mif}); };
    logic.btnBatchClick();
    EXPECT_EQ(logic.RowCount(), 3);
    view.OnEvents = nullptr;

    view.AttrChoice = 2;
    logic.FilesDropped(TDropTarget::Panel, {dir / "other.MIF"});
    EXPECT_EQ(view.Texts[C::edtMifFile], dir / "other.MIF");
    EXPECT_EQ(view.Texts[C::edtSimFile], dir / "other.sim");
    EXPECT_EQ(view.AttrChoice, -1);

    // Several MIF files on the list: a row each, with the panel's settings.
    logic.btnClearClick();
    view.Checks[C::chkYX] = false;
    view.Texts[C::edtGenba] = "北地区";
    logic.FilesDropped(TDropTarget::BatchList, {dir / "a.mif", dir / "b.mif"});
    ASSERT_EQ(logic.RowCount(), 2);
    EXPECT_EQ(logic.Row(1).SubItems[TBatchRow::MifFile], dir / "b.mif");
    EXPECT_EQ(logic.Row(1).SubItems[TBatchRow::SimFile], dir / "b.sim");
    EXPECT_EQ(logic.Row(1).SubItems[TBatchRow::Genba], kKitaChiku);
    EXPECT_FALSE(IsSwitchOn(logic.Row(1).SubItems[TBatchRow::SwapXY]));

    // A batch-list file on the list loads it.
    view.Answers = {dir / "list.txt"};
    logic.S1Click();
    logic.btnClearClick();
    logic.FilesDropped(TDropTarget::BatchList, {dir / "list.txt"});
    EXPECT_EQ(logic.RowCount(), 2);

    view.Log.clear();
    logic.FilesDropped(TDropTarget::Panel, {dir / "list.txt"});
    logic.FilesDropped(TDropTarget::BatchList, {dir / "a.mid"});
    view.Checks[C::chkKakuchi] = view.Checks[C::chkRosen] = false;
    logic.FilesDropped(TDropTarget::BatchList, {dir / "c.mif"});
    EXPECT_EQ(view.Log, (Log{Warning(msg::kDropOnPanel), Warning(msg::kDropOnList),
                             Warning(msg::kNoTarget)}));
    EXPECT_EQ(logic.RowCount(), 2);
}

// `quorvex town.mif`, or a multiple selection opened from the file manager.
TEST_F(Logic, CommandLineFilesFillThePanelOrTheListAsADropWould) {
    logic.CommandLineFiles({});
    EXPECT_TRUE(view.Log.empty());
    EXPECT_EQ(view.Texts[C::edtMifFile], "");

    // One MIF file fills the panel and leaves the list alone.
    AddRow(mif, dir / "kept.sim");
    logic.CommandLineFiles({dir / "other.MIF"});
    EXPECT_EQ(view.Texts[C::edtMifFile], dir / "other.MIF");
    EXPECT_EQ(view.Texts[C::edtSimFile], dir / "other.sim");
    EXPECT_EQ(logic.RowCount(), 1);

    // Several become rows after those there, with the panel's settings.
    view.Texts[C::edtGenba] = "北地区";
    logic.CommandLineFiles({dir / "a.mif", dir / "b.mif"});
    ASSERT_EQ(logic.RowCount(), 3);
    EXPECT_EQ(logic.Row(1).SubItems[TBatchRow::MifFile], dir / "a.mif");
    EXPECT_EQ(logic.Row(2).SubItems[TBatchRow::SimFile], dir / "b.sim");
    EXPECT_EQ(logic.Row(2).SubItems[TBatchRow::Genba], kKitaChiku);
    EXPECT_EQ(view.Texts[C::edtMifFile], dir / "other.MIF");

    // A batch-list file replaces the list with its own.
    view.Answers = {dir / "list.txt"};
    logic.S1Click();
    logic.btnClearClick();
    logic.CommandLineFiles({dir / "list.txt"});
    EXPECT_EQ(logic.RowCount(), 3);

    // Anything else is refused as on the list, which stays.
    view.Log.clear();
    logic.CommandLineFiles({dir / "a.mid"});
    logic.CommandLineFiles({mif, dir / "list.txt"});
    logic.CommandLineFiles({dir / "l1.txt", dir / "l2.txt"});
    EXPECT_EQ(view.Log, Log(3, Warning(msg::kDropOnList)));
    EXPECT_EQ(logic.RowCount(), 3);
}

TEST_F(Run, HandlersThatChangeTheListDoNothingWhileItRuns) {
    view.OnEvents = [this] {
        logic.btnClearClick();
        logic.btnRemoveClick();
        logic.btnAddClick();
        logic.btnBatchClick();
        view.Answers = {dir / "x.txt"};
        logic.O1Click();
    };
    logic.btnBatchClick();
    EXPECT_EQ(logic.RowCount(), 3);
    EXPECT_EQ(view.Entries("message:").size(), 1u);
}

TEST_F(Run, EscapingErrorEndsThePerFileRunWithTheMessageFirst) {
    view.Rows.clear();
    TMainLogic one(view, "");
    view.Texts[C::edtMifFile] = mif;
    view.Texts[C::edtSimFile] = dir / "no-folder/a.sim";
    one.btnAddClick();
    view.Log.clear();
    // Shown by the run itself, after its end message.
    EXPECT_TRUE(one.Guard([&] { one.btnBatchClick(); }));
    ASSERT_EQ(view.Log.size(), 7u);
    EXPECT_EQ(view.Log[4], "busy:0");
    EXPECT_EQ(view.Log[5], "message:information:" + std::string(msg::kBatchDone));
    EXPECT_EQ(view.Log[6].rfind("error:", 0), 0u);
    EXPECT_FALSE(one.Running());
    EXPECT_TRUE(view.Enabled(C::btnBatch));
}

TEST_F(Run, CombinedRunMarksEveryRowWithoutEndMessageAndRefusesAnEmptyPath) {
    view.Checks[C::chkCombine] = true;
    logic.btnBatchClick();
    EXPECT_EQ(view.Log, Log{Warning("統合後のファイル名が不正です。")});
    EXPECT_EQ(view.Marks(), std::vector<TRowMark>(3, kNoMark));

    view.Log.clear();
    view.Texts[C::edtCombineGenba] = "𠮷";
    view.Texts[C::edtConbineFile] = dir / "all.sim";
    logic.btnBatchClick();
    EXPECT_EQ(view.Log, Log{Warning(msg::kBadGenba)});

    view.Log.clear();
    view.Texts[C::edtCombineGenba] = "全体";
    // The failing row has a good object before its bad one.
    WriteBytes(dir / "broken.mif", ReadBytes(mif) + "Line 0 0 x 1\r\n");
    WriteBytes(dir / "broken.mid", ReadBytes(dir / "town.mid") + "x\r\n");
    logic.btnBatchClick();
    EXPECT_EQ(view.Marks(), (std::vector<TRowMark>{kMarkDone, kMarkFailed, kMarkDone}));
    EXPECT_TRUE(view.Entries("message:").empty());
    EXPECT_EQ(view.Entries("show:"), (Log{"0", "1", "2"}));
    EXPECT_EQ(view.Entries("busy:"), (Log{"1", "0"}));
    EXPECT_EQ(enabledDuringRun, std::vector<bool>(6, false));
    // Written without the failed row, and said so.
    EXPECT_EQ(view.Status,
              "3 件中 2 件成功、1 件失敗（統合ファイルは失敗した 1 件を除いて書き込みました）");
    ASSERT_TRUE(ConvertCombined({logic.Row(0), logic.Row(2)}, dir / "good.sim",
                                "\x91\x53\x91\xCC")  // 全体
                    .Written);
    EXPECT_EQ(ReadBytes(dir / "all.sim"), ReadBytes(dir / "good.sim"));

    // Every row failing leaves the file as it was, with a warning.
    for (int row : {2, 0}) {
        view.Selected = row;
        logic.btnRemoveClick();
    }
    WriteBytes(dir / "all.sim", "old");
    view.Log.clear();
    logic.btnBatchClick();
    EXPECT_EQ(view.Marks(), (std::vector<TRowMark>{kMarkFailed}));
    EXPECT_EQ(
        view.Entries("message:"),
        (Log{"warning:すべての変換元ファイルの変換に失敗したため、何も書き込みませんでした。"}));
    EXPECT_EQ(view.Status, "1 件中 0 件成功、1 件失敗");
    EXPECT_EQ(ReadBytes(dir / "all.sim"), "old");

    // A merge that would replace one of its own inputs writes nothing; the
    // error box follows the end of the run.
    const std::string input = ReadBytes(dir / "broken.mid");
    view.Texts[C::edtConbineFile] = dir / "broken.mid";
    view.Log.clear();
    logic.btnBatchClick();
    EXPECT_EQ(view.Marks(), (std::vector<TRowMark>{kMarkFailed}));
    ASSERT_EQ(view.Entries("error:").size(), 1u);
    EXPECT_EQ(view.Log.back().rfind("error:", 0), 0u);
    EXPECT_TRUE(view.Entries("message:").empty());
    EXPECT_EQ(ReadBytes(dir / "broken.mid"), input);
    EXPECT_FALSE(logic.Running());
}

// A merged file that cannot be made ends the run before its first row; one
// that cannot replace the old file at the end takes every tick back and
// crosses the rows with the cause.
TEST_F(Run, CombinedRunWhoseFileCannotBeMadeLeavesNoTick) {
    view.Checks[C::chkCombine] = true;
    view.Texts[C::edtConbineFile] = dir / "no-folder/all.sim";
    logic.btnBatchClick();
    EXPECT_TRUE(view.Entries("show:").empty());
    EXPECT_EQ(view.Marks(), std::vector<TRowMark>(3, kNoMark));
    EXPECT_EQ(view.Status, "");
    ASSERT_EQ(view.Entries("error:").size(), 1u);

    view.Log.clear();
    view.Texts[C::edtConbineFile] = dir / "all.sim";
    WriteBytes(dir / "all.sim", "old");
    // While the last row runs, the old file becomes a folder nothing replaces.
    view.OnEvents = [&] {
        if (view.Entries("show:").size() == 3 && !std::filesystem::is_directory(dir / "all.sim")) {
            std::filesystem::remove(dir / "all.sim");
            std::filesystem::create_directories(dir / "all.sim/held");
        }
    };
    logic.btnBatchClick();
    EXPECT_EQ(view.Marks(), std::vector<TRowMark>(3, kMarkFailed));
    const std::vector<std::string> errors = view.Entries("error:");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(view.Rows[0].MarkTip, errors[0]);
    EXPECT_EQ(view.Rows[2].MarkTip, errors[0]);
    EXPECT_EQ(view.Rows[1].MarkTip,
              "MIDファイル「" + std::string(dir / "broken.mid") + "」が見つかりません。");
    EXPECT_EQ(view.Status, "3 件中 0 件成功、3 件失敗");
    EXPECT_FALSE(logic.Running());
}

// The status bar never keeps a summary of another list, every row tried has
// a mark, and rows not run are counted.
TEST_F(Run, StatusBarSummaryIsClearedAndCountsEveryRow) {
    logic.btnBatchClick();
    EXPECT_EQ(view.Status, "3 件中 2 件成功、1 件失敗");
    logic.btnClearClick();
    EXPECT_EQ(view.Status, "");

    AddRow(mif, dir / "a.sim");
    AddRow(mif, dir / "no-folder/b.sim");
    AddRow(mif, dir / "c.sim");
    AddRow(mif, dir / "d.sim");
    view.Log.clear();
    logic.btnBatchClick();
    // The row whose file cannot be created ends the run with its cross.
    EXPECT_EQ(view.Marks(), (std::vector<TRowMark>{kMarkDone, kMarkFailed, kNoMark, kNoMark}));
    EXPECT_NE(view.Rows[1].MarkTip, "");
    EXPECT_EQ(view.Status, "4 件中 1 件成功、1 件失敗、2 件未実行");
    EXPECT_EQ(view.Entries("error:").size(), 1u);

    logic.FilesDropped(TDropTarget::BatchList, {mif});
    EXPECT_EQ(view.Status, "");
    logic.btnBatchClick();
    view.Answers = {dir / "list.txt", dir / "list.txt"};
    logic.S1Click();
    logic.O1Click();
    EXPECT_EQ(view.Status, "");

    // A run whose check fails says nothing of the one before.
    logic.btnBatchClick();
    EXPECT_NE(view.Status, "");
    view.Checks[C::chkCombine] = true;
    view.Texts[C::edtCombineGenba] = "𠮷";
    logic.btnBatchClick();
    EXPECT_EQ(view.Status, "");
}

// Enter on a crossed row shows why it failed; on other rows nothing.
TEST_F(Run, EnterOnACrossedRowShowsItsCause) {
    logic.btnBatchClick();
    view.Log.clear();
    for (int row : {-1, 0, 1}) {
        view.Selected = row;
        EXPECT_TRUE(logic.Handle(TCommand::lvwBatchEnter));
    }
    EXPECT_EQ(view.Log, Log{"message:error:MIDファイル「" + std::string(dir / "broken.mid") +
                            "」が見つかりません。"});
    // A row removed takes its cause along.
    view.Selected = 0;
    logic.btnRemoveClick();
    view.Selected = 0;
    view.Log.clear();
    logic.lvwBatchEnter();
    EXPECT_EQ(view.Log.size(), 1u);
    view.Selected = 1;
    logic.lvwBatchEnter();
    EXPECT_EQ(view.Log.size(), 1u);
}

// The list's context menu: rows move with their marks and causes, the
// order reaches the run, and the results go to the clipboard as text.
TEST_F(Run, ContextMenuMovesRowsAndCopiesEveryResult) {
    auto enabled = [this] {
        std::string states;
        for (TControl c : {C::mnuMoveUp, C::mnuMoveDown, C::mnuRemove, C::mnuToPanel,
                           C::mnuShowError, C::mnuCopyResults})
            states += view.Enabled(c) ? '1' : '0';
        return states;
    };
    view.Selected = -1;
    logic.Handle(Spec(C::PopupMenu1).Command);
    EXPECT_EQ(enabled(), "000001");
    // A close during the run leaves the last row not run.
    view.OnEvents = [&] {
        if (view.Entries("show:").size() == 2) logic.FormCloseQuery();
    };
    logic.btnBatchClick();
    view.OnEvents = nullptr;
    ASSERT_EQ(view.Marks(), (std::vector<TRowMark>{kMarkDone, kMarkFailed, kNoMark}));
    const std::string cause =
        "MIDファイル「" + std::string(dir / "broken.mid") + "」が見つかりません。";
    view.Log.clear();
    logic.Handle(Spec(C::mnuCopyResults).Command);
    EXPECT_EQ(view.Log, Log{"clipboard"});
    EXPECT_EQ(view.Clipboard, "元ファイル\t結果\t内容\n" + mif + "\t成功\t\n" +
                                  std::string(dir / "broken.mif") + "\t失敗\t" + cause + "\n" +
                                  mif + "\t未実行\t\n");

    view.Selected = 1;
    logic.Handle(Spec(C::PopupMenu1).Command);
    EXPECT_EQ(enabled(), "111111");
    EXPECT_TRUE(logic.Handle(Spec(C::mnuMoveUp).Command));
    EXPECT_EQ(view.Selected, 0);
    EXPECT_EQ(enabled(), "011111");
    EXPECT_EQ(logic.Row(0).SubItems[TBatchRow::SimFile], dir / "b.sim");
    EXPECT_EQ(view.Rows[0].Cells[2], dir / "b.sim");
    EXPECT_EQ(view.Rows[1].Cells[2], dir / "a.sim");
    EXPECT_EQ(view.Marks(), (std::vector<TRowMark>{kMarkFailed, kMarkDone, kNoMark}));
    EXPECT_EQ(view.Rows[0].MarkTip, cause);
    EXPECT_EQ(view.Rows[1].MarkTip, "");
    // The top row goes no higher; the bottom one no lower.
    logic.mnuMoveUpClick();
    EXPECT_EQ(logic.Row(0).SubItems[TBatchRow::SimFile], dir / "b.sim");
    logic.mnuMoveDownClick();
    logic.mnuMoveDownClick();
    EXPECT_EQ(view.Selected, 2);
    EXPECT_EQ(enabled(), "101111");
    logic.mnuMoveDownClick();
    std::vector<std::string> sims;
    for (int i = 0; i < logic.RowCount(); ++i)
        sims.push_back(logic.Row(i).SubItems[TBatchRow::SimFile]);
    EXPECT_EQ(sims, (Log{dir / "a.sim", dir / "c.sim", dir / "b.sim"}));
    EXPECT_EQ(view.Marks(), (std::vector<TRowMark>{kMarkDone, kNoMark, kMarkFailed}));
    // The cause follows its row, for Enter as for the menu.
    view.Log.clear();
    logic.Handle(Spec(C::mnuShowError).Command);
    EXPECT_EQ(view.Log, Log{"message:error:" + cause});
    view.Selected = 1;
    logic.Handle(Spec(C::PopupMenu1).Command);
    EXPECT_EQ(enabled(), "111101");
    // Delete and "パネルへコピー" are the buttons' and the double click's.
    logic.Handle(Spec(C::mnuToPanel).Command);
    EXPECT_EQ(view.Texts[C::edtSimFile], dir / "c.sim");
    logic.Handle(Spec(C::mnuRemove).Command);
    EXPECT_EQ(logic.RowCount(), 2);
    EXPECT_EQ(view.Selected, -1);
    EXPECT_EQ(enabled(), "000001");

    logic.btnClearClick();
    EXPECT_EQ(enabled(), "000000");
    view.Log.clear();
    logic.mnuCopyResultsClick();
    EXPECT_EQ(view.Log, Log{});
    // A tab in a path (Linux allows it) stays inside its cell.
    logic.FilesDropped(TDropTarget::BatchList, {dir / "tab\tname.mif"});
    logic.mnuCopyResultsClick();
    EXPECT_EQ(view.Clipboard,
              "元ファイル\t結果\t内容\n" + std::string(dir / "tab name.mif") + "\t未実行\t\n");
}

// The order of the rows reaches the merged run: the first row's X/Y swap
// counts for all.
TEST_F(Logic, AMovedRowLeadsTheMergedRun) {
    view.Checks[C::chkYX] = false;
    AddRow(mif, dir / "a.sim");
    view.Checks[C::chkYX] = true;
    AddRow(mif, dir / "b.sim");
    view.Checks[C::chkCombine] = true;
    view.Texts[C::edtConbineFile] = dir / "first.sim";
    logic.btnBatchClick();
    view.Selected = 1;
    logic.mnuMoveUpClick();
    view.Texts[C::edtConbineFile] = dir / "moved.sim";
    logic.btnBatchClick();
    EXPECT_NE(ReadBytes(dir / "first.sim"), ReadBytes(dir / "moved.sim"));
    ASSERT_TRUE(ConvertCombined({logic.Row(0), logic.Row(1)}, dir / "b-first.sim", "").Written);
    EXPECT_EQ(ReadBytes(dir / "moved.sim"), ReadBytes(dir / "b-first.sim"));
}

// During a run nothing moves or leaves the list, from the menu or a key.
TEST_F(Run, RowsNeitherMoveNorGoDuringARun) {
    view.Selected = 1;
    logic.lvwBatchChange();
    std::vector<bool> enabledInRun;
    view.OnEvents = [&] {
        view.Selected = 1;
        logic.PopupMenu1Popup();
        enabledInRun.push_back(view.Enabled(C::mnuMoveUp) || view.Enabled(C::mnuMoveDown) ||
                               view.Enabled(C::mnuRemove) || view.Enabled(C::mnuToPanel));
        for (TControl c : {C::mnuMoveUp, C::mnuMoveDown, C::mnuRemove, C::mnuToPanel})
            logic.Handle(Spec(c).Command);
    };
    logic.btnBatchClick();
    EXPECT_EQ(enabledInRun, std::vector<bool>(6, false));
    EXPECT_EQ(logic.RowCount(), 3);
    EXPECT_EQ(logic.Row(1).SubItems[TBatchRow::SimFile], dir / "b.sim");
    EXPECT_EQ(view.Texts[C::edtSimFile], dir / "c.sim");  // the panel as it was
    view.OnEvents = nullptr;
    view.Selected = 1;
    logic.PopupMenu1Popup();
    EXPECT_TRUE(view.Enabled(C::mnuMoveUp) && view.Enabled(C::mnuRemove));
}

TEST_F(Logic, MenuCommandsReachTheWindow) {
    logic.A1Click();
    logic.H2Click();
    logic.X1Click();
    EXPECT_EQ(view.Log, (Log{"about", "help:/opt/q/quorvex.chm", "close"}));
}

TEST(FormatMessage, ReplacesNumberedPlaceholdersOnly) {
    EXPECT_EQ(FormatMessage("ファイル \"%1\". %2 を作成できません", {"a b", "%1"}),
              "ファイル \"a b\". %1 を作成できません");
    EXPECT_EQ(FormatMessage("100% %3 %1", {"x"}), "100% %3 x");
}

}  // namespace
}  // namespace quorvex
