// The engine's own exponential, logarithm, hyperbolic functions and hypot,
// for the map projections. Like the sine and cosine beside them they use no C
// library function, so every system gives the same bits.
//
// Each is evaluated in double-double arithmetic to within 2^-98 of its value
// (relative) and that approximation is rounded once to the nearest double. So
// a result is the correctly rounded one unless the exact value lies within
// 2^-98 of the midpoint between two doubles (then it may be the other
// neighbour): the error never exceeds 0.5 + 2^-45 ulp. Results that fall into
// the subnormal range (exp of less than about -708) may be one ulp off.
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

}  // namespace quorvex
