// MID rows as MapInfo writes them and the values cut from them: rows that
// span lines inside quotes, code page 932 rows that are not well-formed, and
// the work a row with a bad byte costs.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "mif/mid_values.h"
#include "support/charset.h"
#include "support/errors.h"
#include "support/field.h"

namespace quorvex {
namespace {

TMidFormat Format(TCharsetKind kind, const std::string& name, char delimiter = ',') {
    TMidFormat f;
    f.Delimiter = delimiter;
    f.Charset.Kind = kind;
    f.Charset.Name = name;
    f.ColumnNames = {"A", "B", "C"};
    return f;
}

std::vector<std::pair<int64_t, std::string>> RowsOf(std::string_view text, char delimiter = ',',
                                                    TCharsetKind kind = TCharsetKind::Cp932) {
    TLineReader reader = TLineReader::FromText(text);
    TMidRows rows(reader, Format(kind, "", delimiter));
    std::vector<std::pair<int64_t, std::string>> out;
    std::string_view row;
    while (rows.Next(row))
        out.emplace_back(rows.FirstLine(), std::string(row));
    return out;
}

using Rows = std::vector<std::pair<int64_t, std::string>>;

TEST(MidRows, LineBreaksInsideQuotesBelongToTheField) {
    // As a MapInfo export with a multi-line value: the blank line is inside
    // the quotes, and each row is numbered by the line it starts on.
    EXPECT_EQ(RowsOf("\"NAME1\",\"MULTI\r\n\r\nLINE\",F\r\n\"NAME2\",\"MULTI\r\nLINE2\",F\r\n"),
              (Rows{{1, "\"NAME1\",\"MULTI\n\nLINE\",F"}, {4, "\"NAME2\",\"MULTI\nLINE2\",F"}}));
    // A doubled quote is a quote inside the field, also at a line's end.
    EXPECT_EQ(RowsOf("\"a\"\"\nb\",1\n\"c\"\"\"\n2\n"),
              (Rows{{1, "\"a\"\"\nb\",1"}, {3, "\"c\"\"\""}, {4, "2"}}));
    // A quote opens a field only at its start; elsewhere it is a character,
    // and without quotes a row is a line.
    EXPECT_EQ(RowsOf("ab\"c,1\nx \"y\nz\",2\n,\"\n\",3\n"),
              (Rows{{1, "ab\"c,1"}, {2, "x \"y\nz\",2"}, {4, ",\"\n\",3"}}));
    // Blank lines outside quotes are rows of their own.
    EXPECT_EQ(RowsOf("1\n\n3\n"), (Rows{{1, "1"}, {2, ""}, {3, "3"}}));
    // The tab delimiter does not count as a blank before a quote.
    EXPECT_EQ(RowsOf("a\t\"b\nc\"\n", '\t'), (Rows{{1, "a\t\"b\nc\""}}));
    // In code page 932 a character's second byte may be the delimiter (表 is
    // 95 5C), so no field starts after it; a lead byte before a quote, as
    // UTF-8 in a table labelled code page 932 has, takes nothing along.
    EXPECT_EQ(RowsOf("\x95\x5C\"a\nb\n", '\\'), (Rows{{1, "\x95\x5C\"a"}, {2, "b"}}));
    EXPECT_EQ(RowsOf("\x95\x5C\"a\nb\"\n", '\\', TCharsetKind::Utf8),
              (Rows{{1, "\x95\x5C\"a\nb\""}}));
    EXPECT_EQ(RowsOf("\"\xE5\x8D\x97\",1\nx\n"), (Rows{{1, "\"\xE5\x8D\x97\",1"}, {2, "x"}}));
    // A quote left open runs to the end of the file.
    EXPECT_EQ(RowsOf("1\n\"open\n2\n3"), (Rows{{1, "1"}, {2, "\"open\n2\n3"}}));
}

TEST(MidRows, RowsAsMapInfoWritesThemGiveBackTheirValues) {
    // Random tables of quoted values holding delimiters, quotes, line breaks
    // and double-byte characters whose second byte is a delimiter (ソ 83 5C,
    // ー 81 5B): each row read back is cut into the values written.
    const std::vector<std::string> pieces = {"a",  " ",        ",",        "\"",   "\n",      "\\",
                                             "\t", "\x83\x5C", "\x81\x7C", "\xB1", "\x95\x5C"};
    std::mt19937 random(18);
    for (const char delimiter : {',', '\\', '\t', '|'}) {
        for (int table = 0; table < 50; ++table) {
            std::vector<std::vector<std::string>> values(random() % 5);
            std::string text;
            for (auto& row : values) {
                row.resize(1 + random() % 4);
                for (size_t k = 0; k < row.size(); ++k) {
                    for (int n = random() % 6; n > 0; --n)
                        row[k] += pieces[random() % pieces.size()];
                    std::string quoted = "\"";
                    for (const char c : row[k])
                        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
                    text += (k ? std::string(1, delimiter) : "") + quoted + "\"";
                }
                text += "\n";
            }
            TLineReader reader = TLineReader::FromText(text);
            TMidRows rows(reader, Format(TCharsetKind::Cp932, "Neutral", delimiter));
            std::string_view row;
            for (const auto& written : values) {
                ASSERT_TRUE(rows.Next(row)) << text;
                for (size_t k = 0; k < written.size(); ++k)
                    EXPECT_EQ(GetDelimitedField(row, static_cast<int32_t>(k + 1), delimiter),
                              written[k])
                        << text;
            }
            EXPECT_FALSE(rows.Next(row)) << text;
        }
    }
}

TEST(MidRows, ByteOrderMarkOpeningTheFileIsSkipped) {
    EXPECT_EQ(RowsOf("\xEF\xBB\xBF\"a\",1\n\xEF\xBB\xBF\n"),
              (Rows{{1, "\"a\",1"}, {2, "\xEF\xBB\xBF"}}));
    EXPECT_EQ(RowsOf("\xEF\xBB"), (Rows{{1, "\xEF\xBB"}}));
}

TEST(MidRows, RowIsBoundedAsALineIs) {
    // An open quote must not gather the rest of a huge file into one row.
    const std::string line(size_t{1} << 20, 'x');
    std::string text = "ok\n\"";
    for (int i = 0; i < 17; ++i)
        text += line + "\n";
    TLineReader reader = TLineReader::FromText(text);
    TMidRows rows(reader, Format(TCharsetKind::Utf8, "UTF-8"));
    std::string_view row;
    ASSERT_TRUE(rows.Next(row));
    try {
        rows.Next(row);
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_NE(std::string(e.what()).find(":2: line longer than 16 MiB"), std::string::npos)
            << e.what();
    }
}

std::string ErrorOf(const TMidFormat& f, std::string_view row, int32_t column) {
    try {
        MidValue(f, row, 5, column);
    } catch (const ConversionError& e) {
        return e.what();
    }
    return "";
}

TEST(MidValue, ValueWithALineBreakIsRefused) {
    for (const TMidFormat& f :
         {Format(TCharsetKind::Cp932, "Neutral"), Format(TCharsetKind::Utf8, "UTF-8")}) {
        const std::string row = "\"one\nline\",\"two\"";
        EXPECT_EQ(ErrorOf(f, row, 1),
                  "MID row 5, column 1 \"A\": the value holds a line break, which a SIMA line "
                  "cannot hold");
        EXPECT_EQ(MidValue(f, row, 5, 2), "two");
    }
}

TEST(MidValue, Cp932RowsMustBeWellFormedUpToTheChosenField) {
    const TMidFormat f = Format(TCharsetKind::Cp932, "WindowsJapanese");
    // Kanji, half-width kana and user-defined characters at both ends of
    // their range pass as they are.
    EXPECT_EQ(MidValue(f, "\x93\x8C\x8B\x9E,\xB1\xB2,\xF0\x40\xF9\xFC", 5, 3), "\xF0\x40\xF9\xFC");
    // A lead byte before the delimiter would merge two columns.
    EXPECT_EQ(ErrorOf(f, "ab,c\x81,d,e", 3),
              "MID row 5, column 2 \"B\": byte 0x81 is not valid code page 932 (Shift_JIS)");
    // Only up to the end of the chosen field: a bad byte after it is no
    // value of this run.
    EXPECT_EQ(MidValue(f, "ab,c\x81,d,e", 5, 1), "ab");
    EXPECT_EQ(MidValue(f, "\"a\x82\xA0\",\x80", 5, 1), "a\x82\xA0");
    // Bytes that start no character, and a lead byte at the end.
    for (const std::string row :
         {"\x80", "\xA0", "\xFD", "\x82\x3F", "\x82\x7F", "\x82\xFD", "\x82"})
        EXPECT_NE(ErrorOf(f, row, 1).find("is not valid code page 932"), std::string::npos) << row;
    // A UTF-8 table labelled Neutral: 南 is E5 8D 97, so its 97 takes the
    // comma after it along.
    const std::string said = ErrorOf(f, "\xE5\x8D\x97,\xE5\x8C\x97", 2);
    EXPECT_NE(said.find("MID row 5, column 1 \"A\""), std::string::npos) << said;
    EXPECT_NE(said.find("looks like UTF-8"), std::string::npos) << said;
    EXPECT_NE(said.find("Charset \"UTF-8\""), std::string::npos) << said;
}

TEST(MidValue, BadByteAtTheEndOfAWideRowCostsOnePassEach) {
    // 100,000 fields and one bad byte in the last: the column is found by
    // walking the row once, not once per field.
    constexpr int kFields = 100000;
    std::string row;
    for (int i = 0; i < kFields - 1; ++i)
        row += "ab,";
    row += "\xFF";
    const TMidFormat utf8 = Format(TCharsetKind::Utf8, "UTF-8");
    const uint64_t decoded = BytesDecoded(), walked = FieldBytesWalked();
    EXPECT_EQ(ErrorOf(utf8, row, 1),
              "MID row 5, column 100000: byte 0xFF is not valid in the character set \"UTF-8\"");
    EXPECT_LE(BytesDecoded() - decoded, 2 * row.size());
    EXPECT_LE(FieldBytesWalked() - walked, 2 * row.size());

    const TMidFormat cp932 = Format(TCharsetKind::Cp932, "Neutral");
    const uint64_t before = FieldBytesWalked();
    EXPECT_EQ(ErrorOf(cp932, row, kFields),
              "MID row 5, column 100000: byte 0xFF is not valid code page 932 (Shift_JIS)");
    EXPECT_LE(FieldBytesWalked() - before, 3 * row.size());
}

}  // namespace
}  // namespace quorvex
