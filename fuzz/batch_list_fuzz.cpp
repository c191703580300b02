// libFuzzer target: the batch-list loader on any bytes, code page 932 or
// UTF-8 (with or without a byte-order mark), rows short of fields included. A
// list it accepts must come back through saving and loading value for value,
// a UTF-8 list must load as its code page 932 form, and leaving blank lines
// out must leave out exactly those rows.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "engine/batch_list.h"
#include "fuzz_files.h"
#include "support/charset.h"
#include "support/cp932.h"

namespace {

using namespace quorvex;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool SameList(const TBatchListFile& a, const TBatchListFile& b) {
    if (a.Combine != b.Combine || a.CombineFile != b.CombineFile ||
        a.CombineGenba != b.CombineGenba || a.Rows.size() != b.Rows.size())
        return false;
    for (size_t i = 0; i < a.Rows.size(); ++i)
        if (a.Rows[i].Caption != b.Rows[i].Caption || a.Rows[i].SubItems != b.Rows[i].SubItems ||
            a.Rows[i].Zone != b.Rows[i].Zone)
            return false;
    return true;
}

bool HasHighByte(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) > 0x7F) return true;
    return false;
}

// Text that reads as UTF-8 by the loader's rule, whatever it was meant as.
bool LooksUtf8(std::string_view s) {
    return HasHighByte(s) && IsValidUtf8(s);
}

std::optional<TBatchListFile> Parse(std::string_view bytes) {
    try {
        return ParseBatchList(bytes);
    } catch (const QuorvexError&) {
        return std::nullopt;
    }
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// A UTF-8 list is its code page 932 form read as UTF-8: the same rows, or
// refused when code page 932 lacks one of its characters.
void CheckUtf8List(std::string_view bytes, const std::optional<TBatchListFile>& loaded) {
    const bool marked = bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
    const std::string_view body = marked ? bytes.substr(kByteOrderMark.size()) : bytes;
    if (!marked && !HasHighByte(body)) return;
    const std::optional<std::string> cp932 = Utf8ToCp932(body);
    if (!cp932) {
        if (marked && loaded) Fail("a marked UTF-8 list that code page 932 cannot hold loaded");
        return;
    }
    if (LooksUtf8(*cp932)) return;  // its code page 932 form would read as UTF-8 again
    const std::optional<TBatchListFile> expected = Parse(*cp932);
    if (loaded.has_value() != expected.has_value() || (loaded && !SameList(*loaded, *expected)))
        Fail("a UTF-8 list loads unlike its code page 932 form");
}

// Leaving blank job lines out (as the command line does) leaves out exactly
// the rows the window shows empty, and keeps the others as they are.
void CheckBlankLinesSkipped(std::string_view bytes, const TBatchListFile& list) {
    const TBatchListFile skipped = ParseBatchList(bytes, TBlankJobLines::Skip);
    size_t kept = 0;
    for (size_t i = 0; i < list.Rows.size(); ++i) {
        const TBatchRow& row = list.Rows[i];
        bool empty = row.Caption.empty() && row.Zone == 0;
        for (const std::string& item : row.SubItems)
            empty = empty && item.empty();
        if (kept < skipped.Rows.size() && skipped.RowLines[kept] == list.RowLines[i]) {
            const TBatchRow& other = skipped.Rows[kept];
            if (other.Caption != row.Caption || other.SubItems != row.SubItems ||
                other.Zone != row.Zone)
                Fail("a row changes when blank lines are left out");
            ++kept;
        } else if (!empty) {
            Fail("a row that is not blank was left out");
        }
    }
    if (kept != skipped.Rows.size()) Fail("leaving blank lines out made rows");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::optional<TBatchListFile> list;
    try {
        list = LoadBatchList(fuzz::Put("list.txt", bytes));
    } catch (const QuorvexError&) {
    }
    CheckUtf8List(bytes, list);
    if (!list) return 0;
    CheckBlankLinesSkipped(bytes, *list);
    const std::string saved = FormatBatchList(*list);
    // A saved list is code page 932; one that happens to be valid UTF-8 as
    // well is read as UTF-8 by rule, so it cannot come back unchanged.
    if (LooksUtf8(saved)) return 0;
    const std::optional<TBatchListFile> again = Parse(saved);
    if (!again || !SameList(*again, *list)) Fail("a saved list does not load as it was");
    return 0;
}
