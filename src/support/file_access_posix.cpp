#include <fcntl.h>

#include "support/file_access.h"

namespace quorvex {

int OpenForReading(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

std::FILE* OpenStream(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

}  // namespace quorvex
