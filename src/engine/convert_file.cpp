#include <exception>
#include <functional>
#include <new>

#include "engine/convert.h"
#include "engine/object_pass.h"
#include "engine/run_inputs.h"
#include "sima/sima_layout.h"
#include "support/errors.h"
#include "support/output_file.h"

namespace quorvex {
namespace {

// The run proper, from the opened inputs into `sima`; `finish` makes the
// bytes the result before success is reported. Errors reading the header
// and columns are thrown; later ones are reported.
void Run(const TConvertSettings& settings, const TRunInputs& inputs, TInputFiles& in,
         TFileWriter& sima, TRunReport& r, const std::function<void()>& finish) {
    TRunState run(sima, settings.SwapXY);
    const TMifTable table = SkipMifTableHead(in.Mif);
    r.CoordSys = table.Header.CoordSys;
    try {
        WriteSimaHead(sima, settings.Genba);
        RunObjectPass(run, in.Mif, in.Mid.get(), table, settings);
        WriteSimaTail(sima, run.Parcels, run.Routes);
        finish();
        r.Ok = true;
        r.Counts = CountsOf(run);
        r.Extent = run.Extent;
        // Coordinates written as they stand that are no plane rectangular
        // metres are worth a word.
        if (settings.Zone == 0)
            if (auto warning = CoordSysWarning(r.CoordSys, r.Extent))
                r.Warnings.push_back(std::move(*warning));
    } catch (const std::exception& e) {
        SetFailure(r, e, false, {inputs.Mif, inputs.Mid});
    }
}

// The run into `out`, or into a new settings.SimFile when `out` is null;
// errors of the opening phase are thrown, as ConvertFile passes them on.
TRunReport ConvertOrThrow(const TConvertSettings& settings, TFileWriter* out) {
    TRunReport r;
    r.Input = settings.MifFile;
    // Said at once: a run without a destination could only fail at its end.
    if (!out && settings.SimFile.empty()) {
        SetFailure(r, TRunFailure::NoDestination, TMsg::NoDestination);
        return r;
    }
    TMessage why;
    const auto inputs = FindRunInputs(settings.MifFile, why);
    if (!inputs) {
        SetFailure(r, TRunFailure::Missing, std::move(why));
        return r;
    }
    if (!out && OverwritesInput(settings.SimFile, *inputs)) {
        SetFailure(r, TRunFailure::Refused, TMsg::OutputIsAnInput);
        return r;
    }
    // Opening errors leave the run at once; whatever was opened closes and
    // the scratch and partial output files vanish with their owners.
    TInputFiles in(*inputs);
    if (out) {
        Run(settings, *inputs, in, *out, r, [out] { out->Flush(); });
    } else {
        TCommitFile sima(settings.SimFile);
        Run(settings, *inputs, in, sima, r, [&sima] { sima.Commit(); });
    }
    return r;
}

TRunResult Convert(const TConvertSettings& settings, TFileWriter* out) {
    TRunReport r;
    try {
        r = ConvertOrThrow(settings, out);
    } catch (const std::exception& e) {
        r = {};
        r.Input = settings.MifFile;
        SetFailure(r, e, true);
    }
    return ResultOf(settings.SimFile, std::move(r));
}

}  // namespace

TRunResult RunConvert(const TConvertSettings& settings) {
    return Convert(settings, nullptr);
}

TRunResult RunConvertInto(const TConvertSettings& settings, TFileWriter& out) {
    return Convert(settings, &out);
}

bool ConvertFile(const TConvertSettings& settings, TRunReport* report) {
    TRunReport r = ConvertOrThrow(settings, nullptr);
    const bool ok = r.Ok;
    if (report) *report = std::move(r);
    return ok;
}

}  // namespace quorvex
