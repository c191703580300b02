// Jobs as the command line and the window hand them over: batch lists with
// the system's paths, runs per file and merged, "-" as standard output, and
// a table's columns found by name. Neither caller reads MIF files itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/batch_list.h"
#include "engine/convert.h"
#include "mif/mid_values.h"

namespace quorvex {

// The batch list at `path` with its rows' MIF and SIMA paths in the
// system's encoding (UTF-8); the combine settings and the names stay the
// file's bytes. Throws BatchListError and FileError as LoadBatchList.
TBatchListFile LoadJobList(const std::string& path, TBlankJobLines blank = TBlankJobLines::Keep);

// One job; SimFile "-" is standard output, which gets the file only once it
// is complete.
TRunResult RunJob(const TConvertSettings& settings);
// The rows merged into `output` ("-" as above).
TRunResult RunMergedJobs(const std::vector<TBatchRow>& rows, const std::string& output,
                         const std::string& genba, const TRunCallbacks& callbacks = {});
// Every row into its own SIMA file. The rows that must not run (they would
// destroy each other's files, see RefusedBatchRows) are found before any
// runs. One result per row reached, in order.
std::vector<TRunResult> RunBatchJobs(const std::vector<TBatchRow>& rows,
                                     const TRunCallbacks& callbacks = {});

// The column names of the table in `mifFile`; throws what reading it throws.
struct TTableColumns {
    bool Cp932 = true;  // the table's own names are code page 932
    std::vector<TColumnName> Names;
};
TTableColumns ReadTableColumns(const std::string& mifFile);

// The position (1 and on) of the column called `name` (UTF-8): in a code page
// 932 table its encoded bytes first, then the bytes as given; in a table of
// another character set by the decoded names. Nothing, with `why`, when there
// is no such column or the table cannot be read.
std::optional<int32_t> ColumnPositionOf(const std::string& mifFile, const std::string& name,
                                        TMessage& why);
// An attribute position as typed: 0 or -1 for none, else 1 or more; nothing
// for any other number or text.
std::optional<int32_t> AttrPositionOf(std::string_view text);
// Why the position `attr` names no column of the table in `mifFile`; nothing
// when it does, or when the table cannot be read (its run tells why then).
std::optional<TMessage> AttrPositionProblem(const std::string& attr, const std::string& mifFile);

}  // namespace quorvex
