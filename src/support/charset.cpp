#include "support/charset.h"

#include "support/cp932.h"
#include "support/text.h"

namespace quorvex {
namespace {

struct TLowByteException {
    const uint16_t* High;  // identifies the set
    uint8_t Byte;
    uint16_t Char;
};

#include "support/charset_tables.inc"

struct TNamedSet {
    std::string_view Name;
    TCharsetKind Kind;
    const uint16_t* High;
};

// The MapInfo names of the sets read here.
constexpr TNamedSet kNamedSets[] = {
    {"WindowsJapanese", TCharsetKind::Cp932, nullptr},
    {"Neutral", TCharsetKind::Cp932, nullptr},
    {"UTF-8", TCharsetKind::Utf8, nullptr},
    {"PackedEUCJapanese", TCharsetKind::EucJp, nullptr},
    {"WindowsLatin1", TCharsetKind::SingleByte, kCp1252High},
    {"WindowsLatin2", TCharsetKind::SingleByte, kCp1250High},
    {"WindowsCyrillic", TCharsetKind::SingleByte, kCp1251High},
    {"WindowsGreek", TCharsetKind::SingleByte, kCp1253High},
    {"WindowsTurkish", TCharsetKind::SingleByte, kCp1254High},
    {"WindowsHebrew", TCharsetKind::SingleByte, kCp1255High},
    {"WindowsArabic", TCharsetKind::SingleByte, kCp1256High},
    {"WindowsBalticRim", TCharsetKind::SingleByte, kCp1257High},
    {"WindowsVietnamese", TCharsetKind::SingleByte, kCp1258High},
    {"ISO8859_1", TCharsetKind::SingleByte, kIso88591High},
    {"ISO8859_2", TCharsetKind::SingleByte, kIso88592High},
    {"ISO8859_3", TCharsetKind::SingleByte, kIso88593High},
    {"ISO8859_4", TCharsetKind::SingleByte, kIso88594High},
    {"ISO8859_5", TCharsetKind::SingleByte, kIso88595High},
    {"ISO8859_6", TCharsetKind::SingleByte, kIso88596High},
    {"ISO8859_7", TCharsetKind::SingleByte, kIso88597High},
    {"ISO8859_8", TCharsetKind::SingleByte, kIso88598High},
    {"ISO8859_9", TCharsetKind::SingleByte, kIso88599High},
    {"CodePage437", TCharsetKind::SingleByte, kCp437High},
    {"CodePage850", TCharsetKind::SingleByte, kCp850High},
    {"CodePage852", TCharsetKind::SingleByte, kCp852High},
    {"CodePage855", TCharsetKind::SingleByte, kCp855High},
    {"CodePage857", TCharsetKind::SingleByte, kCp857High},
    {"CodePage860", TCharsetKind::SingleByte, kCp860High},
    {"CodePage861", TCharsetKind::SingleByte, kCp861High},
    {"CodePage863", TCharsetKind::SingleByte, kCp863High},
    {"CodePage864", TCharsetKind::SingleByte, kCp864High},
    {"CodePage865", TCharsetKind::SingleByte, kCp865High},
    {"CodePage869", TCharsetKind::SingleByte, kCp869High},
};

// Known sets whose tables are large and for which our users have no data.
constexpr std::string_view kRefusedSets[] = {"WindowsSimpChinese", "WindowsTradChinese",
                                             "WindowsKorean"};

// The clause value without blanks and the quotes around it.
std::string_view BareName(std::string_view value) {
    value = Trim(value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = Trim(value.substr(1, value.size() - 2));
    return value;
}

// Length of the valid UTF-8 character at `i`, 0 when the bytes there are
// not one: no overlong forms, no surrogates, nothing beyond U+10FFFF.
size_t Utf8Length(std::string_view s, size_t i) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = at(i);
    if (b < 0x80) return 1;
    size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (s.size() - i < len) return 0;
    if (at(i + 1) < lo || at(i + 1) > hi) return 0;
    for (size_t k = 2; k < len; ++k)
        if ((at(i + k) & 0xC0) != 0x80) return 0;
    return len;
}

// The EUC-JP character at `i` and its length; 0 length when there is none.
char32_t EucJpChar(std::string_view s, size_t i, size_t& len) {
    const auto at = [&](size_t k) -> unsigned {
        return k < s.size() ? static_cast<unsigned char>(s[k]) : 0;
    };
    const auto inPlane = [](unsigned b) { return b >= 0xA1 && b <= 0xFE; };
    const unsigned b = at(i);
    len = 0;
    if (b < 0x80) {
        len = 1;
        return b;
    }
    if (b == 0x8E) {
        if (at(i + 1) < 0xA1 || at(i + 1) > 0xDF) return 0;
        len = 2;
        return 0xFF61 + (at(i + 1) - 0xA1);
    }
    if (b == 0x8F) {
        if (!inPlane(at(i + 1)) || !inPlane(at(i + 2))) return 0;
        const uint8_t row = kJis0212Rows[at(i + 1) - 0xA1];
        if (row == 0xFF) return 0;
        const char32_t c = kJis0212[row * 94 + (at(i + 2) - 0xA1)];
        if (c != 0) len = 3;
        return c;
    }
    if (!inPlane(b) || !inPlane(at(i + 1))) return 0;
    const char32_t c = kJis0208[(b - 0xA1) * 94 + (at(i + 1) - 0xA1)];
    if (c != 0) len = 2;
    return c;
}

char32_t SingleByteChar(const uint16_t* high, unsigned char b) {
    if (b >= 0x80) return high[b - 0x80];
    for (const TLowByteException& e : kLowByteExceptions)
        if (e.High == high && e.Byte == b) return e.Char;
    return b;
}

// Decodes from `bytes` into `out`; with `lenient` a byte that starts no
// character becomes U+FFFD, otherwise the decoding stops there.
std::optional<size_t> Decode(const TCharset& set, std::string_view bytes, std::string& out,
                             bool lenient) {
    constexpr char32_t kReplacement = 0xFFFD;
    if (set.Kind == TCharsetKind::Cp932) {
        out.append(bytes);
        return std::nullopt;
    }
    out.reserve(out.size() + bytes.size() * 3 / 2);
    for (size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        size_t len = 0;
        char32_t c = 0;
        switch (set.Kind) {
            case TCharsetKind::Cp932:  // copied above
                break;
            case TCharsetKind::Utf8:
                len = Utf8Length(bytes, i);
                if (len != 0) {
                    out.append(bytes.substr(i, len));
                    i += len;
                    continue;
                }
                break;
            case TCharsetKind::SingleByte:
                c = SingleByteChar(set.High, b);
                // A table entry of 0 is a refused byte; the NUL byte is NUL.
                len = (c != 0 || b == 0) ? 1 : 0;
                break;
            case TCharsetKind::EucJp:
                c = EucJpChar(bytes, i, len);
                break;
        }
        if (len == 0) {
            if (!lenient) return i;
            c = kReplacement;
            len = 1;
        }
        AppendUtf8(out, c);
        i += len;
    }
    return std::nullopt;
}

}  // namespace

std::optional<TCharset> FindCharset(const std::optional<std::string>& name, TMessage& why) {
    if (!name) return TCharset{};
    const std::string_view bare = BareName(*name);
    for (const TNamedSet& s : kNamedSets)
        if (EqualsIgnoringAsciiCase(bare, s.Name))
            return TCharset{s.Kind, s.High, std::string(bare)};
    for (std::string_view refused : kRefusedSets) {
        if (EqualsIgnoringAsciiCase(bare, refused)) {
            why = {TMsg::CharsetNotSupported, {std::string(bare)}};
            return std::nullopt;
        }
    }
    why = {TMsg::CharsetUnknown, {std::string(bare)}};
    return std::nullopt;
}

std::optional<size_t> DecodeToUtf8(const TCharset& set, std::string_view bytes, std::string& out) {
    return Decode(set, bytes, out, false);
}

std::string DisplayText(const TCharset& set, std::string_view bytes) {
    if (set.Kind == TCharsetKind::Cp932) return Cp932ToUtf8(bytes);
    std::string out;
    Decode(set, bytes, out, true);
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        const size_t len = Utf8Length(bytes, i);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

char32_t Utf8CharAt(std::string_view utf8, size_t offset, size_t* length) {
    const size_t len = offset < utf8.size() ? Utf8Length(utf8, offset) : 0;
    if (length) *length = len;
    if (len == 0) return 0xFFFD;
    const auto at = [&](size_t k) { return static_cast<unsigned char>(utf8[offset + k]); };
    if (len == 1) return at(0);
    char32_t c = at(0) & (0x7F >> len);
    for (size_t k = 1; k < len; ++k)
        c = (c << 6) | (at(k) & 0x3F);
    return c;
}

}  // namespace quorvex
