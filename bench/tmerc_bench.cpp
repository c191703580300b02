// Nanoseconds per call of the engine's own exp, log, hyperbolic functions and
// hypot against the C library's, and per point of the transverse Mercator
// forward and inverse in plane rectangular zone IX, over Japan's mainland.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "engine/plane_zones.h"
#include "support/exact_exp.h"

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
    using namespace quorvex;
    std::mt19937_64 rng(1);
    std::uniform_real_distribution<double> small(-0.4, 0.4), wide(-20, 20), lat(30, 42),
        lon(133, 146);
    std::vector<double> smallArgs, wideArgs;
    for (int i = 0; i < 20000; ++i) {
        smallArgs.push_back(small(rng));
        wideArgs.push_back(wide(rng));
    }
    struct TRow {
        const char* Name;
        double Own, Libm;
    };
    const int rounds = 20;
    const TRow rows[] = {
        {"exp", NsPerCall(wideArgs, rounds, ExactExp),
         NsPerCall(wideArgs, rounds, [](double x) { return std::exp(x); })},
        {"log", NsPerCall(wideArgs, rounds, [](double x) { return ExactLog(x * x); }),
         NsPerCall(wideArgs, rounds, [](double x) { return std::log(x * x); })},
        {"sinh", NsPerCall(smallArgs, rounds, ExactSinh),
         NsPerCall(smallArgs, rounds, [](double x) { return std::sinh(x); })},
        {"cosh", NsPerCall(smallArgs, rounds, ExactCosh),
         NsPerCall(smallArgs, rounds, [](double x) { return std::cosh(x); })},
        {"asinh", NsPerCall(smallArgs, rounds, ExactAsinh),
         NsPerCall(smallArgs, rounds, [](double x) { return std::asinh(x); })},
        {"atanh", NsPerCall(smallArgs, rounds, [](double x) { return ExactAtanh(x / 5); }),
         NsPerCall(smallArgs, rounds, [](double x) { return std::atanh(x / 5); })},
        {"hypot", NsPerCall(wideArgs, rounds, [](double x) { return ExactHypot(x, 1); }),
         NsPerCall(wideArgs, rounds, [](double x) { return std::hypot(x, 1.0); })},
    };
    std::printf("%-8s %10s %10s\n", "", "own ns", "libm ns");
    for (const TRow& r : rows)
        std::printf("%-8s %10.1f %10.1f\n", r.Name, r.Own, r.Libm);

    TTransverseMercatorParams params;
    PlaneZoneParams(9, Grs80(), params);
    const TTransverseMercator tm(params);
    std::vector<TGeoPoint> points;
    std::vector<TProjectedPoint> plane;
    for (int i = 0; i < 100000; ++i) {
        const TGeoPoint g{lat(rng), lon(rng)};
        TProjectedPoint p{};
        if (tm.Forward(g, p)) {
            points.push_back(g);
            plane.push_back(p);
        }
    }
    volatile double sink = 0;
    auto start = std::chrono::steady_clock::now();
    for (const TGeoPoint& g : points) {
        TProjectedPoint p{};
        tm.Forward(g, p);
        sink = sink + p.Northing;
    }
    const std::chrono::duration<double, std::nano> forward =
        std::chrono::steady_clock::now() - start;
    start = std::chrono::steady_clock::now();
    for (const TProjectedPoint& p : plane) {
        TGeoPoint g{};
        tm.Inverse(p, g);
        sink = sink + g.Latitude;
    }
    const std::chrono::duration<double, std::nano> inverse =
        std::chrono::steady_clock::now() - start;
    std::printf("zone IX forward %.0f ns, inverse %.0f ns per point\n",
                forward.count() / points.size(), inverse.count() / plane.size());
}
