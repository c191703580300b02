#include "sima/uniSimUtils.h"

#include <charconv>
#include <cstring>

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

uint64_t HashPair(double x, double y) {
    uint64_t h = KeyBits(x) * 0x9E3779B97F4A7C15ull;
    h ^= KeyBits(y) + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2);
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    return h;
}

char* PutInt(char* p, int64_t v) {
    return std::to_chars(p, p + 24, v).ptr;
}

void Put(char*& p, const char* s, size_t n) {
    std::memcpy(p, s, n);
    p += n;
}

void WriteBlock(TFileWriter& out, std::span<const int32_t> numbers, int32_t number,
                std::string_view attrValue, const char* head, const char* tail) {
    char line[64];
    char* p = line;
    Put(p, head, 4);
    p = PutInt(p, number);
    *p++ = ',';
    out.Write(std::string_view(line, static_cast<size_t>(p - line)));
    out.Write(attrValue);
    out.Write(",1,\r\n");
    for (const int32_t n : numbers) {
        char* q = out.Reserve(48);
        char* const start = q;
        Put(q, "B01,", 4);
        char* num = q;
        q = PutInt(q, n);
        const size_t len = static_cast<size_t>(q - num);
        *q++ = ',';
        std::memmove(q, num, len);  // the name is the number's text
        q += len;
        Put(q, ",\r\n", 3);
        out.Advance(static_cast<size_t>(q - start));
    }
    out.WriteLine(tail);
}

}  // namespace

void TSIMPoints::Clear() {
    points_.clear();
    slots_.clear();
    mask_ = 0;
}

void TSIMPoints::Grow() {
    const size_t size = slots_.empty() ? 1024 : slots_.size() * 2;
    slots_.assign(size, 0);
    mask_ = size - 1;
    for (size_t i = 0; i < points_.size(); ++i) {
        size_t s = HashPair(points_[i].X, points_[i].Y) & mask_;
        while (slots_[s] != 0)
            s = (s + 1) & mask_;
        slots_[s] = static_cast<uint32_t>(i + 1);
    }
}

int32_t TSIMPoints::Resolve(double x, double y, uint64_t hash) {
    size_t s = hash & mask_;
    while (const uint32_t idx = slots_[s]) {
        const TSIMPoint& p = points_[idx - 1];
        if (p.X == x && p.Y == y) return static_cast<int32_t>(idx);
        s = (s + 1) & mask_;
    }
    if (points_.size() >= static_cast<size_t>(INT32_MAX) - 1)
        throw ConversionError(TMsg::TooManyPoints);
    points_.push_back({x, y});
    slots_[s] = static_cast<uint32_t>(points_.size());
    return static_cast<int32_t>(points_.size());
}

int32_t TSIMPoints::FindOrAdd(double x, double y) {
    if ((points_.size() + 1) * 2 > slots_.size()) Grow();
    return Resolve(x, y, HashPair(x, y));
}

const std::vector<int32_t>& TSIMPoints::FindOrAddAll(std::span<const TSFPoint> points) {
    const size_t n = points.size();
    // Room for every point of the batch first, so no slot moves under the
    // fetches ahead.
    while ((points_.size() + n + 1) * 2 > slots_.size())
        Grow();
    hashes_.resize(n);
    numbers_.resize(n);
    for (size_t i = 0; i < n; ++i)
        hashes_[i] = HashPair(points[i].X, points[i].Y);
    constexpr size_t kAhead = 16;
    for (size_t i = 0; i < n && i < kAhead; ++i)
        __builtin_prefetch(&slots_[hashes_[i] & mask_]);
    for (size_t i = 0; i < n; ++i) {
        if (i + kAhead < n) __builtin_prefetch(&slots_[hashes_[i + kAhead] & mask_]);
        if (i + kAhead / 2 < n) {
            const uint32_t idx = slots_[hashes_[i + kAhead / 2] & mask_];
            if (idx != 0) __builtin_prefetch(&points_[idx - 1]);
        }
        numbers_[i] = Resolve(points[i].X, points[i].Y, hashes_[i]);
    }
    return numbers_;
}

void WriteSimPointLines(TFileWriter& out, const TSIMPoints& table, size_t from, bool swapXY) {
    for (size_t i = from; i < table.Count(); ++i) {
        const TSIMPoint& pt = table[i];
        char* p = out.Reserve(160);
        char* const start = p;
        Put(p, "A01,", 4);
        char* num = p;
        p = PutInt(p, static_cast<int64_t>(i) + 1);
        const size_t len = static_cast<size_t>(p - num);
        *p++ = ',';
        std::memmove(p, num, len);
        p += len;
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
    WriteSimPointLines(out, table, 0, swapXY);
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
