// The line reader that feeds every MIF and MID reader: line ends, lines that
// straddle or outgrow the read blocks, and reading a line twice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/errors.h"
#include "support/line_reader.h"
#include "test_util.h"

namespace quorvex {
namespace {

std::vector<std::string> AllLines(TLineReader& reader) {
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.ReadLine(line))
        lines.emplace_back(line);
    return lines;
}

std::vector<std::string> LinesOf(std::string_view text) {
    TLineReader reader = TLineReader::FromText(text);
    return AllLines(reader);
}

using Lines = std::vector<std::string>;

TEST(TLineReader, LineEnds) {
    EXPECT_EQ(LinesOf("a\nb\r\nc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(LinesOf("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(LinesOf("\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(LinesOf(""), Lines{});
    // A carriage return that ends no line is dropped, also at the very end.
    EXPECT_EQ(LinesOf("a\rb\nc\r"), (Lines{"ab", "c"}));
    EXPECT_EQ(LinesOf("\r"), (Lines{""}));
}

TEST(TLineReader, UnreadLineReturnsTheSameLineOnce) {
    TLineReader reader = TLineReader::FromText("first\r\nsecond\n");
    std::string_view line;
    ASSERT_TRUE(reader.ReadLine(line));
    reader.UnreadLine();
    EXPECT_EQ(reader.LineNumber(), 0);
    EXPECT_FALSE(reader.AtEnd());
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "first");
    EXPECT_EQ(reader.LineNumber(), 1);
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "second");
    EXPECT_EQ(reader.LineNumber(), 2);
    EXPECT_TRUE(reader.AtEnd());
    reader.UnreadLine();
    EXPECT_FALSE(reader.AtEnd());
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "second");
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_TRUE(TLineReader::FromText("").AtEnd());
}

TEST(TLineReader, MissingFileIsAFileError) {
    test::TempDir dir;
    EXPECT_THROW(TLineReader(dir / "missing.mif"), FileError);
}

// What the reader must return: the text cut at LF, every CR dropped, a last
// line without LF kept.
Lines Expected(const std::string& text) {
    Lines lines;
    std::string current;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(current);
            current.clear();
        } else if (c != '\r') {
            current.push_back(c);
        }
    }
    if (!text.empty() && text.back() != '\n') lines.push_back(current);
    return lines;
}

TEST(TLineReader, FileInSmallBlocksMatchesTheWholeText) {
    const std::string long1(100, 'L'), long2(9, 'M');
    const std::vector<std::string> texts = {
        "ab\r\ncd\r\nef\r\n",
        "abc\ndef\n\n\nghi",
        long1 + "\r\n" + long2 + "\nx\r\n" + long1,
        "\r\n\r\n" + long2 + "\r",
        "a\rb\rc\r\r\n" + long1 + "\r" + long2 + "\n",
        "1234\n5678\n",
        "123\r\n567\r\n9",
    };
    test::TempDir dir;
    const std::string path = dir / "lines.txt";
    for (const std::string& text : texts) {
        test::WriteBytes(path, text);
        for (size_t block = 1; block <= 9; ++block) {
            TLineReader reader(path, block);
            EXPECT_EQ(AllLines(reader), Expected(text)) << "block " << block << " text " << text;
            EXPECT_TRUE(reader.AtEnd());
        }
    }
}

// Line ends scattered at random, CRs alone, in pairs and before LF, read
// in blocks that leave old bytes behind the new ones: the lines still match.
TEST(TLineReader, RandomLineEndsInAnyBlockSizeMatchTheWholeText) {
    test::TempDir dir;
    const std::string path = dir / "random.txt";
    uint32_t state = 12345;
    const auto next = [&] { return (state = state * 1103515245u + 12345u) >> 16; };
    for (int round = 0; round < 40; ++round) {
        std::string text;
        const size_t size = next() % 3000;
        for (size_t i = 0; i < size; ++i) {
            const uint32_t r = next() % 16;
            text.push_back(r == 0   ? '\r'
                           : r == 1 ? '\n'
                           : r == 2 ? ' '
                                    : static_cast<char>('0' + r));
            if (r == 3) text += "\r\n";
        }
        test::WriteBytes(path, text);
        for (const size_t block : {size_t{1}, size_t{2}, size_t{7}, size_t{16}, size_t{17},
                                   size_t{33}, size_t{100}, size_t{1} << 20}) {
            TLineReader reader(path, block);
            ASSERT_EQ(AllLines(reader), Expected(text)) << "round " << round << " block " << block;
        }
        ASSERT_EQ(LinesOf(text), Expected(text)) << "round " << round;
    }
}

TEST(TLineReader, ByteOrderMarkIsSkippedOnlyWhereTheFileBegins) {
    test::TempDir dir;
    const std::string path = dir / "bom.txt";
    const std::vector<std::pair<std::string, Lines>> cases = {
        {"\xEF\xBB\xBF"
         "ab\ncd",
         {"ab", "cd"}},
        {"\xEF\xBB\xBF", {}},
        {"\xEF\xBB\xBF\xEF\xBB\xBF\n", {"\xEF\xBB\xBF"}},  // one mark only
        {"\xEF\xBBx\n", {"\xEF\xBBx"}},
        {"\xEF\xBB", {"\xEF\xBB"}},
        {"a\n\xEF\xBB\xBF"
         "b\n",
         {"a",
          "\xEF\xBB\xBF"
          "b"}},
    };
    for (const auto& [text, lines] : cases) {
        test::WriteBytes(path, text);
        for (size_t block : {1, 2, 3, 4, 4096}) {
            TLineReader reader(path, block);
            reader.SkipByteOrderMark();
            EXPECT_EQ(AllLines(reader), lines) << "block " << block << " text " << text;
        }
        TLineReader memory = TLineReader::FromText(text);
        memory.SkipByteOrderMark();
        EXPECT_EQ(AllLines(memory), lines) << text;
    }
    // Not once a line has been read.
    TLineReader reader = TLineReader::FromText("x\n\xEF\xBB\xBFy\n");
    std::string_view line;
    ASSERT_TRUE(reader.ReadLine(line));
    reader.SkipByteOrderMark();
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "\xEF\xBB\xBFy");
}

TEST(TLineReader, FileThatGrowsAfterOpeningIsReadWhole) {
    // The buffer is sized by the file at opening; what is appended later,
    // a line longer than that buffer among it, still comes whole.
    test::TempDir dir;
    const std::string path = dir / "growing.txt";
    test::WriteBytes(path, "first\n");
    TLineReader reader(path);
    const std::string longLine(50000, 'x');
    test::WriteBytes(path, "first\n" + longLine + "\r\nlast");
    EXPECT_EQ(AllLines(reader), (Lines{"first", longLine, "last"}));
}

TEST(TLineReader, UnreadLineSurvivesAFollowingAtEnd) {
    // The line just read fills the block exactly, so AtEnd has to read the
    // next block; the line must still come back whole.
    test::TempDir dir;
    const std::string path = dir / "blocks.txt";
    test::WriteBytes(path, "abc\ndef\nghi\n");
    for (size_t block : {4, 8}) {
        TLineReader reader(path, block);
        std::string_view line;
        ASSERT_TRUE(reader.ReadLine(line));
        EXPECT_FALSE(reader.AtEnd());
        reader.UnreadLine();
        ASSERT_TRUE(reader.ReadLine(line));
        EXPECT_EQ(line, "abc") << "block " << block;
        ASSERT_TRUE(reader.ReadLine(line));
        EXPECT_EQ(line, "def") << "block " << block;
    }
}

}  // namespace
}  // namespace quorvex
