// Merged runs: one point numbering, running parcel and route numbers, marks.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/convert.h"
#include "support/errors.h"
#include "test_util.h"

namespace quorvex {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::string kTable =
    "Version 300\r\nCharset \"Neutral\"\r\nDelimiter \",\"\r\nCoordSys NonEarth Units \"m\"\r\n"
    "Columns 1\r\n  CHIBAN Char(10)\r\nData\r\n";

struct Rows {
    TempDir dir;
    std::vector<TBatchRow> rows;
    std::vector<std::pair<bool, std::string>> marks;
    std::vector<TConvertCounts> rowCounts;
    TConvertCounts total;
    TRunResult result;
    std::vector<size_t> begun;
    std::vector<bool> busy;

    void Add(const std::string& name, const std::string& objects, const std::string& mid,
             bool swap = false) {
        TConvertSettings s;
        s.MifFile = dir / (name + ".mif");
        s.AttrIndex = 1;
        s.SwapXY = swap;
        WriteBytes(s.MifFile, kTable + objects);
        WriteBytes(dir / (name + ".mid"), mid);
        rows.push_back(RowFromSettings(s, "CHIBAN"));
    }
    bool Run(const std::string& out, const std::string& genba = "G") {
        TRunCallbacks cb;
        cb.BeginRow = [&](size_t i) { begun.push_back(i); };
        cb.MarkRow = [&](size_t, const TRunReport& r) {
            marks.push_back({r.Ok, r.Error.Text(TLanguage::English)});
            rowCounts.push_back(r.Counts);
        };
        cb.SetBusy = [&](bool b) { busy.push_back(b); };
        result = ConvertCombined(rows, out, genba, cb);
        total = result.Counts;
        return result.Written;
    }
};

std::string Between(const std::string& s, const std::string& from, const std::string& to) {
    const size_t a = s.find(from);
    const size_t b = s.find(to, a);
    return a == std::string::npos || b == std::string::npos ? "" : s.substr(a, b - a);
}

TEST(ConvertCombined, SharesPointsAndContinuesNumbers) {
    Rows r;
    r.Add("a", "Region 1\r\n 4\r\n0 0\r\n10 0\r\n10 10\r\n0 0\r\nLine 0 0 10 0\r\n",
          "a1\r\na2\r\n");
    r.Add("b", "Region 1\r\n 3\r\n10 0\r\n20 0\r\n10 10\r\n", "b1\r\n", /*swap=*/true);
    const std::string out = r.dir / "merged.sim";
    ASSERT_TRUE(r.Run(out));
    const std::string sim = ReadBytes(out);
    EXPECT_NE(sim.find("G00,02,G,\r\n"), std::string::npos);
    // The first row's swap switch (off) decides for the whole file.
    EXPECT_EQ(Between(sim, "A00,", "A99,"),
              "A00,\r\nA01,1,1,0,0,0,\r\nA01,2,2,10,0,0,\r\nA01,3,3,10,10,0,\r\n"
              "A01,4,4,20,0,0,\r\n");
    EXPECT_NE(sim.find("D00,1,a1,1,\r\nB01,1,1,\r\nB01,2,2,\r\nB01,3,3,\r\nD99,\r\n"
                       "D00,2,b1,1,\r\nB01,2,2,\r\nB01,4,4,\r\nB01,3,3,\r\nD99,\r\n"),
              std::string::npos);
    EXPECT_NE(sim.find("F00,1,a2,1,\r\nB01,1,1,\r\nB01,2,2,\r\nF99,\r\n"), std::string::npos);
    ASSERT_EQ(r.marks.size(), 2u);
    EXPECT_TRUE(r.marks[0].first && r.marks[1].first);
    EXPECT_EQ(r.begun, (std::vector<size_t>{0, 1}));
    EXPECT_EQ(r.busy, (std::vector<bool>{true, false}));
}

TEST(ConvertCombined, FailingRowContributesNothingAndTheRunGoesOn) {
    Rows r;
    r.Add("a", "Line 0 0 1 1\r\nLine 1 1 2 2\r\nLine 2 2 x 3\r\n", "l1\r\nl2\r\nl3\r\n");
    r.Add("gone", "Line 5 5 6 6\r\n", "g\r\n");
    std::filesystem::remove(r.dir / "gone.mid");
    r.Add("c", "Line 7 7 8 8\r\n", "c1\r\n");
    const std::string out = r.dir / "merged.sim";
    ASSERT_TRUE(r.Run(out));
    ASSERT_EQ(r.marks.size(), 3u);
    EXPECT_FALSE(r.marks[0].first);
    EXPECT_NE(r.marks[0].second.find("'x'"), std::string::npos);
    EXPECT_FALSE(r.marks[1].first);
    EXPECT_TRUE(r.marks[2].first);
    const std::string sim = ReadBytes(out);
    EXPECT_EQ(sim.find("l1"), std::string::npos);
    EXPECT_EQ(Between(sim, "A00,", "A99,"), "A00,\r\nA01,1,1,7,7,0,\r\nA01,2,2,8,8,0,\r\n");
    EXPECT_NE(sim.find("F00,1,c1,1,\r\nB01,1,1,\r\nB01,2,2,\r\nF99,\r\n"), std::string::npos);
    ASSERT_EQ(r.rowCounts.size(), 3u);
    EXPECT_EQ(r.rowCounts[0], TConvertCounts{});
    EXPECT_EQ(r.rowCounts[1], TConvertCounts{});
    EXPECT_EQ(r.rowCounts[2], (TConvertCounts{0, 1, 2, 0, 0}));
    EXPECT_EQ(r.total, (TConvertCounts{0, 1, 2, 0, 0}));
}

// An input large enough that its blocks, points and coordinate lines went
// through the writer threads and out of the buffers into the files before it
// failed: the merged file is byte for byte the merge of the good rows alone.
TEST(ConvertCombined, LargeRowFailingLateLeavesTheFileOfTheGoodRows) {
    auto objects = [](int from, int count) {
        std::string mif;
        for (int i = from; i < from + count; ++i) {
            const std::string a = std::to_string(i), b = std::to_string(i + 1);
            mif += "Region 1\r\n 4\r\n" + a + " 0\r\n" + b + " 0\r\n" + b + " 1\r\n" + a +
                   " 1.5\r\nPoint 3 3\r\nText \"t\"\r\n 0 0 1 1\r\nLine " + a + " 7 " + b +
                   " 8\r\n";
        }
        return mif;
    };
    auto mid = [](int count) {
        std::string rows;
        for (int i = 0; i < 4 * count; ++i)
            rows += "v" + std::to_string(i) + "\r\n";
        return rows;
    };
    Rows r;
    r.Add("good1", objects(0, 100), mid(100));
    // Shares the points of good1 and adds 60,000 of its own, then fails.
    r.Add("bad", objects(50, 15000) + "Line 1 2 3\r\n", mid(15001));
    r.Add("header", "", "");
    WriteBytes(r.dir / "header.mif", "Version 300\r\nColumns -2\r\nData\r\n");
    // Meets points the bad row added before it failed: they are new here.
    r.Add("good2", objects(90, 200), mid(200));
    const std::string out = r.dir / "merged.sim";
    ASSERT_TRUE(r.Run(out));
    ASSERT_EQ(r.marks.size(), 4u);
    EXPECT_FALSE(r.marks[1].first);
    EXPECT_FALSE(r.marks[2].first);
    EXPECT_TRUE(r.marks[0].first && r.marks[3].first);

    Rows good;
    good.rows = {r.rows[0], r.rows[3]};
    const std::string expected = r.dir / "expected.sim";
    ASSERT_TRUE(good.Run(expected));
    EXPECT_EQ(ReadBytes(out), ReadBytes(expected));
    EXPECT_EQ(r.total, good.total);
    EXPECT_EQ(r.total.Parcels, 300);
    EXPECT_EQ(r.total.SkippedTexts, 300);
}

// One position for tables of different widths: the row whose table has no
// such column fails before it writes anything; the others run.
TEST(ConvertCombined, RowWithAnAttributePastItsColumnsFails) {
    Rows r;
    r.Add("a", "Line 0 0 1 1\r\n", "a1\r\n");
    r.Add("b", "Line 5 5 6 6\r\n", "b1\r\n");
    r.rows[1].Caption = "2";
    ASSERT_TRUE(r.Run(r.dir / "merged.sim"));
    ASSERT_EQ(r.marks.size(), 2u);
    EXPECT_TRUE(r.marks[0].first);
    EXPECT_EQ(r.marks[1],
              std::make_pair(false, std::string("attribute column 2 is out of range: "
                                                "the table has columns 1 to 1 (1 CHIBAN)")));
    EXPECT_EQ(r.total, (TConvertCounts{0, 1, 2, 0, 0}));
}

TEST(ConvertCombined, CancelledRunStopsAfterTheRowAndLeavesTheOutputUntouched) {
    Rows r;
    r.Add("a", "Line 0 0 1 1\r\n", "a\r\n");
    r.Add("b", "Line 1 1 2 2\r\n", "b\r\n");
    const std::string out = r.dir / "merged.sim";
    WriteBytes(out, "old");
    TRunCallbacks cb;
    int marked = 0;
    cb.MarkRow = [&](size_t, const TRunReport&) { ++marked; };
    cb.Cancelled = [&] { return marked == 1; };
    const TRunResult result = ConvertCombined(r.rows, out, "G", cb);
    EXPECT_FALSE(result.Written);
    EXPECT_EQ(result.Failure, TRunFailure::Cancelled);
    EXPECT_EQ(marked, 1);
    EXPECT_EQ(ReadBytes(out), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(r.dir.path()),
                            std::filesystem::directory_iterator()),
              5);  // the two pairs and the old output
}

TEST(ConvertCombined, EveryRowFailingWritesNothingAndKeepsTheOldFile) {
    Rows r;
    r.Add("a", "Line 0 0 1 1\r\n", "\r\n");
    r.rows[0].SubItems[TBatchRow::MifFile] = r.dir / "missing.mif";
    r.Add("b", "Line 0 0 1 1\r\nLine 1 1 2\r\n", "\r\n");
    const std::string out = r.dir / "merged.sim";
    WriteBytes(out, "old");
    EXPECT_FALSE(r.Run(out, ""));
    EXPECT_EQ(r.result.Failure, TRunFailure::AllInputsFailed);
    EXPECT_EQ(r.result.Inputs[0].Failure, TRunFailure::Missing);
    EXPECT_EQ(r.result.Inputs[1].Failure, TRunFailure::Conversion);
    EXPECT_EQ(r.result.Inputs[1].Where.Line, 9);
    EXPECT_EQ(r.marks.size(), 2u);
    EXPECT_EQ(ReadBytes(out), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(r.dir.path()),
                            std::filesystem::directory_iterator()),
              5);  // the two pairs and the old output
    std::filesystem::remove(out);
    EXPECT_FALSE(r.Run(out, ""));
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(ConvertCombined, SameRowTwiceGetsNewNumbersButTheSamePoints) {
    Rows r;
    r.Add("a", "Rect 0 0 1 1\r\n", "r\r\n");
    r.rows.push_back(r.rows[0]);
    const std::string out = r.dir / "merged.sim";
    ASSERT_TRUE(r.Run(out));
    const std::string sim = ReadBytes(out);
    EXPECT_NE(sim.find("D00,2,r,1,\r\nB01,1,1,"), std::string::npos);
    EXPECT_EQ(sim.find("A01,5,"), std::string::npos);
}

TEST(ConvertCombined, EmptyOutputPathWritesNothing) {
    Rows r;
    r.Add("a", "Line 0 0 1 1\r\n", "\r\n");
    TRunCallbacks cb;
    cb.MarkRow = [&](size_t, const TRunReport&) { ADD_FAILURE() << "row marked"; };
    const TRunResult result = ConvertCombined(r.rows, "", "", cb);
    EXPECT_FALSE(result.Written);
    EXPECT_EQ(result.Failure, TRunFailure::NoDestination);
    EXPECT_EQ(result.Error.Id, TMsg::MergedFileNameEmpty);
}

TEST(ConvertCombined, OutputThatCannotBeCreatedTouchesNoRow) {
    Rows r;
    r.Add("a", "Line 0 0 1 1\r\n", "\r\n");
    EXPECT_FALSE(r.Run(r.dir / "missing/merged.sim"));
    EXPECT_EQ(r.result.Failure, TRunFailure::Open);
    EXPECT_EQ(r.result.Where.File, r.dir / "missing/merged.sim");
    EXPECT_TRUE(r.marks.empty());
    EXPECT_TRUE(r.busy.empty());
}

TEST(ConvertCombined, NeverOverwritesOneOfItsInputs) {
    Rows r;
    r.Add("a", "Line 0 0 1 1\r\n", "\r\n");
    r.Add("b", "Line 0 0 1 1\r\n", "\r\n");
    const std::string before = ReadBytes(r.dir / "b.mid");
    EXPECT_FALSE(r.Run(r.dir / "b.mid"));
    EXPECT_EQ(r.result.Failure, TRunFailure::Refused);
    EXPECT_EQ(r.result.Error.Id, TMsg::MergedOutputIsAnInput);
    ASSERT_EQ(r.marks.size(), 2u);
    EXPECT_TRUE(r.marks[0].first);
    EXPECT_FALSE(r.marks[1].first);
    EXPECT_EQ(ReadBytes(r.dir / "b.mid"), before);
}

TEST(ConvertCombined, EachInputsRowsMustMatchItsOwnObjects) {
    Rows r;
    r.Add("a", "Line 0 0 1 1\r\nLine 1 1 2 2\r\n", "a1\r\n");
    // Two lines of one quoted value are one row; a blank row ends the file.
    r.Add("b", "Line 2 2 3 3\r\n", "b1,\"x\r\ny\"\r\n\r\n");
    const std::string out = r.dir / "merged.sim";
    ASSERT_TRUE(r.Run(out));
    ASSERT_EQ(r.marks.size(), 2u);
    EXPECT_FALSE(r.marks[0].first);
    EXPECT_EQ(r.marks[0].second,
              "the MID file does not hold one row per object (MIF objects: 2, MID rows: 1)");
    EXPECT_TRUE(r.marks[1].first) << r.marks[1].second;
    EXPECT_NE(ReadBytes(out).find(",b1,1,\r\n"), std::string::npos);
}

}  // namespace
}  // namespace quorvex
