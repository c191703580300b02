// The one splitter of quoted, delimited text: MIF keywords and numbers (blank),
// MID attribute values (the table's delimiter) and batch-list job lines (tab).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex {

// Field `n` (from 1) of `line`, cut at `separator` (only its first character
// counts). Blanks (codes 1 to 32) around fields are dropped and also end an
// unquoted field; double quotes enclose a field, a doubled quote inside stands
// for one. Double-byte characters of code page 932 are stepped over whole.
// Empty for n < 1 or beyond the last field. Never fails.
std::string GetField(std::string_view line, int32_t n, std::string_view separator);

// As GetField, except that the separator itself never counts as a blank: with
// a tab separator each tab ends exactly one field, so "\tfoo" has the empty
// field 1 and the field 2 "foo". Used for MID rows, whose delimiter the MIF
// header declares.
std::string GetDelimitedField(std::string_view line, int32_t n, char separator);

// As GetDelimitedField for UTF-8 text, where no byte is a lead byte and a
// separator never hides inside a character.
std::string GetDelimitedUtf8Field(std::string_view line, int32_t n, char separator);

}  // namespace quorvex
