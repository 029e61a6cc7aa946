// H. Computing a row: the driver goes through the steps of the threads in a
// fixed order on its own thread, and hands a row that takes long to the
// threads (never in the stepped mode), until the row is linked, fails, or
// the driver stops it; then the threads are brought to rest.

#include "generator/driver/generation_run.h"

#include <ctime>

namespace zorvane {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(1);
constexpr auto kStatisticsInterval = std::chrono::milliseconds(2);
// A worker or the linker that does not come to rest within this many polls
// of 1 ms is killed and recreated.
constexpr int kKillAfterPolls = 1000;

}  // namespace

bool GenerationRun::ComputeRow() {
    run_.TimedOut = false;
    threads_.Job.Row = run_.Row;
    threads_.Job.LastRow = run_.LastRow;
    if (stepped_)
        ComputeStepped();
    else
        ComputeThreaded();
    // A row the linker linked is complete also when the driver let the
    // manager go before it came round to saying so.
    const RowFlags& f = threads_.Flags;
    const bool complete =
        (f.RowComplete.load(std::memory_order_acquire) || f.RowLinked.load(std::memory_order_acquire)) && !Terminated();
    lastComputeFailed_ = !complete;
    return complete;
}

// H.3: the driver ends the row computation on a stop, a pending manual
// repeat, or the row's time limit.
bool GenerationRun::ShouldStopRow() {
    if (StopRequested() || requests_.ManualRepeat.load() > 0) return true;
    if (settings_.GoBackAfterRowTime && Now() - run_.RowTime > RowTimeLimit()) {
        run_.TimedOut = true;
        if (settings_.FreezeCorrectFragments) freezer_.Reset();
        return true;
    }
    return false;
}

// Waits (polling, letting window messages run) until `done`; after every
// kKillAfterPolls polls without it, kills and recreates the threads that do
// not come to rest when `kill` is set. False on a terminate.
template <typename Done>
bool GenerationRun::WaitThreads(Done done, int killAfterPolls) {
    auto lastKill = Clock::now();
    for (;;) {
        const auto seen = threads_.DriverBell.Seen();
        if (done()) return true;
        if (Terminated()) return false;
        threads_.DriverBell.WaitFor(seen, kPollInterval);
        if (Clock::now() - lastPoll_ >= kPollInterval) {
            Poll();
            report_.ShowElapsedTime(Now() - started_);
        }
        if (killAfterPolls > 0 && Clock::now() - lastKill >= killAfterPolls * kPollInterval) {
            lastKill = Clock::now();
            for (int k = 0; k < WorkerSlots; ++k) threads_.KillWorkerIfStuck(k);
            if (!threads_.Flags.LinkerReady.load() || threads_.Flags.LinkerRestart.load())
                threads_.KillAndRecreateLinker();
        }
    }
}

void GenerationRun::ComputeThreaded() {
    RowFlags& f = threads_.Flags;
    if (lastComputeFailed_) {
        int polls = 0;
        WaitThreads(
            [&] {
                if (++polls % 10 == 0) {
                    ui_.setStatus("Waiting for ThrLinker...");
                    report_.ShowStatistics(Statistics(GeneratorState::Waiting));
                }
                return f.LinkerReady.load(std::memory_order_acquire);
            },
            0);
    }
    threads_.BeginRow();
    if (StepRow(threads_.DriverSteps)) return;
    threads_.Start();
    threads_.StartRow();
    for (;;) {
        const auto seen = threads_.DriverBell.Seen();
        // The manager stops the row when it is complete or failed; a row it
        // stopped without a result (a linker recreated meanwhile clears the
        // failure) counts as failed.
        if (f.RowComplete.load() || f.RowFailed.load() || f.StopRow.load() || ShouldStopRow()) break;
        threads_.DriverBell.WaitFor(seen, kPollInterval);
        const auto now = Clock::now();
        if (now - lastPoll_ >= kPollInterval) Poll();
        if (now - lastStats_ >= kStatisticsInterval) ShowProgress(GeneratorState::Line);
    }
    FinishThreaded();
}

// H.4 - H.7: the threads come to rest and the manager leaves the row.
void GenerationRun::FinishThreaded() {
    RowFlags& f = threads_.Flags;
    f.StopRow = true;
    threads_.WakeManager();
    if (StopRequested()) ui_.setStatus(StoppingText);
    report_.SetGeneratorState(GeneratorState::Waiting);
    bool rested =
        WaitThreads([&] { return threads_.RunningWorkers() == 0 && f.LinkerReady.load(std::memory_order_acquire); },
                    kKillAfterPolls);
    if (rested) {
        f.HandOutBlocked = true;
        threads_.WakeManager();
        rested = WaitThreads([&] { return threads_.WorkersIdleAndFree(); }, 0);
    }
    if (rested) {
        f.ManagerExit = true;
        threads_.WakeManager();
        rested = WaitThreads([&] { return f.ManagerIdle.load(std::memory_order_acquire); }, 0);
    }
    // After a terminate the threads end at their next poll; none of them
    // may touch the sub-chains any more.
    if (Terminated()) threads_.Stop();
}

void GenerationRun::ComputeStepped() {
    threads_.BeginRow();
    StepRow(-1);
}

// Rounds of the threads' steps on the driver's thread until the row is
// decided or stopped (true), or, with a budget of 0 or more, until the
// bursts have taken that many steps and the threads' DriverTime of
// processor time has passed (false: the threads go on from there). The
// other threads sleep meanwhile: the process's processor time is the
// driver's.
bool GenerationRun::StepRow(std::int64_t budget) {
    RowFlags& f = threads_.Flags;
    f.ManagerIdle = false;
    std::int64_t steps = 0;
    // The processor time is looked at once per poll interval (asking for it
    // costs a system call; a round, a few microseconds).
    const std::clock_t started = budget >= 0 ? std::clock() : 0;
    auto nextLook = Clock::now();
    const auto spent = [&] {
        return std::chrono::duration<double>(static_cast<double>(std::clock() - started) / CLOCKS_PER_SEC);
    };
    for (;;) {
        if (!f.StopRow.load() && ShouldStopRow()) f.StopRow = true;
        if (threads_.StepRound(steps) != GeneratorThreads::Round::Continue) break;
        const auto now = Clock::now();
        if (now - lastPoll_ >= kPollInterval) Poll();
        if (now - lastStats_ >= kStatisticsInterval) ShowProgress(GeneratorState::Line);
        if (budget >= 0 && steps >= budget && now >= nextLook) {
            nextLook = now + kPollInterval;
            if (spent() >= threads_.DriverTime) {
                f.ManagerIdle = true;
                return false;
            }
        }
    }
    f.ManagerExit = true;
    f.ManagerIdle = true;
    if (StopRequested()) ui_.setStatus(StoppingText);
    return true;
}

}  // namespace zorvane
