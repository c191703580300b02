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
#include "support/line_reader.h"
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
// page 932 lacks, the character; also for bytes the set does not decode, for
// a code page 932 row that is not well-formed up to the end of the field (a
// mislabelled UTF-8 table), and for a value that holds a line break. Each row
// is decoded and cut a bounded number of times.
std::string MidValue(const TMidFormat& format, std::string_view row, int64_t rowNo, int32_t column);

// The rows of a MID file as MapInfo writes them: a row is a line, except that
// a line break inside a double-quoted field belongs to the field (joined as
// LF). A UTF-8 byte order mark opening the file belongs to no row. A row
// longer than a line may be is a ConversionError naming the line it starts on.
class TMidRows {
  public:
    TMidRows(TLineReader& mid, const TMidFormat& format);
    // The next row, valid until the next call; false at the end of the file.
    bool Next(std::string_view& row);
    // The line (from 1) on which the row last returned starts.
    int64_t FirstLine() const { return firstLine_; }

  private:
    TLineReader& mid_;
    const char delimiter_;
    const bool doubleByte_;  // code page 932
    std::string joined_;     // a row of several lines
    int64_t firstLine_ = 0;
};

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
