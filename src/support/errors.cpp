#include "support/errors.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace quorvex {

void ThrowFileError(const char* verb, const std::string& path, int err) {
    static constexpr std::pair<const char*, TMsg> kVerbs[] = {
        {"open", TMsg::CannotOpen},       {"read", TMsg::CannotRead},
        {"write", TMsg::CannotWrite},     {"create", TMsg::CannotCreate},
        {"replace", TMsg::CannotReplace}, {"sync the folder of", TMsg::CannotSyncFolder},
    };
    TMsg id = TMsg::CannotOpen;
    for (const auto& [name, msg] : kVerbs)
        if (std::strcmp(verb, name) == 0) id = msg;
    throw FileError(TMessage(id, {path}, err), path);
}

void ThrowPathProblem(const char* verb, const std::string& path, TPathProblem problem) {
    TMsg id = TMsg::PathNotRegular;
    switch (problem) {
        case TPathProblem::Folder:
            id = TMsg::PathIsFolder;
            break;
        case TPathProblem::Fifo:
            id = TMsg::PathIsFifo;
            break;
        case TPathProblem::Device:
            id = TMsg::PathIsDevice;
            break;
        case TPathProblem::Socket:
            id = TMsg::PathIsSocket;
            break;
        case TPathProblem::OtherKind:
            id = TMsg::PathNotRegular;
            break;
        case TPathProblem::DanglingLink:
            id = TMsg::DanglingLink;
            break;
        case TPathProblem::NoFolder:
            id = TMsg::NoFolder;
            break;
    }
    throw FileError(TMessage(id, {path, verb}), path);
}

std::string QuoteInput(std::string_view text) {
    return QuoteValue(text);
}

TMessage MessageOf(const std::exception& e) {
    if (const auto* q = dynamic_cast<const QuorvexError*>(&e)) return q->message;
    if (dynamic_cast<const std::bad_alloc*>(&e)) return TMsg::OutOfMemory;
    return {TMsg::Unexpected, {e.what()}};
}

}  // namespace quorvex
