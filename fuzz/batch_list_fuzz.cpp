// libFuzzer target: the batch-list loader on any bytes, in both of its
// encodings; a list it accepts must come back unchanged through saving and
// loading, and leaving blank lines out must leave out exactly those rows.
#include <cstdlib>
#include <string_view>

#include "engine/batch_list.h"
#include "fuzz_files.h"
#include "support/charset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvex;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TBatchListFile list;
    try {
        list = LoadBatchList(fuzz::Put("list.txt", bytes));
    } catch (const QuorvexError&) {
        return 0;
    }
    const TBatchListFile skipped = ParseBatchList(bytes, TBlankJobLines::Skip);
    size_t kept = 0;
    for (size_t i = 0; i < list.Rows.size(); ++i) {
        const TBatchRow& row = list.Rows[i];
        bool empty = row.Caption.empty();
        for (const std::string& item : row.SubItems)
            empty = empty && item.empty();
        if (kept < skipped.Rows.size() && skipped.RowLines[kept] == list.RowLines[i]) {
            const TBatchRow& other = skipped.Rows[kept];
            if (other.Caption != row.Caption || other.SubItems != row.SubItems) std::abort();
            ++kept;
        } else if (!empty) {
            std::abort();  // only a blank line may be left out
        }
    }
    if (kept != skipped.Rows.size()) std::abort();

    // Saved code page 932 bytes that happen to be UTF-8 throughout (no row
    // has a "○" or "×", whose first byte UTF-8 never starts with) are read
    // as an editor's UTF-8 list: the encoding rule cannot tell them apart.
    const std::string saved = FormatBatchList(list);
    bool high = false;
    for (const char c : saved)
        high = high || static_cast<unsigned char>(c) > 0x7F;
    if (high && IsValidUtf8(saved)) return 0;
    const TBatchListFile again = ParseBatchList(saved);
    if (again.Rows.size() != list.Rows.size() || again.Combine != list.Combine) std::abort();
    return 0;
}
