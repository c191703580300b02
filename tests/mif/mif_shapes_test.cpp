// Objects given by a bounding box: RECT, ROUNDRECT, ELLIPSE and ARC, turned
// into vertex lists.
#include <gtest/gtest.h>

#include "mif/mif_test_util.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "mif/uniMifUtils.h"
#include "support/errors.h"

namespace quorvex {
namespace {

using test::NextLine;
using test::V;
using test::Vertices;

constexpr double kDeg = std::numbers::pi / 180;

#define EXPECT_NEAR_POINT(p, x, y, tol) \
    do {                                \
        EXPECT_NEAR((p).X, x, tol);     \
        EXPECT_NEAR((p).Y, y, tol);     \
    } while (0)

TEST(RotatePoint, TurnsClockwiseByTheAngle) {
    EXPECT_NEAR_POINT(RotatePoint(1, 0, 0, 0, std::numbers::pi / 2), 0, -1, 1e-15);
    EXPECT_NEAR_POINT(RotatePoint(3, 2, 2, 2, std::numbers::pi), 1, 2, 1e-15);
    EXPECT_NEAR_POINT(RotatePoint(12, 5, 10, 5, 30 * kDeg), 10 + std::sqrt(3.0), 4, 1e-14);
}

TEST(ReadMifRect, FourCornersInOrder) {
    TSFPolygon rec;
    TLineReader mif = TLineReader::FromText("Pen (1,2,0)\n");
    ReadMifRect("Rect 0 0 10 5", mif, rec);
    EXPECT_EQ(Vertices(rec), (V{{0, 0}, {10, 0}, {10, 5}, {0, 5}}));
    EXPECT_EQ(rec.NumPoints, 4);
    EXPECT_EQ(rec.NumParts, 1);
    EXPECT_EQ(rec.Parts, std::vector<int32_t>{0});
    EXPECT_EQ(NextLine(mif), "Pen (1,2,0)");

    TLineReader swapped = TLineReader::FromText("");
    ReadMifRect("Rect 10 5 -1 -2", swapped, rec);
    EXPECT_EQ(Vertices(rec), (V{{10, 5}, {-1, 5}, {-1, -2}, {10, -2}}));
    EXPECT_EQ(rec.MinX, -1);
    EXPECT_EQ(rec.MinY, -2);
    EXPECT_EQ(rec.MaxX, 10);
    EXPECT_EQ(rec.MaxY, 5);
}

TEST(ReadMifRect, NumbersSpreadOverSeveralLines) {
    const std::pair<const char*, const char*> cases[] = {
        {"Rect 0 0", "10 5\nnext\n"},
        {"Rect", "0 0 10 5\nnext\n"},
        {"Rect", "  0\n0\n10\n  5\nnext\n"},
        {"Rect 0 0 10", "5\nnext\n"},
    };
    for (const auto& [line, rest] : cases) {
        TSFPolygon rec;
        TLineReader mif = TLineReader::FromText(rest);
        ReadMifRect(line, mif, rec);
        EXPECT_EQ(Vertices(rec), (V{{0, 0}, {10, 0}, {10, 5}, {0, 5}})) << line;
        EXPECT_EQ(NextLine(mif), "next") << line;
    }
}

TEST(ReadMifRect, RoundRectRoundingValue) {
    TSFPolygon rec;
    TLineReader nextLine = TLineReader::FromText("2\n");
    ReadMifRect("Roundrect 0 0 10 5", nextLine, rec, true);
    EXPECT_EQ(Vertices(rec), (V{{0, 0}, {10, 0}, {10, 5}, {0, 5}}));
    EXPECT_EQ(NextLine(nextLine), "2");

    TLineReader sameLine = TLineReader::FromText("");
    ReadMifRect("Roundrect -1 -1 1 1 1", sameLine, rec, true);
    EXPECT_EQ(Vertices(rec), (V{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}));

    TLineReader fifth = TLineReader::FromText("");
    EXPECT_THROW(ReadMifRect("Rect 0 0 10 5 6", fifth, rec), ConversionError);
    TLineReader cut = TLineReader::FromText("10\n");
    EXPECT_THROW(ReadMifRect("Rect 0 0", cut, rec), ConversionError);
    TLineReader word = TLineReader::FromText("");
    EXPECT_THROW(ReadMifRect("Rect 0 0 a 5", word, rec), ConversionError);
}

TEST(ReadMifEllipse, RingOf361VerticesClockwise) {
    TSFPolygon rec;
    TLineReader mif = TLineReader::FromText("Brush (2,16777215,16777215)\n");
    ReadMifEllipse("Ellipse 0 0 10 20", mif, rec);
    ASSERT_EQ(rec.Points.size(), 361u);
    EXPECT_EQ(rec.NumPoints, 361);
    EXPECT_EQ(rec.NumParts, 1);
    EXPECT_EQ(rec.Parts, std::vector<int32_t>{0});
    EXPECT_EQ(NextLine(mif), "Brush (2,16777215,16777215)");

    EXPECT_NEAR_POINT(rec.Points[359], 10, 10, 1e-12);
    EXPECT_NEAR_POINT(rec.Points[0], 9.99924, 9.82548, 5e-6);
    EXPECT_NEAR_POINT(rec.Points[90], 4.91274, 0.00152, 5e-6);
    EXPECT_NEAR_POINT(rec.Points[270], 5.08726, 19.99848, 5e-6);
    EXPECT_EQ(rec.Points[360].X, rec.Points[0].X);
    EXPECT_EQ(rec.Points[360].Y, rec.Points[0].Y);
    // Vertex 359 - i lies at parameter i degrees; vertex 1 is 358 degrees.
    EXPECT_NEAR_POINT(rec.Points[1], 5 + 5 * std::cos(358 * kDeg), 10 + 10 * std::sin(358 * kDeg),
                      1e-9);
    for (const TSFPoint& p : rec.Points) {
        EXPECT_GE(p.X, -1e-12);
        EXPECT_LE(p.X, 10 + 1e-12);
        EXPECT_GE(p.Y, -1e-12);
        EXPECT_LE(p.Y, 20 + 1e-12);
    }
    EXPECT_NEAR(rec.MinX, 0, 1e-3);
    EXPECT_EQ(rec.MaxX, 10);
    EXPECT_NEAR(rec.MinY, 0, 1e-3);
    EXPECT_NEAR(rec.MaxY, 20, 1e-3);
}

TEST(ReadMifEllipse, DegenerateAndMalformedBoxes) {
    TSFPolygon rec;
    TLineReader mif = TLineReader::FromText("");
    ReadMifEllipse("Ellipse 3 0 3 8", mif, rec);
    ASSERT_EQ(rec.Points.size(), 361u);
    for (const TSFPoint& p : rec.Points)
        EXPECT_EQ(p.X, 3);

    // The box must stand on the object line; the next line is not read.
    TLineReader nextLine = TLineReader::FromText("0 0 10 20\n");
    EXPECT_THROW(ReadMifEllipse("Ellipse", nextLine, rec), ConversionError);
    EXPECT_EQ(NextLine(nextLine), "0 0 10 20");
    TLineReader short3 = TLineReader::FromText("");
    EXPECT_THROW(ReadMifEllipse("Ellipse 0 0 10", short3, rec), ConversionError);
}

// Angle in degrees (0..360) of p seen from the centre, Y up.
double DirectionOf(const TSFPoint& p, double cx, double cy) {
    double a = std::atan2(p.Y - cy, p.X - cx) / kDeg;
    return a < 0 ? a + 360 : a;
}

TEST(ReadMifArc, QuarterCircleWithAnglesOnTheNextLine) {
    TSFPolyLine rec;
    TLineReader mif = TLineReader::FromText("0 90\nPen (1,2,0)\n");
    ReadMifArc("Arc 0 0 11 11", mif, rec);
    EXPECT_EQ(NextLine(mif), "Pen (1,2,0)");
    const size_t n = rec.Points.size();
    ASSERT_TRUE(n == 90 || n == 91) << n;
    EXPECT_EQ(rec.NumPoints, static_cast<int32_t>(n));
    EXPECT_EQ(rec.Parts, std::vector<int32_t>{0});
    for (const TSFPoint& p : rec.Points)
        EXPECT_NEAR(std::hypot(p.X - 5.5, p.Y - 5.5), 5, 1e-9);  // radius 5, not 5.5
    const double first = DirectionOf(rec.Points[0], 5.5, 5.5);
    EXPECT_TRUE(std::fabs(first - 90) < 1e-9 || std::fabs(first - 91) < 1e-9) << first;
    for (size_t j = 1; j + 1 < n; ++j)  // clockwise, one degree apart
        EXPECT_NEAR(DirectionOf(rec.Points[j - 1], 5.5, 5.5) - DirectionOf(rec.Points[j], 5.5, 5.5),
                    1, 1e-9);
    EXPECT_NEAR_POINT(rec.Points[n - 1], 10.5, 5.5, 1e-9);

    // The same arc with the angles on the object line reads no further line.
    TSFPolyLine same;
    TLineReader rest = TLineReader::FromText("Pen (1,2,0)\n");
    ReadMifArc("Arc 0 0 11 11 0 90", rest, same);
    EXPECT_EQ(NextLine(rest), "Pen (1,2,0)");
    ASSERT_EQ(same.Points.size(), n);
    for (size_t j = 0; j < n; ++j) {
        EXPECT_EQ(same.Points[j].X, rec.Points[j].X);
        EXPECT_EQ(same.Points[j].Y, rec.Points[j].Y);
    }
}

TEST(ReadMifArc, EllipticArc) {
    TSFPolyLine rec;
    TLineReader mif = TLineReader::FromText("");
    ReadMifArc("Arc 0 0 21 11 45.5 100.2", mif, rec);
    ASSERT_EQ(rec.Points.size(), 32u);
    EXPECT_NEAR_POINT(rec.Points[0], 9.45472, 10.47261, 5e-6);
    for (int j = 0; j <= 30; ++j) {  // parameters 96 down to 66 degrees
        const double t = (96 - j) * kDeg;
        EXPECT_NEAR_POINT(rec.Points[j], 10.5 + 10 * std::cos(t), 5.5 + 5 * std::sin(t), 1e-9);
    }
    EXPECT_NEAR_POINT(rec.Points[31], 14.90991, 9.98756, 5e-6);
    EXPECT_NEAR(DirectionOf(rec.Points[31], 10.5, 5.5), 45.5, 1e-9);  // exactly the start
    EXPECT_GT(DirectionOf(rec.Points[0], 10.5, 5.5), 100.2);
    EXPECT_EQ(rec.MaxY, rec.Points[6].Y);  // parameter 90 is the highest vertex
}

TEST(ReadMifArc, EqualAnglesAndDegenerateBoxes) {
    TSFPolyLine rec;
    TLineReader mif = TLineReader::FromText("");
    ReadMifArc("Arc 0 0 21 11 30 30", mif, rec);
    ASSERT_EQ(rec.Points.size(), 1u);
    const TSFPoint p = rec.Points[0];
    EXPECT_NEAR(DirectionOf(p, 10.5, 5.5), 30, 1e-9);
    EXPECT_NEAR(std::pow((p.X - 10.5) / 10, 2) + std::pow((p.Y - 5.5) / 5, 2), 1, 1e-12);

    TLineReader tiny = TLineReader::FromText("");
    ReadMifArc("Arc 0 0 1 1 0 90", tiny, rec);
    ASSERT_EQ(rec.Points.size(), 1u);
    EXPECT_EQ(Vertices(rec), (V{{0.5, 0.5}}));

    TLineReader turn = TLineReader::FromText("");
    ReadMifArc("Arc 0 0 11 11 0 360", turn, rec);  // a single vertex or a full ring
    EXPECT_TRUE(rec.Points.size() == 1 || rec.Points.size() >= 360) << rec.Points.size();
}

TEST(ReadMifArc, MissingAnglesFail) {
    TSFPolyLine rec;
    TLineReader blank = TLineReader::FromText("\n0 90\n");
    EXPECT_THROW(ReadMifArc("Arc 0 0 11 11", blank, rec), ConversionError);
    TLineReader end = TLineReader::FromText("");
    EXPECT_THROW(ReadMifArc("Arc 0 0 11 11", end, rec), ConversionError);
    TLineReader one = TLineReader::FromText("");
    EXPECT_THROW(ReadMifArc("Arc 0 0 11 11 45", one, rec), ConversionError);
    TLineReader word = TLineReader::FromText("");
    EXPECT_THROW(ReadMifArc("Arc 0 0 11 x 0 90", word, rec), ConversionError);
}

}  // namespace
}  // namespace quorvex
