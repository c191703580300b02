// The transverse Mercator projection on an ellipsoid, forward and inverse, by
// Krueger's series to sixth order in the third flattening n, in the form of
// C. F. F. Karney, "Transverse Mercator with an accuracy of a few
// nanometers", J. Geodesy 85 (2011) 475-485. Within 10 degrees of the central
// meridian the series are a few nanometres from the exact projection; farther
// out they lose accuracy, so points there are refused.
//
// Every function used is the engine's own (support/exact_*), so the same
// input gives the same bits on every system.
#pragma once

namespace quorvex {

struct TEllipsoid;  // mif/mif_coordsys.h

struct TEllipsoidAxes {
    double SemiMajorAxis;  // metres
    double Flattening;     // f = (a - b) / a
};

// The axes of an ellipsoid of the MIF format's table, the one table of
// ellipsoids there is.
TEllipsoidAxes AxesOf(const TEllipsoid& ellipsoid);

// From that table, the ellipsoids the Japanese datums use: GRS 80 (JGD2000,
// JGD2011), the WGS 84 one and Bessel 1841 (the Tokyo datum).
TEllipsoidAxes Grs80();
TEllipsoidAxes Wgs84Ellipsoid();
TEllipsoidAxes Bessel1841();

struct TTransverseMercatorParams {
    TEllipsoidAxes Ellipsoid;
    double OriginLatitude = 0;   // degrees
    double CentralMeridian = 0;  // degrees
    double Scale = 1;            // on the central meridian
    double FalseEasting = 0;     // metres
    double FalseNorthing = 0;    // metres
};

struct TGeoPoint {
    double Latitude;   // degrees
    double Longitude;  // degrees
};

struct TProjectedPoint {
    double Northing;  // metres
    double Easting;   // metres
};

// Farthest a point may lie from the central meridian, in degrees of
// longitude.
constexpr double kMaxMeridianDistance = 10;

// Whether the parameters describe a projection the series can compute: all
// finite, 0 < a, 0 <= f <= 0.01 (every Earth ellipsoid and the sphere), 0 <
// scale <= 10, the origin's latitude within +-90 and its meridian within
// +-360 degrees. Parameters read from a file must pass this before they are
// given to TTransverseMercator.
bool IsUsableTransverseMercator(const TTransverseMercatorParams& params);

// Whether two sets of parameters give the same projection, as far as a
// file's decimals can say: angles within 1e-9 degrees, scales within 1e-12
// of each other (relative), false easting and northing within 1 um. The
// ellipsoids are not compared.
bool SameProjection(const TTransverseMercatorParams& a, const TTransverseMercatorParams& b);

class TTransverseMercator {
  public:
    explicit TTransverseMercator(const TTransverseMercatorParams& params);

    // False, leaving out untouched, for a point farther than
    // kMaxMeridianDistance from the central meridian, a latitude beyond
    // +-90 degrees or a value that is not finite.
    bool Forward(TGeoPoint in, TProjectedPoint& out) const;
    // False when the point falls farther than kMaxMeridianDistance from the
    // central meridian or a value is not finite. The longitude comes out
    // within 180 degrees of the central meridian.
    bool Inverse(TProjectedPoint in, TGeoPoint& out) const;

    const TTransverseMercatorParams& Params() const { return Params_; }

  private:
    // The series' xi, eta (in units of the rectifying radius) of a point
    // whose latitude and longitude from the central meridian are both
    // non-negative.
    void Series(double latitude, double longitude, double& xi, double& eta) const;

    TTransverseMercatorParams Params_;
    double E_;             // eccentricity
    double E2m_;           // 1 - e^2
    double EAtanhE_;       // e atanh(e)
    double ScaledA_;       // scale times the rectifying radius
    double OriginXi_;      // northing of the origin over ScaledA_
    double Alpha_[7];      // forward series, [1] .. [6]
    double MinusBeta_[7];  // inverse series, [1] .. [6], negated
    bool Usable_;
};

}  // namespace quorvex
