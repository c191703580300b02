// The batch-list file: the batch rows and the three settings of the combined
// run, as code page 932 text. Parsing and writing work on the file's bytes;
// converting paths to and from the system's encoding is the caller's part.
// A list that an editor saved as UTF-8 is read too: its texts are turned into
// code page 932 here, so every caller sees the same bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/convert_settings.h"
#include "support/errors.h"

namespace quorvex {

struct TBatchListFile {
    bool Combine = false;           // line 3
    std::string CombineFile;        // line 4, unchanged
    std::string CombineGenba;       // line 5, unchanged
    std::vector<TBatchRow> Rows;    // lines 6 and on
    std::vector<int32_t> RowLines;  // the file line of each row
};

// More job lines than this make a list malformed: no one types them, and a
// file of bare line ends must not become millions of rows.
inline constexpr int32_t kMaxBatchJobLines = 100000;

// Why a file was refused: "不正なバッチリストです。", "'%s' は正しい論理型では
// ありません" (the line's text decoded for display), a line of a UTF-8 list
// that is not UTF-8 or that code page 932 cannot hold, a zone field that is
// not a zone, or a zone in a list whose second line says it has none.
struct BatchListError : QuorvexError {
    enum Kind { Malformed, NotBoolean, NotUtf8, NotCp932, BadZone, ZoneInOldList };
    explicit BatchListError(Kind kind, std::string line = {});
    BatchListError(Kind kind, int32_t lineNumber);
    BatchListError(Kind kind, int32_t lineNumber, std::string value);
    Kind kind;
    std::string line;  // line 3 as read for NotBoolean; the zone field for the zone kinds
    int32_t lineNumber = 0;
};

// Blank job lines: rows with every text empty (the window shows them), or
// left out (the command line, where they could only fail).
enum class TBlankJobLines { Keep, Skip };

// The file's bytes: "Quorvex", "200", "-1"/"0", the two combine texts, then one
// job line per row, nine double-quoted values separated by tabs (inner double
// quotes doubled), every line ending in CR LF. A row with a plane rectangular
// zone has a tenth value, the zone "1" to "19", and the second line is then
// "201"; a list without zones is byte for byte what it always was.
std::string FormatBatchList(const TBatchListFile& list);
// Throws BatchListError for a file that is not a batch list; "200" and "201"
// lists both load, a zone field being read only in the latter. A file that
// starts with a UTF-8 byte-order mark, or that is UTF-8 throughout and has a
// byte above 0x7F, is read as UTF-8; any other as code page 932.
TBatchListFile ParseBatchList(std::string_view bytes, TBlankJobLines blank = TBlankJobLines::Keep);

// Reads or writes a whole file; FileError when it cannot be opened or created.
TBatchListFile LoadBatchList(const std::string& path, TBlankJobLines blank = TBlankJobLines::Keep);
void SaveBatchList(const std::string& path, const TBatchListFile& list);

}  // namespace quorvex
