#include "support/paths.h"

namespace quorvex {
namespace {

// Index just past the last separator (or a drive's colon), 0 when none.
size_t NameStart(std::string_view path) {
    for (size_t i = path.size(); i > 0; --i) {
        const char c = path[i - 1];
#ifdef _WIN32
        if (c == ':') return i;
#endif
        if (IsPathDelim(c)) return i;
    }
    return 0;
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
    if (!dir.empty() && !IsPathDelim(dir.back())) dir.push_back(kPathDelim);
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

std::string GetAppDir() {
    return GetFileDir(GetExePath());
}

std::filesystem::path NativePath(std::string_view utf8) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8Path(const std::filesystem::path& path) {
    const std::u8string s = path.u8string();
    return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

}  // namespace quorvex
