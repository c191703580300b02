// Vertex-list objects: LINE, PLINE (single and MULTIPLE), REGION and the
// MULTIPOINT of collections, with the head/tail split and the bounds they use.
#include <gtest/gtest.h>

#include "mif/mif_test_util.h"

#include <chrono>
#include <string>
#include <vector>

#include "mif/mif_text.h"
#include "mif/uniMifUtils.h"
#include "support/errors.h"
#include "test_util.h"

namespace quorvex {
namespace {

using test::NextLine;
using test::V;
using test::Vertices;

void ExpectBounds(const TSFShape& rec, double minX, double minY, double maxX, double maxY) {
    EXPECT_EQ(rec.MinX, minX);
    EXPECT_EQ(rec.MinY, minY);
    EXPECT_EQ(rec.MaxX, maxX);
    EXPECT_EQ(rec.MaxY, maxY);
}

TEST(SplitFirst, HeadAndTailAtTheFirstSeparator) {
    const TSplit leading = SplitFirst(' ', " 12 34");
    EXPECT_EQ(leading.Head, "");
    EXPECT_EQ(leading.Tail, "12 34");
    const TSplit twoBlanks = SplitFirst(' ', "12  34");
    EXPECT_EQ(twoBlanks.Head, "12");
    EXPECT_EQ(twoBlanks.Tail, "34");
    const TSplit none = SplitFirst(' ', "\t12\t");
    EXPECT_EQ(none.Head, "12");
    EXPECT_EQ(none.Tail, "");
    const TSplit paren = SplitFirst('(', "Char (20)");
    EXPECT_EQ(paren.Head, "Char");
    EXPECT_EQ(paren.Tail, "20)");
}

TEST(UpdateBounds, LeastAndGreatestOfEachAxis) {
    TSFPolyLine line;
    line.Points = {{10, 5}, {2, 8}};
    line.NumPoints = 2;
    UpdateBounds(line);
    ExpectBounds(line, 2, 5, 10, 8);

    TSFPolygon poly;
    poly.Points = {{0, 9}, {5, 1}, {9, 4}, {-100, -100}};
    poly.NumPoints = 3;  // only the first NumPoints count
    UpdateBounds(poly);
    ExpectBounds(poly, 0, 1, 9, 9);

    poly.NumPoints = 0;
    poly.Points.clear();
    UpdateBounds(poly);
    ExpectBounds(poly, 0, 1, 9, 9);
}

TEST(ReadMifLine, CoordinatesOnTheObjectLineOrTheNextOnes) {
    TSFPolyLine rec;
    TLineReader same = TLineReader::FromText("Pen (1,2,0)\n");
    ReadMifLine("Line 1 2 3 4", same, rec);
    EXPECT_EQ(Vertices(rec), (V{{1, 2}, {3, 4}}));
    EXPECT_EQ(rec.NumPoints, 2);
    EXPECT_EQ(rec.NumParts, 1);
    EXPECT_EQ(rec.Parts, std::vector<int32_t>{0});
    ExpectBounds(rec, 1, 2, 3, 4);
    EXPECT_EQ(NextLine(same), "Pen (1,2,0)");

    TLineReader next = TLineReader::FromText("  \r\n  10 -5 -2 8  \r\nPen\r\n");
    ReadMifLine("Line", next, rec);
    EXPECT_EQ(Vertices(rec), (V{{10, -5}, {-2, 8}}));
    ExpectBounds(rec, -2, -5, 10, 8);
    EXPECT_EQ(NextLine(next), "Pen");

    TLineReader broken = TLineReader::FromText("2 3 4\nPen\n");
    ReadMifLine("Line 1", broken, rec);
    EXPECT_EQ(Vertices(rec), (V{{1, 2}, {3, 4}}));
    EXPECT_EQ(NextLine(broken), "Pen");
}

TEST(ReadMifLine, MalformedLinesFail) {
    TSFPolyLine rec;
    TLineReader a = TLineReader::FromText("");
    EXPECT_THROW(ReadMifLine("Line 1 2 3 4 5", a, rec), ConversionError);
    TLineReader b = TLineReader::FromText("3 4\n");
    EXPECT_THROW(ReadMifLine("Line 1 2", b, rec), ConversionError);
    TLineReader c = TLineReader::FromText("\n  \n");
    EXPECT_THROW(ReadMifLine("Line", c, rec), ConversionError);
    TLineReader d = TLineReader::FromText("");
    EXPECT_THROW(ReadMifLine("Line 1", d, rec), ConversionError);
    TLineReader e = TLineReader::FromText("");
    EXPECT_THROW(ReadMifLine("Line 1 2 3 x", e, rec), ConversionError);
}

TEST(ReadMifPline, SingleSectionSkipsBlankLines) {
    TSFPolyLine rec;
    TLineReader mif = TLineReader::FromText("0 0\n\n10 0\n10 10\nPen (1,2,0)\n");
    ReadMifPline("Pline 3", mif, rec);
    EXPECT_EQ(Vertices(rec), (V{{0, 0}, {10, 0}, {10, 10}}));
    EXPECT_EQ(rec.NumPoints, 3);
    EXPECT_EQ(rec.NumParts, 1);
    EXPECT_EQ(rec.Parts, std::vector<int32_t>{0});
    ExpectBounds(rec, 0, 0, 10, 10);
    EXPECT_EQ(NextLine(mif), "Pen (1,2,0)");

    // Count on its own line.
    TLineReader split = TLineReader::FromText("2\n5 6\n-7 8\n");
    ReadMifPline("Pline", split, rec);
    EXPECT_EQ(Vertices(rec), (V{{5, 6}, {-7, 8}}));
    ExpectBounds(rec, -7, 6, 5, 8);
}

TEST(ReadMifPline, MultipleSections) {
    TSFPolyLine rec;
    TLineReader mif = TLineReader::FromText("  2\n0 0\n1 1\n  3\n5 5\n6 6\n7 7\nSmooth\n");
    ReadMifPline("Pline Multiple 2", mif, rec);
    EXPECT_EQ(rec.NumParts, 2);
    EXPECT_EQ(rec.Parts, (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(rec.NumPoints, 5);
    EXPECT_EQ(Vertices(rec), (V{{0, 0}, {1, 1}, {5, 5}, {6, 6}, {7, 7}}));
    ExpectBounds(rec, 0, 0, 7, 7);
    EXPECT_EQ(NextLine(mif), "Smooth");

    TLineReader one = TLineReader::FromText("2\n1 2\n3 4\n");
    ReadMifPline("Pline MULTIPLE", one, rec);
    EXPECT_EQ(rec.NumParts, 1);
    EXPECT_EQ(Vertices(rec), (V{{1, 2}, {3, 4}}));
}

TEST(ReadMifPline, VertexLinesAreTrimmedAndTabsSeparate) {
    TSFPolyLine rec;
    TLineReader mif = TLineReader::FromText(" 728800.00 1592600.00\r\n1\t2\r\n\t3  \t 4 \r\n");
    ReadMifPline("Pline 3", mif, rec);
    EXPECT_EQ(Vertices(rec), (V{{728800.0, 1592600.0}, {1, 2}, {3, 4}}));

    TLineReader three = TLineReader::FromText("1 2 3\n");
    EXPECT_THROW(ReadMifPline("Pline 1", three, rec), ConversionError);
    TLineReader one = TLineReader::FromText("1\n");
    EXPECT_THROW(ReadMifPline("Pline 1", one, rec), ConversionError);
    TLineReader comma = TLineReader::FromText("1,5 2,5\n");
    EXPECT_THROW(ReadMifPline("Pline 1", comma, rec), ConversionError);
}

TEST(ReadMifPline, TruncatedOrEmptyObjectsFail) {
    const std::pair<const char*, const char*> cases[] = {
        {"Pline 3", "0 0\n1 1\n"},          // fewer vertex lines than the count
        {"Pline", ""},                      // no count at all
        {"Pline", "\n\n"},                  // only blank lines
        {"Pline -1", "0 0\n"},              // negative count
        {"Pline 0", "0 0\n"},               // no vertices
        {"Pline x", "0 0\n"},               // count that is no integer
        {"Pline Multiple 2", "1\n0 0\n"},   // second section missing
        {"Pline Multiple 2", "0\n0\n"},     // no vertices in total
        {"Pline Multiple -2", "1\n0 0\n"},  // negative section count
        {"Pline Multiple 1", "-1\n0 0\n"},  // negative vertex count
        {"Pline Multiple 1", "a\n0 0\n"},   // count line that is no integer
    };
    for (const auto& [line, rest] : cases) {
        TSFPolyLine rec;
        TLineReader mif = TLineReader::FromText(rest);
        EXPECT_THROW(ReadMifPline(line, mif, rec), ConversionError) << line << " / " << rest;
    }
}

TEST(ReadMifPline, HugeCountFailsQuicklyWithoutAllocating) {
    TSFPolyLine rec;
    TLineReader mif = TLineReader::FromText("1 2\n3 4\n");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(ReadMifPline("Pline 2000000000", mif, rec), ConversionError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_LT(rec.Points.capacity(), 1000u);

    TLineReader sections = TLineReader::FromText("1\n1 2\n");
    EXPECT_THROW(ReadMifPline("Pline Multiple 2000000000", sections, rec), ConversionError);
    EXPECT_LT(rec.Parts.capacity(), 1000u);
}

TEST(ReadMifRegion, PolygonsFollowOneAnother) {
    TSFPolygon rec;
    TLineReader mif = TLineReader::FromText(
        "4\n0 0\n4 0\n4 4\n0 0\n  5\n1 1\n\n2 1\n2 2\n1 2\n1 1\n    Pen (1,2,0)\n");
    ReadMifRegion("Region 2", mif, rec);
    EXPECT_EQ(rec.NumParts, 2);
    EXPECT_EQ(rec.Parts, (std::vector<int32_t>{0, 4}));
    EXPECT_EQ(rec.NumPoints, 9);
    ASSERT_EQ(rec.Points.size(), 9u);
    EXPECT_EQ(Vertices(rec)[3], std::make_pair(0.0, 0.0));  // closing vertex stays
    EXPECT_EQ(Vertices(rec)[4], std::make_pair(1.0, 1.0));
    ExpectBounds(rec, 0, 0, 4, 4);
    EXPECT_EQ(NextLine(mif), "    Pen (1,2,0)");

    // A record that held a larger object keeps nothing of it.
    TLineReader small = TLineReader::FromText("  4\n100 200\n110 200\n110 210\n100 200\n");
    ReadMifRegion("Region 1", small, rec);
    EXPECT_EQ(rec.NumParts, 1);
    EXPECT_EQ(rec.Parts, std::vector<int32_t>{0});
    EXPECT_EQ(Vertices(rec), (V{{100, 200}, {110, 200}, {110, 210}, {100, 200}}));
    ExpectBounds(rec, 100, 200, 110, 210);

    TLineReader later = TLineReader::FromText("1\n1\n5 5\n");
    ReadMifRegion("Region", later, rec);
    EXPECT_EQ(Vertices(rec), (V{{5, 5}}));
}

TEST(ReadMifRegion, MalformedRegionsFail) {
    const std::pair<const char*, const char*> cases[] = {
        {"Region 1", ""},               // count line missing
        {"Region 1", "3\n0 0\n1 1\n"},  // vertex lines missing
        {"Region 0", ""},               // no polygon
        {"Region 2", "0\n0\n"},         // no vertex
        {"Region -1", "1\n0 0\n"},      // negative polygon count
        {"Region 1", "-3\n0 0\n"},      // negative vertex count
        {"Region abc", "1\n0 0\n"},     // polygon count that is no integer
        {"Region 1", "1\n1 2 3\n"},     // three numbers on a vertex line
        {"Region", ""},                 // nothing after the keyword
    };
    for (const auto& [line, rest] : cases) {
        TSFPolygon rec;
        TLineReader mif = TLineReader::FromText(rest);
        EXPECT_THROW(ReadMifRegion(line, mif, rec), ConversionError) << line << " / " << rest;
    }
}

TEST(SkipMifMultipoint, ConsumesItsCoordinateLines) {
    TLineReader mif = TLineReader::FromText(" 1 2\n\n3\t4\nSymbol (35,0,12)\n");
    SkipMifMultipoint("Multipoint 2", mif);
    EXPECT_EQ(NextLine(mif), "Symbol (35,0,12)");

    TLineReader cut = TLineReader::FromText("1 2\n");
    EXPECT_THROW(SkipMifMultipoint("Multipoint 2", cut), ConversionError);
    TLineReader bad = TLineReader::FromText("1 2 3\n");
    EXPECT_THROW(SkipMifMultipoint("Multipoint 1", bad), ConversionError);
}

// Vertex lines in the reader's buffer are parsed reading ahead of their end:
// the byte after each is a line end, even after the last line of a file
// without one, where the buffer still holds digits of earlier blocks, and
// the result is the one the padded copy gives.
TEST(TryShortVertex, ReadingAheadInTheBufferGivesTheSameVertices) {
    const std::vector<std::string> texts = {
        "12345678.25 87654321.75\r\n1 2\r\n-3.5 4",
        "1.5 2.5\n123456789012.125 3\n7 8\n",
        "-98765.4321 12345.6789\r\n9 9",
        "1 2 3\n4.5e3 6\n0.1234567890123456 1\n12 34",
        "11111111111111111111 2\n3 44444444",
    };
    test::TempDir dir;
    const std::string path = dir / "vertices.mif";
    for (const std::string& text : texts) {
        test::WriteBytes(path, text);
        for (size_t block = 1; block <= 48; ++block) {
            TLineReader reader(path, block);
            std::string_view line;
            while (reader.ReadLine(line)) {
                TSFPoint padded{}, ahead{};
                const bool inBuffer = reader.InBuffer(line);
                if (inBuffer) {
                    const char after = line.data()[line.size()];
                    EXPECT_TRUE(after == '\r' || after == '\n') << text << " block " << block;
                }
                const bool ok = mif_text::TryShortVertex(line, padded, false);
                EXPECT_EQ(mif_text::TryShortVertex(line, ahead, inBuffer), ok)
                    << line << " block " << block;
                if (ok) {
                    EXPECT_EQ(ahead.X, padded.X) << line << " block " << block;
                    EXPECT_EQ(ahead.Y, padded.Y) << line << " block " << block;
                }
            }
        }
    }
}

}  // namespace
}  // namespace quorvex
