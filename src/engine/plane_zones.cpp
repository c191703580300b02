#include "engine/plane_zones.h"

#include <initializer_list>

namespace quorvex {

bool PlaneZoneOrigin(int zone, TPlaneZoneOrigin& out) {
    const TPlaneRectangularZone* z = FindPlaneRectangularZone(zone);
    if (z == nullptr) return false;
    out = {z->OriginLatitude, z->CentralMeridian};
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
    const TPlaneRectangularZone* z = FindPlaneRectangularZone(zone);
    // The numerals are literals, so their views end in a null character.
    return z == nullptr ? "" : z->Numeral.data();
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
