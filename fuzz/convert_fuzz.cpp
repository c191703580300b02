// libFuzzer target: a MIF and a MID file of their own, random switches and
// attribute column, through ConvertFile into a real output file and its
// commit. A failed run must leave the old output exactly as it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/convert.h"
#include "fuzz_files.h"
#include "support/errors.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

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
    try {
        TRunReport report;
        ok = ConvertFile(s, &report);
    } catch (const QuorvexError&) {
    }
    if (!ok && ReadAll(s.SimFile) != kOld) std::abort();  // a failure changed the output
    return 0;
}
