#include "engine/plane_zones.h"

#include <initializer_list>

namespace quorvex {

namespace {

// Degrees and minutes of each origin, as the notice gives them; the regions
// they serve are noted for whoever checks them.
struct TZoneRow {
    int LatDeg, LatMin, LonDeg, LonMin;
    const char* Numeral;
};

constexpr TZoneRow kZones[kPlaneZoneCount] = {
    {33, 0, 129, 30, "I"},     // Nagasaki; islands of Kagoshima
    {33, 0, 131, 0, "II"},     // Fukuoka, Saga, Kumamoto, Oita, Miyazaki, Kagoshima
    {36, 0, 132, 10, "III"},   // Yamaguchi, Shimane, Hiroshima
    {33, 0, 133, 30, "IV"},    // Kagawa, Ehime, Tokushima, Kochi
    {36, 0, 134, 20, "V"},     // Hyogo, Tottori, Okayama
    {36, 0, 136, 0, "VI"},     // Kyoto, Osaka, Fukui, Shiga, Mie, Nara, Wakayama
    {36, 0, 137, 10, "VII"},   // Ishikawa, Toyama, Gifu, Aichi
    {36, 0, 138, 30, "VIII"},  // Niigata, Nagano, Yamanashi, Shizuoka
    {36, 0, 139, 50, "IX"},   // Tokyo, Fukushima, Tochigi, Ibaraki, Saitama, Chiba, Gunma, Kanagawa
    {40, 0, 140, 50, "X"},    // Aomori, Akita, Yamagata, Iwate, Miyagi
    {44, 0, 140, 15, "XI"},   // Hokkaido: Otaru, Hakodate, Date ...
    {44, 0, 142, 15, "XII"},  // Hokkaido: Sapporo, Asahikawa, Wakkanai ...
    {44, 0, 144, 15, "XIII"},  // Hokkaido: Kitami, Obihiro, Kushiro, Nemuro ...
    {26, 0, 142, 0, "XIV"},    // Tokyo: Ogasawara islands
    {26, 0, 127, 30, "XV"},    // Okinawa: main island
    {26, 0, 124, 0, "XVI"},    // Okinawa: Miyako, Yaeyama
    {26, 0, 131, 0, "XVII"},   // Okinawa: Daito islands
    {20, 0, 136, 0, "XVIII"},  // Tokyo: Okinotori-shima
    {26, 0, 154, 0, "XIX"},    // Tokyo: Minami-tori-shima
};

// Minutes to degrees in one division, so the result is the double nearest
// the exact angle (139 deg 50 min is 139.83333333333334).
double Degrees(int deg, int min) {
    return (deg * 60 + min) / 60.0;
}

}  // namespace

bool PlaneZoneOrigin(int zone, TPlaneZoneOrigin& out) {
    if (zone < 1 || zone > kPlaneZoneCount) return false;
    const TZoneRow& row = kZones[zone - 1];
    out = {Degrees(row.LatDeg, row.LatMin), Degrees(row.LonDeg, row.LonMin)};
    return true;
}

bool PlaneZoneParams(int zone, TEllipsoidAxes ellipsoid, TTransverseMercatorParams& out) {
    TPlaneZoneOrigin origin;
    if (!PlaneZoneOrigin(zone, origin)) return false;
    out = {};
    out.Ellipsoid = ellipsoid;
    out.OriginLatitude = origin.Latitude;
    out.CentralMeridian = origin.Longitude;
    out.Scale = kPlaneZoneScale;
    return true;
}

int MatchPlaneZone(const TTransverseMercatorParams& params) {
    for (int zone = 1; zone <= kPlaneZoneCount; ++zone) {
        TTransverseMercatorParams p;
        PlaneZoneParams(zone, params.Ellipsoid, p);
        if (SameProjection(params, p)) return zone;
    }
    return 0;
}

bool UtmZoneParams(int zone, bool south, TEllipsoidAxes ellipsoid, TTransverseMercatorParams& out) {
    if (zone < 1 || zone > 60) return false;
    out = {};
    out.Ellipsoid = ellipsoid;
    out.CentralMeridian = 6 * zone - 183;
    out.Scale = 0.9996;
    out.FalseEasting = 500000;
    out.FalseNorthing = south ? 10000000 : 0;
    return true;
}

int MatchUtmZone(const TTransverseMercatorParams& params, bool& south) {
    for (int zone = 1; zone <= 60; ++zone) {
        for (const bool s : {false, true}) {
            TTransverseMercatorParams p;
            UtmZoneParams(zone, s, params.Ellipsoid, p);
            if (SameProjection(params, p)) {
                south = s;
                return zone;
            }
        }
    }
    return 0;
}

const char* PlaneZoneNumeral(int zone) {
    if (zone < 1 || zone > kPlaneZoneCount) return "";
    return kZones[zone - 1].Numeral;
}

TPlaneZoneProjection TPlaneZoneProjection::FromGeographic(int zone, TEllipsoidAxes ellipsoid) {
    TPlaneZoneProjection p;
    p.Kind_ = TKind::Geographic;
    TTransverseMercatorParams target;
    if (PlaneZoneParams(zone, ellipsoid, target) && IsUsableTransverseMercator(target))
        p.Target_.emplace(target);
    return p;
}

TPlaneZoneProjection TPlaneZoneProjection::FromTransverseMercator(
    int zone, const TTransverseMercatorParams& source, double metresPerUnit) {
    TPlaneZoneProjection p;
    TTransverseMercatorParams target;
    if (!PlaneZoneParams(zone, source.Ellipsoid, target) || !IsUsableTransverseMercator(source) ||
        !IsUsableTransverseMercator(target) || !(metresPerUnit > 0 && metresPerUnit < 1e30))
        return p;
    p.MetresPerUnit_ = metresPerUnit;
    p.Kind_ = SameProjection(source, target) ? TKind::Same : TKind::Other;
    if (p.Kind_ == TKind::Other) p.Source_.emplace(source);
    p.Target_.emplace(target);
    return p;
}

bool TPlaneZoneProjection::Project(double x, double y, TProjectedPoint& out) const {
    if (!Target_) return false;
    if (Kind_ == TKind::Geographic) return Target_->Forward({y, x}, out);
    TProjectedPoint metres{y, x};
    if (MetresPerUnit_ != 1) metres = {y * MetresPerUnit_, x * MetresPerUnit_};
    if (Kind_ == TKind::Same) {
        // No series are evaluated, so the limit on the distance from the
        // meridian (where they lose accuracy) does not apply.
        if (metres.Northing - metres.Northing != 0 || metres.Easting - metres.Easting != 0)
            return false;
        out = metres;
        return true;
    }
    TGeoPoint geo;
    return Source_->Inverse(metres, geo) && Target_->Forward(geo, out);
}

}  // namespace quorvex
