// libFuzzer target: the batch-list loader on any bytes, code page 932 or
// UTF-8 (with or without a byte-order mark), rows short of fields included. A
// list it accepts must come back through saving and loading with its rows.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "engine/batch_list.h"
#include "fuzz_files.h"
#include "support/cp932.h"

// 1: a UTF-8 list loads as its code page 932 form would. 0 until the loader
// reads UTF-8 lists.
#ifndef QUORVEX_FUZZ_UTF8_LISTS
#define QUORVEX_FUZZ_UTF8_LISTS 0
#endif
// 1: a list comes back from saving with every value unchanged, not only its
// rows. 0 while a value that ends in a lone lead byte swallows its closing
// quote on loading and so reads differently once saved.
#ifndef QUORVEX_FUZZ_LIST_ROUNDTRIP_EXACT
#define QUORVEX_FUZZ_LIST_ROUNDTRIP_EXACT 0
#endif

namespace {

using namespace quorvex;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool SameList(const TBatchListFile& a, const TBatchListFile& b) {
    if (a.Combine != b.Combine || a.CombineFile != b.CombineFile ||
        a.CombineGenba != b.CombineGenba || a.Rows.size() != b.Rows.size())
        return false;
    for (size_t i = 0; i < a.Rows.size(); ++i)
        if (a.Rows[i].Caption != b.Rows[i].Caption || a.Rows[i].SubItems != b.Rows[i].SubItems)
            return false;
    return true;
}

bool HasHighByte(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) > 0x7F) return true;
    return false;
}

// Well-formed UTF-8: no overlong forms, surrogates or codes past U+10FFFF.
bool IsUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        size_t n = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            n = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            n = 2;
            if (b == 0xE0) lo = 0xA0;
            if (b == 0xED) hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            n = 3;
            if (b == 0xF0) lo = 0x90;
            if (b == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (i + n >= s.size()) return false;
        for (size_t k = 1; k <= n; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if (c < (k == 1 ? lo : 0x80) || c > (k == 1 ? hi : 0xBF)) return false;
        }
        i += n + 1;
    }
    return true;
}

// Text that reads as UTF-8 by the loader's rule, whatever it was meant as.
bool LooksUtf8(std::string_view s) {
    return HasHighByte(s) && IsUtf8(s);
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::optional<TBatchListFile> list;
    try {
        list = LoadBatchList(fuzz::Put("list.txt", bytes));
    } catch (const QuorvexError&) {
    }
    if (QUORVEX_FUZZ_UTF8_LISTS) CheckUtf8List(bytes, list);
    if (!list) return 0;
    const std::string saved = FormatBatchList(*list);
    // A saved list is code page 932; one that happens to be valid UTF-8 as
    // well is read as UTF-8 by rule, so it cannot come back unchanged.
    if (QUORVEX_FUZZ_UTF8_LISTS && LooksUtf8(saved)) return 0;
    const std::optional<TBatchListFile> again = Parse(saved);
    if (!again || again->Rows.size() != list->Rows.size() || again->Combine != list->Combine)
        Fail("a saved list does not load with its rows");
    if (QUORVEX_FUZZ_LIST_ROUNDTRIP_EXACT && !SameList(*again, *list))
        Fail("a saved list does not load as it was");
    return 0;
}
