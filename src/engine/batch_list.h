// The batch-list file: the batch rows and the three settings of the combined
// run, as code page 932 text. Parsing and writing work on the file's bytes;
// converting paths to and from the system's encoding is the caller's part.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/convert_settings.h"
#include "support/errors.h"

namespace quorvex {

struct TBatchListFile {
    bool Combine = false;         // line 3
    std::string CombineFile;      // line 4, unchanged
    std::string CombineGenba;     // line 5, unchanged
    std::vector<TBatchRow> Rows;  // lines 6 and on
};

// Why a file was refused: "不正なバッチリストです。" or "'%s' は正しい論理型では
// ありません" (the line's text decoded for display).
struct BatchListError : QuorvexError {
    enum Kind { Malformed, NotBoolean };
    explicit BatchListError(Kind kind, std::string line = {});
    Kind kind;
    std::string line;  // line 3 as read, for NotBoolean
};

// The file's bytes: "Quorvex", "200", "-1"/"0", the two combine texts, then one
// job line per row, nine double-quoted values separated by tabs (inner double
// quotes doubled), every line ending in CR LF.
std::string FormatBatchList(const TBatchListFile& list);
// Throws BatchListError for a file that is not a batch list.
TBatchListFile ParseBatchList(std::string_view bytes);

// Reads or writes a whole file; FileError when it cannot be opened or created.
TBatchListFile LoadBatchList(const std::string& path);
void SaveBatchList(const std::string& path, const TBatchListFile& list);

}  // namespace quorvex
