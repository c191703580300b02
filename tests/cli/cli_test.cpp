// The command line, run as a user runs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "engine/batch_list.h"
#include "engine/convert.h"
#include "support/cp932.h"
#include "support/paths.h"
#include "test_util.h"

#ifdef _WIN32
#include "support/win32_text.h"
#endif

namespace quorvex {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

using Args = std::vector<std::string>;

// In an English locale unless `env` says otherwise.
test::ProgramResult Cli(const Args& args, const std::vector<std::string>& env = {
                                              "LC_ALL=", "LC_MESSAGES=", "LANG=C"}) {
    return test::RunProgram(QUORVEX_CLI, args, env);
}

const std::string kMif =
    "Version 300\r\nCharset \"Neutral\"\r\nDelimiter \",\"\r\nCoordSys NonEarth Units \"m\"\r\n"
    "Columns 2\r\n  ID Integer\r\n  \x92\x6E\x94\xD4 Char(10)\r\nData\r\n"  // 地番
    "Region 1\r\n 4\r\n0 0\r\n10 0\r\n10 10\r\n0 0\r\nLine 0 0 10 0\r\n";
const std::string kMid = "1,\"12-4\"\r\n2,\"R1\"\r\n";

struct Pair {
    TempDir dir;
    std::string mif = dir / "town.mif";
    Pair() {
        WriteBytes(mif, kMif);
        WriteBytes(dir / "town.mid", kMid);
    }
};

TEST(CommandLine, HelpVersionAndUsageErrors) {
    EXPECT_EQ(Cli({"--help"}).status, 0);
    const auto v = Cli({"--version"});
    EXPECT_EQ(v.status, 0);
    EXPECT_NE(v.out.find("2.0.0.77"), std::string::npos);
    EXPECT_EQ(Cli({}).status, 2);
    EXPECT_EQ(Cli({"--frobnicate", "x.mif"}).status, 2);
    EXPECT_EQ(Cli({"--no-parcels", "--no-routes", "x.mif"}).status, 2);
    EXPECT_EQ(Cli({"--combine"}).status, 2);
    EXPECT_EQ(Cli({"a.mif", "b.sim", "c.sim"}).status, 2);
    EXPECT_EQ(Cli({"--genba", "caf\xC3\xA9", "x.mif"}).status, 2);  // é: not in cp932
}

TEST(CommandLine, ConvertsBesideTheInputByDefault) {
    Pair p;
    const auto r = Cli({p.mif});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("ok "), std::string::npos);
    EXPECT_TRUE(test::Exists(p.dir / "town.sim"));
}

TEST(CommandLine, SameBytesAsTheEngineWithTheSameSettings) {
    Pair p;
    // 北地区 typed as UTF-8 arrives as code page 932 bytes.
    const auto r = Cli({"--attr=2", "--genba", "\xE5\x8C\x97\xE5\x9C\xB0\xE5\x8C\xBA", "--no-swap",
                        "--close", p.mif, p.dir / "cli.sim"});
    ASSERT_EQ(r.status, 0) << r.out;
    TConvertSettings s;
    s.MifFile = p.mif;
    s.SimFile = p.dir / "engine.sim";
    s.AttrIndex = 2;
    s.Genba = "\x96\x6B\x92\x6E\x8B\xE6";
    s.SwapXY = false;
    s.CloseParcel = true;
    ASSERT_TRUE(ConvertFile(s));
    const std::string cli = ReadBytes(p.dir / "cli.sim");
    EXPECT_EQ(cli, ReadBytes(s.SimFile));
    EXPECT_NE(cli.find("G00,02,\x96\x6B\x92\x6E\x8B\xE6,\r\n"), std::string::npos);
    EXPECT_NE(cli.find("D00,1,12-4,1,"), std::string::npos);
}

TEST(CommandLine, AttributeByName) {
    Pair p;
    // The name is matched in code page 932: 地番.
    auto r = Cli({"--attr", "\xE5\x9C\xB0\xE7\x95\xAA", p.mif, p.dir / "a.sim"});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(ReadBytes(p.dir / "a.sim").find("F00,1,R1,1,"), std::string::npos);
    r = Cli({"--attr", "NOPE", p.mif, p.dir / "b.sim"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("NOPE"), std::string::npos);
    EXPECT_FALSE(test::Exists(p.dir / "b.sim"));
}

TEST(CommandLine, FailedJobsReportTheirReason) {
    Pair p;
    std::filesystem::remove(NativePath(p.dir / "town.mid"));
    const auto r = Cli({p.mif});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("failed"), std::string::npos);
    EXPECT_NE(r.out.find("MID"), std::string::npos);
    EXPECT_EQ(Cli({p.dir / "x.mif", p.dir / "no/dir/x.sim"}).status, 1);
}

TEST(CommandLine, CombineMergesAllInputs) {
    Pair a, b;
    const std::string out = a.dir / "merged.sim";
    const auto r = Cli({"--combine", out, "--attr", "1", a.mif, b.mif});
    ASSERT_EQ(r.status, 0) << r.out;
    const std::string sim = ReadBytes(out);
    EXPECT_NE(sim.find("D00,2,1,1,\r\nB01,1,1,"), std::string::npos);  // same points again
    EXPECT_EQ(sim.find("A01,4,"), std::string::npos);
}

TEST(CommandLine, MergedFileIsWrittenWithoutTheFailedInputsOrNotAtAll) {
    Pair p;
    const std::string bad = p.dir / "bad.mif";
    WriteBytes(bad, ReadBytes(p.mif) + "Line 0 0 x 1\r\n");
    WriteBytes(p.dir / "bad.mid", ReadBytes(p.dir / "town.mid") + "x\r\n");
    const std::string gone = p.dir / "gone.mif";
    const std::string merged = p.dir / "merged.sim", alone = p.dir / "alone.sim";
    auto r = Cli({"--combine", merged, bad, p.mif, gone});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.substr(r.out.find("\nok " + p.mif)),
              "\nok " + p.mif + "\nfailed " + gone + ": MIF file not found: " + gone + "\nok " +
                  merged + " (without 2 failed inputs)\n");
    EXPECT_EQ(r.out.rfind("failed " + bad + ": " + bad + ":", 0), 0u) << r.out;
    // Nothing of the failed inputs is in the file.
    ASSERT_EQ(Cli({"--combine", alone, p.mif}).status, 0);
    EXPECT_EQ(ReadBytes(merged), ReadBytes(alone));

    // Every input failing writes nothing and keeps the old file.
    r = Cli({"--combine", merged, bad, gone});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\nfailed " + merged + ": every input failed; nothing was written\n"),
              std::string::npos);
    EXPECT_EQ(ReadBytes(merged), ReadBytes(alone));
    r = Cli({"--combine", "-", bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.find("A00,"), std::string::npos);
}

TEST(CommandLine, BatchListRunsEachRowOrMergesThem) {
    Pair p;
    TBatchListFile list;
    for (const char* name : {"one.sim", "two.sim"}) {
        TConvertSettings s;
        s.MifFile = p.mif;
        s.SimFile = p.dir / name;
        s.AttrIndex = 2;
        list.Rows.push_back(RowFromSettings(s, "\x92\x6E\x94\xD4"));
    }
    list.Rows[1].SubItems[TBatchRow::MifFile] = p.dir / "missing.mif";
    const std::string listPath = p.dir / "list.txt";
    SaveBatchList(listPath, list);
    auto r = Cli({"--batch", listPath});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(test::Exists(p.dir / "one.sim"));
    EXPECT_FALSE(test::Exists(p.dir / "two.sim"));

    list.Rows.pop_back();
    list.Combine = true;
    list.CombineFile = p.dir / "merged.sim";
    list.CombineGenba = "\x96\x6B";
    SaveBatchList(listPath, list);
    r = Cli({"--batch", listPath});
    ASSERT_EQ(r.status, 0) << r.out;
    ASSERT_TRUE(ConvertCombined(list.Rows, p.dir / "engine.sim", "\x96\x6B").Written);
    EXPECT_EQ(ReadBytes(p.dir / "merged.sim"), ReadBytes(p.dir / "engine.sim"));

    WriteBytes(listPath, "not a list\r\n");
    EXPECT_EQ(Cli({"--batch", listPath}).status, 1);
}

// A per-file batch run checks its rows together before it converts any: a row
// that would overwrite another row's input or output, write to "-", convert
// nothing or forge header lines is refused and leaves its file alone; the
// others run. Blank lines are no rows; a row without a SIMA file is named by
// its line.
TEST(CommandLine, BatchRowsThatWouldDestroyFilesOrCannotRunAreRefusedBeforeAnyRuns) {
    Pair p, q;
    const std::string out = p.dir / "out.sim";
    const std::string six = p.dir / "six.sim";
    WriteBytes(six, "old");
    auto row = [](const std::string& mif, const std::string& sim) {
        TConvertSettings s;
        s.MifFile = mif;
        s.SimFile = sim;
        s.AttrIndex = 2;
        return RowFromSettings(s, "");
    };
    TBatchListFile list;
    list.Rows = {row(p.mif, out),
                 row(q.mif, out),                                    // an earlier row's file
                 row(q.mif, p.dir / "town.mid"),                     // the MID file of row 1
                 row(p.mif, q.dir / "." + kPathDelim + "town.mif"),  // row 2's MIF, spelt anew
                 row(p.mif, "-"),
                 row(p.mif, six),
                 row(p.mif, p.dir / "seven.sim"),
                 row("", "")};
    list.Rows[5].SubItems[TBatchRow::Kakuchi] = list.Rows[5].SubItems[TBatchRow::Rosen] =
        std::string(SwitchText(false));
    // A line end would end the job line; a tab inside the quotes stays.
    list.Rows[6].SubItems[TBatchRow::Genba] = "S,\tA01,999";
    std::string bytes = FormatBatchList(list);
    // Blank lines before the last row: line 14, not 13.
    bytes.insert(bytes.rfind("\r\n", bytes.size() - 3) + 2, "\r\n");
    const std::string listPath = p.dir / "list.txt";
    WriteBytes(listPath, bytes);

    const auto r = Cli({"--batch", listPath});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "failed " + out + ": \"" + out +
                         "\" is the SIMA file of an earlier row too\n" + "failed " +
                         p.dir / "town.mid" + ": not overwriting \"" + p.dir / "town.mid" +
                         "\": it is an input of the batch run\n" + "failed " + q.dir / "." +
                         kPathDelim + "town.mif: not overwriting \"" + q.dir / "." + kPathDelim +
                         "town.mif\": it is an input of the batch run\n" +
                         "failed -: '-' (standard output) cannot be a SIMA file of a batch list\n" +
                         "failed " + six + ": neither parcels nor routes are to be converted\n" +
                         "failed " + p.dir / "seven.sim" +
                         ": the site name has a control character\n" + "failed " + listPath +
                         ":14: no destination SIMA file given for \"\"\n" + "ok " + out + "\n");
    EXPECT_EQ(ReadBytes(p.dir / "town.mid"), kMid);
    EXPECT_EQ(ReadBytes(q.mif), kMif);
    EXPECT_EQ(ReadBytes(six), "old");
    EXPECT_FALSE(test::Exists(p.dir / "seven.sim"));
    EXPECT_FALSE(std::filesystem::exists("-"));
    // Row 1 wrote its own file, not row 2's.
    ASSERT_EQ(Cli({"--attr", "2", p.mif, p.dir / "single.sim"}).status, 0);
    EXPECT_EQ(ReadBytes(out), ReadBytes(p.dir / "single.sim"));

    // In Japanese, the same words as the window's input check.
    const auto ja = Cli({"--batch", listPath}, {"LC_ALL=", "LC_MESSAGES=", "LANG=ja_JP.UTF-8"});
    EXPECT_NE(ja.out.find("失敗 " + six + ": 変換対象は最低1つは必要です。\n"), std::string::npos)
        << ja.out;
    EXPECT_NE(ja.out.find(": 現場名称に使用できない文字が含まれています。\n"), std::string::npos);
}

// A list an editor saved as UTF-8 runs as the same list in code page 932;
// a list of blank lines only converts nothing and says nothing; too many
// lines are a malformed list, said once.
TEST(CommandLine, BatchListInUtf8AndBlankOrTooManyLines) {
    Pair p;
    const std::string sim = p.dir / "out.sim";
    const std::string on = "\xE2\x97\x8B", off = "\xC3\x97";  // ○ ×
    const std::string header = "\xEF\xBB\xBFQuorvex\r\n200\r\n0\r\n\r\n\r\n";
    const std::string job = "\"2\"\t\"" + p.mif + "\"\t\"" + sim +
                            "\"\t\"\"\t\"\xE5\x8C\x97\"\t\"" + on + "\"\t\"" + off + "\"\t\"" + on +
                            "\"\t\"" + off + "\"\r\n";
    const std::string listPath = p.dir / "list.txt";
    WriteBytes(listPath, header + "\r\n" + job + "\r\n");
    auto r = Cli({"--batch", listPath});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "ok " + sim + "\n");
    const std::string converted = ReadBytes(sim);
    EXPECT_NE(converted.find("G00,02,\x96\x6B,\r\n"), std::string::npos);  // 北
    EXPECT_NE(converted.find("D00,1,12-4,1,"), std::string::npos);
    EXPECT_EQ(converted.find("F00,"), std::string::npos);  // routes off

    // Merged: a row that converts nothing fails and adds nothing.
    const std::string merged = p.dir / "merged.sim";
    std::string nothing = job;
    nothing.replace(nothing.find(on), on.size(), off);
    WriteBytes(listPath, "Quorvex\r\n200\r\n1\r\n" + merged + "\r\n\r\n" + job + nothing);
    r = Cli({"--batch", listPath});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("failed " + p.mif + ": neither parcels nor routes are to be converted\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(ReadBytes(merged).find("D00,1,12-4,1,"), std::string::npos);
    EXPECT_EQ(ReadBytes(merged).find("D00,2,"), std::string::npos);

    WriteBytes(listPath, "Quorvex\r\n200\r\n0\r\n\r\n\r\n" + std::string(100000, '\r'));
    r = Cli({"--batch", listPath});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    WriteBytes(listPath, "Quorvex\r\n200\r\n0\r\n\r\n\r\n" + std::string(100001, '\r'));
    r = Cli({"--batch", listPath});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "quorvex-convert: cannot load batch list \"" + listPath +
                         "\": not a valid batch list\n");
}

// The locale's variables as the tests set them: unset unless given.
using Env = std::vector<std::string>;
const Env kJapanese = {"LC_ALL=", "LC_MESSAGES=", "LANG=ja_JP.UTF-8"};

TEST(CommandLine, VerboseTellsWhatEachJobWroteInTheLocalesLanguage) {
    Pair p;
    const std::string sim = p.dir / "out.sim";
    const Args args = {"-v", p.mif, sim};
    auto r = Cli(args);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "ok " + sim + "\n  parcels 1, routes 1, points 3\n  non-earth (m)\n");
    for (const Env& ja : {kJapanese, Env{"LC_ALL=", "LC_MESSAGES=ja_JP.UTF-8", "LANG=C"},
                          Env{"LC_ALL=ja", "LC_MESSAGES=", "LANG=C"}}) {
        r = Cli(args, ja);
        EXPECT_EQ(r.out, "成功 " + sim + "\n  画地 1、路線 1、座標 3\n  非地球座標（m）\n")
            << ja[2];
    }
    // LC_ALL decides over LANG; without -v the counts are not shown.
    EXPECT_EQ(Cli({p.mif, sim}, {"LC_ALL=C", "LC_MESSAGES=", "LANG=ja_JP.UTF-8"}).out,
              "ok " + sim + "\n");

    // A merged run: each input, then the merged file, written without the
    // input that failed.
    const std::string merged = p.dir / "merged.sim";
    const std::string gone = p.dir / "gone.mif";
    r = Cli({"--verbose", "--combine", merged, p.mif, gone}, kJapanese);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "成功 " + p.mif + "\n  画地 1、路線 1、座標 3\n  非地球座標（m）\n" + "失敗 " +
                         gone + ": MIFファイル「" + gone + "」が見つかりません。\n" + "成功 " +
                         merged + "（失敗した変換元ファイル 1 件を除く）\n" +
                         "  画地 1、路線 1、座標 3\n");
}

TEST(CommandLine, ErrorsInJapanese) {
    auto r = Cli({"--frobnicate", "x.mif"}, kJapanese);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out,
              "quorvex-convert: 不明なオプションか、オプションの値がありません: --frobnicate\n"
              "使い方は 'quorvex-convert --help' で表示できます。\n");
    r = Cli({"--frobnicate", "x.mif"});
    EXPECT_EQ(r.out,
              "quorvex-convert: unknown option or missing value: --frobnicate\n"
              "Try 'quorvex-convert --help'.\n");
    Pair p;
    std::filesystem::remove(p.dir / "town.mid");
    r = Cli({p.mif}, kJapanese);
    const std::string mid = p.dir / "town.mid";
    EXPECT_EQ(r.out, "失敗 " + std::string(p.dir / "town.sim") + ": MIDファイル「" + mid +
                         "」が見つかりません。\n");
    const std::string list = p.dir / "list.txt";
    WriteBytes(list, "Quorvex\r\n200\r\nyes\r\n\r\n\r\n");
    EXPECT_EQ(Cli({"--batch", list}, kJapanese).out,
              "quorvex-convert: バッチリスト「" + list +
                  "」を読み込めません: 'yes' は正しい論理型ではありません\n");
    EXPECT_EQ(Cli({"--genba", "caf\xC3\xA9", "x.mif"}, kJapanese).out,
              "quorvex-convert: 現場名称に "
              "Shift_JIS（コードページ932）で表せない文字が含まれています。\n");
}

// Code page 932 names come out in the terminal's encoding, spelt as --attr
// takes them.
TEST(CommandLine, ColumnsAreListedInTheTerminalsEncoding) {
    Pair p;
    const auto r = Cli({"--columns", p.mif});
    EXPECT_EQ(r.status, 0);
#ifdef _WIN32
    // The console's code page, which the test does not choose.
    EXPECT_EQ(r.out.substr(0, 3), "ID\n");
#else
    EXPECT_EQ(r.out, "ID\n\xE5\x9C\xB0\xE7\x95\xAA\n");  // 地番
    const std::string name = r.out.substr(3, r.out.size() - 4);
    const auto run = Cli({"--attr", name, p.mif, p.dir / "a.sim"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(ReadBytes(p.dir / "a.sim").find("D00,1,12-4,1,"), std::string::npos);
#endif
    EXPECT_EQ(Cli({"--columns", p.dir / "none.mif"}).status, 1);
}

TEST(CommandLine, ColumnsOfOtherCharacterSetsAreShownAndFoundDecoded) {
    TempDir dir;
    const std::string mif = dir / "latin.mif";
    // Latin-1 names Id_GéoFLA and Nom; the value of the second is Crète.
    WriteBytes(mif,
               "Version 300\r\nCharset \"WindowsLatin1\"\r\nDelimiter \",\"\r\n"
               "Columns 2\r\n  Id_G\xE9oFLA Char(10)\r\n  Nom Char(10)\r\nData\r\n"
               "Line 0 0 10 0\r\n");
    WriteBytes(dir / "latin.mid", "\"\xC9\",Cr\xE8te\r\n");
    const auto columns = Cli({"--columns", mif});
    EXPECT_EQ(columns.status, 0);
#ifdef _WIN32
    // In the console's code page, which the test does not choose.
    EXPECT_EQ(columns.out.substr(columns.out.size() - 4), "Nom\n");
#else
    EXPECT_EQ(columns.out, "Id_G\xC3\xA9oFLA\nNom\n");
#endif
    // Found by its decoded name; the value É cannot be written in code page 932.
    const auto r = Cli({"--attr", "Id_G\xC3\xA9oFLA", mif, dir / "a.sim"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("MID row 1, column 1 \"Id_G\xC3\xA9oFLA\": the character \"\xC3\x89\""),
              std::string::npos)
        << r.out;
    EXPECT_FALSE(test::Exists(dir / "a.sim"));
}

#define U8(s) reinterpret_cast<const char*>(u8##s)

// Japanese names, names whose code page 932 form has 0x5C as a trail byte
// (表, ソ, 能), characters code page 932 lacks (𠮷, é, emoji): arguments,
// messages and files all keep them, and the output is the same file.
TEST(CommandLine, HardPathsGiveTheSameFile) {
    Pair plain;
    ASSERT_EQ(Cli({"--attr", "2", plain.mif, plain.dir / "plain.sim"}).status, 0);
    const std::string expected = ReadBytes(plain.dir / "plain.sim");
    for (const std::string name :
         {U8("地番図"), U8("表ソ能"), U8("𠮷野"), U8("café"), U8("区画😀")}) {
        SCOPED_TRACE(name);
        TempDir root;
        const std::string dir = root / name;
        std::filesystem::create_directory(NativePath(dir));
        const std::string mif = dir + kPathDelim + name + ".mif";
        const std::string sim = dir + kPathDelim + name + U8("出力.sim");
        WriteBytes(mif, kMif);
        WriteBytes(dir + kPathDelim + name + ".MID", kMid);  // found whatever its case
        const auto r = Cli({"--attr", "2", mif, sim});
        ASSERT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(r.out, "ok " + sim + "\n");  // not a console: UTF-8
        EXPECT_EQ(ReadBytes(sim), expected);
        ASSERT_EQ(Cli({"--attr", "2", mif}).status, 0);  // beside the input
        EXPECT_EQ(ReadBytes(dir + kPathDelim + name + ".sim"), expected);
        EXPECT_EQ(test::ListDir(dir).size(), 4u);

        // The input spelt another way is still the input.
        std::string same = dir + kPathDelim + "." + kPathDelim + name + ".mif";
#ifdef _WIN32
        for (char& c : same)
            if (c == '\\') c = '/';
        same.replace(same.size() - 4, 4, ".MIF");
#endif
        const auto guard = Cli({"--attr", "2", mif, same});
        EXPECT_EQ(guard.status, 1) << guard.out;
        EXPECT_NE(guard.out.find("overwrite"), std::string::npos) << guard.out;
        EXPECT_EQ(ReadBytes(mif), kMif);
    }
}

// A batch list holds code page 932 paths: those with 0x5C trail bytes run on
// both systems, relative ones from the current folder, and on Windows with
// either separator.
TEST(CommandLine, BatchListWithCodePage932Paths) {
    Pair p;
    const std::string dir = p.dir / U8("表ソ能");
    std::filesystem::create_directory(NativePath(dir));
    WriteBytes(dir + kPathDelim + "a.mif", kMif);
    WriteBytes(dir + kPathDelim + "a.mid", kMid);
    TBatchListFile list;
    TConvertSettings s;
    s.MifFile = *Utf8ToCp932(dir + kPathDelim + "a.mif");
    s.SimFile = *Utf8ToCp932(dir + kPathDelim + U8("結果.sim"));
    s.AttrIndex = 2;
    list.Rows.push_back(RowFromSettings(s, ""));
#ifdef _WIN32
    // Separators are swapped in UTF-8: in the code page 932 bytes a 0x5C may
    // be the trail byte of 表, ソ or 能.
    std::string slashes = dir + kPathDelim + U8("結果.sim2");
    for (char& c : slashes)
        if (c == '\\') c = '/';
    list.Rows.push_back(list.Rows[0]);
    list.Rows[1].SubItems[TBatchRow::SimFile] = *Utf8ToCp932(slashes);
#endif
    const std::string listPath = dir + kPathDelim + U8("一覧.txt");
    SaveBatchList(listPath, list);
    const auto r = Cli({"--batch", listPath});
    ASSERT_EQ(r.status, 0) << r.out;
    const std::string sim = ReadBytes(dir + kPathDelim + U8("結果.sim"));
    EXPECT_NE(sim.find("D00,1,12-4,1,"), std::string::npos);
#ifdef _WIN32
    EXPECT_EQ(ReadBytes(dir + kPathDelim + U8("結果.sim2")), sim);
    EXPECT_NE(r.out.find(slashes), std::string::npos) << r.out;
#endif
}

// Positions outside the table's columns: a usage error for one table,
// naming the range and the columns, whatever the number's size; 0 and -1
// still mean none. Where one position serves several tables, the input
// without that column fails and the others run.
TEST(CommandLine, AttributePositionOutsideTheColumns) {
    Pair p;
    const std::string sim = p.dir / "a.sim";
    for (const char* attr : {"3", "2147483647", "-5", "99999999999", "-99999999999"}) {
        const auto r = Cli({"--attr", attr, p.mif, sim});
        EXPECT_EQ(r.status, 2) << attr;
        EXPECT_EQ(r.out, "quorvex-convert: attribute column " + std::string(attr) +
                             " is out of range: the table has columns 1 to 2 (1 ID, 2 地番)\n");
        EXPECT_FALSE(test::Exists(sim));
    }
    for (const char* none : {"0", "-1"})
        EXPECT_EQ(Cli({"--attr", none, p.mif, sim}).status, 0) << none;
    EXPECT_EQ(Cli({"--attr", "2", p.mif, sim}).status, 0);

    // A narrower table in a merged run.
    TempDir dir;
    const std::string narrow = dir / "narrow.mif";
    WriteBytes(narrow, "Version 300\r\nColumns 1\r\n  ID Integer\r\nData\r\nLine 0 0 1 1\r\n");
    WriteBytes(dir / "narrow.mid", "7\r\n");
    const std::string merged = dir / "merged.sim";
    auto r = Cli({"--combine", merged, "--attr", "2", p.mif, narrow});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("ok " + p.mif + "\n"), std::string::npos) << r.out;
    EXPECT_NE(
        r.out.find("failed " + narrow +
                   ": attribute column 2 is out of range: the table has columns 1 to 1 (1 ID)\n"),
        std::string::npos)
        << r.out;
    // An input without the named column fails before the run: the merged file
    // of the others is delivered, and its line says it lacks that input.
    r = Cli({"--combine", "-", "--attr", "\xE5\x9C\xB0\xE7\x95\xAA", p.mif, narrow});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Z00,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ok - (without 1 failed input)\n"), std::string::npos) << r.out;
    // A position no table has is refused before any work.
    r = Cli({"--combine", merged, "--attr", "-5", p.mif}, kJapanese);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out,
              "quorvex-convert: --attr -5: 属性列の位置として正しくありません"
              "（1 が最初の列、0 または -1 は属性なし）。\n");

    // A batch row keeps its position; past its table's columns it fails and
    // the other rows run.
    TBatchListFile list;
    for (const std::string& mif : {p.mif, narrow}) {
        TConvertSettings s;
        s.MifFile = mif;
        s.SimFile = ChangeFileExt(mif, ".sim");
        s.AttrIndex = 2;
        list.Rows.push_back(RowFromSettings(s, ""));
    }
    SaveBatchList(dir / "list.txt", list);
    r = Cli({"--batch", dir / "list.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("ok " + p.dir / "town.sim"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("failed " + dir / "narrow.sim" + ": attribute column 2 is out of range"),
              std::string::npos)
        << r.out;
    EXPECT_FALSE(test::Exists(dir / "narrow.sim"));
}

// A site name with a line break would write SIMA lines of its own (here a
// forged point): every control character is refused, as the window does.
TEST(CommandLine, SiteNameWithControlCharactersIsAUsageError) {
    Pair p;
    for (const char* genba : {"S,\r\nA01,999,999,123,456,0,\r\nZ00", "a\tb", "\x1b[2J", "\x7f"}) {
        const auto r = Cli({"--genba", genba, p.mif});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out,
                  "quorvex-convert: the site name has a control character, which a SIMA "
                  "line cannot hold\n");
        EXPECT_EQ(Cli({"--genba", genba, "--combine", p.dir / "m.sim", p.mif}, kJapanese).out,
                  "quorvex-convert: 現場名称に使用できない文字（制御文字）が含まれています。\n");
    }
    EXPECT_FALSE(test::Exists(p.dir / "town.sim"));
    EXPECT_FALSE(test::Exists(p.dir / "m.sim"));
}

// Options a batch list sets itself, and an empty output name, are usage
// errors instead of being ignored or taken for "beside the input".
TEST(CommandLine, IgnoredOrEmptyArgumentsAreUsageErrors) {
    Pair p;
    for (const Args& options : {Args{"--attr", "1"}, Args{"--genba", "x"}, Args{"--no-swap"},
                                Args{"--no-parcels"}, Args{"--no-routes"}, Args{"--close"}}) {
        Args args = {"--batch", p.dir / "list.txt"};
        args.insert(args.end(), options.begin(), options.end());
        const auto r = Cli(args);
        EXPECT_EQ(r.status, 2) << options[0];
        EXPECT_EQ(r.out, "quorvex-convert: --batch takes its settings from the list; " +
                             options[0] +
                             " cannot be given with it\nTry 'quorvex-convert --help'.\n");
    }
    EXPECT_EQ(Cli({"-v", "--batch", p.dir / "none.txt"}).status, 1);  // -v is not a job's
    auto r = Cli({p.mif, ""}, kJapanese);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out,
              "quorvex-convert: 変換後のファイル名が空です。\n"
              "使い方は 'quorvex-convert --help' で表示できます。\n");
    EXPECT_EQ(Cli({"--combine", "", p.mif}).status, 2);
    EXPECT_FALSE(test::Exists(p.dir / "town.sim"));
}

// Names reach the terminal with their control characters escaped, so a name
// can neither forge a line nor send the terminal a command. Paths inside a
// message are shortened in the middle; the report line's path stays whole.
TEST(CommandLine, NamesAreEscapedAndLongPathsShortenedInMessages) {
    TempDir dir;
#ifdef _WIN32
    const std::string name = "bad.mif";  // Windows names hold no control characters
#else
    const std::string name = "e\x1b[31mvil\nok x.mif";
#endif
    const std::string deep = dir / (std::string(90, 'f') + kPathDelim + name);
    const std::string sim = ChangeFileExt(deep, ".sim");
    const auto r = Cli({deep}, kJapanese);
    EXPECT_EQ(r.status, 1);
#ifndef _WIN32
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
    const std::string shownName = "e\\x1B[31mvil\\x0Aok x.mif";
#else
    const std::string shownName = name;
#endif
    std::string wholeSim = sim;
    wholeSim.replace(wholeSim.size() - name.size(), name.size(), ChangeFileExt(shownName, ".sim"));
    const std::string head = "失敗 " + wholeSim + ": MIFファイル「";
    ASSERT_EQ(r.out.rfind(head, 0), 0u) << r.out;
    const std::string shown = r.out.substr(head.size());
    EXPECT_NE(shown.find("…"), std::string::npos) << shown;
    EXPECT_NE(shown.find(kPathDelim + shownName + "」が見つかりません。\n"), std::string::npos)
        << shown;
    EXPECT_LE(shown.size(), 80 + std::string("…」が見つかりません。\n").size());
}

// A folder or a loop of links as input is said to be what it is.
TEST(CommandLine, FolderAsInputIsNamed) {
    Pair p;
    std::filesystem::create_directory(NativePath(p.dir / "folder.mif"));
    auto r = Cli({p.dir / "folder.mif"}, kJapanese);
    EXPECT_EQ(r.out, "失敗 " + p.dir / "folder.sim" + ": MIFファイル「" + p.dir / "folder.mif" +
                         "」はファイルではなくフォルダーです。\n");
    std::filesystem::remove(NativePath(p.dir / "town.mid"));
    std::filesystem::create_directory(NativePath(p.dir / "town.mid"));
    r = Cli({p.mif});
    EXPECT_EQ(r.out, "failed " + p.dir / "town.sim" + ": the MID file \"" + p.dir / "town.mid" +
                         "\" is a folder, not a file\n");
}

#ifndef _WIN32

// The program run through the shell, for redirections the tests cannot make
// otherwise: `redirect` follows the arguments.
test::ProgramResult Shell(const Args& args, const std::string& redirect) {
    Args shell = {"-c", "exec \"$0\" \"$@\" " + redirect, QUORVEX_CLI};
    shell.insert(shell.end(), args.begin(), args.end());
    return test::RunProgram("/bin/sh", shell, {"LC_ALL=", "LC_MESSAGES=", "LANG=C"});
}

// A closed standard stream must not become the first file the run opens: a
// merged file opened on descriptor 2 would begin with the report lines.
TEST(CommandLine, ClosedStandardStreamsAreNotReused) {
    Pair a, b;
    const std::string out = a.dir / "merged.sim";
    ASSERT_EQ(Shell({"--combine", out, a.mif, b.mif}, "2>&-").status, 0);
    EXPECT_EQ(ReadBytes(out).rfind("Z00,", 0), 0u);
    ASSERT_EQ(Cli({"--combine", a.dir / "expected.sim", a.mif, b.mif}).status, 0);
    EXPECT_EQ(ReadBytes(out), ReadBytes(a.dir / "expected.sim"));
    ASSERT_EQ(Shell({a.mif, a.dir / "one.sim"}, "<&- >&- 2>&-").status, 0);
    EXPECT_EQ(ReadBytes(a.dir / "one.sim").rfind("Z00,", 0), 0u);

    // SIMA bytes for a standard output that was closed reach no one.
    auto r = Shell({a.mif, "-"}, ">&-");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "failed -: standard output is closed\n");
    r = Shell({"--combine", "-", a.mif, b.mif}, ">&-");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("failed -: standard output is closed\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("ok -"), std::string::npos) << r.out;
    EXPECT_EQ(Shell({"--version"}, ">&-").status, 1);
}

// Every write to standard output is checked; the report line follows the
// delivery, so "ok -" is never printed for bytes that did not arrive.
TEST(CommandLine, FullStandardOutputFails) {
    Pair p;
    for (const Args& args : {Args{"--version"}, Args{"--help"}, Args{"--columns", p.mif}}) {
        const auto r = Shell(args, ">/dev/full");
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_EQ(r.out,
                  "quorvex-convert: cannot write to standard output: No space left on "
                  "device\n");
    }
    auto r = Shell({p.mif, "-"}, ">/dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "failed -: cannot write \"-\": No space left on device\n");
    r = Shell({"--combine", "-", p.mif}, ">/dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ok " + p.mif + "\nfailed -: cannot write \"-\": No space left on device\n");
    // Standard output that works still gets the file, then its line.
    r = Shell({p.mif, "-"}, "2>/dev/null");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Z00,", 0), 0u);
}

#endif

#ifdef _WIN32

// A run killed at any moment leaves the old output whole and nothing else,
// neither beside the output nor in the temporary folder.
TEST(CommandLine, WindowsKilledRunLeavesNothingBehind) {
    TempDir dir;
    std::string mif = kMif.substr(0, kMif.find("Data\r\n") + 6);
    std::string mid;
    for (int i = 0; i < 200000; ++i) {
        mif += "Line " + std::to_string(i) + " 0 " + std::to_string(i) + " 1\r\n";
        mid += std::to_string(i) + ",\"r\"\r\n";
    }
    WriteBytes(dir / "big.mif", mif);
    WriteBytes(dir / "big.mid", mid);
    const std::string out = dir / "big.sim";
    // The killed runs get a temporary folder of their own, which other
    // tests running at the same time do not use.
    TempDir temp;
    // Put back when the test ends: the folder goes with it, and the tests
    // after this one need a temporary folder that exists.
    struct TRestoreTemp {
        std::wstring tmp, temp;
        static std::wstring Get(const wchar_t* name) {
            wchar_t value[32767];
            const DWORD n = ::GetEnvironmentVariableW(name, value, 32767);
            return std::wstring(value, n);
        }
        TRestoreTemp() : tmp(Get(L"TMP")), temp(Get(L"TEMP")) {}
        ~TRestoreTemp() {
            ::SetEnvironmentVariableW(L"TMP", tmp.empty() ? nullptr : tmp.c_str());
            ::SetEnvironmentVariableW(L"TEMP", temp.empty() ? nullptr : temp.c_str());
        }
    } restore;
    ::SetEnvironmentVariableW(L"TMP", Utf8ToWide(Utf8Path(temp.path())).c_str());
    ::SetEnvironmentVariableW(L"TEMP", Utf8ToWide(Utf8Path(temp.path())).c_str());
    for (const DWORD delay : {50u, 200u, 600u}) {
        WriteBytes(out, "old\r\n");
        std::wstring cmd = L"\"" + Utf8ToWide(QUORVEX_CLI) + L"\" \"" +
                           Utf8ToWide(dir / "big.mif") + L"\" \"" + Utf8ToWide(out) + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                                     nullptr, nullptr, &si, &pi));
        ::Sleep(delay);
        ::TerminateProcess(pi.hProcess, 9);
        ::WaitForSingleObject(pi.hProcess, INFINITE);
        ::CloseHandle(pi.hProcess);
        ::CloseHandle(pi.hThread);
        // The system closes the killed process's handles, and so deletes its
        // temporary files, in its own time (Wine's server after the process
        // handle is signalled): up to five seconds for the folders to settle.
        const std::vector<std::string> inputsAndOutput{"big.mid", "big.mif", "big.sim"};
        for (int wait = 0; wait < 100; ++wait) {
            if (test::ListDir(Utf8Path(dir.path())) == inputsAndOutput &&
                test::ListDir(Utf8Path(temp.path())).empty())
                break;
            ::Sleep(50);
        }
        const std::string now = ReadBytes(out);
        EXPECT_TRUE(now == "old\r\n" || now.rfind("Z00,", 0) == 0)
            << delay << " ms: " << now.substr(0, 20);
        EXPECT_EQ(test::ListDir(Utf8Path(dir.path())), inputsAndOutput) << delay << " ms";
        EXPECT_EQ(test::ListDir(Utf8Path(temp.path())), std::vector<std::string>{})
            << delay << " ms";
    }
}

#endif

// A table of one parcel near Tokyo in `coordSys` (a whole CoordSys clause, or
// nothing), its corners given as MIF writes them.
struct CoordTable {
    TempDir dir;
    std::string mif = dir / "parcel.mif";
    CoordTable(const std::string& coordSys, const std::vector<std::string>& corners,
               const std::string& more = {}) {
        std::string text = "Version 300\r\nCharset \"Neutral\"\r\nDelimiter \",\"\r\n";
        if (!coordSys.empty()) text += coordSys + "\r\n";
        text += more + "Columns 1\r\n  ID Integer\r\nData\r\n";
        text += "Region 1\r\n  " + std::to_string(corners.size()) + "\r\n";
        for (const std::string& c : corners)
            text += c + "\r\n";
        WriteBytes(mif, text);
        WriteBytes(dir / "parcel.mid", "1\r\n");
    }
};

const std::vector<std::string> kLonLatCorners = {"139.7 35.6", "139.71 35.6", "139.71 35.61",
                                                 "139.7 35.6"};
const std::vector<std::string> kZoneIxCorners = {"-12082.5 -44359.25", "-11176.75 -44356.5",
                                                 "-11178.125 -43247.0", "-12082.5 -44359.25"};
const std::string kZoneIxClause =
    "CoordSys Earth Projection 8, 152, \"m\", 139.833333333333, 36, 0.9999, 0, 0";

TEST(CommandLine, CoordinatesThatAreNotPlaneRectangularMetresAreWarnedOf) {
    const CoordTable lonLat("CoordSys Earth Projection 1, 104", kLonLatCorners);
    const std::string sim = lonLat.dir / "out.sim";
    auto r = Cli({lonLat.mif, sim});
    // Written all the same, and still a success.
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "ok " + sim + "\nwarning " + lonLat.mif +
                         ": the coordinates are longitude and latitude in degrees, written as "
                         "they stand, not plane rectangular metres\n");
    EXPECT_NE(ReadBytes(sim).find("A01,1,1,35.6,139.7,0,"), std::string::npos);
    r = Cli({"-v", lonLat.mif, sim}, kJapanese);
    EXPECT_EQ(r.out, "成功 " + sim + "\n  画地 1、路線 0、座標 3\n  経緯度（度、WGS 84）\n警告 " +
                         lonLat.mif +
                         ": 座標は経緯度（度）です。平面直角座標（m）に変換せず、"
                         "そのまま書き出しました。\n");

    const CoordTable zone(kZoneIxClause, kZoneIxCorners);
    r = Cli({"-v", zone.mif, sim});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "ok " + sim +
                         "\n  parcels 1, routes 0, points 3\n  Japan plane rectangular zone IX "
                         "(JGD2000, m)\n");

    // A merged run warns of each input that needs it, and only of inputs.
    const std::string merged = zone.dir / "merged.sim";
    r = Cli({"--combine", merged, zone.mif, lonLat.mif});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "ok " + zone.mif + "\nok " + lonLat.mif + "\nwarning " + lonLat.mif +
                         ": the coordinates are longitude and latitude in degrees, written as "
                         "they stand, not plane rectangular metres\nok " +
                         merged + "\n");
}

TEST(CommandLine, ZoneProjectsOrFailsTheJob) {
    for (const std::string bad : {"0", "20", "9x", ""}) {
        const auto r = Cli({"--zone", bad, "x.mif"});
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.out.find("there is no plane rectangular zone " + bad), std::string::npos)
            << r.out;
    }
    EXPECT_EQ(Cli({"--zone", "9", "--batch", "list.txt"}).status, 2);

    // Projected coordinates get no warning.
    const CoordTable lonLat("CoordSys Earth Projection 1, 152", kLonLatCorners);
    const std::string sim = lonLat.dir / "out.sim";
    auto r = Cli({"--zone", "9", "-v", lonLat.mif, sim});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "ok " + sim +
                         "\n  parcels 1, routes 0, points 3\n  longitude/latitude (degrees, "
                         "JGD2000)\n");
    EXPECT_NE(ReadBytes(sim).find("A01,1,1,-44369.4985042834,-12081.0357751727,0,"),
              std::string::npos);

    // A table the zone cannot be reached from fails, and says why.
    const CoordTable nonEarth("CoordSys NonEarth Units \"m\"", kZoneIxCorners);
    r = Cli({"--zone=9", nonEarth.mif, sim}, kJapanese);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "失敗 " + sim + ": 平面直角座標系 第IX系に変換できません。座標は非地球座標です。\n");
}

// A batch row keeps its zone: a 201 list projects the rows that have one, and
// warns of the lon/lat row that has none; a merged run takes its rows' zone,
// and a 200 list with a zone in a row is refused before anything runs.
TEST(CommandLine, BatchRowsRunWithTheirOwnZones) {
    const CoordTable lonLat("CoordSys Earth Projection 1, 152", kLonLatCorners);
    TBatchListFile list;
    for (const char* name : {"zoned.sim", "plain.sim"}) {
        TConvertSettings s;
        s.MifFile = lonLat.mif;
        s.SimFile = lonLat.dir / name;
        list.Rows.push_back(RowFromSettings(s, ""));
    }
    list.Rows[0].Zone = 9;
    const std::string listPath = lonLat.dir / "list.txt";
    SaveBatchList(listPath, list);
    ASSERT_EQ(ReadBytes(listPath).substr(0, 14), "Quorvex\r\n201\r\n");
    auto r = Cli({"--batch", listPath});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "ok " + list.Rows[0].SubItems[TBatchRow::SimFile] + "\nok " +
                         list.Rows[1].SubItems[TBatchRow::SimFile] + "\nwarning " + lonLat.mif +
                         ": the coordinates are longitude and latitude in degrees, written as "
                         "they stand, not plane rectangular metres\n");
    EXPECT_NE(
        ReadBytes(lonLat.dir / "zoned.sim").find("A01,1,1,-44369.4985042834,-12081.0357751727,0,"),
        std::string::npos);
    EXPECT_NE(ReadBytes(lonLat.dir / "plain.sim").find("A01,1,1,35.6,139.7,0,"), std::string::npos);

    // Merged: every row in zone IX, no warning; the same bytes as the engine.
    list.Rows[1].Zone = 9;
    list.Combine = true;
    list.CombineFile = lonLat.dir / "merged.sim";
    SaveBatchList(listPath, list);
    r = Cli({"--batch", listPath});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.find("warning"), std::string::npos) << r.out;
    ASSERT_TRUE(ConvertCombined(list.Rows, lonLat.dir / "engine.sim", "").Written);
    EXPECT_EQ(ReadBytes(lonLat.dir / "merged.sim"), ReadBytes(lonLat.dir / "engine.sim"));
    // Rows of two zones are refused before any row is processed.
    list.Rows[1].Zone = 8;
    list.CombineFile = lonLat.dir / "mixed.sim";
    SaveBatchList(listPath, list);
    r = Cli({"--batch", listPath});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("(IX and VIII; 0 is none)"), std::string::npos) << r.out;
    EXPECT_FALSE(test::Exists(lonLat.dir / "mixed.sim"));

    // An older list that names a zone would run without it: refused.
    std::string old = ReadBytes(listPath);
    old.replace(9, 3, "200");
    WriteBytes(listPath, old);
    r = Cli({"--batch", listPath});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "quorvex-convert: cannot load batch list \"" + listPath +
                         "\": line 6 holds plane rectangular zone '9', but the list's second "
                         "line is 200, a list without zones; a list with zones has 201 there\n");
}

}  // namespace
}  // namespace quorvex
