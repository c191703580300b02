// Attribute values of MID rows as the SIMA file takes them: code page 932
// bytes. Tables in code page 932 give their bytes unchanged; tables in other
// character sets are decoded, split and encoded again, and a value code page
// 932 cannot hold is an error, never a silently altered lot number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mif/UniSFMapUtil.h"
#include "mif/uniMifUtils.h"
#include "support/charset.h"
#include "support/messages.h"

namespace quorvex {

struct TMidFormat {
    char Delimiter = '\t';
    TCharset Charset;
    std::vector<std::string> ColumnNames;  // UTF-8, for messages
};

// The format of a table's MID rows; throws ConversionError, naming the set,
// when the header's character set cannot be read.
TMidFormat MidFormatOf(const TMifHeader& header, const TSFColumns& columns);

// Field `column` (from 1) of MID row `rowNo` (from 1) in code page 932.
// Throws ConversionError naming the row, the column and, for a character code
// page 932 lacks, the character; also for bytes the set does not decode.
std::string MidValue(const TMidFormat& format, std::string_view row, int64_t rowNo, int32_t column);

// The set in which to show the table's texts: its own when it can be read,
// else code page 932 as before.
TCharset DisplayCharsetOf(const TMifHeader& header);

// A column name as the window shows it (UTF-8) and as a batch list holds it:
// the name's own bytes in a code page 932 table, else its code page 932
// form; nothing when code page 932 cannot hold it.
struct TColumnName {
    std::string Shown;
    std::optional<std::string> Cp932;
};
std::vector<TColumnName> ColumnNamesOf(const TMifTable& table);

// Why the attribute position `given` (as the user wrote it) names no column
// of `table`: the valid range and the columns, by position and name.
TMessage AttrOutOfRange(std::string_view given, const TMifTable& table);

}  // namespace quorvex
