#include "preview/preview_marks.h"

#include <algorithm>
#include <numeric>
#include <string_view>

namespace quorvex::preview {
namespace {

bool Blank(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) > 32) return false;
    return true;
}

void ClosePoints(const std::vector<TWorldPoint>& points, size_t limit, std::vector<TMark>& out) {
    // Sorted by easting, each point is compared with those after it less
    // than the distance further east.
    std::vector<uint32_t> order(points.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        return points[a].E != points[b].E ? points[a].E < points[b].E : a < b;
    });
    std::vector<TMark> found;
    constexpr double d2 = kClosePointMetres * kClosePointMetres;
    for (size_t i = 0; i < order.size() && found.size() < limit; ++i) {
        const TWorldPoint a = points[order[i]];
        for (size_t j = i + 1; j < order.size(); ++j) {
            const TWorldPoint b = points[order[j]];
            const double de = b.E - a.E;
            if (de >= kClosePointMetres) break;
            const double dn = b.N - a.N;
            if (dn >= kClosePointMetres || dn <= -kClosePointMetres) continue;
            if (de * de + dn * dn < d2) {
                const uint32_t p = std::min(order[i], order[j]), q = std::max(order[i], order[j]);
                found.push_back({TMarkKind::ClosePoints, p, q});
                if (found.size() >= limit) break;
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const TMark& a, const TMark& b) {
        return a.Object != b.Object ? a.Object < b.Object : a.Other < b.Other;
    });
    out.insert(out.end(), found.begin(), found.end());
}

double SegmentDistance2(TScreenPoint p, TScreenPoint a, TScreenPoint b) {
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a.X + t * dx - p.X, ey = a.Y + t * dy - p.Y;
    return ex * ex + ey * ey;
}

}  // namespace

std::vector<TMark> FindMarks(const TPreviewScene& scene, size_t limitPerKind) {
    std::vector<TMark> marks;
    const auto& parcels = scene.Parcels();
    const auto n = static_cast<uint32_t>(parcels.size());
    const auto each = [&](TMarkKind kind, auto&& test) {
        size_t count = 0;
        for (uint32_t i = 0; i < n && count < limitPerKind; ++i)
            if (test(i)) {
                marks.push_back({kind, i, i});
                ++count;
            }
    };
    each(TMarkKind::NoLotNumber, [&](uint32_t i) { return Blank(scene.ParcelName(i)); });

    // Lot numbers more than one parcel carries: every such parcel, its
    // first fellow in Other.
    std::vector<uint32_t> byName;
    for (uint32_t i = 0; i < n; ++i)
        if (!Blank(scene.ParcelName(i))) byName.push_back(i);
    std::stable_sort(byName.begin(), byName.end(), [&](uint32_t a, uint32_t b) {
        return scene.ParcelName(a) < scene.ParcelName(b);
    });
    std::vector<TMark> shared;
    for (size_t i = 0; i < byName.size();) {
        size_t j = i + 1;
        while (j < byName.size() && scene.ParcelName(byName[j]) == scene.ParcelName(byName[i]))
            ++j;
        if (j - i > 1)
            for (size_t k = i; k < j; ++k)
                shared.push_back({TMarkKind::SharedLotNumber, byName[k], byName[i]});
        i = j;
    }
    std::sort(shared.begin(), shared.end(),
              [](const TMark& a, const TMark& b) { return a.Object < b.Object; });
    if (shared.size() > limitPerKind) shared.resize(limitPerKind);
    marks.insert(marks.end(), shared.begin(), shared.end());

    each(TMarkKind::SelfCrossing, [&](uint32_t i) { return parcels[i].SelfCrossing; });
    each(TMarkKind::ZeroArea, [&](uint32_t i) {
        const double a = parcels[i].Area;
        return a < kZeroAreaSquareMetres && a > -kZeroAreaSquareMetres;
    });
    each(TMarkKind::Unsplittable, [&](uint32_t i) { return parcels[i].Unsplittable; });
    ClosePoints(scene.Points(), limitPerKind, marks);
    return marks;
}

TBox MarkBox(const TPreviewScene& scene, const TMark& mark) {
    TBox b;
    if (mark.Kind == TMarkKind::ClosePoints) {
        b.Add(scene.Points()[mark.Object]);
        b.Add(scene.Points()[mark.Other]);
        // Enough around the points to see what they belong to.
        b.MinE -= 1;
        b.MinN -= 1;
        b.MaxE += 1;
        b.MaxN += 1;
        return b;
    }
    return scene.Parcels()[mark.Object].Box;
}

THit HitTest(const TPreviewScene& scene, const TView& view, TScreenPoint at, double tolerance) {
    THit hit;
    const TWorldPoint p = view.ToWorld(at);
    const auto& parcels = scene.Parcels();
    double best = 0;
    for (uint32_t i = 0; i < parcels.size(); ++i) {
        const TParcelShape& s = parcels[i];
        if (!s.Box.Contains(p)) continue;
        if (!InsideRings(scene.Points(), scene.RingVertices(), scene.Rings().data() + s.FirstRing,
                         s.RingCount, p))
            continue;
        const double size = (s.Box.MaxE - s.Box.MinE) * (s.Box.MaxN - s.Box.MinN);
        if (!hit.Found || size < best) {
            hit = {true, false, i};
            best = size;
        }
    }
    if (hit.Found) return hit;
    const double margin = tolerance / view.Scale();
    const auto& routes = scene.Routes();
    double bestD2 = tolerance * tolerance;
    for (uint32_t i = 0; i < routes.size(); ++i) {
        const TBox& b = routes[i].Box;
        if (p.E < b.MinE - margin || p.E > b.MaxE + margin || p.N < b.MinN - margin ||
            p.N > b.MaxN + margin)
            continue;
        const auto [first, last] = scene.File().VerticesOf(scene.File().Routes[i]);
        for (const uint32_t* v = first; v + 1 < last; ++v) {
            const double d2 = SegmentDistance2(at, view.ToScreen(scene.Points()[v[0]]),
                                               view.ToScreen(scene.Points()[v[1]]));
            if (d2 <= bestD2) {
                hit = {true, true, i};
                bestD2 = d2;
            }
        }
    }
    return hit;
}

}  // namespace quorvex::preview
