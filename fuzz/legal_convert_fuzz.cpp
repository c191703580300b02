// libFuzzer target: the input steers the generator of legal MIF/MID pairs
// (the property test's), so the fuzzer explores legal files rather than
// bytes. One pair is converted on its own, two or three are merged; a legal
// pair must convert (unless it would write a value holding a line break), and
// the file must follow the SIMA grammar and hold one block per written object
// with that object's attribute value.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/convert.h"
#include "fuzz_files.h"
#include "legal_mif.h"
#include "support/errors.h"

namespace {

using namespace quorvex;

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "%s %s\n", what, detail.c_str());
    std::abort();
}

// Files at the limits of the double range may be refused, as may site names
// with control characters.
bool MayFail(const test::TLegalPair& pair, std::string_view genba) {
    return pair.Mif.find("79769313486") != std::string::npos || fuzz::HasControl(genba);
}

std::vector<std::string> Expected(const test::TLegalPair& pair, const TConvertSettings& s,
                                  bool parcels) {
    if (!(parcels ? s.Kakuchi : s.Rosen)) return {};
    return pair.Expected(parcels, s.AttrIndex);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider fdp(data, size);
    const test::TLegalOptions options;
    test::TLegalMif gen([&](uint32_t n) { return fdp.ConsumeIntegralInRange<uint32_t>(0, n - 1); },
                        options);
    const int count = fdp.ConsumeIntegralInRange(1, 3);
    std::vector<test::TLegalPair> pairs;
    std::vector<TConvertSettings> jobs;
    std::vector<TBatchRow> rows;
    bool mayFail = false;
    bool mustFail = false;  // a value with a line break would be written
    for (int i = 0; i < count; ++i) {
        pairs.push_back(gen.Pair());
        TConvertSettings s;
        const std::string name = "legal" + std::to_string(i);
        s.MifFile = fuzz::Put(name + ".mif", pairs.back().Mif);
        fuzz::Put(name + ".mid", pairs.back().Mid);
        s.Genba = gen.SiteName();
        s.AttrIndex = fdp.ConsumeIntegralInRange(-1, pairs.back().Columns);
        s.Kakuchi = fdp.ConsumeBool();
        s.Rosen = fdp.ConsumeBool();
        s.SwapXY = fdp.ConsumeBool();
        s.CloseParcel = fdp.ConsumeBool();
        mayFail = mayFail || MayFail(pairs.back(), count == 1 ? s.Genba : "");
        // A merged run refuses a row that converts nothing or whose own site
        // name holds a control character.
        if (count > 1 && (!(s.Kakuchi || s.Rosen) || fuzz::HasControl(s.Genba))) mayFail = true;
        mustFail = mustFail || pairs.back().BreaksLine(s.AttrIndex, s.Kakuchi, s.Rosen);
        jobs.push_back(s);
        rows.push_back(RowFromSettings(s, {}));
    }
    const std::string genba = count == 1 ? jobs[0].Genba : gen.SiteName();
    mayFail = mayFail || fuzz::HasControl(genba);
    const std::string out = fuzz::Folder() + "/legal.sim";
    std::remove(out.c_str());
    bool ok = false;
    TConvertCounts counts;
    std::string why;
    try {
        if (count == 1) {
            jobs[0].SimFile = out;
            TRunReport r;
            ok = ConvertFile(jobs[0], &r);
            counts = r.Counts;
            why = r.Error.Text(TLanguage::English);
        } else {
            TRunCallbacks cb;
            cb.MarkRow = [&](size_t, const TRunReport& r) {
                if (!r.Ok) why = r.Error.Text(TLanguage::English);
            };
            const TRunResult result = ConvertCombined(rows, out, genba, cb);
            counts = result.Counts;
            ok = result.Written && why.empty();
        }
    } catch (const QuorvexError& e) {
        why = e.what();
    }
    if (!ok) {
        if (!mayFail && !mustFail) Fail("a legal file was refused:", why);
        return 0;
    }
    if (mustFail) Fail("a value with a line break was written");
    const std::string written = fuzz::ReadAll(out);
    fuzz::CheckWritten(written, genba, counts);
    if (mayFail) return 0;
    std::vector<std::string> parcels, routes;
    for (int i = 0; i < count; ++i) {
        for (auto& v : Expected(pairs[i], jobs[i], true))
            parcels.push_back(v);
        for (auto& v : Expected(pairs[i], jobs[i], false))
            routes.push_back(v);
    }
    const test::TSimaCheck check = test::CheckSimaFile(written);
    if (check.ParcelValues != parcels || check.RouteValues != routes)
        Fail("the blocks are not one per written object with its value");
    return 0;
}
