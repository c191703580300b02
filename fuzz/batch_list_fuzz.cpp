// libFuzzer target: the batch-list loader on any bytes; a list it accepts
// must come back unchanged through saving and loading.
#include <cstdlib>
#include <string_view>

#include "engine/batch_list.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvex;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TBatchListFile list;
    try {
        list = LoadBatchList(fuzz::Put("list.txt", bytes));
    } catch (const QuorvexError&) {
        return 0;
    }
    const TBatchListFile again = ParseBatchList(FormatBatchList(list));
    if (again.Rows.size() != list.Rows.size() || again.Combine != list.Combine) std::abort();
    return 0;
}
