// The look at a table before converting it.
#include <gtest/gtest.h>

#include "engine/mif_info.h"
#include "support/errors.h"
#include "test_util.h"

namespace quorvex {
namespace {

using test::TempDir;
using test::WriteBytes;

std::string Table(const std::string& columns, const std::string& data) {
    return "Version 300\r\nCharset \"UTF-8\"\r\nDelimiter \",\"\r\nCoordSys NonEarth Units "
           "\"m\"\r\n" +
           columns + "Data\r\n" + data;
}

TEST(InspectMif, BlankRowsAtTheEndOfTheMidFileAreNotOutOfStep) {
    TempDir dir;
    WriteBytes(dir / "t.mif",
               Table("Columns 1\r\n  ID Integer\r\n", "Line 0 0 1 1\r\nPoint 5 5\r\nNone\r\n"));
    // An empty row for the last object, and blank lines after it.
    WriteBytes(dir / "t.mid", "1\r\n2\r\n\r\n\r\n\r\n");
    const TMifInfo info = InspectMif(dir / "t.mif", TLanguage::English);
    EXPECT_EQ(info.ObjectCount, 3);
    EXPECT_EQ(info.MidRows, 3);
    EXPECT_TRUE(info.Warnings.empty());
    EXPECT_EQ(info.Routes, 1);
    EXPECT_EQ(info.Parcels, 0);
    ASSERT_TRUE(info.MinXY);
    EXPECT_EQ(info.MaxXY->first, 1.0);

    // A row short is out of step.
    WriteBytes(dir / "t.mid", "1\r\n2\r\n");
    EXPECT_EQ(InspectMif(dir / "t.mif", TLanguage::English).Warnings.size(), 1u);
}

// An object the converter refuses: the description stands, the failure is a
// warning, and nothing is claimed of parcels and routes.
TEST(InspectMif, AConversionThatWouldFailIsAWarning) {
    TempDir dir;
    WriteBytes(dir / "t.mif",
               Table("Columns 1\r\n  ID Integer\r\n", "Region 1\r\n 3\r\n0 0\r\n1 x\r\n"));
    WriteBytes(dir / "t.mid", "1\r\n");
    const TMifInfo info = InspectMif(dir / "t.mif", TLanguage::English);
    EXPECT_EQ(info.ObjectCount, 1);
    EXPECT_FALSE(info.Parcels);
    EXPECT_FALSE(info.MinXY);
    ASSERT_EQ(info.Warnings.size(), 1u);
    const std::string json = InfoJson(info, TLanguage::English);
    EXPECT_NE(json.find("\"parcels\": null"), std::string::npos) << json;
    EXPECT_NE(json.find("\"extent\": null"), std::string::npos) << json;

    EXPECT_THROW(InspectMif(dir / "none.mif", TLanguage::English), FileError);
}

TEST(InspectMif, JsonEscapesWhatItQuotes) {
    TMifInfo info;
    info.File = "a\"b\\c.mif";
    info.Columns.push_back({"x\ty\x01", "Char", 10});
    const std::string json = InfoJson(info, TLanguage::English);
    EXPECT_NE(json.find("\"file\": \"a\\\"b\\\\c.mif\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"name\": \"x\\ty\\u0001\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"delimiter\": \"\\t\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"charset\": null"), std::string::npos) << json;
}

}  // namespace
}  // namespace quorvex
