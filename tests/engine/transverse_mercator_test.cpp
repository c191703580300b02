// The transverse Mercator projection and the plane rectangular zones against
// GeographicLib's exact projection and PROJ (scripts/gen_zone_cases.py): a
// sample of the run is checked here, the whole run when QUORVEX_ZONE_FULL
// names its zones_full.txt (the largest differences are then printed per
// system). The tolerances: 10 nm to GeographicLib, 1 um to PROJ.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/plane_zones.h"
#include "engine/transverse_mercator.h"
#include "support/exact_trig.h"

namespace quorvex {
namespace {

constexpr double kDegree = 0x1.1df46a2529d39p-6;

double Number(const std::string& s) {
    double v = std::numeric_limits<double>::quiet_NaN();
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

uint64_t BitsOf(double x) {
    return std::bit_cast<uint64_t>(x);
}

double Abs(double x) {
    return x < 0 ? -x : x;
}

double Max(double a, double b) {
    return a > b ? a : b;
}

// The system of a key of the reference run: Zn, Bn (zone n on GRS 80,
// Bessel 1841), Un, Vn (UTM zone n on WGS 84, GRS 80).
TTransverseMercatorParams SystemOf(const std::string& key) {
    const int n = std::atoi(key.c_str() + 1);
    TTransverseMercatorParams p;
    if (key[0] == 'Z' || key[0] == 'B') {
        EXPECT_TRUE(PlaneZoneParams(n, key[0] == 'Z' ? Grs80() : Bessel1841(), p)) << key;
        return p;
    }
    EXPECT_TRUE(UtmZoneParams(n, false, key[0] == 'U' ? Wgs84Ellipsoid() : Grs80(), p)) << key;
    return p;
}

// Largest differences in metres of one system and direction.
struct TWorst {
    double ToGeographicLib = 0, ToProj = 0;
    int Count = 0;
};

class TReferenceRun {
  public:
    void Check(const std::string& line) {
        std::istringstream in(line);
        std::vector<std::string> f;
        for (std::string w; in >> w;)
            f.push_back(w);
        if (f.empty() || f[0][0] == '#') return;
        ASSERT_GE(f.size(), 8u) << line;
        if (f[0] == "F") {
            TProjectedPoint out{};
            ASSERT_TRUE(Projection(f[1]).Forward({Number(f[2]), Number(f[3])}, out)) << line;
            Mix(out.Northing, out.Easting);
            Record("F " + f[1], PlaneDistance(out, Number(f[4]), Number(f[5])),
                   PlaneDistance(out, Number(f[6]), Number(f[7])), line);
        } else if (f[0] == "I") {
            TGeoPoint out{};
            ASSERT_TRUE(Projection(f[1]).Inverse({Number(f[2]), Number(f[3])}, out)) << line;
            Mix(out.Latitude, out.Longitude);
            Record("I " + f[1], GroundDistance(out, Number(f[4]), Number(f[5])),
                   GroundDistance(out, Number(f[6]), Number(f[7])), line);
        } else {
            ASSERT_EQ(f[0], "C");
            ASSERT_GE(f.size(), 9u) << line;
            TGeoPoint geo{};
            TProjectedPoint out{};
            ASSERT_TRUE(Projection(f[1]).Inverse({Number(f[3]), Number(f[4])}, geo)) << line;
            ASSERT_TRUE(Projection(f[2]).Forward(geo, out)) << line;
            Mix(out.Northing, out.Easting);
            Record("C " + f[1] + ">" + f[2], PlaneDistance(out, Number(f[5]), Number(f[6])),
                   PlaneDistance(out, Number(f[7]), Number(f[8])), line);
        }
    }

    void Report(bool print) const {
        TWorst all;
        for (const auto& [key, w] : Worst_) {
            all.ToGeographicLib = Max(all.ToGeographicLib, w.ToGeographicLib);
            all.ToProj = Max(all.ToProj, w.ToProj);
            all.Count += w.Count;
            if (print)
                std::printf("%-10s %7d  GeographicLib %6.2f nm  PROJ %7.2f nm\n", key.c_str(),
                            w.Count, w.ToGeographicLib * 1e9, w.ToProj * 1e9);
        }
        if (print) {
            std::printf("%-10s %7d  GeographicLib %6.2f nm  PROJ %7.2f nm\n", "all", all.Count,
                        all.ToGeographicLib * 1e9, all.ToProj * 1e9);
            // To compare the bits of two builds (Linux and Windows) at a glance.
            std::printf("hash of all results %016llx\n", static_cast<unsigned long long>(Hash_));
        }
        EXPECT_EQ(Failures_, 0) << "of " << all.Count;
    }

    int Count() const {
        int n = 0;
        for (const auto& entry : Worst_)
            n += entry.second.Count;
        return n;
    }

  private:
    const TTransverseMercator& Projection(const std::string& key) {
        auto& slot = Systems_[key];
        if (!slot) slot = std::make_unique<TTransverseMercator>(SystemOf(key));
        return *slot;
    }

    static double PlaneDistance(TProjectedPoint p, double n, double e) {
        return Max(Abs(p.Northing - n), Abs(p.Easting - e));
    }

    // Latitude and longitude differences as metres on the ground (a sphere
    // of the equatorial radius is close enough to judge nanometres).
    static double GroundDistance(TGeoPoint p, double lat, double lon) {
        const double r = 6378137 * kDegree;
        return Max(Abs(p.Latitude - lat) * r, Abs(p.Longitude - lon) * r * ExactCos(lat * kDegree));
    }

    void Mix(double a, double b) {
        for (const uint64_t bits : {BitsOf(a), BitsOf(b)})
            Hash_ = (Hash_ ^ bits) * 0x100000001b3ULL;
    }

    void Record(const std::string& key, double toGeographicLib, double toProj,
                const std::string& line) {
        TWorst& w = Worst_[key];
        w.ToGeographicLib = Max(w.ToGeographicLib, toGeographicLib);
        w.ToProj = Max(w.ToProj, toProj);
        ++w.Count;
        if (!(toGeographicLib <= 10e-9 && toProj <= 1e-6) && ++Failures_ <= 20)
            ADD_FAILURE() << line << "\n  off by " << toGeographicLib * 1e9 << " nm and "
                          << toProj * 1e9 << " nm";
    }

    std::map<std::string, std::unique_ptr<TTransverseMercator>> Systems_;
    std::map<std::string, TWorst> Worst_;
    int Failures_ = 0;
    uint64_t Hash_ = 0xcbf29ce484222325ULL;
};

void CheckFile(const std::string& path, int atLeast, bool print) {
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    TReferenceRun run;
    for (std::string line; std::getline(in, line);)
        run.Check(line);
    EXPECT_GE(run.Count(), atLeast);
    run.Report(print);
}

TEST(TransverseMercator, ReferenceSample) {
    CheckFile(QUORVEX_TEST_DATA "/zones/sample.txt", 6000, false);
}

TEST(TransverseMercator, WholeReferenceRun) {
    const char* full = std::getenv("QUORVEX_ZONE_FULL");
    if (full == nullptr) GTEST_SKIP() << "QUORVEX_ZONE_FULL not set";
    CheckFile(full, 100000, true);
}

TEST(PlaneZones, Origins) {
    TPlaneZoneOrigin o{};
    ASSERT_TRUE(PlaneZoneOrigin(9, o));
    EXPECT_EQ(o.Latitude, 36.0);
    EXPECT_EQ(o.Longitude, 139.83333333333334);  // 139 deg 50 min, rounded once
    ASSERT_TRUE(PlaneZoneOrigin(1, o));
    EXPECT_EQ(o.Latitude, 33.0);
    EXPECT_EQ(o.Longitude, 129.5);
    ASSERT_TRUE(PlaneZoneOrigin(19, o));
    EXPECT_EQ(o.Latitude, 26.0);
    EXPECT_EQ(o.Longitude, 154.0);
    ASSERT_TRUE(PlaneZoneOrigin(18, o));
    EXPECT_EQ(o.Latitude, 20.0);
    EXPECT_FALSE(PlaneZoneOrigin(0, o));
    EXPECT_FALSE(PlaneZoneOrigin(20, o));
    EXPECT_FALSE(PlaneZoneOrigin(-9, o));

    TTransverseMercatorParams p;
    ASSERT_TRUE(PlaneZoneParams(13, Bessel1841(), p));
    EXPECT_EQ(p.OriginLatitude, 44.0);
    EXPECT_EQ(p.CentralMeridian, 144.25);
    EXPECT_EQ(p.Scale, 0.9999);
    EXPECT_EQ(p.FalseEasting, 0.0);
    EXPECT_EQ(p.FalseNorthing, 0.0);
    EXPECT_EQ(p.Ellipsoid.SemiMajorAxis, 6377397.155);
    EXPECT_FALSE(PlaneZoneParams(20, Grs80(), p));

    EXPECT_STREQ(PlaneZoneNumeral(4), "IV");
    EXPECT_STREQ(PlaneZoneNumeral(19), "XIX");
    EXPECT_STREQ(PlaneZoneNumeral(0), "");
}

// Parameters as files write them are recognised: GDAL writes zone IX's
// meridian as 139.833333333333.
TEST(PlaneZones, RecognisedFromTheirParameters) {
    TTransverseMercatorParams p;
    p.Ellipsoid = Grs80();
    p.OriginLatitude = 36;
    p.CentralMeridian = 139.833333333333;
    p.Scale = 0.9999;
    EXPECT_EQ(MatchPlaneZone(p), 9);
    p.Ellipsoid = Bessel1841();
    EXPECT_EQ(MatchPlaneZone(p), 9);
    p.CentralMeridian = 139.83333333;  // 3e-9 degrees off
    EXPECT_EQ(MatchPlaneZone(p), 0);
    p.CentralMeridian = 139.833333333333;
    p.Scale = 0.99990000001;
    EXPECT_EQ(MatchPlaneZone(p), 0);
    p.Scale = 0.9999;
    p.FalseEasting = 0.0000009;
    EXPECT_EQ(MatchPlaneZone(p), 9);
    p.FalseEasting = 0.000002;
    EXPECT_EQ(MatchPlaneZone(p), 0);
    p.FalseEasting = 0;
    p.OriginLatitude = 26;
    p.CentralMeridian = 154 - 360;  // the same meridian
    EXPECT_EQ(MatchPlaneZone(p), 19);

    bool south = true;
    ASSERT_TRUE(UtmZoneParams(54, false, Wgs84Ellipsoid(), p));
    EXPECT_EQ(p.CentralMeridian, 141.0);
    EXPECT_EQ(MatchUtmZone(p, south), 54);
    EXPECT_FALSE(south);
    EXPECT_EQ(MatchPlaneZone(p), 0);
    p.FalseNorthing = 10000000;
    EXPECT_EQ(MatchUtmZone(p, south), 54);
    EXPECT_TRUE(south);
    ASSERT_TRUE(PlaneZoneParams(9, Grs80(), p));
    EXPECT_EQ(MatchUtmZone(p, south), 0);
    EXPECT_FALSE(UtmZoneParams(61, false, Grs80(), p));
    EXPECT_FALSE(UtmZoneParams(0, false, Grs80(), p));
}

TEST(TransverseMercator, TenDegreesFromTheMeridianAndNoFurther) {
    TTransverseMercatorParams p;
    ASSERT_TRUE(PlaneZoneParams(9, Grs80(), p));
    const TTransverseMercator tm(p);
    const double lon0 = p.CentralMeridian;
    TProjectedPoint out{};
    EXPECT_TRUE(tm.Forward({36, lon0 + 10}, out));
    EXPECT_TRUE(tm.Forward({36, lon0 - 10}, out));
    EXPECT_FALSE(tm.Forward({36, lon0 + 10.000001}, out));
    EXPECT_FALSE(tm.Forward({36, lon0 - 10.000001}, out));
    EXPECT_FALSE(tm.Forward({36, 0}, out));
    // Longitudes a turn away are the same meridian.
    EXPECT_TRUE(tm.Forward({36, lon0 - 360 + 1}, out));
    EXPECT_FALSE(tm.Forward({90.5, lon0}, out));
    EXPECT_FALSE(tm.Forward({std::numeric_limits<double>::quiet_NaN(), lon0}, out));
    EXPECT_FALSE(tm.Forward({36, std::numeric_limits<double>::infinity()}, out));
    out = {1, 2};
    EXPECT_FALSE(tm.Forward({36, 0}, out));
    EXPECT_EQ(out.Northing, 1.0);  // untouched on refusal
    EXPECT_TRUE(tm.Forward({90, lon0 + 5}, out));

    TGeoPoint geo{};
    ASSERT_TRUE(tm.Forward({20, lon0 + 9.99}, out));
    EXPECT_TRUE(tm.Inverse(out, geo));
    ASSERT_TRUE(tm.Forward({20, lon0 - 9.99}, out));
    EXPECT_TRUE(tm.Inverse({out.Northing, out.Easting - 500}, geo));
    EXPECT_FALSE(tm.Inverse({out.Northing, out.Easting - 2000}, geo));
    EXPECT_FALSE(tm.Inverse({0, 1e7}, geo));
    EXPECT_FALSE(tm.Inverse({1e9, 0}, geo));
    EXPECT_FALSE(tm.Inverse({std::numeric_limits<double>::quiet_NaN(), 0}, geo));
}

// A table's coordinates into a zone: longitude and latitude projected, the
// zone's own projection passed through bit for bit (or only scaled), any
// other transverse Mercator through longitude and latitude.
TEST(PlaneZoneProjection, EachKindOfSource) {
    TTransverseMercatorParams zone9;
    ASSERT_TRUE(PlaneZoneParams(9, Grs80(), zone9));
    const TTransverseMercator direct(zone9);
    TProjectedPoint want{}, got{};
    ASSERT_TRUE(direct.Forward({35.6, 139.7}, want));

    const TPlaneZoneProjection geographic = TPlaneZoneProjection::FromGeographic(9, Grs80());
    ASSERT_TRUE(geographic.Valid());
    EXPECT_FALSE(geographic.PassesThrough());
    ASSERT_TRUE(geographic.Project(139.7, 35.6, got));  // x is the longitude
    EXPECT_EQ(BitsOf(got.Northing), BitsOf(want.Northing));
    EXPECT_EQ(BitsOf(got.Easting), BitsOf(want.Easting));
    EXPECT_FALSE(geographic.Project(150, 35.6, got));

    // Zone IX as GDAL writes it, in metres and in km.
    TTransverseMercatorParams written = zone9;
    written.CentralMeridian = 139.833333333333;
    const TPlaneZoneProjection same = TPlaneZoneProjection::FromTransverseMercator(9, written, 1);
    ASSERT_TRUE(same.PassesThrough());
    ASSERT_TRUE(same.Project(-12081.0357751727, -44369.4985042834, got));
    EXPECT_EQ(got.Northing, -44369.4985042834);
    EXPECT_EQ(got.Easting, -12081.0357751727);
    const TPlaneZoneProjection km = TPlaneZoneProjection::FromTransverseMercator(9, written, 1000);
    ASSERT_TRUE(km.Valid());
    EXPECT_FALSE(km.PassesThrough());
    ASSERT_TRUE(km.Project(-12.5, 3.25, got));
    EXPECT_EQ(got.Northing, 3250.0);
    EXPECT_EQ(got.Easting, -12500.0);

    // UTM 54N on GRS 80, in metres and in US survey feet.
    TTransverseMercatorParams utm;
    ASSERT_TRUE(UtmZoneParams(54, false, Grs80(), utm));
    const TTransverseMercator utmDirect(utm);
    TProjectedPoint u{};
    ASSERT_TRUE(utmDirect.Forward({35.6, 139.7}, u));
    const TPlaneZoneProjection fromUtm = TPlaneZoneProjection::FromTransverseMercator(9, utm, 1);
    ASSERT_TRUE(fromUtm.Project(u.Easting, u.Northing, got));
    EXPECT_NEAR(got.Northing, want.Northing, 1e-8);
    EXPECT_NEAR(got.Easting, want.Easting, 1e-8);
    const double surveyFoot = 1200.0 / 3937;
    const TPlaneZoneProjection feet =
        TPlaneZoneProjection::FromTransverseMercator(9, utm, surveyFoot);
    ASSERT_TRUE(feet.Project(u.Easting / surveyFoot, u.Northing / surveyFoot, got));
    EXPECT_NEAR(got.Northing, want.Northing, 1e-8);
    EXPECT_NEAR(got.Easting, want.Easting, 1e-8);
    // Far from the zone's meridian though near the source's.
    TProjectedPoint far{};
    ASSERT_TRUE(TTransverseMercator(utm).Forward({40, 151}, far));
    EXPECT_FALSE(fromUtm.Project(far.Easting, far.Northing, got));

    // What cannot be used refuses every point.
    TTransverseMercatorParams broken = utm;
    broken.Scale = 0;
    for (const TPlaneZoneProjection& p :
         {TPlaneZoneProjection::FromGeographic(0, Grs80()),
          TPlaneZoneProjection::FromGeographic(20, Grs80()),
          TPlaneZoneProjection::FromTransverseMercator(9, broken, 1),
          TPlaneZoneProjection::FromTransverseMercator(9, utm, 0),
          TPlaneZoneProjection::FromTransverseMercator(9, utm,
                                                       std::numeric_limits<double>::quiet_NaN())}) {
        EXPECT_FALSE(p.Valid());
        EXPECT_FALSE(p.Project(139.7, 35.6, got));
    }
    EXPECT_FALSE(same.Project(std::numeric_limits<double>::infinity(), 0, got));
}

// Parameters as a file might give them: each one out of range makes every
// point refused, never a coordinate computed from nonsense.
TEST(TransverseMercator, UnusableParametersRefuseEveryPoint) {
    TTransverseMercatorParams good;
    ASSERT_TRUE(PlaneZoneParams(9, Grs80(), good));
    EXPECT_TRUE(IsUsableTransverseMercator(good));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<TTransverseMercatorParams> bad(9, good);
    bad[0].Scale = 0;
    bad[1].Scale = -0.9999;
    bad[2].Ellipsoid.SemiMajorAxis = 0;
    bad[3].Ellipsoid.Flattening = 1.0 / 3;
    bad[4].Ellipsoid.Flattening = -0.001;
    bad[5].OriginLatitude = 91;
    bad[6].CentralMeridian = nan;
    bad[7].FalseEasting = std::numeric_limits<double>::infinity();
    bad[8].Scale = 1e300;
    for (const TTransverseMercatorParams& p : bad) {
        EXPECT_FALSE(IsUsableTransverseMercator(p));
        const TTransverseMercator tm(p);
        TProjectedPoint out{};
        TGeoPoint geo{};
        EXPECT_FALSE(tm.Forward({36, 139.8}, out));
        EXPECT_FALSE(tm.Inverse({0, 0}, geo));
    }
    // A sphere is an ellipsoid too.
    good.Ellipsoid.Flattening = 0;
    const TTransverseMercator sphere(good);
    TProjectedPoint out{};
    TGeoPoint geo{};
    ASSERT_TRUE(sphere.Forward({40, 145}, out));
    ASSERT_TRUE(sphere.Inverse(out, geo));
    EXPECT_NEAR(geo.Latitude, 40, 1e-13);
    EXPECT_NEAR(geo.Longitude, 145, 1e-13);
    // Longitudes far beyond a turn are refused, and quickly.
    TTransverseMercator tm(good);
    EXPECT_FALSE(tm.Forward({36, 1e300}, out));
    EXPECT_FALSE(tm.Forward({36, 139.8 + 720}, out));
}

// The origin is exactly (0, 0); mirror images about the meridian and the
// equator come out mirrored bit for bit; the inverse undoes the forward.
TEST(TransverseMercator, OriginSymmetryAndRoundTrip) {
    for (int zone = 1; zone <= kPlaneZoneCount; ++zone) {
        TTransverseMercatorParams p;
        ASSERT_TRUE(PlaneZoneParams(zone, Grs80(), p));
        const TTransverseMercator tm(p);
        TProjectedPoint o{};
        ASSERT_TRUE(tm.Forward({p.OriginLatitude, p.CentralMeridian}, o));
        EXPECT_EQ(BitsOf(o.Northing), BitsOf(0.0)) << zone;
        EXPECT_EQ(BitsOf(o.Easting), BitsOf(0.0)) << zone;
        TGeoPoint g{};
        ASSERT_TRUE(tm.Inverse({0, 0}, g));
        EXPECT_NEAR(g.Latitude, p.OriginLatitude, 1e-13);
        EXPECT_EQ(g.Longitude, p.CentralMeridian);
        for (double dlat = -7; dlat <= 7; dlat += 1.75) {
            for (double dlon = 0.25; dlon <= 9.75; dlon += 1.5) {
                const double lat = p.OriginLatitude + dlat;
                TProjectedPoint east{}, west{};
                ASSERT_TRUE(tm.Forward({lat, p.CentralMeridian + dlon}, east));
                ASSERT_TRUE(tm.Forward({lat, p.CentralMeridian - dlon}, west));
                EXPECT_EQ(BitsOf(east.Northing), BitsOf(west.Northing));
                EXPECT_EQ(BitsOf(east.Easting), BitsOf(-west.Easting));
                ASSERT_TRUE(tm.Inverse(east, g));
                EXPECT_NEAR(g.Latitude, lat, 1e-13);  // 0.01 um
                EXPECT_NEAR(g.Longitude, p.CentralMeridian + dlon, 1e-13);
            }
        }
    }
    TTransverseMercatorParams utm;
    utm.Ellipsoid = Wgs84Ellipsoid();
    utm.CentralMeridian = 141;
    utm.Scale = 0.9996;
    utm.FalseEasting = 500000;
    utm.FalseNorthing = 10000000;
    const TTransverseMercator south(utm);
    TProjectedPoint a{}, b{};
    ASSERT_TRUE(south.Forward({-30, 143}, a));
    ASSERT_TRUE(south.Forward({30, 143}, b));
    EXPECT_NEAR(a.Northing - 10000000, -(b.Northing - 10000000), 2e-9);
    EXPECT_EQ(a.Easting, b.Easting);
}

// The bits themselves, as this system computes them: the same on every
// system, or the converted files would differ between them.
TEST(TransverseMercator, SameBitsEverywhere) {
    struct TCase {
        int Zone;
        double Lat, Lon;
        uint64_t Northing, Easting;
    };
    const TCase cases[] = {
        {9, 35.6, 139.7, 0xc0e5aa2ff3bf4140ULL, 0xc0c798849447e658ULL},
        {1, 32.75, 129.875, 0xc0db0324e18d0080ULL, 0x40e1288176e57a8cULL},
        {12, 43.0621, 141.3544, 0xc0f957be00bd3940ULL, 0xc0f1cf369ea050a7ULL},
        {16, 24.3405, 124.1557, 0xc1066fe5642b69e0ULL, 0x40cedb9c4ad8237fULL},
        {19, 24.2867, 153.9807, 0xc1072a5e9e042290ULL, 0xc09e9cf3eae5bb48ULL},
    };
    for (const TCase& c : cases) {
        TTransverseMercatorParams p;
        ASSERT_TRUE(PlaneZoneParams(c.Zone, Grs80(), p));
        TProjectedPoint out{};
        ASSERT_TRUE(TTransverseMercator(p).Forward({c.Lat, c.Lon}, out));
        EXPECT_EQ(BitsOf(out.Northing), c.Northing);
        EXPECT_EQ(BitsOf(out.Easting), c.Easting);
    }
}

}  // namespace
}  // namespace quorvex
