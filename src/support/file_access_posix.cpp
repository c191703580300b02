#include <fcntl.h>
#include <unistd.h>

#include "support/file_access.h"

namespace quorvex {

int OpenForReading(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

std::FILE* OpenStream(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

bool CanWriteFile(const std::string& path) {
    if (::access(path.c_str(), F_OK) == 0) return ::access(path.c_str(), W_OK) == 0;
    const size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    return ::access(dir.c_str(), W_OK | X_OK) == 0;
}

void RemoveFileQuietly(const std::string& path) {
    ::unlink(path.c_str());
}

}  // namespace quorvex
