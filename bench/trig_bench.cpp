// Nanoseconds per call of the engine's own sin, cos and atan2 and of the C
// library's, on the arguments the readers pass: the ellipse's 360 running
// sums, whole-degree arc angles, and atan2 of coordinates.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <vector>

#include "support/exact_trig.h"

namespace {

template <class F>
double NsPerCall(const std::vector<double>& xs, int rounds, F f) {
    volatile double sink = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r) {
        double acc = 0;
        for (double x : xs)
            acc += f(x);
        sink = sink + acc;
    }
    const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
    return took.count() / (static_cast<double>(xs.size()) * rounds);
}

}  // namespace

int main() {
    constexpr double kDeg = std::numbers::pi / 180;
    std::vector<double> ellipse, degrees, ys, xs;
    double t = 0;
    for (int i = 0; i < 360; ++i, t += kDeg)
        ellipse.push_back(t);
    for (int n = -720; n <= 720; ++n)
        degrees.push_back(n * kDeg);
    std::mt19937_64 rng(1);
    std::uniform_real_distribution<double> coord(-1e4, 1e4);
    for (int i = 0; i < 4096; ++i) {
        ys.push_back(coord(rng));
        xs.push_back(coord(rng));
    }
    std::vector<double> index(4096);
    for (int i = 0; i < 4096; ++i)
        index[i] = i;
    const int rounds = 2000;
    std::printf("%-28s %8s %8s\n", "ns per call", "engine", "C lib");
    std::printf("%-28s %8.1f %8.1f\n", "sin, ellipse steps",
                NsPerCall(ellipse, rounds * 10, [](double x) { return quorvex::ExactSin(x); }),
                NsPerCall(ellipse, rounds * 10, [](double x) { return std::sin(x); }));
    std::printf("%-28s %8.1f %8.1f\n", "cos, ellipse steps",
                NsPerCall(ellipse, rounds * 10, [](double x) { return quorvex::ExactCos(x); }),
                NsPerCall(ellipse, rounds * 10, [](double x) { return std::cos(x); }));
    std::printf("%-28s %8.1f %8.1f\n", "sin, degrees to 720",
                NsPerCall(degrees, rounds * 3, [](double x) { return quorvex::ExactSin(x); }),
                NsPerCall(degrees, rounds * 3, [](double x) { return std::sin(x); }));
    std::printf("%-28s %8.1f %8.1f\n", "atan2, coordinates",
                NsPerCall(index, rounds,
                          [&](double i) {
                              const size_t k = static_cast<size_t>(i);
                              return quorvex::ExactAtan2(ys[k], xs[k]);
                          }),
                NsPerCall(index, rounds, [&](double i) {
                    const size_t k = static_cast<size_t>(i);
                    return std::atan2(ys[k], xs[k]);
                }));
    return 0;
}
