#include "engine/batch_list.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "support/charset.h"
#include "support/cp932.h"
#include "support/field.h"
#include "support/file_access.h"
#include "support/line_reader.h"
#include "support/output_file.h"
#include "support/text.h"

namespace quorvex {

namespace {

TMessage MessageOfKind(BatchListError::Kind kind, const std::string& line, int32_t lineNumber) {
    switch (kind) {
        case BatchListError::Malformed:
            break;
        case BatchListError::NotBoolean:
            // Decoded before it is quoted: the quote's own "…" is UTF-8.
            return {TMsg::BatchListNotBoolean, {QuoteInput(Cp932ToUtf8(line))}};
        case BatchListError::NotUtf8:
            return {TMsg::BatchListNotUtf8, {std::to_string(lineNumber)}};
        case BatchListError::NotCp932:
            return {TMsg::BatchListNotCp932, {std::to_string(lineNumber)}};
        case BatchListError::BadZone:
            return {TMsg::BatchListBadZone, {std::to_string(lineNumber), Cp932ToUtf8(line)}};
        case BatchListError::ZoneInOldList:
            return {TMsg::BatchListZoneInOldList, {std::to_string(lineNumber), Cp932ToUtf8(line)}};
    }
    return TMsg::BatchListMalformed;
}

}  // namespace

BatchListError::BatchListError(Kind errorKind, std::string lineRead)
    : QuorvexError(MessageOfKind(errorKind, lineRead, 0)),
      kind(errorKind),
      line(std::move(lineRead)) {}

BatchListError::BatchListError(Kind errorKind, int32_t number)
    : QuorvexError(MessageOfKind(errorKind, {}, number)), kind(errorKind), lineNumber(number) {}

BatchListError::BatchListError(Kind errorKind, int32_t number, std::string value)
    : QuorvexError(MessageOfKind(errorKind, value, number)),
      kind(errorKind),
      line(std::move(value)),
      lineNumber(number) {}

namespace {

constexpr std::string_view kMagic = "Quorvex";
constexpr std::string_view kVersion = "200";
// A list with a plane rectangular zone on any row: a version that knows no
// zones refuses it rather than convert those rows without their projection.
constexpr std::string_view kVersionWithZones = "201";
constexpr int kHeaderLines = 5;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

[[noreturn]] void ThrowMalformed() {
    throw BatchListError(BatchListError::Malformed);
}

// The lines of a file one at a time, without an index of them all: CR, LF
// and CR LF each end a line; a final line end does not open another.
class TLines {
  public:
    explicit TLines(std::string_view bytes) : bytes_(bytes) {}
    bool Next(std::string_view& line) {
        if (pos_ >= bytes_.size()) return false;
        size_t end = pos_;
        while (end < bytes_.size() && bytes_[end] != '\r' && bytes_[end] != '\n')
            ++end;
        line = bytes_.substr(pos_, end - pos_);
        pos_ = end;
        if (pos_ < bytes_.size())
            pos_ += (bytes_[pos_] == '\r' && pos_ + 1 < bytes_.size() && bytes_[pos_ + 1] == '\n')
                        ? 2
                        : 1;
        return true;
    }

  private:
    std::string_view bytes_;
    size_t pos_ = 0;
};

// Whether the file is UTF-8 rather than code page 932; strips the mark.
bool ReadAsUtf8(std::string_view& bytes) {
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bytes.remove_prefix(kUtf8Bom.size());
        return true;
    }
    bool high = false;
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) > 0x7F) {
            high = true;
            break;
        }
    return high && IsValidUtf8(bytes);
}

// A job line that holds no value at all: nothing but the blanks the field
// splitter skips (codes 1 to 32). NUL is a value to the splitter.
bool IsBlankJobLine(std::string_view line) {
    for (const char c : line)
        if (c == 0 || static_cast<unsigned char>(c) > 32) return false;
    return true;
}

// A line of the file as code page 932 bytes.
std::string Cp932Line(std::string_view line, bool utf8, int32_t lineNumber) {
    if (!utf8) return std::string(line);
    if (auto bytes = Utf8ToCp932(line)) return std::move(*bytes);
    throw BatchListError(IsValidUtf8(line) ? BatchListError::NotCp932 : BatchListError::NotUtf8,
                         lineNumber);
}

bool HeaderLineIs(std::string_view line, std::string_view word) {
    return AsciiLowerCase(Trim(line)) == word;
}

// A decimal number, optionally signed and with a fractional part, blanks
// around it allowed: ticked unless it is zero. Otherwise the words True and
// False in any letter case, as they stand. Empty when neither.
std::optional<bool> ReadBoolean(std::string_view text) {
    std::string_view s = Trim(text);
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) s.remove_prefix(1);
    bool digits = false;
    bool nonZero = false;
    bool point = false;
    bool number = !s.empty();
    for (const char c : s) {
        if (c >= '0' && c <= '9') {
            digits = true;
            nonZero = nonZero || c != '0';
        } else if (c == '.' && !point) {
            point = true;
        } else {
            number = false;
            break;
        }
    }
    if (number && digits) return nonZero;
    if (EqualsIgnoringAsciiCase(text, "true")) return true;
    if (EqualsIgnoringAsciiCase(text, "false")) return false;
    return std::nullopt;
}

// The zone field as the list writes it, "1" to "19"; 0 for anything else.
int32_t ZoneOfText(std::string_view text) {
    if (text.empty() || text.size() > 2 || text[0] < '1' || text[0] > '9') return 0;
    if (text.size() == 1) return text[0] - '0';
    if (text[0] != '1' || text[1] < '0' || text[1] > '9') return 0;
    return 10 + (text[1] - '0');
}

// A zone written by hand in a list of version 200, leading zeros or blanks
// around it allowed: such a list would otherwise run without it.
bool LooksLikeZone(std::string_view text) {
    text = Trim(text);
    while (text.size() > 1 && text[0] == '0')
        text.remove_prefix(1);
    return ZoneOfText(text) != 0;
}

// The tenth field of job line `number`: the row's zone in a list of version
// 201 (empty for none, anything else refuses the list); a list of version 200
// has no zones and ignores the field as ever, unless it holds one.
int32_t ReadZone(std::string_view field, bool zones, int32_t number) {
    if (zones) {
        const int32_t zone = ZoneOfText(field);
        if (zone == 0 && !field.empty())
            throw BatchListError(BatchListError::BadZone, number, std::string(field));
        return zone;
    }
    if (LooksLikeZone(field))
        throw BatchListError(BatchListError::ZoneInOldList, number, std::string(field));
    return 0;
}

void AppendQuoted(std::string& out, std::string_view value) {
    out.push_back('"');
    for (const char c : value) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

void AppendLine(std::string& out, std::string_view line) {
    out.append(line);
    out.append("\r\n");
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::string FormatBatchList(const TBatchListFile& list) {
    std::string out;
    AppendLine(out, kMagic);
    bool zones = false;
    for (const TBatchRow& row : list.Rows)
        zones = zones || row.Zone != 0;
    AppendLine(out, zones ? kVersionWithZones : kVersion);
    AppendLine(out, list.Combine ? "-1" : "0");
    AppendLine(out, list.CombineFile);
    AppendLine(out, list.CombineGenba);
    for (const TBatchRow& row : list.Rows) {
        AppendQuoted(out, row.Caption);
        for (const std::string& item : row.SubItems) {
            out.push_back('\t');
            AppendQuoted(out, item);
        }
        // Only on rows with a zone, so a list without zones is as it was.
        if (row.Zone != 0) {
            out.push_back('\t');
            AppendQuoted(out, std::to_string(row.Zone));
        }
        out.append("\r\n");
    }
    return out;
}

TBatchListFile ParseBatchList(std::string_view bytes, TBlankJobLines blank) {
    const bool utf8 = ReadAsUtf8(bytes);
    // Counted first, so that a list of too many lines is refused before a
    // single row is made.
    int64_t lineCount = 0;
    int64_t blankJobLines = 0;
    std::string_view line;
    for (TLines lines(bytes); lines.Next(line);)
        if (++lineCount > kHeaderLines && IsBlankJobLine(line)) ++blankJobLines;
    if (lineCount < kHeaderLines || lineCount - kHeaderLines > kMaxBatchJobLines) ThrowMalformed();

    TLines lines(bytes);
    std::string_view head[kHeaderLines];
    for (std::string_view& h : head)
        lines.Next(h);
    const bool zones = HeaderLineIs(head[1], kVersionWithZones);
    if (!HeaderLineIs(head[0], "quorvex") || !(zones || HeaderLineIs(head[1], kVersion)))
        ThrowMalformed();

    TBatchListFile list;
    const std::string combine = Cp932Line(head[2], utf8, 3);
    const std::optional<bool> combineOn = ReadBoolean(combine);
    if (!combineOn) throw BatchListError(BatchListError::NotBoolean, combine);
    list.Combine = *combineOn;
    list.CombineFile = Cp932Line(head[3], utf8, 4);
    list.CombineGenba = Cp932Line(head[4], utf8, 5);
    const int64_t rows =
        lineCount - kHeaderLines - (blank == TBlankJobLines::Skip ? blankJobLines : 0);
    list.Rows.reserve(static_cast<size_t>(rows));
    list.RowLines.reserve(static_cast<size_t>(rows));
    for (int32_t number = kHeaderLines + 1; lines.Next(line); ++number) {
        if (blank == TBlankJobLines::Skip && IsBlankJobLine(line)) continue;
        const std::string job = Cp932Line(line, utf8, number);
        TBatchRow& row = list.Rows.emplace_back();
        list.RowLines.push_back(number);
        row.Caption = GetField(job, 1, "\t");
        for (size_t k = 0; k < row.SubItems.size(); ++k) {
            row.SubItems[k] = GetField(job, static_cast<int32_t>(k) + 2, "\t");
        }
        row.Zone = ReadZone(GetField(job, 10, "\t"), zones, number);
    }
    return list;
}

TBatchListFile LoadBatchList(const std::string& path, TBlankJobLines blank) {
    // Only a regular file: a FIFO would block, a device never end.
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        ThrowPathProblem(
            "read", path,
            std::filesystem::is_directory(status) ? TPathProblem::Folder
            : std::filesystem::is_fifo(status)    ? TPathProblem::Fifo
            : std::filesystem::is_character_file(status) || std::filesystem::is_block_file(status)
                ? TPathProblem::Device
                : TPathProblem::OtherKind);
    }
    std::unique_ptr<std::FILE, FileCloser> file(OpenStream(path, "rb"));
    if (!file) ThrowFileError("open", path, errno);
    std::string bytes;
    errno = 0;
    char chunk[1 << 16];
    // Lines are bounded as in every other file the engine reads.
    size_t lineBytes = 0;
    int64_t lineNumber = 1;
    char previous = 0;
    for (;;) {
        const size_t n = std::fread(chunk, 1, sizeof chunk, file.get());
        for (size_t i = 0; i < n; ++i) {
            const char c = chunk[i];
            if (c == '\r' || c == '\n') {
                if (c == '\r' || previous != '\r') ++lineNumber;  // CR LF ends one line
                lineBytes = 0;
                // Too many lines: refused before the rest is read.
                if (lineNumber > kHeaderLines + kMaxBatchJobLines + 1) ThrowMalformed();
            } else if (++lineBytes > TLineReader::kMaxLineBytes) {
                TLineReader::ThrowLineTooLong(path, lineNumber);
            }
            previous = c;
        }
        bytes.append(chunk, n);
        if (n < sizeof chunk) break;
    }
    // A directory opens on Linux and fails only here.
    if (std::ferror(file.get())) ThrowFileError("read", path, errno ? errno : EIO);
    return ParseBatchList(bytes, blank);
}

void SaveBatchList(const std::string& path, const TBatchListFile& list) {
    TCommitFile out(path);
    out.Write(FormatBatchList(list));
    out.Commit();
}

}  // namespace quorvex
