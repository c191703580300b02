#include "mif/mif_numbers.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace quorvex {
namespace {

constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// For a number that from_chars found out of range: whether it was too small
// (rather than too large), judged by the power of ten of its first nonzero
// digit; the two cases lie hundreds of powers apart.
bool IsUnderflow(std::string_view number) {
    int64_t lead = 0;  // power of ten of the first nonzero digit
    bool found = false, afterDot = false;
    int64_t intDigits = 0, fracPos = 0;
    size_t i = 0;
    for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
        if (number[i] == '.') {
            afterDot = true;
            continue;
        }
        if (afterDot)
            ++fracPos;
        else
            ++intDigits;
        if (!found && number[i] != '0') {
            found = true;
            lead = afterDot ? -fracPos : intDigits;
        }
    }
    int64_t exponent = 0;
    bool negative = false;
    if (i < number.size()) {
        ++i;
        if (i < number.size() && (number[i] == '+' || number[i] == '-'))
            negative = number[i++] == '-';
        for (; i < number.size(); ++i)
            if (exponent < 1000000) exponent = exponent * 10 + (number[i] - '0');
    }
    return lead + (negative ? -exponent : exponent) < 0;
}

}  // namespace

std::optional<int32_t> TryParseMifInteger(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == s.size()) return std::nullopt;
    int64_t value = 0;
    for (; i < s.size(); ++i) {
        const int d = base == 16 ? HexValue(s[i]) : (IsDigit(s[i]) ? s[i] - '0' : -1);
        if (d < 0) return std::nullopt;
        value = value * base + d;
        if (value > int64_t(INT32_MAX) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

namespace {

// Integers below 2^53 and powers of ten up to 10^22 are exact doubles, so one
// multiplication or division of the two rounds correctly.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace

const char* ParseShortDecimalScalar(const char* p, const char* end, double& value) {
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    uint64_t mantissa = 0;
    const char* const integerStart = p;
    for (; p < end && IsDigit(*p); ++p)
        mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
    const auto integerDigits = p - integerStart;
    std::ptrdiff_t decimals = 0;
    if (p < end && *p == '.') {
        const char* const fractionStart = ++p;
        for (; p < end && IsDigit(*p); ++p)
            mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
        decimals = p - fractionStart;
    }
    // Up to 15 digits in all, leading zeros included, keep the mantissa
    // below 2^53; longer numbers take the general way.
    const auto digits = integerDigits + decimals;
    if (digits == 0 || digits > 15) return nullptr;
    if (p < end && (*p == 'e' || *p == 'E' || *p == '.')) return nullptr;
    const double v = static_cast<double>(mantissa) / kPow10[decimals];
    value = negative ? -v : v;
    return p;
}

namespace {

constexpr uint64_t kPow10Int[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// The digits at the start of the 8 bytes at `p`, at most 8 of them: their
// count, and their value in `value`. A byte below '0' borrows from the bytes
// after it, which only follow the first non-digit.
int Digits8(const char* p, uint64_t& value) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);  // byte 0 is the first character
    const uint64_t t = v - 0x3030303030303030ull;
    const uint64_t bad = (t | (t + 0x7676767676767676ull)) & 0x8080808080808080ull;
    const int n = bad != 0 ? __builtin_ctzll(bad) >> 3 : 8;
    if (n == 0) {
        value = 0;
        return 0;
    }
    uint64_t x = t << (8 * (8 - n));  // the digits last, zeros before them
    x = (x * 2561) >> 8;
    x &= 0x00FF00FF00FF00FFull;
    x = (x * 6553601) >> 16;
    x &= 0x0000FFFF0000FFFFull;
    value = (x * 42949672960001ull) >> 32;
    return n;
}

// The short decimal at `p` with at least 20 readable bytes from `p`, of which
// those at `end` and after are no digits, signs, points or exponents; parts
// longer than 8 digits go the scalar way.
const char* ParseShortDecimal8(const char* const start, const char* end, double& value) {
    const char* p = start;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    uint64_t mantissa = 0;
    const int integerDigits = Digits8(p, mantissa);
    p += integerDigits;
    if (integerDigits == 8 && IsDigit(*p)) return ParseShortDecimalScalar(start, end, value);
    int decimals = 0;
    if (*p == '.') {
        ++p;
        uint64_t fraction = 0;
        decimals = Digits8(p, fraction);
        p += decimals;
        if (decimals == 8 && IsDigit(*p)) return ParseShortDecimalScalar(start, end, value);
        mantissa = mantissa * kPow10Int[decimals] + fraction;
    }
    const int digits = integerDigits + decimals;
    if (digits == 0 || digits > 15) return nullptr;
    if (*p == 'e' || *p == 'E' || *p == '.') return nullptr;
    const double v = static_cast<double>(mantissa) / kPow10[decimals];
    value = negative ? -v : v;
    return p;
}

}  // namespace

// Eight digits at a time: a number near the end of its text is copied into a
// padded buffer first, so nothing past `end` is read.
const char* ParseShortDecimal(const char* p, const char* end, double& value) {
    constexpr std::ptrdiff_t kReach = 20;
    if (end - p >= kReach) return ParseShortDecimal8(p, end, value);
    char padded[kReach + 12] = {};
    const auto n = static_cast<size_t>(end - p);
    if (n != 0) std::memcpy(padded, p, n);
    const char* r = ParseShortDecimal8(padded, padded + n, value);
    return r ? p + (r - padded) : nullptr;
}

const char* ParseShortDecimalReadAhead(const char* p, const char* end, double& value) {
    return ParseShortDecimal8(p, end, value);
}

std::optional<double> TryParseMifFloat(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    size_t end = s.size();
    while (end > i && s[end - 1] == ' ')
        --end;
    s = s.substr(i, end - i);

    bool negative = false;
    size_t p = 0;
    if (p < s.size() && (s[p] == '+' || s[p] == '-')) negative = s[p++] == '-';
    const size_t numberStart = p;
    // While checking the grammar, gather the digits as an integer mantissa:
    // coordinates mostly have few digits, and then the value is exact.
    uint64_t mantissa = 0;
    int significant = 0;  // digits in the mantissa, leading zeros not counted
    int scale = 0;        // power of ten the mantissa is to be multiplied by
    size_t digits = 0;
    auto digit = [&](char c, bool fraction) {
        ++digits;
        if (significant < 19) {
            mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
            if (mantissa != 0) ++significant;
            if (fraction) --scale;
        } else if (!fraction) {
            ++scale;
        }
    };
    while (p < s.size() && IsDigit(s[p]))
        digit(s[p++], false);
    if (p < s.size() && s[p] == '.') {
        ++p;
        while (p < s.size() && IsDigit(s[p]))
            digit(s[p++], true);
    }
    if (digits == 0) return std::nullopt;
    bool hasExponent = false;
    if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
        hasExponent = true;
        ++p;
        if (p < s.size() && (s[p] == '+' || s[p] == '-')) ++p;
        const size_t expStart = p;
        while (p < s.size() && IsDigit(s[p]))
            ++p;
        if (p == expStart) return std::nullopt;
    }
    if (p != s.size()) return std::nullopt;

    if (!hasExponent && significant <= 15 && scale >= -22 && scale <= 22) {
        double value = static_cast<double>(mantissa);
        value = scale < 0 ? value / kPow10[-scale] : value * kPow10[scale];
        return negative ? -value : value;
    }

    // from_chars takes no "+" sign, and its exponent sign is fine as checked.
    double value = 0;
    const char* first = s.data() + numberStart;
    const auto [ptr, ec] = std::from_chars(first, s.data() + s.size(), value);
    if (ptr != s.data() + s.size()) return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        // Too small for a double rounds to zero; too large is no number.
        if (!IsUnderflow(s.substr(numberStart))) return std::nullopt;
        value = 0;
    } else if (ec != std::errc()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

}  // namespace quorvex
