// The bundled example converted with several settings, byte for byte, and
// every real-world file of the external folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/convert.h"
#include "mif/uniMifUtils.h"
#include "support/text.h"
#include "test_util.h"

namespace quorvex {
namespace {

using test::ReadBytes;
using test::TempDir;

struct GoldenCase {
    const char* golden;
    int32_t attr;
    bool parcels, routes, swap, close;
    const char* genba;
};

class Golden : public testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, MatchesByteForByte) {
    const GoldenCase& c = GetParam();
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
    EXPECT_TRUE(ReadBytes(s.SimFile) ==
                ReadBytes(std::string(QUORVEX_TEST_DATA) + "/golden/" + c.golden))
        << c.golden;
}

INSTANTIATE_TEST_SUITE_P(
    Town, Golden,
    testing::Values(GoldenCase{"town_attr1_swap.sim", 1, true, true, true, false,
                               "\x96\x6B\x92\x6E\x8B\xE6"},
                    GoldenCase{"town_attr2_noswap_close.sim", 2, true, true, false, true, ""},
                    GoldenCase{"town_attr3_parcels.sim", 3, true, false, true, false, ""},
                    GoldenCase{"town_routes.sim", 0, false, true, true, false, ""}));

TEST(ExternalData, EveryFileConvertsOrFailsCleanly) {
    const std::string root = test::ExternalDataDir();
    if (root.empty()) GTEST_SKIP() << "external test data not present";
    // Files that must fail: columns without a MID file, decimal commas.
    const std::vector<std::string> mustFail = {"proj_34.mif", "proj_35.mif", "output.mif"};
    int converted = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() ||
            !EqualsIgnoringAsciiCase(entry.path().extension().string(), ".mif"))
            continue;
        TempDir dir;
        TConvertSettings s;
        s.MifFile = entry.path().string();
        s.SimFile = dir / "out.sim";
        // The first column where there is one: a table without columns has
        // no position to choose.
        s.AttrIndex = 1;
        try {
            if (ReadMifTable(s.MifFile).Columns.empty()) s.AttrIndex = 0;
        } catch (const std::exception&) {  // the run tells why
        }
        TRunReport r;
        const bool ok = ConvertFile(s, &r);
        const bool expectFail = std::count(mustFail.begin(), mustFail.end(), name) > 0;
        EXPECT_EQ(ok, !expectFail) << s.MifFile << ": " << r.Error.Text(TLanguage::English);
        if (ok) {
            const std::string sim = ReadBytes(s.SimFile);
            EXPECT_EQ(sim.rfind("Z00,{---", 0), 0u) << s.MifFile;
            ++converted;
        } else {
            EXPECT_FALSE(std::filesystem::exists(s.SimFile));
        }
    }
    EXPECT_GE(converted, 20);
}

TEST(ExternalData, QuotedValuesSpanningLinesKeepTheRowsInStep) {
    const std::string root = test::ExternalDataDir();
    if (root.empty()) GTEST_SKIP() << "external test data not present";
    // Its first row's second value spans three lines, a blank one among them.
    TempDir dir;
    TConvertSettings s;
    s.MifFile = root + "/OSGeo_gdal/multilinemid.mif";
    s.SimFile = dir / "out.sim";
    TRunReport r;
    s.AttrIndex = 1;
    ASSERT_TRUE(ConvertFile(s, &r)) << r.Error.Text(TLanguage::English);
    EXPECT_NE(ReadBytes(s.SimFile).find("F00,2,NAME2,1,"), std::string::npos);
    s.AttrIndex = 3;
    ASSERT_TRUE(ConvertFile(s, &r)) << r.Error.Text(TLanguage::English);
    EXPECT_NE(ReadBytes(s.SimFile).find("F00,2,F,1,"), std::string::npos);
    s.AttrIndex = 2;
    EXPECT_FALSE(ConvertFile(s, &r));
    EXPECT_NE(r.Error.Text(TLanguage::English).find("MID row 1, column 2"), std::string::npos);
}

}  // namespace
}  // namespace quorvex
