#include "support/errors.h"

#include <cstring>
#include <new>

namespace quorvex {

void ThrowFileError(const char* verb, const std::string& path, int err) {
    static constexpr std::pair<const char*, TMsg> kVerbs[] = {
        {"open", TMsg::CannotOpen},     {"read", TMsg::CannotRead},
        {"write", TMsg::CannotWrite},   {"create", TMsg::CannotCreate},
        {"replace", TMsg::CannotReplace},
    };
    TMsg id = TMsg::CannotOpen;
    for (const auto& [name, msg] : kVerbs)
        if (std::strcmp(verb, name) == 0) id = msg;
    throw FileError(TMessage(id, {path}, err), path);
}

TMessage MessageOf(const std::exception& e) {
    if (const auto* q = dynamic_cast<const QuorvexError*>(&e)) return q->message;
    if (dynamic_cast<const std::bad_alloc*>(&e)) return TMsg::OutOfMemory;
    return {TMsg::Unexpected, {e.what()}};
}

}  // namespace quorvex
