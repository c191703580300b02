#include "support/errors.h"

#include <cstring>

namespace quorvex {

void ThrowFileError(const char* verb, const std::string& path, int err) {
    const std::string reason = std::strerror(err);
    // Appended piece by piece: g++ 12 warns falsely on a chain of operator+.
    std::string message = "cannot ";
    message.append(verb).append(" \"").append(path).append("\": ").append(reason);
    throw FileError(message, path, reason);
}

}  // namespace quorvex
