// Whole single-file conversions, compared byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "engine/convert.h"
#include "engine/object_pass.h"
#include "sima_bytes.h"
#include "support/charset.h"
#include "support/errors.h"
#include "support/field.h"
#include "test_util.h"

namespace quorvex {
namespace {

using test::kParcelsBanner;
using test::kPointsBanner;
using test::kRoutesBanner;
using test::kSimaHead;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::string kHeader =
    "Version 300\r\nCharset \"Neutral\"\r\nDelimiter \",\"\r\n"
    "CoordSys NonEarth Units \"m\" Bounds (0, 0) (1000, 1000)\r\n";

struct Job {
    TempDir dir;
    TConvertSettings s;
    Job(const std::string& mif, const std::string* mid) {
        s.MifFile = dir / "in.mif";
        s.SimFile = dir / "out.sim";
        s.SwapXY = false;
        WriteBytes(s.MifFile, mif);
        if (mid) WriteBytes(dir / "in.mid", *mid);
    }
    // The reason of a failure in English, when `why` is given.
    bool Run(std::string* why = nullptr) {
        TRunReport r;
        const bool ok = ConvertFile(s, &r);
        if (why) *why = r.Error.Text(TLanguage::English);
        return ok;
    }
    std::string Out() const { return ReadBytes(s.SimFile); }
};

std::string Table(const std::string& columns, const std::string& objects) {
    return kHeader + columns + "Data\r\n\r\n" + objects;
}
const std::string kOneColumn = "Columns 1\r\n  CHIBAN Char(10)\r\n";

TEST(ConvertFile, SmallRegionGivesTheSeventeenLineFile) {
    const std::string mid = "\"12-4\"\r\n";
    Job job(Table(kOneColumn, "Region 1\r\n  4\r\n100 200\r\n110 200\r\n110 210\r\n100 200\r\n"),
            &mid);
    job.s.Genba = "S1";
    job.s.AttrIndex = 1;
    job.s.Rosen = false;
    ASSERT_TRUE(job.Run());
    EXPECT_EQ(job.Out(), kSimaHead + "G00,02,S1,\r\n" + kPointsBanner +
                             "A00,\r\nA01,1,1,100,200,0,\r\nA01,2,2,110,200,0,\r\n"
                             "A01,3,3,110,210,0,\r\nA99,\r\n" +
                             kParcelsBanner +
                             "D00,1,12-4,1,\r\nB01,1,1,\r\nB01,2,2,\r\nB01,3,3,\r\nD99,\r\n" +
                             kRoutesBanner);
}

TEST(ConvertFile, TableWithoutObjectsGivesTheNineLines) {
    const std::string mid;
    Job job(Table(kOneColumn, ""), &mid);
    ASSERT_TRUE(job.Run());
    EXPECT_EQ(job.Out(), kSimaHead + "G00,02,,\r\n" + kPointsBanner + "A00,\r\nA99,\r\n" +
                             kParcelsBanner + kRoutesBanner);
}

TEST(ConvertFile, ObjectsTakeTheirRowsInTurn) {
    // A point and a text take rows and write nothing; a text whose string
    // reads like a keyword is not an object.
    const std::string mif = Table(kOneColumn,
                                  "Point 1 1\r\n"
                                  "Text\r\n  \"Region\"\r\n  0 0 1 1\r\n"
                                  "Region 1\r\n 3\r\n0 0\r\n1 0\r\n1 1\r\n"
                                  "Line 5 5 6 6\r\n"
                                  "Text \"Point\"\r\n  0 0 1 1\r\n"
                                  "none\r\n"
                                  "pline 2\r\n0 0\r\n5 5\r\n");
    const std::string mid = "p\r\nt\r\nr\r\nl\r\nt2\r\nn\r\npl\r\n";
    Job job(mif, &mid);
    job.s.AttrIndex = 1;
    ASSERT_TRUE(job.Run());
    const std::string out = job.Out();
    EXPECT_NE(out.find("D00,1,r,1,\r\nB01,1,1,\r\nB01,2,2,\r\nB01,3,3,\r\nD99,\r\n"),
              std::string::npos);
    EXPECT_NE(out.find("F00,1,l,1,\r\nB01,4,4,\r\nB01,5,5,\r\nF99,\r\n"
                       "F00,2,pl,1,\r\nB01,1,1,\r\nB01,4,4,\r\nF99,\r\n"),
              std::string::npos);
}

TEST(ConvertFile, CollectionTakesOneRowForAllItsParts) {
    const std::string mif =
        Table(kOneColumn,
              "COLLECTION 3\r\n"
              "  Region 1\r\n    4\r\n    0 1\r\n    1 1\r\n    1 0\r\n    0 1\r\n"
              "  Pen (1,2,0)\r\n"
              "  Line 0 1 2 3\r\n"
              "  MultiPoint 2\r\n    0 1\r\n    2 3\r\n"
              "Line 7 7 8 8\r\n");
    const std::string mid = "c\r\nnext\r\n";
    Job job(mif, &mid);
    job.s.AttrIndex = 1;
    ASSERT_TRUE(job.Run());
    const std::string out = job.Out();
    EXPECT_NE(out.find("D00,1,c,1,\r\nB01,1,1,\r\nB01,2,2,\r\nB01,3,3,\r\nD99,\r\n"),
              std::string::npos);
    EXPECT_NE(out.find("F00,1,c,1,\r\nB01,1,1,\r\nB01,4,4,\r\nF99,\r\n"
                       "F00,2,next,1,\r\n"),
              std::string::npos);
}

TEST(ConvertFile, ReportCountsWhatWasWrittenAndWhatWasSkipped) {
    const std::string mif =
        Table(kOneColumn,
              "Region 1\r\n 4\r\n0 0\r\n1 0\r\n1 1\r\n0 0\r\n"  // 3 points
              "Point 5 5\r\n"
              "Text \"Line 9 9 9 9\"\r\n 0 0 1 1\r\n"  // never an object
              "MultiPoint 2\r\n 0 0\r\n 7 7\r\n"
              "Collection 2\r\n  Line 0 0 2 2\r\n  MultiPoint 1\r\n  3 3\r\n"  // one new point
              "Line 1 1 0 0\r\n");
    const std::string mid = "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\n";
    Job job(mif, &mid);
    TRunReport r;
    ASSERT_TRUE(ConvertFile(job.s, &r)) << r.Error.Text(TLanguage::English);
    EXPECT_TRUE(r.Ok);
    EXPECT_EQ(r.Counts, (TConvertCounts{1, 2, 4, 3, 1}));
    EXPECT_EQ(CountsText(r.Counts, TLanguage::Japanese),
              "画地 1、路線 2、座標 4（対象外: ポイント 3、テキスト 1）");
    EXPECT_EQ(CountsText(r.Counts, TLanguage::English),
              "parcels 1, routes 2, points 4 (not converted: point objects 3, text objects 1)");
    // Switched-off kinds are not written, so not counted; nothing skipped,
    // nothing said about it.
    job.s.Rosen = false;
    ASSERT_TRUE(ConvertFile(job.s, &r));
    EXPECT_EQ(r.Counts.Routes, 0);
    EXPECT_EQ(r.Counts.Points, 3);
    EXPECT_EQ(CountsText({1234, 0, 1234567, 0, 0}, TLanguage::Japanese),
              "画地 1,234、路線 0、座標 1,234,567");
    // A failure leaves the report's counts empty and says why.
    std::filesystem::remove(job.dir / "in.mid");
    EXPECT_FALSE(ConvertFile(job.s, &r));
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Counts, TConvertCounts{});
    EXPECT_EQ(r.Error.Id, TMsg::MidNotFound);
}

TEST(ConvertFile, CollectionPartsShareOneCutOfTheirRow) {
    // A long row and a collection of many parts: the row is decoded and cut
    // once, not once per part.
    constexpr int kParts = 3000;
    std::string objects = "Collection " + std::to_string(kParts) + "\r\n";
    for (int i = 0; i < kParts; ++i)
        objects += "  Line 0 0 1 " + std::to_string(i) + "\r\n";
    const std::string mif = "Version 300\r\nCharset \"UTF-8\"\r\nDelimiter \",\"\r\n" + kOneColumn +
                            "Data\r\n" + objects;
    const std::string mid = "c," + std::string(100000, 'x') + "\r\n";
    Job job(mif, &mid);
    job.s.AttrIndex = 1;
    const uint64_t decoded = BytesDecoded(), walked = FieldBytesWalked();
    ASSERT_TRUE(job.Run());
    EXPECT_LE(BytesDecoded() - decoded, 2 * mid.size());
    EXPECT_LE(FieldBytesWalked() - walked, 2 * mid.size());
    EXPECT_NE(job.Out().find("F00," + std::to_string(kParts) + ",c,1,"), std::string::npos);
}

TEST(ConvertFile, CollectionEndsEarlyAtAnotherObject) {
    const std::string mif =
        Table(kOneColumn, "Collection 2\r\n  Line 0 0 1 1\r\nPoint 3 3\r\nLine 2 2 3 3\r\n");
    const std::string mid = "c\r\np\r\nl\r\n";
    Job job(mif, &mid);
    job.s.AttrIndex = 1;
    ASSERT_TRUE(job.Run());
    EXPECT_NE(job.Out().find("F00,2,l,1,"), std::string::npos);
}

TEST(ConvertFile, TabDelimitedRowsAreCutAtEveryTab) {
    // No Delimiter clause: the rows are tab-separated.
    const std::string mif =
        "Version 300\r\nColumns 2\r\n  A Char(5)\r\n  B Char(5)\r\nData\r\n"
        "Line 0 0 1 1\r\nLine 1 1 2 2\r\n";
    const std::string mid = "\tfoo\r\nab\t\"x,y\"\r\n";
    Job job(mif, &mid);
    job.s.AttrIndex = 2;
    ASSERT_TRUE(job.Run());
    const std::string out = job.Out();
    EXPECT_NE(out.find("F00,1,foo,1,"), std::string::npos);
    EXPECT_NE(out.find("F00,2,x,y,1,"), std::string::npos);
}

TEST(ConvertFile, AttributeBeyondTheRowIsEmpty) {
    const std::string mid = "a,b\r\n";
    Job job(Table("Columns 3\r\n A Char(1)\r\n B Char(1)\r\n C Char(1)\r\n", "Line 0 0 1 1\r\n"),
            &mid);
    job.s.AttrIndex = 3;
    ASSERT_TRUE(job.Run());
    EXPECT_NE(job.Out().find("F00,1,,1,"), std::string::npos);
}

// A position past the table's columns would give every object an empty value
// and report success; it is an error naming the columns there are. Within
// the columns a short row still gives an empty value (above).
TEST(ConvertFile, AttributePastTheColumnsFails) {
    const std::string mid = "\"12-4\"\r\n";
    for (const int32_t position : {2, INT32_MAX}) {
        Job job(Table(kOneColumn, "Line 0 0 1 1\r\n"), &mid);
        job.s.AttrIndex = position;
        std::string why;
        EXPECT_FALSE(job.Run(&why));
        EXPECT_EQ(why, "attribute column " + std::to_string(position) +
                           " is out of range: the table has columns 1 to 1 (1 CHIBAN)");
        EXPECT_FALSE(std::filesystem::exists(job.s.SimFile));
    }
    Job none(Table("Columns 0\r\n", "Line 0 0 1 1\r\n"), &mid);
    none.s.AttrIndex = 1;
    std::string why;
    EXPECT_FALSE(none.Run(&why));
    EXPECT_EQ(why, "attribute column 1 is out of range: the table has no columns");
}

// A tab after the keyword: the error is at the object's own line, not at a
// vertex line the reader took for its count.
TEST(ConvertFile, TabAfterTheKeywordIsBlamedOnItsLine) {
    const std::string mid = "\"1\"\r\n\"2\"\r\n";
    for (const std::string object :
         {"Region\t1\r\n 4\r\n0 0\r\n10 0\r\n10 10\r\n0 0\r\n", "Pline\t2\r\n0 0\r\n10 0\r\n",
          "Collection 1\r\nRegion\t1\r\n 3\r\n0 0\r\n1 0\r\n1 1\r\n"}) {
        // Line 7 of the file: the header's four, Columns and its column, Data.
        Job job(Table(kOneColumn, "Line 0 0 1 1\r\n" + object), &mid);
        std::string why;
        EXPECT_FALSE(job.Run(&why));
        const bool nested = object.rfind("Collection", 0) == 0;
        EXPECT_NE(why.find(std::string(nested ? ":11: " : ":10: ") + "a tab follows the keyword "),
                  std::string::npos)
            << why;
    }
    // A blank before a tab is still a blank.
    Job job(Table(kOneColumn, "Pline \t2\r\n0 0\r\n10 0\r\n"), &mid);
    EXPECT_TRUE(job.Run());
}

TEST(ConvertFile, ClosingRule) {
    const std::string mid = "\r\n\r\n";
    const std::string objects =
        "Rect 0 0 10 5\r\n"
        "Region 1\r\n 3\r\n7 7\r\n7 7\r\n7 7\r\n";  // all one point: one vertex stays
    {
        Job job(Table(kOneColumn, objects), &mid);
        job.s.CloseParcel = true;
        ASSERT_TRUE(job.Run());
        EXPECT_NE(job.Out().find("D00,1,,1,\r\nB01,1,1,\r\nB01,2,2,\r\nB01,3,3,\r\nB01,4,4,\r\n"
                                 "B01,1,1,\r\nD99,\r\n"),
                  std::string::npos);
    }
    {
        Job job(Table(kOneColumn, objects), &mid);
        job.s.CloseParcel = false;
        ASSERT_TRUE(job.Run());
        const std::string out = job.Out();
        EXPECT_NE(out.find("B01,4,4,\r\nD99,\r\n"), std::string::npos);
        EXPECT_NE(out.find("D00,2,,1,\r\nB01,5,5,\r\nD99,\r\n"), std::string::npos);
    }
}

TEST(ConvertFile, ApplyClosingRuleRemovesEveryTrailingCopy) {
    TSFPolygon p;
    p.Points = {{0, 0}, {1, 0}, {1, 1}, {-0.0, 0}, {0, -0.0}};
    ApplyClosingRule(p, false);
    EXPECT_EQ(p.NumPoints, 3);
    ApplyClosingRule(p, true);
    ASSERT_EQ(p.Points.size(), 4u);
    EXPECT_EQ(p.NumPoints, 4);
    TSFPolygon empty;
    ApplyClosingRule(empty, true);
    EXPECT_TRUE(empty.Points.empty());
}

TEST(ConvertFile, SwitchesOffDropObjectsAndTheirPoints) {
    const std::string mid = "r\r\nl\r\n";
    Job job(Table(kOneColumn, "Region 1\r\n 3\r\n0 0\r\n1 0\r\n1 1\r\nLine 5 5 6 6\r\n"), &mid);
    job.s.Kakuchi = false;
    job.s.AttrIndex = 1;
    ASSERT_TRUE(job.Run());
    const std::string out = job.Out();
    EXPECT_NE(out.find("A00,\r\nA01,1,1,5,5,0,\r\nA01,2,2,6,6,0,\r\nA99,\r\n"), std::string::npos);
    EXPECT_NE(out.find("F00,1,l,1,"), std::string::npos);
    EXPECT_EQ(out.find("D00"), std::string::npos);
}

TEST(ConvertFile, MissingMidFails) {
    Job job(Table(kOneColumn, "Line 0 0 1 1\r\n"), nullptr);
    std::string why;
    EXPECT_FALSE(job.Run(&why));
    EXPECT_NE(why.find("MID"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(job.s.SimFile));
}

// A folder, or links that lead round in a loop, is said to be what it is.
TEST(ConvertFile, FolderOrLinkLoopAsInputIsNamed) {
    const std::string mid = "\r\n";
    Job job(Table(kOneColumn, "Line 0 0 1 1\r\n"), &mid);
    std::filesystem::remove(job.dir / "in.mid");
    std::filesystem::create_directory(job.dir / "in.mid");
    std::string why;
    EXPECT_FALSE(job.Run(&why));
    EXPECT_EQ(why, "the MID file \"" + job.dir / "in.mid" + "\" is a folder, not a file");
    job.s.MifFile = job.dir / "folder.mif";
    std::filesystem::create_directory(job.s.MifFile);
    EXPECT_FALSE(job.Run(&why));
    EXPECT_EQ(why, "the MIF file \"" + job.s.MifFile + "\" is a folder, not a file");
#ifndef _WIN32
    // Wine cannot make symbolic links.
    job.s.MifFile = job.dir / "loop.mif";
    std::filesystem::create_symlink("loop.mif", job.s.MifFile);
    EXPECT_FALSE(job.Run(&why));
    EXPECT_EQ(why, "the MIF file \"" + job.s.MifFile +
                       "\" is a symbolic link that leads round in a loop");
#endif
    EXPECT_FALSE(std::filesystem::exists(job.s.SimFile));
}

TEST(ConvertFile, TableWithoutColumnsNeedsNoMid) {
    Job job(Table("Columns 0\r\n", "Line 0 0 1 1\r\n"), nullptr);
    job.s.AttrIndex = 0;
    ASSERT_TRUE(job.Run());
    EXPECT_NE(job.Out().find("F00,1,,1,"), std::string::npos);
}

TEST(ConvertFile, MidFoundWhateverTheCaseOfItsName) {
    TempDir dir;
    TConvertSettings s;
    s.MifFile = dir / "TOWN.MIF";
    s.SimFile = dir / "town.sim";
    s.AttrIndex = 1;
    WriteBytes(s.MifFile, Table(kOneColumn, "Line 0 0 1 1\r\n"));
    WriteBytes(dir / "TOWN.MID", "upper\r\n");
    ASSERT_TRUE(ConvertFile(s));
    EXPECT_NE(ReadBytes(s.SimFile).find("F00,1,upper,1,"), std::string::npos);
}

TEST(ConvertFile, BadCoordinateFailsAndKeepsTheOldOutput) {
    const std::string mid = "\r\n";
    Job job(Table(kOneColumn, "Region 1\r\n 3\r\n0 0\r\n1,5 0\r\n1 1\r\n"), &mid);
    WriteBytes(job.s.SimFile, "previous");
    std::string why;
    EXPECT_FALSE(job.Run(&why));
    EXPECT_NE(why.find("'1,5'"), std::string::npos);
    EXPECT_EQ(job.Out(), "previous");
    // Nothing but the input pair and the old output is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(job.dir.path()),
                            std::filesystem::directory_iterator()),
              3);
}

TEST(ConvertFile, FailedRunLeavesNoFileWhereThereWasNone) {
    const std::string mid = "\r\n";
    Job job(Table(kOneColumn, "Pline 3\r\n0 0\r\n1 1\r\n"), &mid);  // cut short
    EXPECT_FALSE(job.Run());
    EXPECT_FALSE(std::filesystem::exists(job.s.SimFile));
}

TEST(ConvertFile, ObjectCutShortByBlankLinesFailsWithoutGrowing) {
    // Joining the blank lines one by one onto the object line would make
    // every further split longer; this must end in a moment.
    std::string objects = "Pline\r\n";
    for (int i = 0; i < 200000; ++i)
        objects += " \r\n";
    const std::string mid = "\r\n";
    Job job(Table(kOneColumn, objects), &mid);
    std::string why;
    EXPECT_FALSE(job.Run(&why));
    EXPECT_NE(why.find("end of file"), std::string::npos);
}

TEST(ConvertFile, MissingOutputDirectoryIsAFileError) {
    const std::string mid = "\r\n";
    Job job(Table(kOneColumn, "Line 0 0 1 1\r\n"), &mid);
    job.s.SimFile = job.dir / "no/such/dir/out.sim";
    EXPECT_THROW(job.Run(), FileError);
}

TEST(ConvertFile, OutputNamingAnInputIsRefused) {
    const std::string mid = "\r\n";
    const std::string mif = Table(kOneColumn, "Line 0 0 1 1\r\n");
    Job job(mif, &mid);
    for (const std::string& target : {job.dir / "in.mif", job.dir / "./in.mid"}) {
        job.s.SimFile = target;
        EXPECT_FALSE(job.Run());
    }
    EXPECT_EQ(ReadBytes(job.dir / "in.mif"), mif);
    EXPECT_EQ(ReadBytes(job.dir / "in.mid"), mid);
}

TEST(ConvertFile, HeaderWithoutAllClausesStillReadsObjects) {
    const std::string mif =
        "Version 300\r\nVersion 300\r\nColumns 1\r\n A Char(1)\r\nData\r\n"
        "Line 0 0 1 1\r\n";
    const std::string mid = "x\r\n";
    Job job(mif, &mid);
    job.s.AttrIndex = 1;
    ASSERT_TRUE(job.Run());
    EXPECT_NE(job.Out().find("F00,1,x,1,"), std::string::npos);
}

TEST(ConvertFile, SecondRunReplacesTheFirst) {
    const std::string mid = "\r\n";
    Job job(Table(kOneColumn, "Line 0 0 1 2\r\n"), &mid);
    ASSERT_TRUE(job.Run());
    const std::string first = job.Out();
    job.s.SwapXY = true;
    ASSERT_TRUE(job.Run());
    EXPECT_NE(job.Out(), first);
    EXPECT_EQ(job.Out().size(), first.size());
}

// A row of 40,000 square parcels, each sharing two corners with the one
// before: many batches of points pass from the reader to the block writer
// and on to the coordinate lines, which must come out whole and in order of
// first use while the next batches are being numbered.
TEST(ConvertFile, ManyBatchesKeepTheCoordinateLinesInOrder) {
    constexpr int kParcels = 40000;
    std::string objects, expected = "A00,\r\nA01,1,1,0,0,0,\r\nA01,2,2,0,1,0,\r\n";
    for (int k = 0; k < kParcels; ++k) {
        const std::string a = std::to_string(k), b = std::to_string(k + 1);
        objects += "Region 1\r\n  5\r\n" + a + " 0\r\n" + a + " 1\r\n" + b + " 1\r\n" + b +
                   " 0\r\n" + a + " 0\r\n";
        const std::string n1 = std::to_string(2 * k + 3), n2 = std::to_string(2 * k + 4);
        expected += "A01," + n1 + "," + n1 + "," + b + ",1,0,\r\nA01," + n2 + "," + n2 + "," + b +
                    ",0,0,\r\n";
    }
    expected += "A99,\r\n";
    Job job(Table("Columns 0\r\n", objects), nullptr);
    job.s.Rosen = false;
    ASSERT_TRUE(job.Run());
    const std::string out = job.Out();
    const size_t from = out.find("A00,\r\n"), to = out.find("A99,\r\n");
    ASSERT_NE(from, std::string::npos);
    ASSERT_NE(to, std::string::npos);
    EXPECT_TRUE(out.compare(from, to + 6 - from, expected) == 0);
    // The last parcel: its first two corners are the last parcel's, its
    // closing vertex is dropped.
    std::string block = "D00," + std::to_string(kParcels) + ",,1,\r\n";
    for (const int n : {2 * kParcels, 2 * kParcels - 1, 2 * kParcels + 1, 2 * kParcels + 2})
        block += "B01," + std::to_string(n) + "," + std::to_string(n) + ",\r\n";
    EXPECT_NE(out.find(block + "D99,\r\n"), std::string::npos);
}

// With a value chosen, every object takes one MID row, so rows and objects
// must agree in number; blank rows at the end may serve the last objects or
// be left over.
TEST(ConvertFile, MidRowsAndObjectsMustAgreeInNumber) {
    const std::string region = "Region 1\r\n 3\r\n0 0\r\n1 0\r\n1 1\r\n";
    struct Case {
        std::string objects, mid;
        const char* said;  // empty: the run succeeds
    };
    const std::vector<Case> cases = {
        // A misspelt keyword drops an object: every later value would move up.
        {region + "Regoin 1\r\n 3\r\n2 0\r\n3 0\r\n3 1\r\n" + region, "a\r\nb\r\nc\r\n",
         "the MID file does not hold one row per object (MIF objects: 2, MID rows: 3)"},
        // Points, texts and empty objects take rows as well.
        {"Point 5 5\r\nText \"t\"\r\n 0 0 1 1\r\nnone\r\n" + region, "p\r\nt\r\nn\r\n",
         "the MID file does not hold one row per object (MIF objects: 4, MID rows: 3)"},
        {region + region, "a\r\n\r\nc\r\n",
         "the MID file does not hold one row per object (MIF objects: 2, MID rows: 3)"},
        {region + region + region, "a\r\n\r\n",
         "the MID file does not hold one row per object (MIF objects: 3, MID rows: 2)"},
        {region + region, "a\r\nb\r\n\r\n  \r\n\r\n", ""},
        {region + region, "a\r\n\r\n", ""},
    };
    for (const Case& c : cases) {
        Job job(Table(kOneColumn, c.objects), &c.mid);
        job.s.AttrIndex = 1;
        WriteBytes(job.s.SimFile, "old");
        std::string why;
        EXPECT_EQ(job.Run(&why), *c.said == 0) << c.mid << why;
        EXPECT_EQ(why, c.said);
        if (*c.said) {
            EXPECT_EQ(job.Out(), "old");
        }
        // Without a value the MID file does not reach the output.
        job.s.AttrIndex = 0;
        EXPECT_TRUE(job.Run(&why)) << why;
    }
    TRunReport r;
    const std::string mid = "a\r\n";
    Job job(Table(kOneColumn, region + region), &mid);
    job.s.AttrIndex = 1;
    EXPECT_FALSE(ConvertFile(job.s, &r));
    EXPECT_EQ(r.Error.Text(TLanguage::Japanese),
              "MIFのオブジェクト 2 件に対し、MIDの行が 1 行です。");
}

TEST(ConvertFile, QuotedValuesSpanLinesAsMapInfoWritesThem) {
    const std::string mif = Table("Columns 2\r\n  Name Char(10)\r\n  Notes Char(20)\r\n",
                                  "Line 0 0 1 1\r\nLine 1 1 2 2\r\n");
    const std::string mid = "\"NAME1\",\"MULTI\r\n\r\nLINE\"\r\n\"NAME2\",\"MULTI\r\nLINE2\"\r\n";
    Job job(mif, &mid);
    job.s.AttrIndex = 1;
    std::string why;
    ASSERT_TRUE(job.Run(&why)) << why;
    EXPECT_NE(job.Out().find("F00,1,NAME1,1,"), std::string::npos);
    EXPECT_NE(job.Out().find("F00,2,NAME2,1,"), std::string::npos);
    // A SIMA line cannot hold the line break.
    job.s.AttrIndex = 2;
    EXPECT_FALSE(job.Run(&why));
    EXPECT_EQ(why,
              "MID row 1, column 2 \"Notes\": the value holds a line break, which a SIMA line "
              "cannot hold");
}

TEST(ConvertFile, ByteOrderMarksOpeningTheFilesAreSkipped) {
    // A header-less table: the Columns line opens the file after the mark.
    const std::string mif =
        "\xEF\xBB\xBF" + kOneColumn + "Data\r\nRegion 1\r\n 3\r\n0 0\r\n1 0\r\n1 1\r\n";
    const std::string mid = "\xEF\xBB\xBF\"12-4\"\r\n";
    Job job(mif, &mid);
    job.s.AttrIndex = 1;
    std::string why;
    ASSERT_TRUE(job.Run(&why)) << why;
    EXPECT_NE(job.Out().find("D00,1,12-4,1,"), std::string::npos);
    // Whatever the declared set: here code page 932, where the mark's bytes
    // would have become the lot number's first.
    Job neutral("\xEF\xBB\xBF" + Table(kOneColumn, "Line 0 0 1 1\r\n"), &mid);
    neutral.s.AttrIndex = 1;
    ASSERT_TRUE(neutral.Run(&why)) << why;
    EXPECT_NE(neutral.Out().find("F00,1,12-4,1,"), std::string::npos);
}

TEST(ConvertFile, RowsThatAreNoCodePage932Fail) {
    const std::string mif =
        Table("Columns 2\r\n  A Char(10)\r\n  B Char(10)\r\n", "Line 0 0 1 1\r\nLine 1 1 2 2\r\n");
    // UTF-8 南 (E5 8D 97) in a Neutral table: its last byte is a lead byte
    // that would take the comma along and merge the two columns.
    const std::string utf8 = "x,y\r\n\xE5\x8D\x97,\xE5\x8C\x97\r\n";
    Job job(mif, &utf8);
    job.s.AttrIndex = 2;
    WriteBytes(job.s.SimFile, "old");
    std::string why;
    EXPECT_FALSE(job.Run(&why));
    EXPECT_NE(why.find("MID row 2, column 1 \"A\""), std::string::npos) << why;
    EXPECT_NE(why.find("the table looks like UTF-8"), std::string::npos) << why;
    EXPECT_NE(why.find("Charset \"UTF-8\""), std::string::npos) << why;
    EXPECT_EQ(job.Out(), "old");
    // Not UTF-8 either.
    const std::string broken = "x,y\r\n\x82,z\r\n";
    Job other(mif, &broken);
    other.s.AttrIndex = 2;
    EXPECT_FALSE(other.Run(&why));
    EXPECT_EQ(why, "MID row 2, column 1 \"A\": byte 0x82 is not valid code page 932 (Shift_JIS)");
    // User-defined characters are code page 932.
    const std::string gaiji = "x,\xF0\x40\r\ny,\xF9\xFC\r\n";
    Job ok(mif, &gaiji);
    ok.s.AttrIndex = 2;
    ASSERT_TRUE(ok.Run(&why)) << why;
    EXPECT_NE(ok.Out().find("F00,2,\xF9\xFC,1,"), std::string::npos);
}

}  // namespace
}  // namespace quorvex

namespace quorvex {
namespace {

// The same runs through the result interface: every outcome a typed
// failure with its message and place, and nothing thrown.
TEST(RunConvert, EveryOutcomeIsAResult) {
    const std::string mid = "\r\n";
    Job job(Table(kOneColumn, "Line 0 0 1 1\r\n"), &mid);
    TRunResult r = RunConvert(job.s);
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.Output, job.s.SimFile);
    EXPECT_EQ(r.Counts.Routes, 1);
    ASSERT_EQ(r.Inputs.size(), 1u);
    EXPECT_EQ(r.Inputs[0].Input, job.s.MifFile);
    EXPECT_TRUE(r.Inputs[0].Warnings.empty());  // plane metres

    auto failure = [&job](const TConvertSettings& s) {
        const TRunResult result = RunConvert(s);
        EXPECT_FALSE(result.Written);
        EXPECT_EQ(result.FailedInputs(), 1u);
        EXPECT_EQ(result.Failure, result.Inputs.at(0).Failure);
        EXPECT_EQ(result.Error.Id, result.Inputs.at(0).Error.Id);
        EXPECT_EQ(result.Inputs.at(0).Input, s.MifFile);
        return result;
    };
    TConvertSettings s = job.s;
    s.SimFile.clear();
    EXPECT_EQ(failure(s).Failure, TRunFailure::NoDestination);
    s = job.s;
    s.SimFile = job.dir / "in.mid";
    EXPECT_EQ(failure(s).Error.Id, TMsg::OutputIsAnInput);
    EXPECT_EQ(failure(s).Failure, TRunFailure::Refused);
    s = job.s;
    s.MifFile = job.dir / "none.mif";
    EXPECT_EQ(failure(s).Failure, TRunFailure::Missing);

    // What ConvertFile throws is an Open or Input failure here.
    s = job.s;
    s.SimFile = job.dir / "no/such/dir/out.sim";
    r = failure(s);
    EXPECT_EQ(r.Failure, TRunFailure::Open);
    EXPECT_EQ(r.Where.File, s.SimFile);
    WriteBytes(job.dir / "neg.mif", kHeader + "Columns -1\r\nData\r\n");
    WriteBytes(job.dir / "neg.mid", "");
    s = job.s;
    s.MifFile = job.dir / "neg.mif";
    EXPECT_THROW(ConvertFile(s), ConversionError);
    r = failure(s);
    EXPECT_EQ(r.Failure, TRunFailure::Input);
    EXPECT_EQ(r.Where.File, s.MifFile);
    EXPECT_EQ(r.Where.Line, 5);

    // A bad object: a conversion failure at its line; the old file stays.
    WriteBytes(job.dir / "bad.mif", Table(kOneColumn, "Line 0 0 1 1\r\nLine 0 x 1 1\r\n"));
    WriteBytes(job.dir / "bad.mid", "\r\n\r\n");
    s = job.s;
    s.MifFile = job.dir / "bad.mif";
    r = failure(s);
    EXPECT_EQ(r.Failure, TRunFailure::Conversion);
    EXPECT_EQ(r.Where.File, s.MifFile);
    EXPECT_EQ(r.Where.Line, 10);
    EXPECT_EQ(r.Counts, TConvertCounts());
    EXPECT_NE(ReadBytes(job.s.SimFile).find("G00,"), std::string::npos);
}

TEST(RunConvert, DegreesWrittenAsTheyStandAreWarnedOfUnlessProjected) {
    TempDir dir;
    TConvertSettings s;
    s.MifFile = dir / "ll.mif";
    s.SimFile = dir / "ll.sim";
    WriteBytes(s.MifFile,
               "Version 300\r\nCharset \"Neutral\"\r\nDelimiter \",\"\r\n"
               "CoordSys Earth Projection 1, 104\r\nColumns 0\r\nData\r\n"
               "Line 139.7 35.6 139.8 35.7\r\n");
    TRunResult r = RunConvert(s);
    ASSERT_TRUE(r.Written) << r.Error.Text(TLanguage::English);
    ASSERT_EQ(r.Inputs[0].Warnings.size(), 1u);
    EXPECT_EQ(r.Inputs[0].Warnings[0].Id, TMsg::CsWarnDegrees);
    s.Zone = 9;
    r = RunConvert(s);
    ASSERT_TRUE(r.Written) << r.Error.Text(TLanguage::English);
    EXPECT_TRUE(r.Inputs[0].Warnings.empty());
}

}  // namespace
}  // namespace quorvex
