// Zeroed arrays for the point index, from the heap and from the kernel.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "support/large_memory.h"

namespace quorvex {
namespace {

TEST(TZeroedArray, SmallAndLargeArraysStartZeroAndMove) {
    for (const size_t n : {size_t(2), size_t(1000), size_t(3) << 20}) {
        TZeroedArray<uint64_t> a(n);
        ASSERT_EQ(a.size(), n);
        for (size_t i = 0; i < n; i += 4093)
            ASSERT_EQ(a[i], 0u) << n << " " << i;
        ASSERT_EQ(a[n - 1], 0u);
        a[0] = 7;
        a[n - 1] = 9;
        TZeroedArray<uint64_t> b(std::move(a));
        EXPECT_EQ(a.size(), 0u);
        EXPECT_EQ(b[0], 7u);
        EXPECT_EQ(b[n - 1], 9u);
        TZeroedArray<uint64_t> c(16);
        c = std::move(b);  // the 16 are released, the moved array kept
        EXPECT_EQ(c.size(), n);
        EXPECT_EQ(c[n - 1], 9u);
        c.Reset();
        EXPECT_EQ(c.size(), 0u);
    }
}

}  // namespace
}  // namespace quorvex
