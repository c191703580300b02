#include "ui/logic/path_elide.h"

#include <cstddef>
#include <vector>

namespace quorvex {
namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// Where each character of the UTF-8 text starts, and its end. A byte that
// continues a character never starts one, so a cut there cannot split it;
// stray bytes of text that is not UTF-8 count as characters of their own.
std::vector<size_t> CharacterStarts(std::string_view text) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); ++i)
        if (i == 0 || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
    starts.push_back(text.size());
    return starts;
}

// The name with `kept` characters of its stem: the first half from its
// start, the rest from its end, "…" between them.
std::string StemElided(std::string_view stem, const std::vector<size_t>& starts, size_t kept,
                       std::string_view ext) {
    const size_t count = starts.size() - 1;
    const size_t head = (kept + 1) / 2, tail = kept - head;
    std::string out(stem.substr(0, starts[head]));
    out += kEllipsis;
    out += stem.substr(starts[count - tail]);
    out += ext;
    return out;
}

}  // namespace

std::string ElidePath(std::string_view path, int width, const TTextWidth& measure) {
    auto fits = [&](std::string_view text) { return measure(text) <= width; };
    if (fits(path)) return std::string(path);

    // The longest tail of whole folders that fits, the name at its end.
    size_t nameStart = 0;
    for (size_t i = 0; i < path.size(); ++i)
        if (IsSeparator(path[i])) nameStart = i + 1;
    for (size_t i = 1; i < path.size(); ++i) {
        if (!IsSeparator(path[i])) continue;
        std::string candidate(kEllipsis);
        candidate += path.substr(i);
        if (fits(candidate)) return candidate;
    }

    // Too narrow for "…" before the name: the name alone, whole if it fits,
    // else its stem loses its middle. A leading dot (".profile") starts the
    // stem, not an extension.
    const std::string_view name = path.substr(nameStart);
    if (nameStart > 0 && !name.empty() && fits(name)) return std::string(name);
    const size_t dot = name.rfind('.');
    const size_t stemEnd = dot == std::string_view::npos || dot == 0 ? name.size() : dot;
    const std::string_view stem = name.substr(0, stemEnd), ext = name.substr(stemEnd);
    const std::vector<size_t> starts = CharacterStarts(stem);
    const size_t count = starts.size() - 1;
    // More characters never draw narrower: the most that fit, found by
    // halving, keeps the measuring short for long names.
    // With none fitting, the shortest form stays and the cell clips it.
    size_t lo = 0, hi = count;  // lo characters fit, unless none do; hi never do
    while (hi - lo > 1) {
        const size_t mid = lo + (hi - lo) / 2;
        if (fits(StemElided(stem, starts, mid, ext)))
            lo = mid;
        else
            hi = mid;
    }
    return StemElided(stem, starts, lo, ext);
}

}  // namespace quorvex
