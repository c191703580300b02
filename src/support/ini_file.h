// A small INI file reader and writer in the manner of the Windows profile
// functions: sections and keys match without regard to ASCII case, and every
// line the program does not write itself (other sections, keys, comments,
// blank lines) survives a write.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

class TIniFile {
  public:
    // Reads `path` when it exists; a missing or unreadable file reads as empty.
    explicit TIniFile(std::string path);

    // The value with blanks trimmed; nothing when the section or key is absent.
    std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
    // Decimal, or hexadecimal after "0x"/"0X"; `def` when absent or not a number.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;

    // Changes the text in memory; the section and key are added when absent.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);

    // Writes the whole text to `path` (CR LF line ends), creating the file.
    // False when the file cannot be written.
    bool UpdateFile() const;

    // The text as it would be written.
    std::string Text() const;

  private:
    // Index of the section's header line, or npos.
    size_t FindSection(std::string_view section) const;
    // Index past the last line of the section opened at `header`.
    size_t SectionEnd(size_t header) const;
    // Index of the key's line within the section opened at `header`, or npos.
    size_t FindKey(size_t header, std::string_view key) const;

    std::string path_;
    std::vector<std::string> lines_;
};

// Whole number of a profile value: optional sign and decimal digits, or "0x"
// followed by hexadecimal digits. Nothing when the text is anything else or
// does not fit in 32 bits.
std::optional<int32_t> ParseIniInteger(std::string_view text);

}  // namespace quorvex
