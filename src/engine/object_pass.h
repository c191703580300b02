// The loop at the heart of every conversion: recognises the lines that open
// objects, takes one MID row per object, reads the object, shapes parcels
// with the closing rule and writes parcel and route blocks.
#pragma once

#include <cstdint>

#include "engine/convert_settings.h"
#include "engine/run_state.h"
#include "mif/UniSFMapUtil.h"
#include "mif/uniMifUtils.h"
#include "support/line_reader.h"

namespace quorvex {

// With closeParcel the ring ends on its first vertex (appended if needed);
// without it trailing copies of the first vertex are removed, never the last
// remaining vertex.
void ApplyClosingRule(TSFPolygon& rec, bool closeParcel);

// Reads objects from `mif` to its end. `mid` may be null for a table without
// columns: every row is then empty. The header and columns of `table` say
// how attribute values are cut from the rows; its character set must be one
// this program reads when an attribute is chosen (ConversionError otherwise).
// With an attribute chosen the MID file must hold one row per object, else a
// ConversionError names both counts; without one it is not read.
void RunObjectPass(TRunState& run, TLineReader& mif, TLineReader* mid, const TMifTable& table,
                   const TConvertSettings& settings);

}  // namespace quorvex
