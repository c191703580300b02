#include "preview/preview_view.h"

#include <algorithm>

namespace quorvex::preview {

TBox TView::Visible() const {
    TBox b;
    b.Add(ToWorld({0, 0}));
    b.Add(ToWorld({width_, height_}));
    return b;
}

void TView::Fit(const TBox& box, double margin) {
    const double w = std::max(width_ - 2 * margin, 1.0);
    const double h = std::max(height_ - 2 * margin, 1.0);
    if (box.Empty()) {
        center_ = {};
        scale_ = w / 100;
        return;
    }
    center_ = {(box.MinE + box.MaxE) / 2, (box.MinN + box.MaxN) / 2};
    const double spanE = box.MaxE - box.MinE, spanN = box.MaxN - box.MinN;
    if (spanE <= 0 && spanN <= 0) {
        scale_ = w / 100;
    } else {
        scale_ = std::min(spanE > 0 ? w / spanE : kMaxScale, spanN > 0 ? h / spanN : kMaxScale);
    }
    scale_ = std::clamp(scale_, kMinScale, kMaxScale);
}

void TView::ZoomAt(TScreenPoint at, double factor) {
    if (!(factor > 0)) return;
    const TWorldPoint fixed = ToWorld(at);
    scale_ = std::clamp(scale_ * factor, kMinScale, kMaxScale);
    // Put `fixed` back under the cursor.
    center_.E = fixed.E - (at.X - width_ / 2) / scale_;
    center_.N = fixed.N + (at.Y - height_ / 2) / scale_;
}

void TView::Pan(double dx, double dy) {
    center_.E -= dx / scale_;
    center_.N += dy / scale_;
}

}  // namespace quorvex::preview
