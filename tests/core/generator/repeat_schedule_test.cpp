// The scheduled repeat decision: how many rows the driver goes back after a
// failed local attempt.

#include <gtest/gtest.h>

#include <map>

#include "generator/driver/generation.h"

using namespace zorvane;

namespace {

RepeatRules Default(int tallest = 1) {
    RepeatRules r;
    r.Schedule = PreparePlannedRepeats(DefaultPlannedRepeats);
    r.TallestObject = tallest;
    r.FirstAttempts = false;
    r.SecondRow = 3;
    return r;
}

}  // namespace

TEST(ScheduledRepeat, TheDefaultScheduleGoesBackOneTwoThreeAndTenRows) {
    RunState run;
    std::int32_t lastProgress = 40;
    const RepeatRules rules = Default();
    std::map<std::int64_t, std::int32_t> backs;
    for (int failure = 1; failure <= 50001; ++failure) {
        const std::int32_t back = ScheduledRepeat(run, lastProgress, rules, 40, 0);
        if (back > 0) backs[failure] = back;
    }
    EXPECT_EQ(backs.at(100), 1);
    EXPECT_EQ(backs.at(200), 1);
    EXPECT_EQ(backs.at(1000), 2);
    EXPECT_EQ(backs.at(5000), 3);
    EXPECT_EQ(backs.at(50000), 3);  // a multiple of 5000
    EXPECT_EQ(backs.at(50001), 10);
    EXPECT_EQ(backs.count(99), 0u);
    EXPECT_EQ(run.LocalAttempts, 0);  // counting starts again after the last pair
    EXPECT_EQ(run.LocalAttemptsAtLastRepeat, 0);
    EXPECT_EQ(ScheduledRepeat(run, lastProgress, rules, 40, 0), 0);
    EXPECT_EQ(run.LocalAttempts, 1);
}

TEST(ScheduledRepeat, ARepeatByAnInnerPairRemembersTheCounter) {
    RunState run;
    std::int32_t lastProgress = 10;
    run.LocalAttempts = 999;
    EXPECT_EQ(ScheduledRepeat(run, lastProgress, Default(), 10, 0), 2);
    EXPECT_EQ(run.LocalAttempts, 1000);
    EXPECT_EQ(run.LocalAttemptsAtLastRepeat, 1000);
}

TEST(ScheduledRepeat, AManualRepeatWinsAndStartsCountingAgain) {
    RunState run;
    std::int32_t lastProgress = 10;
    run.LocalAttempts = 57;
    run.LocalAttemptsAtLastRepeat = 50;
    EXPECT_EQ(ScheduledRepeat(run, lastProgress, Default(), 10, 4), 4);
    EXPECT_EQ(run.LocalAttempts, 0);
    EXPECT_EQ(run.LocalAttemptsAtLastRepeat, 0);
    EXPECT_EQ(lastProgress, 10);
}

TEST(ScheduledRepeat, ProgressBeyondTheTallestObjectResetsTheCounter) {
    RunState run;
    run.LocalAttempts = 99;
    std::int32_t lastProgress = 10;
    // 13 - 10 = 3 > max(2, 2): progress, nothing to go back.
    EXPECT_EQ(ScheduledRepeat(run, lastProgress, Default(2), 13, 0), 0);
    EXPECT_EQ(lastProgress, 13);
    EXPECT_EQ(run.LocalAttempts, 0);
    // With a tallest object of 5 the same distance is no progress.
    run.LocalAttempts = 99;
    lastProgress = 10;
    EXPECT_EQ(ScheduledRepeat(run, lastProgress, Default(5), 13, 0), 1);
    EXPECT_EQ(run.LocalAttempts, 100);
}

TEST(ScheduledRepeat, TheRowBelowTheStartRowHasItsOwnLimit) {
    RepeatRules rules = Default();
    rules.FirstAttempts = true;
    rules.FirstAttemptsLimit = 10;
    rules.SecondRow = 6;
    RunState run;
    std::int32_t lastProgress = 6;
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(ScheduledRepeat(run, lastProgress, rules, 6, 0), 0);
    EXPECT_EQ(ScheduledRepeat(run, lastProgress, rules, 6, 0), 1);
    EXPECT_EQ(run.LocalAttempts, 0);
    // Other rows follow the schedule.
    run.LocalAttempts = 20;
    lastProgress = 7;
    EXPECT_EQ(ScheduledRepeat(run, lastProgress, rules, 7, 0), 0);
}

TEST(ScheduledRepeat, AnEmptyScheduleNeverGoesBack) {
    RepeatRules rules = Default();
    rules.Schedule.clear();
    RunState run;
    std::int32_t lastProgress = 5;
    for (int i = 0; i < 1000; ++i) EXPECT_EQ(ScheduledRepeat(run, lastProgress, rules, 5, 0), 0);
}

TEST(GenerationTexts, StatesAndElapsedTime) {
    EXPECT_EQ(GeneratorStateText(GeneratorState::Idle), "Idle ");
    EXPECT_EQ(GeneratorStateText(GeneratorState::FirstLine), "Generating 1st line... ");
    EXPECT_EQ(GeneratorStateText(GeneratorState::Line), "Generating line... ");
    EXPECT_EQ(GeneratorStateText(GeneratorState::Waiting), "Waiting for threads... ");
    EXPECT_EQ(GeneratorStateText(GeneratorState::Saving), "Saving map... ");
    EXPECT_EQ(ElapsedText(std::chrono::seconds(3725)), "01:02:05");
    EXPECT_EQ(ElapsedText(std::chrono::hours(30)), "30:00:00");
}

TEST(GenerationRequests, EscTwiceAlsoTerminatesAndClearForgetsAll) {
    GenerationRequests r;
    r.PressEsc();
    EXPECT_TRUE(r.StopRequest.load());
    EXPECT_FALSE(r.Terminate.load());
    r.PressEsc();
    EXPECT_TRUE(r.Terminate.load());
    r.ManualRepeat = 3;
    r.ResetRequest = true;
    r.Clear();
    EXPECT_FALSE(r.StopRequest.load() || r.Terminate.load() || r.ResetRequest.load());
    EXPECT_EQ(r.ManualRepeat.load(), 0);
}

TEST(ScheduledRepeat, SkippingGivesWhatFailingUpToTheFirstStepWouldGive) {
    for (const char* schedule : {"100-1; 1000-2; 5000-3; 50000-10", "7-2; 21-3", "3-1; 10-4"}) {
        RepeatRules rules = Default();
        rules.Schedule = PreparePlannedRepeats(schedule);
        RunState skipped, failed;
        std::int32_t skippedProgress = 40, failedProgress = 40;
        for (int round = 0; round < 40; ++round) {
            SCOPED_TRACE(std::string(schedule) + ", round " + std::to_string(round));
            // A few plain failures, then one that skips.
            for (int k = 0; k < round % 3; ++k) {
                const std::int32_t a = ScheduledRepeat(skipped, skippedProgress, rules, 40, 0);
                ASSERT_EQ(a, ScheduledRepeat(failed, failedProgress, rules, 40, 0));
                if (a > 0) break;
            }
            const std::int32_t back = SkipToScheduledRepeat(skipped, skippedProgress, rules, 40);
            std::int32_t reference = 0;
            while (reference == 0) reference = ScheduledRepeat(failed, failedProgress, rules, 40, 0);
            EXPECT_EQ(back, reference);
            EXPECT_EQ(skipped.LocalAttempts, failed.LocalAttempts);
            EXPECT_EQ(skipped.LocalAttemptsAtLastRepeat, failed.LocalAttemptsAtLastRepeat);
        }
    }
    RunState run;
    std::int32_t progress = 40;
    RepeatRules none = Default();
    none.Schedule.clear();
    EXPECT_EQ(SkipToScheduledRepeat(run, progress, none, 40), 0);
}
