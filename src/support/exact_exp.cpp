// exp, log, the hyperbolic functions and hypot in double-double arithmetic:
// a value is carried as Hi + Lo with |Lo| <= ulp(Hi)/2, and every operation
// below keeps about 104 bits. Only additions, subtractions, multiplications,
// divisions and square roots of doubles are used, each rounded to nearest as
// IEEE prescribes; products are made exact by Veltkamp splitting (no fused
// multiply-add, which some systems emulate in software).
//
// The kernels:
// - expm1(r) from s = r 2^-h, halved until |s| < 2^-8: its Taylor series to
//   s^10 (the rest is below 2^-117 of the value), then doubled back h times
//   with expm1(2t) = m (2 + m), which keeps the relative error of m (each
//   step adds about 3 * 2^-104, and the error of m is multiplied by at most
//   1.5 per step);
// - exp(x) = 2^k exp(r), |r| <= ln 2 / 2, with k ln 2 subtracted exactly
//   (ln 2 in three parts, the products by TwoProduct): 1 + expm1(r);
// - log(x) = e ln 2 + 2 atanh(z), z = (m - 1) / (m + 1), m = x 2^-e in
//   [sqrt(1/2), sqrt 2), |z| <= 0.1716; the series of atanh runs until z^2k is
//   below 2^-108.
// Each function's value comes out within 2^-98 of the true one (relative)
// before the one rounding to a double, which FastTwoSum does: Hi is the
// double nearest Hi + Lo. Before that, small arguments of the hyperbolic
// functions and their inverses take a fast path (further below) that sums
// most of their series in plain doubles and keeps its result only when the
// rounding is certain.
#include "support/exact_exp.h"

#include <bit>
#include <cmath>  // std::sqrt only: IEEE prescribes its rounding
#include <cstdint>
#include <limits>
#include <utility>

#include "support/double_double.h"

namespace quorvex {

namespace {

using u64 = uint64_t;

constexpr u64 kSignBit = 0x8000000000000000ULL;

u64 Bits(double x) {
    return std::bit_cast<u64>(x);
}
double FromBits(u64 b) {
    return std::bit_cast<double>(b);
}
double Abs(double x) {
    return FromBits(Bits(x) & ~kSignBit);
}
bool IsNan(double x) {
    return (Bits(x) & ~kSignBit) > 0x7FF0000000000000ULL;
}
bool IsInf(double x) {
    return (Bits(x) & ~kSignBit) == 0x7FF0000000000000ULL;
}
double WithSign(double magnitude, bool negative) {
    return negative ? -magnitude : magnitude;
}

// 2^k for -1022 <= k <= 1023.
double Pow2(int k) {
    return FromBits(static_cast<u64>(k + 1023) << 52);
}

// v 2^k, exact unless the result overflows or falls below the normal range.
double ScaleByPow2(double v, int k) {
    while (k > 1000) {
        v *= Pow2(1000);
        k -= 1000;
    }
    while (k < -1000) {
        v *= Pow2(-1000);
        k += 1000;
    }
    return v * Pow2(k);
}

// The exponent e of a finite nonzero x: 2^e <= |x| < 2^(e+1).
int ExponentOf(double x) {
    const u64 b = Bits(x) & ~kSignBit;
    const int field = static_cast<int>(b >> 52);
    if (field != 0) return field - 1023;
    return -1011 - std::countl_zero(b);  // subnormal: bit 51 gives -1023
}

// ---------------------------------------------------------------------------
// Double-double arithmetic.

using namespace double_double;

TDD D(double a) {
    return {a, 0};
}

TDD Add(TDD a, TDD b) {
    TDD s = TwoSum(a.Hi, b.Hi);
    const TDD t = TwoSum(a.Lo, b.Lo);
    s = FastTwoSum(s.Hi, s.Lo + t.Hi);
    return FastTwoSum(s.Hi, s.Lo + t.Lo);
}

TDD Neg(TDD a) {
    return {-a.Hi, -a.Lo};
}

TDD Sub(TDD a, TDD b) {
    return Add(a, Neg(b));
}

TDD Mul(TDD a, TDD b) {
    const TDD p = TwoProduct(a.Hi, b.Hi);
    return FastTwoSum(p.Hi, p.Lo + (a.Hi * b.Lo + a.Lo * b.Hi));
}

TDD MulD(TDD a, double b) {
    const TDD p = TwoProduct(a.Hi, b);
    return FastTwoSum(p.Hi, p.Lo + a.Lo * b);
}

// Times a power of two: exact while nothing leaves the normal range.
TDD Scale(TDD a, int k) {
    return {ScaleByPow2(a.Hi, k), ScaleByPow2(a.Lo, k)};
}

// Long division by three quotient digits.
TDD Div(TDD a, TDD b) {
    const double q1 = a.Hi / b.Hi;
    TDD r = Sub(a, MulD(b, q1));
    const double q2 = r.Hi / b.Hi;
    r = Sub(r, MulD(b, q2));
    const double q3 = r.Hi / b.Hi;
    return Add(FastTwoSum(q1, q2), D(q3));
}

// a > 0: one Newton step from the correctly rounded root of Hi, whose square
// differs from Hi by less than ulp(Hi) (so Hi minus it is exact, Sterbenz).
TDD Sqrt(TDD a) {
    const double s = std::sqrt(a.Hi);
    const TDD sq = TwoProduct(s, s);
    const double rest = ((a.Hi - sq.Hi) - sq.Lo) + a.Lo;
    return FastTwoSum(s, rest / (2 * s));
}

// ---------------------------------------------------------------------------
// Constants (mpmath; Hi the nearest double, Lo the nearest to the rest).

constexpr double kLn2Hi = 0x1.62e42fefa39efp-1;
constexpr double kLn2Lo = 0x1.abc9e3b39803fp-56;
constexpr double kLn2Lo2 = 0x1.7b57a079a1934p-111;
constexpr double kInvLn2 = 0x1.71547652b82fep+0;
constexpr double kSqrtHalf = 0x1.6a09e667f3bcdp-1;
constexpr double kSqrt2 = 0x1.6a09e667f3bcdp+0;

// 1/k! for k = 2 .. 10.
constexpr TDD kInverseFactorial[] = {
    {0x1.0000000000000p-1, 0x0.0p+0},
    {0x1.5555555555555p-3, 0x1.5555555555555p-57},
    {0x1.5555555555555p-5, 0x1.5555555555555p-59},
    {0x1.1111111111111p-7, 0x1.1111111111111p-63},
    {0x1.6c16c16c16c17p-10, -0x1.f49f49f49f49fp-65},
    {0x1.a01a01a01a01ap-13, 0x1.a01a01a01a01ap-73},
    {0x1.a01a01a01a01ap-16, 0x1.a01a01a01a01ap-76},
    {0x1.71de3a556c734p-19, -0x1.c154f8ddc6c00p-73},
    {0x1.27e4fb7789f5cp-22, 0x1.cbbc05b4fa99ap-76},
};

// 1/(2k + 1) for k = 1 .. 25.
constexpr TDD kInverseOdd[] = {
    {0x1.5555555555555p-2, 0x1.5555555555555p-56},  {0x1.999999999999ap-3, -0x1.999999999999ap-57},
    {0x1.2492492492492p-3, 0x1.2492492492492p-57},  {0x1.c71c71c71c71cp-4, 0x1.c71c71c71c71cp-58},
    {0x1.745d1745d1746p-4, -0x1.745d1745d1746p-59}, {0x1.3b13b13b13b14p-4, -0x1.3b13b13b13b14p-58},
    {0x1.1111111111111p-4, 0x1.1111111111111p-60},  {0x1.e1e1e1e1e1e1ep-5, 0x1.e1e1e1e1e1e1ep-61},
    {0x1.af286bca1af28p-5, 0x1.af286bca1af28p-59},  {0x1.8618618618618p-5, 0x1.8618618618618p-59},
    {0x1.642c8590b2164p-5, 0x1.642c8590b2164p-60},  {0x1.47ae147ae147bp-5, -0x1.eb851eb851eb8p-61},
    {0x1.2f684bda12f68p-5, 0x1.2f684bda12f68p-59},  {0x1.1a7b9611a7b96p-5, 0x1.1a7b9611a7b96p-61},
    {0x1.0842108421084p-5, 0x1.0842108421084p-60},  {0x1.f07c1f07c1f08p-6, -0x1.f07c1f07c1f08p-61},
    {0x1.d41d41d41d41dp-6, 0x1.0750750750750p-60},  {0x1.bacf914c1bad0p-6, -0x1.bacf914c1bad0p-60},
    {0x1.a41a41a41a41ap-6, 0x1.0690690690690p-60},  {0x1.8f9c18f9c18fap-6, -0x1.f3831f3831f38p-61},
    {0x1.7d05f417d05f4p-6, 0x1.7d05f417d05f4p-62},  {0x1.6c16c16c16c17p-6, -0x1.f49f49f49f49fp-61},
    {0x1.5c9882b931057p-6, 0x1.310572620ae4cp-61},  {0x1.4e5e0a72f0539p-6, 0x1.e0a72f0539783p-60},
    {0x1.4141414141414p-6, 0x1.4141414141414p-62},
};

TDD Ln2Times(int e) {
    const TDD a = TwoProduct(e, kLn2Hi);
    const TDD b = TwoProduct(e, kLn2Lo);
    return Add(a, FastTwoSum(b.Hi, b.Lo + e * kLn2Lo2));
}

// ---------------------------------------------------------------------------
// Kernels.

// expm1(r) for |r| < 2: the series at s = r 2^-h, |s| < 2^-8, then h
// doublings. The terms from s^8/8! on are below 2^-56 of s and are summed in
// plain doubles.
TDD ExpM1Kernel(TDD r) {
    if (r.Hi == 0) return D(0);
    int halvings = ExponentOf(r.Hi) + 9;
    if (halvings < 0) halvings = 0;
    const TDD s = Scale(r, -halvings);
    double tail = kInverseFactorial[8].Hi;  // 1/10!
    for (int k = 7; k >= 6; --k)
        tail = kInverseFactorial[k].Hi + s.Hi * tail;
    TDD q = D(tail);
    for (int k = 5; k >= 0; --k)
        q = Add(kInverseFactorial[k], Mul(s, q));
    TDD m = Mul(s, Add(D(1), Mul(s, q)));
    for (int i = 0; i < halvings; ++i)
        m = Mul(m, Add(D(2), m));
    return m;
}

// exp(x) = M 2^K for |x| < 746, M in [sqrt(1/2), sqrt 2] roughly.
struct TScaled {
    TDD M;
    int K;
};

TScaled ExpScaled(double x) {
    const double kd = (x * kInvLn2 + 0x1.8p52) - 0x1.8p52;  // nearest integer
    const int k = static_cast<int>(kd);
    TDD r = Sub(D(x), TwoProduct(kd, kLn2Hi));
    r = Sub(r, TwoProduct(kd, kLn2Lo));
    r = Sub(r, D(kd * kLn2Lo2));
    return {Add(D(1), ExpM1Kernel(r)), k};
}

// atanh(z) for |z| <= 0.1716: z times the sum of z^2k / (2k+1), as far as
// z^2k reaches 2^-108; the terms below 2^-52 are summed in plain doubles.
TDD AtanhSeries(TDD z) {
    const TDD z2 = Mul(z, z);
    int terms = 0, ddTerms = 0;
    for (double p = 1; p > 0x1p-108 && terms < 25; p *= z2.Hi) {
        if (p >= 0x1p-52) ++ddTerms;
        ++terms;
    }
    if (terms == 1) return z;
    // Horner from the top: S_k = 1/(2k+1) + z^2 S_(k+1), down to S_1.
    double tail = 0;
    for (int k = terms - 1; k >= ddTerms; --k)
        tail = kInverseOdd[k - 1].Hi + z2.Hi * tail;
    TDD sum = D(tail);
    for (int k = ddTerms - 1; k >= 1; --k)
        sum = Add(kInverseOdd[k - 1], Mul(z2, sum));
    return Mul(z, Add(D(1), Mul(z2, sum)));
}

// log of a positive double-double.
TDD LogDD(TDD x) {
    int e = ExponentOf(x.Hi);
    TDD m = Scale(x, -e);
    if (m.Hi > kSqrt2) {
        m = Scale(m, -1);
        ++e;
    }
    const TDD z = Div(Sub(m, D(1)), Add(m, D(1)));
    const TDD logM = z.Hi == 0 ? D(0) : Scale(AtanhSeries(z), 1);
    return e == 0 ? logM : Add(Ln2Times(e), logM);
}

// log(1 + u) for u > -1.
TDD Log1pDD(TDD u) {
    if (u.Hi >= kSqrtHalf - 1 && u.Hi <= kSqrt2 - 1) {
        if (u.Hi == 0) return D(0);
        return Scale(AtanhSeries(Div(u, Add(D(2), u))), 1);
    }
    return LogDD(Add(D(1), u));
}

// ---------------------------------------------------------------------------
// Fast paths for the small arguments the projections pass. The series is
// summed with its first terms in double-double and the rest in doubles; the
// rounding is certain when no value within the error bound of the sum
// crosses a rounding boundary. Otherwise (about one call in a thousand) the
// double-double path above decides.

constexpr u64 kMantissaMask = 0x000FFFFFFFFFFFFFULL;

// hi + lo with |lo| <= ulp(hi)/2 lies within err of the exact value: true
// when every number in that interval rounds to hi.
bool RoundsToHi(double hi, double lo, double err) {
    const u64 b = Bits(hi) & ~kSignBit;
    const u64 field = b >> 52;
    if (field < 56 || field > 2045) return false;
    const u64 halfField = (b & kMantissaMask) == 0 ? field - 54 : field - 53;
    const double half = FromBits(halfField << 52);
    const double d = Abs(lo) + err;
    return d + d * 0x1p-50 < half;  // d is rounded; the added 2^-50 d covers it
}

// Coefficients of x^5, x^7 ... (cosh: x^4, x^6 ...) of each series, as far as
// the next term stays below 2^-70 of the value over the fast path's range.
constexpr double kSinhTail[] = {0x1.1111111111111p-7,  0x1.a01a01a01a01ap-13, 0x1.71de3a556c734p-19,
                                0x1.ae64567f544e4p-26, 0x1.6124613a86d09p-33, 0x1.ae7f3e733b81fp-41,
                                0x1.952c77030ad4ap-49};
constexpr double kCoshTail[] = {0x1.6c16c16c16c17p-10, 0x1.a01a01a01a01ap-16, 0x1.27e4fb7789f5cp-22,
                                0x1.1eed8eff8d898p-29, 0x1.93974a8c07c9dp-37, 0x1.ae7f3e733b81fp-45,
                                0x1.6827863b97d97p-53};
constexpr double kAsinhTail[] = {
    0x1.3333333333333p-4, -0x1.6db6db6db6db7p-5, 0x1.f1c71c71c71c7p-6, -0x1.6e8ba2e8ba2e9p-6,
    0x1.1c4ec4ec4ec4fp-6, -0x1.c99999999999ap-7, 0x1.7a87878787878p-7, -0x1.3fde50d79435ep-7,
    0x1.12ef3cf3cf3cfp-7, -0x1.df3bd37a6f4dfp-8, 0x1.a6863d70a3d71p-8, -0x1.782dda12f684cp-8,
    0x1.51ba308d3dcb1p-8, -0x1.31683bdef7bdfp-8};
constexpr double kAtanhTail[] = {0x1.999999999999ap-3, 0x1.2492492492492p-3, 0x1.c71c71c71c71cp-4,
                                 0x1.745d1745d1746p-4, 0x1.3b13b13b13b14p-4, 0x1.1111111111111p-4,
                                 0x1.e1e1e1e1e1e1ep-5, 0x1.af286bca1af28p-5, 0x1.8618618618618p-5,
                                 0x1.642c8590b2164p-5, 0x1.47ae147ae147bp-5};
constexpr TDD kMinusSixth = {-0x1.5555555555555p-3, -0x1.5555555555555p-57};

// Horner in doubles of c[0] + c[1] y + ... for y = x^2.
template <size_t N>
double TailPolynomial(const double (&c)[N], double y) {
    double p = c[N - 1];
    for (size_t k = N - 1; k-- > 0;)
        p = c[k] + y * p;
    return p;
}

// x + c3 x^3 + x^5 P(x^2) for 2^-26 <= x <= 1/2 (sinh), 1/4 (asinh), 1/8
// (atanh), c3 in double-double. Error: the tail r = x^5 P comes with relative
// error below 7.5 * 2^-53 (x^2, x^3 and two products rounded; P's terms fall
// by a factor 4 or more, so its Horner sum is within 2.5 * 2^-53); adding the
// low parts costs 2^-52 r and 2^-105 x more; the term c3 x^3 is within
// 2^-100 x; the terms left out below 2^-70 x.
template <size_t N>
bool FastOddSeries(double x, TDD c3, const double (&tail)[N], double& out) {
    const TDD x2 = TwoProduct(x, x);
    const TDD x3 = MulD(x2, x);
    const TDD t = Mul(x3, c3);
    const double r = x3.Hi * x2.Hi * TailPolynomial(tail, x2.Hi);
    const TDD lead = TwoSum(x, t.Hi);
    const TDD v = FastTwoSum(lead.Hi, lead.Lo + (t.Lo + r));
    if (!RoundsToHi(v.Hi, v.Lo, Abs(r) * 0x1p-49 + Abs(x) * 0x1p-68)) return false;
    out = v.Hi;
    return true;
}

// 1 + x^2/2 + x^4/24 + x^6 P(x^2) for 2^-26 <= x <= 1/2, the same way with
// two leading terms in double-double.
bool FastCoshSeries(double x, double& out) {
    const TDD x2 = TwoProduct(x, x);
    const TDD t = Mul(Mul(x2, x2), kInverseFactorial[2]);
    const double r = x2.Hi * x2.Hi * x2.Hi * TailPolynomial(kCoshTail, x2.Hi);
    const TDD lead = Add(TwoSum(1, x2.Hi * 0.5), t);
    const TDD v = FastTwoSum(lead.Hi, lead.Lo + (x2.Lo * 0.5 + r));
    if (!RoundsToHi(v.Hi, v.Lo, Abs(r) * 0x1p-49 + 0x1p-67)) return false;
    out = v.Hi;
    return true;
}

// sinh and cosh of 2^-26 <= a <= 711, both from one exponential, as S 2^k
// and C 2^k.
void SinhCoshDD(double a, TDD& sinh, TDD& cosh, int& k) {
    k = 0;
    if (a <= 1) {
        // With m = expm1 a and q = m / (1 + m): e^a - e^-a = m + q and
        // e^a + e^-a = 2 + m q, free of cancellation.
        const TDD m = ExpM1Kernel(D(a));
        const TDD q = Div(m, Add(D(1), m));
        sinh = Scale(Add(m, q), -1);
        cosh = Add(D(1), Scale(Mul(m, q), -1));
        return;
    }
    const TScaled e = ExpScaled(a);
    if (e.K > 60) {
        // e^-a is below 2^-120 of the result.
        sinh = cosh = e.M;
        k = e.K - 1;
        return;
    }
    const TDD v = Scale(e.M, e.K);
    const TDD inverse = Div(D(1), v);
    sinh = Scale(Sub(v, inverse), -1);
    cosh = Scale(Add(v, inverse), -1);
}

// asinh and atanh of 2^-26 <= a (atanh: < 1) in double-double.
double AsinhDD(double a) {
    TDD r;
    if (a > 0x1p60) {
        // log(2a) + 1/(4a^2) - ...: the rest is below 2^-120 of the result.
        r = Add(LogDD(D(a)), Ln2Times(1));
    } else {
        // log1p(a + a^2 / (1 + sqrt(1 + a^2))): no cancellation for small a.
        const TDD a2 = TwoProduct(a, a);
        const TDD root = Sqrt(Add(D(1), a2));
        r = Log1pDD(Add(D(a), Div(a2, Add(D(1), root))));
    }
    return r.Hi;
}

double AtanhDD(double a) {
    if (a <= 0.17) return AtanhSeries(D(a)).Hi;
    // atanh a = log1p(2a / (1 - a)) / 2; 1 - a is exact from 1/2 up and kept
    // in two parts below.
    return Scale(Log1pDD(Div(D(2 * a), TwoSum(1, -a))), -1).Hi;
}

}  // namespace

double ExactExp(double x) {
    if (IsNan(x)) return x + x;
    if (x > 710) return std::numeric_limits<double>::infinity();
    if (x < -746) return 0.0;
    if (Abs(x) < 0x1p-60) return 1.0;
    const TScaled e = ExpScaled(x);
    // Overflow gives infinity; a subnormal result is rounded a second time.
    return ScaleByPow2(e.M.Hi, e.K);
}

double ExactLog(double x) {
    if (IsNan(x)) return x + x;
    if (x < 0) return std::numeric_limits<double>::quiet_NaN();
    if (x == 0) return -std::numeric_limits<double>::infinity();
    if (IsInf(x)) return x;
    return LogDD(D(x)).Hi;
}

// Below 2^-26 the cubic term is under half an ulp (x^2 / 6 < 2^-54): sinh and
// asinh round to x itself, cosh to 1; atanh (x^2 / 3) below 2^-27.
double ExactSinh(double x) {
    double s, c;
    ExactSinhCosh(x, s, c);
    return s;
}

double ExactCosh(double x) {
    double s, c;
    ExactSinhCosh(x, s, c);
    return c;
}

void ExactSinhCosh(double x, double& sinh, double& cosh) {
    const double a = Abs(x);
    if (IsNan(x)) {
        sinh = cosh = x + x;
        return;
    }
    if (a > 711) {  // infinities included
        sinh = WithSign(std::numeric_limits<double>::infinity(), x < 0);
        cosh = std::numeric_limits<double>::infinity();
        return;
    }
    if (a < 0x1p-26) {
        sinh = x;
        cosh = 1;
        return;
    }
    double fs, fc;
    if (a <= 0.5 && FastOddSeries(a, kInverseFactorial[1], kSinhTail, fs) &&
        FastCoshSeries(a, fc)) {
        sinh = WithSign(fs, x < 0);
        cosh = fc;
        return;
    }
    TDD s, c;
    int k;
    SinhCoshDD(a, s, c, k);
    sinh = WithSign(ScaleByPow2(s.Hi, k), x < 0);
    cosh = ScaleByPow2(c.Hi, k);
}

double ExactAsinh(double x) {
    if (IsNan(x) || IsInf(x)) return x + x;
    const double a = Abs(x);
    if (a < 0x1p-26) return x;
    double fast;
    if (a <= 0.25 && FastOddSeries(a, kMinusSixth, kAsinhTail, fast)) return WithSign(fast, x < 0);
    return WithSign(AsinhDD(a), x < 0);
}

double ExactAtanh(double x) {
    if (IsNan(x)) return x + x;
    const double a = Abs(x);
    if (a > 1) return std::numeric_limits<double>::quiet_NaN();
    if (a == 1) return WithSign(std::numeric_limits<double>::infinity(), x < 0);
    if (a < 0x1p-27) return x;
    double fast;
    if (a <= 0.125 && FastOddSeries(a, kInverseOdd[0], kAtanhTail, fast))
        return WithSign(fast, x < 0);
    return WithSign(AtanhDD(a), x < 0);
}

namespace exact_exp_paths {

bool FastSinh(double x, double& out) {
    return x >= 0x1p-26 && x <= 0.5 && FastOddSeries(x, kInverseFactorial[1], kSinhTail, out);
}
bool FastCosh(double x, double& out) {
    return x >= 0x1p-26 && x <= 0.5 && FastCoshSeries(x, out);
}
bool FastAsinh(double x, double& out) {
    return x >= 0x1p-26 && x <= 0.25 && FastOddSeries(x, kMinusSixth, kAsinhTail, out);
}
bool FastAtanh(double x, double& out) {
    return x >= 0x1p-27 && x <= 0.125 && FastOddSeries(x, kInverseOdd[0], kAtanhTail, out);
}
double SlowSinh(double x) {
    TDD s, c;
    int k;
    SinhCoshDD(x, s, c, k);
    return ScaleByPow2(s.Hi, k);
}
double SlowCosh(double x) {
    TDD s, c;
    int k;
    SinhCoshDD(x, s, c, k);
    return ScaleByPow2(c.Hi, k);
}
double SlowAsinh(double x) {
    return AsinhDD(x);
}
double SlowAtanh(double x) {
    return AtanhDD(x);
}

}  // namespace exact_exp_paths

double ExactHypot(double x, double y) {
    if (IsInf(x) || IsInf(y)) return std::numeric_limits<double>::infinity();
    if (IsNan(x) || IsNan(y)) return x + y;
    double a = Abs(x), b = Abs(y);
    if (a < b) std::swap(a, b);
    if (b == 0) return a;
    const int e = ExponentOf(a);
    // Beyond 2^60 apart b^2 is below 2^-120 of a^2: the result rounds to a.
    if (e - ExponentOf(b) > 60) return a;
    const double as = ScaleByPow2(a, -e), bs = ScaleByPow2(b, -e);
    const TDD root = Sqrt(Add(TwoProduct(as, as), TwoProduct(bs, bs)));
    return ScaleByPow2(root.Hi, e);
}

}  // namespace quorvex
