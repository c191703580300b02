// Conversion runs: one MIF/MID pair into one SIMA file, or all batch rows
// merged into one SIMA file with one shared point numbering.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/convert_settings.h"
#include "engine/run_report.h"

namespace quorvex {

class TFileWriter;

// True when the SIMA file was written completely. Malformed input and write
// errors give false (with the reason in report->Error when given); errors
// while the files are opened or the header and columns are read are thrown
// (FileError, ConversionError). The SIMA file replaces an existing one only
// on success; report->Counts tells what it holds.
bool ConvertFile(const TConvertSettings& settings, TRunReport* report = nullptr);
// The same run into `out`, an open file of the caller's that stays open
// (standard output goes through a scratch file this way); settings.SimFile
// is not used. On false `out` may hold part of a SIMA file.
bool ConvertFileInto(const TConvertSettings& settings, TFileWriter& out,
                     TRunReport* report = nullptr);

// What a combined run tells its caller while it works.
struct TCombinedCallbacks {
    std::function<void()> InvalidOutputPath;   // the output path is empty
    std::function<void(size_t row)> BeginRow;  // before row `row` is read
    std::function<void(size_t row, const TRunReport& report)> MarkRow;
    std::function<void(bool busy)> SetBusy;  // around the rows and the assembly
    // Asked after each row; true stops the run there and leaves the output
    // untouched (the window is being closed).
    std::function<bool()> Cancelled;
};

// Merges the rows into `outputPath`: parcels and routes in row order with
// running numbers, the swap switch of the first row, `genba` as site name.
// A failing row is marked and contributes nothing: what it wrote before
// failing (blocks, points, numbers) is taken back. False (nothing written,
// an existing file untouched) for an empty path, a cancelled run, or when
// every row failed; errors creating or writing the output are thrown.
// *counts, when given, receives what the merged file holds.
bool ConvertCombined(const std::vector<TBatchRow>& rows, const std::string& outputPath,
                     const std::string& genba, const TCombinedCallbacks& callbacks = {},
                     TConvertCounts* counts = nullptr);
// The same merge into `out`, an open file of the caller's (a file, not a
// stream: failed rows are cut back out of it) that stays open; false for a
// cancelled run or when every row failed, and then `out` may hold part of a
// SIMA file.
bool ConvertCombinedInto(const std::vector<TBatchRow>& rows, TFileWriter& out,
                         const std::string& genba, const TCombinedCallbacks& callbacks = {},
                         TConvertCounts* counts = nullptr);

}  // namespace quorvex
