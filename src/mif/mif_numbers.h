// Number grammar of MIF text. Counts are 32-bit integers (decimal, or
// hexadecimal after "$", "x", "X", "0x", "0X"); coordinates are decimal
// floating-point numbers with a full stop, correctly rounded to double.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quorvex {

// Optional leading blanks, optional sign, digits; nothing may follow.
std::optional<int32_t> TryParseMifInteger(std::string_view text);
// Optional blanks, sign, digits with at most one ".", optional exponent,
// optional blanks; nothing else.
std::optional<double> TryParseMifFloat(std::string_view text);

// The common case, fast: an optional sign, digits with at most one ".", at
// most 15 significant digits and no exponent, starting at `p`. Returns the end
// of the number with its value in `value`, or nullptr when the text is not of
// that kind (it may still be a number: TryParseMifFloat decides).
const char* ParseShortDecimal(const char* p, const char* end, double& value);
// The same where at least 20 bytes from `p` may be read and the byte at `end`
// is none of a number's (a line end), so no padded copy is needed.
const char* ParseShortDecimalReadAhead(const char* p, const char* end, double& value);
// The same a character at a time; ParseShortDecimal must agree with it.
const char* ParseShortDecimalScalar(const char* p, const char* end, double& value);

}  // namespace quorvex
