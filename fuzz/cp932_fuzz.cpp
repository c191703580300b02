// libFuzzer target: the code page 932 conversions both ways. Text that
// encodes must decode to itself.
#include <cstdlib>
#include <string_view>

#include "support/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvex;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string decoded = Cp932ToUtf8(bytes);
    (void)Utf8ToCp932(decoded);
    if (const auto encoded = Utf8ToCp932(bytes)) {
        if (Cp932ToUtf8(*encoded).empty() != bytes.empty()) std::abort();
        if (IsCp932Encodable(bytes) != true) std::abort();
    }
    return 0;
}
