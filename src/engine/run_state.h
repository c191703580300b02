// What one conversion run accumulates; a combined run shares it across its
// rows.
#pragma once

#include <cstdint>

#include "engine/coordinate_system.h"
#include "engine/run_report.h"
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
    int64_t SkippedPoints = 0;
    int64_t SkippedTexts = 0;
    TExtent Extent;  // of the parcels and routes written
    TSFPolyLine Line;
    TSFPolygon Polygon;
};

inline TConvertCounts CountsOf(const TRunState& run) {
    return {run.ParcelNo, run.RouteNo, static_cast<int64_t>(run.Points.Count()),
            run.SkippedPoints, run.SkippedTexts};
}

// Writes the coordinate lines of the points added since the last call.
inline void WritePendingPointLines(TRunState& run) {
    WriteSimPointLines(run.PointLines, run.Points, run.PointLinesWritten, run.Points.Count(),
                       run.SwapXY);
    run.PointLinesWritten = run.Points.Count();
}

}  // namespace quorvex
