// libFuzzer target: a merged run of two or three MIF/MID pairs with random
// switches into one real output file, which must equal the merge of the rows
// that did not fail.
#include <fuzzer/FuzzedDataProvider.h>

#include <filesystem>
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
    const std::string merged = fuzz::Folder() + "/merged.sim";
    std::filesystem::remove(merged);
    std::vector<TBatchRow> good;
    TCombinedCallbacks cb;
    cb.MarkRow = [&](size_t i, const TRunReport& r) {
        if (r.Ok) good.push_back(rows[i]);
    };
    try {
        const bool written = ConvertCombined(rows, merged, "genba", cb);
        // Nothing is written when every row failed.
        if (written == good.empty() || std::filesystem::exists(merged) != written) std::abort();
        // A failed row contributes nothing: the file is the merge of the good
        // rows alone (the first row's swap switch still decides).
        if (written && good.size() < rows.size()) {
            good[0].SubItems[TBatchRow::SwapXY] = rows[0].SubItems[TBatchRow::SwapXY];
            const std::string alone = fuzz::Folder() + "/good.sim";
            if (!ConvertCombined(good, alone, "genba") ||
                fuzz::Get(merged) != fuzz::Get(alone))
                std::abort();
        }
    } catch (const QuorvexError&) {
    }
    return 0;
}
