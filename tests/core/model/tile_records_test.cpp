#include "model/tile_records.h"

#include <gtest/gtest.h>

#include <climits>

#include "builders.h"
#include "model/layered_file.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

// A tile stored anywhere an i32 reaches: near the map it loads as it was
// (tiles outside a map made smaller are kept), far out it is refused before
// any position is summed with a size (a tile at INT_MAX overflowed the map
// check's visible squares).
TEST(TileRecords, PositionsNearTheMapLoadAndFarOnesAreRefused) {
    const int far = MaxTileDistance;
    const std::pair<int, int> kept[] = {{-3, 400}, {far, -far}, {-far, 0}};
    const std::pair<int, int> refused[] = {{INT_MAX, 0}, {0, INT_MIN}, {far + 1, 5}, {7, -far - 1}};
    auto layered = [](int x, int y) {
        Project p;
        p.MapWidth = p.MapHeight = 20;
        p.UsedTiles.push_back(MakeTile(3, 2, x, y, 0));
        return EncodeZL(p);
    };
    for (auto [x, y] : kept) {
        Project read = ParseZL(layered(x, y));
        ASSERT_EQ(read.UsedTiles.size(), 1u);
        EXPECT_EQ(read.UsedTiles[0]->X, x);
        EXPECT_EQ(read.UsedTiles[0]->Y, y);
    }
    for (auto [x, y] : refused) {
        try {
            ParseZL(layered(x, y));
            ADD_FAILURE() << "a tile at " << x << ", " << y << " was read";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(std::to_string(x)), std::string::npos) << e.what();
        }
    }
}

}  // namespace
