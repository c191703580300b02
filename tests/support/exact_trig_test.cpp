// The engine's own sin, cos and atan2 against reference values computed once
// with mpmath (scripts/gen_trig_cases.py): a sample of the run and the cases
// nearest a rounding midpoint, each of which must come out exactly. Set
// QUORVEX_TRIG_FULL to the run's trig_full.txt to check all of it.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/exact_trig.h"

namespace quorvex {
namespace {

using namespace exact_trig_paths;

double FromHex(const std::string& s) {
    uint64_t b = 0;
    std::from_chars(s.data(), s.data() + s.size(), b, 16);
    return std::bit_cast<double>(b);
}

uint64_t BitsOf(double x) {
    return std::bit_cast<uint64_t>(x);
}

struct TCase {
    char Kind;  // s, c or a
    double Y, X, Expected;
    std::string Line;
};

std::vector<TCase> ReadCases(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<TCase> cases;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string kind, a, b, c;
        fields >> kind >> a >> b;
        TCase t{kind[0], 0, 0, 0, line};
        if (t.Kind == 'a') {
            fields >> c;
            t.Y = FromHex(a);
            t.X = FromHex(b);
            t.Expected = FromHex(c);
        } else {
            t.X = FromHex(a);
            t.Expected = FromHex(b);
        }
        cases.push_back(t);
    }
    return cases;
}

double Evaluate(const TCase& t) {
    switch (t.Kind) {
        case 's':
            return ExactSin(t.X);
        case 'c':
            return ExactCos(t.X);
        default:
            return ExactAtan2(t.Y, t.X);
    }
}

double EvaluateSlow(const TCase& t) {
    switch (t.Kind) {
        case 's':
            return SlowSin(t.X);
        case 'c':
            return SlowCos(t.X);
        default:
            return SlowAtan2(t.Y, t.X);
    }
}

// Every case bit for bit; the exact path on its own too when slow is set.
void CheckFile(const std::string& path, size_t atLeast, bool slow) {
    const std::vector<TCase> cases = ReadCases(path);
    ASSERT_GE(cases.size(), atLeast) << path;
    int failures = 0;
    for (const TCase& t : cases) {
        const bool ok = BitsOf(Evaluate(t)) == BitsOf(t.Expected) &&
                        (!slow || BitsOf(EvaluateSlow(t)) == BitsOf(t.Expected));
        if (!ok && ++failures <= 20) ADD_FAILURE() << t.Line;
    }
    EXPECT_EQ(failures, 0) << "of " << cases.size();
}

TEST(ExactTrig, ReferenceSample) {
    CheckFile(QUORVEX_TEST_DATA "/trig/sample.txt", 20000, false);
}

TEST(ExactTrig, CasesNearestAMidpoint) {
    CheckFile(QUORVEX_TEST_DATA "/trig/hard.txt", 500, true);
}

TEST(ExactTrig, WholeReferenceRun) {
    const char* full = std::getenv("QUORVEX_TRIG_FULL");
    if (full == nullptr) GTEST_SKIP() << "QUORVEX_TRIG_FULL not set";
    CheckFile(full, 1000000, false);
}

// The fast paths never decide differently from the exact one, and they
// decide nearly every argument of the readers' domain themselves.
TEST(ExactTrig, FastPathsAgreeWithTheExactOne) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> angle(-16, 16), coord(-1e4, 1e4);
    int undecided = 0;
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
        const double x = angle(rng), y = coord(rng), z = coord(rng);
        double out;
        if (FastSin(x, out)) {
            ASSERT_EQ(BitsOf(out), BitsOf(SlowSin(x))) << std::hexfloat << x;
        } else {
            ++undecided;
        }
        if (FastCos(x, out)) {
            ASSERT_EQ(BitsOf(out), BitsOf(SlowCos(x))) << std::hexfloat << x;
        } else {
            ++undecided;
        }
        if (FastAtan2(y, z, out)) {
            ASSERT_EQ(BitsOf(out), BitsOf(SlowAtan2(y, z))) << std::hexfloat << y << " " << z;
        } else {
            ++undecided;
        }
    }
    EXPECT_LT(undecided, 3 * n / 500);
}

TEST(ExactTrig, SpecialArguments) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double pi = 0x1.921fb54442d18p+1, pio2 = 0x1.921fb54442d18p+0;
    EXPECT_EQ(BitsOf(ExactSin(-0.0)), BitsOf(-0.0));
    EXPECT_EQ(ExactCos(-0.0), 1.0);
    EXPECT_EQ(ExactSin(5e-324), 5e-324);
    EXPECT_EQ(ExactSin(-0x1p-28), -0x1p-28);
    EXPECT_EQ(ExactCos(0x1.fffffffffffffp-28), 1.0);
    EXPECT_NE(ExactSin(inf), ExactSin(inf));
    EXPECT_NE(ExactCos(-inf), ExactCos(-inf));
    EXPECT_NE(ExactSin(nan), ExactSin(nan));
    // sin(pi) is the distance from the double pi to the true one.
    EXPECT_EQ(ExactSin(pi), 0x1.1a62633145c07p-53);
    EXPECT_EQ(ExactCos(pi), -1.0);

    EXPECT_EQ(BitsOf(ExactAtan2(0.0, 1.0)), BitsOf(0.0));
    EXPECT_EQ(BitsOf(ExactAtan2(-0.0, 0.0)), BitsOf(-0.0));
    EXPECT_EQ(ExactAtan2(0.0, -0.0), pi);
    EXPECT_EQ(ExactAtan2(-0.0, -1.0), -pi);
    EXPECT_EQ(ExactAtan2(1.0, 0.0), pio2);
    EXPECT_EQ(ExactAtan2(-1.0, -0.0), -pio2);
    EXPECT_EQ(ExactAtan2(inf, inf), 0x1.921fb54442d18p-1);
    EXPECT_EQ(ExactAtan2(-inf, -inf), -0x1.2d97c7f3321d2p+1);
    EXPECT_EQ(ExactAtan2(inf, 3.0), pio2);
    EXPECT_EQ(BitsOf(ExactAtan2(-3.0, inf)), BitsOf(-0.0));
    EXPECT_EQ(ExactAtan2(3.0, -inf), pi);
    EXPECT_NE(ExactAtan2(nan, 1.0), ExactAtan2(nan, 1.0));
    // Quotients far below the smallest double: zero, the smallest subnormal,
    // and pi itself on the negative side.
    EXPECT_EQ(BitsOf(ExactAtan2(5e-324, 1e300)), BitsOf(0.0));
    EXPECT_EQ(BitsOf(ExactAtan2(-5e-324, 2.0)), BitsOf(-0.0));
    EXPECT_EQ(ExactAtan2(5e-324, 1.5), 5e-324);
    EXPECT_EQ(ExactAtan2(5e-324, -1e300), pi);
}

}  // namespace
}  // namespace quorvex
