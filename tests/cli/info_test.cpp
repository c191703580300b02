// The command line's looking and quiet sides: --info, --info --json, -q, -h
// and --help in the user's language.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "test_util.h"

namespace quorvex {
namespace {

using test::TempDir;
using test::WriteBytes;
using Args = std::vector<std::string>;
using Env = std::vector<std::string>;

const Env kEnglish = {"LC_ALL=", "LC_MESSAGES=", "LANG=C"};
const Env kJapanese = {"LC_ALL=", "LC_MESSAGES=", "LANG=ja_JP.UTF-8"};

test::ProgramResult Cli(const Args& args, const Env& env = kEnglish) {
    return test::RunProgram(QUORVEX_CLI, args, env);
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Every one of `parts` stands in `text`; each missing one fails on its own.
void ExpectHasAll(const std::string& text, std::initializer_list<std::string> parts) {
    for (const std::string& part : parts)
        EXPECT_TRUE(Has(text, part)) << "missing: " << part << "\nin:\n" << text;
}

const std::string kExample = std::string(QUORVEX_EXAMPLES) + "/town.mif";

TEST(Info, DescribesTheExampleWithoutWritingAnything) {
    const auto r = Cli({"--info", kExample});
    ASSERT_EQ(r.status, 0) << r.out;
    // Regions, rectangles and ellipses become parcels; lines, polylines and
    // arcs routes; the point and the text nothing.
    ExpectHasAll(r.out, {"Character set: Neutral, Shift_JIS (code page 932)\n",
                         "Delimiter: \",\"\n", "Coordinate system: non-earth",
                         "Columns: 3\n  1  CHIBAN  Char(20)\n  2  YOTO  Char(10)\n"
                         "  3  MENSEKI  Float\n",
                         "Objects: 11\n", "  Region  3\n", "  Pline  2\n",
                         "Converted: parcels 6, routes 3, points ", "MID rows: 11\n",
                         "Extent: X -12510 .. -12349.5, Y -34012.75 .. -33925\n"});
    EXPECT_FALSE(Has(r.out, "warning")) << r.out;
    EXPECT_FALSE(test::Exists(std::string(QUORVEX_EXAMPLES) + "/town.sim"));

#ifndef _WIN32
    // In the terminal's encoding, which on Windows the test does not choose.
    const auto ja = Cli({"--info", kExample}, kJapanese);
    EXPECT_TRUE(Has(ja.out, "文字セット: Neutral")) << ja.out;
    EXPECT_TRUE(Has(ja.out, "変換結果: 画地 6、路線 3、座標 ")) << ja.out;
#endif
}

TEST(Info, JsonHoldsTheSameForScripts) {
    const auto r = Cli({"--info", "--json", kExample});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.substr(0, 2), "{\n");
    EXPECT_EQ(r.out.substr(r.out.size() - 2), "}\n");
    ExpectHasAll(r.out,
                 {"\"charset\": \"Neutral\"", "\"delimiter\": \",\"",
                  "{\"name\": \"CHIBAN\", \"type\": \"Char\", \"width\": 20}", "\"Region\": 3",
                  "\"objectCount\": 11,\n  \"parcels\": 6,\n  \"routes\": 3,", "\"midRows\": 11,",
                  "\"extent\": {\"minX\": -12510, ", "\"warnings\": []"});
}

// A Japanese table in code page 932 and one in UTF-8 show the same names in
// the terminal's encoding; a table in degrees and MID rows out of step are
// warned of.
TEST(Info, JapaneseAndUtf8TablesAndTheirWarnings) {
    TempDir dir;
    const std::string data =
        "Region 1\r\n 4\r\n139.7 35.6\r\n139.8 35.6\r\n139.8 35.7\r\n139.7 35.6\r\n"
        "Text\r\n  \"Region 1\"\r\n  139.7 35.6 139.8 35.7\r\n"
        "Collection 2\r\n  Line 139.7 35.6 139.8 35.7\r\n  Pline 2\r\n139.7 35.6\r\n139.8 35.6\r\n";
    const std::string sjis = dir / "sjis.mif";
    WriteBytes(sjis,
               "Version 300\r\nCharset \"WindowsJapanese\"\r\nDelimiter \",\"\r\n"
               "CoordSys Earth Projection 1, 104\r\nColumns 1\r\n  \x92\x6E\x94\xD4 Char(10)\r\n"
               "Data\r\n" +
                   data);
    WriteBytes(dir / "sjis.mid", "\"1\"\r\n\"2\"\r\n");  // three objects, two rows
    const std::string utf8 = dir / "utf8.mif";
    WriteBytes(
        utf8,
        "Version 300\r\nCharset \"UTF-8\"\r\nDelimiter \"\t\"\r\n"
        "CoordSys NonEarth Units \"m\"\r\nColumns 1\r\n  \xE5\x9C\xB0\xE7\x95\xAA Char(10)\r\n"
        "Data\r\n" +
            data);
    WriteBytes(dir / "utf8.mid", "1\r\n2\r\n3\r\n");

    auto r = Cli({"--info", sjis});
    ASSERT_EQ(r.status, 0) << r.out;
#ifndef _WIN32
    EXPECT_TRUE(Has(r.out, "  1  \xE5\x9C\xB0\xE7\x95\xAA  Char(10)\n")) << r.out;  // 地番
#endif
    // The text's string and the collection's parts are no objects of their own.
    ExpectHasAll(r.out,
                 {"Objects: 3\n  Region  1\n  Text  1\n  Collection  1\n",
                  "Converted: parcels 1, routes 2, ", "MID rows: 2\n",
                  "warning: the MID file does not hold one row per object (MIF objects: 3, MID "
                  "rows: 2)",
                  "warning: the coordinates are longitude and latitude in degrees"});

    r = Cli({"--info", "--json", utf8});
    ASSERT_EQ(r.status, 0) << r.out;
    ExpectHasAll(r.out, {"\"charsetMeaning\": \"UTF-8\"", "\"delimiter\": \"\\t\"",
                         "{\"name\": \"\xE5\x9C\xB0\xE7\x95\xAA\", \"type\": \"Char\"",
                         "\"midRows\": 3,", "\"warnings\": []"});
#ifndef _WIN32
    const auto columns = Cli({"--columns", utf8});
    EXPECT_EQ(columns.out, "\xE5\x9C\xB0\xE7\x95\xAA\n");
    EXPECT_EQ(Cli({"--columns", sjis}).out, columns.out);
#endif
}

TEST(Info, FailsClearlyAndTakesOneInput) {
    TempDir dir;
    auto r = Cli({"--info", dir / "none.mif"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.out, "none.mif")) << r.out;
    EXPECT_EQ(Cli({"--info"}).status, 2);
    EXPECT_EQ(Cli({"--info", kExample, kExample}).status, 2);
    EXPECT_EQ(Cli({"--info", "--columns", kExample}).status, 2);
    r = Cli({"--json", kExample});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Has(r.out, "--json goes with --info")) << r.out;
    // A table without its MID file is still described, and the lack told.
    const std::string mif = dir / "lonely.mif";
    WriteBytes(mif, "Version 300\r\nColumns 1\r\n  ID Integer\r\nData\r\nLine 0 0 1 1\r\n");
    r = Cli({"--info", mif});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(Has(r.out, "Objects: 1\n  Line  1\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "MID rows: (no MID file)\nwarning: ")) << r.out;
}

TEST(Quiet, HidesSuccessesNeverFailuresOrWarnings) {
    TempDir dir;
    auto r = Cli({"-q", "-v", kExample, dir / "a.sim"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(test::Exists(dir / "a.sim"));
    r = Cli({"--quiet", dir / "none.mif", dir / "b.sim"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.out, "failed ")) << r.out;
    const std::string lonLat = dir / "ll.mif";
    WriteBytes(lonLat,
               "Version 300\r\nCoordSys Earth Projection 1, 104\r\nColumns 1\r\n  ID Integer\r\n"
               "Data\r\nLine 139.7 35.6 139.8 35.7\r\n");
    WriteBytes(dir / "ll.mid", "1\r\n");
    r = Cli({"-q", lonLat, dir / "c.sim"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, 8), "warning ") << r.out;
}

TEST(Help, ShortFormAndTheUsersLanguage) {
    const auto english = Cli({"--help"});
    EXPECT_EQ(english.status, 0);
    EXPECT_EQ(Cli({"-h"}).out, english.out);
    EXPECT_TRUE(Has(english.out, "Usage: quorvex-convert")) << english.out;
    const auto japanese = Cli({"-h"}, kJapanese);
    EXPECT_EQ(japanese.status, 0);
#ifndef _WIN32
    EXPECT_TRUE(Has(japanese.out, "使い方: quorvex-convert")) << japanese.out;
    EXPECT_TRUE(Has(japanese.out, "  -q, --quiet       成功したジョブの行")) << japanese.out;
#endif
}

}  // namespace
}  // namespace quorvex
