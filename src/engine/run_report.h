// What a conversion run tells its caller: whether it wrote its file, why not,
// and what it wrote.
#pragma once

#include <cstdint>
#include <string>

#include "engine/coordinate_system.h"
#include "mif/mif_coordsys.h"
#include "support/messages.h"

namespace quorvex {

struct TConvertCounts {
    int64_t Parcels = 0;        // parcel blocks written
    int64_t Routes = 0;         // route blocks written
    int64_t Points = 0;         // coordinate lines written (distinct points)
    int64_t SkippedPoints = 0;  // point and multipoint objects, which SIMA has no block for
    int64_t SkippedTexts = 0;   // text objects

    TConvertCounts& operator+=(const TConvertCounts& o);
    TConvertCounts operator-(const TConvertCounts& o) const;
    bool operator==(const TConvertCounts&) const = default;
};

struct TRunReport {
    bool Ok = false;
    TMessage Error;         // why it failed
    TConvertCounts Counts;  // what was written; for a combined row, that row's share
    // What the table's coordinates are and the extent of those written, for
    // DescribeCoordSys and CoordSysWarning; the extent only of a run that
    // wrote its file, or of a combined row.
    TCoordSys CoordSys;
    TExtent Extent;
};

// "画地 1,234、路線 56、座標 4,567" or "parcels 1,234, routes 56, points 4,567",
// followed by the skipped points and texts when there were any.
std::string CountsText(const TConvertCounts& counts, TLanguage language);

}  // namespace quorvex
