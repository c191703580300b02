#include "preview/preview_labels.h"

#include <algorithm>

namespace quorvex::preview {

double TextWidthEm(std::string_view cp932) {
    double em = 0;
    for (size_t i = 0; i < cp932.size(); ++i) {
        const auto c = static_cast<unsigned char>(cp932[i]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (lead && i + 1 < cp932.size()) {
            em += 1.0;
            ++i;
        } else {
            em += 0.6;
        }
    }
    return em;
}

TLabelPlacer::TLabelPlacer(double width, double height) {
    columns_ = std::max(1, static_cast<int>(width / kCell) + 1);
    rows_ = std::max(1, static_cast<int>(height / kCell) + 1);
    cells_.resize(static_cast<size_t>(columns_) * static_cast<size_t>(rows_));
}

bool TLabelPlacer::TryPlace(const TLabelBox& box) {
    const double x0 = box.X - box.Width / 2, x1 = box.X + box.Width / 2;
    const double y0 = box.Y - box.Height / 2, y1 = box.Y + box.Height / 2;
    const auto cellOf = [](double v, int limit) {
        return std::clamp(static_cast<int>(v / kCell), 0, limit - 1);
    };
    const int cx0 = cellOf(std::max(x0, 0.0), columns_), cx1 = cellOf(std::max(x1, 0.0), columns_);
    const int cy0 = cellOf(std::max(y0, 0.0), rows_), cy1 = cellOf(std::max(y1, 0.0), rows_);
    for (int cy = cy0; cy <= cy1; ++cy)
        for (int cx = cx0; cx <= cx1; ++cx)
            for (const uint32_t k : Cell(cx, cy)) {
                const TLabelBox& o = placed_[k];
                if (x0 < o.X + o.Width / 2 && o.X - o.Width / 2 < x1 && y0 < o.Y + o.Height / 2 &&
                    o.Y - o.Height / 2 < y1)
                    return false;
            }
    const auto index = static_cast<uint32_t>(placed_.size());
    placed_.push_back(box);
    for (int cy = cy0; cy <= cy1; ++cy)
        for (int cx = cx0; cx <= cx1; ++cx)
            Cell(cx, cy).push_back(index);
    return true;
}

}  // namespace quorvex::preview
