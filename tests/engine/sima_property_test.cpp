// Random legal MIF/MID pairs and site names through whole conversions, single
// and merged: every file written follows the SIMA grammar and holds one block
// per object the switches let through, with that object's attribute value.
// The cases are drawn from fixed seeds, so a failure replays.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <algorithm>

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/convert.h"
#include "legal_mif.h"
#include "sima_grammar.h"
#include "support/errors.h"
#include "support/output_file.h"
#include "test_util.h"

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace quorvex {
namespace {

using test::CheckSimaFile;
using test::IsSimaNumber;
using test::ReadBytes;
using test::TempDir;
using test::TLegalMif;
using test::TLegalPair;
using test::TSimaCheck;
using test::TSimaFault;
using test::WriteBytes;

constexpr int kSingleCases = 400;
constexpr int kCombinedCases = 80;
// Every so many cases go through the real output file and its commit; the
// others write a plain file, which is not synced to the disk, so the cases
// stay fast on a busy machine.
constexpr int kCommitEvery = 40;

// A plain file, created empty, as a run's output.
class TPlainOutput : public TFileWriter {
  public:
    explicit TPlainOutput(const std::string& path) {
#ifdef _WIN32
        const int fd = ::_open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY,
                               _S_IREAD | _S_IWRITE);
#else
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
#endif
        if (fd < 0) throw std::runtime_error("cannot create " + path);
        Adopt(fd, path);
    }
};

bool HasControl(const std::string& s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) < 32 || c == 127) return true;
    return false;
}

// Whether a legal pair may be refused: coordinates at the limits can make a
// shape's vertices infinite, and a site name with control characters is
// refused by design.
bool MayFail(const TLegalPair& pair, const std::string& genba) {
    return pair.Mif.find("79769313486") != std::string::npos || HasControl(genba);
}

struct TRandom {
    std::mt19937_64 rng;
    explicit TRandom(uint64_t seed) : rng(seed) {}
    // The engine's output alone fixes the draws: the same cases on every
    // standard library.
    uint32_t operator()(uint32_t n) { return static_cast<uint32_t>(rng() % n); }
};

struct TJob {
    TLegalPair pair;
    TConvertSettings s;
};

TJob MakeJob(TLegalMif& gen, TRandom& random, const TempDir& dir, const std::string& name) {
    TJob job;
    job.pair = gen.Pair();
    TConvertSettings& s = job.s;
    s.MifFile = dir / (name + ".mif");
    s.SimFile = dir / (name + ".sim");
    WriteBytes(s.MifFile, job.pair.Mif);
    WriteBytes(dir / (name + ".mid"), job.pair.Mid);
    s.Genba = gen.SiteName();
    s.AttrIndex = static_cast<int32_t>(random(static_cast<uint32_t>(job.pair.Columns) + 2)) - 1;
    s.Kakuchi = random(4) != 0;
    s.Rosen = random(4) != 0;
    s.SwapXY = random(2) != 0;
    s.CloseParcel = random(2) != 0;
    return job;
}

std::vector<std::string> Expected(const TJob& job, bool parcels) {
    if (!(parcels ? job.s.Kakuchi : job.s.Rosen)) return {};
    return job.pair.Expected(parcels, job.s.AttrIndex);
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// The written file against the grammar, the blocks expected and the counts
// the run reported.
void CheckOutput(const std::string& bytes, const std::string& genba,
                 const std::vector<std::string>& parcels, const std::vector<std::string>& routes,
                 const TConvertCounts& counts, int64_t skippedPoints, int64_t skippedTexts) {
    const TSimaCheck check = CheckSimaFile(bytes);
    ASSERT_TRUE(check.Ok()) << check.Why;
    EXPECT_EQ(check.Genba, genba);
    EXPECT_EQ(check.ParcelValues, parcels);
    EXPECT_EQ(check.RouteValues, routes);
    EXPECT_EQ(counts.Parcels, static_cast<int64_t>(parcels.size()));
    EXPECT_EQ(counts.Routes, static_cast<int64_t>(routes.size()));
    EXPECT_EQ(counts.Points, check.Points);
    EXPECT_EQ(counts.SkippedPoints, skippedPoints);
    EXPECT_EQ(counts.SkippedTexts, skippedTexts);
}

TEST(SimaProperty, SingleConversionsWriteTheGrammarAndOneBlockPerObject) {
    TRandom random(0x51AA2026);
    TLegalMif gen(std::ref(random), test::TLegalOptions());
    TempDir dir;
    int converted = 0;
    for (int i = 0; i < kSingleCases && !testing::Test::HasFailure(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        const TJob job = MakeJob(gen, random, dir, "in");
        std::filesystem::remove(job.s.SimFile);
        TRunReport r;
        bool ok = false;
        try {
            if (i % kCommitEvery == 0) {
                ok = ConvertFile(job.s, &r);
            } else {
                // Closed before it is removed: Windows removes no open file.
                TPlainOutput out(job.s.SimFile);
                const TRunResult result = RunConvertInto(job.s, out);
                ok = result.Written;
                r = result.Inputs.at(0);
            }
        } catch (const QuorvexError& e) {
            r.Error = MessageOf(e);
        }
        if (!ok && i % kCommitEvery != 0) std::filesystem::remove(job.s.SimFile);
        const bool mustFail = job.pair.BreaksLine(job.s.AttrIndex, job.s.Kakuchi, job.s.Rosen);
        if (!ok) {
            EXPECT_TRUE(mustFail || MayFail(job.pair, job.s.Genba))
                << r.Error.Text(TLanguage::English);
            EXPECT_FALSE(test::Exists(job.s.SimFile));
            continue;
        }
        EXPECT_FALSE(mustFail) << "a value with a line break was written";
        ++converted;
        CheckOutput(ReadBytes(job.s.SimFile), job.s.Genba, Expected(job, true),
                    Expected(job, false), r.Counts, job.pair.SkippedPoints, job.pair.SkippedTexts);
    }
    // The generator must not drift into files that are all refused.
    EXPECT_GT(converted, kSingleCases / 2);
}

TEST(SimaProperty, MergedRunsWriteTheGrammarAndEveryRowsBlocks) {
    TRandom random(0xC0B1'2026);
    TLegalMif gen(std::ref(random), test::TLegalOptions());
    TempDir dir;
    int merged = 0;
    for (int i = 0; i < kCombinedCases && !testing::Test::HasFailure(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        std::vector<TJob> jobs;
        std::vector<TBatchRow> rows;
        const uint32_t count = 2 + random(3);
        for (uint32_t k = 0; k < count; ++k) {
            jobs.push_back(MakeJob(gen, random, dir, "row" + std::to_string(k)));
            rows.push_back(RowFromSettings(jobs.back().s, {}));
        }
        const std::string genba = gen.SiteName();
        const std::string out = dir / "merged.sim";
        std::filesystem::remove(out);
        std::vector<bool> rowOk;
        TRunCallbacks cb;
        cb.MarkRow = [&](size_t, const TRunReport& r) { rowOk.push_back(r.Ok); };
        TConvertCounts counts;
        bool ok = false;
        try {
            if (i % kCommitEvery == 0) {
                const TRunResult result = ConvertCombined(rows, out, genba, cb);
                ok = result.Written;
                counts = result.Counts;
            } else {
                TPlainOutput file(out);
                const TRunResult result = ConvertCombinedInto(rows, file, genba, cb);
                ok = result.Written;
                counts = result.Counts;
            }
        } catch (const QuorvexError&) {
        }
        bool mayFail = HasControl(genba);
        for (const TJob& job : jobs)
            mayFail = mayFail || MayFail(job.pair, {}) ||
                      job.pair.BreaksLine(job.s.AttrIndex, job.s.Kakuchi, job.s.Rosen);
        if (mayFail) continue;  // which rows fail is not foreseen
        // A row that converts neither parcels nor routes, or whose site name
        // holds a control character, is refused and adds nothing.
        std::vector<bool> expectOk;
        for (const TJob& job : jobs)
            expectOk.push_back((job.s.Kakuchi || job.s.Rosen) && !HasControl(job.s.Genba));
        const bool anyOk = std::find(expectOk.begin(), expectOk.end(), true) != expectOk.end();
        EXPECT_EQ(rowOk, expectOk);
        if (!anyOk) {
            EXPECT_FALSE(ok);
            EXPECT_FALSE(test::Exists(out));
            continue;
        }
        ASSERT_TRUE(ok);
        ++merged;
        std::vector<std::string> parcels, routes;
        int64_t skippedPoints = 0, skippedTexts = 0;
        for (size_t k = 0; k < jobs.size(); ++k) {
            if (!expectOk[k]) continue;
            const TJob& job = jobs[k];
            Append(parcels, Expected(job, true));
            Append(routes, Expected(job, false));
            skippedPoints += job.pair.SkippedPoints;
            skippedTexts += job.pair.SkippedTexts;
        }
        CheckOutput(ReadBytes(out), genba, parcels, routes, counts, skippedPoints, skippedTexts);
    }
    EXPECT_GT(merged, kCombinedCases / 4);
}

// The checker itself: it must accept what the writers write and catch each
// kind of fault.
const std::string kGood =
    "Z00,{--------------SIMA-FORMAT DATA--------------},\r\n"
    "Z00,{--------------Quorvex Converter-------------},\r\n"
    "Z00,\r\n"
    "G00,02,site, a,\r\n"
    "Z00,{-----------------\x8D\xC0\x95\x57\x83\x66\x81\x5B\x83\x5E-----------------},\r\n"
    "A00,\r\n"
    "A01,1,1,0,-351.25,0,\r\n"
    "A01,2,2,1E15,1.5E-7,0,\r\n"
    "A01,3,3,0.0001,123456.789123457,0,\r\n"
    "A99,\r\n"
    "Z00,{-----------------\x89\xE6\x92\x6E\x83\x66\x81\x5B\x83\x5E-----------------},\r\n"
    "D00,1,12-4,1,\r\nB01,1,1,\r\nB01,2,2,\r\nB01,1,1,\r\nD99,\r\n"
    "D00,2,a,b,1,\r\nD99,\r\n"
    "Z00,{-----------------\x98\x48\x90\xFC\x83\x66\x81\x5B\x83\x5E-----------------},\r\n"
    "F00,1,,1,\r\nB01,3,3,\r\nB01,2,2,\r\nF99,\r\n";

TSimaFault FaultOf(std::string bytes, const std::string& from, const std::string& to) {
    const size_t at = bytes.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return CheckSimaFile(bytes.replace(at, from.size(), to)).Fault;
}

TEST(SimaGrammar, AcceptsWhatTheWritersWrite) {
    const TSimaCheck check = CheckSimaFile(kGood);
    ASSERT_TRUE(check.Ok()) << check.Why;
    EXPECT_EQ(check.Genba, "site, a");
    EXPECT_EQ(check.Points, 3);
    EXPECT_EQ(check.ParcelValues, (std::vector<std::string>{"12-4", "a,b"}));
    EXPECT_EQ(check.RouteValues, (std::vector<std::string>{""}));
    EXPECT_EQ(check.Vertices, 5);
    // A file without routes ends with their banner.
    std::string noRoutes = kGood.substr(0, kGood.find("F00,"));
    noRoutes.erase(noRoutes.find("A01,3,3,"), kGood.find("A99,") - kGood.find("A01,3,3,"));
    const TSimaCheck shorter = CheckSimaFile(noRoutes);
    EXPECT_TRUE(shorter.Ok()) << shorter.Why;
    EXPECT_TRUE(shorter.RouteValues.empty());
    for (const auto& golden :
         std::filesystem::directory_iterator(std::string(QUORVEX_TEST_DATA) + "/golden")) {
        const TSimaCheck g = CheckSimaFile(ReadBytes(golden.path().string()));
        EXPECT_TRUE(g.Ok()) << golden.path() << ": " << g.Why;
    }
}

TEST(SimaGrammar, TellsForgedAndBrokenLinesApart) {
    // A site name with a line break forges a point line.
    EXPECT_EQ(FaultOf(kGood, "G00,02,site, a,", "G00,02,S,\r\nA01,9,9,1,2,0,\r\nZ00,"),
              TSimaFault::Layout);
    EXPECT_EQ(FaultOf(kGood, "site, a", "si\x1Bte"), TSimaFault::ControlInSiteName);
    EXPECT_EQ(FaultOf(kGood, "site, a", "si\rte"), TSimaFault::ControlInSiteName);
    EXPECT_EQ(FaultOf(kGood, "D00,1,12-4,1,", "D00,1,12\r4,1,"), TSimaFault::LineBreakInValue);
    EXPECT_EQ(FaultOf(kGood, "1E15", "1.79769313486232E308"), TSimaFault::NumberOverflow);
    EXPECT_EQ(FaultOf(kGood, "1E15", "1.79769313486231E308"), TSimaFault::None);
    EXPECT_EQ(FaultOf(kGood, "1E15", "1E309"), TSimaFault::NumberOverflow);
}

TEST(SimaGrammar, RefusesBrokenNumberingAndReferences) {
    const std::pair<const char*, const char*> broken[] = {
        {"A01,2,2,", "A01,3,3,"},                             // a gap in the points
        {"A01,2,2,", "A01,2,02,"},                            // a name other than the number
        {"0,-351.25,0,", "0,-351.25,0.0,"},                   // a height other than 0
        {"D00,2,", "D00,3,"},                                 // a gap in the parcels
        {"F00,1,", "F00,0,"},                                 // routes count from 1
        {"D00,2,a,b,1,", "D00,2,a,b,2,"},                     // the constant field
        {"B01,2,2,\r\nF99", "B01,4,4,\r\nF99"},               // no point 4
        {"F99,\r\n", "F99,\r\nF00,2,,1,\r\n"},                // a block without its end
        {"\r\nA99,", "\r\nA01,4,4,5,5,0,\r\nA99,"},           // a point no block uses
        {"D99,\r\nZ00", "D99,\r\nF00,9,,1,\r\nF99,\r\nZ00"},  // a route among the parcels
        {"Z00,\r\nG00", "Z00,\nG00"},                         // a bare line feed
    };
    for (const auto& [from, to] : broken)
        EXPECT_EQ(FaultOf(kGood, from, to), TSimaFault::Layout) << to;
    EXPECT_EQ(CheckSimaFile(kGood.substr(0, kGood.size() - 2)).Fault, TSimaFault::Layout);
}

TEST(SimaGrammar, NumbersInTheWritersForm) {
    for (const char* good :
         {"0", "100", "12345.678", "-0.5", "0.3", "0.666666666666667", "123456.789123457", "0.0001",
          "1E-5", "1.5E-7", "999999999999999", "1E15", "1.23456789012346E15",
          "-4.94065645841247E-324", "1.79769313486231E308"})
        EXPECT_TRUE(IsSimaNumber(good)) << good;
    for (const char* bad : {"",
                            "-0",
                            "+1",
                            "01",
                            "1.",
                            ".5",
                            "1.50",
                            "0.00001",
                            "1E14",
                            "1E-4",
                            "1.0E20",
                            "10E20",
                            "1e20",
                            "1E+20",
                            "1E020",
                            "1234567890123456",
                            "0.1234567890123456",
                            "1.234567890123456E20",
                            "1E-325",
                            "1,5",
                            " 1",
                            "nan",
                            "inf"})
        EXPECT_FALSE(IsSimaNumber(bad)) << bad;
    bool overflow = false;
    EXPECT_FALSE(IsSimaNumber("-1.79769313486232E308", &overflow));
    EXPECT_TRUE(overflow);
}

}  // namespace
}  // namespace quorvex
