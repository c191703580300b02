// Real MIF files written by other programs: every object that becomes a
// parcel or a route must either read into a well-formed record or fail as a
// conversion error; nothing may crash or hang.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "mif/uniMifUtils.h"
#include "support/errors.h"
#include "support/field.h"
#include "support/text.h"
#include "test_util.h"

namespace quorvex {
namespace {

std::vector<std::string> MifFiles(const std::string& root) {
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        const std::string ext = AsciiLowerCase(e.path().extension().string());
        if (e.is_regular_file() && ext == ".mif") files.push_back(e.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

void ExpectWellFormed(const TSFShape& rec, const std::string& where) {
    ASSERT_EQ(rec.NumPoints, static_cast<int32_t>(rec.Points.size())) << where;
    ASSERT_EQ(rec.NumParts, static_cast<int32_t>(rec.Parts.size())) << where;
    ASSERT_FALSE(rec.Points.empty()) << where;
    ASSERT_FALSE(rec.Parts.empty()) << where;
    EXPECT_EQ(rec.Parts[0], 0) << where;
    EXPECT_TRUE(std::is_sorted(rec.Parts.begin(), rec.Parts.end())) << where;
    for (const TSFPoint& p : rec.Points) {
        EXPECT_TRUE(p.X >= rec.MinX && p.X <= rec.MaxX && p.Y >= rec.MinY && p.Y <= rec.MaxY)
            << where;
    }
    // The bounds are tight: a run's extent is made of them.
    auto [minX, maxX] = std::minmax_element(rec.Points.begin(), rec.Points.end(),
                                            [](auto& a, auto& b) { return a.X < b.X; });
    auto [minY, maxY] = std::minmax_element(rec.Points.begin(), rec.Points.end(),
                                            [](auto& a, auto& b) { return a.Y < b.Y; });
    EXPECT_TRUE(minX->X == rec.MinX && maxX->X == rec.MaxX && minY->Y == rec.MinY &&
                maxY->Y == rec.MaxY)
        << where;
}

struct Tally {
    int read = 0;
    int failed = 0;
};

void ReadObjects(const std::string& path, Tally& tally) {
    TLineReader mif(path);
    ReadMifHeader(mif);
    TSFColumns columns;
    ReadMifColumns(mif, columns);
    TSFPolyLine line;
    TSFPolygon polygon;
    std::string_view raw;
    while (mif.ReadLine(raw)) {
        const std::string object = NormaliseLine(raw);
        const std::string keyword = AsciiUpperCase(GetField(object, 1, " "));
        const std::string where = path + ":" + std::to_string(mif.LineNumber());
        const TSFShape* rec = nullptr;
        try {
            if (keyword == "LINE") {
                ReadMifLine(object, mif, line), rec = &line;
            } else if (keyword == "PLINE") {
                ReadMifPline(object, mif, line), rec = &line;
            } else if (keyword == "ARC") {
                ReadMifArc(object, mif, line), rec = &line;
            } else if (keyword == "REGION") {
                ReadMifRegion(object, mif, polygon), rec = &polygon;
            } else if (keyword == "RECT" || keyword == "ROUNDRECT") {
                ReadMifRect(object, mif, polygon, keyword == "ROUNDRECT"), rec = &polygon;
            } else if (keyword == "ELLIPSE") {
                ReadMifEllipse(object, mif, polygon), rec = &polygon;
            }
        } catch (const ConversionError& e) {
            // Decimal commas and the like: one message per file is enough.
            if (++tally.failed == 1) std::cout << "  first conversion error: " << e.what() << "\n";
            continue;
        }
        if (rec) {
            ++tally.read;
            ExpectWellFormed(*rec, where);
        }
    }
}

TEST(ExternalData, EveryObjectReadsOrFailsCleanly) {
    const std::string root = test::ExternalDataDir();
    if (root.empty()) GTEST_SKIP() << "no external MIF data";
    const std::vector<std::string> files = MifFiles(root);
    ASSERT_FALSE(files.empty());
    Tally total;
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        Tally tally;
        ReadObjects(path, tally);
        std::cout << path << ": " << tally.read << " read, " << tally.failed << " failed\n";
        total.read += tally.read;
        total.failed += tally.failed;
    }
    // The collection holds tens of thousands of objects in valid MIF.
    EXPECT_GT(total.read, 10000);
    EXPECT_LT(total.failed, total.read / 100);
}

}  // namespace
}  // namespace quorvex
