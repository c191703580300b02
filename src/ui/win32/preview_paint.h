// The preview's drawing with GDI: a frame of the shared preview logic
// painted into a memory bitmap, in the colours of the SVG file, at the
// monitor's dpi. The window copies the bitmap to the screen in one BitBlt,
// so a repaint never flickers, and the tests read its pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "preview/preview_frame.h"
#include "preview/preview_scene.h"
#include "ui/logic/preview_logic.h"

namespace quorvex {

// "#rrggbb" as a GDI colour.
constexpr COLORREF ColourOf(std::string_view hex) {
    const auto digit = [](char c) -> unsigned {
        return c >= 'a'   ? unsigned(c - 'a' + 10)
               : c >= 'A' ? unsigned(c - 'A' + 10)
                          : unsigned(c - '0');
    };
    const auto byte = [&](size_t at) { return (digit(hex[at]) << 4) | digit(hex[at + 1]); };
    return RGB(byte(1), byte(3), byte(5));
}

// The chosen object's outline, drawn over the drawing.
inline constexpr std::string_view kSelectionStroke = "#e07000";

// A top-down 32-bit DIB section with its own device context.
class TMemoryBitmap {
  public:
    TMemoryBitmap() = default;
    ~TMemoryBitmap();
    TMemoryBitmap(const TMemoryBitmap&) = delete;
    TMemoryBitmap& operator=(const TMemoryBitmap&) = delete;

    // Makes the bitmap `width` by `height` pixels (at least 1 by 1); the
    // contents are undefined until painted.
    void Resize(int width, int height);
    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The colour of a pixel; black outside the bitmap.
    COLORREF Pixel(int x, int y) const;
    // Fills pixels x0 to before x1 of row y, clipped to the bitmap, without
    // a GDI call: the many runs of a zoomed-out drawing go fastest so.
    void FillRow(int y, int x0, int x1, COLORREF colour);

  private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
    int width_ = 0, height_ = 0;
};

// Paints the frame into the bitmap over a white background: parcels lightly filled
// (even-odd) and outlined, small parcels' and routes' pixels, routes, the
// chosen object's outline, labels, the site name, the scale bar and the
// north arrow. `zoom` is the device pixels of one frame pixel (the dpi over
// 96); `fontFace` the face of the texts.
void PaintPreview(TMemoryBitmap& target, const preview::TPreviewScene& scene,
                  const preview::TFrame& frame, double zoom,
                  const std::vector<TPreviewLogic::TOutline>& selection,
                  const std::wstring& fontFace);

}  // namespace quorvex
