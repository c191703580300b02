#include "support/field.h"

#include "support/text.h"

namespace quorvex {
namespace {

// Walks the fields of one line and returns field n. `sepIsBlank` says whether
// the separator, when it is a code from 1 to 32, also counts as a blank;
// `doubleByte` whether code page 932 lead bytes take the next byte along.
std::string FieldOf(std::string_view s, int32_t n, char sep, bool sepIsBlank, bool doubleByte) {
    if (n < 1) return {};
    const size_t len = s.size();
    auto isBlank = [&](size_t i) {
        const auto c = static_cast<unsigned char>(s[i]);
        return c >= 1 && c <= 32 && (sepIsBlank || s[i] != sep);
    };
    // Width of the character at i: a lead byte takes its trail byte along.
    auto charLen = [&](size_t i) {
        const bool lead = doubleByte && IsCp932LeadByte(static_cast<unsigned char>(s[i]));
        return (lead && i + 1 < len) ? 2 : 1;
    };
    auto skipBlanks = [&](size_t i) {
        while (i < len && isBlank(i))
            ++i;
        return i;
    };

    int32_t index = 0;
    size_t i = skipBlanks(0);
    std::string field;
    while (i < len) {
        // Only the field asked for is gathered; the others are stepped over.
        const bool wanted = index + 1 == n;
        if (s[i] == '"') {
            size_t run = ++i;  // start of the text since the last doubled quote
            while (i < len) {
                if (s[i] == '"') {
                    if (wanted) field.append(s.substr(run, i - run));
                    if (i + 1 < len && s[i + 1] == '"') {
                        if (wanted) field.push_back('"');
                        i += 2;
                        run = i;
                        continue;
                    }
                    run = ++i;  // closing quote
                    break;
                }
                i += charLen(i);
            }
            if (i >= len && wanted && run < len) field.append(s.substr(run));
        } else {
            const size_t begin = i;
            while (i < len && s[i] != sep && !isBlank(i))
                i += charLen(i);
            if (wanted) field.assign(s.substr(begin, i - begin));
        }
        if (++index == n) return field;
        i = skipBlanks(i);
        if (i < len && s[i] == sep) {
            // A separator at the very end adds a final empty field: field n is
            // then empty whether it is that one or lies beyond it.
            if (i + 1 == len) return {};
            i = skipBlanks(i + 1);
        }
    }
    return {};
}

}  // namespace

std::string GetField(std::string_view line, int32_t n, std::string_view separator) {
    return FieldOf(line, n, separator.empty() ? '\0' : separator[0], true, true);
}

std::string GetDelimitedField(std::string_view line, int32_t n, char separator) {
    return FieldOf(line, n, separator, false, true);
}

std::string GetDelimitedUtf8Field(std::string_view line, int32_t n, char separator) {
    return FieldOf(line, n, separator, false, false);
}

}  // namespace quorvex
