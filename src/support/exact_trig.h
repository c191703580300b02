// The engine's own sine, cosine and arc tangent. Each returns the exact value
// of the function at its double argument, rounded once to the nearest double,
// so coordinates come out the same on every system whatever its C library.
// Arguments of at most 16 in magnitude (the readers never pass more than 4 pi)
// and atan2 of ordinary pairs take a fast path about as quick as the C
// library's; the rare cases it cannot decide, and all other arguments, take a
// slower exact one. No C library function is used on the way.
#pragma once

namespace quorvex {

double ExactSin(double x);
double ExactCos(double x);
// The angle of the point (x, y), as C's atan2: signed zeros, infinities and
// NaN follow the same rules.
double ExactAtan2(double y, double x);

// The two paths on their own, for the tests: the fast ones return false when
// they cannot decide the rounding; the exact ones take finite, nonzero input.
namespace exact_trig_paths {
bool FastSin(double x, double& out);
bool FastCos(double x, double& out);
bool FastAtan2(double y, double x, double& out);
double SlowSin(double x);
double SlowCos(double x);
double SlowAtan2(double y, double x);
}  // namespace exact_trig_paths

}  // namespace quorvex
