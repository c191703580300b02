// The character sets a MIF file's Charset clause may name. Code page 932
// files keep their bytes; the other sets are decoded with the program's own
// tables, so every system reads the same characters from the same bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/messages.h"

namespace quorvex {

enum class TCharsetKind : uint8_t {
    Cp932,  // WindowsJapanese, Neutral, or no clause: bytes as they stand
    Utf8,
    SingleByte,
    EucJp,  // PackedEUCJapanese
};

struct TCharset {
    TCharsetKind Kind = TCharsetKind::Cp932;
    const uint16_t* High = nullptr;  // SingleByte: characters of bytes 0x80-0xFF
    std::string Name;                // as declared, for messages
};

// The set a Charset clause names (its value, quotes and blanks around it
// allowed), ignoring ASCII case; no clause is code page 932. Nothing for a
// name this program cannot read, with the reason in `why`.
std::optional<TCharset> FindCharset(const std::optional<std::string>& name, TMessage& why);

// Decodes `bytes` into UTF-8 text appended to `out`. Nothing when every byte
// decoded; else the offset of the first byte that starts no character of the
// set (the text decoded so far stays in `out`). Code page 932 is copied.
std::optional<size_t> DecodeToUtf8(const TCharset& set, std::string_view bytes, std::string& out);

// UTF-8 text for display: code page 932 as Cp932ToUtf8 shows it; in the other
// sets each byte that starts no character becomes U+FFFD.
std::string DisplayText(const TCharset& set, std::string_view bytes);

// Whether `bytes` is UTF-8 throughout: no overlong forms, no surrogates,
// nothing beyond U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// The character at `offset` of valid UTF-8 text, and its length in bytes.
char32_t Utf8CharAt(std::string_view utf8, size_t offset, size_t* length = nullptr);

}  // namespace quorvex
