// Buffered output files that report every error. TFileWriter owns an open
// descriptor; TScratchFile is a nameless temporary file that vanishes when
// closed, however the run ends; TCommitFile writes beside its target and
// replaces the target only when Commit() succeeds, so a failed run never
// destroys or truncates an existing file, and a killed one leaves nothing.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "support/errors.h"

namespace quorvex {

class TFileWriter {
  public:
    TFileWriter();
    virtual ~TFileWriter();
    TFileWriter(const TFileWriter&) = delete;
    TFileWriter& operator=(const TFileWriter&) = delete;

    void Write(std::string_view s) {
        if (s.size() <= cap_ - used_) {
            std::memcpy(buf_.get() + used_, s.data(), s.size());
            used_ += s.size();
        } else {
            WriteSlow(s);
        }
    }
    // Writes `s` followed by CR LF.
    void WriteLine(std::string_view s) {
        Write(s);
        Write("\r\n");
    }
    // Room for `n` bytes at the end of the buffer (n at most 4096), to format
    // into directly; Advance(n) keeps what was written there.
    char* Reserve(size_t n) {
        if (cap_ - used_ < n) MakeRoom();
        return buf_.get() + used_;
    }
    void Advance(size_t n) { used_ += n; }

    void Flush();
    // Bytes written so far, buffered ones included. A file, not a stream.
    uint64_t Size() const;
    // Takes back everything written after Size() was `size`, so a combined
    // run can drop the part of an input that failed. A file, not a stream.
    void Truncate(uint64_t size);
    const std::string& Path() const { return path_; }
    int Fd() const { return fd_; }

  protected:
    void Adopt(int fd, std::string path);
    void CloseChecked();  // flush and close, throwing on failure
    void CloseQuietly();  // close without reporting, for failure paths

  private:
    void WriteSlow(std::string_view s);
    // Doubles a buffer still below its full size, else flushes it.
    void MakeRoom();

    int fd_ = -1;
    std::string path_;
    std::unique_ptr<char[]> buf_;
    size_t cap_;
    size_t used_ = 0;
};

// Nameless temporary file in the system's temporary directory.
class TScratchFile : public TFileWriter {
  public:
    TScratchFile();
    // Copies everything written so far to `out`.
    void CopyTo(TFileWriter& out);
    // Reads back everything written so far: StartReading() goes to the start,
    // each Read() gives up to `n` bytes at `p` and how many, 0 at the end;
    // reading to the end leaves the file where more may be written.
    void StartReading();
    size_t Read(char* p, size_t n);
};

// The file an output path really updates: the path itself, or the file a
// symbolic link at that path points to. Throws FileError, before any work is
// done, for a target that is not a regular file (a folder, FIFO, device,
// socket), a link to nothing, a file its owner may not write (the mode bits
// or the read-only attribute, whoever runs the program), and a folder that
// is missing or not writable.
std::string CheckOutputTarget(const std::string& target);

// What the system tells of an output path, a symbolic link followed to the
// end: the answer of each system's own query, or of a test's.
struct TOutputFacts {
    bool Exists = false;  // the name is taken, if only by a link to nothing
    bool IsLink = false;  // a symbolic link; what follows is of its target
    std::string Final;    // a link's final target, empty when it leads nowhere
    bool Regular = false;
    TPathProblem Kind = TPathProblem::OtherKind;  // what it is when not regular
    bool ReadOnly = false;                        // its owner may not write it
};
using TOutputQuery = std::function<TOutputFacts(const std::string& path)>;

// The part of CheckOutputTarget both systems share: the file `target`
// updates, decided from what `query` tells of it. Throws FileError.
std::string ResolveOutputTarget(const std::string& target, const TOutputQuery& query);

class TCommitFile : public TFileWriter {
  public:
    // Checks the target (CheckOutputTarget) and starts the new file beside
    // the file it resolves to; throws FileError.
    explicit TCommitFile(const std::string& target);
    ~TCommitFile() override;
    // Makes the written bytes the content of the target, durably: the data
    // is on the disk before the name changes, and the name change is synced.
    // A replaced file's permission bits (and owner, where allowed) are kept.
    void Commit();

  private:
    std::string target_;    // as given, for messages
    std::string resolved_;  // the file actually replaced
    std::string tempPath_;  // named temporary file, when one had to be used
    bool committed_ = false;
#ifdef _WIN32
    bool deleteByName_ = true;  // the system does not delete it by itself
#endif
};

// Standard output as a writer: a duplicate of its descriptor, so closing the
// writer leaves the stream itself open. Throws FileError.
class TStandardOutput : public TFileWriter {
  public:
    TStandardOutput();
    // Writes out what is buffered and closes the duplicate; throws FileError.
    void Close() { CloseChecked(); }
};

}  // namespace quorvex
