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

}  // namespace quorvex
