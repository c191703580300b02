#include "support/text.h"

#include <algorithm>

namespace quorvex {

std::string_view TrimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsTrimChar(static_cast<unsigned char>(s[i])))
        ++i;
    return s.substr(i);
}

std::string_view TrimRight(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && IsTrimChar(static_cast<unsigned char>(s[n - 1])))
        --n;
    return s.substr(0, n);
}

std::string_view Trim(std::string_view s) {
    return TrimRight(TrimLeft(s));
}

// Code page 932 trail bytes start at 0x40, so no byte of a double-byte
// character is taken for a control character.
bool HasControlCharacter(std::string_view s) {
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return IsControlChar(static_cast<unsigned char>(c)); });
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

bool StartsWithIgnoringAsciiCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && EqualsIgnoringAsciiCase(s.substr(0, prefix.size()), prefix);
}

std::string AsciiUpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = AsciiUpper(c);
    return r;
}

std::string AsciiLowerCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = AsciiLower(c);
    return r;
}

int32_t PosFrom(int32_t start, std::string_view find, std::string_view text) {
    if (start > static_cast<int64_t>(text.size())) return 0;
    if (start < 1) start = 1;
    if (find.empty()) return 0;
    const size_t p = text.find(find, static_cast<size_t>(start - 1));
    return p == std::string_view::npos ? 0 : static_cast<int32_t>(p + 1);
}

int32_t CountOccurrences(int32_t start, std::string_view find, std::string_view text) {
    if (start > static_cast<int64_t>(text.size())) return 0;
    if (start < 1) start = 1;
    int32_t count = 0;
    while (start <= static_cast<int64_t>(text.size())) {
        const int32_t p = PosFrom(start, find, text);
        if (p == 0) break;
        ++count;
        start = p + static_cast<int32_t>(find.size());
    }
    return count;
}

std::string NormaliseLine(std::string_view line) {
    const std::string_view t = Trim(line);
    // Repeatedly replacing two blanks by one ends in the same text as keeping
    // the first blank of every run.
    std::string r;
    r.reserve(t.size());
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == ' ' && !r.empty() && r.back() == ' ') continue;
        r.push_back(t[i]);
    }
    return r;
}

}  // namespace quorvex
