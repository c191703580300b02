// Where a preview's records come from: a conversion job run into a scratch
// file and read back, so what is shown is what the job writes; or a SIMA
// file of any origin.
#pragma once

#include <string>

#include "engine/convert_settings.h"
#include "sima/sima_records.h"

namespace quorvex {
struct TRunReport;
}

namespace quorvex::preview {

// Runs the job (settings.SimFile is not written) and reads its SIMA bytes
// back. Throws the run's error (QuorvexError) when it fails; `report`, when
// given, receives the run's report.
TSimaFile ConvertAndReadBack(const TConvertSettings& settings, TRunReport* report = nullptr);

// Whether `path` names a SIMA file (".sim", any case) rather than a MIF file.
bool IsSimaPath(const std::string& path);

}  // namespace quorvex::preview
