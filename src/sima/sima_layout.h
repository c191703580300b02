// The whole SIMA file: banner and header lines, the coordinate section, then
// the parcel blocks and the route blocks that waited in their scratch files
// until the point table was complete.
#pragma once

#include <string_view>

#include "sima/uniSimUtils.h"
#include "support/output_file.h"

namespace quorvex {

// Code page 932 texts of the file, as bytes (the sources are UTF-8).
namespace sima_text {
inline constexpr std::string_view kBannerFormat =
    "Z00,{--------------SIMA-FORMAT DATA--------------},";
inline constexpr std::string_view kBannerProgram =
    "Z00,{--------------Quorvex Converter-------------},";
// 座標データ, 画地データ, 路線データ
inline constexpr std::string_view kBannerPoints =
    "Z00,{-----------------"
    "\x8D\xC0\x95\x57\x83\x66\x81\x5B\x83\x5E"
    "-----------------},";
inline constexpr std::string_view kBannerParcels =
    "Z00,{-----------------"
    "\x89\xE6\x92\x6E\x83\x66\x81\x5B\x83\x5E"
    "-----------------},";
inline constexpr std::string_view kBannerRoutes =
    "Z00,{-----------------"
    "\x98\x48\x90\xFC\x83\x66\x81\x5B\x83\x5E"
    "-----------------},";
}  // namespace sima_text

// Writes the file in its fixed order; `genba` is the site name of the G00
// line, written unchanged.
void WriteSimaFile(TFileWriter& out, std::string_view genba, const TSIMPoints& points, bool swapXY,
                   TSimBlockScratch& parcels, TSimBlockScratch& routes);
// The same in two halves, for a run that writes the "A01," lines between them
// as its points come: the lines before them and the lines after them.
void WriteSimaHead(TFileWriter& out, std::string_view genba);
void WriteSimaTail(TFileWriter& out, TSimBlockScratch& parcels, TSimBlockScratch& routes);

}  // namespace quorvex
