#include "support/win32_text.h"

#include <cerrno>

#include "support/errors.h"

namespace quorvex {

std::wstring Utf8ToWide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

std::string WideToUtf8(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), s.data(), n,
                          nullptr, nullptr);
    return s;
}

namespace {

// `path` with "." and ".." resolved and separators made single, as the
// system reads a path without the long-path prefix; unchanged when the
// system cannot say.
std::wstring FullPath(std::wstring path) {
    std::wstring full(path.size() + 1, L'\0');
    for (;;) {
        const DWORD n =
            ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0) return path;
        if (n < full.size()) {
            full.resize(n);
            return full;
        }
        full.resize(n);  // too small: n is the size it needs
    }
}

}  // namespace

std::wstring WidePath(std::string_view utf8) {
    std::wstring w = Utf8ToWide(utf8);
    for (wchar_t& c : w)
        if (c == L'/') c = L'\\';
    const bool drive = w.size() > 2 && w[1] == L':' && w[2] == L'\\';
    const bool unc = w.size() > 2 && w[0] == L'\\' && w[1] == L'\\' && w[2] != L'?' && w[2] != L'.';
    if (w.size() >= MAX_PATH - 12 && (drive || unc)) {
        // Only a full path may take the prefix, and it turns off the parsing
        // of "." and "..": the system resolves them first, as it does for a
        // path short enough to go without.
        w = FullPath(std::move(w));
        w = drive ? L"\\\\?\\" + w : L"\\\\?\\UNC\\" + w.substr(2);
    }
    return w;
}

void ThrowWin32FileError(const char* verb, const std::string& path, DWORD error) {
    // The usual failures get the reasons the message table words in both
    // languages; any other keeps the system's own text (a negative code).
    int err;
    // clang-format off: one line a mapping reads as the table it is
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
            err = ENOENT;
            break;
        case ERROR_ACCESS_DENIED:
            err = EACCES;
            break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            err = ENOSPC;
            break;
        case ERROR_WRITE_PROTECT:
            err = EROFS;
            break;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            err = EBUSY;
            break;
        case ERROR_FILENAME_EXCED_RANGE:
            err = ENAMETOOLONG;
            break;
        case ERROR_INVALID_NAME:
            err = EINVAL;
            break;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            err = EEXIST;
            break;
        case ERROR_TOO_MANY_OPEN_FILES:
            err = EMFILE;
            break;
        case ERROR_CRC:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
            err = EIO;
            break;
        default:
            err = -static_cast<int>(error);
            break;
    }
    // clang-format on
    ThrowFileError(verb, path, err);
}

}  // namespace quorvex
