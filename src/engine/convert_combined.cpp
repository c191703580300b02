#include <exception>

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

// Reads one row into the shared run; the reason of a failure, or empty.
std::string ConvertRow(TRunState& run, const TBatchRow& row, const std::string& outputPath,
                       bool& overwritesInput) {
    const TConvertSettings settings = SettingsFromRow(row);
    std::string why;
    const auto inputs = FindRunInputs(settings.MifFile, why);
    if (!inputs) return why;
    if (OverwritesInput(outputPath, *inputs)) {
        overwritesInput = true;
        return "the merged SIMA file would overwrite this input file";
    }
    try {
        TInputFiles in(*inputs);
        const TMifTable table = SkipMifTableHead(in.Mif);
        RunObjectPass(run, in.Mif, in.Mid.get(), table, settings);
        return {};
    } catch (const std::exception& e) {
        return e.what()[0] ? e.what() : "conversion failed";
    }
}

}  // namespace

bool ConvertCombined(const std::vector<TBatchRow>& rows, const std::string& outputPath,
                     const std::string& genba, const TCombinedCallbacks& cb) {
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
        const std::string reason = ConvertRow(run, rows[i], outputPath, overwritesInput);
        if (cb.MarkRow) cb.MarkRow(i, reason.empty(), reason);
    }
    // Replacing the file would destroy an input of this very run.
    if (overwritesInput)
        throw FileError("not overwriting \"" + outputPath + "\": it is an input of the run");

    WriteSimaTail(sima, run.Parcels, run.Routes);
    sima.Commit();
    return true;
}

}  // namespace quorvex
