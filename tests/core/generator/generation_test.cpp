// The generation driver with its threads, on data learned from the sample
// content: complete maps that satisfy every learned join, reproducible runs,
// the start row and kept rows, stop, terminate, manual repeats, backups and
// the faults mended (restore after an early stop, long row time limits,
// capacities). These cases also run in the ThreadSanitizer build.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "generation_fixtures.h"
#include "generator/search/generator_threads.h"
#include "model/layered_file.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

bool StartsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

int BlankInnerSquares(const GenerationSetup& s) {
    const auto squares = s.Squares();
    int blank = 0;
    const int w = s.project.MapWidth, h = s.project.MapHeight;
    for (int y = 2; y < h - 2; ++y)
        for (int x = 2; x < w - 2; ++x) {
            const MapSquare& q = squares[static_cast<std::size_t>(y) * w + x];
            blank += q.Gnd == NoBitmap && q.Top == NoBitmap;
        }
    return blank;
}

}  // namespace

TEST(Generation, CompletesMapsThatSatisfyEveryJoinWithOneTwoAndFourWorkers) {
    for (int threads : {1, 2, 4}) {
        SCOPED_TRACE(threads);
        GenerationSetup s(24, 14, threads);
        ASSERT_EQ(s.Generate(), GenerateOutcome::Completed) << s.ui.status();
        ExpectCompleteMap(s);
        EXPECT_TRUE(StartsWith(s.ui.status(), "Map generated in ")) << s.ui.status();
        EXPECT_NE(s.ui.status().find(" attempt. Generating time: 00:00:0"), std::string::npos) << s.ui.status();
        EXPECT_TRUE(s.ui.messages.empty());
        EXPECT_EQ(BlankInnerSquares(s), 0);
    }
}

TEST(Generation, TheSmallestAndAWideMapAreCompleted) {
    for (auto [w, h] : {std::pair{10, 10}, std::pair{60, 10}}) {
        GenerationSetup s(w, h, 2);
        ASSERT_EQ(s.Generate(), GenerateOutcome::Completed) << s.ui.status();
        ExpectCompleteMap(s);
    }
}

TEST(Generation, TheMapKeepsItsBordersTheTileSetAndTheMultiplayerChoice) {
    GenerationSetup s(12, 10);
    s.settings.Multiplayer = false;
    const int bitmaps = s.project.BitmapCount;
    const std::size_t tiles = s.project.NewTiles.size();
    ASSERT_EQ(s.Generate(7), GenerateOutcome::Completed);
    EXPECT_EQ(s.project.BitmapCount, bitmaps);
    EXPECT_EQ(s.project.NewTiles.size(), tiles);
    EXPECT_EQ(s.project.Multiplayer, 0u);
    EXPECT_FALSE(s.project.NoProject);
    const auto squares = s.Squares();
    for (int y = 0; y < s.project.MapHeight; ++y)
        for (int x = 0; x < s.project.MapWidth; ++x) {
            if (!IsBorderSquare(x, y, s.project.MapWidth, s.project.MapHeight)) continue;
            EXPECT_EQ(squares[static_cast<std::size_t>(y) * s.project.MapWidth + x],
                      (MapSquare{NoBitmap, NoBitmap, AtrImpassable}));
        }
}

TEST(Generation, OneWorkerAndASeedGiveTheSameMapTwice) {
    GenerationSetup a(30, 20, 1), b(30, 20, 1), c(30, 20, 1);
    ASSERT_EQ(a.Generate(42), GenerateOutcome::Completed);
    ASSERT_EQ(b.Generate(42), GenerateOutcome::Completed);
    ASSERT_EQ(c.Generate(43), GenerateOutcome::Completed);
    EXPECT_EQ(a.Squares(), b.Squares());
    EXPECT_NE(a.Squares(), c.Squares());
    ExpectCompleteMap(a);
    ExpectCompleteMap(c);
}

TEST(Generation, SettingsChangedDuringARunTakeEffectOnlyInTheNextRun) {
    GenerationSetup a(30, 20, 1), b(30, 20, 1);
    ASSERT_EQ(a.Generate(42), GenerateOutcome::Completed);
    b.ui.onEvents = [&](int) {
        b.settings.StartLine = 9;
        b.settings.SimplifiedFirstLine = !b.settings.SimplifiedFirstLine;
        b.settings.FreezeCorrectFragments = !b.settings.FreezeCorrectFragments;
        b.settings.WidthWithoutBorders = 12;
    };
    ASSERT_EQ(b.Generate(42), GenerateOutcome::Completed);
    EXPECT_EQ(a.Squares(), b.Squares());
    EXPECT_EQ(b.settings.StartLine, 9);
}

TEST(Generation, NoLearnedDataShowsTheNotReadyBoxAndLeavesTheMap) {
    GenerationSetup s(12, 10);
    s.gen.Learned = false;
    s.project.UsedTiles.push_back(MakeTile(1, 1, 3, 3, 7));
    EXPECT_EQ(s.Generate(), GenerateOutcome::NotReady);
    ASSERT_EQ(s.ui.messages.size(), 1u);
    EXPECT_EQ(s.ui.messages[0].caption, "Information");
    EXPECT_EQ(s.ui.messages[0].text, "Map generator is not ready.\rCheck Generator Settings.");
    EXPECT_EQ(s.project.UsedTiles.size(), 1u);
}

TEST(Generation, AStartRowBelowTheMapOrABadScheduleIsRefused) {
    GenerationSetup s(12, 10);
    s.settings.StartLine = 14;  // the last inner row is 11
    EXPECT_EQ(s.Generate(), GenerateOutcome::NotReady);
    s.settings.StartLine = 2;
    s.settings.ScheduleOfRepeats = "100-";
    EXPECT_EQ(s.Generate(), GenerateOutcome::NotReady);
    EXPECT_EQ(s.ui.messages.size(), 2u);
}

TEST(Generation, RowsAboveTheStartRowStayBlankOrKeepTheExistingSquares) {
    GenerationSetup s(20, 16);
    ASSERT_EQ(s.Generate(3), GenerateOutcome::Completed);
    const auto first = s.Squares();
    const int w = s.project.MapWidth;

    s.settings.StartLine = 8;
    s.settings.ContinueExistingSquares = true;
    ASSERT_EQ(s.Generate(4), GenerateOutcome::Completed);
    ExpectCompleteMap(s);
    const auto second = s.Squares();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(second[static_cast<std::size_t>(y) * w + x], first[static_cast<std::size_t>(y) * w + x])
                << x << "," << y;
    EXPECT_NE(second, first);

    s.settings.ContinueExistingSquares = false;
    ASSERT_EQ(s.Generate(5), GenerateOutcome::Completed);
    const auto third = s.Squares();
    for (int y = 2; y < 8; ++y)
        for (int x = 2; x < w - 2; ++x) {
            const MapSquare& q = third[static_cast<std::size_t>(y) * w + x];
            EXPECT_TRUE(q.Gnd == NoBitmap && q.Top == NoBitmap && q.Atr == 0) << x << "," << y;
        }
    for (int y = 8; y < s.project.MapHeight - 2; ++y)
        for (int x = 2; x < w - 2; ++x)
            EXPECT_NE(s.gen.FindSq(third[static_cast<std::size_t>(y) * w + x].Gnd,
                                   third[static_cast<std::size_t>(y) * w + x].Top),
                      -1);
}

TEST(Generation, EscStopsTheRunAndKeepsTheMapAsAtTheFarthestRow) {
    GenerationSetup s(40, 60, 2);
    s.ui.onEvents = [&](int) {
        if (s.Run().SnapshotRow >= 10 && !s.requests.StopRequest.load()) s.requests.PressEsc();
    };
    EXPECT_EQ(s.Generate(), GenerateOutcome::Stopped);
    EXPECT_TRUE(StartsWith(s.ui.status(), "Map generator stopped by user. Generating time: ")) << s.ui.status();
    EXPECT_TRUE(s.ui.sawStatus("Stopping generating map... (press ESC again to terminate all threads)") ||
                s.Run().Row <= s.Run().SnapshotRow);
    // Every square the snapshot holds is back; rows beyond it are blank.
    const auto squares = s.Squares();
    const int w = s.project.MapWidth;
    for (int y = 2; y < s.project.MapHeight - 2; ++y)
        for (int x = 2; x < w - 2; ++x) {
            const std::int32_t old = s.OldSquare(x, y);
            const MapSquare& q = squares[static_cast<std::size_t>(y) * w + x];
            if (old >= 0) {
                EXPECT_EQ(q.Gnd, s.gen.Sq(old).Gnd);
                EXPECT_EQ(q.Top, s.gen.Sq(old).Top);
            }
        }
    // The rows above the farthest one form a map that satisfies the joins.
    const int farthest = s.Run().SnapshotRow;
    ASSERT_GE(farthest, 10);
    std::vector<MapSquare> upper(squares.begin(), squares.begin() + static_cast<std::ptrdiff_t>(w) * (farthest + 2));
    const auto violation = FirstJoinViolation(upper, w, farthest + 2, s.gen);
    EXPECT_FALSE(violation.has_value()) << *violation;
    // Threads are made only for a row handed over; they are ready for
    // another run.
    EXPECT_EQ(s.engine->Threads().Started(), s.engine->Threads().RowsHandedOver() > 0);
    s.ui.onEvents = nullptr;
    EXPECT_EQ(s.Generate(), GenerateOutcome::Completed);
    ExpectCompleteMap(s);
}

TEST(Generation, AStopAfterGoingBackRestoresTheRowsAsTheyWereRewritten) {
    for (std::uint64_t seed : {3, 4, 5}) {
        GenerationSetup s(30, 40, 1);
        std::int32_t farthest = 0;
        int phase = 0;
        s.ui.onEvents = [&](int) {
            if (phase == 0 && s.Run().Row >= 20) {
                farthest = s.Run().SnapshotRow;
                s.requests.ManualRepeat = 8;
                phase = 1;
            } else if (phase == 1 && s.Run().SnapshotRow >= farthest + 3) {
                s.requests.PressEsc();
                phase = 2;
            }
        };
        ASSERT_EQ(s.Generate(seed), GenerateOutcome::Stopped);
        ASSERT_EQ(phase, 2);
        const int w = s.project.MapWidth, rows = s.Run().SnapshotRow;
        auto squares = s.Squares();
        squares.resize(static_cast<std::size_t>(w) * (rows + 2));
        const auto violation = FirstJoinViolation(squares, w, rows + 2, s.gen);
        EXPECT_FALSE(violation.has_value()) << *violation;
    }
}

TEST(Generation, AStopBeforeAnyRowIsCompleteRestoresNothingOfAnEarlierRun) {
    GenerationSetup s(16, 12);
    ASSERT_EQ(s.Generate(1), GenerateOutcome::Completed);
    ASSERT_EQ(BlankInnerSquares(s), 0);
    s.ui.onEvents = [&](int) { s.requests.StopRequest = true; };
    EXPECT_EQ(s.Generate(2), GenerateOutcome::Stopped);
    // The start row may have been begun; nothing else holds a square.
    const auto squares = s.Squares();
    const int w = s.project.MapWidth;
    for (int y = 3; y < s.project.MapHeight - 2; ++y)
        for (int x = 2; x < w - 2; ++x)
            EXPECT_EQ(squares[static_cast<std::size_t>(y) * w + x].Gnd, NoBitmap) << x << "," << y;
}

TEST(Generation, EscTwiceTerminatesTheThreadsAndNoRunStartsAgain) {
    GenerationSetup s(40, 60, 2);
    s.ui.onEvents = [&](int) {
        if (s.Run().Row >= 6) {
            s.requests.PressEsc();
            s.requests.PressEsc();
        }
    };
    EXPECT_EQ(s.Generate(), GenerateOutcome::Terminated);
    EXPECT_TRUE(s.requests.Terminate.load());
    ASSERT_FALSE(s.ui.messages.empty());
    EXPECT_EQ(s.ui.messages.back().caption, "Threads terminated by user.");
    EXPECT_EQ(s.ui.messages.back().text,
              "Threads terminated. To use map generator you have to restart application.");
    EXPECT_TRUE(s.engine->ThreadsTerminated());
    EXPECT_FALSE(s.engine->Threads().Started());
    s.ui.onEvents = nullptr;
    const std::size_t boxes = s.ui.messages.size();
    EXPECT_EQ(s.Generate(), GenerateOutcome::NotReady);
    EXPECT_EQ(s.ui.messages.size(), boxes + 1);
}

TEST(Generation, TheStartClearsRequestsLeftFromBefore) {
    GenerationSetup s(12, 10);
    s.requests.PressEsc();
    s.requests.PressEsc();
    s.requests.ManualRepeat = 4;
    EXPECT_EQ(s.Generate(), GenerateOutcome::Completed);
    EXPECT_FALSE(s.requests.StopRequest.load());
    EXPECT_EQ(s.requests.ManualRepeat.load(), 0);
}

TEST(Generation, AManualRepeatGoesBackAndTheResetKeyClearsTheCounter) {
    GenerationSetup s(20, 30, 1);
    bool repeated = false, reset = false;
    std::int32_t rowWhenAsked = 0, lowestAfter = 1000;
    s.ui.onEvents = [&](int) {
        if (repeated) lowestAfter = std::min(lowestAfter, s.Run().Row);
        if (!repeated && s.Run().Row >= 15) {
            repeated = true;
            rowWhenAsked = s.Run().Row;
            s.requests.ManualRepeat = 5;
        } else if (repeated && !reset && s.requests.ManualRepeat.load() == 0) {
            reset = true;
            s.Run().LocalAttempts = 77;
            s.requests.ResetRequest = true;
        }
    };
    ASSERT_EQ(s.Generate(9), GenerateOutcome::Completed);
    ExpectCompleteMap(s);
    EXPECT_TRUE(repeated);
    EXPECT_LE(lowestAfter, rowWhenAsked - 5);
    EXPECT_FALSE(s.requests.ResetRequest.load());
    EXPECT_LT(s.Run().LocalAttempts, 77);
}

TEST(Generation, BackupsEverySoManyRowsAndTheCompletedMapGoToTheLayeredFile) {
    TempDir dir;
    GenerationSetup s(14, 20, 2);
    s.settings.BackupPath = dir.file("backup.zl");
    s.settings.Backup = true;
    s.settings.BackupEveryLines = 4;
    int backups = 0;
    ASSERT_EQ(s.Generate(), GenerateOutcome::Completed);
    for (const auto& st : s.ui.statuses) backups += st == s.settings.BackupPath + " saved.";
    EXPECT_GE(backups, 4);  // rows 6, 10, 14, 18
    ASSERT_TRUE(FileExists(s.settings.BackupPath));

    s.settings.Backup = false;
    s.settings.SaveCompletedMap = true;
    ASSERT_EQ(s.Generate(), GenerateOutcome::Completed);
    Project saved = ParseZL(ReadWholeFile(s.settings.BackupPath));
    EXPECT_EQ(VisibleSquares(saved), s.Squares());
    EXPECT_EQ(saved.BitmapCount, s.project.BitmapCount);
}

TEST(Generation, AMissingBackupDirectoryIsAskedAbout) {
    GenerationSetup s(12, 10);
    s.settings.Backup = true;
    s.settings.BackupPath = "/no/such/dir/backup.zl";
    s.ui.answers = {Answer::No};
    EXPECT_EQ(s.Generate(), GenerateOutcome::NotReady);
    ASSERT_EQ(s.ui.messages.size(), 2u);
    EXPECT_EQ(s.ui.messages[0].text, "The backup directory doesn't exist. Uncheck this option?");
    EXPECT_EQ(s.ui.messages[1].text, "Map generator is not ready.\rCheck Generator Settings.");
    EXPECT_TRUE(s.settings.Backup);

    s.ui.answers = {Answer::Yes};
    EXPECT_EQ(s.Generate(), GenerateOutcome::Completed);
    EXPECT_FALSE(s.settings.Backup);
    EXPECT_FALSE(s.settings.SaveCompletedMap);
}

TEST(Generation, ARowTimeLimitOfADayOrMoreIsADuration) {
    GenerationSetup s(16, 12, 2);
    s.settings.SecondsOfOneRow = 2147483647;
    EXPECT_EQ(s.Generate(), GenerateOutcome::Completed);
    s.settings.SecondsOfOneRow = 86400;
    EXPECT_EQ(s.Generate(), GenerateOutcome::Completed);
    ExpectCompleteMap(s);
}

TEST(Generation, ARowThatTakesTooLongGoesBackTheRowsOfTheTimeLimit) {
    GenerationSetup s(16, 24, 1);
    s.settings.SecondsOfOneRow = 1;
    s.settings.RowsToGoBack = 3;
    s.settings.LimitDistanceFromFarthestRow = false;
    bool slept = false;
    std::int32_t lowestAfter = 1000;
    s.ui.onEvents = [&](int) {
        if (slept) lowestAfter = std::min(lowestAfter, s.Run().Row);
        if (!slept && s.Run().Row == 12) {
            slept = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        }
    };
    ASSERT_EQ(s.Generate(21), GenerateOutcome::Completed);
    ExpectCompleteMap(s);
    EXPECT_TRUE(slept);
    EXPECT_EQ(lowestAfter, 9);
}

TEST(Generation, ARowWhoseSubChainsMustAllAgreeIsCompletedWithThreads) {
    // Forty squares: v may have v or v+3 to its right and v or v+5 below
    // (mod 40). A row below another either repeats it or adds 5 to every
    // square, so all its sub-chains must choose alike. Sub-chains searched
    // before the linker narrowed them used to keep that narrowing on every
    // later attempt, and such rows never completed.
    GenerationSetup s(100, 30, 2);
    std::vector<LearnedSquare> squares(41);
    for (int v = 0; v <= 40; ++v) {
        LearnedSquare& q = squares[static_cast<std::size_t>(v)];
        q.Gnd = v == 40 ? NoBitmap : static_cast<std::uint16_t>(v);
        if (v == 40) {
            for (int i = 0; i < 40; ++i) {
                q.Down.push_back(i);
                q.Right.push_back(i);
            }
            continue;
        }
        q.Right = {v, (v + 3) % 40};
        q.Down = {v, (v + 5) % 40};
    }
    s.gen.SetSquares(std::move(squares));
    s.gen.ObjSize.assign(41, 1);
    s.gen.ObjSize.back() = 0;
    s.gen.ObjStarts.clear();
    s.gen.LargestObject = 1;
    s.gen.TallestObject = 1;
    s.settings.ObjectChart.ResetPoints(1, 2);
    GenerateOptions options;
    options.TimeLimit = std::chrono::seconds(30);
    ASSERT_EQ(s.engine->Generate(s.project, s.ui, s.settings, s.requests, s.report, options),
              GenerateOutcome::Completed);
    ExpectCompleteMap(s);
}

TEST(Generation, EveryOptionOfTheSettingsStillGivesAValidMap) {
    GenerationSetup s(30, 24, 2);
    s.settings.FreezeCorrectFragments = true;
    s.settings.FreezePoints = 2;
    s.settings.NoIdenticalNeighbours = true;
    s.settings.SquarePreferencePosition = 36;
    s.settings.PreferMostCombinations = true;
    s.settings.CombinationsLimitPosition = 0;
    s.settings.SimplifiedFirstLine = false;
    s.settings.ObjectChart.SetStoredPoints({{0, 100}, {s.gen.LargestObject, 30}});
    ASSERT_EQ(s.Generate(), GenerateOutcome::Completed) << s.ui.status();
    ExpectCompleteMap(s);
    s.settings.CombinationsLimitPosition = 10;
    s.settings.SimplifiedFirstLine = true;
    s.settings.LimitDistanceFromFarthestRow = false;
    s.settings.ReduceLocalAttempts = false;
    ASSERT_EQ(s.Generate(), GenerateOutcome::Completed) << s.ui.status();
    ExpectCompleteMap(s);
}

TEST(Generation, AWorkerOrLinkerErrorIsCaughtAndTheRunGoesOn) {
    GenerationSetup s(20, 14, 2);
    // Every row handed over to the threads. Whether the second worker gets
    // a burst before a row is decided depends on the scheduler, so the first
    // slot's burst fails.
    s.engine->Threads().DriverSteps = 0;
    s.engine->Threads().DriverTime = {};
    s.engine->Threads().FailBurstOfSlot = 0;
    s.engine->Threads().FailLinkerPass = true;
    ASSERT_EQ(s.Generate(), GenerateOutcome::Completed) << s.ui.status();
    ExpectCompleteMap(s);
    EXPECT_EQ(s.engine->CaughtErrors(), 2);
    // The same in the stepped run.
    s.settings.WorkerThreads = 1;
    s.engine->Threads().FailBurstOfSlot = 0;
    ASSERT_EQ(s.Generate(8), GenerateOutcome::Completed);
    ExpectCompleteMap(s);
    EXPECT_EQ(s.engine->CaughtErrors(), 1);
}

TEST(Generation, ARowBeyondTheListCapacitiesEndsTheRunWithAnError) {
    // 300 squares that may all stand anywhere: a column pair would hold
    // 300 x 300 pairs, more than a list may.
    GenerationSetup s(12, 10, 2);
    std::vector<LearnedSquare> squares(301);
    std::vector<std::int32_t> all;
    for (int i = 0; i < 300; ++i) all.push_back(i);
    for (int i = 0; i <= 300; ++i) {
        squares[static_cast<std::size_t>(i)].Gnd = i == 300 ? NoBitmap : static_cast<std::uint16_t>(i);
        squares[static_cast<std::size_t>(i)].Down = all;
        squares[static_cast<std::size_t>(i)].Right = all;
    }
    s.gen.SetSquares(std::move(squares));
    s.gen.ObjSize.assign(301, 1);
    s.gen.ObjStarts.clear();
    s.gen.LargestObject = 1;
    s.gen.TallestObject = 1;
    s.settings.ObjectChart.ResetPoints(1, 2);
    EXPECT_EQ(s.Generate(), GenerateOutcome::Failed);
    ASSERT_FALSE(s.ui.messages.empty());
    EXPECT_EQ(s.ui.messages.back().caption, "Error");
    EXPECT_NE(s.ui.messages.back().text.find("65536"), std::string::npos) << s.ui.messages.back().text;
    EXPECT_TRUE(StartsWith(s.ui.status(), "Map generator stopped by an error.")) << s.ui.status();
    // The threads are made again for the next run.
    s.gen.Learned = false;
    EXPECT_EQ(s.Generate(), GenerateOutcome::NotReady);
}

TEST(Generation, TheStatisticsHearTheRunFromStartToEnd) {
    struct Recorder : GenerationReport {
        std::vector<GeneratorState> states;
        std::vector<GenerationStatistics> stats;
        RunDescription settings;
        std::vector<std::string> backups;
        int charts = 0, rowsChanged = 0;
        void ResetCharts(int w, int h) override { charts += w * 1000 + h; }
        void ShowSettings(const RunDescription& d) override { settings = d; }
        void ShowBackupSchedule(std::string_view t) override { backups.emplace_back(t); }
        void ShowStatistics(const GenerationStatistics& s) override { stats.push_back(s); }
        void SetGeneratorState(GeneratorState s) override { states.push_back(s); }
        void MapRowsChanged(int, int) override { ++rowsChanged; }
    } rec;
    GenerationSetup s(20, 12, 2);
    s.settings.FreezeCorrectFragments = true;
    s.settings.FreezePoints = 4;
    GenerateOptions options;
    ASSERT_EQ(s.engine->Generate(s.project, s.ui, s.settings, s.requests, rec, options), GenerateOutcome::Completed);
    EXPECT_EQ(rec.charts, 20 * 1000 + 12);
    EXPECT_EQ(rec.settings.MapWidth, 24);
    EXPECT_EQ(rec.settings.Freezer, "Enabled, hp=4");
    EXPECT_EQ(rec.settings.ChoiceFactor, "0.5; by belonging to connectors group");
    EXPECT_EQ(rec.settings.MaxCombinations, "801000 combinations");
    ASSERT_EQ(rec.backups.size(), 1u);
    EXPECT_EQ(rec.backups[0], "-");
    ASSERT_GE(rec.stats.size(), 3u);
    EXPECT_EQ(rec.stats.front().State, GeneratorState::Idle);
    EXPECT_EQ(rec.stats.back().State, GeneratorState::Idle);
    EXPECT_EQ(rec.stats.back().Percent, 100);
    EXPECT_GT(rec.rowsChanged, 10);
    for (const GenerationStatistics& st : rec.stats)
        EXPECT_LE(st.RowTime, st.Elapsed) << "a row never took longer than the run";
}

// --- The driver's own steps and the hand-over to the threads ---------------

TEST(GeneratorThreads, TheDriverDoesEasyRowsAloneAndHandsLongRowsToTheThreads) {
    // Never handed over: with a seed the same map comes out every time,
    // also with two workers, and no thread worked.
    GenerationSetup a(40, 24, 2), b(40, 24, 2);
    a.engine->Threads().DriverSteps = -1;
    b.engine->Threads().DriverSteps = -1;
    ASSERT_EQ(a.Generate(17), GenerateOutcome::Completed);
    ASSERT_EQ(b.Generate(17), GenerateOutcome::Completed);
    EXPECT_EQ(a.Squares(), b.Squares());
    ExpectCompleteMap(a);
    EXPECT_EQ(a.engine->Threads().RowsHandedOver(), 0);
    // Alone the driver searches as one worker does: the one-worker map,
    // also when the steps are spent but the processor time is not.
    GenerationSetup one(40, 24, 1), d(40, 24, 2);
    ASSERT_EQ(one.Generate(17), GenerateOutcome::Completed);
    EXPECT_EQ(a.Squares(), one.Squares());
    d.engine->Threads().DriverSteps = 0;
    d.engine->Threads().DriverTime = std::chrono::hours(1);
    ASSERT_EQ(d.Generate(17), GenerateOutcome::Completed);
    EXPECT_EQ(d.Squares(), one.Squares());
    EXPECT_EQ(d.engine->Threads().RowsHandedOver(), 0);
    // Handed over at once: every row computed goes to the threads.
    struct Rows : GenerationReport {
        int computed = 0;
        void MapRowsChanged(int first, int last) override { computed += last - first == 2 || last - first == 3; }
    } rows;
    GenerationSetup c(40, 24, 2);
    c.engine->Threads().DriverSteps = 0;
    c.engine->Threads().DriverTime = {};
    GenerateOptions options;
    ASSERT_EQ(c.engine->Generate(c.project, c.ui, c.settings, c.requests, rows, options), GenerateOutcome::Completed);
    ExpectCompleteMap(c);
    EXPECT_GE(c.engine->Threads().RowsHandedOver(), rows.computed);
    EXPECT_GE(rows.computed, 20);
}

TEST(GeneratorThreads, ADoorbellRungFromAnotherThreadIsNeverMissed) {
    // Two threads hand a token back and forth; now and then the ringer
    // takes long enough for the waiter to fall asleep. A lost ring hangs.
    Doorbell toB, toA;
    std::atomic<int> token{0};
    constexpr int kRounds = 20000;
    std::thread b([&] {
        for (int i = 0; i < kRounds; ++i) {
            for (;;) {
                const auto seen = toB.Seen();
                if (token.load() == 2 * i + 1) break;
                toB.Wait(seen);
            }
            if (i % 97 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
            token.store(2 * i + 2);
            toA.Ring();
        }
    });
    for (int i = 0; i < kRounds; ++i) {
        if (i % 89 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
        token.store(2 * i + 1);
        toB.Ring();
        for (;;) {
            const auto seen = toA.Seen();
            if (token.load() == 2 * i + 2) break;
            toA.Wait(seen);
        }
    }
    b.join();
    EXPECT_EQ(token.load(), 2 * kRounds);
}

TEST(GeneratorThreads, RandomRunsWithHandOversFaultsAndStopsKeepEveryInvariant) {
    // Random worker counts, driver budgets (none, small, large, never),
    // failing bursts and linking passes and stops: every run ends complete
    // and valid or stopped with valid rows, every fault that fired is
    // counted once (a linker that failed in a stopped row is made again
    // in the next one), and the threads are at rest for the next run.
    std::mt19937 rng(20261208);
    GenerationSetup s(30, 26, 2);
    GeneratorThreads& threads = s.engine->Threads();
    threads.DriverTime = {};
    const std::int64_t budgets[] = {0, 20000, 300000, GeneratorThreads::kDefaultDriverSteps, -1};
    for (int run = 0; run < 12; ++run) {
        SCOPED_TRACE(run);
        s.settings.WorkerThreads = 1 + static_cast<int>(rng() % 4);
        threads.DriverSteps = budgets[rng() % 5];
        const int failSlot = rng() % 2 ? static_cast<int>(rng() % 4) : -1;
        const bool failLinker = rng() % 2;
        threads.FailBurstOfSlot = failSlot;
        threads.FailLinkerPass = failLinker;
        const int stopAt = rng() % 3 == 0 ? 6 + static_cast<int>(rng() % 14) : 1000;
        s.ui.onEvents = [&](int) {
            if (s.Run().Row >= stopAt) s.requests.StopRequest = true;
        };
        const int pendingBefore = threads.Flags.LinkerRestart.load();
        const GenerateOutcome outcome = rng() % 3 == 0 ? s.Generate(rng()) : s.Generate();
        const int fired =
            (failSlot >= 0 && threads.FailBurstOfSlot.load() == -1) + (failLinker && !threads.FailLinkerPass.load());
        EXPECT_EQ(s.engine->CaughtErrors(), fired + pendingBefore - threads.Flags.LinkerRestart.load());
        if (stopAt == 1000) {
            ASSERT_EQ(outcome, GenerateOutcome::Completed) << s.ui.status();
            ExpectCompleteMap(s);
        } else {
            ASSERT_TRUE(outcome == GenerateOutcome::Stopped || outcome == GenerateOutcome::Completed);
            const int w = s.project.MapWidth, rowsKept = std::min(s.Run().SnapshotRow + 2, s.project.MapHeight);
            auto squares = s.Squares();
            squares.resize(static_cast<std::size_t>(w) * rowsKept);
            const auto violation = FirstJoinViolation(squares, w, rowsKept, s.gen);
            EXPECT_FALSE(violation.has_value()) << *violation;
        }
        EXPECT_TRUE(threads.WorkersIdleAndFree());
        EXPECT_TRUE(threads.Flags.ManagerIdle.load());
        EXPECT_TRUE(threads.Flags.LinkerReady.load());
        threads.FailBurstOfSlot = -1;
        threads.FailLinkerPass = false;
        s.requests.StopRequest = false;
    }
}
