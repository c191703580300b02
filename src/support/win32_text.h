// Windows only: UTF-8 paths and texts to and from the UTF-16 of the "W"
// functions, and file errors with the system's reason.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quorvex {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// A path for the "W" file functions: UTF-16, with "/" turned into "\", and
// the long-path prefix where the path is absolute and too long for MAX_PATH.
std::wstring WidePath(std::string_view utf8);

// ThrowFileError with the reason of Windows error `error`.
[[noreturn]] void ThrowWin32FileError(const char* verb, const std::string& path, DWORD error);

}  // namespace quorvex
