// libFuzzer target: any bytes as a MIF file, with the same bytes as its MID
// rows, through the header, column and object readers into a run, and what
// the run tells about the coordinate system. Input may
// fail to convert; it must never crash, hang or allocate without bound.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/coordinate_system.h"
#include "engine/object_pass.h"
#include "mif/uniMifUtils.h"
#include "support/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        quorvex::TLineReader mif = quorvex::TLineReader::FromText(text);
        quorvex::TLineReader mid = quorvex::TLineReader::FromText(text);
        quorvex::TMifTable table;
        table.Header = quorvex::ReadMifHeader(mif);
        table.DeclaredColumns = quorvex::ReadMifColumns(mif, table.Columns, &table.Header);
        const quorvex::TCoordSys& cs = table.Header.CoordSys;
        quorvex::DescribeCoordSys(cs, quorvex::TLanguage::Japanese);
        quorvex::TScratchFile sima;
        quorvex::TRunState run(sima, true);
        quorvex::TConvertSettings settings;
        settings.AttrIndex = 1;
        quorvex::RunObjectPass(run, mif, &mid, table, settings);
        quorvex::CoordSysWarning(cs, run.Extent);
    } catch (const quorvex::QuorvexError&) {
    }
    return 0;
}
