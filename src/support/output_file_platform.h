// What the buffered writer shared by both systems needs from the system's own
// output file code: writing a whole block to a descriptor and closing it.
#pragma once

#include <cstddef>
#include <string>

namespace quorvex {

inline constexpr size_t kFileBufferSize = 1 << 18;

// Writes all `n` bytes; throws FileError naming `path` when it cannot.
void WriteDescriptor(int fd, const char* p, size_t n, const std::string& path);
// Closes `fd`; 0 on success, else -1 with errno set.
int CloseDescriptor(int fd);

}  // namespace quorvex
