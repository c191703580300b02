// Readers of the MIF text: the header, the column block and every object kind
// that becomes a parcel or a route. Each geometry reader takes the object's
// normalised first line and reads its further lines itself, so the object
// pass continues after the object's last coordinate line. Numbers that do not
// convert and objects cut off by the end of the file raise ConversionError.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "mif/UniSFMapUtil.h"
#include "mif/mif_coordsys.h"
#include "support/line_reader.h"

namespace quorvex {

struct TMifHeader {
    bool AllClauses = false;  // Version, Charset, Delimiter and CoordSys seen
    char Delimiter = '\t';    // of the MID rows; the format's default is the tab
    // The value of the last Charset clause as it stands; none without one.
    std::optional<std::string> Charset;

    // The last CoordSys clause with the lines that continue it (a Bounds on
    // a line of its own), joined by blanks, and the Transform clause; empty
    // when there is none.
    std::string CoordSysText;
    std::string TransformText;
    // What those say. The header reader may stop on the CoordSys line; the
    // column reader, given the header, reads the rest before "Columns".
    TCoordSys CoordSys;

    // Reading state: the clause that the next line not starting a clause
    // continues, and whether one grew beyond what a clause can hold.
    enum class TOpenClause : uint8_t { None, CoordSys, Transform };
    TOpenClause OpenClause = TOpenClause::None;
    bool ClauseTooLong = false;
};

// Skips the header. Stops after the line on which the four clauses are
// complete, or before the first "Columns" line, which it leaves unread.
TMifHeader ReadMifHeader(TLineReader& mif);
// Reads the "Columns" block into `columns`; the "Data" line is left unread.
// Returns the declared column count (0 when there is no block). With
// `header`, the clause lines before "Columns" complete its CoordSys.
int32_t ReadMifColumns(TLineReader& mif, TSFColumns& columns, TMifHeader* header = nullptr);

void ReadMifLine(std::string_view line, TLineReader& mif, TSFPolyLine& rec);
void ReadMifPline(std::string_view line, TLineReader& mif, TSFPolyLine& rec);
void ReadMifRegion(std::string_view line, TLineReader& mif, TSFPolygon& rec);
// Serves RECT and ROUNDRECT; a rounded rectangle may carry its rounding value
// after the corners, which is then ignored.
void ReadMifRect(std::string_view line, TLineReader& mif, TSFPolygon& rec, bool roundRect = false);
void ReadMifEllipse(std::string_view line, TLineReader& mif, TSFPolygon& rec);
void ReadMifArc(std::string_view line, TLineReader& mif, TSFPolyLine& rec);
// MULTIPOINT inside a collection: a count, then that many coordinate pairs,
// read and dropped.
void SkipMifMultipoint(std::string_view line, TLineReader& mif);
// A PLINE or REGION that is not written: read and checked as the readers
// above do (the same errors), but no vertex is kept, so its size costs no
// memory.
void SkipMifPline(std::string_view line, TLineReader& mif);
void SkipMifRegion(std::string_view line, TLineReader& mif);

// Point (px, py) turned about (cx, cy) by -theta.
TSFPoint RotatePoint(double px, double py, double cx, double cy, double theta);

// Opens `path`, reads header and columns and closes it again.
struct TMifTable {
    TMifHeader Header;
    int32_t DeclaredColumns = 0;
    TSFColumns Columns;
};
TMifTable ReadMifTable(const std::string& path);

}  // namespace quorvex
