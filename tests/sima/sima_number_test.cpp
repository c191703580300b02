// Coordinates as the SIMA file writes them: 15 significant digits, fixed-point
// form from 1E-4 up to fifteen nines, scientific form beyond.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "sima/sima_number.h"

namespace quorvex {
namespace {

std::string Format(double v) {
    char buf[kSimaNumberMax + 8];
    const size_t n = FormatSimaNumber(v, buf);
    EXPECT_LE(n, kSimaNumberMax) << v;
    return std::string(buf, n);
}

TEST(FormatSimaNumber, NumberFormatTable) {
    EXPECT_EQ(Format(100), "100");
    EXPECT_EQ(Format(12345.678), "12345.678");
    EXPECT_EQ(Format(-0.5), "-0.5");
    EXPECT_EQ(Format(0.1 + 0.2), "0.3");
    EXPECT_EQ(Format(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(Format(123456.7891234567), "123456.789123457");
    EXPECT_EQ(Format(0.0001), "0.0001");
    EXPECT_EQ(Format(0.00001), "1E-5");
    EXPECT_EQ(Format(1.5e-7), "1.5E-7");
    EXPECT_EQ(Format(999999999999999.0), "999999999999999");
    EXPECT_EQ(Format(1e15), "1E15");
    EXPECT_EQ(Format(1.234567890123456e15), "1.23456789012346E15");
}

TEST(FormatSimaNumber, Zero) {
    EXPECT_EQ(Format(0.0), "0");
    EXPECT_EQ(Format(-0.0), "0");
}

TEST(FormatSimaNumber, FixedPointForm) {
    EXPECT_EQ(Format(-351.25), "-351.25");
    EXPECT_EQ(Format(678.5), "678.5");
    EXPECT_EQ(Format(1), "1");
    EXPECT_EQ(Format(10), "10");
    EXPECT_EQ(Format(120000), "120000");
    EXPECT_EQ(Format(0.001), "0.001");
    EXPECT_EQ(Format(-0.00012345), "-0.00012345");
    EXPECT_EQ(Format(728800.123456789), "728800.123456789");
    EXPECT_EQ(Format(-1592600.25), "-1592600.25");
    EXPECT_EQ(Format(0.000123456789012345678), "0.000123456789012346");
    EXPECT_EQ(Format(123456789012345.0), "123456789012345");
    EXPECT_EQ(Format(1234567890123456.0), "1.23456789012346E15");
}

TEST(FormatSimaNumber, ScientificForm) {
    EXPECT_EQ(Format(-0.00001), "-1E-5");
    EXPECT_EQ(Format(0.000099999), "9.9999E-5");
    EXPECT_EQ(Format(1e100), "1E100");
    EXPECT_EQ(Format(-2.5e300), "-2.5E300");
    EXPECT_EQ(Format(123456789012345678.0), "1.23456789012346E17");
    EXPECT_EQ(Format(std::numeric_limits<double>::max()), "1.79769313486232E308");
    EXPECT_EQ(Format(std::numeric_limits<double>::denorm_min()), "4.94065645841247E-324");
}

TEST(FormatSimaNumber, RoundingCarriesIntoTheNextPower) {
    EXPECT_EQ(Format(999999999999999.5), "1E15");
    EXPECT_EQ(Format(0.99999999999999994), "1");
    EXPECT_EQ(Format(9.9999999999999995e-5), "0.0001");
    EXPECT_EQ(Format(-99.9999999999999999), "-100");
    EXPECT_EQ(Format(0.0009999999999999999), "0.001");
}

TEST(FormatSimaNumber, SixteenthDigitFromEighteenDigitsRoundsHalfUp) {
    // 537561.738521766499616... is ...7665000 at 18 digits, so it rounds up.
    EXPECT_EQ(Format(537561.7385217665), "537561.738521767");
    EXPECT_EQ(Format(122667.6701135935), "122667.670113594");
    // ...4 at the 16th digit rounds down, ...5 rounds up, away from zero.
    EXPECT_EQ(Format(1.0000000000000004), "1");
    EXPECT_EQ(Format(0.125), "0.125");
    EXPECT_EQ(Format(-1234567.89012345678), "-1234567.89012346");
}

// The shortcuts for common values give the bytes of the full rule. (A check
// over many millions of values, bench/check_sima_number, does the same at
// length.)
TEST(FormatSimaNumber, ShortcutsAgreeWithTheFullRule) {
    auto general = [](double v) {
        char buf[kSimaNumberMax + 8];
        return std::string(buf, FormatSimaNumberGeneral(v, buf));
    };
    std::mt19937_64 rng(13);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 20000; ++i) {
        const double values[] = {
            // Ellipse and arc vertices around plane coordinates.
            -35210.125 + 400 * unit(rng) * std::cos(7 * unit(rng)),
            // Magnitudes across the range of the integer shortcut and beyond.
            std::ldexp(1 + unit(rng), static_cast<int>(rng() % 80) - 22),
            // Dyadic fractions, some with an exact tie at the 19th digit.
            std::ldexp(static_cast<double>((rng() >> 11) | 1), -1 - static_cast<int>(rng() % 68)),
            std::nextafter(std::pow(10.0, static_cast<int>(rng() % 30) - 10), 0.0),
        };
        for (const double v : values) {
            ASSERT_EQ(Format(v), general(v)) << std::hexfloat << v;
            ASSERT_EQ(Format(-v), general(-v)) << std::hexfloat << -v;
        }
    }
    // 2^-16 and 2^53 bound the integer shortcut.
    for (const double v : {std::ldexp(1.0, -16), std::ldexp(1.0, 53), 9007199254740991.0,
                           std::nextafter(std::ldexp(1.0, -16), 0.0), 0.1, 0.3, 1e15 - 0.5})
        EXPECT_EQ(Format(v), general(v)) << std::hexfloat << v;
}

}  // namespace
}  // namespace quorvex
