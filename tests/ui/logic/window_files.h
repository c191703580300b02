// Small MIF/MID files for the window tests of the logic and of each face.
#pragma once

#include <string>
#include <string_view>

#include "test_util.h"

namespace quorvex::test {

// Column names of the test MIF: "CHIBAN", "名前" (code page 932), "AREA".
inline constexpr std::string_view kJapaneseColumn = "\x96\xBC\x91\x4F";

// A MIF file with three columns, a region and a line starting at (1, 2),
// and its MID file beside it.
inline void WriteMifPair(const std::string& mifPath) {
    WriteBytes(mifPath, std::string("Version 300\r\n"
                                    "Charset \"WindowsJapanese\"\r\n"
                                    "Delimiter \",\"\r\n"
                                    "CoordSys NonEarth Units \"m\" Bounds (0, 0) (100, 100)\r\n"
                                    "Columns 3\r\n"
                                    "  CHIBAN Char(10)\r\n  ") +
                            std::string(kJapaneseColumn) +
                            " Char(20)\r\n"
                            "  AREA Float\r\n"
                            "Data\r\n"
                            "\r\n"
                            "Region  1\r\n"
                            "  4\r\n"
                            "1 2\r\n"
                            "11 2\r\n"
                            "11 12\r\n"
                            "1 12\r\n"
                            "    Pen (1,2,0)\r\n"
                            "Line 1 2 30 40\r\n");
    WriteBytes(mifPath.substr(0, mifPath.size() - 4) + ".mid",
               "\"1-1\",\"\x96\x6B\",100\r\n\"R1\",\"\x93\xB9\",0\r\n");
}

}  // namespace quorvex::test
