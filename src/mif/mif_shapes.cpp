// Readers of the objects given by a bounding box: RECT, ROUNDRECT, ELLIPSE and
// ARC, turned into vertex lists.
#include <array>
#include <cmath>
#include <numbers>

#include "mif/mif_text.h"
#include "mif/uniMifUtils.h"
#include "support/exact_trig.h"
#include "support/field.h"
#include "support/text.h"

namespace quorvex {

using namespace mif_text;

namespace {

// The factors are computed once, so every vertex rounds the same way.
constexpr double kDegToRad = std::numbers::pi / 180;
constexpr double kRadToDeg = 180 / std::numbers::pi;

// Brings an angle in degrees into 0..360 by whole turns; 360 itself stays.
// Subtracting turn by turn is what the formulas do; far-out values, which
// would take long, use the exact remainder instead.
double WrapDegrees(double a) {
    if (!std::isfinite(a)) return a;
    if (std::fabs(a) > 1e6) a = std::fmod(a, 360.0);
    while (a < 0)
        a += 360;
    while (a > 360)
        a -= 360;
    return a;
}

double FieldNumber(const TLineReader& mif, std::string_view line, int n) {
    return Number(mif, GetField(line, n, " "));
}

// The box x1, y1, x2, y2 of an ELLIPSE or ARC line, fields 2 to 5.
std::array<double, 4> BoxOf(const TLineReader& mif, std::string_view line) {
    return {FieldNumber(mif, line, 2), FieldNumber(mif, line, 3), FieldNumber(mif, line, 4),
            FieldNumber(mif, line, 5)};
}

// cos and sin at the points every ellipse and arc share, computed once: the
// ellipse's parameter advances by the same step each time, so its rounding
// accumulates exactly as the ring was always drawn; arcs step through whole
// degrees, 0 to 720 (start and sweep are each at most 360).
struct TUnitPoint {
    double Cos, Sin;
};

const std::array<TUnitPoint, 360>& EllipseSteps() {
    static const std::array<TUnitPoint, 360> steps = [] {
        std::array<TUnitPoint, 360> a{};
        double t = 0;
        for (TUnitPoint& p : a) {
            p = {ExactCos(t), ExactSin(t)};
            t += kDegToRad;
        }
        return a;
    }();
    return steps;
}

const std::array<TUnitPoint, 721>& WholeDegrees() {
    static const std::array<TUnitPoint, 721> degrees = [] {
        std::array<TUnitPoint, 721> a{};
        for (size_t m = 0; m < a.size(); ++m) {
            const double angle = static_cast<double>(m) * kDegToRad;
            a[m] = {ExactCos(angle), ExactSin(angle)};
        }
        return a;
    }();
    return degrees;
}

void SetSingleSection(TSFShape& rec, size_t points) {
    rec.NumParts = 1;
    rec.Parts.assign(1, 0);
    rec.NumPoints = static_cast<int32_t>(points);
    rec.Points.assign(points, TSFPoint{});
}

}  // namespace

// The trigonometry is the engine's own, correctly rounded, so vertices do not
// depend on the C library. The readers' angles stay within 4 pi: rotations
// take WrapDegrees angles (0 to 360 degrees), the ellipse 0 to 359 degrees,
// arcs whole degrees up to 720 and atan2 results.
TSFPoint RotatePoint(double px, double py, double cx, double cy, double theta) {
    const double c = ExactCos(-theta), s = ExactSin(-theta);
    return {cx + c * (px - cx) - s * (py - cy), cy + s * (px - cx) + c * (py - cy)};
}

void ReadMifRect(std::string_view line, TLineReader& mif, TSFPolygon& rec, bool roundRect) {
    rec.Parts.clear();
    rec.Points.clear();
    std::string held(line);
    // Each step joins further lines while its tail is missing, so the four
    // numbers may be spread over several lines in any way.
    auto next = [&](std::string& text) {
        TSplit s = SplitFirst(' ', text);
        while (s.Tail.empty()) {
            JoinNext(mif, text);
            s = SplitFirst(' ', text);
        }
        return s;
    };
    TSplit s = next(held);
    std::string text(s.Tail);
    s = next(text);
    const double v1 = Number(mif, s.Head);
    text = std::string(s.Tail);
    s = next(text);
    const double v2 = Number(mif, s.Head);
    text = std::string(s.Tail);
    s = next(text);
    const double v3 = Number(mif, s.Head);
    // A rounded rectangle may carry its rounding value after the corners.
    const double v4 = Number(mif, roundRect ? SplitFirst(' ', s.Tail).Head : s.Tail);

    SetSingleSection(rec, 4);
    rec.Points[0] = {v1, v2};
    rec.Points[1] = {v3, v2};
    rec.Points[2] = {v3, v4};
    rec.Points[3] = {v1, v4};
    UpdateBounds(rec);
}

void ReadMifEllipse(std::string_view line, TLineReader& mif, TSFPolygon& rec) {
    const auto [x1, y1, x2, y2] = BoxOf(mif, line);
    const double rx = (x2 - x1) / 2;
    const double ry = (y2 - y1) / 2;
    SetSingleSection(rec, 361);
    const std::array<TUnitPoint, 360>& steps = EllipseSteps();
    for (int i = 0; i <= 359; ++i)
        rec.Points[359 - i] = {steps[i].Cos * rx + x1 + rx, steps[i].Sin * ry + y1 + ry};
    rec.Points[360] = rec.Points[0];
    UpdateBounds(rec);
}

void ReadMifArc(std::string_view line, TLineReader& mif, TSFPolyLine& rec) {
    const auto [x1, y1, x2, y2] = BoxOf(mif, line);
    double a, b;
    if (!GetField(line, 6, " ").empty()) {
        a = FieldNumber(mif, line, 6);
        b = FieldNumber(mif, line, 7);
    } else {
        const std::string angles(NextLine(mif));
        a = FieldNumber(mif, angles, 1);
        b = FieldNumber(mif, angles, 2);
    }

    const double cx = (x1 + x2) / 2;
    const double cy = (y1 + y2) / 2;
    double rx = (std::fabs(x1 - x2) - 1) / 2;
    double ry = (std::fabs(y1 - y2) - 1) / 2;
    if (rx < 0) rx = 0;
    if (ry < 0) ry = 0;

    const double eB = WrapDegrees(360 - b);
    const double eA = WrapDegrees(360 - a);
    auto phi = [&](double e) {
        const TSFPoint p = RotatePoint(cx + rx + ry, cy, cx, cy, e * kDegToRad);
        return ExactAtan2(-(p.Y - cy) * rx, (p.X - cx) * ry);
    };
    const double phiB = phi(eB);
    const double phiA = phi(eA);
    double sweep = phiA - phiB;
    if (sweep < 0) sweep += 2 * std::numbers::pi;

    const double n = WrapDegrees(std::floor(phiB * kRadToDeg));
    const double k = WrapDegrees(std::floor(sweep * kRadToDeg));
    if (!(k >= 0 && k <= 360) || !std::isfinite(n)) Fail(mif, TMsg::ArcAnglesOutOfRange);
    const size_t count = static_cast<size_t>(k) + 1;
    SetSingleSection(rec, count);
    // n + j whole degrees, n and j at most 360.
    const TUnitPoint* degrees = WholeDegrees().data() + static_cast<size_t>(n);
    for (size_t j = 0; j < count; ++j)
        rec.Points[j] = {cx + rx * degrees[j].Cos, cy - ry * degrees[j].Sin};
    rec.Points[count - 1] = {cx + rx * ExactCos(phiA), cy - ry * ExactSin(phiA)};
    UpdateBounds(rec);
}

}  // namespace quorvex
