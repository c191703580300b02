#include "ui/logic/daily_use.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "support/paths.h"
#include "support/text.h"
#include "ui/logic/main_logic.h"
#include "ui/logic/messages.h"

namespace quorvex {
namespace {

bool HasExtension(const std::string& path, std::string_view ext) {
    const std::string_view name = GetFileName(path);
    return name.size() > ext.size() &&
           EqualsIgnoringAsciiCase(name.substr(name.size() - ext.size()), ext);
}

TDrop Refuse(const char* message) {
    TDrop drop;
    drop.Message = message;
    return drop;
}

// How far the rectangle lies from the screen (0 when they overlap).
int64_t DistanceSquared(const TScreenRect& a, const TScreenRect& s) {
    const int64_t dx =
        std::max({int64_t(0), int64_t(s.Left) - a.Right(), int64_t(a.Left) - s.Right()});
    const int64_t dy =
        std::max({int64_t(0), int64_t(s.Top) - a.Bottom(), int64_t(a.Top) - s.Bottom()});
    return dx * dx + dy * dy;
}

}  // namespace

std::string BatchProgressText(size_t row, size_t count, const std::string& mifPath) {
    return FormatMessage(msg::kBatchProgress, {std::to_string(row + 1), std::to_string(count),
                                               std::string(GetFileName(mifPath))});
}

std::string BatchSummaryText(size_t count, size_t succeeded, size_t failed) {
    return FormatMessage(msg::kBatchSummary, {std::to_string(count), std::to_string(succeeded),
                                              std::to_string(failed)});
}

TDrop ClassifyDrop(TDropTarget target, const std::vector<std::string>& paths) {
    if (paths.empty()) return Refuse(msg::kDropNothing);
    const bool allMif = std::all_of(paths.begin(), paths.end(),
                                    [](const std::string& p) { return HasExtension(p, ".mif"); });
    TDrop drop;
    drop.Paths = paths;
    if (target == TDropTarget::Panel) {
        if (paths.size() != 1 || !allMif) return Refuse(msg::kDropOnPanel);
        drop.What = TDrop::MifFile;
        return drop;
    }
    if (allMif) {
        drop.What = TDrop::MifFiles;
        return drop;
    }
    if (paths.size() == 1 && HasExtension(paths[0], ".txt")) {
        drop.What = TDrop::BatchList;
        return drop;
    }
    return Refuse(msg::kDropOnList);
}

TDropTarget CommandLineTarget(const std::vector<std::string>& paths) {
    return paths.size() == 1 && HasExtension(paths[0], ".mif") ? TDropTarget::Panel
                                                               : TDropTarget::BatchList;
}

TScreenRect KeepTitleBarOnScreen(const TScreenRect& frame, int titleHeight,
                                 const std::vector<TScreenRect>& screens) {
    if (screens.empty()) return frame;
    const int grip = std::min(frame.Width, 64);
    for (const TScreenRect& s : screens) {
        const int overlap = std::min(frame.Right(), s.Right()) - std::max(frame.Left, s.Left);
        if (frame.Top >= s.Top && frame.Top + titleHeight <= s.Bottom() && overlap >= grip)
            return frame;
    }
    const TScreenRect* nearest = &screens[0];
    int64_t best = std::numeric_limits<int64_t>::max();
    for (const TScreenRect& s : screens) {
        const int64_t d = DistanceSquared(frame, s);
        if (d < best) {
            best = d;
            nearest = &s;
        }
    }
    // As far as the window must move to lie inside the screen; a window
    // larger than the screen keeps its top-left corner on it.
    TScreenRect moved = frame;
    moved.Left = std::max(nearest->Left, std::min(frame.Left, nearest->Right() - frame.Width));
    moved.Top = std::max(nearest->Top, std::min(frame.Top, nearest->Bottom() - frame.Height));
    return moved;
}

}  // namespace quorvex
