#include "engine/batch_list.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "support/cp932.h"
#include "support/field.h"
#include "support/file_access.h"
#include "support/line_reader.h"
#include "support/output_file.h"
#include "support/text.h"

namespace quorvex {

BatchListError::BatchListError(Kind kind, std::string line)
    : QuorvexError(kind == Malformed ? TMessage(TMsg::BatchListMalformed)
                                     : TMessage(TMsg::BatchListNotBoolean, {Cp932ToUtf8(line)})),
      kind(kind),
      line(std::move(line)) {}

namespace {

constexpr std::string_view kMagic = "Quorvex";
constexpr std::string_view kVersion = "200";
constexpr int kHeaderLines = 5;

[[noreturn]] void ThrowMalformed() {
    throw BatchListError(BatchListError::Malformed);
}

// CR, LF and CR LF each end a line; a final line end does not open another.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    size_t begin = 0;
    size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.push_back(bytes.substr(begin, i - begin));
        i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
        begin = i;
    }
    if (begin < bytes.size()) lines.push_back(bytes.substr(begin));
    return lines;
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
    AppendLine(out, kVersion);
    AppendLine(out, list.Combine ? "-1" : "0");
    AppendLine(out, list.CombineFile);
    AppendLine(out, list.CombineGenba);
    for (const TBatchRow& row : list.Rows) {
        AppendQuoted(out, row.Caption);
        for (const std::string& item : row.SubItems) {
            out.push_back('\t');
            AppendQuoted(out, item);
        }
        out.append("\r\n");
    }
    return out;
}

TBatchListFile ParseBatchList(std::string_view bytes) {
    const std::vector<std::string_view> lines = SplitLines(bytes);
    if (lines.size() < kHeaderLines) ThrowMalformed();
    if (!HeaderLineIs(lines[0], "quorvex") || !HeaderLineIs(lines[1], kVersion)) ThrowMalformed();

    TBatchListFile list;
    const std::optional<bool> combine = ReadBoolean(lines[2]);
    if (!combine) {
        throw BatchListError(BatchListError::NotBoolean, QuoteInput(lines[2]));
    }
    list.Combine = *combine;
    list.CombineFile = lines[3];
    list.CombineGenba = lines[4];
    list.Rows.reserve(lines.size() - kHeaderLines);
    for (size_t i = kHeaderLines; i < lines.size(); ++i) {
        TBatchRow& row = list.Rows.emplace_back();
        row.Caption = GetField(lines[i], 1, "\t");
        for (size_t k = 0; k < row.SubItems.size(); ++k) {
            row.SubItems[k] = GetField(lines[i], static_cast<int32_t>(k) + 2, "\t");
        }
    }
    return list;
}

TBatchListFile LoadBatchList(const std::string& path) {
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
    return ParseBatchList(bytes);
}

void SaveBatchList(const std::string& path, const TBatchListFile& list) {
    TCommitFile out(path);
    out.Write(FormatBatchList(list));
    out.Commit();
}

}  // namespace quorvex
