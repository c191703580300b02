// Large zero-filled arrays for the point table's index: on Linux they come
// straight from the kernel, already zero, and are backed by huge pages where
// the system allows it, since the table is probed at random and otherwise
// spends much of its time on address translation.
#pragma once

#include <cstddef>
#include <memory>

namespace quorvex {

// Returns `bytes` of zeroed memory; throws std::bad_alloc when there is none.
void* AllocateZeroed(size_t bytes);
// Releases memory from AllocateZeroed(bytes).
void FreeZeroed(void* p, size_t bytes) noexcept;

// An array of `n` zeroed trivially copyable T from AllocateZeroed.
template <typename T>
class TZeroedArray {
  public:
    TZeroedArray() = default;
    explicit TZeroedArray(size_t n) : p_(static_cast<T*>(AllocateZeroed(n * sizeof(T)))), n_(n) {}
    ~TZeroedArray() { Reset(); }
    TZeroedArray(TZeroedArray&& o) noexcept : p_(o.p_), n_(o.n_) { o.p_ = nullptr, o.n_ = 0; }
    TZeroedArray& operator=(TZeroedArray&& o) noexcept {
        if (this != &o) {
            Reset();
            p_ = o.p_, n_ = o.n_;
            o.p_ = nullptr, o.n_ = 0;
        }
        return *this;
    }
    TZeroedArray(const TZeroedArray&) = delete;
    TZeroedArray& operator=(const TZeroedArray&) = delete;

    T& operator[](size_t i) { return p_[i]; }
    const T& operator[](size_t i) const { return p_[i]; }
    size_t size() const { return n_; }
    void Reset() noexcept {
        if (p_) FreeZeroed(p_, n_ * sizeof(T));
        p_ = nullptr;
        n_ = 0;
    }

  private:
    T* p_ = nullptr;
    size_t n_ = 0;
};

}  // namespace quorvex
