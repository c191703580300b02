#include "engine/batch_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <new>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "test_util.h"

namespace quorvex {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// Code page 932 texts.
const std::string kOn = "\x81\x9B";   // ○
const std::string kOff = "\x81\x7E";  // ×
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
        EXPECT_EQ(a.Rows[i].Zone, b.Rows[i].Zone) << "row " << i;
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
        EXPECT_EQ(e.message.Text(TLanguage::Japanese), "不正なバッチリストです。");
    }
}

TEST(BatchListParse, RejectsShortFilesAndWrongHeaders) {
    ExpectMalformed("");
    ExpectMalformed("Quorvex\r\n200\r\n0\r\n\r\n");        // four lines
    ExpectMalformed("Quorvex\r\n200\r\n0\r\n\r");          // a lone CR ends line 4
    ExpectMalformed("Quorvex 2\r\n200\r\n0\r\n\r\n\r\n");  // text after the word
    ExpectMalformed("Quorvexx\r\n200\r\n0\r\n\r\n\r\n");
    ExpectMalformed("Quorvex\r\n2.00\r\n0\r\n\r\n\r\n");
    ExpectMalformed("Quorvex\r\n202\r\n0\r\n\r\n\r\n");
    ExpectMalformed("Quorvex\r\n20\r\n0\r\n\r\n\r\n");
    ExpectMalformed("200\r\nQuorvex\r\n0\r\n\r\n\r\n");
    // The header is checked before line 3.
    ExpectMalformed("Quorvex\r\n202\r\nyes\r\n\r\n\r\n");
}

// ---- Plane rectangular zones: a tenth field and the version 201 ----

std::string ZoneJobLine(const std::string& zoneField) {
    return "\"1\"\t\"a.mif\"\t\"a.sim\"\t\"\"\t\"\"\t\"" + kOn + "\"\t\"" + kOn + "\"\t\"" + kOn +
           "\"\t\"" + kOff + "\"" + zoneField + "\r\n";
}

TEST(BatchListZone, ZonedRowsWriteATenthFieldAndTheListSays201) {
    TBatchListFile list = SampleList();
    const std::string plain = FormatBatchList(list);
    list.Rows[1].Zone = 9;
    list.Rows[2].Zone = 19;
    const std::string zoned = FormatBatchList(list);
    EXPECT_EQ(zoned.substr(0, 14), "Quorvex\r\n201\r\n");
    // Rows without a zone keep their nine fields; the others gain one.
    std::string expected = plain;
    expected[11] = '1';
    const size_t row1 = expected.find("\r\n\"-1\"") + 2;
    expected.insert(expected.find("\r\n", row1), "\t\"9\"");
    expected.insert(expected.size() - 2, "\t\"19\"");
    EXPECT_EQ(zoned, expected);
    ExpectSameList(ParseBatchList(zoned), list);

    // Without zones the bytes stay those of a list that never had any.
    list.Rows[1].Zone = 0;
    list.Rows[2].Zone = 0;
    EXPECT_EQ(FormatBatchList(list), plain);
    EXPECT_EQ(plain.substr(0, 14), "Quorvex\r\n200\r\n");
}

TEST(BatchListZone, AZonedListRoundTripsThroughAFile) {
    TempDir dir;
    const std::string path = dir / "zones.txt";
    TBatchListFile list = SampleList();
    list.Rows[0].Zone = 1;
    list.Rows[1].Zone = 13;
    SaveBatchList(path, list);
    ExpectSameList(LoadBatchList(path), list);
    // The command line's reading, blank rows left out, keeps each row's zone.
    const TBatchListFile skipped = LoadBatchList(path, TBlankJobLines::Skip);
    ASSERT_EQ(skipped.Rows.size(), 3u);
    EXPECT_EQ(skipped.Rows[0].Zone, 1);
    EXPECT_EQ(skipped.Rows[1].Zone, 13);
    EXPECT_EQ(skipped.Rows[2].Zone, 0);
    EXPECT_EQ(skipped.RowLines[1], 7);
}

TEST(BatchListZone, AList201ReadsEveryZoneEmptyOrMissingFields) {
    std::string text = "Quorvex\r\n 201 \r\n0\r\n\r\n\r\n";
    for (int zone = 1; zone <= 19; ++zone)
        text += ZoneJobLine("\t\"" + std::to_string(zone) + "\"");
    text += ZoneJobLine("\t\"\"");
    text += ZoneJobLine("");
    text += "\r\n";
    const TBatchListFile list = ParseBatchList(text);
    ASSERT_EQ(list.Rows.size(), 22u);
    for (int zone = 1; zone <= 19; ++zone)
        EXPECT_EQ(list.Rows[size_t(zone - 1)].Zone, zone);
    EXPECT_EQ(list.Rows[19].Zone, 0);
    EXPECT_EQ(list.Rows[20].Zone, 0);
    EXPECT_EQ(list.Rows[21].Zone, 0);
    EXPECT_EQ(list.Rows[0].SubItems[TBatchRow::SimFile], "a.sim");
}

void ExpectZoneRefused(const std::string& version, const std::string& field,
                       BatchListError::Kind kind, const std::string& english) {
    const std::string text =
        "Quorvex\r\n" + version + "\r\n0\r\n\r\n\r\n" + ZoneJobLine("") + ZoneJobLine("\t" + field);
    try {
        ParseBatchList(text);
        ADD_FAILURE() << "accepted: " << field;
    } catch (const BatchListError& e) {
        EXPECT_EQ(e.kind, kind) << field;
        EXPECT_EQ(e.lineNumber, 7) << field;
        EXPECT_EQ(e.message.Text(TLanguage::English), english);
    }
}

TEST(BatchListZone, AList201RefusesAFieldThatIsNotAZoneNamingLineAndText) {
    for (const char* field : {"0", "20", "09", " 9", "9 ", "IX", "-1", "+9", "1x", "100"})
        ExpectZoneRefused("201", std::string("\"") + field + "\"", BatchListError::BadZone,
                          std::string("line 7: the plane rectangular zone '") + field +
                              "' is not one of 1 to 19 (empty for none)");
    try {
        ParseBatchList("Quorvex\r\n201\r\n0\r\n\r\n\r\n" + ZoneJobLine("\t\"\x91\xE6\"") + "");
        ADD_FAILURE();
    } catch (const BatchListError& e) {
        // Shown decoded: 第.
        EXPECT_EQ(e.message.Text(TLanguage::Japanese),
                  "6 行目: 平面直角座標系 '第' は正しくありません（1～19、指定なしは空欄）。");
    }
}

TEST(BatchListZone, AList200WithAZoneInTheTenthFieldIsRefusedOtherTextIgnored) {
    for (const char* field : {"\"9\"", "\" 19 \"", "\"009\"", "7"})
        ExpectZoneRefused(
            "200", field, BatchListError::ZoneInOldList,
            "line 7 holds plane rectangular zone '" +
                std::string(field[0] == '"' ? std::string(field).substr(1, std::strlen(field) - 2)
                                            : field) +
                "', but the list's second line is 200, a list without zones; a "
                "list with zones has 201 there");
    std::string text = kHeader;
    for (const char* field : {"\"\"", "\"0\"", "\"20\"", "\"note\"", "\"IX\""})
        text += ZoneJobLine(std::string("\t") + field);
    const TBatchListFile list = ParseBatchList(text);
    ASSERT_EQ(list.Rows.size(), 5u);
    for (const TBatchRow& row : list.Rows)
        EXPECT_EQ(row.Zone, 0);
    // Saved again, the ignored text is gone and the list stays a 200 list.
    EXPECT_EQ(FormatBatchList(list), kHeader + ZoneJobLine("") + ZoneJobLine("") + ZoneJobLine("") +
                                         ZoneJobLine("") + ZoneJobLine(""));
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
        EXPECT_EQ(e.message.Text(TLanguage::Japanese),
                  "'" + std::string(c.text) + "' は正しい論理型ではありません");
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

TEST(BatchListParse, ALongBooleanIsQuotedCutWithARealEllipsis) {
    // 90 bytes, the last 10 of them 地番 and more code page 932 text.
    const std::string line = std::string(80, 'x') + kChiban + kChiban + "\x82\xA0";
    try {
        ParseBatchList("Quorvex\r\n200\r\n" + line + "\r\n\r\n\r\n");
        ADD_FAILURE() << "accepted";
    } catch (const BatchListError& e) {
        EXPECT_EQ(e.line, line);
        EXPECT_EQ(e.message.Text(TLanguage::Japanese),
                  "'" + std::string(80, 'x') + "\u2026' は正しい論理型ではありません");
        EXPECT_EQ(e.message.Text(TLanguage::English),
                  "'" + std::string(80, 'x') + "\u2026' is not a valid boolean value");
    }
}

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

TEST(BatchListParse, AValueEndingInALoneLeadByteKeepsItsClosingQuoteAndSavesUnchanged) {
    // A lead byte before the closing quote forms no character (a quote is no
    // trail byte): the value keeps the byte, the fields after it stay in
    // place, and saving writes the same bytes back.
    for (const std::string lead : {"\x81", "\x9F", "\xE0", "\xFC"}) {
        const std::string bytes = kHeader + "\"1\"\t\"a" + lead + "\"\t\"b.sim\"\t\"\"\t\"" + lead +
                                  "\"\"" + lead + "\"\t\"" + kOn + "\"\t\"" + kOn + "\"\t\"" + kOn +
                                  "\"\t\"" + kOff + "\"\r\n";
        const TBatchListFile list = ParseBatchList(bytes);
        ASSERT_EQ(list.Rows.size(), 1u);
        EXPECT_EQ(list.Rows[0].Caption, "1");
        EXPECT_EQ(list.Rows[0].SubItems,
                  (std::array<std::string, 8>{"a" + lead, "b.sim", "", lead + "\"" + lead, kOn, kOn,
                                              kOn, kOff}));
        EXPECT_EQ(FormatBatchList(list), bytes);
    }
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

// ---- Lists an editor saved as UTF-8 ----

std::string JobLine(const std::vector<std::string>& values) {
    std::string line;
    for (size_t i = 0; i < values.size(); ++i)
        line += (i ? "\t\"" : "\"") + values[i] + "\"";
    return line + "\r\n";
}

const std::string kUtf8On = "\xE2\x97\x8B";                 // ○
const std::string kUtf8Off = "\xC3\x97";                    // ×
const std::string kUtf8Genba = "\xE6\x9D\xB1\xE4\xBA\xAC";  // 東京
const std::string kCp932Genba = "\x93\x8C\x8B\x9E";         // 東京
const std::string kUtf8Hyo = "\xE8\xA1\xA8\xE3\x82\xBD";    // 表ソ
const std::string kUtf8Yoshi = "\xF0\xA0\xAE\xB7";          // 𠮷, not in code page 932

TEST(BatchListUtf8, ABomOrValidUtf8WithHighBytesIsReadAsUtf8AndBecomesCodePage932) {
    const std::string body = "Quorvex\r\n200\r\n-1\r\n/d/" + kUtf8Hyo + ".sim\r\n" + kUtf8Genba +
                             "\r\n" +
                             JobLine({"2", "/d/" + kUtf8Hyo + ".mif", "a.sim", "", kUtf8Genba,
                                      kUtf8On, kUtf8Off, kUtf8On, kUtf8Off});
    for (const std::string& bytes : {body, "\xEF\xBB\xBF" + body}) {
        const TBatchListFile list = ParseBatchList(bytes);
        EXPECT_TRUE(list.Combine);
        EXPECT_EQ(list.CombineFile, "/d/" + kHyoSo + ".sim");
        EXPECT_EQ(list.CombineGenba, kCp932Genba);
        ASSERT_EQ(list.Rows.size(), 1u);
        EXPECT_EQ(list.Rows[0].SubItems,
                  (std::array<std::string, 8>{"/d/" + kHyoSo + ".mif", "a.sim", "", kCp932Genba,
                                              kOn, kOff, kOn, kOff}));
        // The switches are the real ones now: the row converts parcels.
        EXPECT_TRUE(SettingsFromRow(list.Rows[0]).Kakuchi);
    }
    // A byte-order mark before plain ASCII is dropped, not taken for text.
    EXPECT_FALSE(ParseBatchList("\xEF\xBB\xBF" + kHeader).Combine);
    // Code page 932 text is not UTF-8: kept as it is.
    ExpectSameList(ParseBatchList(FormatBatchList(SampleList())), SampleList());
}

TEST(BatchListUtf8, ALineCodePage932CannotHoldOrThatIsNotUtf8RefusesTheListNamingIt) {
    const std::string header = "Quorvex\r\n200\r\n0\r\n\r\n" + kUtf8Genba + "\r\n";
    const std::string good = JobLine({"1", "a.mif", "a.sim", "", "", kUtf8On, kUtf8On});
    auto expectRefused = [](const std::string& bytes, BatchListError::Kind kind, int32_t line,
                            const std::string& japanese) {
        try {
            ParseBatchList(bytes);
            ADD_FAILURE() << "accepted";
        } catch (const BatchListError& e) {
            EXPECT_EQ(e.kind, kind);
            EXPECT_EQ(e.lineNumber, line);
            EXPECT_EQ(e.message.Text(TLanguage::Japanese), japanese);
        }
    };
    expectRefused(header + good + JobLine({"1", kUtf8Yoshi + ".mif"}), BatchListError::NotCp932, 7,
                  "7 行目に Shift_JIS（コードページ932）で表せない文字が含まれています。");
    expectRefused("Quorvex\r\n200\r\n0\r\n" + kUtf8Yoshi + "\r\n\r\n", BatchListError::NotCp932, 4,
                  "4 行目に Shift_JIS（コードページ932）で表せない文字が含まれています。");
    // After a byte-order mark, code page 932 bytes are not UTF-8.
    expectRefused("\xEF\xBB\xBF" + header + good + JobLine({"1", "a.mif", "", "", kCp932Genba}),
                  BatchListError::NotUtf8, 7, "7 行目が正しい UTF-8 ではありません。");
}

// ---- Blank job lines and the number of lines ----

TEST(BatchListParse, BlankJobLinesAreKeptForTheWindowOrSkippedWithTheirLineNumbers) {
    const std::string bytes =
        kHeader + "\r\n \t\r\n" + JobLine({"1", "a.mif"}) + "\r" + JobLine({"2", "b.mif"});
    const TBatchListFile kept = ParseBatchList(bytes);
    ASSERT_EQ(kept.Rows.size(), 5u);
    EXPECT_EQ(kept.RowLines, (std::vector<int32_t>{6, 7, 8, 9, 10}));
    EXPECT_EQ(kept.Rows[1].SubItems, (std::array<std::string, 8>{}));
    const TBatchListFile skipped = ParseBatchList(bytes, TBlankJobLines::Skip);
    ASSERT_EQ(skipped.Rows.size(), 2u);
    EXPECT_EQ(skipped.Rows[1].SubItems[TBatchRow::MifFile], "b.mif");
    EXPECT_EQ(skipped.RowLines, (std::vector<int32_t>{8, 10}));
}

TEST(BatchListParse, MoreThanTheMostJobLinesIsMalformedBlankOnesCounting) {
    for (const char* eol : {"\r", "\n", "\r\n"}) {
        SCOPED_TRACE(eol[0] == '\r' ? (eol[1] ? "CR LF" : "CR") : "LF");
        std::string most = kHeader;
        for (int i = 0; i < kMaxBatchJobLines; ++i)
            most += eol;
        EXPECT_EQ(ParseBatchList(most).Rows.size(), size_t(kMaxBatchJobLines));
        EXPECT_TRUE(ParseBatchList(most, TBlankJobLines::Skip).Rows.empty());
        ExpectMalformed(most + "x");
        ExpectMalformed(most + eol);
        // A file says so before it is read to its end.
        TempDir dir;
        WriteBytes(dir / "list.txt", most + eol + std::string(1 << 20, 'x'));
        EXPECT_THROW(LoadBatchList(dir / "list.txt", TBlankJobLines::Skip), BatchListError);
        WriteBytes(dir / "list.txt", most + "x");
        EXPECT_THROW(LoadBatchList(dir / "list.txt"), BatchListError);
        WriteBytes(dir / "list.txt", most);
        EXPECT_EQ(LoadBatchList(dir / "list.txt").Rows.size(), size_t(kMaxBatchJobLines));
    }
}

#ifndef _WIN32

// The address space the process holds now, in bytes.
size_t AddressSpace() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    unsigned long pages = 0;
    if (f) {
        if (std::fscanf(f, "%lu", &pages) != 1) pages = 0;
        std::fclose(f);
    }
    return pages * static_cast<size_t>(::sysconf(_SC_PAGESIZE));
}

// Runs `f` in a child whose address space may grow by `extra` bytes; the
// child's exit status: 0 when `f` returned true, 3 when memory ran out.
int UnderMemoryLimit(size_t extra, const std::function<bool()>& f) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const rlimit limit{AddressSpace() + extra, AddressSpace() + extra};
        ::setrlimit(RLIMIT_AS, &limit);
        int code = 1;
        try {
            code = f() ? 0 : 2;
        } catch (const std::bad_alloc&) {
            code = 3;
        } catch (...) {
            code = 4;
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// 10 MB of bare line ends after the header: refused as malformed without
// building an index of ten million lines or a row for each.
TEST(BatchListParse, MillionsOfBlankLinesAreRefusedInLittleMemory) {
    if (test::kSanitized) GTEST_SKIP() << "memory bounds mean nothing under the sanitizers";
    const std::string bytes = kHeader + std::string(10 << 20, '\r');
    TempDir dir;
    WriteBytes(dir / "list.txt", bytes);
    const auto refused = [](const std::function<void()>& load) {
        try {
            load();
        } catch (const BatchListError& e) {
            return e.kind == BatchListError::Malformed;
        }
        return false;
    };
    constexpr size_t kExtra = 32 << 20;
    for (const TBlankJobLines blank : {TBlankJobLines::Keep, TBlankJobLines::Skip}) {
        EXPECT_EQ(UnderMemoryLimit(kExtra,
                                   [&] { return refused([&] { ParseBatchList(bytes, blank); }); }),
                  0);
        EXPECT_EQ(
            UnderMemoryLimit(
                kExtra, [&] { return refused([&] { LoadBatchList(dir / "list.txt", blank); }); }),
            0);
    }
}

#endif

}  // namespace
}  // namespace quorvex
