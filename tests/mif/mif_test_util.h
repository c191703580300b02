// Helpers shared by the MIF reader tests.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mif/UniSFMapUtil.h"
#include "support/line_reader.h"

namespace quorvex::test {

// The next line a reader left in the file, or "<end>".
inline std::string NextLine(TLineReader& mif) {
    std::string_view line;
    return mif.ReadLine(line) ? std::string(line) : std::string("<end>");
}

using V = std::vector<std::pair<double, double>>;

inline V Vertices(const TSFShape& rec) {
    V v;
    for (const TSFPoint& p : rec.Points)
        v.emplace_back(p.X, p.Y);
    return v;
}

}  // namespace quorvex::test
