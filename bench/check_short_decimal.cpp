// Checks ParseShortDecimal, which reads eight digits at a time, against the
// same rule a character at a time (ParseShortDecimalScalar): the same end,
// the same refusal, the same value bit for bit, on many millions of texts
// that mix digits, signs, points, exponents and blanks, of every length, at
// the end of their buffer or before more text. Run by hand after changing
// the vertex reader:
//   check_short_decimal [MILLIONS]   (default 50)
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "mif/mif_numbers.h"

int main(int argc, char** argv) {
    const uint64_t millions = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 50;
    std::mt19937_64 rng(20261208);
    static const char kAlphabet[] = "0123456789012345678901234567890123456789..--+eE \t,x";
    uint64_t checked = 0, failed = 0, parsed = 0;
    std::string text;
    for (uint64_t i = 0; i < millions * 1000000; ++i) {
        text.clear();
        const uint64_t r = rng();
        // Mostly coordinates as MIF files write them, sometimes anything.
        if (r % 4 != 0) {
            if (r & 16) text += '-';
            const int intDigits = static_cast<int>((r >> 8) % 12);
            for (int k = 0; k < intDigits; ++k)
                text += static_cast<char>('0' + rng() % 10);
            if ((r >> 12) % 3 != 0) {
                text += '.';
                const int fracDigits = static_cast<int>((r >> 16) % 12);
                for (int k = 0; k < fracDigits; ++k)
                    text += static_cast<char>('0' + rng() % 10);
            }
            if ((r >> 20) % 2) text += ' ';
        }
        const int extra = static_cast<int>((r >> 24) % 24);
        for (int k = 0; k < extra; ++k)
            text += kAlphabet[rng() % (sizeof kAlphabet - 1)];
        // The text ends its buffer (a heap copy of exactly its length), or
        // its end is cut short with more text in the buffer behind it.
        const size_t cut = (r >> 32) % 2 ? text.size() : rng() % (text.size() + 1);
        char* buf = static_cast<char*>(std::malloc(text.empty() ? 1 : text.size()));
        std::memcpy(buf, text.data(), text.size());
        double a = -1, b = -1;
        const char* pa = quorvex::ParseShortDecimal(buf, buf + cut, a);
        const char* pb = quorvex::ParseShortDecimalScalar(buf, buf + cut, b);
        ++checked;
        if (pa) ++parsed;
        if (pa != pb || (pa && std::memcmp(&a, &b, sizeof a) != 0)) {
            if (++failed <= 20)
                std::printf("MISMATCH '%.*s': %ld %.17g / %ld %.17g\n", int(cut), buf,
                            pa ? long(pa - buf) : -1L, a, pb ? long(pb - buf) : -1L, b);
        }
        std::free(buf);
    }
    std::printf("%llu texts checked (%llu numbers), %llu mismatches\n", (unsigned long long)checked,
                (unsigned long long)parsed, (unsigned long long)failed);
    return failed == 0 ? 0 : 1;
}
