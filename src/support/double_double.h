// Error-free transformations of doubles, the building blocks of the exact
// functions: a value carried as Hi + Lo. Only IEEE additions, subtractions
// and multiplications, each rounded to nearest; products are made exact by
// Veltkamp splitting, not by a fused multiply-add (which some systems emulate
// in software).
#pragma once

namespace quorvex::double_double {

struct TDD {
    double Hi, Lo;
};

// a + b = Hi + Lo exactly.
inline TDD TwoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// The same when |a| >= |b| (or a is zero).
inline TDD FastTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// a = hi + lo with hi holding 26 significant bits (|a| < 2^995).
inline void Split(double a, double& hi, double& lo) {
    const double c = 134217729.0 * a;  // 2^27 + 1
    hi = c - (c - a);
    lo = a - hi;
}

// a * b = Hi + Lo exactly, barring underflow of the low part.
inline TDD TwoProduct(double a, double b) {
    const double p = a * b;
    double ah, al, bh, bl;
    Split(a, ah, al);
    Split(b, bh, bl);
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

}  // namespace quorvex::double_double
