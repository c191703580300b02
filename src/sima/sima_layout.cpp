#include "sima/sima_layout.h"

namespace quorvex {

namespace {

void WriteHead(TFileWriter& out, std::string_view genba) {
    out.WriteLine(sima_text::kBannerFormat);
    out.WriteLine(sima_text::kBannerProgram);
    out.WriteLine("Z00,");
    out.Write("G00,02,");
    out.Write(genba);
    out.WriteLine(",");
    out.WriteLine(sima_text::kBannerPoints);
}

void WriteTail(TFileWriter& out, TScratchFile& parcels, TScratchFile& routes) {
    out.WriteLine(sima_text::kBannerParcels);
    parcels.CopyTo(out);
    out.WriteLine(sima_text::kBannerRoutes);
    routes.CopyTo(out);
    out.Flush();
}

}  // namespace

void WriteSimaFile(TFileWriter& out, std::string_view genba, const TSIMPoints& points, bool swapXY,
                   TScratchFile& parcels, TScratchFile& routes) {
    WriteHead(out, genba);
    WriteSimPoints(out, points, swapXY);
    WriteTail(out, parcels, routes);
}

void WriteSimaFile(TFileWriter& out, std::string_view genba, TScratchFile& pointLines,
                   TScratchFile& parcels, TScratchFile& routes) {
    WriteHead(out, genba);
    out.WriteLine("A00,");
    pointLines.CopyTo(out);
    out.WriteLine("A99,");
    WriteTail(out, parcels, routes);
}

}  // namespace quorvex
