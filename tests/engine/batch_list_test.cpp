#include "engine/batch_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_util.h"

namespace quorvex {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// Code page 932 texts.
const std::string kMalformed =
    "\x95\x73\x90\xB3\x82\xC8\x83\x6F\x83\x62\x83\x60\x83\x8A\x83\x58\x83\x67\x82\xC5\x82\xB7"
    "\x81\x42";  // 不正なバッチリストです。
const std::string kNotBooleanTail =
    "\x27\x20\x82\xCD\x90\xB3\x82\xB5\x82\xA2\x98\x5F\x97\x9D\x8C\x5E\x82\xC5\x82\xCD\x82\xA0"
    "\x82\xE8\x82\xDC\x82\xB9\x82\xF1";  // ' は正しい論理型ではありません
const std::string kOn = "\x81\x9B";      // ○
const std::string kOff = "\x81\x7E";     // ×
const std::string kGenba =
    "\x93\x8C\x8B\x9E\x93\x73\x90\xE7\x91\xE3\x93\x63\x8B\xE6";  // 東京都千代田区
const std::string kChiban = "\x92\x6E\x94\xD4";                  // 地番
// 表 ends in the byte of the backslash, ソ too.
const std::string kHyoSo = "\x95\x5C\x83\x5C";

const std::string kHeader = "Quorvex\r\n200\r\n0\r\n\r\n\r\n";

TBatchRow Row(std::string caption, std::array<std::string, 8> items) {
    TBatchRow row;
    row.Caption = std::move(caption);
    row.SubItems = std::move(items);
    return row;
}

void ExpectSameList(const TBatchListFile& a, const TBatchListFile& b) {
    EXPECT_EQ(a.Combine, b.Combine);
    EXPECT_EQ(a.CombineFile, b.CombineFile);
    EXPECT_EQ(a.CombineGenba, b.CombineGenba);
    ASSERT_EQ(a.Rows.size(), b.Rows.size());
    for (size_t i = 0; i < a.Rows.size(); ++i) {
        EXPECT_EQ(a.Rows[i].Caption, b.Rows[i].Caption) << "row " << i;
        EXPECT_EQ(a.Rows[i].SubItems, b.Rows[i].SubItems) << "row " << i;
    }
}

TBatchListFile SampleList() {
    TBatchListFile list;
    list.Combine = true;
    list.CombineFile = "/data/" + kHyoSo + "/all.sim";
    list.CombineGenba = kGenba + " 2";
    list.Rows.push_back(
        Row("2", {"/data/a.mif", "/data/a.sim", kChiban, kGenba, kOn, kOff, kOn, kOff}));
    // A quote in the site name and in the attribute name, blanks and commas.
    list.Rows.push_back(Row("-1", {"/data/" + kHyoSo + ".mif", " b, c.sim ", "\"x\"",
                                   kGenba + "\"" + kChiban + "\"\"", kOff, kOn, kOff, kOn}));
    list.Rows.push_back(Row("", {}));
    return list;
}

TEST(BatchListFormat, WritesHeaderAndQuotedJobLinesWithCrLf) {
    TBatchListFile list;
    list.CombineFile = "out.sim";
    list.CombineGenba = kGenba;
    list.Rows.push_back(Row("0", {"a.mif", "a.sim", "", "say \"hi\"", kOn, kOff, kOn, kOff}));
    EXPECT_EQ(FormatBatchList(list),
              "Quorvex\r\n200\r\n0\r\nout.sim\r\n" + kGenba +
                  "\r\n"
                  "\"0\"\t\"a.mif\"\t\"a.sim\"\t\"\"\t\"say \"\"hi\"\"\"\t\"" +
                  kOn + "\"\t\"" + kOff + "\"\t\"" + kOn + "\"\t\"" + kOff + "\"\r\n");
    list.Combine = true;
    list.Rows.clear();
    EXPECT_EQ(FormatBatchList(list), "Quorvex\r\n200\r\n-1\r\nout.sim\r\n" + kGenba + "\r\n");
}

TEST(BatchListFile, RoundTripsThroughAFile) {
    TempDir dir;
    const std::string path = dir / "list.txt";
    const TBatchListFile list = SampleList();
    SaveBatchList(path, list);
    EXPECT_EQ(ReadBytes(path), FormatBatchList(list));
    ExpectSameList(LoadBatchList(path), list);
}

TEST(BatchListFile, SavingTwiceGivesIdenticalBytesAndReplacesTheWholeFile) {
    TempDir dir;
    const std::string path = dir / "list.txt";
    WriteBytes(path, std::string(10000, 'x'));
    SaveBatchList(path, SampleList());
    const std::string first = ReadBytes(path);
    EXPECT_EQ(first, FormatBatchList(SampleList()));
    SaveBatchList(path, SampleList());
    EXPECT_EQ(ReadBytes(path), first);
}

TEST(BatchListFile, SaveWritesWholeOrNothing) {
    TempDir dir;
    EXPECT_THROW(SaveBatchList(dir / "missing/list.txt", SampleList()), FileError);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

    // A name too long to take the temporary mark is still saved, and nothing
    // is left beside it.
    const std::string path = dir / std::string(250, 'n');
    WriteBytes(path, "old content\r\n");
    SaveBatchList(path, SampleList());
    EXPECT_EQ(ReadBytes(path), FormatBatchList(SampleList()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(BatchListFile, LoadFailsWithFileErrorForMissingFileOrFolder) {
    TempDir dir;
    EXPECT_THROW(LoadBatchList(dir / "none.txt"), FileError);
    EXPECT_THROW(LoadBatchList(dir.path().string()), FileError);
}

void ExpectMalformed(const std::string& bytes) {
    try {
        ParseBatchList(bytes);
        ADD_FAILURE() << "accepted: " << bytes;
    } catch (const BatchListError& e) {
        EXPECT_EQ(e.kind, BatchListError::Malformed);
        EXPECT_EQ(std::string(e.what()), kMalformed);
    }
}

TEST(BatchListParse, RejectsShortFilesAndWrongHeaders) {
    ExpectMalformed("");
    ExpectMalformed("Quorvex\r\n200\r\n0\r\n\r\n");        // four lines
    ExpectMalformed("Quorvex\r\n200\r\n0\r\n\r");          // a lone CR ends line 4
    ExpectMalformed("Quorvex 2\r\n200\r\n0\r\n\r\n\r\n");  // text after the word
    ExpectMalformed("Quorvexx\r\n200\r\n0\r\n\r\n\r\n");
    ExpectMalformed("Quorvex\r\n2.00\r\n0\r\n\r\n\r\n");
    ExpectMalformed("Quorvex\r\n201\r\n0\r\n\r\n\r\n");
    ExpectMalformed("200\r\nQuorvex\r\n0\r\n\r\n\r\n");
    // The header is checked before line 3.
    ExpectMalformed("Quorvex\r\n201\r\nyes\r\n\r\n\r\n");
}

TEST(BatchListParse, HeaderIgnoresCaseAndSurroundingBlanks) {
    const TBatchListFile list =
        ParseBatchList(" \tQUORVEX\x01 \r\n 200\t\r\n0\r\nall.sim\r\n" + kGenba + "\r\n");
    EXPECT_FALSE(list.Combine);
    EXPECT_EQ(list.CombineFile, "all.sim");
    EXPECT_EQ(list.CombineGenba, kGenba);
    EXPECT_TRUE(list.Rows.empty());
}

TEST(BatchListParse, CombineTextsAreKeptUnchanged) {
    const TBatchListFile list = ParseBatchList("Quorvex\r\n200\r\n0\r\n  a b \t\r\n\t\r\n");
    EXPECT_EQ(list.CombineFile, "  a b \t");
    EXPECT_EQ(list.CombineGenba, "\t");
}

struct BooleanCase {
    const char* text;
    int expected;  // 1 ticked, 0 clear, -1 refused
};

void PrintTo(const BooleanCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class BatchListBoolean : public testing::TestWithParam<BooleanCase> {};

TEST_P(BatchListBoolean, ReadsLineThree) {
    const BooleanCase c = GetParam();
    const std::string bytes = "Quorvex\r\n200\r\n" + std::string(c.text) + "\r\n\r\n\r\n";
    if (c.expected >= 0) {
        EXPECT_EQ(ParseBatchList(bytes).Combine, c.expected == 1);
        return;
    }
    try {
        ParseBatchList(bytes);
        ADD_FAILURE() << "accepted";
    } catch (const BatchListError& e) {
        EXPECT_EQ(e.kind, BatchListError::NotBoolean);
        EXPECT_EQ(e.line, c.text);
        EXPECT_EQ(std::string(e.what()), "'" + std::string(c.text) + kNotBooleanTail);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, BatchListBoolean,
    testing::Values(BooleanCase{"1", 1}, BooleanCase{"-1", 1}, BooleanCase{"5", 1},
                    BooleanCase{"TRUE", 1}, BooleanCase{"tRuE", 1}, BooleanCase{" 0 ", 0},
                    BooleanCase{"-0", 0}, BooleanCase{"0.0", 0}, BooleanCase{"0.5", 1},
                    BooleanCase{"false", 0}, BooleanCase{"FALSE", 0}, BooleanCase{"yes", -1},
                    BooleanCase{"", -1}, BooleanCase{"-", -1}, BooleanCase{"1 2", -1},
                    BooleanCase{" true", -1}, BooleanCase{"1x", -1}));

TEST(BatchListParse, EmptyJobLineGivesEmptyRowAndMissingFieldsAreEmpty) {
    const TBatchListFile list = ParseBatchList(kHeader +
                                               "\"1\"\t\"a.mif\"\r\n"
                                               "\r\n"
                                               "\"3\"\t\"b.mif\"\t\"b.sim\"\t\"\"\t\"" +
                                               kGenba + "\"\r\n");
    ASSERT_EQ(list.Rows.size(), 3u);
    EXPECT_EQ(list.Rows[0].Caption, "1");
    EXPECT_EQ(list.Rows[0].SubItems, (std::array<std::string, 8>{"a.mif"}));
    EXPECT_EQ(list.Rows[1].Caption, "");
    EXPECT_EQ(list.Rows[1].SubItems, (std::array<std::string, 8>{}));
    EXPECT_EQ(list.Rows[2].Caption, "3");
    EXPECT_EQ(list.Rows[2].SubItems, (std::array<std::string, 8>{"b.mif", "b.sim", "", kGenba}));
}

TEST(BatchListParse, ValuesAreNotValidated) {
    const TBatchListFile list =
        ParseBatchList(kHeader + "\"abc\"\t\"\"\t\"\"\t\"\"\t\"\"\t\"on\"\t\"1\"\t\"\"\t\"" + kOn +
                       "\"\t\"extra\"\r\n");
    ASSERT_EQ(list.Rows.size(), 1u);
    EXPECT_EQ(list.Rows[0].Caption, "abc");
    EXPECT_EQ(list.Rows[0].SubItems[TBatchRow::Kakuchi], "on");
    EXPECT_EQ(list.Rows[0].SubItems[TBatchRow::Rosen], "1");
    EXPECT_EQ(list.Rows[0].SubItems[TBatchRow::CloseParcel], kOn);
}

TEST(BatchListParse, AcceptsCrOnlyLfOnlyAndMissingFinalLineEnd) {
    const TBatchListFile expected = ParseBatchList(FormatBatchList(SampleList()));
    ExpectSameList(expected, SampleList());
    for (const char* eol : {"\r", "\n"}) {
        std::string bytes = FormatBatchList(SampleList());
        std::string converted;
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes.compare(i, 2, "\r\n") == 0) {
                converted += eol;
                ++i;
            } else {
                converted += bytes[i];
            }
        }
        SCOPED_TRACE(eol[0] == '\r' ? "CR" : "LF");
        ExpectSameList(ParseBatchList(converted), expected);
        converted.pop_back();  // no line end after the last line
        ExpectSameList(ParseBatchList(converted), expected);
    }
}

TEST(BatchListParse, LineEndsAfterTheLastLineCountOnce) {
    EXPECT_TRUE(ParseBatchList(kHeader).Rows.empty());
    EXPECT_EQ(ParseBatchList(kHeader + "\r\n").Rows.size(), 1u);
    // CR CR LF is a line end followed by an empty line.
    EXPECT_EQ(ParseBatchList(kHeader + "\"1\"\r\r\n").Rows.size(), 2u);
    EXPECT_EQ(ParseBatchList(kHeader + "\"1\"\n\r").Rows.size(), 2u);
}

}  // namespace
}  // namespace quorvex
