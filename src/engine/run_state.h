// What one conversion run accumulates; a combined run shares it across its
// rows.
#pragma once

#include <cstdint>

#include "mif/UniSFMapUtil.h"
#include "sima/uniSimUtils.h"
#include "support/output_file.h"

namespace quorvex {

struct TRunState {
    TRunState(TFileWriter& sima, bool swapXY) : PointLines(sima), SwapXY(swapXY) {}

    TSIMPoints Points;
    // The coordinate section's "A01," lines go straight into the SIMA file,
    // whose section comes first, as points are added.
    TFileWriter& PointLines;
    size_t PointLinesWritten = 0;
    const bool SwapXY;
    TScratchFile Parcels;
    TScratchFile Routes;
    int32_t ParcelNo = 0;
    int32_t RouteNo = 0;
    TSFPolyLine Line;
    TSFPolygon Polygon;
};

// Writes the coordinate lines of the points added since the last call.
inline void WritePendingPointLines(TRunState& run) {
    WriteSimPointLines(run.PointLines, run.Points, run.PointLinesWritten, run.Points.Count(),
                       run.SwapXY);
    run.PointLinesWritten = run.Points.Count();
}

}  // namespace quorvex
