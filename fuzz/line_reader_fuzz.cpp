// libFuzzer target: the line reader on a real file with a tiny block size, so
// refills, long lines and pushed-back lines at block ends are all exercised;
// it must give the same lines as reading the bytes from memory.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_files.h"
#include "support/errors.h"
#include "support/line_reader.h"

namespace {

std::vector<std::string> Lines(quorvex::TLineReader& r, uint32_t unreadMask) {
    std::vector<std::string> out;
    std::string_view line;
    for (uint32_t i = 0; r.ReadLine(line); ++i) {
        out.emplace_back(line);
        if (unreadMask >> (i % 32) & 1) {
            (void)r.AtEnd();
            r.UnreadLine();
            if (!r.ReadLine(line) || line != out.back()) std::abort();
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvex;
    FuzzedDataProvider fdp(data, size);
    const size_t block = fdp.ConsumeIntegralInRange<size_t>(1, 64);
    const uint32_t mask = fdp.ConsumeIntegral<uint32_t>();
    const std::string text = fdp.ConsumeRemainingBytesAsString();
    TLineReader file(fuzz::Put("lines.txt", text), block);
    TLineReader memory = TLineReader::FromText(text);
    if (Lines(file, mask) != Lines(memory, 0)) std::abort();
    return 0;
}
