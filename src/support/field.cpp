#include "support/field.h"

#include <atomic>
#include <cstring>

#include "support/text.h"

namespace quorvex {
namespace {

std::atomic<uint64_t> gBytesWalked{0};

// Where a walk over the fields of a line stopped.
struct TWalk {
    int32_t Index = 0;  // number of the last field walked; 0 before the first
    size_t End = 0;     // offset just after it
};

// Walks the fields of one line up to field n, or up to the field that holds
// byte `until` (a byte between two fields counts to the second), whichever
// comes first; field n is gathered into `field` when given. `sepIsBlank`
// says whether the separator, when it is a code from 1 to 32, also counts as
// a blank; `doubleByte` whether code page 932 lead bytes take the next byte
// along.
TWalk Walk(std::string_view s, int32_t n, size_t until, char sep, bool sepIsBlank, bool doubleByte,
           std::string* field) {
    TWalk w;
    if (n < 1) return w;
    const size_t len = s.size();
    auto isBlank = [&](size_t i) {
        const auto c = static_cast<unsigned char>(s[i]);
        return c >= 1 && c <= 32 && (sepIsBlank || s[i] != sep);
    };
    // Width of the character at i: a lead byte takes its trail byte along.
    // A byte that can be no trail byte (a quote, a blank, a comma, the end)
    // stands on its own: otherwise a lone lead byte at the end of a value
    // would swallow the closing quote or the separator after it.
    auto charLen = [&](size_t i) {
        const bool pair = doubleByte && i + 1 < len &&
                          IsCp932LeadByte(static_cast<unsigned char>(s[i])) &&
                          IsCp932TrailByte(static_cast<unsigned char>(s[i + 1]));
        return pair ? 2 : 1;
    };
    auto skipBlanks = [&](size_t i) {
        while (i < len && isBlank(i))
            ++i;
        return i;
    };
    auto stop = [&](int32_t index, size_t end) {
        gBytesWalked.fetch_add(end, std::memory_order_relaxed);
        return TWalk{index, end};
    };

    int32_t index = 0;
    size_t i = skipBlanks(0);
    while (i < len) {
        // Only the field asked for is gathered; the others are stepped over.
        const bool wanted = field && index + 1 == n;
        if (s[i] == '"') {
            size_t run = ++i;  // start of the text since the last doubled quote
            while (i < len) {
                if (s[i] == '"') {
                    if (wanted) field->append(s.substr(run, i - run));
                    if (i + 1 < len && s[i + 1] == '"') {
                        if (wanted) field->push_back('"');
                        i += 2;
                        run = i;
                        continue;
                    }
                    run = ++i;  // closing quote
                    break;
                }
                i += charLen(i);
            }
            if (i >= len && wanted && run < len) field->append(s.substr(run));
        } else {
            const size_t begin = i;
            while (i < len && s[i] != sep && !isBlank(i))
                i += charLen(i);
            if (wanted) field->assign(s.substr(begin, i - begin));
        }
        if (++index == n || i > until) return stop(index, i);
        i = skipBlanks(i);
        if (i < len && s[i] == sep) {
            // A separator at the very end adds a final empty field: field n is
            // then empty whether it is that one or lies beyond it.
            if (i + 1 == len) {
                if (field) field->clear();
                return stop(index + 1, len);
            }
            i = skipBlanks(i + 1);
        }
    }
    if (field) field->clear();
    return stop(index + 1, len);
}

std::string FieldOf(std::string_view s, int32_t n, char sep, bool sepIsBlank, bool doubleByte) {
    std::string field;
    Walk(s, n, std::string_view::npos, sep, sepIsBlank, doubleByte, &field);
    return field;
}

}  // namespace

std::string GetField(std::string_view line, int32_t n, std::string_view separator) {
    return FieldOf(line, n, separator.empty() ? '\0' : separator[0], true, true);
}

std::string GetDelimitedField(std::string_view line, int32_t n, char separator) {
    return FieldOf(line, n, separator, false, true);
}

std::string GetDelimitedField(std::string_view line, int32_t n, char separator, size_t& end) {
    std::string field;
    end = Walk(line, n, std::string_view::npos, separator, false, true, &field).End;
    return field;
}

std::string GetDelimitedUtf8Field(std::string_view line, int32_t n, char separator) {
    return FieldOf(line, n, separator, false, false);
}

size_t DelimitedFieldEnd(std::string_view line, int32_t n, char separator, bool doubleByte) {
    if (n < 1) return 0;
    return Walk(line, n, std::string_view::npos, separator, false, doubleByte, nullptr).End;
}

int32_t DelimitedFieldAt(std::string_view line, size_t offset, char separator, bool doubleByte) {
    return Walk(line, INT32_MAX, offset, separator, false, doubleByte, nullptr).Index;
}

bool EndsInsideQuotes(std::string_view text, char separator, bool doubleByte, bool insideQuotes) {
    enum { Between, Unquoted, Quoted } state = insideQuotes ? Quoted : Between;
    const size_t len = text.size();
    for (size_t i = 0; i < len; ++i) {
        if (state == Quoted) {
            // A quote is neither half of a double-byte character, so the
            // next one closes or doubles, whatever lies before it.
            const void* q = std::memchr(text.data() + i, '"', len - i);
            if (!q) return true;
            i = static_cast<size_t>(static_cast<const char*>(q) - text.data());
            if (i + 1 < len && text[i + 1] == '"') {
                ++i;
            } else {
                state = Between;
            }
            continue;
        }
        const char c = text[i];
        const auto u = static_cast<unsigned char>(c);
        if (doubleByte && IsCp932LeadByte(u) && i + 1 < len &&
            IsCp932TrailByte(static_cast<unsigned char>(text[i + 1]))) {
            // One character, whose second byte may look like a separator.
            if (state == Between) state = Unquoted;
            ++i;
            continue;
        }
        const bool ends = c == separator || (u >= 1 && u <= 32);
        switch (state) {
            case Quoted:
                break;
            case Unquoted:
                if (ends) state = Between;
                break;
            case Between:
                if (c == '"') {
                    state = Quoted;
                } else if (!ends) {
                    state = Unquoted;
                }
                break;
        }
    }
    return state == Quoted;
}

uint64_t FieldBytesWalked() {
    return gBytesWalked.load(std::memory_order_relaxed);
}

}  // namespace quorvex
