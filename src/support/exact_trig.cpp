// Correctly rounded sin, cos and atan2 in plain IEEE double arithmetic and
// 64-bit integers. Only additions, subtractions, multiplications and divisions
// of doubles are used, each rounded to nearest as IEEE prescribes; products
// are made exact by Veltkamp splitting (a fused multiply-add may be a software
// emulation on some systems, so none is used).
//
// Every evaluation first runs a fast path: argument reduction and a table
// with a short polynomial, giving the value as hi + lo with a proven error
// bound. When every value within the bound rounds to the same double, that
// double is the correctly rounded result. Otherwise (about one call in several
// thousand) an exact path evaluates the function in fixed point with 64-bit
// limbs, again with a proven bound, doubling the precision until the rounding
// is decided. The value of these functions at a nonzero double is never a
// rounding midpoint (it is transcendental), so the loop ends; 192 bits decide
// every case known.
//
// Error bounds below are given for the computed value against the exact one;
// "ulp" in the exact path means one unit of the last fixed-point bit.
#include "support/exact_trig.h"

#include <bit>
#include <cstdint>
#include <utility>

#include "support/double_double.h"

namespace quorvex {

namespace {

#include "support/exact_trig_tables.inc"

using u64 = uint64_t;
using u128 = unsigned __int128;

constexpr u64 kSignBit = 0x8000000000000000ULL;
constexpr u64 kMantissaMask = 0x000FFFFFFFFFFFFFULL;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;

// ---------------------------------------------------------------------------
// Doubles taken apart and put together exactly.

u64 Bits(double x) {
    return std::bit_cast<u64>(x);
}
double FromBits(u64 b) {
    return std::bit_cast<double>(b);
}
double Abs(double x) {
    return FromBits(Bits(x) & ~kSignBit);
}
bool SignBit(double x) {
    return (Bits(x) & kSignBit) != 0;
}
bool IsFinite(double x) {
    return (Bits(x) & 0x7FF0000000000000ULL) != 0x7FF0000000000000ULL;
}
bool IsNan(double x) {
    return (Bits(x) & ~kSignBit) > 0x7FF0000000000000ULL;
}
double WithSign(double magnitude, bool negative) {
    return negative ? -magnitude : magnitude;
}

// |x| = Mant * 2^Exp with Mant in [2^52, 2^53), for finite nonzero x.
struct TParts {
    u64 Mant;
    int Exp;
};

TParts Decompose(double x) {
    const u64 b = Bits(x) & ~kSignBit;
    const int field = static_cast<int>(b >> 52);
    const u64 fraction = b & kMantissaMask;
    if (field != 0) return {fraction | (1ULL << 52), field - 1075};
    const int shift = std::countl_zero(fraction) - 11;
    return {fraction << shift, -1074 - shift};
}

// m * 2^exp, which must be representable (m < 2^54; low bits dropped by a
// shift are zero). Used only where that holds by construction.
double MakeDouble(bool negative, u64 m, int exp) {
    if (m == 0) return WithSign(0.0, negative);
    const int lead = static_cast<int>(std::bit_width(m)) - 1;
    const int e = lead + exp;
    u64 b;
    if (e >= -1022) {
        const u64 mant = lead >= 52 ? m >> (lead - 52) : m << (52 - lead);
        b = (static_cast<u64>(e + 1023) << 52) | (mant & kMantissaMask);
    } else {
        const int shift = exp + 1074;
        b = shift >= 0 ? m << shift : m >> -shift;
    }
    return FromBits(b | (negative ? kSignBit : 0));
}

// ---------------------------------------------------------------------------
// Error-free transformations.

using namespace double_double;

// hi + lo is the value with |lo| <= ulp(hi)/2, and the exact result lies within
// err of it. True when every number in that interval rounds to hi: the
// distance from hi + lo to the nearer rounding boundary exceeds err. Next to a
// power of two the gap below is half as wide; the test then uses the smaller.
bool RoundsToHi(double hi, double lo, double err) {
    const u64 b = Bits(hi) & ~kSignBit;
    const u64 field = b >> 52;
    if (field < 56 || field > 2045) return false;
    const u64 halfField = (b & kMantissaMask) == 0 ? field - 54 : field - 53;
    const double half = FromBits(halfField << 52);
    const double d = Abs(lo) + err;
    // d is rounded; the added 2^-50 d makes the comparison safe.
    return d + d * 0x1p-50 < half;
}

// ---------------------------------------------------------------------------
// Fast sin and cos for 2^-27 <= |x| <= 16.
//
// Reduction: k = nearest integer to x 2/pi (|k| <= 10), r = x - k pi/2 with
// pi/2 = A + B + C + e, A and B of 49 bits, |e| < 2^-159. k A and k B are
// exact, and so is x - k A (Sterbenz); k C is rounded (error < 2^-152). The
// resulting rh + rl differs from r by less than 2^-104 |r| + 2^-145; for k = 0
// it is x itself. |r| <= pi/4 + 2^-48.
//
// Evaluation: with a = i/256 the table point nearest |rh| and z = |r| - a
// (|z| <= 2^-9 + 2^-48; zh = |rh| - a is exact by Sterbenz),
//   sin(a + z) = Sa + Ca z + Sa c + Ca s,   cos(a + z) = Ca - Sa z + Ca c - Sa s
// with c = cos z - 1 and s = sin z - z, series of zh to z^6 and z^7 (the
// terms left out are below 2^-87 and 2^-99) plus the first-order effect of
// rl. Sa and Ca are double-double (error 2^-106). The leading Sa + Ca zh
// (Ca - Sa zh) is formed exactly; the tail terms in doubles. The largest
// error is the rounding in the Sa c term: |c| <= 2^-19, computed with
// relative error 4.2 * 2^-53, so at most 2^-69.6 Sa; for i >= 1 the result is
// at least Sa / 2.1, and the other roundings (tail sum, s term) and the terms
// left out add less than 2^-70 of the result. For i = 0 the same holds
// relative to |z|. Altogether below 2^-67.5 of the result; 2^-66 is used,
// plus the reduction's absolute 2^-145.
constexpr double kFastTrigLimit = 16;
constexpr double kFastRelativeError = 0x1p-66;

bool FastSinCos(double x, bool wantCos, double& out) {
    const double t = x * kTwoOverPi;
    const double kd = (t + 0x1.8p52) - 0x1.8p52;  // rounded to the nearest integer
    const int k = static_cast<int>(kd);

    const TDD s1 = TwoSum(x - kd * kPio2A, -(kd * kPio2B));
    const TDD r = TwoSum(s1.Hi, s1.Lo - kd * kPio2C);

    // sin x = (sin r, cos r, -sin r, -cos r) and cos x = (cos r, -sin r,
    // -cos r, sin r) by quadrant k mod 4; sin(-r) = -sin r.
    const int q = k & 3;
    const bool useCos = wantCos != ((q & 1) != 0);
    bool negate = wantCos ? (q == 1 || q == 2) : (q >= 2);
    double rh = r.Hi, rl = r.Lo;
    if (rh < 0) {
        rh = -rh;
        rl = -rl;
        if (!useCos) negate = !negate;
    }

    const int i = static_cast<int>(rh * 256 + 0.5);
    const double zh = rh - i * (1.0 / 256);
    const double* row = kSinCosTable[i];
    const double sh = row[0], sl = row[1], ch = row[2], cl = row[3];

    const double zz = zh * zh;
    const double c = zz * (-0.5 + zz * (1.0 / 24 + zz * (-1.0 / 720))) - zh * rl;
    const double s = zh * zz * (-1.0 / 6 + zz * (1.0 / 120 + zz * (-1.0 / 5040))) - rl * zz * 0.5;

    TDD lead, prod;
    double tail;
    if (useCos) {
        prod = TwoProduct(sh, zh);
        lead = TwoSum(ch, -prod.Hi);
        tail = ((((lead.Lo - prod.Lo) + cl) - sh * rl) - sl * zh - sh * s) + ch * c;
    } else {
        prod = TwoProduct(ch, zh);
        lead = TwoSum(sh, prod.Hi);
        tail = ((((lead.Lo + prod.Lo) + sl) + ch * rl) + cl * zh + ch * s) + sh * c;
    }
    const TDD y = FastTwoSum(lead.Hi, tail);
    const double err = Abs(y.Hi) * kFastRelativeError + (k != 0 ? 0x1p-145 : 0.0);
    if (!RoundsToHi(y.Hi, y.Lo, err)) return false;
    out = WithSign(y.Hi, negate);
    return true;
}

// ---------------------------------------------------------------------------
// Fast atan2 for finite nonzero y, x whose smaller magnitude is at least 2^-600
// of the larger.
//
// With a <= b the magnitudes (swapped if |y| > |x|), both are scaled by the
// same power of two so b is in [1, 2) (exact), t = a / b = th + tl (tl from the
// exact remainder; error 2^-104 t). With c = i/128 nearest t,
//   atan t = atan c + atan u,   u = (t - c) / (1 + t c),   |u| <= 2^-8,
// u as uh + ul with relative error below 2^-100. atan u = u + u^3 P(u^2) to
// u^11 (remainder 2^-100 of the result); the first-order effect of ul is
// ul (1 - u^2). The polynomial term is at most |u|^3 / 3 <= 2^-16 theta / 3
// and computed with relative error 4 * 2^-53: 2^-68.6 of theta (theta >=
// atan(1/256) when i >= 1, or relative to u when i = 0); the tail sum adds
// 2^-69; atan c has error 2^-106. Below 2^-67.5 of theta altogether.
// pi/2 - theta (when swapped) and pi - that (x < 0) are formed in
// double-double and only grow the result, so 2^-66 of it bounds the error.
bool FastAtan2Positive(double y, double x, double& out) {
    double a = Abs(y), b = Abs(x);
    const bool swap = a > b;
    if (swap) std::swap(a, b);
    const TParts pa = Decompose(a), pb = Decompose(b);
    if (pa.Exp - pb.Exp < -600) return false;
    const double bs = MakeDouble(false, pb.Mant, -52);
    const double as = MakeDouble(false, pa.Mant, pa.Exp - pb.Exp - 52);

    const double th = as / bs;
    const TDD tb = TwoProduct(th, bs);
    const double tl = ((as - tb.Hi) - tb.Lo) / bs;

    const int i = static_cast<int>(th * 128 + 0.5);
    const double c = i * (1.0 / 128);
    const double nh = th - c;
    const TDD ct = TwoProduct(c, th);
    const TDD d = FastTwoSum(1.0, ct.Hi);
    const double dl = d.Lo + (ct.Lo + c * tl);
    const double uh = nh / d.Hi;
    const TDD ud = TwoProduct(uh, d.Hi);
    const double ul = ((((nh - ud.Hi) - ud.Lo) + tl) - uh * dl) / d.Hi;

    const double uu = uh * uh;
    const double poly =
        uh * uu * (-1.0 / 3 + uu * (1.0 / 5 + uu * (-1.0 / 7 + uu * (1.0 / 9 + uu * (-1.0 / 11)))));
    const TDD lead = TwoSum(kAtanTable[i][0], uh);
    const double tail = ((lead.Lo + kAtanTable[i][1]) + (ul - uu * ul)) + poly;
    TDD v = FastTwoSum(lead.Hi, tail);

    auto fromConstant = [](double hi, double lo, TDD w) {
        const TDD h = TwoSum(hi, -w.Hi);
        return FastTwoSum(h.Hi, h.Lo + (lo - w.Lo));
    };
    if (swap) v = fromConstant(kPio2Hi, kPio2Lo, v);
    if (SignBit(x)) v = fromConstant(kPiHi, kPiLo, v);
    if (!RoundsToHi(v.Hi, v.Lo, Abs(v.Hi) * kFastRelativeError)) return false;
    out = WithSign(v.Hi, SignBit(y));
    return true;
}

// ---------------------------------------------------------------------------
// Exact path: unsigned fixed point, N 64-bit limbs, the first the integer
// part, the others the fraction (most significant first). All values here are
// below 4. Every operation truncates, at most one unit of the last limb.

template <int N>
struct TFixed {
    u64 W[N] = {};
};

template <int N>
bool IsZero(const TFixed<N>& a) {
    for (u64 w : a.W)
        if (w != 0) return false;
    return true;
}

template <int N>
bool Less(const TFixed<N>& a, const TFixed<N>& b) {
    for (int i = 0; i < N; ++i)
        if (a.W[i] != b.W[i]) return a.W[i] < b.W[i];
    return false;
}

template <int N>
void AddTo(TFixed<N>& a, const TFixed<N>& b) {
    u64 carry = 0;
    for (int i = N - 1; i >= 0; --i) {
        const u128 s = static_cast<u128>(a.W[i]) + b.W[i] + carry;
        a.W[i] = static_cast<u64>(s);
        carry = static_cast<u64>(s >> 64);
    }
}

template <int N>
void SubFrom(TFixed<N>& a, const TFixed<N>& b) {  // a >= b
    u64 borrow = 0;
    for (int i = N - 1; i >= 0; --i) {
        const u64 d = a.W[i] - b.W[i] - borrow;
        borrow = (a.W[i] < b.W[i] || (a.W[i] == b.W[i] && borrow)) ? 1 : 0;
        a.W[i] = d;
    }
}

template <int N>
void AddSmall(TFixed<N>& a, u64 units) {  // a += units ulp
    TFixed<N> b;
    b.W[N - 1] = units;
    AddTo(a, b);
}

template <int N>
TFixed<N> Mul(const TFixed<N>& a, const TFixed<N>& b) {
    // Full product; limb p of it has weight 2^(64 (1 - p)).
    u64 full[2 * N + 1] = {};
    for (int i = N - 1; i >= 0; --i) {
        u64 carry = 0;
        for (int j = N - 1; j >= 0; --j) {
            const u128 t = static_cast<u128>(a.W[i]) * b.W[j] + full[i + j + 1] + carry;
            full[i + j + 1] = static_cast<u64>(t);
            carry = static_cast<u64>(t >> 64);
        }
        full[i] = carry;
    }
    TFixed<N> r;
    for (int k = 0; k < N; ++k)
        r.W[k] = full[k + 1];
    return r;
}

template <int N>
TFixed<N> MulSmall(const TFixed<N>& a, u64 m) {  // the integer limb keeps the low 64 bits
    TFixed<N> r;
    u64 carry = 0;
    for (int i = N - 1; i >= 0; --i) {
        const u128 t = static_cast<u128>(a.W[i]) * m + carry;
        r.W[i] = static_cast<u64>(t);
        carry = static_cast<u64>(t >> 64);
    }
    return r;
}

template <int N>
TFixed<N> DivSmall(const TFixed<N>& a, u64 d, bool* exact = nullptr) {
    TFixed<N> r;
    u128 rem = 0;
    for (int i = 0; i < N; ++i) {
        const u128 cur = (rem << 64) | a.W[i];
        r.W[i] = static_cast<u64>(cur / d);
        rem = cur % d;
    }
    if (exact != nullptr) *exact = rem == 0;
    return r;
}

template <int N>
TFixed<N> ShiftRight(const TFixed<N>& a, long bits) {
    TFixed<N> r;
    if (bits >= 64L * N) return r;
    const int limbs = static_cast<int>(bits / 64), off = static_cast<int>(bits % 64);
    for (int i = N - 1; i >= limbs; --i) {
        u64 w = a.W[i - limbs] >> off;
        if (off != 0 && i - limbs - 1 >= 0) w |= a.W[i - limbs - 1] << (64 - off);
        r.W[i] = w;
    }
    return r;
}

// Bits p .. p + 63 (counted from the last bit, which is bit 0) as an integer.
template <int N>
u64 BitsFrom(const TFixed<N>& a, long p) {
    if (p >= 64L * N) return 0;
    const int limb = N - 1 - static_cast<int>(p / 64), off = static_cast<int>(p % 64);
    u64 w = a.W[limb] >> off;
    if (off != 0 && limb >= 1) w |= a.W[limb - 1] << (64 - off);
    return w;
}

template <int N>
long LeadingBit(const TFixed<N>& a) {  // -1 for zero
    for (int i = 0; i < N; ++i)
        if (a.W[i] != 0) return 64L * (N - 1 - i) + static_cast<long>(std::bit_width(a.W[i])) - 1;
    return -1;
}

template <int N>
TFixed<N> FixedPio2() {
    TFixed<N> r;
    r.W[0] = 1;
    for (int i = 1; i < N; ++i)
        r.W[i] = kPiOver2Fraction[i - 1];
    return r;
}

// v * 2^-(64 (N - 1) + scale) rounded to the nearest double (subnormals
// included), taking a set round bit as rounding up. False when v does not
// reach the rounding bit.
template <int N>
bool RoundOne(const TFixed<N>& v, long scale, double& out) {
    const long lead = LeadingBit(v);
    if (lead < 0) return false;
    const long bit0 = -64L * (N - 1) - scale;  // exponent of bit 0
    long ulpBit = lead - 52;
    if (lead + bit0 < -1022) ulpBit = -1074 - bit0;
    const long roundBit = ulpBit - 1;
    if (roundBit < 0) return false;
    const u64 t = BitsFrom(v, roundBit);
    out = MakeDouble(false, (t >> 1) + (t & 1), static_cast<int>(ulpBit + bit0));
    return true;
}

// Rounds (v +- err ulp) * 2^-scale, where ulp = 2^-(64 (N - 1)), once to the
// nearest double. Rounding is monotonic, so when both ends of the interval
// round to the same double every value inside does too; the exact value is
// never a midpoint, so how the ends would break a tie does not matter. Fails
// when the ends round apart.
template <int N>
bool RoundFixed(const TFixed<N>& v, u64 err, long scale, bool negative, double& out) {
    TFixed<N> lo = v, hi = v, e;
    e.W[N - 1] = err;
    if (Less(v, e)) return false;
    SubFrom(lo, e);
    AddTo(hi, e);
    double rlo, rhi;
    if (!RoundOne(lo, scale, rlo) || !RoundOne(hi, scale, rhi) || rlo != rhi) return false;
    out = WithSign(rhi, negative);
    return true;
}

// Bits pos .. pos + 63 after the binary point of 2/pi (bit 1 weighs 1/2); bits
// before the point are zero.
u64 TwoOverPiBits(long pos) {
    constexpr long kBits = 64L * 40;
    if (pos < 1) return pos <= -63 ? 0 : TwoOverPiBits(1) >> (1 - pos);
    if (pos > kBits) return 0;
    const long idx = (pos - 1) / 64, off = (pos - 1) % 64;
    u64 w = kTwoOverPiBits[idx] << off;
    if (off != 0 && idx + 1 < 40) w |= kTwoOverPiBits[idx + 1] >> (64 - off);
    return w;
}

// sin or cos of |x| >= 2^-27, x finite, with N limbs.
//
// Reduction (Payne-Hanek): |x| = m 2^e, and x 2/pi mod 4 = m (2^e 2/pi mod 4),
// the latter read from the bits of 2/pi with N fraction limbs (error below
// 2^-64N, times m < 2^53: under 2^-11 ulp). Its integer part mod 4 is the
// quadrant, the fraction f, truncated (1 ulp); f > 1/2 becomes f - 1. r = f
// pi/2 within 3.1 ulp, |r| <= pi/4. The Taylor series then runs until a term
// vanishes; each term carries at most 4.5 ulp of error (the divisors shrink
// what it inherits), and the terms left out sum to under 6 ulp. So n terms
// give an error below 6n + 32 ulp.
template <int N>
bool SlowSinCosN(double x, bool wantCos, double& out) {
    const TParts p = Decompose(x);
    TFixed<N + 1> a;
    a.W[0] = TwoOverPiBits(p.Exp - 1) >> 62;
    for (int j = 1; j <= N; ++j)
        a.W[j] = TwoOverPiBits(p.Exp + 64L * (j - 1) + 1);
    const TFixed<N + 1> y = MulSmall(a, p.Mant);

    int q = static_cast<int>(y.W[0] & 3);
    TFixed<N> f;
    for (int j = 1; j < N; ++j)
        f.W[j] = y.W[j];
    bool rNegative = false;
    if (f.W[1] >> 63) {
        TFixed<N> one;
        one.W[0] = 1;
        SubFrom(one, f);
        f = one;
        q = (q + 1) & 3;
        rNegative = true;
    }
    const TFixed<N> r = Mul(f, FixedPio2<N>());

    const bool useCos = wantCos != ((q & 1) != 0);
    bool negative = wantCos ? (q == 1 || q == 2) : (q >= 2);
    if (!useCos && rNegative) negative = !negative;
    if (!wantCos && SignBit(x)) negative = !negative;

    const TFixed<N> r2 = Mul(r, r);
    TFixed<N> sum, term;
    if (useCos) {
        sum.W[0] = term.W[0] = 1;
    } else {
        sum = term = r;
    }
    long n = 0;
    for (u64 k = useCos ? 1 : 2;; k += 2) {
        term = DivSmall(Mul(term, r2), k * (k + 1));
        if (IsZero(term)) break;
        ++n;
        if (n % 2 == 1) {
            SubFrom(sum, term);
        } else {
            AddTo(sum, term);
        }
    }
    return RoundFixed(sum, static_cast<u64>(6 * n + 32), 0, negative, out);
}

// sum of (-1)^k u^(2k+1) 2^(-2ks) / (2k+1), for u < 1 and u 2^-s <= 5/11:
// atan(u 2^-s) 2^s. u carries 1 ulp of error, u^2 2^-2s 4; each power carries
// at most 6.1 and each term 3.1; the terms left out stay under 8. n terms:
// below 4n + 16 ulp (including the 1 of u).
template <int N>
TFixed<N> AtanSeries(const TFixed<N>& u, long s, u64& err) {
    const TFixed<N> u2 = ShiftRight(Mul(u, u), 2 * s);
    TFixed<N> sum = u, power = u;
    long n = 0;
    for (u64 k = 1;; ++k) {
        power = Mul(power, u2);
        if (IsZero(power)) break;
        ++n;
        const TFixed<N> term = DivSmall(power, 2 * k + 1);
        if (k % 2 == 1) {
            SubFrom(sum, term);
        } else {
            AddTo(sum, term);
        }
    }
    err = static_cast<u64>(4 * n + 16);
    return sum;
}

// atan2 of finite nonzero y, x with N limbs. With a <= b the magnitudes and
// t = a/b: for t >= 3/8, atan t = pi/4 - atan v with v = (b - a)/(b + a)
// <= 5/11, a ratio of integers below 2^56 since the exponents of a and b then
// differ by at most 2. Otherwise t = u 2^-s with u in [1/2, 1), s >= 1, and
// the scaled series keeps full relative precision however small t is.
// From t = u 2^-kTinyScale down, atan t is handled as t less a vanishing part.
constexpr long kTinyScale = 300;

template <int N>
bool SlowAtan2N(double y, double x, double& out) {
    double a = Abs(y), b = Abs(x);
    const bool swap = a > b;
    if (swap) std::swap(a, b);
    const TParts pa = Decompose(a), pb = Decompose(b);
    const long gap = static_cast<long>(pb.Exp) - pa.Exp;  // >= 0 as a <= b
    TFixed<N> theta;
    u64 err;
    long scale = 0;
    if (gap <= 2 && 8 * pa.Mant >= 3 * (pb.Mant << gap)) {
        TFixed<N> num;
        num.W[0] = (pb.Mant << gap) - pa.Mant;
        const TFixed<N> v = DivSmall(num, pa.Mant + (pb.Mant << gap));
        const TFixed<N> atanV = AtanSeries(v, 0, err);
        theta = ShiftRight(FixedPio2<N>(), 1);
        SubFrom(theta, atanV);
        err += 1;
    } else {
        TFixed<N> num;
        num.W[0] = pa.Mant;
        u64 den = pb.Mant;
        scale = gap;
        if (pa.Mant >= pb.Mant) {
            den *= 2;
            scale = gap - 1;
        }
        bool exact;
        const TFixed<N> u = DivSmall(num, den, &exact);
        if (scale >= kTinyScale && !swap && !SignBit(x)) {
            // atan t = t (1 - d) with 0 < d < t^2 < 2^-600, far less than the
            // distance from t to any rounding boundary unless t (that is, u)
            // lies on one, where the result is what just below t rounds to.
            // u truncates t: when it is exact, 1 ulp below it rounds as just
            // below t; otherwise t, and the result, lie strictly between u
            // and u + 1 ulp, where u itself rounds as every value does.
            TFixed<N> below = u, ulp;
            ulp.W[N - 1] = 1;
            if (exact) SubFrom(below, ulp);
            double r;
            if (!RoundOne(below, scale, r)) return false;
            out = WithSign(r, SignBit(y));
            return true;
        }
        theta = AtanSeries(u, scale, err);
    }
    if (!swap && !SignBit(x)) return RoundFixed(theta, err, scale, SignBit(y), out);

    // The angle is pi/2 - theta or pi -+ ...: theta in plain fixed point.
    if (scale != 0) {
        theta = ShiftRight(theta, scale);
        err = 1 + (scale < 60 ? (err >> scale) + 1 : 1);
    }
    TFixed<N> angle = theta;
    if (swap) {
        angle = FixedPio2<N>();
        SubFrom(angle, theta);
        err += 1;
    }
    if (SignBit(x)) {
        TFixed<N> pi = FixedPio2<N>();
        AddTo(pi, FixedPio2<N>());
        SubFrom(pi, angle);
        angle = pi;
        err += 2;
    }
    return RoundFixed(angle, err, 0, SignBit(y), out);
}

double SlowSinCos(double x, bool wantCos) {
    double out = 0;
    if (SlowSinCosN<4>(x, wantCos, out) || SlowSinCosN<8>(x, wantCos, out) ||
        SlowSinCosN<16>(x, wantCos, out))
        return out;
    return out;  // not reached for any double known
}

}  // namespace

namespace exact_trig_paths {

bool FastSin(double x, double& out) {
    return FastSinCos(x, false, out);
}
bool FastCos(double x, double& out) {
    return FastSinCos(x, true, out);
}
bool FastAtan2(double y, double x, double& out) {
    return FastAtan2Positive(y, x, out);
}
double SlowSin(double x) {
    return SlowSinCos(x, false);
}
double SlowCos(double x) {
    return SlowSinCos(x, true);
}
double SlowAtan2(double y, double x) {
    double out = 0;
    if (SlowAtan2N<4>(y, x, out) || SlowAtan2N<8>(y, x, out) || SlowAtan2N<16>(y, x, out))
        return out;
    return out;  // not reached for any double known
}

}  // namespace exact_trig_paths

// Below 2^-27 the next term of either series is under half an ulp: sin x
// rounds to x and cos x to 1.
double ExactSin(double x) {
    const double ax = Abs(x);
    if (!IsFinite(x)) return x - x;
    if (ax < 0x1p-27) return x;
    double out;
    if (ax <= kFastTrigLimit && FastSinCos(x, false, out)) return out;
    return SlowSinCos(x, false);
}

double ExactCos(double x) {
    const double ax = Abs(x);
    if (!IsFinite(x)) return x - x;
    if (ax < 0x1p-27) return 1.0;
    double out;
    if (ax <= kFastTrigLimit && FastSinCos(x, true, out)) return out;
    return SlowSinCos(x, true);
}

double ExactAtan2(double y, double x) {
    if (IsNan(x) || IsNan(y)) return x + y;
    const bool negative = SignBit(y);
    if (y == 0) return SignBit(x) ? WithSign(kPiHi, negative) : y;
    if (!IsFinite(y)) {
        if (!IsFinite(x)) return WithSign(SignBit(x) ? k3Pio4Hi : kPio4Hi, negative);
        return WithSign(kPio2Hi, negative);
    }
    if (!IsFinite(x)) return SignBit(x) ? WithSign(kPiHi, negative) : WithSign(0.0, negative);
    if (x == 0) return WithSign(kPio2Hi, negative);
    double out;
    if (FastAtan2Positive(y, x, out)) return out;
    return exact_trig_paths::SlowAtan2(y, x);
}

}  // namespace quorvex
