// What a surveyor checks first, found in the scene: parcels without a lot
// number, lot numbers of more than one parcel, parcels whose boundary
// crosses itself, parcels of zero area, parcel lists that do not split into
// rings, and points closer than 1 mm to another point.
#pragma once

#include <cstdint>
#include <vector>

#include "preview/preview_scene.h"
#include "preview/preview_view.h"

namespace quorvex::preview {

enum class TMarkKind {
    NoLotNumber,
    SharedLotNumber,
    SelfCrossing,
    ZeroArea,
    Unsplittable,
    ClosePoints
};

struct TMark {
    TMarkKind Kind = TMarkKind::NoLotNumber;
    // A parcel index; for ClosePoints the two point indexes.
    uint32_t Object = 0;
    uint32_t Other = 0;
};

// Points closer than this are likely slips of digitising.
inline constexpr double kClosePointMetres = 0.001;
// A parcel below this area (m²) has none: what rounding leaves of a line.
inline constexpr double kZeroAreaSquareMetres = 1e-6;

// The marks by kind in the order of the enumeration, each kind in the order
// of its objects; at most `limitPerKind` of each kind.
std::vector<TMark> FindMarks(const TPreviewScene& scene, size_t limitPerKind = 100000);

// The part of the plan to zoom to for a mark.
TBox MarkBox(const TPreviewScene& scene, const TMark& mark);

// The parcel or route at a screen position: a parcel whose rings hold it
// (the smallest when several do), else a route within `tolerance` pixels.
struct THit {
    bool Found = false;
    bool Route = false;
    uint32_t Index = 0;
};
THit HitTest(const TPreviewScene& scene, const TView& view, TScreenPoint at, double tolerance = 4);

}  // namespace quorvex::preview
