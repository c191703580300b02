#include "support/paths.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "support/text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quorvex {
namespace {

// Index just past the last separator, 0 when there is none.
size_t NameStart(std::string_view path) {
#ifdef _WIN32
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (IsCp932LeadByte(c) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (c == '\\' || c == ':') start = i + 1;
    }
    return start;
#else
    const size_t p = path.rfind('/');
    return p == std::string_view::npos ? 0 : p + 1;
#endif
}

// Index of the extension's dot in the file name part, npos when none.
size_t ExtStart(std::string_view path) {
    const size_t start = NameStart(path);
    const size_t dot = path.rfind('.');
    return (dot == std::string_view::npos || dot < start) ? std::string_view::npos : dot;
}

}  // namespace

std::string GetFileDir(std::string_view path) {
    std::string dir(path.substr(0, NameStart(path)));
    if (!dir.empty() && dir.back() != kPathDelim) dir.push_back(kPathDelim);
    return dir;
}

std::string_view GetFileName(std::string_view path) {
    return path.substr(NameStart(path));
}

std::string GetBaseName(std::string_view path) {
    const size_t start = NameStart(path);
    const size_t ext = ExtStart(path);
    return std::string(
        path.substr(start, (ext == std::string_view::npos ? path.size() : ext) - start));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
    const size_t dot = ExtStart(path);
    std::string r(path.substr(0, dot == std::string_view::npos ? path.size() : dot));
    r.append(ext);
    return r;
}

std::string GetExePath() {
#ifdef _WIN32
    char buf[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    return std::string(buf, n);
#else
    std::error_code ec;
    const auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
#endif
}

std::string GetAppDir() {
    return GetFileDir(GetExePath());
}

bool FileExists(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
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
