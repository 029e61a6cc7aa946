// Generator settings: the schedule of repeats, limits, texts and the object
// size distribution chart.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "builders.h"
#include "fake_ui.h"
#include "generator/settings.h"
#include "presenter/object_chart_picture.h"

using namespace zorvane;

TEST(RepeatSchedule, AcceptsWellFormedTexts) {
    EXPECT_FALSE(CheckRepeats(DefaultPlannedRepeats));
    EXPECT_FALSE(CheckRepeats(FallbackPlannedRepeats));
    EXPECT_FALSE(CheckRepeats("100-1; 1000-2;"));
    EXPECT_FALSE(CheckRepeats(" 1 0 0 - 1 ;5000-3"));
    EXPECT_FALSE(CheckRepeats("2147483647-1"));
    EXPECT_FALSE(CheckRepeats("100-01"));
}

TEST(RepeatSchedule, RefusesMalformedTexts) {
    EXPECT_TRUE(CheckRepeats("100-1; 500"));       // a first number without its lines
    EXPECT_TRUE(CheckRepeats("100--1"));           // doubled separator
    EXPECT_TRUE(CheckRepeats("100-1;;200-2"));
    EXPECT_TRUE(CheckRepeats("100-1; 20a-2"));     // a letter
    EXPECT_TRUE(CheckRepeats("100-0"));            // zero
    EXPECT_TRUE(CheckRepeats("100-1; 0-2"));
    EXPECT_TRUE(CheckRepeats("2147483648-1"));     // beyond 32 bits
    EXPECT_TRUE(CheckRepeats("0100-1"));           // must start with 1..9
    EXPECT_TRUE(CheckRepeats("1-"));               // too short
    EXPECT_TRUE(CheckRepeats("100-"));             // pair without lines
    EXPECT_TRUE(CheckRepeats("100;1"));            // separators must alternate from "-"
    EXPECT_TRUE(CheckRepeats(""));
}

TEST(RepeatSchedule, ParsesAndSortsKeepingEqualAttemptsInOrder) {
    EXPECT_EQ(PreparePlannedRepeats("5000-3; 100-1"), (std::vector<RepeatStep>{{100, 1}, {5000, 3}}));
    EXPECT_EQ(PreparePlannedRepeats(DefaultPlannedRepeats),
              (std::vector<RepeatStep>{{100, 1}, {1000, 2}, {5000, 3}, {50000, 10}}));
    EXPECT_EQ(PreparePlannedRepeats("9-1; 3-4; 9-2; 3-5;"),
              (std::vector<RepeatStep>{{3, 4}, {3, 5}, {9, 1}, {9, 2}}));
    EXPECT_EQ(PreparePlannedRepeats(" 1 0-2 "), (std::vector<RepeatStep>{{10, 2}}));
}

TEST(GeneratorTexts, CombinationsTimeAndHints) {
    EXPECT_EQ(CalcMaxCombinations(0), 1000);
    EXPECT_EQ(CalcMaxCombinations(2), 801000);
    EXPECT_EQ(CalcMaxCombinations(9), 72901000);
    EXPECT_EQ(FullnessHint(0), "1000 combinations");
    EXPECT_EQ(FullnessHint(10), "all possible combinations");
    EXPECT_EQ(SecToHMS(0), "00:00:00");
    EXPECT_EQ(SecToHMS(3725), "01:02:05");
    EXPECT_EQ(SecToHMS(100 * 3600 + 59), "100:00:59");
    EXPECT_EQ(NumOfCombsHint(20), "0.5");
    EXPECT_EQ(NumOfCombsHint(0), "0");
    EXPECT_EQ(NumOfCombsHint(40), "1");
    EXPECT_EQ(NumOfCombsHint(1), "0.025");
    EXPECT_EQ(MaxReturnHint(0), "Protects against too deep withdrawal");
    EXPECT_EQ(MaxReturnHint(3), "Protects against too deep withdrawal\rRecommended value for current data: 10");
    EXPECT_EQ(MaxReturnHint(14), "Protects against too deep withdrawal\rRecommended value for current data: 15");
}

TEST(GeneratorSettingsDefaults, ControlsStartAtTheirDefaultsAndClampToRanges) {
    GeneratorSettings s;
    EXPECT_EQ(s.WidthWithoutBorders, 100);
    EXPECT_TRUE(s.Multiplayer);
    EXPECT_EQ(s.WorkerThreads, 2);
    EXPECT_EQ(s.ScheduleOfRepeats, "100-1; 1000-2; 5000-3; 50000-10");
    EXPECT_EQ(s.AttemptsRememberingApprovedSquares, 2000);
    EXPECT_EQ(s.SecondsOfOneRow, 60);
    EXPECT_FALSE(s.FreezeCorrectFragments);
    EXPECT_EQ(s.BackupPath, "") << "none chosen yet";
    EXPECT_DOUBLE_EQ(s.SquareChoiceFactor(), 0.5);
    s.WidthWithoutBorders = 300;
    s.WorkerThreads = 0;
    s.StartLine = 1;
    s.SquarePreferencePosition = 41;
    s.LearnList.push_back({"a.zm", 0, false});
    s.ClampToRanges();
    EXPECT_EQ(s.WidthWithoutBorders, 202);
    EXPECT_EQ(s.WorkerThreads, 1);
    EXPECT_EQ(s.StartLine, 2);
    EXPECT_EQ(s.SquarePreferencePosition, 40);
    EXPECT_EQ(s.LearnList[0].Multiplier, 1);
}

TEST(GeneratorSettingsDefaults, BackupDirectoryCheck) {
    zorvane::testing::TempDir dir;
    EXPECT_TRUE(CheckBackupDir(NoBackupPathCaption));
    EXPECT_FALSE(CheckBackupDir(dir.file("backup.zl")));
    EXPECT_TRUE(CheckBackupDir(dir.file("missing/backup.zl")));
}

TEST(GeneratorSettingsWindow, ClosingChecksTheScheduleThenTheBackupFolder) {
    zorvane::testing::FakeUi ui;
    GeneratorSettings s;
    EXPECT_TRUE(MayCloseSettings(ui, s));
    s.ScheduleOfRepeats = "100-";
    ui.answers.push_back(Answer::No);
    EXPECT_FALSE(MayCloseSettings(ui, s));
    EXPECT_EQ(ui.messages.back().text, "Improper repeats format. Do you want to set it default?");
    EXPECT_EQ(s.ScheduleOfRepeats, "100-");
    EXPECT_FALSE(MayCloseSettings(ui, s));  // Yes
    EXPECT_EQ(s.ScheduleOfRepeats, "500-1; 1500-2; 10000-10");
    s.SaveCompletedMap = true;
    EXPECT_FALSE(MayCloseSettings(ui, s));
    EXPECT_EQ(ui.messages.back().text, "The backup directory doesn't exist. Uncheck this option?");
    EXPECT_FALSE(s.SaveCompletedMap);
    EXPECT_TRUE(MayCloseSettings(ui, s));
    EXPECT_EQ(SelectZpCaption(true, "/a.zp"), "force using *.zp: /a.zp");
    EXPECT_EQ(SelectZpCaption(false, "/a.zp"), "force using another *.zp (click to select file)");
}

// ---- Chart -------------------------------------------------------------------

namespace {
std::vector<std::pair<int, int>> UserPoints(const ObjectSizeChart& c) {
    std::vector<std::pair<int, int>> out;
    for (int i = 0; i < c.GetPointsCount(); ++i) out.push_back(c.GetPointData(i));
    return out;
}
using Pts = std::vector<std::pair<int, int>>;
}  // namespace

TEST(ObjectChart, StartsAsAFlatLineOverTwoHundredSizes) {
    ObjectSizeChart c;
    EXPECT_EQ(c.Largest(), 200);
    EXPECT_DOUBLE_EQ(c.Scale(), 1.0);
    EXPECT_EQ(UserPoints(c), (Pts{{0, 100}, {200, 100}}));
    EXPECT_EQ(object_chart_picture::AxisLabel(c), "x [0-200]");
}

TEST(ObjectChart, ShorterRangeKeepsTheFlatDefaultAndTheShapeOfACurve) {
    ObjectSizeChart c;
    c.SetMaxSize(12);
    EXPECT_EQ(object_chart_picture::AxisLabel(c), "x [0-12]");
    EXPECT_EQ(UserPoints(c), (Pts{{0, 100}, {12, 100}}));

    // A line down to 0 at size 100 and flat after, shrunk to 100 sizes: the
    // bend stays at half the range and the end stays at the end.
    ObjectSizeChart d;
    d.MovePoint(0, 100);
    ASSERT_TRUE(d.AddPoint());
    d.MovePoint(100, 0);
    d.SelectNext();
    d.MovePoint(200, 0);
    ASSERT_EQ(UserPoints(d), (Pts{{0, 100}, {100, 0}, {200, 0}}));
    d.SetMaxSize(100);
    EXPECT_EQ(UserPoints(d), (Pts{{0, 100}, {50, 0}, {100, 0}}));
    EXPECT_EQ(d.Selected(), 0);

    // A longer range does not resample.
    d.SetMaxSize(400);
    EXPECT_EQ(d.GetPointsCount(), 3);
    EXPECT_EQ(d.Points()[1].x, 100);
}

TEST(ObjectChart, EmptyRangeDisablesEditing) {
    ObjectSizeChart c;
    c.SetMaxSize(0);
    EXPECT_DOUBLE_EQ(c.Scale(), 1000.0);
    EXPECT_FALSE(object_chart_picture::PointEditEnabled(c));
    EXPECT_EQ(c.GetPointsCount(), 2);
    c.SetMaxSize(5);
    EXPECT_TRUE(object_chart_picture::PointEditEnabled(c));
    EXPECT_EQ(object_chart_picture::PointSizeMax(c), 5);
}

TEST(ObjectChart, AddingNeedsRoomBetweenTheTwoPoints) {
    ObjectSizeChart c;
    c.SetMaxSize(1);  // sizes 0 and 1 only
    EXPECT_FALSE(c.AddPoint());
    EXPECT_EQ(c.GetPointsCount(), 2);

    ObjectSizeChart d;
    d.ResetPoints(4, 2);  // scale 50: a gap needs 100 chart units
    ASSERT_TRUE(d.AddPoint());
    EXPECT_EQ(d.Selected(), 1);
    EXPECT_EQ(d.Points()[1], (ObjectSizeChart::Point{100, 100}));
    ASSERT_TRUE(d.AddPoint());
    EXPECT_EQ(d.Points()[2], (ObjectSizeChart::Point{150, 100}));
    EXPECT_FALSE(d.AddPoint());  // 150..200 is too narrow
    EXPECT_EQ(d.GetPointsCount(), 4);
}

TEST(ObjectChart, AddingWithTheLastPointSelectedSplitsTheLastGap) {
    ObjectSizeChart c;
    c.Select(1);
    ASSERT_TRUE(c.AddPoint());
    EXPECT_EQ(UserPoints(c), (Pts{{0, 100}, {100, 100}, {200, 100}}));
    EXPECT_EQ(c.Selected(), 1);
}

TEST(ObjectChart, DeletingSparesTheEndsAndSelectionWraps) {
    ObjectSizeChart c;
    c.AddPoint();
    c.Select(0);
    EXPECT_FALSE(c.DeletePoint());
    c.SelectPrev();
    EXPECT_EQ(c.Selected(), 2);
    EXPECT_FALSE(c.DeletePoint());
    c.SelectNext();
    EXPECT_EQ(c.Selected(), 0);
    c.SelectNext();
    EXPECT_TRUE(c.DeletePoint());
    EXPECT_EQ(c.GetPointsCount(), 2);
    EXPECT_EQ(c.Selected(), 1);
}

TEST(ObjectChart, MovingKeepsEndsInPlaceAndPointsInOrder) {
    ObjectSizeChart c;
    c.ResetPoints(10, 2);
    c.AddPoint();  // size 5
    c.AddPoint();  // between 5 and 10: size 8 (rounded mean of chart units)
    ASSERT_EQ(UserPoints(c), (Pts{{0, 100}, {5, 100}, {8, 100}, {10, 100}}));
    // The first point only changes its y, clamped.
    c.Select(0);
    c.MovePoint(3, 150);
    EXPECT_EQ(c.GetPointData(0), (std::pair<int, int>{0, 100}));
    // An inner point moved past its neighbour swaps with it.
    c.Select(1);
    c.MovePoint(9, 40);
    EXPECT_EQ(UserPoints(c), (Pts{{0, 100}, {8, 100}, {9, 40}, {10, 100}}));
    EXPECT_EQ(c.Selected(), 2);
    // At or beyond the end it stops one size before it; at 0 one size after.
    c.MovePoint(10, 40);
    EXPECT_EQ(UserPoints(c), (Pts{{0, 100}, {8, 100}, {9, 40}, {10, 100}}));
    c.Select(1);
    c.MovePoint(-4, 7);
    EXPECT_EQ(UserPoints(c), (Pts{{0, 100}, {1, 7}, {9, 40}, {10, 100}}));
    // Onto a neighbour's size: one size beyond it in the direction moved,
    // or back when that is the last point's size.
    c.MovePoint(9, 7);
    EXPECT_EQ(UserPoints(c), (Pts{{0, 100}, {8, 7}, {9, 40}, {10, 100}}));
    EXPECT_EQ(c.Selected(), 1);
    c.Select(2);
    c.MovePoint(8, 40);
    EXPECT_EQ(UserPoints(c), (Pts{{0, 100}, {7, 40}, {8, 7}, {10, 100}}));
    EXPECT_EQ(c.Selected(), 1);
}

TEST(ObjectChart, CrowdedPointsSettleWithoutEndlessPasses) {
    ObjectSizeChart c;
    c.ResetPoints(3, 2);
    c.SetStoredPoints({{0, 1}, {1, 2}, {2, 3}, {3, 4}});
    c.Select(1);
    c.MovePoint(2, 2);
    EXPECT_EQ(UserPoints(c), (Pts{{0, 1}, {1, 2}, {2, 3}, {3, 4}}));
}

TEST(ObjectChart, StoredPointsConvertToChartUnitsAndBack) {
    ObjectSizeChart c;
    c.SetMaxSize(300);  // scale below 1
    c.ResetPoints(300, 2);
    c.SetStoredPoints({{5, 10}, {15, 20}, {123, 30}, {299, 40}});
    // The ends are forced to sizes 0 and N.
    EXPECT_EQ(UserPoints(c), (Pts{{0, 10}, {15, 20}, {123, 30}, {300, 40}}));
    // Every chart position survives the way through sizes.
    for (int x = 0; x <= 200; ++x) {
        c.SetStoredPoints({{0, 0}, {static_cast<int>(RoundHalfEven(x * 1.5)), 0}, {300, 0}});
        ASSERT_EQ(c.Points()[1].x, x);
    }
    // A single stored point stays as it was.
    c.SetStoredPoints({{6, 55}});
    EXPECT_EQ(UserPoints(c), (Pts{{6, 55}}));
}

// Random editing with the chart's buttons, over ranges shorter and longer
// than its 200 units: after every step the points stand on strictly
// increasing sizes from 0 to N, inside the chart, the selection on a point.
TEST(ObjectChart, RandomEditingKeepsEveryPointOnItsOwnSize) {
    std::mt19937 rng(20240611);
    auto below = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int sequence = 0; sequence < 4000; ++sequence) {
        ObjectSizeChart c;
        int n = 1 + below(sequence % 4 == 3 ? 600 : 40);
        c.SetMaxSize(n);
        std::string steps = "N=" + std::to_string(n);
        for (int step = 0; step < 60; ++step) {
            switch (below(10)) {
                case 0: c.SelectPrev(); steps += " <"; break;
                case 1: c.SelectNext(); steps += " >"; break;
                case 2: c.Select(below(c.GetPointsCount())); steps += " sel" + std::to_string(c.Selected()); break;
                case 3:
                case 4: c.AddPoint(); steps += " +"; break;
                case 5: c.DeletePoint(); steps += " x"; break;
                case 6:
                    if (below(8) == 0) {
                        n = 1 + below(sequence % 4 == 3 ? 600 : 40);
                        c.SetMaxSize(n);
                        steps += " N=" + std::to_string(n);
                        break;
                    }
                    [[fallthrough]];
                default: {
                    // Mostly onto or next to another point's size.
                    const auto [size, percent] = c.GetPointData(below(c.GetPointsCount()));
                    const int to = below(3) == 0 ? below(n + 5) - 2 : size + below(3) - 1;
                    c.MovePoint(to, percent + below(21) - 10);
                    steps += " set" + std::to_string(c.Selected()) + ":" + std::to_string(to);
                }
            }
            const auto& pts = c.Points();
            ASSERT_GE(pts.size(), 2u) << steps;
            ASSERT_EQ(pts.front().x, 0) << steps;
            ASSERT_EQ(pts.back().x, 200) << steps;
            ASSERT_EQ(c.GetPointData(c.GetPointsCount() - 1).first, n) << steps;
            for (std::size_t i = 1; i < pts.size(); ++i) {
                ASSERT_LT(pts[i - 1].x, pts[i].x) << steps;
                ASSERT_LT(c.GetPointData(static_cast<int>(i) - 1).first, c.GetPointData(static_cast<int>(i)).first)
                    << steps;
            }
            for (const auto& p : pts) ASSERT_TRUE(p.y >= 0 && p.y <= 100) << steps;
            ASSERT_TRUE(c.Selected() >= 0 && c.Selected() < c.GetPointsCount()) << steps;
        }
    }
}
