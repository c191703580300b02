// Readers of the vertex-list objects: LINE, PLINE (single and MULTIPLE) and
// REGION.
#include "mif/mif_numbers.h"
#include "mif/mif_text.h"
#include "mif/uniMifUtils.h"
#include "support/text.h"

namespace quorvex {

using namespace mif_text;

namespace {

// Splits `held` at its first blank, joining further lines while the tail is
// empty.
TSplit SplitJoining(TLineReader& mif, std::string& held) {
    TSplit s = SplitFirst(' ', held);
    while (s.Tail.empty()) {
        JoinNext(mif, held);
        s = SplitFirst(' ', held);
    }
    return s;
}

// Widens the bounds of `rec` by `v`, the bounds starting at its first vertex.
void Widen(TSFShape& rec, const TSFPoint& v) {
    if (rec.Points.empty()) {
        rec.MinX = rec.MaxX = v.X;
        rec.MinY = rec.MaxY = v.Y;
        return;
    }
    if (rec.MaxX < v.X) rec.MaxX = v.X;
    if (rec.MinX > v.X) rec.MinX = v.X;
    if (rec.MaxY < v.Y) rec.MaxY = v.Y;
    if (rec.MinY > v.Y) rec.MinY = v.Y;
}

// Reads `n` vertex lines, skipping blank ones, onto the end of the vertices
// of `rec`, whose bounds grow with them; without `rec` (an object that is
// not written) they are only checked, so no object's size costs memory.
template <bool Keep>
void ReadVerticesInto(TLineReader& mif, int32_t n, TSFShape* rec) {
    for (int32_t i = 0; i < n;) {
        const std::string_view line = NextLine(mif);
        TSFPoint v;
        if (!TryShortVertex(line, v, mif.InBuffer(line))) {
            if (IsBlankLine(line)) continue;
            v = Vertex(mif, line);
        }
        if constexpr (Keep) {
            Widen(*rec, v);
            rec->Points.push_back(v);
        }
        ++i;
    }
}

void ReadVertices(TLineReader& mif, int32_t n, TSFShape* rec) {
    if (rec)
        ReadVerticesInto<true>(mif, n, rec);
    else
        ReadVerticesInto<false>(mif, n, rec);
}

// Sections of a PLINE MULTIPLE or the polygons of a REGION: a count line,
// then that many vertex lines, for each of `parts` sections. Returns the
// number of vertices.
int64_t ReadSections(TLineReader& mif, int32_t parts, TSFShape* rec) {
    int64_t total = 0;
    for (int32_t k = 0; k < parts; ++k) {
        const std::string_view countLine = NextNonBlank(mif);
        if (rec) rec->Parts.push_back(static_cast<int32_t>(total));
        const int32_t n = NonNegativeCount(mif, countLine);
        total += n;
        if (total > INT32_MAX) Fail(mif, TMsg::TooManyVertices);
        ReadVertices(mif, n, rec);
    }
    return total;
}

void FinishShape(const TLineReader& mif, TSFShape& rec) {
    rec.NumParts = static_cast<int32_t>(rec.Parts.size());
    rec.NumPoints = static_cast<int32_t>(rec.Points.size());
    if (rec.Points.empty()) Fail(mif, TMsg::NoVertices);
}

// A PLINE into `rec`, or only checked without it; returns its vertex count.
int64_t ReadPline(std::string_view line, TLineReader& mif, TSFPolyLine* rec) {
    std::string object(line);
    const TSplit s = SplitJoining(mif, object);
    if (StartsWithIgnoringAsciiCase(s.Tail, "Multiple")) {
        const int32_t parts = TryParseMifInteger(SplitFirst(' ', s.Tail).Tail).value_or(1);
        if (parts < 0) Fail(mif, TMsg::NegativeSectionCount, std::to_string(parts));
        return ReadSections(mif, parts, rec);
    }
    if (rec) rec->Parts.push_back(0);
    const int32_t n = NonNegativeCount(mif, s.Tail);
    ReadVertices(mif, n, rec);
    return n;
}

int64_t ReadRegion(std::string_view line, TLineReader& mif, TSFPolygon* rec) {
    std::string object(line);
    const TSplit s = SplitJoining(mif, object);
    return ReadSections(mif, NonNegativeCount(mif, s.Tail), rec);
}

}  // namespace

void ReadMifLine(std::string_view line, TLineReader& mif, TSFPolyLine& rec) {
    rec.Parts.assign(1, 0);
    rec.Points.assign(2, TSFPoint{});
    rec.NumParts = 1;
    rec.NumPoints = 2;

    std::string held(SplitFirst(' ', line).Tail);
    if (held.empty()) held.assign(NextNonBlank(mif));
    TSplit s = SplitJoining(mif, held);
    rec.Points[0].X = Number(mif, s.Head);
    s = SplitFirst(' ', s.Tail);
    rec.Points[0].Y = Number(mif, s.Head);
    s = SplitFirst(' ', s.Tail);
    rec.Points[1].X = Number(mif, s.Head);
    rec.Points[1].Y = Number(mif, s.Tail);
    UpdateBounds(rec);
}

void ReadMifPline(std::string_view line, TLineReader& mif, TSFPolyLine& rec) {
    rec.Parts.clear();
    rec.Points.clear();
    ReadPline(line, mif, &rec);
    FinishShape(mif, rec);
}

void ReadMifRegion(std::string_view line, TLineReader& mif, TSFPolygon& rec) {
    rec.Parts.clear();
    rec.Points.clear();
    ReadRegion(line, mif, &rec);
    FinishShape(mif, rec);
}

void SkipMifPline(std::string_view line, TLineReader& mif) {
    if (ReadPline(line, mif, nullptr) == 0) Fail(mif, TMsg::NoVertices);
}

void SkipMifRegion(std::string_view line, TLineReader& mif) {
    if (ReadRegion(line, mif, nullptr) == 0) Fail(mif, TMsg::NoVertices);
}

void SkipMifMultipoint(std::string_view line, TLineReader& mif) {
    std::string object(line);
    const TSplit s = SplitJoining(mif, object);
    ReadVertices(mif, NonNegativeCount(mif, s.Tail), nullptr);
}

}  // namespace quorvex
