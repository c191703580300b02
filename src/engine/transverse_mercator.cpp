// Forward: the conformal latitude chi (tan chi = tau'), then the spherical
// transverse Mercator of (chi, lambda), xi' + i eta', and Krueger's series
// zeta = zeta' + sum alpha_j sin(2 j zeta') with zeta = xi + i eta, summed by
// Clenshaw's recurrence in complex numbers. Inverse: the same with the beta_j
// and a minus sign, then the latitude from tau' by Newton's method.
//
// Longitudes and latitudes are taken with their signs removed and the signs
// put back at the end, so mirror-image points give mirror-image results bit
// for bit.
#include "engine/transverse_mercator.h"

#include <cmath>  // std::sqrt only: IEEE prescribes its rounding

#include "mif/mif_coordsys.h"
#include "support/exact_exp.h"
#include "support/exact_trig.h"

namespace quorvex {

namespace {

constexpr double kDegree = 0x1.1df46a2529d39p-6;  // pi / 180
constexpr double kPio2 = 0x1.921fb54442d18p+0;

bool IsFinite(double x) {
    return x - x == 0;
}

double Abs(double x) {
    return x < 0 ? -x : x;
}

// tan(phi) to tan(chi) of the conformal latitude chi in Karney's form, free
// of cancellation: tau' = tau sqrt(1 + sigma^2) - sigma sqrt(1 + tau^2) with
// sigma = sinh(e atanh(e tau / sqrt(1 + tau^2))).
double ConformalTan(double tau, double e) {
    const double tau1 = ExactHypot(1, tau);
    const double sigma = ExactSinh(e * ExactAtanh(e * tau / tau1));
    return ExactHypot(1, sigma) * tau - sigma * tau1;
}

// The inverse of ConformalTan by Newton's method, as Karney solves it:
// quadratic convergence from a start within about e^2 of the root, so two or
// three steps; five at most.
double GeodeticTan(double taup, double e, double e2m, double eAtanhE) {
    const double tol = 0x1p-26 / 10 * (Abs(taup) > 1 ? Abs(taup) : 1);
    double tau = Abs(taup) > 70 ? taup * ExactExp(eAtanhE) : taup / e2m;
    for (int i = 0; i < 5; ++i) {
        const double taupa = ConformalTan(tau, e);
        const double dtau = (taup - taupa) * (1 + e2m * tau * tau) /
                            (e2m * ExactHypot(1, tau) * ExactHypot(1, taupa));
        tau += dtau;
        if (!(Abs(dtau) >= tol)) break;
    }
    return tau;
}

// The sine and cosine of 2 xi and the hyperbolic sine and cosine of 2 eta,
// which the series take.
struct TDoubleAngle {
    double Sin, Cos, Sinh, Cosh;
};

TDoubleAngle DoubleAngle(double xi, double eta) {
    TDoubleAngle d;
    d.Sin = ExactSin(2 * xi);
    d.Cos = ExactCos(2 * xi);
    ExactSinhCosh(2 * eta, d.Sinh, d.Cosh);
    return d;
}

// zeta + sum c_j sin(2 j zeta) for zeta = xi + i eta, c_1 .. c_6, by
// Clenshaw: y_j = c_j + 2 cos(2 zeta) y_(j+1) - y_(j+2), the sum sin(2 zeta)
// y_1.
void KruegerSum(const double c[7], double xi, double eta, TDoubleAngle d, double& outXi,
                double& outEta) {
    const double ar = 2 * d.Cos * d.Cosh, ai = -2 * d.Sin * d.Sinh;  // 2 cos(2 zeta)
    double y1r = 0, y1i = 0, y2r = 0, y2i = 0;
    for (int j = 6; j >= 1; --j) {
        const double yr = c[j] + (ar * y1r - ai * y1i) - y2r;
        const double yi = (ar * y1i + ai * y1r) - y2i;
        y2r = y1r;
        y2i = y1i;
        y1r = yr;
        y1i = yi;
    }
    const double sr = d.Sin * d.Cosh, si = d.Cos * d.Sinh;  // sin(2 zeta)
    outXi = xi + (sr * y1r - si * y1i);
    outEta = eta + (sr * y1i + si * y1r);
}

// lon - lon0 brought into [-180, 180] when it lies within a turn of that;
// anything farther stays far, and is refused.
double FromMeridian(double lon, double lon0) {
    double d = lon - lon0;
    if (d > 180) {
        d -= 360;
    } else if (d < -180) {
        d += 360;
    }
    return d;
}

}  // namespace

TEllipsoidAxes AxesOf(const TEllipsoid& ellipsoid) {
    const double inverse = ellipsoid.InverseFlattening;
    return {ellipsoid.A, inverse == 0 ? 0 : 1 / inverse};
}

namespace {

// The format's numbers of the three ellipsoids.
constexpr int32_t kGrs80 = 0;
constexpr int32_t kBessel1841 = 10;
constexpr int32_t kWgs84 = 28;

TEllipsoidAxes TableAxes(int32_t number) {
    const TEllipsoid* e = FindEllipsoid(number);
    return e ? AxesOf(*e) : TEllipsoidAxes{0, 0};
}

}  // namespace

TEllipsoidAxes Grs80() {
    return TableAxes(kGrs80);
}
TEllipsoidAxes Wgs84Ellipsoid() {
    return TableAxes(kWgs84);
}
TEllipsoidAxes Bessel1841() {
    return TableAxes(kBessel1841);
}

bool IsUsableTransverseMercator(const TTransverseMercatorParams& p) {
    const double values[] = {p.Ellipsoid.SemiMajorAxis,
                             p.Ellipsoid.Flattening,
                             p.OriginLatitude,
                             p.CentralMeridian,
                             p.Scale,
                             p.FalseEasting,
                             p.FalseNorthing};
    for (double v : values)
        if (!IsFinite(v)) return false;
    return p.Ellipsoid.SemiMajorAxis > 0 && p.Ellipsoid.Flattening >= 0 &&
           p.Ellipsoid.Flattening <= 0.01 && p.Scale > 0 && p.Scale <= 10 &&
           Abs(p.OriginLatitude) <= 90 && Abs(p.CentralMeridian) <= 360;
}

bool SameProjection(const TTransverseMercatorParams& a, const TTransverseMercatorParams& b) {
    return Abs(a.OriginLatitude - b.OriginLatitude) <= 1e-9 &&
           Abs(FromMeridian(a.CentralMeridian, b.CentralMeridian)) <= 1e-9 &&
           Abs(a.Scale - b.Scale) <= 1e-12 * Abs(b.Scale) &&
           Abs(a.FalseEasting - b.FalseEasting) <= 1e-6 &&
           Abs(a.FalseNorthing - b.FalseNorthing) <= 1e-6;
}

TTransverseMercator::TTransverseMercator(const TTransverseMercatorParams& given)
    : Params_(given), Usable_(IsUsableTransverseMercator(given)) {
    // Unusable parameters refuse every point; the set-up still runs on
    // harmless ones so nothing below meets a NaN or a division by zero.
    const TTransverseMercatorParams params = Usable_ ? given : TTransverseMercatorParams{Grs80()};
    const double f = params.Ellipsoid.Flattening;
    const double e2 = f * (2 - f);
    E_ = std::sqrt(e2);
    E2m_ = 1 - e2;
    EAtanhE_ = E_ * ExactAtanh(E_);
    const double n = f / (2 - f), n2 = n * n;
    // The rectifying radius and Krueger's coefficients to sixth order in n,
    // as Karney gives them.
    const double rectifying = params.Ellipsoid.SemiMajorAxis / (1 + n) *
                              (1 + n2 * (1.0 / 4 + n2 * (1.0 / 64 + n2 * (1.0 / 256))));
    ScaledA_ = params.Scale * rectifying;
    Alpha_[0] = MinusBeta_[0] = 0;
    Alpha_[1] =
        n * (1.0 / 2 +
             n * (-2.0 / 3 +
                  n * (5.0 / 16 + n * (41.0 / 180 + n * (-127.0 / 288 + n * (7891.0 / 37800))))));
    Alpha_[2] =
        n2 * (13.0 / 48 +
              n * (-3.0 / 5 + n * (557.0 / 1440 + n * (281.0 / 630 + n * (-1983433.0 / 1935360)))));
    Alpha_[3] = n2 * n *
                (61.0 / 240 + n * (-103.0 / 140 + n * (15061.0 / 26880 + n * (167603.0 / 181440))));
    Alpha_[4] = n2 * n2 * (49561.0 / 161280 + n * (-179.0 / 168 + n * (6601661.0 / 7257600)));
    Alpha_[5] = n2 * n2 * n * (34729.0 / 80640 + n * (-3418889.0 / 1995840));
    Alpha_[6] = n2 * n2 * n2 * (212378941.0 / 319334400);
    MinusBeta_[1] =
        -n * (1.0 / 2 +
              n * (-2.0 / 3 + n * (37.0 / 96 +
                                   n * (-1.0 / 360 + n * (-81.0 / 512 + n * (96199.0 / 604800))))));
    MinusBeta_[2] =
        -n2 * (1.0 / 48 + n * (1.0 / 15 + n * (-437.0 / 1440 +
                                               n * (46.0 / 105 + n * (-1118711.0 / 3870720)))));
    MinusBeta_[3] =
        -n2 * n * (17.0 / 480 + n * (-37.0 / 840 + n * (-209.0 / 4480 + n * (5569.0 / 90720))));
    MinusBeta_[4] = -n2 * n2 * (4397.0 / 161280 + n * (-11.0 / 504 + n * (-830251.0 / 7257600)));
    MinusBeta_[5] = -n2 * n2 * n * (4583.0 / 161280 + n * (-108847.0 / 3991680));
    MinusBeta_[6] = -n2 * n2 * n2 * (20648693.0 / 638668800);

    double xi0 = 0, eta0 = 0;
    Series(Abs(params.OriginLatitude), 0, xi0, eta0);
    OriginXi_ = params.OriginLatitude < 0 ? -xi0 : xi0;
}

void TTransverseMercator::Series(double latitude, double longitude, double& xi, double& eta) const {
    double xip = kPio2, etap = 0;
    TDoubleAngle d{0, -1, 0, 1};
    if (latitude != 90) {
        const double phi = latitude * kDegree, lam = longitude * kDegree;
        const double sphi = ExactSin(phi), cphi = ExactCos(phi);
        const double slam = ExactSin(lam), clam = ExactCos(lam);
        const double taup = ConformalTan(sphi / cphi, E_);
        const double h = ExactHypot(taup, clam);
        const double sinhEtap = slam / h;
        xip = ExactAtan2(taup, clam);
        etap = ExactAsinh(sinhEtap);
        // The series' double angles from the same quantities, without more
        // transcendental functions: sin xi' = tau'/h, cos xi' = cos(lam)/h,
        // cosh eta' = sqrt(1 + sinh^2 eta'). Their few ulps of error are
        // multiplied by the series' coefficients (below 1e-3).
        const double sx = taup / h, cx = clam / h;
        d.Sin = 2 * sx * cx;
        d.Cos = (cx - sx) * (cx + sx);
        d.Sinh = 2 * sinhEtap * ExactHypot(1, sinhEtap);
        d.Cosh = 1 + 2 * sinhEtap * sinhEtap;
    }
    KruegerSum(Alpha_, xip, etap, d, xi, eta);
}

bool TTransverseMercator::Forward(TGeoPoint in, TProjectedPoint& out) const {
    if (!Usable_ || !IsFinite(in.Latitude) || !IsFinite(in.Longitude) || Abs(in.Latitude) > 90)
        return false;
    const double lam = FromMeridian(in.Longitude, Params_.CentralMeridian);
    if (Abs(lam) > kMaxMeridianDistance) return false;
    double xi, eta;
    Series(Abs(in.Latitude), Abs(lam), xi, eta);
    if (in.Latitude < 0) xi = -xi;
    if (lam < 0) eta = -eta;
    const double northing = Params_.FalseNorthing + (ScaledA_ * xi - ScaledA_ * OriginXi_);
    const double easting = Params_.FalseEasting + ScaledA_ * eta;
    if (!IsFinite(northing) || !IsFinite(easting)) return false;
    out = {northing, easting};
    return true;
}

bool TTransverseMercator::Inverse(TProjectedPoint in, TGeoPoint& out) const {
    if (!Usable_ || !IsFinite(in.Northing) || !IsFinite(in.Easting)) return false;
    double xi = (in.Northing - Params_.FalseNorthing + ScaledA_ * OriginXi_) / ScaledA_;
    double eta = (in.Easting - Params_.FalseEasting) / ScaledA_;
    // Far beyond the limit the hyperbolic functions would overflow: refuse
    // first (10 degrees of longitude is at most eta = 0.18).
    if (!(Abs(eta) < 1) || !(Abs(xi) < 2 * kPio2)) return false;
    const bool south = xi < 0, west = eta < 0;
    xi = Abs(xi);
    eta = Abs(eta);
    double xip, etap;
    KruegerSum(MinusBeta_, xi, eta, DoubleAngle(xi, eta), xip, etap);
    const double s = ExactSinh(etap), cosXip = ExactCos(xip);
    const double c = cosXip > 0 ? cosXip : 0;
    const double r = ExactHypot(s, c);
    double lat = 90, lon = 0;
    if (r != 0) {
        lon = ExactAtan2(s, c) / kDegree;
        const double tau = GeodeticTan(ExactSin(xip) / r, E_, E2m_, EAtanhE_);
        lat = ExactAtan2(tau, 1) / kDegree;
    }
    if (!(lon <= kMaxMeridianDistance)) return false;
    out.Latitude = south ? -lat : lat;
    double longitude = Params_.CentralMeridian + (west ? -lon : lon);
    if (longitude > 180) longitude -= 360;
    if (longitude < -180) longitude += 360;
    out.Longitude = longitude;
    return true;
}

}  // namespace quorvex
