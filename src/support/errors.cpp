#include "support/errors.h"

#include <cstring>

namespace quorvex {

void ThrowFileError(const char* verb, const std::string& path, int err) {
    const std::string reason = std::strerror(err);
    throw FileError(std::string("cannot ") + verb + " \"" + path + "\": " + reason, path, reason);
}

}  // namespace quorvex
