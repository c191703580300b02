#include "support/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "support/errors.h"
#include "support/paths.h"

namespace quorvex {
namespace {

constexpr size_t kBufferSize = 1 << 18;

void WriteAll(int fd, const char* p, size_t n, const std::string& path) {
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            ThrowFileError("write", path, errno);
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
}

int MakeTemp(std::string& pattern) {
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    pattern.assign(name.data());
    return fd;
}

}  // namespace

TFileWriter::TFileWriter() : buf_(new char[kBufferSize]), cap_(kBufferSize) {}

TFileWriter::~TFileWriter() {
    CloseQuietly();
}

void TFileWriter::Adopt(int fd, std::string path) {
    fd_ = fd;
    path_ = std::move(path);
    used_ = 0;
}

void TFileWriter::WriteSlow(std::string_view s) {
    Flush();
    if (s.size() >= cap_) {
        WriteAll(fd_, s.data(), s.size(), path_);
    } else {
        std::memcpy(buf_.get(), s.data(), s.size());
        used_ = s.size();
    }
}

void TFileWriter::Flush() {
    if (used_ == 0) return;
    const size_t n = used_;
    used_ = 0;  // a failed write is not retried on close
    WriteAll(fd_, buf_.get(), n, path_);
}

void TFileWriter::CloseChecked() {
    Flush();
    const int fd = fd_;
    fd_ = -1;
    if (fd >= 0 && ::close(fd) != 0) ThrowFileError("write", path_, errno);
}

void TFileWriter::CloseQuietly() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    used_ = 0;
}

TScratchFile::TScratchFile() {
    std::error_code ec;
    std::string dir = std::filesystem::temp_directory_path(ec).string();
    if (ec || dir.empty()) dir = "/tmp";
    std::string pattern = dir + "/quorvex-XXXXXX";
    const int fd = MakeTemp(pattern);
    if (fd < 0) ThrowFileError("create", pattern, errno);
    // Unlinked at once: the file disappears with its descriptor, also when
    // the process is killed.
    ::unlink(pattern.c_str());
    Adopt(fd, pattern);
}

void TScratchFile::CopyTo(TFileWriter& out) {
    Flush();
    out.Flush();
    const off_t size = ::lseek(Fd(), 0, SEEK_END);
    if (size < 0) ThrowFileError("read", Path(), errno);
    // The kernel copies between the files without passing the bytes through
    // this process; where it cannot, they are read and written here.
    off_t offset = 0;
    while (offset < size) {
        const ssize_t n = ::copy_file_range(Fd(), &offset, out.Fd(), nullptr,
                                            static_cast<size_t>(size - offset), 0);
        if (n > 0) continue;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            ThrowFileError("write", out.Path(), errno);
        break;
    }
    if (::lseek(Fd(), offset, SEEK_SET) < 0) ThrowFileError("read", Path(), errno);
    std::unique_ptr<char[]> chunk(new char[kBufferSize]);
    for (;;) {
        const ssize_t n = ::read(Fd(), chunk.get(), kBufferSize);
        if (n < 0) {
            if (errno == EINTR) continue;
            ThrowFileError("read", Path(), errno);
        }
        if (n == 0) break;
        out.Write(std::string_view(chunk.get(), static_cast<size_t>(n)));
    }
}

TCommitFile::TCommitFile(const std::string& target) : target_(target) {
    const std::string dir = GetFileDir(target);
    // The temporary name is the target's, hidden and marked; a name too long
    // to take the mark gets a short one instead.
    const std::string_view name = GetFileName(target);
    std::string pattern = dir;
    pattern.append(".")
        .append(name.size() > 200 ? std::string_view("quorvex") : name)
        .append(".part-XXXXXX");
    const int fd = MakeTemp(pattern);
    if (fd < 0) ThrowFileError("create", target, errno);
    // mkstemp creates 0600; give the file the mode a plain create would.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    tempPath_ = pattern;
    Adopt(fd, target);
}

TCommitFile::~TCommitFile() {
    if (!committed_) {
        CloseQuietly();
        ::unlink(tempPath_.c_str());
    }
}

void TCommitFile::Commit() {
    CloseChecked();
    // An existing target is swapped with the new file, so the name always
    // holds one whole file, and the old one is then removed. (Renaming over
    // it would do the same, but makes some file systems write the new file
    // out at once, which takes longer than the whole conversion.)
    struct stat st;
    if (::lstat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        ::renameat2(AT_FDCWD, tempPath_.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE) == 0) {
        committed_ = true;
        ::unlink(tempPath_.c_str());
        return;
    }
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0)
        ThrowFileError("replace", target_, errno);
    committed_ = true;
}

}  // namespace quorvex
