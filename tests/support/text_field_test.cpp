// Substring search, trimming and the field splitter: the byte-level rules
// that the MIF readers, the MID rows and the batch-list lines rely on.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/field.h"
#include "support/text.h"

namespace quorvex {
namespace {

TEST(PosFrom, StartPositionsOutsideTheText) {
    EXPECT_EQ(PosFrom(0, "a", "abc"), 1);
    EXPECT_EQ(PosFrom(-5, "c", "abc"), 3);
    EXPECT_EQ(PosFrom(4, "c", "abc"), 0);
    EXPECT_EQ(PosFrom(3, "c", "abc"), 3);
    EXPECT_EQ(PosFrom(1, "a", ""), 0);
}

TEST(PosFrom, FindsTheFirstOccurrenceAtOrAfterTheStart) {
    EXPECT_EQ(PosFrom(4, "ab", "xxabab"), 5);
    EXPECT_EQ(PosFrom(3, "ab", "xxabab"), 3);
    EXPECT_EQ(PosFrom(6, "ab", "xxabab"), 0);  // only half of it left
    EXPECT_EQ(PosFrom(1, "", "xxabab"), 0);
    EXPECT_EQ(PosFrom(1, "abc", "ab"), 0);
}

TEST(CountOccurrences, CountsWithoutOverlap) {
    EXPECT_EQ(CountOccurrences(1, "aa", "aaaa"), 2);
    EXPECT_EQ(CountOccurrences(1, "aa", "aaa"), 1);
    EXPECT_EQ(CountOccurrences(1, "  ", "x    y"), 2);
    EXPECT_EQ(CountOccurrences(1, "  ", "x   y"), 1);
    EXPECT_EQ(CountOccurrences(1, "", "aaaa"), 0);
    EXPECT_EQ(CountOccurrences(1, "a", ""), 0);
    EXPECT_EQ(CountOccurrences(3, "a", "aaaa"), 2);
    EXPECT_EQ(CountOccurrences(-2, "a", "aaaa"), 4);
    EXPECT_EQ(CountOccurrences(5, "a", "aaaa"), 0);
}

TEST(Trim, RemovesCodesZeroToThirtyTwoOnly) {
    using namespace std::string_literals;
    EXPECT_EQ(Trim("\0\t\r\n \x1F"
                   "ab c\x01 \0"s),
              "ab c");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim(""), "");
    // DEL and double-byte characters are text, not blanks.
    EXPECT_EQ(Trim("\x7F"
                   "a\x81\x40"),
              "\x7F"
              "a\x81\x40");
    EXPECT_TRUE(IsBlankLine(" \t\r"));
    EXPECT_FALSE(IsBlankLine(" .\t"));
}

TEST(HasControlCharacter, FindsLineBreaksEscapesAndDeleteButNotDoubleByteText) {
    using namespace std::string_literals;
    EXPECT_FALSE(HasControlCharacter("\x8C\xBB\x8F\xEA A-1 ~"));  // 現場, trail bytes >= 0x40
    EXPECT_TRUE(HasControlCharacter("S,\r\nA01"));
    EXPECT_TRUE(HasControlCharacter("a\x1B[31m"));
    EXPECT_TRUE(HasControlCharacter("a\x7F"));
    EXPECT_TRUE(HasControlCharacter("a\0b"s));
    EXPECT_TRUE(HasControlCharacter("\t"));
}

TEST(NormaliseLine, TrimsAndCollapsesBlankRuns) {
    EXPECT_EQ(NormaliseLine("  Pline    3 \t\r"), "Pline 3");
    EXPECT_EQ(NormaliseLine("Arc 0  0   11 11"), "Arc 0 0 11 11");
    EXPECT_EQ(NormaliseLine("a\t\tb"), "a\t\tb");
    EXPECT_EQ(NormaliseLine(""), "");
}

// Every field of a line, as the callers see them.
std::string Fields(std::string_view line, std::string_view sep, int count) {
    std::string r;
    for (int n = 1; n <= count; ++n)
        r.append("[").append(GetField(line, n, sep)).append("]");
    return r;
}

TEST(GetField, MidRowWithQuotedValue) {
    const std::string row = "10,\"Tokyo, Japan\",3.5";
    EXPECT_EQ(GetField(row, 1, ","), "10");
    EXPECT_EQ(GetField(row, 2, ","), "Tokyo, Japan");
    EXPECT_EQ(GetField(row, 3, ","), "3.5");
    EXPECT_EQ(GetField(row, 4, ","), "");
    EXPECT_EQ(GetField(row, 0, ","), "");
    EXPECT_EQ(GetField(row, -1, ","), "");
}

TEST(GetField, EmptyFieldsAroundCommas) {
    EXPECT_EQ(Fields("a,,c", ",", 4), "[a][][c][]");
    EXPECT_EQ(Fields("a,", ",", 2), "[a][]");
    EXPECT_EQ(Fields(",a", ",", 2), "[][a]");
    // A blank after the final comma: the comma is no longer last.
    EXPECT_EQ(GetField("a, ", 1, ","), "a");
    EXPECT_EQ(GetField("a, ", 2, ","), "");
    EXPECT_EQ(Fields(" ab cd , ef ", ",", 3), "[ab][cd][ef]");
}

TEST(GetField, QuotesAndBlankLines) {
    EXPECT_EQ(GetField("\"say \"\"hi\"\"\",x", 1, ","), "say \"hi\"");
    EXPECT_EQ(Fields("\"ab\"cd", ",", 2), "[ab][cd]");
    EXPECT_EQ(Fields("'a b'", ",", 2), "['a][b']");  // only the double quote quotes
    for (int n = -1; n <= 2; ++n) {
        EXPECT_EQ(GetField("", n, ","), "");
        EXPECT_EQ(GetField(" \t ", n, " "), "");
    }
}

TEST(GetField, BlankSeparatorMergesRuns) {
    EXPECT_EQ(Fields("ARC 1 2  3 4", " ", 6), "[ARC][1][2][3][4][]");
    EXPECT_EQ(Fields("\t a \t b\t", " ", 3), "[a][b][]");
    EXPECT_EQ(Fields("a \"\" b", " ", 3), "[a][][b]");
    EXPECT_EQ(Fields("1,2", " ", 2), "[1,2][]");
}

TEST(GetField, TabSeparatedJobLine) {
    std::string line;
    const char* values[] = {"C:\\in\\a b.mif", "out,1.sim", "NAME", "S 1", "", "x", "y", "z", "w"};
    for (const char* v : values)
        line += std::string(line.empty() ? "" : "\t") + "\"" + v + "\"";
    for (int n = 1; n <= 9; ++n)
        EXPECT_EQ(GetField(line, n, "\t"), values[n - 1]) << n;
    EXPECT_EQ(GetField(line, 10, "\t"), "");
}

TEST(GetField, DoubleByteCharactersAreSteppedOverWhole) {
    // 表 is 0x95 0x5C and ポ is 0x83 0x7C: their trail bytes are "\" and "|".
    EXPECT_EQ(Fields("\x95\x5C\\abc", "\\", 2), "[\x95\x5C][abc]");
    EXPECT_EQ(Fields("\x83\x7C\x83\x7C|\x95\x5C", "|", 3), "[\x83\x7C\x83\x7C][\x95\x5C][]");
    EXPECT_EQ(Fields("\"\x95\x5C,\x83\x7C\",z", ",", 2), "[\x95\x5C,\x83\x7C][z]");
    // Bytes from 128 up are text, not blanks.
    EXPECT_EQ(Fields("\xA0\xB1 \xDF", " ", 2), "[\xA0\xB1][\xDF]");
}

TEST(GetDelimitedField, TabSeparatorIsNotABlank) {
    // GetField takes the tab for a blank; the delimited splitter does not.
    EXPECT_EQ(Fields("\tfoo", "\t", 2), "[foo][]");
    EXPECT_EQ(GetDelimitedField("\tfoo", 1, '\t'), "");
    EXPECT_EQ(GetDelimitedField("\tfoo", 2, '\t'), "foo");
    EXPECT_EQ(GetDelimitedField("a\t\tb", 1, '\t'), "a");
    EXPECT_EQ(GetDelimitedField("a\t\tb", 2, '\t'), "");
    EXPECT_EQ(GetDelimitedField("a\t\tb", 3, '\t'), "b");
    EXPECT_EQ(GetDelimitedField("a\t\tb", 4, '\t'), "");
    EXPECT_EQ(GetDelimitedField("a\t", 2, '\t'), "");
    // Blanks other than the separator are still dropped around values.
    EXPECT_EQ(GetDelimitedField("  a \t b ", 1, '\t'), "a");
    EXPECT_EQ(GetDelimitedField("  a \t b ", 2, '\t'), "b");
    EXPECT_EQ(GetDelimitedField("\"x\ty\"\tz", 1, '\t'), "x\ty");
    EXPECT_EQ(GetDelimitedField("\"x\ty\"\tz", 2, '\t'), "z");
}

TEST(GetDelimitedField, OtherSeparatorsBehaveAsGetField) {
    for (const std::string row : {"10,\"Tokyo, Japan\",3.5", "a,,c", ",a", "a,", " ab cd , ef "}) {
        for (int n = 0; n <= 4; ++n)
            EXPECT_EQ(GetDelimitedField(row, n, ','), GetField(row, n, ","));
    }
    EXPECT_EQ(GetDelimitedField("\x95\x5C;b", 2, ';'), "b");
    EXPECT_EQ(GetDelimitedField("\x95\x5C\\b", 1, '\\'), "\x95\x5C");
}

TEST(DelimitedFieldEnd, WhereAFieldEndsAndWhichFieldHoldsAByte) {
    const std::string row = " a ,\"b,\"\"c\"  ,d";
    EXPECT_EQ(DelimitedFieldEnd(row, 0, ',', false), 0u);
    EXPECT_EQ(DelimitedFieldEnd(row, 1, ',', false), 2u);
    EXPECT_EQ(DelimitedFieldEnd(row, 2, ',', false), 11u);  // after the closing quote
    EXPECT_EQ(DelimitedFieldEnd(row, 3, ',', false), row.size());
    EXPECT_EQ(DelimitedFieldEnd(row, 9, ',', false), row.size());
    EXPECT_EQ(DelimitedFieldAt(row, 0, ',', false), 1);
    EXPECT_EQ(DelimitedFieldAt(row, 2, ',', false), 2);  // the blank after a counts to b
    EXPECT_EQ(DelimitedFieldAt(row, 6, ',', false), 2);  // the comma inside quotes
    EXPECT_EQ(DelimitedFieldAt(row, row.size() - 1, ',', false), 3);
    // A lead byte takes a delimiter that can be a trail byte (| is 7C) along
    // only when asked to; a comma (2C) it never takes.
    EXPECT_EQ(DelimitedFieldEnd("\x81|x|y", 1, '|', true), 3u);
    EXPECT_EQ(DelimitedFieldEnd("\x81|x|y", 1, '|', false), 1u);
    EXPECT_EQ(DelimitedFieldAt("\x81|x|y", 4, '|', true), 2);
    EXPECT_EQ(DelimitedFieldAt("\x81|x|y", 4, '|', false), 3);
    EXPECT_EQ(DelimitedFieldEnd("\x81,x,y", 1, ',', true), 1u);
    EXPECT_EQ(DelimitedFieldAt("\x81,x,y", 4, ',', true), 3);
    EXPECT_EQ(DelimitedFieldEnd("\"a\x9F\",x", 1, ',', true), 4u);
}

TEST(GetField, ALeadByteBeforeAByteThatIsNoTrailByteIsACharacterOfItsOwn) {
    // Lead bytes at both ends of their two ranges, alone before the closing
    // quote: the quote still closes the value.
    for (const std::string lead : {"\x81", "\x9F", "\xE0", "\xFC"}) {
        EXPECT_EQ(Fields("\"a" + lead + "\"\t\"b\"", "\t", 3), "[a" + lead + "][b][]") << lead;
        EXPECT_EQ(GetDelimitedField("\"" + lead + "\",b", 2, ','), "b") << lead;
        // Before a doubled quote, the pair still stands for one quote.
        EXPECT_EQ(GetField("\"" + lead + "\"\"x\"", 1, ","), lead + "\"x") << lead;
    }
    // Nor does a lead byte take a blank, a tab or the separator along.
    EXPECT_EQ(Fields("Arc\x81 1 2", " ", 3), "[Arc\x81][1][2]");
    EXPECT_EQ(Fields("a\x81\tb", "\t", 2), "[a\x81][b]");
    EXPECT_EQ(Fields("\x81,b", ",", 2), "[\x81][b]");
    // Trail bytes at both ends of their range, 40 and FC, are taken along,
    // also when they are the separator; 7F is none.
    EXPECT_EQ(Fields("\x81\x40@b", "@", 2), "[\x81\x40][b]");
    EXPECT_EQ(Fields("\"\x81\xFC\"", ",", 1), "[\x81\xFC]");
    EXPECT_EQ(Fields("\x81\x7F\x7F", "\x7F", 2), "[\x81][]");
}

TEST(GetField, QuotedValuesOfAnyBytesComeBackAsWritten) {
    // Values as a batch list or MapInfo writes them (quoted, inner quotes
    // doubled) of pieces that end in a lone lead byte, that are double-byte
    // characters whose second byte is a delimiter, or are delimiters: each
    // field read back is the value written, ends right after its closing
    // quote, and the row joiner agrees that no quote is left open.
    const std::vector<std::string> pieces = {"a",    "\"",   " ",    "\t",       ",",
                                             "\\",   "\x81", "\x9F", "\xE0",     "\xFC",
                                             "\x80", "\xA0", "\xFD", "\x81\x9B", "\x95\x5C"};
    std::mt19937 random(932);
    for (const char sep : {'\t', ',', '\\'}) {
        for (int line = 0; line < 300; ++line) {
            std::vector<std::string> values(1 + random() % 5);
            std::string text;
            std::vector<size_t> ends;
            for (std::string& v : values) {
                for (size_t k = random() % 5; k > 0; --k)
                    v += pieces[random() % pieces.size()];
                if (!text.empty()) text.push_back(sep);
                text.push_back('"');
                for (const char c : v)
                    text.append(c == '"' ? 2 : 1, c);
                text.push_back('"');
                ends.push_back(text.size());
            }
            for (size_t i = 0; i < values.size(); ++i) {
                const auto n = static_cast<int32_t>(i + 1);
                EXPECT_EQ(GetField(text, n, std::string(1, sep)), values[i]) << text;
                EXPECT_EQ(GetDelimitedField(text, n, sep), values[i]) << text;
                EXPECT_EQ(DelimitedFieldEnd(text, n, sep, true), ends[i]) << text;
            }
            EXPECT_FALSE(EndsInsideQuotes(text, sep, true, false)) << text;
        }
    }
}

TEST(EndsInsideQuotes, QuotesOpenOnlyWhereAFieldStarts) {
    EXPECT_TRUE(EndsInsideQuotes("a,\"b", ',', false, false));
    EXPECT_TRUE(EndsInsideQuotes("a, \"b\"\"", ',', false, false));
    EXPECT_FALSE(EndsInsideQuotes("a,\"b\"", ',', false, false));
    EXPECT_FALSE(EndsInsideQuotes("a,b\"c", ',', false, false));
    EXPECT_TRUE(EndsInsideQuotes("a b\"c d \"e", ',', false, false));  // a blank ends a field
    EXPECT_FALSE(EndsInsideQuotes("x\",y", ',', false, true));
    EXPECT_TRUE(EndsInsideQuotes("x\"\",y", ',', false, true));
    EXPECT_TRUE(EndsInsideQuotes("", ',', false, true));
    // A well-formed double-byte character is one, whose second byte may be
    // the separator; a lead byte never takes a quote along.
    EXPECT_FALSE(EndsInsideQuotes("a|\x81|\"b", '|', true, false));
    EXPECT_TRUE(EndsInsideQuotes("a|\x81|\"b", '|', false, false));
    EXPECT_FALSE(EndsInsideQuotes("\"\x81\"", ',', true, false));
    EXPECT_TRUE(EndsInsideQuotes("\"\x81\"\"", ',', true, false));
    // Quoted text is passed over whole: pairs, doubled quotes and
    // separators inside it change nothing; what follows is read as before.
    EXPECT_FALSE(EndsInsideQuotes("\"\x82\xA0|\x81\x7C\"\"x\"|\x81|\"b\"", '|', true, false));
    EXPECT_TRUE(EndsInsideQuotes("\"\x82\xA0\"\"|\x81\"\"", '|', true, false));
    EXPECT_TRUE(EndsInsideQuotes("\"a\"|\"\x88\x9F\x82", '|', true, false));
    EXPECT_FALSE(EndsInsideQuotes("\x88\x9F\"|b", '|', true, true));
    EXPECT_TRUE(EndsInsideQuotes("\"\"\x88", '|', true, true));
}

}  // namespace
}  // namespace quorvex
