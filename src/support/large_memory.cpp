#include "support/large_memory.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace quorvex {

#if defined(__linux__)

namespace {

constexpr size_t kHugePage = size_t(2) << 20;

}  // namespace

// Small arrays come from the heap; large ones are mapped with room to start
// at a huge-page boundary, the unused ends given back.
void* AllocateZeroed(size_t bytes) {
    if (bytes < kHugePage) {
        void* p = std::calloc(bytes ? bytes : 1, 1);
        if (!p) throw std::bad_alloc();
        return p;
    }
    const size_t span = bytes + kHugePage;
    void* raw = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + kHugePage - 1) & ~(uintptr_t(kHugePage) - 1);
    if (aligned > start) ::munmap(raw, aligned - start);
    const uintptr_t end = start + span, used = aligned + bytes;
    if (end > used) ::munmap(reinterpret_cast<void*>(used), end - used);
    void* p = reinterpret_cast<void*>(aligned);
    ::madvise(p, bytes, MADV_HUGEPAGE);  // a hint: without it, plain pages
    return p;
}

void FreeZeroed(void* p, size_t bytes) noexcept {
    if (bytes < kHugePage)
        std::free(p);
    else
        ::munmap(p, bytes);
}

#else

void* AllocateZeroed(size_t bytes) {
    void* p = std::calloc(bytes ? bytes : 1, 1);
    if (!p) throw std::bad_alloc();
    return p;
}

void FreeZeroed(void* p, size_t) noexcept {
    std::free(p);
}

#endif

}  // namespace quorvex
