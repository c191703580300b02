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

// One MIF/MID pair into settings.SimFile, every outcome in the result. The
// SIMA file replaces an existing one only when the run succeeds.
TRunResult RunConvert(const TConvertSettings& settings);
// The same run into `out`, an open file of the caller's that stays open
// (standard output goes through a scratch file this way); settings.SimFile
// names it in the result only. When nothing was written `out` may hold part
// of a SIMA file.
TRunResult RunConvertInto(const TConvertSettings& settings, TFileWriter& out);

// True when the SIMA file was written completely. A missing input, malformed
// objects and write errors give false (with the reason in the report when
// given); errors while the files are opened or the header and columns are
// read are thrown (FileError, ConversionError), for the window's standard
// error box.
bool ConvertFile(const TConvertSettings& settings, TRunReport* report = nullptr);

// What a run of several inputs tells its caller while it works.
struct TRunCallbacks {
    std::function<void(size_t row)> BeginRow;  // before row `row` is read
    std::function<void(size_t row, const TRunReport& report)> MarkRow;
    std::function<void(bool busy)> SetBusy;  // around the rows and the assembly
    // Asked after each row; true stops the run there and leaves the output
    // untouched (the window is being closed).
    std::function<bool()> Cancelled;
    // A per-file batch run: when given, the rows that must not run are told
    // here, all before any row runs, and are left out of the run; else each
    // is marked failed in its turn.
    std::function<void(size_t row, const TRunReport& report)> RefuseRow;
};

// Sets the callbacks' busy state for its lifetime, cleared on every path.
class TBusyGuard {
  public:
    explicit TBusyGuard(const TRunCallbacks& cb) : cb_(cb) {
        if (cb_.SetBusy) cb_.SetBusy(true);
    }
    ~TBusyGuard() {
        if (cb_.SetBusy) cb_.SetBusy(false);
    }
    TBusyGuard(const TBusyGuard&) = delete;
    TBusyGuard& operator=(const TBusyGuard&) = delete;

  private:
    const TRunCallbacks& cb_;
};

// Merges the rows into `outputPath`: parcels and routes in row order with
// running numbers, the swap switch of the first row, `genba` as site name.
// A failing row is marked and contributes nothing: what it wrote before
// failing (blocks, points, numbers) is taken back. Nothing is written (an
// existing file untouched) for an empty path, rows of different zones, an
// output that is one of the inputs, a cancelled run, or when every row
// failed; the result says which.
TRunResult ConvertCombined(const std::vector<TBatchRow>& rows, const std::string& outputPath,
                           const std::string& genba, const TRunCallbacks& callbacks = {});
// The same merge into `out`, an open file of the caller's (a file, not a
// stream: failed rows are cut back out of it) that stays open; when nothing
// was written `out` may hold part of a SIMA file.
TRunResult ConvertCombinedInto(const std::vector<TBatchRow>& rows, TFileWriter& out,
                               const std::string& genba, const TRunCallbacks& callbacks = {});

}  // namespace quorvex
