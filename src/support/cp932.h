// Conversion between UTF-8 and code page 932, for the edges of the program
// only: the window and the command line speak UTF-8, everything inside keeps
// code page 932 bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvex {

// Encodes UTF-8 text as code page 932 bytes. Nothing if the text is not valid
// UTF-8 or holds a character code page 932 does not have. The forms input
// methods outside Windows produce for 〜 − — ‖ ¢ £ ¬ (U+301C U+2212 U+2014
// U+2016 U+00A2 U+00A3 U+00AC) are taken for the code page's own characters.
// A character with several codes gets the one Windows writes. On failure
// `failedAt`, when given, receives the offset of the first character that
// could not be encoded.
std::optional<std::string> Utf8ToCp932(std::string_view utf8, size_t* failedAt = nullptr);

// Decodes code page 932 bytes for display; never fails. Each byte that starts
// no character, and each lead byte whose pair is no character, becomes one
// U+FFFD. The byte after such a lead byte goes with it unless it is ASCII,
// which is decoded on its own, so a delimiter or separator is never lost.
// 0x80, 0xA0 and 0xFD-0xFF, which Windows maps to private or control codes,
// count as no character.
std::string Cp932ToUtf8(std::string_view cp932);

bool IsCp932Encodable(std::string_view utf8);

// The offset of the first byte of `bytes` that is not part of a well-formed
// code page 932 character, nothing when all are: a byte 0x00-0x7F or
// 0xA1-0xDF alone, or a lead byte 0x81-0x9F or 0xE0-0xFC followed by a trail
// byte 0x40-0x7E or 0x80-0xFC. Only the form is checked, so user-defined
// characters (F040-F9FC) and unassigned codes pass.
std::optional<size_t> FirstNonCp932Byte(std::string_view bytes);

// Appends `c` as UTF-8. Only code points up to U+FFFF: all that code page 932
// and the other tables of the program decode to.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace quorvex
