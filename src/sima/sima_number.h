// Coordinates in the SIMA file: the general decimal form with 15 significant
// digits. The value is first taken to 18 significant digits and then rounded
// half up to 15, so a value that prints as ...4999 at 17 digits may still
// round up; this double rounding is what the format has always produced.
#pragma once

#include <cstddef>

namespace quorvex {

// Longest text FormatSimaNumber writes, and the room it needs: bytes past
// the text, within this many, may be written too.
inline constexpr size_t kSimaNumberMax = 32;

// The largest magnitude whose text parses back to a finite number: the next
// doubles up to DBL_MAX round to 1.79769313486232E308, beyond the range.
inline constexpr double kLargestSimaNumber = 0x1.ffffffffffffbp+1023;

// Writes `value` at `out` and returns the number of bytes written.
size_t FormatSimaNumber(double value, char* out);
// The same through the library's 18-digit conversion alone, without the
// shortcuts FormatSimaNumber takes for common values; they must agree.
size_t FormatSimaNumberGeneral(double value, char* out);

}  // namespace quorvex
