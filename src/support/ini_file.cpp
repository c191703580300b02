#include "support/ini_file.h"

#include <fstream>
#include <sstream>

#include "support/paths.h"
#include "support/text.h"

namespace quorvex {
namespace {

constexpr size_t npos = std::string::npos;

// The section name of a "[name]" line, or nothing.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

// The key of a "key=value" line, or nothing for comments and other lines.
std::optional<std::string_view> KeyName(std::string_view line) {
    const std::string_view t = TrimLeft(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return TrimRight(t.substr(0, eq));
}

std::string_view ValueOf(std::string_view line) {
    return Trim(line.substr(line.find('=') + 1));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<int32_t> ParseIniInteger(std::string_view text) {
    text = Trim(text);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const std::string_view digits = text.substr(2);
        if (digits.size() > 8) return std::nullopt;
        uint32_t v = 0;
        for (char c : digits) {
            const int d = HexDigit(c);
            if (d < 0) return std::nullopt;
            v = v * 16 + static_cast<uint32_t>(d);
        }
        return static_cast<int32_t>(v);
    }
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > int64_t{1} << 31) return std::nullopt;
    }
    if (negative) v = -v;
    if (v > INT32_MAX || v < INT32_MIN) return std::nullopt;
    return static_cast<int32_t>(v);
}

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {
    std::ifstream in(NativePath(path_), std::ios::binary);
    if (!in) return;
    std::ostringstream s;
    s << in.rdbuf();
    const std::string text = s.str();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back(std::move(line));
        start = end + 1;
    }
}

size_t TIniFile::FindSection(std::string_view section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        const auto name = SectionName(lines_[i]);
        if (name && EqualsIgnoringAsciiCase(*name, section)) return i;
    }
    return npos;
}

size_t TIniFile::SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < lines_.size() && !SectionName(lines_[i]))
        ++i;
    return i;
}

size_t TIniFile::FindKey(size_t header, std::string_view key) const {
    const size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        const auto name = KeyName(lines_[i]);
        if (name && EqualsIgnoringAsciiCase(*name, key)) return i;
    }
    return npos;
}

std::optional<std::string> TIniFile::ReadString(std::string_view section,
                                                std::string_view key) const {
    const size_t header = FindSection(section);
    if (header == npos) return std::nullopt;
    const size_t line = FindKey(header, key);
    if (line == npos) return std::nullopt;
    return std::string(ValueOf(lines_[line]));
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
    const auto text = ReadString(section, key);
    if (!text) return def;
    return ParseIniInteger(*text).value_or(def);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::string entry = std::string(key) + "=" + std::string(value);
    size_t header = FindSection(section);
    if (header == npos) {
        if (!lines_.empty() && !IsBlankLine(lines_.back())) lines_.emplace_back();
        std::string sectionLine(1, '[');
        sectionLine.append(section).push_back(']');
        lines_.push_back(std::move(sectionLine));
        lines_.push_back(std::move(entry));
        return;
    }
    const size_t line = FindKey(header, key);
    if (line != npos) {
        // Keep the spelling the file already uses for the key.
        lines_[line] = std::string(*KeyName(lines_[line])) + "=" + std::string(value);
        return;
    }
    // After the section's last non-blank line, so a blank line that separates
    // it from the next section stays in place.
    size_t at = SectionEnd(header);
    while (at > header + 1 && IsBlankLine(lines_[at - 1]))
        --at;
    lines_.insert(lines_.begin() + static_cast<ptrdiff_t>(at), std::move(entry));
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

std::string TIniFile::Text() const {
    std::string text;
    for (const auto& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool TIniFile::UpdateFile() const {
    std::ofstream out(NativePath(path_), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    const std::string text = Text();
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace quorvex
