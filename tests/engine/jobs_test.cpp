// The jobs the command line and the window hand over: batch lists with the
// system's paths, per-file batch runs, columns by name, attribute positions
// and the results' typed failures.
#include "engine/jobs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_util.h"

namespace quorvex {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::string kTable =
    "Version 300\r\nCharset \"WindowsJapanese\"\r\nDelimiter \",\"\r\n"
    "CoordSys NonEarth Units \"m\"\r\nColumns 2\r\n  ID Integer\r\n  \x92\x6E\x94\xD4 Char(10)\r\n"
    "Data\r\n\r\nLine 0 0 1 1\r\n";  // the second column is 地番
const std::string kUtf8Table =
    "Version 300\r\nCharset \"UTF-8\"\r\nDelimiter \",\"\r\n"
    "CoordSys NonEarth Units \"m\"\r\nColumns 1\r\n  地番 Char(10)\r\nData\r\n";

TBatchRow RowFor(const std::string& mif, const std::string& sim) {
    TConvertSettings s;
    s.MifFile = mif;
    s.SimFile = sim;
    return RowFromSettings(s, {});
}

TEST(Captions, RunAndDropDownReadANonNumberDifferently) {
    for (const auto& [caption, run, choice] : std::vector<std::tuple<std::string, int, int>>{
             {"3", 3, 3}, {"-1", -1, -1}, {" 2", 2, 2}, {"x", 0, -1}, {"", 0, -1}, {"2x", 0, -1}}) {
        SCOPED_TRACE(caption);
        EXPECT_EQ(AttrIndexOfCaption(caption), run);
        EXPECT_EQ(AttrChoiceOfCaption(caption), choice);
    }
    // A row's settings take the run's reading.
    TBatchRow row;
    row.Caption = "one";
    EXPECT_EQ(SettingsFromRow(row).AttrIndex, 0);
}

TEST(Captions, ZoneNumbersRunFromOneToNineteen) {
    EXPECT_EQ(ZoneNumberOf("1"), 1);
    EXPECT_EQ(ZoneNumberOf("19"), 19);
    EXPECT_EQ(ZoneNumberOf("+9"), 9);
    for (const char* bad : {"0", "20", "-9", "IX", "", "9 1"})
        EXPECT_FALSE(ZoneNumberOf(bad)) << bad;
}

TEST(Jobs, AttributePositionsAndColumnsByName) {
    TempDir dir;
    const std::string mif = dir / "t.mif", utf8 = dir / "u.mif";
    WriteBytes(mif, kTable);
    WriteBytes(utf8, kUtf8Table);

    EXPECT_EQ(AttrPositionOf("2"), 2);
    EXPECT_EQ(AttrPositionOf("0"), 0);
    EXPECT_EQ(AttrPositionOf("-1"), -1);
    EXPECT_FALSE(AttrPositionOf("-2"));
    EXPECT_FALSE(AttrPositionOf("99999999999"));

    TMessage why;
    EXPECT_EQ(ColumnPositionOf(mif, "地番", why), 2);  // found by its code page 932 bytes
    EXPECT_EQ(ColumnPositionOf(mif, "ID", why), 1);
    EXPECT_EQ(ColumnPositionOf(utf8, "地番", why), 1);  // by the decoded name
    EXPECT_FALSE(ColumnPositionOf(mif, "none", why));
    EXPECT_EQ(why.Id, TMsg::NoSuchColumn);
    EXPECT_FALSE(ColumnPositionOf(dir / "missing.mif", "ID", why));
    EXPECT_NE(why.Id, TMsg::NoSuchColumn);

    EXPECT_FALSE(AttrPositionProblem("2", mif));
    EXPECT_FALSE(AttrPositionProblem("0", mif));
    EXPECT_EQ(AttrPositionProblem("3", mif)->Id, TMsg::AttrOutOfRange);
    EXPECT_EQ(AttrPositionProblem("99999999999", mif)->Id, TMsg::AttrOutOfRange);
    EXPECT_FALSE(AttrPositionProblem("3", dir / "missing.mif"));  // the run tells why

    const TTableColumns columns = ReadTableColumns(mif);
    EXPECT_TRUE(columns.Cp932);
    ASSERT_EQ(columns.Names.size(), 2u);
    EXPECT_EQ(columns.Names[1].Shown, "地番");
    EXPECT_EQ(columns.Names[1].Cp932, "\x92\x6E\x94\xD4");
    const TTableColumns other = ReadTableColumns(utf8);
    EXPECT_FALSE(other.Cp932);
    EXPECT_EQ(other.Names.at(0).Cp932, "\x92\x6E\x94\xD4");
}

TEST(Jobs, ListPathsBecomeTheSystemsAndNamesStayBytes) {
    TempDir dir;
    TBatchListFile list;
    list.CombineFile = "\x93\x8C.sim";  // 東
    TBatchRow row = RowFor("\x93\x8C.mif", "\x93\x8C.sim");
    row.SubItems[TBatchRow::Genba] = "\x93\x8C";
    list.Rows.push_back(row);
    SaveBatchList(dir / "list.txt", list);
    const TBatchListFile loaded = LoadJobList(dir / "list.txt");
    ASSERT_EQ(loaded.Rows.size(), 1u);
    EXPECT_EQ(loaded.Rows[0].SubItems[TBatchRow::MifFile], "東.mif");
    EXPECT_EQ(loaded.Rows[0].SubItems[TBatchRow::SimFile], "東.sim");
    EXPECT_EQ(loaded.Rows[0].SubItems[TBatchRow::Genba], "\x93\x8C");
    EXPECT_EQ(loaded.CombineFile, "\x93\x8C.sim");
}

struct Batch {
    TempDir dir;
    std::vector<TBatchRow> rows;
    std::vector<std::string> log;
    TRunCallbacks cb;
    Batch() {
        cb.BeginRow = [this](size_t i) { log.push_back("begin " + std::to_string(i)); };
        cb.MarkRow = [this](size_t i, const TRunReport& r) {
            log.push_back("mark " + std::to_string(i) + (r.Ok ? " ok" : " failed"));
        };
        cb.SetBusy = [this](bool busy) { log.push_back(busy ? "busy" : "idle"); };
    }
    void Add(const std::string& name, const std::string& sim) {
        const std::string mif = dir / (name + ".mif");
        WriteBytes(mif, kTable);
        WriteBytes(dir / (name + ".mid"), "1,a\r\n");
        rows.push_back(RowFor(mif, sim.empty() ? sim : dir / sim));
    }
};

TEST(Jobs, BatchRunTellsRefusedRowsFirstWhenAsked) {
    Batch b;
    b.Add("a", "a.sim");
    b.Add("b", "a.sim");  // the destination of the row before
    b.Add("c", "");
    b.rows.push_back(RowFor(b.dir / "missing.mif", b.dir / "m.sim"));
    b.cb.RefuseRow = [&](size_t i, const TRunReport& r) {
        EXPECT_EQ(r.Failure, TRunFailure::Refused);
        b.log.push_back("refuse " + std::to_string(i));
    };
    const std::vector<TRunResult> results = RunBatchJobs(b.rows, b.cb);
    EXPECT_EQ(b.log, (std::vector<std::string>{"busy", "refuse 1", "refuse 2", "begin 0",
                                               "mark 0 ok", "begin 3", "mark 3 failed", "idle"}));
    ASSERT_EQ(results.size(), 4u);
    EXPECT_TRUE(results[0].Ok());
    EXPECT_EQ(results[0].Counts.Routes, 1);
    EXPECT_EQ(results[1].Inputs[0].Error.Id, TMsg::BatchRowSameDestination);
    EXPECT_EQ(results[2].Inputs[0].Error.Id, TMsg::NoDestination);
    EXPECT_EQ(results[3].Failure, TRunFailure::Missing);
    EXPECT_EQ(results[3].Inputs[0].Input, b.dir / "missing.mif");
}

TEST(Jobs, BatchRunMarksRefusedRowsInTheirTurnAndStopsWhenCancelled) {
    Batch b;
    b.Add("a", "a.sim");
    b.Add("b", "a.sim");
    b.Add("c", "c.sim");
    b.cb.Cancelled = [&] { return b.log.back() == "mark 1 failed"; };
    const std::vector<TRunResult> results = RunBatchJobs(b.rows, b.cb);
    EXPECT_EQ(b.log, (std::vector<std::string>{"busy", "begin 0", "mark 0 ok", "begin 1",
                                               "mark 1 failed", "idle"}));
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[1].Failure, TRunFailure::Refused);
    EXPECT_FALSE(test::Exists(b.dir / "c.sim"));
}

TEST(Jobs, MergedRunReportsEachInputAndTheFile) {
    Batch b;
    b.Add("a", "");
    b.rows.push_back(RowFor(b.dir / "missing.mif", ""));
    b.Add("c", "");
    const TRunResult result = RunMergedJobs(b.rows, b.dir / "all.sim", "G", b.cb);
    EXPECT_TRUE(result.Written);
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.FailedInputs(), 1u);
    EXPECT_EQ(result.Output, b.dir / "all.sim");
    EXPECT_EQ(result.Counts.Routes, 2);
    ASSERT_EQ(result.Inputs.size(), 3u);
    EXPECT_EQ(result.Inputs[1].Failure, TRunFailure::Missing);
    EXPECT_EQ(result.Inputs[1].Error.Id, TMsg::MifNotFound);
    EXPECT_NE(ReadBytes(b.dir / "all.sim").find("G00,"), std::string::npos);
}

}  // namespace
}  // namespace quorvex
