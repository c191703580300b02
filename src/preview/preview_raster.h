// The dense part of a frame painted straight into 32-bit pixels: parcels
// filled (even-odd) and outlined one pixel wide, routes as one-pixel lines,
// the pixel runs of small objects. A toolkit's painter pays a call's set-up
// for each of tens of thousands of parcels a few pixels wide; these loops
// do not. Labels, the scale bar and the north arrow stay with the toolkit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "preview/preview_frame.h"

namespace quorvex::preview {

// Pixels 0xAARRGGBB, rows `Stride` pixels apart. `Scale` device pixels to
// a frame pixel (the monitor's density).
struct TPixels {
    uint32_t* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    size_t Stride = 0;
    double Scale = 1;
};

// "#rrggbb" as an opaque 0xAARRGGBB pixel.
uint32_t OpaquePixel(std::string_view hex);

// Scratch space kept between frames.
struct TCrossing {
    int Row = 0;
    float X = 0;
};
struct TRasterScratch {
    std::vector<TCrossing> Crossings;
};

// Paints the frame's parcels, pixel runs and routes over what `pixels` holds.
void RasterizeFrame(const TFrame& f, const TPixels& pixels, TRasterScratch& scratch);

}  // namespace quorvex::preview
