#pragma once
// The generator's threads: one manager and four workers (the first
// MaxThreads of them get work). They outlive runs: a run lends them its
// buffers and the learned data it reads while it lasts (BeginRun, EndRun).
//
// Per row the driver first works alone: it goes through the steps of the
// protocol (ManagerRound, WorkerRun, LinkerRun) in a fixed order on its own
// thread with one worker slot, exactly as a run with one worker does, and
// most rows are linked before its budget (DriverSteps, DriverTime) is spent,
// without waking a thread. A row that takes longer is handed over as it
// stands: the driver sets ManagerStart, and the manager hands sub-chains to
// idle workers, asks for linking passes, kills and recreates a worker that
// reports an error, and ends the row on RowLinked (RowComplete) or
// RowFailed. A worker that ends a burst which changed its sub-chain runs a
// linking pass itself when the linker is free (else the pass asked for, if
// any), takes the next free sub-chain itself and wakes the manager only
// when it has nothing left to do; with no worker at work the manager runs
// the pass. A pass that decides the row stops it (StopRow). The driver then
// blocks hand-outs, waits for idle workers and free sub-chains, sets
// ManagerExit and waits for ManagerIdle.
//
// Every shared flag is atomic and has one writer at a time by protocol; a
// request that is handed over (StartReq, LinkerStart) is taken with an
// atomic exchange, so that withdrawing it and taking it can never both
// happen, and so is a sub-chain's owner. Linking passes and the linker's
// recreation hold the linker's mutex, so whichever thread runs a pass sees
// what the one before left. Threads sleep on a Doorbell until a flag they
// wait for changes; nothing spins. Thread termination is cooperative: a
// thread ends at its next wake once told to.
//
// With DriverSteps below 0 the driver does the whole row alone, which
// makes a run reproducible (the stepped mode).

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "generator/learned_data.h"
#include "generator/search/run_buffers.h"
#include "generator/search/variant_search.h"

namespace zorvane {

// Wakes a waiting thread when something it waits for may have changed.
// A ring with nobody asleep costs no system call; a waiter sleeps at once.
class Doorbell {
public:
    std::uint64_t Seen() const { return rings_.load(std::memory_order_acquire); }
    void Ring();
    // Returns when rung after `seen` was read.
    void Wait(std::uint64_t seen);
    // The same, or after `timeout`.
    void WaitFor(std::uint64_t seen, std::chrono::microseconds timeout);

private:
    std::mutex m_;
    std::condition_variable cv_;
    std::atomic<std::uint64_t> rings_{0};
    std::atomic<int> sleepers_{0};
};

class GeneratorThreads {
public:
    GeneratorThreads();
    ~GeneratorThreads();
    GeneratorThreads(const GeneratorThreads&) = delete;
    GeneratorThreads& operator=(const GeneratorThreads&) = delete;

    // The run that the threads work for, from its start to its end, while
    // no thread works (the threads read its buffers only for a row handed
    // over within it).
    void BeginRun(const LearnedData& learned, RunBuffers& buffers);
    void EndRun();

    RowFlags Flags;
    RowJob Job;  // written by the driver while the manager is idle
    Doorbell DriverBell;  // rung for the driver's waits

    // Creates the manager and the workers (idle, no sub-chain; the linker
    // ready) unless they run; the driver does so when it first hands a row
    // over. Stop tells every thread to end and waits.
    void Start();
    void Stop();
    bool Started() const { return started_; }

    // The driver, while no thread works on the sub-chains: forgets what the
    // workers kept of the sub-chains (after they were cut anew); and, after
    // every change of their pair lists, makes room for every variant
    // wanted, so that adding one never moves the others while the linker
    // reads them.
    void ForgetSubChains();
    void ReserveVariants();

    // The driver begins the row in SubChains (its flags cleared, the driver at
    // work on it, with one worker slot), and hands what is left of it to the
    // manager.
    void BeginRow();
    void StartRow();
    // The driver searches a row alone until its search has taken
    // DriverSteps steps and DriverTime of processor time, and then hands
    // the row to the threads; with DriverSteps below 0 it never does. A
    // step the search passes over costs next to nothing, so the steps alone
    // say little of the time taken: most rows that pass 2000000 steps end
    // within a few milliseconds, sooner than the threads are at work.
    std::int64_t DriverSteps = kDefaultDriverSteps;
    std::chrono::microseconds DriverTime = kDefaultDriverTime;
    static constexpr std::int64_t kDefaultDriverSteps = 2000000;
    static constexpr std::chrono::microseconds kDefaultDriverTime{20000};
    // Rows handed to the threads since the threads were made.
    std::int64_t RowsHandedOver() const { return handedOver_; }
    // The driver wakes the manager after changing one of its flags.
    void WakeManager() { managerBell_.Ring(); }

    // --- The steps of the protocol --------------------------------------
    enum class Round { Continue, LeaveStopped, LeaveResult };
    // Steps 1..8 of the manager's row loop, once.
    Round ManagerRound();
    // By the driver: one round, the bursts of the workers given work and
    // a linking pass when one was asked for, on the calling thread; adds
    // the bursts' steps to `steps`. Leaves the row when it is decided.
    Round StepRound(std::int64_t& steps);
    // Leaving the row: hand-outs withdrawn, results cleared when stopped
    // from outside, then waiting until no worker runs (`threaded`) .
    void ManagerLeave(bool stopped, bool threaded);
    // A worker takes its start request and runs one burst.
    bool WorkerTake(int k);
    void WorkerRun(int k);
    // Takes the request for a linking pass and runs it.
    bool LinkerTake();
    void LinkerRun();
    // The worker slots that get work: one while the driver works alone (as
    // with one worker), else MaxThreads.
    int Slots() const;

    // Kill and recreate (adds to the caught errors count).
    void KillAndRecreateWorker(int k);
    // By the driver: only a worker that is still busy or flagged.
    void KillWorkerIfStuck(int k);
    // By the driver: the linker made anew (the manager does it when it is
    // busy), once a pass that runs has ended.
    void KillAndRecreateLinker();

    int RunningWorkers() const;  // slots that are not idle
    bool WorkersIdleAndFree() const;  // all slots idle, every sub-chain of the run unowned
    // Whether the threads worked since the last call (the heartbeat).
    bool TakeActivity() { return Flags.Activity.exchange(false, std::memory_order_relaxed); }

    // Test hooks: a burst of this worker slot, or the linker's next pass,
    // fails with an error.
    std::atomic<int> FailBurstOfSlot{-1};
    std::atomic<bool> FailLinkerPass{false};

    // Threads killed and recreated, and linking passes that failed, since
    // the run began.
    std::atomic<std::int32_t> CaughtErrors{0};

private:
    struct ThreadRec {
        std::thread Thread;
        std::atomic<bool> Cancel{false};
    };
    void ManagerMain();
    void ManagerRow();
    void WorkerMain(int k);
    void HandOut();
    int Claim(int k);
    // The parts of a worker's run: one burst (false after an error, or
    // when it is being killed; `changed` when it found variants or ended
    // its sub-chain), the next sub-chain taken at once, and the slot left
    // idle.
    bool WorkerBurst(int k, bool& changed);
    bool GoOn(int k);
    void LetGo(int k);
    void WorkerFinish(int k);
    bool ClaimLinker();
    bool LinkerWorthStarting();
    void RecreateLinker();
    void ReleaseSlot(int k, bool restart);
    // Rings a thread's bell, unless the driver does that thread's steps.
    void Notify(Doorbell& bell);
    void Join(ThreadRec& rec, Doorbell& bell);
    WorkerExchange& Slot(int k) { return exchanges_[static_cast<std::size_t>(k)]; }

    const LearnedData* learned_ = nullptr;  // the running run's learned data; null between runs
    RunBuffers* buffers_ = nullptr;         // the running run's buffers; null between runs
    std::array<WorkerExchange, WorkerSlots> exchanges_;  // one per worker slot, for the threads' life
    std::array<SubChainScratch, MaxSubChains> scratch_;
    Linker linker_;
    // The sub-chains' progress when the linker was last started (kept by
    // whoever holds the linker).
    std::vector<std::uint64_t> linkerStarted_, linkerState_;
    bool linkerSignatureValid_ = false;
    ThreadRec manager_;
    std::array<ThreadRec, WorkerSlots> workers_;
    Doorbell managerBell_;
    std::array<Doorbell, WorkerSlots> workerBells_;
    // Set while the driver does the steps of the row itself (the threads
    // then take nothing and are not rung).
    std::atomic<bool> driverSteps_{false};
    std::mutex killMutex_;  // one kill or recreation at a time (manager and driver)
    std::mutex linkerMutex_;  // held by a linking pass and by the linker's recreation
    bool started_ = false;
    std::int64_t handedOver_ = 0;
};

}  // namespace zorvane
