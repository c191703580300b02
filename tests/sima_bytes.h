// SIMA bytes for the tests and the fuzz targets: the banner lines of this
// program's files, spelt out here rather than taken from the writer, and the
// bytes the record writer gives for a file's records. Header only, so the
// fuzz targets need no test library.
#pragma once

#include <string>
#include <string_view>

#include "sima/sima_records.h"
#include "support/output_file.h"

namespace quorvex::test {

// The three lines that open every file, then the banners of the coordinate,
// parcel and route sections (座標データ, 画地データ, 路線データ in code page 932).
inline const std::string kSimaHead =
    "Z00,{--------------SIMA-FORMAT DATA--------------},\r\n"
    "Z00,{--------------Quorvex Converter-------------},\r\n"
    "Z00,\r\n";
inline const std::string kPointsBanner =
    "Z00,{-----------------\x8D\xC0\x95\x57\x83\x66\x81\x5B\x83\x5E-----------------},\r\n";
inline const std::string kParcelsBanner =
    "Z00,{-----------------\x89\xE6\x92\x6E\x83\x66\x81\x5B\x83\x5E-----------------},\r\n";
inline const std::string kRoutesBanner =
    "Z00,{-----------------\x98\x48\x90\xFC\x83\x66\x81\x5B\x83\x5E-----------------},\r\n";

// The bytes as written, line ends and all, so a writer that changed its line
// ends would not pass.
inline std::string WrittenSimaBytes(const TSimaFile& file) {
    TScratchFile out;
    WriteSimaRecords(out, file);
    out.StartReading();
    std::string bytes;
    char chunk[1 << 16];
    while (const size_t n = out.Read(chunk, sizeof chunk))
        bytes.append(chunk, n);
    return bytes;
}

}  // namespace quorvex::test
