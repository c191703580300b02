// The view transform of the preview: northing up, easting to the right, one
// scale for both axes, in pixels per metre about a centre on the plan.
#pragma once

#include "preview/preview_scene.h"

namespace quorvex::preview {

struct TScreenPoint {
    double X = 0;
    double Y = 0;
};

class TView {
  public:
    // Scales beyond these would lose the drawing in rounding.
    static constexpr double kMinScale = 1e-9;
    static constexpr double kMaxScale = 1e6;

    TView() = default;
    TView(double width, double height) : width_(width), height_(height) {}

    double Width() const { return width_; }
    double Height() const { return height_; }
    double Scale() const { return scale_; }
    TWorldPoint Center() const { return center_; }

    TScreenPoint ToScreen(TWorldPoint p) const {
        return {(p.E - center_.E) * scale_ + width_ / 2, height_ / 2 - (p.N - center_.N) * scale_};
    }
    TWorldPoint ToWorld(TScreenPoint s) const {
        return {center_.E + (s.X - width_ / 2) / scale_, center_.N - (s.Y - height_ / 2) / scale_};
    }
    // The part of the plan in sight.
    TBox Visible() const;

    // The whole of `box` in sight, `margin` pixels kept free on every side;
    // an empty or single-point box shows 100 m across.
    void Fit(const TBox& box, double margin = 24);
    // Zooms by `factor` keeping the plan position under (x, y) where it is.
    void ZoomAt(TScreenPoint at, double factor);
    // Moves the drawing by (dx, dy) pixels, as a drag does.
    void Pan(double dx, double dy);
    // A new window size, the centre kept.
    void Resize(double width, double height) {
        width_ = width;
        height_ = height;
    }

  private:
    double width_ = 0;
    double height_ = 0;
    double scale_ = 1;
    TWorldPoint center_;
};

}  // namespace quorvex::preview
