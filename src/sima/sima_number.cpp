#include "sima/sima_number.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace quorvex {

namespace {

// Coordinates mostly have a few decimals: when the magnitude is the double
// nearest to a decimal with at most four decimals, its 15-digit form is that
// decimal, written in fixed-point form without trailing zeros. Below 10^10
// such decimals lie further apart than the doubles near them, so the one
// found with four decimals is the only one. Returns 0 for other values.
size_t FormatShortFixed(double magnitude, char* out) {
    if (!(magnitude >= 1e-3 && magnitude < 1e10)) return 0;
    const double m = std::nearbyint(magnitude * 1e4);
    if (m / 1e4 != magnitude) return 0;
    const auto units = static_cast<uint64_t>(m);
    char* p = std::to_chars(out, out + 24, units / 10000).ptr;
    if (uint64_t fraction = units % 10000) {
        *p++ = '.';
        for (uint64_t unit = 1000; fraction != 0; unit /= 10) {
            *p++ = static_cast<char>('0' + fraction / unit);
            fraction %= unit;
        }
    }
    return static_cast<size_t>(p - out);
}

}  // namespace

size_t FormatSimaNumber(double value, char* out) {
    char* p = out;
    if (value == 0) {
        *p = '0';
        return 1;
    }
    if (std::isnan(value)) {
        std::memcpy(p, "NAN", 3);
        return 3;
    }
    if (value < 0) *p++ = '-';
    const double magnitude = std::fabs(value);
    if (std::isinf(magnitude)) {
        std::memcpy(p, "INF", 3);
        return static_cast<size_t>(p - out) + 3;
    }

    if (const size_t n = FormatShortFixed(magnitude, p)) return static_cast<size_t>(p - out) + n;

    // 18 significant digits, correctly rounded: "d.ddddddddddddddddde[+-]x".
    char sci[40];
    const auto res =
        std::to_chars(sci, sci + sizeof sci, magnitude, std::chars_format::scientific, 17);
    char digits[19];
    digits[0] = sci[0];
    std::memcpy(digits + 1, sci + 2, 17);
    int exp10 = 0;
    std::from_chars(sci + 20 + (sci[20] == '+' ? 1 : 0), res.ptr, exp10);

    // Round to 15 digits, a 16th digit of 5 or more rounding up.
    int len = 15;
    if (digits[15] >= '5') {
        int i = 14;
        while (i >= 0 && digits[i] == '9')
            digits[i--] = '0';
        if (i >= 0) {
            ++digits[i];
        } else {
            digits[0] = '1';
            ++exp10;
        }
    }
    while (len > 1 && digits[len - 1] == '0')
        --len;

    // E counts the digits before the decimal point: value = 0.d1d2... * 10^E.
    const int E = exp10 + 1;
    if (E >= -3 && E <= 15) {
        if (E <= 0) {
            *p++ = '0';
            *p++ = '.';
            for (int i = 0; i < -E; ++i)
                *p++ = '0';
            std::memcpy(p, digits, static_cast<size_t>(len));
            p += len;
        } else {
            for (int i = 0; i < E; ++i)
                *p++ = i < len ? digits[i] : '0';
            if (len > E) {
                *p++ = '.';
                std::memcpy(p, digits + E, static_cast<size_t>(len - E));
                p += len - E;
            }
        }
    } else {
        *p++ = digits[0];
        if (len > 1) {
            *p++ = '.';
            std::memcpy(p, digits + 1, static_cast<size_t>(len - 1));
            p += len - 1;
        }
        *p++ = 'E';
        p = std::to_chars(p, p + 8, E - 1).ptr;
    }
    return static_cast<size_t>(p - out);
}

}  // namespace quorvex
