#include "ui/win32/instances.h"

#include <shellapi.h>

#include <string_view>

#include "support/win32_text.h"
#include "ui/win32/MainFrm.h"

namespace quorvex {
namespace {

std::wstring FullPath(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD n = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (n == 0 || n >= size) return path;
    full.resize(n);
    return full;
}

}  // namespace

std::vector<std::string> CommandLineFiles(const wchar_t* commandLine) {
    std::vector<std::string> files;
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(commandLine, &count);
    if (!args) return files;
    for (int i = 1; i < count; ++i)
        if (args[i][0] != L'\0') files.push_back(WideToUtf8(FullPath(args[i])));
    LocalFree(args);
    return files;
}

std::string PackFiles(const std::vector<std::string>& files) {
    std::string data;
    for (const std::string& file : files) {
        data += file;
        data += '\0';
    }
    return data;
}

std::vector<std::string> UnpackFiles(const void* data, DWORD size) {
    std::vector<std::string> files;
    if (!data || size == 0 || size > kMaxCopyDataFiles) return files;
    const std::string_view bytes(static_cast<const char*>(data), size);
    if (bytes.back() != '\0') return files;
    for (size_t start = 0; start < bytes.size();) {
        const size_t end = bytes.find('\0', start);
        if (end > start) files.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return files;
}

bool SendFilesToWindow(HWND window, const std::vector<std::string>& files) {
    const std::string data = PackFiles(files);
    if (!window || data.empty() || data.size() > kMaxCopyDataFiles) return false;
    // The window that takes the files may come to the front.
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    AllowSetForegroundWindow(process);
    COPYDATASTRUCT copy{kCopyDataFiles, static_cast<DWORD>(data.size()),
                        const_cast<char*>(data.data())};
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy),
                               SMTO_ABORTIFHUNG, 10000, &result) != 0 &&
           result == TRUE;
}

bool PassFilesToFirstStart(const std::vector<std::string>& files) {
    // Held until the program ends: later starts see that one came first.
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\QuorvexConverter.Window");
    const bool later = mutex && GetLastError() == ERROR_ALREADY_EXISTS;
    if (files.empty() || !later) return false;
    // The first start may still be making its window (a file manager starts
    // one program per file at once).
    for (int tries = 0; tries < 100; ++tries) {
        if (HWND window = TfrmMain::FindRunning()) return SendFilesToWindow(window, files);
        Sleep(50);
    }
    return false;
}

}  // namespace quorvex
