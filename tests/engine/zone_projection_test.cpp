// Conversions that project a table to a plane rectangular zone: the points
// against PROJ on the ellipsoid of the table's datum, tables already in the
// zone passing through, merged runs, and every table that is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/convert.h"
#include "test_util.h"

namespace quorvex {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// A parcel and a route near Tokyo, in longitude and latitude.
const std::string kLonLatObjects =
    "Region 1\r\n  4\r\n139.7 35.6\r\n139.71 35.6\r\n139.71 35.61\r\n139.7 35.6\r\n"
    "Line 139.95 35.9 139.6 35.4\r\n";

struct TZonePoint {
    double Northing, Easting;
};

// The five points above in zone IX, from PROJ 9.1.1:
//   cs2cs -f %.10f +proj=longlat +ellps=E +to +proj=tmerc +lat_0=36
//         +lon_0=139d50 +k=0.9999 +x_0=0 +y_0=0 +ellps=E
// with E = GRS80 (JGD2000) and WGS84. The two lie up to 1.1 um apart, more
// than the tolerance, so a run on the wrong ellipsoid fails.
const TZonePoint kGrs80[] = {
    {-44369.4985042826, -12081.0357751416}, {-44370.6799070226, -11174.9576184323},
    {-43261.2730696979, -11173.5672912294}, {-11088.4107340678, 10531.3101253759},
    {-66540.4146505760, -21194.2970301475},
};
const TZonePoint kWgs84[] = {
    {-44369.4985049978, -12081.0357750744}, {-44370.6799077378, -11174.9576183702},
    {-43261.2730703961, -11173.5672911672}, {-11088.4107342455, 10531.3101253165},
    {-66540.4146516552, -21194.2970300308},
};

std::string Table(const std::string& head, const std::string& objects) {
    return "Version 300\r\nCharset \"Neutral\"\r\nDelimiter \",\"\r\n" + head +
           "Columns 1\r\n  ID Integer\r\nData\r\n" + objects;
}

struct TJob {
    TempDir dir;
    TConvertSettings s;
    TJob(const std::string& head, const std::string& objects, int32_t zone,
         const std::string& name = "t") {
        s.MifFile = dir / (name + ".mif");
        s.SimFile = dir / (name + ".sim");
        s.Zone = zone;
        WriteBytes(s.MifFile, Table(head, objects));
        WriteBytes(dir / (name + ".mid"), "1\r\n2\r\n");
    }
};

// The first and second coordinate of each A01 line.
std::vector<std::pair<double, double>> Coordinates(const std::string& sim) {
    std::vector<std::pair<double, double>> out;
    for (size_t at = sim.find("A01,"); at != std::string::npos; at = sim.find("A01,", at + 1)) {
        size_t field = at;
        for (int i = 0; i < 3; ++i)
            field = sim.find(',', field) + 1;
        char* end = nullptr;
        const double first = std::strtod(sim.c_str() + field, &end);
        const double second = std::strtod(end + 1, nullptr);
        out.emplace_back(first, second);
    }
    return out;
}

void ExpectPoints(const std::string& sim, const TZonePoint (&reference)[5], bool swapXY = true) {
    const auto got = Coordinates(sim);
    ASSERT_EQ(got.size(), 5u) << sim;
    for (size_t i = 0; i < 5; ++i) {
        const TZonePoint& r = reference[i];
        EXPECT_NEAR(got[i].first, swapXY ? r.Northing : r.Easting, 1e-6) << i;
        EXPECT_NEAR(got[i].second, swapXY ? r.Easting : r.Northing, 1e-6) << i;
    }
}

TEST(ZoneProjection, LongitudeLatitudeOnTheTablesOwnEllipsoid) {
    TJob jgd2000("CoordSys Earth Projection 1, 152\r\n", kLonLatObjects, 9);
    TRunReport r;
    ASSERT_TRUE(ConvertFile(jgd2000.s, &r)) << r.Error.Text(TLanguage::English);
    ExpectPoints(ReadBytes(jgd2000.s.SimFile), kGrs80);
    // The extent is of the coordinates written.
    EXPECT_NEAR(r.Extent.MinY, kGrs80[4].Northing, 1e-6);

    TJob wgs84("CoordSys Earth Projection 1, 104\r\n", kLonLatObjects, 9);
    ASSERT_TRUE(ConvertFile(wgs84.s, &r));
    ExpectPoints(ReadBytes(wgs84.s.SimFile), kWgs84);

    // SwapXY keeps its meaning: off, the easting comes first.
    wgs84.s.SwapXY = false;
    ASSERT_TRUE(ConvertFile(wgs84.s, &r));
    ExpectPoints(ReadBytes(wgs84.s.SimFile), kWgs84, false);
}

// UTM and the Tokyo datum, against PROJ 9.1.1 as above (+proj=utm +zone=54
// +ellps=WGS84 for the source; +ellps=bessel for the Tokyo datum).
TEST(ZoneProjection, UtmAndTheTokyoDatum) {
    struct Case {
        std::string head, objects;
        TZonePoint expected[2];
    };
    const Case cases[] = {
        {"CoordSys Earth Projection 8, 104, \"m\", 141, 0, 0.9996, 500000, 0\r\n",
         "Line 380000.5 3940000.25 402000 3973000.75\r\n",
         {{-44757.6793590784, -14318.3694533268}, {-11492.6831594287, 7290.3054646880}}},
        // The same in kilometres: the false easting too is in the table's unit.
        {"CoordSys Earth Projection 8, 104, \"km\", 141, 0, 0.9996, 500, 0\r\n",
         "Line 380.0005 3940.00025 402 3973.00075\r\n",
         {{-44757.6793590784, -14318.3694533268}, {-11492.6831594287, 7290.3054646880}}},
        {"CoordSys Earth Projection 1, 97\r\n",
         "Line 139.7 35.6 139.95 35.9\r\n",
         {{-44364.7888548658, -12079.5933679228}, {-11087.2329677991, 10530.0522211827}}},
    };
    for (const Case& c : cases) {
        TJob job(c.head, c.objects, 9);
        TRunReport r;
        ASSERT_TRUE(ConvertFile(job.s, &r)) << r.Error.Text(TLanguage::English);
        const auto got = Coordinates(ReadBytes(job.s.SimFile));
        ASSERT_EQ(got.size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_NEAR(got[i].first, c.expected[i].Northing, 1e-6) << c.head << i;
            EXPECT_NEAR(got[i].second, c.expected[i].Easting, 1e-6) << c.head << i;
        }
    }
}

TEST(ZoneProjection, TablesInTheZonePassThroughOrAreOnlyScaled) {
    // As GDAL writes zone IX: its meridian to 12 decimals.
    const std::string zoneIx =
        "CoordSys Earth Projection 8, 152, \"m\", 139.833333333333, 36, 0.9999, 0, 0\r\n";
    const std::string objects =
        "Region 1\r\n  4\r\n-12082.123456789012 -44359.25\r\n-11176.75 -44356.5\r\n"
        "-11178.125 -43247.1\r\n-12082.123456789012 -44359.25\r\nLine 0.1 0.2 -0.3 1e-9\r\n";
    TJob plain(zoneIx, objects, 0);
    TJob projected(zoneIx, objects, 9);
    ASSERT_TRUE(ConvertFile(plain.s));
    ASSERT_TRUE(ConvertFile(projected.s));
    EXPECT_EQ(ReadBytes(projected.s.SimFile), ReadBytes(plain.s.SimFile));

    // The same in kilometres, with numbers whose scaling is exact.
    const std::string km =
        "CoordSys Earth Projection 8, 152, \"km\", 139.833333333333, 36, "
        "0.9999, 0, 0\r\n";
    TJob metres(zoneIx, "Line -12082.5 -44359.25 -11176.75 -44356.5\r\n", 0);
    TJob kilometres(km, "Line -12.0825 -44.35925 -11.17675 -44.3565\r\n", 9);
    ASSERT_TRUE(ConvertFile(metres.s));
    ASSERT_TRUE(ConvertFile(kilometres.s));
    const auto a = Coordinates(ReadBytes(metres.s.SimFile));
    const auto b = Coordinates(ReadBytes(kilometres.s.SimFile));
    ASSERT_EQ(b.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_NEAR(b[i].first, a[i].first, 1e-9);
        EXPECT_NEAR(b[i].second, a[i].second, 1e-9);
    }
}

TEST(ZoneProjection, MergedRunProjectsEveryInputToTheOneZone) {
    TJob lonLat("CoordSys Earth Projection 1, 152\r\n", kLonLatObjects, 9, "a");
    TJob zoneIx("CoordSys Earth Projection 8, 152, \"m\", 139.833333333333, 36, 0.9999, 0, 0\r\n",
                "Line -66540.5 -21194.25 -44369.5 -12081.0\r\n", 9, "b");
    const std::vector<TBatchRow> rows = {RowFromSettings(lonLat.s, ""),
                                         RowFromSettings(zoneIx.s, "")};
    const std::string out = lonLat.dir / "all.sim";
    ASSERT_TRUE(ConvertCombined(rows, out, "G", {}).Written);
    const auto got = Coordinates(ReadBytes(out));
    ASSERT_EQ(got.size(), 7u);
    EXPECT_NEAR(got[0].first, kGrs80[0].Northing, 1e-6);
    EXPECT_NEAR(got[4].second, kGrs80[4].Easting, 1e-6);
    EXPECT_EQ(got[5], std::make_pair(-21194.25, -66540.5));
    EXPECT_EQ(got[6], std::make_pair(-12081.0, -44369.5));

    // Rows for different zones would mix two grids in one file.
    std::vector<TBatchRow> mixed = rows;
    mixed[1].Zone = 8;
    const TRunResult refused = ConvertCombined(mixed, lonLat.dir / "mixed.sim", "G", {});
    EXPECT_EQ(refused.Failure, TRunFailure::Refused);
    EXPECT_EQ(refused.Error.Id, TMsg::MergedZonesDiffer);
    EXPECT_TRUE(refused.Inputs.empty());
    EXPECT_FALSE(test::Exists(lonLat.dir / "mixed.sim"));
}

TEST(ZoneProjection, TablesThatCannotBeProjectedAreRefused) {
    struct Case {
        std::string head;
        TMsg expected;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"CoordSys NonEarth Units \"m\"\r\n", TMsg::ZoneNonEarth, {"IX"}},
        {"", TMsg::ZoneNoClause, {"IX"}},
        {"CoordSys Frobnicate\r\n", TMsg::ZoneUnreadable, {"IX"}},
        {"CoordSys Earth Projection 3, 152, \"m\", 136, 36, 33, 38, 0, 0\r\n",
         TMsg::ZoneProjection,
         {"IX", "3"}},
        {"CoordSys Earth Projection 1, 104 Affine Units \"m\", 1, 0, 0, 0, 1, 0\r\n",
         TMsg::ZoneAffine,
         {"IX"}},
        {"CoordSys Earth Projection 1, 104\r\nTransform 1, 1, 10, 0\r\n",
         TMsg::ZoneTransform,
         {"IX"}},
        {"CoordSys Earth Projection 1, 4242\r\n", TMsg::ZoneDatum, {"IX", "4242"}},
    };
    for (const Case& c : cases) {
        TJob job(c.head, kLonLatObjects, 9);
        TRunReport r;
        EXPECT_FALSE(ConvertFile(job.s, &r)) << c.head;
        EXPECT_EQ(r.Error.Id, c.expected) << c.head << r.Error.Text(TLanguage::English);
        EXPECT_EQ(r.Error.Args, c.args) << c.head;
        EXPECT_FALSE(test::Exists(job.s.SimFile));
    }

    // A point more than 10 degrees of longitude from the zone's meridian,
    // named by its line; nothing is written.
    TJob far("CoordSys Earth Projection 1, 152\r\n",
             "Line 139.7 35.6 139.8 35.7\r\nLine 139.7 35.6 150.0 35.7\r\n", 9);
    TRunReport r;
    EXPECT_FALSE(ConvertFile(far.s, &r));
    EXPECT_EQ(r.Error.Id, TMsg::ZoneTooFar);
    EXPECT_EQ(r.Error.Args, (std::vector<std::string>{far.s.MifFile, "9", "IX"}));
    EXPECT_FALSE(test::Exists(far.s.SimFile));
    // Without a zone the same table converts.
    far.s.Zone = 0;
    EXPECT_TRUE(ConvertFile(far.s));

    // A zone that does not exist.
    TJob none("CoordSys Earth Projection 1, 152\r\n", kLonLatObjects, 20);
    EXPECT_FALSE(ConvertFile(none.s, &r));
    EXPECT_EQ(r.Error.Id, TMsg::ZoneNumber);
}

// Tables that GDAL's MapInfo driver wrote from the same parcels and road near
// Tokyo, and PROJ's zone IX coordinates of every vertex on the ellipsoid of
// each table's datum (scripts/gen_zone_end_to_end.py made both).
const std::string kOgrData = QUORVEX_TEST_DATA "/zones/ogr2ogr/";

std::map<std::string, std::vector<std::pair<double, double>>> ReferenceVertices() {
    std::map<std::string, std::vector<std::pair<double, double>>> out;
    std::istringstream in(ReadBytes(kOgrData + "reference.txt"));
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string table;
        double northing = 0, easting = 0;
        words >> table >> northing >> easting;
        EXPECT_TRUE(words) << line;
        out[table].emplace_back(northing, easting);
    }
    return out;
}

TEST(ZoneProjection, TablesWrittenByGdalGiveProjsZoneNine) {
    const auto reference = ReferenceVertices();
    ASSERT_EQ(reference.size(), 5u);
    for (const auto& [table, vertices] : reference) {
        TempDir dir;
        TConvertSettings s;
        s.MifFile = kOgrData + table + ".mif";
        s.SimFile = dir / "out.sim";
        s.Zone = 9;
        TRunReport r;
        ASSERT_TRUE(ConvertFile(s, &r)) << table << ": " << r.Error.Text(TLanguage::English);
        const auto points = Coordinates(ReadBytes(s.SimFile));
        // Shared vertices are one point: every vertex has its point within
        // 1 um, and every point is a vertex.
        auto near = [](std::pair<double, double> a, std::pair<double, double> b) {
            return std::abs(a.first - b.first) <= 1e-6 && std::abs(a.second - b.second) <= 1e-6;
        };
        for (const auto& v : vertices)
            EXPECT_TRUE(std::any_of(points.begin(), points.end(),
                                    [&](const auto& p) { return near(p, v); }))
                << table << " " << v.first << " " << v.second;
        for (const auto& p : points)
            EXPECT_TRUE(std::any_of(vertices.begin(), vertices.end(),
                                    [&](const auto& v) { return near(p, v); }))
                << table << " " << p.first << " " << p.second;
        EXPECT_GE(points.size(), 20u) << table;
    }
    // Here the two ellipsoids lie more than the tolerance apart: a table
    // projected on the wrong one fails above.
    double apart = 0;
    for (size_t i = 0; i < reference.at("jgd2000").size(); ++i) {
        const auto& a = reference.at("jgd2000")[i];
        const auto& b = reference.at("jgd2011")[i];
        apart = std::max({apart, std::abs(a.first - b.first), std::abs(a.second - b.second)});
    }
    EXPECT_GT(apart, 1e-6);
}

TEST(ZoneProjection, AZoneNineTableWrittenByGdalPassesThroughBitForBit) {
    TempDir dir;
    TConvertSettings s;
    s.MifFile = kOgrData + "zone9.mif";
    s.SimFile = dir / "as_read.sim";
    ASSERT_TRUE(ConvertFile(s));
    s.SimFile = dir / "projected.sim";
    s.Zone = 9;
    ASSERT_TRUE(ConvertFile(s));
    EXPECT_EQ(ReadBytes(dir / "projected.sim"), ReadBytes(dir / "as_read.sim"));
}

}  // namespace
}  // namespace quorvex
