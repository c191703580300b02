#include "mif/mif_numbers.h"

#include <charconv>
#include <cmath>

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
    size_t digits = 0;
    while (p < s.size() && IsDigit(s[p]))
        ++p, ++digits;
    if (p < s.size() && s[p] == '.') {
        ++p;
        while (p < s.size() && IsDigit(s[p]))
            ++p, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
        ++p;
        if (p < s.size() && (s[p] == '+' || s[p] == '-')) ++p;
        const size_t expStart = p;
        while (p < s.size() && IsDigit(s[p]))
            ++p;
        if (p == expStart) return std::nullopt;
    }
    if (p != s.size()) return std::nullopt;

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
