#include <fcntl.h>
#include <io.h>
#include <share.h>

#include <cerrno>

#include "support/file_access.h"
#include "support/win32_text.h"

namespace quorvex {

int OpenForReading(const std::string& path) {
    // Shared for deleting too, as a Linux reader never stands in the way of
    // a rename or delete of its file.
    const HANDLE h = ::CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD e = ::GetLastError();
        errno = (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) ? ENOENT
                : e == ERROR_ACCESS_DENIED                               ? EACCES
                                                                         : EIO;
        return -1;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (fd < 0) ::CloseHandle(h);
    return fd;
}

std::FILE* OpenStream(const std::string& path, const char* mode) {
    std::wstring m = Utf8ToWide(mode);
    if (m.find(L'b') == std::wstring::npos) m += L'b';
    return ::_wfopen(WidePath(path).c_str(), m.c_str());
}

bool CanWriteFile(const std::string& path) {
    const std::wstring wide = WidePath(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
        // The access rights say what the attributes do not.
        const HANDLE h = ::CreateFileW(wide.c_str(), GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        ::CloseHandle(h);
        return true;
    }
    // A new file, gone again when closed.
    const HANDLE h = ::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}

void RemoveFileQuietly(const std::string& path) {
    ::DeleteFileW(WidePath(path).c_str());
}

}  // namespace quorvex
