// Generating inside an area of a generated map of the sample content: the
// squares outside stay, every join is learned, refusals change nothing.

#include "generator/area/area_generation.h"

#include "generation_fixtures.h"
#include "row_preparation_fixtures.h"

namespace zorvane::testing {
namespace {

struct AreaSetup : GenerationSetup {
    AreaSetup() : GenerationSetup(20, 16) { EXPECT_EQ(Generate(5), GenerateOutcome::Completed); }

    AreaOutcome Fill(const MapArea& area, std::uint64_t seed) {
        AreaOptions options;
        options.Seed = seed;
        options.TimeLimit = std::chrono::seconds(20);
        return GenerateInArea(project, ui, gen, area, options, requests, report);
    }
};

bool InArea(const MapArea& a, int x, int y) {
    return x >= a.X && x < a.X + a.Width && y >= a.Y && y < a.Y + a.Height;
}

TEST(AreaGeneration, KeepsTheSquaresOutsideAndLearnsEveryJoinWhereverTheAreaLies) {
    const MapArea areas[] = {{2, 2, 5, 4},  {17, 2, 5, 3}, {2, 14, 4, 4}, {17, 15, 5, 3}, {8, 6, 6, 5},
                             {10, 2, 1, 16}, {2, 9, 20, 1}, {9, 9, 1, 1},  {2, 2, 20, 16}};
    for (const MapArea& area : areas) {
        AreaSetup s;
        const auto before = s.Squares();
        ASSERT_EQ(s.Fill(area, 11), AreaOutcome::Completed) << (s.ui.messages.empty() ? "" : s.ui.messages.back().text);
        const auto after = s.Squares();
        int changed = 0;
        for (int y = 0; y < s.project.MapHeight; ++y)
            for (int x = 0; x < s.project.MapWidth; ++x) {
                const auto i = static_cast<std::size_t>(y * s.project.MapWidth + x);
                if (InArea(area, x, y)) {
                    changed += !(after[i] == before[i]);
                    continue;
                }
                ASSERT_EQ(after[i], before[i]) << x << "," << y;
            }
        const auto violation = FirstJoinViolation(s.project, s.gen);
        EXPECT_FALSE(violation) << *violation;
        // The same seed gives the same squares; the area is made anew.
        AreaSetup again;
        ASSERT_EQ(again.Fill(area, 11), AreaOutcome::Completed);
        EXPECT_EQ(again.Squares(), after);
        if (area.Width * area.Height >= 20) {
            EXPECT_GT(changed, 0);
        }
    }
}

TEST(AreaGeneration, RefusalsNameThePlaceAndChangeNothing) {
    AreaSetup s;
    EXPECT_EQ(s.Fill({1, 4, 3, 3}, 1), AreaOutcome::Refused);  // on the border
    EXPECT_EQ(s.Fill({4, 4, 0, 3}, 1), AreaOutcome::Refused);
    EXPECT_EQ(s.Fill({4, 4, 19, 3}, 1), AreaOutcome::Refused);
    // A square the data never learned next to the area.
    s.project.UsedTiles[static_cast<std::size_t>(5 * s.project.MapWidth + 3)]->Sq.front() = MapSquare{900, 901, 0};
    EXPECT_EQ(s.Fill({4, 5, 3, 3}, 1), AreaOutcome::Refused);
    ASSERT_EQ(s.ui.messages.size(), 4u);
    EXPECT_NE(s.ui.messages.back().text.find("square (3, 5) [ground 900, top 901]"), std::string::npos);
    // A tile that crosses the edge blocks the area.
    s.project.UsedTiles.push_back(MakeTile(2, 2, 9, 9, 0));
    const auto blocked = s.Squares();
    EXPECT_EQ(s.Fill({10, 10, 4, 4}, 1), AreaOutcome::Refused);
    EXPECT_NE(s.ui.messages.back().text.find("(10, 10) to (10, 10) block the area"), std::string::npos);
    EXPECT_EQ(s.Squares(), blocked);
}

TEST(AreaGeneration, AnEdgeNoSquareJoinsIsRefusedBeforeAnySearch) {
    using namespace row_preparation_fixtures;
    // Squares 0 and 1 only join themselves; 2 is the empty square.
    auto gen = MakeGenerator({{{0}, {1}, {0, 1}}, {{0}, {1}, {0, 1}}});
    const int w = 7, h = 5;
    std::vector<MapSquare> map(static_cast<std::size_t>(w * h), MapSquare{NoBitmap, NoBitmap, 0});
    auto put = [&](int x, int y, std::uint16_t g) { map[static_cast<std::size_t>(y * w + x)].Gnd = g; };
    for (int y = 0; y < h; ++y)
        for (int x = 2; x <= 4; ++x) put(x, y, x == 4 ? 1 : 0);
    FakeUi ui;
    GenerationRequests requests;
    GenerationReport report;
    const AreaFill fill = FillArea(map, w, h, {3, 2, 1, 1}, *gen, {}, ui, requests, report);
    EXPECT_EQ(fill.Outcome, AreaOutcome::Refused);
    EXPECT_EQ(fill.RowAttempts, 0);
    EXPECT_NE(fill.Message.find("(3, 2)"), std::string::npos) << fill.Message;
    EXPECT_NE(fill.Message.find("left of square (4, 2) [ground 1"), std::string::npos) << fill.Message;
    // Between two squares 0 a square 0 fits.
    put(4, 2, 0);
    EXPECT_EQ(FillArea(map, w, h, {3, 2, 1, 1}, *gen, {}, ui, requests, report).Outcome, AreaOutcome::Completed);
}

TEST(AreaGeneration, StopsAtEscWithNothingChanged) {
    AreaSetup s;
    const auto before = s.Squares();
    s.ui.onEvents = [&](int) { s.requests.PressEsc(); };
    EXPECT_EQ(s.Fill({2, 2, 20, 16}, 3), AreaOutcome::Stopped);
    EXPECT_EQ(s.Squares(), before);
}

TEST(AreaGeneration, ParsesTheAreaAndBoundsTheSelection) {
    EXPECT_EQ(ParseMapArea("3,4,10,2"), (MapArea{3, 4, 10, 2}));
    for (const char* bad : {"3,4,10", "3,4,10,2,1", "-3,4,1,1", "a,1,1,1", "3,4,10,2 "})
        EXPECT_FALSE(ParseMapArea(bad)) << bad;
    Project p;
    EXPECT_FALSE(SelectedArea(p));
    p.UsedTiles.push_back(MakeTile(2, 3, 5, 6));
    p.UsedTiles.push_back(MakeTile(1, 1, 9, 4));
    p.Selection = {{0, 5, 6}, {1, 9, 4}};
    EXPECT_EQ(SelectedArea(p), (MapArea{5, 4, 5, 5}));
}

}  // namespace
}  // namespace zorvane::testing
