// The nineteen plane rectangular coordinate systems of Japan (zones I to
// XIX) as projections: their origins are those of the reader's zone table
// (PlaneRectangularZones), scale 0.9999 on the central meridian, no false
// easting or northing. X is the northing and Y the easting.
#pragma once

#include <optional>

#include "engine/transverse_mercator.h"
#include "mif/mif_coordsys.h"

namespace quorvex {

constexpr int kPlaneZoneCount = kPlaneRectangularZoneCount;
constexpr double kPlaneZoneScale = kPlaneRectangularScale;

struct TPlaneZoneOrigin {
    double Latitude;   // degrees
    double Longitude;  // degrees: the central meridian
};

// The origin of zone 1 .. kPlaneZoneCount; false for any other number.
bool PlaneZoneOrigin(int zone, TPlaneZoneOrigin& out);

// The projection of the zone on the given ellipsoid (the zones are defined on
// GRS 80; the Tokyo datum's tables use the same origins on Bessel 1841).
// False for a zone number out of range.
bool PlaneZoneParams(int zone, TEllipsoidAxes ellipsoid, TTransverseMercatorParams& out);

// The zone in Roman numerals, "I" .. "XIX"; empty for a number out of range.
const char* PlaneZoneNumeral(int zone);

// The zone whose projection the parameters give (SameProjection), or 0.
int MatchPlaneZone(const TTransverseMercatorParams& params);

// The UTM zone (1 .. 60) whose projection the parameters give, northern
// (false northing 0) or southern (10,000 km) hemisphere, or 0.
int MatchUtmZone(const TTransverseMercatorParams& params, bool& south);

// UTM zone 1 .. 60 on the given ellipsoid; false for a number out of range.
bool UtmZoneParams(int zone, bool south, TEllipsoidAxes ellipsoid, TTransverseMercatorParams& out);

// A table's coordinates into a zone's, the zone taken on the table's own
// ellipsoid (the datum is kept). x and y are as a MIF file holds them: x the
// easting or longitude, y the northing or latitude, in the table's unit; the
// result is the zone's northing and easting in metres.
class TPlaneZoneProjection {
  public:
    // A table in longitude and latitude, in degrees.
    static TPlaneZoneProjection FromGeographic(int zone, TEllipsoidAxes ellipsoid);
    // A table in a transverse Mercator projection (false easting and
    // northing in metres), its coordinates in units of metresPerUnit metres.
    static TPlaneZoneProjection FromTransverseMercator(int zone,
                                                       const TTransverseMercatorParams& source,
                                                       double metresPerUnit);

    // False when the zone number, the source's parameters or its unit cannot
    // be used; such a projection refuses every point.
    bool Valid() const { return Target_.has_value(); }
    // The source is the zone's own projection in metres: coordinates pass
    // through unchanged, bit for bit. In another unit they are only scaled.
    bool PassesThrough() const { return Kind_ == TKind::Same && MetresPerUnit_ == 1; }

    // False for a point the projection refuses: not finite, or (when the
    // series are evaluated) more than kMaxMeridianDistance from the source's
    // or the zone's central meridian.
    bool Project(double x, double y, TProjectedPoint& out) const;

  private:
    enum class TKind { Geographic, Same, Other };
    TKind Kind_ = TKind::Other;
    double MetresPerUnit_ = 1;
    std::optional<TTransverseMercator> Source_, Target_;
};

}  // namespace quorvex
