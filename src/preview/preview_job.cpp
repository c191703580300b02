#include "preview/preview_job.h"

#include "engine/convert.h"
#include "engine/run_report.h"
#include "support/errors.h"
#include "support/line_reader.h"
#include "support/output_file.h"

namespace quorvex::preview {

TSimaFile ConvertAndReadBack(const TConvertSettings& settings, TRunReport* report) {
    TRunReport local;
    TRunReport& r = report ? *report : local;
    TScratchFile scratch;
    const TRunResult result = RunConvertInto(settings, scratch);
    if (!result.Inputs.empty()) r = result.Inputs[0];
    if (!result.Written) throw QuorvexError(result.Inputs.empty() || r.Ok ? result.Error : r.Error);
    scratch.Flush();
    TLineReader in = TLineReader::FromDescriptor(scratch.Fd(), settings.MifFile);
    return ReadSimaFile(in);
}

bool IsSimaPath(const std::string& path) {
    if (path.size() < 4) return false;
    const std::string_view ext = std::string_view(path).substr(path.size() - 4);
    return ext[0] == '.' && (ext[1] | 0x20) == 's' && (ext[2] | 0x20) == 'i' &&
           (ext[3] | 0x20) == 'm';
}

}  // namespace quorvex::preview
