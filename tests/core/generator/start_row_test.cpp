// The start row built square by square (the simplified first line) on data
// learned from the sample content, with an object size chart that makes it
// fail often: what a stop leaves of it, and what every attempt builds.

#include <gtest/gtest.h>

#include <chrono>

#include "generation_fixtures.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

bool IsBlankSquare(const MapSquare& q) { return q.Gnd == NoBitmap && q.Top == NoBitmap; }

// Objects below the largest size occur with `percent` %, the largest always.
void FavourLargestObjects(GenerationSetup& s, int percent) {
    const int n = s.gen.LargestObject;
    ASSERT_GE(n, 2);
    s.settings.ObjectChart.ResetPoints(n, 2);
    s.settings.ObjectChart.SetStoredPoints({{0, percent}, {n - 1, percent}, {n, 100}});
}

// The rows a stopped run leaves: whole rows from row 2 down that satisfy
// every join, then rows with no square at all.
::testing::AssertionResult GeneratedRowsThenBlank(const GenerationSetup& s) {
    const auto squares = s.Squares();
    const int w = s.project.MapWidth, h = s.project.MapHeight;
    auto at = [&](int x, int y) -> const MapSquare& { return squares[static_cast<std::size_t>(y) * w + x]; };
    int firstBlank = h - 2;
    for (int y = 2; y < h - 2 && firstBlank == h - 2; ++y)
        for (int x = 2; x < w - 2; ++x)
            if (IsBlankSquare(at(x, y))) firstBlank = y;
    for (int y = firstBlank; y < h - 2; ++y)
        for (int x = 2; x < w - 2; ++x)
            if (!IsBlankSquare(at(x, y)))
                return ::testing::AssertionFailure() << "square (" << x << ", " << y << ") is generated, row "
                                                     << firstBlank << " is not whole";
    if (firstBlank == 2) return ::testing::AssertionSuccess();
    // The generated rows with the two blank rows below them as the border.
    const std::vector<MapSquare> upper(squares.begin(), squares.begin() + static_cast<std::ptrdiff_t>(w) * (firstBlank + 2));
    if (const auto violation = FirstJoinViolation(upper, w, firstBlank + 2, s.gen))
        return ::testing::AssertionFailure() << *violation;
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(StartRow, AStopWhileItIsBuiltLeavesNoPartOfIt) {
    // With no small objects allowed the start row fails again and again,
    // often part-way. Stops at every point of the first attempts, by Esc
    // and by the run's time limit on the run's own clock.
    for (std::uint64_t seed : {1, 2, 3}) {
        for (int stopAt = 1; stopAt <= 24; ++stopAt) {
            SCOPED_TRACE(::testing::Message() << "seed " << seed << ", stop at " << stopAt);
            GenerationSetup s(40, 20, 1);
            FavourLargestObjects(s, 0);
            std::chrono::hours late{0};
            GenerateOptions options;
            options.Seed = seed;
            options.TimeLimit = std::chrono::hours(1);
            options.Now = [&] { return std::chrono::steady_clock::now() + late; };
            s.ui.onEvents = [&](int events) {
                if (events != stopAt) return;
                if (stopAt % 2 == 0) s.requests.PressEsc();
                else late = std::chrono::hours(2);
            };
            ASSERT_EQ(s.engine->Generate(s.project, s.ui, s.settings, s.requests, s.report, options),
                      GenerateOutcome::Stopped);
            EXPECT_TRUE(GeneratedRowsThenBlank(s));
        }
    }
}

TEST(StartRow, EveryAttemptThatReachesTheEndOfTheRowLeavesItWhole) {
    // Small objects are rarer: each start row the run goes on from (after
    // the row below failed on it, its attempts keep the squares approved
    // around the failing column) satisfies every join, as do the rows a
    // stop leaves. The filter never makes a row impossible, so the row below
    // fails on the start row only now and then.
    int checked = 0;
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        GenerationSetup s(60, 12, 1);
        FavourLargestObjects(s, 80);
        std::int32_t lastAttempt = -1;
        s.ui.onEvents = [&](int) {
            const RunState& run = s.Run();
            if (run.Row != 3 || run.FirstLineAttempt == lastAttempt) return;
            lastAttempt = run.FirstLineAttempt;
            ++checked;
            const auto squares = s.Squares();
            const int w = s.project.MapWidth;
            // Row 2 alone: the two rows below it stand as the bottom border.
            const std::vector<MapSquare> rows(squares.begin(), squares.begin() + static_cast<std::ptrdiff_t>(w) * 5);
            const auto violation = FirstJoinViolation(rows, w, 5, s.gen);
            EXPECT_FALSE(violation.has_value()) << "attempt " << run.FirstLineAttempt << ": " << *violation;
            if (run.FirstLineAttempt > 300) s.requests.PressEsc();
        };
        const GenerateOutcome outcome = s.Generate(seed);
        if (outcome == GenerateOutcome::Completed) ExpectCompleteMap(s);
        else EXPECT_TRUE(GeneratedRowsThenBlank(s));
    }
    EXPECT_GE(checked, 6);
}
