// The point table of a run and the three SIMA sections built from it: the
// coordinate section, parcel blocks (D00..D99) and route blocks (F00..F99).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "mif/UniSFMapUtil.h"
#include "support/output_file.h"

namespace quorvex {

// One point: its number is its position in the table from 1, its name the
// decimal text of the number and its height 0, so only X and Y are stored.
struct TSIMPoint {
    double X = 0;
    double Y = 0;
};

// Points numbered 1, 2, 3 in order of first use, matched by exact equality
// of both coordinates (0.0 and -0.0 equal), found through a hash of the pair.
class TSIMPoints {
  public:
    void Clear();
    size_t Count() const { return points_.size(); }
    const TSIMPoint& operator[](size_t i) const { return points_[i]; }

    // Number of the point at (x, y), added first when there is none.
    int32_t FindOrAdd(double x, double y);

  private:
    void Grow();

    std::vector<TSIMPoint> points_;
    std::vector<uint32_t> slots_;  // index + 1 of a point, 0 for an empty slot
    size_t mask_ = 0;
};

inline int32_t FindOrAddSimPoint(TSIMPoints& table, const TSFPoint& p) {
    return table.FindOrAdd(p.X, p.Y);
}

// "A00,", one "A01," line per point (the second coordinate first when
// swapXY), "A99,".
void WriteSimPoints(TFileWriter& out, const TSIMPoints& table, bool swapXY);
void WriteSimParcel(TFileWriter& out, const TSFPolygon& rec, TSIMPoints& table, int32_t parcelNo,
                    std::string_view attrValue);
void WriteSimRoute(TFileWriter& out, const TSFPolyLine& rec, TSIMPoints& table, int32_t routeNo,
                   std::string_view attrValue);

}  // namespace quorvex
