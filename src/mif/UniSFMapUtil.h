// Feature records filled by the MIF readers: attribute columns and the two
// geometry records, each a vertex list divided into sections.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

struct TSFPoint {
    double X = 0;
    double Y = 0;
};

// Fields shared by both geometry records. The two records are distinct types
// so that an open shape is never passed where a closed one is expected.
struct TSFShape {
    double MinX = 0;
    double MinY = 0;
    double MaxX = 0;
    double MaxY = 0;
    int32_t NumParts = 0;
    int32_t NumPoints = 0;
    std::vector<int32_t> Parts;
    std::vector<TSFPoint> Points;
};

struct TSFPolyLine : TSFShape {};  // LINE, PLINE, ARC
struct TSFPolygon : TSFShape {};   // REGION, RECT, ROUNDRECT, ELLIPSE

enum class TSFColumnKind : uint8_t {
    ckChar = 0,
    ckInteger = 1,
    ckFloat = 2,
    ckDate = 3,
    ckLogical = 4
};

struct TSFColumn {
    std::string Name;
    TSFColumnKind Kind = TSFColumnKind::ckChar;
    int32_t Width = 0;
};

using TSFColumns = std::vector<TSFColumn>;

// Bounds over the first NumPoints vertices; unchanged when there are none.
void UpdateBounds(TSFShape& shape);

// Head and tail of `text` at the first `separator`, both trimmed; without a
// separator the head is the whole text trimmed and the tail is empty.
struct TSplit {
    std::string_view Head;
    std::string_view Tail;
};
TSplit SplitFirst(char separator, std::string_view text);

}  // namespace quorvex
