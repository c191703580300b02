#include "support/win32_text.h"

#include "support/errors.h"

namespace quorvex {

std::wstring Utf8ToWide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                        nullptr, 0);
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

std::wstring WidePath(std::string_view utf8) {
    std::wstring w = Utf8ToWide(utf8);
    for (wchar_t& c : w)
        if (c == L'/') c = L'\\';
    const bool drive = w.size() > 2 && w[1] == L':' && w[2] == L'\\';
    const bool unc = w.size() > 2 && w[0] == L'\\' && w[1] == L'\\' && w[2] != L'?' && w[2] != L'.';
    if (w.size() >= MAX_PATH - 12 && (drive || unc)) {
        // Only a full path may take the prefix; it turns off the parsing of
        // "." and "..", so those are left to the system where short enough.
        w = drive ? L"\\\\?\\" + w : L"\\\\?\\UNC\\" + w.substr(2);
    }
    return w;
}

void ThrowWin32FileError(const char* verb, const std::string& path, DWORD error) {
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring_view w(text ? text : L"", n);
    while (!w.empty() && (w.back() == L'\r' || w.back() == L'\n' || w.back() == L' ' ||
                          w.back() == L'.'))
        w.remove_suffix(1);
    std::string reason = w.empty() ? "Windows error " + std::to_string(error) : WideToUtf8(w);
    if (text) ::LocalFree(text);
    std::string message = "cannot ";
    message.append(verb).append(" \"").append(path).append("\": ").append(reason);
    throw FileError(message, path, reason);
}

}  // namespace quorvex
