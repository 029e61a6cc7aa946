// The generation driver's run state on data learned from the sample content:
// row times and their series of attempts (on a clock the test moves on), the
// map a stopped run leaves, and the start row checked against the map.

#include <gtest/gtest.h>

#include <chrono>

#include "generation_fixtures.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

using std::chrono::steady_clock;

// The steady clock, moved on by the test whenever it likes.
struct MovableClock {
    steady_clock::duration offset{};
    std::function<steady_clock::time_point()> Source() {
        return [this] { return steady_clock::now() + offset; };
    }
};

bool Blank(const MapSquare& q) { return q.Gnd == NoBitmap && q.Top == NoBitmap; }

}  // namespace

TEST(GenerationRun, ATimeOutAtTheFloorRowStartsANewSeriesOfAttemptsThere) {
    // Row 12 runs out of time and goes back to the floor row (10: the
    // maximum distance is 2); there the row runs out of time once more and
    // cannot go back further. Its next attempts get time again, so the run
    // ends; before, each of them was out of time before it began.
    for (std::uint64_t seed : {21, 22}) {
        SCOPED_TRACE(seed);
        GenerationSetup s(16, 24, 1);
        s.settings.SecondsOfOneRow = 60;
        s.settings.RowsToGoBack = 5;
        s.settings.DistanceFromFarthestRow = 2;
        MovableClock clock;
        GenerateOptions options;
        options.Seed = seed;
        options.Now = clock.Source();
        int timeOuts = 0, floorTimedOut = 0;
        bool gaveUp = false;
        s.ui.onEvents = [&](int) {
            const RunState& run = s.Run();
            if ((timeOuts == 0 && run.Row == 12) || (timeOuts == 1 && run.Row == run.FloorRow)) {
                if (timeOuts == 1) floorTimedOut = run.Row;
                clock.offset += std::chrono::minutes(2);
                ++timeOuts;
            }
            // Rows of this data are found in a few attempts.
            if (run.Failures > 1000 && !s.requests.StopRequest.load()) {
                gaveUp = true;
                s.requests.PressEsc();
            }
        };
        EXPECT_EQ(s.engine->Generate(s.project, s.ui, s.settings, s.requests, s.report, options),
                  GenerateOutcome::Completed);
        EXPECT_FALSE(gaveUp);
        EXPECT_EQ(timeOuts, 2);
        EXPECT_EQ(floorTimedOut, 10);
        ExpectCompleteMap(s);
    }
}

TEST(GenerationRun, TheResetKeyAndTheTimeLimitFollowTheRunsClock) {
    // The reset key gives the row its time again.
    GenerationSetup s(16, 20, 1);
    s.settings.SecondsOfOneRow = 60;
    s.settings.RowsToGoBack = 3;
    s.settings.LimitDistanceFromFarthestRow = false;
    MovableClock clock;
    GenerateOptions options;
    options.Seed = 5;
    options.Now = clock.Source();
    bool moved = false;
    std::int32_t lowestAfter = 1000;
    s.ui.onEvents = [&](int) {
        if (moved) lowestAfter = std::min(lowestAfter, s.Run().Row);
        if (!moved && s.Run().Row == 12) {
            moved = true;
            clock.offset += std::chrono::minutes(5);
            s.requests.ResetRequest = true;
        }
    };
    ASSERT_EQ(s.engine->Generate(s.project, s.ui, s.settings, s.requests, s.report, options),
              GenerateOutcome::Completed);
    EXPECT_TRUE(moved);
    EXPECT_GE(lowestAfter, 12);
    ExpectCompleteMap(s);

    // The time limit of the run stops it once the clock passes it.
    s.ui.onEvents = [&](int) {
        if (s.Run().Row == 8) clock.offset += std::chrono::hours(2);
    };
    options.TimeLimit = std::chrono::hours(1);
    EXPECT_EQ(s.engine->Generate(s.project, s.ui, s.settings, s.requests, s.report, options),
              GenerateOutcome::Stopped);
    EXPECT_LE(s.Run().FarthestRow, 9);
}

TEST(GenerationRun, AStoppedRunLeavesEveryNeverGeneratedSquareAsTheNewMapHasIt) {
    // A manual repeat fails the farthest row (16) before it was written, so
    // the snapshot holds it blank; the stop then restores the map. Rows
    // above the start row (5), the farthest row and the rows below it were
    // never generated and must all read as the new map's inner squares.
    for (std::uint64_t seed : {6, 7}) {
        SCOPED_TRACE(seed);
        GenerationSetup s(24, 30, 1);
        s.settings.StartLine = 5;
        int phase = 0;
        s.ui.onEvents = [&](int) {
            if (phase == 0 && s.Run().Row == 16) {
                s.requests.ManualRepeat = 4;
                phase = 1;
            } else if (phase == 1 && s.requests.ManualRepeat.load() == 0) {
                s.requests.PressEsc();
                phase = 2;
            }
        };
        ASSERT_EQ(s.Generate(seed), GenerateOutcome::Stopped);
        ASSERT_EQ(phase, 2);
        ASSERT_EQ(s.Run().SnapshotRow, 16);
        const auto squares = s.Squares();
        const int w = s.project.MapWidth, h = s.project.MapHeight;
        for (int y = 2; y < h - 2; ++y)
            for (int x = 2; x < w - 2; ++x) {
                const MapSquare& q = squares[static_cast<std::size_t>(y) * w + x];
                if (y >= 5 && y < 16) {
                    EXPECT_NE(s.gen.FindSq(q.Gnd, q.Top), -1) << x << "," << y;
                    EXPECT_FALSE(Blank(q)) << x << "," << y;
                } else {
                    EXPECT_EQ(q, (MapSquare{NoBitmap, NoBitmap, 0})) << x << "," << y;
                }
            }
        // The generated rows 5..15 with two rows either side as borders.
        const std::vector<MapSquare> generated(squares.begin() + static_cast<std::ptrdiff_t>(w) * 3,
                                         squares.begin() + static_cast<std::ptrdiff_t>(w) * 18);
        const auto violation = FirstJoinViolation(generated, w, 15, s.gen);
        EXPECT_FALSE(violation.has_value()) << *violation;
    }
}

TEST(GenerationRun, AStartRowBelowTheMapIsNamedWithTheRowsItMayTake) {
    // 10 inner rows: the map has rows 0..13, of which 2..11 are inner.
    GenerationSetup s(12, 10);
    s.project.UsedTiles.push_back(MakeTile(1, 1, 3, 3, 7));
    for (int start : {12, 204}) {
        SCOPED_TRACE(start);
        s.ui.messages.clear();
        s.settings.StartLine = start;
        EXPECT_EQ(s.Generate(), GenerateOutcome::NotReady);
        ASSERT_EQ(s.ui.messages.size(), 1u);
        const auto& box = s.ui.messages[0];
        EXPECT_NE(box.text, NotReadyText);
        EXPECT_NE(box.text.find(std::to_string(start)), std::string::npos) << box.text;
        EXPECT_NE(box.text.find("11"), std::string::npos) << box.text;
        EXPECT_EQ(box.icon, Icon::Warning);
        EXPECT_EQ(s.project.UsedTiles.size(), 1u);
    }
    // The last inner row is a start row like any other, with or without
    // the simplified first line.
    for (bool simplified : {true, false}) {
        s.ui.messages.clear();
        s.settings.StartLine = 11;
        s.settings.SimplifiedFirstLine = simplified;
        ASSERT_EQ(s.Generate(4), GenerateOutcome::Completed) << s.ui.status();
        EXPECT_TRUE(s.ui.messages.empty());
        const auto squares = s.Squares();
        for (int x = 2; x < s.project.MapWidth - 2; ++x)
            EXPECT_FALSE(Blank(squares[static_cast<std::size_t>(11) * s.project.MapWidth + x]));
    }
}
