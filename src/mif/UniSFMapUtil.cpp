#include "mif/UniSFMapUtil.h"

#include <algorithm>

#include "support/text.h"

namespace quorvex {

void UpdateBounds(TSFShape& shape) {
    if (shape.NumPoints <= 0 || shape.Points.empty()) return;
    const TSFPoint& first = shape.Points[0];
    shape.MinX = shape.MaxX = first.X;
    shape.MinY = shape.MaxY = first.Y;
    const size_t n = std::min<size_t>(static_cast<size_t>(shape.NumPoints), shape.Points.size());
    for (size_t i = 1; i < n; ++i) {
        const TSFPoint& p = shape.Points[i];
        if (shape.MaxX < p.X) shape.MaxX = p.X;
        if (shape.MinX > p.X) shape.MinX = p.X;
        if (shape.MaxY < p.Y) shape.MaxY = p.Y;
        if (shape.MinY > p.Y) shape.MinY = p.Y;
    }
}

TSplit SplitFirst(char separator, std::string_view text) {
    const size_t p = text.find(separator);
    if (p == std::string_view::npos) return {Trim(text), {}};
    return {Trim(text.substr(0, p)), Trim(text.substr(p + 1))};
}

}  // namespace quorvex
