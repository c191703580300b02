// Reading the CoordSys and Transform clauses of a MIF header: every form the
// format writes, the clauses GDAL writes for the Japanese and world systems,
// clauses spread over several lines, and the plane rectangular zones.
#include "mif/mif_coordsys.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "mif/mif_test_util.h"
#include "mif/uniMifUtils.h"
#include "test_util.h"

namespace quorvex {
namespace {

using test::NextLine;

TEST(ParseCoordSys, EarthWithProjectionDatumUnitsAndParameters) {
    const TCoordSys cs = ParseCoordSys(
        "CoordSys Earth Projection 8, 152, \"m\", 139.833333333333, 36, 0.9999, 0, 0");
    ASSERT_EQ(cs.Kind, TCoordSysKind::Earth);
    EXPECT_EQ(cs.Projection, 8);
    EXPECT_EQ(cs.Datum, 152);
    EXPECT_EQ(cs.Ellipsoid, -1);
    EXPECT_EQ(cs.Units, "m");
    EXPECT_EQ(cs.Parameters, (std::vector<double>{139.833333333333, 36, 0.9999, 0, 0}));
    EXPECT_FALSE(cs.Affine || cs.Bounds || cs.Transform);
    ASSERT_NE(cs.DatumEllipsoid(), nullptr);
    EXPECT_EQ(cs.DatumEllipsoid()->Name, "GRS 80");
    EXPECT_EQ(cs.UnitMetres(), 1.0);

    const TCoordSys geographic = ParseCoordSys("coordsys earth projection 1, 97");
    ASSERT_EQ(geographic.Kind, TCoordSysKind::Earth);
    EXPECT_EQ(geographic.Projection, 1);
    EXPECT_EQ(geographic.Units, "degree");
    EXPECT_EQ(geographic.UnitMetres(), 0.0);
    EXPECT_TRUE(geographic.Parameters.empty());
    EXPECT_EQ(geographic.DatumEllipsoid()->Name, "Bessel 1841");
    // A unit after longitude and latitude may only be the degree.
    EXPECT_EQ(ParseCoordSys("CoordSys Earth Projection 1, 104, \"degree\"").Kind,
              TCoordSysKind::Earth);
    EXPECT_EQ(ParseCoordSys("CoordSys Earth Projection 1, 104, \"m\"").Kind,
              TCoordSysKind::Unknown);
}

TEST(ParseCoordSys, CustomDatumsCarryTheirEllipsoidAndShifts) {
    // As a French file of the external collection has it.
    const TCoordSys shifted = ParseCoordSys(
        "CoordSys Earth Projection 3, 999, 0, 0.0000, 0.0000, 0.0000, \"m\", 3.000000000000, "
        "46.500000000000, 44.000000000000, 49.000000000000, 700000.000, 6600000.000");
    ASSERT_EQ(shifted.Kind, TCoordSysKind::Earth);
    EXPECT_EQ(shifted.Datum, 999);
    EXPECT_EQ(shifted.Ellipsoid, 0);
    EXPECT_EQ(shifted.DatumParameters, (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(shifted.Parameters.size(), 6u);
    EXPECT_EQ(shifted.DatumEllipsoid()->Name, "GRS 80");

    const TCoordSys rotated = ParseCoordSys(
        "CoordSys Earth Projection 1, 9999, 10, -146.414, 507.337, 680.507, 0, 0, 0, 0, 0");
    ASSERT_EQ(rotated.Kind, TCoordSysKind::Earth);
    EXPECT_EQ(rotated.Ellipsoid, 10);
    EXPECT_EQ(rotated.DatumParameters,
              (std::vector<double>{-146.414, 507.337, 680.507, 0, 0, 0, 0, 0}));
    EXPECT_EQ(rotated.DatumEllipsoid()->Name, "Bessel 1841");

    // Too few shift parameters: the units would be taken for one.
    EXPECT_EQ(ParseCoordSys("CoordSys Earth Projection 1, 999, 0, 1, 2").Kind,
              TCoordSysKind::Unknown);
    // An ellipsoid number no table knows reads, but gives no ellipsoid.
    const TCoordSys unknownEllipsoid =
        ParseCoordSys("CoordSys Earth Projection 1, 999, 77, 0, 0, 0");
    EXPECT_EQ(unknownEllipsoid.Kind, TCoordSysKind::Earth);
    EXPECT_EQ(unknownEllipsoid.DatumEllipsoid(), nullptr);
    EXPECT_EQ(ParseCoordSys("CoordSys Earth Projection 1, 1017").DatumEllipsoid(), nullptr);
    EXPECT_EQ(ParseCoordSys("CoordSys Earth Projection 1, 164").DatumEllipsoid(), nullptr);
}

TEST(ParseCoordSys, NonEarthAffineAndBounds) {
    const TCoordSys plain = ParseCoordSys("CoordSys NonEarth Units \"m\"");
    EXPECT_EQ(plain.Kind, TCoordSysKind::NonEarth);
    EXPECT_EQ(plain.Units, "m");

    // Unit names ignore letter case and are kept as the table spells them.
    const TCoordSys bounded = ParseCoordSys(
        "CoordSys Nonearth Units \"M\" Bounds (-113967455.417, - 106367759.649) (115167455.417, "
        "1227)");
    ASSERT_EQ(bounded.Kind, TCoordSysKind::NonEarth);
    EXPECT_EQ(bounded.Units, "m");
    ASSERT_TRUE(bounded.Bounds);
    EXPECT_EQ(bounded.Bounds->MinX, -113967455.417);
    EXPECT_EQ(bounded.Bounds->MinY, -106367759.649);
    EXPECT_EQ(bounded.Bounds->MaxX, 115167455.417);
    EXPECT_EQ(bounded.Bounds->MaxY, 1227);

    const TCoordSys affine = ParseCoordSys(
        "CoordSys NonEarth Affine Units \"km\", 0.5, -0.866, 0, 0.866, 0.5, 0 Units \"ft\" Bounds "
        "(0, 0) (10, 10)");
    ASSERT_EQ(affine.Kind, TCoordSysKind::NonEarth);
    EXPECT_EQ(affine.Units, "ft");
    ASSERT_TRUE(affine.Affine);
    EXPECT_EQ(affine.Affine->Units, "km");
    EXPECT_EQ(affine.Affine->Coefficients[1], -0.866);
    EXPECT_TRUE(affine.Bounds);

    const TCoordSys earthAffine = ParseCoordSys(
        "CoordSys Earth Projection 8, 74, \"m\", -177, 0, 0.9996, 500000, 0 Affine Units \"m\", "
        "0.5, -0.866, 0, 0.866, 0.5, 0 Bounds (-500000, 0) (500000, 1000000)");
    ASSERT_EQ(earthAffine.Kind, TCoordSysKind::Earth);
    EXPECT_EQ(earthAffine.Parameters.size(), 5u);
    EXPECT_TRUE(earthAffine.Affine);
    EXPECT_TRUE(earthAffine.Bounds);
}

TEST(ParseCoordSys, WhatCannotBeReadIsUnknownAndNoClauseIsNone) {
    EXPECT_EQ(ParseCoordSys("").Kind, TCoordSysKind::None);
    EXPECT_EQ(ParseCoordSys("  ").Kind, TCoordSysKind::None);
    for (const char* clause : {
             "CoordSys Earth",
             "CoordSys",
             "CoordSys Layout Units \"in\"",
             "CoordSys Table world",
             "CoordSys Earth Projection",
             "CoordSys Earth Projection x, 104",
             "CoordSys Earth Projection 8, 104",
             "CoordSys Earth Projection 8, 104, \"furlong\", 141, 0, 0.9996, 500000, 0",
             "CoordSys Earth Projection 8, 104, \"m\", 141, 0, 0.9996, 500000",
             "CoordSys Earth Projection 8, 104, \"m\", 141, 0, 0.9996, 500000, 0, 7",
             "CoordSys Earth Projection 8, 104, \"m\", 141, 0, 0.9996, 500000, 0 Bounds (0, 0)",
             "CoordSys Earth Projection 1, 104 Affine Units \"m\", 1, 0, 0",
             "CoordSys Earth Projection 1, 104 extra",
             "CoordSys NonEarth",
             "CoordSys NonEarth Units m",
             "CoordSys NonEarth Units \"m",
             "CoordSys NonEarth Units \"m\" Bounds (1e999, 0) (1, 1)",
         }) {
        const TCoordSys cs = ParseCoordSys(clause);
        EXPECT_EQ(cs.Kind, TCoordSysKind::Unknown) << clause;
        // Nothing of a clause half read is kept.
        EXPECT_TRUE(cs.Units.empty() && cs.Parameters.empty() && !cs.Bounds) << clause;
    }
}

TEST(ParseCoordSys, TransformClause) {
    const TCoordSys cs = ParseCoordSys("CoordSys NonEarth Units \"m\"", "Transform 2, 3, 10, -20");
    EXPECT_EQ(cs.Kind, TCoordSysKind::NonEarth);
    ASSERT_TRUE(cs.Transform);
    EXPECT_TRUE(cs.Transform->Readable);
    EXPECT_EQ(cs.Transform->XScale, 2);
    EXPECT_EQ(cs.Transform->YScale, 3);
    EXPECT_EQ(cs.Transform->XOffset, 10);
    EXPECT_EQ(cs.Transform->YOffset, -20);
    EXPECT_FALSE(cs.Transform->IsIdentity());
    EXPECT_TRUE(ParseCoordSys("", "Transform 1,1,0,0").Transform->IsIdentity());
    // A Transform clause that cannot be read is still there.
    const TCoordSys bad = ParseCoordSys("", "Transform 1, 1");
    ASSERT_TRUE(bad.Transform);
    EXPECT_FALSE(bad.Transform->Readable);
    EXPECT_FALSE(bad.Transform->IsIdentity());
}

TEST(MifUnits, FactorsToMetres) {
    const std::pair<const char*, double> expected[] = {
        {"m", 1},
        {"km", 1000},
        {"cm", 0.01},
        {"mm", 0.001},
        {"mi", 1609.344},
        {"nmi", 1852},
        {"in", 0.0254},
        {"ft", 0.3048},
        {"yd", 0.9144},
        {"survey ft", 0.3048006096012192},
        {"li", 0.20116840233680467},
        {"ch", 20.116840233680467},
        {"rd", 5.0292100584201169},
        {"degree", 0},
    };
    for (const auto& [name, metres] : expected) {
        const TMifUnit* unit = FindMifUnit(name);
        ASSERT_NE(unit, nullptr) << name;
        EXPECT_EQ(unit->Metres, metres) << name;
        const TCoordSys cs = ParseCoordSys(std::string("CoordSys NonEarth Units \"") + name + "\"");
        EXPECT_EQ(cs.UnitMetres(), metres) << name;
    }
    EXPECT_EQ(FindMifUnit("SURVEY FT")->Name, "survey ft");
    EXPECT_EQ(FindMifUnit("meter"), nullptr);
}

TEST(MifDatums, EveryDatumNamesAKnownEllipsoidButXian) {
    for (const TMifDatum& d : MifDatums()) {
        if (d.Number == 1017) continue;
        EXPECT_NE(FindEllipsoid(d.Ellipsoid), nullptr) << d.Number;
    }
    // The datums of Japanese data.
    EXPECT_EQ(FindEllipsoid(FindMifDatum(97)->Ellipsoid)->Name, "Bessel 1841");
    EXPECT_EQ(FindEllipsoid(FindMifDatum(1015)->Ellipsoid)->Name, "Bessel 1841");
    EXPECT_EQ(FindEllipsoid(FindMifDatum(152)->Ellipsoid)->Name, "GRS 80");
    EXPECT_EQ(FindEllipsoid(FindMifDatum(104)->Ellipsoid)->Name, "WGS 84");
    const TEllipsoid* grs80 = FindEllipsoid(0);
    EXPECT_EQ(grs80->A, 6378137.0);
    EXPECT_EQ(grs80->InverseFlattening, 298.257222101);
    EXPECT_EQ(FindEllipsoid(28)->InverseFlattening, 298.257223563);
    EXPECT_EQ(FindEllipsoid(10)->A, 6377397.155);
    EXPECT_EQ(FindEllipsoid(10)->InverseFlattening, 299.1528128);
}

TEST(PlaneRectangularZones, OriginsOfTheNineteenZones) {
    const auto zones = PlaneRectangularZones();
    ASSERT_EQ(zones.size(), 19u);
    EXPECT_EQ(zones[0].OriginLatitude, 33);
    EXPECT_EQ(zones[0].CentralMeridian, 129.5);
    EXPECT_EQ(zones[8].OriginLatitude, 36);
    EXPECT_EQ(zones[8].CentralMeridian, 139 + 50 / 60.0);
    EXPECT_EQ(zones[10].CentralMeridian, 140.25);
    EXPECT_EQ(zones[17].OriginLatitude, 20);
    EXPECT_EQ(zones[18].CentralMeridian, 154);
    for (size_t i = 0; i < zones.size(); ++i) {
        EXPECT_EQ(zones[i].Number, static_cast<int32_t>(i + 1));
        EXPECT_EQ(FindPlaneRectangularZone(zones[i].Number), &zones[i]);
    }
    EXPECT_EQ(zones[8].Numeral, "IX");
    EXPECT_EQ(zones[17].Numeral, "XVIII");
    EXPECT_EQ(FindPlaneRectangularZone(0), nullptr);
    EXPECT_EQ(FindPlaneRectangularZone(20), nullptr);
}

TEST(PlaneRectangularZones, MatchingTolerances) {
    const TPlaneRectangularZone& ix = PlaneRectangularZones()[8];
    const double cm = ix.CentralMeridian;
    EXPECT_TRUE(IsPlaneRectangularZone(ix, cm, 36, 0.9999, 0, 0));
    // GDAL's 15 digits of the central meridian.
    EXPECT_TRUE(IsPlaneRectangularZone(ix, 139.833333333333, 36, 0.9999, 0, 0));
    EXPECT_TRUE(IsPlaneRectangularZone(ix, cm + 0.9e-9, 36 - 0.9e-9, 0.9999, 0, 0));
    EXPECT_FALSE(IsPlaneRectangularZone(ix, cm + 1.1e-9, 36, 0.9999, 0, 0));
    EXPECT_FALSE(IsPlaneRectangularZone(ix, cm, 36 + 1.1e-9, 0.9999, 0, 0));
    EXPECT_TRUE(IsPlaneRectangularZone(ix, cm, 36, 0.9999 * (1 + 0.9e-12), 0, 0));
    EXPECT_FALSE(IsPlaneRectangularZone(ix, cm, 36, 0.9999 * (1 + 1.1e-12), 0, 0));
    EXPECT_TRUE(IsPlaneRectangularZone(ix, cm, 36, 0.9999, 0.9e-6, -0.9e-6));
    EXPECT_FALSE(IsPlaneRectangularZone(ix, cm, 36, 0.9999, 1.1e-6, 0));
    EXPECT_FALSE(IsPlaneRectangularZone(ix, cm, 36, 0.9999, 0, -1.1e-6));

    // The false easting is compared in metres whatever the unit.
    EXPECT_EQ(PlaneRectangularZoneOf(ParseCoordSys(
                  "CoordSys Earth Projection 8, 152, \"km\", 139.8333333333, 36, 0.9999, 0, 0")),
              9);
    EXPECT_EQ(PlaneRectangularZoneOf(ParseCoordSys(
                  "CoordSys Earth Projection 8, 152, \"km\", 139.8333333, 36, 0.9999, 0, 0")),
              0);
    EXPECT_EQ(PlaneRectangularZoneOf(ParseCoordSys(
                  "CoordSys Earth Projection 8, 152, \"km\", 139.833333333333, 36, 0.9999, "
                  "0.0000000009, 0")),
              9);
    EXPECT_EQ(PlaneRectangularZoneOf(ParseCoordSys(
                  "CoordSys Earth Projection 8, 152, \"km\", 139.833333333333, 36, 0.9999, "
                  "0.000000002, 0")),
              0);
    EXPECT_EQ(PlaneRectangularZoneOf(ParseCoordSys("CoordSys Earth Projection 1, 152")), 0);
    EXPECT_EQ(PlaneRectangularZoneOf(ParseCoordSys(
                  "CoordSys Earth Projection 8, 152, \"degree\", 139.833333333333, 36, 0.9999, 0, "
                  "0")),
              0);
}

// The clauses GDAL writes, as committed in the test data.
std::vector<std::pair<int, std::string>> GdalClauses() {
    std::ifstream in(std::string(QUORVEX_TEST_DATA) + "/coordsys/gdal_clauses.txt",
                     std::ios::binary);
    std::vector<std::pair<int, std::string>> clauses;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const size_t tab = line.find('\t');
        clauses.emplace_back(std::stoi(line.substr(0, tab)), line.substr(tab + 1));
    }
    return clauses;
}

TEST(ParseCoordSys, ClausesWrittenByGdal) {
    const auto clauses = GdalClauses();
    ASSERT_EQ(clauses.size(), 75u);
    for (const auto& [code, clause] : clauses) {
        SCOPED_TRACE(clause);
        const TCoordSys cs = ParseCoordSys(clause);
        ASSERT_EQ(cs.Kind, TCoordSysKind::Earth);
        // JGD2011 (written as WGS 84), JGD2000 and Tokyo zones I to XIX.
        int32_t zone = 0;
        int32_t datum = 0;
        if (code >= 6669 && code <= 6687) zone = code - 6668, datum = 104;
        if (code >= 2443 && code <= 2461) zone = code - 2442, datum = 152;
        if (code >= 30161 && code <= 30179) zone = code - 30160, datum = 97;
        EXPECT_EQ(PlaneRectangularZoneOf(cs), zone);
        if (zone) {
            EXPECT_EQ(cs.Datum, datum);
            EXPECT_NE(cs.DatumEllipsoid(), nullptr);
            EXPECT_EQ(UtmZoneOf(cs), 0);
        }
    }
    auto find = [&](int code) {
        for (const auto& [c, clause] : clauses)
            if (c == code) return ParseCoordSys(clause);
        return TCoordSys();
    };
    EXPECT_EQ(UtmZoneOf(find(32654)), 54);
    EXPECT_EQ(UtmZoneOf(find(32754)), -54);
    EXPECT_EQ(UtmZoneOf(find(25832)), 32);
    EXPECT_EQ(UtmZoneOf(find(3099)), 53);
    EXPECT_EQ(UtmZoneOf(find(27700)), 0);
    EXPECT_EQ(find(4612).Datum, 152);
    EXPECT_EQ(find(6668).Datum, 104);
    EXPECT_EQ(find(4258).DatumEllipsoid()->Name, "GRS 80");
    EXPECT_EQ(find(7844).DatumEllipsoid()->Name, "GRS 80");
    EXPECT_EQ(find(2056).DatumEllipsoid()->Name, "Bessel 1841");
    EXPECT_EQ(find(3102).Units, "survey ft");
}

TEST(ReadMifHeader, KeepsTheCoordSysClauseAndItsContinuation) {
    // Bounds on a line of its own and a Transform clause after the line that
    // completes the header: the column reader reads them, and still starts
    // where it always did.
    const std::string text =
        "Version 300\r\nCharset \"WindowsJapanese\"\r\nDelimiter \",\"\r\n"
        "CoordSys Earth Projection 8, 152, \"m\", 139.833333333333, 36, 0.9999, 0, 0\r\n"
        "  Bounds (-100000, -100000)\r\n (100000, 100000)\r\nTransform 1, 1, 5, 6\r\n"
        "Columns 1\r\n  ID Integer\r\nData\r\n";
    TLineReader mif = TLineReader::FromText(text);
    TMifHeader header = ReadMifHeader(mif);
    EXPECT_TRUE(header.AllClauses);
    // The header reader alone has the clause as far as it read.
    EXPECT_EQ(header.CoordSys.Kind, TCoordSysKind::Earth);
    EXPECT_FALSE(header.CoordSys.Bounds);
    EXPECT_EQ(NextLine(mif), "  Bounds (-100000, -100000)");
    mif.UnreadLine();
    TSFColumns columns;
    EXPECT_EQ(ReadMifColumns(mif, columns, &header), 1);
    EXPECT_EQ(NextLine(mif), "Data");
    EXPECT_EQ(header.CoordSysText,
              "CoordSys Earth Projection 8, 152, \"m\", 139.833333333333, 36, 0.9999, 0, 0 "
              "Bounds (-100000, -100000) (100000, 100000)");
    EXPECT_EQ(header.TransformText, "Transform 1, 1, 5, 6");
    const TCoordSys& cs = header.CoordSys;
    ASSERT_EQ(cs.Kind, TCoordSysKind::Earth);
    EXPECT_EQ(PlaneRectangularZoneOf(cs), 9);
    ASSERT_TRUE(cs.Bounds);
    EXPECT_EQ(cs.Bounds->MaxY, 100000);
    ASSERT_TRUE(cs.Transform);
    EXPECT_EQ(cs.Transform->XOffset, 5);

    // The same through the whole-table reader, and a CoordSys that is not the
    // last clause: the next keyword ends it.
    TLineReader early = TLineReader::FromText(
        "Version 300\nCoordSys NonEarth Units \"km\"\n Bounds (0, 0) (1, 1)\nUnique 1\n"
        "Charset \"Neutral\"\nDelimiter \",\"\nColumns 0\nData\n");
    TMifTable table;
    table.Header = ReadMifHeader(early);
    table.DeclaredColumns = ReadMifColumns(early, table.Columns, &table.Header);
    EXPECT_EQ(table.Header.CoordSys.Kind, TCoordSysKind::NonEarth);
    EXPECT_EQ(table.Header.CoordSys.Units, "km");
    EXPECT_TRUE(table.Header.CoordSys.Bounds);
    EXPECT_FALSE(table.Header.CoordSys.Transform);
    EXPECT_EQ(NextLine(early), "Data");
}

TEST(ReadMifHeader, WithoutClauseAndWithAnEndlessOne) {
    TLineReader none = TLineReader::FromText("Version 300\nColumns 0\nData\n");
    TMifHeader header = ReadMifHeader(none);
    TSFColumns columns;
    ReadMifColumns(none, columns, &header);
    EXPECT_EQ(header.CoordSys.Kind, TCoordSysKind::None);

    // Lines that go on continuing a clause are not all kept: the clause is
    // unknown, and reading stays bounded.
    std::string text = "Version 300\nCoordSys NonEarth Units \"m\"\n";
    for (int i = 0; i < 2000; ++i)
        text += "  Bounds (0, 0) (1, 1)\n";
    text += "Columns 0\nData\n";
    TLineReader endless = TLineReader::FromText(text);
    header = ReadMifHeader(endless);
    ReadMifColumns(endless, columns, &header);
    EXPECT_EQ(header.CoordSys.Kind, TCoordSysKind::Unknown);
    EXPECT_LE(header.CoordSysText.size(), 4096u);
    EXPECT_EQ(NextLine(endless), "Data");

    // One line a megabyte long: the same.
    TLineReader longLine =
        TLineReader::FromText("Version 300\nCoordSys Earth Projection 3, 104, \"m\"" +
                              std::string(1 << 20, ',') + "\nColumns 0\nData\n");
    header = ReadMifHeader(longLine);
    ReadMifColumns(longLine, columns, &header);
    EXPECT_EQ(header.CoordSys.Kind, TCoordSysKind::Unknown);
    EXPECT_TRUE(header.CoordSysText.empty());
}

TEST(ReadMifTable, ReadsTheClauseOfAFile) {
    test::TempDir dir;
    const std::string path = dir / "t.mif";
    test::WriteBytes(path,
                     "Version 300\r\nCoordSys Earth Projection 1, 104\r\n"
                     "Transform 2, 2, 0, 0\r\nColumns 1\r\n  ID Integer\r\nData\r\n");
    const TMifTable table = ReadMifTable(path);
    EXPECT_EQ(table.Header.CoordSys.Kind, TCoordSysKind::Earth);
    EXPECT_EQ(table.Header.CoordSys.Projection, 1);
    ASSERT_TRUE(table.Header.CoordSys.Transform);
    EXPECT_EQ(table.Header.CoordSys.Transform->XScale, 2);
}

}  // namespace
}  // namespace quorvex
