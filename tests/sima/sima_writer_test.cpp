// The point table, the coordinate section, the parcel and route blocks and
// the whole SIMA file, compared byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "sima/sima_layout.h"
#include "sima/uniSimUtils.h"
#include "sima_bytes.h"
#include "support/errors.h"
#include "support/output_file.h"
#include "test_util.h"

namespace quorvex {
namespace {

using test::kParcelsBanner;
using test::kPointsBanner;
using test::kRoutesBanner;
using test::kSimaHead;

// Bytes that `write` puts into a fresh output file.
template <class F>
std::string Written(F write) {
    test::TempDir dir;
    const std::string path = dir / "out.sim";
    TCommitFile out(path);
    write(out);
    out.Commit();
    return test::ReadBytes(path);
}

template <class Shape>
Shape Record(std::initializer_list<TSFPoint> points) {
    Shape rec;
    rec.Points = points;
    rec.NumPoints = static_cast<int32_t>(rec.Points.size());
    rec.NumParts = 1;
    rec.Parts = {0};
    return rec;
}

TEST(TSIMPoints, NumbersInOrderOfFirstUse) {
    TSIMPoints table;
    EXPECT_EQ(FindOrAddSimPoint(table, {100, 200}), 1);
    EXPECT_EQ(FindOrAddSimPoint(table, {110, 200}), 2);
    EXPECT_EQ(FindOrAddSimPoint(table, {100, 200}), 1);
    EXPECT_EQ(FindOrAddSimPoint(table, {200, 100}), 3);  // X and Y are not interchangeable
    EXPECT_EQ(FindOrAddSimPoint(table, {110, 200}), 2);
    ASSERT_EQ(table.Count(), 3u);
    EXPECT_EQ(table[2].X, 200);
    EXPECT_EQ(table[2].Y, 100);
}

TEST(TSIMPoints, ExactEqualityOnly) {
    TSIMPoints table;
    const double x = 728800.1;
    EXPECT_EQ(FindOrAddSimPoint(table, {x, 5}), 1);
    EXPECT_EQ(FindOrAddSimPoint(table, {std::nextafter(x, 1e9), 5}), 2);
    EXPECT_EQ(FindOrAddSimPoint(table, {x, std::nextafter(5.0, 0.0)}), 3);
    EXPECT_EQ(FindOrAddSimPoint(table, {x, 5}), 1);

    // -0.0 and 0.0 are one point, which keeps its first coordinates.
    EXPECT_EQ(FindOrAddSimPoint(table, {-0.0, 7}), 4);
    EXPECT_EQ(FindOrAddSimPoint(table, {0.0, 7}), 4);
    EXPECT_TRUE(std::signbit(table[3].X));
    EXPECT_EQ(FindOrAddSimPoint(table, {3, 0.0}), 5);
    EXPECT_EQ(FindOrAddSimPoint(table, {3, -0.0}), 5);
    EXPECT_FALSE(std::signbit(table[4].Y));
    EXPECT_EQ(table.Count(), 5u);
}

TEST(TSIMPoints, ManyPointsKeepTheirNumbers) {
    TSIMPoints table;
    for (int i = 0; i < 20000; ++i)
        ASSERT_EQ(FindOrAddSimPoint(table, {i * 0.5, -i * 0.25}), i + 1);
    for (int i = 19999; i >= 0; i -= 7)
        ASSERT_EQ(FindOrAddSimPoint(table, {i * 0.5, -i * 0.25}), i + 1);
    EXPECT_EQ(table.Count(), 20000u);
    table.Clear();
    EXPECT_EQ(table.Count(), 0u);
    EXPECT_EQ(FindOrAddSimPoint(table, {1.5, -0.75}), 1);
}

// Batches across several index doublings, point chunks and the switch to
// large mappings, with repeats near and far back and points that differ in
// one bit: numbers as one-by-one lookups in a plain map give them.
TEST(TSIMPoints, BatchesAgreeWithAPlainMapAcrossGrowth) {
    TSIMPoints table;
    std::map<std::pair<double, double>, int32_t> expected;
    std::vector<TSFPoint> seen;
    uint64_t state = 12345;
    auto next = [&] { return state = state * 6364136223846793005ull + 1442695040888963407ull; };
    for (int batch = 0; batch < 60; ++batch) {
        std::vector<TSFPoint> points;
        for (int i = 0; i < 7000; ++i) {
            const uint64_t r = next() >> 33;
            if (!seen.empty() && r % 3 == 0) {
                points.push_back(seen[(next() >> 33) % seen.size()]);
            } else if (!seen.empty() && r % 3 == 1) {
                TSFPoint p =
                    seen[seen.size() - 1 - (next() >> 33) % std::min<size_t>(seen.size(), 50)];
                p.Y = std::nextafter(p.Y, 1e300);
                points.push_back(p);
            } else {
                points.push_back({-35000.0 + static_cast<double>(r % 100000) / 64,
                                  12000.0 + static_cast<double>(next() >> 40) / 1024});
            }
            seen.push_back(points.back());
        }
        const std::vector<int32_t>& numbers = table.FindOrAddAll(points);
        ASSERT_EQ(numbers.size(), points.size());
        for (size_t i = 0; i < points.size(); ++i) {
            const auto key = std::make_pair(points[i].X, points[i].Y);
            const auto [it, added] =
                expected.emplace(key, static_cast<int32_t>(expected.size() + 1));
            ASSERT_EQ(numbers[i], it->second) << batch << " " << i << " " << added;
        }
    }
    ASSERT_EQ(table.Count(), expected.size());
    ASSERT_GT(table.Count(), 140000u);  // past two chunks and a large index
    for (const auto& [key, number] : expected) {
        ASSERT_EQ(table[static_cast<size_t>(number - 1)].X, key.first);
        ASSERT_EQ(table[static_cast<size_t>(number - 1)].Y, key.second);
    }
}

// Fixes the seed of the tables made while it lives.
struct FixedSeed {
    explicit FixedSeed(uint64_t seed) { SetPointHashSeedForTesting(seed); }
    ~FixedSeed() { SetPointHashSeedForTesting(std::nullopt); }
};

// `n` points near a plane coordinate whose tags under `tag` agree in their
// low `bits` bits: one probe cluster in any index of up to 2^bits slots.
template <class Tag>
std::vector<TSFPoint> Colliding(size_t n, int bits, Tag tag) {
    std::vector<TSFPoint> points;
    const uint32_t mask = (uint32_t(1) << bits) - 1;
    for (uint64_t i = 0; points.size() < n; ++i) {
        const TSFPoint p{-35000.0 + static_cast<double>(i % 65536) * 0.01,
                         12000.0 + static_cast<double>(i / 65536) * 0.01};
        if ((tag(p.X, p.Y) & mask) == 0) points.push_back(p);
    }
    return points;
}

// The hash as it was before it had a key: the same for every run, so
// colliding inputs could be computed once and sent to anyone.
uint32_t UnkeyedTag(double x, double y) {
    auto bits = [](double v) {
        if (v == 0) v = 0;
        uint64_t b;
        std::memcpy(&b, &v, sizeof b);
        return b;
    };
    uint64_t h = bits(x) * 0x9E3779B97F4A7C15ull;
    h ^= bits(y) + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2);
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    return static_cast<uint32_t>(h >> 32);
}

// Coordinates chosen to collide fill one cluster, and each lookup walks it:
// probes grow with the square of the count. Chosen against a known key they
// still do (the table works as before); against the old unkeyed hash, or
// without the key, they spread like any others. Counted, never timed.
TEST(TSIMPoints, CollisionsCannotBeChosenWithoutTheKey) {
    constexpr size_t kPoints = 2000;  // an index of 4096 slots at the end
    const TPointHashKey known = PointHashKeyOf(42);
    const auto againstKnown =
        Colliding(kPoints, 12, [&](double x, double y) { return PointHashTag(known, x, y); });
    const auto againstOld = Colliding(kPoints, 12, UnkeyedTag);

    uint64_t clustered = 0;
    {
        FixedSeed seed(42);
        TSIMPoints table;
        table.FindOrAddAll(againstKnown);
        clustered = table.Probes();
        EXPECT_EQ(table.Count(), kPoints);
    }
    EXPECT_GT(clustered, kPoints * kPoints / 4);

    for (const auto* points : {&againstKnown, &againstOld}) {
        TSIMPoints table;  // a key of its own, drawn at random
        const std::vector<int32_t> numbers = table.FindOrAddAll(*points);
        EXPECT_LT(table.Probes(), 10 * kPoints);
        // The numbering never depends on the key.
        for (size_t i = 0; i < numbers.size(); ++i)
            ASSERT_EQ(numbers[i], static_cast<int32_t>(i + 1));
    }
    // Two tables draw different keys.
    EXPECT_NE(TSIMPoints().Key().X, TSIMPoints().Key().X);
}

// Points taken back from the end, again and again, in an index crowded into
// clusters: every remaining point is still found under its number, the
// dropped ones are new again, and the numbers run on without gaps.
TEST(TSIMPoints, TruncatedPointsLeaveTheIndexAndTheNumbersRunOn) {
    FixedSeed seed(7);
    const TPointHashKey key = PointHashKeyOf(7);
    // Half of the points share few home slots, so dropping one must move
    // others of its cluster.
    auto pool = Colliding(3000, 6, [&](double x, double y) { return PointHashTag(key, x, y); });
    for (int i = 0; i < 3000; ++i)
        pool.push_back({i * 0.5, -i * 0.25});
    TSIMPoints table;
    std::vector<TSFPoint> model;  // point n at n - 1
    uint64_t state = 99;
    auto next = [&] {
        return (state = state * 6364136223846793005ull + 1442695040888963407ull) >> 33;
    };
    auto numberIn = [&](const TSFPoint& p) {
        for (size_t i = 0; i < model.size(); ++i)
            if (model[i].X == p.X && model[i].Y == p.Y) return static_cast<int32_t>(i + 1);
        model.push_back(p);
        return static_cast<int32_t>(model.size());
    };
    for (int round = 0; round < 60; ++round) {
        std::vector<TSFPoint> points;
        for (int i = 0; i < 400; ++i)
            points.push_back(pool[next() % pool.size()]);
        const std::vector<int32_t> numbers = table.FindOrAddAll(points);
        for (size_t i = 0; i < points.size(); ++i)
            ASSERT_EQ(numbers[i], numberIn(points[i])) << round << " " << i;
        const size_t keep = model.size() - next() % (model.size() / 3 + 1);
        table.TruncateTo(keep);
        model.resize(keep);
        ASSERT_EQ(table.Count(), keep);
        const std::vector<int32_t> again = table.FindOrAddAll(model);
        for (size_t i = 0; i < model.size(); ++i)
            ASSERT_EQ(again[i], static_cast<int32_t>(i + 1)) << round << " " << i;
        ASSERT_EQ(table.Count(), keep);
    }
    EXPECT_GT(model.size(), 1000u);
}

TEST(WriteSimPoints, SectionWithAndWithoutSwap) {
    TSIMPoints empty;
    EXPECT_EQ(Written([&](TFileWriter& out) { WriteSimPoints(out, empty, false); }),
              "A00,\r\nA99,\r\n");

    TSIMPoints table;
    FindOrAddSimPoint(table, {100.5, 200});
    for (int i = 2; i <= 11; ++i)
        FindOrAddSimPoint(table, {double(i), 0});
    FindOrAddSimPoint(table, {-351.25, 678.5});
    FindOrAddSimPoint(table, {-0.0, 1e-5});
    const std::string plain = Written([&](TFileWriter& out) { WriteSimPoints(out, table, false); });
    const std::string swapped =
        Written([&](TFileWriter& out) { WriteSimPoints(out, table, true); });
    EXPECT_EQ(plain.substr(0, 31), "A00,\r\nA01,1,1,100.5,200,0,\r\nA01");
    EXPECT_EQ(swapped.substr(0, 31), "A00,\r\nA01,1,1,200,100.5,0,\r\nA01");
    EXPECT_NE(plain.find("\r\nA01,10,10,10,0,0,\r\n"), std::string::npos);
    EXPECT_NE(swapped.find("\r\nA01,10,10,0,10,0,\r\n"), std::string::npos);
    EXPECT_NE(plain.find("\r\nA01,12,12,-351.25,678.5,0,\r\n"), std::string::npos);
    EXPECT_NE(swapped.find("\r\nA01,12,12,678.5,-351.25,0,\r\n"), std::string::npos);
    EXPECT_TRUE(plain.ends_with("\r\nA01,13,13,0,1E-5,0,\r\nA99,\r\n"));
    EXPECT_TRUE(swapped.ends_with("\r\nA01,13,13,1E-5,0,0,\r\nA99,\r\n"));
}

TEST(WriteSimParcel, BlockRefersToPointNumbers) {
    TSIMPoints table;
    for (double x : {1.0, 2.0, 3.0, 4.0})
        FindOrAddSimPoint(table, {x, x});
    const auto rec = Record<TSFPolygon>({{1, 1}, {2, 2}, {5, 5}, {1, 1}});
    EXPECT_EQ(Written([&](TFileWriter& out) { WriteSimParcel(out, rec, table, 3, "12-4"); }),
              "D00,3,12-4,1,\r\nB01,1,1,\r\nB01,2,2,\r\nB01,5,5,\r\nB01,1,1,\r\nD99,\r\n");
    EXPECT_EQ(table.Count(), 5u);
}

TEST(WriteSimParcel, AttributeValueAndVertexListAsGiven) {
    TSIMPoints table;
    const TSFPolygon none;
    EXPECT_EQ(Written([&](TFileWriter& out) { WriteSimParcel(out, none, table, 1, ""); }),
              "D00,1,,1,\r\nD99,\r\n");
    EXPECT_EQ(table.Count(), 0u);

    // Only Points counts: neither NumPoints nor Parts limit the block.
    auto rec = Record<TSFPolygon>({{0, 0}, {1, 0}, {1, 1}});
    rec.NumPoints = 1;
    rec.Parts = {0, 2};
    const std::string attr = "a,\"b\" \x92\x6E\x94\xD4";
    EXPECT_EQ(Written([&](TFileWriter& out) { WriteSimParcel(out, rec, table, 2147483647, attr); }),
              "D00,2147483647," + attr + ",1,\r\nB01,1,1,\r\nB01,2,2,\r\nB01,3,3,\r\nD99,\r\n");
    EXPECT_EQ(rec.Points.size(), 3u);
}

TEST(WriteSimRoute, SharesPointsWithParcels) {
    TSIMPoints table;
    const auto parcel = Record<TSFPolygon>({{0, 0}, {10, 0}, {10, 10}});
    const auto route = Record<TSFPolyLine>({{-5, 0}, {10.0, -0.0}, {10, 10}, {20, 20}});
    const std::string bytes = Written([&](TFileWriter& out) {
        WriteSimParcel(out, parcel, table, 1, "P");
        WriteSimRoute(out, route, table, 1, "R");
    });
    EXPECT_EQ(bytes,
              "D00,1,P,1,\r\nB01,1,1,\r\nB01,2,2,\r\nB01,3,3,\r\nD99,\r\n"
              "F00,1,R,1,\r\nB01,4,4,\r\nB01,2,2,\r\nB01,3,3,\r\nB01,5,5,\r\nF99,\r\n");
}

TEST(WriteSimaFile, RunWithoutObjects) {
    TSIMPoints table;
    TSimBlockScratch parcels, routes;
    const std::string bytes =
        Written([&](TFileWriter& out) { WriteSimaFile(out, "", table, true, parcels, routes); });
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 9);
    EXPECT_EQ(bytes, kSimaHead + "G00,02,,\r\n" + kPointsBanner + "A00,\r\nA99,\r\n" +
                         kParcelsBanner + kRoutesBanner);
}

TEST(WriteSimaFile, SmallSingleFileRun) {
    TSIMPoints table;
    TSimBlockScratch parcels, routes;
    // The region (100, 200) (110, 200) (110, 210) (100, 200) with the closing
    // vertex removed, as the object pass hands it over when closing is off.
    const auto region = Record<TSFPolygon>({{100, 200}, {110, 200}, {110, 210}});
    parcels.Put(TSimBlockKind::Parcel, table.FindOrAddAll(region.Points), 1, "12-4");
    const std::string bytes =
        Written([&](TFileWriter& out) { WriteSimaFile(out, "S1", table, false, parcels, routes); });
    EXPECT_EQ(bytes, kSimaHead + "G00,02,S1,\r\n" + kPointsBanner +
                         "A00,\r\n"
                         "A01,1,1,100,200,0,\r\n"
                         "A01,2,2,110,200,0,\r\n"
                         "A01,3,3,110,210,0,\r\n"
                         "A99,\r\n" +
                         kParcelsBanner +
                         "D00,1,12-4,1,\r\n"
                         "B01,1,1,\r\n"
                         "B01,2,2,\r\n"
                         "B01,3,3,\r\n"
                         "D99,\r\n" +
                         kRoutesBanner);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 17);
}

TEST(WriteSimaFile, SiteNameWithAControlCharacterIsRefused) {
    TSIMPoints table;
    TSimBlockScratch parcels, routes;
    for (const char* genba : {"S,\r\nA01,999,999,123,456,0,\r\nZ00", "a\tb", "\x1B[31m", "x\x7F"}) {
        SCOPED_TRACE(genba);
        TScratchFile out;
        EXPECT_THROW(WriteSimaFile(out, genba, table, true, parcels, routes), ConversionError);
        EXPECT_EQ(out.Size(), 0u);
    }
}

TEST(WriteSimaFile, RoutesOnlyAndJapaneseSiteName) {
    TSIMPoints table;
    TSimBlockScratch parcels, routes;
    routes.Put(TSimBlockKind::Route,
               table.FindOrAddAll(Record<TSFPolyLine>({{1, 2}, {3, 4}}).Points), 1, "");
    routes.Put(TSimBlockKind::Route,
               table.FindOrAddAll(Record<TSFPolyLine>({{3, 4}, {5, 6}}).Points), 2, "\x93\xB9");
    const std::string bytes = Written([&](TFileWriter& out) {
        WriteSimaFile(out, "\x8C\xBB\x8F\xEA", table, true, parcels, routes);
    });
    EXPECT_EQ(bytes, kSimaHead + "G00,02,\x8C\xBB\x8F\xEA,\r\n" + kPointsBanner +
                         "A00,\r\nA01,1,1,2,1,0,\r\nA01,2,2,4,3,0,\r\nA01,3,3,6,5,0,\r\nA99,\r\n" +
                         kParcelsBanner + kRoutesBanner +
                         "F00,1,,1,\r\nB01,1,1,\r\nB01,2,2,\r\nF99,\r\n"
                         "F00,2,\x93\xB9,1,\r\nB01,2,2,\r\nB01,3,3,\r\nF99,\r\n");
}

// Blocks kept in binary come out as the text WriteSimBlockNumbers writes,
// also when a value or a block is larger than the buffer that reads them
// back, and after part of them was taken back.
TEST(TSimBlockScratch, WritesTheTextOfEachBlockAsKept) {
    std::vector<int32_t> many(300000);
    for (size_t i = 0; i < many.size(); ++i)
        many[i] = static_cast<int32_t>(i * 7919 % 2147483647 + 1);
    const std::string longValue(700000, '\x82');
    struct Block {
        TSimBlockKind Kind;
        std::vector<int32_t> Numbers;
        int32_t Number;
        std::string Value;
    };
    const std::vector<Block> blocks = {
        {TSimBlockKind::Parcel, {1, 2, 3}, 1, "12-4"},
        {TSimBlockKind::Route, {}, 2, ""},
        {TSimBlockKind::Parcel, many, 2147483647, longValue},
        {TSimBlockKind::Route, {2147483647, 10, 99, 100, 1000000000}, 3, "\x93\xB9"},
        {TSimBlockKind::Parcel, {5}, 4, longValue + "x"},
    };
    TSimBlockScratch kept;
    uint64_t before = 0;
    for (const Block& b : blocks) {
        before = kept.Size();
        kept.Put(b.Kind, b.Numbers, b.Number, b.Value);
    }
    std::string expected;
    for (size_t round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        // The second round: the last block taken back, another put instead.
        if (round == 1) {
            kept.Truncate(before);
            kept.Put(TSimBlockKind::Route, std::vector<int32_t>{8, 9}, 5, "y");
        }
        expected = Written([&](TFileWriter& out) {
            for (size_t i = 0; i + round < blocks.size(); ++i)
                WriteSimBlockNumbers(out, blocks[i].Kind, blocks[i].Numbers, blocks[i].Number,
                                     blocks[i].Value);
            if (round == 1)
                WriteSimBlockNumbers(out, TSimBlockKind::Route, std::vector<int32_t>{8, 9}, 5, "y");
        });
        EXPECT_TRUE(Written([&](TFileWriter& out) { kept.WriteTo(out); }) == expected);
    }
    // Reading back leaves the file ready for more.
    kept.Put(TSimBlockKind::Parcel, std::vector<int32_t>{4}, 6, "");
    const std::string more = Written([&](TFileWriter& out) { kept.WriteTo(out); });
    EXPECT_TRUE(more == expected + "D00,6,,1,\r\nB01,4,4,\r\nD99,\r\n");
}

TEST(TSimBlockScratch, NothingKeptWritesNothing) {
    TSimBlockScratch kept;
    EXPECT_EQ(kept.Size(), 0u);
    EXPECT_EQ(Written([&](TFileWriter& out) { kept.WriteTo(out); }), "");
}

}  // namespace
}  // namespace quorvex
