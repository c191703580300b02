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

// Reads one row into the shared run; `outputPath` is null for a stream. A
// row that fails leaves the run as it found it.
TRunReport ConvertRow(TRunState& run, const TBatchRow& row, const std::string* outputPath,
                      bool& overwritesInput) {
    const TConvertSettings settings = SettingsFromRow(row);
    TRunReport r;
    r.Input = settings.MifFile;
    // A row the input check would refuse is not read: it adds nothing.
    if (auto why = JobRefusal(settings)) {
        SetFailure(r, TRunFailure::Refused, std::move(*why));
        return r;
    }
    const TRunMark before = MarkOf(run);
    // The row's own extent, added to the run's when the row stays.
    const TExtent runExtent = run.Extent;
    run.Extent = {};
    std::vector<std::string> inputFiles;
    bool opening = true;
    try {
        // Inside the try: a MIF file that cannot be read throws its own error.
        TMessage why;
        if (const auto inputs = FindRunInputs(settings.MifFile, why); !inputs) {
            SetFailure(r, TRunFailure::Missing, std::move(why));
        } else if (outputPath && OverwritesInput(*outputPath, *inputs)) {
            overwritesInput = true;
            SetFailure(r, TRunFailure::Refused, TMsg::MergedOutputIsThisInput);
        } else {
            inputFiles = {inputs->Mif, inputs->Mid};
            TInputFiles in(*inputs);
            const TMifTable table = SkipMifTableHead(in.Mif);
            r.CoordSys = table.Header.CoordSys;
            opening = false;
            RunObjectPass(run, in.Mif, in.Mid.get(), table, settings);
            r.Ok = true;
        }
    } catch (const std::exception& e) {
        SetFailure(r, e, opening, inputFiles);
    }
    // Not inside the try: a file that cannot be cut back fails the run.
    if (!r.Ok) TakeBack(run, before);
    r.Counts = CountsOf(run) - before.Counts;
    if (r.Ok) {
        r.Extent = run.Extent;
        if (settings.Zone == 0)
            if (auto warning = CoordSysWarning(r.CoordSys, r.Extent))
                r.Warnings.push_back(std::move(*warning));
    }
    run.Extent = runExtent;
    run.Extent.Add(r.Extent);
    return r;
}

// The merge into `sima`; `outputPath` (null for a stream) is guarded against
// being an input; `finish` makes the bytes the result. Errors writing the
// output are thrown.
void Merge(const std::vector<TBatchRow>& rows, TFileWriter& sima, const std::string* outputPath,
           const std::string& genba, const TRunCallbacks& cb, TRunResult& result,
           const std::function<void()>& finish) {
    // Only the first row's swap switch counts, for the whole file.
    TRunState run(sima, !rows.empty() && IsSwitchOn(rows[0].SubItems[TBatchRow::SwapXY]));
    WriteSimaHead(sima, genba);
    TBusyGuard busy(cb);

    bool overwritesInput = false;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (cb.BeginRow) cb.BeginRow(i);
        result.Inputs.push_back(ConvertRow(run, rows[i], outputPath, overwritesInput));
        if (cb.MarkRow) cb.MarkRow(i, result.Inputs.back());
        if (cb.Cancelled && cb.Cancelled()) {
            result.Failure = TRunFailure::Cancelled;
            return;
        }
    }
    // Replacing the file would destroy an input of this very run.
    if (overwritesInput) {
        result.Failure = TRunFailure::Refused;
        result.Error = {TMsg::MergedOutputIsAnInput, {*outputPath}};
        result.Where.File = *outputPath;
        return;
    }
    // A file of no input at all would only look like a result.
    if (!rows.empty() && result.FailedInputs() == rows.size()) {
        result.Failure = TRunFailure::AllInputsFailed;
        result.Error = TMsg::AllInputsFailed;
        return;
    }

    WriteSimaTail(sima, run.Parcels, run.Routes);
    finish();
    result.Written = true;
    result.Counts = CountsOf(run);
}

// The merge with every outcome in the result; `out` null: into a new file
// at `outputPath`.
TRunResult Combine(const std::vector<TBatchRow>& rows, const std::string& outputPath,
                   TFileWriter* out, const std::string& genba, const TRunCallbacks& cb) {
    TRunResult result;
    result.Output = outputPath;
    auto fail = [&result](TRunFailure failure, TMessage why) {
        TRunReport r;
        SetFailure(r, failure, std::move(why));
        result.Failure = r.Failure;
        result.Error = std::move(r.Error);
        result.Where = std::move(r.Where);
        return result;
    };
    if (!out && outputPath.empty())
        return fail(TRunFailure::NoDestination, TMsg::MergedFileNameEmpty);
    // One file, one grid: rows for different zones (or a zone and none) are
    // refused before any is read.
    for (const TBatchRow& row : rows)
        if (row.Zone != rows[0].Zone) {
            auto name = [](int32_t zone) { return zone == 0 ? "0" : RomanZoneNumber(zone); };
            return fail(TRunFailure::Refused,
                        {TMsg::MergedZonesDiffer, {name(rows[0].Zone), name(row.Zone)}});
        }
    bool opened = false;
    try {
        if (out) {
            opened = true;
            Merge(rows, *out, nullptr, genba, cb, result, [out] { out->Flush(); });
        } else {
            TCommitFile sima(outputPath);
            opened = true;
            Merge(rows, sima, &outputPath, genba, cb, result, [&sima] { sima.Commit(); });
        }
    } catch (const std::exception& e) {
        TRunReport r;
        SetFailure(r, e, !opened);
        result.Written = false;
        result.Counts = {};
        result.Failure = r.Failure;
        result.Error = std::move(r.Error);
        result.Where = std::move(r.Where);
    }
    return result;
}

}  // namespace

TRunResult ConvertCombined(const std::vector<TBatchRow>& rows, const std::string& outputPath,
                           const std::string& genba, const TRunCallbacks& cb) {
    return Combine(rows, outputPath, nullptr, genba, cb);
}

TRunResult ConvertCombinedInto(const std::vector<TBatchRow>& rows, TFileWriter& out,
                               const std::string& genba, const TRunCallbacks& cb) {
    return Combine(rows, "-", &out, genba, cb);
}

}  // namespace quorvex
