// Finding the files of a run: the MID file beside a MIF file, and whether an
// output path would overwrite an input.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/convert_settings.h"
#include "mif/uniMifUtils.h"
#include "support/line_reader.h"
#include "support/messages.h"

namespace quorvex {

struct TRunInputs {
    std::string Mif;
    std::string Mid;  // empty: the table has no columns and no MID file
};

// The MIF path with ".mid"; else the file whose name differs from that only in
// ASCII letter case; else, for a table without columns, no MID at all.
// Nothing when the MIF file or a needed MID file is missing (`why` says which);
// throws the error of a MIF file whose column block cannot be read.
std::optional<TRunInputs> FindRunInputs(const std::string& mifFile, TMessage& why);

// Whether `output` names the same existing file as `input`, however spelt.
bool IsSameFile(const std::string& output, const std::string& input);
// Whether writing `output` would overwrite the MIF or the MID file.
bool OverwritesInput(const std::string& output, const TRunInputs& inputs);

// The rows of a per-file batch run that must not run, found all together
// before any row is converted, so that no row destroys another's files: a job
// the input check would refuse, no destination, "-" (standard output has no
// place in a list), a destination that is the MIF or MID file of any row, or
// the destination of an earlier row that runs. Paths are the system's. One
// entry per row; empty for a row that may run.
std::vector<std::optional<TMessage>> RefusedBatchRows(const std::vector<TBatchRow>& rows);

// The open input files of a run; the MID file is absent for a table without
// columns.
struct TInputFiles {
    explicit TInputFiles(const TRunInputs& inputs);
    TLineReader Mif;
    std::unique_ptr<TLineReader> Mid;
};

// Reads the MIF header and column block, which the MID rows are read by.
TMifTable SkipMifTableHead(TLineReader& mif);

}  // namespace quorvex
