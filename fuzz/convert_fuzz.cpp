// libFuzzer target: a MIF and a MID file of their own, random switches and
// attribute column, through ConvertFile into a real output file and its
// commit. A failed run must leave the old output exactly as it was; a
// successful one must have written a SIMA file that follows the grammar and
// holds what the run counted.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "engine/convert.h"
#include "fuzz_files.h"
#include "support/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvex;
    FuzzedDataProvider fdp(data, size);
    TConvertSettings s;
    fuzz::ConsumeSwitches(fdp, s, 6);
    s.Genba = fdp.ConsumeRandomLengthString(16);
    const std::string mid = fdp.ConsumeRandomLengthString(size);
    const std::string mif = fdp.ConsumeRemainingBytesAsString();
    s.MifFile = fuzz::Put("in.mif", mif);
    fuzz::Put("in.mid", mid);
    static constexpr std::string_view kOld = "old output\r\n";
    s.SimFile = fuzz::Put("out.sim", kOld);
    bool ok = false;
    TRunReport report;
    try {
        ok = ConvertFile(s, &report);
    } catch (const QuorvexError&) {
    }
    const std::string written = fuzz::ReadAll(s.SimFile);
    if (!ok && written != kOld) std::abort();  // a failure changed the output
    if (ok) fuzz::CheckWritten(written, s.Genba, report.Counts);
    return 0;
}
