#include "support/install_layout.h"

#include "support/paths.h"

namespace quorvex {
namespace {

// A folder name compared as Windows compares it, short of Unicode case.
std::string FolderKey(std::string_view dir) {
    std::string key(dir);
    for (char& c : key) {
        if (c == '/') c = '\\';
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    return key;
}

}  // namespace

std::string RegisteredInstallDir(std::string_view exePath, std::string_view registered) {
    // Windows paths on every system, so that this rule is tested everywhere.
    const size_t name = exePath.find_last_of("/\\");
    if (name == std::string_view::npos) return {};
    const std::string dir(exePath.substr(0, name + 1));
    const std::string key = FolderKey(registered);
    if (key.empty() || FolderKey(dir) != key) return {};
    return dir;
}

std::string FindProgramFile(std::string_view exePath, std::string_view ext) {
    const std::string beside = ChangeFileExt(exePath, ext);
    if (FileExists(beside)) return beside;
    const std::string data = InstalledDataDir(exePath);
    if (!data.empty()) {
        const std::string installed = data + GetBaseName(exePath) + std::string(ext);
        if (FileExists(installed)) return installed;
    }
    return beside;
}

}  // namespace quorvex
