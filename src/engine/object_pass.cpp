#include "engine/object_pass.h"

#include "engine/block_pipeline.h"
#include "engine/coordinate_system.h"

#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "mif/mid_values.h"
#include "mif/mif_numbers.h"
#include "mif/mif_text.h"
#include "mif/uniMifUtils.h"
#include "sima/sima_number.h"
#include "support/errors.h"
#include "support/field.h"
#include "support/text.h"

namespace quorvex {
namespace {

enum class Keyword {
    None,  // no object: style clauses, coordinates, Data, unknown kinds
    Point,
    Line,
    Pline,
    Region,
    Arc,
    Text,
    Rect,
    RoundRect,
    Ellipse,
    MultiPoint,
    Empty,  // the NONE object
    Collection,
};

// The object keyword of a trimmed line: its first field, ASCII letters folded.
Keyword KeywordOf(std::string_view line) {
    static constexpr std::pair<std::string_view, Keyword> kTable[] = {
        {"POINT", Keyword::Point},     {"LINE", Keyword::Line},
        {"PLINE", Keyword::Pline},     {"REGION", Keyword::Region},
        {"ARC", Keyword::Arc},         {"TEXT", Keyword::Text},
        {"RECT", Keyword::Rect},       {"ROUNDRECT", Keyword::RoundRect},
        {"ELLIPSE", Keyword::Ellipse}, {"MULTIPOINT", Keyword::MultiPoint},
        {"NONE", Keyword::Empty},      {"COLLECTION", Keyword::Collection},
    };
    auto lookup = [](std::string_view word) {
        for (const auto& [name, kw] : kTable)
            if (name.size() == word.size() && EqualsIgnoringAsciiCase(word, name)) return kw;
        return Keyword::None;
    };
    if (line.empty()) return Keyword::None;
    // A quoted first field is rare; it goes the general way.
    if (line[0] == '"') return lookup(GetField(line, 1, " "));
    // Otherwise the field runs to the first blank. Keywords are short ASCII
    // words, so coordinate lines and anything else are turned away early.
    size_t n = 0;
    while (n < line.size() && n <= 10) {
        const auto c = static_cast<unsigned char>(line[n]);
        if (c <= 32) break;
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return Keyword::None;
        ++n;
    }
    return lookup(line.substr(0, n));
}

class TObjectPass {
  public:
    // The MID rows are read only when a value is taken from them.
    TObjectPass(TRunState& run, TLineReader& mif, TLineReader* mid, const TMidFormat& format,
                const TConvertSettings& settings, TBlockPipeline& blocks,
                const TPlaneZoneProjection* projection)
        : run_(run), mif_(mif), settings_(settings), blocks_(blocks), projection_(projection) {
        if (mid && settings.AttrIndex > 0) rows_.emplace(*mid, format);
    }

    void Run() {
        std::string_view raw;
        while (mif_.ReadLine(raw)) {
            const Keyword kw = KeywordOf(Trim(raw));
            if (kw == Keyword::None) continue;
            if (kw != Keyword::Point && kw != Keyword::MultiPoint && kw != Keyword::Empty)
                CheckBlankAfterKeyword(Trim(raw));
            const std::string line = NormaliseLine(raw);
            ReadRow();
            Dispatch(kw, line);
        }
        CheckRowCount();
    }

  private:
    void ReadRow() {
        ++objects_;
        std::string_view row;
        if (rows_ && rows_->Next(row)) {
            ++rowsTaken_;
            row_.assign(row);
            rowNo_ = rows_->FirstLine();
        } else {
            row_.clear();
            rowNo_ = 0;
        }
        rowSent_ = false;
    }

    // Every object takes one row, so a row missing or left over means the
    // values are out of step with the objects (a misspelt keyword drops an
    // object and moves every later value one object up). Blank rows at the
    // end of the file may be the last objects' empty rows or be left over:
    // neither is a mismatch.
    void CheckRowCount() {
        if (!rows_) return;
        int64_t rows = rowsTaken_;
        if (rowsTaken_ == objects_) {
            int64_t seen = rowsTaken_;
            std::string_view row;
            while (rows_->Next(row)) {
                ++seen;
                if (!IsBlankLine(row)) rows = seen;
            }
        }
        if (rows != objects_)
            throw ConversionError(
                TMessage(TMsg::MidRowCount, {std::to_string(objects_), std::to_string(rows)}));
    }

    void Dispatch(Keyword kw, const std::string& line) {
        switch (kw) {
            case Keyword::Line:
                ReadMifLine(line, mif_, run_.Line);
                return Route();
            case Keyword::Pline:
                if (!settings_.Rosen) return SkipMifPline(line, mif_);
                ReadMifPline(line, mif_, run_.Line);
                return Route();
            case Keyword::Arc:
                ReadMifArc(line, mif_, run_.Line);
                return Route();
            case Keyword::Region:
                if (!settings_.Kakuchi) return SkipMifRegion(line, mif_);
                ReadMifRegion(line, mif_, run_.Polygon);
                return Parcel();
            case Keyword::Rect:
            case Keyword::RoundRect:
                ReadMifRect(line, mif_, run_.Polygon, kw == Keyword::RoundRect);
                return Parcel();
            case Keyword::Ellipse:
                ReadMifEllipse(line, mif_, run_.Polygon);
                return Parcel();
            case Keyword::Text:
                ++run_.SkippedTexts;
                return SkipText(line);
            case Keyword::Collection:
                return ReadCollection(line);
            case Keyword::Point:
            case Keyword::MultiPoint:
                ++run_.SkippedPoints;
                return;
            case Keyword::Empty:
            case Keyword::None:
                return;
        }
    }

    // The readers split an object line at blanks: after a tab they would
    // take the next lines for the rest and fail far from the fault.
    void CheckBlankAfterKeyword(std::string_view line) const {
        if (line.empty() || line[0] == '"') return;
        size_t n = 0;
        while (n < line.size() && static_cast<unsigned char>(line[n]) > 32)
            ++n;
        if (n < line.size() && line[n] != ' ')
            mif_text::Fail(mif_, TMsg::KeywordBeforeTab, std::string(line.substr(0, n)));
    }

    // Shapes near the limits of the double range (an ellipse, an arc, a
    // rectangle) can compute infinite or undefined vertices, which no SIMA
    // file can hold; and the few largest doubles print at 15 digits as a
    // number beyond the double range (1.79769313486232E308), which no reader
    // parses back.
    void CheckFinite(std::span<const TSFPoint> points) {
        for (const TSFPoint& p : points) {
            // One test per coordinate in the common case; NaN fails it too.
            if (std::fabs(p.X) <= kLargestSimaNumber && std::fabs(p.Y) <= kLargestSimaNumber)
                continue;
            if (!std::isfinite(p.X) || !std::isfinite(p.Y))
                mif_text::Fail(mif_, TMsg::NonFiniteVertex);
            mif_text::Fail(mif_, TMsg::VertexTooLarge);
        }
    }

    // Into the zone's easting (X) and northing (Y), after the closing rule,
    // which compares the coordinates as read; equal vertices stay equal, as
    // the projection is a function of the coordinates alone. The bounds
    // follow, for the extent.
    void Project(TSFShape& shape) {
        if (!projection_ || projection_->PassesThrough() || shape.Points.empty()) return;
        for (TSFPoint& p : shape.Points) {
            TProjectedPoint q;
            if (!projection_->Project(p.X, p.Y, q))
                mif_text::Fail(mif_, TMsg::ZoneTooFar, RomanZoneNumber(settings_.Zone));
            p.X = q.Easting;
            p.Y = q.Northing;
        }
        shape.MinX = shape.MaxX = shape.Points[0].X;
        shape.MinY = shape.MaxY = shape.Points[0].Y;
        for (const TSFPoint& p : shape.Points) {
            if (p.X < shape.MinX) shape.MinX = p.X;
            if (p.X > shape.MaxX) shape.MaxX = p.X;
            if (p.Y < shape.MinY) shape.MinY = p.Y;
            if (p.Y > shape.MaxY) shape.MaxY = p.Y;
        }
        // A unit scaled up may leave what a SIMA file can hold.
        CheckFinite(shape.Points);
    }

    void Parcel() {
        ApplyClosingRule(run_.Polygon, settings_.CloseParcel);
        if (!settings_.Kakuchi) return;
        CheckFinite(run_.Polygon.Points);
        Project(run_.Polygon);
        run_.Extent.Add(run_.Polygon);
        blocks_.Put(TSimBlockKind::Parcel, run_.Polygon.Points, ++run_.ParcelNo, row_, rowNo_,
                    rowSent_);
        rowSent_ = true;
    }

    void Route() {
        if (!settings_.Rosen) return;
        CheckFinite(run_.Line.Points);
        Project(run_.Line);
        run_.Extent.Add(run_.Line);
        blocks_.Put(TSimBlockKind::Route, run_.Line.Points, ++run_.RouteNo, row_, rowNo_, rowSent_);
        rowSent_ = true;
    }

    // A text consumes its string and its coordinates, so a string that reads
    // like a keyword is never taken for an object.
    void SkipText(std::string_view line) {
        if (SplitFirst(' ', line).Tail.empty()) mif_text::NextNonBlank(mif_);
        mif_text::NextNonBlank(mif_);
    }

    // One MID row serves the whole collection; its parts take none.
    void ReadCollection(std::string_view line) {
        const int32_t parts = mif_text::NonNegativeCount(mif_, SplitFirst(' ', line).Tail);
        std::string_view raw;
        for (int32_t done = 0; done < parts && mif_.ReadLine(raw);) {
            const Keyword kw = KeywordOf(Trim(raw));
            if (kw == Keyword::Region || kw == Keyword::Pline || kw == Keyword::Line ||
                kw == Keyword::MultiPoint)
                CheckBlankAfterKeyword(Trim(raw));
            const std::string part = NormaliseLine(raw);
            switch (kw) {
                case Keyword::Region:
                    if (!settings_.Kakuchi) {
                        SkipMifRegion(part, mif_);
                        break;
                    }
                    ReadMifRegion(part, mif_, run_.Polygon);
                    Parcel();
                    break;
                case Keyword::Pline:
                    if (!settings_.Rosen) {
                        SkipMifPline(part, mif_);
                        break;
                    }
                    ReadMifPline(part, mif_, run_.Line);
                    Route();
                    break;
                case Keyword::Line:
                    ReadMifLine(part, mif_, run_.Line);
                    Route();
                    break;
                case Keyword::MultiPoint:
                    ++run_.SkippedPoints;
                    SkipMifMultipoint(part, mif_);
                    break;
                case Keyword::None:
                    continue;  // style clauses between parts
                default:
                    // Another object ends the collection early.
                    mif_.UnreadLine();
                    return;
            }
            ++done;
        }
    }

    TRunState& run_;
    TLineReader& mif_;
    std::optional<TMidRows> rows_;
    const TConvertSettings& settings_;
    TBlockPipeline& blocks_;
    // Null: the coordinates are written as read.
    const TPlaneZoneProjection* projection_;
    int64_t objects_ = 0;    // object keywords read, each taking a row
    int64_t rowsTaken_ = 0;  // rows they found
    std::string row_;
    int64_t rowNo_ = 0;     // of row_ in the MID file; 0 past its end
    bool rowSent_ = false;  // row_ already went with a block (collection parts)
};

bool SamePoint(const TSFPoint& a, const TSFPoint& b) {
    return a.X == b.X && a.Y == b.Y;
}

}  // namespace

void ApplyClosingRule(TSFPolygon& rec, bool closeParcel) {
    auto& pts = rec.Points;
    if (pts.empty()) return;
    if (closeParcel) {
        if (!SamePoint(pts.back(), pts.front())) pts.push_back(pts.front());
    } else {
        while (pts.size() > 1 && SamePoint(pts.back(), pts.front()))
            pts.pop_back();
    }
    rec.NumPoints = static_cast<int32_t>(pts.size());
}

void RunObjectPass(TRunState& run, TLineReader& mif, TLineReader* mid, const TMifTable& table,
                   const TConvertSettings& settings) {
    // The character set matters only for the values written; a table whose
    // set cannot be read still gives its geometry without them.
    // A position past the columns would give every object an empty value:
    // a file that looks right and is not.
    if (settings.AttrIndex > 0 && static_cast<size_t>(settings.AttrIndex) > table.Columns.size())
        throw ConversionError(AttrOutOfRange(std::to_string(settings.AttrIndex), table));
    TMidFormat format;
    if (settings.AttrIndex > 0) {
        format = MidFormatOf(table.Header, table.Columns);
    } else {
        format.Delimiter = table.Header.Delimiter;
    }
    // A table that cannot be projected fails before any object is read.
    std::optional<TPlaneZoneProjection> projection;
    if (settings.Zone != 0) projection = ZoneProjectionOf(table.Header.CoordSys, settings.Zone);
    TBlockPipeline blocks(run, settings.AttrIndex, format);
    try {
        TObjectPass(run, mif, mid, format, settings, blocks, projection ? &*projection : nullptr)
            .Run();
    } catch (...) {
        // What was read before the failure is written, as the blocks would
        // have been one by one.
        blocks.Finish();
        throw;
    }
    blocks.Finish();
}

}  // namespace quorvex
