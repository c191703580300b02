// What a run's coordinates are, told to the user: a one-line description of
// a table's coordinate system, and a warning when a conversion that writes
// the coordinates as they stand writes something other than plane
// rectangular metres, which is what a SIMA file holds.
#pragma once

#include <optional>
#include <string>

#include "engine/plane_zones.h"
#include "mif/UniSFMapUtil.h"
#include "mif/mif_coordsys.h"
#include "support/messages.h"

namespace quorvex {

// The least and greatest coordinates a run wrote.
struct TExtent {
    bool Empty = true;
    double MinX = 0;
    double MinY = 0;
    double MaxX = 0;
    double MaxY = 0;

    // Takes in the bounds the readers computed for `shape`; a shape without
    // vertices adds nothing.
    void Add(const TSFShape& shape);
    void Add(const TExtent& other);
    // Not empty, and every X within -180 to 180 and every Y within -90 to 90.
    bool WithinLongitudeLatitude() const;
};

// "平面直角座標系 第IX系（JGD2000、m）", "transverse Mercator (UTM zone 54,
// WGS 84, m)", "座標系の指定なし" and the like.
std::string DescribeCoordSys(const TCoordSys& cs, TLanguage language);

// The warning for a conversion that writes the coordinates of a table in `cs`
// unchanged, with `extent` the coordinates it wrote; none for a plane
// rectangular zone, any other transverse Mercator in metres, non-earth
// metres, and a table without a clause whose coordinates are not all within
// longitude and latitude range.
std::optional<TMessage> CoordSysWarning(const TCoordSys& cs, const TExtent& extent);

// The zone number in Roman numerals, "I" to "XIX".
std::string RomanZoneNumber(int32_t zone);

// The projection of a table in `cs` to plane rectangular zone `zone`, on the
// ellipsoid of the table's own datum (the datum is kept). Throws
// ConversionError naming the reason for a zone out of range and for a table
// it cannot project: no clause, non-earth or unreadable, a projection other
// than longitude/latitude and transverse Mercator, an Affine sub-clause or
// a Transform clause, a datum whose ellipsoid is not known, parameters or a
// unit the series cannot use.
TPlaneZoneProjection ZoneProjectionOf(const TCoordSys& cs, int32_t zone);

}  // namespace quorvex
