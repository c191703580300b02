// Errors of the engine. File errors come from opening, reading and writing
// files; conversion errors from text that does not convert or an object that
// is malformed. Both carry a message ready to show.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvex {

struct QuorvexError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct FileError : QuorvexError {
    explicit FileError(const std::string& message, std::string path = {}, std::string reason = {})
        : QuorvexError(message), path(std::move(path)), reason(std::move(reason)) {}
    std::string path;    // the file concerned, when known
    std::string reason;  // the system's reason, when there is one
};

struct ConversionError : QuorvexError {
    using QuorvexError::QuorvexError;
};

// The reason given for an allocation failure.
inline constexpr const char* kOutOfMemory = "out of memory";
// The reason given for a job without an output path.
inline constexpr const char* kNoDestination = "no destination SIMA file given";

// "cannot <verb> "<path>": <reason of errno>"
[[noreturn]] void ThrowFileError(const char* verb, const std::string& path, int err);

// Why a path cannot be read or written although it exists (or its folder
// does not).
enum class TPathProblem { Folder, Fifo, Device, Socket, OtherKind, DanglingLink, NoFolder };
// "cannot <verb> "<path>": <the problem>"
[[noreturn]] void ThrowPathProblem(const char* verb, const std::string& path, TPathProblem problem);

// A piece of input quoted in a message: at most 80 bytes, control bytes and
// NUL escaped as \xNN, "…" when cut.
std::string QuoteInput(std::string_view text);

}  // namespace quorvex
