#include "sima/sima_layout.h"

#include "support/errors.h"
#include "support/text.h"

namespace quorvex {

void WriteSimaHead(TFileWriter& out, std::string_view genba) {
    // The last guard for every caller: a line break in the site name would
    // end the header line and let the rest forge records of its own.
    if (HasControlCharacter(genba)) throw ConversionError(TMsg::GenbaControl);
    out.WriteLine(sima_text::kBannerFormat);
    out.WriteLine(sima_text::kBannerProgram);
    out.WriteLine("Z00,");
    out.Write("G00,02,");
    out.Write(genba);
    out.WriteLine(",");
    out.WriteLine(sima_text::kBannerPoints);
    out.WriteLine("A00,");
}

void WriteSimaTail(TFileWriter& out, TSimBlockScratch& parcels, TSimBlockScratch& routes) {
    out.WriteLine("A99,");
    out.WriteLine(sima_text::kBannerParcels);
    parcels.WriteTo(out);
    out.WriteLine(sima_text::kBannerRoutes);
    routes.WriteTo(out);
    out.Flush();
}

void WriteSimaFile(TFileWriter& out, std::string_view genba, const TSIMPoints& points, bool swapXY,
                   TSimBlockScratch& parcels, TSimBlockScratch& routes) {
    WriteSimaHead(out, genba);
    WriteSimPointLines(out, points, 0, points.Count(), swapXY);
    WriteSimaTail(out, parcels, routes);
}

}  // namespace quorvex
