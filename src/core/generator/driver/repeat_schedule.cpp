// The scheduled repeat decision and the texts of a generation run.

#include <algorithm>

#include "generator/driver/generation.h"

namespace zorvane {

std::int32_t ScheduledRepeat(RunState& run, std::int32_t& lastProgressRow, const RepeatRules& rules,
                             std::int32_t row, std::int32_t manual) {
    auto restart = [&] {
        run.LocalAttempts = 0;
        run.LocalAttemptsAtLastRepeat = 0;
    };
    if (manual > 0) {
        restart();
        return manual;
    }
    // Progress since the counter was last reset starts it again.
    if (row - lastProgressRow > std::max<std::int32_t>(2, rules.TallestObject)) {
        lastProgressRow = row;
        restart();
    } else {
        ++run.LocalAttempts;
    }
    if (run.LocalAttempts == 0) return 0;
    if (row == rules.SecondRow && rules.FirstAttempts && run.LocalAttempts > rules.FirstAttemptsLimit) {
        restart();
        return 1;
    }
    const auto& s = rules.Schedule;
    for (std::size_t i = s.size(); i-- > 0;) {
        if (i + 1 == s.size()) {
            if (s[i].Attempts < run.LocalAttempts) {
                restart();
                return s[i].Lines;
            }
        } else if (s[i].Attempts > 0 && run.LocalAttempts % s[i].Attempts == 0) {
            run.LocalAttemptsAtLastRepeat = run.LocalAttempts;
            return s[i].Lines;
        }
    }
    return 0;
}

std::int32_t SkipToScheduledRepeat(RunState& run, std::int32_t& lastProgressRow, const RepeatRules& rules,
                                   std::int32_t row) {
    if (rules.Schedule.empty()) return 0;
    const std::int64_t a = std::max<std::int64_t>(rules.Schedule.front().Attempts, 1);
    run.LocalAttempts = run.LocalAttempts + a - run.LocalAttempts % a - 1;
    return ScheduledRepeat(run, lastProgressRow, rules, row, 0);
}

std::string_view GeneratorStateText(GeneratorState state) {
    switch (state) {
    case GeneratorState::Idle: return "Idle ";
    case GeneratorState::FirstLine: return "Generating 1st line... ";
    case GeneratorState::Line: return "Generating line... ";
    case GeneratorState::Waiting: return "Waiting for threads... ";
    case GeneratorState::Saving: return "Saving map... ";
    }
    return "Idle ";
}

std::string ElapsedText(std::chrono::steady_clock::duration d) {
    return SecToHMS(std::max<std::int64_t>(0, std::chrono::duration_cast<std::chrono::seconds>(d).count()));
}

}  // namespace zorvane
