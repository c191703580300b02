#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <cstdio>

#include "cli/console.h"
#include "support/win32_text.h"

namespace quorvex::cli {

std::vector<std::string> StartConsole(int, char**) {
    // Text mode would turn LF into CR LF and stop a pipe at 0x1A.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    std::vector<std::string> args;
    int n = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &n);
    if (!wide) return args;
    for (int i = 0; i < n; ++i)
        args.push_back(WideToUtf8(wide[i]));
    ::LocalFree(wide);
    return args;
}

std::string ForTerminal(std::string_view utf8) {
    UINT codePage = ::GetConsoleOutputCP();
    if (codePage == 0) codePage = ::GetACP();
    if (codePage == CP_UTF8) return std::string(utf8);
    const std::wstring wide = Utf8ToWide(utf8);
    if (wide.empty()) return {};
    const int n = ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                              n, nullptr, nullptr);
    return out;
}

void WriteMessage(std::string_view utf8) {
    const HANDLE h = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode;
    if (h != nullptr && h != INVALID_HANDLE_VALUE && ::GetConsoleMode(h, &mode)) {
        std::fflush(stderr);
        const std::wstring w = Utf8ToWide(utf8);
        DWORD written;
        ::WriteConsoleW(h, w.data(), static_cast<DWORD>(w.size()), &written, nullptr);
        return;
    }
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
}

}  // namespace quorvex::cli
