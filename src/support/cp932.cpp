#include "support/cp932.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "support/text.h"

namespace quorvex {
namespace {

struct Cp932Pair {
    uint16_t code;
    uint16_t unicode;
};

#include "support/cp932_table.inc"

constexpr char32_t kReplacement = 0xFFFD;

// Input methods outside Windows give these characters other code points than
// Windows does; the user means the code page's own character either way.
constexpr Cp932Pair kVariants[] = {
    {0x815C, 0x2014}, {0x8160, 0x301C}, {0x8161, 0x2016}, {0x817C, 0x2212},
    {0x8191, 0x00A2}, {0x8192, 0x00A3}, {0x81CA, 0x00AC},
};

bool ByUnicode(const Cp932Pair& a, const Cp932Pair& b) {
    return a.unicode < b.unicode;
}

// Double-byte characters sorted by code point, each with the one code Windows
// writes for it, plus the variants above.
const std::vector<Cp932Pair>& EncodeIndex() {
    static const std::vector<Cp932Pair> index = [] {
        std::vector<Cp932Pair> v;
        for (const Cp932Pair& p : kCp932Pairs) {
            if (!std::binary_search(std::begin(kCp932SecondaryCodes),
                                    std::end(kCp932SecondaryCodes), p.code))
                v.push_back(p);
        }
        v.insert(v.end(), std::begin(kVariants), std::end(kVariants));
        std::sort(v.begin(), v.end(), ByUnicode);
        return v;
    }();
    return index;
}

std::optional<uint16_t> EncodeDoubleByte(char32_t c) {
    if (c > 0xFFFF) return std::nullopt;
    const std::vector<Cp932Pair>& index = EncodeIndex();
    const Cp932Pair key{0, static_cast<uint16_t>(c)};
    auto it = std::lower_bound(index.begin(), index.end(), key, ByUnicode);
    if (it == index.end() || it->unicode != c) return std::nullopt;
    return it->code;
}

std::optional<char32_t> DecodeDoubleByte(uint16_t code) {
    auto it = std::lower_bound(std::begin(kCp932Pairs), std::end(kCp932Pairs), code,
                               [](const Cp932Pair& p, uint16_t v) { return p.code < v; });
    if (it == std::end(kCp932Pairs) || it->code != code) return std::nullopt;
    return it->unicode;
}

// Next character of `s` from `i`, advancing `i`. Nothing when the bytes are
// not valid UTF-8, and also for characters beyond U+FFFF, which code page 932
// never has, so four-byte forms need no decoding.
std::optional<char32_t> NextUtf8(std::string_view s, size_t& i) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    size_t len;
    char32_t c;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        c = b & 0x0F;
    } else {
        return std::nullopt;
    }
    if (s.size() - i < len) return std::nullopt;
    for (size_t k = 1; k < len; ++k) {
        const unsigned char t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (t & 0x3F);
    }
    // An overlong form could smuggle in ASCII such as a separator. Surrogates
    // need no check: no table entry has one.
    if (len == 3 && c < 0x800) return std::nullopt;
    i += len;
    return c;
}

}  // namespace

std::optional<std::string> Utf8ToCp932(std::string_view utf8, size_t* failedAt) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        if (failedAt) *failedAt = i;
        const std::optional<char32_t> c = NextUtf8(utf8, i);
        if (!c) return std::nullopt;
        if (*c < 0x80) {
            out += static_cast<char>(*c);
        } else if (*c >= 0xFF61 && *c <= 0xFF9F) {
            out += static_cast<char>(*c - 0xFF61 + 0xA1);
        } else if (const std::optional<uint16_t> code = EncodeDoubleByte(*c)) {
            out += static_cast<char>(*code >> 8);
            out += static_cast<char>(*code & 0xFF);
        } else {
            return std::nullopt;
        }
    }
    return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    for (size_t i = 0; i < cp932.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(cp932[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else if (b >= 0xA1 && b <= 0xDF) {
            AppendUtf8(out, 0xFF61 + (b - 0xA1));
        } else if (!IsCp932LeadByte(b) || i + 1 == cp932.size()) {
            AppendUtf8(out, kReplacement);
        } else {
            const unsigned char t = static_cast<unsigned char>(cp932[i + 1]);
            const std::optional<char32_t> c = DecodeDoubleByte(static_cast<uint16_t>(b << 8 | t));
            AppendUtf8(out, c.value_or(kReplacement));
            // After a lead byte that forms no character an ASCII byte stands
            // on its own: it may be a delimiter the caller still looks for.
            if (c || t >= 0x80) ++i;
        }
    }
    return out;
}

bool IsCp932Encodable(std::string_view utf8) {
    return Utf8ToCp932(utf8).has_value();
}

std::optional<size_t> FirstNonCp932Byte(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) continue;
        if (!IsCp932LeadByte(b) || i + 1 == bytes.size()) return i;
        if (!IsCp932TrailByte(static_cast<unsigned char>(bytes[i + 1]))) return i;
        ++i;
    }
    return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace quorvex
