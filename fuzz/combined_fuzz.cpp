// libFuzzer target: a merged run of two or three MIF/MID pairs with random
// switches into one real output file, sometimes with one more input that
// fails half-way (good objects, then a broken one) at a random place among
// them. A merged file that was written must follow the SIMA grammar; and a
// row that failed must have left nothing in it: the same rows without the
// failed ones give the same bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/convert.h"
#include "fuzz_files.h"
#include "support/errors.h"

namespace {

using namespace quorvex;

// A table whose first objects are good and whose last one cannot be read.
constexpr std::string_view kFailingHead =
    "Version 300\nCharset \"Neutral\"\nDelimiter \",\"\nCoordSys NonEarth Units \"m\"\n"
    "Columns 1\n  LOT Char(10)\nData\n"
    "Region 1\n 4\n0 0\n10 0\n10 10\n0 0\nLine 10 10 20 5\nRect 3 3 7 7\n";
constexpr std::string_view kFailingTail = "\nPline 2\n1 1\n2 x\n";

struct TRun {
    bool ok = false;
    std::vector<bool> rowOk;
    std::string bytes;
    TConvertCounts counts;
};

TRun Merge(const std::vector<TBatchRow>& rows, const std::string& out) {
    TRun run;
    std::remove(out.c_str());
    TRunCallbacks cb;
    cb.MarkRow = [&](size_t, const TRunReport& r) { run.rowOk.push_back(r.Ok); };
    try {
        const TRunResult result = ConvertCombined(rows, out, "genba", cb);
        run.ok = result.Written;
        run.counts = result.Counts;
    } catch (const QuorvexError&) {
        run.ok = false;
    }
    if (run.ok) {
        run.bytes = fuzz::ReadAll(out);
    } else if (std::filesystem::exists(out)) {
        // Nothing is written when every row failed.
        std::fprintf(stderr, "a merged run that failed wrote its file\n");
        std::abort();
    }
    return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider fdp(data, size);
    const int count = fdp.ConsumeIntegralInRange(2, 3);
    // Where the failing input goes among the others; `count` for none.
    const int failing = fdp.ConsumeIntegralInRange(0, 2 * count);
    std::vector<TBatchRow> rows;
    auto addFailing = [&](TConvertSettings s, const std::string& middle) {
        fuzz::Put("failing.mid", "a\nb\nc\nd\ne\nf\ng\nh\n");
        s.MifFile = fuzz::Put("failing.mif",
                              std::string(kFailingHead) + middle + std::string(kFailingTail));
        rows.push_back(RowFromSettings(s, {}));
    };
    for (int i = 0; i < count; ++i) {
        TConvertSettings s;
        fuzz::ConsumeSwitches(fdp, s, 4);
        if (i == failing) addFailing(s, fdp.ConsumeRandomLengthString(64));
        const std::string name = "row" + std::to_string(i);
        fuzz::Put(name + ".mid", fdp.ConsumeRandomLengthString(size));
        s.MifFile = fuzz::Put(name + ".mif", i + 1 < count ? fdp.ConsumeRandomLengthString(size)
                                                           : fdp.ConsumeRemainingBytesAsString());
        rows.push_back(RowFromSettings(s, {}));
        if (i + 1 == count && failing == count) addFailing(s, {});
    }
    const std::string out = fuzz::Folder() + "/merged.sim";
    const TRun all = Merge(rows, out);
    if (!all.ok) return 0;
    fuzz::CheckWritten(all.bytes, "genba", all.counts);
    if (all.rowOk.size() != rows.size()) return 0;
    std::vector<TBatchRow> good;
    for (size_t i = 0; i < rows.size(); ++i)
        if (all.rowOk[i]) good.push_back(rows[i]);
    if (good.size() == rows.size() || good.empty()) return 0;
    // The first row's swap switch holds for the whole file, failed or not.
    good[0].SubItems[TBatchRow::SwapXY] = rows[0].SubItems[TBatchRow::SwapXY];
    const TRun without = Merge(good, out);
    if (!without.ok || without.bytes != all.bytes || !(without.counts == all.counts)) {
        std::fprintf(stderr, "a failed row left blocks or points in the merged file\n");
        std::abort();
    }
    return 0;
}
