// The nineteen plane rectangular coordinate systems of Japan (zones I to
// XIX): their origins as the Survey Act's notice fixes them, scale 0.9999 on
// the central meridian, no false easting or northing. X is the northing and
// Y the easting.
#pragma once

#include "engine/transverse_mercator.h"

namespace quorvex {

constexpr int kPlaneZoneCount = 19;
constexpr double kPlaneZoneScale = 0.9999;

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

}  // namespace quorvex
