// Tables in character sets other than code page 932: the values are decoded,
// cut at the delimiter and written in code page 932, or the run fails naming
// the row, the column and the character.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "engine/convert.h"
#include "support/cp932.h"
#include "support/text.h"
#include "test_util.h"

namespace quorvex {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::string Header(const std::string& charset) {
    return "Version 300\r\n" + charset +
           "\r\nDelimiter \",\"\r\nCoordSys NonEarth Units \"m\"\r\n" +
           "Columns 2\r\n  CHIBAN Char(20)\r\n  NAME Char(20)\r\nData\r\n";
}

const std::string kObjects =
    "Region 1\r\n 3\r\n0 0\r\n10 0\r\n10 10\r\n"
    "Pline 3\r\n0 0\r\n5 5\r\n9 1\r\n"
    "Region 1\r\n 3\r\n10 0\r\n20 0\r\n10 10\r\n"
    "Line 1 1 2 2\r\n";

struct Conversion {
    TempDir dir;
    TConvertSettings s;
    Conversion(const std::string& charset, const std::string& mid, int32_t attr,
               const std::string& objects = kObjects) {
        s.MifFile = dir / "in.mif";
        s.SimFile = dir / "out.sim";
        s.AttrIndex = attr;
        WriteBytes(s.MifFile, Header(charset) + objects);
        WriteBytes(dir / "in.mid", mid);
    }
    // The reason of a failure in English, when `why` is given.
    bool Run(std::string* why = nullptr) {
        TRunReport r;
        const bool ok = ConvertFile(s, &r);
        if (why) *why = r.Error.Text(TLanguage::English);
        return ok;
    }
    std::string Out() const { return ReadBytes(s.SimFile); }
};

std::string Cp932(const std::string& utf8) {
    return Utf8ToCp932(utf8).value();
}

// Japanese values whose UTF-8 ends in bytes 0x81-0x9F (南 北 丁 〜), unquoted,
// so a double-byte rule would swallow the delimiter after them.
const std::vector<std::string> kJapaneseRows = {
    "南,北",
    "1丁,\"北 〜\"",
    "ｱｲ北,南",
    "北,",
};

std::string Rows(const std::vector<std::string>& rows, bool toCp932) {
    std::string mid;
    for (const std::string& r : rows)
        mid += (toCp932 ? Cp932(r) : r) + "\r\n";
    return mid;
}

TEST(Charset, Utf8TableGivesTheBytesOfItsWindowsJapaneseTwin) {
    for (int32_t attr : {1, 2}) {
        Conversion japanese("Charset \"WindowsJapanese\"", Rows(kJapaneseRows, true), attr);
        Conversion utf8("CHARSET  \" utf-8 \" ", "\xEF\xBB\xBF" + Rows(kJapaneseRows, false), attr);
        std::string why;
        ASSERT_TRUE(japanese.Run(&why)) << why;
        ASSERT_TRUE(utf8.Run(&why)) << why;
        EXPECT_EQ(utf8.Out(), japanese.Out()) << "column " << attr;
    }
    Conversion utf8("Charset \"UTF-8\"", Rows(kJapaneseRows, false), 2);
    ASSERT_TRUE(utf8.Run());
    const std::string out = utf8.Out();
    EXPECT_NE(out.find("D00,1," + Cp932("北") + ",1,"), std::string::npos);
    EXPECT_NE(out.find("F00,1," + Cp932("北 〜") + ",1,"), std::string::npos);
    EXPECT_NE(out.find("F00,2,,1,"), std::string::npos);
}

TEST(Charset, SingleByteAndEucSetsAreDecoded) {
    // Cyrillic, Greek, ± and ° exist in code page 932.
    struct Case {
        const char* charset;
        std::string mid;
        std::string value;  // UTF-8
    };
    const std::vector<Case> ok = {
        {"Charset \"WindowsCyrillic\"", "\xC4\xEE\xEC,x", "Дом"},
        {"Charset \"ISO8859_1\"", "\xB1\xB0,x", "±°"},
        {"Charset \"CodePage437\"", "\xF1\xF8,x", "±°"},
        {"Charset \"WindowsGreek\"", "\xC1\xE2,x", "Αβ"},
        {"Charset \"PackedEUCJapanese\"", "\xC6\xEE\xC0\xBE\x8E\xB1,x", "南西ｱ"},
        {"Charset \"PackedEUCJapanese\"", "\x8F\xB0\xA9,x", "丨"},  // JIS X 0212
    };
    for (const Case& c : ok) {
        Conversion conv(c.charset, std::string(c.mid) + "\r\n", 1,
                        "Region 1\r\n 3\r\n0 0\r\n10 0\r\n10 10\r\n");
        std::string why;
        ASSERT_TRUE(conv.Run(&why)) << c.charset << ": " << why;
        EXPECT_NE(conv.Out().find("D00,1," + Cp932(c.value) + ",1,"), std::string::npos)
            << c.charset;
    }
}

TEST(Charset, ValuesThatCannotBeWrittenFailNamingRowColumnAndCharacter) {
    struct Case {
        std::string charset;
        std::string mid;
        int32_t attr;
        std::vector<std::string> said;
    };
    const std::vector<Case> cases = {
        // é is no code page 932 character: the lot number is not altered.
        {"Charset \"WindowsLatin1\"",
         "a,b\r\nx,C\xF4te\r\n",
         2,
         {"MID row 2", "column 2 \"NAME\"", "\"\xC3\xB4\"", "U+00F4"}},
        // A character beyond U+FFFF.
        {"Charset \"UTF-8\"", "\xF0\x9F\x98\x80,b\r\n", 1, {"MID row 1", "column 1", "U+01F600"}},
        // Broken UTF-8 in another column than the chosen one.
        {"Charset \"UTF-8\"",
         "a,b\r\nc,d\r\ne,\xE5\x8C,\r\n",
         1,
         {"MID row 3", "column 2 \"NAME\"", "0xE5", "UTF-8"}},
        // A byte Windows Latin 1 does not assign.
        {"Charset \"WindowsLatin1\"", "\x81,b\r\n", 1, {"MID row 1", "column 1", "0x81"}},
        {"Charset \"Klingon\"", "a,b\r\n", 1, {"Klingon"}},
        {"Charset \"WindowsKorean\"", "a,b\r\n", 1, {"WindowsKorean", "not supported"}},
    };
    for (const Case& c : cases) {
        Conversion conv(c.charset, c.mid, c.attr);
        WriteBytes(conv.s.SimFile, "old");
        std::string why;
        EXPECT_FALSE(conv.Run(&why)) << c.charset;
        for (const std::string& part : c.said)
            EXPECT_NE(why.find(part), std::string::npos) << why << " lacks " << part;
        EXPECT_EQ(conv.Out(), "old");
    }
    // Without an attribute the values and so their set do not matter.
    Conversion geometry("Charset \"WindowsKorean\"", "\xB0\xA1,b\r\n", 0);
    EXPECT_TRUE(geometry.Run());
}

TEST(Charset, CombinedRowsTakeTheirOwnSet) {
    TempDir dir;
    std::vector<TBatchRow> rows;
    auto add = [&](const std::string& name, const std::string& charset, const std::string& mid) {
        TConvertSettings s;
        s.MifFile = dir / (name + ".mif");
        s.AttrIndex = 1;
        WriteBytes(s.MifFile, Header(charset) + "Line 0 0 1 1\r\n");
        WriteBytes(dir / (name + ".mid"), mid);
        rows.push_back(RowFromSettings(s, "CHIBAN"));
    };
    add("sjis", "Charset \"WindowsJapanese\"", Cp932("北") + ",x\r\n");
    add("utf8", "Charset \"UTF-8\"", "南,x\r\n");
    add("latin", "Charset \"WindowsLatin1\"", "\xE9,x\r\n");
    std::vector<bool> marks;
    TRunCallbacks cb;
    cb.MarkRow = [&](size_t, const TRunReport& r) { marks.push_back(r.Ok); };
    const std::string out = dir / "all.sim";
    ASSERT_TRUE(ConvertCombined(rows, out, "G", cb).Written);
    EXPECT_EQ(marks, (std::vector<bool>{true, true, false}));
    EXPECT_NE(ReadBytes(out).find("F00,1," + Cp932("北") +
                                  ",1,\r\nB01,1,1,\r\nB01,2,2,\r\nF99,\r\n"
                                  "F00,2," +
                                  Cp932("南") + ",1,"),
              std::string::npos);
}

// Real files in Windows Latin 1, Windows Cyrillic and UTF-8: every lot number
// read back equals the MID value decoded here independently of the engine, or
// the run fails naming the first value code page 932 cannot hold.

// The few bytes of these files above 0x7F, decoded by hand.
std::u32string DecodeIndependently(const std::string& set, std::string_view bytes) {
    std::u32string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out += char32_t(b);
        } else if (set == "WindowsLatin1" && b >= 0xA0) {
            out += char32_t(b);
        } else if (set == "WindowsCyrillic" && b >= 0xC0) {
            out += char32_t(0x0410 + (b - 0xC0));
        } else if (set == "WindowsCyrillic" && (b == 0xA8 || b == 0xB8)) {
            out += b == 0xA8 ? U'\u0401' : U'\u0451';
        } else if (set == "UTF-8" && b >= 0xC2 && b <= 0xDF) {
            out += char32_t(((b & 0x1F) << 6) | (bytes[++i] & 0x3F));
        } else if (set == "UTF-8" && b >= 0xE0 && b <= 0xEF) {
            const char32_t c =
                ((b & 0x0F) << 12) | ((bytes[i + 1] & 0x3F) << 6) | (bytes[i + 2] & 0x3F);
            out += c;
            i += 2;
        } else {
            ADD_FAILURE() << "byte 0x" << std::hex << int(b) << " not expected in " << set;
        }
    }
    return out;
}

std::string ToUtf8(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The value of one MID row as a user reads it: the field at `column`, cut at
// `delimiter`, quotes removed (no value of these files holds a quote).
std::string FieldOfRow(const std::string& row, int32_t column, char delimiter) {
    size_t begin = 0;
    for (int32_t k = 1; k < column; ++k) {
        begin = row.find(delimiter, begin);
        if (begin == std::string::npos) return "";
        ++begin;
    }
    std::string field = row.substr(begin, row.find(delimiter, begin) - begin);
    field = std::string(Trim(field));
    if (field.size() >= 2 && field.front() == '"') field = field.substr(1, field.size() - 2);
    return field;
}

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

// Which objects of a MIF file make blocks, in order: 'D' for a parcel, 'F'
// for a route, '-' for an object that takes a row and makes none.
std::string ObjectKinds(const std::string& mifBytes) {
    std::string kinds;
    bool data = false;
    for (const std::string& raw : Lines(mifBytes)) {
        const std::string word = AsciiUpperCase(Trim(raw).substr(0, Trim(raw).find(' ')));
        if (!data) {
            data = word == "DATA";
            continue;
        }
        if (word == "REGION") kinds += 'D';
        if (word == "LINE" || word == "PLINE") kinds += 'F';
        if (word == "POINT" || word == "NONE" || word == "TEXT") kinds += '-';
    }
    return kinds;
}

TEST(Charset, RealFilesGiveTheDecodedValues) {
    const std::string root = test::ExternalDataDir();
    if (root.empty()) GTEST_SKIP() << "external test data not present";
    struct File {
        const char* mif;
        const char* set;
        char delimiter;
        std::vector<int32_t> columns;
    };
    const std::vector<File> files = {
        {"JOSM_josm-plugins/FR_DOM_Mayotte_mif_WGS84/LIMITE_DEPARTEMENT.MIF",
         "WindowsLatin1",
         ',',
         {1, 2}},
        {"JOSM_josm-plugins/GEOFLADept_FR_Corse_MI_L93/LIMITE_DEPARTEMENT.MIF",
         "WindowsLatin1",
         '\t',
         {1, 2}},
        {"JOSM_josm-plugins/bg.mif", "WindowsCyrillic", ',', {1, 9, 10, 11, 35}},
        {"OSGeo_gdal/win1251.mif", "WindowsCyrillic", ',', {1, 2}},
        {"OSGeo_gdal/utf8.mif", "UTF-8", ',', {1, 2}},
    };
    int failures = 0, checked = 0;
    for (const File& f : files) {
        const std::string mifPath = root + "/" + f.mif;
        if (!std::filesystem::exists(mifPath)) continue;
        std::string midPath = mifPath;
        midPath.back() = midPath.back() == 'F' ? 'D' : 'd';
        const std::string kinds = ObjectKinds(ReadBytes(mifPath));
        const std::vector<std::string> rows = Lines(ReadBytes(midPath));
        for (int32_t column : f.columns) {
            TempDir dir;
            TConvertSettings s;
            s.MifFile = mifPath;
            s.SimFile = dir / "out.sim";
            s.AttrIndex = column;
            // The values expected, block by block, and the first that cannot
            // be written.
            std::vector<std::string> expected;
            size_t firstBad = 0;
            for (size_t i = 0; i < kinds.size() && i < rows.size() && !firstBad; ++i) {
                const std::string value =
                    ToUtf8(DecodeIndependently(f.set, FieldOfRow(rows[i], column, f.delimiter)));
                if (!IsCp932Encodable(value)) firstBad = i + 1;
                if (kinds[i] != '-') expected.push_back(std::string(1, kinds[i]) + value);
            }
            TRunReport report;
            const bool ok = ConvertFile(s, &report);
            const std::string why = report.Error.Text(TLanguage::English);
            const std::string where = std::string(f.mif) + " column " + std::to_string(column);
            if (firstBad) {
                ++failures;
                EXPECT_FALSE(ok) << where;
                EXPECT_NE(why.find("MID row " + std::to_string(firstBad) + ", column " +
                                   std::to_string(column)),
                          std::string::npos)
                    << where << ": " << why;
                continue;
            }
            ASSERT_TRUE(ok) << where << ": " << why;
            std::vector<std::string> got;
            for (const std::string& line : Lines(ReadBytes(s.SimFile))) {
                if (line.rfind("D00,", 0) != 0 && line.rfind("F00,", 0) != 0) continue;
                const size_t from = line.find(',', 4) + 1;
                got.push_back(line.substr(0, 1) +
                              Cp932ToUtf8(line.substr(from, line.rfind(",1,") - from)));
            }
            // Parcel blocks come before route blocks in the file.
            std::stable_partition(expected.begin(), expected.end(),
                                  [](const std::string& v) { return v[0] == 'D'; });
            EXPECT_EQ(got, expected) << where;
            ++checked;
        }
    }
    // Both outcomes occur: the accented French boundary names fail.
    EXPECT_GT(checked, 5);
    EXPECT_GT(failures, 0);
}

}  // namespace
}  // namespace quorvex
