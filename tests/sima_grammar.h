// The grammar of the SIMA files the converter writes, checked line by line:
// the banners and the G00 header, a coordinate section numbered 1, 2, 3 with
// numbers in the writers' 15-digit form, then the parcel and the route blocks
// with running numbers and vertices that name existing points. Shared by the
// tests and the fuzz targets, so it needs nothing but the standard library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex::test {

// What is wrong with a file, most specific first: faults that open points of
// the converter can cause are told apart, so a fuzz target may let them pass
// until they are mended.
enum class TSimaFault {
    None,
    // A line break or other control character inside the site name of the
    // G00 line (a site name can forge lines this way).
    ControlInSiteName,
    // A line break inside the attribute value of a D00 or F00 line.
    LineBreakInValue,
    // A coordinate whose text is beyond the largest double: no reader can
    // parse it back.
    NumberOverflow,
    // Anything else: a line out of place, a wrong field, a bad number.
    Layout,
};

struct TSimaCheck {
    TSimaFault Fault = TSimaFault::None;
    std::string Why;  // the fault and its line, for a test's message
    // What the file holds, read as far as the fault.
    std::string Genba;
    int64_t Points = 0;
    std::vector<std::string> ParcelValues;  // the attribute value of each parcel, in order
    std::vector<std::string> RouteValues;
    int64_t Vertices = 0;  // B01 lines of both kinds

    bool Ok() const { return Fault == TSimaFault::None; }
};

// Checks the bytes of a whole SIMA file.
TSimaCheck CheckSimaFile(std::string_view bytes);

// Whether `text` is a coordinate as the writers print it: "0", or at most 15
// significant digits without trailing zeros, in fixed-point form for decimal
// exponents from -3 to 15 and scientific form ("1.5E-7", "1E15") beyond.
// `overflow` is set when the text is well formed but beyond the largest double.
bool IsSimaNumber(std::string_view text, bool* overflow = nullptr);

}  // namespace quorvex::test
