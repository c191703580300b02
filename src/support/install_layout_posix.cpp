// An installed program on Linux: <prefix>/bin/ beside <prefix>/share/quorvex/.
#include <sys/stat.h>

#include "support/install_layout.h"
#include "support/paths.h"

namespace quorvex {

std::string InstalledDataDir(std::string_view exePath) {
    std::string dir = GetFileDir(exePath);  // "<prefix>/bin/"
    constexpr std::string_view kBin = "/bin/";
    if (dir.size() < kBin.size() || dir.compare(dir.size() - kBin.size(), kBin.size(), kBin) != 0)
        return {};
    dir.resize(dir.size() - kBin.size() + 1);
    dir += "share/quorvex/";
    struct stat st;
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? dir : std::string();
}

}  // namespace quorvex
