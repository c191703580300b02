// An installed program on Windows: the installer registers its folder under
// the program's key, in HKEY_CURRENT_USER for a per-user installation and in
// HKEY_LOCAL_MACHINE for a per-machine one. A copy elsewhere (the portable
// zip, a build folder) is not installed, even while an installation exists.
#include <windows.h>

#include "support/install_layout.h"
#include "support/win32_text.h"

namespace quorvex {
namespace {

constexpr const wchar_t* kProgramKey = L"Software\\Quorvex\\Quorvex Converter";

std::string RegisteredFolder(HKEY root) {
    DWORD bytes = 0;
    if (RegGetValueW(root, kProgramKey, L"InstallDir", RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        bytes < sizeof(wchar_t) || bytes > 65536)
        return {};
    std::wstring value(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(root, kProgramKey, L"InstallDir", RRF_RT_REG_SZ, nullptr, value.data(),
                     &bytes) != ERROR_SUCCESS)
        return {};
    value.resize(bytes / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0')
        value.pop_back();
    return WideToUtf8(value);
}

}  // namespace

std::string InstalledDataDir(std::string_view exePath) {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        std::string dir = RegisteredInstallDir(exePath, RegisteredFolder(root));
        if (!dir.empty()) return dir;
    }
    return {};
}

}  // namespace quorvex
