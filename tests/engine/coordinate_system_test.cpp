// What a run tells about its coordinates: the description of a table's
// coordinate system in both languages, the warning for coordinates that are
// not plane rectangular metres, and the extent a run records for it.
#include "engine/coordinate_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "engine/convert.h"
#include "mif/uniMifUtils.h"
#include "test_util.h"

namespace quorvex {
namespace {

using test::TempDir;
using test::WriteBytes;

std::string En(const std::string& clause, const std::string& transform = {}) {
    return DescribeCoordSys(ParseCoordSys(clause, transform), TLanguage::English);
}
std::string Ja(const std::string& clause, const std::string& transform = {}) {
    return DescribeCoordSys(ParseCoordSys(clause, transform), TLanguage::Japanese);
}

TEST(DescribeCoordSys, JapaneseAndWorldSystems) {
    const std::string zone9Jgd2000 =
        "CoordSys Earth Projection 8, 152, \"m\", 139.833333333333, 36, 0.9999, 0, 0";
    EXPECT_EQ(Ja(zone9Jgd2000), "平面直角座標系 第IX系（JGD2000、m）");
    EXPECT_EQ(En(zone9Jgd2000), "Japan plane rectangular zone IX (JGD2000, m)");
    EXPECT_EQ(Ja("CoordSys Earth Projection 8, 97, \"km\", 154, 26, 0.9999, 0, 0"),
              "平面直角座標系 第XIX系（旧日本測地系、km）");
    EXPECT_EQ(En("CoordSys Earth Projection 8, 97, \"km\", 154, 26, 0.9999, 0, 0"),
              "Japan plane rectangular zone XIX (Tokyo, km)");
    EXPECT_EQ(Ja("CoordSys Earth Projection 1, 152"), "経緯度（度、JGD2000）");
    EXPECT_EQ(En("CoordSys Earth Projection 1, 104"), "longitude/latitude (degrees, WGS 84)");
    EXPECT_EQ(Ja("CoordSys Earth Projection 8, 104, \"m\", 141, 0, 0.9996, 500000, 0"),
              "横メルカトル（UTM 第54帯、WGS 84、m）");
    EXPECT_EQ(En("CoordSys Earth Projection 8, 104, \"m\", 141, 0, 0.9996, 500000, 10000000"),
              "transverse Mercator (UTM zone 54 south, WGS 84, m)");
    EXPECT_EQ(En("CoordSys Earth Projection 8, 79, \"m\", -2, 49, 0.9996012717, 400000, -100000"),
              "transverse Mercator (central meridian -2, origin latitude 49, scale 0.9996012717, "
              "OSGB 1936, m)");
    EXPECT_EQ(Ja("CoordSys Earth Projection 8, 152, \"m\", 139.833333333333, 35, 1, 0, 0"),
              "横メルカトル（中央子午線 139.833333333333°、原点緯度 35°、縮尺係数 1、JGD2000、m）");
    EXPECT_EQ(Ja("CoordSys Earth Projection 3, 116, \"m\", 145, -37, -36, -38, 2500000, 2500000"),
              "投影法 3（GDA94、m）");
    EXPECT_EQ(En("CoordSys Earth Projection 10, 157, \"m\", 0"), "projection 10 (WGS 84, m)");
    EXPECT_EQ(En("CoordSys Earth Projection 1, 164"), "longitude/latitude (degrees, datum 164)");
    EXPECT_EQ(Ja("CoordSys Earth Projection 1, 1015"), "経緯度（度、旧日本測地系）");
}

TEST(DescribeCoordSys, CustomDatumsNonEarthAndNoClause) {
    EXPECT_EQ(Ja("CoordSys Earth Projection 1, 9999, 0, 0, 0, 0, 0, 0, 0, 0, 0"),
              "経緯度（度、GRS 80 楕円体の独自測地系）");
    EXPECT_EQ(En("CoordSys Earth Projection 1, 999, 10, -146, 507, 681"),
              "longitude/latitude (degrees, custom datum on Bessel 1841)");
    EXPECT_EQ(En("CoordSys Earth Projection 1, 999, 77, 0, 0, 0"),
              "longitude/latitude (degrees, custom datum on ellipsoid 77)");
    EXPECT_EQ(Ja("CoordSys NonEarth Units \"km\""), "非地球座標（km）");
    EXPECT_EQ(En("CoordSys NonEarth Units \"survey ft\" Bounds (0, 0) (1, 1)"),
              "non-earth (survey ft)");
    EXPECT_EQ(Ja(""), "座標系の指定なし");
    EXPECT_EQ(En(""), "no coordinate system");
    EXPECT_EQ(Ja("CoordSys Earth"), "解釈できない座標系");
    EXPECT_EQ(En("CoordSys Earth"), "unreadable coordinate system");

    EXPECT_EQ(Ja("CoordSys NonEarth Affine Units \"m\", 1, 0, 0, 0, 1, 0 Units \"m\""),
              "非地球座標（m）＋アフィン変換");
    EXPECT_EQ(En("CoordSys NonEarth Units \"m\"", "Transform 2, 2, 0, 0"),
              "non-earth (m) with a Transform clause");
    // A Transform that changes nothing is not worth a word.
    EXPECT_EQ(En("CoordSys NonEarth Units \"m\"", "Transform 1, 1, 0, 0"), "non-earth (m)");
}

TEST(RomanZoneNumber, OneToNineteen) {
    EXPECT_EQ(RomanZoneNumber(1), "I");
    EXPECT_EQ(RomanZoneNumber(4), "IV");
    EXPECT_EQ(RomanZoneNumber(9), "IX");
    EXPECT_EQ(RomanZoneNumber(14), "XIV");
    EXPECT_EQ(RomanZoneNumber(18), "XVIII");
    EXPECT_EQ(RomanZoneNumber(19), "XIX");
    EXPECT_EQ(RomanZoneNumber(20), "20");
}

TExtent ExtentOf(double minX, double minY, double maxX, double maxY) {
    return {false, minX, minY, maxX, maxY};
}

// The warning's message id, or Text for none.
TMsg WarningOf(const std::string& clause, const TExtent& extent = {},
               const std::string& transform = {}) {
    const auto w = CoordSysWarning(ParseCoordSys(clause, transform), extent);
    return w ? w->Id : TMsg::Text;
}

TEST(CoordSysWarning, TablesInPlaneRectangularMetresGetNone) {
    const TExtent lonLat = ExtentOf(139.7, 35.6, 139.8, 35.7);
    for (const char* clause : {
             "CoordSys Earth Projection 8, 152, \"m\", 139.833333333333, 36, 0.9999, 0, 0",
             "CoordSys Earth Projection 8, 104, \"m\", 141, 0, 0.9996, 500000, 0",
             "CoordSys Earth Projection 8, 79, \"m\", -2, 49, 0.9996012717, 400000, -100000",
             "CoordSys Earth Projection 8, 1017, \"m\", 141, 0, 0.9996, 500000, 0",
             "CoordSys NonEarth Units \"m\"",
             "CoordSys NonEarth Units \"m\" Bounds (0, 0) (1000, 1000)",
         }) {
        // Whatever the extent: the clause is taken at its word.
        EXPECT_EQ(WarningOf(clause), TMsg::Text) << clause;
        EXPECT_EQ(WarningOf(clause, lonLat), TMsg::Text) << clause;
        EXPECT_EQ(WarningOf(clause, lonLat, "Transform 1, 1, 0, 0"), TMsg::Text) << clause;
    }
}

TEST(CoordSysWarning, EveryOtherKindOfCoordinateWarns) {
    const TExtent metres = ExtentOf(-30000, 10000, -29000, 11000);
    EXPECT_EQ(WarningOf("CoordSys Earth Projection 1, 104", metres), TMsg::CsWarnDegrees);
    EXPECT_EQ(WarningOf("CoordSys Earth Projection 1, 9999, 0, 0, 0, 0, 0, 0, 0, 0, 0"),
              TMsg::CsWarnDegrees);
    EXPECT_EQ(WarningOf("CoordSys Earth Projection 3, 116, \"m\", 145, -37, -36, -38, 0, 0"),
              TMsg::CsWarnProjection);
    EXPECT_EQ(WarningOf("CoordSys Earth Projection 8, 152, \"km\", 139.833333333333, 36, "
                        "0.9999, 0, 0"),
              TMsg::CsWarnUnit);
    EXPECT_EQ(WarningOf("CoordSys Earth Projection 8, 152, \"degree\", 139.833333333333, 36, "
                        "0.9999, 0, 0"),
              TMsg::CsWarnUnit);
    EXPECT_EQ(WarningOf("CoordSys NonEarth Units \"ft\""), TMsg::CsWarnUnit);
    EXPECT_EQ(WarningOf("CoordSys NonEarth Affine Units \"m\", 1, 0, 0, 0, 1, 0 Units \"m\""),
              TMsg::CsWarnAffine);
    EXPECT_EQ(WarningOf("CoordSys Earth Projection 8, 152, \"m\", 139.833333333333, 36, 0.9999, "
                        "0, 0 Affine Units \"m\", 1, 0, 0, 0, 1, 0"),
              TMsg::CsWarnAffine);
    EXPECT_EQ(WarningOf("CoordSys NonEarth Units \"m\"", metres, "Transform 1, 1, 10, 0"),
              TMsg::CsWarnTransform);
    EXPECT_EQ(WarningOf("CoordSys NonEarth Units \"m\"", metres, "Transform 1, 1"),
              TMsg::CsWarnTransform);
    EXPECT_EQ(WarningOf("", metres, "Transform 0.001, 0.001, 0, 0"), TMsg::CsWarnTransform);
    EXPECT_EQ(WarningOf("CoordSys Earth"), TMsg::CsWarnUnknown);

    // The argument names what the user has to look for.
    const auto unit =
        CoordSysWarning(ParseCoordSys("CoordSys NonEarth Units \"survey ft\""), metres);
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->Text(TLanguage::Japanese),
              "座標の単位は「survey ft」で、メートルではありません。そのまま書き出しました。");
    const auto projection =
        CoordSysWarning(ParseCoordSys("CoordSys Earth Projection 10, 157, \"m\", 0"), metres);
    ASSERT_TRUE(projection);
    EXPECT_EQ(projection->Text(TLanguage::English),
              "the coordinates are in projection 10, not transverse Mercator; written as they "
              "stand");
}

TEST(CoordSysWarning, NoClauseWarnsOnlyWhenEveryCoordinateIsLongitudeLatitude) {
    EXPECT_EQ(WarningOf("", ExtentOf(139.7, 35.6, 139.8, 35.7)), TMsg::CsWarnNoClauseLonLat);
    EXPECT_EQ(WarningOf("", ExtentOf(-180, -90, 180, 90)), TMsg::CsWarnNoClauseLonLat);
    EXPECT_EQ(WarningOf("", ExtentOf(-180.001, 0, 0, 0)), TMsg::Text);
    EXPECT_EQ(WarningOf("", ExtentOf(0, 0, 180.001, 0)), TMsg::Text);
    EXPECT_EQ(WarningOf("", ExtentOf(0, -90.001, 0, 0)), TMsg::Text);
    EXPECT_EQ(WarningOf("", ExtentOf(0, 0, 0, 90.001)), TMsg::Text);
    // Plane rectangular metres near a zone's origin.
    EXPECT_EQ(WarningOf("", ExtentOf(-35000, 120, -34000, 300)), TMsg::Text);
    // Nothing written: nothing to warn about.
    EXPECT_EQ(WarningOf("", TExtent{}), TMsg::Text);
}

TEST(TExtent, GrowsOverShapesAndExtents) {
    TExtent e;
    EXPECT_TRUE(e.Empty);
    EXPECT_FALSE(e.WithinLongitudeLatitude());
    TSFPolygon empty;
    empty.MinX = -1000;  // stale bounds of a shape without vertices
    e.Add(empty);
    EXPECT_TRUE(e.Empty);
    TSFPolyLine line;
    line.Points = {{10, 5}, {2, 8}};
    line.NumPoints = 2;
    UpdateBounds(line);
    e.Add(line);
    EXPECT_EQ(e.MinX, 2);
    EXPECT_EQ(e.MaxY, 8);
    e.Add(ExtentOf(-1, 6, 3, 100));
    EXPECT_EQ(e.MinX, -1);
    EXPECT_EQ(e.MinY, 5);
    EXPECT_EQ(e.MaxX, 10);
    EXPECT_EQ(e.MaxY, 100);
    EXPECT_FALSE(e.WithinLongitudeLatitude());
    e.Add(TExtent{});
    EXPECT_EQ(e.MaxY, 100);
}

// Runs: the report carries the clause and the extent of what was written.
const std::string kLonLatObjects =
    "Region 1\r\n 4\r\n139.70 35.60\r\n139.71 35.60\r\n139.71 35.61\r\n139.70 35.60\r\n"
    "Rect 139.6 35.5 139.8 35.9\r\nLine 139.72 35.58 139.75 35.62\r\n"
    "Pline 3\r\n139.65 35.7\r\n139.66 35.71\r\n139.67 35.69\r\n";

std::string Table(const std::string& header) {
    return "Version 300\r\nCharset \"Neutral\"\r\n" + header +
           "Columns 1\r\n  ID Integer\r\nData\r\n\r\n" + kLonLatObjects;
}
const std::string kMid = "1\r\n2\r\n3\r\n4\r\n";

TEST(ConvertFile, ReportsTheClauseAndTheExtentWritten) {
    TempDir dir;
    TConvertSettings s;
    s.MifFile = dir / "in.mif";
    s.SimFile = dir / "out.sim";
    WriteBytes(dir / "in.mid", kMid);

    WriteBytes(s.MifFile, Table("Delimiter \",\"\r\n"));
    TRunReport r;
    ASSERT_TRUE(ConvertFile(s, &r));
    EXPECT_EQ(r.CoordSys.Kind, TCoordSysKind::None);
    ASSERT_FALSE(r.Extent.Empty);
    EXPECT_EQ(r.Extent.MinX, 139.6);
    EXPECT_EQ(r.Extent.MinY, 35.5);
    EXPECT_EQ(r.Extent.MaxX, 139.8);
    EXPECT_EQ(r.Extent.MaxY, 35.9);
    EXPECT_EQ(CoordSysWarning(r.CoordSys, r.Extent)->Id, TMsg::CsWarnNoClauseLonLat);
    const std::string withoutClause = test::ReadBytes(s.SimFile);

    // Parcels only: the routes' coordinates were not written.
    s.Rosen = false;
    ASSERT_TRUE(ConvertFile(s, &r));
    EXPECT_EQ(r.Extent.MinX, 139.6);
    s.Kakuchi = false;
    s.Rosen = true;
    ASSERT_TRUE(ConvertFile(s, &r));
    EXPECT_EQ(r.Extent.MinX, 139.65);
    EXPECT_EQ(r.Extent.MaxY, 35.71);
    s.Kakuchi = true;

    // A clause with its Bounds on the next line changes no byte of the output.
    WriteBytes(s.MifFile, Table("Delimiter \",\"\r\nCoordSys Earth Projection 1, 152\r\n"
                                "  Bounds (-180, -90) (180, 90)\r\n"));
    ASSERT_TRUE(ConvertFile(s, &r));
    EXPECT_EQ(test::ReadBytes(s.SimFile), withoutClause);
    EXPECT_EQ(r.CoordSys.Kind, TCoordSysKind::Earth);
    EXPECT_TRUE(r.CoordSys.Bounds);
    EXPECT_EQ(DescribeCoordSys(r.CoordSys, TLanguage::Japanese), "経緯度（度、JGD2000）");
    EXPECT_EQ(CoordSysWarning(r.CoordSys, r.Extent)->Id, TMsg::CsWarnDegrees);
}

TEST(ConvertCombined, EachRowReportsItsOwnClauseAndExtent) {
    TempDir dir;
    std::vector<TBatchRow> rows;
    auto add = [&](const std::string& name, const std::string& header, const std::string& objects) {
        TConvertSettings s;
        s.MifFile = dir / (name + ".mif");
        WriteBytes(s.MifFile, "Version 300\r\nCharset \"Neutral\"\r\n" + header +
                                  "Columns 1\r\n  ID Integer\r\nData\r\n" + objects);
        WriteBytes(dir / (name + ".mid"), kMid);
        rows.push_back(RowFromSettings(s, ""));
    };
    add("a", "CoordSys Earth Projection 1, 104\r\n", kLonLatObjects);
    add("b", "CoordSys Earth Projection 8, 104, \"m\", 139.833333333333, 36, 0.9999, 0, 0\r\n",
        "Line -35000 120 -34000 300\r\n");
    std::vector<TRunReport> reports;
    TRunCallbacks cb;
    cb.MarkRow = [&](size_t, const TRunReport& r) { reports.push_back(r); };
    ASSERT_TRUE(ConvertCombined(rows, dir / "all.sim", "G", cb).Written);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].CoordSys.Projection, 1);
    EXPECT_EQ(reports[0].Extent.MaxX, 139.8);
    EXPECT_EQ(CoordSysWarning(reports[0].CoordSys, reports[0].Extent)->Id, TMsg::CsWarnDegrees);
    EXPECT_EQ(PlaneRectangularZoneOf(reports[1].CoordSys), 9);
    EXPECT_EQ(reports[1].Extent.MinX, -35000);
    EXPECT_EQ(reports[1].Extent.MaxY, 300);
    EXPECT_FALSE(CoordSysWarning(reports[1].CoordSys, reports[1].Extent));
}

// The real files: what their clauses say, and that each reads into a record.
TEST(ExternalData, ClausesOfTheCollection) {
    const std::string root = test::ExternalDataDir();
    if (root.empty()) GTEST_SKIP() << "no external MIF data";
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        std::string ext = e.path().extension().string();
        for (char& c : ext)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        if (e.is_regular_file() && ext == ".mif") files.push_back(e.path().string());
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());
    int unknown = 0;
    for (const std::string& path : files) {
        const TMifTable table = ReadMifTable(path);
        const TCoordSys& cs = table.Header.CoordSys;
        if (cs.Kind == TCoordSysKind::Unknown) ++unknown;
        std::cout << std::filesystem::path(path).lexically_relative(root).generic_string() << "\n  "
                  << (table.Header.CoordSysText.empty() ? "(no clause)" : table.Header.CoordSysText)
                  << "\n  -> " << DescribeCoordSys(cs, TLanguage::English) << "\n";
        // A clause of the collection that was kept reads.
        if (!table.Header.CoordSysText.empty()) {
            EXPECT_NE(cs.Kind, TCoordSysKind::None) << path;
        }
    }
    // Every clause of the collection is in a form the format defines.
    EXPECT_EQ(unknown, 0);
}

}  // namespace
}  // namespace quorvex
