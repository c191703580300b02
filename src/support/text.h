// Byte-string routines shared by the readers and the engine. Texts are code
// page 932 bytes and are never converted; positions count bytes from 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex {

// Codes 0 to 32 (blank, tab, control characters) are what trimming removes.
constexpr bool IsTrimChar(unsigned char c) {
    return c <= 32;
}

// Lead bytes of code page 932 double-byte characters.
constexpr bool IsCp932LeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
// Bytes that may follow a lead byte in a well-formed double-byte character.
constexpr bool IsCp932TrailByte(unsigned char c) {
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// A code 0 to 31 or 127: a line break or escape inside a value that is
// written into a line of its own would end or forge that line.
constexpr bool IsControlChar(unsigned char c) {
    return c < 32 || c == 127;
}
bool HasControlCharacter(std::string_view s);

std::string_view Trim(std::string_view s);
std::string_view TrimLeft(std::string_view s);
std::string_view TrimRight(std::string_view s);
inline bool IsBlankLine(std::string_view s) {
    return Trim(s).empty();
}

// Case folding of the ASCII letters only; other bytes stay as they are.
constexpr char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 32) : c;
}
constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringAsciiCase(std::string_view s, std::string_view prefix);
std::string AsciiUpperCase(std::string_view s);
std::string AsciiLowerCase(std::string_view s);

// Position (from 1) of the first occurrence of `find` at or after `start`, 0 if none.
int32_t PosFrom(int32_t start, std::string_view find, std::string_view text);
// Non-overlapping occurrences of `find` from `start`.
int32_t CountOccurrences(int32_t start, std::string_view find, std::string_view text);

// Trims and reduces every run of blanks to one blank; tabs inside stay.
std::string NormaliseLine(std::string_view line);

}  // namespace quorvex
