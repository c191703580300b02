// Finding the files of a run: the MID file beside a MIF file, and whether an
// output path would overwrite an input.
#pragma once

#include <optional>
#include <string>

namespace quorvex {

struct TRunInputs {
    std::string Mif;
    std::string Mid;  // empty: the table has no columns and no MID file
};

// The MIF path with ".mid"; else the file whose name differs from that only in
// ASCII letter case; else, for a table without columns, no MID at all.
// Nothing when the MIF file or a needed MID file is missing (`why` says which).
std::optional<TRunInputs> FindRunInputs(const std::string& mifFile, std::string& why);

// Whether `output` names the same existing file as `input`, however spelt.
bool IsSameFile(const std::string& output, const std::string& input);

}  // namespace quorvex
