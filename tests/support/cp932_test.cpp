#include "support/cp932.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quorvex {
namespace {

// u8 literals keep the tests independent of the compiler's execution charset.
std::string U8(std::u8string_view s) {
    return std::string(s.begin(), s.end());
}

const std::string R = U8(u8"\uFFFD");

TEST(Cp932Test, EncodesJapaneseText) {
    EXPECT_EQ(Utf8ToCp932(U8(u8"北地区")), "\x96\x6B\x92\x6E\x8B\xE6");
    EXPECT_EQ(Utf8ToCp932(U8(u8"○×")), "\x81\x9B\x81\x7E");
    EXPECT_EQ(Utf8ToCp932(U8(u8"表")), "\x95\x5C");  // trail byte is a backslash
    EXPECT_EQ(Utf8ToCp932(U8(u8"ｱﾟ｡")), "\xB1\xDF\xA1");
    const std::string ascii = std::string("\0\t\r\n\x1F\x7F", 6) + "C:\\a~b";
    EXPECT_EQ(Utf8ToCp932(ascii), ascii);

    const std::string text = U8(u8"座標データ 表 ｶﾅ ①Ⅳ㈱ 123");
    const std::optional<std::string> bytes = Utf8ToCp932(text);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(Cp932ToUtf8(*bytes), text);
}

TEST(Cp932Test, TakesOtherSystemsFormsForTheCodePageCharacters) {
    const std::pair<std::u8string_view, std::string> cases[] = {
        {u8"\u301C", "\x81\x60"}, {u8"\u2212", "\x81\x7C"}, {u8"\u2014", "\x81\x5C"},
        {u8"\u2016", "\x81\x61"}, {u8"\u00A2", "\x81\x91"}, {u8"\u00A3", "\x81\x92"},
        {u8"\u00AC", "\x81\xCA"}};
    for (const auto& [utf8, bytes] : cases)
        EXPECT_EQ(Utf8ToCp932(U8(utf8)), bytes) << bytes;
    // The Windows forms encode too, and are what decoding gives back.
    const std::string windows = U8(u8"～－―∥￠￡￢");
    EXPECT_EQ(Utf8ToCp932(windows), "\x81\x60\x81\x7C\x81\x5C\x81\x61\x81\x91\x81\x92\x81\xCA");
    EXPECT_EQ(Cp932ToUtf8("\x81\x60\x81\x7C\x81\x5C\x81\x61\x81\x91\x81\x92\x81\xCA"), windows);
}

TEST(Cp932Test, WritesTheCodeWindowsWritesForRepeatedCharacters) {
    EXPECT_EQ(Utf8ToCp932(U8(u8"纊")), "\xFA\x5C");  // not 0xED40
    EXPECT_EQ(Utf8ToCp932(U8(u8"ⅰ")), "\xFA\x40");   // not 0xEEEF
    EXPECT_EQ(Utf8ToCp932(U8(u8"Ⅰ")), "\x87\x54");   // not 0xFA4A
    EXPECT_EQ(Utf8ToCp932(U8(u8"≒")), "\x81\xE0");   // not 0x8790
    EXPECT_EQ(Utf8ToCp932(U8(u8"∵")), "\x81\xE6");   // not 0x879A, 0xFA5B
}

TEST(Cp932Test, EveryDoubleByteCodeRoundTrips) {
    int characters = 0;
    int repeated = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead == 0xA0) lead = 0xE0;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string text = Cp932ToUtf8(code);
            if (text.starts_with(R)) continue;
            ++characters;
            const std::optional<std::string> back = Utf8ToCp932(text);
            ASSERT_TRUE(back) << std::hex << lead << ' ' << trail;
            if (*back == code) continue;
            ++repeated;
            // Only the NEC and IBM extensions repeat characters.
            EXPECT_TRUE(lead == 0x87 || lead == 0xED || lead == 0xEE || lead == 0xFA)
                << std::hex << lead << ' ' << trail;
            EXPECT_EQ(Cp932ToUtf8(*back), text);
        }
    }
    EXPECT_EQ(characters, 7724 + 1880);  // 1880 user-defined characters
    EXPECT_EQ(repeated, 398);
}

TEST(Cp932Test, RefusesCharactersTheCodePageLacks) {
    for (std::u8string_view text : {u8"caf\u00E9", u8"\U0001F600", u8"\uD55C", u8"\u00A5",
                                    u8"\u203E", u8"\uFEFF", u8"\u0080", u8"\uF8F0"}) {
        EXPECT_EQ(Utf8ToCp932(U8(text)), std::nullopt) << U8(text);
        EXPECT_FALSE(IsCp932Encodable(U8(text))) << U8(text);
    }
    EXPECT_TRUE(IsCp932Encodable(U8(u8"北")));
    EXPECT_TRUE(IsCp932Encodable(""));
}

TEST(Cp932Test, RefusesInvalidUtf8) {
    for (const char* bytes : {"\x80", "a\xE5\x8C", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                              "\xC3(", "\xFF", "\xF0\x9F\x98\x80"})
        EXPECT_EQ(Utf8ToCp932(bytes), std::nullopt) << bytes;
    // Cut short by the end of the view, not by a following byte.
    EXPECT_EQ(Utf8ToCp932(std::string_view("\xE5\x8C\x97", 2)), std::nullopt);
}

TEST(Cp932Test, DecodesBadBytesAsReplacementCharacters) {
    EXPECT_EQ(Cp932ToUtf8("\x80\xA0\xFD\xFE\xFF"), R + R + R + R + R);
    EXPECT_EQ(Cp932ToUtf8(std::string_view("A\x81\x40", 2)), "A" + R);
    // An unassigned pair with a non-ASCII second byte is one replacement ...
    EXPECT_EQ(Cp932ToUtf8("\x85\x80\x96\x6B"), R + U8(u8"北"));
    // ... but an ASCII byte after a lead byte is never swallowed.
    EXPECT_EQ(Cp932ToUtf8("\x85\x40,"), R + "@,");
    EXPECT_EQ(Cp932ToUtf8("\xF0\x40"), U8(u8"\uE000"));  // user-defined, private use
}

}  // namespace
}  // namespace quorvex
