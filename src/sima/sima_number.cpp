#include "sima/sima_number.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace quorvex {

namespace {

// Coordinates mostly have a few decimals: when the magnitude is exactly the
// double nearest to m / 10^k for some k up to 4, its 15-digit form is that
// decimal, written in fixed-point form without trailing zeros. Returns 0 when
// the value is not of that kind.
size_t FormatShortFixed(double magnitude, char* out) {
    static constexpr double kScale[] = {1, 10, 100, 1000, 10000};
    static constexpr uint64_t kIntScale[] = {1, 10, 100, 1000, 10000};
    if (!(magnitude >= 1e-3 && magnitude < 1e10)) return 0;
    for (int k = 0; k <= 4; ++k) {
        const double m = std::nearbyint(magnitude * kScale[k]);
        if (m / kScale[k] != magnitude) continue;
        const auto units = static_cast<uint64_t>(m);
        char* p = std::to_chars(out, out + 24, units / kIntScale[k]).ptr;
        uint64_t fraction = units % kIntScale[k];
        if (fraction != 0) {
            int width = k;
            while (fraction % 10 == 0) {
                fraction /= 10;
                --width;
            }
            *p++ = '.';
            char digits[8];
            const int len =
                static_cast<int>(std::to_chars(digits, digits + 8, fraction).ptr - digits);
            for (int i = len; i < width; ++i)
                *p++ = '0';
            std::memcpy(p, digits, static_cast<size_t>(len));
            p += len;
        }
        return static_cast<size_t>(p - out);
    }
    return 0;
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
