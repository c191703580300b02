// libFuzzer target: the SIMA reader on any bytes. It either fails with a
// conversion error or gives records that the record writer writes and the
// reader reads back to the same records (coordinates as printed), whose
// bytes a second writing repeats; and every such file draws (scene, marks, frames, SVG) without
// fault.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "preview/preview_frame.h"
#include "preview/preview_marks.h"
#include "preview/preview_scene.h"
#include "preview/preview_svg.h"
#include "sima/sima_number.h"
#include "sima/sima_records.h"
#include "sima_bytes.h"
#include "support/errors.h"
#include "support/text.h"

namespace {

// Coordinates of other programs may carry more digits than the writer's 15:
// they come back as the writer printed them.
std::string Printed(double v) {
    char buf[quorvex::kSimaNumberMax];
    return std::string(buf, quorvex::FormatSimaNumber(v, buf));
}

bool SameRecords(const quorvex::TSimaFile& a, const quorvex::TSimaFile& b) {
    // The vertices of all blocks lie in file order, parcels and routes mixed
    // as they came; the writer puts the parcels first, so blocks are compared
    // one by one.
    if (a.Genba != b.Genba || a.Points.size() != b.Points.size() ||
        a.Vertices.size() != b.Vertices.size() || a.Parcels.size() != b.Parcels.size() ||
        a.Routes.size() != b.Routes.size())
        return false;
    for (size_t i = 0; i < a.Points.size(); ++i) {
        const auto& p = a.Points[i];
        const auto& q = b.Points[i];
        if (p.Number != q.Number || Printed(p.X) != Printed(q.X) || Printed(p.Y) != Printed(q.Y) ||
            a.PointName(static_cast<uint32_t>(i)) != b.PointName(static_cast<uint32_t>(i)) ||
            a.PointRest(static_cast<uint32_t>(i)) != b.PointRest(static_cast<uint32_t>(i)))
            return false;
    }
    for (int kind = 0; kind < 2; ++kind) {
        const auto& x = kind == 0 ? a.Parcels : a.Routes;
        const auto& y = kind == 0 ? b.Parcels : b.Routes;
        for (size_t i = 0; i < x.size(); ++i)
            if (x[i].Number != y[i].Number || x[i].Head != y[i].Head || x[i].Name != y[i].Name ||
                !std::equal(a.VerticesOf(x[i]).first, a.VerticesOf(x[i]).second,
                            b.VerticesOf(y[i]).first, b.VerticesOf(y[i]).second))
                return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    quorvex::TSimaFile file;
    try {
        file = quorvex::ReadSimaText(text);
    } catch (const quorvex::ConversionError&) {
        return 0;
    }
    try {
        const std::string once = quorvex::test::WrittenSimaBytes(file);
        const quorvex::TSimaFile again = quorvex::ReadSimaText(once);
        if (!SameRecords(file, again)) std::abort();
        if (quorvex::test::WrittenSimaBytes(again) != once) std::abort();
    } catch (const quorvex::ConversionError&) {
        // Only a site name with a control character may not be written.
        if (!quorvex::HasControlCharacter(file.Genba)) std::abort();
    }
    namespace pv = quorvex::preview;
    const pv::TPreviewScene scene(std::move(file));
    (void)pv::FindMarks(scene, 1000);
    pv::TView view = pv::SvgFitView(scene);
    (void)pv::SvgOf(scene, pv::BuildFrame(scene, view));
    view.ZoomAt({300, 200}, 37.5);
    (void)pv::BuildFrame(scene, view);
    return 0;
}
