#include <exception>

#include "engine/convert.h"
#include "engine/object_pass.h"
#include "engine/run_inputs.h"
#include "sima/sima_layout.h"
#include "support/output_file.h"

namespace quorvex {

bool ConvertFile(const TConvertSettings& settings, std::string* error) {
    std::string why;
    auto fail = [&](std::string reason) {
        if (error) *error = std::move(reason);
        return false;
    };
    const auto inputs = FindRunInputs(settings.MifFile, why);
    if (!inputs) return fail(why);
    if (OverwritesInput(settings.SimFile, *inputs))
        return fail("the SIMA file would overwrite an input file");

    // Opening errors leave the run at once; whatever was opened closes and
    // the scratch and partial output files vanish with their owners.
    TInputFiles in(*inputs);
    TCommitFile sima(settings.SimFile);
    TRunState run(sima, settings.SwapXY);
    const TMifTable table = SkipMifTableHead(in.Mif);

    try {
        WriteSimaHead(sima, settings.Genba);
        RunObjectPass(run, in.Mif, in.Mid.get(), table, settings);
        WriteSimaTail(sima, run.Parcels, run.Routes);
        sima.Commit();
        return true;
    } catch (const std::exception& e) {
        return fail(e.what());
    }
}

}  // namespace quorvex
