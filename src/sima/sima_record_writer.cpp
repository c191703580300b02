#include <algorithm>
#include <charconv>

#include "sima/sima_layout.h"
#include "sima/sima_number.h"
#include "sima/sima_records.h"
#include "support/output_file.h"

namespace quorvex {
namespace {

void PutInteger(TFileWriter& out, int32_t n) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, n);
    out.Write(std::string_view(buf, static_cast<size_t>(r.ptr - buf)));
}

void PutNumber(TFileWriter& out, double v) {
    char buf[kSimaNumberMax];
    out.Write(std::string_view(buf, FormatSimaNumber(v, buf)));
}

// The name of point `index`: its number's text unless it is an odd one.
void PutName(TFileWriter& out, const TSimaFile& file, uint32_t index) {
    if (file.OddPointTexts.empty())
        PutInteger(out, file.Points[index].Number);
    else
        out.Write(file.PointName(index));
}

void PutBlocks(TFileWriter& out, const TSimaFile& file, const std::vector<TSimaBlock>& blocks,
               std::string_view head, std::string_view tail) {
    const auto& odds = file.OddVertexNames;
    for (const TSimaBlock& b : blocks) {
        // Blocks of the two kinds may come in any order in a file.
        size_t odd = static_cast<size_t>(
            std::lower_bound(odds.begin(), odds.end(), b.FirstVertex,
                             [](const auto& e, uint32_t v) { return e.first < v; }) -
            odds.begin());
        out.Write(head);
        PutInteger(out, b.Number);
        out.Write(",");
        out.WriteLine(b.Head);
        for (uint32_t v = b.FirstVertex; v < b.FirstVertex + b.VertexCount; ++v) {
            const uint32_t index = file.Vertices[v];
            out.Write("B01,");
            PutInteger(out, file.Points[index].Number);
            out.Write(",");
            if (odd < odds.size() && odds[odd].first == v) {
                out.WriteLine(odds[odd++].second);
            } else {
                PutName(out, file, index);
                out.WriteLine(",");
            }
        }
        out.WriteLine(tail);
    }
}

}  // namespace

void WriteSimaRecords(TFileWriter& out, const TSimaFile& file) {
    WriteSimaHead(out, file.Genba);
    size_t odd = 0;
    for (uint32_t i = 0; i < file.Points.size(); ++i) {
        const TSimaPoint& p = file.Points[i];
        const TSimaPointText* text = nullptr;
        if (odd < file.OddPointTexts.size() && file.OddPointTexts[odd].Index == i)
            text = &file.OddPointTexts[odd++];
        out.Write("A01,");
        PutInteger(out, p.Number);
        out.Write(",");
        if (text)
            out.Write(text->Name);
        else
            PutInteger(out, p.Number);
        out.Write(",");
        PutNumber(out, p.X);
        out.Write(",");
        PutNumber(out, p.Y);
        out.Write(",");
        out.WriteLine(text ? std::string_view(text->Rest) : std::string_view("0,"));
    }
    out.WriteLine("A99,");
    out.WriteLine(sima_text::kBannerParcels);
    PutBlocks(out, file, file.Parcels, "D00,", "D99,");
    out.WriteLine(sima_text::kBannerRoutes);
    PutBlocks(out, file, file.Routes, "F00,", "F99,");
    out.Flush();
}

}  // namespace quorvex
