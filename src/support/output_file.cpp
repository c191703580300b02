// The buffered writer, the same on both systems; the descriptor calls behind
// it are each system's own.
#include "support/output_file.h"

#include <algorithm>
#include <cerrno>

#include "support/errors.h"
#include "support/output_file_platform.h"

namespace quorvex {

// The buffer starts small and doubles as it fills: many outputs and scratch
// files of a run stay tiny, and a large buffer costs its allocation each time.
constexpr size_t kFirstBufferSize = 4096;
static_assert(kFirstBufferSize <= kFileBufferSize);

TFileWriter::TFileWriter() : buf_(new char[kFirstBufferSize]), cap_(kFirstBufferSize) {}

TFileWriter::~TFileWriter() {
    CloseQuietly();
}

void TFileWriter::Adopt(int fd, std::string path) {
    fd_ = fd;
    path_ = std::move(path);
    used_ = 0;
}

void TFileWriter::MakeRoom() {
    if (cap_ >= kFileBufferSize) {
        Flush();
        return;
    }
    const size_t cap = std::min(cap_ * 2, kFileBufferSize);
    std::unique_ptr<char[]> buf(new char[cap]);
    std::memcpy(buf.get(), buf_.get(), used_);
    buf_ = std::move(buf);
    cap_ = cap;
}

void TFileWriter::WriteSlow(std::string_view s) {
    while (cap_ < kFileBufferSize && s.size() > cap_ - used_)
        MakeRoom();
    if (s.size() > cap_ - used_) {
        Flush();
        if (s.size() >= cap_) {  // larger than the buffer: straight to the file
            WriteDescriptor(fd_, s.data(), s.size(), path_);
            return;
        }
    }
    std::memcpy(buf_.get() + used_, s.data(), s.size());
    used_ += s.size();
}

void TFileWriter::Flush() {
    if (used_ == 0) return;
    const size_t n = used_;
    used_ = 0;  // a failed write is not retried on close
    WriteDescriptor(fd_, buf_.get(), n, path_);
}

uint64_t TFileWriter::Size() const {
    return DescriptorPosition(fd_, path_) + used_;
}

void TFileWriter::Truncate(uint64_t size) {
    const uint64_t flushed = DescriptorPosition(fd_, path_);
    if (size >= flushed && size - flushed <= used_) {
        used_ = static_cast<size_t>(size - flushed);
        return;
    }
    used_ = 0;
    TruncateDescriptor(fd_, size, path_);
}

void TFileWriter::CloseChecked() {
    Flush();
    const int fd = fd_;
    fd_ = -1;
    if (fd >= 0 && CloseDescriptor(fd) != 0) ThrowFileError("write", path_, errno);
}

void TFileWriter::CloseQuietly() {
    if (fd_ >= 0) CloseDescriptor(fd_);
    fd_ = -1;
    used_ = 0;
}

std::string ResolveOutputTarget(const std::string& target, const TOutputQuery& query) {
    const TOutputFacts facts = query(target);
    if (!facts.Exists) return target;
    // A link to nothing may point anywhere: refused.
    if (facts.IsLink && facts.Final.empty())
        ThrowPathProblem("write", target, TPathProblem::DanglingLink);
    if (!facts.Regular) ThrowPathProblem("write", target, facts.Kind);
    // The folder may allow the rename, but a file its user marked read-only
    // is not ours to replace.
    if (facts.ReadOnly) throw FileError({TMsg::ReadOnlyFile, {target}}, target);
    // The link stays; the file it points to is replaced in its own folder.
    return facts.IsLink ? facts.Final : target;
}

}  // namespace quorvex
