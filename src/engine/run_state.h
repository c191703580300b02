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
    TSimBlockScratch Parcels;
    TSimBlockScratch Routes;
    int32_t ParcelNo = 0;
    int32_t RouteNo = 0;
    int64_t SkippedPoints = 0;
    int64_t SkippedTexts = 0;
    TExtent Extent;  // of the parcels and routes written
    TSFPolyLine Line;
    TSFPolygon Polygon;
};

inline TConvertCounts CountsOf(const TRunState& run) {
    return {run.ParcelNo, run.RouteNo, static_cast<int64_t>(run.Points.Count()), run.SkippedPoints,
            run.SkippedTexts};
}

// Where a run stood between two inputs of a combined run, so that an input
// that fails can be taken back whole.
struct TRunMark {
    uint64_t PointLines, Parcels, Routes;  // bytes of the files
    size_t Points;
    TConvertCounts Counts;
};

// Only between inputs: every point added has its coordinate line written.
inline TRunMark MarkOf(const TRunState& run) {
    return {run.PointLines.Size(), run.Parcels.Size(), run.Routes.Size(), run.Points.Count(),
            CountsOf(run)};
}

// Makes the run what it was at `mark`: the files are cut back, the points
// added since leave the table (the numbering stays without gaps) and the
// counters return.
inline void TakeBack(TRunState& run, const TRunMark& mark) {
    run.PointLines.Truncate(mark.PointLines);
    run.Parcels.Truncate(mark.Parcels);
    run.Routes.Truncate(mark.Routes);
    run.Points.TruncateTo(mark.Points);
    run.PointLinesWritten = mark.Points;
    run.ParcelNo = static_cast<int32_t>(mark.Counts.Parcels);
    run.RouteNo = static_cast<int32_t>(mark.Counts.Routes);
    run.SkippedPoints = mark.Counts.SkippedPoints;
    run.SkippedTexts = mark.Counts.SkippedTexts;
}

// Writes the coordinate lines of the points added since the last call.
inline void WritePendingPointLines(TRunState& run) {
    WriteSimPointLines(run.PointLines, run.Points, run.PointLinesWritten, run.Points.Count(),
                       run.SwapXY);
    run.PointLinesWritten = run.Points.Count();
}

}  // namespace quorvex
