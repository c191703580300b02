// One conversion job, and the batch-list row that holds the same values as
// texts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/messages.h"

namespace quorvex {

struct TConvertSettings {
    std::string MifFile;
    std::string SimFile;
    std::string Genba;       // site name, code page 932 bytes
    int32_t AttrIndex = -1;  // k >= 1: k-th column; 0 or less: no attribute
    bool Kakuchi = true;     // regions, rectangles, ellipses become parcels
    bool Rosen = true;       // lines, polylines, arcs become routes
    bool SwapXY = true;
    bool CloseParcel = false;
    // Plane rectangular zone (1 to 19) the coordinates are projected to, X
    // the northing and Y the easting before SwapXY; 0: written as read.
    int32_t Zone = 0;
};

// "○" and "×" in code page 932: the switch texts of a batch row.
inline constexpr std::string_view kSwitchOn = "\x81\x9B";
inline constexpr std::string_view kSwitchOff = "\x81\x7E";

inline std::string_view SwitchText(bool on) {
    return on ? kSwitchOn : kSwitchOff;
}
// A switch is on exactly when its text is "○", byte for byte.
inline bool IsSwitchOn(std::string_view text) {
    return text == kSwitchOn;
}

// A batch row: the caption (the attribute position in decimal) and eight
// texts. Rows keep texts as they were typed or loaded.
struct TBatchRow {
    enum SubItem { MifFile, SimFile, AttrName, Genba, Kakuchi, Rosen, SwapXY, CloseParcel };
    std::string Caption;
    std::array<std::string, 8> SubItems;
    // An attribute name that code page 932 cannot hold (from a table in
    // another character set), as UTF-8 to show; SubItems[AttrName] is then
    // empty and the row cannot be saved in a batch list.
    std::string UnheldAttrName;
    // The job's plane rectangular zone (TConvertSettings::Zone); not one of
    // the texts, so a list without zones stays as it was.
    int32_t Zone = 0;
};

// A row's caption read as its attribute position. The two readings differ on
// a caption that is not a number: a run takes it as 0 (no attribute), the
// drop-down filled from a double-clicked row as -1 (nothing chosen).
int32_t AttrIndexOfCaption(std::string_view caption);
int32_t AttrChoiceOfCaption(std::string_view caption);

// A plane rectangular zone number as typed (1 to 19); nothing for any other
// text.
std::optional<int32_t> ZoneNumberOf(std::string_view text);
TConvertSettings SettingsFromRow(const TBatchRow& row);
TBatchRow RowFromSettings(const TConvertSettings& s, std::string_view attrName);

// Why a job of a batch row must not run, as the panel's input check would
// refuse it: neither parcels nor routes, or a site name with a control
// character (it would end the header line and could forge records). A list
// is loaded as it stands; its rows are checked when they are run.
std::optional<TMessage> JobRefusal(const TConvertSettings& s);

}  // namespace quorvex
