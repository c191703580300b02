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
// bytes the result before success is reported.
bool Run(const TConvertSettings& settings, TInputFiles& in, TFileWriter& sima, TRunReport& r,
         const std::function<void()>& finish) {
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
        return true;
    } catch (const std::exception& e) {
        r.Error = MessageOf(e);
        return false;
    }
}

}  // namespace

bool ConvertFile(const TConvertSettings& settings, TRunReport* report) {
    TRunReport unused;
    TRunReport& r = report ? *report : unused;
    r = {};
    // Said at once: a run without a destination could only fail at its end.
    if (settings.SimFile.empty()) {
        r.Error = TMsg::NoDestination;
        return false;
    }
    const auto inputs = FindRunInputs(settings.MifFile, r.Error);
    if (!inputs) return false;
    if (OverwritesInput(settings.SimFile, *inputs)) {
        r.Error = TMsg::OutputIsAnInput;
        return false;
    }

    // Opening errors leave the run at once; whatever was opened closes and
    // the scratch and partial output files vanish with their owners.
    TInputFiles in(*inputs);
    TCommitFile sima(settings.SimFile);
    return Run(settings, in, sima, r, [&] { sima.Commit(); });
}

bool ConvertFileInto(const TConvertSettings& settings, TFileWriter& out, TRunReport* report) {
    TRunReport unused;
    TRunReport& r = report ? *report : unused;
    r = {};
    const auto inputs = FindRunInputs(settings.MifFile, r.Error);
    if (!inputs) return false;
    TInputFiles in(*inputs);
    return Run(settings, in, out, r, [&] { out.Flush(); });
}

}  // namespace quorvex
