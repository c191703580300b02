#include "support/ini_file.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace quorvex {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(IniFile, ReadsSectionsAndKeysWithoutRegardToCase) {
    TempDir dir;
    WriteBytes(dir / "a.ini",
               "; comment\r\n[Other]\r\nLeft=1\r\n[WINDOW]\r\n  left = 64 \r\nTOP=0x40\n");
    const TIniFile ini(dir / "a.ini");
    EXPECT_EQ(ini.ReadString("window", "Left"), "64");
    EXPECT_EQ(ini.ReadInteger("Window", "LEFT", 20), 64);
    EXPECT_EQ(ini.ReadInteger("Window", "top", 20), 64);
    EXPECT_EQ(ini.ReadInteger("other", "left", 20), 1);
    EXPECT_EQ(ini.ReadString("Window", "Width"), std::nullopt);
    EXPECT_EQ(ini.ReadInteger("Window", "Width", 700), 700);
    EXPECT_EQ(ini.ReadInteger("Missing", "Left", 5), 5);
}

TEST(IniFile, MissingFileReadsAsEmpty) {
    TempDir dir;
    const TIniFile ini(dir / "none.ini");
    EXPECT_EQ(ini.ReadInteger("Window", "State", 0), 0);
    EXPECT_EQ(ini.Text(), "");
}

TEST(IniFile, IntegersAreDecimalOrHexadecimalAfter0x) {
    EXPECT_EQ(ParseIniInteger("100"), 100);
    EXPECT_EQ(ParseIniInteger("-20"), -20);
    EXPECT_EQ(ParseIniInteger(" 7 "), 7);
    EXPECT_EQ(ParseIniInteger("0x40"), 64);
    EXPECT_EQ(ParseIniInteger("0XfF"), 255);
    EXPECT_EQ(ParseIniInteger("0xFFFFFFFF"), -1);
    EXPECT_EQ(ParseIniInteger("2147483647"), 2147483647);
    EXPECT_EQ(ParseIniInteger("-2147483648"), INT32_MIN);
    for (const char* bad :
         {"", "0x", "0x1G", "0x123456789", "word", "1.5", "12a", "2147483648", "-", "$40"})
        EXPECT_EQ(ParseIniInteger(bad), std::nullopt) << bad;
}

TEST(IniFile, WritingKeepsForeignContentAndReplacesKeysInPlace) {
    TempDir dir;
    const std::string path = dir / "a.ini";
    WriteBytes(path,
               "; settings\r\n[Recent]\r\nFile1=x.txt\r\n\r\n[window]\r\nLEFT=1\r\nColour=red\r\n"
               "\r\n[Tail]\r\nKey=1\r\n");
    TIniFile ini(path);
    ini.WriteInteger("Window", "Left", 100);
    ini.WriteInteger("Window", "State", 2);
    ini.WriteString("New", "A", "b");
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(ReadBytes(path),
              "; settings\r\n[Recent]\r\nFile1=x.txt\r\n\r\n[window]\r\nLEFT=100\r\nColour=red\r\n"
              "State=2\r\n\r\n[Tail]\r\nKey=1\r\n\r\n[New]\r\nA=b\r\n");
    const TIniFile back(path);
    EXPECT_EQ(back.ReadInteger("WINDOW", "left", 0), 100);
    EXPECT_EQ(back.ReadInteger("window", "state", 0), 2);
    EXPECT_EQ(back.ReadString("new", "a"), "b");
}

TEST(IniFile, FirstWriteCreatesTheFile) {
    TempDir dir;
    TIniFile ini(dir / "new.INI");
    ini.WriteInteger("Window", "Left", 20);
    ini.WriteInteger("Window", "Top", 30);
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(ReadBytes(dir / "new.INI"), "[Window]\r\nLeft=20\r\nTop=30\r\n");
}

TEST(IniFile, UnwritablePlaceReportsFalse) {
    TempDir dir;
    TIniFile ini(dir / "no-such-dir/a.ini");
    ini.WriteInteger("Window", "Left", 1);
    EXPECT_FALSE(ini.UpdateFile());
}

}  // namespace
}  // namespace quorvex
