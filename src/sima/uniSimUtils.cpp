#include "sima/uniSimUtils.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <memory>
#include <random>

#include "sima/sima_number.h"
#include "support/errors.h"

namespace quorvex {
namespace {

uint64_t KeyBits(double v) {
    if (v == 0) v = 0;  // -0.0 and 0.0 are one key
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

// The 128-bit product's halves folded together: every bit of either factor
// reaches the middle bits of the result.
uint64_t FoldedMultiply(uint64_t a, uint64_t b) {
    const unsigned __int128 p = static_cast<unsigned __int128>(a) * b;
    return static_cast<uint64_t>(p) ^ static_cast<uint64_t>(p >> 64);
}

uint64_t SplitMix64(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::atomic<bool> gTestSeedSet{false};
std::atomic<uint64_t> gTestSeed{0};

// A seed no input can anticipate. Older MinGW runtimes gave a fixed
// sequence from random_device, and it may throw where no source exists, so
// the clock and an address (randomised by the system) are mixed in.
uint64_t RandomSeed() {
    uint64_t seed = 0;
    try {
        std::random_device device;
        seed = (static_cast<uint64_t>(device()) << 32) ^ device();
    } catch (const std::exception&) {
    }
    uint64_t state =
        static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    seed ^= SplitMix64(state);
    state ^= reinterpret_cast<uintptr_t>(&seed);
    return seed ^ SplitMix64(state);
}

char* PutInt(char* p, int64_t v) {
    return std::to_chars(p, p + 24, v).ptr;
}

constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes "N,N" for a point number N from 1 (a point's number and its name),
// with fixed-size copies only; needs 40 bytes of room at `p`.
char* PutNumberTwice(char* p, uint32_t n) {
    char tmp[32];
    char* t = tmp + 16;
    while (n >= 100) {
        t -= 2;
        std::memcpy(t, kPairs + 2 * (n % 100), 2);
        n /= 100;
    }
    if (n >= 10) {
        t -= 2;
        std::memcpy(t, kPairs + 2 * n, 2);
    } else {
        *--t = static_cast<char>('0' + n);
    }
    const auto len = static_cast<size_t>(tmp + 16 - t);
    std::memcpy(p, t, 16);  // the digits and bytes after them that are overwritten
    p += len;
    *p++ = ',';
    std::memcpy(p, t, 16);
    return p + len;
}

void Put(char*& p, const char* s, size_t n) {
    std::memcpy(p, s, n);
    p += n;
}

// The head line up to its attribute value: "D00,N," or "F00,N,".
void WriteBlockHeadStart(TFileWriter& out, int32_t number, const char* head) {
    char line[64];
    char* p = line;
    Put(p, head, 4);
    p = PutInt(p, number);
    *p++ = ',';
    out.Write(std::string_view(line, static_cast<size_t>(p - line)));
}

void WriteBlockLine(TFileWriter& out, int32_t n) {
    char* q = out.Reserve(48);
    char* const start = q;
    Put(q, "B01,", 4);
    q = PutNumberTwice(q, static_cast<uint32_t>(n));  // the name is the number's text
    Put(q, ",\r\n", 3);
    out.Advance(static_cast<size_t>(q - start));
}

void WriteBlock(TFileWriter& out, std::span<const int32_t> numbers, int32_t number,
                std::string_view attrValue, const char* head, const char* tail) {
    WriteBlockHeadStart(out, number, head);
    out.Write(attrValue);
    out.Write(",1,\r\n");
    for (const int32_t n : numbers)
        WriteBlockLine(out, n);
    out.WriteLine(tail);
}

// A kept block: this head, the attribute value's bytes, the numbers.
struct TKeptBlockHead {
    int32_t Number;
    uint32_t Kind;  // 0 parcel, 1 route
    uint64_t ValueSize;
    uint64_t Count;
};

// Reads a scratch file back through a buffer of fixed size.
class TScratchReader {
  public:
    explicit TScratchReader(TScratchFile& file) : file_(file), buf_(new char[kSize]) {
        file_.StartReading();
    }
    // The bytes read and not yet taken; more after Fill().
    std::string_view Ready() const { return {buf_.get() + pos_, end_ - pos_}; }
    void Take(size_t n) { pos_ += n; }
    // Reads more behind what is ready; false at the end of the file.
    bool Fill() {
        std::memmove(buf_.get(), buf_.get() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
        const size_t got = file_.Read(buf_.get() + end_, kSize - end_);
        end_ += got;
        return got != 0;
    }
    // Fills until `n` bytes (at most kSize) are ready; a file cut short is
    // one this program did not write.
    void Need(size_t n) {
        while (end_ - pos_ < n)
            if (!Fill()) ThrowFileError("read", file_.Path(), EIO);
    }

  private:
    static constexpr size_t kSize = size_t{1} << 18;
    TScratchFile& file_;
    std::unique_ptr<char[]> buf_;
    size_t pos_ = 0, end_ = 0;
};

}  // namespace

void TSimBlockScratch::Put(TSimBlockKind kind, std::span<const int32_t> numbers, int32_t number,
                           std::string_view attrValue) {
    const TKeptBlockHead head{number, kind == TSimBlockKind::Parcel ? 0u : 1u, attrValue.size(),
                              numbers.size()};
    file_.Write(std::string_view(reinterpret_cast<const char*>(&head), sizeof head));
    // An empty value or vertex list may have no storage at all: nothing to
    // copy, and no null pointer handed to the copy.
    if (!attrValue.empty()) file_.Write(attrValue);
    if (!numbers.empty())
        file_.Write(std::string_view(reinterpret_cast<const char*>(numbers.data()),
                                     numbers.size() * sizeof(int32_t)));
}

void TSimBlockScratch::WriteTo(TFileWriter& out) {
    TScratchReader in(file_);
    for (;;) {
        if (in.Ready().empty() && !in.Fill()) break;
        in.Need(sizeof(TKeptBlockHead));
        TKeptBlockHead head;
        std::memcpy(&head, in.Ready().data(), sizeof head);
        in.Take(sizeof head);
        const bool parcel = head.Kind == 0;
        // The head line, its value passed on piece by piece however long.
        WriteBlockHeadStart(out, head.Number, parcel ? "D00," : "F00,");
        for (uint64_t left = head.ValueSize; left > 0;) {
            in.Need(1);
            const std::string_view part =
                in.Ready().substr(0, std::min<uint64_t>(left, in.Ready().size()));
            out.Write(part);
            in.Take(part.size());
            left -= part.size();
        }
        out.Write(",1,\r\n");
        for (uint64_t left = head.Count; left > 0;) {
            in.Need(sizeof(int32_t));
            const size_t n =
                static_cast<size_t>(std::min<uint64_t>(left, in.Ready().size() / sizeof(int32_t)));
            const char* at = in.Ready().data();
            for (size_t i = 0; i < n; ++i, at += sizeof(int32_t)) {
                int32_t number;
                std::memcpy(&number, at, sizeof number);
                WriteBlockLine(out, number);
            }
            in.Take(n * sizeof(int32_t));
            left -= n;
        }
        out.WriteLine(parcel ? "D99," : "F99,");
    }
}

TPointHashKey PointHashKeyOf(uint64_t seed) {
    TPointHashKey key;
    key.X = SplitMix64(seed);
    key.Y = SplitMix64(seed);
    key.Mix = SplitMix64(seed) | 1;
    return key;
}

uint32_t PointHashTag(const TPointHashKey& key, double x, double y) {
    // Each coordinate meets its own key word before they are combined; a
    // key added only after would leave pairs that collide under every key.
    const uint64_t h = FoldedMultiply(KeyBits(x) ^ key.X, KeyBits(y) ^ key.Y);
    return static_cast<uint32_t>(FoldedMultiply(h, key.Mix) >> 32);
}

void SetPointHashSeedForTesting(std::optional<uint64_t> seed) {
    gTestSeed = seed.value_or(0);
    gTestSeedSet = seed.has_value();
}

TSIMPoints::TSIMPoints() : key_(PointHashKeyOf(gTestSeedSet ? gTestSeed.load() : RandomSeed())) {}

void TSIMPoints::TruncateTo(size_t count) {
    // Each dropped point leaves the index by backward shifting: the entries
    // after it in its cluster that may move closer to home fill the gap, so
    // every remaining point stays reachable from its home slot.
    while (count_ > count) {
        const TSIMPoint& p = (*this)[count_ - 1];
        size_t s = PointHashTag(key_, p.X, p.Y) & mask_;
        while (static_cast<uint32_t>(slots_[s]) != count_)
            s = (s + 1) & mask_;
        size_t hole = s;
        for (size_t j = (s + 1) & mask_; slots_[j] != 0; j = (j + 1) & mask_) {
            const size_t home = (slots_[j] >> 32) & mask_;
            if (((j - home) & mask_) >= ((j - hole) & mask_)) {
                slots_[hole] = slots_[j];
                hole = j;
            }
        }
        slots_[hole] = 0;
        --count_;
    }
}

void TSIMPoints::Clear() {
    for (auto& chunk : chunks_)
        chunk.Reset();
    count_ = 0;
    slots_.Reset();
    slotCount_ = 0;
    mask_ = 0;
}

void TSIMPoints::Reserve(size_t more) {
    while ((count_ + more + 1) * 2 > slotCount_)
        Grow();
}

// Doubles the index. Walking the old slots from just after an empty one
// visits each cluster whole and in order of home slot, so the new slots are
// filled front to back in two runs (home s and s + old size), at the speed of
// memory rather than of a cache miss per point.
void TSIMPoints::Grow() {
    const size_t oldCount = slotCount_;
    const size_t size = oldCount == 0 ? 1024 : oldCount * 2;
    if (size > (size_t(1) << 32)) throw ConversionError(TMsg::TooManyPoints);
    TZeroedArray<uint64_t> slots(size);
    const size_t mask = size - 1;
    if (oldCount != 0) {
        size_t start = 0;
        while (slots_[start] != 0)
            ++start;  // a table at most half full has an empty slot
        for (size_t n = 1; n <= oldCount; ++n) {
            const uint64_t v = slots_[(start + n) & mask_];
            if (v == 0) continue;
            size_t s = (v >> 32) & mask;
            while (slots[s] != 0)
                s = (s + 1) & mask;
            slots[s] = v;
        }
    }
    slots_ = std::move(slots);
    slotCount_ = size;
    mask_ = mask;
}

int32_t TSIMPoints::Resolve(double x, double y, uint32_t tag) {
    const size_t home = tag & mask_;
    size_t s = home;
    while (const uint64_t v = slots_[s]) {
        if (static_cast<uint32_t>(v >> 32) == tag) {
            const auto idx = static_cast<uint32_t>(v);
            const TSIMPoint& p = (*this)[idx - 1];
            if (p.X == x && p.Y == y) {
                probes_ += ((s - home) & mask_) + 1;
                return static_cast<int32_t>(idx);
            }
        }
        s = (s + 1) & mask_;
    }
    probes_ += (s - home) & mask_;
    if (count_ >= static_cast<size_t>(INT32_MAX) - 1) throw ConversionError(TMsg::TooManyPoints);
    if (const size_t j = count_ + kFirstChunk; std::has_single_bit(j)) {
        const int c = static_cast<int>(std::bit_width(j | kFirstChunk)) - (kFirstChunkBits + 1);
        chunks_[c] = TZeroedArray<TSIMPoint>(j);  // chunk c starts at j - kFirstChunk, holds j
    }
    At(count_) = {x, y};
    ++count_;
    slots_[s] = (static_cast<uint64_t>(tag) << 32) | count_;
    return static_cast<int32_t>(count_);
}

int32_t TSIMPoints::FindOrAdd(double x, double y) {
    Reserve(1);
    return Resolve(x, y, PointHashTag(key_, x, y));
}

const std::vector<int32_t>& TSIMPoints::FindOrAddAll(std::span<const TSFPoint> points) {
    const size_t n = points.size();
    // Room for every point of the batch first, so no slot moves under the
    // fetches ahead.
    Reserve(n);
    tags_.resize(n);
    numbers_.resize(n);
    for (size_t i = 0; i < n; ++i)
        tags_[i] = PointHashTag(key_, points[i].X, points[i].Y);
    constexpr size_t kAhead = 16;
    for (size_t i = 0; i < n && i < kAhead; ++i)
        __builtin_prefetch(&slots_[tags_[i] & mask_]);
    for (size_t i = 0; i < n; ++i) {
        if (i + kAhead < n) __builtin_prefetch(&slots_[tags_[i + kAhead] & mask_]);
        if (i + kAhead / 2 < n) {
            const auto idx = static_cast<uint32_t>(slots_[tags_[i + kAhead / 2] & mask_]);
            if (idx != 0) __builtin_prefetch(&(*this)[idx - 1]);
        }
        numbers_[i] = Resolve(points[i].X, points[i].Y, tags_[i]);
    }
    return numbers_;
}

void WriteSimPointLines(TFileWriter& out, const TSIMPoints& table, size_t from, size_t to,
                        bool swapXY) {
    for (size_t i = from; i < to; ++i) {
        const TSIMPoint& pt = table[i];
        char* p = out.Reserve(160);
        char* const start = p;
        Put(p, "A01,", 4);
        p = PutNumberTwice(p, static_cast<uint32_t>(i + 1));
        *p++ = ',';
        p += FormatSimaNumber(swapXY ? pt.Y : pt.X, p);
        *p++ = ',';
        p += FormatSimaNumber(swapXY ? pt.X : pt.Y, p);
        Put(p, ",0,\r\n", 5);
        out.Advance(static_cast<size_t>(p - start));
    }
}

void WriteSimPoints(TFileWriter& out, const TSIMPoints& table, bool swapXY) {
    out.WriteLine("A00,");
    WriteSimPointLines(out, table, 0, table.Count(), swapXY);
    out.WriteLine("A99,");
}

void WriteSimParcel(TFileWriter& out, const TSFPolygon& rec, TSIMPoints& table, int32_t parcelNo,
                    std::string_view attrValue) {
    WriteSimBlock(out, TSimBlockKind::Parcel, rec.Points, table, parcelNo, attrValue);
}

void WriteSimRoute(TFileWriter& out, const TSFPolyLine& rec, TSIMPoints& table, int32_t routeNo,
                   std::string_view attrValue) {
    WriteSimBlock(out, TSimBlockKind::Route, rec.Points, table, routeNo, attrValue);
}

void WriteSimBlock(TFileWriter& out, TSimBlockKind kind, std::span<const TSFPoint> points,
                   TSIMPoints& table, int32_t number, std::string_view attrValue) {
    WriteSimBlockNumbers(out, kind, table.FindOrAddAll(points), number, attrValue);
}

void WriteSimBlockNumbers(TFileWriter& out, TSimBlockKind kind, std::span<const int32_t> numbers,
                          int32_t number, std::string_view attrValue) {
    if (kind == TSimBlockKind::Parcel)
        WriteBlock(out, numbers, number, attrValue, "D00,", "D99,");
    else
        WriteBlock(out, numbers, number, attrValue, "F00,", "F99,");
}

}  // namespace quorvex
