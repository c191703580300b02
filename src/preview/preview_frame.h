// One frame of the preview: what a view shows of a scene, in pixels, ready
// to paint. Geometry is simplified to the pixel (a vertex closer than half a
// pixel to the one before is left out); objects smaller than a few pixels
// are not drawn one by one but cover the pixels of their extent, painted as
// runs along the rows; objects out of sight are left out. The faces and the
// SVG writer paint the same frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "preview/preview_labels.h"
#include "preview/preview_scene.h"
#include "preview/preview_view.h"

namespace quorvex::preview {

struct TFramePolygon {
    uint32_t Parcel = 0;
    uint32_t FirstRing = 0;  // into TFrame::RingStarts
    uint32_t RingCount = 0;
};

struct TFramePolyline {
    uint32_t Route = 0;
    uint32_t First = 0;  // vertex index into TFrame::Xy (pairs)
    uint32_t Count = 0;
};

// Covered pixels X0 to before X1 of row Y.
struct TPixelRun {
    int32_t Y = 0, X0 = 0, X1 = 0;
};

// Objects whose extent is below this many pixels both ways cover pixels.
inline constexpr double kSmallObjectPixels = 3;

struct TFrameLabel {
    TLabelBox Box;
    uint32_t Object = 0;
    bool Route = false;
};

struct TScaleBar {
    double X = 0, Y = 0;  // left end, pixels
    double Length = 0;    // pixels
    double Metres = 0;
    std::string Text;  // "50 m", "2 km"
};

struct TFrame {
    int Width = 0;
    int Height = 0;
    // Vertices in pixels, x and y after each other.
    std::vector<float> Xy;
    // Start of each ring (a vertex index into Xy), with one more entry for
    // the end of the last.
    std::vector<uint32_t> RingStarts;
    std::vector<TFramePolygon> Polygons;
    std::vector<TFramePolyline> Polylines;
    // The pixels small parcels and small routes cover.
    std::vector<TPixelRun> ParcelRuns;
    std::vector<TPixelRun> RouteRuns;
    std::vector<TFrameLabel> Labels;
    TScaleBar ScaleBar;
    // Where the north arrow stands: its tip and its length, pixels.
    double NorthX = 0, NorthY = 0, NorthLength = 0;

    float X(uint32_t vertex) const { return Xy[2 * size_t(vertex)]; }
    float Y(uint32_t vertex) const { return Xy[2 * size_t(vertex) + 1]; }
};

TFrame BuildFrame(const TPreviewScene& scene, const TView& view);

// The scale bar for `scale` pixels per metre in a frame `width` wide: the
// longest round length (1, 2 or 5 times a power of ten metres) of at most a
// quarter of the width.
TScaleBar ScaleBarFor(double scale, double width, double height);

}  // namespace quorvex::preview
