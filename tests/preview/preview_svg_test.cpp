// The SVG writer: texts and numbers as XML wants them, and the example's
// drawing byte for byte, from a conversion and from its SIMA file.
#include <gtest/gtest.h>

#include "preview/preview_job.h"
#include "preview/preview_svg.h"
#include "support/errors.h"
#include "test_util.h"

namespace quorvex::preview {
namespace {

std::string Fixed(double v) {
    std::string s;
    AppendFixed(s, v);
    return s;
}

TEST(PreviewSvg, TextsAreEscapedUtf8WithoutForbiddenControls) {
    EXPECT_EQ(XmlText("a&b<c>\"'\x01\x1F\x7F\t \x93\xB9\x81\x40"),
              "a&amp;b&lt;c&gt;&quot;&apos;\x7F\t \xE9\x81\x93\xE3\x80\x80");
    // A byte that starts no character becomes U+FFFD, never a broken sequence.
    EXPECT_EQ(XmlText("\xFF"), "\xEF\xBF\xBD");
}

TEST(PreviewSvg, NumbersHaveTwoDecimalsAtMost) {
    EXPECT_EQ(Fixed(0), "0");
    EXPECT_EQ(Fixed(12.5), "12.5");
    EXPECT_EQ(Fixed(-3), "-3");
    EXPECT_EQ(Fixed(1234.567), "1234.57");
    EXPECT_EQ(Fixed(0.06), "0.06");
    EXPECT_EQ(Fixed(-0.004), "0");  // never "-0"
    EXPECT_EQ(Fixed(-7.125), "-7.13");
    EXPECT_EQ(Fixed(0.0 / 0.0), "0");
}

TEST(PreviewSvg, ExampleMatchesItsGoldenFile) {
    const std::string golden = test::ReadBytes(std::string(QUORVEX_TEST_DATA) + "/svg/town.svg");
    TConvertSettings s;
    s.MifFile = std::string(QUORVEX_EXAMPLES) + "/town.mif";
    s.AttrIndex = 1;
    s.Genba = "\x96\x6B\x92\x6E\x8B\xE6";
    const TPreviewScene fromRun(ConvertAndReadBack(s));
    EXPECT_TRUE(SvgOf(fromRun, BuildFrame(fromRun, SvgFitView(fromRun))) == golden);
    // The SIMA file the same job writes draws the same.
    const TPreviewScene fromFile(
        ReadSimaFile(std::string(QUORVEX_TEST_DATA) + "/golden/town_attr1_swap.sim"));
    EXPECT_TRUE(SvgOf(fromFile, BuildFrame(fromFile, SvgFitView(fromFile))) == golden);
}

TEST(PreviewJob, AFailedRunThrowsItsReason) {
    test::TempDir dir;
    test::WriteBytes(dir / "bad.mif", "Version 300\nColumns 0\nData\nRegion 1\n 2\n0 0\n");
    TConvertSettings s;
    s.MifFile = dir / "bad.mif";
    EXPECT_THROW(ConvertAndReadBack(s), QuorvexError);
    EXPECT_TRUE(IsSimaPath("a/B.SIM"));
    EXPECT_FALSE(IsSimaPath("a.mif"));
    EXPECT_FALSE(IsSimaPath("sim"));
}

}  // namespace
}  // namespace quorvex::preview
