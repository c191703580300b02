#include "support/errors.h"

#include <cstring>

namespace quorvex {

void ThrowFileError(const char* verb, const std::string& path, int err) {
    throw FileError(std::string("cannot ") + verb + " \"" + path + "\": " + std::strerror(err));
}

}  // namespace quorvex
