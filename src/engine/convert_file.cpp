#include <exception>
#include <memory>

#include "engine/convert.h"
#include "engine/object_pass.h"
#include "engine/run_inputs.h"
#include "mif/uniMifUtils.h"
#include "sima/sima_layout.h"
#include "support/line_reader.h"
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
    if (IsSameFile(settings.SimFile, inputs->Mif) || IsSameFile(settings.SimFile, inputs->Mid))
        return fail("the SIMA file would overwrite an input file");

    // Opening errors leave the run at once; whatever was opened closes and
    // the scratch and partial output files vanish with their owners.
    TLineReader mif(inputs->Mif);
    std::unique_ptr<TLineReader> mid;
    if (!inputs->Mid.empty()) mid = std::make_unique<TLineReader>(inputs->Mid);
    TCommitFile sima(settings.SimFile);
    TRunState run(sima, settings.SwapXY);

    const TMifHeader header = ReadMifHeader(mif);
    TSFColumns columns;
    ReadMifColumns(mif, columns);

    try {
        WriteSimaHead(sima, settings.Genba);
        RunObjectPass(run, mif, mid.get(), header.Delimiter, settings);
        WriteSimaTail(sima, run.Parcels, run.Routes);
        sima.Commit();
        return true;
    } catch (const std::exception& e) {
        return fail(e.what());
    }
}

}  // namespace quorvex
