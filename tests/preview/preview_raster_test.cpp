// Frames painted straight into pixels: which pixels a parcel fills and
// outlines, holes left open, runs at the screen's density, and nothing
// written outside the frame however far the shapes reach.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "preview/preview_raster.h"
#include "preview/preview_svg.h"

namespace quorvex::preview {
namespace {

constexpr uint32_t kWhite = 0xffffffffu;
// Outside the frame's rows and columns: must stay as it is.
constexpr uint32_t kGuard = 0x12345678u;

// One parcel of the given rings (pixel positions).
void AddParcel(TFrame& f, const std::vector<std::vector<std::pair<float, float>>>& rings) {
    TFramePolygon polygon;
    polygon.FirstRing = static_cast<uint32_t>(f.RingStarts.size());
    for (const auto& ring : rings) {
        f.RingStarts.push_back(static_cast<uint32_t>(f.Xy.size() / 2));
        for (const auto& [x, y] : ring) {
            f.Xy.push_back(x);
            f.Xy.push_back(y);
        }
        ++polygon.RingCount;
    }
    f.Polygons.push_back(polygon);
}

// A frame `width` x `height` painted at `scale` into a buffer with two
// spare columns and rows around it, filled with kGuard there.
struct TCanvas {
    int Width, Height, Stride;
    std::vector<uint32_t> Bits;
    TCanvas(int width, int height) : Width(width), Height(height), Stride(width + 2) {
        Bits.assign(static_cast<size_t>(Stride) * static_cast<size_t>(height + 2), kGuard);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                At(x, y) = kWhite;
    }
    uint32_t& At(int x, int y) { return Bits[static_cast<size_t>(y * Stride + x)]; }
    void Paint(TFrame f, double scale = 1) {
        f.RingStarts.push_back(static_cast<uint32_t>(f.Xy.size() / 2));
        TRasterScratch scratch;
        RasterizeFrame(f, {Bits.data(), Width, Height, static_cast<size_t>(Stride), scale},
                       scratch);
    }
    bool GuardIntact() {
        for (int y = 0; y < Height + 2; ++y)
            for (int x = 0; x < Stride; ++x)
                if ((x >= Width || y >= Height) && At(x, y) != kGuard) return false;
        return true;
    }
};

TEST(PreviewRaster, ParcelsAreFilledEvenOddAndOutlined) {
    const uint32_t fill = OpaquePixel(kParcelFill), stroke = OpaquePixel(kParcelStroke);
    EXPECT_EQ(OpaquePixel("#1f4e8c"), 0xff1f4e8cu);
    TCanvas c(16, 16);
    TFrame f;
    // An outer ring from 1 to 13 with a hole from 5 to 9.
    AddParcel(f, {{{1.2f, 1.2f}, {13.2f, 1.2f}, {13.2f, 13.2f}, {1.2f, 13.2f}},
                  {{5.2f, 5.2f}, {9.2f, 5.2f}, {9.2f, 9.2f}, {5.2f, 9.2f}}});
    c.Paint(f);
    EXPECT_EQ(c.At(3, 3), fill);
    EXPECT_EQ(c.At(11, 7), fill);
    EXPECT_EQ(c.At(7, 7), kWhite);  // the hole stays open
    EXPECT_EQ(c.At(1, 7), stroke);
    EXPECT_EQ(c.At(13, 7), stroke);
    EXPECT_EQ(c.At(7, 5), stroke);
    EXPECT_EQ(c.At(7, 9), stroke);
    EXPECT_EQ(c.At(0, 0), kWhite);
    EXPECT_EQ(c.At(15, 15), kWhite);
    EXPECT_EQ(c.At(14, 7), kWhite);
    EXPECT_TRUE(c.GuardIntact());
}

TEST(PreviewRaster, ShapesReachingFarOutStayInsideTheFrame) {
    TCanvas c(10, 8);
    TFrame f;
    // A parcel far larger than the frame, a ring zigzagging across it more
    // often than is held at once, and routes from far outside through it.
    AddParcel(f, {{{-1e6f, -1e6f}, {1e6f, -1e6f}, {1e6f, 1e6f}, {-1e6f, 1e6f}}});
    std::vector<std::pair<float, float>> zigzag;
    for (int i = 0; i < 140000; ++i)
        zigzag.push_back({static_cast<float>(i) * 1e-5f, i % 2 ? -1e6f : 1e6f});
    AddParcel(f, {zigzag});
    const uint32_t first = static_cast<uint32_t>(f.Xy.size() / 2);
    f.Xy.insert(f.Xy.end(), {-1e6f, -4e5f, 1e6f, 4e5f, 5.5f, -1e6f, 5.5f, 1e6f});
    f.Polylines.push_back({0, first, 2});
    f.Polylines.push_back({1, first + 2, 2});
    f.ParcelRuns.push_back({7, 8, 40});
    // Vertices that are no numbers or infinite draw nothing, and no harm.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    AddParcel(f, {{{nan, 1}, {3, inf}, {-inf, 2}, {4, nan}}});
    const uint32_t odd = static_cast<uint32_t>(f.Xy.size() / 2);
    f.Xy.insert(f.Xy.end(), {nan, 3.0f, 2.0f, inf});
    f.Polylines.push_back({2, odd, 2});
    c.Paint(f);
    EXPECT_TRUE(c.GuardIntact());
    EXPECT_EQ(c.At(8, 1), OpaquePixel(kParcelFill));
    const uint32_t route = OpaquePixel(kRouteStroke);
    EXPECT_EQ(c.At(5, 0), route);
    EXPECT_EQ(c.At(5, 7), route);
    EXPECT_EQ(c.At(9, 7), OpaquePixel(kSmallParcelFill));
}

TEST(PreviewRaster, RunsAndLinesFollowTheScreenDensity) {
    TCanvas c(12, 12);
    TFrame f;
    f.ParcelRuns.push_back({2, 1, 3});  // row 2, pixels 1 and 2
    const uint32_t first = static_cast<uint32_t>(f.Xy.size() / 2);
    f.Xy.insert(f.Xy.end(), {0.5f, 5.2f, 5.5f, 5.2f});
    f.Polylines.push_back({0, first, 2});
    c.Paint(f, 2);
    const uint32_t run = OpaquePixel(kSmallParcelFill), route = OpaquePixel(kRouteStroke);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool inRun = x >= 2 && x < 6 && y >= 4 && y < 6;
            const bool onLine = y == 10 && x >= 1 && x <= 11;
            EXPECT_EQ(c.At(x, y), inRun ? run : onLine ? route : kWhite) << x << "," << y;
        }
    EXPECT_TRUE(c.GuardIntact());
}

}  // namespace
}  // namespace quorvex::preview
