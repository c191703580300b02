#include "preview/preview_scene.h"

#include <algorithm>

namespace quorvex::preview {
namespace {

bool SamePosition(const std::vector<TWorldPoint>& points, uint32_t a, uint32_t b) {
    return a == b || (points[a].E == points[b].E && points[a].N == points[b].N);
}

// Twice the signed area of the triangle (a, b, c): positive when it turns left.
double Orient(TWorldPoint a, TWorldPoint b, TWorldPoint c) {
    return (b.E - a.E) * (c.N - a.N) - (b.N - a.N) * (c.E - a.E);
}

// Whether p, on the line through a and b, lies strictly between them.
bool StrictlyBetween(TWorldPoint a, TWorldPoint b, TWorldPoint p) {
    if ((p.E == a.E && p.N == a.N) || (p.E == b.E && p.N == b.N)) return false;
    return std::min(a.E, b.E) <= p.E && p.E <= std::max(a.E, b.E) && std::min(a.N, b.N) <= p.N &&
           p.N <= std::max(a.N, b.N);
}

// Edges that cross, or where one's end touches the other's inside; edges
// that only share an end do not meet here.
bool EdgesMeet(TWorldPoint a0, TWorldPoint a1, TWorldPoint b0, TWorldPoint b1) {
    const double o1 = Orient(a0, a1, b0), o2 = Orient(a0, a1, b1);
    const double o3 = Orient(b0, b1, a0), o4 = Orient(b0, b1, a1);
    if (((o1 > 0 && o2 < 0) || (o1 < 0 && o2 > 0)) && ((o3 > 0 && o4 < 0) || (o3 < 0 && o4 > 0)))
        return true;
    return (o1 == 0 && StrictlyBetween(a0, a1, b0)) || (o2 == 0 && StrictlyBetween(a0, a1, b1)) ||
           (o3 == 0 && StrictlyBetween(b0, b1, a0)) || (o4 == 0 && StrictlyBetween(b0, b1, a1));
}

TBox RingBox(const std::vector<TWorldPoint>& points, const uint32_t* v, uint32_t count) {
    TBox b;
    for (uint32_t i = 0; i < count; ++i)
        b.Add(points[v[i]]);
    return b;
}

bool InsideRing(const std::vector<TWorldPoint>& points, const uint32_t* v, uint32_t count,
                TWorldPoint p) {
    bool inside = false;
    for (uint32_t i = 0, j = count - 1; i < count; j = i++) {
        const TWorldPoint a = points[v[i]], b = points[v[j]];
        if ((a.N > p.N) != (b.N > p.N) && p.E < a.E + (p.N - a.N) * (b.E - a.E) / (b.N - a.N))
            inside = !inside;
    }
    return inside;
}

// The middle of the widest stretch inside the parcel along one of three
// horizontal lines across it: inside even where the centroid is not.
TWorldPoint LabelPoint(const std::vector<TWorldPoint>& points,
                       const std::vector<uint32_t>& ringVertices, const TRing* rings,
                       uint32_t ringCount, const TBox& box, std::vector<double>& xs) {
    TWorldPoint best{(box.MinE + box.MaxE) / 2, (box.MinN + box.MaxN) / 2};
    double bestWidth = -1;
    for (const double f : {0.5, 0.3, 0.7}) {
        const double y = box.MinN + (box.MaxN - box.MinN) * f;
        xs.clear();
        for (uint32_t r = 0; r < ringCount; ++r) {
            const uint32_t* v = ringVertices.data() + rings[r].First;
            const uint32_t n = rings[r].Count;
            for (uint32_t i = 0, j = n - 1; i < n; j = i++) {
                const TWorldPoint a = points[v[i]], b = points[v[j]];
                if ((a.N > y) != (b.N > y))
                    xs.push_back(a.E + (y - a.N) * (b.E - a.E) / (b.N - a.N));
            }
        }
        std::sort(xs.begin(), xs.end());
        for (size_t k = 0; k + 1 < xs.size(); k += 2) {
            if (xs[k + 1] - xs[k] > bestWidth) {
                bestWidth = xs[k + 1] - xs[k];
                best = {(xs[k] + xs[k + 1]) / 2, y};
            }
        }
    }
    return best;
}

// A vertex of ring `r` that is not a vertex of ring `s`, to tell whether r
// lies inside s; the first vertex when all are shared.
TWorldPoint ProbeOf(const std::vector<TWorldPoint>& points, const uint32_t* r, uint32_t rn,
                    const uint32_t* s, uint32_t sn) {
    for (uint32_t i = 0; i < rn && i < 8; ++i) {
        bool shared = false;
        for (uint32_t j = 0; j < sn && !shared; ++j)
            shared = SamePosition(points, r[i], s[j]);
        if (!shared) return points[r[i]];
    }
    return points[r[0]];
}

}  // namespace

bool SplitRings(const std::vector<TWorldPoint>& points, const uint32_t* first, const uint32_t* last,
                std::vector<uint32_t>& ringVertices, std::vector<TRing>& rings) {
    const size_t ringsBefore = rings.size();
    const size_t verticesBefore = ringVertices.size();
    const uint32_t* start = first;
    for (const uint32_t* p = first; p != last; ++p) {
        if (p == start || !SamePosition(points, *p, *start)) continue;
        rings.push_back(
            {static_cast<uint32_t>(ringVertices.size()), static_cast<uint32_t>(p - start)});
        ringVertices.insert(ringVertices.end(), start, p);
        start = p + 1;
    }
    if (start == last) return true;
    if (rings.size() == ringsBefore) {
        // Never back at its start: one ring, closed by the drawing.
        rings.push_back(
            {static_cast<uint32_t>(ringVertices.size()), static_cast<uint32_t>(last - start)});
        ringVertices.insert(ringVertices.end(), start, last);
        return true;
    }
    rings.resize(ringsBefore);
    ringVertices.resize(verticesBefore);
    const uint32_t* end = last;
    if (end - first > 1 && SamePosition(points, *(end - 1), *first)) --end;
    rings.push_back(
        {static_cast<uint32_t>(ringVertices.size()), static_cast<uint32_t>(end - first)});
    ringVertices.insert(ringVertices.end(), first, end);
    return false;
}

double SignedRingArea(const std::vector<TWorldPoint>& points, const uint32_t* v, uint32_t count) {
    if (count < 3) return 0;
    // Relative to the first vertex: plane coordinates run to 10^5 m and more,
    // and their products would lose the centimetres.
    const TWorldPoint o = points[v[0]];
    double twice = 0;
    for (uint32_t i = 1; i + 1 < count; ++i) {
        const TWorldPoint a = points[v[i]], b = points[v[i + 1]];
        twice += (a.E - o.E) * (b.N - o.N) - (b.E - o.E) * (a.N - o.N);
    }
    return twice / 2;
}

bool RingCrossesItself(const std::vector<TWorldPoint>& points, const uint32_t* v, uint32_t count) {
    if (count < 4) return false;
    struct TEdge {
        TWorldPoint A, B;
        double MinE, MaxE;
        uint32_t Index;
    };
    const TWorldPoint o = points[v[0]];
    std::vector<TEdge> edges;
    edges.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const TWorldPoint a = points[v[i]], b = points[v[(i + 1) % count]];
        if (a.E == b.E && a.N == b.N) continue;  // a repeated vertex is no edge
        const TWorldPoint ra{a.E - o.E, a.N - o.N}, rb{b.E - o.E, b.N - o.N};
        edges.push_back({ra, rb, std::min(ra.E, rb.E), std::max(ra.E, rb.E), i});
    }
    std::sort(edges.begin(), edges.end(),
              [](const TEdge& x, const TEdge& y) { return x.MinE < y.MinE; });
    for (size_t i = 0; i < edges.size(); ++i) {
        const TEdge& a = edges[i];
        for (size_t j = i + 1; j < edges.size() && edges[j].MinE <= a.MaxE; ++j) {
            const TEdge& b = edges[j];
            if (std::max(a.A.N, a.B.N) < std::min(b.A.N, b.B.N) ||
                std::max(b.A.N, b.B.N) < std::min(a.A.N, a.B.N))
                continue;
            if (EdgesMeet(a.A, a.B, b.A, b.B)) return true;
        }
    }
    return false;
}

bool InsideRings(const std::vector<TWorldPoint>& points, const std::vector<uint32_t>& ringVertices,
                 const TRing* rings, uint32_t ringCount, TWorldPoint p) {
    bool inside = false;
    for (uint32_t r = 0; r < ringCount; ++r)
        if (rings[r].Count >= 3 &&
            InsideRing(points, ringVertices.data() + rings[r].First, rings[r].Count, p))
            inside = !inside;
    return inside;
}

TPreviewScene::TPreviewScene(TSimaFile file) : file_(std::move(file)) {
    points_.reserve(file_.Points.size());
    for (const TSimaPoint& p : file_.Points)
        points_.push_back({p.Y, p.X});
    ringVertices_.reserve(file_.Vertices.size());

    std::vector<double> xs;
    std::vector<TBox> ringBoxes;
    parcels_.reserve(file_.Parcels.size());
    for (const TSimaBlock& b : file_.Parcels) {
        const auto [first, last] = file_.VerticesOf(b);
        TParcelShape s;
        s.FirstRing = static_cast<uint32_t>(rings_.size());
        s.Unsplittable = !SplitRings(points_, first, last, ringVertices_, rings_);
        s.RingCount = static_cast<uint32_t>(rings_.size()) - s.FirstRing;
        const TRing* rings = rings_.data() + s.FirstRing;
        ringBoxes.clear();
        for (uint32_t r = 0; r < s.RingCount; ++r) {
            const uint32_t* v = ringVertices_.data() + rings[r].First;
            ringBoxes.push_back(RingBox(points_, v, rings[r].Count));
            s.Box.Include(ringBoxes.back());
            if (RingCrossesItself(points_, v, rings[r].Count)) s.SelfCrossing = true;
        }
        // A ring inside an odd number of the parcel's other rings is a hole.
        for (uint32_t r = 0; r < s.RingCount; ++r) {
            const uint32_t* rv = ringVertices_.data() + rings[r].First;
            double area = SignedRingArea(points_, rv, rings[r].Count);
            if (area < 0) area = -area;
            bool hole = false;
            for (uint32_t q = 0; q < s.RingCount && s.RingCount > 1; ++q) {
                if (q == r || rings[q].Count < 3) continue;
                const TBox& rb = ringBoxes[r];
                const TBox& qb = ringBoxes[q];
                if (rb.MinE < qb.MinE || rb.MaxE > qb.MaxE || rb.MinN < qb.MinN ||
                    rb.MaxN > qb.MaxN)
                    continue;
                const uint32_t* qv = ringVertices_.data() + rings[q].First;
                if (InsideRing(points_, qv, rings[q].Count,
                               ProbeOf(points_, rv, rings[r].Count, qv, rings[q].Count)))
                    hole = !hole;
            }
            s.Area += hole ? -area : area;
        }
        s.LabelAt = s.Box.Empty()
                        ? TWorldPoint{}
                        : LabelPoint(points_, ringVertices_, rings, s.RingCount, s.Box, xs);
        extent_.Include(s.Box);
        parcels_.push_back(s);
    }
    routes_.reserve(file_.Routes.size());
    for (const TSimaBlock& b : file_.Routes) {
        const auto [first, last] = file_.VerticesOf(b);
        TRouteShape s;
        for (const uint32_t* p = first; p != last; ++p)
            s.Box.Add(points_[*p]);
        if (last - first >= 2) {
            const size_t k = static_cast<size_t>(last - first) / 2;
            const TWorldPoint a = points_[first[k - 1]], c = points_[first[k]];
            s.LabelAt = {(a.E + c.E) / 2, (a.N + c.N) / 2};
        } else if (first != last) {
            s.LabelAt = points_[*first];
        }
        extent_.Include(s.Box);
        routes_.push_back(s);
    }
    // A file of points alone still shows where they lie.
    if (extent_.Empty())
        for (const TWorldPoint& p : points_)
            extent_.Add(p);
}

}  // namespace quorvex::preview
