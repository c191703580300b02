// Output files on Windows. Handles are wrapped in C runtime descriptors so
// the writer looks the same as on Linux; every system call takes the handle
// and UTF-16 paths.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <vector>

#include "support/errors.h"
#include "support/output_file.h"
#include "support/output_file_platform.h"
#include "support/paths.h"
#include "support/text.h"
#include "support/win32_text.h"

namespace quorvex {

namespace {

HANDLE HandleOf(int fd) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

int DescriptorFor(HANDLE h, const std::string& path) {
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(h);
        ThrowFileError("open", path, EMFILE);
    }
    return fd;
}

// A name no other run of this process or another takes at the same moment.
std::wstring UniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    const unsigned long long tick = ::GetTickCount64();
    wchar_t buf[64];
    ::swprintf(buf, 64, L"%lx-%llx-%x", ::GetCurrentProcessId(), tick, counter++);
    return buf;
}

// Whether the file name is one Windows takes for a device in any folder:
// CON, PRN, AUX, NUL, COM0-9, LPT0-9, also with an extension or blanks after.
bool IsDeviceName(std::string_view path) {
    if (path.rfind("\\\\.\\", 0) == 0 || path.rfind("//./", 0) == 0) return true;
    std::string_view name = GetFileName(path);
    name = name.substr(0, name.find('.'));
    while (!name.empty() && (name.back() == ' ' || name.back() == ':'))
        name.remove_suffix(1);
    const std::string upper = AsciiUpperCase(name);
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" || upper == "CONIN$" ||
        upper == "CONOUT$")
        return true;
    return upper.size() == 4 && (upper.rfind("COM", 0) == 0 || upper.rfind("LPT", 0) == 0) &&
           upper[3] >= '0' && upper[3] <= '9';
}

bool SetDeleteDisposition(HANDLE h, bool remove) {
    FILE_DISPOSITION_INFO info{};
    info.DeleteFile = remove ? TRUE : FALSE;
    return ::SetFileInformationByHandle(h, FileDispositionInfo, &info, sizeof info);
}

// The attributes a replacing file may take over from the old one.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// A path the system returned with the long-path prefix, in the plain form
// the other paths of the program have.
std::wstring WithoutPrefix(std::wstring path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
    if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

// Whether the path names a symbolic link itself (not a junction, nor the
// reparse points of cloud and deduplicated files, which stand for the file).
bool IsSymbolicLink(const std::wstring& path) {
    const HANDLE h = ::CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    const bool link = ::GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag) &&
                      (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                      tag.ReparseTag == IO_REPARSE_TAG_SYMLINK;
    ::CloseHandle(h);
    return link;
}

// What the output path is, the final target of a link included.
TOutputFacts QueryOutput(const std::string& path) {
    TOutputFacts facts;
    const std::wstring wide = WidePath(path);
    DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return facts;
    facts.Exists = true;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsSymbolicLink(wide)) {
        facts.IsLink = true;
        const HANDLE h = ::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD e = ::GetLastError();
            if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return facts;
            ThrowWin32FileError("write", path, e);
        }
        BY_HANDLE_FILE_INFORMATION info{};
        std::wstring final(MAX_PATH, L'\0');
        DWORD n = 0;
        if (::GetFileInformationByHandle(h, &info)) {
            // Too small a buffer: the call returns the size it needs.
            while ((n = ::GetFinalPathNameByHandleW(
                        h, final.data(), static_cast<DWORD>(final.size()),
                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS)) >= final.size())
                final.resize(n + 1);
        }
        const DWORD e = ::GetLastError();
        ::CloseHandle(h);
        if (n == 0) ThrowWin32FileError("write", path, e);
        final.resize(n);
        facts.Final = WideToUtf8(WithoutPrefix(std::move(final)));
        attributes = info.dwFileAttributes;
    }
    facts.Regular = !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    facts.Kind = TPathProblem::Folder;
    facts.ReadOnly = attributes & FILE_ATTRIBUTE_READONLY;
    return facts;
}

}  // namespace

// The two calls the shared buffered writer needs from this system.
void WriteDescriptor(int fd, const char* p, size_t n, const std::string& path) {
    const HANDLE h = HandleOf(fd);
    while (n > 0) {
        const DWORD chunk = n > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n);
        DWORD written = 0;
        if (!::WriteFile(h, p, chunk, &written, nullptr))
            ThrowWin32FileError("write", path, ::GetLastError());
        p += written;
        n -= written;
    }
}

int CloseDescriptor(int fd) {
    return ::_close(fd);
}

uint64_t DescriptorPosition(int fd, const std::string& path) {
    LARGE_INTEGER zero{}, pos{};
    if (!::SetFilePointerEx(HandleOf(fd), zero, &pos, FILE_CURRENT))
        ThrowWin32FileError("write", path, ::GetLastError());
    return static_cast<uint64_t>(pos.QuadPart);
}

void TruncateDescriptor(int fd, uint64_t size, const std::string& path) {
    const HANDLE h = HandleOf(fd);
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFilePointerEx(h, at, nullptr, FILE_BEGIN) || !::SetEndOfFile(h))
        ThrowWin32FileError("write", path, ::GetLastError());
}

TScratchFile::TScratchFile() {
    wchar_t dir[MAX_PATH + 1];
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, dir);
    const std::wstring base = (n > 0 && n <= MAX_PATH) ? std::wstring(dir, n) : L".\\";
    // The system deletes the file when its handle closes, also when the
    // process is killed; it is marked temporary so it may stay in memory.
    for (int attempt = 0;; ++attempt) {
        const std::wstring path = base + L"quorvex-" + UniqueSuffix() + L".tmp";
        const HANDLE h = ::CreateFileW(
            path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_DELETE, nullptr,
            CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            const std::string utf8 = WideToUtf8(path);
            Adopt(DescriptorFor(h, utf8), utf8);
            return;
        }
        const DWORD e = ::GetLastError();
        if (e != ERROR_FILE_EXISTS || attempt > 100)
            ThrowWin32FileError("create", WideToUtf8(path), e);
    }
}

void TScratchFile::CopyTo(TFileWriter& out) {
    Flush();
    const HANDLE h = HandleOf(Fd());
    LARGE_INTEGER size, zero{};
    if (!::GetFileSizeEx(h, &size) || !::SetFilePointerEx(h, zero, nullptr, FILE_BEGIN))
        ThrowWin32FileError("read", Path(), ::GetLastError());
    long long left = size.QuadPart;
    if (left <= 0) return;
    const auto chunkSize = static_cast<DWORD>(std::min<long long>(left, kFileBufferSize));
    std::unique_ptr<char[]> chunk(new char[chunkSize]);
    while (left > 0) {
        DWORD got = 0;
        if (!::ReadFile(h, chunk.get(), chunkSize, &got, nullptr))
            ThrowWin32FileError("read", Path(), ::GetLastError());
        if (got == 0) break;
        out.Write(std::string_view(chunk.get(), got));
        left -= got;
    }
}

void TScratchFile::StartReading() {
    Flush();
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(HandleOf(Fd()), zero, nullptr, FILE_BEGIN))
        ThrowWin32FileError("read", Path(), ::GetLastError());
}

size_t TScratchFile::Read(char* p, size_t n) {
    DWORD got = 0;
    const auto want = static_cast<DWORD>(std::min<size_t>(n, size_t{1} << 30));
    if (!::ReadFile(HandleOf(Fd()), p, want, &got, nullptr))
        ThrowWin32FileError("read", Path(), ::GetLastError());
    return got;
}

TCommitFile::TCommitFile(const std::string& target)
    : target_(target), resolved_(CheckOutputTarget(target)) {
    // The new file is written beside the target under a hidden name, marked
    // for deletion at once so that a killed run leaves nothing behind.
    const std::string dir = GetFileDir(resolved_);
    const std::string_view name = GetFileName(resolved_);
    for (int attempt = 0;; ++attempt) {
        std::string temp = dir;
        temp.append(".")
            .append(name.size() > 200 ? std::string_view("quorvex") : name)
            .append(".part-")
            .append(WideToUtf8(UniqueSuffix()));
        const HANDLE h = ::CreateFileW(
            WidePath(temp).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD e = ::GetLastError();
            if (e == ERROR_FILE_EXISTS && attempt < 100) continue;
            ThrowWin32FileError("create", target, e);
        }
        tempPath_ = temp;
        // Where the disposition cannot be set, the destructor deletes by name.
        deleteByName_ = !SetDeleteDisposition(h, true);
        Adopt(DescriptorFor(h, target), target);
        return;
    }
}

TCommitFile::~TCommitFile() {
    if (!committed_) {
        CloseQuietly();
        if (deleteByName_) ::DeleteFileW(WidePath(tempPath_).c_str());
    }
}

void TCommitFile::Commit() {
    Flush();
    const HANDLE h = HandleOf(Fd());
    if (!::FlushFileBuffers(h)) ThrowWin32FileError("write", target_, ::GetLastError());

    // The file replaced is the link's target where the output is a link.
    const std::wstring wideTarget = WidePath(resolved_);
    const DWORD old = ::GetFileAttributesW(wideTarget.c_str());
    // Marked read-only while the conversion ran: left as it is.
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY))
        throw FileError({TMsg::ReadOnlyFile, {target_}}, target_);
    FILE_BASIC_INFO basic{};  // zero times stay unchanged
    basic.FileAttributes =
        old == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_NORMAL : (old & kKeptAttributes);
    if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileInformationByHandle(h, FileBasicInfo, &basic, sizeof basic))
        ThrowWin32FileError("replace", target_, ::GetLastError());

    // The full target name, in the form the rename by handle takes.
    const DWORD need = ::GetFullPathNameW(wideTarget.c_str(), 0, nullptr, nullptr);
    std::wstring full(need, L'\0');
    const DWORD got = ::GetFullPathNameW(wideTarget.c_str(), need, full.data(), nullptr);
    if (need == 0 || got == 0 || got >= need)
        ThrowWin32FileError("replace", target_, ::GetLastError());
    full.resize(got);
    const size_t bytes = full.size() * sizeof(wchar_t);
    std::vector<unsigned char> buf(sizeof(FILE_RENAME_INFO) + bytes + sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buf.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(bytes);
    std::memcpy(rename->FileName, full.data(), bytes);

    if (!deleteByName_ && !SetDeleteDisposition(h, false))
        ThrowWin32FileError("replace", target_, ::GetLastError());
    if (!::SetFileInformationByHandle(h, FileRenameInfo, rename, static_cast<DWORD>(buf.size()))) {
        const DWORD e = ::GetLastError();
        if (!deleteByName_) SetDeleteDisposition(h, true);
        ThrowWin32FileError("replace", target_, e);
    }
    committed_ = true;
    CloseChecked();
}

std::string CheckOutputTarget(const std::string& target) {
    if (IsDeviceName(target)) throw FileError({TMsg::NamesDevice, {target}}, target);
    return ResolveOutputTarget(target, QueryOutput);
}

TStandardOutput::TStandardOutput() {
    const int fd = ::_dup(::_fileno(stdout));
    if (fd < 0) ThrowFileError("write", "-", errno);
    Adopt(fd, "-");
}

}  // namespace quorvex
