// Buffered line reader for MIF and MID files. A line ends at LF, with or
// without CR before it; a CR anywhere else is dropped; a last line without
// line end is a line. Reads in large blocks, lines of any length.
#pragma once

#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvex {

class TLineReader {
  public:
    // A longer line (line end not counted) is a ConversionError: no MIF,
    // MID or batch-list line of real data comes near it, and memory stays
    // bounded whatever the input.
    static constexpr size_t kMaxLineBytes = size_t{16} << 20;
    [[noreturn]] static void ThrowLineTooLong(const std::string& path, int64_t lineNumber);

    // Opens `path` for reading; throws FileError when it cannot or when it is
    // not a regular file (a FIFO, a device).
    explicit TLineReader(const std::string& path, size_t blockSize = 1 << 20);
    // Reads from memory (tests).
    static TLineReader FromText(std::string_view text);
    // Reads from the start of an open file (a scratch file just written),
    // through a descriptor of its own; `name` stands for it in messages.
    // Throws FileError.
    static TLineReader FromDescriptor(int fd, const std::string& name, size_t blockSize = 1 << 20);
    ~TLineReader();
    TLineReader(TLineReader&&) noexcept;
    TLineReader& operator=(TLineReader&&) = delete;
    TLineReader(const TLineReader&) = delete;

    // Next line, valid until the next call of ReadLine or AtEnd. False at the
    // end of the file.
    bool ReadLine(std::string_view& line) {
        // Most lines lie whole in the buffer, with no CR but one before the
        // LF: one scan finds the first of either.
        if (!pushedBack_ && pos_ < end_) {
            const char* begin = buf_.get() + pos_;
            const char* stop = FindLineBreak(begin);
            const char* nl = stop[0] == '\r' && stop[1] == '\n' ? stop + 1 : stop;
            const auto size = static_cast<size_t>(stop - begin);
            if (*nl == '\n' && nl < buf_.get() + end_ && size <= kMaxLineBytes) {
                pos_ = static_cast<size_t>(nl - buf_.get()) + 1;
                ++lineNumber_;
                last_ = std::string_view(begin, size);
                line = std::string_view(begin, size);
                return true;
            }
        }
        return ReadLineSlow(line);
    }
    // A line that lies in the reader's buffer (most do) is followed by its
    // line end, or by a '\n' put after the last byte read, and then by at
    // least this many readable bytes, so a parser may read ahead of it in
    // words without a padded copy.
    static constexpr size_t kReadAhead = 32;
    // Whether `line`, as returned by ReadLine, lies in the buffer.
    bool InBuffer(std::string_view line) const {
        const auto b = reinterpret_cast<uintptr_t>(buf_.get());
        const auto p = reinterpret_cast<uintptr_t>(line.data());
        return p >= b && p + line.size() <= b + end_;
    }
    // Drops a UTF-8 byte order mark (EF BB BF) that opens the file, which
    // editors write whatever the text's character set. Only before the first
    // line is read.
    void SkipByteOrderMark();
    // Makes the next ReadLine return the line just read once more.
    void UnreadLine();
    // True when no line remains.
    bool AtEnd();

    // Number (from 1) of the line last returned.
    int64_t LineNumber() const { return lineNumber_; }
    const std::string& Path() const { return path_; }

  private:
    TLineReader() = default;
    // The first LF or CR at or after `p`: the '\n' put after the last byte
    // read ends the search, and reading 16 bytes at a time stays inside the
    // read-ahead behind it.
    static const char* FindLineBreak(const char* p) {
#if defined(__SSE2__)
        const __m128i lf = _mm_set1_epi8('\n');
        const __m128i cr = _mm_set1_epi8('\r');
        for (;; p += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const auto hits = static_cast<unsigned>(
                _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr))));
            if (hits != 0) return p + std::countr_zero(hits);
        }
#else
        while (*p != '\n' && *p != '\r')
            ++p;
        return p;
#endif
    }
    // Appends more bytes at the end of the buffer; false at end of input.
    bool Fill();
    // Room for `cap` bytes and the read-ahead, zeroed.
    void Allocate(size_t cap);
    void MarkEnd() {
        buf_[end_] = '\n';
    }
    bool ReadLineSlow(std::string_view& line);
    [[noreturn]] void FailLineTooLong();

    int fd_ = -1;
    std::string path_;
    std::unique_ptr<char[]> buf_;
    size_t cap_ = 0;
    size_t pos_ = 0;  // start of unread bytes
    size_t end_ = 0;  // end of valid bytes
    bool eof_ = false;
    bool pushedBack_ = false;
    std::string_view last_;
    std::string scratch_;  // lines with CR or lines longer than the buffer
    int64_t lineNumber_ = 0;
};

}  // namespace quorvex
