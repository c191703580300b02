// Decoding of the MapInfo character sets other than code page 932.
#include "support/charset.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/cp932.h"

namespace quorvex {
namespace {

TCharset Named(const std::string& name) {
    TMessage why;
    const std::optional<TCharset> set = FindCharset(name, why);
    EXPECT_TRUE(set) << name << ": " << why.Text(TLanguage::English);
    return set.value_or(TCharset{});
}

// UTF-8 text, or "!" followed by the offset of the first byte refused.
std::string Decoded(const std::string& name, const std::string& bytes) {
    std::string out;
    const std::optional<size_t> bad = DecodeToUtf8(Named(name), bytes, out);
    return bad ? std::string(1, '!').append(std::to_string(*bad)) : out;
}

TEST(Charset, NamesIgnoreCaseQuotesAndBlanks) {
    EXPECT_EQ(Named("\"WindowsLatin1\"").Kind, TCharsetKind::SingleByte);
    EXPECT_EQ(Named("  \" windowslatin1 \"  ").Name, "windowslatin1");
    EXPECT_EQ(Named("UTF-8").Kind, TCharsetKind::Utf8);
    EXPECT_EQ(Named("\"PackedEUCJapanese\"").Kind, TCharsetKind::EucJp);
    for (const char* cp932 : {"\"WindowsJapanese\"", "\"Neutral\"", "NEUTRAL"})
        EXPECT_EQ(Named(cp932).Kind, TCharsetKind::Cp932) << cp932;
    TMessage why;
    EXPECT_EQ(FindCharset(std::nullopt, why)->Kind, TCharsetKind::Cp932);
    EXPECT_FALSE(FindCharset("\"WindowsSimpChinese\"", why));
    EXPECT_NE(why.Text(TLanguage::English)
                  .find("\"WindowsSimpChinese\" of the MIF file is not supported"),
              std::string::npos);
    EXPECT_FALSE(FindCharset("\"Latin9\"", why));
    EXPECT_NE(why.Text(TLanguage::English).find("unknown character set \"Latin9\""),
              std::string::npos);
}

TEST(Charset, SingleByteSetsFollowTheirCodePages) {
    // The bytes where Windows, ISO and DOS sets differ, and those they refuse.
    EXPECT_EQ(Decoded("WindowsLatin1", "\x80\xE9\x9F"), "€éŸ");
    EXPECT_EQ(Decoded("ISO8859_1", "\x80\xE9"), "\u0080é");
    EXPECT_EQ(Decoded("WindowsLatin1", "ab\x81"), "!2");
    EXPECT_EQ(Decoded("WindowsCyrillic", "\xC0\xFF\xA8\xB8"), "АяЁё");
    EXPECT_EQ(Decoded("WindowsCyrillic", "\x98"), "!0");
    EXPECT_EQ(Decoded("ISO8859_5", "\xB0\xEF"), "Ая");
    EXPECT_EQ(Decoded("CodePage850", "\x82\x9C"), "é£");
    EXPECT_EQ(Decoded("WindowsHebrew", "\xE0"), "א");
    // Code page 864 puts the Arabic percent sign where ASCII has '%'.
    EXPECT_EQ(Decoded("CodePage864", "5%"), "5\u066A");
    EXPECT_EQ(Decoded("WindowsLatin2", std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Charset, Utf8IsCheckedStrictly) {
    EXPECT_EQ(Decoded("UTF-8", "北 \xF0\x9F\x98\x80"), "北 \xF0\x9F\x98\x80");
    // Overlong forms, surrogates, beyond U+10FFFF, cut short, stray trail.
    for (const char* bad : {"\xC0\xAC", "\xE0\x80\xAC", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                            "\xE5\x8C", "\x97", "\xF8\x88\x80\x80\x80"})
        EXPECT_EQ(Decoded("UTF-8", std::string("x") + bad), "!1") << bad;
}

TEST(Charset, EucJapanese) {
    EXPECT_EQ(Decoded("PackedEUCJapanese",
                      "\xC6\xEE\xA4\xA2\x8E\xB1"
                      "a"),
              "南あｱa");
    EXPECT_EQ(Decoded("PackedEUCJapanese", "\x8F\xA2\xF1"), "№");  // JIS X 0212
    EXPECT_EQ(Decoded("PackedEUCJapanese", "\xA1\xC1"), "\u301C");
    for (const char* bad : {"\xA1",
                            "\xA1"
                            "A",
                            "\x8E\xE0", "\x8F\xA1\xA1", "\x80", "\xFF\xA1"})
        EXPECT_EQ(Decoded("PackedEUCJapanese", bad), "!0") << bad;
}

TEST(Charset, DisplayTextReplacesWhatDoesNotDecode) {
    EXPECT_EQ(DisplayText(Named("UTF-8"),
                          "a\xE5\x8C"
                          "b"),
              "a\uFFFD\uFFFDb");
    EXPECT_EQ(DisplayText(Named("WindowsLatin1"), "Id_G\xE9oFLA"), "Id_GéoFLA");
    EXPECT_EQ(DisplayText(TCharset{}, "\x96\x6B"), "北");
}

TEST(Charset, EncoderSaysWhereItStopped) {
    size_t at = 99;
    EXPECT_FALSE(Utf8ToCp932("北côte", &at));
    EXPECT_EQ(at, 4u);
    size_t len = 0;
    EXPECT_EQ(Utf8CharAt("北côte", at, &len), U'ô');
    EXPECT_EQ(len, 2u);
    EXPECT_EQ(Utf8CharAt("\xF0\x9F\x98\x80", 0, &len), U'\U0001F600');
    EXPECT_EQ(len, 4u);
    // The variants input methods produce are the code page's own characters.
    EXPECT_EQ(Utf8ToCp932("\u301C\u2212"), "\x81\x60\x81\x7C");
}

}  // namespace
}  // namespace quorvex
