// Objects that are not written are read and checked but never buffered: the
// largest single allocation of a run stays small however many vertices a
// dropped object has. Counted with a replaced global allocator, never timed.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "engine/convert.h"
#include "test_util.h"

namespace {

std::atomic<bool> gCounting{false};
std::atomic<size_t> gLargest{0};

void* Allocate(size_t n) {
    if (gCounting) {
        size_t seen = gLargest.load();
        while (n > seen && !gLargest.compare_exchange_weak(seen, n)) {
        }
    }
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(size_t n) {
    return Allocate(n);
}
void* operator new[](size_t n) {
    return Allocate(n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}

namespace quorvex {
namespace {

using test::TempDir;
using test::WriteBytes;

constexpr int kVertices = 600000;           // 9.6 MB as doubles; about 5 MB of MIF text
constexpr size_t kSmall = size_t{4} << 20;  // above the reader's 1 MB buffer

std::string Vertices(int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += std::to_string(i) + " " + std::to_string(i % 7) + "\n";
    return s;
}

// The largest single allocation while `mif`, then a line, is converted.
size_t LargestAllocation(const std::string& mif, const TConvertSettings& settings,
                         TConvertCounts& counts) {
    TempDir dir;
    TConvertSettings s = settings;
    s.MifFile = dir / "in.mif";
    s.SimFile = dir / "out.sim";
    WriteBytes(
        s.MifFile,
        "Version 300\nCharset \"Neutral\"\nDelimiter \",\"\nColumns 1\n  ID Integer\nData\n" + mif +
            "Line 0 0 1 1\n");
    WriteBytes(dir / "in.mid", "1\n2\n");
    gLargest = 0;
    gCounting = true;
    TRunReport r;
    const bool ok = ConvertFile(s, &r);
    gCounting = false;
    EXPECT_TRUE(ok) << r.Error.Text(TLanguage::English);
    counts = r.Counts;
    return gLargest;
}

TEST(ObjectPass, DroppedObjectsAreReadWithoutBufferingTheirVertices) {
    const std::string many = std::to_string(kVertices) + "\n" + Vertices(kVertices);
    const std::string region = "Region 2\n 3\n0 0\n1 0\n1 1\n " + many;
    const std::string pline = "Pline Multiple 2\n 2\n0 0\n1 1\n " + many;
    const std::string shortPline = "Pline 2\n3 3\n4 4\n";
    TConvertSettings noParcels, noRoutes, both;
    noParcels.Kakuchi = false;
    noRoutes.Rosen = false;
    TConvertCounts c;

    EXPECT_LT(LargestAllocation(region, noParcels, c), kSmall);
    EXPECT_EQ(c, (TConvertCounts{0, 1, 2, 0, 0}));
    EXPECT_LT(LargestAllocation("Collection 2\n" + region + shortPline, noParcels, c), kSmall);
    EXPECT_EQ(c, (TConvertCounts{0, 2, 4, 0, 0}));
    EXPECT_LT(LargestAllocation(pline + "Region 1\n 3\n0 0\n1 0\n1 1\n", noRoutes, c), kSmall);
    EXPECT_EQ(c, (TConvertCounts{1, 0, 3, 0, 0}));
    EXPECT_LT(LargestAllocation("Collection 1\n" + pline, noRoutes, c), kSmall);
    EXPECT_EQ(c, TConvertCounts{});
    // Multipoints in a collection are never written.
    EXPECT_LT(LargestAllocation("Collection 2\nMultipoint " + many + shortPline, both, c), kSmall);
    EXPECT_EQ(c, (TConvertCounts{0, 2, 4, 1, 0}));

    // Written, the same region is buffered whole, and the count sees it.
    EXPECT_GT(LargestAllocation(region, both, c), size_t{8} << 20);
    EXPECT_EQ(c.Parcels, 1);
}

}  // namespace
}  // namespace quorvex
