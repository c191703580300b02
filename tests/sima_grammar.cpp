#include "sima_grammar.h"

#include <algorithm>
#include <array>

namespace quorvex::test {
namespace {

// The banner lines in code page 932 (座標データ, 画地データ, 路線データ),
// spelt out here rather than taken from the writers.
constexpr std::string_view kBanners[] = {
    "Z00,{--------------SIMA-FORMAT DATA--------------},",
    "Z00,{--------------Quorvex Converter-------------},",
    "Z00,{-----------------\x8D\xC0\x95\x57\x83\x66\x81\x5B\x83\x5E-----------------},",
    "Z00,{-----------------\x89\xE6\x92\x6E\x83\x66\x81\x5B\x83\x5E-----------------},",
    "Z00,{-----------------\x98\x48\x90\xFC\x83\x66\x81\x5B\x83\x5E-----------------},",
};
constexpr size_t kFormat = 0, kProgram = 1, kPoints = 2, kParcels = 3, kRoutes = 4;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool HasControl(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 32 || b == 127;
    });
}

// `text` in double quotes, for a fault's description.
std::string Quoted(std::string_view text) {
    std::string s = "\"";
    s += text;
    s += '"';
    return s;
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// A number from 1 to INT32_MAX without sign or leading zeros; 0 otherwise.
int64_t Positive(std::string_view s) {
    if (s.empty() || s.size() > 10 || s[0] == '0') return 0;
    int64_t v = 0;
    for (const char c : s) {
        if (!IsDigit(c)) return 0;
        v = v * 10 + (c - '0');
    }
    return v <= INT32_MAX ? v : 0;
}

// Cuts the next comma-terminated field off `rest`; false when no comma is left.
bool NextField(std::string_view& rest, std::string_view& field) {
    const size_t comma = rest.find(',');
    if (comma == std::string_view::npos) return false;
    field = rest.substr(0, comma);
    rest.remove_prefix(comma + 1);
    return true;
}

class TChecker {
  public:
    explicit TChecker(std::string_view bytes) : bytes_(bytes) {}

    TSimaCheck Run() {
        if (bytes_.empty()) return Fail("the file is empty");
        if (bytes_.size() < 2 || bytes_.substr(bytes_.size() - 2) != "\r\n")
            return Fail("the last line does not end in CR LF");
        std::string_view line;
        for (const size_t b : {kFormat, kProgram})
            if (!Next(line) || line != kBanners[b]) return Fail("banner line expected");
        if (!Next(line) || line != "Z00,") return Fail("\"Z00,\" expected");
        if (!Next(line)) return Fail("G00 line expected");
        if (!Header(line)) return r_;
        if (!Next(line) || line != kBanners[kPoints]) return Fail("points banner expected");
        if (!Next(line) || line != "A00,") return Fail("\"A00,\" expected");
        while (Next(line) && line != "A99,")
            if (!PointLine(line)) return r_;
        if (line != "A99,") return Fail("\"A99,\" expected");
        if (!Next(line) || line != kBanners[kParcels]) return Fail("parcels banner expected");
        bool more = Next(line);
        while (more && line != kBanners[kRoutes])
            if (!Block(line, "D00,", "D99,", r_.ParcelValues, more)) return r_;
        if (!more) return Fail("routes banner expected");
        more = Next(line);
        while (more)
            if (!Block(line, "F00,", "F99,", r_.RouteValues, more)) return r_;
        if (const auto unused = std::find(used_.begin(), used_.end(), false); unused != used_.end())
            return Fail("point " + std::to_string(unused - used_.begin() + 1) +
                        " belongs to no block");
        return r_;
    }

  private:
    // The next line without its CR LF; a CR or LF left inside it is judged by
    // the line's kind.
    bool Next(std::string_view& line) {
        if (pos_ >= bytes_.size()) return false;
        const size_t end = bytes_.find("\r\n", pos_);
        line = bytes_.substr(pos_, end - pos_);
        pos_ = end + 2;
        ++lineNo_;
        return true;
    }

    TSimaCheck Fail(const std::string& why, TSimaFault fault = TSimaFault::Layout) {
        r_.Fault = fault;
        r_.Why = "line " + std::to_string(lineNo_) + ": " + why;
        return r_;
    }
    bool Refuse(const std::string& why, TSimaFault fault = TSimaFault::Layout) {
        Fail(why, fault);
        return false;
    }

    bool Header(std::string_view line) {
        constexpr std::string_view kHead = "G00,02,";
        if (line.substr(0, kHead.size()) != kHead || line.size() < kHead.size() + 1 ||
            line.back() != ',')
            return Refuse("\"G00,02,\" site name \",\" expected");
        r_.Genba = std::string(line.substr(kHead.size(), line.size() - kHead.size() - 1));
        if (HasControl(r_.Genba))
            return Refuse("control character in the site name", TSimaFault::ControlInSiteName);
        return true;
    }

    // "A01," number "," name "," first "," second ",0," with name = number.
    bool PointLine(std::string_view line) {
        if (HasLineBreak(line)) return Refuse("line break inside a point line");
        std::string_view rest = line, f[5];
        if (rest.substr(0, 4) != "A01,") return Refuse("\"A01,\" or \"A99,\" expected");
        rest.remove_prefix(4);
        for (auto& field : f)
            if (!NextField(rest, field)) return Refuse("point line with too few fields");
        if (!rest.empty()) return Refuse("point line with too many fields");
        if (Positive(f[0]) != r_.Points + 1)
            return Refuse("point number " + std::to_string(r_.Points + 1) + " expected");
        if (f[1] != f[0]) return Refuse("point name differs from its number");
        for (int i = 2; i < 4; ++i) {
            bool overflow = false;
            if (!IsSimaNumber(f[i], &overflow))
                return Refuse("coordinate " + Quoted(f[i]) + " is no SIMA number",
                              overflow ? TSimaFault::NumberOverflow : TSimaFault::Layout);
        }
        if (f[4] != "0") return Refuse("height other than 0");
        ++r_.Points;
        used_.push_back(false);
        return true;
    }

    // head number "," value ",1," then "B01," n "," n "," lines, then tail; the
    // value may hold commas, never a line break. `more` tells whether `line`
    // holds the line after the block.
    bool Block(std::string_view& line, std::string_view head, std::string_view tail,
               std::vector<std::string>& values, bool& more) {
        if (line.substr(0, 4) != head)
            return Refuse(Quoted(head) + " or the next section expected");
        std::string_view rest = line.substr(4), number;
        if (!NextField(rest, number) || Positive(number) != int64_t(values.size()) + 1)
            return Refuse("block number " + std::to_string(values.size() + 1) + " expected");
        if (rest.size() < 3 || rest.substr(rest.size() - 3) != ",1,")
            return Refuse("block head does not end in \",1,\"");
        const std::string_view value = rest.substr(0, rest.size() - 3);
        if (HasLineBreak(value))
            return Refuse("line break inside an attribute value", TSimaFault::LineBreakInValue);
        values.emplace_back(value);
        for (;;) {
            if (!Next(line)) return Refuse(Quoted(tail) + " expected");
            if (line == tail) break;
            rest = line;
            std::string_view n, name;
            if (rest.substr(0, 4) != "B01,")
                return Refuse("\"B01,\" or " + Quoted(tail) + " expected");
            rest.remove_prefix(4);
            if (!NextField(rest, n) || !NextField(rest, name) || !rest.empty())
                return Refuse("vertex line needs two fields");
            const int64_t p = Positive(n);
            if (p == 0 || p > r_.Points || name != n)
                return Refuse("vertex names no point of the coordinate section");
            used_[static_cast<size_t>(p - 1)] = true;
            ++r_.Vertices;
        }
        more = Next(line);
        return true;
    }

    std::string_view bytes_;
    size_t pos_ = 0;
    int64_t lineNo_ = 0;
    std::vector<bool> used_;  // of each point: a vertex names it
    TSimaCheck r_;
};

}  // namespace

TSimaCheck CheckSimaFile(std::string_view bytes) {
    return TChecker(bytes).Run();
}

bool IsSimaNumber(std::string_view s, bool* overflow) {
    if (overflow) *overflow = false;
    if (s == "0") return true;
    if (!s.empty() && s[0] == '-') s.remove_prefix(1);
    if (s.empty() || !IsDigit(s[0])) return false;
    const size_t e = s.find('E');
    const std::string_view mantissa = s.substr(0, e);
    const size_t dot = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : mantissa.substr(dot + 1);
    if (!std::all_of(whole.begin(), whole.end(), IsDigit) ||
        !std::all_of(fraction.begin(), fraction.end(), IsDigit))
        return false;
    // No decimal point without a fraction, no trailing zero after one.
    if (dot != std::string_view::npos && (fraction.empty() || fraction.back() == '0')) return false;
    if (e == std::string_view::npos) {
        if (whole == "0") {
            // 0.000ddd at most: a decimal exponent down to -3.
            const size_t zeros = fraction.find_first_not_of('0');
            return !fraction.empty() && zeros <= 3 && fraction.size() - zeros <= 15;
        }
        return whole[0] != '0' && whole.size() + fraction.size() <= 15;
    }
    // Scientific form: one leading digit, then the exponent E - 1, which is 15
    // or more or -5 or less (the fixed-point form covers what lies between).
    if (whole.size() != 1 || whole[0] == '0' || fraction.size() > 14) return false;
    std::string_view exponent = s.substr(e + 1);
    const bool negative = !exponent.empty() && exponent[0] == '-';
    if (negative) exponent.remove_prefix(1);
    if (exponent.empty() || exponent.size() > 3 || exponent[0] == '0' ||
        !std::all_of(exponent.begin(), exponent.end(), IsDigit))
        return false;
    int k = 0;
    for (const char c : exponent)
        k = k * 10 + (c - '0');
    if (negative) {
        // The smallest double, 4.9E-324, has the lowest exponent.
        return k >= 5 && k <= 324;
    }
    if (k < 15) return false;
    // Fifteen digits of the largest double, 1.79769313486231570815E308, cut
    // down: a text above that reads back as infinity.
    std::string digits = std::string(whole) + std::string(fraction);
    digits.resize(15, '0');
    if (k > 308 || (k == 308 && digits > "179769313486231")) {
        if (overflow) *overflow = true;
        return false;
    }
    return true;
}

}  // namespace quorvex::test
