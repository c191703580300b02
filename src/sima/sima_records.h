// A SIMA file read back into plain records: the site name, the points of the
// coordinate section, the parcel blocks (D00..D99) and the route blocks
// (F00..F99). The reader takes files of other programs too; the record
// writer gives back the bytes of a file this program wrote.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvex {

class TFileWriter;
class TLineReader;

// One "A01," line: number and the two coordinates as written (SIMA X, the
// northing, first). Its name and the fields after the coordinates are those
// of this program's files (the number's decimal text; a height "0,") unless
// TSimaFile::OddPointTexts says otherwise, which keeps millions of points
// small.
struct TSimaPoint {
    int32_t Number = 0;
    double X = 0;
    double Y = 0;
};

// The name and the rest of the line (height and any more fields, commas
// included) of a point that differs from the usual.
struct TSimaPointText {
    uint32_t Index = 0;  // into TSimaFile::Points
    std::string Name;
    std::string Rest;
};

// One parcel or route block. The head's text after the number is kept whole
// (`Head`, "12-4,1," for a parcel of ours); `Name` is the lot number or route
// name cut from it. Vertices are indexes into TSimaFile::Points.
struct TSimaBlock {
    int32_t Number = 0;
    std::string Name;
    std::string Head;
    uint32_t FirstVertex = 0;  // into TSimaFile::Vertices
    uint32_t VertexCount = 0;
    int64_t Line = 0;  // of the head, for messages
};

struct TSimaFile {
    std::string Genba;  // site name of the "G00," line, bytes as written
    bool HasHeader = false;
    std::vector<TSimaPoint> Points;
    std::vector<TSimaPointText> OddPointTexts;  // by Index, rising
    // The vertices of all blocks, one after another: point indexes.
    std::vector<uint32_t> Vertices;
    // The "B01," lines whose name field is not the point's own name, by
    // position in Vertices, in order: their text after the number.
    std::vector<std::pair<uint32_t, std::string>> OddVertexNames;
    std::vector<TSimaBlock> Parcels;
    std::vector<TSimaBlock> Routes;
    // Lines of record kinds the reader does not know (and Z00 lines), and
    // blank lines: counted, skipped.
    int64_t SkippedLines = 0;

    // The name of point `index`, and the text after its coordinates.
    std::string PointName(uint32_t index) const;
    std::string PointRest(uint32_t index) const;

    std::pair<const uint32_t*, const uint32_t*> VerticesOf(const TSimaBlock& b) const {
        const uint32_t* first = Vertices.data() + b.FirstVertex;
        return {first, first + b.VertexCount};
    }
};

// Reads the whole file. Throws ConversionError naming the line for a number
// that does not parse, a point number used twice, a reference to a point
// that does not exist, a vertex outside a block, and a block without its
// tail; FileError when the file cannot be read. Line ends are LF with or
// without CR; code page 932 bytes are kept as they are.
TSimaFile ReadSimaFile(TLineReader& in);
TSimaFile ReadSimaFile(const std::string& path);
// From bytes in memory (tests, fuzzing).
TSimaFile ReadSimaText(std::string_view text);

// Writes the records in this program's layout: the banner and header lines,
// the coordinate section (numbers in the 15-digit form), the parcel blocks,
// the route blocks. A file this program wrote comes out byte for byte.
void WriteSimaRecords(TFileWriter& out, const TSimaFile& file);

}  // namespace quorvex
