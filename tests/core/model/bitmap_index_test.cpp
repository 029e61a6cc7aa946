#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "builders.h"
#include "model/bitmap_index.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

// The definition the index must reproduce: the lowest id with equal bytes.
int LinearFind(const Project& p, const std::uint8_t* pixels) {
    for (int id = 0; id < p.BitmapCount; ++id)
        if (std::memcmp(p.Bitmap(id), pixels, BitmapBytes) == 0) return id;
    return -1;
}

// Pictures that differ from each other in one random byte only, drawn with
// repetition so that many ids have lower twins.
std::vector<BitmapPixels> NearTwinPool(std::mt19937& rng, int size) {
    std::vector<BitmapPixels> pool;
    BitmapPixels base = PatternBitmap(3);
    for (int i = 0; i < size; ++i) {
        BitmapPixels px = base;
        px[rng() % BitmapBytes] = static_cast<std::uint8_t>(rng());
        pool.push_back(px);
    }
    pool.push_back(BitmapPixels{});  // the all-zero picture that ids beyond the count show
    return pool;
}

}  // namespace

TEST(BitmapIndex, EmptyProjectFindsNothing) {
    Project p;
    BitmapIndex index(p);
    auto px = PatternBitmap(1);
    EXPECT_EQ(index.Find(px.data()), -1);
    BitmapPixels blank{};
    EXPECT_EQ(index.Find(blank.data()), -1);
}

TEST(BitmapIndex, AgreesWithLinearScanOnRandomBitmapsWithTwins) {
    std::mt19937 rng(12345);
    auto pool = NearTwinPool(rng, 150);
    Project p;
    for (int i = 0; i < 1200; ++i) p.AddBitmap(pool[rng() % pool.size()].data());

    BitmapIndex index(p);
    for (int id = 0; id < p.BitmapCount; ++id) {
        ASSERT_EQ(index.Canonical(id), LinearFind(p, p.Bitmap(id))) << "id " << id;
        ASSERT_LE(index.Canonical(id), id);
    }
    for (const auto& px : pool) EXPECT_EQ(index.Find(px.data()), LinearFind(p, px.data()));
    auto absent = PatternBitmap(99);
    EXPECT_EQ(index.Find(absent.data()), -1);
}

TEST(BitmapIndex, BitmapsAddedLaterAreFoundUnderTheirLowestId) {
    std::mt19937 rng(7);
    auto pool = NearTwinPool(rng, 40);
    Project p;
    AddPatternBitmaps(p, 5, 1000);
    BitmapIndex index(p);
    for (int step = 0; step < 300; ++step) {
        const auto& px = pool[rng() % pool.size()];
        const int expected = LinearFind(p, px.data());
        ASSERT_EQ(index.Find(px.data()), expected);
        if (expected < 0 || rng() % 3 == 0) {  // duplicates added too: they must not shadow the first
            int id = p.AddBitmap(px.data());
            index.Add(id);
            ASSERT_EQ(index.Canonical(id), expected < 0 ? id : expected);
        }
    }
}
