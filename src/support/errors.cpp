#include "support/errors.h"

#include <algorithm>
#include <cstring>

namespace quorvex {

void ThrowFileError(const char* verb, const std::string& path, int err) {
    const std::string reason = std::strerror(err);
    // Appended piece by piece: g++ 12 warns falsely on a chain of operator+.
    std::string message = "cannot ";
    message.append(verb).append(" \"").append(path).append("\": ").append(reason);
    throw FileError(message, path, reason);
}

void ThrowPathProblem(const char* verb, const std::string& path, TPathProblem problem) {
    const char* what = "";
    switch (problem) {
        case TPathProblem::Folder:
            what = "it is a folder, not a file";
            break;
        case TPathProblem::Fifo:
            what = "it is a FIFO, not a regular file";
            break;
        case TPathProblem::Device:
            what = "it is a device, not a regular file";
            break;
        case TPathProblem::Socket:
            what = "it is a socket, not a regular file";
            break;
        case TPathProblem::OtherKind:
            what = "it is not a regular file";
            break;
        case TPathProblem::DanglingLink:
            what = "it is a symbolic link to a file that does not exist";
            break;
        case TPathProblem::NoFolder:
            what = "its folder does not exist";
            break;
    }
    std::string message = "cannot ";
    message.append(verb).append(" \"").append(path).append("\": ").append(what);
    throw FileError(message, path, what);
}

std::string QuoteInput(std::string_view text) {
    constexpr size_t kMaxBytes = 80;
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    const size_t n = std::min(text.size(), kMaxBytes);
    out.reserve(n + 8);
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 32 || c == 127) {
            out.append("\\x").push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    if (text.size() > kMaxBytes) out.append("\xE2\x80\xA6");  // "…"
    return out;
}

}  // namespace quorvex
