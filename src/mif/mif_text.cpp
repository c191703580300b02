#include "mif/mif_text.h"

#include "mif/mif_numbers.h"
#include "support/errors.h"
#include "support/text.h"

namespace quorvex::mif_text {

void Fail(const TLineReader& mif, TMsg id, const std::string& detail) {
    throw ConversionError(TMessage(id, {mif.Path(), std::to_string(mif.LineNumber()), detail}));
}

void FailCutShort(const TLineReader& mif) {
    Fail(mif, TMsg::CutShort);
}

std::string_view NextNonBlank(TLineReader& mif) {
    for (;;) {
        const std::string_view t = Trim(NextLine(mif));
        if (!t.empty()) return t;
    }
}

void JoinNext(TLineReader& mif, std::string& held) {
    const std::string_view next = NextLine(mif);
    // The tail after the first blank is always trimmed, so a blank line adds
    // nothing but that blank; not appending it again keeps a run of blank
    // lines from growing the held text without end.
    if (IsBlankLine(next)) {
        if (held.empty() || held.back() != ' ') held.push_back(' ');
        return;
    }
    held.push_back(' ');
    held.append(next);
}

namespace {

// The part of a long line a message can show: the message cuts it to 80
// bytes itself, so more need not be kept.
std::string Quotable(std::string_view text) {
    return std::string(text.substr(0, 1024));
}

}  // namespace

double Number(const TLineReader& mif, std::string_view text) {
    if (const auto v = TryParseMifFloat(text)) return *v;
    Fail(mif, TMsg::NotAFloat, Quotable(text));
}

int32_t Count(const TLineReader& mif, std::string_view text) {
    if (const auto v = TryParseMifInteger(text)) return *v;
    Fail(mif, TMsg::NotAnInteger, Quotable(text));
}

int32_t NonNegativeCount(const TLineReader& mif, std::string_view text) {
    const int32_t n = Count(mif, text);
    if (n < 0) Fail(mif, TMsg::NegativeCount, std::to_string(n));
    return n;
}

bool TryShortVertex(std::string_view line, TSFPoint& v, bool readAhead) {
    const char* p = line.data();
    const char* const end = p + line.size();
    auto parse = readAhead ? ParseShortDecimalReadAhead : ParseShortDecimal;
    while (p < end && static_cast<unsigned char>(*p) <= 32)
        ++p;
    if (!(p = parse(p, end, v.X)) || p == end || (*p != ' ' && *p != '\t')) return false;
    while (p < end && static_cast<unsigned char>(*p) <= 32)
        ++p;
    if (!(p = parse(p, end, v.Y))) return false;
    while (p < end && static_cast<unsigned char>(*p) <= 32)
        ++p;
    return p == end;
}

TSFPoint Vertex(const TLineReader& mif, std::string_view line) {
    const std::string_view t = Trim(line);
    const size_t sep = t.find_first_of(" \t");
    const std::string_view head = sep == std::string_view::npos ? t : t.substr(0, sep);
    const std::string_view tail =
        sep == std::string_view::npos ? std::string_view() : Trim(t.substr(sep + 1));
    return {Number(mif, head), Number(mif, tail)};
}

}  // namespace quorvex::mif_text
