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
// for one. Double-byte characters of code page 932 are stepped over whole; a
// lead byte before a byte that is no trail byte (a quote, a blank, the
// separator when it is below 0x40) is a character of its own.
// Empty for n < 1 or beyond the last field. Never fails.
std::string GetField(std::string_view line, int32_t n, std::string_view separator);

// As GetField, except that the separator itself never counts as a blank: with
// a tab separator each tab ends exactly one field, so "\tfoo" has the empty
// field 1 and the field 2 "foo". Used for MID rows, whose delimiter the MIF
// header declares.
std::string GetDelimitedField(std::string_view line, int32_t n, char separator);
// The same, with DelimitedFieldEnd(line, n, separator, true) in `end`, in one
// walk over the row.
std::string GetDelimitedField(std::string_view line, int32_t n, char separator, size_t& end);

// As GetDelimitedField for UTF-8 text, where no byte is a lead byte and a
// separator never hides inside a character.
std::string GetDelimitedUtf8Field(std::string_view line, int32_t n, char separator);

// Where the delimited fields of a row lie, cut as GetDelimitedField cuts them
// (`doubleByte`) or as GetDelimitedUtf8Field does. DelimitedFieldEnd: the
// offset just after field `n` (after its closing quote), the row's length
// when the row has fewer fields, 0 for n < 1. DelimitedFieldAt: the number
// of the field that holds byte `offset`; a byte between two fields counts to
// the second.
size_t DelimitedFieldEnd(std::string_view line, int32_t n, char separator, bool doubleByte);
int32_t DelimitedFieldAt(std::string_view line, size_t offset, char separator, bool doubleByte);

// Whether a delimited row that continues with `text` ends inside a quoted
// field, `insideQuotes` telling whether it was inside one before `text`. A
// quote opens a field only at its start, and "" inside one is a quote, as
// the splitter reads them. With `doubleByte` a code page 932 character of two
// bytes is stepped over whole, as the splitter does, only when it is
// well-formed: a lead byte never takes a quote or a line's end along, so a
// UTF-8 row in a table labelled code page 932 still ends at its line.
bool EndsInsideQuotes(std::string_view text, char separator, bool doubleByte, bool insideQuotes);

// Bytes walked by the splitter (the fields cut, not EndsInsideQuotes) since
// the program started, on every thread, so tests can check that cutting rows
// stays linear in their length.
uint64_t FieldBytesWalked();

}  // namespace quorvex
