#include "preview/preview_raster.h"

#include <algorithm>
#include <cmath>

#include "preview/preview_svg.h"

namespace quorvex::preview {
namespace {

int Digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

// The smallest whole number not below v, for v well inside int's range:
// without the processor's rounding instructions std::ceil is a call, and it
// runs for every edge of tens of thousands of parcels.
int Ceil(double v) {
    const int t = static_cast<int>(v);  // towards zero: the ceiling when negative
    return t + (v > t);
}

// v within [lo, hi]; not a number as lo.
double Within(double v, double lo, double hi) {
    return v > lo ? (v < hi ? v : hi) : lo;
}

class TRaster {
  public:
    TRaster(const TFrame& f, const TPixels& px, TRasterScratch& scratch)
        : f_(f), px_(px), crossings_(scratch.Crossings) {}

    void Paint() {
        const uint32_t fill = OpaquePixel(kParcelFill), stroke = OpaquePixel(kParcelStroke);
        for (const TFramePolygon& polygon : f_.Polygons)
            Fill(polygon, fill);
        // Outlines after every fill: a neighbour's fill never covers them.
        for (const TFramePolygon& polygon : f_.Polygons)
            for (uint32_t r = polygon.FirstRing; r < polygon.FirstRing + polygon.RingCount; ++r)
                Outline(f_.RingStarts[r], f_.RingStarts[r + 1], true, stroke);
        Runs(f_.ParcelRuns, OpaquePixel(kSmallParcelFill));
        const uint32_t route = OpaquePixel(kRouteStroke);
        for (const TFramePolyline& line : f_.Polylines)
            Outline(line.First, line.First + line.Count, false, route);
        Runs(f_.RouteRuns, route);
    }

  private:
    double X(uint32_t v) const { return f_.X(v) * px_.Scale; }
    double Y(uint32_t v) const { return f_.Y(v) * px_.Scale; }
    uint32_t* Row(int y) const { return px_.Bits + static_cast<size_t>(y) * px_.Stride; }

    // Pixels whose centres lie inside by the even-odd rule: each edge gives
    // where it crosses the rows' centres, and along a row every other span
    // between crossings is inside.
    void Fill(const TFramePolygon& polygon, uint32_t colour) {
        // A ring zigzagging over the whole frame would cross the rows more
        // often than is worth holding: it is filled a row at a time.
        constexpr size_t kMostCrossings = size_t(1) << 20;
        size_t edges = 0;
        for (uint32_t r = polygon.FirstRing; r < polygon.FirstRing + polygon.RingCount; ++r)
            edges += f_.RingStarts[r + 1] - f_.RingStarts[r];
        size_t crossings = edges * static_cast<size_t>(px_.Height);
        if (crossings > kMostCrossings) {
            crossings = 0;
            ForEachEdge(polygon, [&](double, double ya, double, double yb) {
                crossings += static_cast<size_t>(RowsBelow(yb) - RowsBelow(ya));
            });
        }
        const int band = crossings <= kMostCrossings ? px_.Height : 1;
        for (int top = 0; top < px_.Height; top += band)
            FillBand(polygon, top, std::min(px_.Height, top + band), colour);
    }

    // Rows whose centre lies above y.
    int RowsBelow(double y) const {
        return std::clamp(Ceil(Within(y, -1, px_.Height + 1.0) - 0.5), 0, px_.Height);
    }

    // Each edge of the polygon as (xa, ya, xb, yb), ya not below yb.
    template <class F>
    void ForEachEdge(const TFramePolygon& polygon, F&& edge) const {
        for (uint32_t r = polygon.FirstRing; r < polygon.FirstRing + polygon.RingCount; ++r) {
            const uint32_t a = f_.RingStarts[r], b = f_.RingStarts[r + 1];
            for (uint32_t v = a; v < b; ++v) {
                const uint32_t w = v + 1 < b ? v + 1 : a;
                if (Y(v) <= Y(w))
                    edge(X(v), Y(v), X(w), Y(w));
                else
                    edge(X(w), Y(w), X(v), Y(v));
            }
        }
    }

    void FillBand(const TFramePolygon& polygon, int top, int bottom, uint32_t colour) {
        crossings_.clear();
        ForEachEdge(polygon, [&](double xa, double ya, double xb, double yb) {
            // Rows whose centre y + 0.5 lies in [ya, yb).
            const int y0 = std::max(top, RowsBelow(ya)), y1 = std::min(bottom, RowsBelow(yb));
            if (y0 >= y1) return;
            const double slope = (xb - xa) / (yb - ya);
            for (int y = y0; y < y1; ++y)
                crossings_.push_back({y, static_cast<float>(xa + (y + 0.5 - ya) * slope)});
        });
        std::sort(crossings_.begin(), crossings_.end(), [](const TCrossing& l, const TCrossing& m) {
            return l.Row != m.Row ? l.Row < m.Row : l.X < m.X;
        });
        // Every row holds an even number of crossings.
        for (size_t i = 0; i + 1 < crossings_.size(); i += 2) {
            const double from = Within(crossings_[i].X, -1, px_.Width + 1.0);
            const double to = Within(crossings_[i + 1].X, -1, px_.Width + 1.0);
            const int x0 = std::max(0, Ceil(from - 0.5));
            const int x1 = std::min(px_.Width, Ceil(to - 0.5));
            uint32_t* row = Row(crossings_[i].Row);
            if (x0 < x1) std::fill(row + x0, row + x1, colour);
        }
    }

    void Outline(uint32_t first, uint32_t end, bool closed, uint32_t colour) {
        if (end - first == 1) Line(X(first), Y(first), X(first), Y(first), colour);
        for (uint32_t v = first; v + 1 < end; ++v)
            Line(X(v), Y(v), X(v + 1), Y(v + 1), colour);
        if (closed && end - first > 2) Line(X(end - 1), Y(end - 1), X(first), Y(first), colour);
    }

    bool Inside(double x, double y) const {
        return x >= 0 && y >= 0 && x < px_.Width && y < px_.Height;
    }

    // A one-pixel line, first cut to the frame (with a pixel to spare).
    void Line(double xa, double ya, double xb, double yb, uint32_t colour) {
        // Not a number or beyond any frame: nothing to draw (and no cast of it).
        constexpr double kBeyond = 1e9;
        if (!(std::abs(xa) < kBeyond && std::abs(ya) < kBeyond && std::abs(xb) < kBeyond &&
              std::abs(yb) < kBeyond))
            return;
        if (Inside(xa, ya) && Inside(xb, yb))
            return Steps(static_cast<int>(xa), static_cast<int>(ya), static_cast<int>(xb),
                         static_cast<int>(yb), colour);
        double t0 = 0, t1 = 1;
        const double dx = xb - xa, dy = yb - ya;
        const auto cut = [&](double p, double q) {
            if (p == 0) return q >= 0;
            const double t = q / p;
            if (p < 0) {
                if (t > t1) return false;
                t0 = std::max(t0, t);
            } else {
                if (t < t0) return false;
                t1 = std::min(t1, t);
            }
            return true;
        };
        const double w = px_.Width + 1.0, h = px_.Height + 1.0;
        if (!cut(-dx, xa + 1) || !cut(dx, w - xa) || !cut(-dy, ya + 1) || !cut(dy, h - ya)) return;
        Steps(static_cast<int>(std::floor(xa + t0 * dx)),
              static_cast<int>(std::floor(ya + t0 * dy)),
              static_cast<int>(std::floor(xa + t1 * dx)),
              static_cast<int>(std::floor(ya + t1 * dy)), colour);
    }

    // Bresenham's steps from pixel (x, y) to (xEnd, yEnd), those in the frame.
    void Steps(int x, int y, int xEnd, int yEnd, uint32_t colour) {
        const int sx = x < xEnd ? 1 : -1, sy = y < yEnd ? 1 : -1;
        const int ax = std::abs(xEnd - x), ay = std::abs(yEnd - y);
        int err = ax - ay;
        for (;;) {
            if (x >= 0 && y >= 0 && x < px_.Width && y < px_.Height) Row(y)[x] = colour;
            if (x == xEnd && y == yEnd) break;
            const int e2 = 2 * err;
            if (e2 > -ay) {
                err -= ay;
                x += sx;
            }
            if (e2 < ax) {
                err += ax;
                y += sy;
            }
        }
    }

    // A frame pixel of a run is Scale device pixels each way.
    void Runs(const std::vector<TPixelRun>& runs, uint32_t colour) {
        const double s = px_.Scale;
        for (const TPixelRun& r : runs) {
            const int x0 = std::max(0, static_cast<int>(std::lround(r.X0 * s)));
            const int x1 = std::min(px_.Width, static_cast<int>(std::lround(r.X1 * s)));
            const int y0 = std::max(0, static_cast<int>(std::lround(r.Y * s)));
            const int y1 = std::min(px_.Height, static_cast<int>(std::lround((r.Y + 1) * s)));
            for (int y = y0; y < y1; ++y)
                if (x0 < x1) std::fill(Row(y) + x0, Row(y) + x1, colour);
        }
    }

    const TFrame& f_;
    const TPixels& px_;
    std::vector<TCrossing>& crossings_;
};

}  // namespace

uint32_t OpaquePixel(std::string_view hex) {
    uint32_t rgb = 0;
    for (size_t i = 1; i < hex.size() && i <= 6; ++i)
        rgb = rgb << 4 | static_cast<uint32_t>(Digit(hex[i]));
    return 0xff000000u | rgb;
}

void RasterizeFrame(const TFrame& f, const TPixels& pixels, TRasterScratch& scratch) {
    if (!pixels.Bits || pixels.Width <= 0 || pixels.Height <= 0) return;
    TRaster(f, pixels, scratch).Paint();
}

}  // namespace quorvex::preview
