#include "engine/mif_info.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <string_view>

#include "engine/convert.h"
#include "engine/coordinate_system.h"
#include "engine/run_inputs.h"
#include "mif/mid_values.h"
#include "mif/uniMifUtils.h"
#include "support/charset.h"
#include "support/errors.h"
#include "support/line_reader.h"
#include "support/output_file.h"
#include "support/text.h"

namespace quorvex {
namespace {

// The object keywords as MIF spells them; matched ignoring ASCII case.
constexpr std::string_view kKinds[] = {"Point",   "Line",       "Pline", "Region",
                                       "Arc",     "Text",       "Rect",  "RoundRect",
                                       "Ellipse", "MultiPoint", "None",  "Collection"};

// The keyword a trimmed line opens, or empty: the first word, letters only,
// as the conversion's object pass reads it.
std::string_view KindOf(std::string_view line) {
    size_t n = 0;
    while (n < line.size() && static_cast<unsigned char>(line[n]) > 32)
        ++n;
    const std::string_view word = line.substr(0, n);
    for (const std::string_view kind : kKinds)
        if (kind.size() == word.size() && EqualsIgnoringAsciiCase(word, kind)) return kind;
    return {};
}

bool NextNonBlank(TLineReader& mif) {
    std::string_view line;
    while (mif.ReadLine(line))
        if (!IsBlankLine(line)) return true;
    return false;
}

// Counts the objects by kind, reading past what is not a keyword line: the
// string of a text, which may read like one, and the parts of a collection.
void CountObjects(TLineReader& mif, TMifInfo& info) {
    std::string_view raw;
    int64_t partsLeft = 0;
    while (mif.ReadLine(raw)) {
        const std::string_view line = Trim(raw);
        const std::string_view kind = KindOf(line);
        if (kind.empty()) continue;
        if (partsLeft > 0 &&
            (kind == "Region" || kind == "Pline" || kind == "Line" || kind == "MultiPoint")) {
            --partsLeft;
            continue;
        }
        partsLeft = 0;
        const std::string_view rest = Trim(line.substr(kind.size()));
        if (kind == "Text") {
            // The string on a line of its own, then the corners.
            if (rest.empty()) NextNonBlank(mif);
            NextNonBlank(mif);
        } else if (kind == "Collection") {
            int64_t parts = 0;
            for (const char c : rest) {
                if (c < '0' || c > '9' || parts > 1000000) break;
                parts = parts * 10 + (c - '0');
            }
            partsLeft = parts;
        }
        ++info.ObjectCount;
        bool found = false;
        for (auto& [name, count] : info.Objects)
            if (name == kind) {
                ++count;
                found = true;
            }
        if (!found) info.Objects.emplace_back(std::string(kind), 1);
    }
}

// The rows of the MID file; blank rows at its end count only as far as the
// objects need them (MapInfo writes an empty row for an object without
// values), as the conversion counts them.
int64_t CountMidRows(const std::string& midFile, const TMidFormat& format, int64_t objects) {
    TLineReader mid(midFile);
    TMidRows rows(mid, format);
    std::string_view row;
    int64_t seen = 0, lastFilled = 0;
    while (rows.Next(row)) {
        ++seen;
        if (!IsBlankLine(row)) lastFilled = seen;
    }
    return seen <= objects ? seen : std::max(lastFilled, objects);
}

std::string CharsetMeaning(const TCharset& set) {
    switch (set.Kind) {
        case TCharsetKind::Cp932:
            return "Shift_JIS (code page 932)";
        case TCharsetKind::Utf8:
            return "UTF-8";
        case TCharsetKind::EucJp:
            return "EUC-JP";
        case TCharsetKind::SingleByte:
            break;
    }
    return "single-byte";
}

std::string TypeName(TSFColumnKind kind) {
    switch (kind) {
        case TSFColumnKind::ckChar:
            return "Char";
        case TSFColumnKind::ckInteger:
            return "Integer";
        case TSFColumnKind::ckFloat:
            return "Float";
        case TSFColumnKind::ckDate:
            return "Date";
        case TSFColumnKind::ckLogical:
            return "Logical";
    }
    return "Char";
}

// The shortest text that reads back as the same double, on every system.
std::string Number(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string Count(int64_t n) {
    return std::to_string(n);
}

const char* Pick(TLanguage language, const char* english, const char* japanese) {
    return language == TLanguage::Japanese ? japanese : english;
}

std::string DelimiterShown(char d) {
    if (d == '\t') return "\\t";
    return std::string(1, d);
}

void JsonString(std::string& out, std::string_view s) {
    out += '"';
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (c < 0x20) {
                    static const char kHex[] = "0123456789abcdef";
                    out += "\\u00";
                    out += kHex[c >> 4];
                    out += kHex[c & 15];
                } else {
                    out += ch;
                }
        }
    }
    out += '"';
}

template <typename T>
void JsonOptional(std::string& out, const std::optional<T>& v) {
    out += v ? Count(*v) : "null";
}

}  // namespace

TMifInfo InspectMif(const std::string& mifFile, TLanguage language) {
    TMifInfo info;
    info.File = mifFile;
    const TMifTable table = ReadMifTable(mifFile);
    const TMifHeader& header = table.Header;
    if (header.Charset) {
        // The clause's value without its quotes.
        std::string_view name = Trim(*header.Charset);
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
            name = name.substr(1, name.size() - 2);
        info.Charset = std::string(name);
    }
    TMessage why;
    if (const auto set = FindCharset(header.Charset, why))
        info.CharsetShown = CharsetMeaning(*set);
    else
        info.Warnings.push_back(why);
    info.Delimiter = header.Delimiter;
    const TCharset shown = DisplayCharsetOf(header);
    info.CoordSysClause = DisplayText(shown, header.CoordSysText);
    info.CoordSys = DescribeCoordSys(header.CoordSys, language);
    const std::vector<TColumnName> names = ColumnNamesOf(table);
    for (size_t i = 0; i < table.Columns.size(); ++i) {
        const TSFColumn& c = table.Columns[i];
        info.Columns.push_back(
            {names[i].Shown, TypeName(c.Kind), c.Kind == TSFColumnKind::ckChar ? c.Width : 0});
    }

    {
        TLineReader mif(mifFile);
        SkipMifTableHead(mif);
        CountObjects(mif, info);
    }

    const auto inputs = FindRunInputs(mifFile, why);
    if (!inputs) {
        info.Warnings.push_back(why);
        return info;
    }
    if (!inputs->Mid.empty()) {
        try {
            info.MidRows =
                CountMidRows(inputs->Mid, MidFormatOf(header, table.Columns), info.ObjectCount);
            if (*info.MidRows != info.ObjectCount)
                info.Warnings.push_back(
                    TMessage(TMsg::MidRowCount, {Count(info.ObjectCount), Count(*info.MidRows)}));
        } catch (const std::exception& e) {
            info.Warnings.push_back(MessageOf(e));
        }
    }

    // A conversion into a nameless scratch file tells what the default
    // settings make of the objects, with the converter's own checks.
    TConvertSettings settings;
    settings.MifFile = mifFile;
    TRunReport report;
    try {
        TScratchFile scratch;
        const TRunResult result = RunConvertInto(settings, scratch);
        if (!result.Inputs.empty()) report = result.Inputs[0];
        if (!result.Written && report.Ok) {
            report.Ok = false;
            report.Error = result.Error;
        }
    } catch (const std::exception& e) {
        report.Ok = false;
        report.Error = MessageOf(e);
    }
    if (!report.Ok) {
        info.Warnings.push_back(report.Error);
        return info;
    }
    info.Parcels = report.Counts.Parcels;
    info.Routes = report.Counts.Routes;
    info.Points = report.Counts.Points;
    if (!report.Extent.Empty) {
        info.MinXY.emplace(report.Extent.MinX, report.Extent.MinY);
        info.MaxXY.emplace(report.Extent.MaxX, report.Extent.MaxY);
    }
    if (auto warning = CoordSysWarning(header.CoordSys, report.Extent))
        info.Warnings.push_back(std::move(*warning));
    return info;
}

std::string InfoText(const TMifInfo& info, TLanguage language) {
    const TLanguage l = language;
    std::string out;
    auto line = [&](const char* en, const char* ja, const std::string& value) {
        out += Pick(l, en, ja);
        out += value;
        out += '\n';
    };
    line("File: ", "ファイル: ", info.File);
    line("Character set: ", "文字セット: ",
         (info.Charset ? *info.Charset : std::string(Pick(l, "(none)", "(指定なし)"))) +
             (info.CharsetShown.empty() ? "" : ", " + info.CharsetShown));
    std::string delimiter = "\"";
    delimiter += DelimiterShown(info.Delimiter);
    delimiter += '"';
    line("Delimiter: ", "区切り文字: ", delimiter);
    line("Coordinate system: ", "座標系: ", info.CoordSys);
    if (!info.CoordSysClause.empty()) line("  ", "  ", info.CoordSysClause);
    line("Columns: ", "列: ", Count(static_cast<int64_t>(info.Columns.size())));
    for (size_t i = 0; i < info.Columns.size(); ++i) {
        const auto& c = info.Columns[i];
        out += "  ";
        out += Count(static_cast<int64_t>(i + 1));
        out += "  ";
        out += c.Name;
        out += "  ";
        out += c.Type;
        if (c.Width > 0) {
            out += '(';
            out += Count(c.Width);
            out += ')';
        }
        out += '\n';
    }
    line("Objects: ", "オブジェクト: ", Count(info.ObjectCount));
    for (const auto& [kind, count] : info.Objects)
        out += "  " + kind + "  " + Count(count) + "\n";
    if (info.Parcels) {
        out += Pick(l, "Converted: parcels ", "変換結果: 画地 ") + Count(*info.Parcels) +
               Pick(l, ", routes ", "、路線 ") + Count(*info.Routes) +
               Pick(l, ", points ", "、座標 ") + Count(*info.Points) + "\n";
    }
    line("MID rows: ", "MID の行数: ",
         info.MidRows ? Count(*info.MidRows)
                      : std::string(Pick(l, "(no MID file)", "(MID ファイルなし)")));
    if (info.MinXY) {
        line("Extent: ", "範囲: ",
             "X " + Number(info.MinXY->first) + " .. " + Number(info.MaxXY->first) + ", Y " +
                 Number(info.MinXY->second) + " .. " + Number(info.MaxXY->second));
    }
    for (const TMessage& w : info.Warnings)
        line("warning: ", "警告: ", w.Text(l));
    return out;
}

std::string InfoJson(const TMifInfo& info, TLanguage language) {
    std::string out = "{\n  \"file\": ";
    JsonString(out, info.File);
    out += ",\n  \"charset\": ";
    if (info.Charset)
        JsonString(out, *info.Charset);
    else
        out += "null";
    out += ",\n  \"charsetMeaning\": ";
    JsonString(out, info.CharsetShown);
    out += ",\n  \"delimiter\": ";
    JsonString(out, std::string(1, info.Delimiter));
    out += ",\n  \"coordSys\": {\"clause\": ";
    JsonString(out, info.CoordSysClause);
    out += ", \"description\": ";
    JsonString(out, info.CoordSys);
    out += "},\n  \"columns\": [";
    for (size_t i = 0; i < info.Columns.size(); ++i) {
        const auto& c = info.Columns[i];
        out += i ? ",\n    {\"name\": " : "\n    {\"name\": ";
        JsonString(out, c.Name);
        out += ", \"type\": ";
        JsonString(out, c.Type);
        out += ", \"width\": " + Count(c.Width) + "}";
    }
    out += info.Columns.empty() ? "],\n" : "\n  ],\n";
    out += "  \"objects\": {";
    for (size_t i = 0; i < info.Objects.size(); ++i) {
        out += i ? ", " : "";
        JsonString(out, info.Objects[i].first);
        out += ": " + Count(info.Objects[i].second);
    }
    out += "},\n  \"objectCount\": " + Count(info.ObjectCount);
    out += ",\n  \"parcels\": ";
    JsonOptional(out, info.Parcels);
    out += ",\n  \"routes\": ";
    JsonOptional(out, info.Routes);
    out += ",\n  \"points\": ";
    JsonOptional(out, info.Points);
    out += ",\n  \"midRows\": ";
    JsonOptional(out, info.MidRows);
    out += ",\n  \"extent\": ";
    if (info.MinXY)
        out += "{\"minX\": " + Number(info.MinXY->first) +
               ", \"minY\": " + Number(info.MinXY->second) +
               ", \"maxX\": " + Number(info.MaxXY->first) +
               ", \"maxY\": " + Number(info.MaxXY->second) + "}";
    else
        out += "null";
    out += ",\n  \"warnings\": [";
    for (size_t i = 0; i < info.Warnings.size(); ++i) {
        out += i ? ", " : "";
        JsonString(out, info.Warnings[i].Text(language));
    }
    out += "]\n}\n";
    return out;
}

std::vector<std::string> MifColumnNames(const std::string& mifFile) {
    std::vector<std::string> names;
    for (TColumnName& n : ColumnNamesOf(ReadMifTable(mifFile)))
        names.push_back(std::move(n.Shown));
    return names;
}

}  // namespace quorvex
