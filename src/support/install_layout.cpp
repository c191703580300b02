#include "support/install_layout.h"

#include <sys/stat.h>

#include "support/paths.h"

namespace quorvex {

std::string InstalledDataDir(std::string_view exePath) {
#ifdef _WIN32
    (void)exePath;
    return {};  // Windows copies are portable folders
#else
    std::string dir = GetFileDir(exePath);  // "<prefix>/bin/"
    constexpr std::string_view kBin = "/bin/";
    if (dir.size() < kBin.size() || dir.compare(dir.size() - kBin.size(), kBin.size(), kBin) != 0)
        return {};
    dir.resize(dir.size() - kBin.size() + 1);
    dir += "share/quorvex/";
    struct stat st;
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? dir : std::string();
#endif
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
