// Checks FormatSimaNumber against the rule it shortcuts: the 15-digit form
// taken from the library's correctly rounded 18-digit conversion, as the
// converter wrote every coordinate before the shortcuts. Compares the bytes
// of both on many millions of values: random bit patterns over the whole
// range, coordinates with few decimals, points on circles as ellipses and
// arcs give them, dyadic fractions whose 19th digit is an exact tie, and
// the neighbours of powers of ten. Run by hand after changing the formatter:
//   check_sima_number [MILLIONS]   (default 50)
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string_view>

#include "sima/sima_number.h"

namespace reference {

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

size_t ReferenceFormat(double value, char* out) {
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

}  // namespace reference

namespace {

uint64_t checked = 0, failed = 0;

void Check(double v) {
    char a[64], b[64], c[64];
    const size_t na = quorvex::FormatSimaNumber(v, a);
    const size_t nb = reference::ReferenceFormat(v, b);
    const size_t nc = quorvex::FormatSimaNumberGeneral(v, c);
    ++checked;
    if (std::string_view(a, na) != std::string_view(b, nb) ||
        std::string_view(c, nc) != std::string_view(b, nb)) {
        if (++failed <= 20)
            std::printf("MISMATCH %.17g: fast %.*s general %.*s reference %.*s\n", v, int(na), a,
                        int(nc), c, int(nb), b);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const uint64_t millions = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 50;
    const uint64_t n = millions * 1000000 / 8;
    std::mt19937_64 rng(20261208);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (uint64_t i = 0; i < n; ++i) {
        // Any bit pattern.
        uint64_t bits = rng();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        Check(v);
        // Magnitudes spread evenly over the fast range and a little beyond.
        Check(std::ldexp(1.0 + unit(rng), static_cast<int>(rng() % 76) - 20));
        // Plane coordinates with 0 to 6 decimals.
        const int decimals = static_cast<int>(rng() % 7);
        const double scale = std::pow(10.0, decimals);
        Check(static_cast<double>(static_cast<int64_t>(rng() % 2000000000000ull) - 1000000000000) /
              scale);
        // Points on circles around such coordinates.
        const double cx = -35210.125 + static_cast<double>(rng() % 1000000) / 8.0;
        const double r = 0.5 + unit(rng) * 400.0, t = unit(rng) * 6.283185307179586;
        Check(cx + r * std::cos(t));
        Check(cx * 1000.0 + r * std::sin(t));
        // Odd multiples of 2^-t: many have exact ties at the 19th digit.
        const int t2 = 1 + static_cast<int>(rng() % 68);
        Check(std::ldexp(static_cast<double>((rng() >> 11) | 1), -t2));
        Check(std::ldexp(static_cast<double>((rng() >> (11 + rng() % 40)) | 1), -t2));
        // Neighbours of powers of ten.
        const double p10 = std::pow(10.0, static_cast<int>(rng() % 40) - 20);
        const int steps = static_cast<int>(rng() % 64) - 32;
        double w = p10;
        for (int s = 0; s < std::abs(steps); ++s)
            w = std::nextafter(w, steps < 0 ? 0.0 : 1e300);
        Check(w);
    }
    std::printf("%llu values checked, %llu mismatches\n", (unsigned long long)checked,
                (unsigned long long)failed);
    return failed == 0 ? 0 : 1;
}
