// What the preview draws, built once from the records of a SIMA file: the
// points in plan coordinates, each parcel's list split into rings with its
// area and a point inside it for the label, each route with its extent.
// Toolkit-free: the window and the command line draw from the same scene.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sima/sima_records.h"

namespace quorvex::preview {

// A position on the plan: E is the easting (SIMA Y, to the right), N the
// northing (SIMA X, up), both in metres.
struct TWorldPoint {
    double E = 0;
    double N = 0;
};

struct TBox {
    double MinE = 0, MinN = 0, MaxE = -1, MaxN = -1;  // empty until a point is added

    bool Empty() const { return MaxE < MinE; }
    void Add(TWorldPoint p) {
        if (Empty()) {
            MinE = MaxE = p.E;
            MinN = MaxN = p.N;
            return;
        }
        if (p.E < MinE) MinE = p.E;
        if (p.E > MaxE) MaxE = p.E;
        if (p.N < MinN) MinN = p.N;
        if (p.N > MaxN) MaxN = p.N;
    }
    void Include(const TBox& b) {
        if (b.Empty()) return;
        Add(TWorldPoint{b.MinE, b.MinN});
        Add(TWorldPoint{b.MaxE, b.MaxN});
    }
    bool Contains(TWorldPoint p) const {
        return p.E >= MinE && p.E <= MaxE && p.N >= MinN && p.N <= MaxN;
    }
};

// A run of TPreviewScene::RingVertices: one closed ring, its closing vertex
// (the return to the first point) not repeated.
struct TRing {
    uint32_t First = 0;
    uint32_t Count = 0;
};

struct TParcelShape {
    uint32_t FirstRing = 0;  // into TPreviewScene::Rings
    uint32_t RingCount = 0;
    TBox Box;
    double Area = 0;  // m², holes subtracted
    TWorldPoint LabelAt;
    bool Unsplittable = false;  // the list did not split into rings: drawn as one
    bool SelfCrossing = false;  // one of its rings crosses itself
};

struct TRouteShape {
    TBox Box;
    TWorldPoint LabelAt;
};

class TPreviewScene {
  public:
    TPreviewScene() = default;
    explicit TPreviewScene(TSimaFile file);

    const TSimaFile& File() const { return file_; }
    const std::vector<TWorldPoint>& Points() const { return points_; }
    const std::vector<uint32_t>& RingVertices() const { return ringVertices_; }
    const std::vector<TRing>& Rings() const { return rings_; }
    const std::vector<TParcelShape>& Parcels() const { return parcels_; }
    const std::vector<TRouteShape>& Routes() const { return routes_; }
    // Everything drawn: the points of parcels and routes.
    const TBox& Extent() const { return extent_; }

    // Lot number of parcel i, route name of route i: code page 932 bytes.
    std::string_view ParcelName(size_t i) const { return file_.Parcels[i].Name; }
    std::string_view RouteName(size_t i) const { return file_.Routes[i].Name; }

  private:
    TSimaFile file_;
    std::vector<TWorldPoint> points_;
    std::vector<uint32_t> ringVertices_;
    std::vector<TRing> rings_;
    std::vector<TParcelShape> parcels_;
    std::vector<TRouteShape> routes_;
    TBox extent_;
};

// The list of point indexes of a parcel, split into rings wherever it comes
// back to the current ring's first position; appends to `ringVertices` and
// `rings`. False when a remainder after the last return does not come back
// (the whole list is then one ring).
bool SplitRings(const std::vector<TWorldPoint>& points, const uint32_t* first, const uint32_t* last,
                std::vector<uint32_t>& ringVertices, std::vector<TRing>& rings);
// Area of a ring by the shoelace formula, positive anticlockwise on the plan.
double SignedRingArea(const std::vector<TWorldPoint>& points, const uint32_t* v, uint32_t count);
// Whether two edges of the ring that are not neighbours meet.
bool RingCrossesItself(const std::vector<TWorldPoint>& points, const uint32_t* v, uint32_t count);
// Even-odd rule over the rings.
bool InsideRings(const std::vector<TWorldPoint>& points, const std::vector<uint32_t>& ringVertices,
                 const TRing* rings, uint32_t ringCount, TWorldPoint p);

}  // namespace quorvex::preview
