// libFuzzer target: the field splitters with random separators and indexes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

#include "support/field.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvex;
    FuzzedDataProvider fdp(data, size);
    const std::string separator = fdp.ConsumeRandomLengthString(2);
    const char delimiter = fdp.ConsumeIntegral<char>();
    const int32_t n = fdp.ConsumeIntegralInRange<int32_t>(-2, 40);
    const std::string line = fdp.ConsumeRemainingBytesAsString();
    const std::string a = GetField(line, n, separator);
    const std::string b = GetDelimitedField(line, n, delimiter);
    // A field never holds more than its line.
    if (a.size() > line.size() || b.size() > line.size()) std::abort();
    return 0;
}
