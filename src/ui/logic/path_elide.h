// A path shortened to a cell's width without losing what tells two rows
// apart: the file's name. Each face measures with its own font.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quorvex {

// The width of a UTF-8 text as drawn, in the unit of the width asked for.
using TTextWidth = std::function<int(std::string_view utf8)>;

inline constexpr std::string_view kEllipsis = "\xE2\x80\xA6";  // "…"

// The path as it fits `width`: whole when it fits; else as many of its last
// folders as fit after "…" ("…\out\a.sim", either separator, as written);
// else the name alone; else the name with the middle of its stem left out
// and its extension kept ("town_…_02.sim"), at the narrowest "….sim". A
// UTF-8 character is never split.
std::string ElidePath(std::string_view path, int width, const TTextWidth& measure);

}  // namespace quorvex
