// What the coordinates of a MIF table are: its CoordSys clause, with the
// Bounds and Affine sub-clauses, and the Transform clause that may follow it,
// read into a record. Reading never fails: a clause that cannot be read is
// kept as "unknown", for a conversion that only copies the coordinates has no
// use for it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// Units of a clause, by the names the format writes.
struct TMifUnit {
    std::string_view Name;  // as the format spells it, e.g. "survey ft"
    double Metres;          // length of one unit; 0 for "degree"
};
std::span<const TMifUnit> MifUnits();
// The unit of that name (ASCII letters in any case); null when there is none.
const TMifUnit* FindMifUnit(std::string_view name);

struct TEllipsoid {
    int32_t Number;  // the format's ellipsoid number
    std::string_view Name;
    double A;                  // semi-major axis in metres
    double InverseFlattening;  // 0 for a sphere
};
std::span<const TEllipsoid> Ellipsoids();
const TEllipsoid* FindEllipsoid(int32_t number);

struct TMifDatum {
    int32_t Number;     // the format's datum number
    int32_t Ellipsoid;  // the number of its ellipsoid
};
std::span<const TMifDatum> MifDatums();
const TMifDatum* FindMifDatum(int32_t number);

// Datum numbers that stand for a datum given in the clause itself.
inline constexpr int32_t kCustomDatum = 999;          // ellipsoid and 3 shifts
inline constexpr int32_t kCustomDatumRotated = 9999;  // ... 3 rotations, scale, prime meridian

// Projection numbers this program gives a meaning to.
inline constexpr int32_t kProjectionGeographic = 1;
inline constexpr int32_t kProjectionTransverseMercator = 8;

enum class TCoordSysKind {
    None,      // the table has no CoordSys clause
    NonEarth,  // plane coordinates in Units
    Earth,     // a projection on a datum
    Unknown,   // a clause that could not be read
};

struct TAffine {
    std::string Units;                     // the unit's name as the format spells it
    std::array<double, 6> Coefficients{};  // A, B, C, D, E, F
};

struct TBounds {
    double MinX = 0;
    double MinY = 0;
    double MaxX = 0;
    double MaxY = 0;
};

// Transform clause: x' = x * XScale + XOffset, likewise y.
struct TMifTransform {
    bool Readable = false;  // four numbers were found
    double XScale = 1;
    double YScale = 1;
    double XOffset = 0;
    double YOffset = 0;
    bool IsIdentity() const {
        return Readable && XScale == 1 && YScale == 1 && XOffset == 0 && YOffset == 0;
    }
};

struct TCoordSys {
    TCoordSysKind Kind = TCoordSysKind::None;
    // Earth only: the projection number, the datum (a datum number, or one
    // of the custom numbers with Ellipsoid and its shift parameters in
    // DatumParameters as written) and the projection's parameters in the
    // order of the clause (for transverse Mercator: central meridian, origin
    // latitude, scale, false easting, false northing).
    int32_t Projection = 0;
    int32_t Datum = 0;
    int32_t Ellipsoid = -1;  // of the custom datums; -1 otherwise
    std::vector<double> DatumParameters;
    std::vector<double> Parameters;
    // The unit of the coordinates, as the format spells it; "degree" for
    // longitude and latitude, which name no unit in the clause.
    std::string Units;
    std::optional<TAffine> Affine;
    std::optional<TBounds> Bounds;
    std::optional<TMifTransform> Transform;

    // The unit's length in metres; 0 for degrees or an unknown kind.
    double UnitMetres() const;
    // The ellipsoid of the datum, from the clause or the datum table; null
    // when it is not known.
    const TEllipsoid* DatumEllipsoid() const;
};

// Reads the text of a CoordSys clause, its keyword included, with the lines
// that continue it joined by blanks; `transform` is the text of a Transform
// clause, empty when there is none.
TCoordSys ParseCoordSys(std::string_view clause, std::string_view transform = {});

// The national plane rectangular zones I to XIX: origin latitude and central
// meridian in degrees; scale 0.9999, no false easting or northing.
struct TPlaneRectangularZone {
    int32_t Number;  // 1 to 19
    double OriginLatitude;
    double CentralMeridian;
    std::string_view Numeral;  // "I" to "XIX"
};
inline constexpr int32_t kPlaneRectangularZoneCount = 19;
inline constexpr double kPlaneRectangularScale = 0.9999;
std::span<const TPlaneRectangularZone> PlaneRectangularZones();
// Zone `number` (1 to 19); null for any other number.
const TPlaneRectangularZone* FindPlaneRectangularZone(int32_t number);

// Whether the transverse Mercator parameters (central meridian, origin
// latitude, scale, false easting and northing in metres) are those of zone
// `zone`: angles within 1e-9 degree, the scale within 1e-12 of it, the false
// easting and northing within 1 micrometre.
bool IsPlaneRectangularZone(const TPlaneRectangularZone& zone, double centralMeridian,
                            double originLatitude, double scale, double falseEastingMetres,
                            double falseNorthingMetres);
// The zone (1 to 19) whose projection `cs` is, in whatever unit; 0 when it is
// none of them.
int32_t PlaneRectangularZoneOf(const TCoordSys& cs);
// The UTM zone (1 to 60; negative for the southern hemisphere) whose
// projection `cs` is, in whatever unit; 0 when it is none.
int32_t UtmZoneOf(const TCoordSys& cs);

}  // namespace quorvex
