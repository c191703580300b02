#include "support/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif
#include <cstddef>

#include <algorithm>
#include <cerrno>

// Not every C runtime knows these kinds of file.
#ifndef S_ISBLK
#define S_ISBLK(m) 0
#endif
#ifndef S_ISSOCK
#define S_ISSOCK(m) 0
#endif
#include <cstring>
#include <functional>

#include "support/errors.h"
#include "support/file_access.h"

namespace quorvex {

namespace {
// The byte count read() takes: unsigned int in the Windows C runtime. The
// buffer is far smaller than either limit.
#ifdef _WIN32
using TReadCount = unsigned int;
#else
using TReadCount = size_t;
#endif
}  // namespace

TLineReader::TLineReader(const std::string& path, size_t blockSize) : path_(path) {
#ifdef _WIN32
    fd_ = OpenForReading(path);
#else
    // Not blocking on the open: a FIFO would wait for a writer.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
#endif
    if (fd_ < 0) ThrowFileError("open", path, errno);
    struct stat st;
    if (::fstat(fd_, &st) != 0) {
        const int err = errno;
        ::close(fd_);
        ThrowFileError("read", path, err);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        ThrowPathProblem("read", path,
                         S_ISDIR(st.st_mode)                          ? TPathProblem::Folder
                         : S_ISFIFO(st.st_mode)                       ? TPathProblem::Fifo
                         : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? TPathProblem::Device
                         : S_ISSOCK(st.st_mode)                       ? TPathProblem::Socket
                                                                      : TPathProblem::OtherKind);
    }
    // A small file gets a small buffer (a batch may hold thousands of them);
    // one that grows while read still reads whole, through the long-line path.
    constexpr size_t kSmallest = 4096;
    const auto size = static_cast<uint64_t>(st.st_size);
    cap_ =
        static_cast<size_t>(std::min<uint64_t>(blockSize, std::max<uint64_t>(size + 1, kSmallest)));
    try {
        Allocate(cap_);
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

TLineReader TLineReader::FromDescriptor(int fd, const std::string& name, size_t blockSize) {
    TLineReader r;
    r.path_ = name;
    r.fd_ = ::dup(fd);
    if (r.fd_ < 0) ThrowFileError("read", name, errno);
    if (::lseek(r.fd_, 0, SEEK_SET) < 0) ThrowFileError("read", name, errno);
    r.Allocate(blockSize);
    return r;
}

TLineReader TLineReader::FromText(std::string_view text) {
    TLineReader r;
    r.path_ = "<text>";
    r.Allocate(std::max<size_t>(text.size(), 1));
    std::memcpy(r.buf_.get(), text.data(), text.size());
    r.end_ = text.size();
    r.MarkEnd();
    r.eof_ = true;
    return r;
}

void TLineReader::Allocate(size_t cap) {
    buf_.reset(new char[cap + kReadAhead]());
    cap_ = cap;
    end_ = 0;
    MarkEnd();
}

TLineReader::~TLineReader() {
    if (fd_ >= 0) ::close(fd_);
}

TLineReader::TLineReader(TLineReader&& o) noexcept
    : fd_(o.fd_),
      path_(std::move(o.path_)),
      buf_(std::move(o.buf_)),
      cap_(o.cap_),
      pos_(o.pos_),
      end_(o.end_),
      eof_(o.eof_),
      pushedBack_(false),
      scratch_(std::move(o.scratch_)),
      lineNumber_(o.lineNumber_) {
    o.fd_ = -1;
}

bool TLineReader::Fill() {
    if (eof_) return false;
    if (pos_ > 0) {
        // Keep the unread tail at the front so a line never straddles the wrap.
        std::memmove(buf_.get(), buf_.get() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
        MarkEnd();
    }
    if (end_ == cap_) return true;  // caller moves a full buffer into scratch_
    for (;;) {
        const ssize_t n = ::read(fd_, buf_.get() + end_, static_cast<TReadCount>(cap_ - end_));
        if (n > 0) {
            end_ += static_cast<size_t>(n);
            MarkEnd();
            return true;
        }
        if (n == 0) {
            eof_ = true;
            return false;
        }
        if (errno != EINTR) ThrowFileError("read", path_, errno);
    }
}

bool TLineReader::AtEnd() {
    if (pushedBack_ || pos_ < end_) return false;
    // The next block overwrites the buffer, but UnreadLine may still have to
    // hand out the line just read: keep it in scratch_ first.
    const std::less<const char*> before;
    if (!eof_ && !last_.empty() && !before(last_.data(), buf_.get()) &&
        before(last_.data(), buf_.get() + cap_)) {
        scratch_.assign(last_);
        last_ = scratch_;
    }
    return !Fill() && pos_ >= end_;
}

void TLineReader::SkipByteOrderMark() {
    constexpr size_t kMark = 3;
    if (lineNumber_ != 0 || pushedBack_ || pos_ != 0) return;
    if (cap_ < kMark) {
        // Only a reader made with tiny blocks (tests) cannot hold the mark.
        std::unique_ptr<char[]> old = std::move(buf_);
        const size_t n = end_;
        Allocate(kMark);
        std::memcpy(buf_.get(), old.get(), n);
        end_ = n;
        MarkEnd();
    }
    while (end_ < kMark && Fill()) {
    }
    if (end_ >= kMark && std::memcmp(buf_.get(), "\xEF\xBB\xBF", kMark) == 0) pos_ = kMark;
}

void TLineReader::UnreadLine() {
    pushedBack_ = true;
    --lineNumber_;
}

void TLineReader::FailLineTooLong() {
    // The line is dropped, so the message names it by its number.
    scratch_.clear();
    scratch_.shrink_to_fit();
    ThrowLineTooLong(path_, lineNumber_ + 1);
}

void TLineReader::ThrowLineTooLong(const std::string& path, int64_t lineNumber) {
    throw ConversionError(TMessage(TMsg::LineTooLong, {path, std::to_string(lineNumber),
                                                       std::to_string(kMaxLineBytes >> 20)}));
}

bool TLineReader::ReadLineSlow(std::string_view& line) {
    if (pushedBack_) {
        pushedBack_ = false;
        ++lineNumber_;
        line = last_;
        return true;
    }
    if (AtEnd()) return false;

    bool longLine = false;
    scratch_.clear();
    size_t searchFrom = pos_;
    const char* nl;
    for (;;) {
        nl =
            static_cast<const char*>(std::memchr(buf_.get() + searchFrom, '\n', end_ - searchFrom));
        if (nl) break;
        if (pos_ == 0 && end_ == cap_) {
            // The line outgrows the buffer: continue it in scratch_, up to
            // the longest line any real file has.
            // (One byte more may be the CR of the line end.)
            if (scratch_.size() + end_ > kMaxLineBytes + 1) FailLineTooLong();
            scratch_.append(buf_.get(), end_);
            longLine = true;
            pos_ = end_ = 0;
            MarkEnd();
        }
        const size_t scanned = end_ - pos_;
        if (!Fill()) break;
        searchFrom = pos_ + scanned;
    }
    const char* begin = buf_.get() + pos_;
    const char* stop = nl ? nl : buf_.get() + end_;
    pos_ = nl ? static_cast<size_t>(nl - buf_.get()) + 1 : end_;
    ++lineNumber_;

    std::string_view raw(begin, static_cast<size_t>(stop - begin));
    const bool endsInCr =
        !raw.empty() ? raw.back() == '\r' : !scratch_.empty() && scratch_.back() == '\r';
    if (scratch_.size() + raw.size() - endsInCr > kMaxLineBytes) {
        --lineNumber_;
        FailLineTooLong();
    }
    if (longLine) {
        scratch_.append(raw);
        raw = scratch_;
    }
    // CR LF is the usual line end: dropping a last CR needs no copy.
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    if (std::memchr(raw.data(), '\r', raw.size())) {
        std::string clean;
        clean.reserve(raw.size());
        for (char c : raw)
            if (c != '\r') clean.push_back(c);
        scratch_.swap(clean);
        raw = scratch_;
    }
    last_ = raw;
    line = raw;
    return true;
}

}  // namespace quorvex
