#include <gtest/gtest.h>

#include "fake_ui.h"

using namespace zorvane;
using zorvane::testing::FakeUi;

TEST(Progress, EqualEndsScaleAsOneStep) {
    FakeUi ui;
    ui.prepareProgress(5, 5);
    ui.updateProgress(5, 1);
    ui.updateProgress(6, 1);
    EXPECT_EQ(ui.progressPositions, (std::vector<int>{0, 100}));
}

TEST(Progress, MovesOnlyOnMultiplesOfStep) {
    FakeUi ui;
    ui.prepareProgress(0, 1000);
    for (int i = 0; i < 1000; ++i) ui.updateProgress(i, 100);
    EXPECT_EQ(ui.progressPositions.size(), 10u);
    EXPECT_EQ(ui.progressPositions[3], 30);
}

TEST(Progress, HalvesRoundToEven) {
    FakeUi ui;
    ui.prepareProgress(0, 8);  // 12.5 per step
    ui.updateProgress(1, 1);
    ui.updateProgress(3, 1);
    EXPECT_EQ(ui.progressPositions, (std::vector<int>{12, 38}));
}
