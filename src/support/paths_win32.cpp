// The file system questions of the path routines, on Windows: every call
// goes through the UTF-16 functions with the UTF-8 path converted.
#include <windows.h>

#include "support/paths.h"
#include "support/win32_text.h"

namespace quorvex {
namespace {

// An open handle for questions about a file (or folder), never its data.
class TQueryHandle {
  public:
    explicit TQueryHandle(const std::string& path)
        : h_(::CreateFileW(WidePath(path).c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {}
    ~TQueryHandle() {
        if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
    }
    TQueryHandle(const TQueryHandle&) = delete;
    bool Info(BY_HANDLE_FILE_INFORMATION& info) const {
        return h_ != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(h_, &info);
    }

  private:
    HANDLE h_;
};

}  // namespace

std::string GetExePath() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return WideToUtf8(std::wstring_view(buf.data(), n));
        buf.resize(buf.size() * 2);
    }
}

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    const DWORD a = ::GetFileAttributesW(WidePath(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

TNoFile WhyNoFile(const std::string& path) {
    if (path.empty()) return TNoFile::Missing;
    const DWORD a = ::GetFileAttributesW(WidePath(path).c_str());
    if (a != INVALID_FILE_ATTRIBUTES)
        return (a & FILE_ATTRIBUTE_DIRECTORY) ? TNoFile::Folder : TNoFile::Missing;
    return ::GetLastError() == ERROR_CANT_RESOLVE_FILENAME ? TNoFile::LinkLoop : TNoFile::Missing;
}

bool IsSameExistingFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    BY_HANDLE_FILE_INFORMATION ia, ib;
    return TQueryHandle(a).Info(ia) && TQueryHandle(b).Info(ib) &&
           ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

std::optional<TFileIdentity> FileIdentity(const std::string& path) {
    if (path.empty()) return std::nullopt;
    auto identity = [](const std::string& p, std::string name) -> std::optional<TFileIdentity> {
        BY_HANDLE_FILE_INFORMATION info;
        if (!TQueryHandle(p).Info(info)) return std::nullopt;
        return TFileIdentity{info.dwVolumeSerialNumber,
                             uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow,
                             std::move(name)};
    };
    if (auto file = identity(path, {})) return file;
    const std::string_view name = GetFileName(path);
    const std::string dir = GetFileDir(path);
    if (name.empty()) return std::nullopt;
    // Windows compares names without regard to case.
    const std::wstring wide = Utf8ToWide(name);
    std::wstring upper(wide.size(), L'\0');
    const int n = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(),
                                  static_cast<int>(wide.size()), upper.data(),
                                  static_cast<int>(upper.size()), nullptr, nullptr, 0);
    upper.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return identity(dir.empty() ? std::string(".") : dir, WideToUtf8(n > 0 ? upper : wide));
}

std::string FindFileIgnoringCase(const std::string& path) {
    // Windows compares names without regard to case already.
    return FileExists(path) ? path : std::string();
}

}  // namespace quorvex
