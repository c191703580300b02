#include "sima/sima_number.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

namespace quorvex {

namespace {

constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Decimal digits of `v`; returns the end.
char* WriteUnsigned(uint64_t v, char* out) {
    char tmp[20];
    char* t = tmp + sizeof tmp;
    while (v >= 100) {
        t -= 2;
        std::memcpy(t, kPairs + 2 * (v % 100), 2);
        v /= 100;
    }
    if (v >= 10) {
        t -= 2;
        std::memcpy(t, kPairs + 2 * v, 2);
    } else {
        *--t = static_cast<char>('0' + v);
    }
    const auto n = static_cast<size_t>(tmp + sizeof tmp - t);
    std::memcpy(out, t, n);
    return out + n;
}

// Coordinates mostly have a few decimals: when the magnitude is the double
// nearest to a decimal with at most four decimals, its 15-digit form is that
// decimal, written in fixed-point form without trailing zeros. Below 10^10
// such decimals lie further apart than the doubles near them, so the one
// found with four decimals is the only one. Returns 0 for other values.
size_t FormatShortFixed(double magnitude, char* out) {
    if (!(magnitude >= 1e-3 && magnitude < 1e10)) return 0;
    // Adding and taking away 2^52 rounds to the nearest integer, ties to
    // even, as nearbyint does, for values below 2^52.
    const double scaled = magnitude * 1e4;
    const double m = (scaled + 0x1p52) - 0x1p52;
    // A decimal with four decimals lies within a few units in the last
    // place of `scaled` from `m`; most other values lie much further off,
    // and are turned away before the division decides.
    if (std::fabs(scaled - m) > scaled * 1e-12 || m / 1e4 != magnitude) return 0;
    const auto units = static_cast<uint64_t>(m);
    char* p = WriteUnsigned(units / 10000, out);
    if (const auto fraction = static_cast<uint32_t>(units % 10000)) {
        *p++ = '.';
        std::memcpy(p, kPairs + 2 * (fraction / 100), 2);
        std::memcpy(p + 2, kPairs + 2 * (fraction % 100), 2);
        p += 4;
        while (p[-1] == '0')
            --p;
    }
    return static_cast<size_t>(p - out);
}

constexpr uint64_t kE17 = 100000000000000000ull;
constexpr uint64_t kE15 = 1000000000000000ull;

// The magnitude to 18 significant digits, correctly rounded (ties to even):
// `digits` in [10^17, 10^18) and the power of ten of the first digit.
struct TDigits18 {
    uint64_t digits;
    int exp10;
};

// Any finite magnitude, through the library's correctly rounded conversion.
TDigits18 Digits18General(double magnitude) {
    char sci[40];
    const auto res =
        std::to_chars(sci, sci + sizeof sci, magnitude, std::chars_format::scientific, 17);
    uint64_t digits = static_cast<uint64_t>(sci[0] - '0');
    for (int i = 2; i < 19; ++i)
        digits = digits * 10 + static_cast<uint64_t>(sci[i] - '0');
    int exp10 = 0;
    std::from_chars(sci + 20 + (sci[20] == '+' ? 1 : 0), res.ptr, exp10);
    return {digits, exp10};
}

using u128 = unsigned __int128;

constexpr u128 Pow10(int n) {
    u128 v = 1;
    for (int i = 0; i < n; ++i)
        v *= 10;
    return v;
}

template <int... N>
constexpr auto MakePow10(std::integer_sequence<int, N...>) {
    return std::array<u128, sizeof...(N)>{Pow10(N)...};
}

constexpr auto kPow10Wide = MakePow10(std::make_integer_sequence<int, 23>{});
constexpr double kPow10Double[] = {1e0, 1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7, 1e8,
                                   1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16};

// The same for magnitudes from 2^-16 up to 2^53, exactly in integers: the
// double is m / 2^k, so m * 10^s / 2^k with s = 17 - exp10 has the 18
// digits before its binary point and the rounding in the bits after it;
// m * 10^s stays below 2^53 * 10^22 < 2^127. False for other magnitudes.
bool Digits18Exact(double magnitude, TDigits18& out) {
    uint64_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biased = static_cast<int>(bits >> 52);
    if (biased == 0) return false;  // subnormal
    const int k = 1075 - biased;
    if (k < 0 || k > 52 + 16) return false;
    const uint64_t m = (bits & ((uint64_t(1) << 52) - 1)) | (uint64_t(1) << 52);
    // floor(log10(2) * floor(log2(v))): exp10 itself or one less; from 1 up,
    // where the powers of ten are exact doubles, one comparison settles it
    // before the first multiplication.
    int exp10 = ((52 - k) * 78913) >> 18;
    if (exp10 >= -1 && exp10 + 1 < static_cast<int>(std::size(kPow10Double)) &&
        magnitude >= kPow10Double[static_cast<size_t>(exp10 + 1)])
        ++exp10;
    for (;;) {
        const int s = 17 - exp10;
        if (s < 0 || s > 22) return false;
        const u128 n = static_cast<u128>(m) * kPow10Wide[static_cast<size_t>(s)];
        u128 q = n >> k;
        if (q < kE17) {
            --exp10;
            continue;
        }
        if (q >= 10 * kE17) {
            ++exp10;
            continue;
        }
        if (k > 0) {
            const u128 rest = n - (q << k);
            const u128 half = static_cast<u128>(1) << (k - 1);
            if (rest > half || (rest == half && (q & 1) != 0)) ++q;
        }
        if (q == 10 * kE17) {
            q = kE17;
            ++exp10;
        }
        out = {static_cast<uint64_t>(q), exp10};
        return true;
    }
}

void Write4(char* p, uint32_t v) {
    std::memcpy(p, kPairs + 2 * (v / 100), 2);
    std::memcpy(p + 2, kPairs + 2 * (v % 100), 2);
}

// Rounds the 18 digits to 15, a 16th digit of 5 or more rounding up, and
// writes the result in fixed-point form for values from 1E-4 up to fifteen
// nines and in scientific form beyond. Returns the end of the text.
char* WriteDigits18(TDigits18 d, char* p) {
    uint64_t v = d.digits / 1000;
    if (d.digits % 1000 >= 500) ++v;
    int exp10 = d.exp10;
    if (v == kE15) {
        v = kE15 / 10;
        ++exp10;
    }
    // Fifteen digits, in independent groups of four; the bytes after them
    // are copied along by the fixed-size copies below and then overwritten
    // or left past the end of the text.
    char digits[32] = {};
    const auto hi = static_cast<uint32_t>(v / 100000000);  // 7 digits
    const auto lo = static_cast<uint32_t>(v % 100000000);  // 8 digits
    Write4(digits + 11, lo % 10000);
    Write4(digits + 7, lo / 10000);
    Write4(digits + 3, hi % 10000);
    digits[0] = static_cast<char>('0' + hi / 1000000);
    std::memcpy(digits + 1, kPairs + 2 * (hi / 10000 % 100), 2);
    int len = 15;
    while (len > 1 && digits[len - 1] == '0')
        --len;

    // E counts the digits before the decimal point: value = 0.d1d2... * 10^E.
    const int E = exp10 + 1;
    // Fixed-size copies of 16 digits: the text and what they write past it
    // stay within kSimaNumberMax bytes of the start (a sign, 14 digits, the
    // point and 16 at most), and the ends are set by the lengths.
    if (E >= -3 && E <= 15) {
        if (E <= 0) {
            std::memcpy(p, "0.000", 5);
            p += 2 - E;
            std::memcpy(p, digits, 16);
            p += len;
        } else if (len <= E) {
            std::memcpy(p, digits, 16);
            std::memcpy(p + len, "0000000000000000", 16);
            p += E;
        } else {
            std::memcpy(p, digits, 16);
            p += E;
            *p++ = '.';
            std::memcpy(p, digits + E, 16);
            p += len - E;
        }
    } else {
        *p++ = digits[0];
        if (len > 1) {
            *p++ = '.';
            std::memcpy(p, digits + 1, 16);
            p += len - 1;
        }
        *p++ = 'E';
        p = std::to_chars(p, p + 8, E - 1).ptr;
    }
    return p;
}

template <bool kShortcuts>
size_t Format(double value, char* out) {
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
    TDigits18 d;
    if constexpr (kShortcuts) {
        if (const size_t n = FormatShortFixed(magnitude, p))
            return static_cast<size_t>(p - out) + n;
        if (!Digits18Exact(magnitude, d)) d = Digits18General(magnitude);
    } else {
        d = Digits18General(magnitude);
    }
    return static_cast<size_t>(WriteDigits18(d, p) - out);
}

}  // namespace

size_t FormatSimaNumber(double value, char* out) {
    return Format<true>(value, out);
}

size_t FormatSimaNumberGeneral(double value, char* out) {
    return Format<false>(value, out);
}

}  // namespace quorvex
