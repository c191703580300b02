// Labels by a fixed text metric model, the same on every system and in the
// SVG file: a code page 932 character of one byte (ASCII, half-width kana)
// is 0.6 em wide, one of two bytes 1 em; a line is 1 em high. Labels are put
// greedily, the largest objects first, and one that would overlap a label
// already put is hidden.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvex::preview {

inline constexpr double kLabelFontPx = 12;

// Width of `text` in em.
double TextWidthEm(std::string_view cp932);

struct TLabelBox {
    double X = 0, Y = 0;  // centre, in pixels
    double Width = 0, Height = 0;
};

// Takes label boxes one by one and keeps each that overlaps none kept
// before it; a grid of cells keeps the test short on a full screen.
class TLabelPlacer {
  public:
    TLabelPlacer(double width, double height);
    // True (and the box taken) when it overlaps none taken so far.
    bool TryPlace(const TLabelBox& box);

  private:
    static constexpr double kCell = 64;
    std::vector<uint32_t>& Cell(int cx, int cy) { return cells_[cy * columns_ + cx]; }

    int columns_ = 1, rows_ = 1;
    std::vector<std::vector<uint32_t>> cells_;
    std::vector<TLabelBox> placed_;
};

}  // namespace quorvex::preview
