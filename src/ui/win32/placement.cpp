// The placement store of the Win32 face: the INI file beside the program,
// and, when that folder cannot be written, the same name under %APPDATA%.
#include <windows.h>

#include "support/paths.h"
#include "support/win32_text.h"
#include "ui/logic/messages.h"
#include "ui/logic/placement_store.h"

namespace quorvex {

TPlacementStore TPlacementStore::ForExecutable(const std::string& exePath) {
    std::wstring appData(32768, L'\0');
    const DWORD n =
        GetEnvironmentVariableW(L"APPDATA", appData.data(), static_cast<DWORD>(appData.size()));
    appData.resize(n < appData.size() ? n : 0);
    const std::string folder =
        appData.empty() ? std::string() : WideToUtf8(appData) + "\\" + msg::kAppTitle;
    return ForExecutable(exePath, folder);
}

TPlacementStore TPlacementStore::Default() {
    return ForExecutable(GetExePath());
}

}  // namespace quorvex
