// The MIF header and column block: where the header ends, which delimiter the
// MID rows use, and the column list that the attribute choice counts in.
#include <gtest/gtest.h>

#include "mif/mif_test_util.h"

#include <chrono>
#include <string>

#include "mif/uniMifUtils.h"
#include "support/errors.h"
#include "test_util.h"

namespace quorvex {
namespace {

using test::NextLine;

TEST(ReadMifHeader, CompleteHeaderStopsAfterTheLineThatCompletesIt) {
    TLineReader mif = TLineReader::FromText(
        "Version 300\r\nCharset \"WindowsJapanese\"\r\nDelimiter \",\"\r\n"
        "CoordSys NonEarth Units \"m\"\r\nTransform 1,1,0,0\r\nColumns 1\r\n");
    const TMifHeader header = ReadMifHeader(mif);
    EXPECT_TRUE(header.AllClauses);
    EXPECT_EQ(header.Delimiter, ',');
    EXPECT_EQ(NextLine(mif), "Transform 1,1,0,0");
}

TEST(ReadMifHeader, KeywordsIgnoreCaseAndBlankLinesAreSkipped) {
    TLineReader mif = TLineReader::FromText(
        "\r\nVERSION 300\r\n  \r\ncharset \"x\"\r\nUnique 1\r\nDELIMITER \";\"\r\ncoordsys "
        "Earth\r\nnext");
    const TMifHeader header = ReadMifHeader(mif);
    EXPECT_TRUE(header.AllClauses);
    EXPECT_EQ(header.Delimiter, ';');
    EXPECT_EQ(NextLine(mif), "next");
}

TEST(ReadMifHeader, ReportsTheLastCharsetClause) {
    TLineReader none = TLineReader::FromText("Version 300\r\nDelimiter \",\"\r\nColumns 1\r\n");
    EXPECT_FALSE(ReadMifHeader(none).Charset);
    TLineReader twice = TLineReader::FromText(
        "Version 300\r\nCharset \"Neutral\"\r\nCHARSET  \"UTF-8\"  \r\nColumns 1\r\n");
    EXPECT_EQ(ReadMifHeader(twice).Charset, "\"UTF-8\"");
}

TEST(ReadMifHeader, IncompleteHeaderStopsAtTheColumnsLine) {
    TLineReader mif = TLineReader::FromText(
        "Version 300\nCharset \"x\"\nCoordSys Earth\n\ncolumns 2\n  ID Integer\n  NAME "
        "Char(5)\nData\n");
    const TMifHeader header = ReadMifHeader(mif);
    EXPECT_FALSE(header.AllClauses);
    EXPECT_EQ(header.Delimiter, '\t');
    TSFColumns columns;
    EXPECT_EQ(ReadMifColumns(mif, columns), 2);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[1].Name, "NAME");
    EXPECT_EQ(NextLine(mif), "Data");
}

TEST(ReadMifHeader, ByteOrderMarkBelongsToNoClause) {
    // Editors put the mark before the first line whatever the text's set.
    TLineReader full = TLineReader::FromText(
        "\xEF\xBB\xBFVersion 300\nCharset \"Neutral\"\nDelimiter \";\"\nCoordSys Earth\nnext\n");
    EXPECT_TRUE(ReadMifHeader(full).AllClauses);
    EXPECT_EQ(NextLine(full), "next");
    TLineReader headless = TLineReader::FromText(
        "\xEF\xBB\xBF"
        "Columns 1\n  ID Integer\nData\n");
    ReadMifHeader(headless);
    TSFColumns columns;
    EXPECT_EQ(ReadMifColumns(headless, columns), 1);
    ASSERT_EQ(columns.size(), 1u);
    EXPECT_EQ(columns[0].Name, "ID");
}

TEST(ReadMifHeader, WithoutColumnsAnIncompleteHeaderConsumesTheFile) {
    // Version twice: the score passes 16 and never equals it.
    TLineReader twice = TLineReader::FromText(
        "Version 300\nVersion 300\nCharset \"x\"\nDelimiter \",\"\nCoordSys Earth\nData\n");
    EXPECT_FALSE(ReadMifHeader(twice).AllClauses);
    EXPECT_TRUE(twice.AtEnd());

    // A clause indented by a blank has an empty head and does not count.
    TLineReader indented = TLineReader::FromText(
        " Version 300\nCharset \"x\"\nDelimiter \",\"\nCoordSys Earth\nData\n");
    EXPECT_FALSE(ReadMifHeader(indented).AllClauses);
    TSFColumns columns;
    EXPECT_THROW(ReadMifColumns(indented, columns), ConversionError);
    EXPECT_TRUE(columns.empty());
}

TEST(ReadMifHeader, DelimiterClause) {
    auto delimiterOf = [](const std::string& clauses) {
        TLineReader mif = TLineReader::FromText(clauses + "Columns 0\n");
        return ReadMifHeader(mif).Delimiter;
    };
    EXPECT_EQ(delimiterOf("Version 300\nDelimiter \",\"\n"), ',');
    EXPECT_EQ(delimiterOf("Delimiter \"|\"\n"), '|');
    EXPECT_EQ(delimiterOf("Delimiter \"\\t\"\n"), '\t');
    EXPECT_EQ(delimiterOf("Delimiter \"\t\"\n"), '\t');
    EXPECT_EQ(delimiterOf("Delimiter \"\"\n"), '\t');
    EXPECT_EQ(delimiterOf("Delimiter \"\n"), '\t');
    EXPECT_EQ(delimiterOf("Delimiter\n"), '\t');
    EXPECT_EQ(delimiterOf("Version 300\n"), '\t');
    EXPECT_EQ(delimiterOf("Delimiter \";\"\nDelimiter \"|\"\n"), '|');
    EXPECT_EQ(delimiterOf("delimiter \"\\\"\n"), '\\');
}

TEST(ReadMifColumns, BlankLinesAreNotCounted) {
    TLineReader mif =
        TLineReader::FromText("Columns 3\n\nA Char(1)\n  \nB Char(2)\nC Char(3)\nData\n");
    TSFColumns columns;
    EXPECT_EQ(ReadMifColumns(mif, columns), 3);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0].Name, "A");
    EXPECT_EQ(columns[2].Name, "C");
    EXPECT_EQ(columns[2].Width, 3);
    EXPECT_EQ(NextLine(mif), "Data");
}

TEST(ReadMifColumns, KindsAndWidths) {
    TLineReader mif = TLineReader::FromText(
        "Columns 12\n  ID Integer\n  NAME Char(30)\n  AREA Decimal(10,2)\n  FLAG Logical\n"
        "W1 Char (20)\nW2 Char\nW3 char(x)\nS smallint\nF Float\nD DateTime\nT Time\n"
        "\x92\x6E\x94\xD4   Char(12)\nData\n");
    TSFColumns columns;
    ASSERT_EQ(ReadMifColumns(mif, columns), 12);
    ASSERT_EQ(columns.size(), 12u);
    struct Want {
        const char* name;
        TSFColumnKind kind;
        int32_t width;
    };
    using K = TSFColumnKind;
    const Want want[] = {
        {"ID", K::ckInteger, 11},  {"NAME", K::ckChar, 30}, {"AREA", K::ckFloat, 0},
        {"FLAG", K::ckLogical, 0}, {"W1", K::ckChar, 20},   {"W2", K::ckChar, 255},
        {"W3", K::ckChar, 255},    {"S", K::ckInteger, 11}, {"F", K::ckFloat, 0},
        {"D", K::ckDate, 0},       {"T", K::ckChar, 0},     {"\x92\x6E\x94\xD4", K::ckChar, 12}};
    for (size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(columns[i].Name, want[i].name) << i;
        EXPECT_EQ(columns[i].Kind, want[i].kind) << i;
        EXPECT_EQ(columns[i].Width, want[i].width) << i;
    }
}

TEST(ReadMifColumns, CountThatIsNoNumberGivesAnEmptyList) {
    TLineReader mif = TLineReader::FromText("Columns abc\nID Integer\n");
    TSFColumns columns(2);
    EXPECT_EQ(ReadMifColumns(mif, columns), 0);
    EXPECT_TRUE(columns.empty());
    EXPECT_EQ(NextLine(mif), "ID Integer");
}

// Without a Columns line the bytes are no MIF file: an error, as a negative
// count is, never a table without objects.
TEST(ReadMifColumns, MissingBlockIsAConversionError) {
    TLineReader mif = TLineReader::FromText("Data\nPoint 1 2\n");
    TSFColumns columns(1);
    columns[0].Name = "kept";
    try {
        ReadMifColumns(mif, columns);
        ADD_FAILURE() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_NE(std::string(e.what()).find("not a MIF file (no Columns line)"),
                  std::string::npos);
    }
    ASSERT_EQ(columns.size(), 1u);
    EXPECT_EQ(columns[0].Name, "kept");
}

// A count larger than the column lines before Data would take every object
// line for a column.
TEST(ReadMifColumns, DataEndsTheColumnList) {
    TLineReader mif =
        TLineReader::FromText("Columns 2147483647\n  ID Integer\n  data \nRegion 1\n");
    TSFColumns columns;
    EXPECT_THROW(ReadMifColumns(mif, columns), ConversionError);

    TLineReader exact = TLineReader::FromText("Columns 1\n  ID Integer\nData\nRegion 1\n");
    EXPECT_EQ(ReadMifColumns(exact, columns), 1);
    std::string_view next;
    ASSERT_TRUE(exact.ReadLine(next));
    EXPECT_EQ(next, "Data");
}

TEST(ReadMifColumns, HugeCountEndsWithTheFile) {
    TLineReader mif = TLineReader::FromText("Columns 2000000000\nA Integer\n\nB Char(4)\n");
    TSFColumns columns;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadMifColumns(mif, columns), 2000000000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[1].Name, "B");
}

TEST(ReadMifColumns, NegativeCountIsAConversionError) {
    TLineReader mif = TLineReader::FromText("Columns -1\nA Integer\n");
    TSFColumns columns;
    EXPECT_THROW(ReadMifColumns(mif, columns), ConversionError);
}

TEST(ReadMifTable, ReadsHeaderAndColumnsFromAFile) {
    test::TempDir dir;
    const std::string path = dir / "t.MIF";
    test::WriteBytes(path,
                     "Version 450\r\nCharset \"WindowsJapanese\"\r\nDelimiter \",\"\r\n"
                     "CoordSys NonEarth Units \"m\" Bounds (0, 0) (10, 10)\r\n"
                     "Columns 2\r\n  CHIBAN Char(20)\r\n  MENSEKI Float\r\nData\r\n\r\nNone\r\n");
    const TMifTable table = ReadMifTable(path);
    EXPECT_TRUE(table.Header.AllClauses);
    EXPECT_EQ(table.Header.Delimiter, ',');
    EXPECT_EQ(table.DeclaredColumns, 2);
    ASSERT_EQ(table.Columns.size(), 2u);
    EXPECT_EQ(table.Columns[0].Name, "CHIBAN");
    EXPECT_EQ(table.Columns[1].Kind, TSFColumnKind::ckFloat);
    EXPECT_THROW(ReadMifTable(dir / "missing.mif"), FileError);
}

}  // namespace
}  // namespace quorvex
