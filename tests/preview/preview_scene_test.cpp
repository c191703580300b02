// The preview's scene from SIMA records: rings, areas with holes, the
// self-crossing test, label points, the marks, the view, frames and hits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "preview/preview_frame.h"
#include "preview/preview_marks.h"
#include "preview/preview_scene.h"
#include "preview/preview_view.h"

namespace quorvex::preview {
namespace {

// A SIMA text of one parcel per entry of `parcels`: each a list of (E, N)
// positions, written with SIMA X = N and Y = E; equal positions share a
// point. `names` gives the lot numbers.
struct TParcelSpec {
    std::string Name;
    std::vector<std::pair<double, double>> Vertices;
};

std::string SimaOf(const std::vector<TParcelSpec>& parcels,
                   const std::vector<TParcelSpec>& routes = {}) {
    std::vector<std::pair<double, double>> points;
    std::string blocks;
    const auto numberOf = [&](std::pair<double, double> p) {
        for (size_t i = 0; i < points.size(); ++i)
            if (points[i] == p) return i + 1;
        points.push_back(p);
        return points.size();
    };
    int n = 0;
    for (const auto& spec : parcels) {
        blocks += "D00," + std::to_string(++n) + "," + spec.Name + ",1,\n";
        for (const auto& v : spec.Vertices)
            blocks += "B01," + std::to_string(numberOf(v)) + ",x,\n";
        blocks += "D99,\n";
    }
    n = 0;
    for (const auto& spec : routes) {
        blocks += "F00," + std::to_string(++n) + "," + spec.Name + ",1,\n";
        for (const auto& v : spec.Vertices)
            blocks += "B01," + std::to_string(numberOf(v)) + ",x,\n";
        blocks += "F99,\n";
    }
    std::string text = "G00,02,site,\nA00,\n";
    for (size_t i = 0; i < points.size(); ++i) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "%.17g,%.17g", points[i].second, points[i].first);
        text += "A01," + std::to_string(i + 1) + "," + std::to_string(i + 1) + "," + buf + ",0,\n";
    }
    return text + "A99,\n" + blocks;
}

TPreviewScene SceneOf(const std::vector<TParcelSpec>& parcels,
                      const std::vector<TParcelSpec>& routes = {}) {
    return TPreviewScene(ReadSimaText(SimaOf(parcels, routes)));
}

using TPath = std::vector<std::pair<double, double>>;
// A square with corners (x, y) and (x + s, y + s), anticlockwise, closed.
TPath Square(double x, double y, double s) {
    return {{x, y}, {x + s, y}, {x + s, y + s}, {x, y + s}, {x, y}};
}
TPath Join(std::initializer_list<TPath> parts) {
    TPath all;
    for (const TPath& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(PreviewScene, RingsSplitWhereTheListReturnsAndHolesAreSubtracted) {
    const TPreviewScene scene = SceneOf({
        {"outer-hole", Join({Square(0, 0, 10), Square(2, 2, 6)})},
        {"island-in-hole", Join({Square(100, 0, 10), Square(102, 2, 6), Square(104, 4, 2)})},
        {"two-islands", Join({Square(200, 0, 3), Square(210, 0, 2)})},
        // Without the closing vertex, as written with the closing switch off.
        {"open", {{300, 0}, {304, 0}, {304, 5}, {300, 5}}},
        // Back at its start once, then two vertices that never return.
        {"broken", Join({Square(400, 0, 10), {{420, 0}, {425, 5}}})},
    });
    const auto& p = scene.Parcels();
    ASSERT_EQ(p.size(), 5u);
    EXPECT_EQ(p[0].RingCount, 2u);
    EXPECT_DOUBLE_EQ(p[0].Area, 100 - 36);
    EXPECT_EQ(p[1].RingCount, 3u);
    EXPECT_DOUBLE_EQ(p[1].Area, 100 - 36 + 4);
    EXPECT_DOUBLE_EQ(p[2].Area, 9 + 4);
    EXPECT_EQ(p[3].RingCount, 1u);
    EXPECT_DOUBLE_EQ(p[3].Area, 20);
    EXPECT_FALSE(p[3].Unsplittable);
    EXPECT_EQ(p[4].RingCount, 1u);
    EXPECT_TRUE(p[4].Unsplittable);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_FALSE(p[i].Unsplittable) << i;
    // The rings hold no closing vertex.
    EXPECT_EQ(scene.Rings()[p[0].FirstRing].Count, 4u);
}

TEST(PreviewScene, SelfCrossingLooksAtEachRingAlone) {
    const TPreviewScene scene = SceneOf({
        {"bow-tie", {{0, 0}, {10, 10}, {10, 0}, {0, 10}, {0, 0}}},
        {"square", Square(20, 0, 10)},
        {"with-hole", Join({Square(40, 0, 10), Square(42, 2, 2)})},
        // A vertex on the inside of another edge.
        {"touch", {{60, 0}, {70, 0}, {65, 0}, {65, 5}, {60, 5}, {60, 0}}},
        {"spike-back", {{80, 0}, {90, 0}, {90, 10}, {90, 10}, {80, 10}, {80, 0}}},
    });
    const auto& p = scene.Parcels();
    EXPECT_TRUE(p[0].SelfCrossing);
    EXPECT_FALSE(p[1].SelfCrossing);
    EXPECT_FALSE(p[2].SelfCrossing);
    EXPECT_TRUE(p[3].SelfCrossing);
    EXPECT_FALSE(p[4].SelfCrossing);  // a repeated vertex is no crossing
}

TEST(PreviewScene, LabelsSitInsideConcaveParcels) {
    // A U whose centroid lies in the gap between its arms; and a ring with
    // a hole where the middle is the hole.
    const TPreviewScene scene = SceneOf({
        {"U", {{0, 0}, {30, 0}, {30, 30}, {20, 30}, {20, 5}, {10, 5}, {10, 30}, {0, 30}, {0, 0}}},
        {"O", Join({Square(100, 0, 30), Square(105, 5, 20)})},
    });
    for (const TParcelShape& s : scene.Parcels()) {
        EXPECT_TRUE(InsideRings(scene.Points(), scene.RingVertices(),
                                scene.Rings().data() + s.FirstRing, s.RingCount, s.LabelAt))
            << s.LabelAt.E << " " << s.LabelAt.N;
    }
}

TEST(PreviewMarks, FindsWhatASurveyorChecksFirst) {
    const TPreviewScene scene = SceneOf({
        {"1", Square(0, 0, 10)},
        {"", Square(20, 0, 10)},
        {"7", Square(40, 0, 10)},
        {"7", Square(60, 0, 10)},
        {"flat", {{80, 0}, {90, 0}, {85, 0}, {80, 0}}},
        {"x", {{100, 0}, {110, 10}, {110, 0}, {100, 10}, {100, 0}}},
        // Two corners half a millimetre apart, and two 1.5 mm apart.
        {"slip", {{200, 0}, {210, 0}, {210.0005, 10}, {210, 10}, {200, 0}}},
        {"fine", {{300, 0}, {310, 0}, {310.0015, 10}, {310, 10}, {300, 0}}},
    });
    std::vector<std::pair<TMarkKind, uint32_t>> got;
    for (const TMark& m : FindMarks(scene))
        got.emplace_back(m.Kind, m.Object);
    const std::vector<std::pair<TMarkKind, uint32_t>> want = {
        {TMarkKind::NoLotNumber, 1},
        {TMarkKind::SharedLotNumber, 2},
        {TMarkKind::SharedLotNumber, 3},
        {TMarkKind::SelfCrossing, 5},
        // The bow tie's two halves cancel.
        {TMarkKind::ZeroArea, 4},
        {TMarkKind::ZeroArea, 5},
    };
    ASSERT_GE(got.size(), want.size());
    EXPECT_EQ(std::vector(got.begin(), got.begin() + static_cast<long>(want.size())), want);
    ASSERT_EQ(got.size(), want.size() + 1);
    const TMark close = FindMarks(scene).back();
    EXPECT_EQ(close.Kind, TMarkKind::ClosePoints);
    const TWorldPoint a = scene.Points()[close.Object], b = scene.Points()[close.Other];
    EXPECT_NEAR(a.E, 210, 0.001);
    EXPECT_NEAR(b.E, 210, 0.001);
    // A mark's box holds its object.
    EXPECT_TRUE(MarkBox(scene, close).Contains(a));
    EXPECT_DOUBLE_EQ(MarkBox(scene, {TMarkKind::NoLotNumber, 1, 1}).MinE, 20);
}

TEST(PreviewView, NorthIsUpAndZoomKeepsThePointUnderTheCursor) {
    TView view(800, 600);
    TBox box;
    box.Add({1000, 5000});
    box.Add({1400, 5100});
    view.Fit(box, 20);
    const TScreenPoint sw = view.ToScreen({1000, 5000}), ne = view.ToScreen({1400, 5100});
    EXPECT_NEAR(sw.X, 20, 1e-9);
    EXPECT_NEAR(ne.X, 780, 1e-9);
    EXPECT_GT(sw.Y, ne.Y);                                         // north is up
    EXPECT_NEAR((sw.X - ne.X) / 400, (ne.Y - sw.Y) / 100, 1e-12);  // one scale
    const TScreenPoint cursor{123, 456};
    const TWorldPoint under = view.ToWorld(cursor);
    view.ZoomAt(cursor, 3.5);
    const TScreenPoint after = view.ToScreen(under);
    EXPECT_NEAR(after.X, cursor.X, 1e-6);
    EXPECT_NEAR(after.Y, cursor.Y, 1e-6);
    view.Pan(10, -20);
    const TScreenPoint panned = view.ToScreen(under);
    EXPECT_NEAR(panned.X, cursor.X + 10, 1e-6);
    EXPECT_NEAR(panned.Y, cursor.Y - 20, 1e-6);
    // Zooming never leaves the scales a drawing can be made at.
    for (int i = 0; i < 200; ++i)
        view.ZoomAt(cursor, 10);
    EXPECT_EQ(view.Scale(), TView::kMaxScale);
}

TEST(PreviewFrame, SmallParcelsCoverPixelsAndOthersAreLeftOutOfSight) {
    std::vector<TParcelSpec> parcels = {{"big", Square(0, 0, 1000)}};
    // A hundred parcels of 1 cm in one corner: one dot.
    for (int i = 0; i < 100; ++i)
        parcels.push_back({"", Square(990 + i * 0.001, 990, 0.01)});
    const TPreviewScene scene = SceneOf(parcels);
    TView view(500, 500);
    view.Fit(scene.Extent(), 0);
    TFrame f = BuildFrame(scene, view);
    EXPECT_EQ(f.Polygons.size(), 1u);
    // 11 cm at half a pixel per metre: the pixels about the corner.
    ASSERT_GE(f.ParcelRuns.size(), 1u);
    ASSERT_LE(f.ParcelRuns.size(), 2u);
    for (const TPixelRun& r : f.ParcelRuns) {
        EXPECT_LE(r.X1 - r.X0, 2);
        EXPECT_NEAR(r.X0, 495, 1);
        EXPECT_NEAR(r.Y, 5, 1);
    }
    ASSERT_EQ(f.Labels.size(), 1u);
    EXPECT_EQ(f.Labels[0].Object, 0u);
    // Zoomed into the corner the small ones are drawn and the big one's
    // label is out of sight.
    TBox corner;
    corner.Add({990, 990});
    corner.Add({990.2, 990.02});
    view.Fit(corner, 0);
    f = BuildFrame(scene, view);
    EXPECT_EQ(f.Polygons.size(), 101u);
    EXPECT_TRUE(f.ParcelRuns.empty());
    EXPECT_TRUE(f.Labels.empty());
    // Far away nothing is drawn at all.
    view.Pan(1e7, 0);
    f = BuildFrame(scene, view);
    EXPECT_TRUE(f.Polygons.empty());
    EXPECT_EQ(f.RingStarts.size(), 1u);
}

TEST(PreviewFrame, ObjectsReachingFarOutAreCutNearTheFrame) {
    // A 20 km parcel and a 20 km road crossing it, seen 1 m across.
    const TPreviewScene scene =
        SceneOf({{"big", {{-1e4, -1e4}, {1e4, -1e4}, {0, 1e4}, {-1e4, -1e4}}}},
                {{"road", {{-1e4, 0.25}, {0, 0.25}, {1e4, 0.25}}}});
    TView view(200, 100);
    TBox near;
    near.Add({-0.5, 0});
    near.Add({0.5, 0.5});
    view.Fit(near, 0);
    const TFrame f = BuildFrame(scene, view);
    ASSERT_EQ(f.Polygons.size(), 1u);
    ASSERT_EQ(f.Polylines.size(), 1u);
    for (size_t i = 0; i < f.Xy.size(); i += 2) {
        EXPECT_GE(f.Xy[i], -4096.5f);
        EXPECT_LE(f.Xy[i], 200 + 4096.5f);
        EXPECT_GE(f.Xy[i + 1], -4096.5f);
        EXPECT_LE(f.Xy[i + 1], 100 + 4096.5f);
    }
    // The cut road still runs straight through the frame at N = 0.25.
    const TFramePolyline& road = f.Polylines[0];
    for (uint32_t v = road.First; v < road.First + road.Count; ++v)
        EXPECT_NEAR(f.Y(v), view.ToScreen({0, 0.25}).Y, 1e-3);
    // The frame lies inside the cut parcel.
    const uint32_t first = f.RingStarts[0], end = f.RingStarts[1];
    bool inside = false;
    const double cx = 100, cy = 50;
    for (uint32_t i = first, j = end - 1; i < end; j = i++)
        if ((f.Y(i) > cy) != (f.Y(j) > cy) &&
            cx < f.X(i) + (cy - f.Y(i)) * (f.X(j) - f.X(i)) / (f.Y(j) - f.Y(i)))
            inside = !inside;
    EXPECT_TRUE(inside);
}

TEST(PreviewFrame, OverlappingLabelsAreHiddenTheLargerParcelFirst) {
    // Two parcels side by side whose labels would overlap at this scale.
    const TPreviewScene scene =
        SceneOf({{"SMALL-ONE", Square(0, 0, 10)},
                 {"LARGER-ONE", Join({{{10, 0}, {22, 0}, {22, 10}, {10, 10}, {10, 0}}})}});
    TView view(100, 40);
    view.Fit(scene.Extent(), 0);
    const TFrame f = BuildFrame(scene, view);
    ASSERT_EQ(f.Labels.size(), 1u);
    EXPECT_EQ(f.Labels[0].Object, 1u);
    // Wide enough, both are shown.
    TView wide(1000, 400);
    wide.Fit(scene.Extent(), 0);
    EXPECT_EQ(BuildFrame(scene, wide).Labels.size(), 2u);
}

TEST(PreviewFrame, VerticesWithinHalfAPixelAreLeftOut) {
    TPath ring;
    for (int i = 0; i <= 1000; ++i)
        ring.push_back({i * 0.01, 0});  // 10 m in 1 cm steps
    ring.push_back({10, 10});
    ring.push_back({0, 10});
    ring.push_back({0, 0});
    const TPreviewScene scene = SceneOf({{"a", ring}});
    TView view(100, 100);
    view.Fit(scene.Extent(), 0);
    const TFrame f = BuildFrame(scene, view);
    ASSERT_EQ(f.Polygons.size(), 1u);
    EXPECT_LE(f.RingStarts[1] - f.RingStarts[0], 203u);
    EXPECT_GE(f.RingStarts[1] - f.RingStarts[0], 100u);
}

TEST(PreviewHit, FindsTheParcelUnderTheCursorNotItsHole) {
    const TPreviewScene scene = SceneOf(
        {{"ring", Join({Square(0, 0, 30), Square(10, 10, 10)})}, {"inner", Square(12, 12, 2)}},
        {{"road", {{0, 40}, {30, 40}}}});
    TView view(400, 400);
    view.Fit(scene.Extent(), 10);
    const auto at = [&](double e, double n) { return HitTest(scene, view, view.ToScreen({e, n})); };
    THit h = at(5, 5);
    EXPECT_TRUE(h.Found && !h.Route && h.Index == 0);
    h = at(13, 13);
    EXPECT_TRUE(h.Found && !h.Route && h.Index == 1);
    h = at(17, 17);  // in the hole, outside the inner parcel
    EXPECT_FALSE(h.Found);
    h = at(15, 40.1);
    EXPECT_TRUE(h.Found && h.Route && h.Index == 0);
    EXPECT_FALSE(at(15, 35).Found);
}

}  // namespace
}  // namespace quorvex::preview
