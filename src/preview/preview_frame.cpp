#include "preview/preview_frame.h"

#include <algorithm>
#include <climits>

#include "sima/sima_number.h"

namespace quorvex::preview {
namespace {

// Pixels far outside the frame are held here: what lies beyond is not seen,
// and floats keep their fractions near the frame.
constexpr double kFar = 1e6;
// Objects reaching further out than this are cut to it.
constexpr double kGuard = 4096;

float Pixel(double v) {
    if (v != v) return 0;
    return static_cast<float>(std::clamp(v, -kFar, kFar));
}

class TBuilder {
  public:
    TBuilder(const TPreviewScene& scene, const TView& view)
        : scene_(scene), view_(view), visible_(view.Visible()) {
        f_.Width = static_cast<int>(view.Width());
        f_.Height = static_cast<int>(view.Height());
    }

    TFrame Build() {
        const auto& parcels = scene_.Parcels();
        for (uint32_t i = 0; i < parcels.size(); ++i)
            Parcel(i, parcels[i]);
        // The end of the last ring, before the routes' vertices follow.
        f_.RingStarts.push_back(Vertices());
        const auto& routes = scene_.Routes();
        for (uint32_t i = 0; i < routes.size(); ++i)
            Route(i, routes[i]);
        Runs(1, f_.ParcelRuns);
        Runs(2, f_.RouteRuns);
        Labels();
        f_.ScaleBar = ScaleBarFor(view_.Scale(), view_.Width(), view_.Height());
        f_.NorthLength = 28;
        f_.NorthX = view_.Width() - 24;
        f_.NorthY = 16;
        return std::move(f_);
    }

  private:
    uint32_t Vertices() const { return static_cast<uint32_t>(f_.Xy.size() / 2); }

    bool InSight(const TBox& b) const {
        return !b.Empty() && b.MaxE >= visible_.MinE && b.MinE <= visible_.MaxE &&
               b.MaxN >= visible_.MinN && b.MinN <= visible_.MaxN;
    }
    // Below a few pixels both ways: it covers the pixels of its extent.
    bool Small(const TBox& b) const {
        const double s = view_.Scale();
        return (b.MaxE - b.MinE) * s < kSmallObjectPixels &&
               (b.MaxN - b.MinN) * s < kSmallObjectPixels;
    }
    void Cover(const TBox& b, uint8_t bit) {
        const TScreenPoint a = view_.ToScreen({b.MinE, b.MaxN});
        const TScreenPoint c = view_.ToScreen({b.MaxE, b.MinN});
        const auto pixel = [](double v, int limit) {
            return v < 0 ? 0 : v >= limit ? limit - 1 : static_cast<int>(v);
        };
        if (!(c.X >= 0 && c.Y >= 0 && a.X < f_.Width && a.Y < f_.Height)) return;
        const int x0 = pixel(a.X, f_.Width), x1 = pixel(c.X, f_.Width);
        const int y0 = pixel(a.Y, f_.Height), y1 = pixel(c.Y, f_.Height);
        // Zoomed in, nothing is small: the pixels are not held at all.
        if (covered_.empty())
            covered_.assign(static_cast<size_t>(f_.Width) * static_cast<size_t>(f_.Height), 0);
        coveredFrom_ = std::min(coveredFrom_, y0);
        coveredTo_ = std::max(coveredTo_, y1 + 1);
        for (int y = y0; y <= y1; ++y) {
            uint8_t* row = covered_.data() + static_cast<size_t>(y) * static_cast<size_t>(f_.Width);
            for (int x = x0; x <= x1; ++x)
                row[x] |= bit;
        }
    }
    void Runs(uint8_t bit, std::vector<TPixelRun>& runs) const {
        for (int y = coveredFrom_; y < coveredTo_; ++y) {
            const uint8_t* row =
                covered_.data() + static_cast<size_t>(y) * static_cast<size_t>(f_.Width);
            for (int x = 0; x < f_.Width;) {
                if (!(row[x] & bit)) {
                    ++x;
                    continue;
                }
                const int x0 = x;
                while (x < f_.Width && (row[x] & bit))
                    ++x;
                runs.push_back({y, x0, x});
            }
        }
    }

    // Appends the vertices, leaving out one within half a pixel of the last
    // kept; returns how many were kept.
    uint32_t Put(const uint32_t* v, uint32_t count) {
        const auto& points = scene_.Points();
        uint32_t kept = 0;
        double lastX = 0, lastY = 0;
        for (uint32_t i = 0; i < count; ++i)
            PutOne(view_.ToScreen(points[v[i]]), kept, lastX, lastY);
        return kept;
    }
    void PutOne(TScreenPoint p, uint32_t& kept, double& lastX, double& lastY) {
        if (kept > 0) {
            const double dx = p.X - lastX, dy = p.Y - lastY;
            if (dx < 0.5 && dx > -0.5 && dy < 0.5 && dy > -0.5) return;
        }
        f_.Xy.push_back(Pixel(p.X));
        f_.Xy.push_back(Pixel(p.Y));
        lastX = p.X;
        lastY = p.Y;
        ++kept;
    }

    // Whether the object reaches so far beyond the frame that it must be cut
    // to the guard rectangle around it: pixels that far out would lose their
    // fractions, and edges through the frame their direction.
    bool FarReaching(const TBox& b) const {
        const TScreenPoint a = view_.ToScreen({b.MinE, b.MaxN});
        const TScreenPoint c = view_.ToScreen({b.MaxE, b.MinN});
        return !(a.X >= -kGuard && a.Y >= -kGuard && c.X <= f_.Width + kGuard &&
                 c.Y <= f_.Height + kGuard);
    }

    // A ring cut to the guard rectangle, one side after the other.
    uint32_t PutClippedRing(const uint32_t* v, uint32_t count) {
        const auto& points = scene_.Points();
        ring_.clear();
        for (uint32_t i = 0; i < count; ++i)
            ring_.push_back(view_.ToScreen(points[v[i]]));
        const double lo = -kGuard, hiX = f_.Width + kGuard, hiY = f_.Height + kGuard;
        for (int side = 0; side < 4 && !ring_.empty(); ++side) {
            const auto inside = [&](TScreenPoint p) {
                return side == 0   ? p.X >= lo
                       : side == 1 ? p.X <= hiX
                       : side == 2 ? p.Y >= lo
                                   : p.Y <= hiY;
            };
            const auto cross = [&](TScreenPoint a, TScreenPoint b) {
                const double edge = side == 0 ? lo : side == 1 ? hiX : side == 2 ? lo : hiY;
                const double t = side < 2 ? (edge - a.X) / (b.X - a.X) : (edge - a.Y) / (b.Y - a.Y);
                return TScreenPoint{a.X + t * (b.X - a.X), a.Y + t * (b.Y - a.Y)};
            };
            cut_.clear();
            for (size_t i = 0; i < ring_.size(); ++i) {
                const TScreenPoint a = ring_[i], b = ring_[(i + 1) % ring_.size()];
                if (inside(a)) {
                    cut_.push_back(a);
                    if (!inside(b)) cut_.push_back(cross(a, b));
                } else if (inside(b)) {
                    cut_.push_back(cross(a, b));
                }
            }
            ring_.swap(cut_);
        }
        uint32_t kept = 0;
        double lastX = 0, lastY = 0;
        for (const TScreenPoint& p : ring_)
            PutOne(p, kept, lastX, lastY);
        return kept;
    }

    // A route cut to the guard rectangle: the pieces inside, each a line.
    void PutClippedRoute(uint32_t route, const uint32_t* v, uint32_t count) {
        const auto& points = scene_.Points();
        const double lo = -kGuard, hiX = f_.Width + kGuard, hiY = f_.Height + kGuard;
        TFramePolyline line{route, Vertices(), 0};
        double lastX = 0, lastY = 0;
        const auto finish = [&] {
            if (line.Count > 1)
                f_.Polylines.push_back(line);
            else
                f_.Xy.resize(2 * size_t(line.First));
            line = {route, Vertices(), 0};
        };
        for (uint32_t i = 0; i + 1 < count; ++i) {
            const TScreenPoint a = view_.ToScreen(points[v[i]]),
                               b = view_.ToScreen(points[v[i + 1]]);
            // Liang-Barsky: the part of the segment from t0 to t1 is inside.
            double t0 = 0, t1 = 1;
            const double dx = b.X - a.X, dy = b.Y - a.Y;
            const double p[4] = {-dx, dx, -dy, dy};
            const double q[4] = {a.X - lo, hiX - a.X, a.Y - lo, hiY - a.Y};
            bool visible = true;
            for (int k = 0; k < 4 && visible; ++k) {
                if (p[k] == 0) {
                    visible = q[k] >= 0;
                } else {
                    const double t = q[k] / p[k];
                    if (p[k] < 0 && t > t0) t0 = t;
                    if (p[k] > 0 && t < t1) t1 = t;
                    visible = t0 <= t1;
                }
            }
            if (!visible) {
                finish();
                continue;
            }
            if (t0 > 0) finish();
            PutOne({a.X + t0 * dx, a.Y + t0 * dy}, line.Count, lastX, lastY);
            PutOne({a.X + t1 * dx, a.Y + t1 * dy}, line.Count, lastX, lastY);
            if (t1 < 1) finish();
        }
        finish();
    }

    void Parcel(uint32_t i, const TParcelShape& s) {
        if (!InSight(s.Box)) return;
        if (Small(s.Box)) return Cover(s.Box, 1);
        const bool far = FarReaching(s.Box);
        TFramePolygon poly;
        poly.Parcel = i;
        poly.FirstRing = static_cast<uint32_t>(f_.RingStarts.size());
        const auto& rings = scene_.Rings();
        const auto& ringVertices = scene_.RingVertices();
        for (uint32_t r = s.FirstRing; r < s.FirstRing + s.RingCount; ++r) {
            const uint32_t start = Vertices();
            const uint32_t* v = ringVertices.data() + rings[r].First;
            if ((far ? PutClippedRing(v, rings[r].Count) : Put(v, rings[r].Count)) == 0) continue;
            f_.RingStarts.push_back(start);
            ++poly.RingCount;
        }
        if (poly.RingCount == 0) return;
        f_.Polygons.push_back(poly);
        // An area beyond the doubles' range sorts as none. A parcel lower
        // on the screen than a label is high never gets one: it is not
        // sorted among those that might.
        if ((s.Box.MaxN - s.Box.MinN) * view_.Scale() >= kLabelFontPx &&
            !scene_.ParcelName(i).empty())
            candidates_.push_back({s.Area == s.Area ? s.Area : 0, i, false});
    }

    void Route(uint32_t i, const TRouteShape& s) {
        if (!InSight(s.Box)) return;
        if (Small(s.Box)) return Cover(s.Box, 2);
        const TSimaBlock& b = scene_.File().Routes[i];
        const auto [first, last] = scene_.File().VerticesOf(b);
        if (FarReaching(s.Box)) {
            PutClippedRoute(i, first, static_cast<uint32_t>(last - first));
        } else {
            TFramePolyline line;
            line.Route = i;
            line.First = Vertices();
            line.Count = Put(first, static_cast<uint32_t>(last - first));
            if (line.Count == 0) return;
            f_.Polylines.push_back(line);
        }
        if (!scene_.RouteName(i).empty()) {
            const double s2 = view_.Scale();
            const double length = ((s.Box.MaxE - s.Box.MinE) + (s.Box.MaxN - s.Box.MinN)) * s2;
            candidates_.push_back({length == length ? length : 0, i, true});
        }
    }

    // Parcels by area, largest first, then routes by length; a label must
    // fit its parcel's extent on the screen at least half way.
    void Labels() {
        std::sort(candidates_.begin(), candidates_.end(),
                  [](const TCandidate& a, const TCandidate& b) {
                      if (a.Route != b.Route) return !a.Route;
                      if (a.Key != b.Key) return a.Key > b.Key;
                      return a.Index < b.Index;
                  });
        TLabelPlacer placer(view_.Width(), view_.Height());
        const double s = view_.Scale();
        for (const TCandidate& c : candidates_) {
            const TBox& box =
                c.Route ? scene_.Routes()[c.Index].Box : scene_.Parcels()[c.Index].Box;
            const TWorldPoint at =
                c.Route ? scene_.Routes()[c.Index].LabelAt : scene_.Parcels()[c.Index].LabelAt;
            const std::string_view text =
                c.Route ? scene_.RouteName(c.Index) : scene_.ParcelName(c.Index);
            TLabelBox lb;
            lb.Width = TextWidthEm(text) * kLabelFontPx;
            lb.Height = kLabelFontPx;
            const double w = (box.MaxE - box.MinE) * s, h = (box.MaxN - box.MinN) * s;
            if (c.Route ? (w + h < lb.Width) : (w < lb.Width / 2 || h < lb.Height)) continue;
            const TScreenPoint p = view_.ToScreen(at);
            if (p.X < 0 || p.Y < 0 || p.X > view_.Width() || p.Y > view_.Height()) continue;
            lb.X = p.X;
            lb.Y = p.Y;
            if (placer.TryPlace(lb)) f_.Labels.push_back({lb, c.Index, c.Route});
        }
    }

    struct TCandidate {
        double Key;
        uint32_t Index;
        bool Route;
    };

    const TPreviewScene& scene_;
    const TView& view_;
    const TBox visible_;
    TFrame f_;
    std::vector<uint8_t> covered_;  // per pixel: 1 by a small parcel, 2 by a small route
    int coveredFrom_ = INT_MAX, coveredTo_ = 0;  // the rows covered_ has any of
    std::vector<TCandidate> candidates_;
    std::vector<TScreenPoint> ring_, cut_;  // of the ring being cut
};

}  // namespace

TFrame BuildFrame(const TPreviewScene& scene, const TView& view) {
    return TBuilder(scene, view).Build();
}

TScaleBar ScaleBarFor(double scale, double width, double height) {
    static constexpr double kLengths[] = {0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1,   2,   5,   10,
                                          20,   50,   100,  200, 500, 1e3, 2e3, 5e3, 1e4, 2e4,
                                          5e4,  1e5,  2e5,  5e5, 1e6, 2e6, 5e6, 1e7, 2e7, 5e7};
    TScaleBar bar;
    bar.Metres = kLengths[0];
    for (const double m : kLengths)
        if (m * scale <= width / 4) bar.Metres = m;
    bar.Length = bar.Metres * scale;
    bar.X = 16;
    bar.Y = height - 16;
    char buf[kSimaNumberMax];
    if (bar.Metres >= 1000)
        bar.Text = std::string(buf, FormatSimaNumber(bar.Metres / 1000, buf)) + " km";
    else
        bar.Text = std::string(buf, FormatSimaNumber(bar.Metres, buf)) + " m";
    return bar;
}

}  // namespace quorvex::preview
