// What the buffered writer shared by both systems needs from the system's own
// output file code: writing a whole block to a descriptor and closing it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvex {

inline constexpr size_t kFileBufferSize = 1 << 18;

// Writes all `n` bytes; throws FileError naming `path` when it cannot.
void WriteDescriptor(int fd, const char* p, size_t n, const std::string& path);
// Closes `fd`; 0 on success, else -1 with errno set.
int CloseDescriptor(int fd);
// The file position of `fd`; throws FileError naming `path`.
uint64_t DescriptorPosition(int fd, const std::string& path);
// Cuts the file of `fd` to `size` bytes and moves its position there; throws
// FileError naming `path`.
void TruncateDescriptor(int fd, uint64_t size, const std::string& path);

}  // namespace quorvex
