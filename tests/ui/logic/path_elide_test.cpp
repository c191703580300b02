// Paths shortened to a cell: the file's name stays in sight at every width,
// and no character is ever cut in two.
#include "ui/logic/path_elide.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvex {
namespace {

// One unit per character; a lone byte that is not UTF-8 counts as one too.
int Characters(std::string_view text) {
    int n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

// Whether the bytes are whole UTF-8 characters (the texts under test are).
bool WholeCharacters(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

std::string Elide(std::string_view path, int width) {
    return ElidePath(path, width, Characters);
}

TEST(PathElide, FoldersGoFirstFromTheLeftWithEitherSeparator) {
    const std::string windows = "C:\\work\\survey\\out\\a.sim";
    EXPECT_EQ(Elide(windows, 100), windows);
    EXPECT_EQ(Elide(windows, Characters(windows)), windows);
    EXPECT_EQ(Elide(windows, 23), "…\\work\\survey\\out\\a.sim");
    EXPECT_EQ(Elide(windows, 22), "…\\survey\\out\\a.sim");
    EXPECT_EQ(Elide(windows, 12), "…\\out\\a.sim");
    EXPECT_EQ(Elide(windows, 10), "…\\a.sim");
    EXPECT_EQ(Elide(windows, 7), "…\\a.sim");
    EXPECT_EQ(Elide("/tmp/audit/output.mif", 18), "…/audit/output.mif");
    EXPECT_EQ(Elide("/tmp/audit/output.mif", 17), "…/output.mif");
    // Mixed separators stay as they were written.
    EXPECT_EQ(Elide("Z:\\tmp/audit\\x/town.mif", 16), "…\\x/town.mif");
    // Two rows of the same name from different folders still differ.
    EXPECT_NE(Elide("/data/north/town.mif", 16), Elide("/data/south/town.mif", 16));
}

TEST(PathElide, ANameTooLongLosesTheMiddleOfItsStemAndKeepsItsExtension) {
    const std::string path = "C:\\d\\town_of_kita_chiku_2024.sim";
    // The bare name when "…\" before it is one too many.
    EXPECT_EQ(Elide(path, 27), "town_of_kita_chiku_2024.sim");
    EXPECT_EQ(Elide(path, 12), "town…024.sim");
    EXPECT_EQ(Elide(path, 11), "tow…024.sim");
    EXPECT_EQ(Elide(path, 6), "t….sim");
    EXPECT_EQ(Elide(path, 5), "….sim");
    // Narrower than that, the shortest form, for the cell to clip.
    EXPECT_EQ(Elide(path, 2), "….sim");
    EXPECT_EQ(Elide(path, 0), "….sim");
    EXPECT_EQ(Elide(path, -5), "….sim");
    // A name without an extension, or one that only starts with a dot.
    EXPECT_EQ(Elide("/x/abcdefghij", 5), "ab…ij");
    EXPECT_EQ(Elide("/x/.abcdefghij", 5), ".a…ij");
    EXPECT_EQ(Elide("abcdefghij.mif", 9), "ab…ij.mif");
    EXPECT_EQ(Elide("abcdefghij.mif", 8), "ab…j.mif");
    // Nothing at all.
    EXPECT_EQ(Elide("", 0), "");
    EXPECT_EQ(Elide("/x/", 1), "…");
}

// Japanese names, measured as a face does (full-width twice as wide), at
// every width: whole characters, the extension kept, the text within the
// width whenever its shortest form is.
TEST(PathElide, MultibyteNamesAreCutBetweenCharactersAtEveryWidth) {
    const TTextWidth measure = [](std::string_view text) {
        int w = 0;
        for (unsigned char c : text)
            w += c < 0x80 ? 1 : (c & 0xC0) == 0xC0 ? 2 : 0;
        return w;
    };
    const std::string path = "/home/測量/北地区/調査結果一覧表_第２版.mif";
    const int full = measure(path);
    std::string previous;
    for (int width = 0; width <= full; ++width) {
        SCOPED_TRACE(width);
        const std::string shown = ElidePath(path, width, measure);
        EXPECT_TRUE(WholeCharacters(shown)) << shown;
        EXPECT_EQ(shown.substr(shown.size() - 4), ".mif") << shown;
        if (width >= measure("….mif")) {
            EXPECT_LE(measure(shown), width) << shown;
        }
        // A wider cell never shows less.
        EXPECT_GE(measure(shown), measure(previous)) << shown;
        previous = shown;
    }
    EXPECT_EQ(ElidePath(path, full, measure), path);
    EXPECT_EQ(ElidePath(path, full - 1, measure), "…/測量/北地区/調査結果一覧表_第２版.mif");
    EXPECT_EQ(ElidePath(path, 35, measure), "…/北地区/調査結果一覧表_第２版.mif");
    EXPECT_EQ(ElidePath(path, 34, measure), "…/調査結果一覧表_第２版.mif");
    EXPECT_EQ(ElidePath(path, 30, measure), "…/調査結果一覧表_第２版.mif");
    EXPECT_EQ(ElidePath(path, 16, measure), "調査結…２版.mif");
}

// Bytes that are not UTF-8 (a name in another code page) are cut only where
// a character could start, and never make the search run away.
TEST(PathElide, BytesThatAreNotUtf8AreKeptWhole) {
    const std::string name = "\x96\x6B\x92\x6E\x8B\xE6\xE2\x80.sim";
    const std::string path = "/d/" + name;
    int calls = 0;
    const TTextWidth bytes = [&](std::string_view text) {
        ++calls;
        return static_cast<int>(text.size());
    };
    std::vector<std::string> seen;
    for (int width = 0; width <= 15; ++width)
        seen.push_back(ElidePath(path, width, bytes));
    EXPECT_EQ(seen[15], path);
    EXPECT_EQ(seen[14], name);
    EXPECT_EQ(seen[12], name);
    // \xE2\x80 stays one character; the stray \x96 starts one of its own.
    EXPECT_EQ(seen[11], "\x96\xE2\x80\xA6\xE2\x80.sim");
    EXPECT_EQ(seen[7], "\xE2\x80\xA6.sim");
    EXPECT_LT(calls, 16 * 12);
}

}  // namespace
}  // namespace quorvex
