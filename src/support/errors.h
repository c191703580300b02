// Errors of the engine. File errors come from opening, reading and writing
// files; conversion errors from text that does not convert or an object that
// is malformed. Each carries its message (support/messages.h), shown in the
// reader's language; what() gives it in English.
#pragma once

#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

#include "support/messages.h"

namespace quorvex {

struct QuorvexError : std::runtime_error {
    explicit QuorvexError(TMessage why)
        : std::runtime_error(why.Text(TLanguage::English)), message(std::move(why)) {}
    // A text of its own, the same in every language.
    explicit QuorvexError(const std::string& text) : QuorvexError(TMessage(TMsg::Text, {text})) {}
    TMessage message;
};

struct FileError : QuorvexError {
    explicit FileError(TMessage why, std::string file = {})
        : QuorvexError(std::move(why)), path(std::move(file)) {}
    std::string path;  // the file concerned, when known
};

struct ConversionError : QuorvexError {
    using QuorvexError::QuorvexError;
};

// FileError "cannot <verb> "<path>": <reason of errno>", the verb one of
// open, read, write, create, replace, "sync the folder of".
[[noreturn]] void ThrowFileError(const char* verb, const std::string& path, int err);

// Why a path cannot be read or written although it exists (or its folder
// does not).
enum class TPathProblem { Folder, Fifo, Device, Socket, OtherKind, DanglingLink, NoFolder };
// "cannot <verb> "<path>": <the problem>"
[[noreturn]] void ThrowPathProblem(const char* verb, const std::string& path, TPathProblem problem);

// A piece of input quoted in a message (QuoteValue). Messages quote their
// values themselves; this serves texts built before they become one.
std::string QuoteInput(std::string_view text);

// The message of any error that reaches the user: an engine error's own,
// "out of memory", or the unexpected error's text.
TMessage MessageOf(const std::exception& e);

}  // namespace quorvex
