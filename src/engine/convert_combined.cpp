#include <exception>
#include <new>

#include "engine/convert.h"
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

// Reads one row into the shared run.
TRunReport ConvertRow(TRunState& run, const TBatchRow& row, const std::string& outputPath,
                      bool& overwritesInput) {
    const TConvertSettings settings = SettingsFromRow(row);
    TRunReport r;
    const TConvertCounts before = CountsOf(run);
    try {
        // Inside the try: a MIF file that cannot be read throws its own error.
        const auto inputs = FindRunInputs(settings.MifFile, r.Error);
        if (!inputs) return r;
        if (OverwritesInput(outputPath, *inputs)) {
            overwritesInput = true;
            r.Error = TMsg::MergedOutputIsThisInput;
            return r;
        }
        TInputFiles in(*inputs);
        const TMifTable table = SkipMifTableHead(in.Mif);
        RunObjectPass(run, in.Mif, in.Mid.get(), table, settings);
        r.Ok = true;
    } catch (const std::exception& e) {
        r.Error = MessageOf(e);
    }
    // A failed row keeps what it wrote before the failure.
    r.Counts = CountsOf(run) - before;
    return r;
}

}  // namespace

bool ConvertCombined(const std::vector<TBatchRow>& rows, const std::string& outputPath,
                     const std::string& genba, const TCombinedCallbacks& cb,
                     TConvertCounts* counts) {
    if (outputPath.empty()) {
        if (cb.InvalidOutputPath) cb.InvalidOutputPath();
        return false;
    }
    // Only the first row's swap switch counts, for the whole file.
    TCommitFile sima(outputPath);
    TRunState run(sima, !rows.empty() && IsSwitchOn(rows[0].SubItems[TBatchRow::SwapXY]));
    WriteSimaHead(sima, genba);
    TBusy busy(cb);

    bool overwritesInput = false;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (cb.BeginRow) cb.BeginRow(i);
        const TRunReport report = ConvertRow(run, rows[i], outputPath, overwritesInput);
        if (cb.MarkRow) cb.MarkRow(i, report);
        if (cb.Cancelled && cb.Cancelled()) return false;
    }
    // Replacing the file would destroy an input of this very run.
    if (overwritesInput) throw FileError({TMsg::MergedOutputIsAnInput, {outputPath}}, outputPath);

    WriteSimaTail(sima, run.Parcels, run.Routes);
    sima.Commit();
    if (counts) *counts = CountsOf(run);
    return true;
}

}  // namespace quorvex
