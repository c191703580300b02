#include <exception>
#include <functional>
#include <new>

#include "engine/convert.h"
#include "engine/coordinate_system.h"
#include "engine/object_pass.h"
#include "engine/run_inputs.h"
#include "sima/sima_layout.h"
#include "support/errors.h"
#include "support/output_file.h"

namespace quorvex {
namespace {

// Sets the busy state and clears it on every path.
class TBusy {
  public:
    explicit TBusy(const TCombinedCallbacks& cb) : cb_(cb) {
        if (cb_.SetBusy) cb_.SetBusy(true);
    }
    ~TBusy() {
        if (cb_.SetBusy) cb_.SetBusy(false);
    }

  private:
    const TCombinedCallbacks& cb_;
};

// Reads one row into the shared run; `outputPath` is null for a stream. A
// row that fails leaves the run as it found it.
TRunReport ConvertRow(TRunState& run, const TBatchRow& row, const std::string* outputPath,
                      bool& overwritesInput) {
    const TConvertSettings settings = SettingsFromRow(row);
    TRunReport r;
    // A row the input check would refuse is not read: it adds nothing.
    if (auto why = JobRefusal(settings)) {
        r.Error = std::move(*why);
        return r;
    }
    const TRunMark before = MarkOf(run);
    // The row's own extent, added to the run's when the row stays.
    const TExtent runExtent = run.Extent;
    run.Extent = {};
    try {
        // Inside the try: a MIF file that cannot be read throws its own error.
        if (const auto inputs = FindRunInputs(settings.MifFile, r.Error)) {
            if (outputPath && OverwritesInput(*outputPath, *inputs)) {
                overwritesInput = true;
                r.Error = TMsg::MergedOutputIsThisInput;
            } else {
                TInputFiles in(*inputs);
                const TMifTable table = SkipMifTableHead(in.Mif);
                r.CoordSys = table.Header.CoordSys;
                RunObjectPass(run, in.Mif, in.Mid.get(), table, settings);
                r.Ok = true;
            }
        }
    } catch (const std::exception& e) {
        r.Error = MessageOf(e);
    }
    // Not inside the try: a file that cannot be cut back fails the run.
    if (!r.Ok) TakeBack(run, before);
    r.Counts = CountsOf(run) - before.Counts;
    if (r.Ok) r.Extent = run.Extent;
    run.Extent = runExtent;
    run.Extent.Add(r.Extent);
    return r;
}

// The merge into `sima`; `outputPath` (null for a stream) is guarded against
// being an input; `finish` makes the bytes the result.
bool Merge(const std::vector<TBatchRow>& rows, TFileWriter& sima, const std::string* outputPath,
           const std::string& genba, const TCombinedCallbacks& cb, TConvertCounts* counts,
           const std::function<void()>& finish) {
    // One file, one grid: rows for different zones (or a zone and none) are
    // refused before any is read.
    for (const TBatchRow& row : rows)
        if (row.Zone != rows[0].Zone) {
            auto name = [](int32_t zone) { return zone == 0 ? "0" : RomanZoneNumber(zone); };
            throw ConversionError(
                TMessage(TMsg::MergedZonesDiffer, {name(rows[0].Zone), name(row.Zone)}));
        }
    // Only the first row's swap switch counts, for the whole file.
    TRunState run(sima, !rows.empty() && IsSwitchOn(rows[0].SubItems[TBatchRow::SwapXY]));
    WriteSimaHead(sima, genba);
    TBusy busy(cb);

    bool overwritesInput = false;
    size_t succeeded = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (cb.BeginRow) cb.BeginRow(i);
        const TRunReport report = ConvertRow(run, rows[i], outputPath, overwritesInput);
        if (report.Ok) ++succeeded;
        if (cb.MarkRow) cb.MarkRow(i, report);
        if (cb.Cancelled && cb.Cancelled()) return false;
    }
    // Replacing the file would destroy an input of this very run.
    if (overwritesInput) throw FileError({TMsg::MergedOutputIsAnInput, {*outputPath}}, *outputPath);
    // A file of no input at all would only look like a result.
    if (succeeded == 0 && !rows.empty()) return false;

    WriteSimaTail(sima, run.Parcels, run.Routes);
    finish();
    if (counts) *counts = CountsOf(run);
    return true;
}

}  // namespace

bool ConvertCombined(const std::vector<TBatchRow>& rows, const std::string& outputPath,
                     const std::string& genba, const TCombinedCallbacks& cb,
                     TConvertCounts* counts) {
    if (outputPath.empty()) {
        if (cb.InvalidOutputPath) cb.InvalidOutputPath();
        return false;
    }
    TCommitFile sima(outputPath);
    return Merge(rows, sima, &outputPath, genba, cb, counts, [&] { sima.Commit(); });
}

bool ConvertCombinedInto(const std::vector<TBatchRow>& rows, TFileWriter& out,
                         const std::string& genba, const TCombinedCallbacks& cb,
                         TConvertCounts* counts) {
    return Merge(rows, out, nullptr, genba, cb, counts, [&] { out.Flush(); });
}

}  // namespace quorvex
