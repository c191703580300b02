// Our SIMA files read back: the records are the objects the conversion
// wrote, and the record writer gives back the same bytes; for the example
// with the golden settings, for a table of known coordinates, and for every
// real-world file of the external folder.
#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>

#include "engine/convert.h"
#include "mif/uniMifUtils.h"
#include "sima/sima_records.h"
#include "sima_bytes.h"
#include "sima_grammar.h"
#include "support/text.h"
#include "test_util.h"

namespace quorvex {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WrittenSimaBytes;

// Field `k` of a comma-separated line.
std::string_view FieldOf(std::string_view line, int k) {
    for (int i = 0; i < k; ++i)
        line.remove_prefix(line.find(',') + 1);
    return line.substr(0, line.find(','));
}

double Parsed(std::string_view text) {
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    EXPECT_TRUE(r.ec == std::errc() && r.ptr == text.data() + text.size()) << text;
    return v;
}

// What the file says, read by the tests' own grammar and parser, against
// what the reader made of it.
void ExpectSameObjects(const std::string& bytes, const TSimaFile& f, const std::string& what) {
    const test::TSimaCheck check = test::CheckSimaFile(bytes);
    ASSERT_TRUE(check.Ok()) << what << ": " << check.Why;
    EXPECT_EQ(f.Genba, check.Genba) << what;
    ASSERT_EQ(static_cast<int64_t>(f.Points.size()), check.Points) << what;
    EXPECT_EQ(static_cast<int64_t>(f.Vertices.size()), check.Vertices) << what;
    ASSERT_EQ(f.Parcels.size(), check.ParcelValues.size()) << what;
    ASSERT_EQ(f.Routes.size(), check.RouteValues.size()) << what;
    for (size_t i = 0; i < f.Parcels.size(); ++i) {
        EXPECT_EQ(f.Parcels[i].Number, static_cast<int32_t>(i + 1)) << what;
        EXPECT_TRUE(f.Parcels[i].Name == check.ParcelValues[i]) << what << " parcel " << i + 1;
    }
    for (size_t i = 0; i < f.Routes.size(); ++i) {
        EXPECT_EQ(f.Routes[i].Number, static_cast<int32_t>(i + 1)) << what;
        EXPECT_TRUE(f.Routes[i].Name == check.RouteValues[i]) << what << " route " << i + 1;
    }
    // Every coordinate is the printed decimal read back.
    size_t point = 0;
    for (size_t at = 0; at < bytes.size();) {
        const size_t end = bytes.find("\r\n", at);
        const std::string_view line(bytes.data() + at, end - at);
        at = end + 2;
        if (line.rfind("A01,", 0) != 0) continue;
        ASSERT_LT(point, f.Points.size());
        EXPECT_EQ(f.Points[point].X, Parsed(FieldOf(line, 3))) << what << ": " << line;
        EXPECT_EQ(f.Points[point].Y, Parsed(FieldOf(line, 4))) << what << ": " << line;
        ++point;
    }
    EXPECT_EQ(point, f.Points.size());
    EXPECT_TRUE(f.OddPointTexts.empty()) << what;
    EXPECT_TRUE(f.OddVertexNames.empty()) << what;
    EXPECT_TRUE(WrittenSimaBytes(f) == bytes) << what;
}

struct Case {
    int32_t attr;
    bool parcels, routes, swap, close;
    const char* genba;
};

TEST(SimaRoundTrip, ExampleWithEveryGoldenSetting) {
    const Case cases[] = {{1, true, true, true, false, "\x96\x6B\x92\x6E\x8B\xE6"},
                          {2, true, true, false, true, ""},
                          {3, true, false, true, false, ""},
                          {0, false, true, true, false, ""}};
    for (const Case& c : cases) {
        TempDir dir;
        TConvertSettings s;
        s.MifFile = std::string(QUORVEX_EXAMPLES) + "/town.mif";
        s.SimFile = dir / "town.sim";
        s.AttrIndex = c.attr;
        s.Kakuchi = c.parcels;
        s.Rosen = c.routes;
        s.SwapXY = c.swap;
        s.CloseParcel = c.close;
        s.Genba = c.genba;
        TRunReport r;
        ASSERT_TRUE(ConvertFile(s, &r)) << r.Error.Text(TLanguage::English);
        const TSimaFile f = ReadSimaFile(s.SimFile);
        ExpectSameObjects(ReadBytes(s.SimFile), f, "attr " + std::to_string(c.attr));
        EXPECT_EQ(f.Parcels.empty(), !c.parcels);
        EXPECT_EQ(f.Routes.empty(), !c.routes);
    }
}

TEST(SimaRoundTrip, CoordinatesAreTheTablesAfterTheSwap) {
    TempDir dir;
    test::WriteBytes(dir / "t.mif",
                     "Version 300\nCharset \"WindowsJapanese\"\nDelimiter \",\"\nColumns 1\n"
                     "  Chiban Char(10)\nData\n\nRegion 1\n  4\n-12500.25 34000.125\n"
                     "-12480 34000.125\n-12480 33975.0000001\n-12500.25 34000.125\n"
                     "Pline 3\n1.5 -2.25\n3 4\n-12480 34000.125\n");
    test::WriteBytes(dir / "t.mid", "\x31\x32\x2D\x34\n\x93\xB9\n");
    for (const bool swap : {true, false}) {
        TConvertSettings s;
        s.MifFile = dir / "t.mif";
        s.SimFile = dir / "t.sim";
        s.AttrIndex = 1;
        s.SwapXY = swap;
        s.CloseParcel = true;
        TRunReport r;
        ASSERT_TRUE(ConvertFile(s, &r)) << r.Error.Text(TLanguage::English);
        const TSimaFile f = ReadSimaFile(s.SimFile);
        ExpectSameObjects(ReadBytes(s.SimFile), f, swap ? "swap" : "no swap");
        const double table[][2] = {
            {-12500.25, 34000.125}, {-12480, 34000.125}, {-12480, 33975.0000001},
            {-12500.25, 34000.125}, {1.5, -2.25},        {3, 4},
            {-12480, 34000.125}};
        std::vector<uint32_t> vertices;
        ASSERT_EQ(f.Parcels.size(), 1u);
        ASSERT_EQ(f.Routes.size(), 1u);
        EXPECT_EQ(f.Parcels[0].Name, "12-4");
        EXPECT_EQ(f.Routes[0].Name, "\x93\xB9");
        ASSERT_EQ(f.Vertices.size(), 7u);
        for (size_t i = 0; i < 7; ++i) {
            const TSimaPoint& p = f.Points[f.Vertices[i]];
            EXPECT_EQ(p.X, table[i][swap ? 1 : 0]) << i;
            EXPECT_EQ(p.Y, table[i][swap ? 0 : 1]) << i;
        }
        // The route's last vertex is the parcel's second point.
        EXPECT_EQ(f.Vertices[6], f.Vertices[1]);
    }
}

TEST(SimaRoundTrip, EveryExternalFile) {
    const std::string root = test::ExternalDataDir();
    if (root.empty()) GTEST_SKIP() << "external test data not present";
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file() ||
            !EqualsIgnoringAsciiCase(entry.path().extension().string(), ".mif"))
            continue;
        TempDir dir;
        TConvertSettings s;
        s.MifFile = entry.path().string();
        s.SimFile = dir / "out.sim";
        s.AttrIndex = 1;
        try {
            if (ReadMifTable(s.MifFile).Columns.empty()) s.AttrIndex = 0;
        } catch (const std::exception&) {
        }
        bool ok = false;
        try {
            ok = ConvertFile(s, nullptr);
        } catch (const std::exception&) {
        }
        if (!ok) continue;  // the golden test knows which must fail
        ExpectSameObjects(ReadBytes(s.SimFile), ReadSimaFile(s.SimFile), s.MifFile);
        ++files;
    }
    EXPECT_GE(files, 20);
}

}  // namespace
}  // namespace quorvex
