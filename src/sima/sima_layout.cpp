#include "sima/sima_layout.h"

namespace quorvex {

void WriteSimaFile(TFileWriter& out, std::string_view genba, const TSIMPoints& points, bool swapXY,
                   TScratchFile& parcels, TScratchFile& routes) {
    out.WriteLine(sima_text::kBannerFormat);
    out.WriteLine(sima_text::kBannerProgram);
    out.WriteLine("Z00,");
    out.Write("G00,02,");
    out.Write(genba);
    out.WriteLine(",");
    out.WriteLine(sima_text::kBannerPoints);
    WriteSimPoints(out, points, swapXY);
    out.WriteLine(sima_text::kBannerParcels);
    parcels.CopyTo(out);
    out.WriteLine(sima_text::kBannerRoutes);
    routes.CopyTo(out);
    out.Flush();
}

}  // namespace quorvex
