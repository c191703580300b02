// --svg: the preview's fit-all drawing of a job's SIMA file, or of a SIMA
// file as it stands, written as SVG.
#pragma once

#include <string>

#include "engine/convert_settings.h"

namespace quorvex {
struct TRunReport;
}

namespace quorvex::cli {

// Draws `settings.MifFile`: a SIMA file read as it is, a MIF file converted
// with `settings` into a scratch file and read back. Writes `svgPath` whole
// or not at all ("-": standard output, once the drawing is made). True on
// success; the reason in report->Error otherwise.
bool WriteSvgDrawing(const TConvertSettings& settings, const std::string& svgPath,
                     TRunReport& report);

}  // namespace quorvex::cli
