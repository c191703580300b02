// The file system questions of the path routines, on Linux.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "support/paths.h"
#include "support/text.h"

namespace quorvex {

std::string GetExePath() {
    std::error_code ec;
    const auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

bool FileExists(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

TNoFile WhyNoFile(const std::string& path) {
    struct stat st;
    if (path.empty()) return TNoFile::Missing;
    if (::stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? TNoFile::Folder : TNoFile::Missing;
    return errno == ELOOP ? TNoFile::LinkLoop : TNoFile::Missing;
}

bool IsSameExistingFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return !a.empty() && !b.empty() && ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::optional<TFileIdentity> FileIdentity(const std::string& path) {
    if (path.empty()) return std::nullopt;
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return TFileIdentity{st.st_dev, st.st_ino, {}};
    const std::string_view name = GetFileName(path);
    const std::string dir = GetFileDir(path);
    if (name.empty() || ::stat(dir.empty() ? "." : dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    return TFileIdentity{st.st_dev, st.st_ino, std::string(name)};
}

std::string FindFileIgnoringCase(const std::string& path) {
    const std::string dir = GetFileDir(path);
    const std::string_view name = GetFileName(path);
    std::vector<std::string> matches;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir.empty() ? "." : dir, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (EqualsIgnoringAsciiCase(candidate, name)) matches.push_back(candidate);
    }
    if (matches.empty()) return {};
    const std::string found = dir + *std::min_element(matches.begin(), matches.end());
    return FileExists(found) ? found : std::string();
}

}  // namespace quorvex
