// The SIMA reader: records of this program's files and of other programs',
// errors that name their line, and the record writer giving back the bytes.
#include <gtest/gtest.h>

#include "sima/sima_records.h"
#include "sima_bytes.h"
#include "support/errors.h"
#include "test_util.h"

namespace quorvex {
namespace {

using test::WrittenSimaBytes;

// The error a text raises, with its message's arguments.
TMessage ErrorOf(std::string_view text) {
    try {
        ReadSimaText(text);
    } catch (const ConversionError& e) {
        return e.message;
    }
    ADD_FAILURE() << "no error for: " << text;
    return {};
}

TEST(SimaReader, ReadsAnotherProgramsFile) {
    // Numbers not 1, 2, 3; names of their own; heights and more fields; LF
    // and CR LF line ends; a record kind nobody knows; a name with a comma.
    const TSimaFile f = ReadSimaText(
        "Z00,banner,\nG00,01,\x96\x6B\x92\x6E,site,\r\nA00,\n"
        "A01,10,P10,100.5,200.25,12.5,extra,\r\n"
        "A01,20,P20,110,200,\n"
        "A01,30,,-0.001,210.75,0,\n"
        "A99,\nQ07,what,\n"
        "D00,7,1-2,extra,\nB01,10,P10,\nB01,20,P20,\nB01,30,,\nB01,10,P10,\nD99,\n"
        "F00,3,road,1,\nB01,20,anything,\nB01,30,,\nF99,\n");
    EXPECT_EQ(f.Genba, "\x96\x6B\x92\x6E,site");
    ASSERT_EQ(f.Points.size(), 3u);
    EXPECT_EQ(f.Points[0].Number, 10);
    EXPECT_EQ(f.Points[0].X, 100.5);
    EXPECT_EQ(f.Points[0].Y, 200.25);
    EXPECT_EQ(f.PointName(0), "P10");
    EXPECT_EQ(f.PointRest(0), "12.5,extra,");
    EXPECT_EQ(f.PointRest(1), "");
    EXPECT_EQ(f.PointName(2), "");
    EXPECT_EQ(f.Points[2].X, -0.001);
    ASSERT_EQ(f.Parcels.size(), 1u);
    EXPECT_EQ(f.Parcels[0].Number, 7);
    EXPECT_EQ(f.Parcels[0].Name, "1-2");  // the first field, not ours
    EXPECT_EQ(f.Parcels[0].Head, "1-2,extra,");
    const auto [first, last] = f.VerticesOf(f.Parcels[0]);
    EXPECT_EQ(std::vector<uint32_t>(first, last), (std::vector<uint32_t>{0, 1, 2, 0}));
    ASSERT_EQ(f.Routes.size(), 1u);
    EXPECT_EQ(f.Routes[0].Name, "road");
    EXPECT_EQ(f.Routes[0].VertexCount, 2u);
    ASSERT_EQ(f.OddVertexNames.size(), 1u);  // "anything" is not point 20's name
    EXPECT_EQ(f.OddVertexNames[0].second, "anything,");
    EXPECT_EQ(f.SkippedLines, 4);  // Z00, A00, A99, Q07

    // Written in our layout and read again: the same records.
    const TSimaFile g = ReadSimaText(WrittenSimaBytes(f));
    EXPECT_EQ(g.Genba, f.Genba);
    EXPECT_EQ(g.Vertices, f.Vertices);
    EXPECT_EQ(g.PointRest(0), "12.5,extra,");
    EXPECT_EQ(g.OddVertexNames, f.OddVertexNames);
    EXPECT_EQ(g.Parcels[0].Head, f.Parcels[0].Head);
}

TEST(SimaReader, OurLotNumbersKeepTheirCommasAndBytes) {
    const TSimaFile f =
        ReadSimaText("A01,1,1,0,0,0,\nD00,1,12,4\x81\x40,1,\nB01,1,1,\nD99,\nD00,2,,1,\nD99,\n");
    ASSERT_EQ(f.Parcels.size(), 2u);
    EXPECT_EQ(f.Parcels[0].Name, "12,4\x81\x40");
    EXPECT_EQ(f.Parcels[1].Name, "");
    EXPECT_EQ(f.Parcels[1].VertexCount, 0u);
}

TEST(SimaReader, ErrorsNameTheLine) {
    struct Case {
        const char* text;
        TMsg id;
        const char* line;
        const char* detail;
    };
    const Case cases[] = {
        {"A01,1,1,0,0,0,\nD00,1,a,1,\nB01,2,2,\nD99,\n", TMsg::SimaUnknownPoint, "3", "2"},
        {"A01,1,1,0,0,0,\nA01,1,1,5,5,0,\n", TMsg::SimaDuplicatePoint, "2", "1"},
        {"A01,5,5,0,0,0,\nA01,7,7,0,0,0,\nA01,5,5,1,1,0,\n", TMsg::SimaDuplicatePoint, "3", "5"},
        {"A01,1,1,0,0,0,\nD00,1,a,1,\nB01,1,1,\n", TMsg::SimaNoTail, "3", "2"},
        {"A01,1,1,0,0,0,\nD00,1,a,1,\nB01,1,1,\nF00,1,b,1,\n", TMsg::SimaNoTail, "4", "2"},
        {"A01,1,1,0,0,0,\nF00,1,a,1,\nB01,1,1,\nD99,\n", TMsg::SimaNoTail, "4", "2"},
        {"A01,1,1,0,0,0,\nB01,1,1,\n", TMsg::SimaOutsideBlock, "2", "B01"},
        {"\n\nD99,\n", TMsg::SimaOutsideBlock, "3", "D99"},
        {"A01,1,1,12.5x,0,0,\n", TMsg::NotAFloat, "1", "12.5x"},
        {"A01,one,1,0,0,0,\n", TMsg::NotAnInteger, "1", "one"},
        {"A01,1,1,0,0,0,\nD00,,a,1,\n", TMsg::NotAnInteger, "2", ""},
        {"A01,1,1,0\n", TMsg::SimaFieldsMissing, "1", "A01"},
        {"A01,1,1,1e999,0,0,\n", TMsg::NotAFloat, "1", "1e999"},
    };
    for (const Case& c : cases) {
        const TMessage m = ErrorOf(c.text);
        EXPECT_EQ(m.Id, c.id) << c.text;
        ASSERT_GE(m.Args.size(), 3u) << c.text;
        EXPECT_EQ(m.Args[1], c.line) << c.text;
        EXPECT_EQ(m.Args[2], c.detail) << c.text;
    }
}

TEST(SimaReader, QuotesALongBadValueShortly) {
    const std::string value(300, '7');
    const TMessage m = ErrorOf("A01,1,1,0,0,0,\nD00,1,a,1,\nB01," + value + "x,1,\nD99,\n");
    const std::string text = m.Text(TLanguage::English);
    EXPECT_LT(text.size(), 140u) << text;
    EXPECT_NE(text.find(":3:"), std::string::npos) << text;
}

TEST(SimaReader, HostileCountsAllocateNothing) {
    // A number near the top of the range refers to nothing and sizes
    // nothing; a coordinate that prints beyond the doubles is refused.
    const TMessage m = ErrorOf("A01,1,1,0,0,0,\nD00,2147483647,a,1,\nB01,2147483647,1,\nD99,\n");
    EXPECT_EQ(m.Id, TMsg::SimaUnknownPoint);
    EXPECT_EQ(ErrorOf("A01,1,1,1.7976931348623157E308,0,0,\n").Id, TMsg::VertexTooLarge);
}

TEST(SimaReader, GoldenFilesComeBackByteForByte) {
    const std::string dir = std::string(QUORVEX_TEST_DATA) + "/golden/";
    int files = 0;
    for (const std::string& name : test::ListDir(dir)) {
        if (name.size() < 4 || name.substr(name.size() - 4) != ".sim") continue;
        const std::string bytes = test::ReadBytes(dir + name);
        const TSimaFile f = ReadSimaFile(dir + name);
        EXPECT_TRUE(f.OddPointTexts.empty()) << name;
        EXPECT_TRUE(f.OddVertexNames.empty()) << name;
        EXPECT_EQ(f.SkippedLines, 8) << name;  // banners, Z00, A00, A99
        EXPECT_TRUE(WrittenSimaBytes(f) == bytes) << name;
        ++files;
    }
    EXPECT_GE(files, 4);
}

}  // namespace
}  // namespace quorvex
