// Counts and coordinates of MIF text: what is a number, and which double it
// becomes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
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

// The short-decimal reader takes eight digits at a time; it ends, refuses and
// rounds exactly as reading a character at a time, also when the text ends
// its buffer or stops short of more digits. (bench/check_short_decimal does
// the same on many millions of texts.)
TEST(ParseShortDecimal, AgreesWithTheCharacterAtATimeRule) {
    auto both = [](const std::string& text, size_t cut) {
        std::unique_ptr<char[]> buf(new char[text.size() + 1]);
        std::memcpy(buf.get(), text.data(), text.size());
        double a = -1, b = -1;
        const char* pa = ParseShortDecimal(buf.get(), buf.get() + cut, a);
        const char* pb = ParseShortDecimalScalar(buf.get(), buf.get() + cut, b);
        ASSERT_EQ(pa, pb) << text << " cut at " << cut;
        if (pa) {
            ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << text;
        }
    };
    for (const char* t :
         {"-35210.125 12840.5", "12840.5", "0", "-", ".", "+.5", "12.", "12345678.12345678",
          "123456789.5", "1.234567890123456", "123456789012345", "1234567890123456", "1.5e3",
          "1.5.3", "00000000000000001", "99999999.9999999 1", "-0.0000001"}) {
        const std::string text(t);
        for (size_t cut = 0; cut <= text.size(); ++cut)
            both(text, cut);
    }
    std::mt19937_64 rng(6);
    static const char kAlphabet[] = "01234567890123456789.-+e ";
    for (int i = 0; i < 100000; ++i) {
        std::string text;
        const int n = static_cast<int>(rng() % 30);
        for (int k = 0; k < n; ++k)
            text += kAlphabet[rng() % (sizeof kAlphabet - 1)];
        both(text, text.size());
        both(text, rng() % (text.size() + 1));
    }
    double v = 0;
    const std::string line = "-35210.125 12840.5";
    EXPECT_EQ(ParseShortDecimal(line.data(), line.data() + line.size(), v), line.data() + 10);
    EXPECT_EQ(v, -35210.125);
}

}  // namespace
}  // namespace quorvex
