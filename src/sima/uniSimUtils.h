// The point table of a run and the three SIMA sections built from it: the
// coordinate section, parcel blocks (D00..D99) and route blocks (F00..F99).
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mif/UniSFMapUtil.h"
#include "support/large_memory.h"
#include "support/output_file.h"

namespace quorvex {

// One point: its number is its position in the table from 1, its name the
// decimal text of the number and its height 0, so only X and Y are stored.
struct TSIMPoint {
    double X = 0;
    double Y = 0;
};

// The secret of a point table's hash: each coordinate's bits are mixed with
// its own word before the two are combined, so that without the key no one
// can choose coordinates that fall into one probe cluster.
struct TPointHashKey {
    uint64_t X = 0, Y = 0, Mix = 0;
};
// The key derived from a 64-bit seed.
TPointHashKey PointHashKeyOf(uint64_t seed);
// The 32 bits of the hash a table keyed with `key` files (x, y) under; the
// index's home slot is their low bits.
uint32_t PointHashTag(const TPointHashKey& key, double x, double y);
// Tables made while a seed is set take their key from it instead of a random
// one, so that a failing input replays; for tests only. nullopt unsets it.
void SetPointHashSeedForTesting(std::optional<uint64_t> seed);

// Points numbered 1, 2, 3 in order of first use, matched by exact equality
// of both coordinates (0.0 and -0.0 equal), found through a hash of the pair
// keyed with a seed drawn for each table (the numbers never depend on it).
// The points lie in chunks that double in size (1024 points, then 2048 ...),
// so the table never copies them as it grows, a small file costs little
// memory, and points already added may be read by another thread while more
// are added (once the adding thread has published the count); each slot of the open-addressing
// index holds a point's number and 32 bits of its hash, so probes rarely touch a point that does
// not match and growing the index reads neither points nor hashes.
class TSIMPoints {
  public:
    TSIMPoints();
    TSIMPoints(TSIMPoints&&) noexcept = default;
    TSIMPoints& operator=(TSIMPoints&&) noexcept = default;

    void Clear();
    size_t Count() const { return count_; }
    // Drops the points from number `count` + 1 on, the last ones added, from
    // the points and the index; the next point added is number `count` + 1.
    void TruncateTo(size_t count);
    // Occupied index slots looked at by lookups so far: what a flood of
    // colliding coordinates would drive up.
    uint64_t Probes() const { return probes_; }
    const TPointHashKey& Key() const { return key_; }
    const TSIMPoint& operator[](size_t i) const {
        const size_t j = i + kFirstChunk;
        // j >= kFirstChunk; the OR, a no-op then, lets the compiler see c >= 0.
        const int c = static_cast<int>(std::bit_width(j | kFirstChunk)) - (kFirstChunkBits + 1);
        return chunks_[c][j - (kFirstChunk << c)];
    }

    // Number of the point at (x, y), added first when there is none.
    int32_t FindOrAdd(double x, double y);
    // The numbers of all `points`, in order, as FindOrAdd one by one would
    // give them; the table's memory is fetched ahead, which a long polyline
    // through scattered points needs. Valid until the next call.
    const std::vector<int32_t>& FindOrAddAll(std::span<const TSFPoint> points);

  private:
    // Chunk c holds kFirstChunk << c points; the 22 together hold more than
    // INT32_MAX.
    static constexpr int kFirstChunkBits = 10;
    static constexpr size_t kFirstChunk = size_t(1) << kFirstChunkBits;
    static constexpr size_t kChunks = 22;

    // Room for `more` points at a load of at most one half.
    void Reserve(size_t more);
    void Grow();
    int32_t Resolve(double x, double y, uint32_t tag);
    TSIMPoint& At(size_t i) { return const_cast<TSIMPoint&>(std::as_const(*this)[i]); }

    // Zeroed on demand by the system, so a large chunk costs only the pages
    // its points reach.
    std::array<TZeroedArray<TSIMPoint>, kChunks> chunks_;
    size_t count_ = 0;
    // (hash tag << 32) | number of a point, 0 for an empty slot; a point's
    // home slot is its tag masked to the table size.
    TZeroedArray<uint64_t> slots_;
    size_t slotCount_ = 0;
    size_t mask_ = 0;
    TPointHashKey key_;
    uint64_t probes_ = 0;
    std::vector<uint32_t> tags_;  // of the batch being resolved
    std::vector<int32_t> numbers_;
};

inline int32_t FindOrAddSimPoint(TSIMPoints& table, const TSFPoint& p) {
    return table.FindOrAdd(p.X, p.Y);
}

// "A00,", one "A01," line per point (the second coordinate first when
// swapXY), "A99,".
void WriteSimPoints(TFileWriter& out, const TSIMPoints& table, bool swapXY);
// The "A01," lines of the points with indexes from `from` to before `to`, so
// the section can be written piece by piece while the table grows.
void WriteSimPointLines(TFileWriter& out, const TSIMPoints& table, size_t from, size_t to,
                        bool swapXY);
void WriteSimParcel(TFileWriter& out, const TSFPolygon& rec, TSIMPoints& table, int32_t parcelNo,
                    std::string_view attrValue);
void WriteSimRoute(TFileWriter& out, const TSFPolyLine& rec, TSIMPoints& table, int32_t routeNo,
                   std::string_view attrValue);

enum class TSimBlockKind { Parcel, Route };
// The block of either kind from its vertices alone.
void WriteSimBlock(TFileWriter& out, TSimBlockKind kind, std::span<const TSFPoint> points,
                   TSIMPoints& table, int32_t number, std::string_view attrValue);
// The block from the point numbers its vertices resolved to.
void WriteSimBlockNumbers(TFileWriter& out, TSimBlockKind kind, std::span<const int32_t> numbers,
                          int32_t number, std::string_view attrValue);

// Blocks waiting in a scratch file until the coordinate section is complete.
// Each is kept as its head line and its point numbers in binary, four bytes
// a vertex instead of a "B01," line of about twenty, and becomes text only
// once, when WriteTo() writes it into the SIMA file.
class TSimBlockScratch {
  public:
    void Put(TSimBlockKind kind, std::span<const int32_t> numbers, int32_t number,
             std::string_view attrValue);
    // Writes every block put, in order, as WriteSimBlockNumbers would have.
    void WriteTo(TFileWriter& out);
    // Bytes kept so far, and taking back what was kept after Size() was
    // `size`, as for a file.
    uint64_t Size() const { return file_.Size(); }
    void Truncate(uint64_t size) { file_.Truncate(size); }

  private:
    TScratchFile file_;
};

}  // namespace quorvex
