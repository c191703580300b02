#include "mif/mid_values.h"

#include <utility>

#include "support/cp932.h"
#include "support/errors.h"
#include "support/field.h"

namespace quorvex {
namespace {

std::string Hex(uint32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        s[static_cast<size_t>(i)] = kDigits[value & 0xF];
    return s;
}

// "MID row 12, column 3 "NAME"": where a value went wrong.
TMessage Where(const TMidFormat& f, int64_t rowNo, int32_t column) {
    const std::string row = std::to_string(rowNo);
    if (column < 1) return {TMsg::MidRow, {row}};
    if (static_cast<size_t>(column) > f.ColumnNames.size())
        return {TMsg::MidRowColumn, {row, std::to_string(column)}};
    return {TMsg::MidRowColumnNamed,
            {row, std::to_string(column), f.ColumnNames[static_cast<size_t>(column) - 1]}};
}

// `message` about the value at `where`.
ConversionError At(TMessage where, TMessage message) {
    message.Where.push_back(std::move(where));
    return ConversionError(std::move(message));
}

// The value, unless it holds a line break: a SIMA line cannot.
std::string NoLineBreak(std::string value, const TMidFormat& f, int64_t rowNo, int32_t column) {
    if (value.find('\n') != std::string::npos)
        throw At(Where(f, rowNo, column), {TMsg::MidValueLineBreak});
    return value;
}

// A code page 932 value. Bytes that are no character, which a mislabelled
// UTF-8 table has all the time, would make a garbled lot number: refused up
// to the end of the field asked for.
std::string Cp932Value(const TMidFormat& f, std::string_view row, int64_t rowNo, int32_t column) {
    size_t end = 0;
    std::string value = GetDelimitedField(row, column, f.Delimiter, end);
    if (const std::optional<size_t> bad = FirstNonCp932Byte(row.substr(0, end))) {
        TMessage where = Where(f, rowNo, DelimitedFieldAt(row, *bad, f.Delimiter, true));
        if (IsValidUtf8(row)) throw At(std::move(where), {TMsg::MidLooksUtf8});
        throw At(std::move(where),
                 {TMsg::MidNotCp932, {Hex(static_cast<unsigned char>(row[*bad]), 2)}});
    }
    return NoLineBreak(std::move(value), f, rowNo, column);
}

}  // namespace

TMidFormat MidFormatOf(const TMifHeader& header, const TSFColumns& columns) {
    TMessage why;
    const std::optional<TCharset> set = FindCharset(header.Charset, why);
    if (!set) throw ConversionError(why);
    TMidFormat f;
    f.Delimiter = header.Delimiter;
    f.Charset = *set;
    f.ColumnNames.reserve(columns.size());
    for (const TSFColumn& c : columns)
        f.ColumnNames.push_back(DisplayText(f.Charset, c.Name));
    return f;
}

std::string MidValue(const TMidFormat& f, std::string_view row, int64_t rowNo, int32_t column) {
    if (f.Charset.Kind == TCharsetKind::Cp932) return Cp932Value(f, row, rowNo, column);
    // Separators, quotes and blanks are ASCII in every set read here, so the
    // raw row is cut as its decoded text is.
    std::string text;
    if (const std::optional<size_t> bad = DecodeToUtf8(f.Charset, row, text)) {
        throw At(
            Where(f, rowNo, DelimitedFieldAt(row, *bad, f.Delimiter, false)),
            {TMsg::MidBadByte, {Hex(static_cast<unsigned char>(row[*bad]), 2), f.Charset.Name}});
    }
    const std::string value =
        NoLineBreak(GetDelimitedUtf8Field(text, column, f.Delimiter), f, rowNo, column);
    size_t at = 0;
    if (std::optional<std::string> bytes = Utf8ToCp932(value, &at)) return std::move(*bytes);
    size_t len = 0;
    const char32_t c = Utf8CharAt(value, at, &len);
    throw At(Where(f, rowNo, column),
             {TMsg::MidNoCp932, {value.substr(at, len), Hex(c, c > 0xFFFF ? 6 : 4), value}});
}

TMidRows::TMidRows(TLineReader& mid, const TMidFormat& format)
    : mid_(mid),
      delimiter_(format.Delimiter),
      doubleByte_(format.Charset.Kind == TCharsetKind::Cp932) {
    mid_.SkipByteOrderMark();
}

bool TMidRows::Next(std::string_view& row) {
    if (!mid_.ReadLine(row)) return false;
    firstLine_ = mid_.LineNumber();
    if (!EndsInsideQuotes(row, delimiter_, doubleByte_, false)) return true;
    // The common row of one line is handed out as the reader holds it; only
    // a row that goes on is copied together.
    joined_.assign(row);
    std::string_view more;
    bool inside = true;
    while (inside && mid_.ReadLine(more)) {
        // The whole row is held at once: it is bounded as one line is.
        if (joined_.size() + 1 + more.size() > TLineReader::kMaxLineBytes)
            TLineReader::ThrowLineTooLong(mid_.Path(), firstLine_);
        joined_.push_back('\n');
        joined_.append(more);
        inside = EndsInsideQuotes(more, delimiter_, doubleByte_, true);
    }
    row = joined_;
    return true;
}

TCharset DisplayCharsetOf(const TMifHeader& header) {
    TMessage why;
    return FindCharset(header.Charset, why).value_or(TCharset{});
}

TMessage AttrOutOfRange(std::string_view given, const TMifTable& table) {
    const std::vector<TColumnName> names = ColumnNamesOf(table);
    if (names.empty()) return {TMsg::AttrNoColumns, {std::string(given)}};
    // Enough of the list to choose from; a table of hundreds of columns
    // would not fit a message.
    constexpr size_t kListed = 20;
    std::string list;
    for (size_t i = 0; i < names.size() && i < kListed; ++i) {
        if (i > 0) list += ", ";
        list += std::to_string(i + 1) + " " + QuoteValue(names[i].Shown);
    }
    if (names.size() > kListed) list += ", \xE2\x80\xA6";  // "…"
    return {TMsg::AttrOutOfRange, {std::string(given), std::to_string(names.size()), list}};
}

std::vector<TColumnName> ColumnNamesOf(const TMifTable& table) {
    const TCharset set = DisplayCharsetOf(table.Header);
    std::vector<TColumnName> names;
    names.reserve(table.Columns.size());
    for (const TSFColumn& c : table.Columns) {
        TColumnName n;
        n.Shown = DisplayText(set, c.Name);
        n.Cp932 = set.Kind == TCharsetKind::Cp932 ? std::optional(c.Name) : Utf8ToCp932(n.Shown);
        names.push_back(std::move(n));
    }
    return names;
}

}  // namespace quorvex
