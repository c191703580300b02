// Steps shared by the MIF readers: reading continuation lines, converting
// numbers and counts, and failing with the file name and line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "mif/UniSFMapUtil.h"
#include "support/line_reader.h"
#include "support/messages.h"

namespace quorvex::mif_text {

// ConversionError `id` at the current line of `mif`: {1} the file, {2} the
// line number, {3} `detail`.
[[noreturn]] void Fail(const TLineReader& mif, TMsg id, const std::string& detail = {});
// The same with a text of its own (TMsg::AtLine).
[[noreturn]] inline void Fail(const TLineReader& mif, const std::string& what) {
    Fail(mif, TMsg::AtLine, what);
}

// Next line as read; ConversionError at the end of the file, which here
// always means an object cut short.
[[noreturn]] void FailCutShort(const TLineReader& mif);
inline std::string_view NextLine(TLineReader& mif) {
    std::string_view line;
    if (!mif.ReadLine(line)) FailCutShort(mif);
    return line;
}
// Next line that is not blank, trimmed.
std::string_view NextNonBlank(TLineReader& mif);
// Appends a blank and the next line to `held`.
void JoinNext(TLineReader& mif, std::string& held);

double Number(const TLineReader& mif, std::string_view text);
int32_t Count(const TLineReader& mif, std::string_view text);
// A count that must not be negative (it sizes what follows).
int32_t NonNegativeCount(const TLineReader& mif, std::string_view text);

// A vertex line: trimmed, then split at its first blank or tab.
TSFPoint Vertex(const TLineReader& mif, std::string_view line);
// The usual vertex line, two short decimals, read in one go; false for any
// other line, which Vertex then reads (or rejects) by the general rules.
// `readAhead`: the line lies in its reader's buffer (TLineReader::InBuffer).
bool TryShortVertex(std::string_view line, TSFPoint& v, bool readAhead = false);

}  // namespace quorvex::mif_text
