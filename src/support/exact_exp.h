// The engine's own exponential, logarithm, hyperbolic functions and hypot,
// for the map projections. Like the sine and cosine beside them they use no C
// library function, so every system gives the same bits.
//
// Small arguments of sinh, cosh, asinh and atanh first take a fast path that
// returns only a rounding it can prove. Otherwise each function is evaluated
// in double-double arithmetic to within 2^-98 of its value (relative), and
// that approximation is rounded once to the nearest double. So a result is
// the correctly rounded one unless the exact value lies within 2^-98 of the
// midpoint between two doubles (then it may be the other neighbour): the
// error never exceeds 0.5 + 2^-45 ulp. Results that fall into the subnormal
// range (exp of less than about -708) may be one ulp off.
#pragma once

namespace quorvex {

double ExactExp(double x);
double ExactLog(double x);  // NaN below zero, -inf at zero
double ExactSinh(double x);
double ExactCosh(double x);
// Both at once, as ExactSinh and ExactCosh give them, for half the work.
void ExactSinhCosh(double x, double& sinh, double& cosh);
double ExactAsinh(double x);
double ExactAtanh(double x);  // NaN beyond +-1, +-inf at +-1
// sqrt(x^2 + y^2) without overflow or underflow on the way.
double ExactHypot(double x, double y);

// The two paths on their own, for the tests: the fast ones (small positive
// arguments) return false when they cannot decide the rounding or the
// argument is out of their range; the slow ones take 2^-26 <= x <= 711.
namespace exact_exp_paths {
bool FastSinh(double x, double& out);
bool FastCosh(double x, double& out);
bool FastAsinh(double x, double& out);
bool FastAtanh(double x, double& out);
double SlowSinh(double x);
double SlowCosh(double x);
double SlowAsinh(double x);
double SlowAtanh(double x);  // x < 1
}  // namespace exact_exp_paths

}  // namespace quorvex
