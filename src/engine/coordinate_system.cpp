#include "engine/coordinate_system.h"

#include "sima/sima_number.h"
#include "support/errors.h"

namespace quorvex {
namespace {

// Names of the datums a user of this program meets; others go by number.
struct TDatumName {
    int32_t Number;
    const char* Name;
};
constexpr TDatumName kDatumNames[] = {
    {28, "ED50"},      {33, "GRS 80"},   {62, "NAD 27"},  {74, "NAD 83"},    {79, "OSGB 1936"},
    {103, "WGS 72"},   {104, "WGS 84"},  {108, "ED87"},   {115, "ETRS89"},   {116, "GDA94"},
    {117, "NZGD2000"}, {152, "JGD2000"}, {157, "WGS 84"}, {1028, "GDA2020"},
};

std::string Number(double value) {
    char buf[kSimaNumberMax];
    return std::string(buf, FormatSimaNumber(value, buf));
}

std::string DatumName(const TCoordSys& cs, TLanguage language) {
    if (cs.Datum == 97 || cs.Datum == 1015) return TMessage(TMsg::CsDatumTokyo).Text(language);
    if (cs.Datum == kCustomDatum || cs.Datum == kCustomDatumRotated) {
        if (const TEllipsoid* e = FindEllipsoid(cs.Ellipsoid))
            return TMessage(TMsg::CsDatumCustom, {std::string(e->Name)}).Text(language);
        return TMessage(TMsg::CsDatumCustomNumber, {std::to_string(cs.Ellipsoid)}).Text(language);
    }
    for (const TDatumName& d : kDatumNames)
        if (d.Number == cs.Datum) return d.Name;
    return TMessage(TMsg::CsDatum, {std::to_string(cs.Datum)}).Text(language);
}

TMessage BaseDescription(const TCoordSys& cs, TLanguage language) {
    switch (cs.Kind) {
        case TCoordSysKind::None:
            return TMsg::CsNone;
        case TCoordSysKind::Unknown:
            return TMsg::CsUnknown;
        case TCoordSysKind::NonEarth:
            return {TMsg::CsNonEarth, {cs.Units}};
        case TCoordSysKind::Earth:
            break;
    }
    const std::string datum = DatumName(cs, language);
    if (cs.Projection == kProjectionGeographic) return {TMsg::CsGeographic, {datum}};
    if (cs.Projection == kProjectionTransverseMercator && cs.Parameters.size() == 5) {
        if (const int32_t zone = PlaneRectangularZoneOf(cs))
            return {TMsg::CsPlaneRectangular, {RomanZoneNumber(zone), datum, cs.Units}};
        if (const int32_t zone = UtmZoneOf(cs))
            return {zone > 0 ? TMsg::CsUtm : TMsg::CsUtmSouth,
                    {std::to_string(zone > 0 ? zone : -zone), datum, cs.Units}};
        const std::vector<double>& p = cs.Parameters;
        return {TMsg::CsTransverseMercator,
                {Number(p[0]), Number(p[1]), Number(p[2]), datum, cs.Units}};
    }
    return {TMsg::CsProjection, {std::to_string(cs.Projection), datum, cs.Units}};
}

bool IsMetre(const TCoordSys& cs) {
    return cs.UnitMetres() == 1.0;
}

}  // namespace

void TExtent::Add(const TSFShape& shape) {
    if (shape.Points.empty()) return;
    if (Empty) {
        *this = {false, shape.MinX, shape.MinY, shape.MaxX, shape.MaxY};
        return;
    }
    if (shape.MinX < MinX) MinX = shape.MinX;
    if (shape.MinY < MinY) MinY = shape.MinY;
    if (shape.MaxX > MaxX) MaxX = shape.MaxX;
    if (shape.MaxY > MaxY) MaxY = shape.MaxY;
}

void TExtent::Add(const TExtent& other) {
    if (other.Empty) return;
    if (Empty) {
        *this = other;
        return;
    }
    if (other.MinX < MinX) MinX = other.MinX;
    if (other.MinY < MinY) MinY = other.MinY;
    if (other.MaxX > MaxX) MaxX = other.MaxX;
    if (other.MaxY > MaxY) MaxY = other.MaxY;
}

bool TExtent::WithinLongitudeLatitude() const {
    return !Empty && MinX >= -180 && MaxX <= 180 && MinY >= -90 && MaxY <= 90;
}

std::string RomanZoneNumber(int32_t zone) {
    const TPlaneRectangularZone* z = FindPlaneRectangularZone(zone);
    return z == nullptr ? std::to_string(zone) : std::string(z->Numeral);
}

std::string DescribeCoordSys(const TCoordSys& cs, TLanguage language) {
    std::string text = BaseDescription(cs, language).Text(language);
    if (cs.Affine) text = TMessage(TMsg::CsWithAffine, {text}).Text(language);
    if (cs.Transform && !cs.Transform->IsIdentity())
        text = TMessage(TMsg::CsWithTransform, {text}).Text(language);
    return text;
}

std::optional<TMessage> CoordSysWarning(const TCoordSys& cs, const TExtent& extent) {
    switch (cs.Kind) {
        case TCoordSysKind::Unknown:
            return TMessage(TMsg::CsWarnUnknown);
        case TCoordSysKind::Earth:
            if (cs.Projection == kProjectionGeographic) return TMessage(TMsg::CsWarnDegrees);
            if (cs.Projection != kProjectionTransverseMercator)
                return TMessage(TMsg::CsWarnProjection, {std::to_string(cs.Projection)});
            [[fallthrough]];
        case TCoordSysKind::NonEarth:
            if (!IsMetre(cs)) return TMessage(TMsg::CsWarnUnit, {cs.Units});
            break;
        case TCoordSysKind::None:
            break;
    }
    if (cs.Affine) return TMessage(TMsg::CsWarnAffine);
    // A Transform that changes nothing leaves the coordinates what the
    // CoordSys clause says.
    if (cs.Transform && !cs.Transform->IsIdentity()) return TMessage(TMsg::CsWarnTransform);
    // Without a clause a table is longitude and latitude; one whose extent is
    // clearly metres is taken at its word.
    if (cs.Kind == TCoordSysKind::None && extent.WithinLongitudeLatitude())
        return TMessage(TMsg::CsWarnNoClauseLonLat);
    return std::nullopt;
}

TPlaneZoneProjection ZoneProjectionOf(const TCoordSys& cs, int32_t zone) {
    if (!FindPlaneRectangularZone(zone))
        throw ConversionError(TMessage(TMsg::ZoneNumber, {std::to_string(zone)}));
    const std::string numeral = RomanZoneNumber(zone);
    auto refuse = [&](TMsg id, std::string detail = {}) -> ConversionError {
        if (detail.empty()) return ConversionError(TMessage(id, {numeral}));
        return ConversionError(TMessage(id, {numeral, std::move(detail)}));
    };
    switch (cs.Kind) {
        case TCoordSysKind::None:
            throw refuse(TMsg::ZoneNoClause);
        case TCoordSysKind::NonEarth:
            throw refuse(TMsg::ZoneNonEarth);
        case TCoordSysKind::Unknown:
            throw refuse(TMsg::ZoneUnreadable);
        case TCoordSysKind::Earth:
            break;
    }
    if (cs.Projection != kProjectionGeographic && cs.Projection != kProjectionTransverseMercator)
        throw refuse(TMsg::ZoneProjection, std::to_string(cs.Projection));
    // Both change the coordinates in ways the projection would have to undo
    // first; an identity Transform changes nothing.
    if (cs.Affine) throw refuse(TMsg::ZoneAffine);
    if (cs.Transform && !cs.Transform->IsIdentity()) throw refuse(TMsg::ZoneTransform);
    const TEllipsoid* e = cs.DatumEllipsoid();
    if (e == nullptr) throw refuse(TMsg::ZoneDatum, std::to_string(cs.Datum));
    const TEllipsoidAxes axes = AxesOf(*e);

    TPlaneZoneProjection projection;
    if (cs.Projection == kProjectionGeographic) {
        projection = TPlaneZoneProjection::FromGeographic(zone, axes);
    } else if (cs.Parameters.size() == 5) {
        const double metres = cs.UnitMetres();
        const std::vector<double>& p = cs.Parameters;
        TTransverseMercatorParams source;
        source.Ellipsoid = axes;
        source.CentralMeridian = p[0];
        source.OriginLatitude = p[1];
        source.Scale = p[2];
        // The false easting and northing are in the table's unit.
        source.FalseEasting = p[3] * metres;
        source.FalseNorthing = p[4] * metres;
        projection = TPlaneZoneProjection::FromTransverseMercator(zone, source, metres);
    }
    if (!projection.Valid()) throw refuse(TMsg::ZoneParameters);
    return projection;
}

}  // namespace quorvex
