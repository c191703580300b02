// Header and column block of a MIF file.
#include <initializer_list>
#include <vector>

#include "mif/mif_numbers.h"
#include "mif/uniMifUtils.h"
#include "support/errors.h"
#include "support/text.h"

namespace quorvex {
namespace {

// The character after the opening double quote of a Delimiter clause; the
// two characters \t stand for a tab, and an empty clause means the default.
char DelimiterOf(std::string_view clause) {
    const size_t q = clause.find('"');
    if (q == std::string_view::npos || q + 1 >= clause.size()) return '\t';
    const char c = clause[q + 1];
    if (c == '"') return '\t';
    if (c == '\\' && q + 2 < clause.size() && clause[q + 2] == 't') return '\t';
    return c;
}

TSFColumnKind KindAndWidth(std::string_view type, int32_t& width) {
    // Each test stands on its own, so a later match overrides an earlier one.
    TSFColumnKind kind = TSFColumnKind::ckChar;
    width = 0;
    if (StartsWithIgnoringAsciiCase(type, "Char")) {
        const std::string_view inner = SplitFirst(')', SplitFirst('(', type).Tail).Head;
        width = TryParseMifInteger(inner).value_or(255);
    }
    if (StartsWithIgnoringAsciiCase(type, "Integer") ||
        StartsWithIgnoringAsciiCase(type, "SmallInt")) {
        kind = TSFColumnKind::ckInteger;
        width = 11;
    }
    if (StartsWithIgnoringAsciiCase(type, "Decimal") || StartsWithIgnoringAsciiCase(type, "Float"))
        kind = TSFColumnKind::ckFloat;
    if (StartsWithIgnoringAsciiCase(type, "Date")) kind = TSFColumnKind::ckDate;
    if (StartsWithIgnoringAsciiCase(type, "Logical")) kind = TSFColumnKind::ckLogical;
    return kind;
}

bool IsColumnsLine(std::string_view line) {
    return EqualsIgnoringAsciiCase(SplitFirst(' ', line).Head, "Columns");
}

// No real clause comes near this; a file that keeps a clause going for longer
// is not read into memory for it.
constexpr size_t kMaxClauseBytes = 4096;

// Keeps the CoordSys and Transform clauses and the lines that continue them:
// every line up to the next clause keyword, whatever its indent.
void NoteClauseLine(TMifHeader& header, std::string_view line) {
    using TOpen = TMifHeader::TOpenClause;
    const std::string_view text = Trim(line);
    if (text.empty()) return;
    size_t n = 0;
    while (n < text.size() && !IsTrimChar(static_cast<unsigned char>(text[n])))
        ++n;
    const std::string_view word = text.substr(0, n);
    std::string* clause = nullptr;
    if (EqualsIgnoringAsciiCase(word, "CoordSys")) {
        header.OpenClause = TOpen::CoordSys;
        header.CoordSysText.clear();
        clause = &header.CoordSysText;
    } else if (EqualsIgnoringAsciiCase(word, "Transform")) {
        header.OpenClause = TOpen::Transform;
        header.TransformText.clear();
        clause = &header.TransformText;
    } else {
        for (std::string_view keyword :
             {"Version", "Charset", "Delimiter", "Unique", "Index", "Columns", "Data"}) {
            if (EqualsIgnoringAsciiCase(word, keyword)) {
                header.OpenClause = TOpen::None;
                return;
            }
        }
        if (header.OpenClause == TOpen::CoordSys) clause = &header.CoordSysText;
        if (header.OpenClause == TOpen::Transform) clause = &header.TransformText;
    }
    if (!clause) return;
    if (clause->size() + text.size() + 1 > kMaxClauseBytes) {
        header.ClauseTooLong = true;
        return;
    }
    if (!clause->empty()) clause->push_back(' ');
    clause->append(text);
}

void ParseClauses(TMifHeader& header) {
    header.CoordSys = ParseCoordSys(header.CoordSysText, header.TransformText);
    if (header.ClauseTooLong) {
        header.CoordSys = TCoordSys();
        header.CoordSys.Kind = TCoordSysKind::Unknown;
    }
}

}  // namespace

TMifHeader ReadMifHeader(TLineReader& mif) {
    mif.SkipByteOrderMark();
    TMifHeader header;
    int score = 0;
    std::string_view line;
    while (score != 16 && mif.ReadLine(line)) {
        if (IsBlankLine(line)) continue;
        const std::string_view head = SplitFirst(' ', line).Head;
        if (EqualsIgnoringAsciiCase(head, "Columns")) {
            // Only Version and Columns are required: the column block ends
            // the header whatever clauses were seen.
            mif.UnreadLine();
            break;
        }
        NoteClauseLine(header, line);
        if (EqualsIgnoringAsciiCase(head, "Version")) score += 1;
        if (EqualsIgnoringAsciiCase(head, "Charset")) {
            score += 3;
            header.Charset.emplace(SplitFirst(' ', line).Tail);
        }
        if (EqualsIgnoringAsciiCase(head, "Delimiter")) {
            score += 5;
            header.Delimiter = DelimiterOf(line);
        }
        if (EqualsIgnoringAsciiCase(head, "CoordSys")) score += 7;
    }
    header.AllClauses = score == 16;
    ParseClauses(header);
    return header;
}

int32_t ReadMifColumns(TLineReader& mif, TSFColumns& columns, TMifHeader* header) {
    std::string_view line;
    auto fail = [&](TMsg id, std::initializer_list<std::string> more = {}) {
        std::vector<std::string> args{mif.Path(), std::to_string(mif.LineNumber())};
        args.insert(args.end(), more);
        TMessage m(id);
        m.Args = std::move(args);
        throw ConversionError(std::move(m));
    };
    for (;;) {
        // Random bytes or another kind of file: better refused than read as
        // a table without objects, which would replace an output with nothing.
        if (!mif.ReadLine(line)) fail(TMsg::NotAMifFile);
        if (!IsBlankLine(line) && IsColumnsLine(line)) break;
        if (header) NoteClauseLine(*header, line);
    }
    if (header) ParseClauses(*header);
    const int32_t n = TryParseMifInteger(SplitFirst(' ', line).Tail).value_or(0);
    if (n < 0) fail(TMsg::NegativeColumnCount, {std::to_string(n)});
    // Entries are added as their lines are read, never sized by the count,
    // and the list ends at the end of the file.
    columns.clear();
    for (int32_t i = 0; i < n; ++i) {
        do {
            if (!mif.ReadLine(line)) return n;
        } while (IsBlankLine(line));
        // The Data line ends the list: a larger count would take the
        // objects for columns.
        if (EqualsIgnoringAsciiCase(Trim(line), "Data"))
            fail(TMsg::ColumnCountPastData, {std::to_string(n), std::to_string(i)});
        const TSplit parts = SplitFirst(' ', Trim(line));
        TSFColumn column;
        column.Name.assign(parts.Head);
        column.Kind = KindAndWidth(parts.Tail, column.Width);
        columns.push_back(std::move(column));
    }
    return n;
}

TMifTable ReadMifTable(const std::string& path) {
    TLineReader mif(path);
    TMifTable table;
    table.Header = ReadMifHeader(mif);
    table.DeclaredColumns = ReadMifColumns(mif, table.Columns, &table.Header);
    return table;
}

}  // namespace quorvex
