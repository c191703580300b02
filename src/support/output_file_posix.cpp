#include "support/output_file.h"
#include "support/output_file_platform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "support/errors.h"
#include "support/paths.h"
#include "support/std_streams.h"

namespace quorvex {

// The two calls the shared buffered writer needs from this system.
void WriteDescriptor(int fd, const char* p, size_t n, const std::string& path) {
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

int CloseDescriptor(int fd) {
    return ::close(fd);
}

uint64_t DescriptorPosition(int fd, const std::string& path) {
    const off_t pos = ::lseek(fd, 0, SEEK_CUR);
    if (pos < 0) ThrowFileError("write", path, errno);
    return static_cast<uint64_t>(pos);
}

void TruncateDescriptor(int fd, uint64_t size, const std::string& path) {
    const auto at = static_cast<off_t>(size);
    int rc;
    do {
        rc = ::ftruncate(fd, at);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0 || ::lseek(fd, at, SEEK_SET) < 0) ThrowFileError("write", path, errno);
}

namespace {

int MakeTemp(std::string& pattern) {
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    pattern.assign(name.data());
    return fd;
}

// A file without a name in `dir`, gone with its descriptor even after a
// kill; -1 where the file system cannot make one (errno set).
int OpenUnnamed(const std::string& dir, int access, mode_t mode) {
#ifdef O_TMPFILE
    return ::open(dir.empty() ? "." : dir.c_str(), O_TMPFILE | access | O_CLOEXEC, mode);
#else
    errno = EOPNOTSUPP;
    return -1;
#endif
}

// Errors with which a file system says it cannot make unnamed files.
bool UnnamedUnsupported(int err) {
    return err == EOPNOTSUPP || err == EISDIR || err == EINVAL || err == ENOSYS;
}

mode_t CreateMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

TPathProblem ProblemOf(mode_t mode) {
    if (S_ISDIR(mode)) return TPathProblem::Folder;
    if (S_ISFIFO(mode)) return TPathProblem::Fifo;
    if (S_ISCHR(mode) || S_ISBLK(mode)) return TPathProblem::Device;
    if (S_ISSOCK(mode)) return TPathProblem::Socket;
    return TPathProblem::OtherKind;
}

// What the output path is, the final target of a link included.
TOutputFacts QueryOutput(const std::string& path) {
    TOutputFacts facts;
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return facts;
        ThrowFileError("write", path, errno);
    }
    facts.Exists = true;
    if (S_ISLNK(st.st_mode)) {
        facts.IsLink = true;
        if (::stat(path.c_str(), &st) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) return facts;
            ThrowFileError("write", path, errno);
        }
        char* real = ::realpath(path.c_str(), nullptr);
        if (!real) ThrowFileError("write", path, errno);
        facts.Final = real;
        std::free(real);
    }
    facts.Regular = S_ISREG(st.st_mode);
    if (!facts.Regular) facts.Kind = ProblemOf(st.st_mode);
    // The owner's bit, not access(): root may write any file, but a file
    // marked read-only stays so for root too.
    facts.ReadOnly = (st.st_mode & S_IWUSR) == 0;
    return facts;
}

// The folder's entry changes survive a power cut once this returns.
void SyncFolder(const std::string& dir, const std::string& target) {
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) ThrowFileError("sync the folder of", target, errno);
    const int rc = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    // Some file systems cannot sync folders; the rename is then as durable
    // as they make it.
    if (rc != 0 && err != EINVAL && err != ENOTSUP)
        ThrowFileError("sync the folder of", target, err);
}

}  // namespace

TScratchFile::TScratchFile() {
    std::error_code ec;
    std::string dir = std::filesystem::temp_directory_path(ec).string();
    if (ec || dir.empty()) dir = "/tmp";
    int fd = OpenUnnamed(dir, O_RDWR, 0600);
    if (fd >= 0) {
        Adopt(fd, dir + "/(scratch)");
        return;
    }
    std::string pattern = dir + "/quorvex-XXXXXX";
    fd = MakeTemp(pattern);
    if (fd < 0) ThrowFileError("create", pattern, errno);
    // Unlinked at once: the file disappears with its descriptor.
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
        // EBADF: an output opened for appending (standard output with >>).
        if (n < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP &&
            errno != EBADF)
            ThrowFileError("write", out.Path(), errno);
        break;
    }
    if (offset >= size) return;
    if (::lseek(Fd(), offset, SEEK_SET) < 0) ThrowFileError("read", Path(), errno);
    std::unique_ptr<char[]> chunk(new char[kFileBufferSize]);
    for (;;) {
        const ssize_t n = ::read(Fd(), chunk.get(), kFileBufferSize);
        if (n < 0) {
            if (errno == EINTR) continue;
            ThrowFileError("read", Path(), errno);
        }
        if (n == 0) break;
        out.Write(std::string_view(chunk.get(), static_cast<size_t>(n)));
    }
}

void TScratchFile::StartReading() {
    Flush();
    if (::lseek(Fd(), 0, SEEK_SET) < 0) ThrowFileError("read", Path(), errno);
}

size_t TScratchFile::Read(char* p, size_t n) {
    for (;;) {
        const ssize_t got = ::read(Fd(), p, n);
        if (got >= 0) return static_cast<size_t>(got);
        if (errno != EINTR) ThrowFileError("read", Path(), errno);
    }
}

std::string CheckOutputTarget(const std::string& target) {
    const std::string resolved = ResolveOutputTarget(target, QueryOutput);
    struct stat st;
    const std::string dir = GetFileDir(resolved);
    const char* dirName = dir.empty() ? "." : dir.c_str();
    if (::stat(dirName, &st) != 0) {
        if (errno == ENOENT) ThrowPathProblem("write", target, TPathProblem::NoFolder);
        ThrowFileError("write", target, errno);
    }
    if (!S_ISDIR(st.st_mode)) ThrowPathProblem("write", target, TPathProblem::NoFolder);
    if (::faccessat(AT_FDCWD, dirName, W_OK | X_OK, AT_EACCESS) != 0)
        ThrowFileError("write", target, errno);
    return resolved;
}

TStandardOutput::TStandardOutput() {
    if (StandardStreamWasClosed(STDOUT_FILENO)) throw FileError(TMsg::StdoutClosed, "-");
    const int fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) ThrowFileError("write", "-", errno);
    Adopt(fd, "-");
}

TCommitFile::TCommitFile(const std::string& target)
    : target_(target), resolved_(CheckOutputTarget(target)) {
    const std::string dir = GetFileDir(resolved_);
    // An unnamed file gets its name through /proc, which some sandboxes lack.
    int fd = -1;
    if (::access("/proc/self/fd", X_OK) == 0) {
        fd = OpenUnnamed(dir, O_WRONLY, CreateMode());
    } else {
        errno = EOPNOTSUPP;
    }
    if (fd < 0 && UnnamedUnsupported(errno)) {
        // The file system has no unnamed files: a hidden, marked name beside
        // the target, which a kill can leave behind. A name too long to take
        // the mark gets a short one.
        const std::string_view name = GetFileName(resolved_);
        std::string pattern = dir;
        pattern.append(".")
            .append(name.size() > 200 ? std::string_view("quorvex") : name)
            .append(".part-XXXXXX");
        fd = MakeTemp(pattern);
        if (fd >= 0) {
            tempPath_ = pattern;
            ::fchmod(fd, CreateMode());  // mkstemp creates 0600
        }
    }
    if (fd < 0) ThrowFileError("create", target, errno);
    Adopt(fd, target);
}

TCommitFile::~TCommitFile() {
    if (!committed_) {
        CloseQuietly();
        if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
    }
}

void TCommitFile::Commit() {
    Flush();
    const int fd = Fd();
    // A replaced file keeps its permission bits, owner and group (the last
    // two only where this process may set them).
    struct stat old;
    if (::stat(resolved_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        // Marked read-only while the conversion ran: left as it is.
        if ((old.st_mode & S_IWUSR) == 0) throw FileError({TMsg::ReadOnlyFile, {target_}}, target_);
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Not allowed to give it away: the group alone may still be kept.
            [[maybe_unused]] const int rc = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        }
        if (::fchmod(fd, old.st_mode & 07777) != 0) ThrowFileError("write", target_, errno);
    }
    // The data reaches the disk before the file takes the name, so after a
    // power cut the name holds the old or the new file, whole.
    if (::fdatasync(fd) != 0) ThrowFileError("write", target_, errno);

    const std::string dir = GetFileDir(resolved_);
    if (tempPath_.empty()) {
        // Give the unnamed file a hidden name, then rename it over the
        // target: only between these two steps can a kill leave a file.
        const std::string_view name = GetFileName(resolved_);
        const std::string source = "/proc/self/fd/" + std::to_string(fd);
        for (unsigned attempt = 0;; ++attempt) {
            std::string candidate = dir;
            candidate.append(".")
                .append(name.size() > 200 ? std::string_view("quorvex") : name)
                .append(".part-")
                .append(std::to_string(::getpid()))
                .append("-")
                .append(std::to_string(attempt));
            if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, candidate.c_str(),
                         AT_SYMLINK_FOLLOW) == 0) {
                tempPath_ = candidate;
                break;
            }
            if (errno != EEXIST || attempt > 100) ThrowFileError("write", target_, errno);
        }
    }
    CloseChecked();
    if (::rename(tempPath_.c_str(), resolved_.c_str()) != 0)
        ThrowFileError("replace", target_, errno);
    committed_ = true;
    SyncFolder(dir, target_);
}

}  // namespace quorvex
