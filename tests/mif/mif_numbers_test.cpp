// Counts and coordinates of MIF text: what is a number, and which double it
// becomes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "mif/mif_numbers.h"

namespace quorvex {
namespace {

TEST(TryParseMifInteger, DecimalAndHexadecimalForms) {
    EXPECT_EQ(TryParseMifInteger("12"), 12);
    EXPECT_EQ(TryParseMifInteger("+7"), 7);
    EXPECT_EQ(TryParseMifInteger("-3"), -3);
    EXPECT_EQ(TryParseMifInteger("  12"), 12);
    EXPECT_EQ(TryParseMifInteger("007"), 7);
    EXPECT_EQ(TryParseMifInteger("$1F"), 31);
    EXPECT_EQ(TryParseMifInteger("x10"), 16);
    EXPECT_EQ(TryParseMifInteger("X1f"), 31);
    EXPECT_EQ(TryParseMifInteger("0x10"), 16);
    EXPECT_EQ(TryParseMifInteger("0XfF"), 255);
    EXPECT_EQ(TryParseMifInteger("-0x10"), -16);
    EXPECT_EQ(TryParseMifInteger("-$10"), -16);
}

TEST(TryParseMifInteger, InvalidTexts) {
    for (const char* text : {"", " ", "12 ", "1 2", "abc", "1.0", "1e3", "+", "-", "$", "0x", "x",
                             "$G", "0x1G", "--1", "+-1", "12\r"}) {
        EXPECT_FALSE(TryParseMifInteger(text).has_value()) << "'" << text << "'";
    }
}

TEST(TryParseMifInteger, ThirtyTwoBitRange) {
    EXPECT_EQ(TryParseMifInteger("2147483647"), INT32_MAX);
    EXPECT_EQ(TryParseMifInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(TryParseMifInteger("$7FFFFFFF"), INT32_MAX);
    EXPECT_EQ(TryParseMifInteger("-$80000000"), INT32_MIN);
    for (const char* text : {"2147483648", "-2147483649", "$80000000", "0xFFFFFFFF",
                             "99999999999999999999999999", "-0x123456789ABCDEF0123"}) {
        EXPECT_FALSE(TryParseMifInteger(text).has_value()) << text;
    }
}

TEST(TryParseMifFloat, AcceptedForms) {
    EXPECT_EQ(TryParseMifFloat("1.5"), 1.5);
    EXPECT_EQ(TryParseMifFloat("-2"), -2.0);
    EXPECT_EQ(TryParseMifFloat("+3."), 3.0);
    EXPECT_EQ(TryParseMifFloat(".5"), 0.5);
    EXPECT_EQ(TryParseMifFloat("-.25"), -0.25);
    EXPECT_EQ(TryParseMifFloat("1e5"), 1e5);
    EXPECT_EQ(TryParseMifFloat("1E-3"), 1e-3);
    EXPECT_EQ(TryParseMifFloat("2.5e+2"), 250.0);
    EXPECT_EQ(TryParseMifFloat(" 7 "), 7.0);
    EXPECT_EQ(TryParseMifFloat("  728800.00  "), 728800.0);
    EXPECT_EQ(TryParseMifFloat("000123.4500"), 123.45);
}

TEST(TryParseMifFloat, RejectedTexts) {
    for (const char* text :
         {"",    "   ", "1,5", "1e", "1e+", "e5",  "abc", "1.2.3", "0x10", "inf", "-inf", "nan",
          "NaN", "+",   "-",   ".",  "-.",  "1 2", "1-",  "1e5.0", "1d5",  "++1", "$10",  "1.5x"}) {
        EXPECT_FALSE(TryParseMifFloat(text).has_value()) << "'" << text << "'";
    }
}

TEST(TryParseMifFloat, OverflowFailsUnderflowGivesZero) {
    EXPECT_FALSE(TryParseMifFloat("1e400").has_value());
    EXPECT_FALSE(TryParseMifFloat("-1e400").has_value());
    EXPECT_FALSE(TryParseMifFloat("1" + std::string(400, '0')).has_value());
    EXPECT_FALSE(TryParseMifFloat("1e99999999999999999999").has_value());
    EXPECT_EQ(TryParseMifFloat("1e-400"), 0.0);
    EXPECT_EQ(TryParseMifFloat("-1e-400"), 0.0);
    EXPECT_EQ(TryParseMifFloat("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(TryParseMifFloat("1e-99999999999999999999"), 0.0);
    // Tiny numbers that a double still holds are kept.
    EXPECT_EQ(TryParseMifFloat("1e-310"), 1e-310);
    EXPECT_EQ(TryParseMifFloat("4.9406564584124654e-324"), 4.9406564584124654e-324);
    EXPECT_EQ(TryParseMifFloat("1.7976931348623157e308"), 1.7976931348623157e308);
    EXPECT_EQ(TryParseMifFloat("0e999"), 0.0);
}

TEST(TryParseMifFloat, CorrectlyRounded) {
    EXPECT_EQ(TryParseMifFloat("0.1"), 0.1);
    EXPECT_EQ(TryParseMifFloat("728800.123456789012345"), 728800.123456789012345);
    EXPECT_EQ(TryParseMifFloat("1592600.9999999999999999"), 1592600.9999999999999999);
    EXPECT_EQ(TryParseMifFloat("-35.000000000000001"), -35.000000000000001);
    // Exactly halfway between two doubles: ties to even.
    EXPECT_EQ(TryParseMifFloat("9007199254740993"), 9007199254740992.0);
    EXPECT_EQ(TryParseMifFloat("9007199254740995"), 9007199254740996.0);
    const auto negZero = TryParseMifFloat("-0.0");
    ASSERT_TRUE(negZero.has_value());
    EXPECT_EQ(*negZero, 0.0);
}

}  // namespace
}  // namespace quorvex
