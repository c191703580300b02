// The example's SVG drawn by a real renderer (rsvg-convert): inside each
// parcel, away from its edges and the labels, the pixels have the parcels'
// fill colour, and the background is white. Skipped where rsvg-convert or
// zlib (to read its PNG) is missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "preview/preview_job.h"
#include "preview/preview_svg.h"
#include "test_util.h"

#ifdef QUORVEX_HAVE_ZLIB
#include <zlib.h>
#endif

namespace quorvex::preview {
namespace {

#ifdef QUORVEX_HAVE_ZLIB
std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (!path) return {};
    std::string_view rest(path);
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string dir(rest.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
        const std::filesystem::path candidate = std::filesystem::path(dir) / program;
        std::error_code ec;
        if (!dir.empty() && std::filesystem::is_regular_file(candidate, ec))
            return candidate.string();
    }
    return {};
}

struct TImage {
    int Width = 0, Height = 0;
    std::vector<uint8_t> Rgba;
    const uint8_t* At(int x, int y) const {
        return &Rgba[(size_t(y) * size_t(Width) + size_t(x)) * 4];
    }
};

uint32_t Be32(const std::string& s, size_t at) {
    return uint32_t(uint8_t(s[at])) << 24 | uint32_t(uint8_t(s[at + 1])) << 16 |
           uint32_t(uint8_t(s[at + 2])) << 8 | uint32_t(uint8_t(s[at + 3]));
}

// An 8-bit RGB or RGBA PNG without interlacing, as rsvg-convert writes it.
bool DecodePng(const std::string& png, TImage& image) {
    if (png.size() < 8 || png.compare(0, 8, "\x89PNG\r\n\x1A\n") != 0) return false;
    std::string idat;
    size_t channels = 0;  // RGB or RGBA
    for (size_t at = 8; at + 8 <= png.size();) {
        const uint32_t length = Be32(png, at);
        const std::string type = png.substr(at + 4, 4);
        if (at + 12 + length > png.size()) return false;
        if (type == "IHDR") {
            image.Width = static_cast<int>(Be32(png, at + 8));
            image.Height = static_cast<int>(Be32(png, at + 12));
            channels = png[at + 17] == 6 ? 4 : png[at + 17] == 2 ? 3 : 0;
            if (png[at + 16] != 8 || channels == 0 || png[at + 20] != 0) return false;
        } else if (type == "IDAT") {
            idat += png.substr(at + 8, length);
        }
        at += 12 + length;
    }
    const size_t stride = size_t(image.Width) * channels;
    std::vector<uint8_t> raw((stride + 1) * size_t(image.Height));
    uLongf rawSize = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawSize, reinterpret_cast<const Bytef*>(idat.data()),
                   static_cast<uLong>(idat.size())) != Z_OK ||
        rawSize != raw.size())
        return false;
    std::vector<uint8_t> pixels(stride * size_t(image.Height));
    for (int y = 0; y < image.Height; ++y) {
        const uint8_t filter = raw[size_t(y) * (stride + 1)];
        const uint8_t* in = &raw[size_t(y) * (stride + 1) + 1];
        uint8_t* out = &pixels[size_t(y) * stride];
        const uint8_t* up = y > 0 ? out - stride : nullptr;
        for (size_t i = 0; i < stride; ++i) {
            const int a = i >= channels ? out[i - channels] : 0, b = up ? up[i] : 0,
                      c = (i >= channels && up) ? up[i - channels] : 0;
            int pred = 0;
            switch (filter) {
                case 0:
                    pred = 0;
                    break;
                case 1:
                    pred = a;
                    break;
                case 2:
                    pred = b;
                    break;
                case 3:
                    pred = (a + b) / 2;
                    break;
                case 4: {
                    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b),
                              pc = std::abs(p - c);
                    pred = (pa <= pb && pa <= pc) ? a : pb <= pc ? b : c;
                    break;
                }
                default:
                    return false;
            }
            out[i] = static_cast<uint8_t>(in[i] + pred);
        }
    }
    image.Rgba.clear();
    for (size_t i = 0; i < pixels.size(); i += channels) {
        image.Rgba.insert(image.Rgba.end(), &pixels[i], &pixels[i] + 3);
        image.Rgba.push_back(channels == 4 ? pixels[i + 3] : 0xFF);
    }
    return true;
}

// Distance from (x, y) to the segment from a to b.
double Distance(double x, double y, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((x - ax) * dx + (y - ay) * dy) / len2 : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    const double ex = ax + t * dx - x, ey = ay + t * dy - y;
    return std::sqrt(ex * ex + ey * ey);
}
#endif

TEST(SvgRender, ParcelsShowTheirFillColour) {
#ifndef QUORVEX_HAVE_ZLIB
    GTEST_SKIP() << "no zlib to read the renderer's PNG";
#else
    const std::string rsvg = FindOnPath("rsvg-convert");
    if (rsvg.empty()) GTEST_SKIP() << "rsvg-convert not installed";
    test::TempDir dir;
    TConvertSettings s;
    s.MifFile = std::string(QUORVEX_EXAMPLES) + "/town.mif";
    s.AttrIndex = 1;
    const TPreviewScene scene(ConvertAndReadBack(s));
    const TFrame f = BuildFrame(scene, SvgFitView(scene));
    test::WriteBytes(dir / "t.svg", SvgOf(scene, f));
    const test::ProgramResult r = test::RunProgram(rsvg, {"-o", dir / "t.png", dir / "t.svg"});
    ASSERT_EQ(r.status, 0) << r.out;
    TImage image;
    ASSERT_TRUE(DecodePng(test::ReadBytes(dir / "t.png"), image));
    ASSERT_EQ(image.Width, f.Width);
    ASSERT_EQ(image.Height, f.Height);

    ASSERT_FALSE(f.Polygons.empty());
    for (const TFramePolygon& p : f.Polygons) {
        // The first pixel centre inside the parcel, 3 pixels from its edges
        // and from every label.
        bool found = false;
        double minX = f.Width, maxX = 0, minY = f.Height, maxY = 0;
        for (uint32_t v = f.RingStarts[p.FirstRing]; v < f.RingStarts[p.FirstRing + p.RingCount];
             ++v) {
            minX = std::min<double>(minX, f.X(v));
            maxX = std::max<double>(maxX, f.X(v));
            minY = std::min<double>(minY, f.Y(v));
            maxY = std::max<double>(maxY, f.Y(v));
        }
        for (int y = static_cast<int>(minY); y < static_cast<int>(maxY) && !found; ++y) {
            for (int x = static_cast<int>(minX); x < static_cast<int>(maxX) && !found; ++x) {
                const double cx = x + 0.5, cy = y + 0.5;
                bool inside = false, nearEdge = false;
                for (uint32_t ring = p.FirstRing; ring < p.FirstRing + p.RingCount; ++ring) {
                    const uint32_t first = f.RingStarts[ring], end = f.RingStarts[ring + 1];
                    for (uint32_t i = first, j = end - 1; i < end; j = i++) {
                        const double xi = f.X(i), yi = f.Y(i), xj = f.X(j), yj = f.Y(j);
                        if ((yi > cy) != (yj > cy) && cx < xi + (cy - yi) * (xj - xi) / (yj - yi))
                            inside = !inside;
                        if (Distance(cx, cy, xi, yi, xj, yj) < 3) nearEdge = true;
                    }
                }
                if (!inside || nearEdge) continue;
                bool nearLabel = false;
                for (const TFrameLabel& l : f.Labels)
                    nearLabel |= std::abs(cx - l.Box.X) < l.Box.Width / 2 + 3 &&
                                 std::abs(cy - l.Box.Y) < l.Box.Height / 2 + 3;
                if (nearLabel) continue;
                found = true;
                const uint8_t* px = image.At(x, y);
                EXPECT_EQ(px[0], 0xD8) << "parcel " << p.Parcel << " at " << x << "," << y;
                EXPECT_EQ(px[1], 0xE8) << "parcel " << p.Parcel;
                EXPECT_EQ(px[2], 0xF8) << "parcel " << p.Parcel;
                EXPECT_EQ(px[3], 0xFF) << "parcel " << p.Parcel;
            }
        }
        EXPECT_TRUE(found) << "no free pixel inside parcel " << p.Parcel;
    }
    const uint8_t* corner = image.At(f.Width - 3, f.Height - 3);
    EXPECT_EQ(corner[0] & corner[1] & corner[2], 0xFF);
#endif
}

}  // namespace
}  // namespace quorvex::preview
