// libFuzzer target: a merged run of two or three MIF/MID pairs with random
// switches into one real output file.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "engine/convert.h"
#include "fuzz_files.h"
#include "support/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvex;
    FuzzedDataProvider fdp(data, size);
    const int count = fdp.ConsumeIntegralInRange(2, 3);
    std::vector<TBatchRow> rows;
    for (int i = 0; i < count; ++i) {
        TConvertSettings s;
        fuzz::ConsumeSwitches(fdp, s, 4);
        const std::string name = "row" + std::to_string(i);
        fuzz::Put(name + ".mid", fdp.ConsumeRandomLengthString(size));
        s.MifFile = fuzz::Put(name + ".mif", i + 1 < count ? fdp.ConsumeRandomLengthString(size)
                                                           : fdp.ConsumeRemainingBytesAsString());
        rows.push_back(RowFromSettings(s, {}));
    }
    try {
        ConvertCombined(rows, fuzz::Folder() + "/merged.sim", "genba");
    } catch (const QuorvexError&) {
    }
    return 0;
}
