// What the window does for everyday use, without any window system: the
// status texts of a batch run, what a drop of files onto the window means,
// and keeping a restored window where its title bar can be reached.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quorvex {

// "3 / 40 件目を変換中: town.mif" while row `row` (from 0) of `count` runs.
std::string BatchProgressText(size_t row, size_t count, const std::string& mifPath);
// "40 件中 38 件成功、2 件失敗" at the end of a run (fewer when an error
// ended it early).
std::string BatchSummaryText(size_t count, size_t succeeded, size_t failed);

// Where files were dropped, and what the drop asks for.
enum class TDropTarget { Panel, BatchList };
struct TDrop {
    enum Kind {
        Refused,    // Message says why
        MifFile,    // Panel: fill the MIF box as the browse button does
        MifFiles,   // BatchList: one row per file, with the panel's settings
        BatchList,  // BatchList: load the list as "開く" does
    };
    Kind What = Refused;
    std::vector<std::string> Paths;
    std::string Message;
};
// The panel takes one ".mif" file; the batch list any number of ".mif" files
// or one batch-list ".txt" file (ASCII case ignored). Anything else is
// refused with a message.
TDrop ClassifyDrop(TDropTarget target, const std::vector<std::string>& paths);
// Files named on the command line (a double-click in the file manager) are
// taken as a drop: one ".mif" file on the panel, anything else on the list.
TDropTarget CommandLineTarget(const std::vector<std::string>& paths);

struct TScreenRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
    bool operator==(const TScreenRect&) const = default;
};
// The window's outer rectangle, moved onto the nearest screen when its
// title bar (the top `titleHeight` pixels) could not be grabbed on any
// screen: a screen must hold the title bar's whole height along at least
// 64 pixels of its width (or the whole width of a narrower window).
TScreenRect KeepTitleBarOnScreen(const TScreenRect& frame, int titleHeight,
                                 const std::vector<TScreenRect>& screens);

}  // namespace quorvex
